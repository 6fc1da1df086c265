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
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "folderlist.h"
#include "history.h"
#include "../../common/itemarray.h"
#include "listwnd.h"

CascadeState Cascades;

namespace {

const size_t kPathSize = MAX_PATH * 2;
const int kTextMargin = 22;
const int kIconWidth = 16;

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
    ItemArray items = level->items;
    memset(level, 0, sizeof *level);
    Cascades.count--;
    if (wnd && IsWindow(wnd)) DestroyWindow(wnd);
    if (images) ImageList_Destroy(images);
    FreeItems(&items);
}

HWND CreateLevelWindow(void) {
    if (!Cascades.font) Cascades.font = CreateListFont();
    WNDPROC previous = nullptr;
    HWND wnd = CreateListView(EditBox.wnd, Cascades.font, false, CascadeListProc, &previous);
    if (!wnd) return nullptr;
    // Every level passes its messages on through one remembered procedure.
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

    int chars = longest;
    if (Settings.listwmax >= 1 && chars > (int)Settings.listwmax) chars = (int)Settings.listwmax;
    int textWidth = chars * LIST_CHAR_WIDTH + kTextMargin;
    int frame = 2 * GetSystemMetrics(SM_CXEDGE);

    int rowHeight = ListRowHeight(wnd);
    int linemax = Settings.linemax > 0 ? Settings.linemax : 1;
    int rows = level->count > 0 ? level->count : 1;
    int needed = rowHeight * rows;
    int maximum = rowHeight * linemax + frame;
    int height = needed <= maximum ? needed + frame : maximum;
    int scroll = rows > linemax ? GetSystemMetrics(SM_CXVSCROLL) : 0;
    if (textWidth > desktop.right) textWidth = desktop.right - frame - scroll;
    int icon = Settings.icon == 1 ? kIconWidth : 0;

    SetWindowPos(wnd, nullptr, opener.right, opener.top, textWidth + frame + scroll + icon,
                 height, SWP_NOACTIVATE | SWP_NOZORDER);
    SendMessageA(wnd, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(textWidth + icon, 0));
}

// Reads folder (no trailing separator) and opens a level for it from opener.
void OpenLevel(const char* folder, HWND opener) {
    if (!folder[0] || !GrowLevels()) return;
    char pattern[kPathSize];
    CopyString(pattern, folder, sizeof pattern);
    AddTrailingSeparator(pattern, sizeof pattern);
    ItemArray items = {nullptr, 0, 0};
    if (!ReadFolderEntries(pattern, &items)) return;

    HWND wnd = CreateLevelWindow();
    if (!wnd) {
        FreeItems(&items);
        FreeLevelsIfEmpty();
        return;
    }
    CascadeLevel* level = &Cascades.levels[Cascades.count];
    memset(level, 0, sizeof *level);
    level->wnd = wnd;
    level->opener = opener;
    level->items = items;
    level->count = items.count;
    CopyString(level->folder, folder, sizeof level->folder);
    if (Settings.icon == 1) {
        level->images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 0, 16);
        if (level->images)
            SendMessageA(wnd, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)level->images);
    }

    SendMessageA(wnd, WM_SETREDRAW, FALSE, 0);
    int longest = 0;
    for (int32_t i = 0; i < items.count; i++) {
        int len = (int)strlen(level->items.items[i].path);
        if (len > longest) longest = len;
    }
    Cascades.count++;
    SendMessageA(wnd, LVM_SETITEMCOUNT, (WPARAM)level->count, LVSICF_NOINVALIDATEALL);

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

// Name at row of a level, or false.
bool LevelRowName(const CascadeLevel* level, int row, char* buf, size_t size) {
    int pos = ItemPositionOfRow(&level->items, row);
    buf[0] = '\0';
    if (pos < 0) return false;
    CopyString(buf, level->items.items[pos].path, size);
    return true;
}

int FirstSelectedRow(HWND wnd) {
    return (int)SendMessageA(wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

}  // namespace

CascadeLevel* CascadeLevelOf(HWND wnd) {
    int i = LevelIndexOf(wnd);
    return i < 0 ? nullptr : &Cascades.levels[i];
}

HWND LastCascadeWindow(void) {
    return Cascades.count > 0 ? Cascades.levels[Cascades.count - 1].wnd : nullptr;
}

LRESULT ForwardToCascade(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!Cascades.oldProc) return DefWindowProcA(wnd, msg, wParam, lParam);
    return CallWindowProcA(Cascades.oldProc, wnd, msg, wParam, lParam);
}

void OpenCascade(HWND listWnd) {
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    ListKind kind = listWnd == Lists.folderList ? LK_Folder : Lists.kind;
    char path[kPathSize];
    if (!SelectedFullPath(listWnd, kind, path, sizeof path)) return;
    RemoveTrailingSeparator(path);
    OpenLevel(path, listWnd);
}

void OpenNextCascade(HWND cascadeWnd) {
    int i = LevelIndexOf(cascadeWnd);
    if (i < 0) return;
    CloseCascades(cascadeWnd, CASCADE_CLOSE_AFTER);
    CascadeLevel* level = &Cascades.levels[i];
    char name[LIST_ITEM_PATH_SIZE];
    if (!LevelRowName(level, FirstSelectedRow(cascadeWnd), name, sizeof name)) return;
    char path[kPathSize];
    if (JoinFolderName(level->folder, name, path, sizeof path)) OpenLevel(path, cascadeWnd);
}

void CloseCascades(HWND wnd, int mode) {
    if (Cascades.count <= 0) return;
    // A hidden set of levels (the list toggle) stays as it is.
    if (!IsWindowVisible(Cascades.levels[0].wnd)) return;
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
    char taken[kPathSize] = "";
    if (selected == 1 && !openAll) {
        char name[LIST_ITEM_PATH_SIZE];
        if (LevelRowName(level, FirstSelectedRow(cascadeWnd), name, sizeof name))
            JoinFolderName(level->folder, name, taken, sizeof taken);
    } else if (selected > 0) {
        int row = -1;
        while ((row = (int)SendMessageA(cascadeWnd, LVM_GETNEXTITEM, (WPARAM)row,
                                        LVNI_SELECTED)) >= 0) {
            char name[LIST_ITEM_PATH_SIZE];
            if (!LevelRowName(level, row, name, sizeof name)) continue;
            char path[kPathSize];
            if (!JoinFolderName(level->folder, name, path, sizeof path)) continue;
            if (Execute(path, nullptr)) AddToHistory(path, 0);
        }
    }
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    HideFolderList();
    HideItemList();
    if (EditBox.wnd) {
        SetFocus(EditBox.wnd);
        if (taken[0] && strlen(taken) < EDIT_TEXT_MAX) {
            SetFlags(SF_TEXT_BY_PROGRAM);
            SetEditText(taken);
            RefreshPathIcon();
        }
    }
}

void ShowCascadeWindows(bool show) {
    for (int i = 0; i < Cascades.count; i++) {
        HWND wnd = Cascades.levels[i].wnd;
        if (wnd && IsWindow(wnd)) ShowWindow(wnd, show ? SW_SHOWNA : SW_HIDE);
    }
}
