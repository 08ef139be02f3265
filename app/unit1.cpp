#include "app/unit1.h"

#include "app/link_action.h"
#include "app/settings_store.h"
#include "support/command_line.h"

namespace {

const char kFaceName[] = "MS UI Gothic";
const char kImageResource[] = "FORM1_IMAGELIST1";
const char kVersionText[] = "Ver0.40";
const char kOkText[] = "OK";
const char kCancelText[] = "\x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B";  // キャンセル
const char kSelectText[] = "\x91\x49\x91\xF0\x8F\xF3\x91\xD4\x82\xC5\x8A\x4A\x82\xAD";  // 選択状態で開く

// What OK could not do, told in a message box of the program's own: the menu
// entries are machine-wide and need administrator rights, and a user who pressed
// OK must not be left believing they were added or removed.
const char kLineBreak[] = "\r\n";
// エクスプローラのメニュー項目を変更できませんでした。
const char kEntriesNotChanged[] =
    "\x83\x47\x83\x4E\x83\x58\x83\x76\x83\x8D\x81\x5B\x83\x89\x82\xCC\x83\x81\x83\x6A\x83\x85"
    "\x81\x5B\x8D\x80\x96\xDA\x82\xF0\x95\xCF\x8D\x58\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1"
    "\x82\xC5\x82\xB5\x82\xBD\x81\x42";
const char kEntryBullet[] = "\x81\x45\x81\x75";          // ・「
const char kEntryAdded[] = "\x81\x76\x82\xCC\x92\xC7\x89\xC1";    // 」の追加
const char kEntryRemoved[] = "\x81\x76\x82\xCC\x8D\xED\x8F\x9C";  // 」の削除
// メニュー項目の追加と削除には管理者の権限が必要です。Tarvo を右クリックして
// 「管理者として実行」で起動し、もう一度 OK を押してください。
const char kNeedsAdministrator[] =
    "\x83\x81\x83\x6A\x83\x85\x81\x5B\x8D\x80\x96\xDA\x82\xCC\x92\xC7\x89\xC1\x82\xC6\x8D\xED"
    "\x8F\x9C\x82\xC9\x82\xCD\x8A\xC7\x97\x9D\x8E\xD2\x82\xCC\x8C\xA0\x8C\xC0\x82\xAA\x95\x4B"
    "\x97\x76\x82\xC5\x82\xB7\x81\x42\x54\x61\x72\x76\x6F\x20\x82\xF0\x89\x45\x83\x4E\x83\x8A"
    "\x83\x62\x83\x4E\x82\xB5\x82\xC4\x81\x75\x8A\xC7\x97\x9D\x8E\xD2\x82\xC6\x82\xB5\x82\xC4"
    "\x8E\xC0\x8D\x73\x81\x76\x82\xC5\x8B\x4E\x93\xAE\x82\xB5\x81\x41\x82\xE0\x82\xA4\x88\xEA"
    "\x93\x78\x20\x4F\x4B\x20\x82\xF0\x89\x9F\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2"
    "\x81\x42";
// Tarvo のパスが長すぎるため、メニュー項目を登録できません。Tarvo を短いパスの
// フォルダーに移してから、もう一度 OK を押してください。
const char kPathTooLong[] =
    "\x54\x61\x72\x76\x6F\x20\x82\xCC\x83\x70\x83\x58\x82\xAA\x92\xB7\x82\xB7\x82\xAC\x82\xE9"
    "\x82\xBD\x82\xDF\x81\x41\x83\x81\x83\x6A\x83\x85\x81\x5B\x8D\x80\x96\xDA\x82\xF0\x93\x6F"
    "\x98\x5E\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x81\x42\x54\x61\x72\x76\x6F\x20\x82\xF0"
    "\x92\x5A\x82\xA2\x83\x70\x83\x58\x82\xCC\x83\x74\x83\x48\x83\x8B\x83\x5F\x81\x5B\x82\xC9"
    "\x88\xDA\x82\xB5\x82\xC4\x82\xA9\x82\xE7\x81\x41\x82\xE0\x82\xA4\x88\xEA\x93\x78\x20\x4F"
    "\x4B\x20\x82\xF0\x89\x9F\x82\xB5\x82\xC4\x82\xAD\x82\xBE\x82\xB3\x82\xA2\x81\x42";
// 設定は保存しました。
const char kOptionsStored[] = "\x90\xDD\x92\xE8\x82\xCD\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD\x81\x42";
// 設定を保存できませんでした。
const char kOptionsNotStored[] =
    "\x90\xDD\x92\xE8\x82\xF0\x95\xDB\x91\xB6\x82\xC5\x82\xAB\x82\xDC\x82\xB9\x82\xF1\x82\xC5"
    "\x82\xB5\x82\xBD\x81\x42";

const COLORREF kMaskWhite = 0xFFFFFF;

void BaseOnly(ToolkitObject*) {}

void LoadChecks(TForm1* f) {
  AppSettings settings = ReadSettings();
  SetChecked(f->CheckNormal, settings.normal);
  SetChecked(f->CheckExplore, settings.explore);
  SetChecked(f->CheckSelect, settings.select);
}

// Collects zero-terminated pieces for one ByteString::Join.
struct TextPieces {
  const char* items[16];
  int count = 0;
  void Add(const char* piece) {
    if (count < 16) items[count++] = piece;
  }
};

// One line per entry that could not be changed, then why, then what happened to
// the options, which are stored on their own whatever became of the entries.
ByteString WriteFailureText(const AppSettings& settings, unsigned failures) {
  TextPieces text;
  bool needsAdministrator = false;
  if (failures & (kNormalVerbFailed | kExploreVerbFailed)) {
    text.Add(kEntriesNotChanged);
    text.Add(kLineBreak);
    const struct {
      unsigned failure;
      bool wanted;
      const char* name;
    } entries[] = {{kNormalVerbFailed, settings.normal, kNormalMenuText},
                   {kExploreVerbFailed, settings.explore, kExploreMenuText}};
    for (const auto& entry : entries) {
      if (!(failures & entry.failure)) continue;
      text.Add(kEntryBullet);
      text.Add(entry.name);
      text.Add(entry.wanted ? kEntryAdded : kEntryRemoved);
      text.Add(kLineBreak);
      // An entry that failed only for want of a usable path needs no rights.
      if (!(entry.wanted && (failures & kProgramPathUnusable))) needsAdministrator = true;
    }
    text.Add(kLineBreak);
    if (failures & kProgramPathUnusable) {
      text.Add(kPathTooLong);
      text.Add(kLineBreak);
    }
    if (needsAdministrator) {
      text.Add(kNeedsAdministrator);
      text.Add(kLineBreak);
    }
    text.Add(kLineBreak);
  }
  text.Add(failures & kOptionsFailed ? kOptionsNotStored : kOptionsStored);
  return ByteString::Join(text.items, text.count);
}

Control* NewAutoSizedCheckBox(Control* form, const char* caption, int32_t x, int32_t y) {
  return SetAutoSize(SetPosition(NewCheckBox(form, caption), x, y), true);
}

}  // namespace

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
  HBITMAP picture = LoadBitmapResource(ToolkitInstance(), kImageResource, f->Images);
  AddMasked(f->Images, picture, kMaskWhite);

  f->LabelVersion = SetAutoSize(SetPosition(NewLabel(form, kVersionText), 12, 48), true);
  // Height 0 keeps the 22 pixels a new button has.
  f->ButtonOk = SetSize(SetPosition(NewButton(form, kOkText), 13, 78), 89, 0);
  f->ButtonCancel = SetSize(SetPosition(NewButton(form, kCancelText), 117, 78), 89, 0);
  f->CheckExplore = NewAutoSizedCheckBox(form, kExploreMenuText, 58, 26);
  f->CheckNormal = NewAutoSizedCheckBox(form, kNormalMenuText, 58, 8);
  f->ImageView = SetSize(SetPosition(NewImageView(form, f->Images), 16, 13), 32, 32);
  SetEdgeStyle(f->ImageView, 0);
  f->CheckSelect = NewAutoSizedCheckBox(form, kSelectText, 58, 56);
  // A splitter refers to the child made just before it; here it is only a sunken line.
  f->Separator = SetSize(SetPosition(NewSplitter(form, 0, 0), 56, 49), 155, 2);

  f->ButtonOk->OnClick = ClickMethod{OkClick, f};
  SetDialogButton(f->ButtonOk, VK_RETURN, true);
  f->ButtonCancel->OnClick = ClickMethod{CancelClick, f};
  SetDialogButton(f->ButtonCancel, VK_ESCAPE, true);

  SetColor(f->CheckSelect, clBtnFace);
  SetResizable(form, false);
  // The frame lost its sizing border since the client size was set; without
  // this the client area would be 222 x 110.
  SetClientSize(form, 220, 108);
  CenterOnParent(form);
  OpenLinkTarget(f);
  SetIcon(form, kNoIcon);
}

void OpenLinkTarget(TForm1* f) {
  ByteString shortcut = GetCommandParam(1);
  if (shortcut.empty()) {
    LoadChecks(f);
    return;
  }
  // Hidden before the loop starts, the window is never shown at all.
  Hide(f->Form);
  LoadChecks(f);
  ByteString mode = GetCommandParam(2);
  OpenShortcutTarget(shortcut.c_str(), mode.c_str(), GetChecked(f->CheckSelect) == BST_CHECKED);
  Close(f->Form);
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
    MessageBoxA(f->Form->Handle, text.c_str(), kAppName, MB_OK | MB_ICONWARNING);
  }
  Close(f->Form);
}

void CancelClick(void* context, Control*) {
  Close(static_cast<TForm1*>(context)->Form);
}
