#include "toolkit/canvas.h"

#include "toolkit/window.h"

DrawingSurface* GetCanvas(Control* ctl) {
  if (ctl->Canvas) return ctl->Canvas;
  DrawingSurface* surface = NewDrawingSurface();
  ctl->Canvas = surface;
  surface->OwnerControl = ctl;
  surface->DCProvider = {ProvideCanvasDC, ctl};
  if (ctl->Font) surface->Font = AssignTool(surface->Font, ctl->Font);
  return surface;
}

HDC ProvideCanvasDC(void* context, DrawingSurface* surface) {
  Control* ctl = static_cast<Control*>(context);
  if (ctl->PaintDC) {
    SetSurfaceDC(surface, ctl->PaintDC);
    surface->BorrowedPaintDC = 1;
    return ctl->PaintDC;
  }
  // A paint DC kept from a paint that is over may no longer be drawn into.
  if (surface->BorrowedPaintDC) SetSurfaceDC(surface, nullptr);
  if (surface->DC) return surface->DC;
  return GetDC(EnsureHandle(ctl));
}
