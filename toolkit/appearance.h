// A control's colours and font: the font and brush tools it copies from its
// parent and follows, its background colour and the shared solid brush of it.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

// Copies the parent's text colour, font, background colour and brush tool into
// a new control; the copied tools tell ctl of every change.
void InheritColorsAndFont(Control* ctl, Control* parent);

void SetColor(Control* ctl, ColorValue color);
GraphicTool* GetFontTool(Control* ctl);
// The ChangeNotify of a control's font; context is the control.
void FontChanged(void* context, GraphicTool* tool);

// Replaceable global slot; its default is the shared solid brush of a control.
extern HBRUSH (*ControlBrush)(Control* control);
HBRUSH SolidControlBrush(Control* control);
