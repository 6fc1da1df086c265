// windowfiles.cpp - the files a window stands for: the path typed in the edit
// box, or the selected rows of a list window. Every command that acts on
// files (clipboard, shortcuts, the shell's menu, properties, a drag, a
// registered application, the rename and delete tool) starts here.
#include <windows.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "shellext.h"

namespace {

// Appends path, rooted, to list (size bytes, used so far) when it fits and,
// with mustExist, exists; true when added.
bool AddRooted(const char* path, bool mustExist, char* list, size_t size, size_t* used) {
    char rooted[SHELL_PATH_SIZE];
    if (!RootedPath(path, rooted, sizeof rooted)) return false;
    if (mustExist && !FileExists(rooted)) return false;
    return FileListAppend(list, size, used, rooted);
}

char* BoxFiles(int flags, int* count) {
    char text[PATH_WORK_SIZE];
    int len = ReadEditText(text, sizeof text);
    char path[SHELL_PATH_SIZE];
    if (len <= 0 || len >= EDIT_TEXT_MAX || !EditItemPath(text, path, sizeof path)) return nullptr;
    if ((flags & WF_BOX_EXISTING) && !FileExists(path)) return nullptr;
    size_t size = SHELL_PATH_SIZE + 1, used = 0;
    char* list = (char*)MemAlloc(size);
    if (!list) return nullptr;
    list[0] = '\0';
    if (FileListAppend(list, size, &used, path)) *count = 1;
    return list;
}

char* ListRowFiles(HWND list, ListRole role, int flags, int* count) {
    int n = 0;
    int mode = (flags & WF_FOCUSED_ITEM) && role == LR_Item ? LS_FOCUSED : LS_SELECTED;
    char* raw = SelectedListPaths(list, mode, &n);
    if (!raw) return nullptr;
    size_t size = (size_t)n * SHELL_PATH_SIZE + 1, used = 0;
    char* files = (char*)MemAlloc(size);
    if (files) {
        files[0] = '\0';
        for (const char* p = raw; *p; p += strlen(p) + 1)
            if (AddRooted(p, (flags & WF_ROWS_EXISTING) != 0, files, size, &used)) (*count)++;
    }
    MemFree(raw);
    return files;
}

}  // namespace

char* WindowFiles(HWND wnd, int flags, int* count) {
    int n = 0;
    char* files = nullptr;
    if (wnd && wnd == EditBox.wnd) {
        files = BoxFiles(flags, &n);
    } else {
        ListRole role = RoleOfListWindow(wnd);
        if (wnd && role != LR_None) files = ListRowFiles(wnd, role, flags, &n);
    }
    if (files && n == 0) {
        MemFree(files);
        files = nullptr;
    }
    if (count) *count = n;
    return files;
}
