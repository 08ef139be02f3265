// Object base of the toolkit: reference-counted objects with deferred
// destruction, a one-shot destroy notification, a finalize list through which
// an object owns other objects and callbacks, and the growable pointer list.
#pragma once
#include <stddef.h>
#include <stdint.h>

struct ToolkitObject;
struct PointerList;

// The kind of an object: its size and its table of virtual operations.
// Kinds with more operations (Control) extend this record.
struct ObjectKind {
  size_t Size;
  void (*InitObject)(ToolkitObject* obj);
  void (*DestroyObject)(ToolkitObject* obj);
};

typedef void (*DestroyNotifyProc)(void* context, ToolkitObject* obj);
struct DestroyNotifyMethod {
  DestroyNotifyProc Code;
  void* Context;
};

// A procedure of the finalize list; it gets the argument stored beside it.
typedef void (*FinalizeProc)(intptr_t argument);

struct ToolkitObject {
  const ObjectKind* Kind;
  // 2 x references held; minus 1 while a dispose is pending (odd).
  int32_t RefState;
  DestroyNotifyMethod DestroyNotify;
  PointerList* FinalizeList;
};

struct PointerList : ToolkitObject {
  intptr_t* Items;
  int32_t Count;
  int32_t Capacity;
};

extern const ObjectKind kObjectKind;       // plain object, no operations of its own
extern const ObjectKind kPointerListKind;

// Number of toolkit objects alive in this process (made and not yet freed).
extern int32_t LiveObjectCount;

// Allocates a zero-filled block of kind->Size, records the kind, runs InitObject.
// Out of memory ends the process; never returns null.
ToolkitObject* NewObject(const ObjectKind* kind);
template <class T>
inline T* NewObjectOf(const ObjectKind* kind) { return static_cast<T*>(NewObject(kind)); }

// Virtual operations, dispatched through the object's kind.
inline void InitObject(ToolkitObject* obj) { obj->Kind->InitObject(obj); }
inline void DestroyObject(ToolkitObject* obj) { obj->Kind->DestroyObject(obj); }

// Base versions: InitObject does nothing; DestroyObject runs the finalizers and
// frees the memory. A replacement DestroyObject ends by calling BaseDestroyObject.
void BaseInitObject(ToolkitObject* obj);
void BaseDestroyObject(ToolkitObject* obj);

void Dispose(ToolkitObject* obj);
void DisposeIfAny(ToolkitObject* obj);
void AcquireRef(ToolkitObject* obj);
void ReleaseRef(ToolkitObject* obj);
void OwnObject(ToolkitObject* owner, ToolkitObject* obj);
void OwnCallback(ToolkitObject* owner, FinalizeProc code, intptr_t context);
void RunFinalizers(ToolkitObject* obj);

PointerList* NewPointerList();
int32_t Append(PointerList* list, intptr_t value);
void InsertAt(PointerList* list, int32_t index, intptr_t value);
void RemoveAt(PointerList* list, int32_t index);
void RemoveRange(PointerList* list, int32_t index, int32_t n);
int32_t IndexOfValue(const PointerList* list, intptr_t value);
void RemoveValue(PointerList* list, intptr_t value);
void SetCapacity(PointerList* list, int32_t n);
void Clear(PointerList* list);
