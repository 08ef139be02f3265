// The child kinds: buttons, check boxes, labels and panels, the construction
// step they share, and the handler every child carries: reflected colour and
// command messages, the click event and the form's current control.
#pragma once
#include <windows.h>
#include "toolkit/control.h"

extern const KindTemplate kButtonTemplate;
extern const KindTemplate kStaticTemplate;

Control* NewChildControl(Control* parent, const char* className, DWORD style,
                         const KindTemplate* kindTemplate, uint8_t edgeWish);
Control* NewButton(Control* parent, const char* caption);
Control* NewCheckBox(Control* parent, const char* caption);
Control* NewLabel(Control* parent, const char* caption);
Control* NewPanel(Control* parent, int edge);

bool ChildColorHandler(Control* ctl, WindowMessage* message, LRESULT* result);
void FireClick(Control* ctl);
int32_t GetChecked(Control* ctl);
void SetChecked(Control* ctl, bool checked);
