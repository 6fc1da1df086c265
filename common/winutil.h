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

// Subclassing, one way for every window of both programs: the procedure a
// window had is kept in the program's table (64 windows at a time), messages
// the new procedure does not take go on to it through CallSavedProc, and
// RestoreWindowProc puts it back.
// Replaces window's procedure by proc and returns the one it had; null (and
// nothing changed) for a null window or procedure, a window already replaced
// this way, a full table, or a failed replacement.
WNDPROC ReplaceWindowProc(HWND window, WNDPROC proc);
// The procedure ReplaceWindowProc kept for window; null when none is kept.
WNDPROC SavedWindowProc(HWND window);
// Passes a message on to the kept procedure. When none is kept (put back while
// the message ran, or never replaced) it goes to the window's own procedure,
// and to DefWindowProc once the window is gone. At WM_NCDESTROY the kept
// procedure is put back and forgotten once it has run.
LRESULT CallSavedProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam);
// Puts the kept procedure back and forgets it; nothing when none is kept.
void RestoreWindowProc(HWND window);
