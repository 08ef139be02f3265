#include "toolkit/image_list.h"

#include "toolkit/scale.h"

HMODULE CommonControlsLibrary;

namespace {

// comctl32 is loaded when the first image list is made, not when the program
// starts: a run that never shows a window does not pay for loading it.
struct CommonControlsProcs {
  void(WINAPI* init)();
  BOOL(WINAPI* initEx)(const INITCOMMONCONTROLSEX*);
  HIMAGELIST(WINAPI* create)(int, int, UINT, int, int);
  int(WINAPI* addMasked)(HIMAGELIST, HBITMAP, COLORREF);
  int(WINAPI* replaceIcon)(HIMAGELIST, int, HICON);
  BOOL(WINAPI* draw)(HIMAGELIST, int, HDC, int, int, UINT);
  BOOL(WINAPI* destroy)(HIMAGELIST);
} comctl;

template <typename Proc>
void Find(Proc* proc, const char* name) {
  *proc = reinterpret_cast<Proc>(reinterpret_cast<void*>(GetProcAddress(CommonControlsLibrary, name)));
}

// Index -> ImageList_Create colour flag. 0 and 6 both mean "as the screen".
const UINT kColorDepthFlags[8] = {
    ILC_COLORDDB, ILC_COLOR4, ILC_COLOR8, ILC_COLOR16,
    ILC_COLOR24, ILC_COLOR32, ILC_COLORDDB, ILC_COLOR,
};

void ImageListDestroyObject(ToolkitObject* obj) {
  ImageList* list = static_cast<ImageList*>(obj);
  if (list->Handle) {
    comctl.destroy(list->Handle);
    list->Handle = 0;
    list->ImageWidth = 0;
    list->ImageHeight = 0;
  }
  if (list->Next) list->Next->Previous = list->Previous;
  if (list->Previous) list->Previous->Next = list->Next;
  if (list->Owner && list->Owner->OwnedImageLists == list) list->Owner->OwnedImageLists = list->Next;
  list->Next = nullptr;
  list->Previous = nullptr;
  BaseDestroyObject(obj);
}

void DeleteBitmap(intptr_t bitmap) {
  DeleteObject(reinterpret_cast<HGDIOBJ>(bitmap));
}

static_assert(sizeof(INITCOMMONCONTROLSEX) == 8, "comctl32 checks dwSize against the 8-byte record");

}  // namespace

const ObjectKind kImageListKind = {sizeof(ImageList), BaseInitObject, ImageListDestroyObject};

void LoadCommonControls(DWORD classFlags) {
  if (!CommonControlsLibrary) {
    // From System32 (or the version the manifest asks for), never from the
    // program's folder.
    CommonControlsLibrary = LoadLibraryExW(L"comctl32.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32);
    if (!CommonControlsLibrary) return;
    Find(&comctl.init, "InitCommonControls");
    Find(&comctl.initEx, "InitCommonControlsEx");
    Find(&comctl.create, "ImageList_Create");
    Find(&comctl.addMasked, "ImageList_AddMasked");
    Find(&comctl.replaceIcon, "ImageList_ReplaceIcon");
    Find(&comctl.draw, "ImageList_Draw");
    Find(&comctl.destroy, "ImageList_Destroy");
  }
  if (comctl.init) comctl.init();
  // Old comctl32 versions lack the Ex export; the plain call above is then all there is.
  if (!comctl.initEx) return;
  INITCOMMONCONTROLSEX icc;
  icc.dwSize = sizeof(icc);
  icc.dwICC = classFlags;
  comctl.initEx(&icc);
}

ImageList* NewImageList(Control* owner) {
  LoadCommonControls(0xFF);
  ImageList* list = NewObjectOf<ImageList>(&kImageListKind);
  list->GrowBy = 1;
  list->Masked = 1;
  list->Owner = owner;
  // A list without an owner has no chain to join; nothing would ever dispose it for us.
  if (owner) {
    list->Next = owner->OwnedImageLists;
    if (list->Next) list->Next->Previous = list;
    owner->OwnedImageLists = list;
  }
  list->ImageWidth = 32;
  list->ImageHeight = 32;
  list->ColorDepth = 7;
  return list;
}

void SetColorDepth(ImageList* list, uint8_t index) {
  // Once comctl32 has the list its depth is fixed.
  if (!list->Handle) list->ColorDepth = index;
}

bool ImageListNeeded(ImageList* list) {
  if (list->Handle) return true;
  if (!list->ImageWidth || !list->ImageHeight) return false;
  UINT flags = kColorDepthFlags[list->ColorDepth & 7];
  if (list->Masked) flags |= ILC_MASK;
  if (!comctl.create) return false;
  int32_t dpi = ControlDpi(list->Owner);
  list->Handle = comctl.create(ToDevice(list->ImageWidth, dpi), ToDevice(list->ImageHeight, dpi),
                               flags, 0, list->GrowBy);
  return list->Handle != 0;
}

HBITMAP LoadBitmapResource(HINSTANCE instance, const char* name, ImageList* list) {
  HBITMAP bitmap = LoadBitmapA(instance, name);
  // Registered also for a missing resource: DeleteObject(0) is harmless.
  OwnCallback(list, DeleteBitmap, reinterpret_cast<intptr_t>(bitmap));
  return bitmap;
}

int32_t AddMasked(ImageList* list, HBITMAP bitmap, ColorValue maskColor) {
  if (!ImageListNeeded(list)) return -1;
  return comctl.addMasked(list->Handle, bitmap, ResolveColor(maskColor));
}

int32_t AddIconResource(ImageList* list, HINSTANCE instance, const char* name) {
  list->IconInstance = instance;
  list->IconName = name;
  if (!ImageListNeeded(list) || !comctl.replaceIcon) return -1;
  int32_t dpi = ControlDpi(list->Owner);
  HICON icon = static_cast<HICON>(LoadImageA(instance, name, IMAGE_ICON,
                                             ToDevice(list->ImageWidth, dpi),
                                             ToDevice(list->ImageHeight, dpi), 0));
  if (!icon) return -1;
  int32_t index = comctl.replaceIcon(list->Handle, -1, icon);
  DestroyIcon(icon);
  return index;
}

void RefillImageList(ImageList* list) {
  if (!list->Handle || !list->IconName) return;
  comctl.destroy(list->Handle);
  list->Handle = 0;
  AddIconResource(list, list->IconInstance, list->IconName);
}

void DrawImage(ImageList* list, int32_t index, HDC dc, int32_t x, int32_t y) {
  if (list->Handle) comctl.draw(list->Handle, index, dc, x, y, ILD_NORMAL);
}

void SetImageList(Control* ctl, int32_t size, ImageList* list) {
  // No kind of this toolkit has an image-list message, so nothing goes to the window.
  if (size == 16) {
    ctl->SmallImages = list;
  } else if (size == 32) {
    ctl->LargeImages = list;
  } else {
    ctl->StateImages = list;
  }
}

ImageList* GetImageList(Control* ctl, int32_t size) {
  if (size == 0) return ctl->StateImages;
  if (size <= 16) return ctl->SmallImages;
  return ctl->LargeImages;
}
