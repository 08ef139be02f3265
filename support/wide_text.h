#pragma once

#include <stdint.h>

#include "support/strings.h"

// A text of the program (code page 932 bytes) as UTF-16 for the system's wide
// functions. Every text crosses into the system through this one conversion:
// handed to an ANSI function it would be read in the system's own code page,
// and only a system whose code page is 932 would show and store it right.
// Move-only, like ByteString, so that every buffer has exactly one owner.
class WideText {
public:
  explicit WideText(const char* text);
  WideText(const WideText&) = delete;
  WideText& operator=(const WideText&) = delete;
  ~WideText();

  const wchar_t* c_str() const { return data_; }
  // In characters, without the terminator.
  uint32_t length() const { return length_; }

private:
  wchar_t* data_;
  uint32_t length_;
};

// The way back, for the texts the program keeps as UTF-16 (its string tables):
// inside the program every text is code page 932 bytes, and this file alone
// knows that code page. length is in characters.
ByteString NarrowText(const wchar_t* text, uint32_t length);
