#include "app/link_action.h"

#include <stdio.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> launches;  // one line per shell launch with all its arguments
HANDLE processGiven;

std::string Q(const std::string& s) { return "[" + s + "]"; }
std::string Q(const char* s) { return s ? Q(std::string(s)) : "null"; }

// The bytes of an ID list without its last `drop` items, terminator included.
std::string ListBytes(const void* list, size_t drop = 0) {
  std::vector<std::string> items;
  for (const char* p = static_cast<const char*>(list); p[0] || p[1]; p += items.back().size())
    items.emplace_back(p, static_cast<BYTE>(p[0]) | static_cast<BYTE>(p[1]) << 8);
  std::string bytes;
  for (size_t i = 0; i + drop < items.size(); ++i) bytes += items[i];
  return bytes + std::string(2, '\0');
}

HINSTANCE WINAPI RecordExecute(HWND owner, LPCSTR op, LPCSTR file, LPCSTR parameters, LPCSTR dir, INT show) {
  launches.push_back(Q(owner ? "owner" : "") + Q(op) + Q(file) + Q(parameters) + Q(dir) + std::to_string(show));
  return reinterpret_cast<HINSTANCE>(42);
}

BOOL WINAPI RecordExecuteEx(SHELLEXECUTEINFOA* i) {
  bool restZero = !i->hwnd && !i->hInstApp && !i->lpClass && !i->hkeyClass && !i->dwHotKey && !i->hIcon;
  char head[32];
  snprintf(head, sizeof head, "%lu %lX%s", i->cbSize, i->fMask, restZero && !i->hProcess ? "" : " fields set");
  launches.push_back(head + Q(i->lpVerb) + Q(i->lpFile) + Q(i->lpParameters) + Q(i->lpDirectory) +
                     std::to_string(i->nShow) + (i->lpIDList ? ListBytes(i->lpIDList) : "null"));
  // A real handle, as the shell hands back, to see that it gets closed.
  processGiven = i->hProcess = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  return TRUE;
}

class LinkAction : public testing::Test {
protected:
  void SetUp() override {
    CoInitialize(nullptr);
    saved_ = shellLaunch;
    shellLaunch = {RecordExecute, RecordExecuteEx};
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    dir_ = std::string(temp) + "tarvo_link_" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
  }
  void TearDown() override {
    shellLaunch = saved_;
    std::string from = dir_.substr(0, dir_.size() - 1) + '\0';  // the list ends in two zeros
    SHFILEOPSTRUCTA op = {nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI,
                          0, nullptr, nullptr};
    SHFileOperationA(&op);
    CoUninitialize();
  }
  // A file with the given bytes, or a folder for a name that ends in '\' (returned without it).
  std::string Make(const std::string& name, const std::string& bytes = "") {
    std::string path = dir_ + name;
    if (name.back() == '\\') return CreateDirectoryA(path.c_str(), nullptr) ? path.substr(0, path.size() - 1) : "";
    FILE* f = fopen(path.c_str(), "wb");
    return f && fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size() && fclose(f) == 0 ? path : "";
  }
  // A real shortcut, made by the shell's link object, to a path or an ID list.
  std::string Shortcut(const std::string& name, const std::string& target, const ITEMIDLIST* list = nullptr) {
    wchar_t lnk[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, (dir_ + name).c_str(), -1, lnk, MAX_PATH);
    IShellLinkA* link = nullptr;
    IPersistFile* file = nullptr;
    CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link));
    EXPECT_EQ(S_OK, list ? link->SetIDList(list) : link->SetPath(target.c_str())) << target;
    link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
    EXPECT_EQ(S_OK, file->Save(lnk, TRUE)) << name;
    file->Release();
    link->Release();
    return dir_ + name;
  }
  std::string dir_;
  ShellLaunch saved_;
};

}  // namespace

// A file-system target opens its folder or selects it in quotes (Explorer splits
// at commas); a virtual item opens its parent item, or the desktop directory when
// it lies right below the desktop; a shortcut that cannot be read opens nothing.
TEST_F(LinkAction, EachShortcutOpensWhatItsModeAsksFor) {
  ITEMIDLIST *controls = nullptr, *drives = nullptr, *desktop = nullptr;
  ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &controls));
  ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives));
  ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, &desktop));
  char path[MAX_PATH + 1];
  ASSERT_FALSE(SHGetPathFromIDListA(controls, path));
  ASSERT_NE(2u, ListBytes(controls, 1).size());           // two levels deep at least
  ASSERT_EQ(std::string(2, '\0'), ListBytes(drives, 1));  // right below the desktop
  std::string soft = Make("\x83\x5C\x83\x74\x83\x67\\") + "\\", comma = Make("My Links, old\\") + "\\";  // ソフト
  std::string good = Shortcut("good.lnk", Make("a.txt")), tooLong = Make("d\\");
  while (tooLong.size() < 300) tooLong += "\\..\\d";  // good.lnk, but only beyond 260 characters
  tooLong += "\\..\\good.lnk";
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(std::wstring(tooLong.begin(), tooLong.end()).c_str()));
  // path: a file-system target; list: a virtual one's; neither: an unreadable shortcut.
  struct { std::string lnk, path = "", folder = "", list = ""; } targets[] = {
      {good, dir_ + "a.txt", dir_}, {Shortcut("\x95\x5C" "1.lnk", Make("Sub\\")), dir_ + "Sub", dir_},  // 表
      {Shortcut("2.lnk", "C:\\"), "C:\\", "C:\\"},
      {Shortcut("3.lnk", Make("My Links, old\\a b, c.txt")), comma + "a b, c.txt", comma},
      {Shortcut("4.lnk", Make(soft.substr(dir_.size()) + "\x95\x5C.txt")), soft + "\x95\x5C.txt", soft},  // 表
      {Shortcut("5.lnk", Make("gone.txt")), dir_ + "gone.txt", dir_},  // a missing target
      {Shortcut("6.lnk", "", controls), "", "", ListBytes(controls, 1)},
      {Shortcut("7.lnk", "", drives), "", "", ListBytes(desktop)},
      {dir_ + "missing.lnk"}, {Make("corrupt.lnk", std::string("L\0\0\0garbage", 11))}, {Make("empty.lnk")},
      {dir_ + "a.txt"}, {tooLong}, {good + "\x83"}};  // \x83: a lead byte without its second byte
  CoTaskMemFree(controls);
  CoTaskMemFree(drives);
  CoTaskMemFree(desktop);
  ASSERT_TRUE(DeleteFileA((dir_ + "gone.txt").c_str()));
  struct { const char* mode; bool select; const char* operation; const char* parameters; const char* verb; } cases[] = {
      {"0", false, "OPEN", nullptr, ""}, {"1", false, "explore", nullptr, "explore"},
      {"0", true, "OPEN", "/select,", ""}, {"1", true, "OPEN", "/e, /select,", "explore"},
      {"2", false, nullptr, nullptr, nullptr}, {"2", true, nullptr, nullptr, nullptr},
      {"", false, nullptr, nullptr, nullptr}, {"", true, nullptr, nullptr, nullptr},
      {"01", false, nullptr, nullptr, nullptr}};
  for (const auto& t : targets) {
    for (const auto& c : cases) {
      launches.clear();
      processGiven = nullptr;
      OpenShortcutTarget(t.lnk.c_str(), c.mode, c.select);
      std::vector<std::string> expected;
      std::string file = c.parameters ? "[explorer]" + Q(c.parameters + ("\"" + t.path + "\"")) : Q(t.folder) + "[]";
      if (!t.path.empty() && c.operation) expected.push_back("[]" + Q(c.operation) + file + "[]5");
      if (!t.list.empty()) expected.push_back("60 44C" + Q(c.verb) + "[][][]1" + t.list);
      EXPECT_EQ(expected, launches) << t.lnk << " mode [" << c.mode << "] select " << c.select;
      DWORD flags;
      EXPECT_FALSE(processGiven && GetHandleInformation(processGiven, &flags)) << "the shell's process handle is open";
    }
  }
}

// Hand-made lists: item i holds the byte 'a' + i; none past 259 items ends in a terminator.
TEST_F(LinkAction, ParentOfAnIDListIsAllButItsLastItemInShellMemory) {
  struct { std::vector<USHORT> sizes; int32_t parentSize; } cases[] = {
      {{}, 0}, {{5}, 0}, {{5, 7}, 5}, {{5, 7, 4}, 12}, {{3, 300, 3}, 303},
      {std::vector<USHORT>(260, 3), 259 * 3}, {std::vector<USHORT>(300, 4), 259 * 4}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.sizes.size()) + " items");
    std::string list;
    for (size_t i = 0; i < c.sizes.size(); ++i)
      list += std::string{char(c.sizes[i]), char(c.sizes[i] >> 8)} + std::string(c.sizes[i] - 2, char('a' + i % 26));
    if (c.sizes.size() < 260) list += std::string(2, '\0');
    std::string cut = list, copy = list;
    if (c.sizes.size() >= 2) cut[c.parentSize] = cut[c.parentSize + 1] = 0;
    EXPECT_EQ(c.parentSize, ParentIDListSize(reinterpret_cast<ITEMIDLIST*>(&copy[0])));
    EXPECT_EQ(cut, copy);
    ITEMIDLIST *whole = reinterpret_cast<ITEMIDLIST*>(&list[0]), *parent = nullptr;
    EXPECT_EQ(c.sizes.size() >= 2, GetParentIDList(whole, &parent));
    EXPECT_EQ(c.sizes.size() >= 2 ? cut.substr(0, c.parentSize + 2) : "itself",
              parent == whole ? "itself" : std::string(reinterpret_cast<char*>(parent), c.parentSize + 2));
    if (parent != whole) CoTaskMemFree(parent);
  }
  ITEMIDLIST* list = reinterpret_cast<ITEMIDLIST*>(1);
  EXPECT_FALSE(GetParentIDList(nullptr, &list));
  EXPECT_EQ(nullptr, list);
  void* dirty = CoTaskMemAlloc(64);  // a dirty free block, so that zeros have to be written
  memset(dirty, 0xCD, 64);
  CoTaskMemFree(dirty);
  IMalloc* allocator = nullptr;
  ASSERT_TRUE(AllocIDList(&list, 64) && SHGetMalloc(&allocator) == S_OK);
  EXPECT_EQ(std::string(64, '\0'), std::string(reinterpret_cast<char*>(list), 64));
  EXPECT_EQ(1, allocator->DidAlloc(list));
  allocator->Release();
  CoTaskMemFree(list);
}
