// Stands in for explorer.exe: logs each wide command line in UTF-8 and a zero byte.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  char path[MAX_PATH] = {};
  char line[4096];
  GetEnvironmentVariableA("TARVO_LAUNCH_LOG", path, MAX_PATH);
  int size = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line, nullptr, nullptr);
  // Wine appends at the end it last saw: launches at once take turns.
  HANDLE turn = CreateMutexA(nullptr, FALSE, "tarvo launch log");
  WaitForSingleObject(turn, INFINITE);
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  DWORD written = 0;
  WriteFile(file, line, size, &written, nullptr);
  CloseHandle(file);
  ReleaseMutex(turn);
  return written == DWORD(size) ? 0 : 1;
}
