// listinput.h - what the user does in the list windows: filtering the item
// list by the typed text, type-ahead, taking and opening items, the keys and
// mouse of the three kinds of list window, the list context menu.
#pragma once
#include <windows.h>

// Narrows the item list to the items that match the edit text (runs only
// while SF_USER_DELETED is set, and clears it).
void FilterItemList(HWND editBox);
// Enter or double-click in the item list.
void TakeSelection(HWND editBox, HWND list);
// Executes every selected item of the item list by its full path; the number
// of items that started (then the list hides and the after-run rule applies).
int OpenSelection(void);
// Type-ahead search in a list window; true when the character was consumed.
bool TypeAhead(HWND list, unsigned char ch);
// Frees the type-ahead buffer and stops its timer.
void ResetListTypeAhead(void);

LRESULT CALLBACK ItemListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FolderListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK CascadeListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// What the commands of a list window's own keys do there (the dispatcher
// calls them): Enter or a double-click takes the row into the box or opens
// it (the item list, the folder list, a cascade level each its way); Esc and
// Backspace leave the list; Right opens a folder's cascade level (false when
// the row is a file: the dispatcher previews it); the list menu's "open"
// takes or opens the selection.
void TakeFromList(HWND wnd);
void LeaveList(HWND wnd);
bool OpenRightOfList(HWND wnd);
void OpenFromList(HWND wnd);

// The list context menu of list at the screen point (x, y); (-1, -1) when it
// was asked for from the keyboard. Its choice is sent as a command on list
// and the row under the point (the focused row from the keyboard).
void ShowListMenu(HWND list, int x, int y);
// The list context menu itself (the caller destroys it); "張り付け(&P)" is
// greyed unless the clipboard holds files.
HMENU BuildListMenu(void);
// Where a keyboard-invoked menu opens: the horizontal middle of the window
// and the vertical middle of the focused row (screen coordinates).
POINT KeyboardMenuPoint(HWND list);

// Moves the focus into a list with items: the selected row when it is shown,
// else the nearest shown one, focused and scrolled into view (Down in the edit
// box). False when list has no rows.
bool EnterListWithFocus(HWND list);
