// editmenu.h - the context menu of the command edit box: text commands in a
// submenu, file commands for the path the box names, the shell's own menu,
// Reload and Exit.
#pragma once
#include <windows.h>

// The menu for the edit box's present text, selection and clipboard (the
// caller destroys it; its text submenu goes with it).
HMENU BuildEditMenu(HWND edit);
// Shows the menu at the screen point of WM_CONTEXTMENU (-1, -1 from the
// keyboard: the centre of the box) and sends the choice as a command on the
// box. The items' ids are the menu ids of their commands (commandids.h).
void ShowEditMenu(HWND edit, LPARAM point);
// The edit box procedure's handler of WM_CONTEXTMENU and of the menu
// messages that the shell's menu needs while it is shown.
LRESULT OnEditMenuMessage(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam);
