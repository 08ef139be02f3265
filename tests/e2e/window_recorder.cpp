// A global CBT hook, loaded into every process: sees each window being made.
#include <windows.h>

#include "window_log.h"

namespace {
WindowLog* shared;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  HANDLE mapping = reason == DLL_PROCESS_ATTACH ? OpenFileMappingA(FILE_MAP_WRITE, FALSE, kWindowLogName) : nullptr;
  if (mapping) shared = static_cast<WindowLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(WindowLog)));
  return TRUE;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK RecordWindows(int code, WPARAM window, LPARAM lParam) {
  HWND parent = code == HCBT_CREATEWND ? reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->hwndParent : HWND_MESSAGE;
  // Children and message-only windows are never seen.
  LONG i = shared && (!parent || parent == GetDesktopWindow()) ? InterlockedIncrement(&shared->Count) - 1 : kWindowLogCapacity;
  if (i < kWindowLogCapacity) {
    WindowEntry& e = shared->Entries[i];
    GetClassNameA(reinterpret_cast<HWND>(window), e.ClassName, sizeof e.ClassName);
    // Last: an entry is complete once its process is set.
    InterlockedExchange(reinterpret_cast<LONG*>(&e.ProcessId), LONG(GetCurrentProcessId()));
  }
  // Found only where the process may load DLLs from its own folder.
  HMODULE planted = shared ? LoadLibraryW(L"tarvo_planted.dll") : nullptr;
  if (planted) {
    InterlockedIncrement(&shared->PlantedLoads);
    FreeLibrary(planted);
  }
  return CallNextHookEx(nullptr, code, window, lParam);
}
