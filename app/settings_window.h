// The settings window: its record, its construction and its events. Only a
// start without arguments builds it; a verb run makes no window at all.
#pragma once
#include "app/settings_store.h"
#include "support/strings.h"
#include "toolkit/toolkit.h"

struct TForm1 : ToolkitObject {
  Control* Form;
  Control* ButtonOk;
  Control* ButtonCancel;
  Control* CheckNormal;
  Control* ImageView;
  ImageList* Images;
  Control* CheckExplore;
  Control* CheckSelect;
  Control* Separator;
  Control* LabelVersion;
};

extern const ObjectKind kForm1Kind;
extern TForm1* Form1;

// Builds the window into *form1 and runs OpenLinkTarget; the form owns the record.
void CreateForm1(TForm1** form1, Control* parent);
// The window's creation event: loads the stored options into the boxes. (A
// verb run opens its shortcut before any window is built; see the entry.)
void OpenLinkTarget(TForm1* form1);
// What OK tells the user when WriteSettings reports failures.
ByteString WriteFailureText(const AppSettings& settings, unsigned failures);
// OnClick handlers; the context is the TForm1 record.
void OkClick(void* context, Control* sender);
void CancelClick(void* context, Control* sender);
