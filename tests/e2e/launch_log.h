#pragma once
// Reads the records that the recording explorer.exe (fake_explorer.cpp)
// appends: each one the exact command line of one launch.
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

// The command lines in launch order; a missing file is no launch. A record
// that does not parse ends the list with the text "<malformed log>".
inline std::vector<std::string> ReadLaunchLog(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  std::vector<std::string> launches;
  const std::string tag = "launch ";
  size_t pos = 0;
  while (pos < log.size()) {
    size_t eol = log.find('\n', pos);
    if (log.compare(pos, tag.size(), tag) != 0 || eol == std::string::npos) break;
    char* digitsEnd = nullptr;
    size_t length = std::strtoul(log.c_str() + pos + tag.size(), &digitsEnd, 10);
    if (digitsEnd != log.c_str() + eol) break;
    size_t end = eol + 1 + length;
    if (end >= log.size() || log[end] != '\n') break;
    launches.push_back(log.substr(eol + 1, length));
    pos = end + 1;
  }
  if (pos < log.size()) launches.push_back("<malformed log>");
  return launches;
}
