// A global WH_CALLWNDPROC hook that Wine loads into every process of the
// desktop. It sees each message before the window procedure does, so a
// top-level window cannot become visible without one of these passing here:
// ShowWindow sends WM_SHOWWINDOW, SetWindowPos with SWP_SHOWWINDOW sends
// WM_WINDOWPOSCHANGING, setting WS_VISIBLE sends WM_STYLECHANGING. Every window
// gets WM_NCCREATE, so none is made unseen either.
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

extern "C" __declspec(dllexport) LRESULT CALLBACK RecordShows(int code, WPARAM wParam, LPARAM lParam) {
  const CWPSTRUCT& m = *reinterpret_cast<const CWPSTRUCT*>(lParam);
  const STYLESTRUCT* style = reinterpret_cast<const STYLESTRUCT*>(m.lParam);
  const WINDOWPOS* position = reinterpret_cast<const WINDOWPOS*>(m.lParam);
  bool made = m.message == WM_NCCREATE;
  bool shown = (m.message == WM_SHOWWINDOW && m.wParam) ||
               (m.message == WM_WINDOWPOSCHANGING && position->flags & SWP_SHOWWINDOW) ||
               (m.message == WM_STYLECHANGING && m.wParam == WPARAM(GWL_STYLE) && style->styleNew & ~style->styleOld & WS_VISIBLE);
  // Message-only windows (COM's apartment window) are never seen: not recorded.
  bool topLevel = GetAncestor(m.hwnd, GA_PARENT) == GetDesktopWindow();
  LONG i = shared && code == HC_ACTION && (made || shown) && topLevel ? InterlockedIncrement(&shared->Count) - 1 : kShowLogCapacity;
  if (i < kShowLogCapacity) {
    ShowEntry& e = shared->Entries[i];
    GetClassNameA(m.hwnd, e.ClassName, sizeof e.ClassName);
    e.Shown = shown;
    // Written last: an entry is complete once its process is set.
    InterlockedExchange(reinterpret_cast<LONG*>(&e.ProcessId), LONG(GetCurrentProcessId()));
  }
  return CallNextHookEx(nullptr, code, wParam, lParam);
}
