#pragma once

#include <stddef.h>
#include <stdint.h>

// Memory exhaustion ends the process with exit code 8 (ERROR_NOT_ENOUGH_MEMORY):
// nothing in the program can go on without the memory it asked for, and a
// caller that got null would only crash later somewhere less obvious.
[[noreturn]] void OutOfMemory();
// size zero-filled bytes from the heap (free with free); never null.
void* AllocZeroed(size_t size);

// An owned, zero-terminated byte string (text for the ANSI functions). Move-only so that
// every buffer has exactly one owner; an empty value holds no memory at all.
class ByteString {
public:
  ByteString() = default;
  ByteString(ByteString&& other) : data_(other.data_), length_(other.length_) {
    other.data_ = nullptr;
    other.length_ = 0;
  }
  ByteString& operator=(ByteString&& other);
  ByteString(const ByteString&) = delete;
  ByteString& operator=(const ByteString&) = delete;
  ~ByteString();

  // Copies length bytes and adds a terminator; the bytes may contain zeros.
  static ByteString FromBytes(const char* bytes, uint32_t length);
  static ByteString FromZ(const char* s);
  // Joins count zero-terminated pieces (null pieces count as empty).
  static ByteString Join(const char* const* pieces, int count);
  template <int N>
  static ByteString Join(const char* const (&pieces)[N]) {
    return Join(pieces, N);
  }

  const char* c_str() const { return data_ ? data_ : ""; }
  uint32_t length() const { return length_; }
  bool empty() const { return length_ == 0; }

private:
  char* data_ = nullptr;
  uint32_t length_ = 0;
};

// Collects pieces of text one by one, as many as come.
class TextBuilder {
public:
  void Add(const char* piece) {
    const char* pieces[] = {text_.c_str(), piece};
    text_ = ByteString::Join(pieces);
  }
  ByteString Take() { return static_cast<ByteString&&>(text_); }

private:
  ByteString text_;
};

char* CopyZ(char* dest, const char* src);
char* CopyZLimited(char* dest, const char* src, uint32_t maxLen);
uint32_t LengthZ(const char* s);
const char* FindLastChar(const char* s, char ch);
const char* FindLastOf(const char* s, const char* set);
bool SameMemory(const void* a, const void* b, uint32_t n);
