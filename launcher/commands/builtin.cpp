// builtin.cpp - running the launcher's own "#" commands, the control-panel
// names and "#<name>" through the shell, the version box, and the built-in
// command list shown in the item list.
#include "builtin.h"

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../explorer/explorer.h"
#include "../lists/cascade.h"
#include "../../common/itemarray.h"
#include "../lists/historylist.h"
#include "../lists/listselect.h"
#include "../lists/listwnd.h"
#include "../lists/search.h"
#include "../migemo/migemo.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "../editbox/editbox.h"
#include "../editbox/savedtext.h"

static const char OptboxFileName[] = "Optbox.exe";
static const char VersionAuthor[] = "tewsa";
static const char VersionNumber[] = "0.64";

// Starts file through the shell with the verb "open". On success the box is
// focused and emptied; a failure leaves everything as it was (the text stays
// for correction, no beep, no message). 1 when it started.
static int ShellRun(const char* file, const char* params) {
    HINSTANCE result = ShellExecuteA(nullptr, "open", file, params ? params : "", nullptr,
                                     SW_SHOWNORMAL);
    if ((INT_PTR)result <= 32) return 0;
    ClearEditBox();
    return 1;
}

// The settings program beside the executable, when it is there.
static bool FindOptbox(char* path, size_t size) {
    ModulePath(AppModule, path, OptboxFileName, size);
    return FileExists(path);
}

static void ShowVersionBox(void) {
    char text[64];
    snprintf(text, sizeof text, "%s\nVersion=%s", VersionAuthor, VersionNumber);
    MessageBoxA(Shell.mainWnd, text, "vorn", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
}

// "Optbox" (parameter "/s") and "Ver" (parameter "/a") start the settings
// program; without it the one shows a message, the other the version box.
static void RunOptbox(const char* params, bool versionBox) {
    char path[MAX_PATH];
    if (FindOptbox(path, sizeof path)) {
        ShellRun(path, params);
        return;
    }
    if (versionBox)
        ShowVersionBox();
    else
        ErrorBox(EditBox.wnd, "Optbox.exeが見つかりません");
    FocusEditBox();
    RestoreSavedText();
}

// A command of the table; the box has been focused and emptied already.
static void RunTableCommand(int index) {
    char path[MAX_PATH];
    switch (index) {
        case BI_OPTBOX:
            RunOptbox("/s", false);
            return;
        case BI_VER:
            RunOptbox("/a", true);
            return;
        case BI_OPEN:
            ModulePath(AppModule, path, nullptr, sizeof path);
            ShellRun(path, nullptr);
            return;
        case BI_EXIT:
            RequestExit();
            break;
        case BI_HIDE:
            HideEditBox(2);
            break;
        case BI_INTO_TRAY:
            HideEditBox(1);
            break;
        case BI_RELOAD_SETTING:
            RequestReload(false);
            break;
        case BI_SAVE_SETTING:
            SaveSettings();
            break;
        case BI_ALL_CLOSE_EXP:
            CloseAllExplorers();
            break;
        case BI_SINGLE_EXP:
            CloseDuplicateExplorers();
            break;
        case BI_FREE_HISTORY:
            RunFreeHistory();
            break;
        case BI_SAVE_HISTORY:
            RunSaveHistory();
            break;
        case BI_FREE_SEARCH:
            FreeSearchResults();
            break;
        case BI_FREE_MIGEMO:
            FreeMigemo();
            break;
        case BI_MIGEMO_OFF:
            // Given while Migemo is off it switches it on.
            ToggleMigemo();
            break;
        case BI_MIGEMO_ON:
            EnableMigemo();
            break;
    }
    RestoreSavedText();
}

void RunBuiltinCommand(const char* text) {
    char own[EDIT_TEXT_MAX];
    if (!text) {
        ReadEditText(own, sizeof own);
        text = own;
    }
    BuiltinRequest req;
    ParseBuiltinText(text, &req);
    switch (req.action) {
        case BA_TABLE:
            ClearEditBox();
            RunTableCommand(req.index);
            break;
        case BA_CONTROL_PANEL: {
            char applet[32];
            snprintf(applet, sizeof applet, "%s.cpl", ControlPanelNames[req.index]);
            ShellRun("control", applet);
            break;
        }
        case BA_PROGRAM:
            ShellRun(req.command + 1, req.hasArgs ? req.args : nullptr);
            break;
        case BA_NOTHING:
            break;
    }
}

// --- the built-in command list ------------------------------------------------

void ShowBuiltinList(void) {
    // The entries go into an array sized for them plus 3; without memory the
    // list is not shown.
    ItemArray array = {};
    if (!AllocItems(&array, BUILTIN_COUNT)) return;
    for (int i = 0; i < BUILTIN_COUNT; i++) {
        char text[LIST_ITEM_PATH_SIZE];
        snprintf(text, sizeof text, "#%s", BuiltinNames[i]);
        ListItem* item = &array.items[i];
        SetListItem(item, text, 0);
        item->viewIndex = i;
    }
    array.count = BUILTIN_COUNT;
    // Migemo loads with the list unless the caller suspended it.
    ShowInItemList(LK_BuiltIn, &array, ILT_PUT_ASIDE, nullptr, FATAL_BUILTIN_NO_ITEM_LIST);
}

void ToggleBuiltinList(void) {
    if (SwitchOffItemList(LK_BuiltIn, LK_BuiltIn, nullptr)) return;
    HideFolderList();
    SetFlags(SF_MIGEMO_SUSPENDED);
    ShowBuiltinList();
    ClearFlags(SF_MIGEMO_SUSPENDED);
}
