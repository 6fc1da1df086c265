// listitem.h - the list entry record, the list kinds and the item array that
// each list window holds its own of. Pure (no windows.h).
#pragma once
#include <stdint.h>

// Bits of ListItem::flags.
enum ListItemFlag : uint32_t {
    ItemFile = 0x1,    // a file
    ItemFolder = 0x4,  // a folder
    ItemWide = 0x100,  // the text holds a double-byte character
    ItemNoIcon = 0x200,  // the shell had no icon for it: not asked again
};

// Size of ListItem::path: at most 263 bytes of text and the NUL.
enum { LIST_ITEM_PATH_SIZE = 264 };

struct ListItem {
    char path[LIST_ITEM_PATH_SIZE];  // code page 932, always NUL-terminated
    uint32_t flags;                  // ListItemFlag bits
    int32_t viewIndex;               // row in the window, -1 hidden by the filter
    int32_t image;                   // icon index in the window's image list, -1 none yet
    uint32_t window;                 // Explorer window handle (Explorer list only), else 0
};

// What a list window shows.
enum ListKind {
    LK_None = 0,
    LK_Default = 1,
    LK_Favorites = 2,
    LK_History = 3,
    LK_Explorer = 4,
    LK_Folder = 5,
    LK_BuiltIn = 6,
    LK_Search = 7,
    LK_SearchRecall = 8,
};

// A heap array of items (zero-filled). items is null while no list is held;
// count items are in use, capacity items are allocated (count < capacity).
// rows is the row-to-item index built by IndexRows: rows[r] is the position of
// the item shown at row r, for rowCount rows (rowRoom allocated); it is only a
// hint that ItemOfRow checks against viewIndex, so a stale index never names
// the wrong item.
struct ItemArray {
    ListItem* items;
    int32_t count;
    int32_t capacity;
    int32_t* rows;
    int32_t rowCount;
    int32_t rowRoom;
};
