// Tarvo started without arguments: the settings window, driven by real key
// presses and mouse clicks, and the registry it leaves behind.
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "tarvo_harness.h"

namespace {

std::string VerbKey(const char* verb) { return std::string(kVerbsKey) + "\\" + verb; }
std::string CommandKey(const char* verb) { return VerbKey(verb) + "\\command"; }

// The whole registry state that OK leaves for these options, byte for byte.
void ExpectStored(const Options& o) {
  const std::string program = "\"" + TheBench().exe + "\" \"%1\" ";
  const struct {
    const char* verb;
    bool on;
    const char* text;
    const char* mode;
  } verbs[] = {{"Tarvo", o.normal, kNormalText, "\"0\""}, {"Tarvo_e", o.explore, kExploreText, "\"1\""}};
  for (const auto& v : verbs) {
    SCOPED_TRACE(v.verb);
    if (v.on) {
      EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, VerbKey(v.verb), ""), Text(v.text));
      EXPECT_EQ(ReadValue(HKEY_LOCAL_MACHINE, CommandKey(v.verb), ""), Text(program + v.mode));
    } else {
      EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, VerbKey(v.verb)));
    }
  }
  if (o.normal || o.explore) {
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kOptionsKey, "normal"), Dword(o.normal));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kOptionsKey, "explore"), Dword(o.explore));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kOptionsKey, "select"), Dword(o.select));
  } else {
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kOptionsKey));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kMakerKey));
  }
}

struct Boxes {
  HWND normal, explore, select, ok, cancel;
};

Boxes FindBoxes(HWND form) {
  Boxes b{FindChild(form, kNormalText), FindChild(form, kExploreText), FindChild(form, kSelectText),
          FindChild(form, "OK"), FindChild(form, "\x83\x4C\x83\x83\x83\x93\x83\x5A\x83\x8B")};
  EXPECT_TRUE(b.normal && b.explore && b.select && b.ok && b.cancel);
  return b;
}

// Clicks a check box where its box is drawn and waits until its state flips.
void Toggle(HWND box) {
  bool before = IsChecked(box);
  ClickControl(box, true);
  struct State {
    HWND box;
    bool want;
  } state{box, !before};
  EXPECT_TRUE(WaitUntil([](void* s) {
    State* st = static_cast<State*>(s);
    return IsChecked(st->box) == st->want;
  }, &state)) << WindowText(box) << "; " << InputState(box);
  EXPECT_TRUE(NoMouseCapture(box));
}

void ClickCloseBox(HWND form) {
  // Ask the window itself where its close box is; Wine draws the frame here.
  RECT r;
  GetWindowRect(form, &r);
  for (int y = r.top + 2; y < r.top + 40; y += 2)
    for (int x = r.right - 2; x > r.right - 60; x -= 2)
      if (SendMessageA(form, WM_NCHITTEST, 0, MAKELPARAM(x, y)) == HTCLOSE) {
        EXPECT_TRUE(NoMouseCapture(form));
        ClickScreen(POINT{x, y});
        return;
      }
  ADD_FAILURE() << "no close box found";
}

RECT InClient(HWND form, HWND child) {
  RECT r;
  GetWindowRect(child, &r);
  MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

// The fixed layout: a 220 x 108 client area centred on the screen, no sizing
// frame, no minimise or maximise box, and the children at their places.
void ExpectLayout(HWND form, const Boxes& b) {
  RECT client, window;
  GetClientRect(form, &client);
  GetWindowRect(form, &window);
  LONG w = window.right - window.left, h = window.bottom - window.top;
  LONG style = GetWindowLongA(form, GWL_STYLE);
  EXPECT_EQ(std::vector<LONG>({client.right, client.bottom, window.left, window.top,
                               style & (WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX)}),
            std::vector<LONG>({220, 108, (GetSystemMetrics(SM_CXSCREEN) - w) >> 1,
                               (GetSystemMetrics(SM_CYSCREEN) - h) >> 1, 0}));
  std::vector<LONG> places;
  for (HWND c : {b.ok, b.cancel}) {
    RECT r = InClient(form, c);
    places.insert(places.end(), {r.left, r.top, r.right, r.bottom});
  }
  for (HWND c : {b.normal, b.explore, b.select}) {
    RECT r = InClient(form, c);
    places.insert(places.end(), {r.left, r.top});
  }
  EXPECT_EQ(places, std::vector<LONG>({13, 78, 102, 100, 117, 78, 206, 100, 58, 8, 58, 26, 58, 56}));
}

class SettingsRun : public testing::Test {
 protected:
  void SetUp() override { ClearTarvoRegistry(); }
  void TearDown() override { ClearTarvoRegistry(); }

  // Starts Tarvo without arguments and brings its window to the front.
  HWND Open(TarvoRun& run) {
    HWND form = run.WaitForForm();
    EXPECT_NE(form, nullptr);
    if (form) {
      EXPECT_TRUE(BringToFront(form));
    }
    return form;
  }
};

TEST_F(SettingsRun, ShowsTheStoredOptionsInItsBoxes) {
  const struct {
    bool stored;
    Options options;
  } cases[] = {
      {false, {false, false, false}},
      {true, {true, false, true}},
      {true, {false, true, false}},
      {true, {true, true, true}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.stored << c.options.normal << c.options.explore << c.options.select);
    ClearTarvoRegistry();
    if (c.stored) StoreOptions(c.options);
    TarvoRun run("");
    HWND form = Open(run);
    ASSERT_NE(form, nullptr);
    wchar_t caption[16] = {};
    GetWindowTextW(form, caption, 16);
    EXPECT_STREQ(caption, L"Tarvo\x3000");
    Boxes b = FindBoxes(form);
    ExpectLayout(form, b);
    EXPECT_EQ(IsChecked(b.normal), c.options.normal);
    EXPECT_EQ(IsChecked(b.explore), c.options.explore);
    EXPECT_EQ(IsChecked(b.select), c.options.select);
    // The counterpart of the verb runs' check: the recorder does see this show.
    std::vector<HWND> shown = ShownTopLevelWindowsOf(run.pid());
    EXPECT_NE(std::find(shown.begin(), shown.end(), form), shown.end());

    PressKey(VK_ESCAPE);
    EXPECT_EQ(run.WaitExit(), std::optional<DWORD>(0));
  }
}

TEST_F(SettingsRun, EnterWithTheFocusOnOkStoresAndCloses) {
  StoreOptions({true, false, true});
  TarvoRun run("");
  HWND form = Open(run);
  ASSERT_NE(form, nullptr);
  Boxes b = FindBoxes(form);
  struct Focus {
    DWORD thread;
    HWND want;
  } focus{run.thread(), b.ok};
  EXPECT_TRUE(WaitUntil([](void* f) {
    Focus* x = static_cast<Focus*>(f);
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(x->thread, &info) && info.hwndFocus == x->want;
  }, &focus));
  PressKey(VK_RETURN);
  EXPECT_EQ(run.WaitExit(), std::optional<DWORD>(0));
  // The stored options had no verbs yet: OK wrote them.
  ExpectStored({true, false, true});
}

TEST_F(SettingsRun, EscapeAndTheCloseBoxStoreNothing) {
  for (bool closeBox : {false, true}) {
    SCOPED_TRACE(closeBox ? "close box" : "Escape");
    ClearTarvoRegistry();
    StoreOptions({true, false, true});
    TarvoRun run("");
    HWND form = Open(run);
    ASSERT_NE(form, nullptr);
    Boxes b = FindBoxes(form);
    Toggle(b.explore);
    Toggle(b.select);
    if (closeBox)
      ClickCloseBox(form);
    else
      PressKey(VK_ESCAPE);
    EXPECT_EQ(run.WaitExit(), std::optional<DWORD>(0));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, VerbKey("Tarvo")));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, VerbKey("Tarvo_e")));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kOptionsKey, "normal"), Dword(1));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kOptionsKey, "explore"), Dword(0));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kOptionsKey, "select"), Dword(1));
  }
}

TEST_F(SettingsRun, ClickedBoxesThenOkStoreExactlyThose) {
  const Options cases[] = {
      {true, false, true},
      {false, true, false},
      {true, true, true},
      {false, false, true},  // no verb: nothing is kept, "select" neither
  };
  for (const Options& o : cases) {
    SCOPED_TRACE(testing::Message() << o.normal << o.explore << o.select);
    ClearTarvoRegistry();
    TarvoRun run("");
    HWND form = Open(run);
    ASSERT_NE(form, nullptr);
    Boxes b = FindBoxes(form);
    if (o.normal) Toggle(b.normal);
    if (o.explore) Toggle(b.explore);
    if (o.select) Toggle(b.select);
    ClickControl(b.ok, false);
    EXPECT_EQ(run.WaitExit(), std::optional<DWORD>(0));
    ExpectStored(o);
  }
}

TEST_F(SettingsRun, UncheckingBothVerbsRemovesEveryKeyItMade) {
  {
    TarvoRun run("");
    HWND form = Open(run);
    ASSERT_NE(form, nullptr);
    Boxes b = FindBoxes(form);
    Toggle(b.normal);
    Toggle(b.explore);
    Toggle(b.select);
    ClickControl(b.ok, false);
    EXPECT_EQ(run.WaitExit(), std::optional<DWORD>(0));
    ExpectStored({true, true, true});
  }
  TarvoRun run("");
  HWND form = Open(run);
  ASSERT_NE(form, nullptr);
  Boxes b = FindBoxes(form);
  Toggle(b.normal);
  Toggle(b.explore);
  ClickControl(b.ok, false);
  EXPECT_EQ(run.WaitExit(), std::optional<DWORD>(0));
  ExpectStored({false, false, true});
}

}  // namespace

namespace {

struct BoxSearch {
  DWORD pid;
  HWND found;
};

BOOL CALLBACK MatchMessageBox(HWND w, LPARAM p) {
  BoxSearch* s = reinterpret_cast<BoxSearch*>(p);
  DWORD owner = 0;
  GetWindowThreadProcessId(w, &owner);
  char cls[16] = {};
  GetClassNameA(w, cls, sizeof cls);
  if (owner != s->pid || std::string(cls) != "#32770" || !IsWindowVisible(w)) return TRUE;
  s->found = w;
  return FALSE;
}

HWND WaitForMessageBox(DWORD pid) {
  BoxSearch search{pid, nullptr};
  WaitUntil([](void* s) {
    EnumWindows(MatchMessageBox, reinterpret_cast<LPARAM>(s));
    return static_cast<BoxSearch*>(s)->found != nullptr;
  }, &search, 15000);
  return search.found;
}

bool Contains(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

const char kAdded[] = "\x81\x76\x82\xCC\x92\xC7\x89\xC1";      // 」の追加
const char kRemoved[] = "\x81\x76\x82\xCC\x8D\xED\x8F\x9C";    // 」の削除
const char kAdministrator[] = "\x8A\xC7\x97\x9D\x8E\xD2";      // 管理者
const char kStored[] = "\x90\xDD\x92\xE8\x82\xCD\x95\xDB\x91\xB6\x82\xB5\x82\xDC\x82\xB5\x82\xBD";  // 設定は保存しました
const char kOpen[] = "\x81\x75";                                  // 「

TEST_F(SettingsRun, TellsWhichMenuEntriesItCouldNotChangeAndStillStoresTheOptions) {
  // Registry states in which the machine-wide entries cannot be changed, as
  // for a user without administrator rights: a volatile "shell" key takes no
  // lasting "Tarvo" key below it, and a verb key holding a key of someone
  // else's cannot be deleted.
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, kVerbsKey, 0, nullptr, REG_OPTION_VOLATILE,
                            KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
  {
    TarvoRun run("");
    HWND form = run.WaitForForm();
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(BringToFront(form));
    Boxes b = FindBoxes(form);
    Toggle(b.normal);
    Toggle(b.explore);
    ClickControl(b.ok, false);
    HWND box = WaitForMessageBox(run.pid());
    ASSERT_NE(box, nullptr);
    std::string text = WindowText(GetDlgItem(box, 0xFFFF));
    EXPECT_TRUE(Contains(text, kOpen + std::string(kNormalText) + kAdded)) << text;
    EXPECT_TRUE(Contains(text, kOpen + std::string(kExploreText) + kAdded)) << text;
    EXPECT_TRUE(Contains(text, kAdministrator)) << text;
    EXPECT_TRUE(Contains(text, kStored)) << text;
    // Stored before the user is told; the window waits for the box.
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kOptionsKey, "normal"), Dword(1));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kOptionsKey, "explore"), Dword(1));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, kOptionsKey, "select"), Dword(0));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, VerbKey("Tarvo")));
    EXPECT_TRUE(IsWindow(form));
    ASSERT_TRUE(BringToFront(box));
    PressKey(VK_RETURN);
    EXPECT_EQ(run.WaitExit(), std::optional<DWORD>(0));
  }

  ClearTarvoRegistry();
  StoreOptions({true, false, false});
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (VerbKey("Tarvo") + "\\keep").c_str(), 0, nullptr,
                            0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
  RegCloseKey(key);
  TarvoRun run("");
  HWND form = run.WaitForForm();
  ASSERT_NE(form, nullptr);
  ASSERT_TRUE(BringToFront(form));
  Boxes b = FindBoxes(form);
  Toggle(b.normal);
  ClickControl(b.ok, false);
  HWND box = WaitForMessageBox(run.pid());
  ASSERT_NE(box, nullptr);
  std::string text = WindowText(GetDlgItem(box, 0xFFFF));
  EXPECT_TRUE(Contains(text, kOpen + std::string(kNormalText) + kRemoved)) << text;
  EXPECT_FALSE(Contains(text, kExploreText)) << text;
  EXPECT_TRUE(Contains(text, kAdministrator)) << text;
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, kOptionsKey));
  ASSERT_TRUE(BringToFront(box));
  PressKey(VK_RETURN);
  EXPECT_EQ(run.WaitExit(), std::optional<DWORD>(0));
}

}  // namespace
