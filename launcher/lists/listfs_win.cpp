// listfs_win.cpp - the file system of the list-file reader and of the Default
// lookup, through the ANSI Win32 calls.
#include "listfs_win.h"

#include <windows.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"

static bool WinIsFolder(void*, const char* path) { return path && path[0] && DirectoryExists(path); }

static int WinEnumerate(void*, const char* folder, const char* pattern, ListEntryReport report,
                        void* sink) {
    if (!folder || !pattern || !report) return 0;
    char search[MAX_PATH];
    // A search text the system cannot take finds nothing.
    if (!JoinFolderName(folder, pattern, search, sizeof search)) return 0;

    WIN32_FIND_DATAA data;
    HANDLE find = FindFirstFileA(search, &data);
    if (find == INVALID_HANDLE_VALUE) {
        DWORD error = GetLastError();
        return (error == ERROR_FILE_NOT_FOUND || error == ERROR_NO_MORE_FILES) ? 1 : 0;
    }
    do {
        report(sink, data.cFileName, (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? 1 : 0);
    } while (FindNextFileA(find, &data));
    FindClose(find);
    return 1;
}

const ListFileSystem WinListFileSystem = {WinIsFolder, WinEnumerate, nullptr};
