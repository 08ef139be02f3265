// What the real program's runs cannot show: option values of other types, the
// failure flags of each way the registry can refuse, and the whole failure text.
#include <gtest/gtest.h>

#include <string>

#include "app/settings_window.h"
#include "app/texts.h"

namespace {

const char kOptionsKey[] = "SOFTWARE\\vek\\Tarvo";
const char kVerbsKey[] = "SOFTWARE\\Classes\\lnkfile\\shell";

void Clear() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kVerbsKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\vek");
}

HKEY Create(HKEY root, const std::string& path, DWORD options = 0) {
  HKEY key = nullptr;
  EXPECT_EQ(RegCreateKeyExA(root, path.c_str(), 0, nullptr, options, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  return key;
}

// Only a REG_DWORD of 1 is on; each value is read on its own.
TEST(Settings, OnlyADwordOfOneIsOn) {
  const struct {
    DWORD type;
    DWORD data;
    bool on;
  } cases[] = {{REG_DWORD, 1, true}, {REG_DWORD, 2, false}, {REG_BINARY, 1, false}, {REG_SZ, 1, false},
               {REG_NONE, 1, false}, {REG_DWORD_BIG_ENDIAN, 1, false}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.type);
    Clear();
    HKEY key = Create(HKEY_CURRENT_USER, kOptionsKey);
    RegSetValueExA(key, "explore", 0, c.type, reinterpret_cast<const BYTE*>(&c.data), 4);
    RegCloseKey(key);
    AppSettings read = ReadSettings();
    EXPECT_EQ(read.normal || read.select, false);
    EXPECT_EQ(read.explore, c.on);
  }
}

DWORD WINAPI CutPath(wchar_t* buffer, DWORD size) {
  for (DWORD i = 0; i + 1 < size; ++i) {
    buffer[i] = L'a';
  }
  buffer[size - 1] = 0;
  return size;
}

// As for a user without administrator rights, or with a program path too long:
// what could not be done is reported, and nothing is written elsewhere.
TEST(Settings, EachRefusalIsReportedAndTheRestIsStillWritten) {
  const struct {
    const char* blocker;  // a key made first, volatile unless it is a verb's child
    bool cutPath;
    AppSettings settings;
    unsigned failures;
  } cases[] = {
      {nullptr, false, {true, true, true}, 0},
      {kVerbsKey, false, {true, true, false}, kNormalVerbFailed | kExploreVerbFailed},
      {"SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo_e\\keep", false, {true, false, false}, kExploreVerbFailed},
      {"SOFTWARE\\vek", false, {false, true, true}, kOptionsFailed},
      {nullptr, true, {true, false, true}, kNormalVerbFailed | kProgramPathUnusable},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.failures);
    Clear();
    bool user = c.blocker && std::string(c.blocker).find("vek") != std::string::npos;
    bool verbChild = c.blocker && std::string(c.blocker).find("keep") != std::string::npos;
    if (c.blocker) RegCloseKey(Create(user ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE, c.blocker, verbChild ? 0 : REG_OPTION_VOLATILE));
    auto saved = settingsPlatform.moduleFileName;
    if (c.cutPath) settingsPlatform.moduleFileName = CutPath;
    EXPECT_EQ(WriteSettings(c.settings), c.failures);
    settingsPlatform.moduleFileName = saved;
    AppSettings read = ReadSettings();
    bool stored = !(c.failures & kOptionsFailed);
    EXPECT_EQ(read.normal, stored && c.settings.normal);
    EXPECT_EQ(read.select, stored && c.settings.select);
    HKEY verb = nullptr;
    bool written = RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo", 0, KEY_READ, &verb) == ERROR_SUCCESS;
    RegCloseKey(verb);
    EXPECT_EQ(written, c.settings.normal && !(c.failures & kNormalVerbFailed));
  }
  Clear();
}

// Both entries failed, one for want of a usable path: every line is said, the last included.
TEST(Settings, TheFailureTextKeepsEveryLine) {
  unsigned failures = kNormalVerbFailed | kExploreVerbFailed | kProgramPathUnusable;
  std::string text = WriteFailureText(AppSettings{true, false, true}, failures).c_str();
  std::string entry = std::string(kEntryBullet) + kNormalMenuText + kEntryAdded;
  std::string removed = std::string(kEntryBullet) + kExploreMenuText + kEntryRemoved;
  EXPECT_EQ(text.find(kEntriesNotChanged), 0u);
  EXPECT_NE(text.find(entry), std::string::npos);
  EXPECT_NE(text.find(removed), std::string::npos);
  EXPECT_NE(text.find(kPathTooLong), std::string::npos);
  EXPECT_NE(text.find(kNeedsAdministrator), std::string::npos);
  EXPECT_EQ(text.substr(text.size() - strlen(kOptionsStored)), kOptionsStored);
}

}  // namespace
