#include "app/link_action.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Launch {
  bool extended = false;
  // ShellExecuteA
  HWND owner = nullptr;
  std::string operation, file, parameters, directory;
  int show = -1;
  // ShellExecuteExA
  DWORD size = 0, mask = 0;
  bool verbIsNull = false;
  std::string verb;
  bool fileNull = true, parametersNull = true, directoryNull = true;
  std::string idList;  // the bytes of the list handed over, terminator included
  bool otherFieldsZero = false;
  HANDLE processGiven = nullptr;
};

std::vector<Launch> launches;

std::string OrNull(const char* s) { return s ? s : "<null>"; }

size_t IDListBytes(const ITEMIDLIST* list) {
  const BYTE* p = reinterpret_cast<const BYTE*>(list);
  size_t n = 0;
  for (;;) {
    USHORT cb;
    memcpy(&cb, p + n, 2);
    if (!cb) return n + 2;
    n += cb;
  }
}

int IDListItems(const ITEMIDLIST* list) {
  const BYTE* p = reinterpret_cast<const BYTE*>(list);
  int items = 0;
  for (USHORT cb; memcpy(&cb, p, 2), cb; p += cb) ++items;
  return items;
}

HINSTANCE WINAPI RecordExecute(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                               LPCSTR directory, INT show) {
  Launch l;
  l.owner = owner;
  l.operation = OrNull(operation);
  l.file = OrNull(file);
  l.parameters = OrNull(parameters);
  l.directory = OrNull(directory);
  l.show = show;
  launches.push_back(l);
  return reinterpret_cast<HINSTANCE>(42);
}

BOOL WINAPI RecordExecuteEx(SHELLEXECUTEINFOA* info) {
  Launch l;
  l.extended = true;
  l.size = info->cbSize;
  l.mask = info->fMask;
  l.owner = info->hwnd;
  l.verbIsNull = info->lpVerb == nullptr;
  l.verb = OrNull(info->lpVerb);
  l.fileNull = info->lpFile == nullptr;
  l.parametersNull = info->lpParameters == nullptr;
  l.directoryNull = info->lpDirectory == nullptr;
  l.file = OrNull(info->lpFile);
  l.parameters = OrNull(info->lpParameters);
  l.directory = OrNull(info->lpDirectory);
  l.show = info->nShow;
  if (info->lpIDList) {
    const ITEMIDLIST* list = static_cast<const ITEMIDLIST*>(info->lpIDList);
    l.idList.assign(reinterpret_cast<const char*>(list), IDListBytes(list));
  }
  l.otherFieldsZero = !info->hInstApp && !info->lpClass && !info->hkeyClass && !info->dwHotKey &&
                      !info->hIcon && !info->hProcess;
  // Hand back a real handle, as the shell does, to see that it gets closed.
  info->hProcess = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  l.processGiven = info->hProcess;
  launches.push_back(l);
  return TRUE;
}

std::wstring Wide(const std::string& s) {
  wchar_t buffer[1024];
  int n = MultiByteToWideChar(CP_ACP, 0, s.c_str(), -1, buffer, 1024);
  return n ? std::wstring(buffer) : std::wstring();
}

void SaveShortcut(const std::string& lnkPath, const char* targetPath, const ITEMIDLIST* list) {
  IShellLinkA* link = nullptr;
  ASSERT_EQ(S_OK, CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                   reinterpret_cast<void**>(&link)));
  if (list) {
    ASSERT_EQ(S_OK, link->SetIDList(list));
  } else {
    ASSERT_EQ(S_OK, link->SetPath(targetPath));
  }
  IPersistFile* file = nullptr;
  ASSERT_EQ(S_OK, link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)));
  ASSERT_EQ(S_OK, file->Save(Wide(lnkPath).c_str(), TRUE));
  file->Release();
  link->Release();
}

class LinkAction : public testing::Test {
protected:
  void SetUp() override {
    CoInitialize(nullptr);
    launches.clear();
    saved_ = shellLaunch;
    shellLaunch.execute = RecordExecute;
    shellLaunch.executeEx = RecordExecuteEx;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    dir_ = std::string(temp) + "tarvo_link_" + std::to_string(GetCurrentProcessId()) + "\\";
    ASSERT_TRUE(CreateDirectoryA(dir_.c_str(), nullptr));
  }

  void TearDown() override {
    shellLaunch = saved_;
    // The double terminator is what SHFileOperation wants.
    std::string from = dir_.substr(0, dir_.size() - 1) + '\0';
    SHFILEOPSTRUCTA op = {};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
    SHFileOperationA(&op);
    CoUninitialize();
  }

  std::string MakeFile(const std::string& relative) {
    std::string path = dir_ + relative;
    HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    EXPECT_NE(INVALID_HANDLE_VALUE, h) << path;
    CloseHandle(h);
    return path;
  }
  std::string MakeDir(const std::string& relative) {
    std::string path = dir_ + relative;
    EXPECT_TRUE(CreateDirectoryA(path.c_str(), nullptr)) << path;
    return path;
  }
  std::string Shortcut(const std::string& name, const std::string& target) {
    std::string lnk = dir_ + name;
    SaveShortcut(lnk, target.c_str(), nullptr);
    return lnk;
  }
  std::string Shortcut(const std::string& name, const ITEMIDLIST* list) {
    std::string lnk = dir_ + name;
    SaveShortcut(lnk, nullptr, list);
    return lnk;
  }

  std::string dir_;
  ShellLaunch saved_;
};

struct Target {
  std::string lnk;
  std::string path;    // P
  std::string folder;  // D
};

}  // namespace

TEST_F(LinkAction, FileSystemTargetsOpenTheirFolderOrSelectTheTarget) {
  std::vector<Target> targets;
  std::string file = MakeFile("a.txt");
  targets.push_back({Shortcut("file.lnk", file), file, dir_});
  std::string folder = MakeDir("Sub");
  targets.push_back({Shortcut("folder.lnk", folder), folder, dir_});
  targets.push_back({Shortcut("root.lnk", "C:\\"), "C:\\", "C:\\"});
  MakeDir("My Links, old");
  std::string comma = MakeFile("My Links, old\\a b, c.txt");
  targets.push_back({Shortcut("comma.lnk", comma), comma, dir_ + "My Links, old\\"});
  // ソフト\表.txt: both names have a 0x5C trail byte.
  std::string soft = MakeDir("\x83\x5C\x83\x74\x83\x67");
  std::string hyo = MakeFile("\x83\x5C\x83\x74\x83\x67\\\x95\x5C.txt");
  targets.push_back({Shortcut("\x95\x5C.lnk", hyo), hyo, soft + "\\"});
  std::string gone = MakeFile("gone.txt");
  targets.push_back({Shortcut("gone.lnk", gone), gone, dir_});
  ASSERT_TRUE(DeleteFileA(gone.c_str()));

  struct Case {
    const char* mode;
    bool select;
    const char* operation;  // null: no call
    bool fileIsFolder;
    const char* parameterPrefix;
  } cases[] = {
      {"0", false, "OPEN", true, nullptr},
      {"1", false, "explore", true, nullptr},
      {"0", true, "OPEN", false, "/select,"},
      {"1", true, "OPEN", false, "/e, /select,"},
      {"2", false, nullptr, false, nullptr},
      {"2", true, nullptr, false, nullptr},
      {"", false, nullptr, false, nullptr},
      {"", true, nullptr, false, nullptr},
      {"01", false, nullptr, false, nullptr},
  };
  for (const Target& t : targets) {
    for (const Case& c : cases) {
      launches.clear();
      OpenShortcutTarget(t.lnk.c_str(), c.mode, c.select);
      std::string where = t.lnk + " mode [" + c.mode + "] select " + (c.select ? "on" : "off");
      if (!c.operation) {
        EXPECT_TRUE(launches.empty()) << where;
        continue;
      }
      ASSERT_EQ(1u, launches.size()) << where;
      const Launch& l = launches[0];
      EXPECT_FALSE(l.extended) << where;
      EXPECT_EQ(nullptr, l.owner) << where;
      EXPECT_EQ(c.operation, l.operation) << where;
      if (c.fileIsFolder) {
        EXPECT_EQ(t.folder, l.file) << where;
        EXPECT_EQ("", l.parameters) << where;
      } else {
        EXPECT_EQ("explorer", l.file) << where;
        EXPECT_EQ(std::string(c.parameterPrefix) + "\"" + t.path + "\"", l.parameters) << where;
      }
      EXPECT_EQ("", l.directory) << where;
      EXPECT_EQ(SW_SHOW, l.show) << where;
    }
  }
}

TEST_F(LinkAction, VirtualItemOpensItsParentItem) {
  ITEMIDLIST* controls = nullptr;
  ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_CONTROLS, &controls));
  char path[MAX_PATH + 1];
  ASSERT_FALSE(SHGetPathFromIDListA(controls, path));
  ASSERT_GE(IDListItems(controls), 2);
  std::string whole(reinterpret_cast<const char*>(controls), IDListBytes(controls));
  std::string lnk = Shortcut("controls.lnk", controls);
  // All items but the last, then a fresh terminator.
  size_t lastItem = 0;
  for (size_t at = 0; whole[at] || whole[at + 1];) {
    USHORT cb;
    memcpy(&cb, whole.data() + at, 2);
    lastItem = at;
    at += cb;
  }
  std::string parent = whole.substr(0, lastItem) + std::string(2, '\0');
  CoTaskMemFree(controls);

  struct Case {
    const char* mode;
    bool select;
    const char* verb;  // null: a null verb
  } cases[] = {
      {"0", false, ""}, {"0", true, ""},       {"1", false, "explore"}, {"1", true, "explore"},
      {"2", true, nullptr}, {"", false, nullptr},
  };
  for (const Case& c : cases) {
    launches.clear();
    OpenShortcutTarget(lnk.c_str(), c.mode, c.select);
    std::string where = std::string("mode [") + c.mode + "]";
    ASSERT_EQ(1u, launches.size()) << where;
    const Launch& l = launches[0];
    EXPECT_TRUE(l.extended) << where;
    EXPECT_EQ(60u, l.size) << where;
    EXPECT_EQ(0x44Cu, l.mask) << where;
    EXPECT_EQ(nullptr, l.owner) << where;
    EXPECT_EQ(c.verb == nullptr, l.verbIsNull) << where;
    if (c.verb) {
      EXPECT_EQ(c.verb, l.verb) << where;
    }
    EXPECT_FALSE(l.fileNull || l.parametersNull || l.directoryNull) << where;
    EXPECT_EQ("", l.file + l.parameters + l.directory) << where;
    EXPECT_EQ(SW_SHOWNORMAL, l.show) << where;
    EXPECT_TRUE(l.otherFieldsZero) << where;
    EXPECT_EQ(parent, l.idList) << where;
    // The process handle the shell hands back must not be left open.
    DWORD flags;
    EXPECT_FALSE(GetHandleInformation(l.processGiven, &flags)) << where;
  }
}

TEST_F(LinkAction, ItemDirectlyBelowTheDesktopOpensTheDesktopDirectory) {
  ITEMIDLIST* drives = nullptr;
  ASSERT_EQ(S_OK, SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &drives));
  ASSERT_EQ(1, IDListItems(drives));
  std::string lnk = Shortcut("drives.lnk", drives);
  CoTaskMemFree(drives);
  char desktop[MAX_PATH + 1];
  ASSERT_EQ(S_OK, SHGetFolderPathA(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop));

  OpenShortcutTarget(lnk.c_str(), "1", false);
  ASSERT_EQ(1u, launches.size());
  const Launch& l = launches[0];
  EXPECT_TRUE(l.extended);
  EXPECT_EQ("explore", l.verb);
  char opened[MAX_PATH + 1] = "";
  ASSERT_FALSE(l.idList.empty());
  EXPECT_TRUE(SHGetPathFromIDListA(reinterpret_cast<const ITEMIDLIST*>(l.idList.data()), opened));
  EXPECT_STREQ(desktop, opened);
}

// None of these names a shortcut the action can read, so none may open anything
// (the desktop directory least of all).
TEST_F(LinkAction, UnreadableShortcutsOpenNothing) {
  std::string file = MakeFile("a.txt");
  Shortcut("good.lnk", file);
  std::string corrupt = MakeFile("corrupt.lnk");
  HANDLE h = CreateFileA(corrupt.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written;
  WriteFile(h, "L\0\0\0garbage, not a link", 24, &written, nullptr);
  CloseHandle(h);
  std::string empty = MakeFile("empty.lnk");
  std::string notLink = MakeFile("a.txt");
  // Names good.lnk, but only when read beyond the 260 characters that fit.
  MakeDir("d");
  std::string longPath = dir_;
  while (longPath.size() < 300) longPath += "d\\..\\";
  longPath += "good.lnk";
  std::wstring wideLongPath(longPath.size() + 1, L'\0');
  MultiByteToWideChar(CP_ACP, 0, longPath.c_str(), -1, &wideLongPath[0], longPath.size() + 1);
  ASSERT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(wideLongPath.c_str()));

  const std::string paths[] = {
      dir_ + "missing.lnk", corrupt, empty, notLink, longPath,
      dir_ + "good.lnk\x83",  // a lead byte with no second byte is no valid text
  };
  for (const std::string& p : paths) {
    for (const char* mode : {"0", "1", "2"}) {
      for (bool select : {false, true}) {
        launches.clear();
        OpenShortcutTarget(p.c_str(), mode, select);
        EXPECT_TRUE(launches.empty()) << p << " mode " << mode << " select " << select;
      }
    }
  }
  // The same action does open the shortcut when it is named properly.
  OpenShortcutTarget((dir_ + "good.lnk").c_str(), "0", false);
  ASSERT_EQ(1u, launches.size());
  EXPECT_EQ(dir_, launches[0].file);
}

namespace {

// A list of items whose sizes are given; item i is filled with byte 'a' + i.
std::vector<BYTE> HandMadeList(const std::vector<USHORT>& sizes, bool terminate = true) {
  std::vector<BYTE> bytes;
  for (size_t i = 0; i < sizes.size(); ++i) {
    bytes.push_back(sizes[i] & 0xFF);
    bytes.push_back(sizes[i] >> 8);
    bytes.insert(bytes.end(), sizes[i] - 2, static_cast<BYTE>('a' + i % 26));
  }
  if (terminate) bytes.insert(bytes.end(), {0, 0});
  return bytes;
}

ITEMIDLIST* AsList(std::vector<BYTE>& bytes) { return reinterpret_cast<ITEMIDLIST*>(bytes.data()); }

}  // namespace

TEST(IDLists, ParentSizeCutsBeforeTheLastItem) {
  struct Case {
    std::vector<USHORT> sizes;
    int32_t expected;
  } cases[] = {
      {{}, 0}, {{5}, 0}, {{5, 7}, 5}, {{5, 7, 4}, 12}, {{3, 300, 3}, 303},
  };
  for (const Case& c : cases) {
    std::vector<BYTE> bytes = HandMadeList(c.sizes);
    std::vector<BYTE> before = bytes;
    EXPECT_EQ(c.expected, ParentIDListSize(AsList(bytes))) << c.sizes.size() << " items";
    if (c.sizes.size() >= 2) {
      // Cut: a zero size where the last item began, everything else untouched.
      before[c.expected] = before[c.expected + 1] = 0;
    }
    EXPECT_EQ(before, bytes) << c.sizes.size() << " items";
  }
}

TEST(IDLists, ParentSizeLooksAtNoMoreThan260Items) {
  for (size_t count : {260u, 300u}) {
    // Without a terminator: the walk must stop at the limit on its own.
    std::vector<BYTE> bytes = HandMadeList(std::vector<USHORT>(count, 3), false);
    std::vector<BYTE> before = bytes;
    EXPECT_EQ(259 * 3, ParentIDListSize(AsList(bytes))) << count;
    before[259 * 3] = before[259 * 3 + 1] = 0;
    EXPECT_EQ(before, bytes) << count;
  }
}

TEST(IDLists, GetParentIDListCopiesAllButTheLastItem) {
  CoInitialize(nullptr);
  struct Case {
    std::vector<USHORT> sizes;
    bool expected;
    size_t parentBytes;  // without terminator
  } cases[] = {
      {{}, false, 0}, {{5}, false, 0}, {{5, 7}, true, 5}, {{5, 7, 4}, true, 12},
      {std::vector<USHORT>(300, 4), true, 259 * 4},
  };
  for (const Case& c : cases) {
    std::vector<BYTE> bytes = HandMadeList(c.sizes);
    std::vector<BYTE> whole = bytes;
    ITEMIDLIST* parent = reinterpret_cast<ITEMIDLIST*>(1);
    EXPECT_EQ(c.expected, GetParentIDList(AsList(bytes), &parent)) << c.sizes.size();
    if (!c.expected) {
      EXPECT_EQ(AsList(bytes), parent) << c.sizes.size();
      continue;
    }
    ASSERT_NE(nullptr, parent);
    ASSERT_NE(AsList(bytes), parent);
    std::vector<BYTE> expected(whole.begin(), whole.begin() + c.parentBytes);
    expected.insert(expected.end(), {0, 0});
    const BYTE* got = reinterpret_cast<const BYTE*>(parent);
    EXPECT_EQ(expected, std::vector<BYTE>(got, got + c.parentBytes + 2)) << c.sizes.size();
    CoTaskMemFree(parent);
  }
  ITEMIDLIST* parent = reinterpret_cast<ITEMIDLIST*>(1);
  EXPECT_FALSE(GetParentIDList(nullptr, &parent));
  EXPECT_EQ(nullptr, parent);
  CoUninitialize();
}

TEST(IDLists, AllocIDListGivesZeroedShellMemory) {
  CoInitialize(nullptr);
  // Dirty the allocator's free blocks first, so that zeros have to be written.
  void* dirty = CoTaskMemAlloc(64);
  memset(dirty, 0xCD, 64);
  CoTaskMemFree(dirty);
  ITEMIDLIST* list = reinterpret_cast<ITEMIDLIST*>(1);
  ASSERT_TRUE(AllocIDList(&list, 64));
  ASSERT_NE(nullptr, list);
  EXPECT_EQ(std::vector<BYTE>(64, 0),
            std::vector<BYTE>(reinterpret_cast<BYTE*>(list), reinterpret_cast<BYTE*>(list) + 64));
  IMalloc* allocator = nullptr;
  ASSERT_EQ(S_OK, SHGetMalloc(&allocator));
  EXPECT_EQ(1, allocator->DidAlloc(list));
  allocator->Release();
  CoTaskMemFree(list);
  CoUninitialize();
}
