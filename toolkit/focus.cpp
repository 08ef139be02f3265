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

// Push buttons, unlike check boxes, take Enter themselves while they have the focus.
static bool IsPushButton(Control* ctl) {
  return ctl->IsButton && (ctl->Style & BS_TYPEMASK) <= BS_DEFPUSHBUTTON;
}

// As in a system dialog: a focused push button takes Enter itself; from any
// other control Enter presses the default button.
static Control* EnterTarget(Control* form) {
  Control* cur = form->CurrentControl;
  if (cur && IsPushButton(cur) && Usable(cur)) return cur;
  return Usable(form->DefaultButton) ? form->DefaultButton : nullptr;
}

void ShowEnterTarget(Control* form) {
  if (!form->DefaultButton) return;
  Control* target = EnterTarget(form);
  for (int32_t i = 0; i < form->Children->Count; ++i) {
    Control* button = ChildAt(form, i);
    if (!IsPushButton(button) || !button->Handle) continue;
    DWORD type = button == target ? BS_DEFPUSHBUTTON : BS_PUSHBUTTON;
    if ((button->Style & BS_TYPEMASK) == type) continue;
    button->Style = (button->Style & ~BS_TYPEMASK) | type;
    SendMessageA(button->Handle, BM_SETSTYLE, type, TRUE);
  }
}

// Rows top to bottom, each row left to right; controls in one place keep the
// order in which they were made. Packed into one number: places stay within
// 2^19 pixels and a form within 2^20 children.
static int64_t ReadingPlace(Control* form, int32_t index) {
  RECT r = GetBoundsRect(ChildAt(form, index));
  return ((static_cast<int64_t>(r.top) << 20) + r.left) * (1 << 20) + index;
}

// The usable tab stop after from in reading order (before it when back), round
// and round; the first one when from is none.
static Control* NextTabStop(Control* form, Control* from, bool back) {
  int64_t sign = back ? -1 : 1;
  int64_t at = INT64_MIN;
  for (int32_t i = 0; i < form->Children->Count; ++i)
    if (ChildAt(form, i) == from) at = sign * ReadingPlace(form, i);
  Control* next = nullptr;
  Control* first = nullptr;
  int64_t nextAt = INT64_MAX;
  int64_t firstAt = INT64_MAX;
  for (int32_t i = 0; i < form->Children->Count; ++i) {
    Control* ctl = ChildAt(form, i);
    if (!ctl->TabStop || !Usable(ctl)) continue;
    int64_t place = sign * ReadingPlace(form, i);
    if (place < firstAt) {
      firstAt = place;
      first = ctl;
    }
    if (place > at && place < nextAt) {
      nextAt = place;
      next = ctl;
    }
  }
  return next ? next : first;
}

static bool Handled(WindowMessage* message, LRESULT* result) {
  message->WParam = 0;
  *result = 0;
  return true;
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
  if (msg == WM_KEYDOWN && message->WParam == VK_TAB) {
    // The Tab character that follows is the dispatcher's to swallow.
    Control* next = NextTabStop(form, form->CurrentControl, GetKeyState(VK_SHIFT) < 0);
    if (!next) return false;
    FocusControl(next, true);
    return Handled(message, result);
  }
  Control* target = nullptr;
  if (message->WParam == VK_RETURN)
    target = EnterTarget(form);
  else if (message->WParam == VK_ESCAPE && Usable(form->CancelButton))
    target = form->CancelButton;
  if (!target) return false;
  if (msg == WM_KEYDOWN) FocusControl(target, true);
  // The button clicks itself on Space up, exactly as if the user had pressed Space.
  SendToControl(target, msg, VK_SPACE, message->LParam);
  return Handled(message, result);
}
