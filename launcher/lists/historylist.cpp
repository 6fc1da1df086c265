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
#include "listselect.h"
#include "listwnd.h"

void ShowHistory(void) {
    if (HistoryStore.size < 1 || HistoryStore.count < 1) return;
    // The entries are read into an array of their own: the item list keeps
    // its items until the History is ready to take their place.
    ItemArray entries = {};
    if (HistoryItems(&entries, DirectoryExists) < 1) {
        // Out of memory: no list is shown.
        FreeItems(&entries);
        HideItemList();
        return;
    }
    ShowInItemList(LK_History, &entries, ILT_PUT_ASIDE, nullptr, FATAL_HISTORY_NO_ITEM_LIST);
}

void ToggleHistory(void) {
    if (SwitchOffItemList(LK_History, LK_History, nullptr)) return;
    HideFolderList();
    ShowHistory();
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
