// Deferred destruction: what keeps an object alive while its own code runs.
#include <gtest/gtest.h>

#include <string>

#include "toolkit/toolkit.h"

std::string trail;

// Disposes again from inside its destruction, as a tear-down message would.
void NoteDestroy(void* name, ToolkitObject* obj) {
  trail += static_cast<const char*>(name);
  Dispose(obj);
}

ToolkitObject* Tracked(const char* name) {
  ToolkitObject* obj = NewObject(&kObjectKind);
  obj->DestroyNotify = {NoteDestroy, const_cast<char*>(name)};
  return obj;
}

void NoteCallback(intptr_t argument) { trail += std::to_string(argument) + " "; }

// A = AcquireRef, D = Dispose, R = ReleaseRef; x marks the destruction.
TEST(Object, DisposeWaitsForTheLastReference) {
  int32_t live = LiveObjectCount;
  for (std::string row : {"Dx", "ADRx", "AADRRx", "ADDRx", "AARRDx", "RRDRx"}) {
    trail.clear();
    ToolkitObject* obj = Tracked("x");
    for (char op : row.substr(0, row.size() - 1)) {
      if (trail.find('x') != std::string::npos) break;  // gone: touch it no more
      trail += op;
      if (op == 'A') AcquireRef(obj);
      if (op == 'D') Dispose(obj);
      if (op == 'R') ReleaseRef(obj);
    }
    EXPECT_EQ(trail, row);
    EXPECT_EQ(LiveObjectCount, live);
  }
}

TEST(Object, OwnedThingsGoNewestFirstAfterTheDestroyNotify) {
  int32_t live = LiveObjectCount;
  trail.clear();
  ToolkitObject* owner = Tracked("owner ");
  OwnObject(owner, Tracked("x "));
  OwnCallback(owner, NoteCallback, 42);
  OwnObject(owner, nullptr);
  OwnObject(owner, Tracked("y "));
  Dispose(owner);
  EXPECT_EQ(trail, "owner y 42 x ");
  EXPECT_EQ(LiveObjectCount, live);
}
