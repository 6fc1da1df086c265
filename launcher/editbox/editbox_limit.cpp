// editbox_limit.cpp - the byte limit of the edit text. Every reader takes the
// text into a buffer of EDIT_TEXT_MAX bytes, so the box never holds more than
// EDIT_TEXT_MAX - 1 bytes: a typed character or a pasted text that would go
// beyond is refused whole with a beep, never cut (a cut path names another
// file, half a double-byte character names none).
//
// EM_LIMITTEXT alone cannot promise that: Windows' ANSI edit control counts
// bytes, but Wine's counts characters, so 260 double-byte characters would be
// 520 bytes there. The checks below count bytes under both.
#include <windows.h>
#include <string.h>

#include "../../common/strutil.h"
#include "completerules.h"
#include "editbox.h"
#include "editbox_internal.h"

namespace {

// Largest text read back for the check: 260 characters of two bytes each under
// Wine, with room to see that a text is longer still.
const size_t kCheckBufferSize = 2 * EDIT_TEXT_MAX + 2;

}  // namespace

void RefuseEdit(void) {
    EditBox.refusedEdits++;
    MessageBeep(MB_OK);
}

bool EditHasRoomFor(HWND wnd, size_t insertBytes) {
    char text[kCheckBufferSize];
    text[0] = '\0';
    GetWindowTextA(wnd, text, (int)sizeof text);
    text[sizeof text - 1] = '\0';
    size_t length = strlen(text);
    if (length >= sizeof text - 1) return false;  // beyond anything the box takes
    DWORD start = 0, end = 0;
    SendMessageA(wnd, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    // The control counts its selection in the unit of its line length: bytes
    // when that equals the byte length (or every character is one byte).
    size_t units = (size_t)SendMessageA(wnd, EM_LINELENGTH, 0, 0);
    bool charUnits = units != length;
    return LengthAfterReplace(text, (int)start, (int)end, charUnits, insertBytes) <
           (size_t)EDIT_TEXT_MAX;
}

bool AdmitEditChar(HWND wnd, WPARAM ch) {
    // The second byte of a double-byte character follows its lead byte's fate.
    if (EditBox.trailState != EDIT_TRAIL_NONE) {
        bool admit = EditBox.trailState == EDIT_TRAIL_ADMIT;
        EditBox.trailState = EDIT_TRAIL_NONE;
        return admit;
    }
    size_t bytes = 1;
    bool lead = false;
    if (ch > 0xFF) {
        bytes = 2;  // both bytes in one message
    } else if (IsLeadByteSjis((unsigned char)ch)) {
        bytes = 2;
        lead = true;
    } else if (ch < 0x20 || ch == 0x7F) {
        return true;  // control characters (Backspace, Ctrl+V, ...) insert nothing
    }
    bool room = EditHasRoomFor(wnd, bytes);
    if (lead) EditBox.trailState = room ? EDIT_TRAIL_ADMIT : EDIT_TRAIL_DROP;
    if (!room) RefuseEdit();
    return room;
}

bool AdmitEditImeChar(HWND wnd, WPARAM ch) {
    if (EditHasRoomFor(wnd, (ch & 0xFF00) ? 2 : 1)) return true;
    RefuseEdit();
    return false;
}

void PasteIntoEdit(HWND wnd) {
    // A single-line box takes the clipboard's text up to its first line break.
    char line[EDIT_TEXT_MAX];
    line[0] = '\0';
    bool haveText = false, fits = false;
    if (IsClipboardFormatAvailable(CF_TEXT) && OpenClipboard(wnd)) {
        HANDLE data = GetClipboardData(CF_TEXT);
        const char* text = data ? (const char*)GlobalLock(data) : nullptr;
        if (text) {
            size_t size = GlobalSize(data), n = 0;
            while (n < size && text[n] && text[n] != '\r' && text[n] != '\n') n++;
            haveText = true;
            if (n < sizeof line) {
                memcpy(line, text, n);
                line[n] = '\0';
                fits = true;
            }
            GlobalUnlock(data);
        }
        CloseClipboard();
    }
    if (!haveText) return;
    if (!fits || !EditHasRoomFor(wnd, strlen(line))) {
        RefuseEdit();
        return;
    }
    SendMessageA(wnd, EM_REPLACESEL, TRUE, (LPARAM)line);
}
