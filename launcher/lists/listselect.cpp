// listselect.cpp - the selection of a list window as full paths.
#include "listselect.h"

#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../editbox/editbox.h"
#include "../shell/appstate.h"
#include "cascade.h"
#include "listwnd.h"

ListRole RoleOfListWindow(HWND wnd) {
    if (!wnd) return LR_None;
    if (wnd == Lists.itemList) return LR_Item;
    if (wnd == Lists.folderList) return LR_Folder;
    if (CascadeLevelOf(wnd)) return LR_Cascade;
    return LR_None;
}

// The full path of the row of wnd, or false.
static bool FullPathOfRow(HWND wnd, int row, char* buf, size_t size) {
    char text[LIST_ITEM_PATH_SIZE];
    if (!ItemPathAt(wnd, row, text, sizeof text)) return false;
    CascadeLevel* level = CascadeLevelOf(wnd);
    if (level) return JoinFolderName(level->folder, text, buf, size) != 0;
    ListKind kind = wnd == Lists.folderList ? LK_Folder : Lists.kind;
    return FullPathOf(text, kind, buf, size);
}

char* SelectedListPaths(HWND wnd, int mode, int* count) {
    if (count) *count = 0;
    if (RoleOfListWindow(wnd) == LR_None) return nullptr;
    UINT flags = mode == LS_FOCUSED ? LVNI_FOCUSED : LVNI_SELECTED;
    int selected = mode == LS_FOCUSED ? 1 : (int)SendMessageA(wnd, LVM_GETSELECTEDCOUNT, 0, 0);
    if (selected <= 0) return nullptr;
    size_t room = (size_t)selected * MAX_PATH + 1;
    char* block = (char*)MemAlloc(room);
    if (!block) return nullptr;
    size_t used = 0;
    int n = 0;
    for (int row = (int)SendMessageA(wnd, LVM_GETNEXTITEM, (WPARAM)-1, flags); row >= 0;
         row = (int)SendMessageA(wnd, LVM_GETNEXTITEM, (WPARAM)row, flags)) {
        char path[MAX_PATH];
        if (FullPathOfRow(wnd, row, path, sizeof path)) {
            size_t len = strlen(path);
            if (used + len + 2 > room) break;
            memcpy(block + used, path, len + 1);
            used += len + 1;
            n++;
        }
        if (mode == LS_FOCUSED) break;
    }
    if (n == 0) {
        MemFree(block);
        return nullptr;
    }
    block[used] = '\0';
    if (count) *count = n;
    return block;
}

bool FolderOfListWindow(HWND wnd, char* buf, size_t size) {
    if (!buf || !size) return false;
    buf[0] = '\0';
    switch (RoleOfListWindow(wnd)) {
        case LR_Cascade: {
            CascadeLevel* level = CascadeLevelOf(wnd);
            return CopyString(buf, level->folder, size) == strlen(level->folder);
        }
        case LR_Folder: {
            if (AnyFlag(SF_FOLDER_FRESH)) return true;  // the drive list
            char text[EDIT_TEXT_MAX];
            ReadEditText(text, sizeof text);
            char folder[EDIT_TEXT_MAX * 2];
            RootAtStartDir(text, folder, sizeof folder);
            if (!CutAfterLastSeparator(folder)) folder[0] = '\0';
            RemoveTrailingSeparator(folder);
            return CopyString(buf, folder, size) == strlen(folder);
        }
        default:
            return false;
    }
}
