// typeahead.cpp - the search order of type-ahead in a list.
//
// The typed bytes collect in the buffer; an item is found when its text,
// case-folded, begins with them. With two or more bytes typed the selected item
// is tried first (typing on within the name it already has keeps it); then
// the items after it in array order, then once more from the first item.
// Repeating a single-byte character that finds nothing walks to the next item
// beginning with that character.
#include "typeahead.h"

#include <string.h>

#include "../../common/strutil.h"

namespace {

bool ItemBeginsWith(const ListItem& item, const char* key) {
    char folded[LIST_ITEM_PATH_SIZE];
    folded[0] = '\0';
    const void* end = memchr(item.path, '\0', sizeof item.path);
    int len = end ? (int)((const char*)end - item.path) : (int)sizeof item.path - 1;
    MapCharsSjis(LowerAscii, item.path, folded, len, sizeof folded);
    return StartsWith(folded, key) != nullptr;
}

// The array position of the item shown at row, -1 when none is.
int32_t PositionOfRow(const ItemArray* array, int32_t row) {
    if (row < 0) return -1;
    // A row is never greater than the item's array position: start there.
    for (int32_t i = row < array->count ? row : array->count; i < array->count; i++)
        if (array->items[i].viewIndex == row) return i;
    for (int32_t i = 0; i < row && i < array->count; i++)
        if (array->items[i].viewIndex == row) return i;
    return -1;
}

// Items after position current, then once around from the first item; hidden
// items are skipped.
int32_t SearchAfter(const ItemArray* array, int32_t current, const char* key) {
    for (int32_t i = current + 1; i < array->count; i++)
        if (array->items[i].viewIndex >= 0 && ItemBeginsWith(array->items[i], key)) return i;
    for (int32_t i = 0; i <= current && i < array->count; i++)
        if (array->items[i].viewIndex >= 0 && ItemBeginsWith(array->items[i], key)) return i;
    return TYPEAHEAD_NOT_FOUND;
}

// True when the buffer ends with a lead byte whose trail byte is still to come.
bool AwaitsTrailByte(const TypeAheadState* state) {
    int32_t i = 0;
    while (i < state->length) {
        if (IsLeadByteSjis((unsigned char)state->buffer[i])) {
            if (i + 1 == state->length) return true;
            i += 2;
        } else {
            i++;
        }
    }
    return false;
}

}  // namespace

void ResetTypeAhead(TypeAheadState* state) {
    if (!state) return;
    state->buffer[0] = '\0';
    state->length = 0;
}

int32_t TypeAheadFind(TypeAheadState* state, const ItemArray* array, int32_t currentRow,
                      unsigned char c) {
    if (!state || c == 0) return TYPEAHEAD_PASS;
    if (state->length < 0 || state->length >= TYPEAHEAD_BUFFER_SIZE - 1) return TYPEAHEAD_PASS;

    // The second byte of a double-byte character is never a letter to lower.
    bool trail = AwaitsTrailByte(state);
    unsigned char ch = trail ? c : (unsigned char)LowerAscii(c);
    state->buffer[state->length++] = (char)ch;
    state->buffer[state->length] = '\0';

    int32_t found = TYPEAHEAD_NOT_FOUND;
    if (array && array->items && array->count > 0 && array->count <= array->capacity) {
        int32_t current = PositionOfRow(array, currentRow);
        if (state->length >= 2 && current >= 0 &&
            ItemBeginsWith(array->items[current], state->buffer))
            found = current;
        if (found < 0) found = SearchAfter(array, current, state->buffer);
        bool singleByte = !trail && !IsLeadByteSjis(ch);
        if (found < 0 && singleByte && ch == state->last) {
            char single[2] = {(char)ch, '\0'};
            found = SearchAfter(array, current, single);
            ResetTypeAhead(state);
        }
    }
    state->last = ch;
    return found;
}
