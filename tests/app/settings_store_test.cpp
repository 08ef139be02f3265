#include "app/settings_store.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "support/command_line.h"

namespace {

const std::string kShell = "SOFTWARE\\Classes\\lnkfile\\shell", kVerb = kShell + "\\Tarvo";
const std::string kVerbE = kShell + "\\Tarvo_e", kMaker = "SOFTWARE\\vek", kSettings = kMaker + "\\Tarvo";
const char* const kNames[] = {"normal", "explore", "select"};

std::string Dword(DWORD v) { return std::string(reinterpret_cast<const char*>(&v), 4); }
std::string Bits(const AppSettings& s) { return {char('0' + s.normal), char('0' + s.explore), char('0' + s.select)}; }
std::string Sz(const wchar_t* text) {  // code page 932 bytes with the terminator
  char bytes[64];
  return std::string(bytes, WideCharToMultiByte(932, 0, text, -1, bytes, sizeof bytes, nullptr, nullptr));
}

// Creates the key when needed; a null name only makes the key.
void Set(HKEY root, const std::string& path, const char* name = nullptr, DWORD type = 0,
         const std::string& bytes = "") {
  HKEY key;
  ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyA(root, path.c_str(), &key)) << path;
  if (name) RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(bytes.data()), bytes.size());
  RegCloseKey(key);
}

// An empty access list bars everyone (Wine enforces it, as Windows does under HKLM
// for a user without administrator rights); no list at all lets everyone in again.
void Lock(HKEY root, const std::string& path, bool lock) {
  HKEY key;
  if ((lock ? RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, WRITE_DAC, nullptr, &key, nullptr)
            : RegOpenKeyExA(root, path.c_str(), 0, WRITE_DAC, &key)) != ERROR_SUCCESS)
    return;
  SECURITY_DESCRIPTOR sd;
  ACL acl;
  InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION);
  InitializeAcl(&acl, sizeof acl, ACL_REVISION);
  SetSecurityDescriptorDacl(&sd, TRUE, lock ? &acl : nullptr, FALSE);
  RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, &sd);
  RegCloseKey(key);
}

// Every key and value below the verbs' parent and the maker key: "key|name|type|bytes".
void Dump(HKEY root, const std::string& path, std::vector<std::string>* lines) {
  HKEY key;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  lines->push_back(path);
  char name[256], data[512];
  DWORD type, nameSize = sizeof name, size = sizeof data;
  for (DWORD i = 0; !RegEnumValueA(key, i, name, &nameSize, nullptr, &type, reinterpret_cast<BYTE*>(data), &size);
       ++i, nameSize = sizeof name, size = sizeof data)
    lines->push_back(path + "|" + name + "|" + std::to_string(type) + "|" + std::string(data, size));
  for (DWORD i = 0; !RegEnumKeyA(key, i, name, sizeof name); ++i) Dump(root, path + "\\" + name, lines);
  RegCloseKey(key);
}

// What the registry holds against what a write of `options` ("101": normal, not
// explore, select) with `program` must leave, plus `more` lines; both sorted.
void ExpectLayout(const std::string& options, const std::string& program, std::vector<std::string> more = {}) {
  std::vector<std::string> got;
  more.push_back(kShell);
  Dump(HKEY_LOCAL_MACHINE, kShell, &got);
  Dump(HKEY_CURRENT_USER, kMaker, &got);
  std::string verbs[][2] = {{kVerb, Sz(L"リンク先を開く")},
                            {kVerbE, Sz(L"リンク先をエクスプローラで開く")}};
  for (int v = 0; v < 2; ++v) {
    if (options[v] == '0') continue;
    std::string command = "\"" + program + "\" \"%1\" \"" + char('0' + v) + "\"" + '\0', key = verbs[v][0];
    more.insert(more.end(), {key, key + "||1|" + verbs[v][1], key + "\\command", key + "\\command||1|" + command});
  }
  for (int i = 0; i < 3 && options.find('1') < 2; ++i) {
    if (i == 0) more.insert(more.end(), {kMaker, kSettings});
    more.push_back(kSettings + "|" + kNames[i] + "|4|" + Dword(options[i] - '0'));
  }
  std::sort(got.begin(), got.end());
  std::sort(more.begin(), more.end());
  EXPECT_EQ(more, got) << "options " << options << " program " << program;
}

std::string fakePath;
bool fakeCut;

// The prefix starts without these keys ("shell" and "vek" included); every test leaves it so.
class SettingsStore : public testing::Test {
protected:
  void SetUp() override { Scrub(); }
  void TearDown() override {
    settingsPlatform.programPath = ModuleFilePath;
    Scrub();
  }
  static void Scrub() {
    for (const std::string& path : {kShell, kVerb + "\\command"}) Lock(HKEY_LOCAL_MACHINE, path, false);
    Lock(HKEY_CURRENT_USER, kMaker, false);
    for (const std::string& path : {kVerb, kVerbE}) RegDeleteTreeA(HKEY_LOCAL_MACHINE, path.c_str());
    RegDeleteKeyA(HKEY_LOCAL_MACHINE, kShell.c_str());  // only when empty
    RegDeleteTreeA(HKEY_CURRENT_USER, kMaker.c_str());
  }
  static void UseProgramPath(const std::string& path, bool cut = false) {
    fakePath = path;
    fakeCut = cut;
    settingsPlatform.programPath = [](bool* truncated) {
      *truncated = fakeCut;
      return ByteString::FromZ(fakePath.c_str());
    };
  }
};

}  // namespace

// A missing value is off, whatever was read before it; only exactly four bytes
// holding 1 count as on, whatever the type.
TEST_F(SettingsStore, ReadsEachValueOnItsOwn) {
  EXPECT_EQ("000", Bits(ReadSettings()));
  struct Value { DWORD type; std::string bytes; };  // type 0: no such value
  struct { Value values[3]; const char* expected; } cases[] = {
      {{{REG_DWORD, Dword(1)}, {0, ""}, {REG_DWORD, Dword(1)}}, "101"},
      {{{REG_DWORD, Dword(1)}, {REG_DWORD, Dword(1)}, {0, ""}}, "110"},
      {{{0, ""}, {0, ""}, {0, ""}}, "000"},
      {{{REG_DWORD, Dword(2)}, {REG_BINARY, Dword(1)}, {REG_SZ, std::string("1\0", 2)}}, "010"},
      {{{REG_BINARY, std::string("\x01\0\0\0\0", 5)}, {REG_BINARY, std::string("\x01\0", 2)}, {REG_DWORD, Dword(0)}},
       "000"},
      {{{REG_DWORD, Dword(0x101)}, {REG_DWORD, Dword(1)}, {REG_DWORD, Dword(1)}}, "011"}};
  for (const auto& c : cases) {
    RegDeleteTreeA(HKEY_CURRENT_USER, kSettings.c_str());
    Set(HKEY_CURRENT_USER, kSettings);
    for (int i = 0; i < 3; ++i)
      if (c.values[i].type) Set(HKEY_CURRENT_USER, kSettings, kNames[i], c.values[i].type, c.values[i].bytes);
    EXPECT_EQ(c.expected, Bits(ReadSettings())) << "case " << &c - cases;
  }
}

// One write after the other, over a stale verb: verbs are written again, deleted
// child first, and the options go with the last verb.
TEST_F(SettingsStore, WritesExactlyTheLayout) {
  char module[MAX_PATH + 1];
  ASSERT_GT(GetModuleFileNameA(nullptr, module, sizeof module), 0u);
  Set(HKEY_LOCAL_MACHINE, kVerb, "", REG_SZ, std::string("old\0", 4));
  Set(HKEY_LOCAL_MACHINE, kVerb + "\\command", "", REG_SZ, std::string("\"D:\\old.exe\" \"%1\"\0", 19));
  struct { AppSettings settings; const char* program; } cases[] = {
      {{true, false, true}, nullptr},  // the program's own path
      {{true, false, false}, "C:\\Tools\\tarvo.exe"}, {{false, true, false}, "C:\\Program Files\\Tarvo 2\\tarvo.exe"},
      {{true, true, true}, "C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C.exe"},  // C:\ソフト\表.exe
      {{true, true, false}, "C:\\Tools\\tarvo.exe"}, {{false, false, true}, "C:\\Tools\\tarvo.exe"}};
  for (const auto& c : cases) {
    if (c.program) UseProgramPath(c.program);
    EXPECT_EQ(0u, WriteSettings(c.settings)) << Bits(c.settings);
    ExpectLayout(Bits(c.settings), c.program ? c.program : module);
    EXPECT_EQ(c.settings.normal || c.settings.explore ? Bits(c.settings) : "000", Bits(ReadSettings()));
    if (&c != cases + 1) continue;
    // The example of 29 bytes, and its terminator.
    std::string key = kVerb + "\\command", example("\"C:\\Tools\\tarvo.exe\" \"%1\" \"0\"", 30);
    std::vector<std::string> command;
    Dump(HKEY_LOCAL_MACHINE, key, &command);
    EXPECT_EQ((std::vector<std::string>{key, key + "||1|" + example}), command);
  }
}

TEST_F(SettingsStore, KeepsTheMakerKeyWhileItHoldsAnythingElse) {
  UseProgramPath("C:\\Tools\\tarvo.exe");
  for (bool otherKey : {false, true}) {
    EXPECT_EQ(0u, WriteSettings({true, true, true}));
    Set(HKEY_CURRENT_USER, otherKey ? kMaker + "\\Other" : kMaker, otherKey ? nullptr : "other", REG_DWORD, Dword(7));
    EXPECT_EQ(0u, WriteSettings({false, false, true}));
    ExpectLayout("000", "", {kMaker, otherKey ? kMaker + "\\Other" : kMaker + "|other|4|" + Dword(7)});
    Scrub();
  }
}

// Each part stands on its own, and nothing is created outside the layout.
TEST_F(SettingsStore, ReportsWhatItCouldNotDo) {
  const unsigned kBoth = kNormalVerbFailed | kExploreVerbFailed, kPath = kProgramPathUnusable;
  const std::string cut = "C:\\" + std::string(257, 'x'), exe = "C:\\t.exe";  // cut: 260 bytes, a full buffer
  // state: the options read back, then whether each verb's command key is there.
  struct { HKEY root; std::string lock, extra, path; bool cut; AppSettings settings; unsigned failures; const char* state; }
      cases[] = {
      {HKEY_LOCAL_MACHINE, kShell, "", exe, false, {true, true, true}, kBoth, "111 --"},
      {HKEY_LOCAL_MACHINE, kVerb + "\\command", "", exe, false, {true, true, false}, kNormalVerbFailed, "110 -c"},
      {HKEY_LOCAL_MACHINE, "", kVerb + "\\command\\x", exe, false, {false, true, false}, kNormalVerbFailed, "010 cc"},
      {HKEY_CURRENT_USER, kMaker, "", exe, false, {true, false, true}, kOptionsFailed, "000 c-"},
      {HKEY_CURRENT_USER, "", kSettings + "\\x", exe, false, {false, false, false}, kOptionsFailed, "000 --"},
      {HKEY_CURRENT_USER, "", "", cut, true, {true, true, true}, kBoth | kPath, "111 --"},
      {HKEY_CURRENT_USER, "", "", "", false, {true, true, true}, kBoth | kPath, "111 --"},
      {HKEY_CURRENT_USER, "", "", cut, true, {false, false, false}, 0, "000 --"}};  // removing needs no path
  for (const auto& c : cases) {
    Scrub();
    if (!c.lock.empty()) Lock(c.root, c.lock, true);
    if (!c.extra.empty()) Set(c.root, c.extra);
    UseProgramPath(c.path, c.cut);
    EXPECT_EQ(c.failures, WriteSettings(c.settings)) << "case " << &c - cases;
    std::string state = Bits(ReadSettings()) + " ";
    for (const std::string& verb : {kVerb, kVerbE}) {
      HKEY key;
      bool exists = !RegOpenKeyExA(HKEY_LOCAL_MACHINE, (verb + "\\command").c_str(), 0, KEY_READ, &key);
      state += exists && !RegCloseKey(key) ? "c" : "-";
    }
    EXPECT_EQ(c.state, state) << "case " << &c - cases;
  }
}
