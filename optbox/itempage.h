// itempage.h - what the two list-item pages ("Default(2)" and "Favorite(2)")
// share: one description per page and the handlers that work from it.
#pragma once
#include <windows.h>

#include "optbox/optbox.h"

// One list-item page: its file, its list and its buttons (0: the page has no
// such button).
struct ItemPageKind {
    int mode;         // LF_DEFAULT or LF_FAVORITES
    int dataFile;     // DF_DEFAULT or DF_FAVORITES
    int listId;
    int upId, downId, blankId, breakId, deleteId, addFileId, addFolderId;
    bool dropsFoldersOnly;
};

// The list control of a page.
HWND ItemList(HWND page, const ItemPageKind* kind);
// Columns, styles and drop acceptance; then the rows of the file.
void InitItemPage(HWND page, const ItemPageKind* kind);
// Stages the file's new text from the rows (written once every page has been
// collected); false (after a message, the row selected) when a row cannot be
// written as it stands.
bool CollectItemPage(HWND page, const ItemPageKind* kind);
// WM_COMMAND, WM_NOTIFY and WM_DROPFILES of a page; true when handled.
bool ItemPageCommand(HWND page, const ItemPageKind* kind, int id);
bool ItemPageNotify(HWND page, const ItemPageKind* kind, const NMHDR* header);
void ItemPageDrop(HWND page, const ItemPageKind* kind, HDROP drop);

// The filter dialog 147 over filter (filterSize bytes); true on OK.
bool EditFilter(HWND owner, char* filter, size_t filterSize);
