// Geometry, styles, caption, icon and visibility of a control. Every setter
// records the value first and applies it through Win32 only when the window
// exists; it makes no Win32 call when nothing changes. A window made early and
// not yet shown takes its moves, frame change and big icon when it is shown.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

// Re-lays out a control's children; does nothing until the first SetAlign
// installs Realign (layout.h).
extern void (*LayoutHook)(Control* ctl);

void SetStyle(Control* ctl, DWORD style);
void SetExStyle(Control* ctl, DWORD exStyle);
void RefreshStyles(Control* ctl);
void SetEdgeStyle(Control* ctl, uint8_t value);
void SetResizable(Control* ctl, bool resizable);
bool IsResizable(Control* ctl);
bool FixedSizeHandler(Control* ctl, WindowMessage* message, LRESULT* result);

void SetCaption(Control* ctl, const char* text);
// The control destroys the icon when it is replaced or the window goes: give it
// one the program made, never a shared one.
void SetIcon(Control* ctl, HICON icon);
// Gives a new top-level window its big icon (GetControlIcon).
void HandBigIcon(Control* ctl);

bool GetVisible(Control* ctl);
void ApplyVisible(Control* ctl, bool visible);
void SetVisible(Control* ctl, bool visible);
void Hide(Control* ctl);
void Invalidate(Control* ctl);
void Close(Control* ctl);

// Places and sizes in 96-DPI units (scale.h), relative to the parent's client area.
RECT GetBoundsRect(Control* ctl);
void SetBoundsRect(Control* ctl, const RECT& r);
// The same in the window's own pixels: a rectangle the system hands out is taken as it is.
void SetDeviceBounds(Control* ctl, const RECT& device);
POINT ClientToScreenPoint(Control* ctl, POINT in);
RECT GetClientArea(Control* ctl);
int32_t GetWidth(Control* ctl);
int32_t GetHeight(Control* ctl);
void SetLeft(Control* ctl, int32_t x);
void SetTop(Control* ctl, int32_t y);
void SetWidth(Control* ctl, int32_t w);
void SetHeight(Control* ctl, int32_t h);
Control* SetSize(Control* ctl, int32_t w, int32_t h);
Control* SetPosition(Control* ctl, int32_t x, int32_t y);
int32_t GetClientWidth(Control* ctl);
int32_t GetClientHeight(Control* ctl);
void SetClientWidth(Control* ctl, int32_t cw);
void SetClientHeight(Control* ctl, int32_t ch);
Control* SetClientSize(Control* ctl, int32_t cw, int32_t ch);
Control* CenterOnParent(Control* ctl);
