#include <process.h>
#include <string.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "support/command_line.h"
#include "support/paths.h"

namespace {

const char kChildVariable[] = "TARVO_TEST_PARAM_CHILD";

// As the child of GetCommandParamReadsTheRealCommandLine: checks GetCommandParam for
// indices -1..3 and ends before the tests run, with one bit per wrong answer (32:
// the own path is taken for cut).
int CheckParamsIfChild() {
  if (!GetEnvironmentVariableA(kChildVariable, nullptr, 0)) return 0;
  char exe[MAX_PATH + 1];
  GetModuleFileNameA(nullptr, exe, sizeof exe);
  const char* expected[] = {"C:\\Tools\\app.exe", exe, "C:\\My Links\\x.lnk", "1", ""};
  bool truncated = true;
  ModuleFilePath(&truncated);
  UINT wrong = truncated ? 32 : 0;
  for (int i = -1; i <= 3; ++i) wrong |= strcmp(expected[i + 1], GetCommandParam(i).c_str()) ? 1 << (i + 1) : 0;
  ExitProcess(wrong);
}
const int childRan = CheckParamsIfChild();

bool NoLeadBytes(unsigned char) { return false; }

}  // namespace

// maxLen ~0u stands for CopyZ. Nothing may be written behind the terminator.
TEST(Strings, CopiesEndInATerminatorAndNothingBehindIt) {
  struct { const char* src; uint32_t maxLen; const char* expected; } cases[] = {
      {"abcdef", 3, "abc"}, {"abcdef", 0, ""}, {"ab", 10, "ab"}, {"abc", 3, "abc"},
      {"\x83\x5C" "a", ~0u, "\x83\x5C" "a"}};
  for (const auto& c : cases) {
    char dest[8] = "#######";
    EXPECT_EQ(dest, ~c.maxLen ? CopyZLimited(dest, c.src, c.maxLen) : CopyZ(dest, c.src));
    EXPECT_EQ(std::string(c.expected) + '\0' + '#', std::string(dest, strlen(c.expected) + 2)) << c.src << c.maxLen;
  }
}

TEST(Strings, SearchesFindTheLastHitAndComparesExactBytes) {
  const char* s = "a:b\\c\\d";
  struct { const char* set; int at; } cases[] = {{":\\", 5}, {"\\:", 5}, {":x", 1}, {"xyz", 7}, {"", 7}};
  for (const auto& c : cases) EXPECT_EQ(s + c.at, FindLastOf(s, c.set)) << c.set;
  EXPECT_STREQ("", FindLastOf(nullptr, ":\\"));
  EXPECT_EQ(s + 7, FindLastChar(s, '\0'));
  EXPECT_EQ(nullptr, FindLastChar(s, 'z'));
  EXPECT_TRUE(SameMemory("abc", "xyz", 0) && SameMemory("abc", "abd", 2) && SameMemory("a\0b", "a\0b", 3));
  EXPECT_FALSE(SameMemory("abc", "abd", 3) || SameMemory("A", "a", 1) || SameMemory("a\0b", "a\0c", 3));
}

TEST(Strings, ByteStringsOwnTheirBytesAndMove) {
  ByteString a = ByteString::FromBytes("ab\0cd", 5), b = static_cast<ByteString&&>(a);
  EXPECT_EQ(std::string("ab\0cd\0", 6), std::string(b.c_str(), b.length() + 1));
  EXPECT_TRUE(a.empty() && a.c_str() && !*a.c_str());
  const char* pieces[] = {"\"", nullptr, "C:\\x", "", "\x95\x5C\""};
  b = ByteString::Join(pieces, 5);
  EXPECT_EQ(std::string("\"C:\\x\x95\x5C\"") + '\0', std::string(b.c_str(), b.length() + 1));
  EXPECT_TRUE(ByteString::FromZ(nullptr).empty() && LengthZ(nullptr) == 0);
}

TEST(Paths, FolderPartKeepsTheSeparatorAndNeverSplitsACharacter) {
  ASSERT_EQ(932u, GetACP());  // the Japanese rows only mean something here
  struct { const char* path; const char* expected; } cases[] = {
      {"C:\\dir\\file.lnk", "C:\\dir\\"}, {"C:file", "C:"}, {"file.lnk", ""}, {"dir/file", ""}, {"C:\\", "C:\\"},
      {"\\\\server\\share\\x", "\\\\server\\share\\"}, {"", ""},
      // 表 and ソ end in 0x5C, which is no separator there; a lead byte cut off by the end stands alone.
      {"C:\\Docs\\\x95\x5C.txt", "C:\\Docs\\"}, {"C:\\a\\\x95\x5C\x95\x5C", "C:\\a\\"}, {"C:\\a\\\x83", "C:\\a\\"},
      {"C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C.txt", "C:\\\x83\x5C\x83\x74\x83\x67\\"}};
  for (const auto& c : cases) {
    ByteString folder = PathFolderPart(c.path);
    EXPECT_EQ(std::string(c.expected), std::string(folder.c_str(), folder.length())) << c.path;
  }
  EXPECT_TRUE(PathFolderPart(nullptr).empty());
  EXPECT_STREQ("C:\\Docs\\\x95\x5C", PathFolderPartWith("C:\\Docs\\\x95\x5C.txt", NoLeadBytes).c_str());
}

TEST(CommandLine, TokensOfAGivenLineLeaveTheLineAlone) {
  const char* l = "\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1";
  struct { const char* line; int index; const char* expected; } cases[] = {
      {l, 0, "C:\\Tools\\app.exe"}, {l, 1, "C:\\My Links\\x.lnk"}, {l, 2, "1"}, {l, 3, ""}, {l, 100, ""},
      {l, -1, "C:\\Tools\\app.exe"}, {l, -7, "C:\\Tools\\app.exe"}, {"app.exe \"\" x", 1, "x"},
      {"app.exe \"\" \"\"", 1, ""}, {"app.exe a\"b c\"d", 1, "a\"b c\"d"}, {"app.exe \"abc", 1, "\"abc"},
      {"app.exe \"a\"b\"", 1, "a\"b"}, {"app.exe\tx", 1, "x"}, {"app.exe \r\n\x01 x y", 2, "y"},
      {"app.exe \"\"abc", 1, "abc"}, {"app.exe \"", 1, "\""}, {"app.exe C:\\dir\\\"x y\"", 1, "C:\\dir\\\"x y\""},
      {"app.exe \x83\x5C\x95\x5C x", 1, "\x83\x5C\x95\x5C"}, {"\"a b\"c d", 0, "\"a b\"c"}, {"   lead", 0, "lead"},
      {"", 0, ""}, {"", 1, ""}};
  for (const auto& c : cases) {
    std::string line = c.line;
    EXPECT_EQ(std::string(c.expected), CommandParamOf(&line[0], c.index).c_str()) << c.line << " " << c.index;
    EXPECT_EQ(c.line, line);
  }
  EXPECT_TRUE(CommandParamOf(nullptr, 1).empty());
}

// Index 0 is the program file as the system knows it, not token 0 of the line.
TEST(CommandLine, GetCommandParamReadsTheRealCommandLine) {
  ASSERT_EQ(0, childRan);
  wchar_t exe[MAX_PATH + 1];
  ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH + 1), 0u);
  SetEnvironmentVariableA(kChildVariable, "1");
  // The runtime joins these pieces with single spaces and adds nothing.
  intptr_t wrong = _wspawnl(_P_WAIT, exe, L"\"C:\\Tools\\app.exe\"", L"\"C:\\My Links\\x.lnk\"", L"1", nullptr);
  SetEnvironmentVariableA(kChildVariable, nullptr);
  EXPECT_EQ(0, wrong);
}
