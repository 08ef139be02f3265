#pragma once

#include <stdint.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

// The shell launches of the link action: the ANSI form for what the system's
// code page spells exactly, the wide form for the rest. Production calls the
// shell; tests put recorders here, since the real calls start other programs.
struct ShellLaunch {
  BOOL(WINAPI* executeEx)(SHELLEXECUTEINFOA* info);
  BOOL(WINAPI* executeExW)(SHELLEXECUTEINFOW* info);
};
extern ShellLaunch shellLaunch;

// Opens the folder that holds the target of the shortcut at shortcutPath: mode "0"
// as a folder window, "1" as an Explorer window; any other mode opens nothing.
// select asks for the target to be selected. Only an existing folder is ever
// opened, and the one program started is the system's own explorer.exe, named
// in full. A target path that the ANSI code page cannot spell is launched
// through the wide functions.
void OpenShortcutTarget(const char* shortcutPath, const char* mode, bool select);
// The same for a shortcut path that the ANSI code page cannot spell.
void OpenShortcutTargetW(const wchar_t* shortcutPath, const char* mode, bool select);

// All items of list but the last, in a new block of the shell's allocator. False
// when list has fewer than two items (*parent is then list) or the block could not
// be had (*parent is then null). Cuts list before its last item.
bool GetParentIDList(ITEMIDLIST* list, ITEMIDLIST** parent);

// Byte size of the items of list without its last one (and without terminator);
// cuts list in place before its last item. At most 260 items are looked at.
int32_t ParentIDListSize(ITEMIDLIST* list);

// size zero-filled bytes from the shell's task allocator.
bool AllocIDList(ITEMIDLIST** list, uint32_t size);
