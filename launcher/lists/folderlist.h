// folderlist.h - the folder list: the contents of the folder typed in the edit
// box, narrowed by the typed name, the drive list, and taking its items.
#pragma once
#include <windows.h>

#include "../../common/listitem.h"

// Reads the entries of a folder (folder ends in a separator; "." and ".." are
// left out) into array: folders first, then files, each group in the order
// the file system returns them. The array is allocated for count + 3 items.
// Returns the number of items; 0 (array empty) when the folder holds nothing,
// cannot be read or memory runs out.
int ReadFolderEntries(const char* folder, ItemArray* array);

// Reads the folder part of a typed text (one leading separator rooted at the
// start folder) into the folder list's own array. Returns the number of items.
int ReadFolder(const char* text);

// Opens (hidden list) or narrows (visible list) the folder list for text (the
// edit text when null) plus the character being typed (null or "" for none).
// 1 when something matched, 0 when not.
int ShowFolderContents(HWND editBox, const char* text, const char* typed);

// Shows the drive roots in the folder list under the caret.
void ShowDriveList(HWND editBox);

// Enter or double-click in the folder list (openAll false), or the list
// menu's open item (openAll true).
void TakeFolderItem(bool openAll);

// Narrows the folder list to the typed name: the longest shown name length,
// or FOLDER_NO_MATCH, FOLDER_ONE_COLON, FOLDER_TWO_COLONS (listfilter.h).
int FilterFolderList(const char* filterText);

// Sizes and moves the folder list for a longest name of n bytes.
void PlaceFolderList(int n);

// Bytes of the folder part of the text the folder list was opened for; -1
// once typing has begun a folder (StartFolderBaseIfIdle) that no list shows
// yet; 0 while no folder list is open.
int FolderPartLength(void);
// Typing begins a folder: the folder part is marked as begun (-1) unless a
// folder list already holds it.
void StartFolderBaseIfIdle(void);

// The name of the selected row of the folder list (row 0 when none is
// selected) into name (size bytes); false when the list has no rows or the
// name is empty or does not fit (never cut).
bool FolderNameToComplete(char* name, size_t size);

// True while the folder list shows the empty row of a name that matched
// nothing (typo control off); cleared by the next matching filter.
bool FolderNoMatchShown(void);

