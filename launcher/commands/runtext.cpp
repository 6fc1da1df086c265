// runtext.cpp - running the box's text (Enter, a folder taken from the folder
// list): a search pattern, a "#" built-in command, a ";" Default-list keyword,
// or execution followed by the after-run rule.
#include <windows.h>
#include <string.h>

#include "builtin.h"
#include "../editbox/editbox.h"
#include "../editbox/execute.h"
#include "../lists/defaultlist.h"
#include "../lists/search.h"
#include "../shell/appstate.h"
#include "commands.h"

void RunEditText(const char* text) {
    char own[EDIT_TEXT_MAX];
    if (!text) {
        ReadEditText(own, sizeof own);
        text = own;
    } else if (strlen(text) >= RUN_TEXT_LIMIT) {
        return;
    }
    // Search input mode hands the text to the file search as its pattern.
    if (AnyFlag(SF_SEARCH_INPUT)) {
        StartSearch(EditBox.wnd, text);
        return;
    }
    if (text[0] == '#') {
        RunBuiltinCommand(text);
        return;
    }
    // ";..." names a Default-list keyword, looked up and never executed (a
    // lone ";" does nothing at all).
    if (text[0] == ';') {
        if (text[1]) LookUpDefault(EditBox.wnd, text + 1);
        return;
    }
    // A successful run has hidden the folder list and recorded the text in
    // History; then the after-run rule hides the box, keeps it or ends.
    if (ExecuteText(text)) AfterRun();
}
