// editbox_keys.cpp - keys of the edit box: the key-down handler with its Enter
// and Esc chains and the control characters it swallows.
#include <windows.h>
#include <string.h>

#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "../lists/defaultlist.h"
#include "../lists/folderlist.h"
#include "../lists/listinput.h"
#include "../lists/listselect.h"
#include "savedtext.h"
#include "../lists/listwnd.h"
#include "../lists/search.h"
#include "completion.h"
#include "editbox.h"
#include "editbox_internal.h"
#include "execute.h"
#include "../commands/commands.h"

// Esc: step back out of whatever is open, one thing per press; with nothing
// open the box hides (resident modes) or the program ends.
static void EscChain(void) {
    // Only a press the system has seen since the last query acts; an Esc whose
    // press was already taken (an aborted search polls the key) is swallowed.
    if (!(GetAsyncKeyState(VK_ESCAPE) & 1)) return;
    if (ItemListOnShow()) {
        HideItemList();
        SetEditText("");
        RestoreSavedText();
        return;
    }
    if (FolderListOnShow()) {
        HideFolderList();
        return;
    }
    if (AnyFlag(SF_TARGET_PROGRAM)) {
        EndTargetMode();
        return;
    }
    if (AnyFlag(SF_ONE_SHOT)) {
        RequestExit();
        return;
    }
    ShowPathIcon(false);
    RestoreEditWidth();
    switch (Settings.tray) {
        case 1:
            HideEditBox(1);
            break;
        case 2:
            HideEditBox(2);
            break;
        default:
            // 0, or the mark of a hot key that could not be registered.
            RequestExit();
            break;
    }
}

// Enter: with no list open the text runs; the key goes on to the control.
static int EnterChain(void) {
    if (ItemListOnShow()) {
        TakeSelection(EditBox.wnd, ItemListWindow());
        return 1;
    }
    if (FolderListOnShow()) return FolderListEnter(EditBox.wnd);
    RunEditText(nullptr);
    return 0;
}

int OnEditKeyDown(HWND wnd, WPARAM key) {
    ClearFlags(SF_TEXT_BY_PROGRAM);
    if (AnyFlag(SF_SEARCH_INPUT)) CheckSearchMode(wnd);
    switch (key) {
        case VK_BACK:
        case VK_DELETE:
            SetFlags(SF_USER_DELETED);
            return 0;
        case VK_RETURN:
            return EnterChain();
        case VK_ESCAPE:
            EscChain();
            return 1;
        case VK_TAB: {
            // Tab moves into the item list; its character is swallowed later.
            HWND list = VisibleListWindow();
            if (list && list == ItemListWindow()) {
                if (SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED) < 0) {
                    LVITEMA item = {};
                    item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
                    SendMessageA(list, LVM_SETITEMSTATE, 0, (LPARAM)&item);
                }
                SetFocus(list);
            }
            return 0;
        }
        case VK_DOWN:
            // Down moves into a list on show that has rows.
            return EnterListWithFocus(VisibleListWindow()) ? 1 : 0;
    }
    return 0;
}

int OnEditChar(HWND wnd, WPARAM ch) { return OnCompletionChar(wnd, ch); }
