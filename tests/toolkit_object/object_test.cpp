#include <windows.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/object.h"

namespace {

std::vector<intptr_t> Values(const PointerList* list) {
  return std::vector<intptr_t>(list->Items, list->Items + list->Count);
}

PointerList* ListOf(std::initializer_list<intptr_t> values) {
  PointerList* list = NewPointerList();
  for (intptr_t v : values) Append(list, v);
  return list;
}

// Records destructions in order; each object's DestroyNotify context is its name.
std::string gEvents;
void RecordDestroy(void* context, ToolkitObject* obj) {
  gEvents += static_cast<const char*>(context);
  // The block must still be intact and counted when the notification runs.
  EXPECT_EQ(obj->Kind, &kObjectKind);
  EXPECT_EQ(obj->DestroyNotify.Code, nullptr);
  gEvents += LiveObjectCount > 0 ? "" : "!";
}
ToolkitObject* Tracked(const char* name) {
  ToolkitObject* obj = NewObject(&kObjectKind);
  obj->DestroyNotify = {RecordDestroy, const_cast<char*>(name)};
  return obj;
}
void RecordCallback(intptr_t argument) {
  gEvents += "cb" + std::to_string(argument);
}

TEST(PointerListTest, GrowsByAQuarterPlusOne) {
  PointerList* list = NewPointerList();
  EXPECT_EQ(list->Items, nullptr);
  std::vector<int32_t> capacities;
  for (int i = 0; i < 47; ++i) {
    EXPECT_EQ(Append(list, i * 10), i);
    if (capacities.empty() || capacities.back() != list->Capacity) capacities.push_back(list->Capacity);
    if (i + 1 == 5) {
      EXPECT_EQ(list->Capacity, 6);
    }
  }
  EXPECT_EQ(capacities, (std::vector<int32_t>{1, 2, 3, 4, 6, 8, 11, 14, 18, 23, 29, 37, 47}));
  for (int i = 0; i < 47; ++i) ASSERT_EQ(list->Items[i], i * 10) << "value lost in reallocation";

  // InsertAt grows by the same rule.
  PointerList* inserted = NewPointerList();
  std::vector<int32_t> insertCaps;
  for (int i = 0; i < 9; ++i) {
    InsertAt(inserted, 0, i);
    insertCaps.push_back(inserted->Capacity);
  }
  EXPECT_EQ(insertCaps, (std::vector<int32_t>{1, 2, 3, 4, 6, 6, 8, 8, 11}));
  Dispose(list);
  Dispose(inserted);
}

TEST(PointerListTest, InsertRemoveAndSearch) {
  struct Case {
    const char* what;
    std::vector<intptr_t> before;
    void (*op)(PointerList*);
    std::vector<intptr_t> after;
  };
  const Case cases[] = {
      {"insert at 0 shifts all", {1, 2, 3}, [](PointerList* l) { InsertAt(l, 0, 9); }, {9, 1, 2, 3}},
      {"insert at Count appends", {1, 2, 3}, [](PointerList* l) { InsertAt(l, 3, 9); }, {1, 2, 3, 9}},
      {"insert in the middle", {1, 2, 3}, [](PointerList* l) { InsertAt(l, 1, 9); }, {1, 9, 2, 3}},
      {"insert into empty", {}, [](PointerList* l) { InsertAt(l, 0, 9); }, {9}},
      {"overlong range is cut", {0, 1, 2, 3, 4}, [](PointerList* l) { RemoveRange(l, 2, 100); }, {0, 1}},
      {"range at Count: nothing", {0, 1, 2, 3, 4}, [](PointerList* l) { RemoveRange(l, 5, 1); }, {0, 1, 2, 3, 4}},
      {"empty range: nothing", {0, 1, 2}, [](PointerList* l) { RemoveRange(l, 1, 0); }, {0, 1, 2}},
      {"negative n: nothing", {0, 1, 2}, [](PointerList* l) { RemoveRange(l, 1, -3); }, {0, 1, 2}},
      {"inner range keeps order", {0, 1, 2, 3, 4}, [](PointerList* l) { RemoveRange(l, 1, 2); }, {0, 3, 4}},
      {"RemoveAt last", {0, 1, 2}, [](PointerList* l) { RemoveAt(l, 2); }, {0, 1}},
      {"RemoveValue takes the first only", {5, 7, 5, 7}, [](PointerList* l) { RemoveValue(l, 7); }, {5, 5, 7}},
      {"RemoveValue of a missing value", {5, 7}, [](PointerList* l) { RemoveValue(l, 8); }, {5, 7}},
  };
  for (const Case& c : cases) {
    PointerList* list = NewPointerList();
    for (intptr_t v : c.before) Append(list, v);
    int32_t capacity = list->Capacity;
    c.op(list);
    EXPECT_EQ(Values(list), c.after) << c.what;
    EXPECT_GE(list->Capacity, capacity) << c.what << ": capacity never shrinks on removal";
    EXPECT_LE(list->Count, list->Capacity) << c.what;
    Dispose(list);
  }

  PointerList* list = ListOf({4, 8, 4});
  EXPECT_EQ(IndexOfValue(list, 4), 0);
  EXPECT_EQ(IndexOfValue(list, 8), 1);
  EXPECT_EQ(IndexOfValue(list, 5), -1);
  Clear(list);
  EXPECT_EQ(IndexOfValue(list, 4), -1);
  Dispose(list);
}

TEST(PointerListTest, CapacityNeverBelowCount) {
  PointerList* list = ListOf({1, 2, 3});
  SetCapacity(list, 0);
  EXPECT_EQ(list->Capacity, 3);
  EXPECT_EQ(Values(list), (std::vector<intptr_t>{1, 2, 3}));
  SetCapacity(list, 100);
  EXPECT_EQ(list->Capacity, 100);
  EXPECT_EQ(Values(list), (std::vector<intptr_t>{1, 2, 3}));
  Clear(list);
  EXPECT_EQ(list->Items, nullptr);
  EXPECT_EQ(list->Count, 0);
  EXPECT_EQ(list->Capacity, 0);
  Append(list, 1);
  RemoveAt(list, 0);
  SetCapacity(list, 0);
  EXPECT_EQ(list->Items, nullptr) << "capacity 0 releases the storage";
  Dispose(list);
}

TEST(ObjectTest, RefStateAndDeferredDestruction) {
  // Each step: A = AcquireRef, D = Dispose, R = ReleaseRef. The expected
  // RefState after each step, or 'X' where the object is destroyed by it.
  struct Case {
    const char* ops;
    std::vector<int> states;  // INT32_MIN marks the destroying step
  };
  const int X = INT32_MIN;
  const Case cases[] = {
      {"D", {X}},
      {"ADR", {2, 1, X}},
      {"AADRR", {2, 4, 3, 1, X}},
      {"ADDR", {2, 1, 1, X}},
      {"RAD", {-2, 0, X}},         // a negative release destroys nothing
      {"RRDR", {-2, -4, -5, X}},   // ... until a dispose is pending
      {"AAR", {2, 4, 2}},
  };
  for (const Case& c : cases) {
    gEvents.clear();
    int32_t live = LiveObjectCount;
    ToolkitObject* obj = Tracked("x");
    bool destroyed = false;
    for (size_t i = 0; c.ops[i]; ++i) {
      ASSERT_FALSE(destroyed) << c.ops;
      switch (c.ops[i]) {
        case 'A': AcquireRef(obj); break;
        case 'D': Dispose(obj); break;
        case 'R': ReleaseRef(obj); break;
      }
      destroyed = !gEvents.empty();
      if (c.states[i] == X) {
        EXPECT_TRUE(destroyed) << c.ops << " step " << i;
      } else {
        EXPECT_FALSE(destroyed) << c.ops << " step " << i;
        if (!destroyed) {
          EXPECT_EQ(obj->RefState, c.states[i]) << c.ops << " step " << i;
        }
      }
    }
    if (destroyed) {
      EXPECT_EQ(gEvents, "x") << c.ops << ": destroyed exactly once, notified while still counted";
      EXPECT_EQ(LiveObjectCount, live) << c.ops;
    } else {
      obj->DestroyNotify.Code = nullptr;
      obj->RefState = 0;
      Dispose(obj);
    }
  }
}

TEST(ObjectTest, FinalizersRunNewestFirstAfterTheDestroyNotify) {
  gEvents.clear();
  int32_t live = LiveObjectCount;
  ToolkitObject* owner = Tracked("owner ");
  ToolkitObject* x = Tracked("x ");
  ToolkitObject* y = Tracked("y ");
  OwnObject(owner, x);
  OwnCallback(owner, RecordCallback, 42);
  OwnObject(owner, nullptr);
  OwnObject(owner, y);
  ASSERT_NE(owner->FinalizeList, nullptr);
  EXPECT_EQ(owner->FinalizeList->Count, 8);
  EXPECT_EQ(owner->FinalizeList->Items[1], reinterpret_cast<intptr_t>(y)) << "newest pair at index 0";
  EXPECT_EQ(owner->FinalizeList->Items[3], 0) << "the null object's pair";
  EXPECT_EQ(owner->FinalizeList->Items[4], reinterpret_cast<intptr_t>(RecordCallback));
  EXPECT_EQ(owner->FinalizeList->Items[5], 42);
  EXPECT_EQ(LiveObjectCount, live + 4) << "three objects and the finalize list";

  Dispose(owner);
  EXPECT_EQ(gEvents, "owner y cb42x ");
  EXPECT_EQ(LiveObjectCount, live);
}

// A dispose reached from an object's own tear-down (a window message sent
// while it is destroyed) must not destroy it a second time.
void DisposeAgain(void* context, ToolkitObject* obj) {
  ++*static_cast<int*>(context);
  Dispose(obj);
  DisposeIfAny(nullptr);
}

TEST(ObjectTest, DisposeDuringDestructionIsIgnored) {
  int32_t live = LiveObjectCount;
  for (bool viaRelease : {false, true}) {
    int calls = 0;
    ToolkitObject* obj = NewObject(&kObjectKind);
    obj->DestroyNotify = {DisposeAgain, &calls};
    if (viaRelease) {
      AcquireRef(obj);
      Dispose(obj);
      ReleaseRef(obj);
    } else {
      Dispose(obj);
    }
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(LiveObjectCount, live);
  }
}

int gInits = 0;
void CountingInit(ToolkitObject* obj) {
  ++gInits;
  // Zero-filled before InitObject runs.
  const unsigned char* bytes = reinterpret_cast<const unsigned char*>(obj + 1);
  for (int i = 0; i < 64; ++i) EXPECT_EQ(bytes[i], 0);
}
const ObjectKind kBigKind = {sizeof(ToolkitObject) + 64, CountingInit, BaseDestroyObject};

TEST(ObjectTest, NewObjectZeroFillsAndInitialises) {
  ToolkitObject* obj = NewObject(&kBigKind);
  EXPECT_EQ(gInits, 1);
  EXPECT_EQ(obj->Kind, &kBigKind);
  EXPECT_EQ(obj->RefState, 0);
  EXPECT_EQ(obj->FinalizeList, nullptr);
  Dispose(obj);
}

const ObjectKind kHugeKind = {0x7FFFFFF0u, BaseInitObject, BaseDestroyObject};

TEST(ObjectTest, OutOfMemoryEndsTheProcess) {
  EXPECT_EXIT(NewObject(&kHugeKind), ::testing::ExitedWithCode(ERROR_NOT_ENOUGH_MEMORY), "");
  EXPECT_EXIT(SetCapacity(NewPointerList(), 0x3FFFFFF0), ::testing::ExitedWithCode(ERROR_NOT_ENOUGH_MEMORY), "");
}

}  // namespace
