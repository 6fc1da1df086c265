// folderlist.cpp - the folder list: reading the typed folder, narrowing it by
// the typed name, placing it under the last separator, the drive list, and
// taking or opening its items.
#include "folderlist.h"

#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../editbox/completerules.h"
#include "../editbox/completion.h"
#include "../editbox/editbox.h"
#include "../editbox/execrules.h"
#include "../editbox/execute.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "history.h"
#include "../../common/itemarray.h"
#include "listfilter.h"
#include "listwnd.h"
#include "../migemo/migemo.h"

namespace {

// Room for a folder path, its separator and the "*" of the search pattern.
const size_t kFolderPathSize = MAX_PATH * 2;

// Room beside the text for the label's margins.
const int kTextMargin = 22;

// Width of the small icons drawn before the names (icon 1).
const int kIconWidth = 16;

struct FolderListState {
    bool noMatchShown;  // the empty row of typo control off is on show
};
FolderListState Folder;

bool IsDirectoryEntry(const WIN32_FIND_DATAA* entry) {
    return (entry->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Counts the entries of pattern ("." and ".." aside); *folders gets how many
// of them are folders.
int CountEntries(const char* pattern, int* folders) {
    *folders = 0;
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern, &entry);
    if (find == INVALID_HANDLE_VALUE) return 0;
    int n = 0;
    do {
        if (IsDotEntry(entry.cFileName)) continue;
        n++;
        if (IsDirectoryEntry(&entry)) (*folders)++;
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    return n;
}

// Records the entries of pattern into array (room for count, of which folders
// are folders): the folders first, then the files, each in the order the
// system lists them. Entries beyond the counted ones (the folder grew since it
// was counted) are left out.
void FillEntries(const char* pattern, ItemArray* array, int count, int folders) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern, &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    int nFolders = 0, nFiles = 0;
    do {
        if (IsDotEntry(entry.cFileName)) continue;
        bool isFolder = IsDirectoryEntry(&entry);
        int slot;
        if (isFolder) {
            if (nFolders >= folders) continue;
            slot = nFolders++;
        } else {
            if (nFiles >= count - folders) continue;
            slot = folders + nFiles++;
        }
        SetListItem(&array->items[slot], entry.cFileName, isFolder ? ItemFolder : ItemFile);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
    // Folders gone since the count leave a gap before the files: close it.
    if (nFolders < folders)
        memmove(&array->items[nFolders], &array->items[folders], (size_t)nFiles * sizeof(ListItem));
    array->count = nFolders + nFiles;
    for (int32_t i = 0; i < array->count; i++) array->items[i].viewIndex = i;
}

bool FolderListAlive(void) { return Lists.folderList && IsWindow(Lists.folderList); }

void FatalListError(const char* text) {
    ErrorBox(EditBox.wnd, text);
    // Posted: the request comes from inside the edit box's own handlers.
    if (Shell.mainWnd) PostMessageA(Shell.mainWnd, WM_CLOSE, 0, 0);
}

// The shared array is about to hold the folder list: a list the item list
// shows from it goes first.
void TakeSharedArray(void) {
    if (Lists.kind != LK_None && Lists.kind != LK_Folder) HideItemList();
    if (Settings.icon == 1 && Lists.images && Lists.kind != LK_Folder)
        ImageList_RemoveAll(Lists.images);
}

void SetFolderRows(int rows) {
    SendMessageA(Lists.folderList, LVM_DELETEALLITEMS, 0, 0);
    SendMessageA(Lists.folderList, LVM_SETITEMCOUNT, (WPARAM)rows,
                 LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    if (rows > 0) SendMessageA(Lists.folderList, LVM_ENSUREVISIBLE, 0, FALSE);
}

// The x position, from the edit box's left, where the list hangs for text.
void SetAnchorFor(HWND editBox, const char* text) {
    EditCaretToEnd(editBox, text);
    int32_t folderLen = 0;
    int32_t index = FolderAnchorIndex(text, &folderLen);
    Lists.folderPartLength = folderLen;
    RECT client;
    GetClientRect(editBox, &client);
    int x = 0;
    if (index >= 0) {
        LRESULT pos = SendMessageA(editBox, EM_POSFROMCHAR,
                                   (WPARAM)EditIndexOfByte(editBox, text, index), 0);
        x = pos == -1 ? 0 : (short)LOWORD(pos);
    }
    if (x < 0) x = 0;
    Lists.folderAnchor = x <= client.right ? x : client.right - Settings.ftsize / 2;
}

// The empty one-row list of a name that matched nothing (typo control off).
void ShowNoMatchRow(void) {
    for (int32_t i = 0; i < Lists.array.count; i++) Lists.array.items[i].viewIndex = -1;
    Lists.folderRows = 1;
    SetFolderRows(1);
    Folder.noMatchShown = true;
    PlaceFolderList(1);
    if (!IsWindowVisible(Lists.folderList)) ShowWindow(Lists.folderList, SW_SHOWNA);
}

void KeepEditFocus(HWND editBox) {
    if (editBox && GetFocus() != editBox) SetFocus(editBox);
}

// The name part of text followed by the typed character, as a filter text.
void MakeFilterText(const char* text, const char* typed, char* dst, size_t size) {
    char name[kFolderPathSize];
    FileNamePart(text, name, sizeof name);
    ConcatTo(name, typed ? typed : "", dst, size);
}

int OpenFolderList(HWND editBox, const char* text, const char* typed) {
    HideFolderList();
    char own[EDIT_TEXT_MAX];
    if (!text) {
        ReadEditText(own, sizeof own);
        text = own;
    }
    if (!text[0]) return 0;
    TakeSharedArray();
    if (!ReadFolder(text)) return 0;
    if (!FolderListAlive()) {
        FatalListError("fatar errer no10");
        return 0;
    }
    LoadMigemo(editBox);
    SetAnchorFor(editBox, text);

    int result;
    if (EndsWithSeparatorSjis(text) && !(typed && typed[0])) {
        result = FilterFolderList("");
    } else {
        char filter[kFolderPathSize];
        MakeFilterText(text, typed, filter, sizeof filter);
        result = FilterFolderList(filter);
    }
    if (result == FOLDER_NO_MATCH) {
        HideFolderList();
        KeepEditFocus(editBox);
        return 0;
    }
    if (result == FOLDER_TWO_COLONS) return 0;
    if (result == FOLDER_ONE_COLON) return 1;
    PlaceFolderList(result);
    ShowWindow(Lists.folderList, SW_SHOWNA);
    KeepEditFocus(editBox);
    return 1;
}

int RefilterFolderList(HWND editBox, const char* text, const char* typed) {
    char own[EDIT_TEXT_MAX];
    if (!text) {
        ReadEditText(own, sizeof own);
        text = own;
    }
    char filter[kFolderPathSize];
    MakeFilterText(text, typed, filter, sizeof filter);
    int result = FilterFolderList(filter);
    if (result == FOLDER_NO_MATCH) {
        if (Settings.typoctr == 0) ShowNoMatchRow();
        KeepEditFocus(editBox);
        return 0;
    }
    if (result == FOLDER_TWO_COLONS) return 0;
    if (result == FOLDER_ONE_COLON) return 1;
    PlaceFolderList(result);
    if (!IsWindowVisible(Lists.folderList)) ShowWindow(Lists.folderList, SW_SHOWNA);
    KeepEditFocus(editBox);
    return 1;
}

// Text of the row at viewIndex of the folder list, or false.
bool FolderRowName(int row, char* buf, size_t size) {
    int pos = ItemPositionOfRow(&Lists.array, row);
    buf[0] = '\0';
    if (pos < 0) return false;
    CopyString(buf, Lists.array.items[pos].path, size);
    return true;
}

// Runs folder + "\" + name for each selected row; the number that started.
int OpenSelectedFolderItems(const char* folder) {
    int started = 0;
    int row = -1;
    while ((row = (int)SendMessageA(Lists.folderList, LVM_GETNEXTITEM, (WPARAM)row,
                                    LVNI_SELECTED)) >= 0) {
        char name[LIST_ITEM_PATH_SIZE];
        if (!FolderRowName(row, name, sizeof name)) continue;
        char path[kFolderPathSize];
        if (!JoinFolderName(folder, name, path, sizeof path)) continue;
        if (!Execute(path, nullptr)) continue;
        started++;
        AddToHistory(path, 0);
    }
    return started;
}

}  // namespace

int ReadFolderEntries(const char* folder, ItemArray* array) {
    char pattern[kFolderPathSize];
    ConcatTo(folder, "*", pattern, sizeof pattern);
    int folders = 0;
    int count = CountEntries(pattern, &folders);
    if (count <= 0 || !AllocItems(array, count)) {
        FreeItems(array);
        return 0;
    }
    FillEntries(pattern, array, count, folders);
    if (array->count == 0) FreeItems(array);
    return array->count;
}

int ReadFolder(const char* text) {
    char folder[kFolderPathSize];
    RootAtStartDir(text, folder, sizeof folder);
    // A text without a separator names no folder; reading the current
    // directory for it would list an unrelated place.
    if (!CutAfterLastSeparator(folder)) {
        FreeItems(&Lists.array);
        return 0;
    }
    return ReadFolderEntries(folder, &Lists.array);
}

int ShowFolderContents(HWND editBox, const char* text, const char* typed) {
    if (!FolderListAlive()) {
        FatalListError("fatar errer no10");
        return 0;
    }
    if (Lists.kind == LK_Folder && Lists.array.items) ShowWindow(Lists.folderList, SW_SHOWNA);
    if (IsWindowVisible(Lists.folderList) && Lists.array.items)
        return RefilterFolderList(editBox, text, typed);
    return OpenFolderList(editBox, text, typed);
}

int FilterFolderList(const char* filterText) {
    if (!Lists.array.items) return FOLDER_NO_MATCH;
    int32_t shown = 0;
    int32_t result = FilterFolderItems(&Lists.array, filterText ? filterText : "",
                                       (int)Settings.inputmode, MigemoWideMatcher(true), &shown);
    if (result < 0) return result;
    Folder.noMatchShown = false;
    Lists.folderRows = shown;
    SetFolderRows(shown);
    if (result > 0) Lists.kind = LK_Folder;
    return result;
}

bool FolderNoMatchShown(void) {
    return Folder.noMatchShown && FolderListAlive() && IsWindowVisible(Lists.folderList);
}

void PlaceFolderList(int n) {
    HWND list = Lists.folderList;
    if (!list || !EditBox.wnd) return;
    int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    int scroll = GetSystemMetrics(SM_CXVSCROLL);
    int rowHeight = ListRowHeight(list);
    int rows = Lists.folderRows > 0 ? Lists.folderRows : 1;
    int linemax = Settings.linemax > 0 ? Settings.linemax : 1;
    int needed = rowHeight * rows;
    int maximum = rowHeight * linemax + frame;
    int height = needed <= maximum ? needed + frame : maximum;
    bool scrolled = needed >= maximum;

    RECT edit, desktop;
    GetWindowRect(EditBox.wnd, &edit);
    GetWindowRect(GetDesktopWindow(), &desktop);
    int top = edit.bottom;
    if (top + height > desktop.bottom || Lists.placedAbove) {
        int above = edit.top - height;
        if (above >= 0 || edit.bottom > desktop.bottom / 2) {
            top = above;
            Lists.placedAbove = true;
        }
    }
    int chars = n;
    if (Settings.listwmax > 0 && n >= (int)Settings.listwmax) chars = (int)Settings.listwmax;
    int textWidth = chars * LIST_CHAR_WIDTH;
    int icon = Settings.icon == 1 ? kIconWidth : 0;
    int width = (scrolled ? scroll : 0) + icon + textWidth + kTextMargin;
    SetWindowPos(list, nullptr, edit.left + Lists.folderAnchor + frame, top, width, height,
                 SWP_NOACTIVATE | SWP_NOZORDER);
    SendMessageA(list, LVM_SETCOLUMNWIDTH, 0,
                 MAKELPARAM(textWidth - frame + icon + kTextMargin, 0));
    Lists.longest = 0;
}

void ShowDriveList(HWND editBox) {
    if (!FolderListAlive()) {
        FatalListError("fatar errer no9");
        return;
    }
    if (AnyFlag(SF_FOLDER_FRESH)) return;
    SetFlags(SF_MIGEMO_SUSPENDED);
    DWORD mask = GetLogicalDrives();
    int drives = 0;
    for (int bit = 0; bit < 32; bit++)
        if (mask & (1u << bit)) drives++;
    TakeSharedArray();
    if (drives == 0 || !AllocItems(&Lists.array, drives)) {
        HideFolderList();
        ClearFlags(SF_MIGEMO_SUSPENDED);
        return;
    }
    for (int bit = 0; bit < 32; bit++) {
        if (!(mask & (1u << bit))) continue;
        char root[8];
        snprintf(root, sizeof root, "%c:\\", 'A' + bit);
        ListItem* item = &Lists.array.items[Lists.array.count];
        SetListItem(item, root, 0);
        item->viewIndex = Lists.array.count;
        Lists.array.count++;
    }
    Lists.folderRows = drives;
    Folder.noMatchShown = false;
    SetFolderRows(drives);
    POINT caret = {0, 0};
    GetCaretPos(&caret);
    Lists.folderAnchor = caret.x > 0 ? caret.x : 0;
    PlaceFolderList(5);
    Lists.kind = LK_Folder;
    SetFlags(SF_FOLDER_FRESH);
    ShowWindow(Lists.folderList, SW_SHOWNA);
    KeepEditFocus(editBox);
    ClearFlags(SF_MIGEMO_SUSPENDED);
}

void TakeFolderItem(bool openAll) {
    HWND editBox = EditBox.wnd;
    int selected = ListCountSelected(Lists.folderList);
    if (selected == 0) {
        HideFolderList();
        KeepEditFocus(editBox);
        return;
    }
    char text[EDIT_TEXT_MAX];
    ReadEditText(text, sizeof text);
    if (selected == 1 && !openAll) {
        int row = (int)SendMessageA(Lists.folderList, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED);
        char name[LIST_ITEM_PATH_SIZE];
        if (!FolderRowName(row, name, sizeof name)) {
            // The empty row of a name that matched nothing: nothing to take.
            HideFolderList();
            KeepEditFocus(editBox);
            return;
        }
        char taken[EDIT_TEXT_MAX];
        bool fresh = text[0] == '\0';
        if (!TakenEntryText(text, name, taken, sizeof taken)) return;
        // Hiding clears the state flags, so it comes before they are set; the
        // change notification of the new text then sees them.
        HideFolderList();
        if (fresh) SetFlags(SF_FOLDER_FRESH);
        SetFlags(SF_COMPLETED);
        SetEditText(taken);
        KeepEditFocus(editBox);
        return;
    }
    char folder[EDIT_TEXT_MAX];
    CopyString(folder, text, sizeof folder);
    if (AnyFlag(SF_FOLDER_FRESH)) {
        // Drive list: the items are roots themselves.
        folder[0] = '\0';
    } else if (!CutLastComponent(folder)) {
        folder[0] = '\0';
    }
    int started;
    if (folder[0]) {
        started = OpenSelectedFolderItems(folder);
    } else {
        started = 0;
        int row = -1;
        while ((row = (int)SendMessageA(Lists.folderList, LVM_GETNEXTITEM, (WPARAM)row,
                                        LVNI_SELECTED)) >= 0) {
            char name[LIST_ITEM_PATH_SIZE];
            if (!FolderRowName(row, name, sizeof name) || !Execute(name, nullptr)) continue;
            started++;
            AddToHistory(name, 0);
        }
    }
    HideFolderList();
    KeepEditFocus(editBox);
    if (started > 0) AfterRun();
}
