#include <string.h>

#include <functional>

#include <gtest/gtest.h>

#include "gdi_log.h"
#include "toolkit_support/toolkit_test_support.h"

// A label's window has no CS_OWNDC: every GetDC takes a DC from the cache, so
// a missing ReleaseDC really leaks one.
struct SurfaceFixture : ::testing::Test {
  int32_t liveAtStart = (ResetToolkitState(), LiveObjectCount);
  Control* form = NewForm(nullptr, "surface");
  Control* label = NewLabel(form, "Hello");
  void TearDown() override {
    Dispose(form);
    EXPECT_EQ(LiveObjectCount, liveAtStart);
    ResetToolkitState();
  }
};

HDC HeldDCOnly(void*, DrawingSurface* surface) { return surface->DC; }

TEST_F(SurfaceFixture, MeasureTextGivesEveryDCBackWithTheStockObjectsIn) {
  SetToolField(GetFontTool(label), ToolHeight, -16);
  DrawingSurface* plain = NewDrawingSurface();
  plain->Font = AssignTool(nullptr, label->Font);
  // The label has no window yet: making it for the DC applies the label's font
  // (F), which drops its surface while that very surface is measuring; it goes,
  // with its copy of the font (X), only once the measuring is over.
  const struct { const char* what; std::function<DrawingSurface*()> surface; const char* calls; int times; } cases[] = {
      {"window made on demand", [&] { return GetCanvas(label); }, "FGFSsssRX", 1},
      {"window DC", [&] { return GetCanvas(label); }, "GFSsssR", 1},
      {"window DC, font kept", [&] { return GetCanvas(label); }, "GSsssR", 1000},
      {"no provider: memory DC", [&] { return plain; }, "CFSsssD", 1},
      {"no DC from the provider", [&] { return plain->DCProvider = {HeldDCOnly, nullptr}, plain; }, "CSsssD", 1},
  };
  SIZE first = {};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SIZE size = {};
    std::string expected;
    for (int i = 0; i < c.times; ++i) expected += c.calls;
    EXPECT_EQ(GdiCalls([&] { for (int i = 0; i < c.times; ++i) size = MeasureText(c.surface(), "Hello"); }), expected);
    if (!first.cx) first = size;
    EXPECT_EQ((std::vector<LONG>{size.cx, size.cy}), (std::vector<LONG>{first.cx, first.cy}));
  }
  EXPECT_EQ(label->Canvas->DC, nullptr);
  EXPECT_EQ(MeasureText(plain, nullptr).cx, 0);
  // A memory DC handed in with nothing selected: no stock objects to put back.
  EXPECT_EQ(GdiCalls([&] { SetSurfaceDC(plain, CreateCompatibleDC(nullptr)), SetSurfaceDC(plain, nullptr); }), "CD");
  EXPECT_EQ(GdiCalls([&] { Dispose(plain); }), "X") << "the surface's font goes with it";
}

TEST_F(SurfaceFixture, FontChangeWhileSelectedPutsTheStockObjectsBackBeforeTheDeletion) {
  GetFontTool(label);
  EnsureHandle(label);
  DrawingSurface* surface = GetCanvas(label);
  HDC dc = PrepareDC(surface, NeedDC | NeedFont);
  EXPECT_EQ(GetTextColor(dc), GetSysColor(COLOR_WINDOWTEXT));
  EXPECT_EQ(GdiCalls([&] { SetToolField(surface->Font, ToolHeight, -30); }), "sssX");
  EXPECT_EQ(surface->DC, dc);
  SetToolField(surface->Font, ToolColor, 0x000000FF);
  EXPECT_EQ(GdiCalls([&] { PrepareDC(surface, NeedDC | NeedFont), PrepareDC(surface, NeedDC | NeedFont); }), "FS");
  EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), surface->Font->Handle);
  EXPECT_EQ(GetTextColor(dc), 0x000000FFu);
  EXPECT_EQ(GdiCalls([&] { SetSurfaceDC(surface, nullptr); }), "sssR");
}

TEST_F(SurfaceFixture, OneCanvasPerControlWithACopyOfItsFontAndTheWindowMadeOnDemand) {
  GraphicTool* font = GetFontTool(label);
  SetToolField(font, ToolHeight, -18);
  DrawingSurface* canvas = GetCanvas(label);
  EXPECT_EQ(GetCanvas(label), canvas);
  EXPECT_NE(canvas->Font, font);
  EXPECT_EQ(canvas->Font->ParentTool, nullptr);
  EXPECT_EQ(memcmp(ToolBlock(canvas->Font), ToolBlock(font), kToolBlockSize), 0);
  SetToolField(font, ToolHeight, -24);
  EXPECT_EQ(label->Canvas, nullptr) << "a font change drops the canvas";
  EXPECT_EQ(GetCanvas(form)->Font, nullptr) << "no font of its own, none on the canvas";

  char text[16] = {};
  EXPECT_EQ(SendToControl(label, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 5);
  EXPECT_STREQ(text, "Hello");
  EXPECT_FALSE(IsWindowVisible(label->Handle)) << "made on demand, so hidden";
}

// Measures inside the label's own WM_PAINT, as auto-size would if it ran then.
struct { int paints; std::string calls; } gPaint;
bool MeasureWhilePainting(Control* ctl, WindowMessage* message, LRESULT* result) {
  if (message->Msg != WM_PAINT) return false;
  PAINTSTRUCT ps;
  ctl->PaintDC = BeginPaint(ctl->Handle, &ps);
  gPaint.calls += GdiCalls([&] { MeasureText(GetCanvas(ctl), "Hello"); });
  ++gPaint.paints;
  EndPaint(ctl->Handle, &ps);
  ctl->PaintDC = nullptr;
  return *result = 0, true;
}

TEST_F(SurfaceFixture, MeasuringWhilePaintingUsesThePaintDCAndNeverReleasesIt) {
  gPaint = {};
  SetToolField(GetFontTool(label), ToolHeight, -16);
  AddMessageHandler(label, MeasureWhilePainting);
  EnsureHandle(label);
  ShowWindow(form->Handle, SW_SHOWNOACTIVATE);
  ShowWindow(label->Handle, SW_SHOWNOACTIVATE);
  RedrawWindow(label->Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_GE(gPaint.paints, 1);
  EXPECT_EQ(gPaint.calls.find_first_of("GRD"), std::string::npos) << gPaint.calls;
  // The paint DC stays adopted until the paint is over; then it is dropped with
  // the stock objects back but not released, and a window DC borrowed instead.
  EXPECT_EQ(GdiCalls([&] { MeasureText(label->Canvas, "Hello"); }), "sssGSsssR");
}
