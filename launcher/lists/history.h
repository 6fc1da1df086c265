// history.h - the History of executed texts: the in-memory store, the rules of
// adding, and the file "data\vorn_h.dat" (one entry per line, newest first,
// CR LF after each). Pure (no windows.h); memory through MemAlloc/MemFree, the
// file through the data-file layer (datafile.h): a file that could not be read
// is never saved over, so a History held in memory and one on disk are never
// lost to a moment in which another program held the file.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "../../common/listitem.h"

// slots: size heap strings (index 0 the newest), count of them in use. With
// size below 1 (or no slots allocated) the History is off. No two entries are
// equal ignoring ASCII letter case (double-byte characters compared exactly).
// startDir: heap copy of the start folder (no trailing separator) or null; it
// outlives FreeHistory and is set by the application shell.
struct HistoryStoreRecord {
    char** slots;
    int32_t size;
    int32_t count;
    char* startDir;
};
extern HistoryStoreRecord HistoryStore;

// The start folder that texts beginning with one separator are rooted at (null:
// none). Kept as a copy; null frees it.
void SetHistoryStartDir(const char* dir);

// Adds one text: at most one trailing "\" removed from an executed text (a
// trail byte 0x5C of a double-byte character is not a separator; the loader's
// lines keep theirs, as they were written), a text beginning with exactly one
// separator made absolute with the start folder; an equal entry (ignoring case) is
// removed first; append 0 puts the text at index 0 (the oldest entry dropped when
// full), append 1 after the last entry (the loader; nothing happens when full).
// Empty texts are not recorded. Returns 1 when added, 0 otherwise (History off,
// out of memory: nothing changes then).
int AddToHistory(const char* text, int append);

// Frees what is held and allocates size slots (size below 1: History off, no
// slots). 1 on success, 0 when off or out of memory.
int ResetHistory(int32_t size);
// Gives the store size slots keeping the newest entries that fit (size below
// 1: FreeHistory). 1 on success; 0 when off, or out of memory (nothing changes).
int ResizeHistory(int32_t size);

// Reads text (NUL-terminated, writable, cut in place at each CR LF pair or bare
// LF; a lone CR stays part of an entry) into the store: each non-empty line in
// file order through AddToHistory(line, 1) until size lines have been taken.
// Returns the number of entries held.
int32_t LoadHistoryText(char* text);

// Start-up: reads "data\vorn_h.dat" (never created) into a store of
// Settings.size ([his] size) slots. Returns the DataFileStatus of the read:
// DF_READ (the store holds the file), DF_MISSING (empty store; also when the
// History is off, nothing read), DF_UNREADABLE (what the store held before is
// kept, fitted to the size, and the file is not saved over until a later read
// of it succeeds).
int LoadHistory(void);
// Reads the file again and puts its entries behind those held, as far as there
// is room (entries equal to a held one are left out): what is held is newer
// than the file. Returns the DataFileStatus of the read; only DF_READ changes
// the store.
int MergeHistoryFile(void);
// Settings reload: saves what is held (when allowed), fits the store to size
// and merges the file back in. Whatever fails, no entry held before and none of
// the file is lost. Returns the DataFileStatus of the read (DF_MISSING when the
// History is off).
int ReloadHistoryStore(int32_t size);

// The file bytes of the store: every entry from index 0 followed by CR LF.
// Returns the length written into buf (plus a NUL), the length needed when buf is
// null, -1 when bufSize is too small.
long FormatHistory(char* buf, size_t bufSize);

// Writes the file whole in one atomic replace. Nothing is written when the
// History is off or empty (the file keeps its content). When the file could not
// be read at the last load it is read now and merged (MergeHistoryFile); when
// that fails too, nothing is written. 1 when written.
int SaveHistory(void);

// Frees every entry and the slots (size 0 afterwards).
void FreeHistory(void);
// Shutdown and reload: saves when entries are held, then FreeHistory.
void SaveAndFreeHistory(void);
// "FreeHistory" command: frees all entries (count 0, slots kept) and truncates
// "data\vorn_h.dat" to length 0 when it exists (it is not created; a file that
// could not be read at the last load is not touched either). Returns 1 unless
// the existing file could not be truncated.
int ClearHistory(void);

// The items of the History list, newest first (the previous content of items
// freed): text = the entry, ItemWide when it holds a double-byte character, and
// with the [his] fldclass setting 1 ItemFolder or ItemFile by isFolder (an entry
// beginning with one separator is tested rooted at the start folder, and counts
// as a file without one). Returns the number of items, -1 when memory runs out.
int32_t HistoryItems(ItemArray* items, bool (*isFolder)(const char* path));
