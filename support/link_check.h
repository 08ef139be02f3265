#pragma once

#include <stddef.h>
#include <stdint.h>

// A shortcut file is a few kilobytes; a larger file is refused unread.
const size_t kMaxLinkFileSize = 1 << 20;

// True when the bytes of a shortcut file hold together as the Shell Link
// format lays them out: the header, then (as its flags say) the item ID list,
// the link info and the strings, then extra data blocks. Every size, count and
// offset stays inside the file and every string ends inside its structure, so
// a loader that trusts them reads nothing past the bytes.
bool LinkFileHoldsTogether(const uint8_t* bytes, size_t size);
