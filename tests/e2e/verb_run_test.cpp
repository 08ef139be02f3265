// Verb runs, started as Explorer starts them: a wide command line.
#include <algorithm>
#include <memory>

#include "e2e/harness.h"

namespace {

// A file (a folder for a name ending in '\') and a shortcut.
wstring Made(const wstring& name, const wstring& shortcut = L"") {
  wstring path = TheBench().root + name;
  SHCreateDirectoryExW(nullptr, path.substr(0, path.rfind(L'\\')).c_str(), nullptr);
  if (path.back() == L'\\') path.pop_back();
  if (name.back() != L'\\') WriteBytes(path, "");
  MakeShortcut(shortcut.empty() ? path + L".lnk" : TheBench().root + shortcut, path);
  return path;
}

TEST(VerbRun, OpensTheTargetsFolderWithoutEverMakingAWindow) {
  const wstring root = TheBench().root;
  const wstring docs = root + L"docs\\";
  const wstring file = Made(L"docs\\a.txt");
  const wstring folder = Made(L"docs\\Sub\\");
  const wstring comma = Made(L"a,b\\c,d.txt");
  // The second bytes of ソ and 表 are 0x5C, the backslash.
  const wstring japanese = Made(L"ソフト\\表.txt");
  const wstring gone = root + L"docs\\gone.txt";
  MakeShortcut(gone + L".lnk", gone);
  MakeShortcut(root + L"nowhere.lnk", root + L"nowhere\\gone.txt");
  // Names code page 932 cannot spell.
  const wstring emoji = Made(L"\U0001F600\\\U0001F600.txt", L"\U0001F600.lnk");
  // ¥ best-fits to 0x5C: a¥b.lnk would be a\b.lnk.
  Made(L"a\\decoy.txt", L"a\\b.lnk");
  Made(L"docs\\a.txt", L"a¥b.lnk");
  // The longest paths that fit, and one character more.
  auto sized = [&](size_t length, const wstring& end) { return wstring(length - root.size() - end.size(), L'x') + end; };
  const wstring longest = Made(sized(258, L""), sized(259, L".lnk"));
  Made(sized(258, L""), sized(260, L".lnk"));
  for (size_t length : {259, 260}) Made(L"Müller\\Müller.txt", sized(length, L"ü.lnk"));
  Made(sized(259, L""), L"cut.lnk");
  const struct {
    wstring shortcut;
    const wchar_t* mode;
    bool select;
    Launches launches;
  } cases[] = {
      {file + L".lnk", L"0", false, {FolderWindow(docs)}},
      {folder + L".lnk", L"1", false, {FolderWindow(docs)}},
      // Explorer splits its parameters at commas.
      {comma + L".lnk", L"0", true, {SelectWindow(false, comma)}},
      {japanese + L".lnk", L"0", false, {FolderWindow(root + L"ソフト\\")}},
      {gone + L".lnk", L"0", true, {FolderWindow(docs)}},
      {root + L"nowhere.lnk", L"1", true, {}},
      {root + L"\U0001F600.lnk", L"1", true, {SelectWindow(true, emoji)}},
      {root + L"a¥b.lnk", L"0", false, {FolderWindow(docs)}},
      {root + sized(259, L".lnk"), L"1", true, {SelectWindow(true, longest)}},
      {root + sized(259, L"ü.lnk"), L"0", false, {FolderWindow(root + L"Müller\\")}},
      {root + sized(260, L".lnk"), L"0", false, {}},
      {root + sized(260, L"ü.lnk"), L"0", false, {}},
      {root + L"cut.lnk", L"0", false, {}},
      {file + L".lnk", L"1x", true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(U8(c.shortcut + c.mode));
    StoreOptions(c.select ? "001" : "000");
    TarvoRun run(Quoted(c.shortcut) + L" " + Quoted(c.mode));
    EXPECT_EQ(run.WaitExit(), 0u);
    EXPECT_EQ(TakeLaunches(), c.launches);
    EXPECT_EQ(run.WindowClasses(), std::set<string>());
  }
  ClearTarvoRegistry();
}

// A download that brings its own explorer.exe beside the shortcut, the verb
// run's current folder. Under Wine the program's folder comes first, so this
// copy of tarvo.exe has no recorder beside it (the bench's has one there).
TEST(VerbRun, APlantedExplorerNeverRuns) {
  const wstring target = Made(L"download\\readme.txt");
  const wstring folder = TheBench().root + L"download\\";
  CopyFileW((TheBench().bin + L"explorer.exe").c_str(), (folder + L"explorer.exe").c_str(), FALSE);
  const wstring exe = InstallTarvo(TheBench().root + L"bare\\", false);
  StoreOptions("001");
  for (bool explore : {false, true}) {
    TarvoRun run(Quoted(target + L".lnk") + (explore ? L" 1" : L" 0"), exe, folder.c_str());
    EXPECT_EQ(run.WaitExit(), 0u);
    EXPECT_EQ(TakeLaunches(), Launches{SelectWindow(explore, target)});
  }
  ClearTarvoRegistry();
}

// Explorer starts one Tarvo per selected shortcut, all at once.
TEST(VerbRun, EveryShortcutOfASelectionOpensWhenStartedTogether) {
  Launches expected;
  std::vector<wstring> targets;
  for (int i = 0; i < 5; ++i) {
    targets.push_back(Made(L"many\\" + std::to_wstring(i) + L".txt"));
    expected.push_back(SelectWindow(false, targets.back()));
  }
  StoreOptions("101");
  for (int round = 0; round < 3; ++round) {
    std::vector<std::unique_ptr<TarvoRun>> runs;
    for (const wstring& target : targets) {
      runs.push_back(std::make_unique<TarvoRun>(Quoted(target + L".lnk") + L" 0"));
    }
    for (auto& run : runs) {
      EXPECT_EQ(run->WaitExit(), 0u);
    }
    Launches launches = TakeLaunches();
    std::sort(launches.begin(), launches.end());
    EXPECT_EQ(launches, expected) << "round " << round;
  }
  ClearTarvoRegistry();
}

}  // namespace
