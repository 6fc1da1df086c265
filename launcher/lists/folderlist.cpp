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
#include "cascade.h"
#include "listwnd.h"
#include "../migemo/migemo.h"

namespace {

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

bool FolderListAlive(void) { return Lists.folder.wnd && IsWindow(Lists.folder.wnd); }

// The folder list is about to be filled: the item list on show goes, so only
// one of the two lists is ever on show, and levels hidden with it go too.
void PrepareFolderFill(void) {
    if (Lists.item.array.items) HideItemList();
    EmptyHiddenLists();
    if (Settings.icon == 1 && Lists.images && Lists.folder.kind != LK_Folder)
        ImageList_RemoveAll(Lists.images);
}

void SetFolderRows(void) { SetListRows(&Lists.folder); }

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
    for (int32_t i = 0; i < Lists.folder.array.count; i++) Lists.folder.array.items[i].viewIndex = -1;
    IndexRows(&Lists.folder.array);
    // One empty row, so the list stays in sight.
    ReplaceListRows(Lists.folder.wnd, 1);
    Folder.noMatchShown = true;
    PlaceFolderList(1);
    if (!IsWindowVisible(Lists.folder.wnd)) ShowWindow(Lists.folder.wnd, SW_SHOWNA);
}

void KeepEditFocus(HWND editBox) {
    if (editBox && GetFocus() != editBox) SetFocus(editBox);
}

// The name part of text followed by the typed character, as a filter text.
void MakeFilterText(const char* text, const char* typed, char* dst, size_t size) {
    char name[PATH_WORK_SIZE];
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
    PrepareFolderFill();
    if (!ReadFolder(text)) return 0;
    if (!FolderListAlive()) {
        FatalError(FATAL_FOLDER_NO_FOLDER_LIST);
        return 0;
    }
    LoadMigemo(editBox);
    SetAnchorFor(editBox, text);

    int result;
    if (EndsWithSeparatorSjis(text) && !(typed && typed[0])) {
        result = FilterFolderList("");
    } else {
        char filter[PATH_WORK_SIZE];
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
    ShowWindow(Lists.folder.wnd, SW_SHOWNA);
    KeepEditFocus(editBox);
    return 1;
}

int RefilterFolderList(HWND editBox, const char* text, const char* typed) {
    char own[EDIT_TEXT_MAX];
    if (!text) {
        ReadEditText(own, sizeof own);
        text = own;
    }
    char filter[PATH_WORK_SIZE];
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
    if (!IsWindowVisible(Lists.folder.wnd)) ShowWindow(Lists.folder.wnd, SW_SHOWNA);
    KeepEditFocus(editBox);
    return 1;
}

// Text of the row at viewIndex of the folder list, or false.
bool FolderRowName(int row, char* buf, size_t size) {
    int pos = ItemOfRow(&Lists.folder.array, row);
    buf[0] = '\0';
    if (pos < 0) return false;
    CopyString(buf, Lists.folder.array.items[pos].path, size);
    return true;
}

}  // namespace

int FolderPartLength(void) { return Lists.folderPartLength; }

void StartFolderBaseIfIdle(void) {
    if (Lists.folderPartLength == 0) Lists.folderPartLength = -1;
}

bool FolderNameToComplete(char* name, size_t size) {
    if (!name || !size) return false;
    name[0] = '\0';
    if (!Lists.folder.array.items || Lists.folder.array.rowCount <= 0) return false;
    int row = FirstSelectedRow(Lists.folder.wnd);
    if (row < 0) row = 0;
    return ItemPathAt(Lists.folder.wnd, row, name, size) && name[0];
}

int ReadFolderEntries(const char* folder, ItemArray* array) {
    char pattern[PATH_WORK_SIZE];
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
    char folder[PATH_WORK_SIZE];
    RootAtStartDir(text, folder, sizeof folder);
    // A text without a separator names no folder; reading the current
    // directory for it would list an unrelated place.
    if (!CutAfterLastSeparator(folder)) {
        FreeItems(&Lists.folder.array);
        return 0;
    }
    return ReadFolderEntries(folder, &Lists.folder.array);
}

int ShowFolderContents(HWND editBox, const char* text, const char* typed) {
    if (!FolderListAlive()) {
        FatalError(FATAL_FOLDER_NO_FOLDER_LIST);
        return 0;
    }
    // Levels hidden by the list toggle do not outlive the list coming back.
    if (Cascades.count > 0 && !IsWindowVisible(Cascades.levels[0].wnd)) DestroyCascades();
    // Items a filter has matched come back into sight; a read that matched
    // nothing never showed them. Showing a window already on show still costs
    // the window system a round trip on every keystroke: asked only when hidden.
    if (Lists.folder.kind == LK_Folder && Lists.folder.array.items &&
        !IsWindowVisible(Lists.folder.wnd))
        ShowWindow(Lists.folder.wnd, SW_SHOWNA);
    if (IsWindowVisible(Lists.folder.wnd) && Lists.folder.array.items)
        return RefilterFolderList(editBox, text, typed);
    return OpenFolderList(editBox, text, typed);
}

int FilterFolderList(const char* filterText) {
    if (!Lists.folder.array.items) return FOLDER_NO_MATCH;
    int32_t result = FilterFolderItems(&Lists.folder.array, filterText ? filterText : "",
                                       (int)Settings.inputmode, MigemoWideMatcher(true), nullptr);
    if (result < 0) return result;
    Folder.noMatchShown = false;
    SetFolderRows();
    if (result > 0) Lists.folder.kind = LK_Folder;
    return result;
}

bool FolderNoMatchShown(void) {
    return Folder.noMatchShown && FolderListAlive() && IsWindowVisible(Lists.folder.wnd);
}

void PlaceFolderList(int n) {
    HWND list = Lists.folder.wnd;
    if (!list || !EditBox.wnd) return;
    int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    int scroll = GetSystemMetrics(SM_CXVSCROLL);
    bool scrolled = false;
    int rows = Lists.folder.array.rowCount > 0 ? Lists.folder.array.rowCount : 1;
    int height = ListHeight(rows, ListRowHeight(list), frame, Settings.linemax, &scrolled);

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
    // A name exactly listwmax long is sized to listwmax as well.
    int chars = (Settings.listwmax > 0 && n >= (int)Settings.listwmax) ? (int)Settings.listwmax : n;
    int textWidth = chars * LIST_CHAR_WIDTH;
    int icon = Settings.icon == 1 ? LIST_ICON_WIDTH : 0;
    int width = (scrolled ? scroll : 0) + icon + textWidth + LIST_TEXT_MARGIN;
    // Each keystroke places the list again; where nothing changes nothing is
    // moved (a move that changes nothing still makes the window system work).
    RECT now;
    int left = edit.left + Lists.folderAnchor + frame;
    if (!GetWindowRect(list, &now) || now.left != left || now.top != top ||
        now.right - now.left != width || now.bottom - now.top != height)
        SetWindowPos(list, nullptr, left, top, width, height, SWP_NOACTIVATE | SWP_NOZORDER);
    SetListColumnWidth(list, textWidth - frame + icon + LIST_TEXT_MARGIN);
    Lists.folder.longest = 0;
}

void ShowDriveList(HWND editBox) {
    if (!FolderListAlive()) {
        FatalError(FATAL_DRIVES_NO_FOLDER_LIST);
        return;
    }
    if (AnyFlag(SF_FOLDER_FRESH)) return;
    SetFlags(SF_MIGEMO_SUSPENDED);
    DWORD mask = GetLogicalDrives();
    int drives = 0;
    for (int bit = 0; bit < 32; bit++)
        if (mask & (1u << bit)) drives++;
    PrepareFolderFill();
    ItemArray* array = &Lists.folder.array;
    if (drives == 0 || !AllocItems(array, drives)) {
        HideFolderList();
        ClearFlags(SF_MIGEMO_SUSPENDED);
        return;
    }
    for (int bit = 0; bit < 32; bit++) {
        if (!(mask & (1u << bit))) continue;
        char root[8];
        snprintf(root, sizeof root, "%c:\\", 'A' + bit);
        ListItem* item = &array->items[array->count];
        SetListItem(item, root, 0);
        item->viewIndex = array->count;
        array->count++;
    }
    Folder.noMatchShown = false;
    SetFolderRows();
    POINT caret = {0, 0};
    GetCaretPos(&caret);
    Lists.folderAnchor = caret.x > 0 ? caret.x : 0;
    PlaceFolderList(5);
    Lists.folder.kind = LK_Folder;
    SetFlags(SF_FOLDER_FRESH);
    ShowWindow(Lists.folder.wnd, SW_SHOWNA);
    KeepEditFocus(editBox);
    ClearFlags(SF_MIGEMO_SUSPENDED);
}

void TakeFolderItem(bool openAll) {
    HWND editBox = EditBox.wnd;
    HWND list = Lists.folder.wnd;
    int selected = ListCountSelected(list);
    if (selected == 0) {
        HideFolderList();
        KeepEditFocus(editBox);
        return;
    }
    if (selected == 1 && !openAll) {
        char text[EDIT_TEXT_MAX];
        ReadEditText(text, sizeof text);
        char name[LIST_ITEM_PATH_SIZE];
        if (!FolderRowName(FirstSelectedRow(list), name, sizeof name)) {
            // The empty row of a name that matched nothing: nothing to take.
            HideFolderList();
            KeepEditFocus(editBox);
            return;
        }
        char taken[EDIT_TEXT_MAX];
        bool fresh = text[0] == '\0';
        if (!TakenEntryText(text, name, taken, sizeof taken)) {
            // A path the box cannot hold is refused, never cut.
            MessageBeep(MB_OK);
            return;
        }
        // Hiding clears the state flags, so it comes before they are set; the
        // change notification of the new text then sees them.
        HideFolderList();
        if (fresh) SetFlags(SF_FOLDER_FRESH);
        SetFlags(SF_COMPLETED);
        SetEditText(taken);
        KeepEditFocus(editBox);
        return;
    }
    // The paths are collected first: starting them can pump messages.
    char* paths = CollectSelectedPaths(list, nullptr);
    HideFolderList();
    KeepEditFocus(editBox);
    int started = RunPaths(paths);
    MemFree(paths);
    if (started > 0) AfterRun();
}
