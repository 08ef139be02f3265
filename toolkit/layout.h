// Alignment of docked children and auto-size of a control to its caption.
#pragma once
#include "toolkit/control.h"

Control* SetAlign(Control* ctl, Alignment align);
void Realign(Control* ctl);
bool IsShowing(Control* ctl);
Control* SetAutoSize(Control* ctl, bool autoSize);
void AutoSizeToText(Control* ctl);
