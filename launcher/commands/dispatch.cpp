// dispatch.cpp - the dispatcher: the one place that tells the commands apart.
// Keys, menus and the list and preview windows reach it through SendCommand;
// each command acts on the target it was given.
#include <windows.h>

#include "../../common/winutil.h"
#include "builtin.h"
#include "goto.h"
#include "../editbox/completion.h"
#include "../editbox/editbox.h"
#include "../explorer/explorer.h"
#include "../lists/favorites.h"
#include "../lists/historylist.h"
#include "../lists/listinput.h"
#include "../lists/listwnd.h"
#include "../lists/search.h"
#include "../preview/preview.h"
#include "../regapps/regapps.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "../shellext/shellext.h"
#include "commands.h"

namespace {

bool OnBox(const CommandTarget* t) { return t->source == CS_BOX && t->wnd == EditBox.wnd; }
bool OnList(const CommandTarget* t) { return t->source == CS_LIST && t->wnd; }
bool OnPreviewText(const CommandTarget* t) {
    return t->source == CS_PREVIEW && IsPreviewTextView(t->wnd);
}
// The box or a list window: the windows whose files the file commands take.
HWND FilesWindow(const CommandTarget* t) { return OnBox(t) || OnList(t) ? t->wnd : nullptr; }

void SelectAll(const CommandTarget* t) {
    if (OnBox(t) || OnPreviewText(t))
        SendMessageA(t->wnd, EM_SETSEL, 0, -1);
    else if (OnList(t))
        ListSelectAll(t->wnd);
}

void Clear(void) {
    // The box takes the focus before the lists go: hiding the list that
    // holds the focus would leave the activation to the window manager,
    // which may hand it back to that list when it shows again.
    FocusEditBox();
    HideListWindows();
    ClearEditBox();
}

// Paste, cut and undo of the text: the box only; the lists close first.
void EditText(HWND box, int cmd) {
    HideListWindows();
    switch (cmd) {
        case CMD_PASTE:
            SetFlags(SF_USER_DELETED | SF_HANDED_TEXT);
            SendMessageA(box, WM_PASTE, 0, 0);
            RefreshPathIcon();
            break;
        case CMD_CUT:
            SetFlags(SF_TEXT_BY_PROGRAM | SF_HANDED_TEXT);
            SendMessageA(box, WM_CUT, 0, 0);
            RefreshPathIcon();
            break;
        case CMD_UNDO:
            SendMessageA(box, EM_UNDO, 0, 0);
            ReapplyEditSelection(box);
            break;
        case CMD_TEXT_DELETE:
            SendMessageA(box, WM_CLEAR, 0, 0);
            break;
    }
}

// The shell's menu opens where the command's own menu was, or at the box's
// centre for a key.
void ShellMenuAt(const CommandTarget* t) {
    HWND wnd = FilesWindow(t);
    if (wnd) ShowShellMenuOf(wnd, t->at.x, t->at.y);
}

}  // namespace

void RunCommand(int cmd, const CommandTarget* target) {
    CommandTarget focus = FocusTarget();
    const CommandTarget* t = target ? target : &focus;
    HWND box = EditBox.wnd;
    switch (cmd) {
        case CMD_SCROLL_DOWN:
            ScrollActiveList(1);
            break;
        case CMD_SCROLL_UP:
            ScrollActiveList(-1);
            break;
        case CMD_TOGGLE_LISTS:
            ToggleLists();
            break;
        case CMD_SELECT_ALL:
            SelectAll(t);
            break;
        case CMD_CLEAR:
            Clear();
            break;
        case CMD_COPY:
            if (OnBox(t) || OnPreviewText(t)) SendMessageA(t->wnd, WM_COPY, 0, 0);
            break;
        case CMD_PASTE:
        case CMD_CUT:
        case CMD_UNDO:
        case CMD_TEXT_DELETE:
            if (OnBox(t)) EditText(box, cmd);
            break;
        case CMD_SEARCH_LIST:
            ToggleSearchResults(box);
            break;
        case CMD_BUILTIN_LIST:
            ToggleBuiltinList();
            break;
        case CMD_FAVORITES:
            ToggleFavorites(box);
            break;
        case CMD_FAVORITES_NEXT:
            NextFavoritesPage(box);
            break;
        case CMD_HISTORY:
            ToggleHistory();
            break;
        case CMD_EXPLORER_LIST:
            ToggleExplorerList(box);
            break;
        case CMD_DIR_UP:
            DirectoryUp();
            break;
        case CMD_SHORTCUT_TARGET:
            GoToShortcutTarget(FilesWindow(t));
            break;
        case CMD_FILE_COPY:
            PutWindowFilesOnClipboard(FilesWindow(t), CLIP_COPY);
            break;
        case CMD_FILE_CUT:
            PutWindowFilesOnClipboard(FilesWindow(t), CLIP_CUT);
            break;
        case CMD_FILE_PASTE:
            PasteIntoWindow(FilesWindow(t));
            break;
        case CMD_MAKE_SHORTCUT:
            MakeShortcutsFor(FilesWindow(t));
            break;
        case CMD_PROPERTIES:
            ShowPropertiesOf(FilesWindow(t));
            break;
        case CMD_SHELL_MENU:
            ShellMenuAt(t);
            break;
        case CMD_RENAME:
            HandToToolFrom(FilesWindow(t), TOOL_MODE_RENAME);
            break;
        case CMD_DELETE:
            HandToToolFrom(FilesWindow(t), TOOL_MODE_DELETE);
            break;
        case CMD_REGAPP:
            RunRegAppMenu(FilesWindow(t));
            break;
        case CMD_RUN_REGAPP:
            RunRegAppById(FilesWindow(t), (int32_t)t->arg);
            break;
        case CMD_OPEN:
            if (OnList(t)) OpenFromList(t->wnd);
            break;
        case CMD_EXIT:
            RequestExit();
            break;
        case CMD_RELOAD:
            // From the box's menu or the tray: the box stays as it is (the
            // settings program's request brings it forward instead).
            RequestReload(false);
            break;
        case CMD_SHOW:
            ShowEditBox();
            break;
        case CMD_LIST_TAKE:
            if (OnList(t)) TakeFromList(t->wnd);
            break;
        case CMD_LIST_BACK:
            if (OnList(t)) LeaveList(t->wnd);
            break;
        case CMD_LIST_TO_BOX:
            FocusEditBox();
            break;
        case CMD_LIST_RIGHT:
            if (OnList(t) && !OpenRightOfList(t->wnd)) ShowPreview(t->wnd);
            break;
        case CMD_PREVIEW_ACCEPT:
            AcceptPreview();
            break;
        case CMD_PREVIEW_HIDE:
            HidePreview();
            break;
        case CMD_PREVIEW_SCROLL:
            ScrollPreviewText(t->arg);
            break;
        default:
            // Unknown ids do nothing.
            break;
    }
}
