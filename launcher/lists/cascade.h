// cascade.h - the cascade lists: further list windows that open to the right
// of a list, one level per folder, with that folder's entries.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "../../common/listitem.h"
#include "listselect.h"

// Levels are allocated this many at a time.
enum { CASCADE_LEVEL_STEP = 20 };

// One open level is a list window record (listwnd.h) with its opener and
// folder set.
struct ListWindow;
typedef ListWindow CascadeLevel;

struct CascadeState {
    CascadeLevel* levels;  // capacity records, count in use
    int count;
    int capacity;
    HFONT font;            // shared by every level window
    WNDPROC oldProc;       // list-view procedure of the levels (each keeps its own)
};
extern CascadeState Cascades;

// Subclass procedure of the cascade windows (list input).
LRESULT CALLBACK CascadeListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);

// Right on a folder item of the item list or the folder list: closes all
// levels and opens the first one for the selected folder.
void OpenCascade(HWND listWnd);
// Right on a folder item of a cascade window: the next level.
void OpenNextCascade(HWND cascadeWnd);
// Closes every level whatever is shown (shutdown and reload).
void DestroyCascades(void);
// Enter or double-click (openAll false), or the list menu's open item
// (openAll true) in a cascade window: one item becomes the edit text, several
// are run. Then all lists close.
void TakeCascadeItem(HWND cascadeWnd, bool openAll);
// Hides or shows every level window (the list toggle).
void ShowCascadeWindows(bool show);

// The level shown by wnd, or null when wnd is no cascade window.
CascadeLevel* CascadeLevelOf(HWND wnd);
// The last level's window, or null when none is open.
HWND LastCascadeWindow(void);
// Passes a message on to the list-view procedure of the cascade windows.
