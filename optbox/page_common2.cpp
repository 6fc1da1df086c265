// page_common2.cpp - "共通(2)": the clock's macro text with its menu of codes,
// icons, the list size and width, and Migemo.
#include <windows.h>

#include <stdio.h>

#include "common/settings.h"
#include "common/strutil.h"
#include "optbox/optdata.h"
#include "optbox/optrules.h"
#include "optbox/pages.h"
#include "resources/optbox_res.h"

// Menu identifiers of the macro codes: IDM_MACRO_FIRST + row.
enum { IDM_MACRO_FIRST = 0x8000 };

static void EnableMigemoRelease(HWND page) {
    EnableWindow(GetDlgItem(page, IDC_MIGEMO_RELEASE), IsChecked(page, IDC_MIGEMO_USE));
}

// Inserts a code at the caret of the macro field (over its selection) while
// the text stays within the setting's length.
static void InsertMacroCode(HWND page, const char* code) {
    HWND edit = GetDlgItem(page, IDC_TMACRO);
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    size_t length = (size_t)GetWindowTextLengthA(edit);
    if (!MacroInsertFits(length, end > start ? end - start : 0, strlen(code))) {
        MessageBeep(MB_ICONEXCLAMATION);
        return;
    }
    SendMessageA(edit, EM_REPLACESEL, TRUE, (LPARAM)code);
    SetFocus(edit);
}

static void OnMacroMenu(HWND page) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    for (int row = 0; row < MACRO_MENU_ROWS; row++) {
        char text[80];
        snprintf(text, sizeof text, "%s%s", MacroMenu[row].code, MacroMenu[row].description);
        AppendMenuA(menu, MF_STRING, IDM_MACRO_FIRST + row, text);
    }
    RECT button;
    GetWindowRect(GetDlgItem(page, IDC_TMACRO_MENU), &button);
    TPMPARAMS exclude = {sizeof exclude, button};
    int chosen = (int)TrackPopupMenuEx(menu, TPM_LEFTALIGN | TPM_TOPALIGN | TPM_VERTICAL | TPM_RETURNCMD |
                                                 TPM_LEFTBUTTON,
                                       button.left, button.bottom, page, &exclude);
    DestroyMenu(menu);
    if (chosen >= IDM_MACRO_FIRST && chosen < IDM_MACRO_FIRST + MACRO_MENU_ROWS)
        InsertMacroCode(page, MacroMenu[chosen - IDM_MACRO_FIRST].code);
}

static void OnBrowseMigemo(HWND page) {
    char folder[MAX_PATH];
    if (ChooseFolder(page, "Migemoのフォルダの選択", Opt.moduleFolder, folder, sizeof folder))
        SetDlgItemTextA(page, IDC_MIGEMO_PATH, folder);
}

INT_PTR CALLBACK Common2PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            switch (LOWORD(wParam)) {
                case IDC_TMACRO_MENU:
                    OnMacroMenu(page);
                    return TRUE;
                case IDC_MIGEMO_USE:
                    EnableMigemoRelease(page);
                    return TRUE;
                case IDC_MIGEMO_BROWSE:
                    OnBrowseMigemo(page);
                    return TRUE;
            }
            return FALSE;
    }
    return FALSE;
}

void InitCommon2Page(HWND page) {
    SendDlgItemMessageA(page, IDC_TMACRO, EM_LIMITTEXT, TMACRO_FIELD_LIMIT - 1, 0);
    SetDlgItemTextA(page, IDC_TMACRO, Settings.t_macro);
    SetCheck(page, IDC_SHOW_ICONS, Settings.icon != 0);
    SetSpinRange(page, IDC_LINEMAX_SPIN, 1, 100);
    SetNumberField(page, IDC_LINEMAX, Settings.linemax);
    SetSpinRange(page, IDC_LISTWMAX_SPIN, 0, 260);
    SetNumberField(page, IDC_LISTWMAX, (int32_t)Settings.listwmax);
    SetCheck(page, IDC_MIGEMO_USE, (Settings.migemo & 2) != 0);
    SetCheck(page, IDC_MIGEMO_RELEASE, Settings.migemomode != 0);
    EnableMigemoRelease(page);
    SendDlgItemMessageA(page, IDC_MIGEMO_PATH, EM_LIMITTEXT, 0, 0);
    SetDlgItemTextA(page, IDC_MIGEMO_PATH, Settings.migemo_path);
}

bool CollectCommon2Page(HWND page) {
    char path[PATH_FIELD_MAX + 1];
    if (!GetPathField(page, IDC_MIGEMO_PATH, path, sizeof path, "migemo-dictのフォルダパス")) return false;
    char macro[TMACRO_FIELD_LIMIT] = "";
    GetDlgItemTextA(page, IDC_TMACRO, macro, sizeof macro);
    CopyString(Settings.t_macro, macro, sizeof Settings.t_macro);
    Settings.icon = IsChecked(page, IDC_SHOW_ICONS) ? 1 : 0;
    Settings.linemax = GetNumberField(page, IDC_LINEMAX, NF_COUNT);
    Settings.listwmax = (uint32_t)GetNumberField(page, IDC_LISTWMAX, NF_COUNT);
    Settings.migemo = IsChecked(page, IDC_MIGEMO_USE) ? 3 : 0;
    Settings.migemomode = IsChecked(page, IDC_MIGEMO_RELEASE) ? 1 : 0;
    CopyString(Settings.migemo_path, path, sizeof Settings.migemo_path);
    return true;
}
