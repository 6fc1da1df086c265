// regapps.cpp - the table of registered applications, its menu, and starting
// a program on the selection.
#include "regapps.h"

#include <shellapi.h>
#include <string.h>

#include "../../common/datafile.h"
#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/toolrules.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "../shell/shell.h"
#include "../shellext/shellext.h"

// Delay of the background load after start-up.
enum { REGAPPS_LOAD_DELAY_MS = 50 };

// What the launcher holds of the registered applications besides the table
// itself (RegAppTable, common/regapps.cpp).
struct RegAppsState {
    bool loadPending;  // the start-up load has not run yet
};
static RegAppsState RegApps = {false};

static bool PathExistsWin(void*, const char* path) {
    return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

int LoadRegApps(void) {
    RegApps.loadPending = false;
    FreeRegApps(&RegAppTable);
    char* text = LoadDataFile(DF_APPS, nullptr, nullptr);
    if (!text) return 0;
    int valid = ReadRegAppsText(text, PathExistsWin, nullptr, &RegAppTable);
    MemFree(text);
    return valid;
}

int ReloadRegApps(void) { return LoadRegApps(); }

void FreeRegAppTable(void) {
    RegApps.loadPending = false;
    FreeRegApps(&RegAppTable);
}

void ScheduleRegAppsLoad(HWND owner) {
    RegApps.loadPending = true;
    if (!owner || !SetTimer(owner, ID_TIMER_REGAPPS, REGAPPS_LOAD_DELAY_MS, nullptr))
        LoadRegApps();
}

void OnRegAppsTimer(HWND owner) {
    KillTimer(owner, ID_TIMER_REGAPPS);
    if (RegApps.loadPending) LoadRegApps();
}

static void EnsureRegAppsLoaded(void) {
    if (!RegApps.loadPending) return;
    if (Shell.mainWnd) KillTimer(Shell.mainWnd, ID_TIMER_REGAPPS);
    LoadRegApps();
}

// --- the selection ------------------------------------------------------------------

char* SelectionTextOf(HWND wnd) {
    char* files = WindowFiles(wnd, WF_BOX_EXISTING | WF_ROWS_EXISTING, nullptr);
    if (!files) return nullptr;
    size_t size = SelectionTextSize(files);
    char* text = (char*)MemAlloc(size);
    if (text && !BuildSelectionText(files, text, size)) {
        MemFree(text);
        text = nullptr;
    }
    MemFree(files);
    return text;
}

// --- starting programs ---------------------------------------------------------------

int ShowRegAppMenu(const RegApp* entries, int32_t count) {
    if (!entries || count <= 0 || !EditBox.wnd) return -1;
    HMENU menu = CreatePopupMenu();
    if (!menu) return -1;
    int items = 0;
    for (int32_t i = 0; i < count; i++) {
        if (!RegAppInMenu(&entries[i])) continue;
        char text[REGAPP_MENU_NAME_MAX + 2];
        text[0] = '&';
        CopyString(text + 1, entries[i].name, sizeof text - 1);
        if (AppendMenuA(menu, MF_STRING | MF_ENABLED, (UINT_PTR)i + 1, text)) items++;
    }
    int chosen = -1;
    if (items) {
        RECT box;
        GetWindowRect(EditBox.wnd, &box);
        POINT pt = {box.left, box.bottom};
        if (Settings.showpos == 1) GetCursorPos(&pt);
        if (pt.x < 0) pt.x = 0;
        if (pt.y < 0) pt.y = 0;
        TPMPARAMS params = {sizeof params, box};
        // Owned by the edit box: the main window is message-only and cannot
        // hold the menu's focus. The owner must be the foreground window, or
        // the menu is closed as soon as the activation settles elsewhere.
        SetForegroundWindow(EditBox.wnd);
        int id = (int)TrackPopupMenuEx(menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL, pt.x,
                                       pt.y, EditBox.wnd, &params);
        if (id > 0 && id <= count) chosen = id - 1;
    }
    DestroyMenu(menu);
    return chosen;
}

int LaunchRegApp(const RegApp* entry, const char* selection) {
    if (!entry || !entry->path[0]) return 0;
    size_t need = RegAppParameters(entry, selection, nullptr, 0);
    char* params = (char*)MemAlloc(need);
    if (!params) return 0;
    RegAppParameters(entry, selection, params, need);
    char folder[REGAPP_TEXT_SIZE];
    if (!RegAppWorkFolder(entry, folder, sizeof folder)) folder[0] = '\0';
    BeginPumpingOperation();
    HINSTANCE result = ShellExecuteA(Shell.mainWnd, "open", entry->path, params,
                                     folder[0] ? folder : nullptr, SW_SHOWNORMAL);
    EndPumpingOperation();
    MemFree(params);
    return (INT_PTR)result > 32 ? 1 : 0;
}

// The box takes the foreground and the focus before the lists go: hiding the
// list that holds the focus would leave the activation to the window manager,
// and a menu whose owner is not active is closed as soon as it opens.
static void TakeFocusFromLists(void) {
    if (EditBox.wnd) SetForegroundWindow(EditBox.wnd);
    FocusEditBox();
    HideListWindows();
}

// Starts entry index (or the menu's choice when withMenu) on the selection
// of wnd (the window that had the focus). The selection once read, the lists
// are hidden and the box has the focus, for the menu and the application keys
// alike; the focus goes back to the box when nothing started.
static int RunOnSelection(HWND wnd, int32_t index, bool withMenu) {
    int started = 0;
    if (RegAppTable.RegApps && RegAppTable.RegAppCount > 0 && (withMenu || index >= 0)) {
        char* selection = SelectionTextOf(wnd);
        if (selection) {
            TakeFocusFromLists();
            if (withMenu) index = ShowRegAppMenu(RegAppTable.RegApps, RegAppTable.RegAppCount);
            if (index >= 0 && index < RegAppTable.RegAppCount)
                started = LaunchRegApp(&RegAppTable.RegApps[index], selection);
            MemFree(selection);
        }
    }
    if (!started) FocusEditBox();
    return started;
}

int RunRegAppMenu(HWND wnd) {
    EnsureRegAppsLoaded();
    return RunOnSelection(wnd, -1, true);
}

int RunRegAppById(HWND wnd, int32_t id) {
    EnsureRegAppsLoaded();
    return RunOnSelection(wnd, FindRegAppById(RegAppTable.RegApps, RegAppTable.RegAppCount, id),
                          false);
}
