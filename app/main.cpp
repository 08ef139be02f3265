// Program entry: one instance at a time; a second start only brings the first
// instance's window forward, whatever its arguments asked for.
#include <windows.h>

#include "app/unit1.h"

const char* AppName;

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  AppName = kAppName;

  HANDLE running = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, AppName);
  if (running) {
    HWND window = FindWindowA(nullptr, kFormCaption);
    if (window) {
      SetForegroundWindow(window);
      HWND owner = reinterpret_cast<HWND>(GetWindowLongPtrA(window, GWLP_HWNDPARENT));
      if (owner && IsIconic(owner)) SendMessageA(owner, WM_SYSCOMMAND, SC_RESTORE, -1);
    }
    CloseHandle(running);
    return 0;
  }

  // Not checked: without a mutex the program simply runs unguarded. The handle
  // stays open until the process ends, which is what keeps the guard up.
  HANDLE mutex = CreateMutexA(nullptr, FALSE, AppName);
  CreateForm1(&Form1, nullptr);
  RunMainLoop(&Form1->Form);
  // The loop disposed the form and with it the record.
  Form1 = nullptr;
  // Created without initial ownership, so this releases nothing.
  ReleaseMutex(mutex);
  return 0;
}
