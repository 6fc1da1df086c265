// listselect.h - what a list window offers the rest of the program: which
// list a window is and which kind of list is on show, the full paths of its
// selected rows in list order, and the folder its names belong to. The shell integration, drag and drop and
// the registered applications use only this, never the list internals.
#pragma once
#include <windows.h>
#include <stddef.h>

#include "../../common/listitem.h"

enum ListRole {
    LR_None = 0,    // not a list window of this program
    LR_Item = 1,    // the item list (Default, Favorites, History, Explorer, search, built-ins)
    LR_Folder = 2,  // the folder list (contents of the typed folder, or the drives)
    LR_Cascade = 3, // a cascade level
};

// Which list window wnd is.
ListRole RoleOfListWindow(HWND wnd);

// Which rows SelectedListPaths takes.
enum { LS_SELECTED = 0, LS_FOCUSED = 1 };

// The full paths of the rows of wnd that are selected (LS_SELECTED, in list
// order) or of the first focused row (LS_FOCUSED), as a file list: each path
// NUL-terminated, one more NUL after the last. A heap block (MemAlloc) the
// caller frees with MemFree; *count (when given) gets the number of paths.
// Rows whose full path cannot be built (a built-in command, a path that would
// not fit MAX_PATH) are left out, never cut. Null (count 0) when no row gives
// a path or memory runs out.
char* SelectedListPaths(HWND wnd, int mode, int* count);

// The folder the rows of wnd are named in, with no trailing separator: for a
// cascade level its folder, for the folder list the typed folder (rooted at
// the start folder); "" for the drive list. False for the item list (its rows
// are full paths) and for other windows, or when it does not fit.
bool FolderOfListWindow(HWND wnd, char* buf, size_t size);

// The full path of the first selected row of wnd (LVNI_SELECTED) into buf
// (size bytes); false when no row is selected, the row has no path (a
// built-in command) or the path does not fit (never cut).
bool FirstSelectedListPath(HWND wnd, char* buf, size_t size);

// The list window that should hold the focus: the last cascade level when
// levels are open, else the list on show; null when no list is shown.
HWND ListWindowForFocus(void);

// The item list is on show.
bool ItemListOnShow(void);
// The item list's window; null before it is made and after it is gone.
HWND ItemListWindow(void);
// What the item list shows while it is on show; LK_None while it is hidden.
ListKind ItemListKindOnShow(void);
// The folder list is on show.
bool FolderListOnShow(void);
// Calls fn for every list window there is: the item list, the folder list and
// each cascade level.
void ForEachListWindow(void (*fn)(HWND wnd, void* ctx), void* ctx);
// The list windows are disabled: an outside tool runs meanwhile.
bool ListWindowsDisabled(void);

// What becomes of the typed text when the item list shows a new array.
enum ItemListText {
    ILT_PUT_ASIDE = 0,  // put aside (it comes back when the list is switched off)
    ILT_EMPTY = 1,      // the box is emptied; text put aside earlier stays so
};
// Shows array in the item list as a list of kind, always in the same steps:
// the folder list and the item list are hidden and hidden lists emptied, the
// typed text goes (textMode), the path icon shows its default, the item list
// takes the array (emptied here) and several rows when the kind opens them
// all, is filled and placed under the box, the box (editBox, or the edit box
// when null) keeps the focus, and Migemo loads for narrowing. When the item
// list window is gone the array is freed and the program ends with
// FatalError(fatalNo), a FatalErrorNo; the result is false.
bool ShowInItemList(ListKind kind, ItemArray* array, int textMode, HWND editBox, int fatalNo);
// The kind of list on show to the user: the item list's kind while it holds
// items, else LK_Folder while the folder list does, else LK_None.
ListKind ShownListKind(void);
// At least one cascade level is open.
bool CascadeLevelsOpen(void);

// Hides every list window (the item list, the folder list, cascade levels).
void HideListWindows(void);
// Hides the folder list.
void HideFolderList(void);
// Modes of CloseCascades: mode 0 closes the last level, 1 every level after
// wnd's, 2 all levels.
enum { CASCADE_CLOSE_LAST = 0, CASCADE_CLOSE_AFTER = 1, CASCADE_CLOSE_ALL = 2 };
void CloseCascades(HWND wnd, int mode);
// The off half of the commands that switch one item list on and off. A list
// of another kind than kind (or alsoKind) is hidden first and every cascade
// closes. When the item list is then still on show it is switched off: hidden,
// the box (editBox, or the edit box when null) takes the focus and the text
// typed before the list comes back, or the box is emptied; the result is true.
// False: nothing of kind was on show and the caller shows its list.
bool SwitchOffItemList(ListKind kind, ListKind alsoKind, HWND editBox);

// The row of list window wnd under the screen point, or -1.
int ListRowAtScreenPoint(HWND wnd, POINT screen);
// The full path of row of list window wnd; false when it has none or it does
// not fit size (never cut).
bool ListRowFullPath(HWND wnd, int row, char* buf, size_t size);

// Reads the folder of the folder list on show again (files renamed or deleted
// by another program meanwhile); nothing when no folder list is on show.
void RefreshFolderList(void);
