#pragma once

#include "support/strings.h"

// Token number index of commandLine (token 0 is the program as written; a
// negative index also gives token 0), with one pair of enclosing double quotes
// removed; empty when the line has fewer tokens. The line is not changed.
ByteString CommandParamOf(const char* commandLine, int index);

// Index 0: the program's own file path as the system reports it. Any other index:
// CommandParamOf the process command line.
ByteString GetCommandParam(int index);

// The program's file path from a 261-byte buffer; *truncated (when given) tells
// whether the system had more to say than fitted.
ByteString ModuleFilePath(bool* truncated);
