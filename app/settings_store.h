#pragma once

#include <windows.h>

struct AppSettings {
  bool normal;   // the verb that opens the target's folder exists
  bool explore;  // the verb that opens it in Explorer with the folder tree exists
  bool select;   // the target is selected in the opened window
};

// What did not take effect for this user; 0 when everything did. A verb written
// into the user's own classes because machine-wide was refused took effect.
enum SettingsWriteFailure : unsigned {
  kNormalVerbFailed = 1u << 0,   // the verb "Tarvo" written nowhere, or not deleted everywhere
  kExploreVerbFailed = 1u << 1,  // the same for "Tarvo_e"
  kOptionsFailed = 1u << 2,      // the user's options not stored or not deleted
  kProgramPathUnusable = 1u << 3,  // own path cut or unknown: no verb written with it
};

AppSettings ReadSettings();
unsigned WriteSettings(const AppSettings& settings);

// Where WriteSettings learns the program's own path (GetModuleFileNameW without
// the module); tests stand in a path that the system could not report in full.
struct SettingsPlatform {
  DWORD(WINAPI* moduleFileName)(wchar_t* buffer, DWORD size);
};
extern SettingsPlatform settingsPlatform;
