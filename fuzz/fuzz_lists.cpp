// Fuzz target for the list core. Input: a first line with the filter text,
// then one item name per line. Checks the filters against a plain reference
// (case-fold every name, test every term), that both ways of running the
// filter agree, that a failed folder filter leaves the rows alone, that the
// anchor stays inside the text, and that type-ahead only selects visible items
// that begin with what was typed.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "common/strutil.h"
#include "common/itemarray.h"
#include "launcher/lists/listfilter.h"
#include "launcher/lists/typeahead.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// The query is the case-folded term (the folder list hands the term over raw).
void* PlainCompile(void*, const char* term) {
    size_t n = strlen(term);
    char* q = (char*)malloc(n + 1);
    if (q) {
        q[0] = '\0';
        MapCharsSjis(LowerAscii, term, q, -1, n + 1);
    }
    return q;
}
// The plain substring or prefix test over what the filter passes in.
int PlainMatch(void* ctx, void* query, const char* text, int32_t length) {
    Check(strlen(text) == (size_t)length);
    char folded[LIST_ITEM_PATH_SIZE] = "";
    MapCharsSjis(LowerAscii, text, folded, -1, sizeof folded);
    const char* term = (const char*)query;
    bool prefix = ctx != nullptr;
    return prefix ? StartsWith(folded, term) != nullptr
                  : FindSubstringSjis(folded, term) != nullptr;
}
void PlainRelease(void*, void* query) { free(query); }

// Reference: viewIndex values the filter must give (empty when the text is not
// a filter); terms split at ":" when split is true.
void Reference(const ItemArray& a, const char* text, bool split, bool prefix, int32_t* rows) {
    char folded[600] = "";
    MapCharsSjis(LowerAscii, text, folded, -1, sizeof folded);
    int32_t next = 0;
    for (int32_t i = 0; i < a.count; i++) {
        char name[LIST_ITEM_PATH_SIZE] = "";
        MapCharsSjis(LowerAscii, a.items[i].path, name, -1, sizeof name);
        bool all = true;
        const char* p = folded;
        for (;;) {
            const char* end = split ? strchr(p, ':') : nullptr;
            size_t n = end ? (size_t)(end - p) : strlen(p);
            char term[600];
            memcpy(term, p, n);
            term[n] = '\0';
            bool hit = prefix ? StartsWith(name, term) != nullptr
                              : FindSubstringSjis(name, term) != nullptr;
            if (!hit) all = false;
            if (!end || !all) break;
            p = end + 1;
        }
        rows[i] = all ? next++ : -1;
    }
}

bool SameRows(const ItemArray& a, const int32_t* rows) {
    for (int32_t i = 0; i < a.count; i++)
        if (a.items[i].viewIndex != rows[i]) return false;
    return true;
}

void SaveRows(const ItemArray& a, int32_t* rows) {
    for (int32_t i = 0; i < a.count; i++) rows[i] = a.items[i].viewIndex;
}

void CheckCounts(const ItemArray& a, int32_t shown, int32_t longest) {
    FilterResult c = CountShownItems(&a);
    Check(c.shown == shown && c.longest == longest);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 20000) return 0;
    char* text = (char*)malloc(size + 1);
    if (!text) return 0;
    memcpy(text, data, size);
    text[size] = '\0';

    char* nl = strchr(text, '\n');
    char* names = nl ? nl + 1 : text + size;
    if (nl) *nl = '\0';
    char filter[520];
    CopyString(filter, text, sizeof filter);

    ItemArray a = {};
    for (char* p = names; *p && a.count < 400;) {
        char* end = strchr(p, '\n');
        if (end) *end = '\0';
        int32_t before = a.count;
        Check(AppendItem(&a, p, ItemFile) == 1);
        Check(a.count == before + 1 && a.count < a.capacity);
        const ListItem& it = a.items[before];
        char expect[LIST_ITEM_PATH_SIZE];
        CopyString(expect, p, sizeof expect);
        Check(strcmp(expect, it.path) == 0 && it.image == -1 && it.viewIndex == before);
        bool wide = false;
        for (const char* q = it.path; *q; q++) wide |= IsLeadByteSjis((unsigned char)*q);
        Check(((it.flags & ItemWide) != 0) == wide);
        if (!end) break;
        p = end + 1;
    }

    int32_t* rows = (int32_t*)malloc(sizeof(int32_t) * (size_t)(a.count + 1));
    int32_t* saved = (int32_t*)malloc(sizeof(int32_t) * (size_t)(a.count + 1));
    if (rows && saved && a.count > 0) {
        // Item list, single pass and per-term passes.
        char typed[520];
        size_t n = CopyString(typed, filter, sizeof typed);
        if (n && typed[n - 1] == ':') typed[n - 1] = '\0';
        FilterResult r = FilterItemsByText(&a, filter, nullptr);
        if (filter[0]) {
            Reference(a, typed, true, false, rows);
            Check(SameRows(a, rows));
        } else {
            for (int32_t i = 0; i < a.count; i++) Check(a.items[i].viewIndex == i);
        }
        CheckCounts(a, r.shown, r.longest);
        // The row index names the same item as a walk over the array.
        Check(IndexRows(&a) == r.shown);
        for (int32_t row = -1; row <= r.shown; row++) {
            int32_t walk = -1;
            for (int32_t i = 0; i < a.count && walk < 0; i++)
                if (row >= 0 && a.items[i].viewIndex == row) walk = i;
            Check(ItemOfRow(&a, row) == walk);
        }
        for (int32_t i = 0; i < a.count; i++) a.items[i].flags |= ItemWide;
        WideMatcher plain = {PlainCompile, PlainMatch, PlainRelease, nullptr};
        SaveRows(a, saved);
        FilterResult w = FilterItemsByText(&a, filter, &plain);
        Check(SameRows(a, saved) && w.shown == r.shown && w.longest == r.longest);

        // Folder list, both input modes, with and without the matcher.
        for (int mode = 0; mode < 2; mode++) {
            for (int useWide = 0; useWide < 2; useWide++) {
                WideMatcher m = {PlainCompile, PlainMatch, PlainRelease, mode ? (void*)1 : nullptr};
                SaveRows(a, saved);
                int32_t shown = -100;
                int32_t res = FilterFolderItems(&a, filter, mode, useWide ? &m : nullptr, &shown);
                size_t len = strlen(filter);
                bool colon = mode == 0 && len && filter[len - 1] == ':';
                if (colon) {
                    Check(res == ((len > 1 && filter[len - 2] == ':') ? FOLDER_TWO_COLONS
                                                                      : FOLDER_ONE_COLON));
                    Check(SameRows(a, saved));
                    continue;
                }
                if (res == FOLDER_NO_MATCH) {
                    Check(SameRows(a, saved) && shown == -100);
                    Reference(a, filter, mode == 0, mode != 0, rows);
                    for (int32_t i = 0; i < a.count; i++) Check(rows[i] == -1);
                    continue;
                }
                Check(res >= 0 && shown >= 1);
                CheckCounts(a, shown, res);
                int32_t last = -1;
                bool showAll = len == 0;
                for (int32_t i = 0; i < (int32_t)len;) {
                    bool lead = IsLeadByteSjis((unsigned char)filter[i]) && filter[i + 1];
                    last = i;
                    i += lead ? 2 : 1;
                }
                if (last >= 0 && (size_t)last == len - 1 && IsSeparator(filter[last]))
                    showAll = true;
                if (showAll) {
                    for (int32_t i = 0; i < a.count; i++) Check(a.items[i].viewIndex == i);
                } else {
                    Reference(a, filter, mode == 0, mode != 0, rows);
                    Check(SameRows(a, rows));
                }
            }
        }

        // Type-ahead over the filter text's bytes, from the current row.
        TypeAheadState st;
        memset(&st, 0, sizeof st);
        int32_t row = a.count > 1 ? (int32_t)(filter[0] & 1) : 0;
        FilterItemsByText(&a, "", nullptr);
        for (const char* p = filter; *p; p++) {
            int32_t found = TypeAheadFind(&st, &a, row, (unsigned char)*p);
            Check(st.length >= 0 && st.length < TYPEAHEAD_BUFFER_SIZE &&
                  st.buffer[st.length] == '\0');
            if (found >= 0) {
                Check(found < a.count && a.items[found].viewIndex >= 0);
                char name[LIST_ITEM_PATH_SIZE] = "";
                MapCharsSjis(LowerAscii, a.items[found].path, name, -1, sizeof name);
                // Either the whole buffer or, after the repeated-letter walk, the
                // single character begins the name.
                char single[2] = {(char)st.last, '\0'};
                Check(StartsWith(name, st.length ? st.buffer : single) != nullptr);
                row = a.items[found].viewIndex;
            }
        }
    }

    // Anchor inside the text.
    int32_t folderLen = -5;
    int32_t idx = FolderAnchorIndex(filter, &folderLen);
    int32_t flen = (int32_t)strlen(filter);
    if (flen == 0) {
        Check(idx == -1 && folderLen == 0);
    } else {
        Check(idx >= 0 && idx < flen && folderLen >= 0 && folderLen <= flen);
        Check(folderLen == flen ? idx == flen - 1 : idx == folderLen);
    }

    free(rows);
    free(saved);
    FreeItems(&a);
    free(text);
    return 0;
}
