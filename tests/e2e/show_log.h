// Shared with show_recorder.dll: an entry per top-level window made.
#pragma once
#include <windows.h>

const char kShowLogName[] = "TarvoShowLog";
const LONG kShowLogCapacity = 2048;
struct ShowEntry {
  DWORD ProcessId;
  char ClassName[40];
};
struct ShowLog {
  LONG Count;  // may exceed the capacity
  ShowEntry Entries[kShowLogCapacity];
};
