// editbox_keys.cpp - keys of the edit box: the key-down handler with its Enter
// and Esc chains, the control characters it swallows, and running a text.
#include <windows.h>
#include <string.h>

#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "editbox.h"
#include "editbox_internal.h"
#include "execute.h"

// Esc: step back out of whatever is open, one thing per press; with nothing
// open the box hides (resident modes) or the program ends.
static void EscChain(void) {
    // Only a press the system has seen since the last query acts; an Esc whose
    // press was already taken (an aborted search polls the key) is swallowed.
    if (!(GetAsyncKeyState(VK_ESCAPE) & 1)) return;
    // The item list and the folder list close first, once they exist.
    if (AnyFlag(SF_TARGET_PROGRAM)) {
        SetAppString(&App.targetProgram, nullptr);
        ClearFlags(SF_TARGET_PROGRAM);
        RedrawEditFrame();
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
    // A visible item list takes its selection, a visible folder list completes
    // or runs a folder; both come with the list windows.
    RunEditText(nullptr);
    return 0;
}

int OnEditKeyDown(HWND wnd, WPARAM key) {
    (void)wnd;
    ClearFlags(SF_TEXT_BY_PROGRAM);
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
    }
    // Tab and Down move into a list on show; with no list they stay with the
    // control.
    return 0;
}

int OnEditChar(HWND wnd, WPARAM ch) {
    (void)wnd;
    if (IsLeadByteSjis((unsigned char)ch)) return 0;
    // Control combinations act through the key bindings; their characters are
    // dropped, as are those of Enter and Esc, whose key-down already acted.
    if (GetKeyState(VK_CONTROL) < 0) return 1;
    if (ch == '\r' || ch == 0x1B) return 1;
    // Completion takes the other characters once it exists.
    return 0;
}

void RunEditText(const char* text) {
    char own[EDIT_TEXT_MAX];
    if (!text) {
        ReadEditText(own, sizeof own);
        text = own;
    } else if (strlen(text) >= 262) {
        return;
    }
    // Search input mode hands the text to the file search as its pattern; the
    // mode is only ever set by the file search, which is not built in yet.
    if (AnyFlag(SF_SEARCH_INPUT)) return;
    // "#..." names a built-in command and ";..." a Default-list keyword; both
    // subsystems are still to come, and such texts never go to execution (a
    // lone ";" does nothing at all).
    if (text[0] == '#' || text[0] == ';') return;
    // A successful run has hidden the folder list and recorded the text in
    // History; then the after-run rule hides the box, keeps it or ends.
    if (ExecuteText(text)) AfterRun();
}
