// editmenu.cpp - the context menu of the command edit box, and the menu
// messages it passes to the shell's menu while that one is shown.
#include "editmenu.h"

#include <windowsx.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/keymap.h"
#include "../../common/strutil.h"
#include "../lists/listwnd.h"
#include "../regapps/regapps.h"
#include "../shell/shell.h"
#include "../shellext/shellext.h"
#include "editbox.h"
#include "editbox_internal.h"

namespace {

void AddText(HMENU menu, UINT id, const char* text, bool enabled) {
    AppendMenuA(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), id, text);
}

void AddSeparator(HMENU menu) { AppendMenuA(menu, MF_SEPARATOR, 0, nullptr); }

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
    AddText(menu, IDM_EDIT_UNDO, "文字列-元に戻す(&U)", SendMessageA(edit, EM_CANUNDO, 0, 0) != 0);
    AddText(menu, IDM_EDIT_CUT, "文字列-切り取り(&X)", selection);
    AddText(menu, IDM_EDIT_COPY, "文字列-コピー(&C)", selection);
    AddText(menu, IDM_EDIT_PASTE, "文字列-貼り付け(&V)", IsClipboardFormatAvailable(CF_TEXT) != 0);
    AddText(menu, IDM_EDIT_DELETE, "文字列-削除(&D)", selection);
    AddText(menu, IDM_EDIT_SELECT_ALL, "文字列-全て選択(&A)", !allSelected);
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
            AddSeparator(menu);
            AddText(menu, IDM_FILE_CUT, "切り取り(&T)", true);
            AddText(menu, IDM_FILE_COPY, "コピー(&C)", true);
            AddText(menu, IDM_FILE_PASTE, "張り付け(&P)", ClipboardHasFiles());
            AddText(menu, IDM_FILE_SHORTCUT, "ショートカット作成(&S)", true);
            AddText(menu, IDM_FILE_DELETE, "削除(&D)", true);
            AddText(menu, IDM_FILE_RENAME, "名前変更(&M)", true);
            AddText(menu, IDM_FILE_PROPERTIES, "プロパティ(&R)", true);
        }
        AddSeparator(menu);
        AddText(menu, IDM_SHELL_MENU, "シェルメニュー(&T)", true);
    }
    AddSeparator(menu);
    AddText(menu, IDM_RELOAD, "Reload(&L)", true);
    AddText(menu, IDM_EXIT, "Exit(&E)", true);
    return menu;
}

void ShowEditMenu(HWND edit, LPARAM point) {
    POINT pt = MenuPoint(edit, point);
    HMENU menu = BuildEditMenu(edit);
    if (!menu) return;
    UINT id = (UINT)TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL, pt.x, pt.y,
                                     edit, nullptr);
    DestroyMenu(menu);
    RunEditMenuChoice(edit, id, pt);
}

void RunEditMenuChoice(HWND edit, UINT id, POINT point) {
    switch (id) {
        case IDM_EDIT_UNDO:
            OnEditCommand(edit, CMD_UNDO);
            break;
        case IDM_EDIT_CUT:
            OnEditCommand(edit, CMD_CUT);
            break;
        case IDM_EDIT_COPY:
            OnEditCommand(edit, CMD_COPY);
            break;
        case IDM_EDIT_PASTE:
            OnEditCommand(edit, CMD_PASTE);
            break;
        case IDM_EDIT_DELETE:
            if (GetFocus() != edit) break;
            HideAllLists();
            SendMessageA(edit, WM_CLEAR, 0, 0);
            break;
        case IDM_EDIT_SELECT_ALL:
            OnEditCommand(edit, CMD_SELECT_ALL);
            break;
        case IDM_FILE_CUT:
            PutWindowFilesOnClipboard(edit, CLIP_CUT);
            break;
        case IDM_FILE_COPY:
            PutWindowFilesOnClipboard(edit, CLIP_COPY);
            break;
        case IDM_FILE_PASTE:
            PasteIntoEditPath();
            break;
        case IDM_FILE_SHORTCUT:
            MakeShortcutsFor(edit);
            break;
        case IDM_FILE_DELETE:
            HandToToolFrom(edit, TOOL_MODE_DELETE);
            break;
        case IDM_FILE_RENAME:
            HandToToolFrom(edit, TOOL_MODE_RENAME);
            break;
        case IDM_FILE_PROPERTIES:
            ShowPropertiesOf(edit);
            break;
        case IDM_SHELL_MENU:
            ShowShellMenuOf(edit, point.x, point.y);
            break;
        case IDM_RELOAD:
            RequestReload(false);
            break;
        case IDM_EXIT:
            RequestExit();
            break;
    }
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
