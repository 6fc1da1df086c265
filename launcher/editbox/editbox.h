// editbox.h - the command edit box: creation, placement, text access, the
// path icon at its left edge.
#pragma once
#include <windows.h>
#include <stddef.h>

// EDIT_TEXT_MAX is the size of every buffer the edit text is read into: the box
// holds at most EDIT_TEXT_MAX - 1 bytes (260), whatever is typed, pasted or set.
enum { EDIT_TEXT_MAX = 261, ID_TIMER_CLOCK = 1001 };

// Where the edit box stands in a double-byte character typed as two WM_CHAR.
enum { EDIT_TRAIL_NONE = 0, EDIT_TRAIL_ADMIT = 1, EDIT_TRAIL_DROP = 2 };

// Size of the path icon square at the edit box's top-left corner.
enum { PATH_ICON_SIZE = 16 };

struct EditBoxState {
    HWND wnd;
    HFONT font;
    HWND iconWnd;  // path icon (setting icon 1), or null
    int dragMode;  // 0 none, 1 move, 2 right edge, 3 left edge
    bool iconDragArmed;
    bool clockRunning;
    HICON iconImage;        // picture shown by the path icon, owned here
    bool iconIsDefault;     // iconImage is the default picture (resource 135)
    int trailState;         // EDIT_TRAIL_*: what happens to the next WM_CHAR byte
    unsigned refusedEdits;  // texts and characters refused for want of room
};
extern EditBoxState EditBox;

// Creates, places and subclasses the edit box (and its path icon when the
// setting icon is 1); null when the window could not be created.
HWND CreateEditBox(HWND owner);
// True when text fits into the box whole (at most EDIT_TEXT_MAX - 1 bytes).
bool EditTextFits(const char* text);
// Puts text into the box with the caret after its last character. A text that
// does not fit is refused, never cut (a cut path names another file): a beep,
// the box keeps what it held, and the result is false.
bool SetEditText(const char* text);
// Hands a path to the box as the program's text: completion leaves it alone
// and the path icon shows what it names (rooted at the start folder). With
// fitWidth the box's width follows the path as it follows typed text
// (autoresize); without it the width stays. False when the box cannot hold
// the path (refused as SetEditText refuses).
bool TakePathIntoBox(const char* path, bool fitWidth);
void ClearEditBox(void);  // focus the box, empty text
void FocusEditBox(void);  // focus the box, text kept
void PlaceEditBox(void);
void FitEditWidth(const char* text);
void RestoreEditWidth(void);
void RecreateEditFont(void);
void SetEditMargins(int left);  // right margin is always ftsize / 2
void RestyleEditBox(void);
void UnsubclassEditBox(void);
void RedrawEditFrame(void);
// Reads the text with '/' turned into '\'; returns its length. A buffer of
// EDIT_TEXT_MAX bytes takes the whole text; a smaller one gets the text cut
// at a character boundary.
int ReadEditText(char* buf, size_t size);

// Placement values: the command-line overrides when given, else the settings.
int EditBoxLeft(void);
int EditBoxTop(void);
// Asks the main window to close (the program ends through Shutdown). Posted, so
// the edit box is never destroyed inside one of its own messages.
void RequestExit(void);
// Selects the current selection again, so the control repaints it.
void ReapplyEditSelection(HWND wnd);

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
