#include <gtest/gtest.h>

#include "pixels.h"
#include "toolkit_support/toolkit_test_support.h"

namespace {

const COLORREF kFormRGB = RGB(0x99, 0x66, 0x33);

// A shown form at a fixed place, with the given client size; its colour is kFormRGB.
Control* NewShownForm(int cw, int ch) {
  Control* form = NewForm(nullptr, "paint");
  form->Color = kFormRGB;
  SetPosition(form, 40, 40);
  SetClientSize(form, cw, ch);
  return form;
}

void Show(Control* form) {
  CreateControlWindow(form);  // creates the children and shows what was made hidden
  ShowWindow(form->Handle, SW_SHOWNA);
  UpdateWindow(form->Handle);
  PumpQueued();
}

ImageList* NewPictureList(Control* owner) {
  ImageList* list = NewImageList(owner);
  SetColorDepth(list, 4);
  HBITMAP bmp = MakeTestBitmap(32);
  AddMasked(list, bmp, 0xFFFFFF);
  DeleteObject(bmp);  // the list keeps its own copy
  return list;
}

bool HasUpdateRegion(HWND hwnd) {
  RECT r;
  return GetUpdateRect(hwnd, &r, FALSE) != 0;
}

}  // namespace

TEST(Paint, EraseFillsTheClientAreaWithTheControlColourAndMakesNewChildren) {
  const struct { ColorValue color; COLORREF rgb; } cases[] = {
      {0x00336699, RGB(0x99, 0x66, 0x33)},
      {clBtnFace, GetSysColor(COLOR_BTNFACE)},
      {0x80000005, GetSysColor(COLOR_WINDOW)}};
  for (const auto& c : cases) {
    Control* form = NewForm(nullptr, "erase");
    form->Color = c.color;
    SetClientSize(form, 60, 40);
    Control* late = NewLabel(form, "late");
    ASSERT_EQ(late->Handle, nullptr);
    RECT client;
    GetClientRect(form->Handle, &client);
    PixelSurface s(client.right + 10, client.bottom + 10, kPrefillRGB);
    SendMessageA(form->Handle, WM_ERASEBKGND, reinterpret_cast<WPARAM>(s.dc), 0);
    EXPECT_EQ(s.At(0, 0), c.rgb);
    EXPECT_EQ(s.At(client.right - 1, client.bottom - 1), c.rgb);
    EXPECT_EQ(s.At(client.right, client.bottom), kPrefillRGB);
    EXPECT_NE(late->Handle, nullptr);
    Dispose(form);
  }
}

TEST(Paint, ShownImageViewShowsThePictureWithItsWhiteOnTheFormColour) {
  Control* form = NewShownForm(100, 80);
  Control* view = NewImageView(form, NewPictureList(form));
  SetPosition(view, 16, 13);
  Show(form);
  HDC dc = GetDC(view->Handle);
  EXPECT_EQ(GetPixel(dc, 0, 0), kFormRGB);
  EXPECT_EQ(GetPixel(dc, 31, 31), kFormRGB);
  EXPECT_EQ(GetPixel(dc, 16, 16), kImageRGB);
  ReleaseDC(view->Handle, dc);
  Dispose(form);
}

TEST(Paint, PrintClientDrawsIntoTheGivenDCWithoutBeginPaint) {
  Control* form = NewShownForm(100, 80);
  Control* view = NewImageView(form, NewPictureList(form));
  Show(form);
  InvalidateRect(view->Handle, nullptr, FALSE);
  ASSERT_TRUE(HasUpdateRegion(view->Handle));
  HDC outer = reinterpret_cast<HDC>(0x5A5A);
  view->PaintDC = outer;
  PixelSurface s(40, 40, kPrefillRGB);
  SendMessageA(view->Handle, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(s.dc), PRF_CLIENT);
  EXPECT_EQ(view->PaintDC, outer);
  view->PaintDC = nullptr;
  EXPECT_TRUE(HasUpdateRegion(view->Handle)) << "BeginPaint validated the window";
  EXPECT_EQ(s.At(0, 0), kPrefillRGB);
  EXPECT_EQ(s.At(31, 0), kPrefillRGB);
  EXPECT_EQ(s.At(16, 16), kImageRGB);
  EXPECT_EQ(s.At(32, 16), kPrefillRGB);
  Dispose(form);
}

TEST(Paint, ImageViewTakesTheSizeOfItsListAndValidatesAlsoWithoutOne) {
  Control* form = NewShownForm(120, 80);
  ImageList* big = NewImageList(form);
  big->ImageWidth = 48;
  big->ImageHeight = 48;
  Control* withList = NewImageView(form, big);
  Control* without = NewImageView(form, nullptr);
  EXPECT_EQ(GetWidth(withList), 48);
  EXPECT_EQ(GetHeight(withList), 48);
  EXPECT_EQ(GetWidth(without), 32);
  EXPECT_EQ(GetHeight(without), 32);
  SetPosition(without, 60, 2);
  Show(form);
  for (Control* view : {withList, without}) {
    InvalidateRect(view->Handle, nullptr, TRUE);
    ASSERT_TRUE(HasUpdateRegion(view->Handle));
    SendMessageA(view->Handle, WM_PAINT, 0, 0);
    EXPECT_FALSE(HasUpdateRegion(view->Handle));
  }
  Dispose(form);
}
