#include "toolkit/surface.h"

#include "support/strings.h"
#include "support/wide_text.h"
#include "toolkit/control.h"

StockObjectSet StockObjects = {};

namespace {

const uint8_t kObjectBits = NeedPen | NeedBrush | NeedFont;

void SurfaceDestroyObject(ToolkitObject* obj) {
  DrawingSurface* surface = static_cast<DrawingSurface*>(obj);
  SetSurfaceDC(surface, nullptr);
  DisposeIfAny(surface->Pen);
  DisposeIfAny(surface->Brush);
  DisposeIfAny(surface->Font);
  BaseDestroyObject(obj);
}

void RestoreOnToolChange(void* surface, GraphicTool*) {
  RestoreStockObjects(static_cast<DrawingSurface*>(surface));
}

bool IsOwnersPaintDC(const DrawingSurface* surface, HDC dc) {
  return surface->BorrowedPaintDC ||
         (surface->OwnerControl && surface->OwnerControl->PaintDC == dc);
}

void GiveUpDC(DrawingSurface* surface) {
  HDC dc = surface->DC;
  RestoreStockObjects(surface);
  // A paint DC belongs to BeginPaint/EndPaint, even after the paint is over.
  if (!IsOwnersPaintDC(surface, dc)) {
    if (GetObjectType(dc) == OBJ_MEMDC) {
      DeleteDC(dc);
    } else {
      ReleaseDC(surface->OwnerControl ? surface->OwnerControl->Handle : nullptr, dc);
    }
  }
  surface->DC = nullptr;
  surface->BorrowedPaintDC = 0;
  surface->Selected &= ~NeedDC;
}

void SelectTool(DrawingSurface* surface, GraphicTool* tool) {
  if (!tool) return;
  HGDIOBJ handle = ToolHandle(tool);
  HookToolChanges(surface);
  if (handle) SelectObject(SurfaceDC(surface), handle);
}

void SelectFont(DrawingSurface* surface) {
  if (GraphicTool* font = surface->Font) {
    COLORREF color = ResolveColor(font->Color);
    HGDIOBJ handle = ToolHandle(font);
    HookToolChanges(surface);
    HDC dc = SurfaceDC(surface);
    SelectObject(dc, handle);
    SetTextColor(dc, color);
  } else if (surface->OwnerControl) {
    SetTextColor(surface->DC, ResolveColor(surface->OwnerControl->FontColor));
  }
}

}  // namespace

const ObjectKind kDrawingSurfaceKind = {sizeof(DrawingSurface), BaseInitObject,
                                        SurfaceDestroyObject};

DrawingSurface* NewDrawingSurface() {
  return NewObjectOf<DrawingSurface>(&kDrawingSurfaceKind);
}

HDC SurfaceDC(DrawingSurface* surface) {
  if (!surface->DCProvider.Code) return surface->DC;
  HDC dc = surface->DCProvider.Code(surface->DCProvider.Context, surface);
  SetSurfaceDC(surface, dc);
  return surface->DC;
}

void SetSurfaceDC(DrawingSurface* surface, HDC dc) {
  if (dc == surface->DC) return;
  if (surface->DC) GiveUpDC(surface);
  if (dc) {
    surface->Selected |= NeedDC;
    surface->DC = dc;
    MoveToEx(PrepareDC(surface, NeedDC), 0, 0, nullptr);
  }
}

HDC PrepareDC(DrawingSurface* surface, uint8_t needs) {
  if ((needs & NeedDC) && !SurfaceDC(surface)) return nullptr;
  uint8_t missing = needs & ~surface->Selected;
  if (!missing) return surface->DC;
  if (missing & NeedFont) SelectFont(surface);
  // Nothing in the program asks for these; a surface given a brush or pen tool
  // selects it the way it selects its font.
  if (missing & NeedBrush) SelectTool(surface, surface->Brush);
  if (missing & NeedPen) SelectTool(surface, surface->Pen);
  surface->Selected |= missing;
  return surface->DC;
}

void HookToolChanges(DrawingSurface* surface) {
  GraphicTool* tools[] = {surface->Brush, surface->Font, surface->Pen};
  for (GraphicTool* tool : tools) {
    if (tool) tool->ChangeNotify = {RestoreOnToolChange, surface};
  }
}

void RestoreStockObjects(DrawingSurface* surface) {
  if (!surface->DC || !(surface->Selected & kObjectBits)) return;
  if (!StockObjects.Pen) {
    StockObjects.Pen = GetStockObject(BLACK_PEN);
    StockObjects.Brush = GetStockObject(NULL_BRUSH);
    StockObjects.Font = GetStockObject(SYSTEM_FONT);
  }
  SelectObject(surface->DC, StockObjects.Font);
  SelectObject(surface->DC, StockObjects.Brush);
  SelectObject(surface->DC, StockObjects.Pen);
  surface->Selected &= ~kObjectBits;
}

SIZE MeasureText(DrawingSurface* surface, const char* text) {
  SIZE size = {0, 0};
  // The provider may make the owner's window, and making it applies the font,
  // which disposes the owner's surface: this one must outlive the measuring.
  AcquireRef(surface);
  HDC dc = PrepareDC(surface, NeedDC | NeedFont);
  if (!dc) SetSurfaceDC(surface, CreateCompatibleDC(nullptr));
  bool keep = dc && surface->BorrowedPaintDC;
  dc = PrepareDC(surface, NeedDC | NeedFont);
  // Measured as the window shows it: in the characters of code page 932.
  WideText wide(text);
  GetTextExtentPoint32W(dc, wide.c_str(), wide.length(), &size);
  if (!keep) SetSurfaceDC(surface, nullptr);
  ReleaseRef(surface);
  return size;
}
