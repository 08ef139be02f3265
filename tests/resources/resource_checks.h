#pragma once
// Checks of Tarvo's resources as the system reads them back from a module:
// the running test program (which embeds app/tarvo.rc) or a file loaded with
// LOAD_LIBRARY_AS_DATAFILE, such as the built tarvo.exe. Failures are reported
// through GoogleTest's non-fatal expectations.
#include <windows.h>

void CheckResourceLanguages(HMODULE module);
void CheckMainIcon(HMODULE module);
void CheckImageListBitmap(HMODULE module);
void CheckVersionRecord(HMODULE module);
void CheckManifest(HMODULE module);
