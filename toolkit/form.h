// The form: a top-level control with the handler every form carries, for the
// end of the session and the focus on activation.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

Control* NewForm(Control* parent, const char* caption);
bool FormMessageHandler(Control* form, WindowMessage* message, LRESULT* result);
