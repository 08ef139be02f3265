#include "toolkit/loop.h"

#include <stdlib.h>

#include "toolkit/image_list.h"
#include "toolkit/surface.h"

Control* MainControl = nullptr;
uint8_t LoopActive = 0;
uint8_t QuitRequested = 0;

void RunMainLoop(Control** mainRef) {
  ++LoopActive;
  MainControl = *mainRef;
  // Without a window nothing could ever close the main control: waiting would
  // keep the process (and whatever it holds) alive for good.
  if (CreateControlWindow(MainControl)) {
    while (!QuitRequested) {
      WaitMessage();
      PumpPendingMessages();
    }
  }

  QuitRequested = 1;
  LoopActive = 0;
  Control* main = MainControl;
  MainControl = nullptr;
  if (!main) return;
  AcquireRef(main);
  *mainRef = nullptr;
  Dispose(main);
  ReleaseRef(main);
}

bool PumpOneMessage() {
  MSG msg;
  if (!PeekMessageA(&msg, 0, 0, 0, PM_REMOVE)) return false;
  if (LOWORD(msg.message) == WM_QUIT) {
    QuitRequested = 1;
  } else {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
  return LOWORD(msg.message) != 0;
}

void PumpPendingMessages() {
  while (PumpOneMessage()) {
  }
}

void DisposeChildren(Control* ctl) {
  // A child unlinks itself from Children when it is destroyed.
  for (int32_t i = ctl->Children->Count - 1; i >= 0; --i) {
    if (i < ctl->Children->Count) DisposeIfAny(ChildAt(ctl, i));
  }
  Clear(ctl->Children);
}

void ControlDestroyObject(ToolkitObject* obj) {
  Control* ctl = static_cast<Control*>(obj);
  Control* form = FindForm(ctl);
  if (form && form->CurrentControl == ctl) form->CurrentControl = nullptr;
  // An activated second form is the main control's current control; left
  // there, the main form's next WM_SETFOCUS would reach a freed control.
  if (MainControl && MainControl->CurrentControl == ctl) MainControl->CurrentControl = nullptr;
  if (ctl->Handle) ShowWindow(ctl->Handle, SW_HIDE);
  RunFinalizers(ctl);
  DisposeChildren(ctl);
  // Set only below: a Dispose that reaches us again from inside DestroyWindow
  // (WM_NCDESTROY of a child of the main control) must leave the rest to the
  // call that is already running.
  if (ctl->Destroying) return;
  ctl->Destroying = 1;

  DisposeIfAny(ctl->Font);
  ctl->Font = nullptr;
  DisposeIfAny(ctl->Brush);
  ctl->Brush = nullptr;
  DisposeIfAny(ctl->Canvas);
  ctl->Canvas = nullptr;

  // Also without a window: a control that never got one still owns its lists
  // and the bitmaps they hold.
  while (ctl->OwnedImageLists) Dispose(ctl->OwnedImageLists);
  if (ctl->Handle) {
    if (IsWindow(ctl->Handle)) {
      HICON icon = reinterpret_cast<HICON>(SendMessageA(ctl->Handle, WM_SETICON, ICON_BIG, 0));
      // One the window never got (it was never shown) is still the control's.
      if (!icon && ctl->IconPending && ctl->Icon != kNoIcon) icon = ctl->Icon;
      if (icon) DestroyIcon(icon);
      if (!ctl->WndGone) DestroyWindow(ctl->Handle);
    }
    ctl->Handle = 0;
  }
  if (ctl->Caption) {
    free(ctl->Caption);
    ctl->Caption = nullptr;
  }
  if (Control* parent = ctl->Parent) {
    if (parent->CurrentControl == ctl) parent->CurrentControl = nullptr;
    RemoveValue(parent->Children, reinterpret_cast<intptr_t>(ctl));
  }
  if (ctl->BrushHandle) {
    DeleteObject(ctl->BrushHandle);
    ctl->BrushHandle = 0;
  }
  DisposeIfAny(ctl->Handlers);
  ctl->Handlers = nullptr;
  DisposeIfAny(ctl->Children);
  ctl->Children = nullptr;
  BaseDestroyObject(ctl);
}
