// Stands in for explorer.exe: beside tarvo.exe it is what the shell finds
// first, so each folder window Tarvo asks for lands here instead, as one record
// in TARVO_LAUNCH_LOG: the wide command line in UTF-8 and a zero byte.
#include <windows.h>

int WINAPI wWinMain(HINSTANCE, HINSTANCE, LPWSTR, int) {
  char path[MAX_PATH];
  char line[4096];
  DWORD n = GetEnvironmentVariableA("TARVO_LAUNCH_LOG", path, MAX_PATH);
  int size = WideCharToMultiByte(CP_UTF8, 0, GetCommandLineW(), -1, line, sizeof line, nullptr, nullptr);
  if (n == 0 || n >= MAX_PATH || size == 0) return 1;
  // Append-only access and one write per record: two launches at once cannot interleave.
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_ALWAYS, 0, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  BOOL ok = WriteFile(file, line, size, &written, nullptr);
  CloseHandle(file);
  return ok && written == DWORD(size) ? 0 : 1;
}
