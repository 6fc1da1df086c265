// winutil.h - small window routines shared by both programs (Win32 only).
#pragma once
#include <windows.h>

// Caret of an edit control after the last byte of text.
void EditCaretToEnd(HWND edit, const char* text);
// Inserts a list-view column.
void ListInsertColumn(HWND list, int width, const char* title, int index, int format);
// Number of selected items of a list view; 0 when the window is gone.
int ListCountSelected(HWND list);
void ListSelectAll(HWND list);
// True when window belongs to this process (a list, a menu, a message box of
// this program); false for null and for windows of other programs.
bool IsOwnWindow(HWND window);
// Brings window to the foreground even when another thread owns it.
void ForceForeground(HWND window);
// Executable path of the process that owns window; true when it fit in max bytes.
bool WindowProcessPath(HWND window, char* dst, size_t max);
// The error message box: title ErrorBoxTitle, exclamation icon.
void ErrorBox(HWND owner, const char* text);
// Title of ErrorBox: "vorn" unless the program sets its own at start-up.
extern const char* ErrorBoxTitle;
