// Runs tarvo.exe as Explorer does, beside a recording explorer.exe.
#pragma once
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <vector>

#include "e2e/window_log.h"
#include "test_support.h"

using std::string;
using std::wstring;
using Launches = std::vector<string>;

// Tarvo speaks Japanese to a Japanese display language (LANG), else English.
const bool kInJapanese = getenv("LANG")[0] == 'j';

inline string U8(const wstring& w) {
  string s(w.size() * 4 + 1, '\0');
  s.resize(WideCharToMultiByte(CP_UTF8, 0, w.c_str(), -1, &s[0], int(s.size()), nullptr, nullptr) - 1);
  return s;
}

inline wstring Quoted(const wstring& s) {
  return L"\"" + s + L"\"";
}

inline string ReadBytes(const wstring& path) {
  std::ifstream file(std::filesystem::path(path), std::ios::binary);
  return string(std::istreambuf_iterator<char>(file), {});
}

inline void WriteBytes(const wstring& path, const string& bytes) {
  std::ofstream(std::filesystem::path(path), std::ios::binary) << bytes;
}

inline void SetManifest(const wstring& exe) {
  const wchar_t* path = _wgetenv(L"TARVO_MANIFEST");
  if (!path) return;
  string manifest = ReadBytes(path);
  HANDLE update = BeginUpdateResourceW(exe.c_str(), FALSE);
  EXPECT_TRUE(UpdateResourceW(update, MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1), 0x411, &manifest[0], DWORD(manifest.size())) &&
              !manifest.empty() && EndUpdateResourceW(update, FALSE));
}

inline wstring SystemExplorer() {
  wchar_t windows[MAX_PATH] = {};
  GetWindowsDirectoryW(windows, MAX_PATH);
  return wstring(windows) + L"\\explorer.exe";
}

// The recorder stands in for the system's explorer.exe, which Tarvo starts by
// full path, and beside tarvo.exe (unless told not to), where Wine's own folder
// opens look first. A DLL planted there too must never be loaded.
inline wstring InstallTarvo(const wstring& folder, bool recorderBeside = true) {
  wchar_t built[MAX_PATH] = {};
  GetEnvironmentVariableW(L"TARVO_EXE", built, MAX_PATH);
  wchar_t recorder[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, recorder, MAX_PATH);
  wcscpy(wcsrchr(recorder, L'\\') + 1, L"explorer.exe");
  SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
  CopyFileW(built, (folder + L"tarvo.exe").c_str(), FALSE);
  SetManifest(folder + L"tarvo.exe");
  EXPECT_TRUE(CopyFileW(recorder, SystemExplorer().c_str(), FALSE));
  if (recorderBeside) CopyFileW(recorder, (folder + L"explorer.exe").c_str(), FALSE);
  wcscpy(wcsrchr(recorder, L'\\') + 1, L"window_recorder.dll");
  CopyFileW(recorder, (folder + L"tarvo_planted.dll").c_str(), FALSE);
  return folder + L"tarvo.exe";
}

// The space in "program files" must be quoted.
struct Bench {
  wstring root;
  wstring bin;
  wstring exe;
  wstring log;
};
inline const Bench& TheBench() {
  static Bench b = [] {
    wchar_t temp[MAX_PATH] = {};
    GetTempPathW(MAX_PATH, temp);
    Bench made = {wstring(temp) + L"tarvo e2e\\"};
    made.bin = made.root + L"program files\\";
    made.exe = InstallTarvo(made.bin);
    made.log = made.root + L"launches.log";
    DeleteFileW(made.log.c_str());
    SetEnvironmentVariableW(L"TARVO_LAUNCH_LOG", made.log.c_str());
    return made;
  }();
  return b;
}

inline WindowLog* Recorder() {
  static WindowLog* log = [] {
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(WindowLog), kWindowLogName);
    HMODULE dll = LoadLibraryA("window_recorder.dll");
    SetWindowsHookExA(WH_CBT, reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "RecordWindows"))), dll, 0);
    return static_cast<WindowLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  }();
  return log;
}

inline Launches TakeLaunches() {
  Launches launches;
  string log = ReadBytes(TheBench().log);
  for (size_t at = 0; at < log.size(); at = log.find('\0', at) + 1) {
    launches.push_back(log.c_str() + at);
  }
  DeleteFileW(TheBench().log.c_str());
  return launches;
}

// A run in a job of its own: its launches are waited for too.
class TarvoRun {
 public:
  // folder: the current folder, the shortcut's own when Explorer starts a verb.
  explicit TarvoRun(const wstring& arguments, const wstring& exe = TheBench().exe, const wchar_t* folder = nullptr) {
    // Wine reuses ended processes' numbers.
    Recorder()->Count = 0;
    Recorder()->PlantedLoads = 0;
    wstring line = exe.empty() ? arguments : Quoted(exe) + L" " + arguments;
    STARTUPINFOW startup = {sizeof startup};
    PROCESS_INFORMATION info = {};
    EXPECT_TRUE(CreateProcessW(nullptr, &line[0], nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr, folder, &startup, &info));
    AssignProcessToJobObject(job_, info.hProcess);
    ResumeThread(info.hThread);
    process_ = info.hProcess;
    pid_ = info.dwProcessId;
  }
  ~TarvoRun() {
    EXPECT_TRUE(WaitExit(0)) << "still running; ended";
    EXPECT_EQ(Recorder()->PlantedLoads, 0) << "loaded a DLL from its own folder";
    TerminateJobObject(job_, 1);
  }
  std::optional<DWORD> WaitExit(DWORD timeoutMs = 15000) {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job = {};
    DWORD code = 0;
    bool ended = WaitUntil([&] {
      QueryInformationJobObject(job_, JobObjectBasicAccountingInformation, &job, sizeof job, nullptr);
      return job.ActiveProcesses == 0;
    }, timeoutMs);
    GetExitCodeProcess(process_, &code);
    return ended ? std::optional<DWORD>(code) : std::nullopt;
  }
  HWND WaitForWindow(const wchar_t* caption) {
    HWND w = nullptr;
    DWORD owner = 0;
    WaitUntil([&] {
      w = FindWindowExW(nullptr, w, nullptr, caption);
      GetWindowThreadProcessId(w, &owner);
      return owner == pid_ && IsWindowVisible(w) && WaitForInputIdle(process_, 5000) == 0;
    }, 15000);
    return w;
  }
  std::set<string> WindowClasses() const {
    std::set<string> classes;
    for (LONG i = 0; i < std::min(Recorder()->Count, kWindowLogCapacity); ++i) {
      const WindowEntry& e = Recorder()->Entries[i];
      if (e.ProcessId == pid_) classes.insert(e.ClassName);
    }
    return classes;
  }

 private:
  HANDLE job_ = CreateJobObjectW(nullptr, nullptr);
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// "normal explore select" as a DWORD '0', '1', '2' or 'b' for a REG_BINARY 1.
const char* const kOptionNames[] = {"normal", "explore", "select"};
inline void StoreOptions(const string& options) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, "SOFTWARE\\vek\\Tarvo", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr);
  for (int i = 0; i < 3; ++i) {
    DWORD data = options[i] == 'b' ? 1 : options[i] - '0';
    RegSetValueExA(key, kOptionNames[i], 0, options[i] == 'b' ? REG_BINARY : REG_DWORD, reinterpret_cast<BYTE*>(&data), 4);
  }
  RegCloseKey(key);
}

#define LNKFILE "SOFTWARE\\Classes\\lnkfile"
inline void ClearTarvoRegistry() {
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, LNKFILE "\\shell");
  RegDeleteTreeA(HKEY_CURRENT_USER, "SOFTWARE\\vek");
  RegDeleteTreeA(HKEY_CURRENT_USER, LNKFILE);
}

// Keys and "key:value"s below path, as "type:data" with texts in UTF-8.
using Registry = std::map<string, string>;
inline void ReadTree(HKEY root, const wstring& path, const string& name, Registry* out) {
  HKEY key = nullptr;
  if (RegOpenKeyExW(root, path.c_str(), 0, KEY_READ, &key) != 0) return;
  (*out)[name] = "";
  wchar_t entry[256];
  BYTE data[2048];
  DWORD type = 0;
  for (DWORD i = 0, length = 256, size = 2048; RegEnumValueW(key, i, entry, &length, nullptr, &type, data, &size) == 0; ++i) {
    (*out)[name + ":" + U8(entry)] = std::to_string(type) + ":" + (type == REG_SZ ? U8(reinterpret_cast<wchar_t*>(data)) : string(reinterpret_cast<char*>(data), size));
    length = 256;
    size = 2048;
  }
  for (DWORD i = 0; RegEnumKeyW(key, i, entry, 256) == 0; ++i) {
    ReadTree(root, path + L"\\" + entry, name + "\\" + U8(entry), out);
  }
  RegCloseKey(key);
}

inline Registry ReadRegistry() {
  Registry r;
  ReadTree(HKEY_LOCAL_MACHINE, L"" LNKFILE "\\shell", "shell", &r);
  ReadTree(HKEY_CURRENT_USER, L"SOFTWARE\\vek", "vek", &r);
  ReadTree(HKEY_CURRENT_USER, L"" LNKFILE, "user", &r);
  return r;
}

inline string FolderWindow(const wstring& folder, const wstring& bin = TheBench().bin) {
  return U8(Quoted(bin + L"explorer.exe") + L" " + Quoted(folder));
}
inline string SelectWindow(bool explore, const wstring& target) {
  return U8(Quoted(SystemExplorer()) + L" " + (explore ? L"/e, /select," : L"/select,") + Quoted(target));
}
