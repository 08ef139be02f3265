#include "app/link_action.h"

#include <stdlib.h>
#include <string.h>

#include "app/owned.h"
#include "app/texts.h"
#include "support/command_line.h"
#include "support/link_check.h"
#include "support/strings.h"

ShellLaunch shellLaunch = {ShellExecuteExA, ShellExecuteExW};

namespace {

const char kModeNormal[] = "0";
const char kModeExplore[] = "1";
const char kOperationExplore[] = "explore";
const UINT kRuntimeErrorExitCode = 227;
// Lets the shell search for a moved target (and show its dialog while it does).
const DWORD kResolveFlags = 0x80;  // SLR_INVOKE_MSI
const int kMaxIDListItems = 260;
// The system cuts longer paths to this length: such a path names something else.
const size_t kCutPathLength = MAX_PATH - 1;

class ComApartment {
public:
  ComApartment() { CoInitialize(nullptr); }  // failure is harmless: the calls below then fail
  ~ComApartment() { CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

void FreeIDList(ITEMIDLIST* p) { CoTaskMemFree(p); }
using OwnedIDList = Owned<ITEMIDLIST, FreeIDList>;

bool SameText(const char* a, const char* b) { return strcmp(a, b) == 0; }

// "::{CLSID}" is how some shells spell an item without a file-system path.
bool IsFileSystemPath(const wchar_t* path) { return path[0] && !(path[0] == L':' && path[1] == L':'); }

bool Exists(const wchar_t* path) { return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES; }

// Callers rely on this ending: an "Error" box, then exit code 227.
[[noreturn]] void FailRuntimeCheck(const void* codeAddress) {
  // The whole address: 8 digits in the 32-bit program, 16 in the 64-bit one.
  const int kDigits = 2 * sizeof(uintptr_t);
  char digits[kDigits + 1];
  uintptr_t value = reinterpret_cast<uintptr_t>(codeAddress);
  for (int i = kDigits - 1; i >= 0; --i) {
    digits[i] = "0123456789ABCDEF"[value & 0xF];
    value >>= 4;
  }
  digits[kDigits] = 0;
  const char* pieces[] = {kRuntimeErrorText, digits};
  MessageBoxA(nullptr, ByteString::Join(pieces).c_str(), kRuntimeErrorCaption, MB_OK);
  ExitProcess(kRuntimeErrorExitCode);
}

// The system's own explorer.exe, named in full: a bare "explorer" is looked up
// in the program's folder and the current one (the shortcut's, when Explorer
// starts a verb) before the system's, so a download that brings a shortcut and
// an explorer.exe would run its own.
void ExplorerPath(wchar_t* path) {
  UINT length = GetWindowsDirectoryW(path, MAX_PATH);
  if (length == 0 || length >= MAX_PATH - 16) {
    path[0] = 0;
    return;
  }
  lstrcatW(path, path[length - 1] == L'\\' ? L"explorer.exe" : L"\\explorer.exe");
}

// Every launch is waited for (SEE_MASK_NOASYNC): the process ends right after
// it, and a launch still under way could end with it. Results are ignored on
// purpose: the program has nobody to tell.
template <typename Info, typename Char>
void Execute(BOOL(WINAPI* execute)(Info*), const Char* operation, const Char* file,
             const Char* parameters) {
  static const Char kEmpty[1] = {};
  Info info;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = operation;
  info.lpFile = file;
  info.lpParameters = parameters;
  info.lpDirectory = kEmpty;
  info.nShow = SW_SHOW;
  execute(&info);
}

// The ANSI form when the system's code page spells every character, byte for
// byte what a program that knows only that code page would pass; the wide form
// otherwise.
void Launch(const wchar_t* operation, const wchar_t* file, const wchar_t* parameters) {
  ByteString ansiOperation;
  ByteString ansiFile;
  ByteString ansiParameters;
  if (ToAnsiExact(operation, &ansiOperation) && ToAnsiExact(file, &ansiFile) &&
      ToAnsiExact(parameters, &ansiParameters)) {
    Execute(shellLaunch.executeEx, ansiOperation.c_str(), ansiFile.c_str(), ansiParameters.c_str());
  } else {
    Execute(shellLaunch.executeExW, operation, file, parameters);
  }
}

bool IsFolder(const wchar_t* path) {
  DWORD attributes = GetFileAttributesW(path);
  return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void OpenFileSystemTarget(const wchar_t* targetPath, bool explore, bool select) {
  size_t length = wcslen(targetPath);
  // A cut path or one with control characters (a damaged ID list) names
  // something other than the target.
  if (length >= kCutPathLength) return;
  for (size_t i = 0; i < length; ++i) {
    if (targetPath[i] < 0x20) return;
  }
  // Explorer asked to select what is not there opens some unrelated folder:
  // open the folder that would hold it instead.
  if (select && !Exists(targetPath)) select = false;
  if (select) {
    wchar_t explorer[MAX_PATH];
    ExplorerPath(explorer);
    if (!explorer[0]) return;
    // Explorer splits its command line at commas: a bare path with a comma
    // would select the wrong thing, so the path goes in quotes.
    wchar_t parameters[MAX_PATH + 16];
    lstrcpyW(parameters, explore ? L"/e, /select,\"" : L"/select,\"");
    lstrcatW(parameters, targetPath);
    lstrcatW(parameters, L"\"");
    Launch(L"OPEN", explorer, parameters);
    return;
  }
  // The folder part is cut at the last '\' or ':', so a stream's path
  // (C:\dir\a.exe:s) gives the file itself (C:\dir\a.exe:), and "OPEN" on a
  // file runs it: only an existing folder is opened.
  wchar_t folder[MAX_PATH];
  lstrcpyW(folder, targetPath);
  size_t cut = length;
  while (cut > 0 && folder[cut - 1] != L'\\' && folder[cut - 1] != L':') --cut;
  folder[cut] = 0;
  if (!IsFolder(folder)) return;
  Launch(explore ? L"explore" : L"OPEN", folder, L"");
}

// Only what the shell counts as a folder is opened: a crafted list can put an
// item of any kind below a program, and the default verb would run the parent,
// the program.
bool IsFolderItem(ITEMIDLIST* item) {
  SHFILEINFOW info;
  memset(&info, 0, sizeof info);
  return SHGetFileInfoW(reinterpret_cast<LPCWSTR>(item), 0, &info, sizeof info,
                        SHGFI_PIDL | SHGFI_ATTRIBUTES) &&
         (info.dwAttributes & SFGAO_FOLDER);
}

void OpenParentItem(ITEMIDLIST* target, bool explore) {
  OwnedIDList parent;
  if (!GetParentIDList(target, parent.out())) {
    // A false answer leaves the target itself (or null) in the output; it is not ours.
    *parent.out() = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, parent.out());
  }
  if (!parent.get() || !IsFolderItem(parent.get())) return;

  SHELLEXECUTEINFOA info;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  info.fMask =
      SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = explore ? kOperationExplore : "";
  info.lpFile = "";
  info.lpParameters = "";
  info.lpDirectory = "";
  info.nShow = SW_SHOWNORMAL;
  info.lpIDList = parent.get();
  shellLaunch.executeEx(&info);
  if (info.hProcess) CloseHandle(info.hProcess);
}

// The link's own path data, environment block expanded; empty when it has none.
void GetLinkPath(IShellLinkA* link, wchar_t* path) {
  path[0] = 0;
  ComRef<IShellLinkW> wide;
  link->QueryInterface(IID_IShellLinkW, Out(&wide));
  if (wide.get() && wide->GetPath(path, MAX_PATH, nullptr, 0) != S_OK) path[0] = 0;
}

// True when path lies inside folder (a folder above it, not itself).
bool IsBelow(const wchar_t* folder, const wchar_t* path) {
  size_t n = wcslen(folder);
  return n > 0 && n < wcslen(path) && _wcsnicmp(folder, path, n) == 0 &&
         (folder[n - 1] == L'\\' || path[n] == L'\\');
}

// Opens what the loaded link points to. The ID list is the exact answer; the
// link's own path data stands in when the list is missing, and when the list
// is damaged or misread: its path names nothing, only a folder above the
// target the path data names (a list that ends early), or it is empty, the
// desktop itself (a list cut to its terminator).
void OpenLinkedItem(IShellLinkA* link, bool explore, bool select) {
  link->Resolve(nullptr, kResolveFlags);  // a link that stays unresolved is used as it stands
  OwnedIDList target;
  link->GetIDList(target.out());
  wchar_t path[MAX_PATH] = {};
  bool hasPath = target.get() && SHGetPathFromIDListW(target.get(), path) && IsFileSystemPath(path);
  bool isDesktop = target.get() && target->mkid.cb == 0;
  wchar_t linkPath[MAX_PATH];
  GetLinkPath(link, linkPath);
  bool linkPathUsable = IsFileSystemPath(linkPath) && (!target.get() || Exists(linkPath));
  if (linkPathUsable && (!hasPath || isDesktop || !Exists(path) || IsBelow(path, linkPath))) {
    lstrcpyW(path, linkPath);
    hasPath = true;
  }
  if (hasPath) {
    OpenFileSystemTarget(path, explore, select);
  } else if (target.get()) {
    OpenParentItem(target.get(), explore);
  }
}

void CloseFile(void* file) { CloseHandle(file); }
using OwnedFile = Owned<void, CloseFile>;
void FreeBlock(uint8_t* block) { free(block); }
using OwnedBlock = Owned<uint8_t, FreeBlock>;

// Reads the shortcut file whole and checks it before the shell's loader, which
// reads past its buffers on some damaged files, sees it. The file stays open
// until the loader is done, shared for reading only, so that it cannot be
// changed, moved or deleted in between. The loader reads it by path, not from
// the checked bytes in memory: only a load from a file resolves a shortcut's
// relative path against the shortcut's own folder.
bool LoadCheckedLink(IPersistFile* loader, const wchar_t* shortcutPath) {
  OwnedFile file;
  *file.out() = CreateFileW(shortcutPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0,
                            nullptr);
  if (file.get() == INVALID_HANDLE_VALUE) *file.out() = nullptr;
  LARGE_INTEGER size;
  if (!file.get() || !GetFileSizeEx(file.get(), &size) ||
      size.QuadPart > LONGLONG(kMaxLinkFileSize))
    return false;
  OwnedBlock bytes;
  *bytes.out() = static_cast<uint8_t*>(AllocZeroed(size_t(size.QuadPart) + 1));
  DWORD read = 0;
  return ReadFile(file.get(), bytes.get(), DWORD(size.QuadPart), &read, nullptr) &&
         LinkFileHoldsTogether(bytes.get(), read) &&
         SUCCEEDED(loader->Load(shortcutPath, STGM_READ));
}

void OpenLoaded(const wchar_t* shortcutPath, const char* mode, bool select) {
  bool explore = SameText(mode, kModeExplore);
  // Any other mode names no verb of the program's own: nothing to open.
  if (!explore && !SameText(mode, kModeNormal)) return;
  ComApartment apartment;
  ComRef<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              Out(&link))))
    return;
  ComRef<IPersistFile> file;
  link->QueryInterface(IID_IPersistFile, Out(&file));
  if (!file.get()) FailRuntimeCheck(__builtin_return_address(0));
  // A shortcut that cannot be loaded, or does not hold together, has nothing to
  // do with the desktop; open nothing.
  if (!LoadCheckedLink(file.get(), shortcutPath)) return;
  OpenLinkedItem(link.get(), explore, select);
}

}  // namespace

void OpenShortcutTarget(const char* shortcutPath, const char* mode, bool select) {
  // A path that is too long or not valid in the code page must not reach Load as a
  // cut or stale buffer; such a shortcut opens nothing.
  wchar_t widePath[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, shortcutPath, -1, widePath, MAX_PATH) == 0)
    return;
  OpenLoaded(widePath, mode, select);
}

void OpenShortcutTargetW(const wchar_t* shortcutPath, const char* mode, bool select) {
  OpenLoaded(shortcutPath, mode, select);
}

int32_t ParentIDListSize(ITEMIDLIST* list) {
  BYTE* bytes = reinterpret_cast<BYTE*>(list);
  int count = 0;
  uint32_t offset = 0;
  // Stops at the item limit even without a terminator, so a broken list cannot
  // send the walk on forever.
  while (count < kMaxIDListItems) {
    USHORT itemSize;
    memcpy(&itemSize, bytes + offset, sizeof itemSize);
    if (itemSize == 0) break;
    offset += itemSize;
    ++count;
  }
  if (count == 1) return 0;

  int32_t size = 0;
  for (int i = 0; i < count - 1; ++i) {
    USHORT itemSize;
    memcpy(&itemSize, bytes + size, sizeof itemSize);
    size += itemSize;
  }
  const USHORT terminator = 0;
  memcpy(bytes + size, &terminator, sizeof terminator);
  return size;
}

bool GetParentIDList(ITEMIDLIST* list, ITEMIDLIST** parent) {
  *parent = list;
  if (!list) return false;
  uint32_t size = static_cast<uint32_t>(ParentIDListSize(list)) + 2;
  // No item or a single one: the item lies directly below the desktop.
  if (size == 2) return false;
  if (!AllocIDList(parent, size)) return false;
  memcpy(*parent, list, size);
  return true;
}

bool AllocIDList(ITEMIDLIST** list, uint32_t size) {
  *list = nullptr;
  ComRef<IMalloc> allocator;
  if (FAILED(SHGetMalloc(allocator.out()))) return false;
  *list = static_cast<ITEMIDLIST*>(allocator->Alloc(size));
  if (!*list) return false;
  memset(*list, 0, size);
  return true;
}
