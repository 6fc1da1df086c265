// frame.cpp - Optbox.exe: start-up and the single instance, the version box,
// and the settings dialog 107 that holds the tree of pages: it makes the
// pages, switches between them, collects them at OK in a fixed order, saves
// what they collected only when every page took its fields, and asks a running
// vorn to reload.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>

#include "common/fileio.h"
#include "common/keymap.h"
#include "common/settings.h"
#include "common/sharednames.h"
#include "common/winutil.h"
#include "optbox/listeditpages.h"
#include "optbox/listeditrules.h"
#include "optbox/optbox.h"
#include "optbox/optdata.h"
#include "optbox/optrules.h"
#include "optbox/pages.h"
#include "resources/optbox_res.h"

static const char ReloadFailedText[] = "設定の反映に失敗した可能性があります。\n手動で設定を反映してください。";
// How long a running vorn may take to reload before the reload counts as failed.
static const UINT ReloadWaitMs = 15000;

// The pages of the open dialog, one slot per row of PageTable.
struct FrameRecord {
    HWND pages[PAGE_COUNT];
    HTREEITEM items[PAGE_COUNT];
    int pageIndex[PAGE_COUNT];   // -1 when the page could not be made
    bool needsInit[PAGE_COUNT];
    int current;                 // row of the page on show, -1 before the first
};
static FrameRecord Frame;

// Collection order at OK, by page index.
static const int CollectOrder[] = {PAGE_COMMON1, PAGE_COMMON2, PAGE_EDIT, PAGE_APPS, PAGE_KEYS,
                                   PAGE_FAV_ITEMS, PAGE_DEF_ITEMS, PAGE_LIST_PATH, PAGE_LIST_EXP,
                                   PAGE_LIST_HIS, PAGE_LIST_DEF, PAGE_LIST_FAV, PAGE_LIST_SEARCH,
                                   PAGE_PREVIEW, PAGE_LIST};

// --- Shared helpers -------------------------------------------------------------

void OptMessage(HWND owner, const char* text) { MessageBoxA(owner, text, "Optbox", MB_OK | MB_ICONEXCLAMATION); }

static int RowOfIndex(int index) {
    for (int row = 0; row < PAGE_COUNT; row++)
        if (PageTable[row].index == index) return row;
    return -1;
}

HWND PageWindow(int index) {
    int row = RowOfIndex(index);
    return row >= 0 && Frame.pageIndex[row] >= 0 ? Frame.pages[row] : nullptr;
}

static void CentreOnDesktop(HWND window) {
    RECT desk, rc;
    GetWindowRect(GetDesktopWindow(), &desk);
    GetWindowRect(window, &rc);
    int x = desk.left + ((desk.right - desk.left) - (rc.right - rc.left)) / 2;
    int y = desk.top + ((desk.bottom - desk.top) - (rc.bottom - rc.top)) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

// --- Version box ------------------------------------------------------------------

INT_PTR CALLBACK VersionBoxProc(HWND box, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            CentreOnDesktop(box);
            SetWindowTextA(box, "vorn");
            SetDlgItemTextA(box, IDC_VERSION_NAME, "tewsa");
            SetDlgItemTextA(box, IDC_VERSION_TEXT, "Version=0.64");
            return TRUE;
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL) EndDialog(box, LOWORD(wParam));
            return TRUE;
    }
    return FALSE;
}

// --- Pages ------------------------------------------------------------------------

// Shows the page of the tree's selected item (nothing when it is already on
// show, or when that item has no page).
static void SwitchPage(void) {
    if (!Opt.tree) return;
    HTREEITEM selected = TreeView_GetSelection(Opt.tree);
    if (!selected) return;
    int row = -1;
    for (int r = 0; r < PAGE_COUNT; r++)
        if (Frame.items[r] == selected && Frame.pageIndex[r] >= 0) row = r;
    if (row < 0 || row == Frame.current) return;

    if (Frame.current >= 0) {
        HWND leaving = Frame.pages[Frame.current];
        ShowWindow(leaving, SW_HIDE);
        if (PageTable[Frame.current].index == PAGE_APPS) WriteAppsTemp(leaving);
    }
    HWND page = Frame.pages[row];
    if (Frame.needsInit[row] && page) {
        Frame.needsInit[row] = false;
        PageTable[row].init(page);
    }
    Frame.current = row;
    if (PageTable[row].index == PAGE_KEYS) RefillKeysCommands(page);
    ShowWindow(page, SW_SHOW);
}

static LRESULT CALLBACK TreeProc(HWND tree, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_KILLFOCUS:
        case WM_LBUTTONUP:
            SwitchPage();
            break;
        case WM_KEYUP:
            if (wParam == VK_UP || wParam == VK_DOWN) SwitchPage();
            break;
    }
    return CallSavedProc(tree, msg, wParam, lParam);
}

static void CreatePages(HWND dialog) {
    HTREEITEM lastRoot = TVI_ROOT;
    for (int row = 0; row < PAGE_COUNT; row++) {
        const PageEntry& entry = PageTable[row];
        Frame.pageIndex[row] = -1;
        TVINSERTSTRUCTA insert = {};
        insert.hParent = entry.level ? lastRoot : TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT;
        insert.item.pszText = (char*)entry.treeText;
        HTREEITEM item = (HTREEITEM)SendMessageA(Opt.tree, TVM_INSERTITEMA, 0, (LPARAM)&insert);
        Frame.items[row] = item;
        if (item && !entry.level) lastRoot = item;
        HWND page = CreateDialogParamA(Opt.instance, MAKEINTRESOURCEA(entry.dialogId), dialog, entry.proc,
                                       (LPARAM)entry.dialogId);
        Frame.pages[row] = page;
        if (!item || !page) continue;
        // Just right of the tree, at the top of the dialog.
        RECT tree;
        GetWindowRect(Opt.tree, &tree);
        MapWindowPoints(nullptr, dialog, (POINT*)&tree, 2);
        SetWindowPos(page, nullptr, tree.right, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        Frame.pageIndex[row] = entry.index;
        Frame.needsInit[row] = true;
    }
    // Open the branch of the list pages.
    if (lastRoot != TVI_ROOT) TreeView_Expand(Opt.tree, lastRoot, TVE_EXPAND);
}

// --- Saving -------------------------------------------------------------------------

// Collects every page that was shown, in the fixed order; false when a page
// refused its fields (it said why).
static bool CollectPages(void) {
    for (int index : CollectOrder) {
        int row = RowOfIndex(index);
        if (row < 0 || Frame.pageIndex[row] < 0 || Frame.needsInit[row]) continue;
        HWND page = Frame.pages[row];
        if (!page || !IsWindow(page)) continue;
        if (!PageTable[row].collect(page)) {
            // Show the page that refused.
            TreeView_SelectItem(Opt.tree, Frame.items[row]);
            SwitchPage();
            return false;
        }
    }
    return true;
}

// Asks a running vorn to reload the files; says so when it did not confirm.
static void NotifyVorn(HWND dialog) {
    HANDLE running = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, VORN_INSTANCE_MUTEX);
    if (!running) return;
    CloseHandle(running);
    HWND vorn = FindWindowExA(HWND_MESSAGE, nullptr, VORN_MAIN_CLASS, nullptr);
    UINT reload = RegisterWindowMessageA(RELOAD_MESSAGE_NAME);
    if (!vorn || !reload) return;
    DWORD_PTR answer = 0;
    // A vorn that hangs counts as one that did not reload, rather than hanging here too.
    LRESULT sent = SendMessageTimeoutA(vorn, reload, 0, 0, SMTO_NORMAL | SMTO_ABORTIFHUNG, ReloadWaitMs, &answer);
    if (!sent || !answer) OptMessage(dialog, ReloadFailedText);
}

static void CleanupDialog(void) {
    DiscardStagedFiles();
    RestoreWindowProc(Opt.tree);
    CleanupCommon1Page(PageWindow(PAGE_COMMON1));
    CleanupKeysPage(PageWindow(PAGE_KEYS));
    DeleteAppsTemp();
    if (Opt.mutex) {
        CloseHandle(Opt.mutex);
        Opt.mutex = nullptr;
    }
}

static void OnOk(HWND dialog) {
    // Held now, or held when the key press or click that pressed OK was made.
    bool shift = GetAsyncKeyState(VK_SHIFT) < 0 || GetKeyState(VK_SHIFT) < 0;
    // Every page is collected before anything is written: a page that refuses
    // leaves every file as it was.
    DiscardStagedFiles();
    if (!CollectPages()) {
        DiscardStagedFiles();
        return;
    }
    char failed[6 * DATA_PATH_SIZE];
    int failures = WriteStagedFiles(failed, sizeof failed);
    if (!failures) DeleteAppsTemp();
    ValidateSettings();
    // A settings file that could not be read is not written over (the user was told).
    if (!SaveSettings() && DataFileLastLoad(DF_SETTINGS) != DF_UNREADABLE) {
        failures++;
        AddFailedPath(DF_SETTINGS, failed, sizeof failed);
    }
    NotifyVorn(dialog);
    if (failures) {
        // The edits stay on show, so OK can be given again.
        char text[sizeof failed + 100];
        snprintf(text, sizeof text, "%s\r\nを保存できませんでした。", failed);
        OptMessage(dialog, text);
        return;
    }
    if (shift) return;
    CleanupDialog();
    EndDialog(dialog, 1);
}

// A file that is there but could not be read: the user is told what is not saved.
static void OnUnreadable(HWND dialog, int dataFileId) {
    char path[DATA_PATH_SIZE], text[DATA_PATH_SIZE + 200];
    if (DataFilePath(dataFileId, path, sizeof path) && FormatUnreadableMessage(dataFileId, path, text, sizeof text))
        OptMessage(dialog, text);
}

static void OnCancel(HWND dialog) {
    CleanupDialog();
    EndDialog(dialog, 2);
}

// --- Settings dialog ------------------------------------------------------------------

static BOOL OnInitSettings(HWND dialog) {
    Opt.dialog = dialog;
    Opt.tree = GetDlgItem(dialog, IDC_TREE);
    Frame.current = -1;
    int loaded = LoadSettings();
    CreateEmptyIfMissing(DF_FAVORITES);
    CreateEmptyIfMissing(DF_DEFAULT);
    CreateEmptyIfMissing(DF_APPS);
    if (loaded != 1 || !Opt.tree) {
        CleanupDialog();
        EndDialog(dialog, 2);
        return TRUE;
    }
    Opt.loaded = Settings;
    DeleteAppsTemp();
    SetWindowTextA(dialog, OPTBOX_DIALOG_TITLE);
    CreatePages(dialog);
    int first = RowOfIndex(PAGE_COMMON1);
    if (first >= 0 && Frame.items[first]) TreeView_SelectItem(Opt.tree, Frame.items[first]);
    SwitchPage();
    ReplaceWindowProc(Opt.tree, TreeProc);
    LoadKeyBindings();
    CentreOnDesktop(dialog);
    PostMessageA(dialog, WM_OPT_FOCUS_TREE, 0, 0);
    ReportIfUnreadable(DF_SETTINGS);
    ReportIfUnreadable(DF_KEYMAP);
    return TRUE;
}

INT_PTR CALLBACK SettingsDialogProc(HWND dialog, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            return OnInitSettings(dialog);
        case WM_OPT_FOCUS_TREE:
            SetFocus(Opt.tree);
            return TRUE;
        case WM_OPT_UNREADABLE:
            OnUnreadable(dialog, (int)wParam);
            return TRUE;
        case WM_NOTIFY: {
            const NMHDR* hdr = (const NMHDR*)lParam;
            // A selection made some other way (Home, End, letters) switches too.
            if (hdr->idFrom == IDC_TREE && (hdr->code == TVN_SELCHANGEDA || hdr->code == TVN_SELCHANGEDW))
                SwitchPage();
            return FALSE;
        }
        case WM_COMMAND:
            if (LOWORD(wParam) == IDOK) OnOk(dialog);
            else if (LOWORD(wParam) == IDCANCEL) OnCancel(dialog);
            return TRUE;
        case WM_CLOSE:
            OnCancel(dialog);
            return TRUE;
        case WM_DESTROY:
            Opt.dialog = nullptr;
            Opt.tree = nullptr;
            return FALSE;
    }
    return FALSE;
}

// --- Start-up ---------------------------------------------------------------------------

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ErrorBoxTitle = "Optbox";
    HANDLE other = OpenMutexA(MUTEX_ALL_ACCESS, FALSE, OPTBOX_INSTANCE_MUTEX);
    if (other) {
        HWND first = FindWindowA(nullptr, OPTBOX_DIALOG_TITLE);
        if (first) {
            if (IsIconic(first)) ShowWindow(first, SW_RESTORE);
            SetWindowPos(first, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
            SetForegroundWindow(first);
        }
        CloseHandle(other);
        return 1;
    }
    Opt.mutex = CreateMutexA(nullptr, TRUE, OPTBOX_INSTANCE_MUTEX);
    if (Opt.mutex && GetLastError() == ERROR_ALREADY_EXISTS) {
        // Started at the same moment as another copy: that one goes on.
        CloseHandle(Opt.mutex);
        return 1;
    }
    InitOptData(instance);
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_TREEVIEW_CLASSES | ICC_LISTVIEW_CLASSES | ICC_UPDOWN_CLASS |
                                                ICC_STANDARD_CLASSES};
    InitCommonControlsEx(&icc);

    if (OptboxStartKind(GetCommandLineA()) == OPT_START_VERSION) {
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_VERSION), nullptr, VersionBoxProc, 0);
    } else {
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_OPTBOX), nullptr, SettingsDialogProc, 0);
    }
    if (Opt.mutex) CloseHandle(Opt.mutex);
    FreeKeyBindings();
    return 1;
}
