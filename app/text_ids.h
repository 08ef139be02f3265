// The ids of the texts in the string tables of tarvo.rc, shared with the
// resource compiler, which reads only the preprocessor. The two menu entries'
// ids are written into the registry (MUIVerb) and stay what they are for good.
#pragma once

#define TEXT_OPEN_TARGET 100
#define TEXT_OPEN_IN_EXPLORER 101
#define TEXT_SELECT 102
#define TEXT_OK 103
#define TEXT_CANCEL 104
#define TEXT_ENTRIES_NOT_CHANGED 105
#define TEXT_ADDING_BEFORE 106
#define TEXT_ADDING_AFTER 107
#define TEXT_REMOVING_BEFORE 108
#define TEXT_REMOVING_AFTER 109
#define TEXT_NEEDS_ADMINISTRATOR 110
#define TEXT_PATH_TOO_LONG 111
#define TEXT_OPTIONS_STORED 112
#define TEXT_OPTIONS_NOT_STORED 113
