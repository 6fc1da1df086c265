// historylist.cpp - the History in the item list and the commands around it.
#include "historylist.h"

#include <windows.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/winutil.h"
#include "../editbox/editbox.h"
#include "../editbox/savedtext.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "cascade.h"
#include "history.h"
#include "../../common/itemarray.h"
#include "listwnd.h"
#include "../migemo/migemo.h"

void ShowHistory(void) {
    if (HistoryStore.size < 1 || HistoryStore.count < 1) return;
    // The shared array may hold the folder list: it is hidden first so that
    // its window never draws from the History's items.
    HideFolderList();
    EmptyHiddenLists();
    if (HistoryItems(&Lists.item.array, DirectoryExists) < 1) {
        // Out of memory: whatever the list held is gone, so is the list.
        FreeItems(&Lists.item.array);
        HideItemList();
        return;
    }
    if (!Lists.item.wnd || !IsWindow(Lists.item.wnd)) {
        FreeItems(&Lists.item.array);
        FatalError(FATAL_HISTORY_NO_ITEM_LIST);
        return;
    }

    StashSavedText();
    SetPathIcon(nullptr);
    Lists.item.kind = LK_History;
    FillItemList();
    SetItemListMultiSelect(true);
    PlaceItemList(Lists.item.array.count);
    FocusEditBox();
}

void ToggleHistory(void) {
    if (SwitchOffItemList(LK_History, LK_History, nullptr)) return;
    HideFolderList();
    ShowHistory();
    LoadMigemo(EditBox.wnd);
}

void ReloadHistory(void) { ReloadHistoryStore(Settings.size); }

void RunSaveHistory(void) {
    if (Settings.size >= 1) SaveHistory();
}

void RunFreeHistory(void) {
    // A History list on show would point at entries that are gone.
    if (Lists.item.kind == LK_History) HideItemList();
    ClearHistory();
}
