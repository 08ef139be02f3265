#include <windows.h>

#include <string.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "toolkit/object.h"

using Values = std::vector<intptr_t>;

TEST(PointerListTest, GrowthInsertRemoveSearchAndCapacity) {
  PointerList* list = NewPointerList();
  std::vector<int32_t> capacities;
  for (int i = 0; i < 47; ++i) {
    Append(list, i * 10);
    if (capacities.empty() || capacities.back() != list->Capacity) capacities.push_back(list->Capacity);
  }
  EXPECT_EQ(capacities, (std::vector<int32_t>{1, 2, 3, 4, 6, 8, 11, 14, 18, 23, 29, 37, 47}));

  struct { const char* what; Values before; void (*op)(PointerList*); Values after; int32_t capacity; } cases[] = {
      {"insert at 0 grows", {1, 2, 3}, [](PointerList* l) { InsertAt(l, 0, 9); }, {9, 1, 2, 3}, 4},
      {"insert in the middle", {1, 2, 3, 4}, [](PointerList* l) { InsertAt(l, 1, 9); }, {1, 9, 2, 3, 4}, 6},
      {"insert into empty", {}, [](PointerList* l) { InsertAt(l, 0, 9); }, {9}, 1},
      {"insert past Count: nothing", {1}, [](PointerList* l) { InsertAt(l, 2, 9); }, {1}, 1},
      {"overlong range is cut", {0, 1, 2, 3, 4}, [](PointerList* l) { RemoveRange(l, 2, 100); }, {0, 1}, 6},
      {"negative n: nothing", {0, 1, 2}, [](PointerList* l) { RemoveRange(l, 1, -3); }, {0, 1, 2}, 3},
      {"inner range keeps order", {0, 1, 2, 3, 4}, [](PointerList* l) { RemoveRange(l, 1, 2); }, {0, 3, 4}, 6},
      {"RemoveValue takes the first", {5, 7, 5, 7}, [](PointerList* l) { RemoveValue(l, 7); }, {5, 5, 7}, 4},
      {"RemoveValue of a missing value", {5, 7}, [](PointerList* l) { RemoveValue(l, 8); }, {5, 7}, 2},
      {"capacity never below Count", {1, 2, 3}, [](PointerList* l) { SetCapacity(l, 0); }, {1, 2, 3}, 3},
      {"capacity 0 frees", {1}, [](PointerList* l) { RemoveAt(l, 0), SetCapacity(l, 0); }, {}, 0},
      {"Clear", {1, 2, 3}, [](PointerList* l) { Clear(l); }, {}, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    Clear(list);
    for (intptr_t v : c.before) Append(list, v);
    c.op(list);
    EXPECT_EQ(Values(list->Items, list->Items + list->Count), c.after);
    EXPECT_EQ(list->Capacity, c.capacity);
    EXPECT_EQ(list->Items == nullptr, c.capacity == 0) << "storage held exactly while there is capacity";
  }
  for (intptr_t v : {4, 8, 4}) Append(list, v);
  EXPECT_EQ((Values{IndexOfValue(list, 4), IndexOfValue(list, 8), IndexOfValue(list, 5)}), (Values{0, 1, -1}));
  Dispose(list);
}

// Each object's DestroyNotify context is its name. It disposes the object once
// more, as a message sent during a window's tear-down would: that must not
// destroy it a second time.
std::string gEvents;
void RecordDestroy(void* name, ToolkitObject* obj) { gEvents += static_cast<const char*>(name), Dispose(obj); }
ToolkitObject* Tracked(const char* name) {
  ToolkitObject* obj = NewObject(&kObjectKind);
  return obj->DestroyNotify = {RecordDestroy, const_cast<char*>(name)}, obj;
}

TEST(ObjectTest, RefStateAndDeferredDestruction) {
  // A = AcquireRef, D = Dispose, R = ReleaseRef; the RefState after each step, X where it destroys.
  const int X = INT32_MIN;
  const struct { const char* ops; std::vector<int> states; } cases[] = {
      {"D", {X}}, {"ADR", {2, 1, X}}, {"AADRR", {2, 4, 3, 1, X}}, {"ADDR", {2, 1, 1, X}},
      {"RAD", {-2, 0, X}}, {"RRDR", {-2, -4, -5, X}}, {"AAR", {2, 4, 2}}};
  int32_t live = LiveObjectCount;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.ops);
    gEvents.clear();
    ToolkitObject* obj = Tracked("x");
    std::vector<int> states;
    for (const char* op = c.ops; *op && gEvents.empty(); ++op) {
      *op == 'A' ? AcquireRef(obj) : *op == 'D' ? Dispose(obj) : ReleaseRef(obj);
      states.push_back(gEvents.empty() ? obj->RefState : X);
    }
    EXPECT_EQ(states, c.states);
    EXPECT_EQ(gEvents, states.back() == X ? "x" : "");
    if (states.back() != X) obj->RefState = 0, obj->DestroyNotify = {}, Dispose(obj);
    EXPECT_EQ(LiveObjectCount, live);
  }
}

void RecordCallback(intptr_t argument) { gEvents += "cb" + std::to_string(argument); }

TEST(ObjectTest, FinalizersRunNewestFirstAfterTheDestroyNotify) {
  gEvents.clear();
  int32_t live = LiveObjectCount;
  ToolkitObject* owner = Tracked("owner ");
  OwnObject(owner, Tracked("x "));
  OwnCallback(owner, RecordCallback, 42);
  OwnObject(owner, nullptr);
  OwnObject(owner, Tracked("y "));
  Dispose(owner);
  EXPECT_EQ(gEvents, "owner y cb42x ");
  EXPECT_EQ(LiveObjectCount, live) << "owned objects and the finalize list are freed";
}

// The block of a just-freed dirty object comes back for the next one of its size.
void CheckZeroFilledThenDirty(ToolkitObject* obj) {
  gEvents += memcmp(obj + 1, Values(8).data(), 32) == 0 ? "zero " : "dirty ";
  memset(obj + 1, 0x5A, 32);
}
const ObjectKind kBigKind = {sizeof(ToolkitObject) + 32, CheckZeroFilledThenDirty, BaseDestroyObject};
const ObjectKind kHugeKind = {0x7FFFFFF0u, BaseInitObject, BaseDestroyObject};

TEST(ObjectTest, NewObjectZeroFillsThenInitialisesAndOutOfMemoryEndsTheProcess) {
  gEvents.clear();
  for (int i = 0; i < 3; ++i) Dispose(NewObject(&kBigKind));
  EXPECT_EQ(gEvents, "zero zero zero ");
  EXPECT_EXIT(NewObject(&kHugeKind), ::testing::ExitedWithCode(ERROR_NOT_ENOUGH_MEMORY), "");
  EXPECT_EXIT(SetCapacity(NewPointerList(), 0x3FFFFFF0), ::testing::ExitedWithCode(ERROR_NOT_ENOUGH_MEMORY), "");
}
