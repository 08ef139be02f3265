// Shortcut files broken the ways disks, copies and installers break them, each
// run through the real tarvo.exe in both modes with "select" off and on.
#include "e2e/harness.h"

namespace {

string Lower(string s) {
  CharLowerBuffA(&s[0], DWORD(s.size()));
  return s;
}

uint32_t Field(const string& b, size_t at, size_t size) {
  uint32_t value = 0;
  memcpy(&value, b.data() + at, std::min(size, b.size() - std::min(at, b.size())));
  return size == 2 ? value & 0xFFFF : value;
}

// The parts of a shortcut file: a 76-byte header with the flags at 0x14, then
// the ID list (flag 1) and the link info (flag 2) that this test damages.
const size_t kFlags = 0x14;
const size_t kHeader = 76;
size_t LinkInfoAt(const string& b) {
  return kHeader + (Field(b, kFlags, 4) & 1 ? 2 + Field(b, kHeader, 2) : 0);
}

string Without(string b, uint32_t flag) {
  size_t at = flag == 1 ? kHeader : LinkInfoAt(b);
  size_t size = flag == 1 ? 2 + Field(b, kHeader, 2) : Field(b, at, 4);
  b.erase(at, size);
  b[kFlags] = char(b[kFlags] & ~flag);
  return b;
}

// Every copy of from, as bytes and as UTF-16, between begin and end becomes to.
string Replaced(string b, const string& from, const string& to, size_t begin, size_t end) {
  for (bool wide : {false, true}) {
    string f;
    string t;
    for (size_t i = 0; i < from.size(); ++i) {
      f += wide ? string{from[i], '\0'} : string{from[i]};
      t += wide ? string{to[i], '\0'} : string{to[i]};
    }
    for (size_t at = b.find(f, begin); at != string::npos && at < end; at = b.find(f, at + 1)) {
      b.replace(at, f.size(), t);
    }
  }
  return b;
}

// The ID list with its second-last item, the target's folder, repeated 300 times.
string Deepened(const string& b) {
  std::vector<string> items;
  for (size_t at = kHeader + 2; Field(b, at, 2) != 0; at += items.back().size()) {
    items.push_back(b.substr(at, Field(b, at, 2)));
  }
  string list;
  for (size_t i = 0; i + 1 < items.size(); ++i) {
    list += items[i];
  }
  for (int i = 0; i < 300; ++i) {
    list += items[items.size() - 2];
  }
  list += items.back() + string(2, '\0');
  uint16_t size = uint16_t(list.size());
  return b.substr(0, kHeader) + string(reinterpret_cast<char*>(&size), 2) + list + b.substr(LinkInfoAt(b));
}

TEST(Corpus, BrokenShortcutsOpenTheirTargetOrNothing) {
  const wstring dir = TheBench().root + L"corpus\\";
  const wstring target = dir + L"t.txt";
  SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
  WriteBytes(target, "");
  MakeShortcut(dir + L"valid.lnk", target);
  const string valid = ReadBytes(dir + L"valid.lnk");
  ASSERT_GT(valid.size(), kHeader);
  const size_t listEnd = LinkInfoAt(valid);
  wchar_t desktop[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
  // What a sound shortcut to the target gives: mode 0 and 1, select off and on.
  const std::vector<string> answers = {FolderWindow(dir), FolderWindow(dir), SelectWindow(false, target), SelectWindow(true, target)};
  const std::vector<string> nothing(4);
  std::map<wstring, std::vector<string>> expected = {
      // No ID list: the link info alone names the target.
      {L"info only", answers},
      // The ID list names a file that is not there; the link info is whole.
      {L"damaged list", answers},
      // A path the system cut at MAX_PATH names something else, even where
      // its folder exists.
      {L"300 deep", nothing},
      // Control characters come only from a corrupted list or link info.
      {L"control", nothing},
      // My Computer has no file-system path: the desktop folder opens.
      {L"virtual", std::vector<string>(4, FolderWindow(desktop))},
  };
  WriteBytes(dir + L"info only.lnk", Without(valid, 1));
  WriteBytes(dir + L"damaged list.lnk", Replaced(valid, "t.txt", "q.txt", kHeader, listEnd));
  WriteBytes(dir + L"300 deep.lnk", Without(Deepened(valid), 2));
  wstring deep = L"\\\\?\\" + dir;
  for (int i = 0; i < 300; ++i) {
    deep += L"corpus\\";
    CreateDirectoryW(deep.c_str(), nullptr);
  }
  WriteBytes(dir + L"control.lnk", Replaced(valid, "t.txt", "t\x01txt", kHeader, valid.size()));
  ITEMIDLIST* computer = nullptr;
  SHGetSpecialFolderLocation(nullptr, CSIDL_DRIVES, &computer);
  MakeShortcut(dir + L"virtual.lnk", L"", computer);
  CoTaskMemFree(computer);
  // Truncated, bit-flipped and given random tails, always the same way.
  uint32_t random = 20261207;
  auto next = [&] {
    random = random * 1103515245 + 12345;
    return random >> 8;
  };
  for (int i = 0; i < 40; ++i) {
    string broken = valid;
    if (i < 10) {
      broken.resize(valid.size() * i / 10);
    } else if (i < 34) {
      for (int flips = 1 + i % 3; flips > 0; --flips) {
        broken[next() % broken.size()] ^= char(1 << next() % 8);
      }
    } else {
      for (int n = next() % 64 + 1; n > 0; --n) {
        broken += char(next());
      }
    }
    wstring name = L"broken " + std::to_wstring(i);
    WriteBytes(dir + name + L".lnk", broken);
    expected[name] = {};
  }
  for (const auto& [name, want] : expected) {
    for (int run = 0; run < 4; ++run) {
      SCOPED_TRACE(U8(name) + " run " + std::to_string(run));
      StoreOptions(run < 2 ? "000" : "001");
      TarvoRun tarvo(Quoted(dir + name + L".lnk") + (run % 2 ? L" \"1\"" : L" \"0\""));
      EXPECT_EQ(tarvo.WaitExit(), std::optional<DWORD>(0));
      EXPECT_EQ(tarvo.WindowClasses(false), std::set<string>());
      Launches launches = TakeLaunches();
      if (want.empty()) {
        // A flipped case bit names the same file: Windows names ignore case.
        string launch = launches.empty() ? answers[run] : launches.front();
        EXPECT_EQ(Lower(launch), Lower(answers[run]));
        EXPECT_LE(launches.size(), 1u);
      } else {
        EXPECT_EQ(launches, want[run].empty() ? Launches() : Launches{want[run]});
      }
    }
  }
  ClearTarvoRegistry();
}

}  // namespace
