#pragma once

#include <stdint.h>
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>

// The two shell launches of the link action. Production calls the shell; tests
// put recorders here, since the real calls start other programs.
struct ShellLaunch {
  HINSTANCE(WINAPI* execute)(HWND owner, LPCSTR operation, LPCSTR file, LPCSTR parameters,
                             LPCSTR directory, INT showCommand);
  BOOL(WINAPI* executeEx)(SHELLEXECUTEINFOA* info);
  HINSTANCE(WINAPI* executeW)(HWND owner, LPCWSTR operation, LPCWSTR file, LPCWSTR parameters,
                              LPCWSTR directory, INT showCommand);
};
extern ShellLaunch shellLaunch;

// Opens the folder that holds the target of the shortcut at shortcutPath: mode "0"
// as a folder window, "1" as an Explorer window; any other mode opens nothing.
// select asks for the target to be selected. A target path that the system's
// code page (932 on a Japanese Windows) cannot spell is launched through the
// wide functions.
void OpenShortcutTarget(const char* shortcutPath, const char* mode, bool select);
// The same for a shortcut path that the system's code page cannot spell.
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
