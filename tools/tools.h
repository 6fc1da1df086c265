// tools.h - the companion program tools.exe: what its parts share.
//
// vorn starts it with "/r" (rename) or "/e" (delete). It finds vorn's
// message-only window (class "vorn_class"), answers with the registered
// message "WM_TOOLSMSG" (its own window in wParam, its version in lParam),
// takes the paths from a WM_COPYDATA record (1000 rename, 1001 delete; quoted
// paths separated by blanks), does the work with its own dialogs and ends by
// closing its window, which tells vorn it is done.
#pragma once
#include <windows.h>

struct ToolsState {
    HINSTANCE instance;
    HWND wnd;       // the hidden window vorn talks to and the owner of the dialogs
    int mode;       // TOOL_RECORD_RENAME or TOOL_RECORD_DELETE, from the switch
    bool received;  // the record came
    char* list;     // its paths as a file list (MemAlloc)
    int count;
};
extern ToolsState Tools;

// The message box of the program (title "tools", exclamation icon).
void ToolsMessage(const char* text);

// rename.cpp: one dialog per path; the number renamed.
int RenameAll(HWND owner, const char* list);
// delete.cpp: one confirmation for all, then to the Recycle Bin; true when
// the shell's operation ran to its end.
bool DeleteAll(HWND owner, const char* list, int count);
