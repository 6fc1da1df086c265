// historylist.h - the window side of the History: showing it in the item list
// (kind 3), the on/off command, and the built-in commands that write or empty
// it. The store and its file live in history.h.
#pragma once

// Fills the item list with the History, newest first, and shows it under the
// edit box, whose text is put aside. Nothing is shown when the History is
// empty or off, or when memory runs out.
void ShowHistory(void);
// The bound command: hides the History when it was on show (the edit box gets
// its text back), otherwise hides the folder list and shows the History.
void ToggleHistory(void);
// Settings reload: saves the History, fits it to the new size and reads the
// file back in; a read or write that fails loses no entry.
void ReloadHistory(void);
// "#SaveHistory": writes the file while running (History on only).
void RunSaveHistory(void);
// "#FreeHistory": empties the History and truncates its file; a History list
// on show goes away with it.
void RunFreeHistory(void);
