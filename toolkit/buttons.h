// Behaviour of buttons, check boxes and labels: reflected colour and command
// messages, the click event, check state, and the colour and font of a control.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

bool ChildColorHandler(Control* ctl, WindowMessage* message, LRESULT* result);
void FireClick(Control* ctl);
void SetColor(Control* ctl, ColorValue color);
GraphicTool* GetFontTool(Control* ctl);
// The ChangeNotify of a control's font; context is the control.
void FontChanged(void* context, GraphicTool* tool);
int32_t GetChecked(Control* ctl);
void SetChecked(Control* ctl, bool checked);
