// search.h - the file search: search input mode ("folder|name" in the edit
// box), the synchronous walk of a folder tree, the results shown in the item
// list, and the kept results that can be shown again later.
#pragma once
#include <windows.h>
#include <stddef.h>

#include "../../common/listitem.h"

// Modes of one level of the walk: 0 the first level of a folder text without
// a final separator (the last name of the folder text selects sub-folders),
// 1 the first level of a folder text that ends with a separator, 2 deeper.
enum { SEARCH_MODE_NAMED = 0, SEARCH_MODE_FOLDER = 1, SEARCH_MODE_DEEP = 2 };

// The kept results of the last search and the folder they are relative to.
struct SearchState {
    ListItem* kept;  // heap copy of the result records, or null
    int32_t keptCount;
    int keptLongest;
    char* base;  // search folder (cut after its last separator), or null
};
extern SearchState Search;

// One walk: where the results go and what it found.
struct SearchWalk {
    ItemArray* results;    // appended to (growth rule of the item arrays)
    int longest;           // longest result text (bytes)
    int inputmode;         // 0: name of the folder text anywhere, 1: at the start
    const char* startDir;  // roots a pattern with one leading separator, or null
    bool aborted;          // Esc was held: every level returns
    bool full;             // the result array could not grow
};

// Walks folderText for entries matching pattern ("name*"): the first level in
// mode, then every sub-folder up to depth levels in all (below 1: no limit).
// Result texts are relative to the folder text's folder part. Returns the
// number of results.
int WalkSearchTree(SearchWalk* walk, const char* folderText, const char* pattern, int mode,
                   int depth);

// "|" typed: false when search input mode is already on; otherwise the folder
// list and cascade lists close, SF_SEARCH_INPUT is set, true.
bool EnterSearchMode(void);
// A key press in search input mode: the mode ends once the text holds no "|".
void CheckSearchMode(HWND editBox);
// Enter in search input mode: runs the search of "folder|name".
void StartSearch(HWND editBox, const char* text);
// "List-Search表示": shows the kept results (kind 8) or hides them.
void ToggleSearchResults(HWND editBox);
// Drops the kept results and the search folder.
void FreeSearchResults(void);
// The full path of a result of the search on show: the search folder (rooted
// at StartDir when it begins with one separator) + text; false (buf empty)
// when no search folder is recorded or the path does not fit.
bool SearchResultFullPath(const char* text, char* buf, size_t size);
// Copies the search folder; false (buf empty) when none is recorded or it
// does not fit.
bool SearchBaseOf(char* buf, size_t size);
