// A toolkit object around one comctl32 image list, created lazily so that its
// size and colour depth can still change after the object exists.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include "toolkit/control.h"

struct ImageList : ToolkitObject {
  HIMAGELIST Handle;  // owned
  Control* Owner;
  ImageList* Previous;  // towards the head of the owner's chain
  ImageList* Next;      // towards older lists
  uint8_t ColorDepth;   // index into the colour-depth table; default 7
  uint8_t Masked;
  int32_t ImageWidth;
  int32_t ImageHeight;
  int32_t GrowBy;
};

extern const ObjectKind kImageListKind;
extern HMODULE CommonControlsLibrary;

void LoadCommonControls(DWORD classFlags);
ImageList* NewImageList(Control* owner);
void SetColorDepth(ImageList* list, uint8_t index);
bool ImageListNeeded(ImageList* list);
HBITMAP LoadBitmapResource(HINSTANCE instance, const char* name, ImageList* list);
int32_t AddMasked(ImageList* list, HBITMAP bitmap, ColorValue maskColor);
void DrawImage(ImageList* list, int32_t index, HDC dc, int32_t x, int32_t y);
void SetImageList(Control* ctl, int32_t size, ImageList* list);
ImageList* GetImageList(Control* ctl, int32_t size);
