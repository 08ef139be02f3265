// Every text the user sees, as code page 932 bytes. They live in one file
// because only that file is compiled from UTF-8 into code page 932. They reach
// the system through WideText (support/wide_text.h) alone, so that the menu
// texts in the registry and every window text are the same on every system.
#pragma once

// The single-instance mutex is named after the program.
extern const char kAppName[];      // Tarvo
// The application name and an ideographic space (U+3000). A second instance
// finds the first by this caption alone, so the window must carry exactly it.
extern const char kFormCaption[];  // Tarvo　

// The two context-menu entries; the settings window's check boxes carry the same texts.
extern const char kNormalMenuText[];
extern const char kExploreMenuText[];
extern const char kSelectText[];
extern const char kOkText[];
extern const char kCancelText[];
extern const char kVersionText[];

// What OK could not do: the menu entries are machine-wide and need
// administrator rights, and a user who pressed OK must not be left believing
// they were added or removed.
extern const char kEntriesNotChanged[];
extern const char kEntryBullet[];
extern const char kEntryAdded[];
extern const char kEntryRemoved[];
extern const char kNeedsAdministrator[];
extern const char kPathTooLong[];
extern const char kOptionsStored[];
extern const char kOptionsNotStored[];

// The box shown before exit code 227.
extern const char kRuntimeErrorText[];
extern const char kRuntimeErrorCaption[];
