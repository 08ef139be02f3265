// Helpers shared by the toolkit's test programs.
#pragma once
#include <windows.h>
#include "toolkit/toolkit.h"

// The loop's globals live for the whole process; tests that run the loop or
// install hooks put them back so that the next test starts clean.
inline void ResetToolkitState() {
  MainControl = nullptr;
  LoopActive = 0;
  QuitRequested = 0;
  ControlBeingCreated = nullptr;
}

// Dispatches what is queued for this thread, without waiting.
inline void PumpQueued() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Pumps until pred() holds or about timeoutMs have passed; answers pred().
template <class Pred>
bool PumpUntil(Pred pred, DWORD timeoutMs = 2000) {
  DWORD start = GetTickCount();
  while (!pred()) {
    if (GetTickCount() - start > timeoutMs) return false;
    PumpQueued();
    Sleep(1);
  }
  return true;
}
