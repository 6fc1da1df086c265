// shellext.h - the shell integration of vorn: files on the clipboard and
// their paste through the shell's file operation, shortcut files, the
// shell's own context menu and properties sheet, and polite closing of
// another program's window. The callers name a window (the edit box or a
// list window) or a path; the files of a list come from listselect.h.
#pragma once
#include <windows.h>
#include <shellapi.h>
#include <shtypes.h>
#include <stddef.h>

// The shell's folder object (shobjidl.h). The full shell headers stay out of
// this one: they declare a class named like the application shell's record.
struct IShellFolder;

#include "shellrules.h"

// --- the files of a window (windowfiles.cpp) -----------------------------------

// What WindowFiles takes.
enum {
    WF_BOX_EXISTING = 1,   // the box's path only when it exists
    WF_ROWS_EXISTING = 2,  // a list's rows only when they exist
    WF_FOCUSED_ITEM = 4,   // the item list gives its focused row, not its selection
};
// The files a window stands for, as a file list of rooted paths (MemAlloc;
// caller frees): the path typed in the edit box, or the selected rows of a
// list window, in list order. Rows whose rooted path does not fit are left
// out. Null, *count 0, for any other window and when no file remains.
char* WindowFiles(HWND wnd, int flags, int* count);

// --- files on the clipboard (clipfiles.cpp) ------------------------------------

// Puts the files of a window on the clipboard (mode CLIP_CUT or CLIP_COPY):
// the selected rows of a list window, or the existing path of the edit box.
// True when the clipboard was set.
bool PutWindowFilesOnClipboard(HWND wnd, int mode);
// Puts a file list on the clipboard in a CF_HDROP block of blockSize bytes
// with the "Preferred DropEffect" of mode. True when the clipboard was set;
// on any failure it keeps what it held.
bool PutFileListOnClipboard(const char* list, size_t blockSize, int mode);
// True when the clipboard holds files (CF_HDROP).
bool ClipboardHasFiles(void);
// Copies or moves the clipboard's files into the existing folder destination
// (rooted first) through the shell's file operation. True when it ran.
bool PasteFiles(const char* destination);
// PasteFiles into the first of the files of a window (WindowFiles): the
// folder typed in the edit box, or a list's first selected row.
bool PasteIntoWindow(HWND wnd);
// The file list (MemAlloc; caller frees) of a CF_HDROP handle; paths that do
// not fit a path buffer are left out. Null when no path remains, and for a
// block whose list offset or closing NULs lie outside it (DropBlockIsSound).
char* CollectDroppedFiles(HDROP drop);
// The copy or move step of a drop: action TRANSFER_COPY or TRANSFER_MOVE
// into the folder target; a target ending in ".exe" is started on the files
// instead.
bool TransferToFolder(const char* list, int action, const char* target);
// Starts program with the files of list as its arguments, in the program's
// folder. True when the shell started it.
bool OpenFilesWithProgram(const char* program, const char* list);
// The shell's file operation behind paste and drops (SHFileOperationA; a test
// puts a stand-in in its place).
extern int(WINAPI* FileOperationCall)(SHFILEOPSTRUCTA*);

// --- shortcuts (shortcut.cpp) -----------------------------------------------------

// Creates the shortcut file link pointing at target; description, arguments
// and folder are set when not null, showCommand when not 0. True when saved.
bool CreateShortcut(const char* target, const char* link, const char* description,
                    const char* arguments, const char* folder, int showCommand);
// A shortcut beside each file of the window (the edit box's path or the
// selected rows of a list); the number made.
int MakeShortcutsFor(HWND wnd);
// A shortcut in folder for each file of list; the number made.
int MakeShortcutsInFolder(const char* list, const char* folder);
// Writes the target of the shortcut file link into out (size bytes) when the
// link loads and its target fits; otherwise out keeps what the caller put
// there. True when written.
bool ResolveShortcut(const char* link, char* out, size_t size);
// Asks a window of another program to close, and waits for it briefly, never
// longer than limitMs in all. A window that hangs, or does not answer within
// a second, is left alone.
void ClosePolitely(HWND window, DWORD limitMs);
// Waits up to 200 ms for window to be destroyed.
void WaitWindowGone(HWND window);

// --- the shell's context menu and properties (shellmenu.cpp) ----------------------

// The shell's context menu for the items of a window (the edit box or a list
// window) at the screen point (x, y); both 0: the centre of the edit box.
bool ShowShellMenuOf(HWND wnd, int x, int y);
// Shows the menu of the items (children of folder) owned by owner at point
// and runs the chosen command; true when one was chosen and ran.
bool TrackShellMenu(HWND owner, IShellFolder* folder, LPCITEMIDLIST* items, UINT count,
                    POINT point);
// The folder object of a folder path ("" is the desktop); the caller
// releases it. Null when it cannot be had.
IShellFolder* ParentFolderOf(const char* path);
// The active shell menu's answer to a menu message (WM_INITMENUPOPUP,
// WM_DRAWITEM, WM_MEASUREITEM), or -1 when no shell menu is active.
LRESULT ForwardShellMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam);
// Its answer to WM_MENUCHAR, or -1 when it cannot answer.
LRESULT ForwardShellMenuChar(UINT msg, WPARAM wParam, LPARAM lParam);
// The shell's properties of path, owned by owner; true when accepted.
bool ShowProperties(HWND owner, const char* path);
// The call that asks the shell for the sheet (ShellExecuteExA; a test puts a
// recorder in its place).
extern BOOL(WINAPI* PropertiesCall)(SHELLEXECUTEINFOA*);
// Properties of the edit box's path or of the first selected row of a list.
bool ShowPropertiesOf(HWND wnd);
