// Helpers shared by the toolkit's test programs.
#pragma once
#include <windows.h>

#include <array>

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

// Input goes through the system's queue, as the user's does. Wine maps absolute coordinates
// back by truncation, so the normalised value is rounded up. Answers whether the pointer arrived.
inline bool SendMouse(POINT p, DWORD buttons = 0) {
  LONG w = GetSystemMetrics(SM_CXSCREEN), h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (p.x * 65536 + w - 1) / w;
  in.mi.dy = (p.y * 65536 + h - 1) / h;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  SendInput(1, &in, sizeof in);
  POINT q;
  bool arrived = PumpUntil([&] { return GetCursorPos(&q) && q.x == p.x && q.y == p.y; });
  PumpQueued();
  return arrived;
}

inline void SendKey(WORD vk, bool up = false) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

inline RECT WindowRect(HWND window) {
  RECT r = {};
  GetWindowRect(window, &r);
  return r;
}

inline POINT CentreOf(HWND window) {
  RECT r = WindowRect(window);
  return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// A rectangle as one value that compares and prints whole.
inline std::array<LONG, 4> Edges(RECT r) { return {r.left, r.top, r.right, r.bottom}; }
