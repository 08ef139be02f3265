#include "toolkit/buttons.h"

#include "toolkit/appearance.h"
#include "toolkit/dispatch.h"
#include "toolkit/focus.h"
#include "toolkit/geometry.h"
#include "toolkit/window.h"

// Click, set-focus and kill-focus codes; 14 pixels of text padding.
const KindTemplate kButtonTemplate = {BN_CLICKED, {BN_SETFOCUS, BN_KILLFOCUS, 0, 0}, 0, 14, 0, 0};
const KindTemplate kStaticTemplate = {0, {0, 0, 0, 0}, 0, 1, 1, 0};

const DWORD kButtonStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_PUSHLIKE;
const DWORD kCheckBoxStyle = WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_AUTOCHECKBOX;
const DWORD kStaticStyle = WS_CHILD | WS_VISIBLE | SS_NOTIFY | SS_NOPREFIX | SS_LEFTNOWORDWRAP;

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

bool ChildColorHandler(Control* ctl, WindowMessage* message, LRESULT* result) {
  UINT msg = message->Msg;
  if (msg >= ReflectBase + WM_CTLCOLORMSGBOX && msg <= ReflectBase + WM_CTLCOLORSTATIC) {
    HDC dc = reinterpret_cast<HDC>(message->WParam);
    SetTextColor(dc, ResolveColor(ctl->FontColor));
    SetBkMode(dc, OPAQUE);
    SetBkColor(dc, ResolveColor(ctl->Color));
    *result = reinterpret_cast<LRESULT>(ControlBrush(ctl));
    return true;
  }
  if (msg == ReflectedCommand) {
    if (HIWORD(message->WParam) != ctl->Template.ClickCode) return false;
    // The toolkit's own SetFocus calls make buttons report clicks; those are not the user's.
    if (ctl->FocusGuard == 0) FireClick(ctl);
    *result = CallDefaultProcedure(ctl, message);
    return true;
  }
  if (msg == WM_SETFOCUS) {
    *result = 0;
    Control* form = FindForm(ctl);
    if (!form) return true;
    form->CurrentControl = ctl;
    ShowEnterTarget(form);
    return false;
  }
  return false;
}

void FireClick(Control* ctl) {
  if (!ctl->OnClick.Code) return;
  // The event may dispose its own button; the memory must outlive the call.
  AcquireRef(ctl);
  ctl->OnClick.Code(ctl->OnClick.Context, ctl);
  ReleaseRef(ctl);
}

int32_t GetChecked(Control* ctl) {
  return static_cast<int32_t>(SendToControl(ctl, BM_GETCHECK, 0, 0));
}

void SetChecked(Control* ctl, bool checked) {
  SendToControl(ctl, BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
}
