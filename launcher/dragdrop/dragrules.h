// dragrules.h - the rules of drag and drop, free of windows.h: the text of
// the tooltip that names what a drop would do, the entries of the drop menu,
// and the blocks a drag hands out (the text list, the sizes of the file-drop
// block, the shell's identifier-list array).
#pragma once
#include <stddef.h>
#include <stdint.h>

// Drop effects as OLE numbers them.
enum { DD_EFFECT_NONE = 0, DD_EFFECT_COPY = 1, DD_EFFECT_MOVE = 2, DD_EFFECT_LINK = 4 };

// The tooltip over a drop target. target: the folder or program a drop would
// go to; menu: the drop will open the drop menu. *effect (in: the effect the
// keys chose) becomes DD_EFFECT_COPY for a program. The text goes to out
// (size bytes; a name that does not fit is cut at a character boundary).
// False (out empty) when target is empty.
bool DragTipText(const char* target, bool menu, uint32_t* effect, char* out, size_t size);

// Identifiers of the drop menu.
enum {
    IDM_DROP_TO_EDIT = 1000,
    IDM_DROP_OPEN_WITH = 1001,
    IDM_DROP_COPY = 1002,
    IDM_DROP_MOVE = 1003,
    IDM_DROP_CANCEL = 1004,
    IDM_DROP_SHORTCUT = 1005,
    DROP_MENU_MAX = 8,
};
// One row of the drop menu: id 0 is a separator.
struct DropMenuEntry {
    int id;
    const char* text;
};
// The rows of the drop menu, top to bottom, into out (room for DROP_MENU_MAX);
// their number. onEdit: dropped on the edit box; target: the folder or
// program under the cursor, or null/"" when there is none.
int DropMenuEntries(bool onEdit, const char* target, DropMenuEntry* out);

// The text form of a file list: each path followed by CR LF. The block
// size: total bytes of the paths with their NULs, plus one byte per path,
// plus 21 (room for the NUL at the end).
size_t TextBlockSize(const char* list);
// Writes that text (NUL-terminated) into block; false when it does not fit.
bool WriteTextBlock(char* block, size_t size, const char* list);

// Bytes of the file-drop block for a list of total bytes (paths with their
// NULs): the header and the list with room for its closing NUL, in UTF-16
// code units when wide.
size_t FileDropBlockSize(size_t total, bool wide);

// The size of a shell identifier list held in bytes (at most max bytes): the
// sizes of its items (little-endian 16-bit counts) plus the two-byte
// terminator. 0 when the list runs past max or an item is shorter than its
// count field.
size_t IdListSize(const unsigned char* list, size_t max);
// Bytes of the identifier-list array for a parent list and n item lists
// (sizes as IdListSize gives them).
size_t IdArrayBlockSize(size_t parentSize, const size_t* itemSizes, int n);
// Writes the identifier-list array: u32 count n, u32 offsets (the parent's
// first, at 4n + 12, then one per item), then the lists one after another.
// A missing item (null or size 0) or a missing parent means the array
// cannot name every dragged file: nothing is written and the result is 0;
// also 0 when it does not fit. Otherwise the bytes used.
size_t WriteIdArrayBlock(unsigned char* block, size_t size, const unsigned char* parent,
                         size_t parentSize, const unsigned char* const* items,
                         const size_t* itemSizes, int n);
