// Behaviour of buttons, check boxes and labels: reflected colour and command
// messages, the click event and the check state.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

bool ChildColorHandler(Control* ctl, WindowMessage* message, LRESULT* result);
void FireClick(Control* ctl);
int32_t GetChecked(Control* ctl);
void SetChecked(Control* ctl, bool checked);
