// typeahead.h - the search order of type-ahead in a list: which item a typed
// character selects. Pure (no windows.h); the list window keeps the state,
// runs the 800 ms reset timer, selects the row and beeps.
#pragma once
#include "../../common/listitem.h"

// The buffer holds at most 260 typed bytes.
enum { TYPEAHEAD_BUFFER_SIZE = 261 };

struct TypeAheadState {
    char buffer[TYPEAHEAD_BUFFER_SIZE];  // typed since the last reset, ASCII letters lowered
    int32_t length;
    unsigned char last;  // the last character typed (lowered), 0 before the first
};

// Results of TypeAheadFind besides an array position (>= 0).
enum {
    TYPEAHEAD_NOT_FOUND = -1,  // nothing matches: the selection stays, the caller beeps
    TYPEAHEAD_PASS = -2,       // buffer full: the character goes on to the control
};

// The reset timer's work: empties the buffer (the last character is kept).
void ResetTypeAhead(TypeAheadState* state);

// Takes one typed byte c (the caller has already rejected characters that
// cannot occur in a path) and searches array for the item to select.
// currentRow is the first selected row (the caller selects row 0 first when
// none is), -1 when there is none. Returns the array position of the item to
// select (its row is its viewIndex), TYPEAHEAD_NOT_FOUND or TYPEAHEAD_PASS.
int32_t TypeAheadFind(TypeAheadState* state, const ItemArray* array, int32_t currentRow,
                      unsigned char c);
