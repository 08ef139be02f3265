// The one window procedure of every toolkit window and the dispatch of a
// message through hooks, attached handlers, the built-in table and the
// default procedure of the window's class.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

// Private messages the toolkit sends to its own windows.
const UINT DisposeRequest = 0xB003;
const UINT ReflectedCommand = 0xB005;
const UINT ReflectBase = 0xBC00;  // + WM_CTLCOLORMSGBOX ... WM_CTLCOLORSTATIC

LRESULT CALLBACK CommonWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

void AddMessageHandler(Control* ctl, MessageStep handler);
bool RunMessageHandlers(Control* ctl, WindowMessage* message, LRESULT* result);
// The PreHandler of a control with no attached handler.
bool NoMessageHandlers(Control* ctl, WindowMessage* message, LRESULT* result);
LRESULT CallDefaultProcedure(Control* ctl, WindowMessage* message);
bool IsMainForm(Control* ctl);
bool IsControlEnabled(Control* ctl);
bool TakeFocus(Control* ctl);
