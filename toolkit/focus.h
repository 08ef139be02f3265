// Focus and the Enter and Escape keys: a form's default and cancel buttons,
// pressed through a message hook of the main control.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

void FocusControl(Control* ctl, bool focus);
void SetDialogButton(Control* ctl, int32_t key, bool enable);
bool DialogKeyHook(void* main, WindowMessage* message, LRESULT* result);
