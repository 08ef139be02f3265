// The floor of a verb run: only the shell work that opening a shortcut's
// target needs, nothing else. Argument 1 is the shortcut; the mode digit that
// Tarvo gets as argument 2 is ignored (the bench stores "select" on, so both
// programs make the same /select launch).
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  if (__argc < 2) return 1;
  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                   reinterpret_cast<void**>(&link));
  if (!link) return 2;
  IPersistFile* file = nullptr;
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  if (!file) return 3;
  WCHAR widePath[MAX_PATH];
  MultiByteToWideChar(CP_ACP, 0, __argv[1], -1, widePath, MAX_PATH);
  if (FAILED(file->Load(widePath, STGM_READ))) return 4;
  // The same flags as Tarvo: SLR_INVOKE_MSI.
  link->Resolve(nullptr, 0x80);
  ITEMIDLIST* target = nullptr;
  link->GetIDList(&target);
  char path[MAX_PATH + 1];
  if (!target || !SHGetPathFromIDListA(target, path)) return 5;
  char parameters[MAX_PATH + 16];
  lstrcpyA(parameters, "/select,\"");
  lstrcatA(parameters, path);
  lstrcatA(parameters, "\"");
  // The system's explorer.exe by full path, waited for, as Tarvo starts it.
  char explorer[MAX_PATH + 16];
  GetWindowsDirectoryA(explorer, MAX_PATH);
  lstrcatA(explorer, "\\explorer.exe");
  SHELLEXECUTEINFOA info = {};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_NOASYNC | SEE_MASK_FLAG_NO_UI;
  info.lpVerb = "OPEN";
  info.lpFile = explorer;
  info.lpParameters = parameters;
  info.lpDirectory = "";
  info.nShow = SW_SHOW;
  ShellExecuteExA(&info);
  CoTaskMemFree(target);
  file->Release();
  link->Release();
  CoUninitialize();
  return 0;
}
