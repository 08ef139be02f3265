// Tarvo started as Explorer starts it from a context-menu verb: the shortcut's
// path and the mode digit, each in quotes. The folder windows it asks for are
// caught by the recording explorer.exe beside it.
#include <gtest/gtest.h>

#include "tarvo_harness.h"

namespace {

struct Targets {
  std::string docs, file, folder, comma, commaFile, japanese, japaneseFile;
};

// Real files and folders, so that the shell resolves real targets.
const Targets& TheTargets() {
  static Targets t = [] {
    Targets t;
    std::string root = TheBench().root + "targets\\";
    t.docs = root + "docs\\";
    t.file = t.docs + "a.txt";
    t.folder = t.docs + "Sub";
    t.comma = root + "a,b\\";
    t.commaFile = t.comma + "c,d.txt";
    // ソフト\表.txt: the second bytes of ソ and 表 are 0x5C, the backslash.
    t.japanese = root + "\x83\x5C\x83\x74\x83\x67\\";
    t.japaneseFile = t.japanese + "\x95\x5C.txt";
    for (const std::string& f : {root, t.docs, t.folder, t.comma, t.japanese}) MakeFolder(f);
    for (const std::string& f : {t.file, t.commaFile, t.japaneseFile}) MakeFile(f);
    return t;
  }();
  return t;
}

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

std::string LinkTo(const std::string& name, const std::string& target) {
  std::string links = TheBench().root + "links\\";
  MakeFolder(links);
  std::string link = links + name + ".lnk";
  EXPECT_TRUE(MakeShortcut(link, target)) << target;
  return link;
}

// What Wine hands the recording explorer.exe: a folder opened with "OPEN" or
// "explore" (Wine runs both alike), and "explorer" with the select parameters.
std::string FolderWindow(const std::string& folder) {
  return Quoted(TheBench().bin + "explorer.exe") + " " + Quoted(folder);
}
std::string SelectWindow(const char* literal, const std::string& target) {
  return "\"explorer\" " + std::string(literal) + Quoted(target);
}

class VerbRun : public testing::Test {
 protected:
  void SetUp() override { ClearTarvoRegistry(); }
  void TearDown() override { ClearTarvoRegistry(); }
};

TEST_F(VerbRun, OpensTheTargetsFolderWithoutEverShowingTheWindow) {
  const Targets& t = TheTargets();
  std::string file = LinkTo("file", t.file);
  std::string folder = LinkTo("folder", t.folder);
  std::string comma = LinkTo("comma", t.commaFile);
  std::string japanese = LinkTo("japanese", t.japaneseFile);
  std::string missing = TheBench().root + "links\\missing.lnk";

  struct Case {
    std::string link;
    const char* mode;
    bool select;
    std::vector<std::string> launches;
  } const cases[] = {
      {file, "0", false, {FolderWindow(t.docs)}},
      {file, "1", false, {FolderWindow(t.docs)}},
      {file, "0", true, {SelectWindow("/select,", t.file)}},
      {file, "1", true, {SelectWindow("/e, /select,", t.file)}},
      // A folder target opens the folder that holds it.
      {folder, "0", false, {FolderWindow(t.docs)}},
      {folder, "1", true, {SelectWindow("/e, /select,", t.folder)}},
      // Explorer splits its parameters at commas: the path must arrive quoted.
      {comma, "1", false, {FolderWindow(t.comma)}},
      {comma, "0", true, {SelectWindow("/select,", t.commaFile)}},
      // The folder is cut after ソフト\, not inside 表.
      {japanese, "0", false, {FolderWindow(t.japanese)}},
      {japanese, "1", true, {SelectWindow("/e, /select,", t.japaneseFile)}},
      {file, "2", true, {}},
      {missing, "0", false, {}},
      {missing, "1", true, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.link + " mode " + c.mode + (c.select ? " select" : ""));
    StoreOptions({false, false, c.select});
    TarvoRun run(Quoted(c.link) + " " + Quoted(c.mode));
    ASSERT_TRUE(run.started());
    EXPECT_EQ(run.WaitExit(), std::optional<DWORD>(0));
    EXPECT_EQ(run.Launches(), c.launches);

    // The recorder was in this very process: it saw the form being made.
    std::vector<WindowEvent> events = TopLevelEventsOf(run.pid());
    bool formMade = false;
    for (const WindowEvent& e : events) formMade |= e.message == WM_NCCREATE && e.className == "obj_Form";
    EXPECT_TRUE(formMade);
    EXPECT_TRUE(ShownTopLevelWindowsOf(run.pid()).empty());
  }
}

}  // namespace
