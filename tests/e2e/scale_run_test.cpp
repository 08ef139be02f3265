// The settings window at the display's scale.
#include "e2e/harness.h"

namespace {

// At 96 DPI by control id: version, OK, Cancel, 3 boxes, picture, line. The
// client width and the boxes' right edges follow the language's texts.
const LONG kWidths[2][4] = {{276, 166, 262, 166}, {254, 175, 240, 230}};
const LONG* const kWidth = kWidths[!kInJapanese];
const RECT kAt96[] = {{12, 48, 59, 64}, {13, 78, 102, 100}, {117, 78, 206, 100}, {58, 26, kWidth[2], 48},
                      {58, 8, kWidth[1], 30}, {16, 13, 48, 45}, {58, 56, kWidth[3], 78}, {56, 49, 211, 51}};
const bool kBox[] = {0, 0, 0, 1, 1, 0, 1, 0};

LONG Scaled(LONG v, int dpi) {
  return MulDiv(v, dpi, 96);
}

Inspection Look(HWND form, LONG dpi = 0, RECT suggested = {}) {
  Inspection& look = Recorder()->Look;
  look = Inspection{dpi, suggested};
  HMODULE dll = GetModuleHandleA("window_recorder");
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, HOOKPROC(GetProcAddress(dll, "Inspect")), dll, GetWindowThreadProcessId(form, 0));
  PostMessageA(form, RegisterWindowMessageA(kInspectMessage), 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return look.Done != 0; }));
  UnhookWindowsHookEx(hook);
  return look;
}

// A row of the picture is the icon's own image.
bool IconShown(HWND form, int dpi) {
  const int size = Scaled(32, dpi);
  HMODULE exe = LoadLibraryExW(TheBench().exe.c_str(), 0, LOAD_LIBRARY_AS_DATAFILE);
  HICON icon = HICON(LoadImageW(exe, L"MAINICON", IMAGE_ICON, size, size, 0));
  HDC screen = GetDC(0);
  HDC memory = CreateCompatibleDC(screen);
  SelectObject(memory, CreateCompatibleBitmap(screen, size, size));
  DrawIconEx(memory, 0, 0, icon, size, size, 0, 0, DI_NORMAL);
  POINT at = {Scaled(16, dpi), Scaled(13, dpi) + size / 2};
  ClientToScreen(form, &at);
  for (int x = 2; x < size - 2; ++x) {
    if (GetPixel(memory, x, size / 2) != GetPixel(screen, at.x + x, at.y)) return false;
  }
  return true;
}

// Places, fonts scaled; texts whole; inside; no mark or text over another
// control (the line starts under the version already at 96 DPI).
void ExpectLaidOut(HWND form, int dpi, const Inspection& look, int mark) {
  SCOPED_TRACE(dpi);
  RECT client;
  GetClientRect(form, &client);
  std::vector<RECT> shown;
  for (const Child& c : look.Children) {
    const int n = c.Id - 0x8000;
    ASSERT_LT(unsigned(n), 8u);
    RECT r = WindowRect(GetDlgItem(form, c.Id));
    MapWindowPoints(0, form, LPPOINT(&r), 2);
    // A box fits its text measured at this scale: hinting can make it a few
    // pixels wider than the scaled 96-DPI width (English at 144).
    for (int i = 0; i < 4; ++i) {
      EXPECT_NEAR((&r.left)[i], Scaled((&kAt96[n].left)[i], dpi), dpi == 96 ? 0 : kBox[n] && i == 2 ? 8 : 2) << n;
    }
    EXPECT_EQ(c.FontHeight, -Scaled(12, dpi));
    const LONG needed = c.Text.cx + (kBox[n] ? mark : 0);
    EXPECT_LE(needed, r.right - r.left);
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom) << n;
    if (kBox[n] || n == 0) {
      r.top = kBox[n] ? (r.top + r.bottom - c.Text.cy) / 2 : r.top;
      r = {r.left, r.top, r.left + needed, r.top + c.Text.cy};
    }
    for (RECT other : shown) {
      EXPECT_TRUE(n == 7 || !IntersectRect(&other, &r, &other));
    }
    shown.push_back(r);
  }
}

// Then a move to 144 DPI (from 144: 192) and to an odd rectangle the window
// must take, not work out; Wine never sends it.
TEST(ScaleRun, WholeAtEveryScaleAndTakesTheSuggestedRectangle) {
  TarvoRun run(L"");
  HWND form = run.WaitForWindow(L"Tarvo\u3000");
  const int dpi = GetDeviceCaps(GetDC(0), LOGPIXELSY);
  RECT client;
  GetClientRect(form, &client);
  RECT w = WindowRect(form);
  EXPECT_NEAR(client.right, Scaled(kWidth[0], dpi), dpi == 96 ? 0 : 2);
  EXPECT_NEAR(client.bottom, Scaled(108, dpi), dpi == 96 ? 0 : 2);
  EXPECT_NEAR(w.left + w.right, GetSystemMetrics(SM_CXSCREEN), 1);
  EXPECT_NEAR(w.top + w.bottom, GetSystemMetrics(SM_CYSCREEN), 1);
  EXPECT_EQ(GetWindowLongW(form, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX), 0);
  EXPECT_TRUE(WaitUntil([&] { return IconShown(form, dpi); }));
  const int mark = GetSystemMetrics(SM_CXMENUCHECK);
  ExpectLaidOut(form, dpi, Look(form), mark);
  const int to = dpi == 144 ? 192 : 144;
  const RECT suggested = {w.left - 7, w.top - 5, w.left - 7 + MulDiv(w.right - w.left, to, dpi) + 1, w.top - 5 + MulDiv(w.bottom - w.top, to, dpi) + 3};
  const Inspection look = Look(form, to, suggested);
  w = WindowRect(form);
  EXPECT_TRUE(EqualRect(&w, &suggested));
  // Painted once the new layout is in.
  EXPECT_TRUE(WaitUntil([&] { return IconShown(form, to); }));
  ExpectLaidOut(form, to, look, MulDiv(mark, to, dpi));
  PostMessageA(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitExit(), 0u);
}

}  // namespace
