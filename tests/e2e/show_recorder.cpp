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

ShowLog* shared;
bool looked;

// Only processes that inherited TARVO_SHOW_LOG from a test record anything.
ShowLog* Log() {
  if (looked) return shared;
  looked = true;
  char name[128];
  DWORD n = GetEnvironmentVariableA("TARVO_SHOW_LOG", name, sizeof name);
  if (n == 0 || n >= sizeof name) return nullptr;
  HANDLE mapping = OpenFileMappingA(FILE_MAP_WRITE, FALSE, name);
  if (!mapping) return nullptr;
  shared = static_cast<ShowLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, sizeof(ShowLog)));
  return shared;
}

bool Recorded(const CWPSTRUCT& m) {
  switch (m.message) {
    case WM_NCCREATE:
      return true;
    case WM_SHOWWINDOW:
      return m.wParam != 0;
    case WM_WINDOWPOSCHANGING:
      return (reinterpret_cast<const WINDOWPOS*>(m.lParam)->flags & SWP_SHOWWINDOW) != 0;
    case WM_STYLECHANGING: {
      const STYLESTRUCT* s = reinterpret_cast<const STYLESTRUCT*>(m.lParam);
      return m.wParam == WPARAM(GWL_STYLE) && (s->styleNew & WS_VISIBLE) &&
             !(s->styleOld & WS_VISIBLE);
    }
  }
  return false;
}

}  // namespace

extern "C" __declspec(dllexport) LRESULT CALLBACK RecordShows(int code, WPARAM wParam,
                                                              LPARAM lParam) {
  if (code == HC_ACTION) {
    const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (Recorded(m) && !(GetWindowLongA(m.hwnd, GWL_STYLE) & WS_CHILD)) {
      if (ShowLog* l = Log()) {
        LONG i = InterlockedIncrement(&l->Count) - 1;
        if (i < kShowLogCapacity) {
          ShowEntry& e = l->Entries[i];
          GetClassNameA(m.hwnd, e.ClassName, sizeof e.ClassName);
          e.Window = m.hwnd;
          e.Message = m.message;
          // Written last: the reader takes an entry as complete once this is set.
          InterlockedExchange(reinterpret_cast<LONG*>(&e.ProcessId), LONG(GetCurrentProcessId()));
        }
      }
    }
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
