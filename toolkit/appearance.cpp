#include "toolkit/appearance.h"

#include "toolkit/geometry.h"
#include "toolkit/scale.h"
#include "toolkit/window.h"

HBRUSH (*ControlBrush)(Control* control) = SolidControlBrush;

// The cached brush is made again from Color at its next use.
static void DropBrush(Control* ctl) {
  if (ctl->BrushHandle) {
    DeleteObject(ctl->BrushHandle);
    ctl->BrushHandle = 0;
  }
}

// The change listener of a control's background brush tool.
static void BrushChanged(void* context, GraphicTool* tool) {
  Control* ctl = static_cast<Control*>(context);
  ctl->Color = tool->Color;
  DropBrush(ctl);
  Invalidate(ctl);
}

// *field becomes a copy of the parent's tool that tells ctl of every change; the
// listener runs once at once, with the field already set (it reads it).
static void InheritTool(Control* ctl, GraphicTool** field, GraphicTool* parentTool,
                        ToolChangeProc listener) {
  GraphicTool* tool = AssignTool(nullptr, parentTool);
  *field = tool;
  if (!tool) return;
  tool->ParentTool = parentTool;
  tool->ChangeNotify = ToolChangeMethod{listener, ctl};
  listener(ctl, tool);
}

void InheritColorsAndFont(Control* ctl, Control* parent) {
  ctl->FontColor = parent->FontColor;
  InheritTool(ctl, &ctl->Font, parent->Font, FontChanged);
  ctl->Color = parent->Color;
  InheritTool(ctl, &ctl->Brush, parent->Brush, BrushChanged);
}

void SetColor(Control* ctl, ColorValue color) {
  EnsureHandle(ctl);
  if (ctl->Color == color) return;
  ctl->Color = color;
  DropBrush(ctl);
  // A brush tool copied from the parent would otherwise put the old colour back
  // at its next change.
  if (ctl->Brush) SetToolField(ctl->Brush, ToolColor, static_cast<int32_t>(color));
  Invalidate(ctl);
}

GraphicTool* GetFontTool(Control* ctl) {
  if (ctl->Font) return ctl->Font;
  GraphicTool* tool = NewFontTool();
  tool->Color = ctl->FontColor;
  tool->Dpi = ControlDpi(ctl);
  tool->ChangeNotify.Code = FontChanged;
  tool->ChangeNotify.Context = ctl;
  ctl->Font = tool;
  return tool;
}

void FontChanged(void* context, GraphicTool* tool) {
  Control* ctl = static_cast<Control*>(context);
  ctl->FontColor = tool->Color;
  ApplyFont(ctl);
  Invalidate(ctl);
}

HBRUSH SolidControlBrush(Control* control) {
  Control* holder = control;
  while (holder->Parent && holder->Parent->Color == holder->Color) holder = holder->Parent;
  COLORREF rgb = ResolveColor(holder->Color);
  // A system colour may resolve differently since the brush was made.
  if (rgb != holder->BrushRGB) DropBrush(holder);
  if (!holder->BrushHandle) {
    holder->BrushRGB = rgb;
    holder->BrushHandle = CreateSolidBrush(rgb);
  }
  return holder->BrushHandle;
}
