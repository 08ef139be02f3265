#include "support/strings.h"

#include <gtest/gtest.h>

#include <string.h>

#include <string>

TEST(Strings, CopyZLimitedCutsAndAlwaysTerminates) {
  struct Case {
    const char* src;
    uint32_t maxLen;
    const char* expected;
  } cases[] = {
      {"abcdef", 3, "abc"}, {"abcdef", 0, ""}, {"ab", 10, "ab"}, {"", 5, ""}, {"abc", 3, "abc"},
  };
  for (const Case& c : cases) {
    char dest[16];
    memset(dest, '#', sizeof dest);
    EXPECT_EQ(dest, CopyZLimited(dest, c.src, c.maxLen));
    size_t n = strlen(c.expected);
    EXPECT_EQ(std::string(c.expected), std::string(dest)) << c.src << " " << c.maxLen;
    // Nothing is written behind the terminator.
    EXPECT_EQ('#', dest[n + 1]) << c.src << " " << c.maxLen;
  }
}

TEST(Strings, CopyZCopiesTheTerminatorOnly) {
  char dest[8];
  memset(dest, '#', sizeof dest);
  EXPECT_EQ(dest, CopyZ(dest, "\x83\x5C" "a"));
  EXPECT_EQ(0, memcmp(dest, "\x83\x5C" "a\0#", 5));
}

TEST(Strings, LengthZCountsBytes) {
  EXPECT_EQ(0u, LengthZ(nullptr));
  EXPECT_EQ(0u, LengthZ(""));
  EXPECT_EQ(5u, LengthZ("\x95\x5C" "abc"));
}

TEST(Strings, FindLastCharAndFindLastOf) {
  const char* s = "a:b\\c\\d";
  EXPECT_EQ(s + 5, FindLastChar(s, '\\'));
  EXPECT_EQ(s + 1, FindLastChar(s, ':'));
  EXPECT_EQ(nullptr, FindLastChar(s, 'z'));
  EXPECT_EQ(s + 7, FindLastChar(s, '\0'));

  const char* t = "a:b\\c";
  EXPECT_EQ(t + 3, FindLastOf(t, ":\\"));
  EXPECT_EQ(t + 3, FindLastOf(t, "\\:"));
  EXPECT_EQ(t + 1, FindLastOf(t, ":x"));
  EXPECT_EQ(t + 5, FindLastOf(t, "xyz"));
  EXPECT_EQ(t + 5, FindLastOf(t, ""));
  const char* none = FindLastOf(nullptr, ":\\");
  ASSERT_NE(nullptr, none);
  EXPECT_EQ('\0', *none);
}

TEST(Strings, SameMemoryComparesExactBytes) {
  EXPECT_TRUE(SameMemory("abc", "xyz", 0));
  EXPECT_TRUE(SameMemory("abc", "abd", 2));
  EXPECT_FALSE(SameMemory("abc", "abd", 3));
  EXPECT_FALSE(SameMemory("A", "a", 1));
  EXPECT_TRUE(SameMemory("a\0b", "a\0b", 3));
  EXPECT_FALSE(SameMemory("a\0b", "a\0c", 3));
}

TEST(Strings, ByteStringOwnsAndMoves) {
  ByteString a = ByteString::FromBytes("ab\0cd", 5);
  EXPECT_EQ(5u, a.length());
  EXPECT_EQ(0, memcmp(a.c_str(), "ab\0cd", 6));

  ByteString b = static_cast<ByteString&&>(a);
  EXPECT_TRUE(a.empty());
  EXPECT_STREQ("", a.c_str());
  EXPECT_EQ(5u, b.length());

  const char* pieces[] = {"\"", nullptr, "C:\\x", "", "\""};
  ByteString joined = ByteString::Join(pieces, 5);
  EXPECT_STREQ("\"C:\\x\"", joined.c_str());
  EXPECT_EQ(6u, joined.length());
  b = static_cast<ByteString&&>(joined);
  EXPECT_STREQ("\"C:\\x\"", b.c_str());
  EXPECT_TRUE(ByteString::FromZ(nullptr).empty());
}
