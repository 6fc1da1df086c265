// editmenu.h - the context menu of the command edit box: text commands in a
// submenu, file commands for the path the box names, the shell's own menu,
// Reload and Exit.
#pragma once
#include <windows.h>

enum EditMenuId {
    IDM_EDIT_UNDO = 2100,
    IDM_EDIT_CUT = 2101,
    IDM_EDIT_COPY = 2102,
    IDM_EDIT_PASTE = 2103,
    IDM_EDIT_DELETE = 2104,
    IDM_EDIT_SELECT_ALL = 2105,
    IDM_FILE_COPY = 2107,
    IDM_FILE_CUT = 2108,
    IDM_FILE_PASTE = 2109,
    IDM_FILE_SHORTCUT = 2110,
    IDM_FILE_DELETE = 2111,
    IDM_FILE_RENAME = 2112,
    IDM_FILE_PROPERTIES = 2113,
    IDM_SHELL_MENU = 2400,
};

// The menu for the edit box's present text, selection and clipboard (the
// caller destroys it; its text submenu goes with it).
HMENU BuildEditMenu(HWND edit);
// Shows the menu at the screen point of WM_CONTEXTMENU (-1, -1 from the
// keyboard: the centre of the box) and carries out the choice.
void ShowEditMenu(HWND edit, LPARAM point);
// Carries out a choice of the menu; point is where it was shown.
void RunEditMenuChoice(HWND edit, UINT id, POINT point);
// The edit box procedure's handler of WM_CONTEXTMENU and of the menu
// messages that the shell's menu needs while it is shown.
LRESULT OnEditMenuMessage(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam);
