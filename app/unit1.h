// The settings window: its record, its construction and its events. The same
// construction serves a verb run, where the window is never shown.
#pragma once
#include "toolkit/toolkit.h"

#define TARVO_APP_NAME "Tarvo"
// Name of the single-instance mutex.
const char kAppName[] = TARVO_APP_NAME;
// The application name and an ideographic space (U+3000). A second instance
// finds the first by this caption alone, so the window must carry exactly it.
const char kFormCaption[] = TARVO_APP_NAME "\x81\x40";  // Tarvo　

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
// With a shortcut path as argument 1: hides the window, opens the target and
// closes the window. Without: loads the stored options into the boxes.
void OpenLinkTarget(TForm1* form1);
// OnClick handlers; the context is the TForm1 record.
void OkClick(void* context, Control* sender);
void CancelClick(void* context, Control* sender);
