#include "app/settings_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/command_line.h"

namespace {

const char kLnkFile[] = "SOFTWARE\\Classes\\lnkfile";
const char kShell[] = "SOFTWARE\\Classes\\lnkfile\\shell";
const char kVerb[] = "SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo";
const char kVerbCommand[] = "SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo\\command";
const char kVerbE[] = "SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo_e";
const char kVerbECommand[] = "SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo_e\\command";
const char kMaker[] = "SOFTWARE\\vek";
const char kSettings[] = "SOFTWARE\\vek\\Tarvo";
// リンク先を開く and リンク先をエクスプローラで開く
const char kMenuText[] = "\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x8A\x4A\x82\xAD";
const char kMenuTextE[] =
    "\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x83\x47\x83\x4E\x83\x58\x83\x76\x83\x8D\x81\x5B"
    "\x83\x89\x82\xC5\x8A\x4A\x82\xAD";

struct Value {
  bool exists = false;
  DWORD type = 0;
  std::string bytes;
};

Value Query(HKEY root, const char* path, const char* name) {
  Value v;
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return v;
  char data[1024];
  DWORD size = sizeof data;
  if (RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(data), &size) ==
      ERROR_SUCCESS) {
    v.exists = true;
    v.bytes.assign(data, size);
  }
  RegCloseKey(key);
  return v;
}

std::wstring QueryWideDefault(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return L"<none>";
  wchar_t data[256] = L"";
  DWORD size = sizeof data;
  RegQueryValueExW(key, L"", nullptr, nullptr, reinterpret_cast<BYTE*>(data), &size);
  RegCloseKey(key);
  return data;
}

bool KeyExists(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return false;
  RegCloseKey(key);
  return true;
}

void Count(HKEY root, const char* path, DWORD* subKeys, DWORD* values) {
  *subKeys = *values = 99;
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, path, 0, KEY_READ, &key)) << path;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, subKeys, nullptr, nullptr, values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
}

void SetRaw(HKEY root, const char* path, const char* name, DWORD type, const std::string& bytes) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &key, nullptr));
  ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key, name, 0, type,
                                          reinterpret_cast<const BYTE*>(bytes.data()),
                                          static_cast<DWORD>(bytes.size())));
  RegCloseKey(key);
}

void MakeKey(HKEY root, const char* path) {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                           &key, nullptr));
  RegCloseKey(key);
}

std::string Dword(DWORD v) { return std::string(reinterpret_cast<const char*>(&v), 4); }

// An empty access list: Wine enforces it, so nobody may open the key any more,
// which is what a user without administrator rights meets under HKLM.
void LockKey(HKEY root, const char* path) {
  MakeKey(root, path);
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(root, path, 0, WRITE_DAC, &key));
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  ACL acl;
  InitializeAcl(&acl, sizeof acl, ACL_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE);
  ASSERT_EQ(ERROR_SUCCESS, RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd));
  RegCloseKey(key);
  HKEY probe;
  ASSERT_EQ(ERROR_ACCESS_DENIED, RegOpenKeyExA(root, path, 0, KEY_ALL_ACCESS, &probe));
}

void UnlockKey(HKEY root, const char* path) {
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, WRITE_DAC, &key) != ERROR_SUCCESS) return;
  SECURITY_DESCRIPTOR sd;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE);  // a null list lets everyone in
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
  RegCloseKey(key);
}

void DeleteTree(HKEY root, const char* path) {
  UnlockKey(root, path);
  RegDeleteTreeA(root, path);
  RegDeleteKeyA(root, path);
}

void DeleteIfEmpty(HKEY root, const char* path) {
  UnlockKey(root, path);
  HKEY key;
  if (RegOpenKeyExA(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  DWORD subKeys = 1, values = 1;
  RegQueryInfoKeyA(key, nullptr, nullptr, nullptr, &subKeys, nullptr, nullptr, &values, nullptr,
                   nullptr, nullptr, nullptr);
  RegCloseKey(key);
  if (subKeys == 0 && values == 0) RegDeleteKeyA(root, path);
}

const char* fakePath = "";
bool fakeTruncated = false;
ByteString FakeProgramPath(bool* truncated) {
  *truncated = fakeTruncated;
  return ByteString::FromZ(fakePath);
}

std::string ExpectedCommand(const std::string& program, char mode) {
  return "\"" + program + "\" \"%1\" \"" + mode + "\"" + std::string(1, '\0');
}

// The prefix starts without any of these keys ("shell" and "vek" included), and
// every test leaves it so, whatever it did and in whatever order it ran.
class SettingsStore : public testing::Test {
protected:
  void SetUp() override { Scrub(); saved_ = settingsPlatform; }
  void TearDown() override {
    settingsPlatform = saved_;
    Scrub();
  }
  static void Scrub() {
    UnlockKey(HKEY_LOCAL_MACHINE, kVerbCommand);
    UnlockKey(HKEY_LOCAL_MACHINE, kVerbECommand);
    DeleteTree(HKEY_LOCAL_MACHINE, kVerb);
    DeleteTree(HKEY_LOCAL_MACHINE, kVerbE);
    DeleteIfEmpty(HKEY_LOCAL_MACHINE, kShell);
    DeleteTree(HKEY_CURRENT_USER, kSettings);
    DeleteTree(HKEY_CURRENT_USER, "SOFTWARE\\vek\\Other");
    UnlockKey(HKEY_CURRENT_USER, kMaker);
    RegDeleteValueA(HKEY_CURRENT_USER, "SOFTWARE\\vek");
    HKEY maker;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kMaker, 0, KEY_ALL_ACCESS, &maker) == ERROR_SUCCESS) {
      RegDeleteValueA(maker, "other");
      RegCloseKey(maker);
    }
    DeleteIfEmpty(HKEY_CURRENT_USER, kMaker);
  }
  void UseProgramPath(const char* path, bool truncated) {
    fakePath = path;
    fakeTruncated = truncated;
    settingsPlatform.programPath = FakeProgramPath;
  }
  SettingsPlatform saved_;
};

void ExpectSettings(bool normal, bool explore, bool select, const AppSettings& s,
                    const std::string& where) {
  EXPECT_EQ(normal, s.normal) << where;
  EXPECT_EQ(explore, s.explore) << where;
  EXPECT_EQ(select, s.select) << where;
}

}  // namespace

TEST_F(SettingsStore, ReadsEachValueOnItsOwn) {
  const std::string none = "<missing>";
  struct Case {
    DWORD type[3];
    std::string data[3];  // normal, explore, select; "<missing>": no value
    bool expected[3];
  } cases[] = {
      // A missing value is off, whatever was read before it.
      {{REG_DWORD, 0, REG_DWORD}, {Dword(1), none, Dword(1)}, {true, false, true}},
      {{REG_DWORD, REG_DWORD, 0}, {Dword(1), Dword(1), none}, {true, true, false}},
      {{0, 0, 0}, {none, none, none}, {false, false, false}},
      // Only exactly four bytes holding 1 count as on; the type is not looked at.
      {{REG_DWORD, REG_BINARY, REG_SZ}, {Dword(2), Dword(1), std::string("1\0", 2)},
       {false, true, false}},
      {{REG_BINARY, REG_BINARY, REG_DWORD},
       {std::string("\x01\0\0\0\0", 5), std::string("\x01\0", 2), Dword(0)},
       {false, false, false}},
      {{REG_DWORD, REG_DWORD, REG_DWORD}, {Dword(0x101), Dword(1), Dword(1)}, {false, true, true}},
  };
  const char* names[] = {"normal", "explore", "select"};
  for (const Case& c : cases) {
    DeleteTree(HKEY_CURRENT_USER, kSettings);
    MakeKey(HKEY_CURRENT_USER, kSettings);
    for (int i = 0; i < 3; ++i) {
      if (c.data[i] != none) SetRaw(HKEY_CURRENT_USER, kSettings, names[i], c.type[i], c.data[i]);
    }
    AppSettings s = ReadSettings();
    ExpectSettings(c.expected[0], c.expected[1], c.expected[2], s,
                   "case " + std::to_string(&c - cases));
  }
  DeleteTree(HKEY_CURRENT_USER, kSettings);
  ExpectSettings(false, false, false, ReadSettings(), "no key");
}

TEST_F(SettingsStore, WritesVerbsAndOptionsInTheLayout) {
  char module[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, module, sizeof module);
  ASSERT_TRUE(n > 0 && n < sizeof module);
  const std::string program(module, n);

  struct Case {
    AppSettings settings;
    DWORD normal, explore, select;
  } cases[] = {
      {{true, false, true}, 1, 0, 1},
      {{false, true, false}, 0, 1, 0},
      {{true, true, true}, 1, 1, 1},
      {{true, true, false}, 1, 1, 0},  // an existing verb is written again
  };
  for (const Case& c : cases) {
    std::string where = "case " + std::to_string(&c - cases);
    EXPECT_EQ(0u, WriteSettings(c.settings)) << where;
    struct VerbCheck {
      bool on;
      const char* key;
      const char* command;
      const char* text;
      const wchar_t* wide;
      char mode;
    } verbs[] = {
        {c.settings.normal, kVerb, kVerbCommand, kMenuText, L"リンク先を開く", '0'},
        {c.settings.explore, kVerbE, kVerbECommand, kMenuTextE, L"リンク先をエクスプローラで開く",
         '1'},
    };
    for (const VerbCheck& v : verbs) {
      ASSERT_EQ(v.on, KeyExists(HKEY_LOCAL_MACHINE, v.key)) << where << " " << v.key;
      if (!v.on) continue;
      Value text = Query(HKEY_LOCAL_MACHINE, v.key, "");
      EXPECT_EQ(DWORD(REG_SZ), text.type) << where;
      EXPECT_EQ(std::string(v.text) + '\0', text.bytes) << where;
      // Code page 1252 would round-trip the bytes as well; the wide side tells.
      EXPECT_EQ(std::wstring(v.wide), QueryWideDefault(HKEY_LOCAL_MACHINE, v.key)) << where;
      Value command = Query(HKEY_LOCAL_MACHINE, v.command, "");
      EXPECT_EQ(DWORD(REG_SZ), command.type) << where;
      EXPECT_EQ(ExpectedCommand(program, v.mode), command.bytes) << where;
      DWORD subKeys, values;
      Count(HKEY_LOCAL_MACHINE, v.key, &subKeys, &values);
      EXPECT_EQ(1u, subKeys) << where;
      EXPECT_EQ(1u, values) << where;
    }
    const char* names[] = {"normal", "explore", "select"};
    DWORD expected[] = {c.normal, c.explore, c.select};
    for (int i = 0; i < 3; ++i) {
      Value v = Query(HKEY_CURRENT_USER, kSettings, names[i]);
      EXPECT_EQ(DWORD(REG_DWORD), v.type) << where << " " << names[i];
      EXPECT_EQ(Dword(expected[i]), v.bytes) << where << " " << names[i];
    }
    AppSettings back = ReadSettings();
    ExpectSettings(c.settings.normal, c.settings.explore, c.settings.select, back, where);
  }
}

TEST_F(SettingsStore, CommandLineIsExactAndReadsBackAsArguments) {
  struct Case {
    const char* program;
    size_t commandLength;  // without the terminator
  } cases[] = {
      {"C:\\Tools\\tarvo.exe", 29},
      {"C:\\Program Files\\Tarvo 2\\tarvo.exe", 45},
      {"C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C.exe", 27},  // C:\ソフト\表.exe
  };
  for (const Case& c : cases) {
    UseProgramPath(c.program, false);
    EXPECT_EQ(0u, WriteSettings({true, true, false})) << c.program;
    for (char mode : {'0', '1'}) {
      Value command = Query(HKEY_LOCAL_MACHINE, mode == '0' ? kVerbCommand : kVerbECommand, "");
      EXPECT_EQ(ExpectedCommand(c.program, mode), command.bytes) << c.program;
      EXPECT_EQ(c.commandLength + 1, command.bytes.size()) << c.program;
      // What Explorer starts must give the shortcut and the mode back as arguments.
      std::string line = command.bytes.c_str();
      EXPECT_STREQ(c.program, CommandParamOf(line.c_str(), -1).c_str());
      EXPECT_STREQ("%1", CommandParamOf(line.c_str(), 1).c_str());
      EXPECT_EQ(std::string(1, mode), CommandParamOf(line.c_str(), 2).c_str());
    }
  }
  const char kExample[] = "\"C:\\Tools\\tarvo.exe\" \"%1\" \"0\"";
  UseProgramPath("C:\\Tools\\tarvo.exe", false);
  WriteSettings({true, false, false});
  EXPECT_EQ(std::string(kExample, sizeof kExample), Query(HKEY_LOCAL_MACHINE, kVerbCommand, "").bytes);
}

TEST_F(SettingsStore, RewritesAStaleVerb) {
  SetRaw(HKEY_LOCAL_MACHINE, kVerb, "", REG_SZ, std::string("old\0", 4));
  SetRaw(HKEY_LOCAL_MACHINE, kVerbCommand, "", REG_SZ, std::string("\"D:\\old.exe\" \"%1\"\0", 19));
  UseProgramPath("C:\\Tools\\tarvo.exe", false);
  EXPECT_EQ(0u, WriteSettings({true, false, false}));
  EXPECT_EQ(std::string(kMenuText) + '\0', Query(HKEY_LOCAL_MACHINE, kVerb, "").bytes);
  EXPECT_EQ(ExpectedCommand("C:\\Tools\\tarvo.exe", '0'),
            Query(HKEY_LOCAL_MACHINE, kVerbCommand, "").bytes);
}

TEST_F(SettingsStore, NoVerbsDeletesTheOptionsAndAnEmptyMakerKey) {
  struct Case {
    const char* what;
    bool otherKey, otherValue;
    bool makerKept;
  } cases[] = {
      {"maker holds nothing else", false, false, false},
      {"maker holds another key", true, false, true},
      {"maker holds a value", false, true, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(0u, WriteSettings({true, true, true})) << c.what;
    if (c.otherKey) MakeKey(HKEY_CURRENT_USER, "SOFTWARE\\vek\\Other");
    if (c.otherValue) SetRaw(HKEY_CURRENT_USER, kMaker, "other", REG_DWORD, Dword(7));

    EXPECT_EQ(0u, WriteSettings({false, false, true})) << c.what;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kVerb)) << c.what;
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kVerbE)) << c.what;
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kSettings)) << c.what;
    EXPECT_EQ(c.makerKept, KeyExists(HKEY_CURRENT_USER, kMaker)) << c.what;
    if (c.otherValue) {
      EXPECT_EQ(Dword(7), Query(HKEY_CURRENT_USER, kMaker, "other").bytes);
    }
    ExpectSettings(false, false, false, ReadSettings(), c.what);
    Scrub();
  }
  // Nothing there to delete is no failure either.
  EXPECT_EQ(0u, WriteSettings({false, false, false}));
}

TEST_F(SettingsStore, ReportsWhatItCouldNotDo) {
  UseProgramPath("C:\\Tools\\tarvo.exe", false);

  // No rights under the verbs' parent: neither verb, but the options all the same.
  LockKey(HKEY_LOCAL_MACHINE, kShell);
  EXPECT_EQ(kNormalVerbFailed | kExploreVerbFailed, WriteSettings({true, true, true}));
  ExpectSettings(true, true, true, ReadSettings(), "locked shell");
  Scrub();

  // The command key cannot be written: that verb fails, the other is written.
  LockKey(HKEY_LOCAL_MACHINE, kVerbCommand);
  EXPECT_EQ(unsigned(kNormalVerbFailed), WriteSettings({true, true, false}));
  EXPECT_EQ(ExpectedCommand("C:\\Tools\\tarvo.exe", '1'),
            Query(HKEY_LOCAL_MACHINE, kVerbECommand, "").bytes);
  Scrub();

  // A verb that cannot be deleted (its command key has a key of its own).
  MakeKey(HKEY_LOCAL_MACHINE, "SOFTWARE\\Classes\\lnkfile\\shell\\Tarvo\\command\\extra");
  EXPECT_EQ(unsigned(kNormalVerbFailed), WriteSettings({false, true, false}));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kVerbCommand));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kVerbECommand));
  Scrub();

  // The user's options cannot be stored; the verbs are written all the same.
  LockKey(HKEY_CURRENT_USER, kMaker);
  EXPECT_EQ(unsigned(kOptionsFailed), WriteSettings({true, false, true}));
  EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, kVerbCommand));
  Scrub();

  // Deleting options that cannot be reached fails as well.
  MakeKey(HKEY_CURRENT_USER, kSettings);
  MakeKey(HKEY_CURRENT_USER, "SOFTWARE\\vek\\Tarvo\\inner");
  EXPECT_EQ(unsigned(kOptionsFailed), WriteSettings({false, false, false}));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, kSettings));
}

TEST_F(SettingsStore, AProgramPathCutByTheBufferWritesNoVerb) {
  std::string longPath = "C:\\" + std::string(257, 'x');  // 260 bytes, as a full buffer gives
  struct Case {
    const char* path;
    bool truncated;
  } cases[] = {{longPath.c_str(), true}, {"", false}};
  for (const Case& c : cases) {
    UseProgramPath(c.path, c.truncated);
    EXPECT_EQ(kNormalVerbFailed | kExploreVerbFailed | kProgramPathUnusable,
              WriteSettings({true, true, true}));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kVerb));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kVerbE));
    ExpectSettings(true, true, true, ReadSettings(), "options are still stored");
    // Removing the verbs needs no path.
    EXPECT_EQ(0u, WriteSettings({false, false, false}));
    Scrub();
  }
}
