// Fuzz target for the list files. Input: one byte of options (bit 0: Favorites
// instead of the Default list; bit 1: fldclass on), then the file text.
// Checks:
//   - parse -> write -> parse gives the same lines (kinds, paths, patterns), with
//     the writer's documented changes: unclosed lines dropped, break lines
//     written as ">", a pattern part too long for its line left out, and no
//     pattern part in the Default list;
//   - the reader over a fake file system stores every plain line that fits an
//     item, in order, never repeats an expanded entry, and fills every item
//     record consistently;
//   - the Favorites page walk visits every page once, each starting at a line
//     start, and comes back to page 0.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "common/fileio.h"
#include "common/listfile.h"
#include "common/strutil.h"
#include "launcher/lists/favpages.h"
#include "common/itemarray.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

char* CopyText(const uint8_t* data, size_t size) {
    char* text = (char*)malloc(size + 1);
    if (!text) return nullptr;
    memcpy(text, data, size);
    text[size] = '\0';
    return text;
}

bool SameText(const char* a, const char* b) {
    if (!a || !b) return a == b;
    return strcmp(a, b) == 0;
}

// The pattern text of a line as the reader takes it: null and "" both mean "*".
const char* Effective(const char* patterns) { return patterns ? patterns : ""; }

void CheckRoundTrip(const char* original, size_t size, int mode) {
    char* first = CopyText((const uint8_t*)original, size);
    if (!first) return;
    ListFile a = {nullptr, 0, 0, 0, nullptr};
    if (!ParseListText(first, mode, 0, &a)) {
        free(first);
        return;
    }
    Check(a.stoppedAtBreak == 0 && a.next == nullptr);
    long need = FormatListFile(a.lines, a.count, mode, nullptr, 0);
    Check(need >= 0);
    char* written = (char*)malloc((size_t)need + 1);
    if (written) {
        Check(FormatListFile(a.lines, a.count, mode, written, (size_t)need) == -1);
        Check(FormatListFile(a.lines, a.count, mode, written, (size_t)need + 1) == need);
        Check(strlen(written) == (size_t)need);
        ListFile b = {nullptr, 0, 0, 0, nullptr};
        if (ParseListText(written, mode, 0, &b)) {
            int32_t j = 0;
            for (int32_t i = 0; i < a.count; i++) {
                const ListLine& x = a.lines[i];
                if (x.kind == LL_UNCLOSED) {
                    Check(mode == LF_FAVORITES);
                    continue;
                }
                Check(j < b.count);
                const ListLine& y = b.lines[j++];
                Check(x.kind == y.kind);
                if (x.kind == LL_BREAK) {
                    Check(strcmp(y.path, ">") == 0);
                    continue;
                }
                Check(SameText(x.path, y.path));
                if (x.kind != LL_EXPAND) continue;
                if (mode == LF_DEFAULT) {
                    Check(x.patterns == nullptr && y.patterns == nullptr);
                    continue;
                }
                bool fits =
                    x.patterns && 3 + strlen(x.patterns) + strlen(x.path) <= (size_t)LIST_LINE_MAX;
                Check(SameText(Effective(y.patterns), fits ? x.patterns : ""));
            }
            Check(j == b.count);
            // Writing what was read back gives the same bytes.
            long again = FormatListFile(b.lines, b.count, mode, nullptr, 0);
            Check(again == need);
        }
        FreeListFile(&b);
        free(written);
    }
    FreeListFile(&a);
    free(first);
}

// Fake file system: a path is a folder when its length is odd; a folder holds
// a few entries whose names depend on the folder (so that different lines can
// produce the same texts), and a pattern is matched as a plain prefix before
// its first '*'.
bool FakeIsFolder(void*, const char* path) { return (strlen(path) & 1) != 0; }

int FakeEnumerate(void*, const char* folder, const char* pattern, ListEntryReport report,
                  void* sink) {
    static const char* const kNames[] = {".", "..", "a", "b.txt", "a", "\x95\x5C", "sub"};
    size_t n = strlen(folder);
    size_t want = strcspn(pattern, "*?");
    for (size_t i = 0; i < sizeof kNames / sizeof kNames[0]; i++) {
        if (strncmp(kNames[i], pattern, want) != 0) continue;
        report(sink, kNames[i], (int)((i + n) & 1));
    }
    return 1;
}

void CheckReader(const char* original, size_t size, int mode, uint32_t fldclass) {
    char* text = CopyText((const uint8_t*)original, size);
    char* copy = CopyText((const uint8_t*)original, size);
    if (!text || !copy) {
        free(text);
        free(copy);
        return;
    }
    ListFileSystem fs = {FakeIsFolder, FakeEnumerate, nullptr};
    ItemArray items = {};
    int32_t n = ReadListFile(text, mode, fldclass, &fs, &items);
    ListFile lines = {nullptr, 0, 0, 0, nullptr};
    if (n >= 0 && ParseListText(copy, mode, 1, &lines)) {
        Check(n == items.count);
        Check(items.count <= items.capacity);
        // Plain lines that fit, in order, among the items.
        int32_t k = 0;
        for (int32_t i = 0; i < lines.count; i++) {
            if (lines.lines[i].kind != LL_PLAIN) continue;
            if (strlen(lines.lines[i].path) >= LIST_ITEM_PATH_SIZE) continue;
            while (k < items.count && strcmp(items.items[k].path, lines.lines[i].path) != 0) k++;
            Check(k < items.count);
            k++;
        }
        for (int32_t i = 0; i < items.count; i++) {
            const ListItem& it = items.items[i];
            Check(it.viewIndex == i && it.image == -1 && it.window == 0);
            size_t len = strnlen(it.path, sizeof it.path);
            Check(len < sizeof it.path);
            bool wide = false;
            for (size_t c = 0; c < len; c++)
                wide = wide || IsLeadByteSjis((unsigned char)it.path[c]);
            Check(((it.flags & ItemWide) != 0) == wide);
            uint32_t type = it.flags & (ItemFile | ItemFolder);
            Check(type != (ItemFile | ItemFolder));
            // An item holding a separator that no plain line holds came from an
            // expansion: nothing before it has the same text.
            bool plain = false;
            for (int32_t l = 0; l < lines.count && !plain; l++) {
                plain =
                    lines.lines[l].kind == LL_PLAIN && strcmp(lines.lines[l].path, it.path) == 0;
            }
            if (!plain) {
                Check(type != 0);
                for (int32_t e = 0; e < i; e++) Check(strcmp(items.items[e].path, it.path) != 0);
            }
        }
    }
    FreeListFile(&lines);
    FreeItems(&items);
    free(text);
    free(copy);
}

void CheckPages(const char* text) {
    int32_t pages = CountFavoritesPages(text);
    Check(pages >= 1);
    size_t len = strlen(text);
    Check(BeginFavoritesPage(false) && FavoritePage == 0);
    size_t previous = 0;
    for (int32_t shown = 0; shown < pages; shown++) {
        if (shown > 0) Check(BeginFavoritesPage(true) == (pages > 1));
        int32_t before = FavoritePage;
        size_t start = FavoritesPageStart(text, &FavoritePage);
        Check(start <= len);
        Check(start == 0 || text[start - 1] == '\r' || text[start - 1] == '\n' || start == len);
        if (shown == 0) {
            Check(start == 0 && FavoritePage == (pages > 1 ? 1 : 0));
        } else {
            Check(start > previous && FavoritePage == before + 1);
        }
        previous = start;
    }
    // One more "next" comes back to page 0.
    if (pages > 1) {
        Check(FavoritesPageStart(text, &FavoritePage) == 0);
        Check(FavoritePage == 1);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 64 * 1024) return 0;
    int mode = (data[0] & 1) ? LF_FAVORITES : LF_DEFAULT;
    uint32_t fldclass = (data[0] >> 1) & 1;
    char* text = CopyText(data + 1, size - 1);
    if (!text) return 0;
    size_t len = strlen(text);  // the file reader stops at a NUL as well
    CheckRoundTrip(text, len, mode);
    CheckReader(text, len, mode, fldclass);
    CheckPages(text);
    free(text);
    return 0;
}
