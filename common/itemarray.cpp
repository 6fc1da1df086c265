// itemarray.cpp - allocation and growth of item arrays.
#include "itemarray.h"

#include <stdint.h>
#include <string.h>

#include "fileio.h"
#include "strutil.h"

// Counts below this grow in steps of 100, later ones in steps of 2000.
static const int32_t kSmallStep = 100;
static const int32_t kLargeStep = 2000;
static const int32_t kSmallLimit = 211;
static const int32_t kLargeFrom = 200;

static bool BytesFor(int64_t count, size_t* bytes) {
    if (count <= 0 || count > INT32_MAX) return false;
    if ((uint64_t)count > SIZE_MAX / sizeof(ListItem)) return false;
    *bytes = (size_t)count * sizeof(ListItem);
    return true;
}

int32_t GrownCapacity(int32_t n, int32_t current) {
    if (n < 0) return current;
    int64_t step = n < kSmallLimit ? kSmallStep : kLargeStep;
    int64_t want = current;
    // A full array grows by the rule even off a step boundary (an array that was
    // allocated for a known count and is appended to afterwards).
    if ((n > 0 && n % step == 0) || n >= current) {
        int64_t s = n >= kLargeFrom ? kLargeStep : step;
        want = ((int64_t)n / step + 1) * s + 1;
    }
    if (want < current) want = current;
    if (want > INT32_MAX) return -1;
    return (int32_t)want;
}

void SetListItem(ListItem* item, const char* text, uint32_t flags) {
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
    MemFree(array->items);
    array->items = nullptr;
    array->count = 0;
    array->capacity = 0;
}
