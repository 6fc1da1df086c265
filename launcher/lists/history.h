// history.h - the History of executed texts: the in-memory store, the rules of
// adding, and the file "data\vorn_h.dat" (one entry per line, newest first,
// CR LF after each). Pure (no windows.h); memory through MemAlloc/MemFree, the
// file through ReadWholeFile/WriteWholeFile.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "../../common/listitem.h"

// slots: size heap strings (index 0 the newest), count of them in use. With
// size below 1 (or no slots allocated) the History is off. No two entries are
// equal ignoring ASCII letter case (double-byte characters compared exactly).
struct HistoryStoreRecord {
    char** slots;
    int32_t size;
    int32_t count;
};
extern HistoryStoreRecord HistoryStore;

// Adds one text: at most one trailing "\" removed (a trail byte 0x5C of a
// double-byte character is not a separator), a text beginning with exactly one
// separator made absolute with App.startDir; an equal entry (ignoring case) is
// removed first; append 0 puts the text at index 0 (the oldest entry dropped when
// full), append 1 after the last entry (the loader; nothing happens when full).
// Empty texts are not recorded. Returns 1 when added, 0 otherwise (History off,
// out of memory: nothing changes then).
int AddToHistory(const char* text, int append);

// Frees what is held and allocates size slots (size below 1: History off, no
// slots). 1 on success, 0 when off or out of memory.
int ResetHistory(int32_t size);

// Reads text (NUL-terminated, writable, cut in place at each CR LF pair; a lone
// CR or LF stays part of an entry) into the store: each non-empty line in file
// order through AddToHistory(line, 1) until size lines have been taken.
// Returns the number of entries held.
int32_t LoadHistoryText(char* text);

// Start-up and reload: ResetHistory(Settings.size) ([his] size) and read
// "data\vorn_h.dat" (never created). Returns 1 when the file was read, 0 when the
// History is off or the file could not be read (the History is then empty).
int LoadHistory(void);

// The file bytes of the store: every entry from index 0 followed by CR LF.
// Returns the length written into buf (plus a NUL), the length needed when buf is
// null, -1 when bufSize is too small.
long FormatHistory(char* buf, size_t bufSize);

// Writes the file whole in one atomic replace. Nothing is written when the
// History is off or empty (the file keeps its content). 1 when written.
int SaveHistory(void);

// Frees every entry and the slots (size 0 afterwards).
void FreeHistory(void);
// Shutdown and reload: saves when entries are held, then FreeHistory.
void SaveAndFreeHistory(void);
// "FreeHistory" command: frees all entries (count 0, slots kept) and truncates
// "data\vorn_h.dat" to length 0 when it exists (it is not created). Returns 1
// unless the existing file could not be truncated.
int ClearHistory(void);

// The items of the History list, newest first (the previous content of items
// freed): text = the entry, ItemWide when it holds a double-byte character, and
// with the [his] fldclass setting 1 ItemFolder or ItemFile by isFolder (an entry
// beginning with one separator is tested rooted at App.startDir, and counts as a
// file without one). Returns the number of items, -1 when memory runs out.
int32_t HistoryItems(ItemArray* items, bool (*isFolder)(const char* path));
