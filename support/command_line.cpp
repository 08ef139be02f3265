#include "support/command_line.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

namespace {

const uint32_t kModulePathBuffer = MAX_PATH + 1;

uint32_t Unsigned(char c) { return static_cast<unsigned char>(c); }
uint32_t Unsigned(wchar_t c) { return c; }

template <typename Ch>
bool IsBlank(Ch c) {
  return Unsigned(c) >= 1 && Unsigned(c) <= 32;
}

// Token number index of line, its enclosing quotes removed; null when the line
// has fewer tokens. The rules are the same for bytes and for wide characters.
template <typename Ch>
const Ch* FindParam(const Ch* line, int index, uint32_t* length) {
  if (index < 0) index = 0;
  const Ch* p = line;
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
    const Ch* start = p;
    while (Unsigned(*p) > 32) {
      if (*p == '"') {
        ++p;
        while (*p && *p != '"') ++p;
        if (*p) ++p;
      } else {
        ++p;
      }
    }
    *length = static_cast<uint32_t>(p - start);
    if (*length == 0) return nullptr;
    if (number == index) {
      if (*length >= 2 && start[0] == '"' && start[*length - 1] == '"') {
        ++start;
        *length -= 2;
      }
      return start;
    }
  }
}

}  // namespace

ByteString CommandParamOf(const char* commandLine, int index) {
  uint32_t length = 0;
  const char* start = FindParam(commandLine ? commandLine : "", index, &length);
  return start ? ByteString::FromBytes(start, length) : ByteString();
}

bool WideCommandParam(int index, wchar_t* buffer, uint32_t capacity) {
  uint32_t length = 0;
  const wchar_t* start = FindParam<wchar_t>(GetCommandLineW(), index, &length);
  if (!start || length >= capacity) return false;
  memcpy(buffer, start, length * sizeof *buffer);
  buffer[length] = 0;
  return true;
}

bool ToAnsiExact(const wchar_t* wide, ByteString* ansi) {
  // Without WC_NO_BEST_FIT_CHARS a ü would become u and report nothing lost.
  const DWORD kExactOnly = WC_NO_BEST_FIT_CHARS;
  int size = WideCharToMultiByte(CP_ACP, kExactOnly, wide, -1, nullptr, 0, nullptr, nullptr);
  if (size == 0) return false;
  char* bytes = static_cast<char*>(AllocZeroed(size));
  BOOL usedDefault = FALSE;
  WideCharToMultiByte(CP_ACP, kExactOnly, wide, -1, bytes, size, nullptr, &usedDefault);
  *ansi = ByteString::FromBytes(bytes, size - 1);
  free(bytes);
  return !usedDefault;
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
