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

// Only processes that inherited TARVO_SHOW_LOG from a test record anything.
ShowLog* Log() {
  static bool looked;
  static ShowLog* shared;
  char name[128];
  DWORD n = looked ? 0 : GetEnvironmentVariableA("TARVO_SHOW_LOG", name, sizeof name);
  looked = true;
  HANDLE mapping = n && n < sizeof name ? OpenFileMappingA(FILE_MAP_WRITE, FALSE, name) : nullptr;
  if (mapping) shared = static_cast<ShowLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ShowLog)));
  return shared;
}

// 0: made, 1: about to be shown, -1: neither.
int Kind(const CWPSTRUCT& m) {
  const STYLESTRUCT* style = reinterpret_cast<const STYLESTRUCT*>(m.lParam);
  switch (m.message) {
    case WM_NCCREATE: return 0;
    case WM_SHOWWINDOW: return m.wParam ? 1 : -1;
    case WM_WINDOWPOSCHANGING: return reinterpret_cast<const WINDOWPOS*>(m.lParam)->flags & SWP_SHOWWINDOW ? 1 : -1;
    case WM_STYLECHANGING:
      return m.wParam == WPARAM(GWL_STYLE) && (style->styleNew & ~style->styleOld & WS_VISIBLE) ? 1 : -1;
  }
  return -1;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK RecordShows(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
  int kind = code == HC_ACTION ? Kind(m) : -1;
  ShowLog* log = kind >= 0 && !(GetWindowLongA(m.hwnd, GWL_STYLE) & WS_CHILD) ? Log() : nullptr;
  LONG i = log ? InterlockedIncrement(&log->Count) - 1 : kShowLogCapacity;
  if (i < kShowLogCapacity) {
    ShowEntry& e = log->Entries[i];
    GetClassNameA(m.hwnd, e.ClassName, sizeof e.ClassName);
    e.Shown = kind;
    InterlockedExchange(reinterpret_cast<LONG*>(&e.ProcessId), LONG(GetCurrentProcessId()));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
