// Colours and graphic tools: colour values that may name a system colour, and
// font tools whose GDI object is made on demand and shared with the parent's
// while identical. Knows nothing of controls.
#pragma once
#include <windows.h>
#include "toolkit/object.h"

struct GraphicTool;

// Top bit set: a system colour whose index is the low byte; else a COLORREF.
typedef uint32_t ColorValue;
const ColorValue kSystemColorFlag = 0x80000000u;
const ColorValue clWindowText = 0x80000008u;  // system colour 8
const ColorValue clBtnFace = 0x8000000Fu;     // system colour 15

COLORREF ResolveColor(ColorValue value);

typedef void (*ToolChangeProc)(void* context, GraphicTool* tool);
struct ToolChangeMethod {
  ToolChangeProc Code;
  void* Context;
};

const uint8_t kToolFont = 1;

struct GraphicTool : ToolkitObject {
  uint8_t ToolKind;
  HGDIOBJ Handle;
  GraphicTool* ParentTool;  // not owned
  ToolChangeMethod ChangeNotify;
  COLORREF HandleRGB;
  // Color and Descriptor form one 64-byte block: what AssignTool copies and
  // ToolHandle compares with the parent tool.
  ColorValue Color;
  LOGFONTA Descriptor;
  GraphicTool* (*NewSameKind)();
  void (*MakeHandle)(GraphicTool* tool);
  // The font's height is in 96-DPI units; the object is made for this DPI.
  int32_t Dpi;
};
const size_t kToolBlockSize = sizeof(ColorValue) + sizeof(LOGFONTA);
static_assert(kToolBlockSize == 64, "colour and descriptor form a 64-byte block");
// LOGFONTA is 4-aligned, so Descriptor follows Color without padding.
inline const void* ToolBlock(const GraphicTool* tool) { return &tool->Color; }

extern const ObjectKind kGraphicToolKind;

enum ToolField { ToolColor, ToolHeight, ToolWidth, ToolEscapement, ToolOrientation, ToolWeight };

GraphicTool* NewFontTool();
HGDIOBJ ToolHandle(GraphicTool* tool);
void ToolChanged(GraphicTool* tool);
GraphicTool* AssignTool(GraphicTool* dest, GraphicTool* src);
void SetToolField(GraphicTool* tool, ToolField field, int32_t value);
void SetFaceName(GraphicTool* tool, const char* name);
void SetToolDpi(GraphicTool* tool, int32_t dpi);
