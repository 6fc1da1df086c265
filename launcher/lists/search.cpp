// search.cpp - the file search: search input mode, the walk of the folder
// tree, showing the results and keeping them for recall.
#include "search.h"

#include <string.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../editbox/editbox.h"
#include "../editbox/savedtext.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "cascade.h"
#include "folderlist.h"
#include "../../common/itemarray.h"
#include "listselect.h"
#include "listwnd.h"

SearchState Search;


// --- the walk ------------------------------------------------------------------------------

// dst = a + b; false when it does not fit. dst may be a itself.
static bool Join(char* dst, size_t size, const char* a, const char* b) {
    size_t la = strlen(a), lb = strlen(b);
    if (la + lb >= size) return false;
    memmove(dst, a, la);
    memmove(dst + la, b, lb + 1);
    return true;
}

// dst = folder + "\" + name, without doubling a separator folder ends with.
static bool JoinPath(char* dst, size_t size, const char* folder, const char* name) {
    char tmp[PATH_WORK_SIZE];
    if (!Join(tmp, sizeof tmp, folder, (folder[0] && EndsWithSeparatorSjis(folder)) ? "" : "\\"))
        return false;
    return Join(dst, size, tmp, name);
}

// The folder part of path (up to and with its last separator), or "".
static void FolderPartOf(const char* path, char* dst, size_t size) {
    if (CopyString(dst, path, size) != strlen(path) || !CutAfterLastSeparator(dst)) dst[0] = '\0';
}

// A pattern that begins with one separator is rooted at the start folder.
static bool MakeAbsolute(char* path, size_t size, const char* startDir) {
    if (!startDir || !IsSeparator(path[0]) || IsSeparator(path[1])) return true;
    char tmp[PATH_WORK_SIZE];
    if (!Join(tmp, sizeof tmp, startDir, path)) return false;
    return CopyString(path, tmp, size) == strlen(tmp);
}

// Enumeration with the cheapest information level the system offers (no
// short names) and large fetches; systems without them get the plain call.
static HANDLE FindFirst(const char* pattern, WIN32_FIND_DATAA* data) {
    HANDLE find = FindFirstFileExA(pattern, FindExInfoBasic, data, FindExSearchNameMatch, nullptr,
                                   FIND_FIRST_EX_LARGE_FETCH);
    if (find == INVALID_HANDLE_VALUE && GetLastError() == ERROR_INVALID_PARAMETER)
        find = FindFirstFileA(pattern, data);
    return find;
}

static void AddResult(SearchWalk* walk, const char* prefix, const WIN32_FIND_DATAA* data) {
    char text[LIST_ITEM_PATH_SIZE];
    // A relative path that does not fit an item is left out rather than cut
    // into the name of something else.
    if (!Join(text, sizeof text, prefix, data->cFileName)) return;
    uint32_t flags = (data->dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? ItemFolder : ItemFile;
    if (!AppendItem(walk->results, text, flags)) {
        walk->full = true;
        return;
    }
    int len = (int)strlen(text);
    if (len > walk->longest) walk->longest = len;
}

static void WalkLevel(SearchWalk* walk, const char* prefix, const char* base, const char* pattern,
                      int depth, int mode) {
    if (walk->aborted || walk->full || depth == 0) return;

    char match[PATH_WORK_SIZE];
    if (mode != SEARCH_MODE_NAMED) {
        if (!JoinPath(match, sizeof match, base, pattern)) return;
    } else if (walk->inputmode == 1) {
        if (!Join(match, sizeof match, base, "*")) return;
    } else {
        char folder[PATH_WORK_SIZE], name[PATH_WORK_SIZE];
        FolderPartOf(base, folder, sizeof folder);
        FileNamePart(base, name, sizeof name);
        if (!Join(match, sizeof match, folder, "*") || !Join(name, sizeof name, name, "*")) return;
        char tmp[PATH_WORK_SIZE];
        if (!Join(tmp, sizeof tmp, match, name)) return;
        CopyString(match, tmp, sizeof match);
    }
    if (!MakeAbsolute(match, sizeof match, walk->startDir)) return;

    WIN32_FIND_DATAA data;
    HANDLE find = FindFirst(match, &data);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (IsDotEntry(data.cFileName)) continue;
            AddResult(walk, prefix, &data);
        } while (!walk->full && FindNextFileA(find, &data));
        FindClose(find);
    }
    if (walk->full) return;

    char folders[PATH_WORK_SIZE];
    if (mode == SEARCH_MODE_DEEP) {
        if (!JoinPath(folders, sizeof folders, base, "*")) return;
    } else if (mode == SEARCH_MODE_FOLDER) {
        FolderPartOf(base, folders, sizeof folders);
        if (!Join(folders, sizeof folders, folders, "*")) return;
    } else {
        CopyString(folders, match, sizeof folders);
    }
    if (!MakeAbsolute(folders, sizeof folders, walk->startDir)) return;

    // Sub-folders live beside the matched entries.
    char parent[PATH_WORK_SIZE];
    FolderPartOf(match, parent, sizeof parent);
    find = FindFirst(folders, &data);
    if (find == INVALID_HANDLE_VALUE) return;
    int nextDepth = depth < 0 ? depth : depth - 1;
    do {
        if (!(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || IsDotEntry(data.cFileName))
            continue;
        char subPrefix[LIST_ITEM_PATH_SIZE];
        char subBase[PATH_WORK_SIZE];
        // Below a prefix that no longer fits an item nothing could be listed.
        if (Join(subPrefix, sizeof subPrefix, prefix, data.cFileName) &&
            Join(subPrefix, sizeof subPrefix, subPrefix, "\\") &&
            Join(subBase, sizeof subBase, parent, data.cFileName))
            WalkLevel(walk, subPrefix, subBase, pattern, nextDepth, SEARCH_MODE_DEEP);
        if (GetAsyncKeyState(VK_ESCAPE) & 0x8000) walk->aborted = true;
    } while (!walk->aborted && !walk->full && FindNextFileA(find, &data));
    FindClose(find);
}

int WalkSearchTree(SearchWalk* walk, const char* folderText, const char* pattern, int mode,
                   int depth) {
    if (!walk || !walk->results || !folderText || !pattern) return 0;
    walk->aborted = false;
    walk->full = false;
    int before = walk->results->count;
    WalkLevel(walk, "", folderText, pattern, depth < 1 ? -1 : depth, mode);
    return walk->results->count - before;
}

// --- kept results ------------------------------------------------------------------------

void FreeSearchResults(void) {
    MemFree(Search.kept);
    Search.kept = nullptr;
    Search.keptCount = 0;
    Search.keptLongest = 0;
    MemFree(Search.base);
    Search.base = nullptr;
}

bool SearchBaseOf(char* buf, size_t size) {
    if (!buf || !size) return false;
    buf[0] = '\0';
    if (!Search.base) return false;
    if (CopyString(buf, Search.base, size) != strlen(Search.base)) {
        buf[0] = '\0';
        return false;
    }
    return true;
}

// Copies the results into the kept store; nothing is kept when memory runs out.
static void KeepResults(const ItemArray* results, int longest) {
    MemFree(Search.kept);
    Search.kept = nullptr;
    Search.keptCount = 0;
    Search.keptLongest = 0;
    if (results->count <= 0) return;
    ListItem* copy = (ListItem*)MemAlloc(sizeof(ListItem) * (size_t)results->count);
    if (!copy) return;
    memcpy(copy, results->items, sizeof(ListItem) * (size_t)results->count);
    Search.kept = copy;
    Search.keptCount = results->count;
    Search.keptLongest = longest;
}

// --- search input mode and the search itself ---------------------------------------------------

bool EnterSearchMode(void) {
    if (AnyFlag(SF_SEARCH_INPUT)) return false;
    HideFolderList();
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    SetFlags(SF_SEARCH_INPUT);
    return true;
}

void CheckSearchMode(HWND editBox) {
    (void)editBox;
    char text[EDIT_TEXT_MAX];
    ReadEditText(text, sizeof text);
    if (!FindSubstringSjis(text, "|")) ClearFlags(SF_SEARCH_INPUT);
}

bool SearchResultFullPath(const char* text, char* buf, size_t size) {
    if (!buf || !size) return false;
    buf[0] = '\0';
    if (!text || !Search.base) return false;
    char base[PATH_WORK_SIZE];
    CopyString(base, Search.base, sizeof base);
    if (!MakeAbsolute(base, sizeof base, App.startDir) || !Join(buf, size, base, text)) {
        buf[0] = '\0';
        return false;
    }
    return true;
}

// The full path of a result, or the text itself without a search folder.
static void FullResultPath(const char* text, char* buf, size_t size) {
    if (!SearchResultFullPath(text, buf, size)) CopyString(buf, text, size);
}

// The Esc that stopped a search is used up: its key messages still queued
// (a held key repeats) must not go on to close the results or the box.
static void DropQueuedEscape(void) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, WM_KEYFIRST, WM_KEYLAST, PM_NOREMOVE)) {
        bool esc =
            ((msg.message == WM_KEYDOWN || msg.message == WM_KEYUP) && msg.wParam == VK_ESCAPE) ||
            (msg.message == WM_CHAR && msg.wParam == 0x1B);
        if (!esc) break;
        PeekMessageA(&msg, msg.hwnd, msg.message, msg.message, PM_REMOVE);
    }
    GetAsyncKeyState(VK_ESCAPE);  // the press is taken
}

// Walks and shows the results; false when the item list is gone.
static bool RunSearch(const char* folderText, const char* pattern, int mode) {
    HCURSOR oldCursor = SetCursor(LoadCursor(nullptr, IDC_WAIT));

    // No list stays on show while the walk runs.
    HideFolderList();
    HideItemList();
    EmptyHiddenLists();

    ItemArray found = {};
    SearchWalk walk = {};
    walk.results = &found;
    walk.inputmode = Settings.inputmode;
    walk.startDir = App.startDir;
    int depth = Settings.subfolder < 1 ? -1 : Settings.subfolder + 1;
    WalkSearchTree(&walk, folderText, pattern, mode, depth);
    if (walk.aborted) DropQueuedEscape();
    // Results cut short because memory ran out: the ones found are shown, and
    // the beep says there were more.
    if (walk.full) MessageBeep(MB_ICONEXCLAMATION);

    // The search folder is recorded whether the results are kept or not, so
    // that the results on show always complete to full paths.
    char base[EDIT_TEXT_MAX];
    FolderPartOf(folderText, base, sizeof base);
    Search.base = base[0] ? MemDupString(base) : nullptr;
    if (Settings.keep == 1) KeepResults(&found, walk.longest);

    SetEditText("");
    FocusEditBox();

    bool listed = true;
    int count = found.count;
    if (count >= 2) {
        // What was typed before the search stays put aside.
        listed = ShowInItemList(LK_Search, &found, ILT_EMPTY, nullptr, FATAL_SEARCH_NO_ITEM_LIST);
    } else {
        char path[PATH_WORK_SIZE];
        FullResultPath(count == 1 ? found.items[0].path : "", path, sizeof path);
        FreeItems(&found);
        DiscardSavedText();
        NormalizeDots(path, path, sizeof path);
        if (strlen(path) >= EDIT_TEXT_MAX) {
            // A path the box cannot hold is refused, never cut: the box
            // gets back the text of the search.
            MessageBeep(MB_OK);
            SetEditText(folderText);
        } else {
            TakePathIntoBox(path, true);
        }
        FocusEditBox();
    }
    SetCursor(oldCursor);
    return listed;
}

void StartSearch(HWND editBox, const char* text) {
    if (!text || !FindSubstringSjis(text, "|")) return;
    ClearFlags(SF_SEARCH_INPUT);
    HideItemList();
    FreeSearchResults();

    char folderText[EDIT_TEXT_MAX];
    const char* bar = FindSubstringSjis(text, "|");
    size_t folderLen = (size_t)(bar - text);
    if (folderLen >= sizeof folderText) return;
    memcpy(folderText, text, folderLen);
    folderText[folderLen] = '\0';
    char pattern[EDIT_TEXT_MAX + 1];
    if (!Join(pattern, sizeof pattern, bar + 1, "*")) return;
    // The mode follows the character before "|" (a trail byte is no separator).
    int mode = (folderLen > 0 && EndsWithSeparatorSjis(folderText)) ? SEARCH_MODE_FOLDER
                                                                    : SEARCH_MODE_NAMED;
    SetSavedText(folderText);

    if (editBox) {
        HideCaret(editBox);
        SendMessageA(editBox, EM_SETREADONLY, TRUE, 0);
        SetWindowTextA(editBox, " 検索中 ");
        UpdateWindow(editBox);
    }
    bool ran = RunSearch(folderText, pattern, mode);
    if (!ran) RestoreSavedText();
    if (editBox && IsWindow(editBox)) {
        SendMessageA(editBox, EM_SETREADONLY, FALSE, 0);
        ShowCaret(editBox);
    }
}

// --- recall ------------------------------------------------------------------------------

static void RecallResults(void) {
    if (Search.keptCount <= 0) return;
    ItemArray recalled = {};
    if (!AllocItems(&recalled, Search.keptCount)) return;
    char base[PATH_WORK_SIZE] = "";
    if (Search.base) {
        CopyString(base, Search.base, sizeof base);
        MakeAbsolute(base, sizeof base, App.startDir);
    }
    int32_t n = 0;
    for (int32_t i = 0; i < Search.keptCount; i++) {
        const ListItem* kept = &Search.kept[i];
        char text[PATH_WORK_SIZE];
        ConcatTo(base, kept->path, text, sizeof text);
        // A full path longer than an item holds is left out, not cut.
        if (strlen(text) >= LIST_ITEM_PATH_SIZE) continue;
        ListItem* item = &recalled.items[n];
        SetListItem(item, text, kept->flags & (ItemFile | ItemFolder));
        item->viewIndex = n;
        n++;
    }
    recalled.count = n;
    if (n == 0) {
        FreeItems(&recalled);
        return;
    }
    ShowInItemList(LK_SearchRecall, &recalled, ILT_PUT_ASIDE, nullptr, FATAL_RECALL_NO_ITEM_LIST);
}

void ToggleSearchResults(HWND editBox) {
    if (!Search.kept) return;
    if (SwitchOffItemList(LK_Search, LK_SearchRecall, editBox)) return;
    HideFolderList();
    RecallResults();
}
