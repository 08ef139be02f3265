// Every drawing context taken goes back clean; a paint's is only borrowed.
#include <gtest/gtest.h>

#include "toolkit/toolkit.h"

// GetGuiResources answers 0 under Wine: count through the import slots.
#ifdef _WIN64
#define SLOT(fn, bytes) __asm__("__imp_" #fn)
#else
#define SLOT(fn, bytes) __asm__("__imp__" #fn "@" #bytes)
#endif
extern "C" decltype(&GetDC) slotGetDC SLOT(GetDC, 4);
extern "C" decltype(&ReleaseDC) slotReleaseDC SLOT(ReleaseDC, 8);
const auto realGetDC = slotGetDC;
const auto realReleaseDC = slotReleaseDC;

int taken, given, misuse, paints;
HDC WINAPI CountedGetDC(HWND w) {
  ++taken;
  return realGetDC(w);
}
int WINAPI CountedReleaseDC(HWND w, HDC dc) {
  misuse += GetCurrentObject(dc, OBJ_FONT) != GetStockObject(SYSTEM_FONT);
  ++given;
  return realReleaseDC(w, dc);
}

bool MeasureWhilePainting(Control* ctl, WindowMessage* message, LRESULT*) {
  if (message->Msg != WM_PAINT) return false;
  PAINTSTRUCT ps;
  ctl->PaintDC = BeginPaint(ctl->Handle, &ps);
  MeasureText(GetCanvas(ctl), "Hello");
  ++paints;
  EndPaint(ctl->Handle, &ps);
  ctl->PaintDC = nullptr;
  return true;
}

TEST(Surface, MeasuringGivesEveryContextBack) {
  slotGetDC = CountedGetDC;
  slotReleaseDC = CountedReleaseDC;
  int32_t live = LiveObjectCount;
  Control* form = NewForm(nullptr, "surface");
  Control* label = NewLabel(form, "Hello");
  SetToolField(GetFontTool(label), ToolHeight, -16);
  AddMessageHandler(label, MeasureWhilePainting);
  LONG width = MeasureText(GetCanvas(label), "Hello").cx;
  CreateControlWindow(form);
  UpdateWindow(label->Handle);
  EXPECT_EQ(paints, 1);
  EXPECT_EQ(taken, 1);  // none for the paint
  EXPECT_EQ(MeasureText(label->Canvas, "Hello").cx, width);
  EXPECT_EQ(taken, 2);
  EXPECT_EQ(given, taken);
  EXPECT_EQ(misuse, 0);
  Dispose(form);
  EXPECT_EQ(LiveObjectCount, live);
}
