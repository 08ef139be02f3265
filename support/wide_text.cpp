#include "support/wide_text.h"

#include <stdlib.h>
#include <windows.h>

#include "support/strings.h"

namespace {

// Every Windows carries this table, whatever its own code page.
const UINT kTextCodePage = 932;

}  // namespace

WideText::WideText(const char* text) {
  if (!text) text = "";
  // No flags: the same conversion as a code page 932 system's own.
  int size = MultiByteToWideChar(kTextCodePage, 0, text, -1, nullptr, 0);
  if (size < 1) size = 1;
  data_ = static_cast<wchar_t*>(AllocZeroed(size * sizeof(wchar_t)));
  MultiByteToWideChar(kTextCodePage, 0, text, -1, data_, size);
  length_ = static_cast<uint32_t>(size - 1);
}

WideText::~WideText() { free(data_); }

ByteString NarrowText(const wchar_t* text, uint32_t length) {
  int size = WideCharToMultiByte(kTextCodePage, 0, text, length, nullptr, 0, nullptr, nullptr);
  if (size < 1) return ByteString();
  char* bytes = static_cast<char*>(AllocZeroed(size));
  WideCharToMultiByte(kTextCodePage, 0, text, length, bytes, size, nullptr, nullptr);
  ByteString narrow = ByteString::FromBytes(bytes, size);
  free(bytes);
  return narrow;
}
