// filterdlg.cpp - the filter dialog 147 of "Favorite(2)": the patterns an
// expanded folder is restricted to.
#include <string.h>

#include "common/strutil.h"
#include "optbox/itempage.h"
#include "optbox/listeditrules.h"
#include "optbox/optdata.h"
#include "resources/optbox_res.h"


struct FilterEdit {
    char* text;
    size_t size;
};

static INT_PTR CALLBACK FilterDialogProc(HWND box, UINT msg, WPARAM wParam, LPARAM lParam) {
    FilterEdit* edit = (FilterEdit*)GetWindowLongPtrA(box, DWLP_USER);
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(box, DWLP_USER, lParam);
            edit = (FilterEdit*)lParam;
            SendDlgItemMessageA(box, IDC_FILTER_TEXT, EM_LIMITTEXT, edit->size - 1, 0);
            SetDlgItemTextA(box, IDC_FILTER_TEXT, edit->text);
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) {
                char text[ITEM_FILTER_SIZE] = "";
                GetDlgItemTextA(box, IDC_FILTER_TEXT, text, sizeof text);
                // A quote would end the pattern part in the file.
                if (strchr(text, '"')) {
                    OptMessage(box, "フィルタに \" は使えません。");
                    return TRUE;
                }
                CopyString(edit->text, text, edit->size);
                EndDialog(box, IDOK);
            } else if (LOWORD(wParam) == IDCANCEL) {
                EndDialog(box, IDCANCEL);
            }
            return TRUE;
    }
    return FALSE;
}

bool EditFilter(HWND owner, char* filter, size_t filterSize) {
    if (filterSize > ITEM_FILTER_SIZE) filterSize = ITEM_FILTER_SIZE;
    FilterEdit edit = {filter, filterSize};
    return DialogBoxParamA(Opt.instance, MAKEINTRESOURCEA(IDD_FILTER), owner, FilterDialogProc,
                           (LPARAM)&edit) == IDOK;
}
