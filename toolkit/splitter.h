// The splitter: a thin sunken panel that resizes the control before it.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

const UINT_PTR kSplitterTimerId = 123;
const UINT kSplitterTimerPeriod = 100;

Control* NewSplitter(Control* parent, int32_t minBefore, int32_t minAfter);
bool SplitterHandler(Control* ctl, WindowMessage* message, LRESULT* result);
void SplitterTrack(Control* ctl, bool cancel);
