// goto.h - the commands that move the box to another path: the parent folder
// of its text, and the target of a shortcut.
#pragma once
#include <windows.h>

// Command "directory up": the parent folder of the box's text.
void DirectoryUp(void);
// Command "go to shortcut target": the target of a ".lnk" text of the box or
// of the first selected row of the list window wnd.
void GoToShortcutTarget(HWND wnd);
