// editbox.h - the command edit box: creation, placement, text access, the
// path icon at its left edge.
#pragma once
#include <windows.h>
#include <stddef.h>

enum { EDIT_TEXT_MAX = 261, ID_TIMER_CLOCK = 1001, ID_TIMER_REGAPPS = 1002 };

// Size of the path icon square at the edit box's top-left corner.
enum { PATH_ICON_SIZE = 16 };

struct EditBoxState {
    HWND wnd;
    WNDPROC oldProc;  // the EDIT class procedure, for forwarding
    HFONT font;
    HWND iconWnd;  // path icon (setting icon 1), or null
    int dragMode;  // 0 none, 1 move, 2 right edge, 3 left edge
    bool iconDragArmed;
    bool clockRunning;
    HICON iconImage;      // picture shown by the path icon, owned here
    bool iconIsDefault;   // iconImage is the default picture (resource 135)
    WNDPROC iconOldProc;  // the STATIC class procedure of the path icon
};
extern EditBoxState EditBox;

// Creates, places and subclasses the edit box (and its path icon when the
// setting icon is 1); null when the window could not be created.
HWND CreateEditBox(HWND owner);
void SetEditText(const char* text);  // caret after the last character
void ClearEditBox(void);             // focus the box, empty text
void FocusEditBox(void);             // focus the box, text kept
void PlaceEditBox(void);
void FitEditWidth(const char* text);
void RestoreEditWidth(void);
void RecreateEditFont(void);
void SetEditMargins(int left);  // right margin is always ftsize / 2
void RestyleEditBox(void);
void UnsubclassEditBox(void);
void RedrawEditFrame(void);
// Reads the text (at most size - 1 bytes) with '/' turned into '\'; returns its length.
int ReadEditText(char* buf, size_t size);
// Runs a text as Enter does (given text, or the edit text when null).
void RunEditText(const char* text);

// Placement values: the command-line overrides when given, else the settings.
int EditBoxLeft(void);
int EditBoxTop(void);
int EditBoxWidth(void);
int EditBoxHeight(void);

// Draws the two-pixel bevel of the box into dc for a window of w x h pixels
// (targetMode: the red frame of a captured target program).
void PaintEditFrame(HDC dc, int w, int h, bool targetMode);

// Path icon (editbox/pathicon.cpp); all of them do nothing unless icon is 1.
// Creates the 16x16 child at (0, 0) of the edit box: 16 (the margin it takes)
// or -1 when it was not created.
int CreatePathIconWindow(void);
void DestroyPathIconWindow(void);
// Shows the shell's small icon of path, or the default icon (resource 135)
// when path is null or names nothing that exists.
void SetPathIcon(const char* path);
// SetPathIcon for the edit text, made absolute with StartDir when it begins
// with a single separator.
void RefreshPathIcon(void);
// Shows (left margin 16) or hides (left margin 1) the path icon.
void ShowPathIcon(bool show);
