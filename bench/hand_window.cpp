// The floor of the settings window's start, written by hand in plain Win32:
// the same guard, options, controls, texts, font, picture and display scaling
// as tarvo.exe, with the same manifest and the same imported DLLs, and nothing
// of the toolkit. Closed by WM_CLOSE.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

namespace {

int dpi = 96;
HFONT font;
HWND ok;  // has the focus whenever the window is active, as in Tarvo

int Scale(int value) { return MulDiv(value, dpi, 96); }

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) DestroyWindow(window);
      return 0;
    case WM_ACTIVATE:
      if (LOWORD(wParam) != WA_INACTIVE) SetFocus(ok);
      return 0;
    case WM_CTLCOLORSTATIC:
      return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_BTNFACE));
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

HWND Child(HWND parent, const wchar_t* cls, const wchar_t* text, DWORD style, int id, int x, int y,
           int width, int height) {
  HWND child = CreateWindowExW(0, cls, text, WS_CHILD | WS_VISIBLE | style, Scale(x), Scale(y),
                               Scale(width), Scale(height), parent,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
  SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), 0);
  return child;
}

// An auto-sized check box: its text in the font, the mark, and the gap.
HWND CheckBox(HWND parent, const wchar_t* text, int id, int x, int y, HDC dc, int* right) {
  SIZE size = {};
  GetTextExtentPoint32W(dc, text, lstrlenW(text), &size);
  int width = MulDiv(size.cx + Scale(24), 96, dpi) + 1;
  if (x + width > *right) *right = x + width;
  return Child(parent, L"BUTTON", text, WS_TABSTOP | BS_AUTOCHECKBOX, id, x, y, width, 22);
}

DWORD Option(HKEY key, const char* name) {
  DWORD value = 0;
  DWORD size = sizeof value;
  DWORD type = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != 0 ||
      type != REG_DWORD)
    return 0;
  return value == 1;
}

}  // namespace

// The program imports these as well; a start loads every imported DLL.
void* volatile keepImports[] = {reinterpret_cast<void*>(CoInitialize),
                                reinterpret_cast<void*>(ShellExecuteW)};

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  HANDLE running = OpenMutexA(SYNCHRONIZE, FALSE, "BenchHandWindow");
  if (running) return 0;
  HANDLE mutex = CreateMutexA(nullptr, FALSE, "BenchHandWindow");
  HMODULE user = GetModuleHandleA("user32.dll");
  auto forSystem = reinterpret_cast<UINT(WINAPI*)()>(
      reinterpret_cast<void*>(GetProcAddress(user, "GetDpiForSystem")));
  if (forSystem) dpi = static_cast<int>(forSystem());
  HMODULE comctl = LoadLibraryA("comctl32.dll");
  auto initEx = reinterpret_cast<BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*)>(
      reinterpret_cast<void*>(GetProcAddress(comctl, "InitCommonControlsEx")));
  INITCOMMONCONTROLSEX icc = {sizeof icc, 0xFF};
  if (initEx) initEx(&icc);

  WNDCLASSW wc = {};
  wc.lpfnWndProc = WindowProc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursorA(nullptr, IDC_ARROW);
  wc.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
  wc.lpszClassName = L"BenchHandWindow";
  if (!RegisterClassW(&wc)) return 1;
  const DWORD style = WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
  const DWORD exStyle = WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE | WS_EX_CONTROLPARENT;
  HWND window = CreateWindowExW(exStyle, wc.lpszClassName, L"Tarvo\u3000", style, 0, 0, 100, 100,
                                nullptr, nullptr, instance, nullptr);
  if (!window) return 2;
  font = CreateFontW(-Scale(12), 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS UI Gothic");

  HDC dc = GetDC(window);
  HGDIOBJ old = SelectObject(dc, font);
  int right = 206;
  Child(window, L"STATIC", L"Ver0.40", SS_NOPREFIX, -1, 12, 48, 47, 16);
  ok = Child(window, L"BUTTON", L"OK", WS_TABSTOP | BS_DEFPUSHBUTTON, IDOK, 13, 78, 89, 22);
  Child(window, L"BUTTON", L"キャンセル", WS_TABSTOP, IDCANCEL, 117, 78, 89, 22);
  HWND boxes[] = {CheckBox(window, L"リンク先を開く", 100, 58, 8, dc, &right),
                  CheckBox(window, L"リンク先をエクスプローラで開く", 101, 58, 26, dc, &right),
                  CheckBox(window, L"選択状態で開く", 102, 58, 56, dc, &right)};
  SelectObject(dc, old);
  ReleaseDC(window, dc);
  HWND picture =
      Child(window, L"STATIC", nullptr, SS_ICON | SS_REALSIZECONTROL, -1, 16, 13, 32, 32);
  HANDLE icon = LoadImageW(instance, L"MAINICON", IMAGE_ICON, Scale(32), Scale(32), 0);
  SendMessageW(picture, STM_SETIMAGE, IMAGE_ICON, reinterpret_cast<LPARAM>(icon));
  Child(window, L"STATIC", nullptr, SS_SUNKEN, -1, 56, 49, 155, 2);

  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\vek\\Tarvo", 0, KEY_READ, &key) == 0) {
    const char* names[] = {"normal", "explore", "select"};
    for (int i = 0; i < 3; ++i) SendMessageW(boxes[i], BM_SETCHECK, Option(key, names[i]), 0);
    RegCloseKey(key);
  }

  RECT frame = {0, 0, Scale(right + 14), Scale(108)};
  AdjustWindowRectEx(&frame, style, FALSE, exStyle);
  int width = frame.right - frame.left;
  int height = frame.bottom - frame.top;
  SetWindowPos(window, nullptr, (GetSystemMetrics(SM_CXSCREEN) - width) >> 1,
               (GetSystemMetrics(SM_CYSCREEN) - height) >> 1, width, height,
               SWP_NOZORDER | SWP_NOACTIVATE);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  MSG msg;
  while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
    if (IsDialogMessageW(window, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  DeleteObject(font);
  DestroyIcon(static_cast<HICON>(icon));
  CloseHandle(mutex);
  return 0;
}
