// Drawing surface: one device context of a control, obtained lazily from a
// provider, with the control's font selected only when an operation needs it.
#pragma once
#include <windows.h>
#include "toolkit/graphics.h"

struct Control;
struct DrawingSurface;

// Requirement bits: what an operation needs and what the held DC already has.
enum : uint8_t { NeedDC = 1, NeedPen = 2, NeedBrush = 4, NeedFont = 8 };

typedef HDC (*DCProviderProc)(void* context, DrawingSurface* surface);
struct DCProviderMethod {
  DCProviderProc Code;
  void* Context;
};

struct DrawingSurface : ToolkitObject {
  Control* OwnerControl;  // not owned
  HDC DC;
  GraphicTool* Brush;  // owned
  GraphicTool* Font;   // owned
  GraphicTool* Pen;    // owned
  uint8_t Selected;
  DCProviderMethod DCProvider;
  uint8_t BorrowedPaintDC;
};

extern const ObjectKind kDrawingSurfaceKind;

// BLACK_PEN, NULL_BRUSH, SYSTEM_FONT, fetched once on first need.
struct StockObjectSet {
  HGDIOBJ Pen;
  HGDIOBJ Brush;
  HGDIOBJ Font;
};
extern StockObjectSet StockObjects;

DrawingSurface* NewDrawingSurface();
HDC SurfaceDC(DrawingSurface* surface);
void SetSurfaceDC(DrawingSurface* surface, HDC dc);
HDC PrepareDC(DrawingSurface* surface, uint8_t needs);
void HookToolChanges(DrawingSurface* surface);
void RestoreStockObjects(DrawingSurface* surface);
SIZE MeasureText(DrawingSurface* surface, const char* text);
