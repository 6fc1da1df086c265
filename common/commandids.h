// commandids.h - the one id space of the launcher's commands. The bindable
// commands keep the numbers of the key-binding file (0-23); the commands that
// only a menu or a window's own keys give follow from 24 on. A menu item's id
// is its command plus MENU_ID_BASE, so no item has the id 0 and a menu's
// answer maps straight back to its command. Pure: no windows.h.
#pragma once

enum CommandId {
    // Bindable: the numbers are those of "data\keymap".
    CMD_SCROLL_DOWN = 0, CMD_SCROLL_UP = 1, CMD_BUILTIN_LIST = 2, CMD_FAVORITES = 3,
    CMD_FAVORITES_NEXT = 4, CMD_EXPLORER_LIST = 5, CMD_HISTORY = 6, CMD_SEARCH_LIST = 7,
    CMD_TOGGLE_LISTS = 8, CMD_DIR_UP = 9, CMD_SHORTCUT_TARGET = 10, CMD_SELECT_ALL = 11,
    CMD_CLEAR = 12, CMD_COPY = 13, CMD_PASTE = 14, CMD_CUT = 15, CMD_UNDO = 16,
    CMD_FILE_COPY = 17, CMD_FILE_PASTE = 18, CMD_FILE_CUT = 19, CMD_REGAPP = 20,
    CMD_EXIT = 21, CMD_RENAME = 22, CMD_DELETE = 23,
    BINDABLE_COMMAND_COUNT = 24,

    // Menus only.
    CMD_OPEN = 24,            // the list menu's "open": take or open the selection
    CMD_TEXT_DELETE = 25,     // the edit menu's deletion of the selected text
    CMD_MAKE_SHORTCUT = 26,   // a shortcut beside each file of the target
    CMD_PROPERTIES = 27,      // the shell's properties of the target's file
    CMD_SHELL_MENU = 28,      // the shell's context menu of the target's files
    CMD_RELOAD = 29,          // build the program again from its data files
    CMD_SHOW = 30,            // bring the box back (the tray menu)
    // A registered application's key: the application id is the target's arg.
    CMD_RUN_REGAPP = 31,
    // The list windows' own keys.
    CMD_LIST_TAKE = 32,       // Enter, double-click: take or open the row
    CMD_LIST_BACK = 33,       // Esc, Backspace (and Left in a cascade level)
    CMD_LIST_TO_BOX = 34,     // Tab, Up on the folder list's first row
    CMD_LIST_RIGHT = 35,      // Right: a folder opens a cascade level, a file its preview
    // The preview's keys.
    CMD_PREVIEW_ACCEPT = 36,  // Enter
    CMD_PREVIEW_HIDE = 37,    // Esc, Left
    CMD_PREVIEW_SCROLL = 38,  // page and line keys: the scroll code is the target's arg
    COMMAND_ID_COUNT = 39,
};

enum { MENU_ID_BASE = 100 };

// The bindable commands are the only ones a key binding or another program
// (WM_APP+2 on the box) may name.
inline bool IsBindableCommand(int cmd) { return cmd >= 0 && cmd < BINDABLE_COMMAND_COUNT; }
inline bool IsCommandId(int cmd) { return cmd >= 0 && cmd < COMMAND_ID_COUNT; }

// The menu item id of a command, and back; -1 for what is neither.
inline int MenuIdOfCommand(int cmd) { return IsCommandId(cmd) ? cmd + MENU_ID_BASE : -1; }
inline int CommandOfMenuId(unsigned id) {
    return id >= MENU_ID_BASE && IsCommandId((int)(id - MENU_ID_BASE)) ? (int)(id - MENU_ID_BASE)
                                                                         : -1;
}
