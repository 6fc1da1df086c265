// commands.h - the one route of every command: a bound key, a choice of the
// edit-box menu, the list menu or the tray menu, a list window's own keys and
// the preview's keys all name a command (commandids.h) and its target and
// call SendCommand. The main window runs it through the dispatcher
// (dispatch.cpp), the only place that tells the commands apart.
#pragma once
#include <windows.h>

#include "../editbox/editbox.h"
#include "../../common/commandids.h"

// Where a command came from, which is what it acts on.
enum CommandSource {
    CS_NONE = 0,     // no window of this program had the focus
    CS_BOX = 1,      // the command edit box
    CS_LIST = 2,     // a list window (item list, folder list, cascade level)
    CS_TRAY = 3,     // the tray icon's menu
    CS_PREVIEW = 4,  // the preview window or its text view
};

struct CommandTarget {
    int source;  // CS_*
    HWND wnd;    // the box, the list window or the preview's window that has the focus
    int row;     // CS_LIST: the row right-clicked or focused, -1 none
    POINT at;    // where a menu was shown (screen), for a menu the command opens
    int arg;     // CMD_RUN_REGAPP: application id; CMD_PREVIEW_SCROLL: scroll code
};

// The main window's message for a command: wParam the command id, lParam the
// CommandTarget of the SendCommand under way (any other lParam is refused).
enum { WM_RUN_COMMAND = WM_APP + 7 };

// Runs cmd on target (null: the window that has the focus) through the main
// window, synchronously, so the command sees the focus and the selection the
// user saw. Without a main window the dispatcher is called directly.
void SendCommand(int cmd, const CommandTarget* target);
// The target of the window that has the focus now.
CommandTarget FocusTarget(void);
// The target of one window of this program (the box, a list window with its
// focused row, the preview); CS_NONE for any other.
CommandTarget TargetOf(HWND wnd);
// The main window's handling of WM_RUN_COMMAND.
LRESULT OnRunCommandMessage(WPARAM wParam, LPARAM lParam);

// The dispatcher (dispatch.cpp): carries out cmd on target.
void RunCommand(int cmd, const CommandTarget* target);

// Runs a text as Enter does (given text, or the edit text when null): a
// search pattern in search input mode, a "#" built-in command, a ";"
// Default-list keyword, or else execution and the after-run rule.
void RunEditText(const char* text);
// A given text of RUN_TEXT_LIMIT bytes or more is not run.
enum { RUN_TEXT_LIMIT = EDIT_TEXT_MAX + 1 };

// The command-menu items (commandmenu.cpp) shared by the edit-box menu and
// the list menu: a text item whose id is the command's menu id, a separator,
// and the file block (cut, copy, paste, shortcut, delete, rename, properties)
// whose paste is greyed unless the clipboard holds files.
void AddCommandItem(HMENU menu, int cmd, const char* text, bool enabled);
void AddMenuSeparator(HMENU menu);
void AddFileCommandItems(HMENU menu);
// Shows menu at pt owned by owner, destroys it and sends the chosen item's
// command to target (its point set to pt); nothing when the menu was closed.
void TrackCommandMenu(HMENU menu, HWND owner, POINT pt, UINT flags, CommandTarget* target);
