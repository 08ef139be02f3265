#include "support/paths.h"

#include <windows.h>

namespace {

bool IsAnsiLeadByte(unsigned char byte) { return IsDBCSLeadByte(byte) != FALSE; }

}  // namespace

ByteString PathFolderPartWith(const char* path, LeadBytePredicate isLeadByte) {
  if (!path) return ByteString();
  uint32_t cut = 0;
  uint32_t i = 0;
  while (path[i]) {
    unsigned char b = static_cast<unsigned char>(path[i]);
    // A lead byte right before the terminator stands alone; taking two bytes
    // would step past the end.
    if (isLeadByte(b) && path[i + 1]) {
      i += 2;
      continue;
    }
    if (b == '\\' || b == ':') cut = i + 1;
    ++i;
  }
  return ByteString::FromBytes(path, cut);
}

ByteString PathFolderPart(const char* path) { return PathFolderPartWith(path, IsAnsiLeadByte); }
