#include "support/command_line.h"

#include <windows.h>

namespace {

const uint32_t kModulePathBuffer = MAX_PATH + 1;

bool IsBlank(unsigned char b) { return b >= 1 && b <= 32; }

}  // namespace

ByteString CommandParamOf(const char* commandLine, int index) {
  if (index < 0) index = 0;
  const unsigned char* p = reinterpret_cast<const unsigned char*>(commandLine ? commandLine : "");
  for (int number = 0;; ++number) {
    // An empty pair of quotes standing alone is no parameter at all.
    for (;;) {
      if (IsBlank(*p)) {
        ++p;
      } else if (p[0] == '"' && p[1] == '"') {
        p += 2;
      } else {
        break;
      }
    }
    const unsigned char* start = p;
    while (*p > 32) {
      if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p) ++p;
      } else {
        ++p;
      }
    }
    uint32_t length = static_cast<uint32_t>(p - start);
    if (length == 0) return ByteString();
    if (number == index) {
      if (length >= 2 && start[0] == '"' && start[length - 1] == '"') {
        ++start;
        length -= 2;
      }
      return ByteString::FromBytes(reinterpret_cast<const char*>(start), length);
    }
  }
}

ByteString ModuleFilePath(bool* truncated) {
  char buffer[kModulePathBuffer];
  DWORD n = GetModuleFileNameA(nullptr, buffer, kModulePathBuffer);
  // A full buffer means the path was cut (and, on older systems, not terminated).
  if (truncated) *truncated = n >= kModulePathBuffer;
  return ByteString::FromBytes(buffer, n);
}

ByteString GetCommandParam(int index) {
  if (index == 0) return ModuleFilePath(nullptr);
  return CommandParamOf(GetCommandLineA(), index);
}
