// listmenu.cpp - the context menu of the list windows (one menu for the item
// list, the folder list and the cascade lists); its choices are commands on
// the list window and the row the menu was opened on.
#include <windows.h>
#include <commctrl.h>

#include "../../common/winutil.h"
#include "../commands/commands.h"
#include "listselect.h"
#include "cascade.h"
#include "folderlist.h"
#include "itemkinds.h"
#include "listinput.h"
#include "listwnd.h"
#include "search.h"

HMENU BuildListMenu(void) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    AddCommandItem(menu, CMD_OPEN, "開く(&O)", true);
    AddCommandItem(menu, CMD_SELECT_ALL, "すべて選択(&A)", true);
    AddMenuSeparator(menu);
    AddFileCommandItems(menu);
    AddMenuSeparator(menu);
    AddCommandItem(menu, CMD_SHELL_MENU, "シェルメニュー(&T)", true);
    return menu;
}

POINT KeyboardMenuPoint(HWND list) {
    RECT rc;
    GetWindowRect(list, &rc);
    POINT pt;
    pt.x = rc.left + (rc.right - rc.left) / 2;
    int row = (int)SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED | LVNI_SELECTED);
    if (row < 0) row = 0;
    int top = (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    int height = ListRowHeight(list);
    pt.y = rc.top + height * (row - top) + height / 2;
    return pt;
}

// "開く(&O)": the item list opens its selection, the folder list and the
// cascade lists open all their selected items.
void OpenFromList(HWND list) {
    if (list == Lists.item.wnd) {
        if (ItemKindTakesSeveralRows(Lists.item.kind)) OpenSelection();
    } else if (list == Lists.folder.wnd) {
        TakeFolderItem(true);
    } else if (CascadeLevelOf(list)) {
        TakeCascadeItem(list, true);
    }
}

void ShowListMenu(HWND list, int x, int y) {
    if (!list) return;
    POINT pt = {x, y};
    CommandTarget target = TargetOf(list);
    if (x == -1 && y == -1) {
        pt = KeyboardMenuPoint(list);
    } else {
        // The row right-clicked (the control selected it with the press).
        int row = ListRowAtScreenPoint(list, pt);
        if (row >= 0) target.row = row;
    }
    HMENU menu = BuildListMenu();
    if (!menu) return;
    TrackCommandMenu(menu, list, pt, TPM_VERTICAL, &target);
}
