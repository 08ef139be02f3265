#pragma once
// Drives the real tarvo.exe under Wine: a folder with tarvo.exe and the
// recording explorer.exe, real shortcut files, real processes, real input
// through SendInput, and the real registry of the test prefix.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// Code page 932 texts of the program, as the tests expect to see them.
extern const char kCaption[];      // Tarvo　
extern const char kNormalText[];   // リンク先を開く
extern const char kExploreText[];  // リンク先をエクスプローラで開く
extern const char kSelectText[];   // 選択状態で開く
extern const char kVerbsKey[];     // SOFTWARE\Classes\lnkfile\shell
extern const char kOptionsKey[];   // SOFTWARE\vek\Tarvo
extern const char kMakerKey[];     // SOFTWARE\vek

// The folder in which the tests put tarvo.exe, explorer.exe, targets and
// shortcuts; made afresh once per test program.
struct Bench {
  std::string root;  // ends in '\'
  std::string bin;   // tarvo.exe and explorer.exe
  std::string exe;
  std::string launchLog;
};
const Bench& TheBench();

void MakeFolder(const std::string& path);
void MakeFile(const std::string& path);
// A real .lnk made through the shell link object; false when it could not be saved.
bool MakeShortcut(const std::string& link, const std::string& target);

// One run of tarvo.exe; a run still alive when this goes away is ended.
class TarvoRun {
 public:
  explicit TarvoRun(const std::string& arguments);
  ~TarvoRun();
  TarvoRun(const TarvoRun&) = delete;
  TarvoRun& operator=(const TarvoRun&) = delete;

  bool started() const { return process_ != nullptr; }
  DWORD pid() const { return pid_; }
  DWORD thread() const { return tid_; }
  // The exit code, or nothing when the process still runs after timeoutMs.
  std::optional<DWORD> WaitExit(DWORD timeoutMs = 15000);
  // The settings window, once it is visible and the program waits for input.
  HWND WaitForForm(DWORD timeoutMs = 15000);
  // Command lines that reached the recording explorer.exe from this run. Call
  // after the run has ended: the shell had started every launch by then, so
  // waiting for this run's child processes makes the answer complete.
  std::vector<std::string> Launches();

 private:
  HANDLE process_ = nullptr;
  DWORD pid_ = 0;
  DWORD tid_ = 0;
};

// Windows that processes of the tests made or were about to show, as seen by
// show_recorder.dll, a global message hook installed once per test program.
struct WindowEvent {
  HWND window;
  UINT message;  // WM_NCCREATE, or one of the messages that precede a show
  std::string className;
};
std::vector<WindowEvent> TopLevelEventsOf(DWORD pid);
std::vector<HWND> ShownTopLevelWindowsOf(DWORD pid);

// Registry of the test prefix.
struct Options {
  bool normal, explore, select;
};
// Removes every key that Tarvo or a test made.
void ClearTarvoRegistry();
void StoreOptions(const Options& options);
struct RegValue {
  DWORD type;
  std::string bytes;
  bool operator==(const RegValue& o) const { return type == o.type && bytes == o.bytes; }
};
std::optional<RegValue> ReadValue(HKEY root, const std::string& key, const char* name);
bool KeyExists(HKEY root, const std::string& key);
RegValue Dword(DWORD value);
RegValue Text(const std::string& text);  // REG_SZ with its terminating zero

// The child of form whose window text is text; null when none.
HWND FindChild(HWND form, const std::string& text);
std::string WindowText(HWND window);
bool IsChecked(HWND box);
// Dispatches this thread's messages for about ms milliseconds.
void PumpFor(DWORD ms);
bool WaitUntil(bool (*pred)(void*), void* context, DWORD timeoutMs = 5000);

// Real input, through the system's input queue.
bool BringToFront(HWND window);
void PressKey(WORD vk);
void ClickScreen(POINT p);
// Waits until the thread of window holds no mouse capture.
bool NoMouseCapture(HWND window);
// Cursor, foreground, focus and capture as the system sees them, for failures.
std::string InputState(HWND window);
// Clicks near the left end of a control (the box of a check box), or its centre.
void ClickControl(HWND control, bool atLeft);
