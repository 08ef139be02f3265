#include "app/settings_window.h"

#include "app/texts.h"
#include "support/wide_text.h"

namespace {

const char kFaceName[] = "MS UI Gothic";
// The program's icon: it holds the picture at every size the window may need.
const char kPictureResource[] = "MAINICON";
const char kLineBreak[] = "\r\n";
// The margin right of the widest child, as the button row has it.
const int32_t kRightMargin = 14;

void BaseOnly(ToolkitObject*) {}

void LoadChecks(TForm1* f) {
  AppSettings settings = ReadSettings();
  SetChecked(f->CheckNormal, settings.normal);
  SetChecked(f->CheckExplore, settings.explore);
  SetChecked(f->CheckSelect, settings.select);
}

int32_t FittedClientWidth(Control* form) {
  int32_t width = 220;
  for (int32_t i = 0; i < form->Children->Count; ++i) {
    RECT bounds = GetBoundsRect(ChildAt(form, i));
    if (bounds.right + kRightMargin > width) width = bounds.right + kRightMargin;
  }
  return width;
}

Control* NewAutoSizedCheckBox(Control* form, unsigned caption, int32_t x, int32_t y) {
  return SetAutoSize(SetPosition(NewCheckBox(form, UserText(caption).c_str()), x, y), true);
}

}  // namespace

// One line per entry that could not be changed, then why, then what happened to
// the options, which are stored on their own whatever became of the entries.
ByteString WriteFailureText(const AppSettings& settings, unsigned failures) {
  TextBuilder text;
  bool needsAdministrator = false;
  if (failures & (kNormalVerbFailed | kExploreVerbFailed)) {
    text.Add(UserText(TEXT_ENTRIES_NOT_CHANGED).c_str());
    text.Add(kLineBreak);
    const struct {
      unsigned failure;
      bool wanted;
      unsigned name;
    } entries[] = {{kNormalVerbFailed, settings.normal, TEXT_OPEN_TARGET},
                   {kExploreVerbFailed, settings.explore, TEXT_OPEN_IN_EXPLORER}};
    for (const auto& entry : entries) {
      if (!(failures & entry.failure)) continue;
      text.Add(UserText(entry.wanted ? TEXT_ADDING_BEFORE : TEXT_REMOVING_BEFORE).c_str());
      text.Add(UserText(entry.name).c_str());
      text.Add(UserText(entry.wanted ? TEXT_ADDING_AFTER : TEXT_REMOVING_AFTER).c_str());
      text.Add(kLineBreak);
      // An entry that failed only for want of a usable path needs no rights.
      if (!(entry.wanted && (failures & kProgramPathUnusable))) needsAdministrator = true;
    }
    text.Add(kLineBreak);
    if (failures & kProgramPathUnusable) {
      text.Add(UserText(TEXT_PATH_TOO_LONG).c_str());
      text.Add(kLineBreak);
    }
    if (needsAdministrator) {
      text.Add(UserText(TEXT_NEEDS_ADMINISTRATOR).c_str());
      text.Add(kLineBreak);
    }
    text.Add(kLineBreak);
  }
  unsigned options = failures & kOptionsFailed ? TEXT_OPTIONS_NOT_STORED : TEXT_OPTIONS_STORED;
  text.Add(UserText(options).c_str());
  return text.Take();
}

const ObjectKind kForm1Kind = {sizeof(TForm1), BaseOnly, BaseDestroyObject};

TForm1* Form1;

void CreateForm1(TForm1** form1, Control* parent) {
  TForm1* f = NewObjectOf<TForm1>(&kForm1Kind);
  *form1 = f;

  // SetClientSize needs the frame, so from here on the form has a window:
  // hidden, and marked to be shown when the loop starts.
  Control* form = NewForm(parent, kFormCaption);
  SetClientSize(SetPosition(form, 647, 382), 220, 108);
  f->Form = form;
  MainControl = form;
  OwnObject(form, f);

  SetExStyle(form, form->ExStyle | WS_EX_DLGMODALFRAME | WS_EX_WINDOWEDGE);
  SetStyle(form, form->Style & ~(WS_MINIMIZEBOX | WS_MAXIMIZEBOX));

  // Before any child exists: each child copies the form's font when it is made.
  GraphicTool* font = GetFontTool(form);
  SetToolField(font, ToolHeight, -12);
  SetFaceName(font, kFaceName);

  f->Images = NewImageList(form);
  SetColorDepth(f->Images, 4);  // 24 bits per pixel
  AddIconResource(f->Images, ToolkitInstance(), kPictureResource);

  f->LabelVersion = SetAutoSize(SetPosition(NewLabel(form, kVersionText), 12, 48), true);
  // Height 0 keeps the 22 pixels a new button has.
  f->ButtonOk = SetSize(SetPosition(NewButton(form, UserText(TEXT_OK).c_str()), 13, 78), 89, 0);
  f->ButtonCancel =
      SetSize(SetPosition(NewButton(form, UserText(TEXT_CANCEL).c_str()), 117, 78), 89, 0);
  f->CheckExplore = NewAutoSizedCheckBox(form, TEXT_OPEN_IN_EXPLORER, 58, 26);
  f->CheckNormal = NewAutoSizedCheckBox(form, TEXT_OPEN_TARGET, 58, 8);
  f->ImageView = SetSize(SetPosition(NewImageView(form, f->Images), 16, 13), 32, 32);
  SetEdgeStyle(f->ImageView, 0);
  f->CheckSelect = NewAutoSizedCheckBox(form, TEXT_SELECT, 58, 56);
  // A plain sunken line: as a splitter it would let a drag squeeze the box made before it.
  f->Separator = SetSize(SetPosition(NewPanel(form, 1), 56, 49), 155, 2);

  f->ButtonOk->OnClick = ClickMethod{OkClick, f};
  SetDialogButton(f->ButtonOk, VK_RETURN, true);
  f->ButtonCancel->OnClick = ClickMethod{CancelClick, f};
  SetDialogButton(f->ButtonCancel, VK_ESCAPE, true);

  SetColor(f->CheckSelect, clBtnFace);
  SetResizable(form, false);
  // The frame lost its sizing border since the client size was set; without
  // this the client area would be 222 x 110. The longest caption, measured in
  // the font it is shown in, may need more than 220 pixels: the form grows,
  // every child stays where it is.
  SetClientSize(form, FittedClientWidth(form), 108);
  CenterOnParent(form);
  OpenLinkTarget(f);
  SetIcon(form, kNoIcon);
}

void OpenLinkTarget(TForm1* f) {
  LoadChecks(f);
}

void OkClick(void* context, Control*) {
  TForm1* f = static_cast<TForm1*>(context);
  AppSettings settings;
  settings.normal = GetChecked(f->CheckNormal) == BST_CHECKED;
  settings.explore = GetChecked(f->CheckExplore) == BST_CHECKED;
  settings.select = GetChecked(f->CheckSelect) == BST_CHECKED;
  unsigned failures = WriteSettings(settings);
  if (failures) {
    ByteString text = WriteFailureText(settings, failures);
    MessageBoxW(f->Form->Handle, WideText(text.c_str()).c_str(), WideText(kAppName).c_str(),
                MB_OK | MB_ICONWARNING);
  }
  Close(f->Form);
}

void CancelClick(void* context, Control*) {
  Close(static_cast<TForm1*>(context)->Form);
}
