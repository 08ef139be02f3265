#include "support/strings.h"

#include <stdlib.h>
#include <string.h>

void OutOfMemory() { _Exit(8); }

void* AllocZeroed(size_t size) {
  void* p = calloc(size, 1);
  if (!p) OutOfMemory();
  return p;
}

ByteString& ByteString::operator=(ByteString&& other) {
  if (this != &other) {
    free(data_);
    data_ = other.data_;
    length_ = other.length_;
    other.data_ = nullptr;
    other.length_ = 0;
  }
  return *this;
}

ByteString::~ByteString() { free(data_); }

ByteString ByteString::FromBytes(const char* bytes, uint32_t length) {
  ByteString s;
  if (length == 0) return s;
  s.data_ = static_cast<char*>(AllocZeroed(length + 1));
  memcpy(s.data_, bytes, length);
  s.length_ = length;
  return s;
}

ByteString ByteString::FromZ(const char* z) { return FromBytes(z, LengthZ(z)); }

ByteString ByteString::Join(const char* const* pieces, int count) {
  uint32_t total = 0;
  for (int i = 0; i < count; ++i) total += LengthZ(pieces[i]);
  ByteString s;
  if (total == 0) return s;
  s.data_ = static_cast<char*>(AllocZeroed(total + 1));
  char* at = s.data_;
  for (int i = 0; i < count; ++i) {
    uint32_t n = LengthZ(pieces[i]);
    if (n) memcpy(at, pieces[i], n);
    at += n;
  }
  s.length_ = total;
  return s;
}

char* CopyZ(char* dest, const char* src) {
  uint32_t n = LengthZ(src);
  memcpy(dest, src, n);
  dest[n] = 0;
  return dest;
}

char* CopyZLimited(char* dest, const char* src, uint32_t maxLen) {
  uint32_t n = 0;
  while (n < maxLen && src[n]) {
    dest[n] = src[n];
    ++n;
  }
  dest[n] = 0;
  return dest;
}

uint32_t LengthZ(const char* s) {
  if (!s) return 0;
  uint32_t n = 0;
  while (s[n]) ++n;
  return n;
}

const char* FindLastChar(const char* s, char ch) {
  if (!s) return nullptr;
  const char* found = nullptr;
  const char* p = s;
  for (;; ++p) {
    if (*p == ch) found = p;
    if (!*p) break;
  }
  return found;
}

const char* FindLastOf(const char* s, const char* set) {
  if (!s) s = "";
  const char* end = s + LengthZ(s);
  const char* best = nullptr;
  for (const char* c = set; c && *c; ++c) {
    const char* hit = FindLastChar(s, *c);
    if (hit && (!best || hit > best)) best = hit;
  }
  return best ? best : end;
}

bool SameMemory(const void* a, const void* b, uint32_t n) {
  return n == 0 || memcmp(a, b, n) == 0;
}
