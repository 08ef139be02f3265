// What the real program's launches cannot show: each mode's operation, and a
// virtual item's parent.
#include "app/link_action.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace {

using std::string;

std::vector<string> launches;

string Q(const char* s) {
  return s ? "[" + string(s) + "]" : "null";
}

// An ID list's bytes without its last drop items.
string ListBytes(const void* list, size_t drop = 0) {
  std::vector<string> items;
  for (const char* p = static_cast<const char*>(list); p[0] || p[1]; p += items.back().size()) {
    items.emplace_back(p, BYTE(p[0]) | BYTE(p[1]) << 8);
  }
  items.resize(items.size() - drop);
  string bytes;
  for (const string& item : items) {
    bytes += item;
  }
  return bytes + string(2, '\0');
}

HINSTANCE WINAPI RecordExecute(HWND, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR, INT) {
  launches.push_back(Q(operation) + Q(file) + Q(parameters));
  return nullptr;
}

BOOL WINAPI RecordExecuteEx(SHELLEXECUTEINFOA* info) {
  launches.push_back(std::to_string(info->fMask) + Q(info->lpVerb) + ListBytes(info->lpIDList));
  // The program must close the handle the shell hands back.
  info->hProcess = CreateEventA(nullptr, TRUE, FALSE, "TarvoTestProcess");
  return TRUE;
}

TEST(LinkAction, EachModeAsksForItsOperationAndAVirtualItemOpensItsParent) {
  CoInitialize(nullptr);
  shellLaunch.execute = RecordExecute;
  shellLaunch.executeEx = RecordExecuteEx;
  ITEMIDLIST* lists[3] = {};
  SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &lists[0]);
  SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &lists[1]);
  SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &lists[2]);
  ASSERT_TRUE(MakeShortcut(L"file.lnk", L"C:\\windows\\win.ini"));
  // Two levels deep, and right below the desktop.
  ASSERT_TRUE(MakeShortcut(L"deep.lnk", L"", lists[0]));
  ASSERT_TRUE(MakeShortcut(L"below.lnk", L"", lists[1]));
  const string ex = std::to_string(SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI);
  const struct {
    const char* shortcut;
    const char* mode;
    bool select;
    std::vector<string> launches;
  } cases[] = {
      {"file.lnk", "0", false, {"[OPEN][C:\\windows\\][]"}},
      {"file.lnk", "1", false, {"[explore][C:\\windows\\][]"}},
      {"file.lnk", "1", true, {"[OPEN][explorer][/e, /select,\"C:\\windows\\win.ini\"]"}},
      {"deep.lnk", "0", true, {ex + "[]" + ListBytes(lists[0], 1)}},
      {"below.lnk", "1", false, {ex + "[explore]" + ListBytes(lists[2])}},
      // No verb has another mode.
      {"deep.lnk", "2", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(string(c.shortcut) + " mode " + c.mode);
    launches.clear();
    OpenShortcutTarget(c.shortcut, c.mode, c.select);
    EXPECT_EQ(launches, c.launches);
    HANDLE process = OpenEventA(SYNCHRONIZE, FALSE, "TarvoTestProcess");
    EXPECT_FALSE(process) << "the shell's process handle is left open";
    CloseHandle(process);
  }
  for (ITEMIDLIST* list : lists) {
    CoTaskMemFree(list);
  }
}

// Lists of 5-byte items; the walk stops after 260 items, terminator or not.
TEST(LinkAction, ParentOfAnIDListIsAllButItsLastItem) {
  for (size_t items : {1, 3, 300}) {
    string list(items * 5, 'a');
    for (size_t i = 0; i < items; ++i) {
      list[i * 5] = 5;
      list[i * 5 + 1] = 0;
    }
    list += string(2, '\0');
    size_t size = std::min<size_t>(items, 260) * 5 - 5;
    ITEMIDLIST* parent = nullptr;
    EXPECT_EQ(GetParentIDList(reinterpret_cast<ITEMIDLIST*>(&list[0]), &parent), items > 1);
    if (items > 1) {
      EXPECT_EQ(list.substr(size, 2), string(2, '\0')) << items;
      EXPECT_EQ(string(reinterpret_cast<char*>(parent), size + 2), list.substr(0, size + 2));
      CoTaskMemFree(parent);
    }
  }
}

}  // namespace
