// Stands in for explorer.exe: beside tarvo.exe it is what the shell finds
// first, so each folder window Tarvo asks for lands here instead, as one record
// in TARVO_LAUNCH_LOG: the exact bytes of the command line and a zero byte.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  char path[MAX_PATH];
  DWORD n = GetEnvironmentVariableA("TARVO_LAUNCH_LOG", path, MAX_PATH);
  const char* line = GetCommandLineA();
  DWORD size = DWORD(lstrlenA(line) + 1), written = 0;
  // Append-only access and one write per record: two launches at once cannot interleave.
  HANDLE file = n && n < MAX_PATH ? CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                nullptr, OPEN_ALWAYS, 0, nullptr)
                                  : INVALID_HANDLE_VALUE;
  if (file == INVALID_HANDLE_VALUE) return 1;
  BOOL ok = WriteFile(file, line, size, &written, nullptr) && written == size;
  CloseHandle(file);
  return ok ? 0 : 1;
}
