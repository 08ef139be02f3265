// The texts of the program. Those the user reads live in the string tables of
// tarvo.rc, Japanese and English side by side, because Explorer reads the menu
// entries' texts from there too; the names below are the same in every
// language. Inside the program every text is code page 932 bytes, and reaches
// the system through WideText (support/wide_text.h) alone.
#pragma once

#include "app/text_ids.h"
#include "support/strings.h"

// The single-instance mutex is named after the program.
extern const char kAppName[];      // Tarvo
// The application name and an ideographic space (U+3000). A second instance
// finds the first by this caption alone, so the window must carry exactly it.
extern const char kFormCaption[];  // Tarvo　
extern const char kVersionText[];

// A text of the string tables (an id of app/text_ids.h) in the user's display
// language: Japanese for a Japanese one, English for any other, as Explorer
// picks the menu entries' texts.
ByteString UserText(unsigned id);
// The Japanese text whatever the user's language: the menu entries' default
// values, which older readers and stored layouts rely on.
ByteString JapaneseText(unsigned id);

// The box shown before exit code 227.
extern const char kRuntimeErrorText[];
extern const char kRuntimeErrorCaption[];
