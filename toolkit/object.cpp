#include "toolkit/object.h"

#include "support/strings.h"

#include <stdlib.h>
#include <string.h>
#include <windows.h>

int32_t LiveObjectCount = 0;

namespace {

void PointerListDestroyObject(ToolkitObject* obj) {
  Clear(static_cast<PointerList*>(obj));
  BaseDestroyObject(obj);
}

// Finalize lists store procedures taking one pointer-sized argument.
void DisposeFinalizer(intptr_t obj) {
  DisposeIfAny(reinterpret_cast<ToolkitObject*>(obj));
}

void InsertPair(ToolkitObject* owner, intptr_t code, intptr_t argument) {
  if (!owner->FinalizeList) owner->FinalizeList = NewPointerList();
  InsertAt(owner->FinalizeList, 0, argument);
  InsertAt(owner->FinalizeList, 0, code);
}

// Makes room for one more value at the end, by the list's growth rule.
int32_t GrowByOne(PointerList* list) {
  int32_t index = list->Count;
  list->Count += 1;
  if (index >= list->Capacity) SetCapacity(list, index + index / 4 + 1);
  return index;
}

}  // namespace

const ObjectKind kObjectKind = {sizeof(ToolkitObject), BaseInitObject, BaseDestroyObject};
const ObjectKind kPointerListKind = {sizeof(PointerList), BaseInitObject, PointerListDestroyObject};

ToolkitObject* NewObject(const ObjectKind* kind) {
  ToolkitObject* obj = static_cast<ToolkitObject*>(AllocZeroed(kind->Size));
  obj->Kind = kind;
  LiveObjectCount += 1;
  InitObject(obj);
  return obj;
}

void BaseInitObject(ToolkitObject*) {}

void BaseDestroyObject(ToolkitObject* obj) {
  RunFinalizers(obj);
  LiveObjectCount -= 1;
  free(obj);
}

void Dispose(ToolkitObject* obj) {
  if (obj->RefState == 0) {
    // Marked like an object whose last reference went: a Dispose or a message
    // dispatch reached from its own tear-down must not start a second one.
    obj->RefState = -1;
    DestroyObject(obj);
  } else if ((obj->RefState & 1) == 0) {
    obj->RefState -= 1;
  }
}

void DisposeIfAny(ToolkitObject* obj) {
  if (obj) Dispose(obj);
}

void AcquireRef(ToolkitObject* obj) {
  obj->RefState += 2;
}

void ReleaseRef(ToolkitObject* obj) {
  obj->RefState -= 2;
  if (obj->RefState < 0 && (obj->RefState & 1) != 0) DestroyObject(obj);
}

void OwnObject(ToolkitObject* owner, ToolkitObject* obj) {
  InsertPair(owner, reinterpret_cast<intptr_t>(DisposeFinalizer), reinterpret_cast<intptr_t>(obj));
}

void OwnCallback(ToolkitObject* owner, FinalizeProc code, intptr_t context) {
  InsertPair(owner, reinterpret_cast<intptr_t>(code), context);
}

void RunFinalizers(ToolkitObject* obj) {
  DestroyNotifyProc notify = obj->DestroyNotify.Code;
  obj->DestroyNotify.Code = nullptr;
  if (notify) notify(obj->DestroyNotify.Context, obj);

  PointerList* list = obj->FinalizeList;
  obj->FinalizeList = nullptr;
  if (!list) return;
  for (int32_t i = 0; i + 1 < list->Count; i += 2) {
    reinterpret_cast<FinalizeProc>(list->Items[i])(list->Items[i + 1]);
  }
  DisposeIfAny(list);
}

PointerList* NewPointerList() {
  return NewObjectOf<PointerList>(&kPointerListKind);
}

int32_t Append(PointerList* list, intptr_t value) {
  int32_t index = GrowByOne(list);
  list->Items[index] = value;
  return index;
}

void InsertAt(PointerList* list, int32_t index, intptr_t value) {
  if (index < 0 || index > list->Count) return;
  int32_t last = GrowByOne(list);
  memmove(list->Items + index + 1, list->Items + index, (last - index) * sizeof(intptr_t));
  list->Items[index] = value;
}

void RemoveAt(PointerList* list, int32_t index) {
  RemoveRange(list, index, 1);
}

void RemoveRange(PointerList* list, int32_t index, int32_t n) {
  if (n <= 0 || index < 0 || index >= list->Count) return;
  if (n > list->Count - index) n = list->Count - index;
  int32_t behind = list->Count - index - n;
  memmove(list->Items + index, list->Items + index + n, behind * sizeof(intptr_t));
  list->Count -= n;
}

int32_t IndexOfValue(const PointerList* list, intptr_t value) {
  for (int32_t i = 0; i < list->Count; ++i) {
    if (list->Items[i] == value) return i;
  }
  return -1;
}

void RemoveValue(PointerList* list, intptr_t value) {
  int32_t index = IndexOfValue(list, value);
  if (index != -1) RemoveAt(list, index);
}

void SetCapacity(PointerList* list, int32_t n) {
  if (n < list->Count) n = list->Count;
  if (n == list->Capacity) return;
  if (n == 0) {
    free(list->Items);
    list->Items = nullptr;
  } else {
    intptr_t* items = static_cast<intptr_t*>(realloc(list->Items, n * sizeof(intptr_t)));
    if (!items) OutOfMemory();
    list->Items = items;
  }
  list->Capacity = n;
}

void Clear(PointerList* list) {
  free(list->Items);
  list->Items = nullptr;
  list->Count = 0;
  list->Capacity = 0;
}
