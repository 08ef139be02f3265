// libFuzzer entry for what a reader does with a shortcut that the check lets
// through. Each structure is copied into a buffer of exactly the size the file
// gives it, as a reader that allocates it would, and is then followed through
// its sizes, counts and offsets with no bounds checks of its own, so that
// AddressSanitizer reports every read past a structure the check accepted.
#include <string.h>

#include <memory>

#include "support/link_check.h"

namespace {

using Copy = std::unique_ptr<uint8_t[]>;

volatile uint32_t sink;

Copy Own(const uint8_t* p, size_t n) {
  Copy copy(new uint8_t[n]);
  memcpy(copy.get(), p, n);
  return copy;
}

uint32_t U16(const uint8_t* p) { return p[0] | p[1] << 8; }
uint32_t U32(const uint8_t* p) { return U16(p) | U16(p + 2) << 16; }
void Touch(const uint8_t* p, size_t n) { sink = sink + (n ? p[0] + p[n - 1] : 0); }
void Ansi(const uint8_t* p) { sink = sink + strlen(reinterpret_cast<const char*>(p)); }
void Wide(const uint8_t* p) {
  while (U16(p)) p += 2;
}
// A name in a field of its own size.
void AnsiField(const uint8_t* p, size_t n) { Ansi(Own(p, n).get()); }
void WideField(const uint8_t* p, size_t n) { Wide(Own(p, n).get()); }

// Items up to the terminator, each read whole.
void Items(const uint8_t* p) {
  for (uint32_t n; (n = U16(p)); p += n) Touch(p, n);
}

void Volume(const uint8_t* at) {
  Copy volume = Own(at, U32(at));
  const uint8_t* v = volume.get();
  Touch(v, 0x10);
  if (U32(v + 12) == 0x14) {
    Wide(v + U32(v + 0x10));
  } else {
    Ansi(v + U32(v + 12));
  }
}

void Network(const uint8_t* at) {
  Copy network = Own(at, U32(at));
  const uint8_t* n = network.get();
  Touch(n, 0x14);
  Ansi(n + U32(n + 8));
  if (U32(n + 12)) Ansi(n + U32(n + 12));
  if (U32(n + 8) > 0x14) {
    Wide(n + U32(n + 0x14));
    if (U32(n + 0x18)) Wide(n + U32(n + 0x18));
  }
}

void LinkInfo(const uint8_t* at) {
  Copy info = Own(at, U32(at));
  const uint8_t* p = info.get();
  Touch(p, U32(p + 4));
  // A zero offset stands for "absent".
  if (U32(p + 12)) Volume(p + U32(p + 12));
  if (U32(p + 16)) Ansi(p + U32(p + 16));
  if (U32(p + 20)) Network(p + U32(p + 20));
  if (U32(p + 24)) Ansi(p + U32(p + 24));
  if (U32(p + 4) < 0x24) return;
  if (U32(p + 0x1C)) Wide(p + U32(p + 0x1C));
  if (U32(p + 0x20)) Wide(p + U32(p + 0x20));
}

// {D5CDD505-2E9C-101B-9397-08002B2CF9AE}: storages whose values have names.
const uint8_t kNamedValues[16] = {0x05, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                  0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};

void Storage(const uint8_t* s) {
  Touch(s, 24);
  bool named = memcmp(s + 8, kNamedValues, 16) == 0;
  for (const uint8_t* at = s + 24; U32(at); at += U32(at)) {
    Copy value = Own(at, U32(at));
    const uint8_t* type = value.get() + 9;
    if (named) {
      WideField(type, U32(value.get() + 4));
      type += U32(value.get() + 4);
    }
    Touch(type, 4);
  }
}

void Block(const uint8_t* b, const uint8_t* list) {
  switch (U32(b + 4)) {
    case 0xA0000001:
    case 0xA0000006:
    case 0xA0000007:
      Touch(b, 0x314);
      AnsiField(b + 8, 260);
      WideField(b + 268, 520);
      break;
    case 0xA0000002:
      Touch(b, 0xCC);
      WideField(b + 0x2C, 64);
      break;
    case 0xA0000003:
      Touch(b, 0x60);
      AnsiField(b + 0x10, 16);
      break;
    case 0xA0000004:
      Touch(b, 0xC);
      break;
    case 0xA0000005:
      Touch(b, 0x10);
      Items(list + U32(b + 0xC));
      break;
    case 0xA0000008:
      Touch(b, 0x88);
      Wide(b + 8);
      break;
    case 0xA0000009:
      for (const uint8_t* at = b + 8; U32(at); at += U32(at)) Storage(Own(at, U32(at)).get());
      break;
    case 0xA000000B:
      Touch(b, 0x1C);
      Items(list + U32(b + 0x18));
      break;
    case 0xA000000C:
      Touch(b, 0xA);
      Items(b + 8);
      break;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!LinkFileHoldsTogether(data, size)) return 0;
  uint32_t flags = U32(data + 0x14);
  size_t at = 0x4C;
  // No list: a buffer of no bytes, so that any offset into it is a finding.
  Copy list = Own(data, 0);
  if (flags & 1) {
    list = Own(data + at + 2, U16(data + at));
    Items(list.get());
    at += 2 + U16(data + at);
  }
  if (flags & 2) {
    LinkInfo(data + at);
    at += U32(data + at);
  }
  size_t charSize = flags & 0x80 ? 2 : 1;
  for (uint32_t flag = 0x4; flag <= 0x40 && at < size; flag <<= 1) {
    if (!(flags & flag)) continue;
    Touch(data + at + 2, U16(data + at) * charSize);
    at += 2 + U16(data + at) * charSize;
  }
  // The loader's stream ends the blocks where the check says it does.
  while (at < size && U32(data + at) >= 4 && size - at > 4) {
    Block(Own(data + at, U32(data + at)).get(), list.get());
    at += U32(data + at);
  }
  return 0;
}
