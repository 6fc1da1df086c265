// editbox_commands.cpp - the bindable commands sent to the edit box as
// WM_APP+2 with the command id in wParam.
#include <windows.h>

#include "../../common/keymap.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "editbox.h"
#include "editbox_internal.h"

static bool EditHasFocus(HWND wnd) { return GetFocus() == wnd; }

void OnEditCommand(HWND wnd, WPARAM code) {
    // The edit commands act where the focus is; the list windows and the
    // preview's text box join here when they exist. The cascade lists and both
    // lists close before clear, paste, cut and undo once they exist.
    switch (code) {
        case CMD_SELECT_ALL:
            if (EditHasFocus(wnd)) SendMessageA(wnd, EM_SETSEL, 0, -1);
            break;
        case CMD_CLEAR:
            ClearEditBox();
            break;
        case CMD_COPY:
            if (EditHasFocus(wnd)) SendMessageA(wnd, WM_COPY, 0, 0);
            break;
        case CMD_PASTE:
            if (!EditHasFocus(wnd)) break;
            SetFlags(SF_USER_DELETED | SF_HANDED_TEXT);
            SendMessageA(wnd, WM_PASTE, 0, 0);
            RefreshPathIcon();
            break;
        case CMD_CUT:
            if (!EditHasFocus(wnd)) break;
            SetFlags(SF_TEXT_BY_PROGRAM | SF_HANDED_TEXT);
            SendMessageA(wnd, WM_CUT, 0, 0);
            RefreshPathIcon();
            break;
        case CMD_UNDO:
            if (!EditHasFocus(wnd)) break;
            SendMessageA(wnd, EM_UNDO, 0, 0);
            ReapplyEditSelection(wnd);
            break;
        case CMD_EXIT:
            RequestExit();
            break;
        default:
            // List scrolling and switching, directory up, shortcut targets, file
            // clipboard, registered applications, rename and delete belong to
            // their subsystems; unknown codes (above 23) do nothing.
            break;
    }
}
