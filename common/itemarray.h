// itemarray.h - allocation and growth of item arrays, and filling one item.
// Memory comes from the process heap through common/fileio.h. Pure (no windows.h).
#pragma once
#include "listitem.h"

// Capacity of a fresh array that grows one item at a time.
enum { ITEM_ARRAY_FIRST_CAPACITY = 101 };

// The capacity the growth rule asks for once the count has reached n: the
// current capacity while n is below it, else half as much again (at least the
// first capacity, always more than n), so a list of a million items is copied
// only a few dozen times. Never less than current (the array is never shrunk);
// -1 when n + 1 items would not fit an int32_t.
int32_t GrownCapacity(int32_t n, int32_t current);

// Fills one record: text copied (cut at a character boundary to 263 bytes),
// flags plus ItemWide when the copied text holds a lead byte, image -1,
// window 0. viewIndex is left to the caller.
void SetListItem(ListItem* item, const char* text, uint32_t flags);

// Appends one item, allocating the fresh array (101 items) or growing it by the
// growth rule first; the new item gets viewIndex = its position. 1 on success,
// 0 when memory runs out (the array is then unchanged).
int AppendItem(ItemArray* array, const char* text, uint32_t flags);

// Frees the array held and allocates count + 3 zero-filled items for a list
// whose size is known (count 0 afterwards). 1 on success; 0 (array empty) when
// count is negative, too large or memory runs out.
int AllocItems(ItemArray* array, int32_t count);

// Frees the items and the row index and empties the record.
void FreeItems(ItemArray* array);

// Builds the row-to-item index from the viewIndex of every item (items with
// viewIndex -1 are hidden). Returns the number of rows; when memory for the
// index runs out the index is dropped and ItemOfRow searches instead.
int32_t IndexRows(ItemArray* array);

// Array position of the item shown at row, or -1: constant time through the
// index when it is current, else a search from row onwards (a row is never
// greater than its item's position).
int32_t ItemOfRow(const ItemArray* array, int32_t row);

// A case-folded copy (MapCharsSjis with LowerAscii) of the texts of an array's
// items, made once and reused by the filters on every key. text holds the
// folded texts one after the other, each closed by its NUL; item i's begins
// at start[i] and start[count] is the end of the last. ascii[i] is 1 when item
// i's text holds no byte of 0x80 or above. The copy is dropped when its items
// change: FreeItems, AllocItems and AppendItem on the array, SetListItem on one
// of its items, or ForgetFoldedNames.
struct FoldedNames {
    const ListItem* items;  // the items it was made of
    int32_t count;
    const char* text;
    const int32_t* start;
    const unsigned char* ascii;
    uint16_t* scratch;  // count marks the filters use while they run
};

// The folded copy of array's items, made now when there is none for them;
// null when the array is empty or memory runs out. Valid until the items
// change (see above). One copy is kept at a time.
const FoldedNames* FoldedNamesOf(const ItemArray* array);
// Drops the folded copy when it was made of items.
void ForgetFoldedNames(const ListItem* items);
