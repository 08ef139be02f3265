#include <windows.h>

#include <string.h>

#include <gtest/gtest.h>

#include "gdi_log.h"
#include "toolkit_support/toolkit_test_support.h"

namespace {

struct CanvasFixture : ::testing::Test {
  int32_t liveAtStart = 0;
  Control* form = nullptr;
  Control* label = nullptr;

  void SetUp() override {
    InstallGdiLog();
    ResetToolkitState();
    liveAtStart = LiveObjectCount;
    form = NewForm(nullptr, "canvas");
    label = NewLabel(form, "Hello");
  }
  void TearDown() override {
    gGdi.Stop();
    Dispose(form);
    EXPECT_EQ(LiveObjectCount, liveAtStart);
    ResetToolkitState();
  }
};

TEST_F(CanvasFixture, OneSurfacePerFontWithACopyOfIt) {
  GraphicTool* font = GetFontTool(label);
  SetToolField(font, ToolHeight, -18);
  DrawingSurface* canvas = GetCanvas(label);
  EXPECT_EQ(GetCanvas(label), canvas);
  EXPECT_EQ(label->Canvas, canvas);
  EXPECT_EQ(canvas->OwnerControl, label);
  EXPECT_EQ(canvas->DCProvider.Code, ProvideCanvasDC);
  EXPECT_EQ(canvas->DCProvider.Context, label);
  EXPECT_EQ(canvas->DC, nullptr);
  ASSERT_NE(canvas->Font, nullptr);
  EXPECT_NE(canvas->Font, font);
  EXPECT_EQ(canvas->Font->ParentTool, nullptr);
  EXPECT_EQ(memcmp(ToolBlock(canvas->Font), ToolBlock(font), kToolBlockSize), 0);
  EXPECT_EQ(canvas->Brush, nullptr);
  EXPECT_EQ(canvas->Pen, nullptr);

  SetToolField(font, ToolHeight, -24);
  EXPECT_EQ(label->Canvas, nullptr) << "a font change drops the surface";
  DrawingSurface* next = GetCanvas(label);
  EXPECT_EQ(next->Font->Descriptor.lfHeight, -24);

  // A control without a font gets a surface without one.
  DrawingSurface* plain = GetCanvas(form);
  EXPECT_EQ(plain->Font, nullptr);
}

TEST_F(CanvasFixture, SendToControlMakesTheWindowFirst) {
  ASSERT_EQ(label->Handle, nullptr);
  EXPECT_EQ(SendToControl(label, WM_GETTEXTLENGTH, 0, 0), 5);
  ASSERT_NE(label->Handle, nullptr);
  EXPECT_NE(form->Handle, nullptr);
  EXPECT_FALSE(IsWindowVisible(label->Handle)) << "made on demand, so hidden";
  char text[16] = {};
  EXPECT_EQ(SendToControl(label, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text)), 5);
  EXPECT_STREQ(text, "Hello");
}

TEST_F(CanvasFixture, MeasuringOutsidePaintBorrowsAndReturnsAWindowDC) {
  SetToolField(GetFontTool(label), ToolHeight, -16);
  // No window yet: making it for the DC applies the font, which drops the
  // label's surface while that very surface is measuring.
  gGdi.Start();
  SIZE first = MeasureText(GetCanvas(label), "Hello");
  gGdi.Stop();
  ASSERT_NE(label->Handle, nullptr) << "the window is made to get a DC";
  EXPECT_EQ(label->Canvas, nullptr);
  EXPECT_GT(first.cx, 0);
  EXPECT_EQ(gGdi.Count("GetDC"), 1);
  EXPECT_EQ(gGdi.Count("ReleaseDC"), 1);

  DrawingSurface* canvas = GetCanvas(label);
  gGdi.Start();
  SIZE size = MeasureText(canvas, "Hello");
  gGdi.Stop();
  EXPECT_EQ(size.cx, first.cx);
  EXPECT_EQ(size.cy, first.cy);
  EXPECT_EQ(gGdi.Count("GetDC"), 1);
  EXPECT_EQ(gGdi.Count("ReleaseDC"), 1);
  EXPECT_LT(gGdi.Find("Select:stockfont"), gGdi.Find("ReleaseDC"));
  EXPECT_EQ(canvas->DC, nullptr);
  EXPECT_EQ(label->Canvas, canvas);

  // The label's class keeps one DC per window: what the surface left selected
  // in it stays there, so it must be the stock font, not the surface's own.
  HDC own = GetDC(label->Handle);
  EXPECT_EQ(GetCurrentObject(own, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  ReleaseDC(label->Handle, own);

  const int kRounds = 1000;
  gGdi.Start();
  for (int i = 0; i < kRounds; ++i) MeasureText(GetCanvas(label), "Balance");
  gGdi.Stop();
  std::printf("%d canvas measurements: GetDC %d, ReleaseDC %d, fonts made %d\n", kRounds,
              gGdi.Count("GetDC"), gGdi.Count("ReleaseDC"), gGdi.Count("CreateFont"));
  EXPECT_EQ(gGdi.Count("GetDC"), kRounds);
  EXPECT_EQ(gGdi.Count("ReleaseDC"), kRounds);
  EXPECT_EQ(gGdi.Count("CreateFont"), 0);
}

// Measures inside the label's own WM_PAINT, as auto-size would if it ran then.
struct PaintProbe {
  int paints = 0;
  HDC paintDC = nullptr;
  HDC heldDuring = nullptr;
  uint8_t borrowed = 0;
  SIZE size = {};
  int releasesDuring = 0;
  int getDCsDuring = 0;
};
PaintProbe gProbe;

bool MeasureWhilePainting(Control* ctl, WindowMessage* message, LRESULT* result) {
  if (message->Msg != WM_PAINT) return false;
  PAINTSTRUCT ps;
  ctl->PaintDC = BeginPaint(ctl->Handle, &ps);
  gProbe.paintDC = ctl->PaintDC;
  gGdi.Start();
  gProbe.size = MeasureText(GetCanvas(ctl), "Hello");
  gGdi.Stop();
  gProbe.heldDuring = ctl->Canvas->DC;
  gProbe.borrowed = ctl->Canvas->BorrowedPaintDC;
  gProbe.releasesDuring = gGdi.Count("ReleaseDC");
  gProbe.getDCsDuring = gGdi.Count("GetDC");
  ++gProbe.paints;
  EndPaint(ctl->Handle, &ps);
  ctl->PaintDC = nullptr;
  *result = 0;
  return true;
}

TEST_F(CanvasFixture, MeasuringWhilePaintingUsesThePaintDCAndNeverReleasesIt) {
  gProbe = {};
  SetToolField(GetFontTool(label), ToolHeight, -16);
  AddMessageHandler(label, MeasureWhilePainting);
  EnsureHandle(label);
  ShowWindow(form->Handle, SW_SHOWNOACTIVATE);
  ShowWindow(label->Handle, SW_SHOWNOACTIVATE);
  RedrawWindow(label->Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  ASSERT_GE(gProbe.paints, 1);
  EXPECT_EQ(gProbe.heldDuring, gProbe.paintDC) << "the paint DC stays adopted";
  EXPECT_EQ(gProbe.borrowed, 1);
  EXPECT_EQ(gProbe.getDCsDuring, 0);
  EXPECT_EQ(gProbe.releasesDuring, 0);
  EXPECT_GT(gProbe.size.cx, 0);

  // The paint is over; the next measurement drops the kept paint DC without
  // releasing it and borrows a window DC of its own.
  DrawingSurface* canvas = label->Canvas;
  ASSERT_EQ(canvas->DC, gProbe.paintDC);
  gGdi.Start();
  MeasureText(canvas, "Hello");
  gGdi.Stop();
  int get = gGdi.Find("GetDC");
  ASSERT_GE(get, 0);
  EXPECT_EQ(gGdi.Find("ReleaseDC"), static_cast<int>(gGdi.events.size()) - 1) << gGdi.Joined();
  EXPECT_EQ(gGdi.Count("ReleaseDC"), 1) << gGdi.Joined();
  EXPECT_LT(gGdi.Find("Select:stockfont"), get) << "stock objects back in the paint DC first";
  EXPECT_EQ(canvas->DC, nullptr);
}

}  // namespace
