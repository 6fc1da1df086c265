// completion.cpp - path completion in the edit box: the character and IME
// character handlers with typo control, the change and update handlers that
// drive the folder list and completing from the list.
#include "completion.h"

#include <stdio.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../lists/cascade.h"
#include "../lists/defaultlist.h"
#include "../lists/folderlist.h"
#include "../lists/listinput.h"
#include "../lists/listselect.h"
#include "../lists/listwnd.h"
#include "../lists/search.h"
#include "../shell/appstate.h"
#include "../commands/commands.h"
#include "completerules.h"
#include "editbox.h"
#include "editbox_internal.h"

namespace {

struct CompletionState {
    bool trailPending;  // the last WM_CHAR was a lead byte: its trail comes next
};
CompletionState Completion;

bool ItemListShowsList(void) {
    ListKind kind = ShownListKind();
    return kind != LK_None && kind != LK_Folder;
}

bool NamesFolder(const char* text) {
    char path[PATH_WORK_SIZE];
    RootAtStartDir(text, path, sizeof path);
    return path[0] && DirectoryExists(path);
}

// Typo control on an empty box: a letter of a present drive becomes its root.
int TypeDriveLetter(HWND editBox, int c) {
    HideItemList();
    int bit = DriveBitOfLetter(c);
    if (bit < 0 || !(GetLogicalDrives() & (1u << bit))) return 1;
    char root[8];
    snprintf(root, sizeof root, "%c:\\", 'A' + bit);
    SetEditText(root);
    ShowFolderContents(editBox, root, nullptr);
    return 1;
}

// Tab, "/" or "\".
int TypeSeparator(HWND editBox, const char* text, int len) {
    if (GetKeyState(VK_SHIFT) < 0) {
        CommandTarget box = TargetOf(editBox);
        SendCommand(CMD_DIR_UP, &box);
        return 1;
    }
    if (FolderListOnShow()) {
        CompleteFromList(editBox, text, len);
        return 1;
    }
    if (len == 0) {
        ShowDriveList(editBox);
        return 1;
    }
    if (NamesFolder(text)) {
        char folder[EDIT_TEXT_MAX + 1];
        CopyString(folder, text, sizeof folder);
        if (!EndsWithSeparatorSjis(folder) && len + 1 < EDIT_TEXT_MAX) {
            AddTrailingSeparator(folder, sizeof folder);
            SetEditText(folder);
        }
        ShowFolderContents(editBox, folder, nullptr);
        return 1;
    }
    if (len > 3) ShowFolderContents(editBox, text, nullptr);
    return 1;
}

// Any character without a rule of its own.
int TypeOther(HWND editBox, int c, const char* text, int len) {
    bool freeTyping = Settings.typoctr == 0 || AnyFlag(SF_SEARCH_INPUT);
    if (freeTyping && !AnyFlag(SF_FOLDER_FRESH)) {
        SetFlags(SF_USER_DELETED);
        return 0;
    }
    // After a bare drive only a separator may follow.
    if (IsBareDriveText(text)) return 1;
    if (len == 0 && (c == '#' || c == ';')) return 0;
    if (len == 0) return TypeDriveLetter(editBox, c);
    if (EditCaretAtEnd(editBox, true)) {
        char typed[2] = {(char)c, '\0'};
        return ShowFolderContents(editBox, text, typed) ? 0 : 1;
    }
    SetFlags(SF_USER_DELETED);
    return 0;
}

}  // namespace

bool EditCaretAtEnd(HWND editBox, bool noSelection) {
    DWORD start = 0, end = 0;
    SendMessageA(editBox, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    DWORD length = (DWORD)SendMessageA(editBox, EM_LINELENGTH, 0, 0);
    return end == length && (!noSelection || start == end);
}

int EditIndexOfByte(HWND editBox, const char* text, int byteIndex) {
    int length = (int)SendMessageA(editBox, EM_LINELENGTH, 0, 0);
    if (length == (int)strlen(text)) return byteIndex;
    return CharIndexOfByte(text, byteIndex);
}

int OnCompletionChar(HWND editBox, WPARAM ch) {
    int c = (int)(ch & 0xFF);
    // A double-byte character that comes as two WM_CHAR (not through the IME
    // handler) goes in untouched; its second byte may look like "\" and must
    // not act as one. The change handler then narrows the list to the text.
    if (Completion.trailPending) {
        Completion.trailPending = false;
        SetFlags(SF_USER_DELETED);
        return 0;
    }
    if (IsLeadByteSjis((unsigned char)c)) {
        Completion.trailPending = true;
        SetFlags(SF_USER_DELETED);
        return 0;
    }
    // Control combinations act through the key bindings; their characters are
    // dropped, as are those of Enter and Esc, whose key-down already acted.
    if (GetKeyState(VK_CONTROL) < 0) return 1;
    if (c == '\r' || c == 0x1B) return 1;
    if (c == '\t' && ItemListOnShow()) return 1;
    if (ItemListShowsList()) {
        SetFlags(SF_USER_DELETED);
        return 0;
    }
    char text[EDIT_TEXT_MAX];
    int len = ReadEditText(text, sizeof text);
    if (text[0] == '#' || text[0] == ';') return 0;
    if ((len == 0 && c == '\\') || (len == 1 && c == ':')) return 0;
    StartFolderBaseIfIdle();

    switch (c) {
        case '\b':
            SetFlags(SF_USER_DELETED);
            return 0;
        case '\t':
        case '/':
        case '\\':
            return TypeSeparator(editBox, text, len);
        case '"':
        case '<':
        case '>':
            return 1;
        case ':':
            return 0;
        case '|':
            if (AnyFlag(SF_SEARCH_INPUT)) return 1;
            EnterSearchMode();
            SetFlags(SF_USER_DELETED);
            return 0;
    }
    return TypeOther(editBox, c, text, len);
}

int OnCompletionImeChar(HWND editBox, WPARAM ch) {
    if (ItemListShowsList()) {
        SetFlags(SF_USER_DELETED);
        return 0;
    }
    StartFolderBaseIfIdle();
    // Free typing keeps every character, as the character handler does.
    bool freeTyping = Settings.typoctr == 0 || AnyFlag(SF_SEARCH_INPUT);
    char text[EDIT_TEXT_MAX];
    int len = ReadEditText(text, sizeof text);
    if (!freeTyping && len > 2 && EditCaretAtEnd(editBox, true)) {
        char typed[3] = {(char)((ch >> 8) & 0xFF), (char)(ch & 0xFF), '\0'};
        return ShowFolderContents(editBox, text, typed) ? 0 : 1;
    }
    SetFlags(SF_USER_DELETED);
    return 0;
}

void OnCompletionChange(HWND editBox) {
    if (AnyFlag(SF_TEXT_BY_PROGRAM | SF_SEARCH_INPUT)) return;
    if (ItemListShowsList()) {
        FilterItemList(editBox);
        return;
    }
    char text[EDIT_TEXT_MAX];
    int len = ReadEditText(text, sizeof text);
    if (len == 0) {
        HideFolderList();
        SetPathIcon(nullptr);
        return;
    }
    if (text[0] == '#' || text[0] == ';') {
        ClearFlags(SF_USER_DELETED);
        return;
    }
    if (Settings.icon == 1) RefreshPathIcon();
    if (FolderPartLength() > 0 && len < FolderPartLength()) HideFolderList();

    char last = text[len - 1];
    bool visible = FolderListOnShow();
    DWORD start = 0, end = 0;
    SendMessageA(editBox, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    bool caretAtEnd = EditCaretAtEnd(editBox, false);

    if (EndsWithSeparatorSjis(text) || (FolderPartLength() == -1 && len > 2)) {
        if (start == end) {
            if (visible && !caretAtEnd) HideFolderList();
            if (!visible && !caretAtEnd && !AnyFlag(SF_COMPLETED)) {
                ClearFlags(SF_USER_DELETED);
                return;
            }
            ClearFlags(SF_COMPLETED);
            if (AnyFlag(SF_FOLDER_FRESH)) {
                SendMessageA(editBox, EM_SETSEL, 3, 3);
                ClearFlags(SF_FOLDER_FRESH);
            }
            if (!ShowFolderContents(editBox, text, nullptr)) HideFolderList();
        }
    } else if (AnyFlag(SF_USER_DELETED) && visible) {
        if (!caretAtEnd) HideFolderList();
        if (last == ':') {
            HideFolderList();
            SetPathIcon(nullptr);
        } else if (!ShowFolderContents(editBox, text, nullptr) && !FolderNoMatchShown()) {
            // Typo control off keeps the empty row of a name that matches
            // nothing; otherwise the list goes.
            HideFolderList();
        }
    }
    ClearFlags(SF_USER_DELETED);
}

void OnCompletionUpdate(HWND editBox) {
    char text[EDIT_TEXT_MAX];
    ReadEditText(text, sizeof text);
    // ";" texts: the Default-list lookup while typing; it may put a hit or the
    // name into the box, so the width follows the text it leaves.
    if (text[0] == ';') {
        LookUpWhileTyping(editBox, text);
        ReadEditText(text, sizeof text);
    }
    if (Settings.autoresize != 1) return;
    if (!AnyFlag(SF_TEXT_BY_PROGRAM) || AnyFlag(SF_HANDED_TEXT)) {
        ClearFlags(SF_HANDED_TEXT);
        FitEditWidth(text);
    }
}

void CompleteFromList(HWND editBox, const char* text, int textLen) {
    char name[LIST_ITEM_PATH_SIZE];
    if (!FolderNameToComplete(name, sizeof name)) return;
    (void)textLen;
    char completed[PATH_WORK_SIZE];
    if (!CompletedText(text, name, completed, sizeof completed)) return;
    if (FolderListOnShow() && NamesFolder(completed) && !AnyFlag(SF_FOLDER_FRESH))
        AddTrailingSeparator(completed, sizeof completed);
    // The box holds at most 260 characters: a longer name cannot be taken.
    if (strlen(completed) >= EDIT_TEXT_MAX) return;
    HideFolderList();
    SetFlags(SF_COMPLETED);
    SetEditText(completed);
    if (GetFocus() != editBox) SetFocus(editBox);
}

int FolderListEnter(HWND editBox) {
    char text[EDIT_TEXT_MAX];
    int len = ReadEditText(text, sizeof text);
    if (len == 0) {
        HideFolderList();
        return 0;
    }
    if (EndsWithSeparatorSjis(text)) {
        RunEditText(text);
        return 1;
    }
    CompleteFromList(editBox, text, len);
    return 0;
}
