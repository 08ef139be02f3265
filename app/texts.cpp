// Written in UTF-8, compiled into code page 932 bytes (-fexec-charset=CP932).
// The byte lengths guard against a compiler that would not convert.
#include "app/texts.h"

#include "tarvo_version.h"

#define DEFINE_TEXT(name, value, bytes) \
  const char name[] = value;      \
  static_assert(sizeof name == (bytes) + 1, #name " is not in code page 932")

DEFINE_TEXT(kAppName, "Tarvo", 5);
DEFINE_TEXT(kFormCaption, "Tarvo　", 7);
DEFINE_TEXT(kNormalMenuText, "リンク先を開く", 14);
DEFINE_TEXT(kExploreMenuText, "リンク先をエクスプローラで開く", 30);
DEFINE_TEXT(kSelectText, "選択状態で開く", 14);
DEFINE_TEXT(kOkText, "OK", 2);
DEFINE_TEXT(kCancelText, "キャンセル", 10);
// ASCII, the same bytes in every code page.
const char kVersionText[] = "Ver" TARVO_VERSION;

DEFINE_TEXT(kEntriesNotChanged, "エクスプローラのメニュー項目を変更できませんでした。", 52);
DEFINE_TEXT(kEntryBullet, "・「", 4);
DEFINE_TEXT(kEntryAdded, "」の追加", 8);
DEFINE_TEXT(kEntryRemoved, "」の削除", 8);
DEFINE_TEXT(kNeedsAdministrator,
     "メニュー項目の追加と削除には管理者の権限が必要です。"
     "Tarvo を右クリックして「管理者として実行」で起動し、もう一度 OK を押してください。",
     134);
DEFINE_TEXT(kPathTooLong,
     "Tarvo のパスが長すぎるため、メニュー項目を登録できません。"
     "Tarvo を短いパスのフォルダーに移してから、もう一度 OK を押してください。",
     130);
DEFINE_TEXT(kOptionsStored, "設定は保存しました。", 20);
DEFINE_TEXT(kOptionsNotStored, "設定を保存できませんでした。", 28);

DEFINE_TEXT(kRuntimeErrorText, "Runtime error 227 at ", 21);
DEFINE_TEXT(kRuntimeErrorCaption, "Error", 5);
