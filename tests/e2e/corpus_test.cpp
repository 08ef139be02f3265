// Broken shortcut files, the same bytes on every run, each run in both modes
// with "select" off and on.
#include "e2e/harness.h"
#include "support/link_check.h"

namespace {

// A 76-byte header (flags at 0x14), then the ID list.
const size_t kHeader = 76;

uint32_t Field(const string& b, size_t at, size_t size) {
  uint32_t value = 0;
  memcpy(&value, b.data() + at, size);
  return value;
}

// As bytes and as UTF-16.
string Replaced(string b, string from, string to) {
  for (int wide = 0; wide < 2; ++wide) {
    for (size_t at; (at = b.find(from)) != string::npos;) b.replace(at, from.size(), to);
    for (size_t i = from.size(); i > 0; --i) {
      from.insert(i, 1, '\0');
      to.insert(i, 1, '\0');
    }
  }
  return b;
}

bool Holds(const string& b) {
  return LinkFileHoldsTogether(reinterpret_cast<const uint8_t*>(b.data()), b.size());
}

TEST(Corpus, BrokenShortcutsOpenTheirTargetOrNothing) {
  const wstring dir = TheBench().root + L"corpus\\";
  const wstring target = dir + L"t.txt";
  SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
  WriteBytes(target, "");
  // Times and volume serial fixed.
  MakeShortcut(dir + L"valid.lnk", target);
  string valid = ReadBytes(dir + L"valid.lnk").replace(0x1C, 28, 28, '\0');
  const size_t listEnd = kHeader + 2 + Field(valid, kHeader, 2);
  valid.replace(listEnd + Field(valid, listEnd + 12, 4) + 8, 4, "TRV0");
  for (size_t at = kHeader + 2, n; (n = Field(valid, at, 2)); at += n) {
    if ((valid[at + 2] & 0x70) == 0x30) valid.replace(at + 8, 4, 4, 0).replace(at + Field(valid, at + n - 2, 2) + 8, 8, 8, 0);
  }
  wchar_t desktop[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
  // Mode 0 and 1, select off and on.
  const Launches answers = {FolderWindow(dir), FolderWindow(dir), SelectWindow(false, target), SelectWindow(true, target)};
  std::map<wstring, Launches> expected = {
      {L"info only", answers},
      // The ID list names nothing.
      {L"damaged list", answers},
      {L"control", Launches(4)},
      // Network: "::{CLSID}" under Wine, right below the desktop.
      {L"virtual", Launches(4, FolderWindow(desktop))},
      // A list that reads as the desktop, or names the folder above the target:
      // the path data names the target.
      {L"desktop list", answers},
      {L"short list", answers},
      // The list is right, and wins over path data that names another file.
      {L"moved path", answers},
      // Read as the desktop too, but stopped by the check.
      {L"item of size 1", Launches(4)},
  };
  WriteBytes(dir + L"desktop list.lnk", string(valid).replace(kHeader, listEnd - kHeader, string("\2\0\0\0", 4)));
  size_t last = kHeader + 2;
  for (size_t at = last, n; (n = Field(valid, at, 2)); at += n) last = at;
  const uint16_t shortSize = uint16_t(last - kHeader);
  WriteBytes(dir + L"short list.lnk", string(valid).erase(last, listEnd - 2 - last).replace(kHeader, 2, reinterpret_cast<const char*>(&shortSize), 2));
  WriteBytes(dir + L"u.txt", "");
  WriteBytes(dir + L"moved path.lnk", valid.substr(0, listEnd) + Replaced(valid.substr(listEnd), "t.txt", "u.txt"));
  WriteBytes(dir + L"item of size 1.lnk", string(valid).replace(kHeader + 2, 1, "\1"));
  WriteBytes(dir + L"info only.lnk", string(valid).replace(0x14, 1, "\x82").erase(kHeader, listEnd - kHeader));
  WriteBytes(dir + L"damaged list.lnk", Replaced(valid.substr(0, listEnd), "t.txt", "q.txt") + valid.substr(listEnd));
  WriteBytes(dir + L"control.lnk", Replaced(valid, "t.txt", "t\x01txt"));
  ITEMIDLIST* network = nullptr;
  SHGetSpecialFolderLocation(nullptr, CSIDL_NETWORK, &network);
  MakeShortcut(dir + L"virtual.lnk", L"", network);
  CoTaskMemFree(network);
  // Truncated, bit-flipped, random tails.
  uint32_t random = 20261207;
  for (int i = 0; i < 40; ++i) {
    string broken = valid.substr(0, i < 10 ? valid.size() * i / 10 : valid.size());
    for (int n = i < 10 ? 0 : i < 34 ? 1 + i % 3 : 64; n > 0; --n) {
      random = random * 1103515245 + 12345;
      if (i < 34) {
        broken[(random >> 8) % broken.size()] ^= char(1 << random % 8);
      } else {
        broken += char(random >> 16);
      }
    }
    const wstring name = L"broken " + std::to_wstring(i);
    WriteBytes(dir + name + L".lnk", broken);
    // Cut files never reach the loader.
    if (i < 10) EXPECT_FALSE(Holds(broken));
    expected[name] = {};
  }
  // The same bytes every run: a file that passes the check but not the reader
  // fails every time.
  for (const auto& [name, want] : expected) {
    const wstring file = dir + name + L".lnk";
    for (int run = 0; run < 4; ++run) {
      SCOPED_TRACE(U8(name + std::to_wstring(run)));
      StoreOptions(run < 2 ? "000" : "001");
      TarvoRun tarvo(Quoted(file) + (run % 2 ? L" \"1\"" : L" \"0\""));
      EXPECT_EQ(tarvo.WaitExit(), 0u);
      EXPECT_EQ(tarvo.WindowClasses(), std::set<string>());
      Launches launches = TakeLaunches();
      if (!want.empty()) {
        EXPECT_EQ(launches, want[run].empty() ? Launches() : Launches{want[run]});
        continue;
      }
      // A flipped case bit names the same file.
      EXPECT_LE(launches.size(), 1u);
      string launch = launches.empty() ? answers[run] : launches[0];
      EXPECT_EQ(_stricmp(launch.c_str(), answers[run].c_str()), 0) << launch;
    }
  }
  ClearTarvoRegistry();
}

string Le(uint32_t v) { return string(reinterpret_cast<const char*>(&v), 4); }

// An extra data block of kind 0xA00000<kind>, zeros but for bytes [at, at + n)
// of c; then the terminal block.
string Block(uint32_t kind, size_t size, size_t at = 0, size_t n = 0, char c = 'x') {
  return (Le(size) + Le(0xA0000000 + kind) + string(size - 8, 0)).replace(at, n, n, c) + Le(0);
}

// A property store of one storage (its version at 12); the terminal block.
string Store(const string& format, const string& values) {
  const size_t n = values.size();
  return Le(40 + n) + Le(0xA0000009) + Le(28 + n) + "1SPS" + format + values + Le(0) + Le(0) + Le(0);
}

// The check's edges on a file of: header; one 2-byte item; link info at 0x52
// (no Unicode path or suffix; volume at 0x76; network at 0x8A, name at 0xA6;
// path at 0xA7, suffix at 0xAC); the name "a"; an 8-byte block at 0xB1; the end.
const string kBase = string("L\0\0\0\1\x14\2\0\0\0\0\0\xC0\0\0\0\0\0\0\x46\x87", 21) + string(55, 0) + string("\4\0\2\0\0\0", 6) +
                     Le(0x5B) + Le(0x24) + Le(3) + Le(0x24) + Le(0x55) + Le(0x38) + Le(0x5A) + string(8, 0) +
                     Le(0x14) + Le(3) + Le(0) + Le(0x10) + Le(0) +
                     Le(0x1D) + Le(0) + Le(0x1C) + Le(0) + Le(0) + Le(0x18) + string(5, 0) +
                     string("C:\\x\0\0\1\0a\0\x08\0\0\0ABCD\0\0\0\0", 22);

TEST(Corpus, TheCheckAtEveryEdge) {
  // Bytes [at, at + n) replaced; kRest cuts the file.
  const size_t kRest = string::npos;
  const string big(kMaxLinkFileSize - 0xB9, '\0');
  const struct {
    size_t at;
    size_t n;
    string bytes;
    bool holds;
  } cases[] = {
      {0, 1, "K", false},
      {0x14, 1, "\7", false},  // ANSI strings
      {0x62, 1, "\x5A", true},  // path, volume, block at the end
      {0x62, 1, "\x5B", false},
      {0x76, 1, "\x37", true},
      {0x76, 1, "\x38", false},
      {0xB1, 1, "\x0C", true},
      {0xB1, 1, "\x0D", false},
      {0x6E, 1, "\x5A", false},  // Unicode path and suffix
      {0x72, 1, "\x5A", false},
      {0x82, 1, "\x15", false},  // volume label, ANSI and Unicode
      {0x82, 5, string("\x14\0\0\0\x12", 5), true},
      {0x82, 5, string("\x14\0\0\0\x13", 5), false},
      {0x66, 1, string(1, 0), false},  // network: announced, size, device, names
      {0x8A, 1, "\x24", false},
      {0x8E, 1, "\1", false},
      {0x96, 1, "\x1D", false},
      {0x92, 1, "\x1D", false},
      {0x9E, 1, "\x1C", false},
      {0xA2, 1, "\x1C", false},
      {0xB1, kRest, "", true},  // the file ending after the name, in it, before it
      {0xB0, kRest, "", false},
      {0xAD, kRest, "", true},
      {0xB9, 1, "\x10", true},  // the last four bytes: the terminal block
      {0xB9, kRest, "", true},
      {0xB1, kRest, string("\x4F\xFF\x0F\0ABCD", 8) + big, true},  // 1 MiB
      {0xB1, kRest, string("\x50\xFF\x0F\0ABCD", 8) + big + "x", false},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(Holds(string(kBase).replace(c.at, c.n, c.bytes)), c.holds) << &c - cases;
  }
  const string numbered(16, 'F');
  const string named("\5\xD5\xCD\xD5\x9C\x2E\x1B\x10\x93\x97\x08\0\x2B\x2C\xF9\xAE", 16);
  const string byNumber = Le(13) + Le(1) + string(5, 0);
  const string byName = Le(17) + Le(4) + string("\0a\0\0\0", 5) + Le(0);
  // In place of the 8-byte block.
  const struct {
    string bytes;
    bool holds;
  } blocks[] = {
      {Block(5, 0x10, 0xC, 1, 2), true},  // folders: the list's end, in an item, past it
      {Block(5, 0x10, 0xC, 1, 1), false},
      {Block(0xB, 0x1C, 0x18, 1, 4), false},
      {Block(3, 0x60, 0x10, 16), false},  // names filling their fields
      {Block(2, 0xCC, 0x2C, 64), false},
      {Block(8, 0x88, 8, 0x7E), true},
      {Block(8, 0x88, 8, 0x80), false},
      {Block(1, 0x314, 8, 260), false},
      {Block(1, 0x314, 268, 520), false},
      {Block(0xC, 0xA), true},  // an ID list
      {Block(0xC, 0xC), false},
      {Store(numbered, byNumber), true},  // version, a zero size at the end, type
      {Store(numbered, byNumber).replace(12, 1, "2"), false},
      {Store(numbered, byNumber).replace(8, 1, "\x25"), false},
      {Store(numbered, Le(12) + byNumber.substr(4, 8)), false},
      {Store(named, byName), true},  // names
      {Store(named, string(byName).replace(11, 1, "b")), false},
      {Store(named, byNumber), false},
  };
  for (const auto& c : blocks) {
    EXPECT_EQ(Holds(kBase.substr(0, 0xB1) + c.bytes), c.holds) << &c - blocks;
  }
  // Without an ID list no offset lies in it.
  const string noList = string(kBase).replace(0x14, 0x3E, "\x86" + string(55, 0));
  EXPECT_TRUE(Holds(noList));
  EXPECT_FALSE(Holds(noList.substr(0, 0xAB) + Block(5, 0x10)));
  // Real shortcuts hold together; one has a string count running past its end.
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(LNK_SAMPLES L"*.lnk", &found);
  do {
    const wstring name = found.cFileName;
    EXPECT_EQ(Holds(ReadBytes(L"" LNK_SAMPLES + name)), name != L"padded_cli_arguments.lnk") << U8(name);
  } while (FindNextFileW(find, &found));
}

}  // namespace
