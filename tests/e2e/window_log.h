// An entry per top-level window made, shared with window_recorder.dll.
#pragma once
#include <windows.h>

const char kWindowLogName[] = "TarvoWindowLog";
const LONG kWindowLogCapacity = 2048;
struct WindowEntry {
  DWORD ProcessId;
  char ClassName[40];
};
// A look at a window from inside its process: the font a child holds means
// nothing elsewhere. Dpi, when set, is first sent as WM_DPICHANGED with Suggested.
const char kInspectMessage[] = "TarvoInspect";
struct ChildLook {
  LONG Id;
  LONG FontHeight;
  SIZE Text;  // its text in its own font
};
struct Inspection {
  LONG Dpi;
  RECT Suggested;
  LONG Count;
  ChildLook Children[16];
  LONG Done;
};
struct WindowLog {
  LONG Count;  // may exceed the capacity
  WindowEntry Entries[kWindowLogCapacity];
  Inspection Look;
};
