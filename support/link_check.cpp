#include "support/link_check.h"

#include <string.h>

namespace {

const size_t kHeaderSize = 0x4C;
// {00021401-0000-0000-C000-000000000046}, as it lies in the file.
const uint8_t kLinkClsid[16] = {0x01, 0x14, 0x02, 0, 0, 0, 0, 0, 0xC0, 0, 0, 0, 0, 0, 0, 0x46};

const uint32_t kHasIDList = 0x1;
const uint32_t kHasLinkInfo = 0x2;
// Name, relative path, working folder, arguments, icon: in this order.
const uint32_t kFirstString = 0x4;
const uint32_t kLastString = 0x40;
const uint32_t kIsUnicode = 0x80;

const size_t kLinkInfoHeader = 0x1C;
const size_t kLinkInfoHeaderWide = 0x24;
const uint32_t kVolumeAndLocalPath = 0x1;
const uint32_t kNetworkAndSuffix = 0x2;
const size_t kVolumeHeader = 0x10;
const size_t kNetworkHeader = 0x14;
const uint32_t kValidDevice = 0x1;

const uint32_t kPathBlockSize = 0x314;
const size_t kPathField = 260;

// A view of bytes; every read checks against its end.
struct Bytes {
  const uint8_t* data;
  size_t size;

  bool Has(size_t at, size_t n) const { return at <= size && n <= size - at; }
  Bytes Sub(size_t at, size_t n) const { return {data + at, n}; }
  uint32_t U16(size_t at) const { return data[at] | uint32_t(data[at + 1]) << 8; }
  uint32_t U32(size_t at) const { return U16(at) | U16(at + 2) << 16; }
  bool AnsiEnds(size_t at) const { return at < size && memchr(data + at, 0, size - at); }
  bool WideEnds(size_t at) const {
    for (size_t i = at; i < size && size - i >= 2; i += 2) {
      if (U16(i) == 0) return true;
    }
    return false;
  }
};

// Items of at least their own 2-byte size, then the terminator right at the end.
bool IDListHoldsTogether(Bytes list) {
  size_t at = 0;
  while (list.Has(at, 2)) {
    size_t item = list.U16(at);
    if (item == 0) return at + 2 == list.size;
    if (item < 2) return false;
    at += item;
  }
  return false;
}

// The zero offset stands for "absent" wherever the format has an optional string.
bool OptionalAnsi(Bytes b, size_t at) { return at == 0 || b.AnsiEnds(at); }
bool OptionalWide(Bytes b, size_t at) { return at == 0 || b.WideEnds(at); }

bool VolumeHoldsTogether(Bytes info, size_t at) {
  if (!info.Has(at, kVolumeHeader) || info.U32(at) < kVolumeHeader || !info.Has(at, info.U32(at)))
    return false;
  Bytes volume = info.Sub(at, info.U32(at));
  size_t label = volume.U32(12);
  // This value stands for "the label is Unicode": its offset follows the header.
  if (label == 0x14)
    return volume.Has(kVolumeHeader, 4) && volume.WideEnds(volume.U32(kVolumeHeader));
  return volume.AnsiEnds(label);
}

bool NetworkHoldsTogether(Bytes info, size_t at) {
  if (!info.Has(at, kNetworkHeader) || info.U32(at) < kNetworkHeader || !info.Has(at, info.U32(at)))
    return false;
  Bytes network = info.Sub(at, info.U32(at));
  size_t name = network.U32(8);
  size_t device = network.U32(12);
  if ((network.U32(4) & kValidDevice) && device == 0) return false;
  if (!network.AnsiEnds(name) || !OptionalAnsi(network, device)) return false;
  // Past the fixed header: the Unicode names' offsets follow it.
  if (name <= kNetworkHeader) return true;
  return network.Has(kNetworkHeader, 8) && network.WideEnds(network.U32(0x14)) &&
         OptionalWide(network, network.U32(0x18));
}

bool LinkInfoHoldsTogether(Bytes info) {
  size_t header = info.U32(4);
  if (header < kLinkInfoHeader || header > info.size) return false;
  uint32_t flags = info.U32(8);
  size_t volume = info.U32(12);
  size_t localPath = info.U32(16);
  size_t network = info.U32(20);
  if ((flags & kVolumeAndLocalPath) && (volume == 0 || localPath == 0)) return false;
  if ((flags & kNetworkAndSuffix) && network == 0) return false;
  if (volume && !VolumeHoldsTogether(info, volume)) return false;
  if (network && !NetworkHoldsTogether(info, network)) return false;
  if (!OptionalAnsi(info, localPath) || !OptionalAnsi(info, info.U32(24))) return false;
  if (header < kLinkInfoHeaderWide) return true;
  return OptionalWide(info, info.U32(0x1C)) && OptionalWide(info, info.U32(0x20));
}

// The start of an item, or of the terminator, of a list that holds together.
// A link without a list has none.
bool IsItemStart(Bytes list, size_t offset) {
  for (size_t at = 0; list.Has(at, 2); at += list.U16(at)) {
    if (at == offset) return true;
    if (list.U16(at) == 0) return false;
  }
  return false;
}

// Records that open with their own 4-byte size, up to one of size zero, which
// must be there: the reader has no other end.
template <typename Check>
bool RecordsHoldTogether(Bytes b, size_t at, size_t minSize, Check record) {
  while (b.Has(at, 4)) {
    size_t size = b.U32(at);
    if (size == 0) return true;
    if (size < minSize || !b.Has(at, size) || !record(b.Sub(at, size))) return false;
    at += size;
  }
  return false;
}

// The storages of a property store: size, version, format ID, then values of
// size, number or name, a reserved byte and the typed value, whose type the
// reader reads first.
const uint32_t kStorageVersion = 0x53505331;
const size_t kStorageHeader = 24;
const size_t kValueHeader = 9;
const size_t kValueType = 4;
// {D5CDD505-2E9C-101B-9397-08002B2CF9AE}: values named by strings, not numbers.
const uint8_t kNamedValues[16] = {0x05, 0xD5, 0xCD, 0xD5, 0x9C, 0x2E, 0x1B, 0x10,
                                  0x93, 0x97, 0x08, 0x00, 0x2B, 0x2C, 0xF9, 0xAE};

bool ValueHoldsTogether(Bytes value, bool named) {
  size_t typed = kValueHeader;
  if (named) {
    size_t name = value.U32(4);
    if (!value.Has(typed, name) || !value.Sub(typed, name).WideEnds(0)) return false;
    typed += name;
  }
  return value.Has(typed, kValueType);
}

bool StorageHoldsTogether(Bytes storage) {
  if (storage.U32(4) != kStorageVersion) return false;
  bool named = memcmp(storage.data + 8, kNamedValues, sizeof kNamedValues) == 0;
  return RecordsHoldTogether(storage, kStorageHeader, kValueHeader,
                             [named](Bytes value) { return ValueHoldsTogether(value, named); });
}

// Blocks of known kinds are read as fixed records: they must be at least that
// long, and their name fields must end inside them. Unknown kinds are skipped.
bool BlockHoldsTogether(Bytes block, Bytes list) {
  static const struct {
    uint32_t signature;
    uint32_t minSize;
  } kKnown[] = {
      {0xA0000001, kPathBlockSize},  // environment variables
      {0xA0000002, 0xCC},            // console
      {0xA0000003, 0x60},            // tracker
      {0xA0000004, 0xC},             // console code page
      {0xA0000005, 0x10},            // special folder
      {0xA0000006, kPathBlockSize},  // Darwin
      {0xA0000007, kPathBlockSize},  // icon environment
      {0xA0000008, 0x88},            // shim
      {0xA0000009, 0xC},             // property store
      {0xA000000B, 0x1C},            // known folder
      {0xA000000C, 0xA},             // ID list
  };
  uint32_t signature = block.U32(4);
  for (const auto& known : kKnown) {
    if (known.signature == signature && block.size < known.minSize) return false;
  }
  switch (signature) {
    case 0xA0000001:
    case 0xA0000006:
    case 0xA0000007:
      return block.Sub(8, kPathField).AnsiEnds(0) &&
             block.Sub(8 + kPathField, 2 * kPathField).WideEnds(0);
    case 0xA0000002:
      return block.Sub(0x2C, 64).WideEnds(0);  // the font's face name
    case 0xA0000003:
      return block.Sub(0x10, 16).AnsiEnds(0);  // the machine's name
    case 0xA0000005:
      return IsItemStart(list, block.U32(0xC));  // where the items below the folder start
    case 0xA0000008:
      return block.Sub(8, block.size - 8).WideEnds(0);  // the layer's name
    case 0xA0000009:
      return RecordsHoldTogether(block, 8, kStorageHeader, StorageHoldsTogether);
    case 0xA000000B:
      return IsItemStart(list, block.U32(0x18));
    case 0xA000000C:
      return IDListHoldsTogether(block.Sub(8, block.size - 8));
  }
  return true;
}

}  // namespace

bool LinkFileHoldsTogether(const uint8_t* data, size_t size) {
  Bytes file = {data, size};
  if (size > kMaxLinkFileSize || !file.Has(0, kHeaderSize) || file.U32(0) != kHeaderSize ||
      memcmp(data + 4, kLinkClsid, sizeof kLinkClsid) != 0)
    return false;
  uint32_t flags = file.U32(0x14);
  size_t at = kHeaderSize;
  Bytes list = {data, 0};
  if (flags & kHasIDList) {
    if (!file.Has(at, 2) || !file.Has(at + 2, file.U16(at))) return false;
    list = file.Sub(at + 2, file.U16(at));
    if (!IDListHoldsTogether(list)) return false;
    at += 2 + list.size;
  }
  if (flags & kHasLinkInfo) {
    if (!file.Has(at, 4) || file.U32(at) < kLinkInfoHeader || !file.Has(at, file.U32(at)) ||
        !LinkInfoHoldsTogether(file.Sub(at, file.U32(at))))
      return false;
    at += file.U32(at);
  }
  // Real files may end before a string their flags announce: the loader then
  // stops there, and every string before it is whole.
  size_t charSize = flags & kIsUnicode ? 2 : 1;
  for (uint32_t flag = kFirstString; flag <= kLastString && at < size; flag <<= 1) {
    if (!(flags & flag)) continue;
    if (!file.Has(at, 2) || !file.Has(at + 2, file.U16(at) * charSize)) return false;
    at += 2 + file.U16(at) * charSize;
  }
  // Extra data blocks up to the terminal block, which may be missing. The last
  // four bytes can only be the terminal block, whatever a tool wrote there.
  while (at < size) {
    if (!file.Has(at, 4)) return false;
    size_t blockSize = file.U32(at);
    if (blockSize < 4 || size - at == 4) return true;
    if (blockSize < 8 || !file.Has(at, blockSize) ||
        !BlockHoldsTogether(file.Sub(at, blockSize), list))
      return false;
    at += blockSize;
  }
  return true;
}
