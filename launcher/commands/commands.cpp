// commands.cpp - SendCommand and the targets of commands: what the focus is
// on, and the main window's side of WM_RUN_COMMAND.
#include "commands.h"

#include <commctrl.h>

#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "../preview/preview.h"
#include "../shell/shell.h"

// The target of the SendCommand under way: WM_RUN_COMMAND is run only with
// it, so a message of that number from anywhere else is refused.
static const CommandTarget* CommandInFlight;

CommandTarget TargetOf(HWND wnd) {
    CommandTarget t = {CS_NONE, nullptr, -1, {0, 0}, 0};
    if (!wnd) return t;
    if (wnd == EditBox.wnd) {
        t.source = CS_BOX;
    } else if (RoleOfListWindow(wnd) != LR_None) {
        t.source = CS_LIST;
        t.row = (int)SendMessageA(wnd, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED);
    } else if (IsPreviewWindow(wnd)) {
        t.source = CS_PREVIEW;
    } else {
        return t;
    }
    t.wnd = wnd;
    return t;
}

CommandTarget FocusTarget(void) { return TargetOf(GetFocus()); }

void SendCommand(int cmd, const CommandTarget* target) {
    CommandTarget focus;
    if (!target) {
        focus = FocusTarget();
        target = &focus;
    }
    if (!Shell.mainWnd) {
        RunCommand(cmd, target);
        return;
    }
    // Commands nest (a menu's command can pump messages that bring a key).
    const CommandTarget* outer = CommandInFlight;
    CommandInFlight = target;
    SendMessageA(Shell.mainWnd, WM_RUN_COMMAND, (WPARAM)cmd, (LPARAM)target);
    CommandInFlight = outer;
}

LRESULT OnRunCommandMessage(WPARAM wParam, LPARAM lParam) {
    const CommandTarget* target = (const CommandTarget*)lParam;
    if (!target || target != CommandInFlight) return 0;
    RunCommand((int)wParam, target);
    return 1;
}
