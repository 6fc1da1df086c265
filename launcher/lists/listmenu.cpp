// listmenu.cpp - the context menu of the list windows (one menu for the item
// list, the folder list and the cascade lists).
#include <windows.h>
#include <commctrl.h>

#include "../../common/winutil.h"
#include "../regapps/regapps.h"
#include "../shellext/shellext.h"
#include "cascade.h"
#include "folderlist.h"
#include "itemkinds.h"
#include "listinput.h"
#include "listwnd.h"
#include "search.h"

enum ListMenuId {
    IDM_LIST_OPEN = 1,
    IDM_LIST_SELECT_ALL,
    IDM_LIST_CUT,
    IDM_LIST_COPY,
    IDM_LIST_PASTE,
    IDM_LIST_SHORTCUT,
    IDM_LIST_DELETE,
    IDM_LIST_RENAME,
    IDM_LIST_PROPERTIES,
    IDM_LIST_SHELL_MENU,
};

static void AddText(HMENU menu, UINT id, const char* text, bool enabled) {
    AppendMenuA(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text);
}

static void AddSeparator(HMENU menu) { AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); }

HMENU BuildListMenu(void) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    AddText(menu, IDM_LIST_OPEN, "開く(&O)", true);
    AddText(menu, IDM_LIST_SELECT_ALL, "すべて選択(&A)", true);
    AddSeparator(menu);
    AddText(menu, IDM_LIST_CUT, "切り取り(&T)", true);
    AddText(menu, IDM_LIST_COPY, "コピー(&C)", true);
    AddText(menu, IDM_LIST_PASTE, "張り付け(&P)", ClipboardHasFiles());
    AddText(menu, IDM_LIST_SHORTCUT, "ショートカット作成(&S)", true);
    AddText(menu, IDM_LIST_DELETE, "削除(&D)", true);
    AddText(menu, IDM_LIST_RENAME, "名前変更(&M)", true);
    AddText(menu, IDM_LIST_PROPERTIES, "プロパティ(&R)", true);
    AddSeparator(menu);
    AddText(menu, IDM_LIST_SHELL_MENU, "シェルメニュー(&T)", true);
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
static void OpenFromMenu(HWND list) {
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
    if (x == -1 && y == -1) pt = KeyboardMenuPoint(list);
    HMENU menu = BuildListMenu();
    if (!menu) return;
    UINT id = (UINT)TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL, pt.x, pt.y,
                                   0, list, nullptr);
    DestroyMenu(menu);
    switch (id) {
        case IDM_LIST_OPEN:
            OpenFromMenu(list);
            break;
        case IDM_LIST_SELECT_ALL:
            ListSelectAll(list);
            break;
        case IDM_LIST_CUT:
            PutWindowFilesOnClipboard(list, CLIP_CUT);
            break;
        case IDM_LIST_COPY:
            PutWindowFilesOnClipboard(list, CLIP_COPY);
            break;
        case IDM_LIST_PASTE:
            PasteIntoListSelection(list);
            break;
        case IDM_LIST_SHORTCUT:
            MakeShortcutsFor(list);
            break;
        case IDM_LIST_PROPERTIES:
            ShowPropertiesOf(list);
            break;
        case IDM_LIST_SHELL_MENU:
            ShowShellMenuOf(list, pt.x, pt.y);
            break;
        case IDM_LIST_DELETE:
            HandToToolFrom(list, TOOL_MODE_DELETE);
            break;
        case IDM_LIST_RENAME:
            HandToToolFrom(list, TOOL_MODE_RENAME);
            break;
    }
}
