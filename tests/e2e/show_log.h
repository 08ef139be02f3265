#pragma once
// Shared memory between the end-to-end tests and show_recorder.dll: one entry
// each time a top-level window of a process started by the tests is made or is
// about to become visible. The tests name the mapping in TARVO_SHOW_LOG.
#include <windows.h>

struct ShowEntry {
  DWORD ProcessId;
  HWND Window;
  UINT Message;  // WM_NCCREATE; WM_SHOWWINDOW, WM_WINDOWPOSCHANGING or WM_STYLECHANGING
  char ClassName[40];
};

const LONG kShowLogCapacity = 2048;
struct ShowLog {
  LONG Count;  // entries claimed; may exceed the capacity; the tests reset it
  ShowEntry Entries[kShowLogCapacity];
};
