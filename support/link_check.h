#pragma once

#include <stddef.h>
#include <stdint.h>

// A shortcut file is a few kilobytes; a larger file is refused unread.
const size_t kMaxLinkFileSize = 1 << 20;

// True when the bytes of a shortcut file hold together as the Shell Link
// format lays them out, so that a loader that follows their sizes, counts and
// offsets reads nothing past the structure that holds them:
// - the header: its size and the link class;
// - the item ID list, if the flags announce it: inside the file, every item at
//   least its own 2-byte size, the terminator where the list's size ends;
// - the link info, if announced: inside the file; its volume and network
//   parts inside it and at least their fixed headers long; every string it
//   points to, ANSI or Unicode, starting and ending inside its structure;
// - the strings the flags announce, each inside the file (the file may end
//   before one, and the loader stops there);
// - the extra data blocks, up to the terminal block: each inside the file; a
//   block of a known kind at least as long as its fixed layout, and its name
//   and path fields ending inside their fields; the special and known folder
//   blocks' offsets on an item's start (or the terminator) of the ID list, so
//   never valid in a link without one; the ID-list block's items as above; the
//   property store's storages inside the block up to one of size 0, each with
//   its version, format ID and values inside it up to one of size 0, each
//   value at least as long as its fixed fields, its name (for the format that
//   names values by strings) ending inside it, and its type inside it.
// What a typed value holds past its type, and blocks of unknown kinds, are
// not read.
bool LinkFileHoldsTogether(const uint8_t* bytes, size_t size);
