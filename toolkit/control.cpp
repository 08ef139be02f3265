#include "toolkit/control.h"

#include "toolkit/appearance.h"
#include "toolkit/dispatch.h"
#include "toolkit/window.h"

const ControlKind kControlKind = {
    {sizeof(Control), ControlInitObject, ControlDestroyObject},
    ControlBindToParent,
    ControlCreateWindow,
    ControlHandleMessage,
};

uint16_t NextControlId = 0x8000;

const DWORD kDefaultStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;

void ControlInitObject(ToolkitObject* obj) {
  Control* ctl = static_cast<Control*>(obj);
  ctl->ClassStyle = CS_OWNDC;
  ctl->Style = kDefaultStyle;
  ctl->ExStyle = WS_EX_CONTROLPARENT;
  ctl->Visible = 1;
  // BindToParent runs this a second time on a fresh control; making the lists
  // again would leak the first pair.
  if (!ctl->Children) ctl->Children = NewPointerList();
  if (!ctl->Handlers) ctl->Handlers = NewPointerList();
  ctl->PreHandler = NoMessageHandlers;
  ctl->EdgeStyle.Requested = 1;
  ctl->EdgeStyle.Applied = 1;
  ctl->FontColor = clWindowText;
  ctl->Color = clBtnFace;
  ctl->AlignMargin = 2;
}

void ControlBindToParent(Control* ctl, Control* parent) {
  InitObject(ctl);
  if (parent) ctl->Color = parent->Color;
  SetParentControl(ctl, parent);
}

Control* NewControlObject(Control* parent) {
  Control* ctl = NewObjectOf<Control>(&kControlKind);
  BindToParent(ctl, parent);
  return ctl;
}

Control* NewControlOfClass(Control* parent, const char* className, uint8_t edgeWish) {
  Control* ctl = NewControlObject(parent);
  ctl->WndClassName = className;
  if (!parent) return ctl;

  ctl->EdgeStyle.Requested = parent->EdgeStyle.Requested;
  ctl->EdgeStyle.Applied = parent->EdgeStyle.Requested == 1 ? edgeWish : 0;
  InheritColorsAndFont(ctl, parent);

  int32_t m = parent->AlignMargin;
  ctl->AlignMargin = m;
  ctl->Bounds.left = m;
  ctl->Bounds.top = m + parent->ClientMargins.Top;
  ctl->Bounds.right = m + 64;
  ctl->Bounds.bottom = m + 64;
  return ctl;
}

void SetParentControl(Control* ctl, Control* parent) {
  if (ctl->Parent == parent) return;
  if (ctl->Parent) RemoveValue(ctl->Parent->Children, reinterpret_cast<intptr_t>(ctl));
  ctl->Parent = parent;
  if (parent) Append(parent->Children, reinterpret_cast<intptr_t>(ctl));
  if (ctl->Handle) SetParent(ctl->Handle, parent ? EnsureHandle(parent) : 0);
}

Control* FindForm(Control* ctl) {
  while (ctl && ctl->IsChild) ctl = ctl->Parent;
  return ctl;
}
