// explorer.h - the Explorer-window list: the folders the open Explorer
// windows show, in the item list (kind 4), the retry after a failed
// enumeration, and closing Explorer windows ("AllCloseExp", "SingleExp").
// The windows come from an ExplorerSource: the shell's window collection, or
// a stand-in a test sets.
#pragma once
#include <windows.h>
#include <stdint.h>

#include "../../common/listitem.h"

// What an enumeration of the window collection gave.
enum ExplorerEnumResult {
    EE_FAILED = 0,       // the collection could not be created, run or read
    EE_DONE = 1,         // every window was visited (or a visit stopped it)
    EE_UNSUPPORTED = 2,  // the shell has a collection but cannot list it
};

// One window of the collection: its handle and its location URL in code page
// 932 (NUL-terminated). False stops the enumeration.
typedef bool (*ExplorerVisit)(void* ctx, HWND window, const char* url);

struct ExplorerSource {
    // Visits every window of the collection in its order; windows without a
    // browser object, without a location or whose location has no code page
    // 932 form or no room in a URL buffer are not visited.
    int (*enumerate)(ExplorerVisit visit, void* ctx);
};
// The shell's window collection (CLSID_ShellWindows through COM).
extern const ExplorerSource ShellExplorerSource;

// Longest location URL taken (bytes with the NUL); a longer one is left out.
enum { EXPLORER_URL_SIZE = 2048 };

// The Explorer list's state (one record, this module's).
struct ExplorerState {
    uint32_t retry;                 // failures in a row (low 16 bits), asked bit
    ItemArray found;                // what the last enumeration found
    const ExplorerSource* source;   // where windows come from
    // The message boxes of the list (error, question, closing message): text,
    // owner, MB_ type bits; the answer (IDYES, IDNO, IDOK).
    int (*messageBox)(HWND owner, const char* text, UINT type);
    bool busy;                      // an enumeration or a closing runs
    bool asking;                    // the retry question is on screen
};
extern ExplorerState Explorer;

// The bound command "List-Exp表示": shows the Explorer list under the edit box,
// or hides it when it is on show (the box gets its text back).
void ToggleExplorerList(HWND editBox);
// Collects the Explorer windows into Explorer.found; true on success
// (also with no window). Sets SF_EXPLORER_PENDING while it runs.
bool EnumerateExplorers(HWND owner);
// EnumerateExplorers with the wait cursor; on failure the retry rule (timer
// ID_TIMER_EXPLORER_RETRY of mainWnd, one question, then the closing message
// and a close request to mainWnd). True on success.
bool EnumerateWithRetry(HWND mainWnd);
// The main window's retry timer fired (timer stopped, flag cleared first).
void OnExplorerRetry(HWND mainWnd);
// "AllCloseExp": closes every Explorer window, politely.
void CloseAllExplorers(void);
// "SingleExp": closes every Explorer window whose folder a later one shows too.
void CloseDuplicateExplorers(void);
// Asks one Explorer window to close (ClosePolitely), waiting limitMs at most;
// windows of this thread are never closed this way.
void CloseExplorerWindow(HWND window, DWORD limitMs);
// Shutdown: frees what the last enumeration found.
void FreeExplorerList(void);
