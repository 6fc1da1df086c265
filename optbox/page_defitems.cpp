// page_defitems.cpp - "Default(2)" (dialog 146): the folders of the Default
// list, "data\vorn_d.dat".
#include "common/datafile.h"
#include "common/listfile.h"
#include "optbox/itempage.h"
#include "optbox/listeditpages.h"
#include "resources/optbox_res.h"

static const ItemPageKind DefaultItems = {
    LF_DEFAULT, DF_DEFAULT, IDC_DEF_LIST,
    IDC_DEF_UP, IDC_DEF_DOWN, IDC_DEF_BLANK, IDC_DEF_SEPARATOR, IDC_DEF_DELETE,
    0, IDC_DEF_ADD_FOLDER,
    true,  // only folders are taken from a drop
};

INT_PTR CALLBACK DefaultItemsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND: return ItemPageCommand(page, &DefaultItems, LOWORD(wParam)) ? TRUE : FALSE;
        case WM_NOTIFY: return ItemPageNotify(page, &DefaultItems, (const NMHDR*)lParam) ? TRUE : FALSE;
        case WM_DROPFILES: ItemPageDrop(page, &DefaultItems, (HDROP)wParam); return TRUE;
    }
    return FALSE;
}

void InitDefaultItemsPage(HWND page) { InitItemPage(page, &DefaultItems); }

bool CollectDefaultItemsPage(HWND page) { return CollectItemPage(page, &DefaultItems); }
