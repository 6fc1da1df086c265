// builtin.h - the launcher's own "#" commands: the command table, how a typed
// "#..." text is split and matched, running it, and the built-in command list.
//
// The table, the splitting and the matching are pure (no windows.h) and inline
// here, so they are tested natively; running and the list live in builtin.cpp.
#pragma once
#include <stddef.h>
#include <string.h>

#include "../../common/strutil.h"

// The command table, in the order of the built-in command list.
enum BuiltinCommand {
    BI_ALL_CLOSE_EXP = 0,
    BI_EXIT,
    BI_FREE_HISTORY,
    BI_FREE_MIGEMO,
    BI_FREE_SEARCH,
    BI_HIDE,
    BI_MIGEMO_OFF,
    BI_MIGEMO_ON,
    BI_OPEN,
    BI_RELOAD_SETTING,
    BI_SAVE_SETTING,
    BI_SAVE_HISTORY,
    BI_OPTBOX,
    BI_SINGLE_EXP,
    BI_INTO_TRAY,
    BI_VER,
    BUILTIN_COUNT
};

inline const char* const BuiltinNames[BUILTIN_COUNT] = {
    "AllCloseExp", "Exit",          "FreeHistory", "FreeMigemo", "FreeSearch", "Hide",
    "MigemoOff",   "MigemoOn",      "Open",        "ReloadSetting", "SaveSetting",
    "SaveHistory", "Optbox",        "SingleExp",   "IntoTray",   "Ver",
};

// Control-panel applets started as "control <name>.cpl".
enum { CONTROL_PANEL_COUNT = 2 };
inline const char* const ControlPanelNames[CONTROL_PANEL_COUNT] = {"sysdm", "timedate"};

// Buffer size for each part of a split text (an edit text and its NUL).
enum { BUILTIN_TEXT_SIZE = 261 };

// What a "#..." text asks for.
enum BuiltinAction {
    BA_NOTHING = 0,   // not a "#" text, or a bare "#"
    BA_TABLE,         // a command of the table (index into BuiltinNames)
    BA_CONTROL_PANEL, // a control-panel applet (index into ControlPanelNames)
    BA_PROGRAM,       // a name for the shell: the command part after "#"
};

struct BuiltinRequest {
    BuiltinAction action;
    int index;                            // table or applet index, else -1
    char command[BUILTIN_TEXT_SIZE];      // everything before the first blank, "#" kept
    char args[BUILTIN_TEXT_SIZE];         // after the blank, leading blanks and tabs skipped
    bool hasArgs;                         // the text had a blank
};

// Splits text at its first blank into the command part and the argument part.
// A blank byte is never the trail byte of a double-byte character, so a plain
// byte scan is safe. False (both parts empty) when text is null or a part does
// not fit its buffer: a cut name or argument would run something else.
inline bool SplitBuiltinText(const char* text, BuiltinRequest* req) {
    req->command[0] = '\0';
    req->args[0] = '\0';
    req->hasArgs = false;
    if (!text) return false;
    const char* blank = strchr(text, ' ');
    size_t commandLen = blank ? (size_t)(blank - text) : strlen(text);
    if (commandLen >= sizeof req->command) return false;
    const char* args = "";
    if (blank) {
        args = blank + 1;
        while (*args == ' ' || *args == '\t') args++;
        if (strlen(args) >= sizeof req->args) return false;
    }
    memcpy(req->command, text, commandLen);
    req->command[commandLen] = '\0';
    CopyString(req->args, args, sizeof req->args);
    req->hasArgs = blank != nullptr;
    return true;
}

// True when lower (already lower-cased) equals name compared without case.
inline bool BuiltinNameIs(const char* lower, const char* name) {
    for (; *lower && *name; lower++, name++)
        if (*lower != (char)LowerAscii((unsigned char)*name)) return false;
    return *lower == '\0' && *name == '\0';
}

// Splits and classifies text: the command part, lower-cased, must be "#" and at
// least one more character; then it names a table command, else a
// control-panel applet, else (as typed) a program for the shell.
inline void ParseBuiltinText(const char* text, BuiltinRequest* req) {
    req->action = BA_NOTHING;
    req->index = -1;
    if (!SplitBuiltinText(text, req)) return;
    char lower[BUILTIN_TEXT_SIZE];
    MapCharsSjis(LowerAscii, req->command, lower, -1, sizeof lower);
    if (lower[0] != '#' || lower[1] == '\0') return;
    for (int i = 0; i < BUILTIN_COUNT; i++) {
        if (BuiltinNameIs(lower + 1, BuiltinNames[i])) {
            req->action = BA_TABLE;
            req->index = i;
            return;
        }
    }
    for (int i = 0; i < CONTROL_PANEL_COUNT; i++) {
        if (BuiltinNameIs(lower + 1, ControlPanelNames[i])) {
            req->action = BA_CONTROL_PANEL;
            req->index = i;
            return;
        }
    }
    req->action = BA_PROGRAM;
}

// Runs text (the edit text when null) as a "#" command.
void RunBuiltinCommand(const char* text);
// Fills the item list with the 16 commands and shows it below the edit box.
void ShowBuiltinList(void);
// Bindable command "List-組み込みコマンド表示": shows the built-in list, or hides it
// when it is already on show.
void ToggleBuiltinList(void);
