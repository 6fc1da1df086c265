// savedtext.h - the edit text put aside while a list or the clock takes the
// edit box, and given back when they leave.
#pragma once
#include <stddef.h>

struct SavedTextState {
    char* text;     // heap copy, or null when nothing is kept
    bool disabled;  // the store is on unless switched off
};
extern SavedTextState SavedText;

// Takes the edit text: an empty text keeps nothing, any other is kept and the
// edit box is emptied. The previous copy is dropped either way.
void StashSavedText(void);
// Puts a kept copy back into the edit box (caret at the end) and drops it;
// 1 when there was one.
int RestoreSavedText(void);
void DiscardSavedText(void);
// Length of the kept copy (0 when none).
size_t SavedTextLength(void);
// Copies the kept copy into dst (empty when none); returns its length.
size_t CopySavedText(char* dst, size_t dstSize);
// Keeps a copy of text (none for null or an empty text), dropping the old one.
void SetSavedText(const char* text);
// Switches the store on (the state at start) or off (stash and set keep nothing).
void EnableSavedText(bool on);
