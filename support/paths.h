#pragma once

#include "support/strings.h"

typedef bool (*LeadBytePredicate)(unsigned char byte);

// The beginning of path up to and including its last '\' or ':'; empty when it
// has neither. '/' is no separator. The second byte of a double-byte character is
// never taken for a separator (in code page 932 it is 0x5C in ソ, 表, 能, 十).
ByteString PathFolderPart(const char* path);

// The same cut with lead bytes judged by isLeadByte; PathFolderPart asks the
// system about the ANSI code page.
ByteString PathFolderPartWith(const char* path, LeadBytePredicate isLeadByte);
