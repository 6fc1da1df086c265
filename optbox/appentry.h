// appentry.h - the rows of the registered-applications page and its entry
// dialog 144, as the page and the dialog share them.
#pragma once
#include <windows.h>

#include "common/regapps.h"

enum AppEntryHow { ENTRY_ADD = 0, ENTRY_EDIT = 1, ENTRY_DROP = 2 };

// Columns of a row: name, path, arguments, working folder; the item data is the id.
enum { APP_COL_NAME = 0, APP_COL_PATH = 1, APP_COL_ARG = 2, APP_COL_FOLDER = 3, APP_COL_COUNT = 4 };

// The page's list control.
HWND AppsList(void);
// The rows as entries (a MemAlloc block of count + 1 entries); null when
// memory ran out. *count receives the number of rows.
RegApp* ReadAppRows(HWND list, int* count);
// Writes the four columns and the id of a row (inserting it at pos when insert).
int PutAppRow(HWND list, int pos, const RegApp* entry, bool insert);
void SelectAppRow(HWND list, int row);
// The applications as currently edited: "data\vorn_e.tmp" when it is there,
// else "data\vorn_e.dat" (every entry, also one whose program is away just
// now); 1 when at least one was read, 0 when there are none, -1 when the file
// is there but could not be read (the user is told).
int ReadCurrentApps(RegAppState* table);

// Dialog 144: adds (at the selection or the end), edits the selected row, or
// adds the dropped file.
void RunAppEntry(HWND page, int how, const char* dropped);
