// Command-line edge cases the real program's runs do not reach.
#include <gtest/gtest.h>

#include "support/command_line.h"

namespace {

TEST(Support, TokensOfACommandLine) {
  const struct {
    const char* line;
    int index;
    const char* expected;
  } cases[] = {
      {"app.exe \"\" x", 1, "x"},
      {"app.exe \"abc", 1, "\"abc"},
      {"app.exe \r\n\x01 x !y", 2, "!y"},
      {"app.exe \x83\x5C\x95\x5C x", 1, "\x83\x5C\x95\x5C"},
      {"\"a b\"c d", 0, "\"a b\"c"},
      {"app.exe \"", 1, "\""},
  };
  for (const auto& c : cases) {
    EXPECT_STREQ(CommandParamOf(c.line, c.index).c_str(), c.expected) << c.line << " " << c.index;
  }
}

}  // namespace
