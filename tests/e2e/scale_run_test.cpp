// The settings window at the display's scale, and moved to another one.
#include "e2e/harness.h"

namespace {

// The 96-DPI layout by control id: version, OK, Cancel, the explore box, the
// open box, picture, the select box, line. Boxes are 22 high every 18 pixels:
// their rectangles overlap, the parts they show must not. The line starts 2
// pixels inside the version text's cell already at 96 DPI: it is left out.
const RECT kLayout96[] = {{12, 48, 59, 64}, {13, 78, 102, 100}, {117, 78, 206, 100}, {58, 26, 262, 48},
                          {58, 8, 166, 30}, {16, 13, 48, 45}, {58, 56, 166, 78}, {56, 49, 211, 51}};
const bool kHasMark[] = {false, false, false, true, true, false, true, false};
const int kLabel = 0;
const int kLine = 7;

int CheckMark(int dpi) {
  auto forDpi = reinterpret_cast<int(WINAPI*)(int, UINT)>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetSystemMetricsForDpi")));
  return forDpi(SM_CXMENUCHECK, dpi);
}

Inspection Look(HWND form, LONG dpi = 0, RECT suggested = {}) {
  Inspection& look = Recorder()->Look;
  look = Inspection{dpi, suggested};
  HMODULE dll = GetModuleHandleA("window_recorder.dll");
  HHOOK hook = SetWindowsHookExA(WH_GETMESSAGE, reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "Inspect"))), dll,
                                 GetWindowThreadProcessId(form, nullptr));
  PostMessageA(form, RegisterWindowMessageA(kInspectMessage), 0, 0);
  EXPECT_TRUE(WaitUntil([&] { return look.Done != 0; }));
  UnhookWindowsHookEx(hook);
  return look;
}

LONG Scaled(LONG v, int dpi) {
  return MulDiv(v, dpi, 96);
}

// Places and fonts scaled within 2 pixels of rounding; every text whole in its own
// font; all inside the client area; nothing shown over another control.
void ExpectLayoutAt(HWND form, int dpi, const Inspection& look) {
  RECT client;
  GetClientRect(form, &client);
  ASSERT_EQ(look.Count, 8);
  std::vector<RECT> shown;
  for (int i = 0; i < look.Count; ++i) {
    const ChildLook& c = look.Children[i];
    const int n = c.Id - 0x8000;
    ASSERT_TRUE(n >= 0 && n < 8) << c.Id;
    SCOPED_TRACE(n);
    RECT r = WindowRect(GetDlgItem(form, c.Id));
    MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
    const RECT& e = kLayout96[n];
    const LONG got[] = {r.left, r.top, r.right, r.bottom};
    const LONG want[] = {Scaled(e.left, dpi), Scaled(e.top, dpi), Scaled(e.right, dpi), Scaled(e.bottom, dpi)};
    for (int k = 0; k < 4; ++k) {
      EXPECT_NEAR(got[k], want[k], 2) << "side " << k;
    }
    EXPECT_EQ(c.FontHeight, -Scaled(12, dpi));
    const LONG needed = c.Text.cx + (kHasMark[n] ? CheckMark(dpi) : 0);
    EXPECT_LE(needed, r.right - r.left);
    EXPECT_TRUE(r.left >= 0 && r.top >= 0 && r.right <= client.right && r.bottom <= client.bottom);
    if (kHasMark[n] || n == kLabel) {
      const LONG top = n == kLabel ? r.top : (r.top + r.bottom - c.Text.cy) / 2;
      r = {r.left, top, r.left + needed, top + c.Text.cy};
    }
    for (const RECT& other : shown) {
      if (n == kLine) break;
      RECT both;
      EXPECT_FALSE(IntersectRect(&both, &r, &other));
    }
    shown.push_back(r);
  }
}

int DisplayDpi() {
  HDC screen = GetDC(nullptr);
  int dpi = GetDeviceCaps(screen, LOGPIXELSY);
  ReleaseDC(nullptr, screen);
  return dpi;
}

TEST(ScaleRun, EveryPlaceAndFontScalesAndEveryTextFits) {
  const int dpi = DisplayDpi();
  SCOPED_TRACE(dpi);
  TarvoRun run(L"");
  HWND form = run.WaitForWindow(L"Tarvo\u3000");
  RECT client;
  GetClientRect(form, &client);
  EXPECT_NEAR(client.right, Scaled(276, dpi), 2);
  EXPECT_NEAR(client.bottom, Scaled(108, dpi), 2);
  ExpectLayoutAt(form, dpi, Look(form));
  PostMessageA(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitExit(), 0u);
}

// Wine sends no WM_DPICHANGED: it comes from inside the process, as the system sends it.
TEST(ScaleRun, AMoveToAnotherScaleTakesTheSuggestedRectangle) {
  // Larger, and from 144 smaller; scales whose font height is whole, as 12 pixels are at these.
  const int dpi = DisplayDpi() == 144 ? 192 : 144;
  SCOPED_TRACE(dpi);
  TarvoRun run(L"");
  HWND form = run.WaitForWindow(L"Tarvo\u3000");
  RECT w = WindowRect(form);
  // Odd on purpose: the window must take it, not work out its own.
  const RECT suggested = {w.left - 7, w.top - 5, w.left - 7 + (w.right - w.left) * 3 / 2 + 1, w.top - 5 + (w.bottom - w.top) * 3 / 2 + 3};
  const Inspection look = Look(form, dpi, suggested);
  w = WindowRect(form);
  EXPECT_TRUE(EqualRect(&w, &suggested)) << w.left << "," << w.top << "," << w.right << "," << w.bottom;
  ExpectLayoutAt(form, dpi, look);
  PostMessageA(form, WM_CLOSE, 0, 0);
  EXPECT_EQ(run.WaitExit(), 0u);
}

}  // namespace
