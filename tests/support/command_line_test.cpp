#include "support/command_line.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <stdio.h>

#include <string>

namespace {

const char kReportVariable[] = "TARVO_TEST_PARAM_REPORT";
const int kReportedIndices[] = {-1, 0, 1, 2, 3};

std::string Str(const ByteString& s) { return std::string(s.c_str(), s.length()); }

// Started as a child by GetCommandParamReadsTheRealCommandLine: writes what
// GetCommandParam says for each index into the report file, one per line, and
// ends before the test framework runs.
int ReportParamsIfChild() {
  char reportPath[MAX_PATH];
  if (!GetEnvironmentVariableA(kReportVariable, reportPath, sizeof reportPath)) return 0;
  std::string report;
  for (int index : kReportedIndices) report += Str(GetCommandParam(index)) + "\n";
  bool truncated = true;
  ModuleFilePath(&truncated);
  report += truncated ? "truncated\n" : "whole\n";
  FILE* f = fopen(reportPath, "wb");
  if (!f) ExitProcess(2);
  fwrite(report.data(), 1, report.size(), f);
  fclose(f);
  ExitProcess(0);
}
const int childReport = ReportParamsIfChild();

std::string ReadFile(const std::string& path) {
  std::string content;
  FILE* f = fopen(path.c_str(), "rb");
  if (!f) return "<unreadable>";
  char chunk[512];
  size_t got;
  while ((got = fread(chunk, 1, sizeof chunk, f)) > 0) content.append(chunk, got);
  fclose(f);
  return content;
}

// Runs exe (a copy of this program) with commandLine; the child reports through
// the file at reportPath and ends with exit code 0.
DWORD RunChild(const std::wstring& exe, const std::string& commandLine,
               const std::string& reportPath) {
  DeleteFileA(reportPath.c_str());
  std::wstring line(commandLine.begin(), commandLine.end());
  line.push_back(0);
  SetEnvironmentVariableA(kReportVariable, reportPath.c_str());
  STARTUPINFOW startup = {};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process = {};
  BOOL started = CreateProcessW(exe.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, &startup, &process);
  SetEnvironmentVariableA(kReportVariable, nullptr);
  if (!started) return 1000 + GetLastError();
  WaitForSingleObject(process.hProcess, INFINITE);
  DWORD exitCode = 1;
  GetExitCodeProcess(process.hProcess, &exitCode);
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return exitCode;
}

std::string TempDir() {
  char path[MAX_PATH];
  GetTempPathA(sizeof path, path);
  return path;
}

}  // namespace

TEST(CommandLine, TokensOfAGivenLine) {
  struct Case {
    const char* line;
    int index;
    const char* expected;
  } cases[] = {
      {"\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1", 0, "C:\\Tools\\app.exe"},
      {"\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1", 1, "C:\\My Links\\x.lnk"},
      {"\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1", 2, "1"},
      {"\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1", 3, ""},
      {"\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1", 100, ""},
      {"\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1", -1, "C:\\Tools\\app.exe"},
      {"\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1", -7, "C:\\Tools\\app.exe"},
      {"app.exe \"\" x", 1, "x"},
      {"app.exe \"\" \"\"", 1, ""},
      {"app.exe a\"b c\"d", 1, "a\"b c\"d"},
      {"app.exe \"abc", 1, "\"abc"},
      {"app.exe \"a\"b\"", 1, "a\"b"},
      {"app.exe\tx", 1, "x"},
      {"app.exe \r\n\x01 x y", 2, "y"},
      {"app.exe \"\"abc", 1, "abc"},
      {"app.exe \"", 1, "\""},
      {"app.exe \"x\"", 1, "x"},
      {"app.exe C:\\dir\\\"x y\"", 1, "C:\\dir\\\"x y\""},
      {"app.exe \x83\x5C\x95\x5C x", 1, "\x83\x5C\x95\x5C"},
      {"\"a b\"c d", 0, "\"a b\"c"},
      {"   lead", 0, "lead"},
      {"", 0, ""},
      {"", 1, ""},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(std::string(c.expected), Str(CommandParamOf(c.line, c.index)))
        << "line [" << c.line << "] index " << c.index;
  }
  EXPECT_TRUE(CommandParamOf(nullptr, 1).empty());
}

TEST(CommandLine, TokenizingLeavesTheLineAlone) {
  char line[] = "app.exe \"a b\" \"\" c";
  std::string before = line;
  EXPECT_EQ("c", Str(CommandParamOf(line, 2)));
  EXPECT_EQ(before, line);
}

// Index 0 is the program file as the system knows it, not token 0 of the line.
TEST(CommandLine, GetCommandParamReadsTheRealCommandLine) {
  wchar_t exe[MAX_PATH + 1];
  ASSERT_GT(GetModuleFileNameW(nullptr, exe, MAX_PATH + 1), 0u);
  char exeA[MAX_PATH + 1];
  DWORD n = GetModuleFileNameA(nullptr, exeA, sizeof exeA);
  ASSERT_TRUE(n > 0 && n < sizeof exeA);
  std::string reportPath = TempDir() + "tarvo_param_report.txt";

  ASSERT_EQ(0u, RunChild(exe, "\"C:\\Tools\\app.exe\" \"C:\\My Links\\x.lnk\" 1", reportPath));
  std::string expected = std::string("C:\\Tools\\app.exe\n") + std::string(exeA, n) +
                         "\nC:\\My Links\\x.lnk\n1\n\nwhole\n";
  EXPECT_EQ(expected, ReadFile(reportPath));
  DeleteFileA(reportPath.c_str());
  EXPECT_EQ(0, childReport);
}
