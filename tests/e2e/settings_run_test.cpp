// The settings window, driven by real keys and clicks.
#include "e2e/harness.h"

namespace {

const wchar_t* const kTexts[] = {L"リンク先を開く", L"リンク先をエクスプローラで開く", L"選択状態で開く", L"OK", L"キャンセル"};

Registry Stored(const string& o, const wstring& exe = TheBench().exe) {
  Registry r = {{"shell", ""}};
  for (int i = 0; i < 3 && o != "000" && o != "001"; ++i) {
    r["vek"] = r["vek\\Tarvo"] = "";
    r["vek\\Tarvo:" + string(kOptionNames[i])] = "4:" + string(1, char(o[i] - '0')) + string(3, '\0');
    string key = i ? "shell\\Tarvo_e" : "shell\\Tarvo";
    if (i == 2 || o[i] == '0') continue;
    r[key] = r[key + "\\command"] = "";
    r[key + ":"] = "1:" + U8(kTexts[i]);
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

// Spare width (14-pixel margin), height, offsets from the centre, frame bits,
// picture, places; whether texts fit.
std::vector<LONG> Layout(Settings& s, string* fits) {
  RECT client;
  GetClientRect(s.form, &client);
  RECT w = WindowRect(s.form);
  std::vector<LONG> layout = {client.right, client.bottom, w.left - ((GetSystemMetrics(SM_CXSCREEN) - w.right + w.left) >> 1),
                              w.top - ((GetSystemMetrics(SM_CYSCREEN) - w.bottom + w.top) >> 1),
                              GetWindowLongW(s.form, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)};
  POINT origin = {};
  ClientToScreen(s.form, &origin);
  for (HWND child = GetWindow(s.form, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
    layout[0] = std::min(layout[0], client.right - 14 - (WindowRect(child).right - origin.x));
  }
  // The picture: a gradient, not the bare face colour.
  std::set<COLORREF> colours;
  HDC screen = GetDC(nullptr);
  for (int x = 16; x < 48; ++x) {
    colours.insert(GetPixel(screen, origin.x + x, origin.y + 29));
  }
  layout.push_back(colours.size() > 2);
  // The font made here: the program's handle means nothing in this process.
  HGDIOBJ font = SelectObject(screen, CreateFontW(-12, 0, 0, 0, 0, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, L"MS UI Gothic"));
  for (int i = 0; i < 5; ++i) {
    RECT r = WindowRect(s.controls[i]);
    SIZE text = {};
    GetTextExtentPoint32W(screen, kTexts[i], lstrlenW(kTexts[i]), &text);
    *fits += text.cx + GetSystemMetrics(SM_CXMENUCHECK) <= r.right - r.left ? '1' : '0';
    MapWindowPoints(nullptr, s.form, reinterpret_cast<POINT*>(&r), 2);
    layout.insert(layout.end(), {r.left, r.top});
    if (i > 2) layout.insert(layout.end(), {r.right, r.bottom});
  }
  DeleteObject(SelectObject(screen, font));
  ReleaseDC(nullptr, screen);
  return layout;
}

struct SettingsRun : testing::Test {
  void SetUp() override { ClearTarvoRegistry(); }
};

TEST_F(SettingsRun, ShowsStoredOptionsWholeAndOnlyEnterStores) {
  // Only a REG_DWORD of 1 is on: 2 and a REG_BINARY 1 ('b') are off.
  const struct {
    const char* stored;
    const char* shown;
    WORD key;
  } cases[] = {{"20b", "000", VK_ESCAPE}, {"101", "101", 0}, {"110", "110", VK_RETURN}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stored);
    StoreOptions(c.stored);
    Registry before = ReadRegistry();
    Settings s;
    EXPECT_EQ(s.Checks(), c.shown);
    string fits;
    EXPECT_EQ(Layout(s, &fits), std::vector<LONG>({0, 108, 0, 0, 0, 1, 58, 8, 58, 26, 58, 56, 13, 78, 102, 100, 117, 78, 206, 100}));
    EXPECT_EQ(fits, "11111");
    EXPECT_EQ(s.run.WindowClasses().count("obj_Form"), 1u);
    EXPECT_TRUE(WaitUntil([&] { return ThreadInput(s.form).hwndFocus == s.controls[3]; }));
    if (c.key) {
      PressKey(c.key);
    } else {
      s.Click("010", 4);
    }
    EXPECT_EQ(s.run.WaitExit(), 0u);
    EXPECT_EQ(ReadRegistry(), c.key == VK_RETURN ? Stored(c.stored) : before);
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

TEST_F(SettingsRun, ASecondStartOnlyActivatesTheFirst) {
  MakeShortcut(TheBench().root + L"single.lnk", TheBench().exe);
  HWND other = CreateWindowExW(0, L"STATIC", L"other", WS_OVERLAPPED | WS_VISIBLE, 10, 10, 120, 60, nullptr, nullptr, nullptr, nullptr);
  Settings first;
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
  DestroyWindow(other);
}

// A program path code page 932 cannot spell is registered exactly, and works.
TEST_F(SettingsRun, OkRegistersAnyProgramPathExactly) {
  const wstring bin = TheBench().root + L"Jürgen\\Tools\\";
  const wstring exe = InstallTarvo(bin);
  Settings s(exe);
  s.Click("100", 3);
  EXPECT_EQ(s.run.WaitExit(), 0u);
  EXPECT_EQ(ReadRegistry(), Stored("100", exe));
  const wstring shortcut = bin + L"j.lnk";
  MakeShortcut(shortcut, bin + L"explorer.exe");
  // No error box to wait for a click.
  SHELLEXECUTEINFOW verb = {sizeof verb, SEE_MASK_FLAG_NO_UI, nullptr, L"Tarvo", shortcut.c_str()};
  EXPECT_TRUE(ShellExecuteExW(&verb));
  WaitUntil([] { return !ReadBytes(TheBench().log).empty(); }, 15000);
  EXPECT_EQ(TakeLaunches(), Launches{FolderWindow(bin, bin)});
}

TEST(BuiltProgram, CarriesItsResources) {
  HMODULE exe = LoadLibraryExW(TheBench().exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
  EXPECT_TRUE(FindResourceA(exe, "MAINICON", RT_GROUP_ICON) && FindResourceA(exe, MAKEINTRESOURCEA(1), RT_VERSION) &&
              FindResourceA(exe, MAKEINTRESOURCEA(1), RT_MANIFEST));
}

}  // namespace
