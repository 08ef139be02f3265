#include "support/paths.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace {

bool NoLeadBytes(unsigned char) { return false; }

}  // namespace

TEST(Paths, FolderPartKeepsTheSeparator) {
  // The cases with Japanese names only mean something under code page 932.
  ASSERT_EQ(932u, GetACP());
  struct Case {
    const char* path;
    const char* expected;
  } cases[] = {
      {"C:\\dir\\file.lnk", "C:\\dir\\"},
      {"C:file", "C:"},
      {"file.lnk", ""},
      {"dir/file", ""},
      {"C:\\", "C:\\"},
      {"C:\\Docs\\Sub", "C:\\Docs\\"},
      {"\\\\server\\share\\x", "\\\\server\\share\\"},
      {"", ""},
      // 表 and ソ end in 0x5C: the cut must not fall between their two bytes.
      {"C:\\Docs\\\x95\x5C.txt", "C:\\Docs\\"},
      {"C:\\\x83\x5C\x83\x74\x83\x67\\\x95\x5C.txt", "C:\\\x83\x5C\x83\x74\x83\x67\\"},
      {"C:\\Docs\\\x83\x5C", "C:\\Docs\\"},
      {"C:\\a\\\x95\x5C\x95\x5C", "C:\\a\\"},
      // A lead byte cut off by the terminator stands alone.
      {"C:\\a\\\x83", "C:\\a\\"},
  };
  for (const Case& c : cases) {
    ByteString folder = PathFolderPart(c.path);
    EXPECT_EQ(std::string(c.expected), std::string(folder.c_str(), folder.length())) << c.path;
  }
  EXPECT_TRUE(PathFolderPart(nullptr).empty());
}

TEST(Paths, FolderPartWithoutLeadBytesIsByteWise) {
  ByteString folder = PathFolderPartWith("C:\\Docs\\\x95\x5C.txt", NoLeadBytes);
  EXPECT_STREQ("C:\\Docs\\\x95\x5C", folder.c_str());
}
