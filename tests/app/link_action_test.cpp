// What the real program's folder windows cannot show: which operation each
// mode asks for, and the parent item of a shortcut to a virtual item.
#include "app/link_action.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using std::string;

std::vector<string> launches;  // one line per shell launch

string Q(const char* s) {
  return s ? "[" + string(s) + "]" : "null";
}

// The bytes of an ID list without its last `drop` items, terminator included.
string ListBytes(const void* list, size_t drop = 0) {
  std::vector<string> items;
  for (const char* p = static_cast<const char*>(list); p[0] || p[1]; p += items.back().size()) {
    items.emplace_back(p, BYTE(p[0]) | BYTE(p[1]) << 8);
  }
  string bytes;
  for (size_t i = 0; i + drop < items.size(); ++i) {
    bytes += items[i];
  }
  return bytes + string(2, '\0');
}

HINSTANCE WINAPI RecordExecute(HWND, LPCSTR operation, LPCSTR file, LPCSTR parameters, LPCSTR, INT) {
  launches.push_back(Q(operation) + Q(file) + Q(parameters));
  return nullptr;
}

BOOL WINAPI RecordExecuteEx(SHELLEXECUTEINFOA* info) {
  launches.push_back(std::to_string(info->fMask) + Q(info->lpVerb) + ListBytes(info->lpIDList));
  // A real handle, as the shell hands back: the program must close it.
  info->hProcess = CreateEventA(nullptr, TRUE, FALSE, "TarvoTestProcess");
  return TRUE;
}

string MakeShortcut(const string& name, const char* target, const ITEMIDLIST* list = nullptr) {
  char temp[MAX_PATH];
  GetTempPathA(MAX_PATH, temp);
  string path = temp + name;
  wchar_t wide[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, path.c_str(), -1, wide, MAX_PATH);
  IShellLinkA* link = nullptr;
  IPersistFile* file = nullptr;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link));
  if (list) link->SetIDList(list);
  if (target) link->SetPath(target);
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  EXPECT_EQ(file->Save(wide, TRUE), S_OK);
  file->Release();
  link->Release();
  return path;
}

// An ID list that names the file C:\d\...\d\e.txt, 140 folders deep: its path
// is longer than the system will give out.
string DeepList() {
  IShellLinkA* link = nullptr;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link));
  link->SetPath("C:\\d\\e.txt");
  ITEMIDLIST* list = nullptr;
  link->GetIDList(&list);
  link->Release();
  const string all = ListBytes(list);
  const string withoutFile = ListBytes(list, 1);
  const string drive = ListBytes(list, 2);
  CoTaskMemFree(list);
  string deep = drive.substr(0, drive.size() - 2);
  for (int i = 0; i < 140; ++i) {
    deep += withoutFile.substr(drive.size() - 2, withoutFile.size() - drive.size());
  }
  return deep + all.substr(withoutFile.size() - 2);
}

TEST(LinkAction, EachModeAsksForItsOperationAndAVirtualItemOpensItsParent) {
  CoInitialize(nullptr);
  shellLaunch.execute = RecordExecute;
  shellLaunch.executeEx = RecordExecuteEx;
  ITEMIDLIST* controls = nullptr;
  ITEMIDLIST* drives = nullptr;
  ITEMIDLIST* desktop = nullptr;
  SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &controls);
  SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives);
  SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &desktop);
  const string file = MakeShortcut("tarvo file.lnk", "C:\\windows\\win.ini");
  const string deep = MakeShortcut("tarvo deep.lnk", nullptr, controls);
  const string below = MakeShortcut("tarvo below.lnk", nullptr, drives);
  const string control = MakeShortcut("tarvo control.lnk", "C:\\a\x01b\\t.txt");
  const string deepList = DeepList();
  const string cut = MakeShortcut("tarvo cut.lnk", nullptr, reinterpret_cast<const ITEMIDLIST*>(deepList.data()));
  const string ex = std::to_string(SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI);
  const struct {
    string shortcut;
    const char* mode;
    bool select;
    std::vector<string> launches;
  } cases[] = {
      {file, "0", false, {"[OPEN][C:\\windows\\][]"}},
      {file, "1", false, {"[explore][C:\\windows\\][]"}},
      {file, "1", true, {"[OPEN][explorer][/e, /select,\"C:\\windows\\win.ini\"]"}},
      // A virtual item opens its parent item; right below the desktop, the desktop folder.
      {deep, "0", true, {ex + "[]" + ListBytes(controls, 1)}},
      {below, "1", false, {ex + "[explore]" + ListBytes(desktop)}},
      // Any other mode names no verb: nothing, whatever the target.
      {deep, "2", false, {}},
      // A path with control characters, or one cut by the system, names something else.
      {control, "0", false, {}},
      {cut, "1", false, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.shortcut + " mode " + c.mode);
    launches.clear();
    OpenShortcutTarget(c.shortcut.c_str(), c.mode, c.select);
    EXPECT_EQ(launches, c.launches);
    HANDLE process = OpenEventA(SYNCHRONIZE, FALSE, "TarvoTestProcess");
    EXPECT_FALSE(process) << "the shell's process handle is left open";
    CloseHandle(process);
  }
  CoTaskMemFree(controls);
  CoTaskMemFree(drives);
  CoTaskMemFree(desktop);
  CoUninitialize();
}

// Hand-made lists: the walk stops after 260 items even without a terminator.
TEST(LinkAction, ParentOfAnIDListIsAllButItsLastItemInShellMemory) {
  const struct {
    size_t items;
    int32_t parentSize;
  } cases[] = {{0, 0}, {1, 0}, {2, 5}, {3, 10}, {260, 259 * 5}, {300, 259 * 5}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.items) + " items");
    string list;
    for (size_t i = 0; i < c.items; ++i) {
      list += string{5, 0} + string(3, char('a' + i % 26));
    }
    list += string(2, '\0');
    string cut = list;
    if (c.items >= 2) {
      cut[c.parentSize] = 0;
      cut[c.parentSize + 1] = 0;
    }
    string copy = list;
    EXPECT_EQ(ParentIDListSize(reinterpret_cast<ITEMIDLIST*>(&copy[0])), c.parentSize);
    EXPECT_EQ(copy, cut);
    ITEMIDLIST* whole = reinterpret_cast<ITEMIDLIST*>(&list[0]);
    ITEMIDLIST* parent = nullptr;
    EXPECT_EQ(GetParentIDList(whole, &parent), c.items >= 2);
    if (parent == whole) continue;
    EXPECT_EQ(string(reinterpret_cast<char*>(parent), c.parentSize + 2), cut.substr(0, c.parentSize + 2));
    CoTaskMemFree(parent);
  }
}

}  // namespace
