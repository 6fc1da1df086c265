// pagefields.cpp - reading and filling the fields of the pages: numbers, paths,
// check boxes and up-down ranges.
#include <windows.h>
#include <commctrl.h>

#include <stdio.h>

#include "common/strutil.h"
#include "optbox/optbox.h"
#include "optbox/optrules.h"

void SetNumberField(HWND page, int id, int32_t value) {
    char text[16];
    FormatNumberField(value, text, sizeof text);
    SetDlgItemTextA(page, id, text);
}

int32_t GetNumberField(HWND page, int id, int kind) {
    char text[NUMBER_FIELD_CHARS + 1] = "";
    GetDlgItemTextA(page, id, text, sizeof text);
    return ParseNumberField(text, kind);
}

void SetSpinRange(HWND page, int spinId, int low, int high) {
    SendDlgItemMessageA(page, spinId, UDM_SETRANGE32, (WPARAM)low, (LPARAM)high);
}

bool GetPathField(HWND page, int id, char* dst, size_t dstSize, const char* label) {
    HWND field = GetDlgItem(page, id);
    int length = field ? GetWindowTextLengthA(field) : 0;
    // One byte more than a path may hold tells a path that is too long.
    char text[PATH_FIELD_MAX + 2] = "";
    if (field) GetWindowTextA(field, text, sizeof text);
    if (length > PATH_FIELD_MAX || !PathFieldFits(text)) {
        char message[400];
        snprintf(message, sizeof message, "%s\nのパスが長すぎます(%d文字まで)。", label, PATH_FIELD_MAX);
        OptMessage(page, message);
        if (field) SetFocus(field);
        return false;
    }
    CopyString(dst, text, dstSize);
    return true;
}

void SetCheck(HWND page, int id, bool on) { CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

bool IsChecked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void AddListColumn(HWND list, int index, const char* title, int width) {
    LVCOLUMNA column = {};
    column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
    column.pszText = (char*)title;
    column.cx = width;
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, index, (LPARAM)&column);
}
