// savedtext.cpp - the stashed edit text (see savedtext.h).
#include "savedtext.h"

#include <windows.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "editbox.h"

SavedTextState SavedText;

void DiscardSavedText(void) {
    MemFree(SavedText.text);
    SavedText.text = nullptr;
}

void SetSavedText(const char* text) {
    DiscardSavedText();
    if (SavedText.disabled || !text || !text[0]) return;
    SavedText.text = MemDupString(text);
}

void StashSavedText(void) {
    DiscardSavedText();
    if (SavedText.disabled || !EditBox.wnd) return;
    char text[EDIT_TEXT_MAX];
    GetWindowTextA(EditBox.wnd, text, sizeof text);
    if (!text[0]) return;
    SavedText.text = MemDupString(text);
    // Only empty the box when the copy was really taken: the text is never lost.
    if (SavedText.text) SetWindowTextA(EditBox.wnd, "");
}

int RestoreSavedText(void) {
    if (!SavedText.text) return 0;
    // A copy the box cannot take whole stays kept rather than cut.
    if (!SetEditText(SavedText.text)) return 0;
    DiscardSavedText();
    return 1;
}

size_t SavedTextLength(void) { return SavedText.text ? strlen(SavedText.text) : 0; }

size_t CopySavedText(char* dst, size_t dstSize) {
    if (!SavedText.text) {
        if (dstSize) dst[0] = '\0';
        return 0;
    }
    return CopyString(dst, SavedText.text, dstSize);
}

void EnableSavedText(bool on) { SavedText.disabled = !on; }
