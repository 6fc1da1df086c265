// page_lists.cpp - the list pages "Path", "Exp", "History", "Default",
// "Favorite(1)" and "Search": one shape, the colours of folder and file items
// of one list section, and each page's own options.
#include <windows.h>

#include "common/settings.h"
#include "optbox/optdata.h"
#include "optbox/optrules.h"
#include "optbox/pages.h"
#include "resources/optbox_res.h"

// The dialog id a page was made from (kept from WM_INITDIALOG).
static int PageDialogId(HWND page) { return (int)GetWindowLongPtrA(page, DWLP_USER); }

// The section a page edits.
static ListLook* LookOfPage(HWND page) {
    switch (PageDialogId(page)) {
        case IDD_PAGE_LIST_PATH: return &Settings.path;
        case IDD_PAGE_LIST_EXP: return &Settings.exp;
        case IDD_PAGE_LIST_HIS: return &Settings.his;
        case IDD_PAGE_LIST_DEF: return &Settings.def;
        case IDD_PAGE_LIST_FAV: return &Settings.fav;
        case IDD_PAGE_LIST_SEARCH: return &Settings.search;
    }
    return nullptr;
}

static uint32_t* SwatchColor(HWND page, int id) {
    ListLook* look = LookOfPage(page);
    if (!look) return nullptr;
    switch (id) {
        case IDC_FLD_BKCOLOR: return &look->fldbkcolor;
        case IDC_FLD_FTCOLOR: return &look->fldftcolor;
        case IDC_FIL_BKCOLOR: return &look->filbkcolor;
        case IDC_FIL_FTCOLOR: return &look->filftcolor;
    }
    return nullptr;
}

static void EnableColorLabels(HWND page) {
    bool on = IsChecked(page, IDC_FLDCLASS);
    static const int labels[] = {IDC_FLD_BKLABEL, IDC_FLD_FTLABEL, IDC_FIL_BKLABEL, IDC_FIL_FTLABEL};
    for (int id : labels)
        EnableWindow(GetDlgItem(page, id), on);
}

static void OnSwatch(HWND page, int id) {
    uint32_t* color = SwatchColor(page, id);
    if (!color) return;
    uint32_t chosen = ChooseColorFor(page, *color, CUSTOM_LISTS);
    if (chosen == COLOR_CANCELLED) return;
    *color = chosen;
    InvalidateRect(GetDlgItem(page, id), nullptr, TRUE);
}

INT_PTR CALLBACK ListLookPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            SetWindowLongPtrA(page, DWLP_USER, lParam);
            return TRUE;
        case WM_DRAWITEM: {
            const DRAWITEMSTRUCT* item = (const DRAWITEMSTRUCT*)lParam;
            uint32_t* color = SwatchColor(page, (int)item->CtlID);
            if (!color) return FALSE;
            DrawSwatch(item, *color);
            return TRUE;
        }
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            if (LOWORD(wParam) == IDC_FLDCLASS) EnableColorLabels(page);
            else OnSwatch(page, LOWORD(wParam));
            return TRUE;
    }
    return FALSE;
}

void InitListLookPage(HWND page) {
    if (!Opt.customFilled[CUSTOM_LISTS]) ResetCustomColors(CUSTOM_LISTS);
    const ListLook* look = LookOfPage(page);
    if (!look) return;
    SetCheck(page, IDC_FLDCLASS, look->fldclass == 1);
    EnableColorLabels(page);
    switch (PageDialogId(page)) {
        case IDD_PAGE_LIST_PATH:
            CheckRadioButton(page, IDC_INPUT_PREFIX, IDC_INPUT_INFIX,
                             Settings.inputmode == 1 ? IDC_INPUT_PREFIX : IDC_INPUT_INFIX);
            SetCheck(page, IDC_TYPOCTR, Settings.typoctr == 1);
            break;
        case IDD_PAGE_LIST_HIS:
            SetSpinRange(page, IDC_LIST_SPIN, 1, 30000);
            SetNumberField(page, IDC_HIS_SIZE, Settings.size);
            break;
        case IDD_PAGE_LIST_DEF:
            SetSpinRange(page, IDC_DEF_DIRECT_SPIN, 0, 260);
            SetNumberField(page, IDC_DEF_DIRECT, Settings.direct);
            break;
        case IDD_PAGE_LIST_SEARCH:
            SetSpinRange(page, IDC_LIST_SPIN, 0, 1000);
            SetNumberField(page, IDC_SEARCH_DEPTH, Settings.subfolder);
            SetCheck(page, IDC_SEARCH_KEEP, Settings.keep == 1);
            break;
    }
}

bool CollectListLookPage(HWND page) {
    ListLook* look = LookOfPage(page);
    if (!look) return true;
    look->fldclass = IsChecked(page, IDC_FLDCLASS) ? 1 : 0;
    switch (PageDialogId(page)) {
        case IDD_PAGE_LIST_PATH:
            Settings.inputmode = IsChecked(page, IDC_INPUT_PREFIX) ? 1 : 0;
            Settings.typoctr = IsChecked(page, IDC_TYPOCTR) ? 1 : 0;
            break;
        case IDD_PAGE_LIST_HIS:
            Settings.size = GetNumberField(page, IDC_HIS_SIZE, NF_COUNT);
            break;
        case IDD_PAGE_LIST_DEF:
            Settings.direct = GetNumberField(page, IDC_DEF_DIRECT, NF_COUNT);
            break;
        case IDD_PAGE_LIST_SEARCH:
            Settings.subfolder = GetNumberField(page, IDC_SEARCH_DEPTH, NF_COUNT);
            Settings.keep = IsChecked(page, IDC_SEARCH_KEEP) ? 1 : 0;
            break;
    }
    return true;
}
