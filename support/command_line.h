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

// Token number index of the wide command line, split by the same rules, into
// buffer; false when there is no such token or it does not fit.
bool WideCommandParam(int index, wchar_t* buffer, uint32_t capacity);

// The ANSI form of wide into *ansi; false when the code page cannot hold every
// character exactly (a best-fit or default character would stand in).
bool ToAnsiExact(const wchar_t* wide, ByteString* ansi);
