// Each mode's operation and a virtual item's parent: no real launch shows them.
#include "app/link_action.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

using std::string;

std::vector<string> launches;

string Bytes(const void* list) {
  return string(static_cast<const char*>(list), ILGetSize(static_cast<const ITEMIDLIST*>(list)));
}

// Mask, operation, then the item or the file and parameters.
BOOL WINAPI Record(SHELLEXECUTEINFOA* info) {
  string what = info->lpIDList ? Bytes(info->lpIDList) : string(info->lpFile) + "|" + info->lpParameters;
  launches.push_back(std::to_string(info->fMask) + "|" + info->lpVerb + "|" + what);
  // The program must close the handle the shell hands back.
  if (info->fMask & SEE_MASK_NOCLOSEPROCESS) info->hProcess = CreateEventA(nullptr, TRUE, FALSE, "TarvoTestProcess");
  return TRUE;
}

// Every path here is one the ANSI code page spells.
BOOL WINAPI RecordWide(SHELLEXECUTEINFOW*) {
  launches.push_back("wide");
  return TRUE;
}

TEST(LinkAction, EachModeAsksForItsOperationAndAVirtualItemOpensItsParent) {
  shellLaunch.executeEx = Record;
  shellLaunch.executeExW = RecordWide;
  ITEMIDLIST* controls = nullptr;
  ITEMIDLIST* computer = nullptr;
  SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &controls);
  SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
  ASSERT_TRUE(MakeShortcut(L"file.lnk", L"C:\\windows\\win.ini"));
  ASSERT_TRUE(MakeShortcut(L"virtual.lnk", L"", controls));
  // A program's stream: its folder part is the program.
  ASSERT_TRUE(MakeShortcut(L"stream.lnk", L"C:\\windows\\notepad.exe:s"));
  // A program with a virtual item below it: the parent is no folder.
  ASSERT_TRUE(MakeShortcut(L"inside.lnk", L"", ILCombine(ILCreateFromPathW(L"C:\\windows\\notepad.exe"), ILFindLastID(controls))));
  // Every launch waits: 0x500 and 0x54C.
  const string plain = "1280|";
  const string ex = "1356|";
  const struct {
    const char* shortcut;
    const char* mode;
    bool select;
    std::vector<string> launches;
  } cases[] = {
      {"file.lnk", "0", false, {plain + "OPEN|C:\\windows\\|"}},
      {"file.lnk", "1", false, {plain + "explore|C:\\windows\\|"}},
      {"file.lnk", "1", true, {plain + "OPEN|C:\\windows\\explorer.exe|/e, /select,\"C:\\windows\\win.ini\""}},
      // Control Panel's parent is My Computer.
      {"virtual.lnk", "0", true, {ex + "|" + Bytes(computer)}},
      {"virtual.lnk", "1", false, {ex + "explore|" + Bytes(computer)}},
      {"stream.lnk", "0", false, {}},
      {"stream.lnk", "1", true, {}},
      {"inside.lnk", "0", false, {}},
      {"inside.lnk", "1", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(string(c.shortcut) + c.mode);
    launches.clear();
    OpenShortcutTarget(c.shortcut, c.mode, c.select);
    EXPECT_EQ(launches, c.launches);
    HANDLE process = OpenEventA(SYNCHRONIZE, FALSE, "TarvoTestProcess");
    EXPECT_FALSE(process) << "left open";
    CloseHandle(process);
  }
}

}  // namespace
