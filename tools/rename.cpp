// rename.cpp - the rename dialog of tools.exe: one per path, the current name
// shown and pre-filled with its stem selected; a name the file system would
// refuse is turned away with a message and the dialog stays.
#include <stdio.h>
#include <string.h>

#include "../common/strutil.h"
#include "../common/toolrules.h"
#include "../resources/toolsres.h"
#include "tools.h"

// The file being renamed: its folder and name, split once.
struct RenameTarget {
    const char* path;
    char folder[TOOL_PATH_SIZE];
    char name[TOOL_PATH_SIZE];
};

static bool SplitTarget(const char* path, RenameTarget* target) {
    target->path = path;
    CopyString(target->folder, path, sizeof target->folder);
    RemoveTrailingSeparator(target->folder);
    const char* name = FileNamePart(target->folder, target->name, sizeof target->name);
    if (!name || !target->name[0]) return false;
    CutLastComponent(target->folder);
    return true;
}

// The system's text of an error code, or its number.
static void SystemErrorText(DWORD code, char* out, size_t size) {
    if (!FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code,
                        0, out, (DWORD)size, nullptr))
        snprintf(out, size, "エラー %lu", (unsigned long)code);
}

static const char* NameProblem(int check) {
    switch (check) {
        case NAME_EMPTY:
            return "新しい名前を入力してください。";
        case NAME_BAD_CHAR:
            return "ファイル名に次の文字は使えません。\r\n\\ / : * ? \" < > |";
        case NAME_BAD_END:
            return "ファイル名の最後に空白やピリオドは使えません。";
        case NAME_TOO_LONG:
            return "名前が長すぎます。";
    }
    return nullptr;
}

// OK: true when the dialog may close (renamed, or nothing to change).
static bool TryRename(HWND dlg, const RenameTarget* target) {
    char name[TOOL_PATH_SIZE * 2];
    GetDlgItemTextA(dlg, IDC_RENAME_NEW, name, sizeof name);
    const char* problem = strlen(name) >= TOOL_PATH_SIZE ? NameProblem(NAME_TOO_LONG)
                                                         : NameProblem(CheckNewName(name, target->folder));
    char newPath[TOOL_PATH_SIZE];
    if (!problem) {
        if (strcmp(name, target->name) == 0) return true;  // unchanged
        if (!JoinFolderName(target->folder, name, newPath, sizeof newPath))
            problem = NameProblem(NAME_TOO_LONG);
        // Only a change of case may name the file itself.
        else if (lstrcmpiA(name, target->name) != 0 &&
                 GetFileAttributesA(newPath) != INVALID_FILE_ATTRIBUTES)
            problem = "同じ名前のファイルまたはフォルダがすでにあります。";
    }
    if (problem) {
        MessageBoxA(dlg, problem, "tools", MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(dlg, IDC_RENAME_NEW));
        return false;
    }
    if (!MoveFileA(target->path, newPath)) {
        DWORD code = GetLastError();
        char reason[512], text[TOOL_PATH_SIZE + 600];
        SystemErrorText(code, reason, sizeof reason);
        snprintf(text, sizeof text, "名前を変更できませんでした。\r\n%s\r\n%s", target->path, reason);
        MessageBoxA(dlg, text, "tools", MB_OK | MB_ICONEXCLAMATION);
        SetFocus(GetDlgItem(dlg, IDC_RENAME_NEW));
        return false;
    }
    return true;
}

// Posted by the dialog to itself once it is up: the dialog manager selects
// the whole text of the edit that gets the focus on activation, so the stem is
// selected after that.
enum { WM_SELECT_STEM = WM_APP + 1 };

static void OnRenameInit(HWND dlg, const RenameTarget* target) {
    SetDlgItemTextA(dlg, IDC_RENAME_OLD, target->name);
    HWND edit = GetDlgItem(dlg, IDC_RENAME_NEW);
    SendMessageA(edit, EM_LIMITTEXT, TOOL_PATH_SIZE - 1, 0);
    SetWindowTextA(edit, target->name);
    SetForegroundWindow(dlg);
    SetFocus(edit);
    PostMessageA(dlg, WM_SELECT_STEM, 0, 0);
}

static void SelectStem(HWND dlg, const RenameTarget* target) {
    HWND edit = GetDlgItem(dlg, IDC_RENAME_NEW);
    SetFocus(edit);
    // Positions of an edit control of this program count bytes of the code page.
    SendMessageA(edit, EM_SETSEL, 0, (LPARAM)StemLength(target->name, nullptr));
}

static INT_PTR CALLBACK RenameDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(dlg, DWLP_USER, lParam);
            OnRenameInit(dlg, (const RenameTarget*)lParam);
            return FALSE;  // the focus is set
        case WM_SELECT_STEM:
            SelectStem(dlg, (const RenameTarget*)GetWindowLongPtrA(dlg, DWLP_USER));
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                const RenameTarget* target = (const RenameTarget*)GetWindowLongPtrA(dlg, DWLP_USER);
                if (TryRename(dlg, target)) EndDialog(dlg, IDOK);
                return TRUE;
            }
            if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(dlg, IDCANCEL);
                return TRUE;
            }
            break;
    }
    return FALSE;
}

int RenameAll(HWND owner, const char* list) {
    int renamed = 0;
    for (const char* p = list; p && *p; p += strlen(p) + 1) {
        RenameTarget target;
        if (!SplitTarget(p, &target)) {
            char text[TOOL_PATH_SIZE + 64];
            snprintf(text, sizeof text, "この項目は名前を変更できません。\r\n%s", p);
            ToolsMessage(text);
            continue;
        }
        INT_PTR r = DialogBoxParamA(Tools.instance, MAKEINTRESOURCEA(IDD_RENAME), owner,
                                    RenameDlgProc, (LPARAM)&target);
        if (r == IDOK) renamed++;
    }
    return renamed;
}
