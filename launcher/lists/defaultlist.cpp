// defaultlist.cpp - the Default list: a name typed after ";" is looked up in
// every folder of "data\vorn_d.dat"; one hit becomes the edit text, several
// fill the item list.
#include "defaultlist.h"

#include <string.h>

#include "../../common/datafile.h"
#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../editbox/completerules.h"
#include "../editbox/editbox.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "../../common/itemarray.h"
#include "listfs_win.h"
#include "listselect.h"
#include "listwnd.h"

// What a lookup holds between reading the list and showing its result.
struct DefaultLookupState {
    ItemArray roots;  // the search roots of the lookup under way
    bool typing;      // a lookup while typing is under way
};
static DefaultLookupState DefaultLookup;

enum { kHitSize = MAX_PATH };

// --- the lookup over a file system -------------------------------------------

bool DefaultLookupPattern(const char* name, char* pattern, size_t patternSize) {
    if (!name || !pattern || patternSize == 0) return false;
    pattern[0] = '\0';
    size_t len = strlen(name);
    // "*", "?" and "." are never the second byte of a double-byte character.
    if (len == 0 || name[len - 1] == '.') return false;
    bool star = name[len - 1] == '*' || len >= DEFAULT_SEARCH_MAX;
    if (len + (star ? 0 : 1) >= patternSize) return false;
    memcpy(pattern, name, len);
    if (!star) pattern[len++] = '*';
    pattern[len] = '\0';
    return true;
}

// Where one root's hits are searched: the folder part of root + pattern (a
// separator between them when the root is a folder) and the name pattern
// after its last separator. False when the root is skipped.
static bool SplitRootSearch(const char* root, const char* pattern, const ListFileSystem* fs,
                            char* folder, size_t folderSize, char* names, size_t namesSize) {
    size_t lr = strlen(root), lp = strlen(pattern);
    if (lr == 0 || lr + lp >= DEFAULT_SEARCH_MAX) return false;
    char full[DEFAULT_SEARCH_MAX + 2];
    CopyString(full, root, sizeof full);
    // A folder root is searched inside; any other root has the pattern
    // appended to its own text, so its hits lie in its folder and begin with
    // its name.
    if (fs->isFolder(fs->ctx, root)) AddTrailingSeparator(full, sizeof full);
    size_t lf = strlen(full);
    if (lf + lp >= sizeof full) return false;
    memcpy(full + lf, pattern, lp + 1);
    const char* last = FileNamePart(full, nullptr, 0);
    // Without any separator there is no folder to search in.
    if (!last || !last[0]) return false;
    size_t folderLen = (size_t)(last - full) - 1;
    if (folderLen + 1 > folderSize || strlen(last) + 1 > namesSize) return false;
    memcpy(folder, full, folderLen);
    folder[folderLen] = '\0';
    CopyString(names, last, namesSize);
    return true;
}

// Builds folder + "\" + name into out; false when it would not fit a path
// (a cut path would name another file).
static bool JoinHit(const char* folder, const char* name, char* out, size_t outSize) {
    size_t lf = strlen(folder), ln = strlen(name);
    if (lf + 1 + ln >= outSize) return false;
    memcpy(out, folder, lf);
    out[lf] = '\\';
    memcpy(out + lf + 1, name, ln + 1);
    return true;
}

struct HitSink {
    const char* folder;
    int32_t count;
    char* first;
    size_t firstSize;
    ItemArray* hits;  // null in the counting pass
    bool full;        // the array could not grow: the rest of this root goes
};

static void TakeHit(void* sink, const char* name, int isFolder) {
    HitSink* s = (HitSink*)sink;
    if (!name || IsDotEntry(name)) return;
    char path[kHitSize];
    if (!JoinHit(s->folder, name, path, sizeof path)) return;
    if (!s->hits) {
        if (s->count == 0 && s->first) CopyString(s->first, path, s->firstSize);
        s->count++;
        return;
    }
    if (s->full) return;
    if (!AppendItem(s->hits, path, isFolder ? ItemFolder : ItemFile)) {
        s->full = true;
        return;
    }
    s->count++;
}

int32_t CountDefaultHits(const ItemArray* roots, const char* pattern, const ListFileSystem* fs,
                         char* first, size_t firstSize) {
    if (first && firstSize) first[0] = '\0';
    if (!roots || !pattern || !fs) return 0;
    HitSink sink = {nullptr, 0, first, firstSize, nullptr, false};
    for (int32_t i = 0; i < roots->count && sink.count < 2; i++) {
        char folder[DEFAULT_SEARCH_MAX + 2], names[DEFAULT_SEARCH_MAX + 2];
        if (!SplitRootSearch(roots->items[i].path, pattern, fs, folder, sizeof folder, names,
                             sizeof names))
            continue;
        sink.folder = folder;
        fs->enumerate(fs->ctx, folder, names, TakeHit, &sink);
    }
    return sink.count;
}

int32_t CollectDefaultHits(const ItemArray* roots, const char* pattern, const ListFileSystem* fs,
                           ItemArray* hits) {
    if (!hits) return 0;
    FreeItems(hits);
    if (!roots || !pattern || !fs) return 0;
    HitSink sink = {nullptr, 0, nullptr, 0, hits, false};
    for (int32_t i = 0; i < roots->count; i++) {
        char folder[DEFAULT_SEARCH_MAX + 2], names[DEFAULT_SEARCH_MAX + 2];
        if (!SplitRootSearch(roots->items[i].path, pattern, fs, folder, sizeof folder, names,
                             sizeof names))
            continue;
        sink.folder = folder;
        sink.full = false;
        fs->enumerate(fs->ctx, folder, names, TakeHit, &sink);
    }
    return sink.count;
}

// --- the lookup in the launcher ---------------------------------------------

char* ReadDefaultFile(void) { return LoadDataFile(DF_DEFAULT, nullptr, nullptr); }

void FreeDefaultList(void) { FreeItems(&DefaultLookup.roots); }

enum LookupResult { LOOKUP_UNREAD = 0, LOOKUP_DONE = 1, LOOKUP_LISTED = 2 };

// One hit: it becomes the edit text (nothing is run, no list is shown).
static void TakeSingleHit(const char* hit) {
    char path[kHitSize];
    NormalizeDots(path, hit, sizeof path);
    TakePathIntoBox(path, true);
}

// Shows the hits (already in hits) in the item list; false when the program
// has to end because the list window is gone.
static bool ShowDefaultHits(HWND editBox, ItemArray* hits) {
    return ShowInItemList(LK_Default, hits, ILT_EMPTY, editBox, FATAL_DEFAULT_NO_ITEM_LIST);
}

static int RunLookup(HWND editBox, const char* name) {
    char* text = ReadDefaultFile();
    if (!text) {
        HideItemList();
        return LOOKUP_UNREAD;
    }
    int32_t read = ReadListFile(text, LF_DEFAULT, Settings.def.fldclass, &WinListFileSystem,
                                &DefaultLookup.roots);
    MemFree(text);
    if (read < 0) {
        FreeItems(&DefaultLookup.roots);
        HideItemList();
        return LOOKUP_UNREAD;
    }
    int result = LOOKUP_DONE;
    char pattern[DEFAULT_SEARCH_MAX + 2];
    if (DefaultLookupPattern(name, pattern, sizeof pattern)) {
        char first[kHitSize];
        int32_t count = CountDefaultHits(&DefaultLookup.roots, pattern, &WinListFileSystem, first,
                                         sizeof first);
        if (count == 1) {
            TakeSingleHit(first);
        } else if (count > 1) {
            ItemArray hits = {};
            CollectDefaultHits(&DefaultLookup.roots, pattern, &WinListFileSystem, &hits);
            if (hits.count > 0 && ShowDefaultHits(editBox, &hits)) result = LOOKUP_LISTED;
            FreeItems(&hits);
        }
    }
    FreeItems(&DefaultLookup.roots);
    return result;
}

bool LookUpDefault(HWND editBox, const char* name) {
    return RunLookup(editBox, name ? name : "") != LOOKUP_UNREAD;
}

void LookUpWhileTyping(HWND editBox, const char* text) {
    if (!text || text[0] != ';') return;
    const char* name = text + 1;
    if (Settings.direct < 1 || strlen(name) < (size_t)Settings.direct) return;
    // The text the lookup puts into the box comes back here; a hit that itself
    // begins with ";" must not start another lookup.
    if (DefaultLookup.typing) return;
    char shown[EDIT_TEXT_MAX];
    CopyString(shown, name, sizeof shown);
    DefaultLookup.typing = true;
    if (RunLookup(editBox, name) == LOOKUP_LISTED) {
        // "*" and "?" are never the second byte of a double-byte character.
        for (char* p = shown; *p; p++)
            if (*p == '*' || *p == '?') *p = ':';
        if (ItemListKindOnShow() == LK_Default) SetEditText(shown);
    }
    DefaultLookup.typing = false;
}
