// editmenu.cpp - the context menu of the command edit box, and the menu
// messages it passes to the shell's menu while that one is shown.
#include "editmenu.h"

#include <windowsx.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/keymap.h"
#include "../../common/strutil.h"
#include "../lists/listwnd.h"
#include "../shell/shell.h"
#include "../commands/commands.h"
#include "../shellext/shellext.h"
#include "editbox.h"
#include "editbox_internal.h"

namespace {

// The text submenu, greyed by the control's selection, undo buffer and the
// text on the clipboard.
HMENU BuildTextMenu(HWND edit) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    DWORD start = 0, end = 0;
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    // Positions and length in the control's own units.
    DWORD length = (DWORD)SendMessageA(edit, EM_LINELENGTH, 0, 0);
    bool selection = start != end;
    bool allSelected = start == 0 && end == length;
    AddCommandItem(menu, CMD_UNDO, "文字列-元に戻す(&U)", SendMessageA(edit, EM_CANUNDO, 0, 0) != 0);
    AddCommandItem(menu, CMD_CUT, "文字列-切り取り(&X)", selection);
    AddCommandItem(menu, CMD_COPY, "文字列-コピー(&C)", selection);
    AddCommandItem(menu, CMD_PASTE, "文字列-貼り付け(&V)", IsClipboardFormatAvailable(CF_TEXT) != 0);
    AddCommandItem(menu, CMD_TEXT_DELETE, "文字列-削除(&D)", selection);
    AddCommandItem(menu, CMD_SELECT_ALL, "文字列-全て選択(&A)", !allSelected);
    return menu;
}

// The box's text names an existing file or folder.
bool NamesExisting(void) {
    char text[PATH_WORK_SIZE];
    int len = ReadEditText(text, sizeof text);
    char path[SHELL_PATH_SIZE];
    return len > 0 && len < EDIT_TEXT_MAX && RootedPath(text, path, sizeof path) &&
           FileExists(path);
}

POINT MenuPoint(HWND edit, LPARAM point) {
    POINT pt = {GET_X_LPARAM(point), GET_Y_LPARAM(point)};
    if (pt.x == -1 && pt.y == -1) {
        RECT rc;
        GetWindowRect(edit, &rc);
        pt.x = rc.left + (rc.right - rc.left) / 2;
        pt.y = rc.top + (rc.bottom - rc.top) / 2;
    }
    return pt;
}

}  // namespace

HMENU BuildEditMenu(HWND edit) {
    HMENU menu = CreatePopupMenu();
    if (!menu) return nullptr;
    HMENU textMenu = BuildTextMenu(edit);
    if (textMenu) AppendMenuA(menu, MF_POPUP | MF_STRING, (UINT_PTR)textMenu, "文字列(&Q)");
    if (GetWindowTextLengthA(edit) > 0) {
        if (NamesExisting()) {
            AddMenuSeparator(menu);
            AddFileCommandItems(menu);
        }
        AddMenuSeparator(menu);
        AddCommandItem(menu, CMD_SHELL_MENU, "シェルメニュー(&T)", true);
    }
    AddMenuSeparator(menu);
    AddCommandItem(menu, CMD_RELOAD, "Reload(&L)", true);
    AddCommandItem(menu, CMD_EXIT, "Exit(&E)", true);
    return menu;
}

void ShowEditMenu(HWND edit, LPARAM point) {
    POINT pt = MenuPoint(edit, point);
    HMENU menu = BuildEditMenu(edit);
    if (!menu) return;
    CommandTarget target = TargetOf(edit);
    TrackCommandMenu(menu, edit, pt, TPM_VERTICAL, &target);
}

LRESULT OnEditMenuMessage(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CONTEXTMENU:
            ShowEditMenu(edit, lParam);
            return 0;
        case WM_DRAWITEM:
        case WM_MEASUREITEM:
            if (ForwardShellMenuMessage(msg, wParam, lParam) != -1) return 1;
            break;
        case WM_INITMENUPOPUP:
            if (ForwardShellMenuMessage(msg, wParam, lParam) != -1) return 0;
            break;
        case WM_MENUCHAR: {
            LRESULT answer = ForwardShellMenuChar(msg, wParam, lParam);
            if (answer != -1) return answer;
            break;
        }
    }
    return ForwardToEdit(edit, msg, wParam, lParam);
}
