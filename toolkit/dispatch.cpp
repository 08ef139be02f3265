#include "toolkit/dispatch.h"

#include "toolkit/geometry.h"
#include "toolkit/loop.h"
#include "toolkit/scale.h"
#include "toolkit/window.h"

const UINT kMciNotify = 0x03B9;  // MM_MCINOTIFY, without pulling in mmsystem.h
const UINT kKeyLast = 0x0108;    // the key range ends before WM_UNICHAR
const UINT kNoOpMessage = 0x8FFF;

LRESULT CALLBACK CommonWindowProc(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
  WindowMessage message = {hwnd, msg, wParam, lParam};
  if (hwnd) {
    // The first message of a new window arrives inside CreateWindowExW, before
    // the property can be set from outside.
    if (ControlBeingCreated) return HandleMessage(BindCreatedControl(hwnd), &message);
    Control* ctl = static_cast<Control*>(GetPropA(hwnd, kSelfProperty));
    if (ctl) return HandleMessage(ctl, &message);
  }
  if (MainControl) return HandleMessage(MainControl, &message);
  return DefWindowProcW(hwnd, msg, wParam, lParam);
}

bool NoMessageHandlers(Control*, WindowMessage*, LRESULT*) { return false; }

void AddMessageHandler(Control* ctl, MessageStep handler) {
  ctl->PreHandler = RunMessageHandlers;
  if (!ctl->Handlers) ctl->Handlers = NewPointerList();
  intptr_t value = reinterpret_cast<intptr_t>(handler);
  if (IndexOfValue(ctl->Handlers, value) >= 0) return;
  Append(ctl->Handlers, value);
  Append(ctl->Handlers, 0);  // keep-after-quit
}

bool RunMessageHandlers(Control* ctl, WindowMessage* message, LRESULT* result) {
  if (ctl->RefState < 0 || !ctl->Handlers || ctl->Handlers->Count == 0) return false;
  AcquireRef(ctl);
  // A handler attached meanwhile waits for the next message.
  int32_t n = ctl->Handlers->Count / 2;
  for (int32_t i = n - 1; i >= 0; --i) {
    intptr_t* items = ctl->Handlers->Items;  // a handler may have grown the list
    if (QuitRequested && items[2 * i + 1] == 0) continue;
    MessageStep step = reinterpret_cast<MessageStep>(items[2 * i]);
    if (step(ctl, message, result)) {
      ReleaseRef(ctl);
      return true;
    }
  }
  if (ctl->RefState == 1) {
    // Disposed by one of its handlers: this reference is the last one, and
    // nothing after us may touch the control.
    ReleaseRef(ctl);
    return true;
  }
  ReleaseRef(ctl);
  return false;
}

LRESULT CallDefaultProcedure(Control* ctl, WindowMessage* message) {
  if (ctl->BaseWndProc)
    return CallWindowProcW(ctl->BaseWndProc, ctl->Handle, message->Msg, message->WParam,
                           message->LParam);
  return DefWindowProcW(message->Window, message->Msg, message->WParam, message->LParam);
}

bool IsMainForm(Control* ctl) {
  if (ctl->IsChild) return false;
  Control* parent = ctl->Parent;
  if (!parent) return true;
  return !parent->Parent && parent->Children->Count > 0 && ChildAt(parent, 0) == ctl;
}

bool IsControlEnabled(Control* ctl) {
  if (ctl->Handle) return IsWindowEnabled(ctl->Handle) != 0;
  return (ctl->Style & WS_DISABLED) == 0;
}

bool TakeFocus(Control* ctl) {
  if (!IsControlEnabled(ctl) || !ctl->TabStop) return false;
  ++ctl->FocusGuard;
  SetFocus(ctl->Handle);
  --ctl->FocusGuard;
  return true;
}

static LRESULT HandleNcDestroy(Control* ctl, WindowMessage* message) {
  RemovePropA(ctl->Handle, kSelfProperty);
  // The end of a failed creation: the control stays, without a window.
  if (IsWindowBeingCreated(ctl)) return CallDefaultProcedure(ctl, message);
  if (MainControl && MainControl->Handle == ctl->Handle) return CallDefaultProcedure(ctl, message);
  if (IsMainForm(ctl)) {
    // A request posted to this window now would die with it: the system drops
    // the queued messages of a destroyed window. So the control goes here,
    // after its default processing. Inside our own DestroyObject the object is
    // already being destroyed and this Dispose does nothing.
    LRESULT result = CallDefaultProcedure(ctl, message);
    ctl->WndGone = 1;
    Dispose(ctl);
    return result;
  }
  if (ctl->Parent == MainControl) {
    ctl->WndGone = 1;
    Dispose(ctl);
    return 0;
  }
  return CallDefaultProcedure(ctl, message);
}

static LRESULT HandleShowWindow(Control* ctl, WindowMessage* message) {
  if (message->LParam == SW_PARENTCLOSING) {
    if (IsIconic(ctl->Handle))
      ctl->RestoreShowCmd = SW_SHOWMINNOACTIVE;
    else if (IsZoomed(ctl->Handle))
      ctl->RestoreShowCmd = SW_SHOWMAXIMIZED;
    else
      ctl->RestoreShowCmd = SW_SHOWNOACTIVATE;
  } else if (message->LParam == SW_PARENTOPENING) {
    if (ctl->RestoreShowCmd) {
      ShowWindow(ctl->Handle, ctl->RestoreShowCmd);
      ctl->RestoreShowCmd = 0;
    }
    return 0;
  }
  return CallDefaultProcedure(ctl, message);
}

static LRESULT HandleKey(Control* ctl, WindowMessage* message) {
  HWND focus = GetFocus();
  // Keys that belong to another window of this thread are not ours to process.
  if (focus && focus != ctl->Handle) return 0;
  if ((GetKeyState(VK_CONTROL) & 0x8000) || (GetKeyState(VK_MENU) & 0x8000))
    return CallDefaultProcedure(ctl, message);
  if (LOWORD(message->Msg) == WM_CHAR && LOBYTE(message->WParam) == '\t') {
    // A dialog form moved the focus on the key-down (DialogKeyHook); a button would only beep.
    message->WParam = 0;
    return 0;
  }
  return CallDefaultProcedure(ctl, message);
}

LRESULT ControlHandleMessage(Control* ctl, WindowMessage* message) {
  LRESULT result = 0;
  if (LoopActive && MainControl && MainControl != ctl && MainControl->MessageHook.Code &&
      MainControl->MessageHook.Code(MainControl->MessageHook.Data, message, &result))
    return result;
  if (ctl->MessageHook.Code && ctl->MessageHook.Code(ctl->MessageHook.Data, message, &result))
    return result;
  if (ctl->PreHandler(ctl, message, &result)) return result;

  WORD msg = LOWORD(message->Msg);
  switch (msg) {
    case WM_CLOSE:
      if (IsMainForm(ctl) || ctl == MainControl) {
        if (MainControl && MainControl != ctl) SendToControl(MainControl, WM_CLOSE, 0, 0);
        PostQuitMessage(0);
        return 0;
      }
      return CallDefaultProcedure(ctl, message);
    case WM_NCDESTROY:
      return HandleNcDestroy(ctl, message);
    case DisposeRequest:
      // Destroying is left alone: set here it would make the destruction stop
      // before the window, the memory and the owned tools are given back.
      Dispose(ctl);
      return 0;
    case WM_SIZE:
      result = CallDefaultProcedure(ctl, message);
      if (LayoutHook) {
        if (!ctl->IsForm && ctl->Parent) LayoutHook(ctl->Parent);
        LayoutHook(ctl);
      }
      return result;
    case WM_SHOWWINDOW:
      return HandleShowWindow(ctl, message);
    case WM_SYSCOMMAND:
      if ((LOWORD(message->WParam) & 0xFFF0) == SC_MINIMIZE && IsMainForm(ctl) && MainControl &&
          MainControl != ctl) {
        PostMessageA(MainControl->Handle, WM_SYSCOMMAND, SC_MINIMIZE, 0);
        return 0;
      }
      return CallDefaultProcedure(ctl, message);
    case WM_SETFOCUS:
      if (TakeFocus(ctl)) {
        ++ctl->FocusGuard;
        result = CallDefaultProcedure(ctl, message);
        --ctl->FocusGuard;
        return result;
      }
      return 0;
    case WM_SETCURSOR:
      if (!GetCapture() && LOWORD(message->LParam) == HTCLIENT && ctl->CursorHandle) {
        SetCursor(ctl->CursorHandle);
        return 1;
      }
      return CallDefaultProcedure(ctl, message);
    case WM_COMMAND:
      if (GetPropA(reinterpret_cast<HWND>(message->LParam), kSelfProperty))
        return SendMessageA(reinterpret_cast<HWND>(message->LParam), ReflectedCommand,
                            message->WParam, message->LParam);
      return CallDefaultProcedure(ctl, message);
    case WM_DPICHANGED:
      if (ctl->IsChild) return CallDefaultProcedure(ctl, message);
      ChangeDpi(ctl, LOWORD(message->WParam), reinterpret_cast<const RECT*>(message->LParam));
      return 0;
    case kNoOpMessage:
    case kMciNotify:
      return 0;
  }
  if (msg >= WM_CTLCOLORMSGBOX && msg <= WM_CTLCOLORSTATIC)
    return SendMessageA(reinterpret_cast<HWND>(message->LParam), message->Msg + ReflectBase,
                        message->WParam, message->LParam);
  if (msg >= WM_KEYFIRST && msg <= kKeyLast) return HandleKey(ctl, message);
  return CallDefaultProcedure(ctl, message);
}
