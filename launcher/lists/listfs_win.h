// listfs_win.h - the file system of the list-file reader and of the Default
// lookup, through the ANSI Win32 calls.
#pragma once
#include "../../common/listfile.h"

// isFolder: DirectoryExists; enumerate: FindFirstFileA/FindNextFileA on
// folder + "\" + pattern (no separator added when folder already ends in one).
extern const ListFileSystem WinListFileSystem;
