#include "toolkit/graphics.h"

#include <string.h>

#include "support/strings.h"

namespace {

struct ToolBlockData {
  ColorValue Color;
  LOGFONTA Descriptor;
};

const ToolBlockData kDefaultFont = {
    clWindowText,
    {0, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "MS Sans Serif"},
};

void ToolDestroyObject(ToolkitObject* obj) {
  GraphicTool* tool = static_cast<GraphicTool*>(obj);
  if (tool->Handle) DeleteObject(tool->Handle);
  BaseDestroyObject(obj);
}

void MakeFontHandle(GraphicTool* tool) {
  if (tool->Handle) return;
  LOGFONTA font = tool->Descriptor;
  font.lfHeight = MulDiv(font.lfHeight, tool->Dpi, 96);
  tool->Handle = CreateFontIndirectA(&font);
}

void Notify(GraphicTool* tool) {
  if (tool->ChangeNotify.Code) tool->ChangeNotify.Code(tool->ChangeNotify.Context, tool);
}

bool SameBlock(const GraphicTool* a, const GraphicTool* b) {
  return a->Dpi == b->Dpi && memcmp(ToolBlock(a), ToolBlock(b), kToolBlockSize) == 0;
}

// Stores value in *field and answers whether that changed it.
template <class T>
bool Replace(T* field, T value) {
  if (*field == value) return false;
  *field = value;
  return true;
}

}  // namespace

const ObjectKind kGraphicToolKind = {sizeof(GraphicTool), BaseInitObject, ToolDestroyObject};

COLORREF ResolveColor(ColorValue value) {
  if (value & kSystemColorFlag) return GetSysColor(value & 0xFF);
  return value;
}

GraphicTool* NewFontTool() {
  GraphicTool* tool = NewObjectOf<GraphicTool>(&kGraphicToolKind);
  tool->ToolKind = kToolFont;
  memcpy(&tool->Color, &kDefaultFont, kToolBlockSize);
  tool->NewSameKind = NewFontTool;
  tool->MakeHandle = MakeFontHandle;
  tool->Dpi = 96;
  return tool;
}

HGDIOBJ ToolHandle(GraphicTool* tool) {
  GraphicTool* t = tool;
  for (;;) {
    // A system colour change makes the object stale; the owner may re-make it
    // from inside the notification, and then that one is kept.
    if (t->Handle && ResolveColor(t->Color) != t->HandleRGB) ToolChanged(t);
    if (t->Handle) return t->Handle;
    if (t->ParentTool && SameBlock(t, t->ParentTool)) {
      t = t->ParentTool;
      continue;
    }
    t->HandleRGB = ResolveColor(t->Color);
    t->MakeHandle(t);
    return t->Handle;
  }
}

void ToolChanged(GraphicTool* tool) {
  HGDIOBJ old = tool->Handle;
  tool->Handle = nullptr;
  Notify(tool);
  if (old) {
    // The owner was told first so that nothing still uses the object now.
    DeleteObject(old);
    Notify(tool);
  }
}

GraphicTool* AssignTool(GraphicTool* dest, GraphicTool* src) {
  if (!src) {
    DisposeIfAny(dest);
    return nullptr;
  }
  if (!dest) dest = src->NewSameKind();
  if (dest == src) return dest;
  if (dest->Handle && dest->Handle == src->Handle) return dest;
  ToolChanged(dest);
  memcpy(&dest->Color, ToolBlock(src), kToolBlockSize);
  dest->Dpi = src->Dpi;
  ToolChanged(dest);
  return dest;
}

void SetToolField(GraphicTool* tool, ToolField field, int32_t value) {
  LOGFONTA& font = tool->Descriptor;
  bool changed = false;
  // Each field through its own type: LONG and ColorValue may not be written as int32_t.
  switch (field) {
    case ToolColor: changed = Replace(&tool->Color, static_cast<ColorValue>(value)); break;
    case ToolHeight: changed = Replace<LONG>(&font.lfHeight, value); break;
    case ToolWidth: changed = Replace<LONG>(&font.lfWidth, value); break;
    case ToolEscapement: changed = Replace<LONG>(&font.lfEscapement, value); break;
    case ToolOrientation: changed = Replace<LONG>(&font.lfOrientation, value); break;
    case ToolWeight: changed = Replace<LONG>(&font.lfWeight, value); break;
  }
  if (changed) ToolChanged(tool);
}

void SetFaceName(GraphicTool* tool, const char* name) {
  if (!name) name = "";
  char* face = tool->Descriptor.lfFaceName;
  const uint32_t fieldSize = sizeof(tool->Descriptor.lfFaceName);
  uint32_t i = 0;
  while (i < fieldSize && face[i] && face[i] == name[i]) ++i;
  if (i == fieldSize || (face[i] == 0 && name[i] == 0)) return;
  memset(face, 0, fieldSize);
  CopyZLimited(face, name, fieldSize - 1);
  ToolChanged(tool);
}

void SetToolDpi(GraphicTool* tool, int32_t dpi) {
  if (tool->Dpi == dpi) return;
  tool->Dpi = dpi;
  ToolChanged(tool);
}
