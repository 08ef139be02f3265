// Shared memory between the end-to-end tests and show_recorder.dll: one entry
// for each top-level window made.
#pragma once
#include <windows.h>

const char kShowLogName[] = "TarvoShowLog";
const LONG kShowLogCapacity = 2048;
struct ShowEntry {
  DWORD ProcessId;
  char ClassName[40];
};
struct ShowLog {
  LONG Count;  // entries claimed; may exceed the capacity
  ShowEntry Entries[kShowLogCapacity];
};
