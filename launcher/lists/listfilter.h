// listfilter.h - the decisions of the list filters: which items the typed text
// keeps and in which rows they appear, and where the folder list hangs.
// Pure (no windows.h): the list windows apply the results.
#pragma once
#include "../../common/listitem.h"
#include "../../common/widematcher.h"

// Rows shown after a filter and the longest of their texts (bytes).
struct FilterResult {
    int32_t shown;
    int32_t longest;
};

// The item-list filter over the typed text. Empty (or null) text: every item gets
// viewIndex = its position. Otherwise one trailing ":" is dropped, the text is
// case-folded and split at ":" into terms; an item is shown when every term
// occurs in its case-folded path (an empty term matches everything; ItemWide
// items go to wide when it is given, with the folded term and folded path).
// With wide, each term's plain hits still come from one scan of the folded
// names, and the texts wide sees are the folded copy the array keeps: a pass
// does no work per name that the typed text does not ask for.
// Shown items get viewIndex 0, 1, 2... in array order, the others -1.
FilterResult FilterItemsByText(ItemArray* array, const char* text, const WideMatcher* wide);

// Results of FilterFolderItems besides the longest shown length (>= 0).
enum {
    FOLDER_NO_MATCH = -1,    // no items, nothing matches, or out of memory
    FOLDER_ONE_COLON = -2,   // inputmode 0, text ends in one ":" (not a filter)
    FOLDER_TWO_COLONS = -3,  // inputmode 0, text ends in "::"
};

// The folder-list filter. inputmode 0: the text is split at ":" into terms that
// must all occur anywhere in the name; inputmode 1: the whole text must begin
// the name. Both sides case-folded; ItemWide names go to wide (raw term, raw
// name) when it is given. Empty text, or text ending in a separator, shows all
// items. On a match viewIndex is renumbered and *shown (when given) receives the
// number of rows; on FOLDER_NO_MATCH and the colon results no item is changed.
int32_t FilterFolderItems(ItemArray* array, const char* text, int inputmode,
                          const WideMatcher* wide, int32_t* shown);

// Where the folder list hangs for the typed text: returns the byte index whose x
// position is the anchor (the caller asks the edit box for it), or -1 for empty
// text; *folderLen (when given) receives the length of the folder part. A text
// ending in a separator: its last byte and the whole length. Otherwise the last
// separator before the last character; when there is none, or it is the first
// byte, the index and length are those of the text without its last character.
int32_t FolderAnchorIndex(const char* text, int32_t* folderLen);

// Counts the items with viewIndex >= 0 and the longest of their texts.
FilterResult CountShownItems(const ItemArray* array);
