#include "toolkit/form.h"

#include <stdlib.h>

#include "toolkit/dispatch.h"
#include "toolkit/geometry.h"
#include "toolkit/loop.h"
#include "toolkit/paint.h"

Control* NewForm(Control* parent, const char* caption) {
  Control* form = NewControlOfClass(parent, "Form", 1);
  form->ClassStyle |= CS_DBLCLKS;
  AddMessageHandler(form, FormMessageHandler);
  AddMessageHandler(form, EraseBackgroundHandler);
  SetCaption(form, caption);
  form->IsForm = 1;
  return form;
}

bool FormMessageHandler(Control* form, WindowMessage* message, LRESULT*) {
  switch (message->Msg) {
    case WM_ENDSESSION: {
      if (!message->WParam) return false;
      // The session ends: no message of ours will be dispatched again.
      ReleaseRef(form);
      LoopActive = 0;
      Control* main = MainControl;
      MainControl = nullptr;
      QuitRequested = 1;
      DisposeIfAny(main);
      exit(0);
    }
    case WM_SETFOCUS: {
      bool handled = false;
      if (Control* current = form->CurrentControl) {
        CreateControlWindow(current);
        SetFocus(current->Handle);
        handled = true;
      }
      if (MainControl && MainControl != form) MainControl->CurrentControl = form;
      return handled;
    }
  }
  return false;
}
