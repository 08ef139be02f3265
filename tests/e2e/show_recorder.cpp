// A global WH_CALLWNDPROC hook that Wine loads into every process of the
// desktop. It sees each message before the window procedure does, so a
// top-level window cannot become visible without one of these passing here
// first: ShowWindow sends WM_SHOWWINDOW, SetWindowPos with SWP_SHOWWINDOW sends
// WM_WINDOWPOSCHANGING, and setting WS_VISIBLE through SetWindowLong sends
// WM_STYLECHANGING. A show that is undone at once is still recorded. Every
// window gets WM_NCCREATE, so no top-level window is made unseen either.
#include <windows.h>

#include "show_log.h"

namespace {
ShowLog* shared;  // only in processes that inherited TARVO_SHOW_LOG from a test
}

BOOL WINAPI DllMain(HINSTANCE, DWORD reason, void*) {
  char name[128];
  DWORD n = reason == DLL_PROCESS_ATTACH ? GetEnvironmentVariableA("TARVO_SHOW_LOG", name, sizeof name) : 0;
  HANDLE mapping = n && n < sizeof name ? OpenFileMappingA(FILE_MAP_WRITE, FALSE, name) : nullptr;
  if (mapping) shared = static_cast<ShowLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ShowLog)));
  return TRUE;
}

extern "C" __declspec(dllexport) LRESULT CALLBACK RecordShows(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
  const STYLESTRUCT* style = reinterpret_cast<const STYLESTRUCT*>(m.lParam);
  bool made = m.message == WM_NCCREATE;
  bool shown = (m.message == WM_SHOWWINDOW && m.wParam) ||
               (m.message == WM_WINDOWPOSCHANGING && reinterpret_cast<const WINDOWPOS*>(m.lParam)->flags & SWP_SHOWWINDOW) ||
               (m.message == WM_STYLECHANGING && m.wParam == WPARAM(GWL_STYLE) && style->styleNew & ~style->styleOld & WS_VISIBLE);
  // Message-only windows (COM's apartment window) are never seen: not recorded.
  bool topLevel = GetAncestor(m.hwnd, GA_PARENT) == GetDesktopWindow();
  bool record = shared && code == HC_ACTION && (made || shown) && topLevel;
  LONG i = record ? InterlockedIncrement(&shared->Count) - 1 : kShowLogCapacity;
  if (i < kShowLogCapacity) {
    ShowEntry& e = shared->Entries[i];
    GetClassNameA(m.hwnd, e.ClassName, sizeof e.ClassName);
    e.Shown = shown;
    InterlockedExchange(reinterpret_cast<LONG*>(&e.ProcessId), LONG(GetCurrentProcessId()));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
