// The settings window, driven by real keys and clicks.
#include <shlwapi.h>

#include "e2e/harness.h"

#include <sddl.h>

namespace {

// Japanese for a Japanese display language (LANG), else English.
const wchar_t* const kJapanese[] = {L"リンク先を開く", L"リンク先をエクスプローラで開く", L"選択状態で開く", L"OK", L"キャンセル"};
const wchar_t* const kEnglish[] = {L"Open link target", L"Open link target in Explorer", L"Open with target selected", L"OK", L"Cancel"};
const wchar_t* const* const kTexts = kInJapanese ? kJapanese : kEnglish;

wstring MuiVerb(const wstring& exe, int i) {
  return L"@" + exe + L",-10" + wchar_t(L'0' + i);
}

Registry Stored(const string& o, const wstring& exe = TheBench().exe, string at = "shell") {
  Registry r = {{"shell", ""}, {at, ""}, {at.substr(0, at.find('\\')), ""}};
  for (int i = 0; i < 3 && o != "000" && o != "001"; ++i) {
    r["vek"] = r["vek\\Tarvo"] = "";
    r["vek\\Tarvo:" + string(kOptionNames[i])] = "4:" + string(1, char(o[i] - '0')) + string(3, '\0');
    string key = at + (i ? "\\Tarvo_e" : "\\Tarvo");
    if (i == 2 || o[i] == '0') continue;
    r[key] = r[key + "\\command"] = "";
    r[key + ":"] = "1:" + U8(kJapanese[i]);
    r[key + ":MUIVerb"] = "1:" + U8(MuiVerb(exe, i));
    r[key + "\\command:"] = "1:" + U8(Quoted(exe) + L" \"%1\" \"" + wchar_t(L'0' + i) + L"\"");
  }
  return r;
}

struct Settings {
  explicit Settings(const wstring& exe = TheBench().exe) : run(L"", exe) {
    form = run.WaitForWindow(L"Tarvo\u3000");
    for (int i = 0; i < 5; ++i) {
      controls[i] = FindWindowExW(form, nullptr, nullptr, kTexts[i]);
    }
    EXPECT_TRUE(BringToFront(form));
  }
  string Checks() {
    string checks;
    for (int i = 0; i < 3; ++i) {
      checks += char('0' + SendMessageW(controls[i], BM_GETCHECK, 0, 0));
    }
    return checks;
  }
  void Click(const string& want, int button) {
    for (int i = 0; i < 3; ++i) {
      RECT r = WindowRect(controls[i]);
      if (Checks()[i] != want[i]) ClickAt(form, POINT{r.left + 7, (r.top + r.bottom) / 2});
      EXPECT_TRUE(WaitUntil([&] { return Checks()[i] == want[i]; }));
    }
    ClickAt(form, CentreOf(controls[button]));
  }
  TarvoRun run;
  HWND form = nullptr;
  HWND controls[5] = {};
};

// The user's stale entries: OK replaces or removes them.
struct SettingsRun : testing::Test {
  void SetUp() override {
    ClearTarvoRegistry();
    for (string verb : {"", "_e"}) RegSetValueA(HKEY_CURRENT_USER, (LNKFILE "\\shell\\Tarvo" + verb + "\\command").c_str(), REG_SZ, "", 0);
  }
};

// Tab: OK, Cancel, the boxes down; Shift (0x10) stays held. No keys: a drag
// on the line (a splitter would hide 選択状態で開く), clicks.
TEST_F(SettingsRun, ShowsStoredOptionsWholeAndOnlyOkStores) {
  // Only a REG_DWORD of 1 is on: 2 and a REG_BINARY 1 ('b') are off.
  const struct {
    const char* stored;
    const char* shown;
    const char* keys;
    const char* stores;
  } cases[] = {{"20b", "000", "\x1b", nullptr}, {"101", "101", "", nullptr}, {"110", "110", "\t\t \r", "010"}, {"100", "100", "\x10\t\t\t\t\r", nullptr}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    StoreOptions(c.stored);
    Registry before = ReadRegistry();
    Settings s;
    EXPECT_EQ(s.Checks(), c.shown);
    EXPECT_EQ(s.run.WindowClasses().count("obj_Form"), 1u);
    EXPECT_TRUE(WaitUntil([&] { return ThreadInput(s.form).hwndFocus == s.controls[3]; }));
    EXPECT_TRUE(GetWindowLongW(s.controls[3], GWL_STYLE) & BS_DEFPUSHBUTTON);
    for (char k : string(c.keys)) {
      k == VK_SHIFT ? SendKey(k) : PressKey(k);
    }
    SendKey(VK_SHIFT, true);
    if (!*c.keys) {
      POINT line = {133, 50};
      ClientToScreen(s.form, &line);
      SendMouse(line, MOUSEEVENTF_LEFTDOWN);
      SendMouse({line.x - 140, line.y}, MOUSEEVENTF_LEFTUP);
      s.Click("010", 4);
    }
    EXPECT_EQ(s.run.WaitExit(), 0u);
    EXPECT_EQ(ReadRegistry(), c.stores ? Stored(c.stores) : before);
  }
}

TEST_F(SettingsRun, ClickedBoxesThenOkStoreExactlyThose) {
  // Both verbs off removes every key the program made, "select" too.
  string before = "000";
  for (const char* want : {"101", "011", "001"}) {
    Settings s;
    EXPECT_EQ(s.Checks(), before);
    s.Click(want, 3);
    EXPECT_EQ(s.run.WaitExit(), 0u);
    EXPECT_EQ(ReadRegistry(), Stored(want));
    before = want;
  }
}

// RegDeleteKey takes no key that has subkeys: the machine-wide entry stays.
TEST_F(SettingsRun, TheBoxNamesAnEntryThatStays) {
  HKEY stuck = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, LNKFILE "\\shell\\Tarvo_e\\command\\stuck", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &stuck, nullptr);
  RegCloseKey(stuck);
  Settings s;
  s.Click("100", 3);
  wchar_t text[512] = {};
  GetDlgItemTextW(s.run.WaitForWindow(L"Tarvo"), 0xFFFF, text, 512);
  EXPECT_TRUE(wcsstr(text, kInJapanese ? L"\r\n・「リンク先をエクスプローラで開く」の削除\r\n"
                                        : L"The entries in Explorer's menu could not be changed:\r\n- removing \"Open link target in Explorer\"\r\n\r\nAdding")) << U8(text);
  PressKey(VK_RETURN);
  EXPECT_EQ(s.run.WaitExit(), 0u);
}

// The first's mutex as an elevated start may make it: others get only
// SYNCHRONIZE, and Wine refuses them full access. Then an event holds the name.
TEST_F(SettingsRun, ASecondStartOnlyActivatesTheFirst) {
  MakeShortcut(TheBench().root + L"single.lnk", TheBench().exe);
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPED | WS_VISIBLE, 10, 10, 120, 60, nullptr, nullptr, nullptr, nullptr);
  Settings first;
  HANDLE mutex = OpenMutexW(WRITE_DAC, FALSE, L"Tarvo");
  PSECURITY_DESCRIPTOR sd = nullptr;
  ConvertStringSecurityDescriptorToSecurityDescriptorW(L"D:(A;;0x100000;;;WD)", SDDL_REVISION_1, &sd, nullptr);
  EXPECT_TRUE(SetKernelObjectSecurity(mutex, DACL_SECURITY_INFORMATION, sd));
  LocalFree(sd);
  CloseHandle(mutex);
  for (const wstring& arguments : {wstring(), Quoted(TheBench().root + L"single.lnk") + L" \"1\""}) {
    EXPECT_TRUE(BringToFront(other));
    TarvoRun second(arguments);
    EXPECT_EQ(second.WaitExit(), 0u);
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.form; }));
    EXPECT_EQ(second.WindowClasses(), std::set<string>());
    EXPECT_EQ(TakeLaunches(), Launches());
  }
  EXPECT_TRUE(BringToFront(first.form));
  PressKey(VK_ESCAPE);
  EXPECT_EQ(first.run.WaitExit(), 0u);
  HANDLE event = CreateEventW(nullptr, FALSE, FALSE, L"Tarvo");
  EXPECT_EQ(TarvoRun(L"").WaitExit(), 0u);
  CloseHandle(event);
  DestroyWindow(other);
}

// Refused machine-wide: any program path, exactly, for the user, and no box.
TEST_F(SettingsRun, OkRegistersAnyProgramPathExactly) {
  const wstring bin = TheBench().root + L"Jürgen\\Tools\\";
  const wstring exe = InstallTarvo(bin);
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_LOCAL_MACHINE, LNKFILE "\\shell", 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  RegCloseKey(key);
  Settings s(exe);
  s.Click("110", 3);
  EXPECT_EQ(s.run.WaitExit(), 0u);
  EXPECT_EQ(ReadRegistry(), Stored("110", exe, "user\\shell"));
  // What Explorer shows in this display language.
  for (int i = 0; i < 2; ++i) {
    wchar_t text[100] = {};
    SHLoadIndirectString(MuiVerb(exe, i).c_str(), text, 100, nullptr);
    EXPECT_STREQ(text, kTexts[i]);
  }
}

}  // namespace
