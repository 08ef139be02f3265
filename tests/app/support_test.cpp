// The support routines whose edge cases the real program's runs do not reach.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/command_line.h"
#include "support/paths.h"

namespace {

TEST(Support, FolderPartKeepsTheSeparatorAndNeverSplitsACharacter) {
  ASSERT_EQ(GetACP(), 932u);  // the Japanese rows only mean something here
  const struct {
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\dir\\file.lnk", "C:\\dir\\"},
      {"C:file", "C:"},
      {"file.lnk", ""},
      {"dir/file", ""},
      // 表 and ソ end in 0x5C, which is no separator there; a lead byte cut off by the end stands alone.
      {"C:\\Docs\\\x95\x5C.txt", "C:\\Docs\\"},
      {"C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C", "C:\\\x83\x5C\x83\x74\x83\x67\\"},
      {"C:\\a\\\x83", "C:\\a\\"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(PathFolderPart(c.path).c_str(), c.expected) << c.path;
  }
}

TEST(Support, TokensOfACommandLine) {
  const char* line = "\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1";
  const struct {
    const char* line;
    int index;
    const char* expected;
  } cases[] = {
      {line, 0, "C:\\Tools\\app.exe"},
      {line, 1, "C:\\My Links\\x.lnk"},
      {line, 2, "1"},
      {line, 3, ""},
      {line, -1, "C:\\Tools\\app.exe"},
      {"app.exe \"\" x", 1, "x"},
      {"app.exe a\"b c\"d", 1, "a\"b c\"d"},
      {"app.exe \"abc", 1, "\"abc"},
      {"app.exe \r\n\x01 x y", 2, "y"},
      {"app.exe \x83\x5C\x95\x5C x", 1, "\x83\x5C\x95\x5C"},
      {"\"a b\"c d", 0, "\"a b\"c"},
      {"", 1, ""},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(CommandParamOf(c.line, c.index).c_str(), c.expected) << c.line << " " << c.index;
  }
}

// The crossing from wide to code page 932 is exact or refused, never best fit.
TEST(Support, AnsiFormIsExactOrRefused) {
  const struct {
    const wchar_t* wide;
    const char* ansi;  // null: refused
  } cases[] = {
      {L"C:\\a b\\x.lnk", "C:\\a b\\x.lnk"},
      {L"ソ表", "\x83\x5C\x95\x5C"},
      {L"Müller", nullptr},
      {L"a¥b", nullptr},
      {L"か\u3099", nullptr},
      {L"한국", nullptr},
  };
  for (const auto& c : cases) {
    ByteString ansi;
    bool exact = ToAnsiExact(c.wide, &ansi);
    EXPECT_EQ(exact, c.ansi != nullptr);
    if (exact && c.ansi) {
      EXPECT_STREQ(ansi.c_str(), c.ansi);
    }
  }
}

}  // namespace
