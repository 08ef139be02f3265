// Drives the real tarvo.exe under Wine as Explorer does: wide command lines,
// real shortcut files, real processes, real input and the real registry of the
// test prefix. Folder windows land in the recording explorer.exe beside it.
#pragma once
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "e2e/show_log.h"
#include "test_support.h"

using std::string;
using std::wstring;

inline string U8(const wstring& w) {
  string s(w.size() * 4 + 1, '\0');
  s.resize(WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], int(s.size()), nullptr, nullptr) - 1);
  return s;
}

inline wstring Quoted(const wstring& s) {
  return L"\"" + s + L"\"";
}

inline wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  wstring own(path, GetModuleFileNameW(nullptr, path, MAX_PATH));
  return own.substr(0, own.rfind(L'\\') + 1);
}

inline void RemoveTree(const wstring& folder) {
  wstring from = folder + L'\0';
  SHFILEOPSTRUCTW remove = {nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI};
  SHFileOperationW(&remove);
}

// tarvo.exe and explorer.exe copied into folder, which is made.
inline wstring InstallTarvo(const wstring& folder) {
  wchar_t built[MAX_PATH] = {};
  GetEnvironmentVariableW(L"TARVO_EXE", built, MAX_PATH);
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  EXPECT_TRUE(CopyFileW(built, (folder + L"tarvo.exe").c_str(), FALSE));
  EXPECT_TRUE(CopyFileW((OwnFolder() + L"explorer.exe").c_str(), (folder + L"explorer.exe").c_str(), FALSE));
  return folder + L"tarvo.exe";
}

// Made afresh once per test program. The program folder has a space, which the
// verbs' command lines must quote.
struct Bench {
  wstring root;
  wstring bin;
  wstring exe;
  wstring launchLog;
};
inline const Bench& TheBench() {
  static Bench b = [] {
    wchar_t temp[MAX_PATH + 1] = {};
    GetTempPathW(MAX_PATH, temp);
    Bench made;
    made.root = wstring(temp) + L"tarvo e2e\\";
    RemoveTree(made.root.substr(0, made.root.size() - 1));
    made.bin = made.root + L"program files\\";
    made.exe = InstallTarvo(made.bin);
    made.launchLog = made.root + L"launches.log";
    SetEnvironmentVariableW(L"TARVO_LAUNCH_LOG", made.launchLog.c_str());
    return made;
  }();
  return b;
}

inline void MakeFile(const wstring& path) {
  CloseHandle(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
}

// A real shortcut made by the shell's link object, to a path or an ID list.
inline void MakeShortcut(const wstring& link, const wstring& target, const ITEMIDLIST* list = nullptr) {
  IShellLinkW* shellLink = nullptr;
  IPersistFile* file = nullptr;
  CoInitialize(nullptr);
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, reinterpret_cast<void**>(&shellLink));
  // A target that does not exist is taken with S_FALSE.
  EXPECT_TRUE(SUCCEEDED(list ? shellLink->SetIDList(list) : shellLink->SetPath(target.c_str())));
  shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  EXPECT_EQ(file->Save(link.c_str(), TRUE), S_OK) << U8(link);
  file->Release();
  shellLink->Release();
  CoUninitialize();
}

// A global WH_CALLWNDPROC hook in show_recorder.dll, kept for the whole test
// program, writes into this shared memory from every process the tests start.
inline ShowLog* Recorder() {
  static ShowLog* log = [] {
    string name = "TarvoShowLog" + std::to_string(GetCurrentProcessId());
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ShowLog), name.c_str());
    HMODULE dll = LoadLibraryW((OwnFolder() + L"show_recorder.dll").c_str());
    auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "RecordShows")));
    EXPECT_TRUE(mapping && hook && SetWindowsHookExA(WH_CALLWNDPROC, hook, dll, 0)) << "no show recorder";
    SetEnvironmentVariableA("TARVO_SHOW_LOG", name.c_str());
    return static_cast<ShowLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  }();
  return log;
}

inline string ReadBytes(const wstring& path) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0, nullptr);
  string bytes(file == INVALID_HANDLE_VALUE ? 0 : GetFileSize(file, nullptr), '\0');
  DWORD read = 0;
  ReadFile(file, &bytes[0], DWORD(bytes.size()), &read, nullptr);
  CloseHandle(file);
  bytes.resize(read);
  return bytes;
}

inline void WriteBytes(const wstring& path, const string& bytes) {
  HANDLE file = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  DWORD written = 0;
  EXPECT_TRUE(WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr)) << U8(path);
  CloseHandle(file);
}

// Command lines that reached the recording explorer.exe, in UTF-8; the log is
// emptied. Call once the runs that launch have ended.
inline std::vector<string> TakeLaunches() {
  std::vector<string> launches;
  string log = ReadBytes(TheBench().launchLog);
  for (size_t at = 0; at < log.size(); at = log.find('\0', at) + 1) {
    launches.push_back(log.substr(at, log.find('\0', at) - at));
  }
  DeleteFileW(TheBench().launchLog.c_str());
  return launches;
}

// One run of tarvo.exe, started as Explorer starts it; a run still alive at
// its end is ended.
class TarvoRun {
 public:
  explicit TarvoRun(const wstring& arguments, const wstring& exe = TheBench().exe) {
    Recorder();
    wstring line = Quoted(exe) + (arguments.empty() ? L"" : L" " + arguments);
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    wstring folder = exe.substr(0, exe.rfind(L'\\') + 1);
    EXPECT_TRUE(CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(), &startup, &info));
    CloseHandle(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
  }
  ~TarvoRun() {
    if (!WaitExit(0)) ADD_FAILURE() << "tarvo.exe still running at the end of the test; ended";
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
  }
  TarvoRun(const TarvoRun&) = delete;
  TarvoRun& operator=(const TarvoRun&) = delete;

  // The exit code, or nothing while the process still runs. The launches it
  // started have ended too, so that their records are in the log.
  std::optional<DWORD> WaitExit(DWORD timeoutMs = 15000) {
    if (!WaitUntil([&] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeoutMs)) return std::nullopt;
    WaitForChildren();
    DWORD code = 0;
    GetExitCodeProcess(process_, &code);
    return code;
  }
  // A visible top-level window of this run, once the run waits for input.
  HWND WaitForWindow(const wchar_t* className, const wchar_t* caption) {
    HWND found = nullptr;
    WaitUntil([&] {
      for (HWND w = nullptr; (w = FindWindowExW(nullptr, w, className, caption)) != nullptr;) {
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == pid_ && IsWindowVisible(w) && WaitForInputIdle(process_, 5000) == 0) found = w;
      }
      return found || WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
    }, 15000);
    return found;
  }
  // Classes of the top-level windows this run made, or was about to show.
  std::set<string> WindowClasses(bool shown) const {
    const ShowLog* log = Recorder();
    EXPECT_LT(log->Count, kShowLogCapacity) << "show log full";
    std::set<string> classes;
    for (LONG i = 0; i < std::min(log->Count, kShowLogCapacity); ++i) {
      const ShowEntry& e = log->Entries[i];
      if (e.ProcessId == pid_ && e.Shown == shown) classes.insert(e.ClassName);
    }
    return classes;
  }

 private:
  // A process newer than this run that names it as parent is one of its launches.
  void WaitForChildren() {
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32W entry = {sizeof entry};
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
      if (entry.th32ParentProcessID != pid_) continue;
      HANDLE child = OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
      if (child && Created(child) >= Created(process_)) {
        EXPECT_EQ(WaitForSingleObject(child, 15000), WAIT_OBJECT_0) << "a launch did not end";
      }
      if (child) CloseHandle(child);
    }
    CloseHandle(snapshot);
  }
  static ULONGLONG Created(HANDLE process) {
    FILETIME t[4] = {};
    GetProcessTimes(process, &t[0], &t[1], &t[2], &t[3]);
    return ULONGLONG(t[0].dwHighDateTime) << 32 | t[0].dwLowDateTime;
  }
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

const char kOptionsKey[] = "SOFTWARE\\vek\\Tarvo";
const char kVerbsKey[] = "SOFTWARE\\Classes\\lnkfile\\shell";

// "normal explore select" as three '0' or '1', e.g. "101".
inline void StoreOptions(const string& options) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  const char* names[] = {"normal", "explore", "select"};
  for (int i = 0; i < 3; ++i) {
    DWORD data = options[i] == '1';
    RegSetValueExA(key, names[i], 0, REG_DWORD, reinterpret_cast<BYTE*>(&data), 4);
  }
  RegCloseKey(key);
}

inline void ClearTarvoRegistry() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, kVerbsKey);  // the test prefix has nothing else under it
  RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\vek");
}

// Key path or "key:value name" -> "type:data as UTF-8"; the whole tree below path.
using Registry = std::map<string, string>;
inline void ReadTree(HKEY root, const wstring& path, const string& name, Registry* out) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  (*out)[name] = "";
  wchar_t entry[256];
  BYTE data[2048];
  DWORD type = 0;
  DWORD size = sizeof data;
  DWORD length = 256;
  for (DWORD i = 0; RegEnumValueW(key, i, entry, &length, nullptr, &type, data, &size) == ERROR_SUCCESS; ++i) {
    wstring text(reinterpret_cast<wchar_t*>(data), size / 2);
    string value = type == REG_SZ ? U8(text) : string(reinterpret_cast<char*>(data), size);
    (*out)[name + ":" + U8(entry)] = std::to_string(type) + ":" + value;
    length = 256;
    size = sizeof data;
  }
  for (DWORD i = 0; RegEnumKeyW(key, i, entry, 256) == ERROR_SUCCESS; ++i) {
    ReadTree(root, path + L"\\" + entry, name + "\\" + U8(entry), out);
  }
  RegCloseKey(key);
}

// Everything under the keys the program writes.
inline Registry ReadRegistry() {
  Registry r;
  ReadTree(HKEY_LOCAL_MACHINE, L"SOFTWARE\\Classes\\lnkfile\\shell", "shell", &r);
  ReadTree(HKEY_CURRENT_USER, L"SOFTWARE\\vek", "vek", &r);
  return r;
}

// What a folder window and a select window look like to the recording explorer.exe.
inline string FolderWindow(const wstring& folder, const wstring& bin = TheBench().bin) {
  return U8(Quoted(bin + L"explorer.exe") + L" " + Quoted(folder));
}
inline string SelectWindow(bool explore, const wstring& target) {
  return U8(L"\"explorer\" " + wstring(explore ? L"/e, /select," : L"/select,") + Quoted(target));
}
