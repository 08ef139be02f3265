#pragma once
// Shared memory, named in TARVO_SHOW_LOG, between the end-to-end tests and
// show_recorder.dll: one entry each time a top-level window of a process the
// tests started is made or is about to become visible.
#include <windows.h>

struct ShowEntry {
  DWORD ProcessId;  // written last: an entry is complete once it is set
  BOOL Shown;       // else made
  char ClassName[40];
};
const LONG kShowLogCapacity = 2048;
struct ShowLog {
  LONG Count;  // entries claimed; may exceed the capacity
  ShowEntry Entries[kShowLogCapacity];
};
