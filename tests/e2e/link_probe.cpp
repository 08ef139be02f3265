// The shell's link loader alone, called as tarvo.exe calls it: a shortcut file
// on which this crashes or hangs shows a fault of the platform's loader.
#include <windows.h>
#include <shlobj.h>

int wmain(int, wchar_t** argv) {
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  IShellLinkW* wide = nullptr;
  IPersistFile* file = nullptr;
  ITEMIDLIST* list = nullptr;
  wchar_t path[MAX_PATH];
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&link));
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  link->QueryInterface(IID_IShellLinkW, reinterpret_cast<void**>(&wide));
  if (SUCCEEDED(file->Load(argv[1], STGM_READ))) {
    link->Resolve(nullptr, 0x80);
    link->GetIDList(&list);
    if (list) SHGetPathFromIDListW(list, path);
    wide->GetPath(path, MAX_PATH, nullptr, 0);
  }
  return 0;
}
