#include <gtest/gtest.h>

#include "pixels.h"
#include "toolkit_support/toolkit_test_support.h"

namespace {

// The owner gets a window: a control disposes its image lists with its window.
Control* NewOwner() {
  Control* form = NewForm(nullptr, "owner");
  EnsureHandle(form);
  return form;
}

int BitsPerPixel(HIMAGELIST handle) {
  IMAGEINFO info = {};
  BITMAP bm = {};
  ImageList_GetImageInfo(handle, 0, &info);
  GetObjectA(info.hbmImage, sizeof(bm), &bm);
  return bm.bmBitsPixel;
}

}  // namespace

TEST(ImageList, IsMadeOnFirstAddWithTheSettingsWindowFlagsAndDrawsWhiteTransparent) {
  Control* owner = NewOwner();
  ImageList* list = NewImageList(owner);
  EXPECT_EQ(list->Handle, nullptr);
  SetColorDepth(list, 4);
  HBITMAP bmp = MakeTestBitmap(32);
  ASSERT_EQ(AddMasked(list, bmp, 0xFFFFFF), 0);
  SetColorDepth(list, 5);  // too late: the comctl32 list exists
  EXPECT_EQ(list->ColorDepth, 4);

  int cx = 0, cy = 0;
  ImageList_GetIconSize(list->Handle, &cx, &cy);
  EXPECT_EQ(cx, 32);
  EXPECT_EQ(cy, 32);
  EXPECT_EQ(ImageList_GetImageCount(list->Handle), 1);
  EXPECT_EQ(BitsPerPixel(list->Handle), 24);
  IMAGEINFO info = {};
  ImageList_GetImageInfo(list->Handle, 0, &info);
  EXPECT_NE(info.hbmMask, nullptr);

  PixelSurface drawn(40, 40, kPrefillRGB), beyond(40, 40, kPrefillRGB);
  DrawImage(list, 0, drawn.dc, 0, 0);
  DrawImage(list, 1, beyond.dc, 0, 0);  // no image 1
  EXPECT_EQ(drawn.At(0, 0), kPrefillRGB);
  EXPECT_EQ(drawn.At(31, 31), kPrefillRGB);
  EXPECT_EQ(drawn.At(16, 16), kImageRGB);
  EXPECT_EQ(drawn.At(kCorner, 0), kImageRGB);
  EXPECT_EQ(beyond.At(16, 16), kPrefillRGB);
  DeleteObject(bmp);
  Dispose(owner);
}

TEST(ImageList, ListsOfOneOwnerChainNewestFirstAndUnlinkWhenDestroyed) {
  int32_t live = LiveObjectCount;
  Control* owner = NewForm(nullptr, "owner");
  ImageList* a = NewImageList(owner);
  ImageList* b = NewImageList(owner);
  ImageList* c = NewImageList(owner);
  EXPECT_EQ(owner->OwnedImageLists, c);
  EXPECT_EQ(c->Next, b);
  EXPECT_EQ(b->Next, a);
  EXPECT_EQ(a->Previous, b);

  Dispose(b);
  EXPECT_EQ(c->Next, a);
  EXPECT_EQ(a->Previous, c);
  Dispose(c);
  EXPECT_EQ(owner->OwnedImageLists, a);
  EXPECT_EQ(a->Previous, nullptr);
  Dispose(a);
  EXPECT_EQ(owner->OwnedImageLists, nullptr);
  Dispose(owner);
  EXPECT_EQ(LiveObjectCount, live);
}

TEST(ImageList, LoadedBitmapIsDeletedWithTheListAndAMissingOneAddsNothing) {
  int32_t live = LiveObjectCount;
  Control* owner = NewOwner();
  ImageList* list = NewImageList(owner);
  // A system bitmap (OBM_CLOSE): the program's own resources are not linked into tests.
  HBITMAP bmp = LoadBitmapResource(nullptr, MAKEINTRESOURCEA(32754), list);
  ASSERT_NE(bmp, nullptr);
  EXPECT_EQ(LoadBitmapResource(GetModuleHandleA(nullptr), "NO_SUCH_BITMAP", list), nullptr);
  EXPECT_EQ(AddMasked(list, nullptr, 0xFFFFFF), -1);
  EXPECT_EQ(GetObjectType(bmp), static_cast<DWORD>(OBJ_BITMAP));
  Dispose(owner);
  EXPECT_EQ(GetObjectType(bmp), 0u);
  EXPECT_EQ(LiveObjectCount, live);
}

TEST(ImageList, CommonControlsLibraryIsLoadedOnce) {
  LoadCommonControls(ICC_PROGRESS_CLASS);
  HMODULE first = CommonControlsLibrary;
  LoadCommonControls(0xFF);
  EXPECT_EQ(first, GetModuleHandleA("comctl32.dll"));
  EXPECT_EQ(CommonControlsLibrary, first);
}
