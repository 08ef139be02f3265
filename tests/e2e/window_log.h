// An entry per top-level window made, shared with window_recorder.dll.
#pragma once
#include <windows.h>

const char kWindowLogName[] = "TarvoWindowLog";
const LONG kWindowLogCapacity = 2048;
struct WindowEntry {
  DWORD ProcessId;
  char ClassName[40];
};
// Read in the window's own process.
const char kInspectMessage[] = "TarvoInspect";
struct Child {
  LONG Id;
  LONG FontHeight;
  SIZE Text;
};
struct Inspection {
  LONG Dpi;
  RECT Suggested;
  LONG Count;
  Child Children[8];
  LONG Done;
};
struct WindowLog {
  LONG Count;  // may exceed the capacity
  LONG PlantedLoads;  // of a DLL that only tarvo.exe's folder holds
  WindowEntry Entries[kWindowLogCapacity];
  Inspection Look;
};
