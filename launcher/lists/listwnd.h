// listwnd.h - the list windows: the item list and the folder list, each with
// its own items, placement, row display and the list commands. Other
// subsystems use listselect.h and folderlist.h, never these records.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "../../common/listitem.h"
#include "../../common/strutil.h"
#include "listselect.h"

enum { ID_TIMER_TYPEAHEAD = 1000, TYPEAHEAD_RESET_MS = 800 };

// One list window and what it shows. The item list, the folder list and
// every cascade level are each one of these; each holds its own items, so a
// window never draws from items that belong to another list.
struct ListWindow {
    HWND wnd;
    HFONT font;          // the window's font (cascade levels share theirs)
    ListKind kind;       // what it shows; LK_None while it holds nothing
    ItemArray array;     // its items and their row index
    HIMAGELIST images;   // small icons (icon 1), or null
    int longest;         // longest text seen while filling, reset after placing
    HWND opener;         // cascade level: the window it was opened from
    char folder[PATH_WORK_SIZE];  // cascade level: its folder, no trailing separator
};

// The item list and the folder list (one record, this module's). Only one
// of the two shows items at a time: filling one empties the other.
struct ListState {
    ListWindow item;         // Default, Favorites, History, search results, built-ins
    ListWindow folder;       // contents of the typed folder, or the drives
    HIMAGELIST images;       // small icons shared by the two (icon 1), or null
    bool placedAbove;        // stays above the box until the list is hidden
    int folderAnchor;        // x of the folder list, from the edit box's left
    int folderPartLength;    // bytes of the folder part of the typed text
};
extern ListState Lists;

// The record of a list window of this program (item list, folder list or a
// cascade level), or null.
ListWindow* ListWindowOf(HWND wnd);
// Hands the rows of lw to its window: the row index is rebuilt from the
// items' viewIndex and the control told the number of rows. Returns it.
int SetListRows(ListWindow* lw);
// Gives a list window rows new rows in place of those it showed: none
// selected or focused, row 0 at the top, everything drawn again. The old rows
// are not deleted first: a list that drops to no rows loses its scroll bar and
// gets it back, and each of those redraws the whole window frame.
void ReplaceListRows(HWND wnd, int rows);
// The first selected row of a list window, or -1.
int FirstSelectedRow(HWND wnd);
// The full path of the item at row of lw; false when it has none (a built-in
// command) or it does not fit size (never cut).
bool FullPathOfRow(const ListWindow* lw, int row, char* buf, size_t size);
// The full paths of the selected rows of a list window in list order, as a
// file list (each path NUL-terminated, one more NUL after the last) in a heap
// block the caller frees; null when none. Collected before anything runs, so
// nothing that pumps messages while they are used can pull the items away.
char* CollectSelectedPaths(HWND wnd, int* count);
// Runs every path of a file list and records each that started in History;
// the number that started.
int RunPaths(const char* paths);

bool CreateListWindows(HWND mainWnd, HWND editBox);
void DestroyListWindows(void);
void FillItemList(void);
void PlaceItemList(int rows);
// Moves the list on show along with the edit box (border drag), size kept.
void FollowEditBox(void);
void SetItemListMultiSelect(bool on);
void HideItemList(void);
void HideAllLists(void);
// Empties a list window hidden by the list toggle and destroys cascade levels
// hidden with it: called before another list is filled, so hidden windows
// never keep items (or levels) that can no longer be reached.
void EmptyHiddenLists(void);
HWND VisibleListWindow(void);
HWND ActiveListWindow(void);
bool IsListWindow(HWND wnd);
bool ItemPathAt(HWND wnd, int viewIndex, char* buf, size_t size);
bool FullPathOf(const char* itemText, ListKind kind, char* buf, size_t size);
void ToggleLists(void);
void ScrollActiveList(int direction);  // +1 down, -1 up
LRESULT HandleListNotify(NMHDR* header);
// Colours of a kind's settings section, or null for kinds without colouring.
const struct ListLook* LookOfKind(ListKind kind);

// Building blocks shared with the cascade lists.
// The list font: "ＭＳ ゴシック", 12 pixels high, 6 wide (the caller deletes it).
HFONT CreateListFont(void);
// A list window as the item list is made: a virtual report list view shown as
// a pop-up (its notifications go to parent), one column, full-row select, the
// font, layered when alpha is not 100, subclassed with proc (ReplaceWindowProc:
// proc passes what it leaves to CallSavedProc). Null when it failed.
HWND CreateListView(HWND parent, HFONT font, bool singleSelect, WNDPROC proc);
// A list window is owned by the edit box while it is on show, and by no window
// while hidden: every time the box comes to the front the system moves the
// windows it owns along with it, one by one, hidden ones too, and under Wine
// each such move is a round trip to the X server that the hot key waited for.
void OwnListWhileShown(HWND list, bool shown);
// Height of a row (the label rectangle of row 0), 15 when the control has none.
int ListRowHeight(HWND list);
// Pixels of text per byte of a list row.
enum { LIST_CHAR_WIDTH = 6 };
// The item array a list window shows (item list, folder list or a cascade
// level), or null for other windows.
ItemArray* ArrayOfListWindow(HWND wnd);

// Room beside a row's text for the label's margins, and the width of the
// small icons drawn before it (icon 1).
enum { LIST_TEXT_MARGIN = 22, LIST_ICON_WIDTH = 16 };

// Height of a list window for rows rows (at least 1) of rowHeight, at most
// linemax rows (at least 1) plus frame; *scrolled (when given) tells whether
// the rows need a scroll bar. The one height rule of every list window.
int ListHeight(int rows, int rowHeight, int frame, int linemax, bool* scrolled);
// Sets the width of a list window's one column, at most its client width.
void SetListColumnWidth(HWND list, int width);
// Characters a row is sized for: the longest text, capped at listwmax when it
// is set and smaller.
int ListChars(int longest, int listwmax);

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
