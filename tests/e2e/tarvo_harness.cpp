#include "tarvo_harness.h"

#include <objbase.h>
#include <shlobj.h>
#include <tlhelp32.h>

#include <gtest/gtest.h>

#include "launch_log.h"
#include "show_log.h"

const char kCaption[] = "Tarvo\x81\x40";
const char kNormalText[] = "\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x8A\x4A\x82\xAD";
const char kExploreText[] =
    "\x83\x8A\x83\x93\x83\x4E\x90\xE6\x82\xF0\x83\x47\x83\x4E\x83\x58\x83\x76\x83\x8D\x81\x5B"
    "\x83\x89\x82\xC5\x8A\x4A\x82\xAD";
const char kSelectText[] = "\x91\x49\x91\xF0\x8F\xF3\x91\xD4\x82\xC5\x8A\x4A\x82\xAD";
const char kVerbsKey[] = "SOFTWARE\\Classes\\lnkfile\\shell";
const char kOptionsKey[] = "SOFTWARE\\vek\\Tarvo";
const char kMakerKey[] = "SOFTWARE\\vek";

namespace {

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\') + 1);
}

void DeleteTree(const std::string& folder) {
  WIN32_FIND_DATAA found;
  HANDLE search = FindFirstFileA((folder + "*").c_str(), &found);
  if (search != INVALID_HANDLE_VALUE) {
    do {
      std::string name = found.cFileName;
      if (name == "." || name == "..") continue;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
        DeleteTree(folder + name + "\\");
      else
        DeleteFileA((folder + name).c_str());
    } while (FindNextFileA(search, &found));
    FindClose(search);
  }
  RemoveDirectoryA(folder.c_str());
}

Bench MakeBench() {
  Bench b;
  char temp[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, temp);
  // A space in the program's folder: the verbs' command lines must quote it.
  b.root = std::string(temp) + "tarvo e2e\\";
  DeleteTree(b.root);
  b.bin = b.root + "program files\\";
  MakeFolder(b.root);
  MakeFolder(b.bin);
  b.exe = b.bin + "tarvo.exe";
  b.launchLog = b.root + "launches.log";
  char built[MAX_PATH] = {};
  GetEnvironmentVariableA("TARVO_EXE", built, MAX_PATH);
  if (!CopyFileA(built, b.exe.c_str(), FALSE))
    ADD_FAILURE() << "cannot copy tarvo.exe from TARVO_EXE=" << built;
  if (!CopyFileA((OwnFolder() + "explorer.exe").c_str(), (b.bin + "explorer.exe").c_str(), FALSE))
    ADD_FAILURE() << "cannot copy the recording explorer.exe";
  SetEnvironmentVariableA("TARVO_LAUNCH_LOG", b.launchLog.c_str());
  return b;
}

// The hook lives as long as the test program; Wine takes it down at exit.
ShowLog* InstallShowRecorder() {
  std::string name = "TarvoShowLog" + std::to_string(GetCurrentProcessId());
  HANDLE mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0,
                                      sizeof(ShowLog), name.c_str());
  ShowLog* log =
      mapping ? static_cast<ShowLog*>(MapViewOfFile(mapping, FILE_MAP_WRITE, 0, 0, 0)) : nullptr;
  HMODULE dll = LoadLibraryA((OwnFolder() + "show_recorder.dll").c_str());
  HOOKPROC proc = dll ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void*>(GetProcAddress(dll, "RecordShows"))) : nullptr;
  if (!log || !proc || !SetWindowsHookExA(WH_CALLWNDPROC, proc, dll, 0)) {
    ADD_FAILURE() << "cannot install show_recorder.dll";
    return nullptr;
  }
  SetEnvironmentVariableA("TARVO_SHOW_LOG", name.c_str());
  return log;
}

ShowLog* Recorder() {
  static ShowLog* log = InstallShowRecorder();
  return log;
}

ULONGLONG CreationTime(HANDLE process) {
  FILETIME created{}, ended, kernel, user;
  GetProcessTimes(process, &created, &ended, &kernel, &user);
  return (ULONGLONG(created.dwHighDateTime) << 32) | created.dwLowDateTime;
}

// Runs of tarvo.exe that a test holds; the show log restarts with the first.
int runsAlive;

std::string KeyPath(const std::string& key, const char* sub) { return key + "\\" + sub; }

}  // namespace

const Bench& TheBench() {
  static Bench bench = MakeBench();
  Recorder();
  return bench;
}

void MakeFolder(const std::string& path) { CreateDirectoryA(path.c_str(), nullptr); }

void MakeFile(const std::string& path) {
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

bool MakeShortcut(const std::string& link, const std::string& target) {
  CoInitialize(nullptr);
  bool saved = false;
  IShellLinkA* shellLink = nullptr;
  if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                 reinterpret_cast<void**>(&shellLink)))) {
    IPersistFile* file = nullptr;
    shellLink->SetPath(target.c_str());
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
      wchar_t wide[MAX_PATH] = {};
      MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
      saved = SUCCEEDED(file->Save(wide, TRUE));
      file->Release();
    }
    shellLink->Release();
  }
  CoUninitialize();
  return saved;
}

TarvoRun::TarvoRun(const std::string& arguments) {
  const Bench& bench = TheBench();
  // Only the runs of the test at hand are looked at; older entries can go.
  ShowLog* log = Recorder();
  if (runsAlive++ == 0 && log) InterlockedExchange(&log->Count, 0);
  std::string line = "\"" + bench.exe + "\"" + (arguments.empty() ? "" : " " + arguments);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessA(bench.exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                      bench.bin.c_str(), &startup, &info)) {
    ADD_FAILURE() << "cannot start " << line;
    return;
  }
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  pid_ = info.dwProcessId;
  tid_ = info.dwThreadId;
}

TarvoRun::~TarvoRun() {
  --runsAlive;
  if (!process_) return;
  if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
    ADD_FAILURE() << "tarvo.exe still running at the end of the test; ended";
    TerminateProcess(process_, 1);
    WaitForSingleObject(process_, 5000);
  }
  CloseHandle(process_);
}

std::optional<DWORD> TarvoRun::WaitExit(DWORD timeoutMs) {
  if (!process_) return std::nullopt;
  DWORD start = GetTickCount();
  while (WaitForSingleObject(process_, 0) != WAIT_OBJECT_0) {
    if (GetTickCount() - start > timeoutMs) return std::nullopt;
    PumpFor(5);
  }
  DWORD code = 0;
  GetExitCodeProcess(process_, &code);
  return code;
}

HWND TarvoRun::WaitForForm(DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (GetTickCount() - start < timeoutMs) {
    HWND form = nullptr;
    while ((form = FindWindowExA(nullptr, form, nullptr, kCaption)) != nullptr) {
      DWORD owner = 0;
      GetWindowThreadProcessId(form, &owner);
      if (owner == pid_ && IsWindowVisible(form) && WaitForInputIdle(process_, 5000) == 0)
        return form;
    }
    if (WaitForSingleObject(process_, 0) == WAIT_OBJECT_0) return nullptr;
    PumpFor(10);
  }
  return nullptr;
}

std::vector<std::string> TarvoRun::Launches() {
  HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
    if (entry.th32ParentProcessID != pid_) continue;
    HANDLE child =
        OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, entry.th32ProcessID);
    if (!child) continue;  // gone already, so its record is written
    // Wine hands out the numbers of ended processes again: a process older
    // than this run names an earlier owner of the number as its parent.
    if (CreationTime(child) >= CreationTime(process_))
      EXPECT_EQ(WaitForSingleObject(child, 15000), WAIT_OBJECT_0) << "a launch did not end";
    CloseHandle(child);
  }
  CloseHandle(snapshot);
  std::vector<std::string> launches = ReadLaunchLog(TheBench().launchLog);
  DeleteFileA(TheBench().launchLog.c_str());
  return launches;
}

std::vector<WindowEvent> TopLevelEventsOf(DWORD pid) {
  std::vector<WindowEvent> events;
  ShowLog* log = Recorder();
  if (!log) return events;
  LONG n = std::min(log->Count, kShowLogCapacity);
  EXPECT_LT(log->Count, kShowLogCapacity) << "show log full";
  for (LONG i = 0; i < n; ++i) {
    const ShowEntry& e = log->Entries[i];
    if (e.ProcessId == pid) events.push_back({e.Window, e.Message, e.ClassName});
  }
  return events;
}

std::vector<HWND> ShownTopLevelWindowsOf(DWORD pid) {
  std::vector<HWND> shown;
  for (const WindowEvent& e : TopLevelEventsOf(pid))
    if (e.message != WM_NCCREATE) shown.push_back(e.window);
  return shown;
}

void ClearTarvoRegistry() {
  for (const char* verb : {"Tarvo", "Tarvo_e"}) RegDeleteTreeA(HKEY_LOCAL_MACHINE, KeyPath(kVerbsKey, verb).c_str());
  // The tests never leave anything else under "shell"; an empty one is a test's leftover.
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, kVerbsKey);
  RegDeleteTreeA(HKEY_CURRENT_USER, kOptionsKey);
  RegDeleteKeyA(HKEY_CURRENT_USER, kMakerKey);
}

void StoreOptions(const Options& options) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, kOptionsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                            &key, nullptr),
            ERROR_SUCCESS);
  const std::pair<const char*, bool> values[] = {
      {"normal", options.normal}, {"explore", options.explore}, {"select", options.select}};
  for (const auto& v : values) {
    DWORD data = v.second ? 1 : 0;
    RegSetValueExA(key, v.first, 0, REG_DWORD, reinterpret_cast<BYTE*>(&data), sizeof data);
  }
  RegCloseKey(key);
}

std::optional<RegValue> ReadValue(HKEY root, const std::string& key, const char* name) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return std::nullopt;
  RegValue value{};
  DWORD size = 0;
  std::optional<RegValue> result;
  if (RegQueryValueExA(k, name, nullptr, &value.type, nullptr, &size) == ERROR_SUCCESS) {
    value.bytes.resize(size);
    if (RegQueryValueExA(k, name, nullptr, &value.type,
                         reinterpret_cast<BYTE*>(value.bytes.data()), &size) == ERROR_SUCCESS) {
      value.bytes.resize(size);
      result = value;
    }
  }
  RegCloseKey(k);
  return result;
}

bool KeyExists(HKEY root, const std::string& key) {
  HKEY k = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &k) != ERROR_SUCCESS) return false;
  RegCloseKey(k);
  return true;
}

RegValue Dword(DWORD value) {
  return RegValue{REG_DWORD, std::string(reinterpret_cast<const char*>(&value), sizeof value)};
}

RegValue Text(const std::string& text) { return RegValue{REG_SZ, text + std::string(1, '\0')}; }

std::string WindowText(HWND window) {
  char text[512] = {};
  GetWindowTextA(window, text, sizeof text);
  return text;
}

namespace {
struct ChildSearch {
  const std::string* text;
  HWND found;
};
BOOL CALLBACK MatchChild(HWND child, LPARAM context) {
  ChildSearch* s = reinterpret_cast<ChildSearch*>(context);
  if (WindowText(child) != *s->text) return TRUE;
  s->found = child;
  return FALSE;
}
}  // namespace

HWND FindChild(HWND form, const std::string& text) {
  ChildSearch search{&text, nullptr};
  EnumChildWindows(form, MatchChild, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool IsChecked(HWND box) { return SendMessageA(box, BM_GETCHECK, 0, 0) == BST_CHECKED; }

// The test thread owns windows of its own in some tests; a thread that stops
// pumping would stall Tarvo's cross-thread activation calls.
void PumpFor(DWORD ms) {
  DWORD start = GetTickCount();
  do {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
  } while (GetTickCount() - start < ms);
}

bool WaitUntil(bool (*pred)(void*), void* context, DWORD timeoutMs) {
  DWORD start = GetTickCount();
  while (!pred(context)) {
    if (GetTickCount() - start > timeoutMs) return false;
    PumpFor(5);
  }
  return true;
}

bool BringToFront(HWND window) {
  SetForegroundWindow(window);
  return WaitUntil([](void* w) { return GetForegroundWindow() == static_cast<HWND>(w); }, window);
}

void PressKey(WORD vk) {
  INPUT keys[2] = {};
  keys[0].type = keys[1].type = INPUT_KEYBOARD;
  keys[0].ki.wVk = keys[1].ki.wVk = vk;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  SendInput(2, keys, sizeof(INPUT));
}

void ClickScreen(POINT p) {
  int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
  INPUT mouse[3] = {};
  for (INPUT& m : mouse) {
    m.type = INPUT_MOUSE;
    m.mi.dx = (p.x * 65535 + width / 2) / (width - 1);
    m.mi.dy = (p.y * 65535 + height / 2) / (height - 1);
    // Every event carries the position: Wine's X11 driver can replay the
    // pointer's previous position between two events of one SendInput call.
    m.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
  }
  mouse[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
  mouse[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
  SendInput(3, mouse, sizeof(INPUT));
}

bool NoMouseCapture(HWND window) {
  DWORD thread = GetWindowThreadProcessId(window, nullptr);
  return WaitUntil([](void* t) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    return GetGUIThreadInfo(static_cast<DWORD>(reinterpret_cast<uintptr_t>(t)), &info) &&
           info.hwndCapture == nullptr;
  }, reinterpret_cast<void*>(uintptr_t(thread)));
}

std::string InputState(HWND window) {
  POINT cursor;
  GetCursorPos(&cursor);
  RECT r;
  GetWindowRect(window, &r);
  GUITHREADINFO info{};
  info.cbSize = sizeof info;
  GetGUIThreadInfo(GetWindowThreadProcessId(window, nullptr), &info);
  char text[320];
  snprintf(text, sizeof text,
           "window %p at %ld,%ld-%ld,%ld; cursor %ld,%ld over %p; foreground %p; its thread: "
           "active %p focus %p capture %p",
           (void*)window, r.left, r.top, r.right, r.bottom, cursor.x, cursor.y,
           (void*)WindowFromPoint(cursor), (void*)GetForegroundWindow(), (void*)info.hwndActive,
           (void*)info.hwndFocus, (void*)info.hwndCapture);
  return text;
}

void ClickControl(HWND control, bool atLeft) {
  // A button holds the mouse from its button-down until it has handled the
  // button-up; a click sent before it lets go would land on that button.
  EXPECT_TRUE(NoMouseCapture(control));
  RECT r;
  GetWindowRect(control, &r);
  POINT p = {atLeft ? r.left + 7 : (r.left + r.right) / 2, (r.top + r.bottom) / 2};
  ClickScreen(p);
}
