// itemarray.cpp - allocation and growth of item arrays.
#include "itemarray.h"

#include <stdint.h>
#include <string.h>

#include "fileio.h"
#include "strutil.h"

static bool BytesFor(int64_t count, size_t* bytes) {
    if (count <= 0 || count > INT32_MAX) return false;
    if ((uint64_t)count > SIZE_MAX / sizeof(ListItem)) return false;
    *bytes = (size_t)count * sizeof(ListItem);
    return true;
}

int32_t GrownCapacity(int32_t n, int32_t current) {
    if (n < 0 || n < current) return current;
    if (n == INT32_MAX) return -1;
    int64_t want = (int64_t)current + current / 2;
    if (want < ITEM_ARRAY_FIRST_CAPACITY) want = ITEM_ARRAY_FIRST_CAPACITY;
    if (want <= n) want = (int64_t)n + 1;
    if (want > INT32_MAX) want = INT32_MAX;
    return (int32_t)want;
}

// The one folded copy kept (see FoldedNamesOf): a single heap block holding
// the record, the start offsets, the ASCII marks and the texts.
struct FoldedCacheState {
    FoldedNames* block;
    int32_t capacity;  // capacity of the array it was made of
};
static FoldedCacheState FoldedCache;

static void DropFolded(void) {
    MemFree(FoldedCache.block);
    FoldedCache.block = nullptr;
    FoldedCache.capacity = 0;
}

void ForgetFoldedNames(const ListItem* items) {
    if (FoldedCache.block && items && FoldedCache.block->items == items) DropFolded();
}

static int32_t TextLength(const ListItem& item) {
    const void* end = memchr(item.path, '\0', sizeof item.path);
    return end ? (int32_t)((const char*)end - item.path) : (int32_t)sizeof item.path - 1;
}

const FoldedNames* FoldedNamesOf(const ItemArray* array) {
    if (!array || !array->items || array->count <= 0 || array->count > array->capacity)
        return nullptr;
    FoldedNames* f = FoldedCache.block;
    if (f && f->items == array->items && f->count == array->count &&
        FoldedCache.capacity == array->capacity)
        return f;
    DropFolded();
    int32_t count = array->count;
    // Folding never makes a text longer.
    size_t textBytes = 0;
    for (int32_t i = 0; i < count; i++) textBytes += (size_t)TextLength(array->items[i]) + 1;
    size_t offsets = sizeof(FoldedNames);
    offsets = (offsets + alignof(int32_t) - 1) / alignof(int32_t) * alignof(int32_t);
    size_t scratch = offsets + ((size_t)count + 1) * sizeof(int32_t);
    size_t marks = scratch + (size_t)count * sizeof(uint16_t);
    size_t texts = marks + (size_t)count;
    if (textBytes > (size_t)INT32_MAX || texts > SIZE_MAX - textBytes) return nullptr;
    char* block = (char*)MemAlloc(texts + textBytes);
    if (!block) return nullptr;
    f = (FoldedNames*)block;
    int32_t* start = (int32_t*)(block + offsets);
    uint16_t* marksOfFilters = (uint16_t*)(block + scratch);
    unsigned char* ascii = (unsigned char*)(block + marks);
    char* text = block + texts;
    int32_t at = 0;
    for (int32_t i = 0; i < count; i++) {
        const ListItem& item = array->items[i];
        int32_t len = TextLength(item);
        unsigned char any = 0;
        for (int32_t k = 0; k < len; k++) any |= (unsigned char)item.path[k];
        start[i] = at;
        ascii[i] = any < 0x80;
        text[at] = '\0';
        at += MapCharsSjis(LowerAscii, item.path, text + at, len, (size_t)len + 1) + 1;
    }
    start[count] = at;
    f->items = array->items;
    f->count = count;
    f->text = text;
    f->start = start;
    f->ascii = ascii;
    f->scratch = marksOfFilters;
    FoldedCache.block = f;
    FoldedCache.capacity = array->capacity;
    return f;
}

void SetListItem(ListItem* item, const char* text, uint32_t flags) {
    // A folded copy that holds this item is out of date now.
    FoldedNames* f = FoldedCache.block;
    if (f && item >= f->items && item < f->items + f->count) DropFolded();
    size_t n = CopyString(item->path, text, sizeof item->path);
    for (size_t i = 0; i < n; i++) {
        if (IsLeadByteSjis((unsigned char)item->path[i])) {
            flags |= ItemWide;
            break;
        }
    }
    item->flags = flags;
    item->image = -1;
    item->window = 0;
}

int AppendItem(ItemArray* array, const char* text, uint32_t flags) {
    if (!array) return 0;
    if (!array->items) {
        size_t bytes;
        if (!BytesFor(ITEM_ARRAY_FIRST_CAPACITY, &bytes)) return 0;
        ListItem* fresh = (ListItem*)MemAlloc(bytes);
        if (!fresh) return 0;
        memset(fresh, 0, bytes);
        array->items = fresh;
        array->count = 0;
        array->capacity = ITEM_ARRAY_FIRST_CAPACITY;
    }
    int32_t n = array->count;
    if (n < 0 || n >= INT32_MAX) return 0;
    ForgetFoldedNames(array->items);
    int32_t want = GrownCapacity(n, array->capacity);
    if (want < 0) return 0;
    if (want > array->capacity) {
        size_t bytes;
        if (!BytesFor(want, &bytes)) return 0;
        ListItem* grown = (ListItem*)MemRealloc(array->items, bytes);
        if (!grown) return 0;
        memset(grown + array->capacity, 0, (size_t)(want - array->capacity) * sizeof(ListItem));
        array->items = grown;
        array->capacity = want;
    }
    if (n >= array->capacity) return 0;
    ListItem* item = &array->items[n];
    SetListItem(item, text, flags);
    item->viewIndex = n;
    array->count = n + 1;
    return 1;
}

int AllocItems(ItemArray* array, int32_t count) {
    if (!array) return 0;
    FreeItems(array);
    size_t bytes;
    if (count < 0 || !BytesFor((int64_t)count + 3, &bytes)) return 0;
    ListItem* items = (ListItem*)MemAlloc(bytes);
    if (!items) return 0;
    memset(items, 0, bytes);
    array->items = items;
    array->count = 0;
    array->capacity = count + 3;
    return 1;
}

void FreeItems(ItemArray* array) {
    if (!array) return;
    ForgetFoldedNames(array->items);
    MemFree(array->items);
    MemFree(array->rows);
    *array = ItemArray{};
}

int32_t IndexRows(ItemArray* array) {
    if (!array) return 0;
    array->rowCount = 0;
    if (!array->items || array->count <= 0) return 0;
    if (!array->rows || array->rowRoom < array->count) {
        MemFree(array->rows);
        array->rowRoom = 0;
        array->rows = (int32_t*)MemAlloc(sizeof(int32_t) * (size_t)array->count);
        if (array->rows) array->rowRoom = array->count;
    }
    // Rows are numbered in array order, so the shown items fill the index in
    // turn; items numbered otherwise leave the search to answer.
    bool inOrder = array->rows != nullptr;
    int32_t n = 0;
    for (int32_t i = 0; i < array->count; i++) {
        int32_t row = array->items[i].viewIndex;
        if (row < 0) continue;
        if (row != n) inOrder = false;
        if (inOrder) array->rows[n] = i;
        n++;
    }
    array->rowCount = inOrder ? n : 0;
    return n;
}

int32_t ItemOfRow(const ItemArray* array, int32_t row) {
    if (!array || !array->items || row < 0) return -1;
    if (array->rows && row < array->rowCount) {
        int32_t pos = array->rows[row];
        if (pos >= 0 && pos < array->count && array->items[pos].viewIndex == row) return pos;
    }
    for (int32_t i = row; i < array->count; i++)
        if (array->items[i].viewIndex == row) return i;
    return -1;
}
