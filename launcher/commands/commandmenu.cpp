// commandmenu.cpp - the menu items that name commands, shared by the edit-box
// menu and the list menu: each item's id is its command's menu id, and the
// choice goes to SendCommand with the menu's target.
#include <windows.h>

#include "../shellext/shellext.h"
#include "commands.h"

void AddCommandItem(HMENU menu, int cmd, const char* text, bool enabled) {
    AppendMenuA(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), (UINT_PTR)MenuIdOfCommand(cmd),
                text);
}

void AddMenuSeparator(HMENU menu) { AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); }

void AddFileCommandItems(HMENU menu) {
    AddCommandItem(menu, CMD_FILE_CUT, "切り取り(&T)", true);
    AddCommandItem(menu, CMD_FILE_COPY, "コピー(&C)", true);
    AddCommandItem(menu, CMD_FILE_PASTE, "張り付け(&P)", ClipboardHasFiles());
    AddCommandItem(menu, CMD_MAKE_SHORTCUT, "ショートカット作成(&S)", true);
    AddCommandItem(menu, CMD_DELETE, "削除(&D)", true);
    AddCommandItem(menu, CMD_RENAME, "名前変更(&M)", true);
    AddCommandItem(menu, CMD_PROPERTIES, "プロパティ(&R)", true);
}

void TrackCommandMenu(HMENU menu, HWND owner, POINT pt, UINT flags, CommandTarget* target) {
    UINT id = (UINT)TrackPopupMenuEx(menu, flags | TPM_RETURNCMD | TPM_NONOTIFY, pt.x, pt.y, owner,
                                     nullptr);
    DestroyMenu(menu);
    int cmd = CommandOfMenuId(id);
    if (cmd < 0) return;
    target->at = pt;
    SendCommand(cmd, target);
}
