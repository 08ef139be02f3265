#include "toolkit/focus.h"

#include "toolkit/dispatch.h"
#include "toolkit/geometry.h"
#include "toolkit/layout.h"
#include "toolkit/loop.h"
#include "toolkit/window.h"

void FocusControl(Control* ctl, bool focus) {
  if (!focus) return;
  if (ctl->IsChild) {
    Control* form = FindForm(ctl);
    if (form) form->CurrentControl = ctl;
    SetFocus(EnsureHandle(ctl));
  } else {
    SetForegroundWindow(EnsureHandle(ctl));
  }
}

void SetDialogButton(Control* ctl, int32_t key, bool enable) {
  if (key == VK_RETURN) ctl->IsCancel = 0;
  if (key == VK_ESCAPE) ctl->IsCancel = enable;
  Control* form = FindForm(ctl);
  if (!MainControl || !form) return;
  MessageHookMethod& hook = MainControl->MessageHook;
  if (enable) {
    if (hook.Code != DialogKeyHook) MainControl->ChainedMessageHook = hook;
    hook.Code = DialogKeyHook;
    hook.Data = MainControl;
  } else if (hook.Code == DialogKeyHook) {
    // Only our own hook is taken out; a hook installed by someone else stays.
    hook = MainControl->ChainedMessageHook;
    MainControl->ChainedMessageHook = MessageHookMethod{nullptr, nullptr};
  }
  if (key == VK_RETURN) {
    form->DefaultButton = enable ? ctl : nullptr;
    SetStyle(ctl, enable ? (ctl->Style | BS_DEFPUSHBUTTON) : (ctl->Style & ~BS_DEFPUSHBUTTON));
  } else if (key == VK_ESCAPE) {
    form->CancelButton = enable ? ctl : nullptr;
  }
}

static bool Usable(Control* button) {
  return button && IsShowing(button) && IsControlEnabled(button);
}

// Enter presses the default button only where the focused control has no use
// for Enter itself: on the default button, or on a control that is no button.
static Control* EnterTarget(Control* form) {
  Control* button = form->DefaultButton;
  if (!Usable(button)) return nullptr;
  Control* cur = form->CurrentControl;
  if (!cur || (!cur->IsCancel && !cur->IsButton) || cur == button) return button;
  return nullptr;
}

bool DialogKeyHook(void* main, WindowMessage* message, LRESULT* result) {
  Control* mainControl = static_cast<Control*>(main);
  MessageHookMethod chained = mainControl->ChainedMessageHook;
  if (chained.Code && chained.Code(chained.Data, message, result)) return true;
  if (QuitRequested) return false;
  Control* form = mainControl->IsForm ? mainControl : mainControl->CurrentControl;
  if (!form) return false;
  UINT msg = message->Msg;
  if (msg != WM_KEYDOWN && msg != WM_KEYUP) return false;
  Control* target = nullptr;
  if (message->WParam == VK_RETURN)
    target = EnterTarget(form);
  else if (message->WParam == VK_ESCAPE && Usable(form->CancelButton))
    target = form->CancelButton;
  if (!target) return false;
  if (msg == WM_KEYDOWN) FocusControl(target, true);
  // The button clicks itself on Space up, exactly as if the user had pressed Space.
  SendToControl(target, msg, VK_SPACE, message->LParam);
  message->WParam = 0;
  *result = 0;
  return true;
}
