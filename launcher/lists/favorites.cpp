// favorites.cpp - the Favorites: the pages of "data\vorn_f.dat" in the item
// list, the show command as an on/off switch and the next-page command.
#include "favorites.h"

#include "../../common/datafile.h"
#include "../../common/fileio.h"
#include "../../common/listfile.h"
#include "../../common/settings.h"
#include "../../common/winutil.h"
#include "../editbox/editbox.h"
#include "../editbox/savedtext.h"
#include "../shell/shell.h"
#include "cascade.h"
#include "favpages.h"
#include "../../common/itemarray.h"
#include "listfs_win.h"
#include "listselect.h"
#include "listwnd.h"

void ShowFavorites(HWND editBox, bool nextPage) {
    if (!BeginFavoritesPage(nextPage)) return;
    // Read through the data-file layer (shared reading); vorn never writes it.
    char* text = LoadDataFile(DF_FAVORITES, nullptr, nullptr);
    if (!text) {
        HideItemList();
        return;
    }
    size_t start = FavoritesPageStart(text, &FavoritePage);
    // The page is read into an array of its own: the list on show keeps its
    // items until the new page is ready.
    ItemArray page = {};
    int32_t read = ReadListFile(text + start, LF_FAVORITES, Settings.fav.fldclass,
                                &WinListFileSystem, &page);
    MemFree(text);
    if (read < 0) {
        FreeItems(&page);
        HideItemList();
        FavoritePage = 0;
        return;
    }
    // The typed text is put aside (a "next page" keeps what was put aside
    // when the first page came).
    ShowInItemList(LK_Favorites, &page, nextPage ? ILT_EMPTY : ILT_PUT_ASIDE, editBox, FATAL_FAVORITES_NO_ITEM_LIST);
}

void ToggleFavorites(HWND editBox) {
    if (SwitchOffItemList(LK_Favorites, LK_Favorites, editBox)) return;
    HideFolderList();
    ShowFavorites(editBox, false);
}

void NextFavoritesPage(HWND editBox) {
    if (Lists.item.kind != LK_Favorites) return;
    ShowFavorites(editBox, true);
}
