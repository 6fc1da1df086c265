// optbox.h - the frame of the settings program and what its pages share: the
// page table, the page interface, and small helpers for fields and choosers.
#pragma once
#include <windows.h>

#include <stddef.h>
#include <stdint.h>

// (Each page is made with its dialog id as the WM_INITDIALOG parameter.)
// one page = a modeless child dialog: its procedure, its initialisation from the
// record on first show, its collection at OK (false: a message was shown, stay open)
typedef void (*PageInitFn)(HWND page);
typedef bool (*PageCollectFn)(HWND page);
struct PageEntry { const char* treeText; int level; int index; int dialogId; DLGPROC proc; PageInitFn init; PageCollectFn collect; };

// Page indexes (the index column of the page table).
enum PageIndex {
    PAGE_LIST = 0, PAGE_COMMON1 = 1, PAGE_COMMON2 = 2, PAGE_EDIT = 3, PAGE_APPS = 4, PAGE_KEYS = 5,
    PAGE_DEF_ITEMS = 6, PAGE_FAV_ITEMS = 7, PAGE_PREVIEW = 8, PAGE_LIST_PATH = 9, PAGE_LIST_EXP = 10,
    PAGE_LIST_HIS = 11, PAGE_LIST_DEF = 12, PAGE_LIST_FAV = 13, PAGE_LIST_SEARCH = 14,
    PAGE_COUNT = 15
};

// The fifteen rows in tree order (level 0 root, 1 child of the last root).
extern const PageEntry PageTable[PAGE_COUNT];

// Sent to the dialog after its initialisation: the focus goes to the tree.
enum { WM_OPT_FOCUS_TREE = WM_APP };

// Frame (frame.cpp).
INT_PTR CALLBACK SettingsDialogProc(HWND, UINT, WPARAM, LPARAM);
INT_PTR CALLBACK VersionBoxProc(HWND, UINT, WPARAM, LPARAM);
// The window of the page with that index, or null when it was not made.
HWND PageWindow(int index);

// Messages of the program: caption "Optbox", exclamation icon.
void OptMessage(HWND owner, const char* text);

// Number and path fields (pagefields.cpp).
void SetNumberField(HWND page, int id, int32_t value);
int32_t GetNumberField(HWND page, int id, int kind);   // kind: NF_SIGNED / NF_COUNT
// Appends column index (title, width in pixels) to a report-view list.
void AddListColumn(HWND list, int index, const char* title, int width);
// An up-down control over its buddy edit with a range.
void SetSpinRange(HWND page, int spinId, int low, int high);
// Reads a path field into dst (PATH_FIELD_MAX + 1 bytes); false, after a
// message naming the field, when the text is too long to be a path.
bool GetPathField(HWND page, int id, char* dst, size_t dstSize, const char* label);
void SetCheck(HWND page, int id, bool on);
bool IsChecked(HWND page, int id);

// Choosers (choosers.cpp).
enum { COLOR_CANCELLED = 0xFF000000u };
// The colour dialog with the current colour and one of two custom-colour sets.
enum CustomColorSet { CUSTOM_LISTS = 0, CUSTOM_PREVIEW = 1 };
uint32_t ChooseColorFor(HWND owner, uint32_t current, int customSet);
void ResetCustomColors(int customSet);
// The folder browser starting at start (may be empty); the chosen path into
// dst (MAX_PATH bytes). False when cancelled or no file-system folder.
bool ChooseFolder(HWND owner, const char* title, const char* start, char* dst, size_t dstSize);
// The open-file dialog (OFN_FILEMUSTEXIST); dst (at least MAX_PATH + 1 bytes)
// is cleared first. filter is the usual double-NUL list.
bool ChooseFile(HWND owner, const char* title, const char* filter, const char* defExt,
                const char* initialDir, char* dst, size_t dstSize);
// Draws a colour swatch button: black frame, the colour inset by 2 pixels.
void DrawSwatch(const DRAWITEMSTRUCT* item, uint32_t color);
