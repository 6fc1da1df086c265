// listfile.cpp - list-file grammar, parser, launcher reader and writer.
#include "listfile.h"

#include <limits.h>
#include <stdint.h>
#include <string.h>

#include "itemarray.h"
#include "fileio.h"
#include "strutil.h"

namespace {

inline bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

// True when the last character of s is a single-byte separator.
bool EndsWithSeparator(const char* s) {
    const char* last = nullptr;
    for (const char* p = s; *p; p += CharStepSjis(p)) last = p;
    return last && IsSeparator(*last);
}

// The first '"' at or after p (whole characters), or null.
char* FindQuote(char* p) {
    for (; *p; p += CharStepSjis(p)) {
        if (*p == '"') return p;
    }
    return nullptr;
}

int AddLine(ListFile* file, int32_t kind, const char* path, const char* patterns) {
    if (file->count >= file->capacity) {
        if (file->capacity > INT32_MAX / 2) return 0;
        int32_t want = file->capacity ? file->capacity * 2 : 32;
        if ((uint64_t)want > SIZE_MAX / sizeof(ListLine)) return 0;
        ListLine* grown = (ListLine*)MemRealloc(file->lines, (size_t)want * sizeof(ListLine));
        if (!grown) return 0;
        file->lines = grown;
        file->capacity = want;
    }
    ListLine* line = &file->lines[file->count++];
    line->kind = kind;
    line->path = path;
    line->patterns = patterns;
    return 1;
}

// Classifies one cut line (NUL-terminated, writable) and records it.
int RecordLine(ListFile* file, char* line, bool holdsBreak, int mode) {
    if (*line == '\0') return AddLine(file, LL_BLANK, line, nullptr);
    if (holdsBreak) return AddLine(file, LL_BREAK, line, nullptr);
    if (*line != '-') return AddLine(file, LL_PLAIN, line, nullptr);
    if (mode != LF_FAVORITES) return AddLine(file, LL_EXPAND, line + 1, nullptr);
    char* p = line + 1;
    const char* patterns = nullptr;
    if (*p == '"') {
        char* close = FindQuote(p + 1);
        if (!close) return AddLine(file, LL_UNCLOSED, line, nullptr);
        *close = '\0';
        patterns = p + 1;
        p = close + 1;
    }
    while (IsBlankOrTab(*p)) p++;
    return AddLine(file, LL_EXPAND, p, patterns);
}

// Open-addressing set of item indices keyed by the item text, for the duplicate
// test of folder expansions (the array can hold thousands of entries).
struct TextSet {
    int32_t* slots;  // item index + 1, 0 = free
    uint32_t mask;
    int32_t used;
};

uint32_t HashText(const char* s) {
    uint32_t h = 2166136261u;
    for (; *s; s++) h = (h ^ (unsigned char)*s) * 16777619u;
    return h;
}

// Index of the item holding text, or -1.
int32_t FindText(const TextSet* set, const ItemArray* items, const char* text) {
    if (!set->slots) return -1;
    for (uint32_t i = HashText(text) & set->mask;; i = (i + 1) & set->mask) {
        int32_t v = set->slots[i];
        if (v == 0) return -1;
        if (strcmp(items->items[v - 1].path, text) == 0) return v - 1;
    }
}

void PutIndex(TextSet* set, const ItemArray* items, int32_t index) {
    uint32_t i = HashText(items->items[index].path) & set->mask;
    while (set->slots[i] != 0) i = (i + 1) & set->mask;
    set->slots[i] = index + 1;
    set->used++;
}

// Adds item index to the set, growing it to keep it at most half full.
int AddIndex(TextSet* set, const ItemArray* items, int32_t index) {
    if (!set->slots || (uint32_t)(set->used + 1) * 2 > set->mask + 1) {
        uint32_t size = set->slots ? (set->mask + 1) * 2 : 256;
        // At most 2^29 slots: the byte count fits a 32-bit size_t.
        if (size == 0 || size > (1u << 29)) return 0;
        int32_t* fresh = (int32_t*)MemAlloc(size * sizeof(int32_t));
        if (!fresh) return 0;
        memset(fresh, 0, size * sizeof(int32_t));
        MemFree(set->slots);
        set->slots = fresh;
        set->mask = size - 1;
        set->used = 0;
        // Rehash every item stored before this one.
        for (int32_t k = 0; k < index; k++) PutIndex(set, items, k);
    }
    PutIndex(set, items, index);
    return 1;
}

struct Expansion {
    ItemArray* items;
    TextSet* set;
    const char* folder;
    bool addSeparator;
    int wantFolders;
    bool failed;  // memory ran out
};

void TakeEntry(void* sink, const char* name, int isFolder) {
    Expansion* x = (Expansion*)sink;
    if (x->failed || !name || !*name) return;
    if ((isFolder != 0) != (x->wantFolders != 0)) return;
    if (strcmp(name, ".") == 0 || strcmp(name, "..") == 0) return;
    size_t lf = strlen(x->folder), ln = strlen(name);
    size_t len = lf + (x->addSeparator ? 1 : 0) + ln;
    // A cut path would name another file: leave it out.
    if (len >= LIST_ITEM_PATH_SIZE) return;
    char text[LIST_ITEM_PATH_SIZE];
    memcpy(text, x->folder, lf);
    size_t n = lf;
    if (x->addSeparator) text[n++] = '\\';
    memcpy(text + n, name, ln);
    text[len] = '\0';
    if (FindText(x->set, x->items, text) >= 0) return;
    if (!AppendItem(x->items, text, isFolder ? ItemFolder : ItemFile) ||
        !AddIndex(x->set, x->items, x->items->count - 1)) {
        x->failed = true;
    }
}

// Expands one "-" line into items; false when memory ran out.
bool ExpandLine(const ListLine* line, const ListFileSystem* fs, ItemArray* items, TextSet* set) {
    if (!fs || !fs->isFolder || !fs->enumerate) return true;
    if (!fs->isFolder(fs->ctx, line->path)) return true;
    Expansion x = {items, set, line->path, !EndsWithSeparator(line->path), 1, false};
    const char* cursor = (line->patterns && *line->patterns) ? line->patterns : "*";
    char pattern[261];
    int r;
    while ((r = NextPattern(&cursor, pattern, sizeof pattern)) != 0) {
        if (r < 0 || pattern[0] == '\0') continue;  // too long or empty: matches nothing
        for (int pass = 1; pass >= 0; pass--) {
            x.wantFolders = pass;
            fs->enumerate(fs->ctx, line->path, pattern, TakeEntry, &x);
            if (x.failed) return false;
        }
    }
    return true;
}

// How an LL_EXPAND line is written: the pattern text to put between quotes, or
// null for none.
const char* WrittenPatterns(const ListLine* line, int mode) {
    if (mode != LF_FAVORITES) return nullptr;
    const char* path = line->path ? line->path : "";
    if (line->patterns && 1 + 2 + strlen(line->patterns) + strlen(path) <= LIST_LINE_MAX) {
        return line->patterns;
    }
    return path[0] == '"' ? "" : nullptr;
}

size_t LineLength(const ListLine* line, int mode) {
    const char* path = line->path ? line->path : "";
    switch (line->kind) {
        case LL_BLANK:
            return 0;
        case LL_BREAK:
            return 1;
        case LL_PLAIN:
            return strlen(path);
        case LL_EXPAND: {
            const char* patterns = WrittenPatterns(line, mode);
            return 1 + strlen(path) + (patterns ? 2 + strlen(patterns) : 0);
        }
        default:
            return 0;
    }
}

char* Put(char* out, const char* s) {
    size_t n = strlen(s);
    memcpy(out, s, n);
    return out + n;
}

}  // namespace

int ParseListText(char* text, int mode, int stopAtBreak, ListFile* file) {
    if (!file) return 0;
    FreeListFile(file);
    if (!text) return 1;
    char* p = text;
    while (*p) {
        char* start = p;
        bool holdsBreak = false;
        while (*p && *p != '\r' && *p != '\n') {
            if (*p == '>') holdsBreak = true;
            p += CharStepSjis(p);
        }
        char* next = p;
        if (*p == '\r') {
            *p = '\0';
            next = p + 1;
            if (*next == '\n') *next++ = '\0';
        } else if (*p == '\n') {
            *p = '\0';
            next = p + 1;
        }
        if (holdsBreak && stopAtBreak) {
            file->stoppedAtBreak = 1;
            file->next = next;
            return 1;
        }
        if (!RecordLine(file, start, holdsBreak, mode)) {
            FreeListFile(file);
            return 0;
        }
        p = next;
    }
    return 1;
}

void FreeListFile(ListFile* file) {
    if (!file) return;
    MemFree(file->lines);
    file->lines = nullptr;
    file->count = 0;
    file->capacity = 0;
    file->stoppedAtBreak = 0;
    file->next = nullptr;
}

int NextPattern(const char** cursor, char* out, size_t outSize) {
    if (out && outSize) out[0] = '\0';
    if (!cursor || !*cursor || !**cursor) return 0;
    const char* p = *cursor;
    const char* start = p;
    while (*p && *p != ';') p += CharStepSjis(p);
    size_t n = (size_t)(p - start);
    *cursor = *p ? p + 1 : p;
    if (!out || n >= outSize) return -1;
    memcpy(out, start, n);
    out[n] = '\0';
    return 1;
}

int32_t ReadListFile(char* text, int mode, uint32_t fldclass, const ListFileSystem* fs,
                     ItemArray* items) {
    if (!items) return -1;
    FreeItems(items);
    ListFile file = {nullptr, 0, 0, 0, nullptr};
    if (!ParseListText(text, mode, 1, &file)) return -1;
    int32_t plain = 0;
    for (int32_t i = 0; i < file.count; i++) {
        if (file.lines[i].kind == LL_PLAIN) plain++;
    }
    if (!AllocItems(items, plain)) {
        FreeListFile(&file);
        return -1;
    }
    TextSet set = {nullptr, 0, 0};
    bool ok = true;
    for (int32_t i = 0; i < file.count && ok; i++) {
        const ListLine* line = &file.lines[i];
        if (line->kind == LL_PLAIN) {
            if (strlen(line->path) >= LIST_ITEM_PATH_SIZE) continue;
            uint32_t flags = 0;
            if (fldclass == 1 && fs && fs->isFolder) {
                flags = fs->isFolder(fs->ctx, line->path) ? ItemFolder : ItemFile;
            }
            // Plain lines are not checked against each other, but later
            // expansions do not repeat them.
            ok = AppendItem(items, line->path, flags) && AddIndex(&set, items, items->count - 1);
        } else if (line->kind == LL_EXPAND) {
            ok = ExpandLine(line, fs, items, &set);
        }
    }
    MemFree(set.slots);
    FreeListFile(&file);
    if (!ok) {
        FreeItems(items);
        return -1;
    }
    return items->count;
}

long FormatListFile(const ListLine* lines, int32_t count, int mode, char* buf, size_t bufSize) {
    if (count < 0 || (count > 0 && !lines)) return -1;
    size_t total = 0;
    for (int32_t i = 0; i < count; i++) {
        if (lines[i].kind == LL_UNCLOSED) continue;
        total += LineLength(&lines[i], mode) + 2;
        if (total > (size_t)LONG_MAX - 1) return -1;
    }
    if (!buf) return (long)total;
    if (bufSize < total + 1) return -1;
    char* out = buf;
    for (int32_t i = 0; i < count; i++) {
        const ListLine* line = &lines[i];
        const char* path = line->path ? line->path : "";
        switch (line->kind) {
            case LL_UNCLOSED:
                continue;
            case LL_BREAK:
                *out++ = '>';
                break;
            case LL_PLAIN:
                out = Put(out, path);
                break;
            case LL_EXPAND: {
                *out++ = '-';
                const char* patterns = WrittenPatterns(line, mode);
                if (patterns) {
                    *out++ = '"';
                    out = Put(out, patterns);
                    *out++ = '"';
                }
                out = Put(out, path);
                break;
            }
            default:
                break;
        }
        *out++ = '\r';
        *out++ = '\n';
    }
    *out = '\0';
    return (long)(out - buf);
}

int WriteListFile(const char* path, const ListLine* lines, int32_t count, int mode) {
    long need = FormatListFile(lines, count, mode, nullptr, 0);
    if (need < 0) return 0;
    char* buf = (char*)MemAlloc((size_t)need + 1);
    if (!buf) return 0;
    long len = FormatListFile(lines, count, mode, buf, (size_t)need + 1);
    int ok = len >= 0 && WriteWholeFile(path, buf, (size_t)len);
    MemFree(buf);
    return ok;
}
