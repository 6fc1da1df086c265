// listwnd.cpp - the item list and the folder list windows: creation and
// teardown, filling, hiding, which list is on show, item paths, and the list
// commands of the key bindings. Placement is in listplace.cpp, row display in
// listdraw.cpp.
#include "listwnd.h"

#include <commctrl.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../editbox/editbox.h"
#include "../editbox/savedtext.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "cascade.h"
#include "../../common/itemarray.h"
#include "listinput.h"
#include "search.h"

ListState Lists;

enum { CLOSE_WAIT_MS = 200 };

HFONT CreateListFont(void) {
    return CreateFontA(-12, LIST_CHAR_WIDTH, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, "ＭＳ ゴシック");
}

HWND CreateListView(HWND parent, HFONT font, bool singleSelect, WNDPROC proc, WNDPROC* oldProc) {
    // The image list is shared by both windows and owned here, so neither
    // control may destroy it with itself.
    DWORD style = WS_POPUP | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_SHOWSELALWAYS |
                  LVS_OWNERDATA | LVS_NOCOLUMNHEADER | LVS_SHAREIMAGELISTS;
    if (singleSelect) style |= LVS_SINGLESEL;
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_CONTROLPARENT, WC_LISTVIEWA, "", style, 0,
                               0, 100, 100, parent, nullptr, Shell.instance, nullptr);
    if (!wnd) return nullptr;
    SendMessageA(wnd, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT, LVS_EX_FULLROWSELECT);
    ListInsertColumn(wnd, 0, "", 0, LVCFMT_LEFT);
    if (font) SendMessageA(wnd, WM_SETFONT, (WPARAM)font, FALSE);
    if (Settings.alpha != 100) {
        SetLayered(wnd, true);
        SetTransparency(wnd, false);
    }
    if (proc) {
        WNDPROC old = (WNDPROC)SetWindowLongPtrA(wnd, GWLP_WNDPROC, (LONG_PTR)proc);
        if (oldProc) *oldProc = old;
    }
    return wnd;
}

int ListRowHeight(HWND list) {
    RECT rc;
    rc.left = LVIR_LABEL;
    if (list && SendMessageA(list, LVM_GETITEMRECT, 0, (LPARAM)&rc) && rc.bottom > rc.top)
        return rc.bottom - rc.top;
    return 15;
}

ItemArray* ArrayOfListWindow(HWND wnd) {
    if (!wnd) return nullptr;
    if (wnd == Lists.itemList || wnd == Lists.folderList) return &Lists.array;
    CascadeLevel* level = CascadeLevelOf(wnd);
    return level ? &level->items : nullptr;
}

int ItemPositionOfRow(const ItemArray* array, int row) {
    if (!array || !array->items || row < 0) return -1;
    // A row is never greater than the item's array position.
    for (int i = row; i < array->count; i++)
        if (array->items[i].viewIndex == row) return i;
    return -1;
}

// --- creation and teardown ----------------------------------------------------

static void CreateSharedImageList(void) {
    if (Lists.images) ImageList_Destroy(Lists.images);
    Lists.images = nullptr;
    if (Settings.icon != 1) return;
    Lists.images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 16, 16);
    if (!Lists.images) return;
    SendMessageA(Lists.itemList, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)Lists.images);
    SendMessageA(Lists.folderList, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)Lists.images);
}

bool CreateListWindows(HWND mainWnd, HWND editBox) {
    Lists.itemFont = CreateListFont();
    Lists.itemList =
        CreateListView(editBox, Lists.itemFont, true, ItemListProc, &Lists.itemOldProc);
    if (!Lists.itemList) {
        ErrorBox(mainWnd, "fatar errer no1");
        return false;
    }
    Lists.folderFont = CreateListFont();
    Lists.folderList =
        CreateListView(editBox, Lists.folderFont, false, FolderListProc, &Lists.folderOldProc);
    if (!Lists.folderList) {
        ErrorBox(mainWnd, "fatar errer no2");
        return false;
    }
    CreateSharedImageList();
    return true;
}

// Closes one list window: its own procedure back, a close request, and a
// bounded wait until it is gone (a second request when it is not).
static void CloseListWindow(HWND* wnd, WNDPROC* oldProc, HFONT* font) {
    if (*wnd && IsWindow(*wnd)) {
        if (*oldProc) SetWindowLongPtrA(*wnd, GWLP_WNDPROC, (LONG_PTR)*oldProc);
        for (int attempt = 0; attempt < 2 && IsWindow(*wnd); attempt++) {
            SendMessageA(*wnd, WM_CLOSE, 0, 0);
            DWORD start = GetTickCount();
            while (IsWindow(*wnd) && GetTickCount() - start < CLOSE_WAIT_MS) Sleep(1);
        }
    }
    *wnd = nullptr;
    *oldProc = nullptr;
    if (*font) DeleteObject(*font);
    *font = nullptr;
}

void DestroyListWindows(void) {
    ResetListTypeAhead();
    HideItemList();
    CloseListWindow(&Lists.itemList, &Lists.itemOldProc, &Lists.itemFont);
    HideFolderList();
    CloseListWindow(&Lists.folderList, &Lists.folderOldProc, &Lists.folderFont);
    if (Lists.images) ImageList_Destroy(Lists.images);
    Lists.images = nullptr;
    // Whatever a hidden list still held goes with the windows.
    FreeItems(&Lists.array);
    Lists.kind = LK_None;
    Lists.longest = 0;
    Lists.placedAbove = false;
}

// --- filling and hiding -------------------------------------------------------

void FillItemList(void) {
    HWND list = Lists.itemList;
    int longest = Lists.longest;
    for (int i = 0; i < Lists.array.count; i++) {
        Lists.array.items[i].viewIndex = i;
        int len = (int)strnlen(Lists.array.items[i].path, LIST_ITEM_PATH_SIZE);
        if (len > longest) longest = len;
    }
    Lists.longest = longest;
    if (!list) return;
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(list, LVM_SETITEMCOUNT, (WPARAM)Lists.array.count,
                 LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    SendMessageA(list, LVM_ENSUREVISIBLE, 0, FALSE);
}

void SetItemListMultiSelect(bool on) {
    if (!Lists.itemList) return;
    LONG_PTR style = GetWindowLongPtrA(Lists.itemList, GWL_STYLE);
    if (on)
        style &= ~(LONG_PTR)LVS_SINGLESEL;
    else
        style |= LVS_SINGLESEL;
    SetWindowLongPtrA(Lists.itemList, GWL_STYLE, style);
}

static void ClearImages(void) {
    if (Settings.icon == 1 && Lists.images) ImageList_RemoveAll(Lists.images);
}

void HideItemList(void) {
    HWND list = Lists.itemList;
    if (!list || !IsWindowVisible(list)) return;
    ShowWindow(list, SW_HIDE);
    SetItemListMultiSelect(false);
    FreeItems(&Lists.array);
    Lists.longest = 0;
    Lists.placedAbove = false;
    Lists.kind = LK_None;
    ClearImages();
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}

void HideFolderList(void) {
    HWND list = Lists.folderList;
    if (!list || !IsWindowVisible(list)) return;
    ShowWindow(list, SW_HIDE);
    Lists.folderAnchor = 0;
    Lists.folderPartLength = 0;
    Lists.folderRows = 0;
    Lists.placedAbove = false;
    Lists.kind = LK_None;
    ClearImages();
    FreeItems(&Lists.array);
    ClearFlags(SF_FOLDER_FRESH | SF_COMPLETED | SF_USER_DELETED);
    SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
}

void HideAllLists(void) {
    CloseCascades(nullptr, 2);
    HideItemList();
    HideFolderList();
}

// --- which list -----------------------------------------------------------------

static bool Visible(HWND wnd) { return wnd && IsWindowVisible(wnd); }

HWND VisibleListWindow(void) {
    if (Lists.array.items) {
        if (Visible(Lists.itemList)) return Lists.itemList;
        if (Visible(Lists.folderList)) return Lists.folderList;
        return nullptr;
    }
    if (AnyFlag(SF_FOLDER_FRESH) && Visible(Lists.folderList)) return Lists.folderList;
    return nullptr;
}

HWND ActiveListWindow(void) {
    HWND last = LastCascadeWindow();
    return last ? last : VisibleListWindow();
}

bool IsListWindow(HWND wnd) {
    if (!wnd) return false;
    return wnd == Lists.itemList || wnd == Lists.folderList || CascadeLevelOf(wnd) != nullptr;
}

// --- paths of items ---------------------------------------------------------------

bool ItemPathAt(HWND wnd, int viewIndex, char* buf, size_t size) {
    if (!buf || !size) return false;
    buf[0] = '\0';
    const ItemArray* array = ArrayOfListWindow(wnd);
    int pos = ItemPositionOfRow(array, viewIndex);
    if (pos < 0) return false;
    const char* path = array->items[pos].path;
    // A text that does not fit is not handed out cut.
    if (strnlen(path, LIST_ITEM_PATH_SIZE) >= size) return false;
    CopyString(buf, path, size);
    return true;
}

bool FullPathOf(const char* itemText, ListKind kind, char* buf, size_t size) {
    if (!buf || !size) return false;
    buf[0] = '\0';
    if (!itemText) return false;
    switch (kind) {
        case LK_Default:
        case LK_Favorites:
        case LK_History:
        case LK_Explorer:
        case LK_SearchRecall:
            return CopyString(buf, itemText, size) == strlen(itemText);
        case LK_Folder: {
            // While the drive list is shown the items are drive roots.
            if (AnyFlag(SF_FOLDER_FRESH)) return CopyString(buf, itemText, size) == strlen(itemText);
            char text[EDIT_TEXT_MAX];
            ReadEditText(text, sizeof text);
            char folder[EDIT_TEXT_MAX * 2];
            RootAtStartDir(text, folder, sizeof folder);
            // No separator typed: the names are those of no folder part at all.
            if (!CutAfterLastSeparator(folder)) folder[0] = '\0';
            ConcatTo(folder, itemText, buf, size);
            return strlen(buf) == strlen(folder) + strlen(itemText);
        }
        case LK_Search:
            return SearchResultFullPath(itemText, buf, size);
        default:
            // The built-in commands and no list have no path.
            return false;
    }
}

bool SelectedFullPath(HWND wnd, ListKind kind, char* buf, size_t size) {
    if (!buf || !size) return false;
    buf[0] = '\0';
    if (!wnd) return false;
    int row = (int)SendMessageA(wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
    if (row < 0) return false;
    char text[LIST_ITEM_PATH_SIZE];
    if (!ItemPathAt(wnd, row, text, sizeof text)) return false;
    CascadeLevel* level = CascadeLevelOf(wnd);
    if (level) return JoinFolderName(level->folder, text, buf, size) != 0;
    return FullPathOf(text, kind, buf, size);
}

// --- commands of the key bindings ------------------------------------------------

bool SwitchOffItemList(ListKind kind, ListKind alsoKind, HWND editBox) {
    if (Lists.kind != kind && Lists.kind != alsoKind) HideItemList();
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    if (!Lists.itemList || !IsWindowVisible(Lists.itemList)) return false;
    HideItemList();
    HWND box = editBox ? editBox : EditBox.wnd;
    if (box && GetFocus() != box) SetFocus(box);
    // Without saved text the box is emptied, so what was typed to narrow the
    // list does not linger.
    if (!RestoreSavedText()) ClearEditBox();
    return true;
}

void ToggleLists(void) {
    if (Lists.kind == LK_None) return;
    HWND wnd = Lists.kind == LK_Folder ? Lists.folderList : Lists.itemList;
    if (!wnd) return;
    if (IsWindowVisible(wnd)) {
        ShowWindow(wnd, SW_HIDE);
        ShowCascadeWindows(false);
        if (EditBox.wnd && IsWindowVisible(EditBox.wnd)) SetFocus(EditBox.wnd);
    } else {
        ShowCascadeWindows(true);
        ShowWindow(wnd, SW_SHOWNA);
    }
}

void ScrollActiveList(int direction) {
    HWND wnd = VisibleListWindow();
    if (!wnd) return;
    int dy = ListRowHeight(wnd) * (direction < 0 ? -1 : 1);
    SendMessageA(wnd, LVM_SCROLL, 0, dy);
}

const ListLook* LookOfKind(ListKind kind) {
    switch (kind) {
        case LK_Default:
            return &Settings.def;
        case LK_Favorites:
            return &Settings.fav;
        case LK_History:
            return &Settings.his;
        case LK_Explorer:
            return &Settings.exp;
        case LK_Folder:
            return &Settings.path;
        case LK_Search:
        case LK_SearchRecall:
            return &Settings.search;
        default:
            return nullptr;
    }
}
