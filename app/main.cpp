// Program entry. A verb run opens its shortcut's target and ends without
// building any window; a start without arguments shows the settings window.
// The mutex belongs to the settings window alone: several verb runs, started
// at once for several selected shortcuts, must all open their folders.
#include <windows.h>

#include "app/link_action.h"
#include "app/settings_window.h"
#include "app/texts.h"
#include "support/command_line.h"
#include "support/wide_text.h"

const char* AppName;

namespace {

void BringForward() {
  HWND window = FindWindowW(nullptr, WideText(kFormCaption).c_str());
  if (!window) return;
  SetForegroundWindow(window);
  HWND owner = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_HWNDPARENT));
  if (owner && IsIconic(owner)) SendMessageA(owner, WM_SYSCOMMAND, SC_RESTORE, -1);
}

// A window started with more rights (as administrator) made the mutex with a
// security that may grant this start little: SYNCHRONIZE is the least access
// to ask for, and a refusal means the mutex is there all the same.
bool SettingsWindowRunning() {
  HANDLE running = OpenMutexA(SYNCHRONIZE, FALSE, AppName);
  bool refused = !running && GetLastError() == ERROR_ACCESS_DENIED;
  if (running) CloseHandle(running);
  return running || refused;
}

// Explorer starts verbs with a wide command line; the ANSI one is a best-fit
// copy that can name another file (ü becomes u, ¥ becomes a backslash). The
// ANSI argument is used only when it is the exact form of the wide one.
void OpenArgument(const ByteString& shortcut, bool select) {
  ByteString mode = GetCommandParam(2);
  wchar_t wide[MAX_PATH] = {};
  ByteString ansi;
  bool exact = WideCommandParam(1, wide, MAX_PATH) && ToAnsiExact(wide, &ansi) &&
               ansi.length() == shortcut.length() &&
               SameMemory(ansi.c_str(), shortcut.c_str(), shortcut.length());
  if (!exact && wide[0]) {
    OpenShortcutTargetW(wide, mode.c_str(), select);
  } else {
    OpenShortcutTarget(shortcut.c_str(), mode.c_str(), select);
  }
}

// DLLs that the system loads for the program on demand (the shell's helpers,
// COM servers) come from System32 only, never from the program's folder, where
// a download may have put its own. Looked up: Windows before 8 without its
// update lacks the call.
void RestrictDllSearch() {
  using SetDirectories = BOOL(WINAPI*)(DWORD);
  auto set = reinterpret_cast<SetDirectories>(reinterpret_cast<void*>(
      GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "SetDefaultDllDirectories")));
  if (set) set(LOAD_LIBRARY_SEARCH_SYSTEM32);
}

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  RestrictDllSearch();
  AppName = kAppName;

  // The mutex exists only while a settings window runs: a verb run yields to
  // it as a second start does, and opens nothing.
  if (SettingsWindowRunning()) {
    BringForward();
    return 0;
  }

  ByteString shortcut = GetCommandParam(1);
  if (!shortcut.empty()) {
    OpenArgument(shortcut, ReadSettings().select);
    return 0;
  }

  // Another start made the mutex since the check, or the name is not to be had
  // as a mutex: without a guard of its own this start only brings forward what
  // window there is. The handle stays open until the process ends, which keeps
  // the guard up.
  HANDLE mutex = CreateMutexA(nullptr, FALSE, AppName);
  if (!mutex || GetLastError() == ERROR_ALREADY_EXISTS) {
    BringForward();
    return 0;
  }
  CreateForm1(&Form1, nullptr);
  RunMainLoop(&Form1->Form);
  // The loop disposed the form and with it the record.
  Form1 = nullptr;
  // Created without initial ownership, so this releases nothing.
  ReleaseMutex(mutex);
  return 0;
}
