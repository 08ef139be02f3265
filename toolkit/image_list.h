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
  int32_t ImageWidth;   // in 96-DPI units; the images are made at the owner's DPI
  int32_t ImageHeight;
  int32_t GrowBy;
  HINSTANCE IconInstance;  // the icon resource the list was filled from, if it was
  const char* IconName;    // static string, not owned
};

extern const ObjectKind kImageListKind;
extern HMODULE CommonControlsLibrary;

void LoadCommonControls(DWORD classFlags);
ImageList* NewImageList(Control* owner);
void SetColorDepth(ImageList* list, uint8_t index);
bool ImageListNeeded(ImageList* list);
HBITMAP LoadBitmapResource(HINSTANCE instance, const char* name, ImageList* list);
int32_t AddMasked(ImageList* list, HBITMAP bitmap, ColorValue maskColor);
// Adds the icon resource's image made for the list's size at its DPI, not one
// stretched from another size; the list remembers it to fill itself again.
int32_t AddIconResource(ImageList* list, HINSTANCE instance, const char* name);
// Makes the list again at its owner's DPI, from its icon resource; a list filled
// from bitmaps keeps its images.
void RefillImageList(ImageList* list);
void DrawImage(ImageList* list, int32_t index, HDC dc, int32_t x, int32_t y);
void SetImageList(Control* ctl, int32_t size, ImageList* list);
ImageList* GetImageList(Control* ctl, int32_t size);
