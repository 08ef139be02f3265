#include "app/link_action.h"

#include <string.h>

#include "support/paths.h"
#include "support/strings.h"

ShellLaunch shellLaunch = {ShellExecuteA, ShellExecuteExA};

namespace {

const char kModeNormal[] = "0";
const char kModeExplore[] = "1";
const char kOperationOpen[] = "OPEN";
const char kOperationExplore[] = "explore";
const char kExplorer[] = "explorer";
const char kSelectParameter[] = "/select,";
const char kExploreSelectParameter[] = "/e, /select,";
const char kRuntimeErrorText[] = "Runtime error 227 at ";
const char kRuntimeErrorCaption[] = "Error";
const UINT kRuntimeErrorExitCode = 227;
// Lets the shell search for a moved target (and show its dialog while it does).
const DWORD kResolveFlags = 0x80;  // SLR_INVOKE_MSI
const int kMaxIDListItems = 260;

class ComApartment {
public:
  ComApartment() { CoInitialize(nullptr); }  // failure is harmless: the calls below then fail
  ~ComApartment() { CoUninitialize(); }
  ComApartment(const ComApartment&) = delete;
  ComApartment& operator=(const ComApartment&) = delete;
};

template <typename T>
class ComRef {
public:
  ComRef() = default;
  ~ComRef() {
    if (p_) p_->Release();
  }
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  void** out() { return reinterpret_cast<void**>(&p_); }
  T* operator->() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

private:
  T* p_ = nullptr;
};

class OwnedIDList {
public:
  OwnedIDList() = default;
  ~OwnedIDList() { CoTaskMemFree(p_); }
  OwnedIDList(const OwnedIDList&) = delete;
  OwnedIDList& operator=(const OwnedIDList&) = delete;
  ITEMIDLIST** out() { return &p_; }
  ITEMIDLIST* get() const { return p_; }

private:
  ITEMIDLIST* p_ = nullptr;
};

bool SameText(const char* a, const char* b) { return strcmp(a, b) == 0; }

// What the language runtime of the first version did when the link object had no
// IPersistFile; kept because it is part of how the program ends.
[[noreturn]] void FailRuntimeCheck(const void* codeAddress) {
  // The whole address: 8 digits in the 32-bit program, 16 in the 64-bit one.
  const int kDigits = 2 * sizeof(uintptr_t);
  char text[sizeof kRuntimeErrorText + kDigits];
  CopyZ(text, kRuntimeErrorText);
  uintptr_t value = reinterpret_cast<uintptr_t>(codeAddress);
  char* digits = text + sizeof kRuntimeErrorText - 1;
  for (int i = kDigits - 1; i >= 0; --i) {
    digits[i] = "0123456789ABCDEF"[value & 0xF];
    value >>= 4;
  }
  digits[kDigits] = 0;
  MessageBoxA(nullptr, text, kRuntimeErrorCaption, MB_OK);
  ExitProcess(kRuntimeErrorExitCode);
}

void OpenFileSystemTarget(const char* targetPath, const char* mode, bool select) {
  bool normal = SameText(mode, kModeNormal);
  bool explore = SameText(mode, kModeExplore);
  if (!normal && !explore) return;
  // Results are ignored on purpose: the program has nobody to tell.
  if (!select) {
    ByteString folder = PathFolderPart(targetPath);
    shellLaunch.execute(nullptr, explore ? kOperationExplore : kOperationOpen, folder.c_str(), "",
                        "", SW_SHOW);
    return;
  }
  // Explorer splits its command line at commas: a bare path with a comma would
  // select the wrong thing, so the path goes in quotes.
  const char* pieces[] = {explore ? kExploreSelectParameter : kSelectParameter, "\"", targetPath,
                          "\""};
  ByteString parameters = ByteString::Join(pieces, 4);
  shellLaunch.execute(nullptr, kOperationOpen, kExplorer, parameters.c_str(), "", SW_SHOW);
}

void OpenParentItem(ITEMIDLIST* target, const char* mode) {
  OwnedIDList parent;
  if (!GetParentIDList(target, parent.out())) {
    // A false answer leaves the target itself (or null) in the output; it is not ours.
    *parent.out() = nullptr;
    SHGetSpecialFolderLocation(nullptr, CSIDL_DESKTOPDIRECTORY, parent.out());
  }
  if (!parent.get()) return;

  SHELLEXECUTEINFOA info;
  memset(&info, 0, sizeof info);
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_INVOKEIDLIST | SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
  if (SameText(mode, kModeNormal)) {
    info.lpVerb = "";
  } else if (SameText(mode, kModeExplore)) {
    info.lpVerb = kOperationExplore;
  }
  info.lpFile = "";
  info.lpParameters = "";
  info.lpDirectory = "";
  info.nShow = SW_SHOWNORMAL;
  info.lpIDList = parent.get();
  shellLaunch.executeEx(&info);
  if (info.hProcess) CloseHandle(info.hProcess);
}

}  // namespace

void OpenShortcutTarget(const char* shortcutPath, const char* mode, bool select) {
  ComApartment apartment;
  ComRef<IShellLinkA> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                              link.out())))
    return;
  ComRef<IPersistFile> file;
  link->QueryInterface(IID_IPersistFile, file.out());
  if (!file) FailRuntimeCheck(__builtin_return_address(0));

  // A path that is too long or not valid in the code page must not reach Load as a
  // cut or stale buffer; such a shortcut opens nothing.
  WCHAR widePath[MAX_PATH];
  if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, shortcutPath, -1, widePath, MAX_PATH) == 0)
    return;
  // A shortcut that cannot be loaded has nothing to do with the desktop; open nothing.
  if (FAILED(file->Load(widePath, STGM_READ))) return;
  link->Resolve(nullptr, kResolveFlags);  // a link that stays unresolved is used as it stands

  OwnedIDList target;
  link->GetIDList(target.out());
  if (!target.get()) return;

  char targetPath[MAX_PATH + 1];
  if (SHGetPathFromIDListA(target.get(), targetPath)) {
    OpenFileSystemTarget(targetPath, mode, select);
  } else {
    OpenParentItem(target.get(), mode);
  }
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
  if (FAILED(SHGetMalloc(reinterpret_cast<IMalloc**>(allocator.out())))) return false;
  *list = static_cast<ITEMIDLIST*>(allocator->Alloc(size));
  if (!*list) return false;
  memset(*list, 0, size);
  return true;
}
