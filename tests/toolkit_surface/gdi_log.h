// Records the device-context and GDI-object calls the toolkit makes, by
// redirecting this program's import slots. GetGuiResources answers 0 under
// Wine, so the balance is counted here instead.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

struct GdiLog {
  // One entry per call while recording: "GetDC", "ReleaseDC", "CreateCompatibleDC",
  // "DeleteDC", "CreateFont", "GetStock", "Select:<what>", "Delete:<what>", where
  // <what> is "stockfont", "stockbrush", "stockpen", "font", "brush", "pen" or "other".
  std::vector<std::string> events;
  bool recording = false;

  void Start();  // clears and records
  void Stop() { recording = false; }
  int Count(const std::string& event) const;
  // Index of the first event at or after from that equals event; -1 if none.
  int Find(const std::string& event, int from = 0) const;
  std::string Joined() const;
};

extern GdiLog gGdi;

// Installs the redirection once; safe to call from every test.
void InstallGdiLog();
