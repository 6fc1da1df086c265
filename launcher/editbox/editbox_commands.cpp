// editbox_commands.cpp - the bindable commands sent to the edit box as
// WM_APP+2 with the command id in wParam.
#include <windows.h>

#include "../../common/keymap.h"
#include "../../common/winutil.h"
#include "../explorer/explorer.h"
#include "../lists/favorites.h"
#include "../lists/historylist.h"
#include "../lists/listwnd.h"
#include "../lists/search.h"
#include "../preview/preview.h"
#include "../regapps/regapps.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "../shellext/shellext.h"
#include "builtin.h"
#include "completion.h"
#include "editbox.h"
#include "editbox_internal.h"

static bool EditHasFocus(HWND wnd) { return GetFocus() == wnd; }

void OnEditCommand(HWND wnd, WPARAM code) {
    // The edit commands act where the focus is, the preview's text box
    // included. The cascade lists and both lists close before
    // clear, paste, cut and undo.
    switch (code) {
        case CMD_SCROLL_DOWN:
            ScrollActiveList(1);
            break;
        case CMD_SCROLL_UP:
            ScrollActiveList(-1);
            break;
        case CMD_TOGGLE_LISTS:
            ToggleLists();
            break;
        case CMD_SELECT_ALL: {
            HWND focus = GetFocus();
            if (focus == wnd || IsPreviewTextView(focus))
                SendMessageA(focus, EM_SETSEL, 0, -1);
            else if (IsListWindow(focus))
                ListSelectAll(focus);
            break;
        }
        case CMD_CLEAR:
            // The box takes the focus before the lists go: hiding the list
            // that holds the focus would leave the activation to the window
            // manager, which may hand it back to that list when it shows again.
            FocusEditBox();
            HideAllLists();
            ClearEditBox();
            break;
        case CMD_COPY:
            if (EditHasFocus(wnd)) SendMessageA(wnd, WM_COPY, 0, 0);
            else if (IsPreviewTextView(GetFocus())) SendMessageA(GetFocus(), WM_COPY, 0, 0);
            break;
        case CMD_PASTE:
            if (!EditHasFocus(wnd)) break;
            HideAllLists();
            SetFlags(SF_USER_DELETED | SF_HANDED_TEXT);
            SendMessageA(wnd, WM_PASTE, 0, 0);
            RefreshPathIcon();
            break;
        case CMD_CUT:
            if (!EditHasFocus(wnd)) break;
            HideAllLists();
            SetFlags(SF_TEXT_BY_PROGRAM | SF_HANDED_TEXT);
            SendMessageA(wnd, WM_CUT, 0, 0);
            RefreshPathIcon();
            break;
        case CMD_UNDO:
            if (!EditHasFocus(wnd)) break;
            HideAllLists();
            SendMessageA(wnd, EM_UNDO, 0, 0);
            ReapplyEditSelection(wnd);
            break;
        case CMD_SEARCH_LIST:
            ToggleSearchResults(wnd);
            break;
        case CMD_BUILTIN_LIST:
            ToggleBuiltinList();
            break;
        case CMD_FAVORITES:
            ToggleFavorites(wnd);
            break;
        case CMD_FAVORITES_NEXT:
            NextFavoritesPage(wnd);
            break;
        case CMD_HISTORY:
            ToggleHistory();
            break;
        case CMD_EXPLORER_LIST:
            ToggleExplorerList(wnd);
            break;
        case CMD_DIR_UP:
            DirectoryUp();
            break;
        case CMD_SHORTCUT_TARGET:
            GoToShortcutTarget();
            break;
        case CMD_FILE_COPY:
            PutFilesOnClipboard(CLIP_COPY);
            break;
        case CMD_FILE_CUT:
            PutFilesOnClipboard(CLIP_CUT);
            break;
        case CMD_FILE_PASTE:
            PasteFilesAtFocus();
            break;
        case CMD_EXIT:
            RequestExit();
            break;
        case CMD_REGAPP:
            RunRegAppMenu();
            break;
        case CMD_RENAME:
            HandToTool(TOOL_MODE_RENAME);
            break;
        case CMD_DELETE:
            HandToTool(TOOL_MODE_DELETE);
            break;
        default:
            // Unknown codes (above 23) do nothing.
            break;
    }
}
