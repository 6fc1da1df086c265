// tools.h - the companion program tools.exe: what its parts share.
//
// vorn starts it with "/r" (rename) or "/e" (delete). It answers with the
// registered message "WM_TOOLSMSG" (its own window in wParam, its version in
// lParam) to every vorn main window (the message-only windows of the classes
// "vorn_class" and "vorn_fisson": several may run, and only the one that
// started this program takes the answer), takes the paths from a WM_COPYDATA
// record (1000 rename, 1001 delete; quoted paths separated by blanks; the
// sending vorn's window in wParam), does the work with its own dialogs, tells
// that vorn it is done with "WM_TOOLSMSG" again and ends by closing its window.
#pragma once
#include <windows.h>

struct ToolsState {
    HINSTANCE instance;
    HWND wnd;       // the hidden window vorn talks to and the owner of the dialogs
    int mode;       // TOOL_RECORD_RENAME or TOOL_RECORD_DELETE, from the switch
    bool received;  // the record came
    char* list;     // its paths as a file list (MemAlloc)
    int count;
    HWND vorn;      // the window of the vorn that sent the record
    UINT toolsMsg;  // the registered "WM_TOOLSMSG"
};
extern ToolsState Tools;

// The message box of the program (title "tools", exclamation icon).
void ToolsMessage(const char* text);

// rename.cpp: one dialog per path; the number renamed.
int RenameAll(HWND owner, const char* list);
// delete.cpp: one confirmation for all, then to the Recycle Bin; true when
// the shell's operation ran to its end.
bool DeleteAll(HWND owner, const char* list, int count);
