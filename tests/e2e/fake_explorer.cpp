// Stands in for explorer.exe in the end-to-end tests. Placed beside tarvo.exe
// it is what the shell finds first, so every folder window Tarvo asks for
// lands here instead, as one record of the exact command line bytes.
//
// Record: "launch <N>\n", then the N bytes of GetCommandLineA, then "\n".
// Log: the Windows path in TARVO_LAUNCH_LOG, else launches.log beside this
// program. Exit code 0 once the record is written, 1 if it could not be.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  const char* line = GetCommandLineA();
  char path[MAX_PATH + 16] = {};
  DWORD n = GetEnvironmentVariableA("TARVO_LAUNCH_LOG", path, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) {
    n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return 1;
    char* slash = strrchr(path, '\\');
    strcpy(slash ? slash + 1 : path, "launches.log");
  }

  size_t length = strlen(line);
  char* record = static_cast<char*>(malloc(length + 32));
  if (!record) return 1;
  int head = sprintf(record, "launch %u\n", unsigned(length));
  memcpy(record + head, line, length);
  record[head + length] = '\n';
  DWORD size = DWORD(head + length + 1);

  // Append-only access puts each write at the end of the file, and one write
  // per record keeps two launches at once from interleaving.
  HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                            OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return 1;
  DWORD written = 0;
  BOOL ok = WriteFile(file, record, size, &written, nullptr) && written == size;
  CloseHandle(file);
  free(record);
  return ok ? 0 : 1;
}
