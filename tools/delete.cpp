// delete.cpp - the delete confirmation of tools.exe and the move of the files
// to the Recycle Bin through the shell's file operation (undo allowed), whose
// own dialogs report what goes wrong.
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "../common/fileio.h"
#include "../common/toolrules.h"
#include "../resources/toolsres.h"
#include "tools.h"

struct DeleteRequest {
    const char* list;
    int count;
};

// The paths one per line (CR LF) for the scrolling list of the dialog.
static char* ListLines(const char* list) {
    size_t size = 1;
    for (const char* p = list; *p; p += strlen(p) + 1) size += strlen(p) + 2;
    char* text = (char*)MemAlloc(size);
    if (!text) return nullptr;
    size_t used = 0;
    for (const char* p = list; *p; p += strlen(p) + 1) {
        size_t len = strlen(p);
        memcpy(text + used, p, len);
        used += len;
        text[used++] = '\r';
        text[used++] = '\n';
    }
    text[used] = '\0';
    return text;
}

static void OnDeleteInit(HWND dlg, const DeleteRequest* request) {
    char head[128];
    snprintf(head, sizeof head, "次の%d個の項目をごみ箱へ移動しますか。", request->count);
    SetDlgItemTextA(dlg, IDC_DELETE_COUNT, head);
    char* lines = ListLines(request->list);
    if (lines) {
        SetDlgItemTextA(dlg, IDC_DELETE_LIST, lines);
        MemFree(lines);
    }
    SetForegroundWindow(dlg);
    SetFocus(GetDlgItem(dlg, IDOK));
}

static INT_PTR CALLBACK DeleteDlgProc(HWND dlg, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            OnDeleteInit(dlg, (const DeleteRequest*)lParam);
            return FALSE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) {
                EndDialog(dlg, LOWORD(wParam));
                return TRUE;
            }
            break;
    }
    return FALSE;
}

bool DeleteAll(HWND owner, const char* list, int count) {
    DeleteRequest request = {list, count};
    if (DialogBoxParamA(Tools.instance, MAKEINTRESOURCEA(IDD_DELETE), owner, DeleteDlgProc,
                        (LPARAM)&request) != IDOK)
        return false;
    // The list is already a double-NUL-terminated file list. Asked once above,
    // so the shell does not ask again; its error dialogs stay on.
    SHFILEOPSTRUCTA op;
    ZeroMemory(&op, sizeof op);
    op.hwnd = nullptr;
    op.wFunc = FO_DELETE;
    op.pFrom = list;
    op.fFlags = FOF_ALLOWUNDO | FOF_NOCONFIRMATION;
    int result = SHFileOperationA(&op);
    if (result != 0 && !op.fAnyOperationsAborted) {
        // A shell that reported nothing itself: its code at least.
        char text[96];
        snprintf(text, sizeof text, "ごみ箱へ移動できませんでした。(コード 0x%X)", (unsigned)result);
        ToolsMessage(text);
    }
    return result == 0 && !op.fAnyOperationsAborted;
}
