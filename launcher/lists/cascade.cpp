// cascade.cpp - the cascade lists: reading a level, its window to the right of
// the window it was opened from, taking its items, and closing levels.
#include "cascade.h"

#include <stdio.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../editbox/editbox.h"
#include "../editbox/execute.h"
#include "../dragdrop/dragdrop.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "folderlist.h"
#include "history.h"
#include "../../common/itemarray.h"
#include "listwnd.h"

CascadeState Cascades;

namespace {

int LevelIndexOf(HWND wnd) {
    if (!wnd) return -1;
    for (int i = 0; i < Cascades.count; i++)
        if (Cascades.levels[i].wnd == wnd) return i;
    return -1;
}

// Room for one more level; false when memory runs out.
bool GrowLevels(void) {
    if (Cascades.count < Cascades.capacity) return true;
    int capacity = Cascades.capacity + CASCADE_LEVEL_STEP;
    size_t size = sizeof(CascadeLevel) * (size_t)capacity;
    CascadeLevel* grown = (CascadeLevel*)(Cascades.levels ? MemRealloc(Cascades.levels, size)
                                                          : MemAlloc(size));
    if (!grown) return false;
    memset(grown + Cascades.capacity, 0, sizeof(CascadeLevel) * CASCADE_LEVEL_STEP);
    Cascades.levels = grown;
    Cascades.capacity = capacity;
    return true;
}

void FreeLevelsIfEmpty(void) {
    if (Cascades.count > 0) return;
    if (Cascades.levels) MemFree(Cascades.levels);
    Cascades.levels = nullptr;
    Cascades.capacity = 0;
    if (Cascades.font) DeleteObject(Cascades.font);
    Cascades.font = nullptr;
}

// Closes the last level: the window that opened it gets the focus (when
// focusOpener), the window goes, then its items and icons.
void CloseLastLevel(bool focusOpener) {
    if (Cascades.count <= 0) return;
    CascadeLevel* level = &Cascades.levels[Cascades.count - 1];
    if (focusOpener && level->opener && IsWindow(level->opener)) SetFocus(level->opener);
    HWND wnd = level->wnd;
    HIMAGELIST images = level->images;
    ItemArray items = level->array;
    *level = ListWindow{};
    Cascades.count--;
    RevokeDropWindow(wnd);
    if (wnd && IsWindow(wnd)) DestroyWindow(wnd);
    if (images) ImageList_Destroy(images);
    FreeItems(&items);
}

HWND CreateLevelWindow(void) {
    if (!Cascades.font) Cascades.font = CreateListFont();
    HWND wnd = CreateListView(EditBox.wnd, Cascades.font, false, CascadeListProc);
    if (!wnd) return nullptr;
    // Every level should have the list-view procedure the first one had; a
    // different one is reported, and the level still opens.
    WNDPROC previous = SavedWindowProc(wnd);
    if (Cascades.oldProc && previous != Cascades.oldProc) ErrorBox(EditBox.wnd, "error no 10");
    Cascades.oldProc = previous;
    return wnd;
}

// Size and place of a level window to the right of its opener.
void PlaceLevel(CascadeLevel* level, int longest) {
    HWND wnd = level->wnd;
    RECT opener = {0, 0, 0, 0};
    if (level->opener) GetWindowRect(level->opener, &opener);
    RECT desktop;
    GetWindowRect(GetDesktopWindow(), &desktop);

    int chars = ListChars(longest, (int)Settings.listwmax);
    int textWidth = chars * LIST_CHAR_WIDTH + LIST_TEXT_MARGIN;
    int frame = 2 * GetSystemMetrics(SM_CXEDGE);
    bool scrolled = false;
    int height = ListHeight(level->array.count, ListRowHeight(wnd), frame, Settings.linemax,
                            &scrolled);
    int linemax = Settings.linemax > 0 ? Settings.linemax : 1;
    int scroll = level->array.count > linemax ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    if (textWidth > desktop.right) textWidth = desktop.right - frame - scroll;
    int icon = Settings.icon == 1 ? LIST_ICON_WIDTH : 0;

    SetWindowPos(wnd, nullptr, opener.right, opener.top, textWidth + frame + scroll + icon,
                 height, SWP_NOACTIVATE | SWP_NOZORDER);
    SetListColumnWidth(wnd, textWidth + icon);
}

// Reads folder (no trailing separator) and opens a level for it from opener.
void OpenLevel(const char* folder, HWND opener) {
    if (!folder[0] || !GrowLevels()) return;
    char pattern[PATH_WORK_SIZE];
    CopyString(pattern, folder, sizeof pattern);
    AddTrailingSeparator(pattern, sizeof pattern);
    ItemArray items = {};
    if (!ReadFolderEntries(pattern, &items)) return;

    HWND wnd = CreateLevelWindow();
    if (!wnd) {
        FreeItems(&items);
        FreeLevelsIfEmpty();
        return;
    }
    ListWindow* from = ListWindowOf(opener);
    CascadeLevel* level = &Cascades.levels[Cascades.count];
    *level = ListWindow{};
    level->wnd = wnd;
    level->opener = opener;
    level->array = items;
    // Rows are coloured as the list the first level came from.
    level->kind = from ? from->kind : LK_Folder;
    CopyString(level->folder, folder, sizeof level->folder);
    if (Settings.icon == 1) {
        level->images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 16);
        if (level->images)
            SendMessageA(wnd, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)level->images);
    }

    SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
    int longest = 0;
    for (int32_t i = 0; i < items.count; i++) {
        int len = (int)strlen(level->array.items[i].path);
        if (len > longest) longest = len;
    }
    Cascades.count++;
    SetListRows(level);

    PlaceLevel(level, longest);
    LVITEMA state;
    memset(&state, 0, sizeof state);
    state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    state.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(wnd, LVM_SETITEMSTATE, 0, (LPARAM)&state);
    SendMessageA(wnd, LVM_ENSUREVISIBLE, 0, FALSE);
    ShowWindow(wnd, SW_SHOWNORMAL);
    SendMessageA(wnd, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(wnd, nullptr, TRUE);
    SetFocus(wnd);
}

}  // namespace

CascadeLevel* CascadeLevelOf(HWND wnd) {
    int i = LevelIndexOf(wnd);
    return i < 0 ? nullptr : &Cascades.levels[i];
}

HWND LastCascadeWindow(void) {
    return Cascades.count > 0 ? Cascades.levels[Cascades.count - 1].wnd : nullptr;
}

void OpenCascade(HWND listWnd) {
    // Every level goes, also levels the list toggle hid: a new first level
    // never lines up behind levels that can no longer be closed.
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    DestroyCascades();
    char path[PATH_WORK_SIZE];
    if (!FullPathOfRow(ListWindowOf(listWnd), FirstSelectedRow(listWnd), path, sizeof path))
        return;
    RemoveTrailingSeparator(path);
    OpenLevel(path, listWnd);
}

void OpenNextCascade(HWND cascadeWnd) {
    int i = LevelIndexOf(cascadeWnd);
    if (i < 0) return;
    CloseCascades(cascadeWnd, CASCADE_CLOSE_AFTER);
    char path[PATH_WORK_SIZE];
    if (FullPathOfRow(&Cascades.levels[i], FirstSelectedRow(cascadeWnd), path, sizeof path))
        OpenLevel(path, cascadeWnd);
}

void CloseCascades(HWND wnd, int mode) {
    if (Cascades.count <= 0) return;
    // A hidden set of levels (the list toggle) stays as it is; a key in a
    // level on show always acts on it.
    HWND probe = wnd ? wnd : Cascades.levels[0].wnd;
    if (!IsWindowVisible(probe)) return;
    switch (mode) {
        case CASCADE_CLOSE_LAST:
            CloseLastLevel(true);
            break;
        case CASCADE_CLOSE_AFTER: {
            int i = LevelIndexOf(wnd);
            if (i < 0) return;
            while (Cascades.count > i + 1) CloseLastLevel(false);
            SetFocus(wnd);
            break;
        }
        default: {
            // The focus leaves the levels for the window that opened the first
            // one; when it is elsewhere (the edit box took it) it stays there.
            if (LevelIndexOf(GetFocus()) >= 0) {
                HWND first = Cascades.levels[0].opener;
                if (first && IsWindow(first) && IsWindowVisible(first))
                    SetFocus(first);
                else if (EditBox.wnd)
                    SetFocus(EditBox.wnd);
            }
            while (Cascades.count > 0) CloseLastLevel(false);
            break;
        }
    }
    FreeLevelsIfEmpty();
}

void DestroyCascades(void) {
    while (Cascades.count > 0) CloseLastLevel(false);
    FreeLevelsIfEmpty();
}

void TakeCascadeItem(HWND cascadeWnd, bool openAll) {
    CascadeLevel* level = CascadeLevelOf(cascadeWnd);
    if (!level) return;
    int selected = ListCountSelected(cascadeWnd);
    char taken[PATH_WORK_SIZE] = "";
    char* paths = nullptr;
    if (selected == 1 && !openAll)
        FullPathOfRow(level, FirstSelectedRow(cascadeWnd), taken, sizeof taken);
    else if (selected > 0)
        // Collected before anything runs: starting a program can pump
        // messages, and the levels may be closed meanwhile.
        paths = CollectSelectedPaths(cascadeWnd, nullptr);
    level = nullptr;
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    HideFolderList();
    HideItemList();
    if (paths) {
        RunPaths(paths);
        MemFree(paths);
    }
    if (!EditBox.wnd) return;
    SetFocus(EditBox.wnd);
    if (!taken[0]) return;
    if (strlen(taken) >= EDIT_TEXT_MAX) {
        // A path the box cannot hold is refused, never cut.
        MessageBeep(MB_OK);
        return;
    }
    TakePathIntoBox(taken, false);
}

void ShowCascadeWindows(bool show) {
    for (int i = 0; i < Cascades.count; i++) {
        HWND wnd = Cascades.levels[i].wnd;
        if (wnd && IsWindow(wnd)) ShowWindow(wnd, show ? SW_SHOWNA : SW_HIDE);
    }
}
