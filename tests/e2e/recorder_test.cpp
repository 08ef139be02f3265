// The recording explorer.exe that the end-to-end tests rely on: it must keep
// every byte of a command line, and the shell must find it beside the program
// that asks for a folder window (this test program is built into the same
// folder, as tarvo.exe will be).
#include "launch_log.h"

#include <windows.h>
#include <shellapi.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder = path;
  return folder.substr(0, folder.rfind('\\') + 1);
}

std::string TempLog(const char* name) {
  char dir[MAX_PATH] = {};
  GetTempPathA(MAX_PATH, dir);
  std::string path = std::string(dir) + name;
  DeleteFileA(path.c_str());
  return path;
}

// Runs the recorder with exactly `commandLine`; answers its exit code.
DWORD RunRecorder(std::string commandLine) {
  std::string exe = OwnFolder() + "explorer.exe";
  STARTUPINFOA startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION process{};
  if (!CreateProcessA(exe.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                      &startup, &process))
    return DWORD(-1);
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD code = DWORD(-1);
  GetExitCodeProcess(process.hProcess, &code);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return code;
}

class Recorder : public testing::Test {
 protected:
  void SetUp() override {
    log_ = TempLog("tarvo_recorder_test.log");
    SetEnvironmentVariableA("TARVO_LAUNCH_LOG", log_.c_str());
  }
  void TearDown() override {
    SetEnvironmentVariableA("TARVO_LAUNCH_LOG", nullptr);
    DeleteFileA(log_.c_str());
  }
  std::string log_;
};

TEST_F(Recorder, KeepsEveryByteOfEachCommandLineInOrder) {
  const std::vector<std::string> lines = {
      "explorer.exe \"C:\\some folder\"",
      "explorer /select,C:\\a,b\\c d.txt",
      // ソ and 表 end in the byte 0x5C, the backslash.
      "explorer /e, /select,C:\\\x83\x5C\x95\x5C\\x.txt",
      "explorer \"x\nlaunch 1\ny\"",
      "explorer",
  };
  for (const std::string& line : lines) EXPECT_EQ(RunRecorder(line), 0u) << line;
  EXPECT_EQ(ReadLaunchLog(log_), lines);
}

TEST_F(Recorder, WritesBesideItselfWithoutTheVariable) {
  SetEnvironmentVariableA("TARVO_LAUNCH_LOG", nullptr);
  std::string beside = OwnFolder() + "launches.log";
  DeleteFileA(beside.c_str());
  EXPECT_EQ(RunRecorder("explorer /select,C:\\x"), 0u);
  EXPECT_EQ(ReadLaunchLog(beside), std::vector<std::string>{"explorer /select,C:\\x"});
  DeleteFileA(beside.c_str());
}

TEST_F(Recorder, CatchesTheShellsLaunchesFromThisFolder) {
  // Both ways Tarvo opens a folder window: "explorer" with "/select," and
  // the plain folder; the real explorer would open windows instead. These are
  // the exact lines Wine hands over.
  struct Case {
    const char* verb;
    std::string file;
    const char* parameters;
    std::string launch;
  } const cases[] = {
      {nullptr, "explorer", "/select,C:\\a,b\\\x83\x5C.txt",
       "\"explorer\" /select,C:\\a,b\\\x83\x5C.txt"},
      {"OPEN", "C:\\windows", nullptr, "\"" + OwnFolder() + "explorer.exe\" \"C:\\windows\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    DeleteFileA(log_.c_str());
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.lpVerb = c.verb;
    info.lpFile = c.file.c_str();
    info.lpParameters = c.parameters;
    info.nShow = SW_SHOWNORMAL;
    ASSERT_TRUE(ShellExecuteExA(&info));
    ASSERT_NE(info.hProcess, nullptr);
    WaitForSingleObject(info.hProcess, INFINITE);
    CloseHandle(info.hProcess);
    EXPECT_EQ(ReadLaunchLog(log_), std::vector<std::string>{c.launch});
  }
}

TEST(LaunchLog, MissingOrDamagedLogs) {
  std::string path = TempLog("tarvo_launch_log_test.log");
  EXPECT_TRUE(ReadLaunchLog(path).empty());
  struct Case {
    std::string bytes;
    std::vector<std::string> launches;
  } const cases[] = {
      {"launch 3\nabc\nlaunch 0\n\n", {"abc", ""}},
      {"launch 5\nabc\n", {"<malformed log>"}},
      {"launch 3\nabc\ngarbage", {"abc", "<malformed log>"}},
      {"launch x\nabc\n", {"<malformed log>"}},
  };
  for (const Case& c : cases) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, c.bytes.data(), DWORD(c.bytes.size()), &written, nullptr);
    CloseHandle(file);
    EXPECT_EQ(ReadLaunchLog(path), c.launches) << c.bytes;
  }
  DeleteFileA(path.c_str());
}

}  // namespace
