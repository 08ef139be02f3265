// The message loop, shutdown, and the destruction of a control.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

extern Control* MainControl;
extern uint8_t LoopActive;
extern uint8_t QuitRequested;

void RunMainLoop(Control** mainRef);
bool PumpOneMessage();
void PumpPendingMessages();
void DisposeChildren(Control* ctl);
