// The drawing surface of a control, which draws into the control's paint DC
// while it paints and into a DC of its window otherwise.
#pragma once
#include <windows.h>
#include "toolkit/control.h"
#include "toolkit/surface.h"

DrawingSurface* GetCanvas(Control* ctl);
HDC ProvideCanvasDC(void* control, DrawingSurface* surface);
