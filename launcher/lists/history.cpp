// history.cpp - the History store, its rules of adding, and its file.
#include "history.h"

#include <limits.h>
#include <stdint.h>
#include <string.h>

#include "../../common/datafile.h"
#include "../../common/fileio.h"
#include "../../common/itemarray.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"

HistoryStoreRecord HistoryStore;

namespace {

// Equal ignoring ASCII letter case; the bytes of a double-byte character are
// compared exactly (their trail byte may look like a letter).
bool EqualIgnoringCase(const char* a, const char* b) {
    while (*a && *b) {
        size_t sa = CharStepSjis(a), sb = CharStepSjis(b);
        if (sa != sb) return false;
        if (sa == 2) {
            if (a[0] != b[0] || a[1] != b[1]) return false;
        } else if (LowerAscii((unsigned char)*a) != LowerAscii((unsigned char)*b)) {
            return false;
        }
        a += sa;
        b += sb;
    }
    return *a == *b;
}

// Heap copy of text as it is recorded, or null. An executed text loses one
// trailing separator; a line of the file was recorded so already and is taken
// as it is, or an entry that kept a "\" would lose one more at every start.
char* RecordedText(const char* text, bool executed) {
    size_t n = strlen(text);
    // The last character (not merely the last byte) must be the '\'.
    const char* last = nullptr;
    for (const char* p = text; *p; p += CharStepSjis(p)) last = p;
    if (executed && last && *last == '\\' && last == text + n - 1) n--;
    if (n == 0) return nullptr;
    const char* prefix = "";
    if (IsSeparator(text[0]) && !(n > 1 && IsSeparator(text[1])) && HistoryStore.startDir) {
        prefix = HistoryStore.startDir;
    }
    size_t np = strlen(prefix);
    char* copy = (char*)MemAlloc(np + n + 1);
    if (!copy) return nullptr;
    memcpy(copy, prefix, np);
    memcpy(copy + np, text, n);
    copy[np + n] = '\0';
    return copy;
}

// The position of the entry equal to text (ignoring case) among the first
// count slots, or -1.
int32_t FindEqual(char* const* slots, int32_t count, const char* text) {
    for (int32_t i = 0; i < count; i++)
        if (EqualIgnoringCase(slots[i], text)) return i;
    return -1;
}

}  // namespace

void SetHistoryStartDir(const char* dir) {
    char* copy = dir ? MemDupString(dir) : nullptr;
    if (dir && !copy) return;  // out of memory: the old folder stays
    MemFree(HistoryStore.startDir);
    HistoryStore.startDir = copy;
}

int AddToHistory(const char* text, int append) {
    HistoryStoreRecord* h = &HistoryStore;
    if (!text || h->size < 1 || !h->slots) return 0;
    if (h->count < 0 || h->count > h->size) return 0;
    char* copy = RecordedText(text, !append);
    if (!copy) return 0;
    int32_t equal = FindEqual(h->slots, h->count, copy);
    // The loader never fills past the end: with a full store nothing is appended
    // unless an equal entry makes room.
    if (append && h->count > 0 && h->count >= h->size && equal < 0) {
        MemFree(copy);
        return 0;
    }
    if (equal >= 0) {
        MemFree(h->slots[equal]);
        memmove(&h->slots[equal], &h->slots[equal + 1],
                (size_t)(h->count - equal - 1) * sizeof(char*));
        h->count--;
        h->slots[h->count] = nullptr;
    }
    if (h->count == 0 || append) {
        h->slots[h->count++] = copy;
        return 1;
    }
    if (h->count >= h->size) {
        MemFree(h->slots[h->size - 1]);
        h->count = h->size - 1;
    }
    memmove(&h->slots[1], &h->slots[0], (size_t)h->count * sizeof(char*));
    h->slots[0] = copy;
    h->count++;
    return 1;
}

void FreeHistory(void) {
    HistoryStoreRecord* h = &HistoryStore;
    if (h->slots) {
        for (int32_t i = 0; i < h->count; i++) MemFree(h->slots[i]);
    }
    MemFree(h->slots);
    h->slots = nullptr;
    h->size = 0;
    h->count = 0;
}

int ResetHistory(int32_t size) {
    FreeHistory();
    if (size < 1 || (uint64_t)size > SIZE_MAX / sizeof(char*)) return 0;
    char** slots = (char**)MemAlloc((size_t)size * sizeof(char*));
    if (!slots) return 0;
    memset(slots, 0, (size_t)size * sizeof(char*));
    HistoryStore.slots = slots;
    HistoryStore.size = size;
    HistoryStore.count = 0;
    return 1;
}

int32_t LoadHistoryText(char* text) {
    HistoryStoreRecord* h = &HistoryStore;
    if (!text || h->size < 1 || !h->slots) return h->count;
    int32_t taken = 0;
    char* p = text;
    while (*p && taken < h->size) {
        char* line = p;
        // CR LF as written, or a bare LF as other programs save text; a lone
        // CR stays part of the entry.
        while (*p && *p != '\n' && !(p[0] == '\r' && p[1] == '\n')) p += CharStepSjis(p);
        if (*p == '\r') *p++ = '\0';
        if (*p == '\n') *p++ = '\0';
        if (*line) {
            AddToHistory(line, 1);
            taken++;
        }
    }
    return h->count;
}

int ResizeHistory(int32_t size) {
    HistoryStoreRecord* h = &HistoryStore;
    if (size < 1 || (uint64_t)size > SIZE_MAX / sizeof(char*)) {
        FreeHistory();
        return 0;
    }
    if (!h->slots) return ResetHistory(size);
    if (size == h->size) return 1;
    char** slots = (char**)MemAlloc((size_t)size * sizeof(char*));
    if (!slots) return 0;
    memset(slots, 0, (size_t)size * sizeof(char*));
    int32_t keep = h->count < size ? h->count : size;
    memcpy(slots, h->slots, (size_t)keep * sizeof(char*));
    for (int32_t i = keep; i < h->count; i++) MemFree(h->slots[i]);
    MemFree(h->slots);
    h->slots = slots;
    h->size = size;
    h->count = keep;
    return 1;
}

int LoadHistory(void) {
    int32_t size = Settings.size;
    if (size < 1) {
        FreeHistory();
        return DF_MISSING;
    }
    int status = DF_MISSING;
    char* text = LoadDataFile(DF_HISTORY, &status, nullptr);
    if (status == DF_UNREADABLE) {
        // What is held stays; the layer keeps the file from being saved over.
        ResizeHistory(size);
        return status;
    }
    if (!ResetHistory(size)) {
        // Out of memory: nothing of the file is held, so it must not be replaced.
        MemFree(text);
        if (status == DF_READ) MarkDataFileUnreadable(DF_HISTORY);
        return status;
    }
    if (text) LoadHistoryText(text);
    MemFree(text);
    return status;
}

int MergeHistoryFile(void) {
    HistoryStoreRecord* h = &HistoryStore;
    if (h->size < 1 || !h->slots) return DF_MISSING;
    int status = DF_MISSING;
    char* text = LoadDataFile(DF_HISTORY, &status, nullptr);
    if (status != DF_READ) {
        MemFree(text);
        return status;
    }
    // The file is read into a store of its own, by the rules of a load.
    HistoryStoreRecord held = *h;
    h->slots = nullptr;
    h->count = 0;
    h->size = 0;
    bool ok = ResetHistory(held.size);
    if (ok) LoadHistoryText(text);
    MemFree(text);
    HistoryStoreRecord file = *h;
    *h = held;
    if (!ok) {
        // Nothing of the file could be taken in: it must not be replaced.
        MarkDataFileUnreadable(DF_HISTORY);
        return DF_UNREADABLE;
    }
    // File entries follow the held ones while there is room; the rest go.
    for (int32_t i = 0; i < file.count; i++) {
        char* entry = file.slots[i];
        if (h->count < h->size && FindEqual(h->slots, h->count, entry) < 0) {
            h->slots[h->count++] = entry;
        } else {
            MemFree(entry);
        }
    }
    MemFree(file.slots);
    return status;
}

int ReloadHistoryStore(int32_t size) {
    // What is held goes to the file first; SaveHistory does nothing when the
    // History is empty and writes nothing over a file it could not read.
    if (HistoryStore.count > 0 && HistoryStore.size > 0) SaveHistory();
    if (size < 1) {
        FreeHistory();
        return DF_MISSING;
    }
    if (!ResizeHistory(size)) {
        // Out of memory: the store keeps its old size, and the file stays.
        return DF_UNREADABLE;
    }
    return MergeHistoryFile();
}

long FormatHistory(char* buf, size_t bufSize) {
    const HistoryStoreRecord* h = &HistoryStore;
    size_t total = 0;
    for (int32_t i = 0; h->slots && i < h->count; i++) {
        total += strlen(h->slots[i]) + 2;
        if (total > (size_t)LONG_MAX - 1) return -1;
    }
    if (!buf) return (long)total;
    if (bufSize < total + 1) return -1;
    char* out = buf;
    for (int32_t i = 0; h->slots && i < h->count; i++) {
        size_t n = strlen(h->slots[i]);
        memcpy(out, h->slots[i], n);
        out += n;
        *out++ = '\r';
        *out++ = '\n';
    }
    *out = '\0';
    return (long)(out - buf);
}

int SaveHistory(void) {
    const HistoryStoreRecord* h = &HistoryStore;
    if (h->size < 1 || !h->slots || h->count < 1) return 0;
    // A file that could not be read before is read now, so that what it holds
    // is written back with what was added since.
    if (DataFileLastLoad(DF_HISTORY) == DF_UNREADABLE && MergeHistoryFile() != DF_READ) return 0;
    long need = FormatHistory(nullptr, 0);
    if (need <= 0) return 0;
    char* block = (char*)MemAlloc((size_t)need + 1);
    if (!block) return 0;
    long len = FormatHistory(block, (size_t)need + 1);
    int ok = len > 0 && SaveDataFile(DF_HISTORY, block, (size_t)len);
    MemFree(block);
    return ok;
}

void SaveAndFreeHistory(void) {
    if (HistoryStore.count > 0 && HistoryStore.size > 0) SaveHistory();
    FreeHistory();
}

int ClearHistory(void) {
    HistoryStoreRecord* h = &HistoryStore;
    for (int32_t i = 0; h->slots && i < h->count; i++) {
        MemFree(h->slots[i]);
        h->slots[i] = nullptr;
    }
    h->count = 0;
    char path[DATA_PATH_SIZE];
    if (!DataFilePath(DF_HISTORY, path, sizeof path) || !FileExists(path)) return 1;
    return SaveDataFile(DF_HISTORY, "", 0);
}

int32_t HistoryItems(ItemArray* items, bool (*isFolder)(const char* path)) {
    if (!items) return -1;
    const HistoryStoreRecord* h = &HistoryStore;
    int32_t count = h->slots ? h->count : 0;
    if (!AllocItems(items, count)) return -1;
    for (int32_t i = 0; i < count; i++) {
        const char* entry = h->slots[i];
        uint32_t flags = 0;
        if (Settings.his.fldclass == 1 && isFolder) {
            bool folder = false;
            if (IsSeparator(entry[0]) && !IsSeparator(entry[1])) {
                // A rooted path that would be cut names something else.
                const char* start = HistoryStore.startDir;
                if (start && strlen(start) + strlen(entry) < LIST_ITEM_PATH_SIZE) {
                    char rooted[LIST_ITEM_PATH_SIZE + 8];
                    ConcatTo(start, entry, rooted, sizeof rooted);
                    folder = isFolder(rooted);
                }
            } else {
                folder = isFolder(entry);
            }
            flags = folder ? ItemFolder : ItemFile;
        }
        if (!AppendItem(items, entry, flags)) {
            FreeItems(items);
            return -1;
        }
    }
    return items->count;
}
