// Window creation: superclassed "obj_" window classes, lazy creation of a
// control's window and its children, the binding through "SELF_", and sending
// to a window that may not exist yet.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

// The window property that ties a toolkit window to its Control.
extern const char kSelfProperty[];  // "SELF_"

// The control whose CreateWindowExW call is in progress; null otherwise.
extern Control* ControlBeingCreated;

// Instance of the program's module, used for every class and window.
HINSTANCE ToolkitInstance();

HWND EnsureHandle(Control* ctl);
// Sends to the control's window, made first when it does not exist yet.
LRESULT SendToControl(Control* ctl, UINT message, WPARAM wParam, LPARAM lParam);
HWND ParentWindowHandle(Control* ctl, bool create);
void CreateChildWindows(Control* ctl);
HICON GetControlIcon(Control* ctl);
void ApplyFont(Control* ctl);

// True while CreateWindowExW runs for ctl. A creation that fails destroys the
// half-made window; that must not take the control with it.
bool IsWindowBeingCreated(const Control* ctl);

// Binds ControlBeingCreated to hwnd (Handle, "SELF_" property) and returns it.
Control* BindCreatedControl(HWND hwnd);
