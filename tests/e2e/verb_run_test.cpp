// Tarvo started as Explorer starts it from a context-menu verb: the shortcut's
// path and the mode digit, each in quotes. The folder windows it asks for are
// caught by the recording explorer.exe beside it.
#include <gtest/gtest.h>

#include "tarvo_harness.h"

namespace {

std::string Quoted(const std::string& s) { return "\"" + s + "\""; }

// What Wine hands the recording explorer.exe: a folder opened with "OPEN" or
// "explore" (Wine runs both alike), and "explorer" with the select parameters.
std::string FolderWindow(const std::string& folder) {
  return Quoted(TheBench().bin + "explorer.exe") + " " + Quoted(folder);
}
std::string SelectWindow(const char* parameters, const std::string& target) {
  return "\"explorer\" " + std::string(parameters) + Quoted(target);
}

TEST(VerbRun, OpensTheTargetsFolderWithoutEverShowingTheWindow) {
  ClearTarvoRegistry();
  // Real files and folders, so that the shell resolves real targets.
  const std::string root = TheBench().root, docs = root + "docs\\", file = docs + "a.txt", folder = docs + "Sub",
                    comma = root + "a,b\\", commaFile = comma + "c,d.txt",
                    // ソフト\表.txt: the second bytes of ソ and 表 are 0x5C, the backslash.
                    japanese = root + "\x83\x5C\x83\x74\x83\x67\\", japaneseFile = japanese + "\x95\x5C.txt";
  for (const std::string& f : {docs, folder, comma, japanese}) CreateDirectoryA(f.c_str(), nullptr);
  for (const std::string& f : {file, commaFile, japaneseFile})
    CloseHandle(CreateFileA(f.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  for (const std::string& f : {file, folder, commaFile, japaneseFile}) MakeShortcut(f + ".lnk", f);
  const std::string missing = root + "missing";  // no shortcut made for it
  const struct {
    std::string target;  // the shortcut is the target's path and ".lnk"
    const char* mode;
    bool select;
    std::vector<std::string> launches;
  } cases[] = {
      {file, "0", false, {FolderWindow(docs)}},
      {file, "1", false, {FolderWindow(docs)}},
      {file, "0", true, {SelectWindow("/select,", file)}},
      {file, "1", true, {SelectWindow("/e, /select,", file)}},
      // A folder target opens the folder that holds it.
      {folder, "0", false, {FolderWindow(docs)}},
      {folder, "1", true, {SelectWindow("/e, /select,", folder)}},
      // Explorer splits its parameters at commas: the path must arrive quoted.
      {commaFile, "1", false, {FolderWindow(comma)}},
      {commaFile, "0", true, {SelectWindow("/select,", commaFile)}},
      // The folder is cut after ソフト\, not inside 表.
      {japaneseFile, "0", false, {FolderWindow(japanese)}},
      {japaneseFile, "1", true, {SelectWindow("/e, /select,", japaneseFile)}},
      {file, "2", true, {}},
      {missing, "0", false, {}},
      {missing, "1", true, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.target + " mode " + c.mode + (c.select ? " select" : ""));
    StoreOptions(c.select ? "001" : "000");
    TarvoRun run(Quoted(c.target + ".lnk") + " " + Quoted(c.mode));
    EXPECT_EQ(run.WaitExit(), std::optional<DWORD>(0));
    EXPECT_EQ(run.Launches(), c.launches);
    // The recorder was in this very process: it saw the form being made, and no show.
    EXPECT_EQ(run.WindowClasses(false).count("obj_Form"), 1u);
    EXPECT_EQ(run.WindowClasses(true), std::set<std::string>());
  }
  ClearTarvoRegistry();
}

}  // namespace
