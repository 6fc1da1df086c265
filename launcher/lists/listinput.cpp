// listinput.cpp - the user inside the lists: narrowing the item list by the
// typed text, type-ahead, taking and opening items, and the subclass
// procedures of the item list, the folder list and the cascade lists.
#include "listinput.h"

#include <windowsx.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../editbox/editbox.h"
#include "../editbox/execute.h"
#include "../editbox/savedtext.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "cascade.h"
#include "folderlist.h"
#include "history.h"
#include "itemkinds.h"
#include "listfilter.h"
#include "listwnd.h"
#include "search.h"
#include "typeahead.h"
#include "../migemo/migemo.h"
#include "../dragdrop/dragdrop.h"
#include "../commands/commands.h"

// State of this module: the type-ahead buffer lives from the first typed
// character until the reset timer fires.
struct ListInputState {
    TypeAheadState* typeAhead;
};
static ListInputState ListInput;

// --- small list-view helpers ------------------------------------------------------

static void SetRowState(HWND list, int row, UINT state, UINT mask) {
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.state = state;
    item.stateMask = mask;
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)&item);
}

// row becomes the only selected row, focused and scrolled into view.
static void SelectOnly(HWND list, int row) {
    SetRowState(list, -1, 0, LVIS_SELECTED);
    SetRowState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageA(list, LVM_ENSUREVISIBLE, (WPARAM)row, TRUE);
}

// The text typed before the list was shown comes back, or the box is emptied.
static void RestoreOrClearEditBox(void) {
    if (!RestoreSavedText()) SetEditText("");
    FocusEditBox();
}

// --- filtering the item list --------------------------------------------------------

void FilterItemList(HWND editBox) {
    (void)editBox;
    if (!AnyFlag(SF_USER_DELETED)) return;
    ListWindow* lw = &Lists.item;
    HWND list = lw->wnd;
    if (!list || !lw->array.items || lw->kind == LK_None) {
        ClearFlags(SF_USER_DELETED);
        return;
    }
    ShowWindow(list, SW_SHOWNA);
    char text[EDIT_TEXT_MAX];
    ReadEditText(text, sizeof text);
    FilterResult result = FilterItemsByText(&lw->array, text, MigemoWideMatcher(false));
    if (result.shown > 0 && !IsWindowVisible(list)) ShowWindow(list, SW_SHOWNA);
    SetListRows(lw);
    lw->longest = result.longest;
    // At least one row high, so a list with no match stays in sight.
    PlaceItemList(result.shown);
    ClearFlags(SF_USER_DELETED);
}

// --- type-ahead ------------------------------------------------------------------------

void ResetListTypeAhead(void) {
    if (Lists.item.wnd) KillTimer(Lists.item.wnd, ID_TIMER_TYPEAHEAD);
    MemFree(ListInput.typeAhead);
    ListInput.typeAhead = nullptr;
}

bool TypeAhead(HWND list, unsigned char ch) {
    if (PathGetCharTypeA(ch) == GCT_INVALID) return false;
    ItemArray* array = ArrayOfListWindow(list);
    if (!array || !array->items) return false;
    HWND timerWnd = Lists.item.wnd;
    if (timerWnd) KillTimer(timerWnd, ID_TIMER_TYPEAHEAD);
    if (!ListInput.typeAhead) {
        ListInput.typeAhead = (TypeAheadState*)MemAlloc(sizeof(TypeAheadState));
        if (!ListInput.typeAhead) return false;
    }
    int current = FirstSelectedRow(list);
    if (current < 0 && SendMessageA(list, LVM_GETITEMCOUNT, 0, 0) > 0) {
        SelectOnly(list, 0);
        current = 0;
    }
    int found = TypeAheadFind(ListInput.typeAhead, array, current, ch);
    // The reset timer runs again after every character, passed on or not.
    if (timerWnd) SetTimer(timerWnd, ID_TIMER_TYPEAHEAD, TYPEAHEAD_RESET_MS, nullptr);
    if (found == TYPEAHEAD_PASS) return false;
    if (found >= 0)
        SelectOnly(list, array->items[found].viewIndex);
    else
        MessageBeep(MB_OK);
    return true;
}

// --- taking and opening items of the item list ----------------------------------------

int OpenSelection(void) {
    HWND list = Lists.item.wnd;
    if (!list) return 0;
    // The paths are collected first: starting them can pump messages.
    char* paths = CollectSelectedPaths(list, nullptr);
    int started = RunPaths(paths);
    MemFree(paths);
    if (started) {
        HideItemList();
        AfterRun();
    }
    return started;
}

void TakeSelection(HWND editBox, HWND list) {
    if (!list) return;
    if (ListCountSelected(list) > 1 && ItemKindTakesSeveralRows(Lists.item.kind)) {
        OpenSelection();
        if (!RestoreSavedText()) SetEditText("");
        if (editBox) SetFocus(editBox);
        return;
    }
    int row = FirstSelectedRow(list);
    if (row < 0) row = 0;
    char path[PATH_WORK_SIZE];
    // A built-in command is taken as its text; every other item by its path.
    bool found = Lists.item.kind == LK_BuiltIn ? ItemPathAt(list, row, path, sizeof path)
                                               : FullPathOfRow(&Lists.item, row, path, sizeof path);
    if (found) NormalizeDots(path, path, sizeof path);
    if (found && strlen(path) >= EDIT_TEXT_MAX) {
        // A path the box cannot hold is refused, never cut: the list stays.
        MessageBeep(MB_OK);
        return;
    }
    HideItemList();
    if (!found) {
        if (!RestoreSavedText()) SetEditText("");
        if (editBox) SetFocus(editBox);
        return;
    }
    TakePathIntoBox(path, true);
    if (editBox) SetFocus(editBox);
}

// --- keys and mouse ----------------------------------------------------------------------

bool OpenRightOfList(HWND wnd) {
    char path[PATH_WORK_SIZE];
    if (!FullPathOfRow(ListWindowOf(wnd), FirstSelectedRow(wnd), path, sizeof path)) return true;
    if (!DirectoryExists(path)) return false;
    if (CascadeLevelOf(wnd))
        OpenNextCascade(wnd);
    else
        OpenCascade(wnd);
    return true;
}

void TakeFromList(HWND wnd) {
    if (wnd == Lists.item.wnd)
        TakeSelection(EditBox.wnd, wnd);
    else if (wnd == Lists.folder.wnd)
        TakeFolderItem(false);
    else if (CascadeLevelOf(wnd))
        TakeCascadeItem(wnd, false);
}

void LeaveList(HWND wnd) {
    if (wnd == Lists.item.wnd) {
        HideItemList();
        RestoreOrClearEditBox();
    } else if (wnd == Lists.folder.wnd) {
        FocusEditBox();
        HideFolderList();
    } else if (CascadeLevelOf(wnd)) {
        CloseCascades(wnd, 0);
    }
}

// A key or a double-click of a list window: its command, on the window.
static void SendListCommand(HWND wnd, int cmd) {
    CommandTarget target = TargetOf(wnd);
    SendCommand(cmd, &target);
}

// Drags out of a list: a press on a selected row arms one (the control has
// the press first, so a press on a row selects it and can drag it at once),
// a move with a button held runs it, a release disarms it.
static bool ListDragMessage(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            *result = CallSavedProc(wnd, msg, wParam, lParam);
            if (!IsWindow(wnd)) return true;
            ArmDrag(wnd, lParam);
            // The moves that follow reach this window wherever the pointer
            // goes, until the drag starts or the button comes up.
            if (IsDragArmed() == DRAG_ARMED) SetCapture(wnd);
            return true;
        case WM_MOUSEMOVE:
            if (IsDragArmed() == DRAG_ARMED) {
                if (wParam & (MK_LBUTTON | MK_RBUTTON))
                    StartDrag(wnd);
                else
                    DisarmDrag();
                if (GetCapture() == wnd) ReleaseCapture();
            }
            return false;
        case WM_LBUTTONUP:
        case WM_RBUTTONUP:
            if (IsDragArmed() == DRAG_ARMED && GetCapture() == wnd) ReleaseCapture();
            DisarmDrag();
            return false;
    }
    return false;
}

// The command a key gives in a list window of role; -1 for a key the control
// keeps. Left leaves a cascade level only; Up on the folder list's first row,
// selected, goes back to the box.
static int ListKeyCommand(HWND wnd, ListRole role, WPARAM vk) {
    switch (vk) {
        case VK_BACK:
        case VK_ESCAPE:
            return CMD_LIST_BACK;
        case VK_LEFT:
            return role == LR_Cascade ? CMD_LIST_BACK : -1;
        case VK_TAB:
            return role == LR_Cascade ? -1 : CMD_LIST_TO_BOX;
        case VK_RETURN:
            return CMD_LIST_TAKE;
        case VK_RIGHT:
            return CMD_LIST_RIGHT;
        case VK_UP:
            if (role != LR_Folder) return -1;
            if (SendMessageA(wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED) != 0) return -1;
            return (SendMessageA(wnd, LVM_GETITEMSTATE, 0, LVIS_SELECTED) & LVIS_SELECTED)
                       ? CMD_LIST_TO_BOX
                       : -1;
    }
    return -1;
}

// Messages all three kinds of list window handle alike; true when handled
// (the result in *result).
static bool CommonListMessage(HWND wnd, ListRole role, UINT msg, WPARAM wParam, LPARAM lParam,
                              LRESULT* result) {
    *result = 0;
    switch (msg) {
        case WM_KEYDOWN: {
            int cmd = ListKeyCommand(wnd, role, wParam);
            if (cmd < 0) return false;
            SendListCommand(wnd, cmd);
            // The item list's control sees its Enter as well.
            return !(cmd == CMD_LIST_TAKE && role == LR_Item);
        }
        case WM_LBUTTONDBLCLK:
            DisarmDrag();
            SendListCommand(wnd, CMD_LIST_TAKE);
            return true;
        case WM_CHAR:
            return TypeAhead(wnd, (unsigned char)wParam);
        case WM_CONTEXTMENU:
            ShowListMenu(wnd, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
            return true;
        case WM_SHOWWINDOW:
            // Shown or hidden by a call (not with its owner): the owner follows.
            if (lParam == 0) OwnListWhileShown(wnd, wParam != 0);
            return false;
        case WM_SETFOCUS:
            SetTransparencyAll(false);
            return false;
        case WM_KILLFOCUS:
            if (!IsOwnWindow((HWND)wParam)) SetTransparencyAll(true);
            return false;
    }
    return ListDragMessage(wnd, msg, wParam, lParam, result);
}

LRESULT CALLBACK ItemListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (msg) {
        case WM_TIMER:
            if (wParam == ID_TIMER_TYPEAHEAD) {
                ResetListTypeAhead();
                return 0;
            }
            break;
        case WM_NCDESTROY:
            if (Lists.item.wnd == wnd) Lists.item.wnd = nullptr;
            break;
        default:
            if (CommonListMessage(wnd, LR_Item, msg, wParam, lParam, &result)) return result;
            break;
    }
    return CallSavedProc(wnd, msg, wParam, lParam);
}

LRESULT CALLBACK FolderListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    switch (msg) {
        case WM_NCDESTROY:
            if (Lists.folder.wnd == wnd) Lists.folder.wnd = nullptr;
            break;
        default:
            if (CommonListMessage(wnd, LR_Folder, msg, wParam, lParam, &result)) return result;
            break;
    }
    return CallSavedProc(wnd, msg, wParam, lParam);
}

LRESULT CALLBACK CascadeListProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (CommonListMessage(wnd, LR_Cascade, msg, wParam, lParam, &result)) return result;
    return CallSavedProc(wnd, msg, wParam, lParam);
}

bool EnterListWithFocus(HWND list) {
    if (!list) return false;
    int count = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    if (count <= 0) return false;
    int top = (int)SendMessageA(list, LVM_GETTOPINDEX, 0, 0);
    int perPage = (int)SendMessageA(list, LVM_GETCOUNTPERPAGE, 0, 0);
    if (top < 0) top = 0;
    int last = top + (perPage > 0 ? perPage : 1) - 1;
    if (last >= count) last = count - 1;
    int selected = FirstSelectedRow(list);
    int pick = selected;
    if (selected < top) pick = top;
    else if (selected > last) pick = last;
    SetRowState(list, pick, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    SendMessageA(list, LVM_ENSUREVISIBLE, (WPARAM)pick, TRUE);
    SetFocus(list);
    return true;
}
