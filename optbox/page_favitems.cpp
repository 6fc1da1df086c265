// page_favitems.cpp - "Favorite(2)" (dialog 145): the items of the Favorites,
// in pages, "data\vorn_f.dat".
#include "common/datafile.h"
#include "common/listfile.h"
#include "optbox/itempage.h"
#include "optbox/listeditpages.h"
#include "resources/optbox_res.h"

static const ItemPageKind FavoriteItems = {
    LF_FAVORITES, DF_FAVORITES, IDC_FAV_LIST,
    IDC_FAV_UP, IDC_FAV_DOWN, IDC_FAV_BLANK, IDC_FAV_NEXTPAGE, IDC_FAV_DELETE,
    IDC_FAV_ADD_FILE, IDC_FAV_ADD_FOLDER,
    false,  // files and folders are taken from a drop
};

INT_PTR CALLBACK FavoriteItemsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND: return ItemPageCommand(page, &FavoriteItems, LOWORD(wParam)) ? TRUE : FALSE;
        case WM_NOTIFY: return ItemPageNotify(page, &FavoriteItems, (const NMHDR*)lParam) ? TRUE : FALSE;
        case WM_DROPFILES: ItemPageDrop(page, &FavoriteItems, (HDROP)wParam); return TRUE;
    }
    return FALSE;
}

void InitFavoriteItemsPage(HWND page) { InitItemPage(page, &FavoriteItems); }

bool CollectFavoriteItemsPage(HWND page) { return CollectItemPage(page, &FavoriteItems); }
