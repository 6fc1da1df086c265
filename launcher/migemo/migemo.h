// migemo.h - Migemo search: romaji typed into the lists finds Japanese names.
// migemo.dll (C/Migemo) expands the typed term into a regular expression, and
// BREGEXP.DLL matches item texts against it. Both are loaded at run time from
// the executable's folder on first need and can be released again; this file
// group is the only place that touches them.
#pragma once
#include <windows.h>

#include "../../common/widematcher.h"

// State of Migemo search (one record, this module's).
struct MigemoState {
    HMODULE migemoModule;   // migemo.dll, or null
    HMODULE bregexpModule;  // BREGEXP.DLL, or null
    void* object;           // the object of migemo_open, or null
    void* regex;            // the BREGEXP record of the last match, or null
    bool termFailed;        // BREGEXP.DLL could not compile the term being filtered
    // Folder the two DLLs are loaded from, ending in a separator; empty: the
    // executable's folder. The in-process tests point it at folders of their own.
    char componentFolder[MAX_PATH];
};
extern MigemoState Migemo;

// Loads both libraries and the dictionary when Migemo is switched on
// (Settings.migemo bit 1), not suspended (SF_MIGEMO_SUSPENDED) and not loaded
// yet. A missing piece shows its message (owner: owner), switches Migemo off
// and leaves nothing loaded. 1 when loaded now, else 0.
int LoadMigemo(HWND owner);
// Closes the Migemo object and unloads both libraries.
void FreeMigemo(void);
// Switches Migemo on for the next list fill.
void EnableMigemo(void);
// Inverts the switch (Settings.migemo bit 1), then FreeMigemo.
void ToggleMigemo(void);
// Switched on, not suspended, and the loaded Migemo object is ready.
bool IsMigemoReady(void);
// With migemomode 1, releases a ready Migemo (the launcher was left).
void ReleaseMigemoIfIdle(void);
// The BREGEXP expression of Migemo's answer for term (anchored at the start
// of the text when anchored), or null (term empty, not loaded or not ready,
// no memory). The caller frees it with MemFree.
char* BuildMigemoPattern(const char* term, bool anchored);
// Non-zero when text matches pattern (a BuildMigemoPattern result).
int MigemoMatch(const char* text, const char* pattern);
// Frees the BREGEXP record kept between matches.
void FreeMigemoRegex(void);

// The romaji matcher of one filtering pass of the folder list (folderList
// true: with inputmode 1 the names must begin with the term) or of an item
// list, or null when Migemo is off, suspended or not ready.
const WideMatcher* MigemoWideMatcher(bool folderList);
