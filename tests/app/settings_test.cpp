// Each registry refusal's flags and the whole failure text.
#include <gtest/gtest.h>

#include <string>

#include "app/settings_window.h"
#include "app/texts.h"

namespace {

#define SHELL_KEY "SOFTWARE\\Classes\\lnkfile\\shell"

bool cut;
DWORD WINAPI LongPath(wchar_t* buffer, DWORD size) {
  wmemset(buffer, L'a', size);
  buffer[size - 1] = cut ? L'a' : 0;
  return size - !cut;
}

// With the options refused (a volatile key takes no lasting key below it), or
// with a program path of 261 (cut) or 260 characters.
TEST(Settings, EachRefusalIsReportedAndTheRestIsStillWritten) {
  const struct {
    bool refuseOptions;
    AppSettings settings;
    unsigned failures;
  } cases[] = {
      {true, {false, true, true}, kOptionsFailed},
      {false, {true, false, true}, kNormalVerbFailed | kProgramPathUnusable},
      {false, {true, false, false}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failures);
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, SHELL_KEY);
    RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\vek");
    HKEY key = nullptr;
    if (c.refuseOptions) RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\vek", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
    RegCloseKey(key);
    auto saved = settingsPlatform.moduleFileName;
    cut = c.failures;
    if (!c.refuseOptions) settingsPlatform.moduleFileName = LongPath;
    EXPECT_EQ(WriteSettings(c.settings), c.failures);
    settingsPlatform.moduleFileName = saved;
    bool stored = !(c.failures & kOptionsFailed);
    EXPECT_EQ(ReadSettings().select, stored && c.settings.select);
    bool written = !RegQueryValueA(HKEY_LOCAL_MACHINE, SHELL_KEY "\\Tarvo", nullptr, nullptr);
    EXPECT_EQ(written, c.settings.normal && !(c.failures & kNormalVerbFailed));
  }
}

// An entry that failed for want of a usable path needs no rights.
TEST(Settings, TheFailureTextOfAPathTooLong) {
  auto t = [](unsigned id) { return std::string(UserText(id).c_str()); };
  std::string text = WriteFailureText(AppSettings{true, false, true}, kNormalVerbFailed | kProgramPathUnusable).c_str();
  EXPECT_EQ(text, t(TEXT_ENTRIES_NOT_CHANGED) + "\r\n" + t(TEXT_ADDING_BEFORE) + t(TEXT_OPEN_TARGET) + t(TEXT_ADDING_AFTER) + "\r\n\r\n" + t(TEXT_PATH_TOO_LONG) + "\r\n\r\n" + t(TEXT_OPTIONS_STORED));
}

}  // namespace
