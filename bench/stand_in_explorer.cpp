// Stands in for explorer.exe in the bench folder: the shell finds it before
// the real Explorer. It appends its command line and a line break to the file
// named by BENCH_LAUNCH_LOG, so the launcher can check what was asked for,
// and exits at once.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("BENCH_LAUNCH_LOG", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return 1;
  const char* line = GetCommandLineA();
  // Append-only access: runs that overlap cannot overwrite each other's record.
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  WriteFile(file, line, lstrlenA(line), &written, nullptr);
  WriteFile(file, "\n", 1, &written, nullptr);
  CloseHandle(file);
  return 0;
}
