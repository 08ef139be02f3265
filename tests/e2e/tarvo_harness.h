#pragma once
// Drives the real tarvo.exe under Wine: a folder with tarvo.exe and the
// recording explorer.exe, real shortcut files, real processes, real input
// through SendInput, and the real registry of the test prefix.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include <fstream>
#include <functional>
#include <optional>
#include <set>

#include "show_log.h"

const char kCaption[] = "Tarvo\x81\x40";                                          // Tarvo　
const char kNormalText[] = "\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x8A\x4A\x82\xAD";  // リンク先を開く
const char kExploreText[] =  // リンク先をエクスプローラで開く
    "\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x83\x47\x83\x4E\x83\x58\x83\x76\x83\x8D\x81\x5B\x83\x89\x82\xC5\x8A\x4A\x82\xAD";
const char kVerbsKey[] = "SOFTWARE\\Classes\\lnkfile\\shell";
const char kMakerKey[] = "SOFTWARE\\vek";

// The test thread owns windows in some tests; a thread that stops pumping
// would stall Tarvo's cross-thread activation calls.
inline bool WaitUntil(const std::function<bool()>& done, DWORD timeoutMs = 5000) {
  for (DWORD start = GetTickCount(); !done(); MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT)) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    if (GetTickCount() - start > timeoutMs) return false;
  }
  return true;
}

inline std::string OwnFolder() {
  char path[MAX_PATH] = {};
  std::string own(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return own.substr(0, own.rfind('\\') + 1);
}

// Made afresh once per test program: tarvo.exe and explorer.exe in bin, in a
// folder with a space, which the verbs' command lines must quote.
struct Bench {
  std::string root, bin, exe, launchLog;
};
inline const Bench& TheBench() {
  static Bench b = [] {
    char temp[MAX_PATH + 1] = {}, built[MAX_PATH] = {};
    GetTempPathA(MAX_PATH, temp);
    Bench b{std::string(temp) + "tarvo e2e\\"};
    std::string from = b.root.substr(0, b.root.size() - 1) + '\0';
    SHFILEOPSTRUCTA remove{nullptr, FO_DELETE, from.c_str(), nullptr, FOF_NO_UI};
    SHFileOperationA(&remove);
    b.bin = b.root + "program files\\", b.exe = b.bin + "tarvo.exe", b.launchLog = b.root + "launches.log";
    SHCreateDirectoryExA(nullptr, b.bin.c_str(), nullptr);
    GetEnvironmentVariableA("TARVO_EXE", built, MAX_PATH);
    EXPECT_TRUE(CopyFileA(built, b.exe.c_str(), FALSE)) << built;
    EXPECT_TRUE(CopyFileA((OwnFolder() + "explorer.exe").c_str(), (b.bin + "explorer.exe").c_str(), FALSE));
    SetEnvironmentVariableA("TARVO_LAUNCH_LOG", b.launchLog.c_str());
    return b;
  }();
  return b;
}

inline void MakeShortcut(const std::string& link, const std::string& target) {
  IShellLinkA* shellLink = nullptr;
  IPersistFile* file = nullptr;
  wchar_t wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
  CoInitialize(nullptr);
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA, reinterpret_cast<void**>(&shellLink));
  shellLink->SetPath(target.c_str());
  shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file));
  EXPECT_EQ(file->Save(wide, TRUE), S_OK) << link;
  file->Release(), shellLink->Release(), CoUninitialize();
}

// A global WH_CALLWNDPROC hook in show_recorder.dll, kept for the whole test
// program, writes into this shared memory from every process the tests start.
inline ShowLog* Recorder() {
  static ShowLog* log = [] {
    std::string name = "TarvoShowLog" + std::to_string(GetCurrentProcessId());
    HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, sizeof(ShowLog), name.c_str());
    HMODULE dll = LoadLibraryA((OwnFolder() + "show_recorder.dll").c_str());
    auto hook = reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "RecordShows")));
    EXPECT_TRUE(mapping && hook && SetWindowsHookExA(WH_CALLWNDPROC, hook, dll, 0)) << "no show recorder";
    SetEnvironmentVariableA("TARVO_SHOW_LOG", name.c_str());
    return static_cast<ShowLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0));
  }();
  return log;
}

// One run of tarvo.exe from the bench; a run still alive at its end is ended.
class TarvoRun {
 public:
  explicit TarvoRun(const std::string& arguments) {
    // Only this run's windows count; Wine also hands out the numbers of ended processes again.
    InterlockedExchange(&Recorder()->Count, 0);
    std::string line = "\"" + TheBench().exe + "\"" + (arguments.empty() ? "" : " " + arguments);
    STARTUPINFOA startup{sizeof startup};
    PROCESS_INFORMATION info{};
    EXPECT_TRUE(CreateProcessA(TheBench().exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                               TheBench().bin.c_str(), &startup, &info)) << line;
    CloseHandle(info.hThread);
    process_ = info.hProcess, pid_ = info.dwProcessId;
  }
  ~TarvoRun() {
    if (!WaitExit(0)) ADD_FAILURE() << "tarvo.exe still running at the end of the test; ended";
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
    CloseHandle(process_);
  }
  TarvoRun(const TarvoRun&) = delete;
  TarvoRun& operator=(const TarvoRun&) = delete;

  // The exit code, or nothing while the process still runs.
  std::optional<DWORD> WaitExit(DWORD timeoutMs = 15000) {
    DWORD code = 0;
    if (!WaitUntil([&] { return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0; }, timeoutMs)) return std::nullopt;
    GetExitCodeProcess(process_, &code);
    return code;
  }
  // A visible top-level window of this run, once the run waits for input.
  HWND WaitForWindow(const char* className, const char* caption) {
    HWND w = nullptr;
    WaitUntil([&] {
      DWORD owner = 0;
      for (w = nullptr; (w = FindWindowExA(nullptr, w, className, caption)) != nullptr;)
        if (GetWindowThreadProcessId(w, &owner), owner == pid_ && IsWindowVisible(w))
          return WaitForInputIdle(process_, 5000) == 0;
      return WaitForSingleObject(process_, 0) == WAIT_OBJECT_0;
    }, 15000);
    return w;
  }
  // Command lines that reached the recording explorer.exe; call once the run has ended.
  std::vector<std::string> Launches() {
    // The shell has started every launch by the time the run ends; waiting
    // for the run's children makes the log complete. A process older than
    // this run names an earlier owner of the number as its parent.
    auto created = [](HANDLE process) {
      FILETIME t[4] = {};
      return GetProcessTimes(process, t, t + 1, t + 2, t + 3), (ULONGLONG(t[0].dwHighDateTime) << 32) | t[0].dwLowDateTime;
    };
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    PROCESSENTRY32 entry{sizeof entry};
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
      HANDLE child = entry.th32ParentProcessID != pid_ ? nullptr
                     : OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
      if (child && created(child) >= created(process_))
        EXPECT_EQ(WaitForSingleObject(child, 15000), WAIT_OBJECT_0) << "a launch did not end";
      if (child) CloseHandle(child);
    }
    CloseHandle(snapshot);
    std::vector<std::string> launches;
    std::ifstream log(TheBench().launchLog, std::ios::binary);
    for (std::string launch; std::getline(log, launch, '\0');) launches.push_back(launch);
    log.close();
    DeleteFileA(TheBench().launchLog.c_str());
    return launches;
  }
  // Classes of the top-level windows this run made, or was about to show.
  std::set<std::string> WindowClasses(bool shown) {
    const ShowLog* log = Recorder();
    EXPECT_LT(log->Count, kShowLogCapacity) << "show log full";
    std::set<std::string> classes;
    for (LONG i = 0; i < std::min(log->Count, kShowLogCapacity); ++i)
      if (log->Entries[i].ProcessId == pid_ && log->Entries[i].Shown == shown) classes.insert(log->Entries[i].ClassName);
    return classes;
  }

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
};

// "normal explore select" as three '0' or '1', e.g. "101".
inline void StoreOptions(const std::string& options) {
  HKEY key = nullptr;
  RegCreateKeyExA(HKEY_CURRENT_USER, (kMakerKey + std::string("\\Tarvo")).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS,
                  nullptr, &key, nullptr);
  const char* names[] = {"normal", "explore", "select"};
  for (DWORD i = 0, data; i < 3; ++i)
    data = options[i] == '1', RegSetValueExA(key, names[i], 0, REG_DWORD, reinterpret_cast<BYTE*>(&data), 4);
  RegCloseKey(key);
}

inline void ClearTarvoRegistry() {
  for (const char* verb : {"\\Tarvo", "\\Tarvo_e"}) RegDeleteTreeA(HKEY_LOCAL_MACHINE, (kVerbsKey + std::string(verb)).c_str());
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kVerbsKey);  // the test prefix has nothing else under it
  RegDeleteTreeA(HKEY_CURRENT_USER, kMakerKey);
}


inline bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([&] { return GetForegroundWindow() == window; });
}

inline void PressKey(WORD vk) {
  INPUT keys[2] = {{INPUT_KEYBOARD}, {INPUT_KEYBOARD}};
  keys[0].ki.wVk = keys[1].ki.wVk = vk;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

inline GUITHREADINFO ThreadInput(HWND window) {
  GUITHREADINFO info{sizeof info};
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  return info;
}


inline void ClickScreen(HWND target, POINT p) {
  // A button holds the mouse from its button-down until it has handled the
  // button-up; a click sent before it lets go would land on that button.
  EXPECT_TRUE(WaitUntil([&] { return ThreadInput(target).hwndCapture == nullptr; }));
  INPUT mouse[3] = {{INPUT_MOUSE}, {INPUT_MOUSE}, {INPUT_MOUSE}};
  const DWORD buttons[] = {0, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP};
  for (int i = 0; i < 3; ++i) {
    // Every event carries the position: Wine's X11 driver can replay the
    // pointer's previous position between two events of one SendInput call.
    mouse[i].mi.dx = (p.x * 65535 + GetSystemMetrics(SM_CXSCREEN) / 2) / (GetSystemMetrics(SM_CXSCREEN) - 1);
    mouse[i].mi.dy = (p.y * 65535 + GetSystemMetrics(SM_CYSCREEN) / 2) / (GetSystemMetrics(SM_CYSCREEN) - 1);
    mouse[i].mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE | buttons[i];
  }
  SendInput(3, mouse, sizeof(INPUT));
}

// Clicks near the left end of a control (the box of a check box), or its centre.
inline void ClickControl(HWND control, bool atLeft) {
  RECT r;
  GetWindowRect(control, &r);
  ClickScreen(control, POINT{atLeft ? r.left + 7 : (r.left + r.right) / 2, (r.top + r.bottom) / 2});
}
