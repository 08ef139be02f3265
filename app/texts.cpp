// Written in UTF-8, compiled into code page 932 bytes (-fexec-charset=CP932).
// The byte lengths guard against a compiler that would not convert.
#include "app/texts.h"

#include <windows.h>

#include "support/wide_text.h"
#include "tarvo_version.h"

#define DEFINE_TEXT(name, value, bytes) \
  const char name[] = value;      \
  static_assert(sizeof name == (bytes) + 1, #name " is not in code page 932")

DEFINE_TEXT(kAppName, "Tarvo", 5);
DEFINE_TEXT(kFormCaption, "Tarvo　", 7);
// ASCII, the same bytes in every code page.
const char kVersionText[] = "Ver" TARVO_VERSION;

DEFINE_TEXT(kRuntimeErrorText, "Runtime error 227 at ", 21);
DEFINE_TEXT(kRuntimeErrorCaption, "Error", 5);

namespace {

const LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);
// The table the system's loader falls back to (see tarvo.rc).
const LANGID kEnglish = MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US);
const unsigned kTextsPerBlock = 16;

// Block n + 1 holds ids 16n to 16n + 15, each as its length in UTF-16 units
// and then those units. The language is asked for exactly: the loader's own
// choice would follow the thread's language, not the user's display language.
ByteString LoadText(unsigned id, LANGID language) {
  HRSRC block =
      FindResourceExA(nullptr, RT_STRING, MAKEINTRESOURCEA(id / kTextsPerBlock + 1), language);
  HGLOBAL loaded = block ? LoadResource(nullptr, block) : nullptr;
  const WCHAR* entry = static_cast<const WCHAR*>(loaded ? LockResource(loaded) : nullptr);
  if (!entry) return ByteString();
  for (unsigned i = id % kTextsPerBlock; i > 0; --i) entry += 1 + *entry;
  return NarrowText(entry + 1, *entry);
}

}  // namespace

ByteString UserText(unsigned id) {
  bool japanese = PRIMARYLANGID(GetUserDefaultUILanguage()) == LANG_JAPANESE;
  return LoadText(id, japanese ? kJapanese : kEnglish);
}

ByteString JapaneseText(unsigned id) { return LoadText(id, kJapanese); }
