#include "toolkit/paint.h"

#include "toolkit/appearance.h"
#include "toolkit/buttons.h"
#include "toolkit/dispatch.h"
#include "toolkit/image_list.h"
#include "toolkit/window.h"

bool EraseBackgroundHandler(Control* ctl, WindowMessage* message, LRESULT* result) {
  (void)result;
  if (message->Msg != WM_ERASEBKGND) return false;
  // Children made before the first erase are clipped out of it instead of being painted over.
  CreateChildWindows(ctl);
  HDC dc = reinterpret_cast<HDC>(message->WParam);
  SetBkMode(dc, OPAQUE);
  SetBkColor(dc, ResolveColor(ctl->Color));
  SetBrushOrgEx(dc, 0, 0, nullptr);
  RECT client;
  GetClientRect(ctl->Handle, &client);
  FillRect(dc, &client, ControlBrush(ctl));
  // Left unhandled on purpose: the later handlers and the default procedure still see it.
  return false;
}

bool ImagePaintHandler(Control* ctl, WindowMessage* message, LRESULT* result) {
  if (message->Msg != WM_PAINT && message->Msg != WM_PRINTCLIENT) return false;
  HDC oldPaintDC = ctl->PaintDC;
  ctl->PaintDC = reinterpret_cast<HDC>(message->WParam);
  PAINTSTRUCT ps;
  if (!ctl->PaintDC) ctl->PaintDC = BeginPaint(ctl->Handle, &ps);
  bool handled = false;
  if (ImageList* images = GetImageList(ctl, 32)) {
    DrawImage(images, 0, ctl->PaintDC, 0, 0);
    handled = true;
  }
  if (!message->WParam) EndPaint(ctl->Handle, &ps);
  ctl->PaintDC = oldPaintDC;
  *result = 0;
  return handled;
}

Control* NewImageView(Control* parent, ImageList* imageList) {
  Control* ctl = NewLabel(parent, "");
  SetImageList(ctl, 32, imageList);
  AddMessageHandler(ctl, ImagePaintHandler);
  AddMessageHandler(ctl, EraseBackgroundHandler);
  int32_t w = imageList ? imageList->ImageWidth : 32;
  int32_t h = imageList ? imageList->ImageHeight : 32;
  ctl->Bounds.right = ctl->Bounds.left + w;
  ctl->Bounds.bottom = ctl->Bounds.top + h;
  return ctl;
}
