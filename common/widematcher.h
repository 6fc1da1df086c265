// widematcher.h - how the list filters ask an outside matcher (Migemo) about
// items whose text holds double-byte characters. Pure (no windows.h).
#pragma once
#include <stdint.h>

// Romaji matching of items whose text holds double-byte characters (ItemWide).
// The filters pass null when it is switched off; then every item is matched by
// the plain test. compile turns one term into a query (null: the term matches no
// wide item), match tests one text of length bytes against it: non-zero = match,
// negative = the query cannot tell (its pattern did not compile), and the plain
// test decides for this and every later item of the term. release frees the
// query after the term's pass. One query is alive at a time.
struct WideMatcher {
    void* (*compile)(void* context, const char* term);
    int (*match)(void* context, void* query, const char* text, int32_t length);
    void (*release)(void* context, void* query);
    void* context;
};
