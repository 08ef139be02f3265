#include "toolkit/buttons.h"

#include "toolkit/appearance.h"
#include "toolkit/dispatch.h"
#include "toolkit/geometry.h"
#include "toolkit/window.h"

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
