// Times programs against each other inside Wine, interleaved (A, B, A, B,
// ...), so that the noise of a shared machine falls on all of them alike.
//
//   launcher verb|window <rounds> <exe A> <exe B> [<exe C> ...]
//     Each round starts every program once, in the order given. Ratios of
//     medians are printed of each program against every later one.
//
//   verb:
//     Each program is started as a verb run, `exe "<shortcut>" "0"`, on a real
//     shortcut to a real file; timed from CreateProcess to process exit.
//   window:
//     Each program is started without arguments; timed from CreateProcess to
//     its top-level window being visible. The window is then sent WM_CLOSE and
//     the process awaited (not timed).
//
// Program names are looked up in the launcher's own folder, where the
// stand-in explorer.exe also lies; a verb run copies it over the prefix's own
// explorer.exe. For the run, HKCU\SOFTWARE\vek\Tarvo holds
// normal=1, explore=0, select=1, so every verb run makes a /select launch;
// what was there before is put back afterwards.
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kSettingsKey[] = "SOFTWARE\\vek\\Tarvo";
const char kMakerKey[] = "SOFTWARE\\vek";
const char* const kValueNames[3] = {"normal", "explore", "select"};
const DWORD kBenchValues[3] = {1, 0, 1};
const DWORD kRunTimeoutMs = 30000;

double Frequency() {
  LARGE_INTEGER f;
  QueryPerformanceFrequency(&f);
  return static_cast<double>(f.QuadPart);
}

double NowMs() {
  static const double frequency = Frequency();
  LARGE_INTEGER t;
  QueryPerformanceCounter(&t);
  return static_cast<double>(t.QuadPart) * 1000.0 / frequency;
}

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  std::string own(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return own.substr(0, own.rfind('\\') + 1);
}

[[noreturn]] void Fail(const std::string& what) {
  fprintf(stderr, "bench: %s (error %lu)\n", what.c_str(), GetLastError());
  exit(1);
}

// The stored options: what was there before the run, to be put back after it.
struct StoredValue {
  bool existed;
  DWORD value;
};
struct SavedSettings {
  bool keyCreated;
  bool makerCreated;
  StoredValue values[3];
};

SavedSettings StoreBenchSettings() {
  SavedSettings saved = {};
  HKEY maker = nullptr;
  DWORD disposition = 0;
  RegCreateKeyExA(HKEY_CURRENT_USER, kMakerKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &maker,
                  &disposition);
  saved.makerCreated = disposition == REG_CREATED_NEW_KEY;
  if (maker) RegCloseKey(maker);
  HKEY key = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                      &disposition) != ERROR_SUCCESS)
    Fail("cannot create the settings key");
  saved.keyCreated = disposition == REG_CREATED_NEW_KEY;
  for (int i = 0; i < 3; ++i) {
    DWORD size = sizeof(DWORD);
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, kValueNames[i], nullptr, &type,
                                   reinterpret_cast<BYTE*>(&saved.values[i].value), &size);
    saved.values[i].existed = result == ERROR_SUCCESS && type == REG_DWORD;
    RegSetValueExA(key, kValueNames[i], 0, REG_DWORD, reinterpret_cast<const BYTE*>(&kBenchValues[i]),
                   sizeof(DWORD));
  }
  RegCloseKey(key);
  return saved;
}

void RestoreSettings(const SavedSettings& saved) {
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
    for (int i = 0; i < 3; ++i) {
      if (saved.values[i].existed) {
        RegSetValueExA(key, kValueNames[i], 0, REG_DWORD,
                       reinterpret_cast<const BYTE*>(&saved.values[i].value), sizeof(DWORD));
      } else {
        RegDeleteValueA(key, kValueNames[i]);
      }
    }
    RegCloseKey(key);
  }
  if (saved.keyCreated) RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
  if (saved.makerCreated) RegDeleteKeyA(HKEY_CURRENT_USER, kMakerKey);
}

// A real file and a real shortcut to it, in a folder of the temp folder.
struct Shortcut {
  std::string folder;
  std::string target;
  std::string link;
};

Shortcut MakeShortcut() {
  char temp[MAX_PATH + 1] = {};
  GetTempPathA(MAX_PATH, temp);
  Shortcut s;
  s.folder = std::string(temp) + "tarvo bench\\";
  s.target = s.folder + "target file.txt";
  s.link = s.folder + "target file.lnk";
  CreateDirectoryA(s.folder.c_str(), nullptr);
  HANDLE file = CreateFileA(s.target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) Fail("cannot make " + s.target);
  CloseHandle(file);

  CoInitialize(nullptr);
  IShellLinkA* link = nullptr;
  CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                   reinterpret_cast<void**>(&link));
  if (!link) Fail("no shell link object");
  link->SetPath(s.target.c_str());
  IPersistFile* persist = nullptr;
  link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&persist));
  if (!persist) Fail("no IPersistFile");
  WCHAR wide[MAX_PATH] = {};
  MultiByteToWideChar(CP_ACP, 0, s.link.c_str(), -1, wide, MAX_PATH);
  if (FAILED(persist->Save(wide, TRUE))) Fail("cannot save " + s.link);
  persist->Release();
  link->Release();
  CoUninitialize();
  return s;
}

void RemoveShortcut(const Shortcut& s) {
  DeleteFileA(s.link.c_str());
  DeleteFileA(s.target.c_str());
  RemoveDirectoryA(s.folder.c_str());
}

PROCESS_INFORMATION Start(const std::string& exe, const std::string& arguments) {
  std::string commandLine = "\"" + exe + "\"" + arguments;
  std::vector<char> buffer(commandLine.begin(), commandLine.end());
  buffer.push_back(0);
  STARTUPINFOA startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  if (!CreateProcessA(exe.c_str(), buffer.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    Fail("cannot start " + exe);
  return process;
}

// Runs that did not end with exit code 0, whatever program made them.
int failedRuns = 0;

void Finish(PROCESS_INFORMATION& process, const std::string& exe) {
  if (WaitForSingleObject(process.hProcess, kRunTimeoutMs) != WAIT_OBJECT_0) {
    TerminateProcess(process.hProcess, 1);
    Fail(exe + " did not end");
  }
  DWORD code = 1;
  GetExitCodeProcess(process.hProcess, &code);
  if (code != 0) ++failedRuns;
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
}

double TimeVerbRun(const std::string& exe, const Shortcut& s) {
  double start = NowMs();
  PROCESS_INFORMATION process = Start(exe, " \"" + s.link + "\" \"0\"");
  WaitForSingleObject(process.hProcess, kRunTimeoutMs);
  double end = NowMs();
  Finish(process, exe);
  return end - start;
}

struct WindowSearch {
  DWORD processId;
  HWND found;
};

BOOL CALLBACK MatchWindow(HWND window, LPARAM lParam) {
  WindowSearch* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD owner = 0;
  GetWindowThreadProcessId(window, &owner);
  if (owner != search->processId || !IsWindowVisible(window)) return TRUE;
  search->found = window;
  return FALSE;
}

// The process's visible top-level window, or null. Found by process, not by
// caption, so that any program can be timed; the caption is printed once.
HWND VisibleWindowOf(DWORD processId) {
  WindowSearch search = {processId, nullptr};
  EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string CaptionUtf8(HWND window) {
  WCHAR wide[256] = {};
  GetWindowTextW(window, wide, 256);
  char text[1024] = {};
  WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
  return text;
}

double TimeWindowStart(const std::string& exe, std::string* caption) {
  double start = NowMs();
  PROCESS_INFORMATION process = Start(exe, "");
  // Idle usually means the loop has started, and the window is shown just
  // before; polling covers an idle state that comes earlier.
  WaitForInputIdle(process.hProcess, kRunTimeoutMs);
  HWND window = VisibleWindowOf(process.dwProcessId);
  while (!window) {
    if (WaitForSingleObject(process.hProcess, 1) == WAIT_OBJECT_0) Fail(exe + " ended without a window");
    if (NowMs() - start > kRunTimeoutMs) Fail(exe + " showed no window");
    window = VisibleWindowOf(process.dwProcessId);
  }
  double end = NowMs();
  *caption = CaptionUtf8(window);
  PostMessageA(window, WM_CLOSE, 0, 0);
  Finish(process, exe);
  return end - start;
}

struct Summary {
  double median;
  double min;
  double max;
};

Summary Summarize(std::vector<double> times) {
  std::sort(times.begin(), times.end());
  size_t n = times.size();
  double median = n % 2 ? times[n / 2] : (times[n / 2 - 1] + times[n / 2]) / 2;
  return Summary{median, times.front(), times.back()};
}

// Records that contain "/select," in a stand-in's log.
int CountSelectLaunches(const std::string& log) {
  FILE* file = fopen(log.c_str(), "rb");
  if (!file) return 0;
  int count = 0;
  char line[4096];
  while (fgets(line, sizeof line, file))
    if (strstr(line, "/select,")) ++count;
  fclose(file);
  return count;
}

std::string BaseName(const std::string& path) { return path.substr(path.find_last_of("\\/") + 1); }

}  // namespace

int main(int argc, char** argv) {
  if (argc < 5) {
    fprintf(stderr, "usage: launcher verb|window <rounds> <exe A> <exe B> [<exe C> ...]\n");
    return 2;
  }
  std::string mode = argv[1];
  bool verb = mode == "verb";
  if (!verb && mode != "window") Fail("unknown mode " + mode);
  std::string folder = OwnFolder();
  int rounds = atoi(argv[2]);
  if (rounds < 1) Fail("need at least one round");
  size_t count = static_cast<size_t>(argc - 3);
  std::vector<std::string> exes;
  std::vector<std::string> logs;
  for (int i = 3; i < argc; ++i) exes.push_back(folder + argv[i]);
  // Checked before the registry is touched: a failure below leaves it changed.
  for (const std::string& exe : exes)
    if (GetFileAttributesA(exe.c_str()) == INVALID_FILE_ATTRIBUTES) Fail("no program " + exe);

  // The programs start the system's explorer.exe by full path: in this prefix
  // the stand-in takes its place.
  char windows[MAX_PATH] = {};
  GetWindowsDirectoryA(windows, MAX_PATH);
  if (verb && !CopyFileA((folder + "explorer.exe").c_str(), (std::string(windows) + "\\explorer.exe").c_str(), FALSE))
    Fail("the system's explorer.exe could not be replaced");

  SavedSettings saved = StoreBenchSettings();
  Shortcut shortcut = MakeShortcut();
  for (size_t i = 0; i < count; ++i) {
    logs.push_back(shortcut.folder + "launches-" + std::to_string(i) + ".log");
    DeleteFileA(logs[i].c_str());
  }

  std::vector<std::vector<double>> times(count);
  std::vector<std::string> captions(count);
  // One unmeasured round first: the first start of each program pays for
  // loading files that every later start finds in the cache.
  for (int round = -1; round < rounds; ++round) {
    for (size_t i = 0; i < count; ++i) {
      // The stand-in inherits this and records into the log of its program.
      SetEnvironmentVariableA("BENCH_LAUNCH_LOG", logs[i].c_str());
      double ms = verb ? TimeVerbRun(exes[i], shortcut) : TimeWindowStart(exes[i], &captions[i]);
      if (round >= 0) times[i].push_back(ms);
    }
  }
  // The stand-ins of the last runs may still be writing.
  Sleep(200);

  printf("%s, %d rounds (A, B, A, B, ...), milliseconds\n",
         verb ? "verb run: CreateProcess to exit" : "window: CreateProcess to visible window", rounds);
  std::vector<Summary> summaries(count);
  for (size_t i = 0; i < count; ++i) {
    summaries[i] = Summarize(times[i]);
    printf("  %-22s median %7.1f  min %7.1f  max %7.1f", BaseName(exes[i]).c_str(), summaries[i].median,
           summaries[i].min, summaries[i].max);
    if (verb) {
      printf("  /select launches %d of %d", CountSelectLaunches(logs[i]), rounds + 1);
    } else {
      printf("  caption \"%s\"", captions[i].c_str());
    }
    printf("\n    sorted:");
    std::vector<double> sorted = times[i];
    std::sort(sorted.begin(), sorted.end());
    for (double ms : sorted) printf(" %.0f", ms);
    printf("\n");
  }
  // Each program against every later one: Tarvo against each floor, and the
  // floors against each other. The rounds' own ratios pair runs made moments
  // apart, so a machine that slows down for a while moves both sides alike.
  for (size_t i = 0; i + 1 < count; ++i)
    for (size_t j = i + 1; j < count; ++j) {
      std::vector<double> paired;
      for (int r = 0; r < rounds; ++r) paired.push_back(times[i][r] / times[j][r]);
      printf("  ratio of medians %s / %s: %.2f (of minimums %.2f; median of the rounds' ratios %.2f)\n",
             BaseName(exes[i]).c_str(), BaseName(exes[j]).c_str(),
             summaries[i].median / summaries[j].median, summaries[i].min / summaries[j].min,
             Summarize(paired).median);
    }

  if (failedRuns) printf("  WARNING: %d runs ended with an exit code other than 0\n", failedRuns);

  for (const std::string& log : logs) DeleteFileA(log.c_str());
  RemoveShortcut(shortcut);
  RestoreSettings(saved);
  return 0;
}
