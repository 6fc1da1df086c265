// listeditrules.h - the rules behind the settings program's list-item pages, its
// registered-applications page and its key page: rows <-> list-file lines, the
// selection after a deletion, the id and name rules of applications, the fields
// taken from a chosen program, and the composition of a captured key.
//
// Pure: no windows.h. The pages read and write their controls; these functions
// decide what the controls' contents mean.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "common/listfile.h"

// ---------------------------------------------------------------------------
// List-item pages ("Default(2)", "Favorite(2)")

// Longest row text and filter text a page keeps (the NUL included). Longer
// texts are refused, never cut.
enum { ITEM_ROW_SIZE = 314, ITEM_FILTER_SIZE = 261 };
// Longest path a row may hold as a file or folder.
enum { ITEM_PATH_MAX = 260 };

// Texts of the special rows.
extern const char RowBlankText[];       // "<BLANK>"
extern const char RowNextPageText[];    // "<NEXT PAGE>" (Favorites)
extern const char RowSeparationText[];  // "<SEPARATION>" (Default)
// The break row of a page of mode (LF_DEFAULT or LF_FAVORITES).
const char* BreakRowText(int mode);

// One row as a page shows it: the path column (or a special text), the filter
// column (Favorites only; empty otherwise) and the check box.
struct ItemRow {
    char text[ITEM_ROW_SIZE];
    char filter[ITEM_FILTER_SIZE];
    int32_t checked;
};

// Rows read from a list file: a heap array (MemAlloc) and its count.
struct ItemRows {
    ItemRow* rows;
    int32_t count;
    int32_t dropped;  // lines left out (missing path, unclosed quote, too long)
};

// Existence tests of the dialog (true when the path names an existing file or
// folder / an existing folder).
struct ItemPathTests {
    bool (*exists)(void* ctx, const char* path);
    bool (*isFolder)(void* ctx, const char* path);
    void* ctx;
};

// The dialog's reading of a list file (text NUL-terminated, cut in place): every
// line in file order; a line holding ">" becomes the break row, an empty line
// "<BLANK>", a "-" line a checked row of its folder (its pattern part in the
// filter column without quotes), any other line a row of itself. A path that
// does not exist now (a drive not mounted, a folder on a stick) stays a row:
// saving the page must not lose it. Lines with an unclosed quote and lines
// whose path or pattern part would not fit a row are left out and counted in
// dropped (the caller keeps the file's backup before it is rewritten).
// Returns 1, or 0 when memory runs out (rows then empty).
int ReadItemRows(char* text, int mode, ItemRows* out);
void FreeItemRows(ItemRows* rows);

// Why a row cannot be written.
enum RowLineResult {
    ROW_LINE_OK = 0,
    ROW_LINE_TOO_LONG = -1,  // the line would be longer than LIST_LINE_MAX bytes
    ROW_LINE_BAD_TEXT = -2,  // a CR or LF, or a ">" that would end the list, in a path
    ROW_LINE_BAD_FILTER = -3,  // a quote, CR or LF in the filter
};

// Turns one row into the line the writer writes (strings point into row):
// "<BLANK>" an empty line, the break row ">", a checked row "-" + path (with the
// filter on a Favorites page when it is not empty), any other row the path.
// Returns ROW_LINE_OK, or a negative RowLineResult; a line that would be cut or
// changed by the writer is refused rather than written differently.
int RowToLine(const ItemRow* row, int mode, ListLine* line);

// The position to select after deleting rows: lastPos is the position of the
// last deleted row at the time it was deleted (rows are deleted from the top, so
// later ones move up), deleted the number of rows deleted, rowsLeft the number of
// rows now. The last deleted row's position, or, when that equals rowsLeft, that
// position moved back by deleted, kept within the rows; -1 when none are left.
int32_t SelectAfterDelete(int32_t lastPos, int32_t deleted, int32_t rowsLeft);

// Whether a row's check box may stay on: only for an existing folder (a leading
// "-" of the text ignored). isFolder as in ItemPathTests.
bool RowMayExpand(const char* text, const ItemPathTests* tests);

// Where a new row goes: at the selected position (-1 none) or at the end.
int32_t InsertPosition(int32_t selected, int32_t count);

// ---------------------------------------------------------------------------
// Registered applications

// The smallest id of 1000 or above that none of ids[0..count) holds and no
// application key binding (AppBindings) holds; -1 when every id up to the
// file's limit is taken.
int32_t SmallestFreeAppId(const int32_t* ids, int32_t count);

// Whether name equals (byte comparison) one of names[0..count) other than the
// one at index skip (-1: compare with all).
bool AppNameTaken(const char* const* names, int32_t count, const char* name, int32_t skip);

// The name and working folder of a chosen or dropped program: name = its last
// component cut at its last ".", folder = the path cut at its last separator.
// Returns 1, or 0 (outputs empty) when path is empty, longer than ITEM_PATH_MAX
// or a result would not fit.
int AppFieldsFromPath(const char* path, char* name, size_t nameSize, char* folder,
                      size_t folderSize);

// Checks the four texts of the entry dialog before they are taken.
enum AppEntryResult {
    APP_ENTRY_OK = 0,
    APP_ENTRY_NO_PATH = 1,    // path empty or not an existing file or folder
    APP_ENTRY_NAME_TAKEN = 2, // another row has the name
    APP_ENTRY_TOO_LONG = 3,   // a text is longer than 260 bytes
    APP_ENTRY_BAD_TEXT = 4,   // a text would not read back from the file as it is
};
// pathExists tells whether the path exists; names of the other rows as in
// AppNameTaken. Which field failed goes into *field (0 name, 1 path, 2 arg,
// 3 folder) when field is not null.
int CheckAppEntryTexts(const char* name, const char* path, const char* arg, const char* folder,
                       bool pathExists, const char* const* names, int32_t count, int32_t skip,
                       int32_t* field);

// ---------------------------------------------------------------------------
// Key page

// Whether virtualKey is one of F1-F24.
bool IsFunctionKey(uint32_t virtualKey);

// What a key press in the capture edit means.
enum CaptureKind {
    CAPTURE_IGNORED = 0,     // a modifier key, or a key without a name: nothing shown
    CAPTURE_FREE = 1,        // free key: the message shows the row's command name
    CAPTURE_BOUND = 2,       // the key is taken by holderId
    CAPTURE_NEED_MODIFIER = 3,  // no modifier and not F1-F24
};
struct CaptureResult {
    int32_t kind;          // CaptureKind
    uint32_t pendingKey;   // the composed key (0 for CAPTURE_IGNORED)
    int32_t holderId;      // CAPTURE_BOUND: the id holding the key
    bool enableChange;
    bool enableAdd;
};
// Composes the key of a press of virtualKey with the modifier bits (KEY_ALT,
// KEY_CTRL, KEY_SHIFT) of the check boxes, for the selected row's key rowKey,
// and looks it up in the binding lists (FindBindingByKey).
CaptureResult ComposeCapture(uint32_t virtualKey, uint32_t modifiers, uint32_t rowKey);

// Whether a click on a modifier check box stands: false when the key in play
// (pending, or else the row's) is not F1-F24 and no modifier would stay checked.
bool ModifierClickStands(uint32_t keyInPlay, uint32_t modifiersAfter);

// Message texts of the key page.
// "%s - %s は\r\n%s に割り当て済み": selected command, key text, holder name.
void FormatBoundMessage(const char* rowName, uint32_t key, const char* holderName, char* out,
                        size_t outSize);
extern const char NeedModifierMessage[];  // "Alt,Ctrl,Shiftと組み合わせてください"

// Gives every application of the list (ids[0..count)) that has no binding one
// without a key, so it is listed with "(NONE)". Bindings of ids that are not in
// the list are left as they are: they go only when the user deletes their
// application. Returns 0 when a binding could not be added (memory).
int SyncAppBindings(const int32_t* ids, int32_t count);

// ---------------------------------------------------------------------------
// Files that could not be read

// The message for a data file (DF_SETTINGS, DF_KEYMAP, DF_DEFAULT, DF_FAVORITES
// or DF_APPS, common/datafile.h) that is there but could not be read: its path
// and what is not saved for that reason. 1 written; 0 (out empty) for another
// file or when out is too small.
int FormatUnreadableMessage(int dataFileId, const char* path, char* out, size_t outSize);
