// Display scale. Every place, size, margin and font height a program gives the
// toolkit is in pixels of a 96-DPI screen; a window's DPI turns them into its
// own pixels, here and nowhere else.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

const int32_t kBaseDpi = 96;

// The DPI a new top-level window gets: the screen's.
int32_t ScreenDpi();
// The window's own DPI where the system tracks one per window, else the screen's.
int32_t WindowDpi(HWND window);
// The DPI of the control's window; a control without one follows its parent.
int32_t ControlDpi(const Control* ctl);

int32_t ToDevice(int32_t value, int32_t dpi);
// Rounded up: a measured extent must not lose its last pixel on the way back.
int32_t FromDeviceCeil(int32_t value, int32_t dpi);
// Corners scale apart from the size, so that a size comes out the same
// wherever the rectangle lies.
RECT ToDeviceRect(const RECT& r, int32_t dpi);
RECT FromDeviceRect(const RECT& r, int32_t dpi);

// The width of a check box's mark at the DPI.
int32_t CheckMarkWidth(int32_t dpi);

// Moves a top-level control and its children to another DPI: every child is
// placed again from its 96-DPI rectangle, every font is made again, auto-sized
// texts are measured again, image lists are filled again at their new size.
// The window itself takes *suggested when given, else its own size rescaled.
void ChangeDpi(Control* form, int32_t dpi, const RECT* suggested);
