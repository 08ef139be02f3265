// Sending messages to controls whose windows may not exist yet, and the
// drawing surface of a control.
#pragma once
#include <windows.h>
#include "toolkit/control.h"
#include "toolkit/surface.h"

LRESULT SendToControl(Control* ctl, UINT message, WPARAM wParam, LPARAM lParam);
DrawingSurface* GetCanvas(Control* ctl);
HDC ProvideCanvasDC(void* control, DrawingSurface* surface);
