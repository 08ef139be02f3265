// Helpers of every test program: waiting, real input, real shortcut files.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

#include <string>
#include <vector>

inline void PumpQueued() {
  MSG msg;
  while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// Pumps: the programs under test send to this thread's windows.
template <class Pred>
bool WaitUntil(Pred done, DWORD timeoutMs = 5000) {
  DWORD start = GetTickCount();
  while (!done()) {
    if (GetTickCount() - start > timeoutMs) return false;
    PumpQueued();
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
  }
  return true;
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

inline GUITHREADINFO ThreadInput(HWND window) {
  GUITHREADINFO info = {};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info;
}

inline bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; });
}

// Wine maps absolute coordinates back by truncation: round up.
inline void SendMouse(POINT p, DWORD buttons = 0) {
  LONG w = GetSystemMetrics(SM_CXSCREEN);
  LONG h = GetSystemMetrics(SM_CYSCREEN);
  INPUT in = {};
  in.type = INPUT_MOUSE;
  in.mi.dx = (p.x * 65536 + w - 1) / w;
  in.mi.dy = (p.y * 65536 + h - 1) / h;
  in.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | buttons;
  SendInput(1, &in, sizeof in);
  POINT q;
  WaitUntil([&] { return GetCursorPos(&q) && q.x == p.x && q.y == p.y; }, 2000);
  PumpQueued();
}

// A button holds the mouse until its button-up is handled.
inline void ClickAt(HWND target, POINT p) {
  WaitUntil([&] { return ThreadInput(target).hwndCapture == nullptr; });
  SendMouse(p);
  SendMouse(p, MOUSEEVENTF_LEFTDOWN);
  SendMouse(p, MOUSEEVENTF_LEFTUP);
}

inline void SendKey(WORD vk, bool up = false) {
  INPUT in = {};
  in.type = INPUT_KEYBOARD;
  in.ki.wVk = vk;
  in.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
  SendInput(1, &in, sizeof in);
}

inline void PressKey(WORD vk) {
  SendKey(vk);
  SendKey(vk, true);
}

// A missing target gives S_FALSE.
inline bool MakeShortcut(const std::wstring& link, const std::wstring& target, const ITEMIDLIST* list = nullptr) {
  IShellLinkW* shellLink = nullptr;
  IPersistFile* file = nullptr;
  CoInitialize(nullptr);
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&shellLink));
  HRESULT set = list ? shellLink->SetIDList(list) : shellLink->SetPath(target.c_str());
  shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  HRESULT saved = file->Save(link.c_str(), TRUE);
  file->Release();
  shellLink->Release();
  return SUCCEEDED(set) && saved == S_OK;
}

