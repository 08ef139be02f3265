// Every drawing context taken goes back clean; a paint's is only borrowed.
#include <gtest/gtest.h>

#include "test_support.h"
#include "toolkit/toolkit.h"

// GetGuiResources answers 0 under Wine: count through the import slots.
#ifdef _WIN64
#define IMPORT_SLOT(fn, bytes) "__imp_" #fn
#else
#define IMPORT_SLOT(fn, bytes) "__imp__" #fn "@" #bytes
#endif
#define COUNTED(R, fn, bytes, params, args, count)                    \
  extern "C" decltype(&::fn) imp_##fn __asm__(IMPORT_SLOT(fn, bytes)); \
  const decltype(&::fn) real_##fn = imp_##fn;                          \
  R WINAPI Counted##fn params {                                        \
    count;                                                             \
    return real_##fn args;                                             \
  }

int taken, given, misuse;
void Given(HDC dc) {
  misuse += GetCurrentObject(dc, OBJ_FONT) != GetStockObject(SYSTEM_FONT);
  ++given;
}

COUNTED(HDC, GetDC, 4, (HWND w), (w), ++taken)
COUNTED(HDC, CreateCompatibleDC, 4, (HDC dc), (dc), ++taken)
COUNTED(int, ReleaseDC, 8, (HWND w, HDC dc), (w, dc), Given(dc))
COUNTED(BOOL, DeleteDC, 4, (HDC dc), (dc), Given(dc))

struct Surface : testing::Test {
  int32_t live = LiveObjectCount;
  Control* form = NewForm(nullptr, "surface");
  Control* label = NewLabel(form, "Hello");  // no CS_OWNDC: a missing ReleaseDC leaks
  void SetUp() override {
    imp_GetDC = CountedGetDC;
    imp_ReleaseDC = CountedReleaseDC;
    imp_CreateCompatibleDC = CountedCreateCompatibleDC;
    imp_DeleteDC = CountedDeleteDC;
    SetToolField(GetFontTool(label), ToolHeight, -16);
    taken = 0;
    given = 0;
    misuse = 0;
  }
  void TearDown() override {
    Dispose(form);
    EXPECT_EQ(given, taken);
    EXPECT_EQ(misuse, 0);
    EXPECT_EQ(LiveObjectCount, live);
  }
};

TEST_F(Surface, MeasuringGivesEveryContextBack) {
  DrawingSurface* plain = NewDrawingSurface();
  plain->Font = AssignTool(nullptr, label->Font);
  // Made now, the window applies the font, dropping the measuring surface.
  SIZE onDemand = MeasureText(GetCanvas(label), "Hello");
  SIZE window = MeasureText(GetCanvas(label), "Hello");
  SIZE memory = MeasureText(plain, "Hello");
  EXPECT_GT(onDemand.cx, 0);
  EXPECT_EQ(window.cx, onDemand.cx);
  EXPECT_EQ(memory.cx, onDemand.cx);
  EXPECT_EQ(label->Canvas->DC, nullptr);
  Dispose(plain);
}

int paints;  // that took and gave back no context
bool MeasureWhilePainting(Control* ctl, WindowMessage* message, LRESULT* result) {
  if (message->Msg != WM_PAINT) return false;
  PAINTSTRUCT ps;
  ctl->PaintDC = BeginPaint(ctl->Handle, &ps);
  MeasureText(GetCanvas(ctl), "Hello");
  paints += taken + given == 0;
  EndPaint(ctl->Handle, &ps);
  ctl->PaintDC = nullptr;
  *result = 0;
  return true;
}

TEST_F(Surface, MeasuringWhilePaintingBorrowsThePaintContext) {
  AddMessageHandler(label, MeasureWhilePainting);
  CreateControlWindow(form);
  RedrawWindow(label->Handle, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
  EXPECT_GE(paints, 1);
  // The paint's context is dropped unreleased; a window context taken.
  MeasureText(label->Canvas, "Hello");
  EXPECT_EQ(taken, 1);
}

