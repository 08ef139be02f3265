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

// WM_DPICHANGED as the system sends it, then fonts.
extern "C" __declspec(dllexport) LRESULT CALLBACK Inspect(int code, WPARAM removed, LPARAM lParam) {
  MSG* msg = reinterpret_cast<MSG*>(lParam);
  if (removed && shared && msg->message == RegisterWindowMessageA(kInspectMessage)) {
    Inspection& look = shared->Look;
    if (look.Dpi) SendMessageW(msg->hwnd, WM_DPICHANGED, MAKEWPARAM(look.Dpi, look.Dpi), LPARAM(&look.Suggested));
    for (HWND child = GetWindow(msg->hwnd, GW_CHILD); child && look.Count < 8; child = GetWindow(child, GW_HWNDNEXT)) {
      Child& c = look.Children[look.Count++];
      c.Id = GetDlgCtrlID(child);
      LOGFONTW font = {};
      HGDIOBJ handle = HGDIOBJ(SendMessageW(child, WM_GETFONT, 0, 0));
      GetObjectW(handle, sizeof font, &font);
      c.FontHeight = font.lfHeight;
      wchar_t text[64] = {};
      HDC dc = GetDC(child);
      SelectObject(dc, handle);
      GetTextExtentPoint32W(dc, text, GetWindowTextW(child, text, 64), &c.Text);
      ReleaseDC(child, dc);
    }
    InterlockedExchange(&look.Done, 1);
  }
  return CallNextHookEx(nullptr, code, removed, lParam);
}
