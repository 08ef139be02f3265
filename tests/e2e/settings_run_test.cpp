// Tarvo started without arguments: the settings window, driven by real key
// presses and mouse clicks, the registry it leaves behind, and a second start.
#include <algorithm>

#include "e2e/harness.h"

namespace {

const wchar_t kCaption[] = L"Tarvo\u3000";
const wchar_t* const kTexts[] = {L"リンク先を開く", L"リンク先をエクスプローラで開く", L"選択状態で開く", L"OK", L"キャンセル"};

// What the program stores for options o ("normal explore select"), run from exe.
Registry Stored(const string& o, const wstring& exe = TheBench().exe) {
  Registry r;
  r["shell"] = "";
  if (o[0] == '0' && o[1] == '0') return r;
  r["vek"] = "";
  r["vek\\Tarvo"] = "";
  const char* names[] = {"normal", "explore", "select"};
  for (int i = 0; i < 3; ++i) {
    r["vek\\Tarvo:" + string(names[i])] = "4:" + string(1, char(o[i] - '0')) + string(3, '\0');
  }
  const string keys[] = {"shell\\Tarvo", "shell\\Tarvo_e"};
  for (int i = 0; i < 2; ++i) {
    if (o[i] == '0') continue;
    r[keys[i]] = "";
    r[keys[i] + ":"] = "1:" + U8(kTexts[i]);
    r[keys[i] + "\\command"] = "";
    r[keys[i] + "\\command:"] = "1:" + U8(Quoted(exe) + L" \"%1\" \"" + wchar_t(L'0' + i) + L"\"");
  }
  return r;
}

// A settings run with its window in front and its controls found.
struct Settings {
  explicit Settings(const wstring& exe = TheBench().exe) : run(L"", exe) {
    form = run.WaitForWindow(nullptr, kCaption);
    for (int i = 0; i < 5; ++i) {
      controls[i] = FindWindowExW(form, nullptr, nullptr, kTexts[i]);
    }
    ready = form && BringToFront(form) && std::count(controls, controls + 5, nullptr) == 0;
  }
  string Checks() {
    string checks;
    for (int i = 0; i < 3; ++i) {
      checks += SendMessageW(controls[i], BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
    }
    return checks;
  }
  // Clicks each box that differs from want where its box is drawn, and waits until it has flipped.
  void Check(const string& want) {
    for (int i = 0; i < 3; ++i) {
      if (Checks()[i] == want[i]) continue;
      RECT r = WindowRect(controls[i]);
      ClickAt(form, POINT{r.left + 7, (r.top + r.bottom) / 2});
      EXPECT_TRUE(WaitUntil([&] { return Checks()[i] == want[i]; })) << i;
    }
  }
  void ClickOk() {
    ClickAt(form, CentreOf(controls[3]));
  }
  // Asks the window itself where its close box is; Wine draws the frame here.
  POINT CloseBox() {
    RECT r = WindowRect(form);
    for (int y = r.top + 2; y < r.top + 40; y += 2) {
      for (int x = r.right - 2; x > r.right - 60; x -= 2) {
        if (SendMessageW(form, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) return POINT{x, y};
      }
    }
    ADD_FAILURE() << "no close box";
    return POINT{};
  }
  TarvoRun run;
  HWND form = nullptr;
  HWND controls[5] = {};
  bool ready = false;
};

// Client size, offset from the centre of the screen and unwanted frame bits,
// then each control's place in the client area: where a check box starts, a
// button's whole rectangle.
std::vector<LONG> Layout(Settings& s, LONG width) {
  RECT client;
  GetClientRect(s.form, &client);
  RECT w = WindowRect(s.form);
  std::vector<LONG> layout = {client.right - width, client.bottom,
                              w.left - ((GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) >> 1),
                              w.top - ((GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) >> 1),
                              GetWindowLongW(s.form, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)};
  for (int i = 0; i < 5; ++i) {
    RECT r = WindowRect(s.controls[i]);
    MapWindowPoints(nullptr, s.form, reinterpret_cast<POINT*>(&r), 2);
    layout.push_back(r.left);
    layout.push_back(r.top);
    if (i < 3) continue;
    layout.push_back(r.right);
    layout.push_back(r.bottom);
  }
  return layout;
}

// The client width every child needs with the button row's right margin of
// 14, and whether each check box's text, measured in its own font, fits.
LONG NeededWidth(Settings& s, string* fits) {
  LONG width = 220;
  for (HWND child = GetWindow(s.form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    RECT r = WindowRect(child);
    MapWindowPoints(nullptr, s.form, reinterpret_cast<POINT*>(&r), 2);
    width = std::max(width, r.right + 14);
  }
  for (int i = 0; i < 3; ++i) {
    HDC dc = GetDC(s.controls[i]);
    SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(s.controls[i], WM_GETFONT, 0, 0)));
    SIZE text = {};
    GetTextExtentPoint32W(dc, kTexts[i], lstrlenW(kTexts[i]), &text);
    ReleaseDC(s.controls[i], dc);
    RECT r = WindowRect(s.controls[i]);
    *fits += text.cx + GetSystemMetrics(SM_CXMENUCHECK) <= r.right - r.left ? '1' : '0';
  }
  return width;
}

class SettingsRun : public testing::Test {
 protected:
  void SetUp() override { ClearTarvoRegistry(); }
  void TearDown() override { ClearTarvoRegistry(); }
};

TEST_F(SettingsRun, ShowsTheStoredOptionsWholeEnterOnOkStoresEscapeAndTheCloseBoxDoNot) {
  // How each run ends: Enter with the focus on OK, Escape, or a click on the close box (0).
  const std::pair<const char*, WORD> cases[] = {{"000", VK_ESCAPE}, {"101", 0}, {"111", VK_RETURN}};
  for (const auto& [stored, key] : cases) {
    SCOPED_TRACE(testing::Message() << stored << " key " << key);
    ClearTarvoRegistry();
    StoreOptions(stored);
    Registry before = ReadRegistry();
    Settings s;
    ASSERT_TRUE(s.ready);
    EXPECT_EQ(s.Checks(), stored);
    string fits;
    LONG width = NeededWidth(s, &fits);
    EXPECT_EQ(fits, "111");
    EXPECT_EQ(Layout(s, width), std::vector<LONG>({0, 108, 0, 0, 0, 58, 8, 58, 26, 58, 56, 13, 78, 102, 100, 117, 78, 206, 100}));
    EXPECT_EQ(s.run.WindowClasses(true).count("obj_Form"), 1u);  // the recorder does see this show
    EXPECT_TRUE(WaitUntil([&] { return ThreadInput(s.form).hwndFocus == s.controls[3]; }));
    if (key) {
      PressKey(key);
    } else {
      s.Check("010");
      ClickAt(s.form, s.CloseBox());
    }
    EXPECT_EQ(s.run.WaitExit(), std::optional<DWORD>(0));
    EXPECT_EQ(ReadRegistry(), key == VK_RETURN ? Stored(stored) : before);
  }
}

TEST_F(SettingsRun, ClickedBoxesThenOkStoreExactlyThose) {
  // Each run starts from what the one before stored; the last unchecks both
  // verbs, which removes every key the program made, "select" too.
  string before = "000";
  for (const char* want : {"101", "010", "001"}) {
    SCOPED_TRACE(want);
    Settings s;
    ASSERT_TRUE(s.ready);
    EXPECT_EQ(s.Checks(), before);
    s.Check(want);
    s.ClickOk();
    EXPECT_EQ(s.run.WaitExit(), std::optional<DWORD>(0));
    EXPECT_EQ(ReadRegistry(), Stored(want));
    before = want[0] == '0' && want[1] == '0' ? "000" : want;
  }
}

TEST_F(SettingsRun, TellsWhichMenuEntriesItCouldNotChangeAndStillStoresTheOptions) {
  // As for a user without administrator rights: a volatile "shell" key takes
  // no lasting key below it; a verb key holding someone else's key cannot be deleted.
  const struct {
    bool volatileShell;
    const char* stored;
    const char* want;
    std::vector<const wchar_t*> said;
  } cases[] = {
      {true, "000", "110", {L"・「リンク先を開く」の追加", L"・「リンク先をエクスプローラで開く」の追加", L"管理者", L"設定は保存しました"}},
      {false, "100", "000", {L"・「リンク先を開く」の削除", L"管理者", L"設定は保存しました"}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.want);
    ClearTarvoRegistry();
    HKEY key = nullptr;
    string blocker = c.volatileShell ? kVerbsKey : string(kVerbsKey) + "\\Tarvo\\keep";
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, blocker.c_str(), 0, nullptr, c.volatileShell ? REG_OPTION_VOLATILE : 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
    StoreOptions(c.stored);
    Settings s;
    ASSERT_TRUE(s.ready);
    s.Check(c.want);
    s.ClickOk();
    HWND box = s.run.WaitForWindow(L"#32770", nullptr);
    wchar_t text[1024] = {};
    GetDlgItemTextW(box, 0xFFFF, text, 1024);
    std::vector<const wchar_t*> said;
    for (const wchar_t* part : {L"・「リンク先を開く」の追加", L"・「リンク先をエクスプローラで開く」の追加", L"・「リンク先を開く」の削除", L"管理者", L"設定は保存しました"}) {
      if (wcsstr(text, part)) said.push_back(part);
    }
    EXPECT_EQ(said, c.said) << U8(text);
    // Stored before the user is told; the window waits for the box.
    EXPECT_EQ(ReadRegistry()["vek\\Tarvo:normal"], c.volatileShell ? Stored(c.want)["vek\\Tarvo:normal"] : "");
    EXPECT_TRUE(IsWindow(s.form));
    ASSERT_TRUE(BringToFront(box));
    PressKey(VK_RETURN);
    EXPECT_EQ(s.run.WaitExit(), std::optional<DWORD>(0));
  }
}

// A second start, with or without arguments, only brings the open window to the front.
TEST_F(SettingsRun, ASecondStartActivatesTheFirstAndEndsWithoutAWindow) {
  MakeShortcut(TheBench().root + L"single.lnk", TheBench().exe);
  // A window of the test's own takes the foreground before each second start.
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPED | WS_VISIBLE, 10, 10, 120, 60, nullptr, nullptr,
                               nullptr, nullptr);
  Settings first;
  ASSERT_TRUE(first.ready);
  for (const wstring& arguments : {wstring(), Quoted(TheBench().root + L"single.lnk") + L" \"1\""}) {
    SCOPED_TRACE(U8(arguments));
    ASSERT_TRUE(BringToFront(other));
    TarvoRun second(arguments);
    EXPECT_EQ(second.WaitExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.form; }));
    EXPECT_EQ(second.WindowClasses(false), std::set<string>());
    EXPECT_EQ(TakeLaunches(), std::vector<string>());
  }
  ASSERT_TRUE(BringToFront(first.form));
  PressKey(VK_ESCAPE);
  EXPECT_EQ(first.run.WaitExit(), std::optional<DWORD>(0));
  DestroyWindow(other);
}

// Tarvo kept in a folder whose name code page 932 cannot spell: OK registers
// its exact path, and the shell's verb then starts it.
TEST_F(SettingsRun, OkRegistersAProgramPathOutsideTheCodePageExactly) {
  const wstring bin = TheBench().root + L"Jürgen\\Tools\\";
  const wstring exe = InstallTarvo(bin);
  {
    Settings s(exe);
    ASSERT_TRUE(s.ready);
    s.Check("100");
    s.ClickOk();
    EXPECT_EQ(s.run.WaitExit(), std::optional<DWORD>(0));
  }
  EXPECT_EQ(ReadRegistry(), Stored("100", exe));
  const wstring target = TheBench().root + L"docs\\j.txt";
  SHCreateDirectoryExW(nullptr, (TheBench().root + L"docs").c_str(), nullptr);
  MakeFile(target);
  MakeShortcut(target + L".lnk", target);
  wstring shortcut = target + L".lnk";
  SHELLEXECUTEINFOW verb = {sizeof verb};
  verb.fMask = SEE_MASK_NOCLOSEPROCESS;
  verb.lpVerb = L"Tarvo";
  verb.lpFile = shortcut.c_str();
  verb.nShow = SW_SHOWNORMAL;
  ASSERT_TRUE(ShellExecuteExW(&verb));
  ASSERT_TRUE(verb.hProcess);
  EXPECT_EQ(WaitForSingleObject(verb.hProcess, 15000), WAIT_OBJECT_0);
  CloseHandle(verb.hProcess);
  WaitUntil([] { return GetFileAttributesW(TheBench().launchLog.c_str()) != INVALID_FILE_ATTRIBUTES; });
  EXPECT_EQ(TakeLaunches(), std::vector<string>{FolderWindow(TheBench().root + L"docs\\", bin)});
}

// The built file carries its icon, picture, version record and manifest.
TEST(BuiltProgram, CarriesItsResources) {
  HMODULE exe = LoadLibraryExW(TheBench().exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  ASSERT_TRUE(exe);
  EXPECT_TRUE(FindResourceW(exe, L"MAINICON", MAKEINTRESOURCEW(14)));
  EXPECT_TRUE(FindResourceW(exe, L"FORM1_IMAGELIST1", MAKEINTRESOURCEW(2)));
  EXPECT_TRUE(FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(16)));
  EXPECT_TRUE(FindResourceW(exe, MAKEINTRESOURCEW(1), MAKEINTRESOURCEW(24)));
  FreeLibrary(exe);
}

}  // namespace
