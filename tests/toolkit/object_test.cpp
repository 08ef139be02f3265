// Deferred destruction: what keeps an object alive while its own code runs.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/toolkit.h"

std::string trail;

// Disposes again from its destruction, as a tear-down message would.
void NoteDestroy(void* name, ToolkitObject* obj) {
  trail += static_cast<const char*>(name);
  Dispose(obj);
}

ToolkitObject* Tracked(const char* name) {
  ToolkitObject* obj = NewObject(&kObjectKind);
  obj->DestroyNotify = {NoteDestroy, const_cast<char*>(name)};
  return obj;
}

void NoteNumber(intptr_t n) { trail += std::to_string(n); }

// A = AcquireRef, D = Dispose, R = ReleaseRef; x: destroyed, after the last.
TEST(Object, DisposeAwaitsLastReferenceOwnedGoNewestFirst) {
  int32_t live = LiveObjectCount;
  for (std::string row : {"D", "AADRR", "ADDR", "AARRD"}) {
    trail.clear();
    ToolkitObject* obj = Tracked("x");
    for (char op : row) {
      if (trail.find('x') != std::string::npos) break;  // gone: touch it no more
      trail += op;
      if (op == 'A') AcquireRef(obj);
      if (op == 'D') Dispose(obj);
      if (op == 'R') ReleaseRef(obj);
    }
    EXPECT_EQ(trail, row + "x");
  }
  trail.clear();
  ToolkitObject* owner = Tracked("o");
  OwnObject(owner, Tracked("x"));
  OwnCallback(owner, NoteNumber, 4);
  OwnObject(owner, nullptr);
  OwnObject(owner, Tracked("y"));
  Dispose(owner);
  EXPECT_EQ(trail, "oy4x");
  EXPECT_EQ(LiveObjectCount, live);
}
