// listselect.cpp - the selection of a list window as full paths.
#include "listselect.h"

#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../editbox/editbox.h"
#include "../shell/appstate.h"
#include "cascade.h"
#include "folderlist.h"
#include "listwnd.h"

ListRole RoleOfListWindow(HWND wnd) {
    if (!wnd) return LR_None;
    if (wnd == Lists.item.wnd) return LR_Item;
    if (wnd == Lists.folder.wnd) return LR_Folder;
    if (CascadeLevelOf(wnd)) return LR_Cascade;
    return LR_None;
}

char* SelectedListPaths(HWND wnd, int mode, int* count) {
    if (count) *count = 0;
    if (mode != LS_FOCUSED) return CollectSelectedPaths(wnd, count);
    ListWindow* lw = ListWindowOf(wnd);
    if (!lw) return nullptr;
    int row = (int)SendMessageA(wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    char path[MAX_PATH];
    if (!FullPathOfRow(lw, row, path, sizeof path)) return nullptr;
    size_t len = strlen(path);
    char* block = (char*)MemAlloc(len + 2);
    if (!block) return nullptr;
    memcpy(block, path, len + 1);
    block[len + 1] = '\0';
    if (count) *count = 1;
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
            char folder[PATH_WORK_SIZE];
            RootAtStartDir(text, folder, sizeof folder);
            if (!CutAfterLastSeparator(folder)) folder[0] = '\0';
            RemoveTrailingSeparator(folder);
            return CopyString(buf, folder, size) == strlen(folder);
        }
        default:
            return false;
    }
}

bool FirstSelectedListPath(HWND wnd, char* buf, size_t size) {
    if (!buf || !size) return false;
    buf[0] = '\0';
    ListWindow* lw = ListWindowOf(wnd);
    if (!lw) return false;
    int row = FirstSelectedRow(wnd);
    if (row < 0) return false;
    return FullPathOfRow(lw, row, buf, size);
}

HWND ListWindowForFocus(void) { return ActiveListWindow(); }

bool ItemListOnShow(void) { return Lists.item.wnd && IsWindowVisible(Lists.item.wnd); }

HWND ItemListWindow(void) { return Lists.item.wnd; }

ListKind ItemListKindOnShow(void) { return ItemListOnShow() ? Lists.item.kind : LK_None; }

bool FolderListOnShow(void) { return Lists.folder.wnd && IsWindowVisible(Lists.folder.wnd); }

void ForEachListWindow(void (*fn)(HWND wnd, void* ctx), void* ctx) {
    if (!fn) return;
    if (Lists.item.wnd) fn(Lists.item.wnd, ctx);
    if (Lists.folder.wnd) fn(Lists.folder.wnd, ctx);
    for (int i = 0; i < Cascades.count; i++)
        if (Cascades.levels[i].wnd) fn(Cascades.levels[i].wnd, ctx);
}

bool ListWindowsDisabled(void) { return Lists.folder.wnd && !IsWindowEnabled(Lists.folder.wnd); }

bool CascadeLevelsOpen(void) { return Cascades.count > 0; }

void HideListWindows(void) { HideAllLists(); }

int ListRowAtScreenPoint(HWND wnd, POINT screen) {
    if (!ListWindowOf(wnd)) return -1;
    LVHITTESTINFO hit;
    ZeroMemory(&hit, sizeof hit);
    hit.pt = screen;
    if (!ScreenToClient(wnd, &hit.pt)) return -1;
    int row = (int)SendMessageA(wnd, LVM_HITTEST, 0, (LPARAM)&hit);
    if (row < 0 || !(hit.flags & LVHT_ONITEM)) return -1;
    return row;
}

bool ListRowFullPath(HWND wnd, int row, char* buf, size_t size) {
    ListWindow* lw = ListWindowOf(wnd);
    if (!lw || row < 0 || !buf || !size) return false;
    char path[PATH_WORK_SIZE];
    if (!FullPathOfRow(lw, row, path, sizeof path)) return false;
    return CopyString(buf, path, size) == strlen(path);
}

void RefreshFolderList(void) {
    if (!FolderListOnShow() || !EditBox.wnd) return;
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    HideFolderList();
    ShowFolderContents(EditBox.wnd, nullptr, nullptr);
}
