// Focus and the dialog keys of a form, through a message hook of the main
// control: Tab and Shift+Tab move the focus, Enter presses the default button
// (or the focused push button) and Escape the cancel button.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

void FocusControl(Control* ctl, bool focus);
void SetDialogButton(Control* ctl, int32_t key, bool enable);
// Gives the default border to the push button that Enter would press.
void ShowEnterTarget(Control* form);
bool DialogKeyHook(void* main, WindowMessage* message, LRESULT* result);
