// entrydlg.cpp - the entry dialog 144 of the registered-applications page:
// name, program, arguments and working folder of one application, with
// choosers for the program and the folder.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "common/fileio.h"
#include "common/keymap.h"
#include "common/strutil.h"
#include "optbox/appentry.h"
#include "optbox/listeditrules.h"
#include "optbox/optbox.h"
#include "optbox/optdata.h"
#include "resources/optbox_res.h"

struct EntryDialogRecord {
    HWND page;
    HWND list;
    int how;           // AppEntryHow
    int row;           // the edited row (ENTRY_EDIT)
    const char* dropped;
};
static EntryDialogRecord Entry;

static const int EntryFields[APP_COL_COUNT] = {IDC_ENTRY_NAME, IDC_ENTRY_PATH, IDC_ENTRY_ARGS, IDC_ENTRY_FOLDER};
static const char* const EntryLabels[APP_COL_COUNT] = {"表示名", "パス", "引数", "カレントフォルダ"};

static bool Exists(const char* path) { return path[0] && (FileExists(path) || DirectoryExists(path)); }

// Path, name and working folder of a chosen or dropped program.
static void FillFromProgram(HWND box, const char* path) {
    char name[REGAPP_TEXT_SIZE], folder[REGAPP_TEXT_SIZE];
    if (!AppFieldsFromPath(path, name, sizeof name, folder, sizeof folder)) return;
    SetDlgItemTextA(box, IDC_ENTRY_PATH, path);
    SetDlgItemTextA(box, IDC_ENTRY_NAME, name);
    SetDlgItemTextA(box, IDC_ENTRY_FOLDER, folder);
}

// The folder of the path in the edit when that path exists ("" otherwise).
static void FolderOfCurrentPath(HWND box, bool fileOnly, char* folder, size_t size) {
    char path[MAX_PATH + 1] = "";
    folder[0] = '\0';
    if (GetWindowTextLengthA(GetDlgItem(box, IDC_ENTRY_PATH)) > ITEM_PATH_MAX) return;
    GetDlgItemTextA(box, IDC_ENTRY_PATH, path, sizeof path);
    if (fileOnly ? !FileExists(path) : !Exists(path)) return;
    if (CutLastComponent(path)) CopyString(folder, path, size);
}

static void ChooseProgram(HWND box) {
    static const char filter[] = "EXE(*.exe)\0*.exe\0All Files(*.*)\0*.*\0";
    char start[MAX_PATH + 1], path[MAX_PATH + 1];
    FolderOfCurrentPath(box, false, start, sizeof start);
    if (ChooseFile(box, "ファイル選択", filter, "exe", start[0] ? start : nullptr, path, sizeof path) && path[0])
        FillFromProgram(box, path);
}

static void ChooseWorkingFolder(HWND box) {
    char start[MAX_PATH + 1], folder[MAX_PATH + 1];
    FolderOfCurrentPath(box, true, start, sizeof start);
    if (ChooseFolder(box, "カレントフォルダ選択", start, folder, sizeof folder))
        SetDlgItemTextA(box, IDC_ENTRY_FOLDER, folder);
}

static BOOL OnEntryInit(HWND box) {
    if (Entry.how == ENTRY_EDIT) {
        RegApp entry;
        int count = 0;
        RegApp* rows = ReadAppRows(Entry.list, &count);
        if (!rows || Entry.row < 0 || Entry.row >= count) {
            MemFree(rows);
            EndDialog(box, IDCANCEL);
            return TRUE;
        }
        entry = rows[Entry.row];
        MemFree(rows);
        SetDlgItemTextA(box, IDC_ENTRY_NAME, entry.name);
        SetDlgItemTextA(box, IDC_ENTRY_PATH, entry.path);
        SetDlgItemTextA(box, IDC_ENTRY_ARGS, entry.arg);
        SetDlgItemTextA(box, IDC_ENTRY_FOLDER, entry.folder);
    } else if (Entry.how == ENTRY_DROP) {
        if (!Entry.dropped || !FileExists(Entry.dropped)) {
            EndDialog(box, IDCANCEL);
            return TRUE;
        }
        FillFromProgram(box, Entry.dropped);
    }
    SetFocus(GetDlgItem(box, IDC_ENTRY_NAME));
    return FALSE;
}

static void Refuse(HWND box, int field, const char* format, const char* text) {
    char message[REGAPP_TEXT_SIZE + 200];
    snprintf(message, sizeof message, format, text);
    OptMessage(box, message);
    HWND edit = GetDlgItem(box, EntryFields[field]);
    SetFocus(edit);
    SendMessageA(edit, EM_SETSEL, 0, -1);
}

// Takes the four texts; false (after a message) when they cannot be taken.
static bool OnEntryOk(HWND box) {
    RegApp entry = {};
    char* texts[APP_COL_COUNT] = {entry.name, entry.path, entry.arg, entry.folder};
    for (int i = 0; i < APP_COL_COUNT; i++) {
        // Too long for the file: refused, never cut into another path.
        if (GetWindowTextLengthA(GetDlgItem(box, EntryFields[i])) > REGAPP_TEXT_SIZE - 1) {
            Refuse(box, i, "%sが長すぎます(260バイトまで)。", EntryLabels[i]);
            return false;
        }
        GetDlgItemTextA(box, EntryFields[i], texts[i], REGAPP_TEXT_SIZE);
    }
    int count = 0;
    RegApp* rows = ReadAppRows(Entry.list, &count);
    if (!rows) return false;
    const char** names = (const char**)MemAlloc((size_t)(count + 1) * sizeof(char*));
    int32_t* ids = (int32_t*)MemAlloc((size_t)(count + 1) * sizeof(int32_t));
    if (!names || !ids) {
        MemFree(rows);
        MemFree(names);
        MemFree(ids);
        return false;
    }
    for (int i = 0; i < count; i++) {
        names[i] = rows[i].name;
        ids[i] = rows[i].cmd;
    }
    int32_t skip = Entry.how == ENTRY_EDIT ? Entry.row : -1;
    int32_t field = 0;
    int result = CheckAppEntryTexts(entry.name, entry.path, entry.arg, entry.folder, Exists(entry.path), names,
                                    count, skip, &field);
    int32_t id = Entry.how == ENTRY_EDIT ? rows[Entry.row].cmd : SmallestFreeAppId(ids, count);
    MemFree(rows);
    MemFree(names);
    MemFree(ids);
    switch (result) {
        case APP_ENTRY_NO_PATH:
            Refuse(box, 1, Entry.how == ENTRY_EDIT ? "%s\r\nは存在しないか不正なパスです。" : "%s\nは存在しないか不正なパスです。",
                   entry.path);
            return false;
        case APP_ENTRY_NAME_TAKEN: Refuse(box, 0, "%s\r\nはすでに存在しています。", entry.name); return false;
        case APP_ENTRY_TOO_LONG: Refuse(box, field, "%sが長すぎます(260バイトまで)。", EntryLabels[field]); return false;
        case APP_ENTRY_BAD_TEXT:
            Refuse(box, field, "%sに使えない文字(; [ 改行)か前後の空白があります。", EntryLabels[field]);
            return false;
    }
    if (id < 0) return false;
    entry.cmd = id;
    if (Entry.how == ENTRY_EDIT) {
        PutAppRow(Entry.list, Entry.row, &entry, false);
        return true;
    }
    int selected = ListView_GetNextItem(Entry.list, -1, LVNI_SELECTED);
    int row = PutAppRow(Entry.list, InsertPosition(selected, (int)SendMessageA(Entry.list, LVM_GETITEMCOUNT, 0, 0)),
                        &entry, true);
    SelectAppRow(Entry.list, row);
    // A binding without a key, so the key page lists it with "(NONE)".
    AddAppBinding((uint32_t)id, 0);
    return true;
}

static INT_PTR CALLBACK EntryDialogProc(HWND box, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG: return OnEntryInit(box);
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDOK:
                    if (OnEntryOk(box)) EndDialog(box, IDOK);
                    return TRUE;
                case IDCANCEL: EndDialog(box, IDCANCEL); return TRUE;
                case IDC_ENTRY_PATH_BROWSE: ChooseProgram(box); return TRUE;
                case IDC_ENTRY_FOLDER_BROWSE: ChooseWorkingFolder(box); return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

void RunAppEntry(HWND page, int how, const char* dropped) {
    Entry.page = page;
    Entry.list = AppsList();
    Entry.how = how;
    Entry.dropped = dropped;
    Entry.row = ListView_GetNextItem(Entry.list, -1, LVNI_SELECTED);
    // Editing needs a selected row.
    if (how == ENTRY_EDIT && Entry.row < 0) return;
    DialogBoxParamA(Opt.instance, MAKEINTRESOURCEA(IDD_APP_ENTRY), page, EntryDialogProc, 0);
    SetFocus(Entry.list);
}
