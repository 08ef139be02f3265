// The support routines' edge cases that the real program's runs do not reach.
#include <windows.h>

#include <gtest/gtest.h>

#include "support/command_line.h"
#include "support/paths.h"

namespace {

TEST(Support, FolderPartKeepsTheSeparatorAndNeverSplitsACharacter) {
  ASSERT_EQ(GetACP(), 932u);
  // 表 and ソ end in 0x5C, which is no separator there; a lead byte at the end stands alone.
  const char* cases[][2] = {
      {"C:\\dir\\file.lnk", "C:\\dir\\"},
      {"C:file", "C:"},
      {"dir/file", ""},
      {"C:\\Docs\\\x95\x5C.txt", "C:\\Docs\\"},
      {"C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C", "C:\\\x83\x5C\x83\x74\x83\x67\\"},
      {"C:\\a\\\x83", "C:\\a\\"},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(PathFolderPart(c[0]).c_str(), c[1]) << c[0];
  }
}

TEST(Support, TokensOfACommandLine) {
  const char* line = "\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1";
  const struct {
    const char* line;
    int index;
    const char* expected;
  } cases[] = {
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

}  // namespace
