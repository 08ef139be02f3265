#include "toolkit/control.h"

#include "toolkit/appearance.h"
#include "toolkit/buttons.h"
#include "toolkit/dispatch.h"
#include "toolkit/geometry.h"
#include "toolkit/loop.h"
#include "toolkit/paint.h"
#include "toolkit/window.h"

const ControlKind kControlKind = {
    {sizeof(Control), ControlInitObject, ControlDestroyObject},
    ControlBindToParent,
    ControlCreateWindow,
    ControlHandleMessage,
};

// Click, set-focus and kill-focus codes; 14 pixels of text padding.
const KindTemplate kButtonTemplate = {BN_CLICKED, {BN_SETFOCUS, BN_KILLFOCUS, 0, 0}, 0, 14, 0, 0};
const KindTemplate kStaticTemplate = {0, {0, 0, 0, 0}, 0, 1, 1, 0};

uint16_t NextControlId = 0x8000;

const DWORD kDefaultStyle = WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
const DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHLIKE;
const DWORD kCheckBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
const DWORD kStaticStyle = WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_LEFTNOWORDWRAP;

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

Control* NewChildControl(Control* parent, const char* className, DWORD style,
                         const KindTemplate* kindTemplate, uint8_t edgeWish) {
  Control* ctl = NewControlOfClass(parent, className, edgeWish);
  ctl->IsChild = 1;
  if (kindTemplate) ctl->Template = *kindTemplate;
  style |= WS_CLIPSIBLINGS | WS_CLIPCHILDREN;
  if (ctl->EdgeStyle.Applied == 1) {
    style &= ~static_cast<DWORD>(WS_BORDER);
    ctl->ExStyle |= WS_EX_CLIENTEDGE;
  }
  ctl->Style = style;
  ctl->Visible = (style & WS_VISIBLE) != 0;

  Control* form = nullptr;
  if (parent) {
    ctl->CursorHandle = parent->CursorHandle;
    form = FindForm(parent);
  }
  if (style & WS_TABSTOP) {
    ctl->TabStop = 1;
    // The first tab stop of a form gets the focus when the form is activated.
    if (form && !form->CurrentControl) form->CurrentControl = ctl;
  }
  ctl->CtlId = NextControlId++;
  AddMessageHandler(ctl, ChildColorHandler);
  return ctl;
}

Control* NewForm(Control* parent, const char* caption) {
  Control* form = NewControlOfClass(parent, "Form", 1);
  form->ClassStyle |= CS_DBLCLKS;
  AddMessageHandler(form, FormMessageHandler);
  AddMessageHandler(form, EraseBackgroundHandler);
  SetCaption(form, caption);
  form->IsForm = 1;
  return form;
}

Control* NewButton(Control* parent, const char* caption) {
  Control* ctl = NewChildControl(parent, "BUTTON", kButtonStyle, &kButtonTemplate, 0);
  ctl->Bounds.bottom = ctl->Bounds.top + 22;
  ctl->IsButton = 1;
  SetCaption(ctl, caption);
  return ctl;
}

Control* NewCheckBox(Control* parent, const char* caption) {
  Control* ctl = NewButton(parent, caption);
  ctl->Style = kCheckBoxStyle;
  ctl->Bounds.right = ctl->Bounds.left + 72;
  ctl->Template.TextPadX = 24;
  return ctl;
}

Control* NewLabel(Control* parent, const char* caption) {
  Control* ctl = NewChildControl(parent, "STATIC", kStaticStyle, &kStaticTemplate, 0);
  ctl->RedrawOnCaption = 1;
  ctl->RedrawOnResize = 1;
  ctl->Bounds.bottom = ctl->Bounds.top + 22;
  SetCaption(ctl, caption);
  return ctl;
}

Control* NewPanel(Control* parent, int edge) {
  Control* ctl = NewChildControl(parent, "STATIC", kStaticStyle, &kStaticTemplate, 0);
  ctl->Bounds.right += 36;
  ctl->Bounds.bottom += 36;
  ctl->ExStyle |= WS_EX_CONTROLPARENT;
  if (edge == 0)
    ctl->Style |= WS_DLGFRAME;
  else if (edge == 1)
    ctl->Style |= SS_SUNKEN;
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
