// Broken shortcut files, each run in both modes with "select" off and on; the
// same bytes on every machine and run.
#include "e2e/harness.h"
#include "support/link_check.h"

namespace {

// A 76-byte header (flags at 0x14), the ID list (flag 1), the link info (flag 2).
const size_t kHeader = 76;

uint32_t Field(const string& b, size_t at, size_t size) {
  uint32_t value = 0;
  memcpy(&value, b.data() + at, size);
  return value;
}

size_t LinkInfoAt(const string& b) {
  return kHeader + (b[0x14] & 1 ? 2 + Field(b, kHeader, 2) : 0);
}

string Without(string b, char flag) {
  size_t at = flag == 1 ? kHeader : LinkInfoAt(b);
  b.erase(at, flag == 1 ? 2 + Field(b, at, 2) : Field(b, at, 4));
  b[0x14] &= char(~flag);
  return b;
}

// As bytes and as UTF-16.
string Replaced(string b, string from, string to) {
  for (int wide = 0; wide < 2; ++wide) {
    for (size_t at = b.find(from); at != string::npos; at = b.find(from, at + 1)) {
      b.replace(at, from.size(), to);
    }
    for (size_t i = from.size(); i > 0; --i) {
      from.insert(i, 1, '\0');
      to.insert(i, 1, '\0');
    }
  }
  return b;
}

bool HoldsTogether(const string& b) {
  return LinkFileHoldsTogether(reinterpret_cast<const uint8_t*>(b.data()), b.size());
}

// False when the shell's loader alone crashes on the file or hangs.
bool LoaderSurvives(const wstring& file) {
  wchar_t probe[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, probe, MAX_PATH);
  wcscpy(wcsrchr(probe, L'\\') + 1, L"link_probe.exe");
  wstring line = Quoted(probe) + L" " + Quoted(file);
  STARTUPINFOW startup = {sizeof startup};
  PROCESS_INFORMATION info = {};
  CreateProcessW(probe, &line[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info);
  DWORD code = 1;
  if (WaitForSingleObject(info.hProcess, 15000) == WAIT_OBJECT_0) GetExitCodeProcess(info.hProcess, &code);
  TerminateProcess(info.hProcess, 1);
  CloseHandle(info.hProcess);
  CloseHandle(info.hThread);
  return code == 0;
}

TEST(Corpus, BrokenShortcutsOpenTheirTargetOrNothing) {
  const wstring dir = TheBench().root + L"corpus\\";
  const wstring target = dir + L"t.txt";
  SHCreateDirectoryExW(nullptr, dir.c_str(), nullptr);
  WriteBytes(target, "");
  // Header times, the volume serial and the folder items' times made constant.
  MakeShortcut(dir + L"valid.lnk", target);
  string valid = ReadBytes(dir + L"valid.lnk").replace(0x1C, 28, 28, '\0');
  valid.replace(LinkInfoAt(valid) + Field(valid, LinkInfoAt(valid) + 12, 4) + 8, 4, "TRV0");
  for (size_t at = kHeader + 2, size; (size = Field(valid, at, 2)) != 0; at += size) {
    if ((valid[at + 2] & 0x70) != 0x30) continue;
    valid.replace(at + 8, 4, 4, '\0');
    valid.replace(at + Field(valid, at + size - 2, 2) + 8, 8, 8, '\0');
  }
  wchar_t desktop[MAX_PATH] = {};
  SHGetFolderPathW(nullptr, CSIDL_DESKTOPDIRECTORY, nullptr, 0, desktop);
  // Mode 0 and 1, select off and on.
  const Launches answers = {FolderWindow(dir), FolderWindow(dir), SelectWindow(false, target), SelectWindow(true, target)};
  std::map<wstring, Launches> expected = {
      {L"info only", answers},
      // The ID list names nothing.
      {L"damaged list", answers},
      {L"deep", Launches(4)},
      {L"control", Launches(4)},
      // Network: "::{CLSID}" under Wine, right below the desktop.
      {L"virtual", Launches(4, FolderWindow(desktop))},
      // The list reads as the desktop itself: the path data names the target.
      {L"desktop list", answers},
      {L"item of size 1", Launches(4)},
  };
  const size_t listEnd = kHeader + 2 + Field(valid, kHeader, 2);
  WriteBytes(dir + L"desktop list.lnk", valid.substr(0, kHeader) + string("\2\0\0\0", 4) + valid.substr(listEnd));
  WriteBytes(dir + L"item of size 1.lnk", string(valid).replace(kHeader + 2, 1, "\1"));
  WriteBytes(dir + L"info only.lnk", Without(valid, 1));
  WriteBytes(dir + L"damaged list.lnk", Replaced(valid.substr(0, LinkInfoAt(valid)), "t.txt", "q.txt") + valid.substr(LinkInfoAt(valid)));
  MakeShortcut(dir + L"deep.lnk", L"", DeepList().data());
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
    WriteBytes(dir + L"broken " + std::to_wstring(i) + L".lnk", broken);
    expected[L"broken " + std::to_wstring(i)] = {};
  }
  std::vector<wstring> skipped;
  for (const auto& [name, want] : expected) {
    const wstring file = dir + name + L".lnk";
    // Truncated files never reach the loader.
    if (name.size() == 8 && name[0] == 'b') EXPECT_FALSE(HoldsTogether(ReadBytes(file))) << U8(name);
    if (HoldsTogether(ReadBytes(file)) && !LoaderSurvives(file)) {
      skipped.push_back(name);
      continue;
    }
    for (int run = 0; run < 4; ++run) {
      SCOPED_TRACE(U8(name + std::to_wstring(run)));
      StoreOptions(run < 2 ? "000" : "001");
      TarvoRun tarvo(Quoted(dir + name + L".lnk") + (run % 2 ? L" \"1\"" : L" \"0\""));
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
  printf("%d files skipped, the platform's loader alone fails on them:", int(skipped.size()));
  for (const wstring& name : skipped) printf(" \"%s\"", U8(name).c_str());
  printf("\n");
  ClearTarvoRegistry();
}

// Real shortcuts, whose targets are not on this machine, pass the check and end
// the program normally; one has a string count that runs past its end.
TEST(Corpus, RealShortcutsHoldTogether) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW(LNK_SAMPLES L"*.lnk", &found);
  int count = 0;
  do {
    const wstring file = L"" LNK_SAMPLES + wstring(found.cFileName);
    EXPECT_EQ(HoldsTogether(ReadBytes(file)), file.find(L"padded") == wstring::npos) << U8(file);
    TarvoRun tarvo(Quoted(file) + L" 0");
    EXPECT_EQ(tarvo.WaitExit(), 0u);
    EXPECT_LE(TakeLaunches().size(), 1u);
    ++count;
  } while (FindNextFileW(find, &found));
  FindClose(find);
  EXPECT_EQ(count, 14);
}

}  // namespace
