// The structure check at its exact edges, on a small file built here.
#include "support/link_check.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using std::string;

bool Holds(const string& b) { return LinkFileHoldsTogether(reinterpret_cast<const uint8_t*>(b.data()), b.size()); }

// Header (ID list, link info, name, Unicode); a list of one 2-byte item; link
// info with a volume at 0x1C, path at 0x2D, suffix at 0x32; the name "a"; an
// unknown 8-byte block; the terminal block.
const string kHeader = string("L\0\0\0\1\x14\2\0\0\0\0\0\xC0\0\0\0\0\0\0\x46\x87", 21) + string(55, '\0');
const string kList("\4\0\2\0\0\0", 6);
const string kInfo = string("\x33\0\0\0\x1C\0\0\0\1\0\0\0\x1C\0\0\0\x2D\0\0\0\0\0\0\0\x32\0\0\0", 28) +
                     string("\x11\0\0\0\3\0\0\0\0\0\0\0\x10\0\0\0\0C:\\x\0\0", 23);
const string kBase = kHeader + kList + kInfo + string("\1\0a\0\x08\0\0\0ABCD\0\0\0\0", 16);

TEST(LinkCheck, EveryEdgeOfTheFormat) {
  ASSERT_EQ(kBase.size(), 0x95u);
  // Bytes [at, at + n) replaced; an empty replacement of the rest cuts the file.
  const size_t kRest = string::npos;
  const struct {
    size_t at;
    size_t n;
    string bytes;
    bool holds;
  } cases[] = {
      {0, 1, "L", true},
      {0, 1, "K", false},           // header size
      {0x13, 1, "G", false},        // class
      {0x14, 1, "\7", false},       // the name read as ANSI: the blocks misread
      {0x4C, 6, string("\3\0\1\0\0", 5), false},      // an item of size 1
      {0x4C, 6, string("\5\0\2\0\0\0\0", 7), false},  // terminator before the end
      {0x52, 1, "\x1B", false},     // link info smaller than its header
      {0x62, 1, "\x32", true},      // path at the last byte
      {0x62, 1, "\x33", false},     // path past the end
      {0x84, 1, "x", false},        // suffix unterminated
      {0x6E, 1, "\x17", true},      // volume up to the end
      {0x6E, 1, "\x18", false},
      {0x89, kRest, "", true},      // string ends at the end of the file
      {0x88, kRest, "", false},     // one byte short
      {0x85, kRest, "", true},      // strings missing at the end of the file
      {0x86, kRest, "", false},
      {0x89, 1, "\7", false},       // block smaller than its header
      {0x89, 1, "\x0C", true},      // block up to the end of the file
      {0x89, 1, "\x0D", false},
      {0x91, 1, "\x10", true},      // last four bytes: the terminal block
      {0x94, kRest, "", false},     // three bytes
      {0x91, kRest, "", true},      // no terminal block
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Holds(string(kBase).replace(c.at, c.n, c.bytes)), c.holds) << std::hex << c.at;
  }
  for (uint32_t extra : {0, 1}) {
    uint32_t block = kMaxLinkFileSize + extra - 0x91;
    string b = kBase.substr(0, 0x91) + string(reinterpret_cast<char*>(&block), 4) + "ABCD";
    b.resize(kMaxLinkFileSize + extra);
    EXPECT_EQ(Holds(b), extra == 0);
  }
}

}  // namespace
