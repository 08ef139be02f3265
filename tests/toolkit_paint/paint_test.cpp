#include <gtest/gtest.h>

#include <utility>
#include <vector>

#include "toolkit_support/toolkit_test_support.h"

namespace {

const COLORREF kImageRGB = RGB(200, 40, 30), kPrefillRGB = RGB(0, 128, 64);
using Colours = std::vector<COLORREF>;

Colours Pixels(HDC dc, std::initializer_list<POINT> points) {
  Colours colours;
  for (POINT p : points) colours.push_back(GetPixel(dc, p.x, p.y));
  return colours;
}

// A memory surface whose pixels read back exactly.
struct PixelSurface {
  HDC dc = CreateCompatibleDC(nullptr);
  HBITMAP bmp;
  PixelSurface(int w, int h, COLORREF fill) : bmp(CreateBitmap(w, h, 1, 32, nullptr)) {
    SelectObject(dc, bmp);
    Fill({0, 0, w, h}, fill);
  }
  ~PixelSurface() { DeleteDC(dc), DeleteObject(bmp); }
  void Fill(RECT r, COLORREF c) {
    SetDCBrushColor(dc, c);
    FillRect(dc, &r, HBRUSH(GetStockObject(DC_BRUSH)));
  }
};

}  // namespace

TEST(Paint, EraseFillsTheClientAreaWithTheControlColourAndMakesNewChildren) {
  const struct { ColorValue colour; COLORREF rgb; } rows[] = {{0x00336699, RGB(0x99, 0x66, 0x33)},
      {clBtnFace, GetSysColor(COLOR_BTNFACE)}, {0x80000005, GetSysColor(COLOR_WINDOW)}};
  for (const auto& row : rows) {
    SCOPED_TRACE(row.colour);
    Control* form = NewForm(nullptr, "erase");
    form->Color = row.colour;
    Control* late = NewLabel(SetClientSize(form, 60, 40), "late");
    PixelSurface s(200, 200, kPrefillRGB);
    SendMessageA(form->Handle, WM_ERASEBKGND, WPARAM(s.dc), 0);
    RECT c = GetClientArea(form);
    EXPECT_EQ(Pixels(s.dc, {{0, 0}, {c.right - 1, c.bottom - 1}, {c.right, c.bottom}}),
              (Colours{row.rgb, row.rgb, kPrefillRGB}));
    EXPECT_NE(late->Handle, nullptr);
    Dispose(form);
  }
}

TEST(Paint, ImageListIsMadeLazilyAndItsViewShowsThePictureWithItsWhiteInTheFormColour) {
  int32_t live = LiveObjectCount;
  Control* form = NewForm(nullptr, "paint");
  form->Color = RGB(0x99, 0x66, 0x33);
  ImageList* list = NewImageList(SetClientSize(SetPosition(form, 40, 40), 120, 80));
  SetColorDepth(list, 4);
  EXPECT_EQ(list->Handle, nullptr);
  PixelSurface picture(32, 32, RGB(255, 255, 255));  // white in the corners
  picture.Fill({4, 0, 28, 32}, kImageRGB);
  picture.Fill({0, 4, 32, 28}, kImageRGB);
  DeleteDC(std::exchange(picture.dc, nullptr));  // comctl32 reads bitmaps that no DC holds
  ASSERT_EQ(AddMasked(list, picture.bmp, 0xFFFFFF), 0);
  SetColorDepth(list, 5);  // too late: the comctl32 list exists
  IMAGEINFO info = {};
  BITMAP bm = {};
  ImageList_GetImageInfo(list->Handle, 0, &info);
  GetObjectA(info.hbmImage, sizeof bm, &bm);
  RECT image = info.rcImage;
  EXPECT_EQ(std::vector<int>({image.right - image.left, image.bottom - image.top, bm.bmBitsPixel,
                              info.hbmMask != nullptr, list->ColorDepth}),
            std::vector<int>({32, 32, 24, 1, 4}));

  Control* view = SetPosition(NewImageView(form, list), 16, 13);
  Control* bare = SetPosition(NewImageView(form, nullptr), 60, 2);
  CreateControlWindow(form);  // creates the children and shows what was made hidden
  ShowWindow(form->Handle, SW_SHOWNA);
  UpdateWindow(form->Handle);
  PumpQueued();
  HDC dc = GetDC(view->Handle);
  EXPECT_EQ(Pixels(dc, {{0, 0}, {31, 31}, {16, 16}, {4, 0}}),
            (Colours{form->Color, form->Color, kImageRGB, kImageRGB}));
  ReleaseDC(view->Handle, dc);
  // Into the given DC, without BeginPaint, and an outer paint's DC is kept.
  InvalidateRect(view->Handle, nullptr, FALSE);
  HDC outer = reinterpret_cast<HDC>(0x5A5A);
  view->PaintDC = outer;
  PixelSurface printed(40, 40, kPrefillRGB);
  SendMessageA(view->Handle, WM_PRINTCLIENT, WPARAM(printed.dc), PRF_CLIENT);
  EXPECT_EQ(std::exchange(view->PaintDC, nullptr), outer);
  EXPECT_TRUE(GetUpdateRect(view->Handle, nullptr, FALSE)) << "BeginPaint validated the window";
  EXPECT_EQ(Pixels(printed.dc, {{0, 0}, {31, 0}, {16, 16}, {32, 16}}),
            (Colours{kPrefillRGB, kPrefillRGB, kImageRGB, kPrefillRGB}));
  // A view without a list is 32 x 32 and still validates its paints.
  EXPECT_EQ(std::make_pair(GetWidth(bare), GetHeight(bare)), std::make_pair(32, 32));
  InvalidateRect(bare->Handle, nullptr, TRUE);
  SendMessageA(bare->Handle, WM_PAINT, 0, 0);
  EXPECT_FALSE(GetUpdateRect(bare->Handle, nullptr, FALSE));

  // Newer lists go first in the owner's chain and leave it from any place.
  ImageList* middle = NewImageList(form);
  ImageList* newest = NewImageList(form);
  HBITMAP loaded = LoadBitmapResource(nullptr, MAKEINTRESOURCEA(32754), newest);  // OBM_CLOSE
  Dispose(middle);
  EXPECT_EQ(std::vector<void*>({form->OwnedImageLists, newest->Next, list->Previous}),
            std::vector<void*>({newest, list, newest}));
  Dispose(newest);
  EXPECT_EQ(std::vector<void*>({form->OwnedImageLists, list->Previous}),
            std::vector<void*>({list, nullptr}));
  Dispose(form);  // takes the last list and everything else too
  EXPECT_EQ(std::make_pair(LiveObjectCount, GetObjectType(loaded)), std::make_pair(live, DWORD(0)));

  // An owner that never had a window gives back its lists and their bitmaps too.
  Control* windowless = NewForm(nullptr, "no window");
  loaded = LoadBitmapResource(nullptr, MAKEINTRESOURCEA(32754), NewImageList(windowless));
  Dispose(windowless);
  EXPECT_EQ(std::make_pair(LiveObjectCount, GetObjectType(loaded)), std::make_pair(live, DWORD(0)));
}
