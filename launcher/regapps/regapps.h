// regapps.h - registered applications of the launcher: the table loaded from
// "data\vorn_e.dat", its menu (command 20) and keys (WM_APP+3), the start of a
// program on the selection, and the hand-off of rename and delete to the
// companion program "tools.exe" with the watch that gives the launcher back
// when it is done. Other subsystems use only this header.
#pragma once
#include <windows.h>

#include "../../common/regapps.h"

// --- the table (regapps.cpp) -----------------------------------------------------

// Reads "data\vorn_e.dat" into RegAppTable (the previous table freed): 1 when
// at least one program with an existing path was read, else 0 (table empty).
int LoadRegApps(void);
// Frees the table and reads it again (reload).
int ReloadRegApps(void);
// Frees the table (shutdown).
void FreeRegAppTable(void);
// Start-up: the table is read a moment later by the timer ID_TIMER_REGAPPS of
// owner (the main window), so the box comes up at once; a command that needs
// it before then reads it itself.
void ScheduleRegAppsLoad(HWND owner);
// The timer ID_TIMER_REGAPPS of owner.
void OnRegAppsTimer(HWND owner);

// --- the selection ------------------------------------------------------------------

// The selection text of a window: for a list window the full paths of its
// selected rows that exist, for the edit box its text when that names an
// existing file or folder; each path quoted and followed by a blank. A heap
// block (MemAlloc) the caller frees, or null when there is nothing (or a path
// would not fit a path buffer: it is refused, never cut).
char* SelectionTextOf(HWND wnd);

// --- starting programs ---------------------------------------------------------------

// The menu of the entries (names of 1 to 99 bytes, "&" + name) at the edit
// box's lower-left corner, or at the mouse with showpos 1: the chosen index, or -1.
int ShowRegAppMenu(const RegApp* entries, int32_t count);
// Starts the entry on the selection text: 1 when the shell started it.
int LaunchRegApp(const RegApp* entry, const char* selection);
// Command 20: the menu for the selection of wnd (the box or a list window).
int RunRegAppMenu(HWND wnd);
// An application key: the program whose id is id, on the selection of wnd.
int RunRegAppById(HWND wnd, int32_t id);

// --- the hand-off to tools.exe (toolhandoff.cpp) --------------------------------------

// Modes of HandToTool: the record kinds of the companion.
enum { TOOL_MODE_RENAME = 1000, TOOL_MODE_DELETE = 1001 };
// Rename and delete of the selection of wnd (the box or a list window).
// 1 when the tool took the paths.
int HandToToolFrom(HWND wnd, int mode);
// While the Default list or the Favorites is shown: asks before an operation
// on a path that is one of its lines. True to go on.
bool ConfirmListedItems(const char* selection);
// The registered "WM_TOOLSMSG" reached the main window.
void OnToolsMessage(WPARAM wParam, LPARAM lParam);
// The main window's timer ID_TIMER_TOOLS_WATCH.
void OnToolWatch(HWND mainWnd);
// Shutdown: the watch ends.
void StopToolWatch(void);
