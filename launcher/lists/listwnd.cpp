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
#include "../editbox/execute.h"
#include "../dragdrop/dragdrop.h"
#include "cascade.h"
#include "history.h"
#include "../../common/itemarray.h"
#include "itemkinds.h"
#include "listinput.h"
#include "listselect.h"
#include "search.h"
#include "../migemo/migemo.h"

ListState Lists;

enum { CLOSE_WAIT_MS = 200 };

HFONT CreateListFont(void) {
    return CreateFontA(-12, LIST_CHAR_WIDTH, 0, 0, FW_NORMAL, FALSE, FALSE, FALSE,
                       SHIFTJIS_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, PROOF_QUALITY,
                       DEFAULT_PITCH | FF_DONTCARE, "ＭＳ ゴシック");
}

HWND CreateListView(HWND parent, HFONT font, bool singleSelect, WNDPROC proc) {
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
    if (proc) ReplaceWindowProc(wnd, proc);
    RegisterDropWindow(wnd);
    // Hidden, it belongs to no window until it is shown (OwnListWhileShown).
    SetWindowLongPtrA(wnd, GWLP_HWNDPARENT, 0);
    return wnd;
}

void OwnListWhileShown(HWND list, bool shown) {
    HWND owner = shown ? EditBox.wnd : nullptr;
    if (GetWindow(list, GW_OWNER) != owner) SetWindowLongPtrA(list, GWLP_HWNDPARENT, (LONG_PTR)owner);
}

int ListRowHeight(HWND list) {
    RECT rc;
    rc.left = LVIR_LABEL;
    if (list && SendMessageA(list, LVM_GETITEMRECT, 0, (LPARAM)&rc) && rc.bottom > rc.top)
        return rc.bottom - rc.top;
    return 15;
}

ListWindow* ListWindowOf(HWND wnd) {
    if (!wnd) return nullptr;
    if (wnd == Lists.item.wnd) return &Lists.item;
    if (wnd == Lists.folder.wnd) return &Lists.folder;
    return CascadeLevelOf(wnd);
}

ItemArray* ArrayOfListWindow(HWND wnd) {
    ListWindow* lw = ListWindowOf(wnd);
    return lw ? &lw->array : nullptr;
}

ListKind ShownListKind(void) {
    if (Lists.item.array.items && Lists.item.kind != LK_None) return Lists.item.kind;
    if (Lists.folder.array.items && Lists.folder.kind == LK_Folder) return LK_Folder;
    return LK_None;
}

static void SetRowState(HWND wnd, int row, UINT mask) {
    LVITEMA none = {};
    none.stateMask = mask;
    SendMessageA(wnd, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)&none);
}

void ReplaceListRows(HWND wnd, int rows) {
    // Few rows are selected as a rule: those are let go one by one, since the
    // control's "every row" form visits all of them.
    enum { FEW_SELECTED = 64 };
    if (SendMessageA(wnd, LVM_GETSELECTEDCOUNT, 0, 0) > FEW_SELECTED) {
        SetRowState(wnd, -1, LVIS_SELECTED);
    } else {
        for (int row = FirstSelectedRow(wnd); row >= 0; row = FirstSelectedRow(wnd))
            SetRowState(wnd, row, LVIS_SELECTED | LVIS_FOCUSED);
    }
    int focused = (int)SendMessageA(wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    if (focused >= 0) SetRowState(wnd, focused, LVIS_FOCUSED);
    SendMessageA(wnd, LVM_SETSELECTIONMARK, 0, -1);
    SendMessageA(wnd, LVM_SETITEMCOUNT, (WPARAM)rows, LVSICF_NOSCROLL);
    if (rows > 0 && SendMessageA(wnd, LVM_GETTOPINDEX, 0, 0) != 0)
        SendMessageA(wnd, LVM_ENSUREVISIBLE, 0, FALSE);
}

int SetListRows(ListWindow* lw) {
    int rows = IndexRows(&lw->array);
    if (lw->wnd) ReplaceListRows(lw->wnd, rows);
    return rows;
}

int FirstSelectedRow(HWND wnd) {
    if (!wnd) return -1;
    return (int)SendMessageA(wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
}

// --- creation and teardown ----------------------------------------------------

static void CreateSharedImageList(void) {
    if (Lists.images) ImageList_Destroy(Lists.images);
    Lists.images = nullptr;
    Lists.item.images = nullptr;
    Lists.folder.images = nullptr;
    if (Settings.icon != 1) return;
    Lists.images = ImageList_Create(16, 16, ILC_COLOR32 | ILC_MASK, 16, 16);
    if (!Lists.images) return;
    Lists.item.images = Lists.images;
    Lists.folder.images = Lists.images;
    SendMessageA(Lists.item.wnd, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)Lists.images);
    SendMessageA(Lists.folder.wnd, LVM_SETIMAGELIST, LVSIL_SMALL, (LPARAM)Lists.images);
}

bool CreateListWindows(HWND mainWnd, HWND editBox) {
    (void)mainWnd;
    Lists.item.font = CreateListFont();
    Lists.item.wnd =
        CreateListView(editBox, Lists.item.font, true, ItemListProc);
    if (!Lists.item.wnd) {
        FatalError(FATAL_ITEM_LIST_NOT_MADE);
        return false;
    }
    Lists.folder.font = CreateListFont();
    Lists.folder.wnd =
        CreateListView(editBox, Lists.folder.font, false, FolderListProc);
    if (!Lists.folder.wnd) {
        FatalError(FATAL_FOLDER_LIST_NOT_MADE);
        return false;
    }
    CreateSharedImageList();
    return true;
}

// Closes one list window: its own procedure back, a close request, and a
// bounded wait until it is gone (a second request when it is not).
static void CloseListWindow(ListWindow* lw) {
    if (lw->wnd && IsWindow(lw->wnd)) {
        RevokeDropWindow(lw->wnd);
        RestoreWindowProc(lw->wnd);
        for (int attempt = 0; attempt < 2 && IsWindow(lw->wnd); attempt++) {
            SendMessageA(lw->wnd, WM_CLOSE, 0, 0);
            DWORD start = GetTickCount();
            while (IsWindow(lw->wnd) && GetTickCount() - start < CLOSE_WAIT_MS) Sleep(1);
        }
    }
    if (lw->font) DeleteObject(lw->font);
    // Whatever a hidden list still held goes with the window.
    FreeItems(&lw->array);
    *lw = ListWindow{};
}

void DestroyListWindows(void) {
    ResetListTypeAhead();
    DestroyCascades();
    HideItemList();
    CloseListWindow(&Lists.item);
    HideFolderList();
    CloseListWindow(&Lists.folder);
    if (Lists.images) ImageList_Destroy(Lists.images);
    Lists.images = nullptr;
    Lists.placedAbove = false;
}

// --- filling and hiding -------------------------------------------------------

void FillItemList(void) {
    ListWindow* lw = &Lists.item;
    int longest = lw->longest;
    for (int i = 0; i < lw->array.count; i++) {
        lw->array.items[i].viewIndex = i;
        int len = (int)strnlen(lw->array.items[i].path, LIST_ITEM_PATH_SIZE);
        if (len > longest) longest = len;
    }
    lw->longest = longest;
    SetListRows(lw);
}

void SetItemListMultiSelect(bool on) {
    HWND list = Lists.item.wnd;
    if (!list) return;
    LONG_PTR style = GetWindowLongPtrA(list, GWL_STYLE);
    if (on)
        style &= ~(LONG_PTR)LVS_SINGLESEL;
    else
        style |= LVS_SINGLESEL;
    SetWindowLongPtrA(list, GWL_STYLE, style);
}

static void ClearImages(void) {
    if (Settings.icon == 1 && Lists.images) ImageList_RemoveAll(Lists.images);
}

// Empties a list window's record: its items go, its rows with them.
static void EmptyListWindow(ListWindow* lw) {
    FreeItems(&lw->array);
    lw->kind = LK_None;
    lw->longest = 0;
    if (lw->wnd) SendMessageA(lw->wnd, LVM_DELETEALLITEMS, 0, 0);
}

void HideItemList(void) {
    HWND list = Lists.item.wnd;
    if (!list || !IsWindowVisible(list)) {
        // A list hidden by the toggle holds its items until another list comes.
        return;
    }
    ShowWindow(list, SW_HIDE);
    SetItemListMultiSelect(false);
    Lists.placedAbove = false;
    ClearImages();
    EmptyListWindow(&Lists.item);
}

void HideFolderList(void) {
    HWND list = Lists.folder.wnd;
    if (!list || !IsWindowVisible(list)) return;
    ShowWindow(list, SW_HIDE);
    Lists.folderAnchor = 0;
    Lists.folderPartLength = 0;
    Lists.placedAbove = false;
    ClearImages();
    EmptyListWindow(&Lists.folder);
    ClearFlags(SF_FOLDER_FRESH | SF_COMPLETED | SF_USER_DELETED);
}

void EmptyHiddenLists(void) {
    if (Lists.item.wnd && !IsWindowVisible(Lists.item.wnd) && Lists.item.array.items) {
        SetItemListMultiSelect(false);
        EmptyListWindow(&Lists.item);
    }
    if (Lists.folder.wnd && !IsWindowVisible(Lists.folder.wnd) && Lists.folder.array.items)
        EmptyListWindow(&Lists.folder);
    // Levels hidden with their list go with it.
    if (Cascades.count > 0 && !IsWindowVisible(Cascades.levels[0].wnd)) DestroyCascades();
}

void HideAllLists(void) {
    CloseCascades(nullptr, 2);
    HideItemList();
    HideFolderList();
}

bool ShowInItemList(ListKind kind, ItemArray* array, int textMode, HWND editBox, int fatalNo) {
    ListWindow* lw = &Lists.item;
    if (!lw->wnd || !IsWindow(lw->wnd)) {
        FreeItems(array);
        FatalError((FatalErrorNo)fatalNo);
        return false;
    }
    HideFolderList();
    HideItemList();
    EmptyHiddenLists();
    // The text goes while the item list holds nothing, so the change the box
    // reports is never taken for narrowing the new list.
    if (textMode == ILT_EMPTY)
        ClearEditBox();
    else
        StashSavedText();
    // An edit of the user still marked is not one of the new list: it shows
    // every row until the next one.
    ClearFlags(SF_USER_DELETED);
    SetPathIcon(nullptr);
    FreeItems(&lw->array);
    lw->array = *array;
    *array = ItemArray{};
    lw->kind = kind;
    SetItemListMultiSelect(ItemKindTakesSeveralRows(kind));
    FillItemList();
    PlaceItemList(lw->array.count);
    HWND box = editBox ? editBox : EditBox.wnd;
    if (box && GetFocus() != box) SetFocus(box);
    // Last: a missing Migemo says so in a message box over the list on show.
    LoadMigemo(EditBox.wnd);
    return true;
}

// --- which list -----------------------------------------------------------------

static bool Visible(HWND wnd) { return wnd && IsWindowVisible(wnd); }

HWND VisibleListWindow(void) {
    if (Lists.item.array.items && Visible(Lists.item.wnd)) return Lists.item.wnd;
    if (Lists.folder.array.items && Visible(Lists.folder.wnd)) return Lists.folder.wnd;
    if (AnyFlag(SF_FOLDER_FRESH) && Visible(Lists.folder.wnd)) return Lists.folder.wnd;
    return nullptr;
}

HWND ActiveListWindow(void) {
    HWND last = LastCascadeWindow();
    return last ? last : VisibleListWindow();
}

bool IsListWindow(HWND wnd) { return ListWindowOf(wnd) != nullptr; }

// --- paths of items ---------------------------------------------------------------

bool ItemPathAt(HWND wnd, int viewIndex, char* buf, size_t size) {
    if (!buf || !size) return false;
    buf[0] = '\0';
    const ItemArray* array = ArrayOfListWindow(wnd);
    int pos = ItemOfRow(array, viewIndex);
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
            char folder[PATH_WORK_SIZE];
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

bool FullPathOfRow(const ListWindow* lw, int row, char* buf, size_t size) {
    if (!buf || !size) return false;
    buf[0] = '\0';
    if (!lw) return false;
    int pos = ItemOfRow(&lw->array, row);
    if (pos < 0) return false;
    const char* text = lw->array.items[pos].path;
    if (lw->opener) return JoinFolderName(lw->folder, text, buf, size) != 0;
    return FullPathOf(text, lw == &Lists.folder ? LK_Folder : lw->kind, buf, size);
}

char* CollectSelectedPaths(HWND wnd, int* count) {
    if (count) *count = 0;
    ListWindow* lw = ListWindowOf(wnd);
    if (!lw) return nullptr;
    int selected = ListCountSelected(wnd);
    if (selected <= 0) return nullptr;
    size_t room = (size_t)selected * MAX_PATH + 1;
    char* block = (char*)MemAlloc(room);
    if (!block) return nullptr;
    size_t used = 0;
    int n = 0;
    for (int row = FirstSelectedRow(wnd); row >= 0;
         row = (int)SendMessageA(wnd, LVM_GETNEXTITEM, (WPARAM)row, LVNI_SELECTED)) {
        char path[MAX_PATH];
        if (!FullPathOfRow(lw, row, path, sizeof path)) continue;
        size_t len = strlen(path);
        if (used + len + 2 > room) break;
        memcpy(block + used, path, len + 1);
        used += len + 1;
        n++;
    }
    if (n == 0) {
        MemFree(block);
        return nullptr;
    }
    block[used] = '\0';
    if (count) *count = n;
    return block;
}

int RunPaths(const char* paths) {
    if (!paths) return 0;
    int started = 0;
    // Starting a program can pump messages (a shell error box, DDE): what
    // arrives meanwhile waits until the whole selection has run.
    BeginPumpingOperation();
    for (const char* p = paths; *p; p += strlen(p) + 1) {
        if (!Execute(p, nullptr)) continue;
        started++;
        char absolute[PATH_WORK_SIZE];
        RootAtStartDir(p, absolute, sizeof absolute);
        AddToHistory(absolute, 0);
    }
    EndPumpingOperation();
    return started;
}

// --- commands of the key bindings ------------------------------------------------

bool SwitchOffItemList(ListKind kind, ListKind alsoKind, HWND editBox) {
    if (Lists.item.kind != kind && Lists.item.kind != alsoKind) HideItemList();
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    if (!Lists.item.wnd || !IsWindowVisible(Lists.item.wnd)) return false;
    HideItemList();
    HWND box = editBox ? editBox : EditBox.wnd;
    if (box && GetFocus() != box) SetFocus(box);
    // Without saved text the box is emptied, so what was typed to narrow the
    // list does not linger.
    if (!RestoreSavedText()) ClearEditBox();
    return true;
}

void ToggleLists(void) {
    ListKind kind = ShownListKind();
    if (kind == LK_None) return;
    HWND wnd = kind == LK_Folder ? Lists.folder.wnd : Lists.item.wnd;
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
