// historylist.cpp - the History in the item list and the commands around it.
#include "historylist.h"

#include <windows.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/winutil.h"
#include "../editbox/editbox.h"
#include "../editbox/editbox_internal.h"
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
    if (Lists.kind == LK_Folder) HideFolderList();
    if (HistoryItems(&Lists.array, DirectoryExists) < 1) {
        // Out of memory: whatever the array held is gone, so is its list.
        FreeItems(&Lists.array);
        HideItemList();
        return;
    }
    if (!Lists.itemList || !IsWindow(Lists.itemList)) {
        FreeItems(&Lists.array);
        ErrorBox(Shell.mainWnd, "fatar errer no8");
        RequestExit();
        return;
    }

    StashSavedText();
    SetPathIcon(nullptr);
    Lists.kind = LK_History;
    FillItemList();
    SetItemListMultiSelect(true);
    PlaceItemList(Lists.array.count);
    FocusEditBox();
}

void ToggleHistory(void) {
    if (SwitchOffItemList(LK_History, LK_History, nullptr)) return;
    HideFolderList();
    ShowHistory();
    LoadMigemo(EditBox.wnd);
}

void ReloadHistory(void) {
    SaveAndFreeHistory();
    LoadHistory();
}

void RunSaveHistory(void) {
    if (Settings.size >= 1) SaveHistory();
}

void RunFreeHistory(void) {
    // A History list on show would point at entries that are gone.
    if (Lists.kind == LK_History) HideItemList();
    ClearHistory();
}
