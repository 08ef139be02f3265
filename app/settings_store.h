#pragma once

#include "support/strings.h"

struct AppSettings {
  bool normal;   // the verb that opens the target's folder exists
  bool explore;  // the verb that opens it in Explorer with the folder tree exists
  bool select;   // the target is selected in the opened window
};

// What WriteSettings could not do; 0 when everything was written.
enum SettingsWriteFailure : unsigned {
  kNormalVerbFailed = 1u << 0,   // the verb "Tarvo" not created, written or deleted
  kExploreVerbFailed = 1u << 1,  // the same for "Tarvo_e"
  kOptionsFailed = 1u << 2,      // the user's options not stored or not deleted
  kProgramPathUnusable = 1u << 3,  // own path cut or unknown: no verb written with it
};

// The texts of the two context-menu entries; the settings window's check boxes
// carry the same texts.
extern const char kNormalMenuText[];   // リンク先を開く
extern const char kExploreMenuText[];  // リンク先をエクスプローラで開く

AppSettings ReadSettings();
unsigned WriteSettings(const AppSettings& settings);

// Where WriteSettings learns the program's own path; tests stand in a path that
// the system could not report in full.
struct SettingsPlatform {
  ByteString (*programPath)(bool* truncated);
};
extern SettingsPlatform settingsPlatform;
