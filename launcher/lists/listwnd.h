// listwnd.h - the list windows: the item list, the folder list and the shared
// item array, placement, row display, the list commands and the path icon.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "../../common/listitem.h"

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
// Moves the list on show along with the edit box (border drag), size kept.
void FollowEditBox(void);
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
// The off half of the commands that switch one item list on and off. A list
// of another kind than kind (or alsoKind) is hidden first and every cascade
// closes. When the item list is then still on show it is switched off: hidden,
// the box (editBox, or the edit box when null) takes the focus and the text
// typed before the list comes back, or the box is emptied; the result is true.
// False: nothing of kind was on show and the caller shows its list.
bool SwitchOffItemList(ListKind kind, ListKind alsoKind, HWND editBox);
void ScrollActiveList(int direction);  // +1 down, -1 up
LRESULT HandleListNotify(NMHDR* header);
// Colours of a kind's settings section, or null for kinds without colouring.
const struct ListLook* LookOfKind(ListKind kind);

// Building blocks shared with the cascade lists.
// The list font: "ＭＳ ゴシック", 12 pixels high, 6 wide (the caller deletes it).
HFONT CreateListFont(void);
// A list window as the item list is made: a virtual report list view shown as
// a pop-up owned by parent (its notifications go to parent), one column,
// full-row select, the font, layered when alpha is not 100, subclassed with
// proc (the list-view procedure goes to *oldProc). Null when it failed.
HWND CreateListView(HWND parent, HFONT font, bool singleSelect, WNDPROC proc, WNDPROC* oldProc);
// Height of a row (the label rectangle of row 0), 15 when the control has none.
int ListRowHeight(HWND list);
// Pixels of text per byte of a list row.
enum { LIST_CHAR_WIDTH = 6 };
// The item array a list window shows (item list, folder list or a cascade
// level), or null for other windows.
ItemArray* ArrayOfListWindow(HWND wnd);
// Array position of the item shown at row of array, or -1.
int ItemPositionOfRow(const ItemArray* array, int row);

// Vertical and horizontal place of the item list (pure arithmetic of the
// placement; rectangles are screen coordinates).
struct ListPlacement {
    int left, top, width, height;
    int columnWidth;
    bool above;  // placed above the edit box
};
ListPlacement ComputeItemListPlacement(const RECT& box, const RECT& desktop, int longest,
                                       int rows, int rowHeight, int frame, int scroll,
                                       int linemax, int listwmax, bool placedAbove);
