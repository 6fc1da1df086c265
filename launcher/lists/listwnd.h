// listwnd.h - the list windows: the item list, the folder list and the shared
// item array, placement, row display, the list commands and the path icon.
#pragma once
#include <windows.h>

#include "listitem.h"

enum { ID_TIMER_TYPEAHEAD = 1000, TYPEAHEAD_RESET_MS = 800 };

// Shared state of the item list and the folder list (one record, this module's).
struct ListState {
    HWND itemList;
    HWND folderList;
    HFONT itemFont;
    HFONT folderFont;
    WNDPROC itemOldProc;     // list-view procedures kept by the subclassing
    WNDPROC folderOldProc;
    HIMAGELIST images;       // shared small-icon list (icon 1), or null
    ItemArray array;         // items of whichever of the two lists is active
    ListKind kind;
    int longest;             // longest text seen while filling, reset after placing
    bool placedAbove;        // stays above the box until the list is hidden
    int folderRows;          // rows shown in the folder list
    int folderAnchor;        // x of the folder list, from the edit box's left
    int folderPartLength;    // bytes of the folder part of the typed text
};
extern ListState Lists;

bool CreateListWindows(HWND mainWnd, HWND editBox);
void DestroyListWindows(void);
void FillItemList(void);
void PlaceItemList(int rows);
void SetItemListMultiSelect(bool on);
void HideItemList(void);
void HideFolderList(void);
void HideAllLists(void);
HWND VisibleListWindow(void);
HWND ActiveListWindow(void);
bool IsListWindow(HWND wnd);
bool ItemPathAt(HWND wnd, int viewIndex, char* buf, size_t size);
bool FullPathOf(const char* itemText, ListKind kind, char* buf, size_t size);
bool SelectedFullPath(HWND wnd, ListKind kind, char* buf, size_t size);
void ToggleLists(void);
void ScrollActiveList(int direction);  // +1 down, -1 up
LRESULT HandleListNotify(NMHDR* header);
// Colours of a kind's settings section, or null for kinds without colouring.
const struct ListLook* LookOfKind(ListKind kind);
