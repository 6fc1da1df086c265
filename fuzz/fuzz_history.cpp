// Fuzz target for the History file. Input: one byte of options (bits 0-3: the
// store's size - 1; bit 4: a start folder is set), then the file text.
// Checks:
//   - the store holds at most size entries, none empty, no two equal ignoring
//     the case of ASCII letters (double-byte characters compared exactly);
//   - the file written from the store, read into a fresh store, gives the same
//     entries byte for byte (what vorn saves it reads back unchanged), and
//     writing that again gives the same bytes;
//   - the writer is bounded: one byte short is refused, the exact size fits;
//   - the History list shows every entry, newest first.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "common/itemarray.h"
#include "common/strutil.h"
#include "launcher/lists/history.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// Equal ignoring the case of ASCII letters outside double-byte characters (a
// trail byte that looks like a letter is compared exactly).
bool EqualIgnoringAsciiCase(const char* a, const char* b) {
    while (*a && *b) {
        size_t step = CharStepSjis(a);
        if (step != CharStepSjis(b)) return false;
        if (step == 2 ? (a[0] != b[0] || a[1] != b[1])
                      : LowerAscii((unsigned char)*a) != LowerAscii((unsigned char)*b))
            return false;
        a += step;
        b += step;
    }
    return *a == *b;
}

// The written file, or null (out of memory). Checks the writer's bounds.
char* Written(long* length) {
    long need = FormatHistory(nullptr, 0);
    Check(need >= 0);
    char* buf = (char*)malloc((size_t)need + 1);
    if (!buf) return nullptr;
    if (need > 0) Check(FormatHistory(buf, (size_t)need) == -1);
    Check(FormatHistory(buf, (size_t)need + 1) == need);
    Check(strlen(buf) == (size_t)need);
    *length = need;
    return buf;
}

bool FolderTest(const char* path) { return (strlen(path) & 1) != 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 64 * 1024) return 0;
    int32_t slots = (data[0] & 0x0F) + 1;
    SetHistoryStartDir((data[0] & 0x10) ? "C:\\start" : nullptr);
    char* text = (char*)malloc(size);
    if (!text) return 0;
    memcpy(text, data + 1, size - 1);
    text[size - 1] = '\0';

    if (ResetHistory(slots)) {
        LoadHistoryText(text);
        const HistoryStoreRecord& h = HistoryStore;
        Check(h.count >= 0 && h.count <= h.size && h.size == slots);
        for (int32_t i = 0; i < h.count; i++) {
            Check(h.slots[i] != nullptr && h.slots[i][0] != '\0');
            for (int32_t j = 0; j < i; j++) Check(!EqualIgnoringAsciiCase(h.slots[i], h.slots[j]));
        }

        // Keep the entries, write them, read the file into a fresh store.
        int32_t count = h.count;
        char** held = (char**)calloc((size_t)count + 1, sizeof(char*));
        long length = 0;
        char* file = held ? Written(&length) : nullptr;
        if (held && file) {
            for (int32_t i = 0; i < count; i++) held[i] = strdup(h.slots[i]);
            if (ResetHistory(slots)) {
                LoadHistoryText(file);
                Check(HistoryStore.count == count);
                for (int32_t i = 0; i < count; i++) {
                    if (held[i]) Check(strcmp(HistoryStore.slots[i], held[i]) == 0);
                }
                long again = 0;
                char* second = Written(&again);
                Check(!second || again == length);
                free(second);

                ItemArray items = {};
                int32_t n = HistoryItems(&items, FolderTest);
                if (n >= 0) {
                    Check(n == count);
                    for (int32_t i = 0; i < n; i++)
                        Check(strcmp(items.items[i].path, HistoryStore.slots[i]) == 0 ||
                              strlen(HistoryStore.slots[i]) >= sizeof items.items[i].path);
                }
                FreeItems(&items);
            }
        }
        if (held)
            for (int32_t i = 0; i < count; i++) free(held[i]);
        free(held);
        free(file);
    }
    FreeHistory();
    free(text);
    return 0;
}
