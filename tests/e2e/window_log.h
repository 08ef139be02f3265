// An entry per top-level window made, shared with window_recorder.dll.
#pragma once
#include <windows.h>

const char kWindowLogName[] = "TarvoWindowLog";
const LONG kWindowLogCapacity = 2048;
struct WindowEntry {
  DWORD ProcessId;
  char ClassName[40];
};
struct WindowLog {
  LONG Count;  // may exceed the capacity
  LONG PlantedLoads;  // of a DLL that only tarvo.exe's folder holds
  WindowEntry Entries[kWindowLogCapacity];
};
