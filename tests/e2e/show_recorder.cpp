// A global CBT hook that Wine loads into every process of the desktop: it sees
// each window being made, so no top-level window is made unseen.
#include <windows.h>

#include "show_log.h"

namespace {
// The log exists while an end-to-end test program runs.
ShowLog* shared;
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  HANDLE mapping = reason == DLL_PROCESS_ATTACH ? OpenFileMappingA(FILE_MAP_WRITE, FALSE, kShowLogName) : nullptr;
  if (mapping) shared = static_cast<ShowLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ShowLog)));
  return TRUE;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK RecordWindows(int code, WPARAM window, LPARAM lParam) {
  HWND parent = reinterpret_cast<CBT_CREATEWNDA*>(lParam)->lpcs->hwndParent;
  // Children and message-only windows (COM's apartment window) are never seen.
  bool topLevel = code == HCBT_CREATEWND && (!parent || parent == GetDesktopWindow());
  LONG i = shared && topLevel ? InterlockedIncrement(&shared->Count) - 1 : kShowLogCapacity;
  if (i < kShowLogCapacity) {
    GetClassNameA(reinterpret_cast<HWND>(window), shared->Entries[i].ClassName, sizeof shared->Entries[i].ClassName);
    // Written last: an entry is complete once its process is set.
    InterlockedExchange(reinterpret_cast<LONG*>(&shared->Entries[i].ProcessId), LONG(GetCurrentProcessId()));
  }
  return CallNextHookEx(nullptr, code, window, lParam);
}
