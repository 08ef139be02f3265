// Background erasing in a control's colour, and the image view.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

struct ImageList;

bool EraseBackgroundHandler(Control* ctl, WindowMessage* message, LRESULT* result);
bool ImagePaintHandler(Control* ctl, WindowMessage* message, LRESULT* result);
Control* NewImageView(Control* parent, ImageList* imageList);
