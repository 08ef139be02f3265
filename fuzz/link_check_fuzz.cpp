// libFuzzer entry for the shortcut check: whatever the bytes, it answers
// without reading past them and without undefined behaviour.
#include "support/link_check.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  LinkFileHoldsTogether(data, size);
  return 0;
}
