// Tarvo started without arguments: the settings window, driven by real key
// presses and mouse clicks, the registry it leaves behind, and a second start.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "tarvo_harness.h"

namespace {

using Registry = std::map<std::string, std::string>;  // key path or "key:value name" -> "type:bytes"

void ReadTree(HKEY root, const std::string& name, const std::string& path, Registry* out) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  (*out)[name] = "";
  char entry[256];
  BYTE data[1024];
  DWORD type, size, length;
  for (DWORD i = 0; length = sizeof entry, size = sizeof data,
       RegEnumValueA(key, i, entry, &length, nullptr, &type, data, &size) == ERROR_SUCCESS; ++i)
    (*out)[name + ":" + entry] = std::to_string(type) + ":" + std::string(reinterpret_cast<char*>(data), size);
  for (DWORD i = 0; RegEnumKeyA(key, i, entry, sizeof entry) == ERROR_SUCCESS; ++i)
    ReadTree(root, name + "\\" + entry, path + "\\" + entry, out);
  RegCloseKey(key);
}

// Everything under the keys the program writes, the machine's verbs too or not.
Registry ReadRegistry(bool machine = true) {
  Registry r;
  for (const char* verb : {"\\Tarvo", "\\Tarvo_e"})
    if (machine) ReadTree(HKEY_LOCAL_MACHINE, verb, kVerbsKey + std::string(verb), &r);
  ReadTree(HKEY_CURRENT_USER, "vek", kMakerKey, &r);
  return r;
}

// What the program stores for options o; with verbs false, only the options
// as StoreOptions leaves them.
Registry Stored(const std::string& o, bool verbs = true) {
  Registry r;
  const char* names[] = {"normal", "explore", "select"};
  if (verbs ? o[0] == '1' || o[1] == '1' : !o.empty()) {
    r["vek"] = r["vek\\Tarvo"] = "";
    for (int i = 0; i < 3; ++i) r["vek\\Tarvo:" + std::string(names[i])] = "4:" + std::string(1, o[i] - '0') + std::string(3, '\0');
  }
  const std::string keys[] = {"\\Tarvo", "\\Tarvo_e"}, texts[] = {kNormalText, kExploreText};
  for (int i = 0; i < 2; ++i)
    if (verbs && o[i] == '1') {
      r[keys[i]] = r[keys[i] + "\\command"] = "";
      r[keys[i] + ":"] = "1:" + texts[i] + '\0';
      r[keys[i] + "\\command:"] = "1:\"" + TheBench().exe + "\" \"%1\" \"" + char('0' + i) + "\"" + '\0';
    }
  return r;
}

// A settings run with its window in front and its controls found.
struct Settings {
  TarvoRun run{""};
  HWND form = run.WaitForWindow(nullptr, kCaption);
  HWND Child(const char* text) { return FindWindowExA(form, nullptr, nullptr, text); }
  HWND controls[5] = {Child(kNormalText), Child(kExploreText),
                      Child("\x91\x49\x91\xF0\x8F\xF3\x91\xD4\x82\xC5\x8A\x4A\x82\xAD"),  // 選択状態で開く
                      Child("OK"), Child("\x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B")};         // キャンセル
  HWND ok = controls[3];
  bool ready = form && BringToFront(form) && std::count(controls, controls + 5, nullptr) == 0;

  std::string Checks() {
    std::string checks;
    for (int i = 0; i < 3; ++i) checks += SendMessageA(controls[i], BM_GETCHECK, 0, 0) == BST_CHECKED ? '1' : '0';
    return checks;
  }
  // Clicks each box that differs from want where its box is drawn, and waits until it has flipped.
  void Check(const std::string& want) {
    for (int i = 0; i < 3; ++i)
      if (Checks()[i] != want[i]) {
        ClickControl(controls[i], true);
        EXPECT_TRUE(WaitUntil([&] { return Checks()[i] == want[i]; })) << i;
      }
  }
  // Client size, offset from the centre of the screen, unwanted frame and
  // boxes, then where each check box starts and OK's and Cancel's rectangles.
  std::vector<LONG> Layout() {
    RECT client, w, r;
    GetClientRect(form, &client);
    GetWindowRect(form, &w);
    std::vector<LONG> layout = {client.right, client.bottom,
                                w.left - ((GetSystemMetrics(SM_CXSCREEN) - (w.right - w.left)) >> 1),
                                w.top - ((GetSystemMetrics(SM_CYSCREEN) - (w.bottom - w.top)) >> 1),
                                GetWindowLongA(form, GWL_STYLE) & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)};
    for (int i = 0; i < 5; ++i) {
      GetWindowRect(controls[i], &r);
      MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
      layout.insert(layout.end(), {r.left, r.top, r.right, r.bottom});
      layout.resize(layout.size() - (i < 3 ? 2 : 0));
    }
    return layout;
  }
  // Asks the window itself where its close box is; Wine draws the frame here.
  POINT CloseBox() {
    RECT r;
    GetWindowRect(form, &r);
    for (int y = r.top + 2; y < r.top + 40; y += 2)
      for (int x = r.right - 2; x > r.right - 60; x -= 2)
        if (SendMessageA(form, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) return POINT{x, y};
    ADD_FAILURE() << "no close box";
    return POINT{};
  }
};

class SettingsRun : public testing::Test {
 protected:
  void SetUp() override { ClearTarvoRegistry(); }
  void TearDown() override { ClearTarvoRegistry(); }
};

TEST_F(SettingsRun, ShowsTheStoredOptionsEnterOnOkStoresEscapeAndTheCloseBoxDoNot) {
  // How each run ends: Enter with the focus on OK, Escape, or a click on the
  // close box (0) after two boxes were clicked.
  const std::pair<const char*, WORD> cases[] = {{"", VK_ESCAPE}, {"101", 0}, {"010", VK_ESCAPE}, {"111", 0}, {"101", VK_RETURN}};
  for (const auto& [stored, key] : cases) {
    SCOPED_TRACE(testing::Message() << stored << " key " << key);
    ClearTarvoRegistry();
    if (*stored) StoreOptions(stored);
    Settings s;
    ASSERT_TRUE(s.ready);
    EXPECT_EQ(s.Checks(), *stored ? stored : "000");
    EXPECT_EQ(s.Layout(), std::vector<LONG>({220, 108, 0, 0, 0, 58, 8, 58, 26, 58, 56, 13, 78, 102, 100, 117, 78, 206, 100}));
    EXPECT_EQ(s.run.WindowClasses(true).count("obj_Form"), 1u);  // the recorder does see this show
    if (key == VK_RETURN)
      EXPECT_TRUE(WaitUntil([&] { return ThreadInput(s.form).hwndFocus == s.ok; }));
    else
      s.Check("110");
    if (key)
      PressKey(key);
    else
      ClickScreen(s.form, s.CloseBox());
    EXPECT_EQ(s.run.WaitExit(), std::optional<DWORD>(0));
    // The stored options had no verbs yet: OK writes them.
    EXPECT_EQ(ReadRegistry(), Stored(stored, key == VK_RETURN));
  }
}

TEST_F(SettingsRun, ClickedBoxesThenOkStoreExactlyThose) {
  // Each run starts from what the one before stored; the last unchecks both
  // verbs, which removes every key the program made, "select" too.
  std::string before = "000";
  for (const char* want : {"101", "010", "111", "001"}) {
    SCOPED_TRACE(want);
    Settings s;
    ASSERT_TRUE(s.ready);
    EXPECT_EQ(s.Checks(), before);
    s.Check(want);
    ClickControl(s.ok, false);
    EXPECT_EQ(s.run.WaitExit(), std::optional<DWORD>(0));
    EXPECT_EQ(ReadRegistry(), Stored(want));
    before = want;
  }
}

TEST_F(SettingsRun, TellsWhichMenuEntriesItCouldNotChangeAndStillStoresTheOptions) {
  const std::string open = "\x81\x75", added = "\x81\x76\x82\xCC\x92\xC7\x89\xC1",  // 「 」の追加
      removed = "\x81\x76\x82\xCC\x8D\xED\x8F\x9C", administrator = "\x8A\xC7\x97\x9D\x8E\xD2",  // 」の削除 管理者
      stored = "\x90\xDD\x92\xE8\x82\xCD\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD";  // 設定は保存しました
  // As for a user without administrator rights: a volatile "shell" key takes
  // no lasting key below it, and a verb key holding someone else's key cannot be deleted.
  // Which of these the box says: normal added, explore added, normal removed,
  // explore removed, administrator, options stored.
  const struct {
    bool volatileShell;
    const char *stored, *want, *kept, *said;
  } cases[] = {{true, "", "110", "110", "110011"}, {false, "100", "000", "", "001011"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.want);
    ClearTarvoRegistry();
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (kVerbsKey + std::string(c.volatileShell ? "" : "\\Tarvo\\keep")).c_str(),
                              0, nullptr, c.volatileShell ? REG_OPTION_VOLATILE : 0, KEY_ALL_ACCESS, nullptr, &key,
                              nullptr), ERROR_SUCCESS);
    RegCloseKey(key);
    if (*c.stored) StoreOptions(c.stored);
    Settings s;
    ASSERT_TRUE(s.ready);
    s.Check(c.want);
    ClickControl(s.ok, false);
    HWND box = s.run.WaitForWindow("#32770", nullptr);
    char text[1024] = {};
    GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    std::string said;
    for (const std::string& part : {open + kNormalText + added, open + kExploreText + added, open + kNormalText + removed,
                                    open + kExploreText + removed, administrator, stored})
      said += std::string(text).find(part) != std::string::npos ? '1' : '0';
    EXPECT_EQ(said, c.said) << text;
    // Stored before the user is told; the window waits for the box. (The verb
    // key that holds someone else's key keeps whatever it could not lose.)
    EXPECT_EQ(ReadRegistry(c.volatileShell), Stored(c.kept, false));
    EXPECT_TRUE(IsWindow(s.form));
    ASSERT_TRUE(BringToFront(box));
    PressKey(VK_RETURN);
    EXPECT_EQ(s.run.WaitExit(), std::optional<DWORD>(0));
  }
}

// A second start, with or without arguments, only brings the open window to the front.
TEST_F(SettingsRun, ASecondStartActivatesTheFirstAndEndsWithoutAWindow) {
  MakeShortcut(TheBench().root + "single.lnk", TheBench().exe);
  // A window of the test's own takes the foreground before each second start.
  HWND other = CreateWindowExA(0, "STATIC", "other", WS_OVERLAPPED | WS_VISIBLE, 10, 10, 120, 60, nullptr, nullptr,
                               nullptr, nullptr);
  Settings first;
  ASSERT_TRUE(first.ready);
  for (const std::string& arguments : {std::string(), "\"" + TheBench().root + "single.lnk\" \"1\""}) {
    SCOPED_TRACE(arguments);
    ASSERT_TRUE(BringToFront(other));
    TarvoRun second(arguments);
    EXPECT_EQ(second.WaitExit(), std::optional<DWORD>(0));
    EXPECT_TRUE(WaitUntil([&] { return GetForegroundWindow() == first.form; }));
    EXPECT_EQ(second.WindowClasses(false), std::set<std::string>());
    EXPECT_EQ(second.Launches(), std::vector<std::string>());
    EXPECT_TRUE(IsWindowVisible(first.form));
  }
  ASSERT_TRUE(BringToFront(first.form));
  PressKey(VK_ESCAPE);
  EXPECT_EQ(first.run.WaitExit(), std::optional<DWORD>(0));
  DestroyWindow(other);
}

}  // namespace
