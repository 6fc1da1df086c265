// page_apps.cpp - "登録アプリ" (page 4, dialog 134): the registered
// applications. The rows are written to "data\vorn_e.tmp" whenever the page is
// left (the key page reads them from there) and to "data\vorn_e.dat" at OK.
// Every application of the file is a row, also one whose program cannot be
// found just now (a drive or share that is away): such a row is marked and
// written back as it is.
#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "common/datafile.h"
#include "common/fileio.h"
#include "common/keymap.h"
#include "common/regapps.h"
#include "common/settings.h"
#include "common/strutil.h"
#include "optbox/appentry.h"
#include "optbox/listeditpages.h"
#include "optbox/listeditrules.h"
#include "optbox/optdata.h"
#include "resources/optbox_res.h"

struct AppsPageRecord {
    HWND page;
    HWND list;
    bool bindingsRemoved;  // a deletion took key bindings with it
    bool unreadable;       // "data\vorn_e.dat" could not be read: nothing is edited or saved
};

// The image of a row whose program cannot be found.
enum { APP_IMAGE_MISSING = 0 };
static AppsPageRecord AppsPage;

static bool AppPathExists(void*, const char* path) { return FileExists(path) || DirectoryExists(path); }

HWND AppsList(void) { return AppsPage.list; }

// --- Rows -------------------------------------------------------------------------

static void SetCell(HWND list, int row, int column, const char* text) {
    ListView_SetItemText(list, row, column, (char*)text);
}

int PutAppRow(HWND list, int pos, const RegApp* entry, bool insert) {
    int row = pos;
    LVITEMA item = {};
    item.mask = LVIF_PARAM | LVIF_IMAGE;
    item.iItem = pos;
    item.lParam = (LPARAM)entry->cmd;
    item.iImage = AppPathExists(nullptr, entry->path) ? I_IMAGENONE : APP_IMAGE_MISSING;
    if (insert) {
        item.mask |= LVIF_TEXT;
        item.pszText = (char*)entry->name;
        row = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
        if (row < 0) return -1;
    } else {
        SendMessageA(list, LVM_SETITEMA, 0, (LPARAM)&item);
    }
    SetCell(list, row, APP_COL_NAME, entry->name);
    SetCell(list, row, APP_COL_PATH, entry->path);
    SetCell(list, row, APP_COL_ARG, entry->arg);
    SetCell(list, row, APP_COL_FOLDER, entry->folder);
    return row;
}

static int32_t RowId(HWND list, int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    SendMessageA(list, LVM_GETITEMA, 0, (LPARAM)&item);
    return (int32_t)item.lParam;
}

static void GetAppRow(HWND list, int row, RegApp* entry) {
    memset(entry, 0, sizeof *entry);
    ListView_GetItemText(list, row, APP_COL_NAME, entry->name, sizeof entry->name);
    ListView_GetItemText(list, row, APP_COL_PATH, entry->path, sizeof entry->path);
    ListView_GetItemText(list, row, APP_COL_ARG, entry->arg, sizeof entry->arg);
    ListView_GetItemText(list, row, APP_COL_FOLDER, entry->folder, sizeof entry->folder);
    entry->cmd = RowId(list, row);
}

RegApp* ReadAppRows(HWND list, int* count) {
    int n = (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0);
    RegApp* entries = (RegApp*)MemAlloc((size_t)(n + 1) * sizeof(RegApp));
    *count = entries ? n : 0;
    for (int i = 0; entries && i < n; i++) GetAppRow(list, i, &entries[i]);
    return entries;
}

void SelectAppRow(HWND list, int row) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row < 0) return;
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, row, FALSE);
}

static int SelectedAppRow(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }

static void MoveAppRow(int step) {
    HWND list = AppsPage.list;
    int row = SelectedAppRow(list);
    int other = row + step;
    if (row < 0 || other < 0 || other >= (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)) return;
    RegApp a, b;
    GetAppRow(list, row, &a);
    GetAppRow(list, other, &b);
    PutAppRow(list, row, &b, false);
    PutAppRow(list, other, &a, false);
    SelectAppRow(list, other);
}

static void DeleteAppRows(void) {
    HWND list = AppsPage.list;
    int last = -1, deleted = 0, row;
    while ((row = SelectedAppRow(list)) >= 0) {
        // Its key bindings go with it.
        if (RemoveAppBindings((uint32_t)RowId(list, row)) > 0) AppsPage.bindingsRemoved = true;
        ListView_DeleteItem(list, row);
        last = row;
        deleted++;
    }
    if (deleted)
        SelectAppRow(list, SelectAfterDelete(last, deleted, (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
}

// --- Initialisation and writing ---------------------------------------------------------


// The applications as currently edited: "data\vorn_e.tmp" when it is there,
// else "data\vorn_e.dat"; every entry of the file is kept, also one whose
// program is away just now.
int ReadCurrentApps(RegAppState* table) {
    FreeRegApps(table);
    char* text = nullptr;
    if (Opt.appsTmpPath[0] && FileExists(Opt.appsTmpPath)) {
        text = ReadWholeFile(Opt.appsTmpPath, 0, nullptr);
    } else {
        int status = DF_MISSING;
        text = LoadDataFile(DF_APPS, &status, nullptr);
        if (status == DF_UNREADABLE) ReportIfUnreadable(DF_APPS);
        if (!text && status == DF_MISSING) return 0;
    }
    if (!text) return -1;
    int ok = ReadRegAppsText(text, nullptr, nullptr, table);
    MemFree(text);
    return ok;
}

// A row's program that cannot be found is marked with the warning sign.
static void AddMissingImage(HWND list) {
    HIMAGELIST images = ImageList_Create(GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                                         ILC_COLOR32 | ILC_MASK, 1, 0);
    if (!images) return;
    ImageList_AddIcon(images, LoadIconA(nullptr, (LPCSTR)IDI_WARNING));
    ListView_SetImageList(list, images, LVSIL_SMALL);
}

void InitAppsPage(HWND page) {
    AppsPage.page = page;
    AppsPage.list = GetDlgItem(page, IDC_APPS_LIST);
    HWND list = AppsPage.list;
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddListColumn(list, APP_COL_NAME, "表示名", 60);
    AddListColumn(list, APP_COL_PATH, "パス", 160);
    AddListColumn(list, APP_COL_ARG, "引数", 45);
    AddListColumn(list, APP_COL_FOLDER, "カレント", 100);
    AddMissingImage(list);
    CheckDlgButton(page, IDC_APPS_SHOWPOS, Settings.showpos ? BST_CHECKED : BST_UNCHECKED);
    RegAppState table = {};
    if (ReadCurrentApps(&table) < 0) {
        // Nothing to edit: what is shown could not be saved without losing the file.
        AppsPage.unreadable = true;
        static const int controls[] = {IDC_APPS_LIST, IDC_APPS_UP, IDC_APPS_DOWN, IDC_APPS_DELETE, IDC_APPS_EDIT,
                                       IDC_APPS_ADD};
        for (int id : controls) EnableWindow(GetDlgItem(page, id), FALSE);
        return;
    }
    DragAcceptFiles(page, TRUE);
    int row = 0;
    for (int i = 0; i < table.RegAppCount; i++)
        if (table.RegApps[i].path[0]) PutAppRow(list, row++, &table.RegApps[i], true);
    // Sections no row can hold survive in the backup when the file is saved.
    if (table.unheld > 0) KeepDataFileBackup(DF_APPS);
    FreeRegApps(&table);
}

// Writes the rows to path (the temporary file the key page reads).
static bool WriteAppRows(const char* path) {
    if (!AppsPage.list) return true;
    int count = 0;
    RegApp* entries = ReadAppRows(AppsPage.list, &count);
    if (!entries) return false;
    bool ok = WriteRegAppsFile(path, entries, count, nullptr) == 1;
    MemFree(entries);
    return ok;
}

bool WriteAppsTemp(HWND) { return AppsPage.unreadable || WriteAppRows(Opt.appsTmpPath); }

bool CollectAppsPage(HWND page) {
    Settings.showpos = IsDlgButtonChecked(page, IDC_APPS_SHOWPOS) == BST_CHECKED ? 1 : 0;
    if (AppsPage.unreadable || !AppsPage.list) return true;
    int count = 0;
    RegApp* entries = ReadAppRows(AppsPage.list, &count);
    if (!entries) return true;
    int32_t bad = -1;
    long need = FormatRegApps(entries, count, nullptr, 0, &bad);
    char* text = need >= 0 ? (char*)MemAlloc((size_t)need + 1) : nullptr;
    long len = text ? FormatRegApps(entries, count, text, (size_t)need + 1, nullptr) : -1;
    if (len >= 0) StageDataFile(DF_APPS, text, (size_t)len);
    MemFree(text);
    if (need < 0 && bad >= 0) {
        // A row that would not read back as it stands is refused, never written changed.
        char message[REGAPP_TEXT_SIZE + 100];
        snprintf(message, sizeof message, "%s\r\nは保存できない文字を含んでいます。", entries[bad].name);
        MemFree(entries);
        SelectAppRow(AppsPage.list, bad);
        OptMessage(page, message);
        SetFocus(AppsPage.list);
        return false;
    }
    MemFree(entries);
    // Keys of deleted applications must not pass to a later application with the same id,
    // also when the key page was never opened.
    if (AppsPage.bindingsRemoved) StageKeyBindings();
    return true;
}

// --- Procedure ------------------------------------------------------------------------------

static void OnAppsDrop(HWND page, HDROP drop) {
    char path[MAX_PATH + 1] = "";
    UINT length = DragQueryFileA(drop, 0, nullptr, 0);
    bool fits = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0) > 0 && length <= ITEM_PATH_MAX &&
                DragQueryFileA(drop, 0, path, sizeof path) > 0;
    DragFinish(drop);
    if (!fits) {
        if (length > ITEM_PATH_MAX) OptMessage(page, "パスが長すぎる(260バイトを超える)ファイルは登録できません。");
        return;
    }
    RunAppEntry(page, ENTRY_DROP, path);
}

INT_PTR CALLBACK AppsPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_APPS_UP: MoveAppRow(-1); return TRUE;
                case IDC_APPS_DOWN: MoveAppRow(1); return TRUE;
                case IDC_APPS_DELETE: DeleteAppRows(); return TRUE;
                case IDC_APPS_EDIT: RunAppEntry(page, ENTRY_EDIT, nullptr); return TRUE;
                case IDC_APPS_ADD: RunAppEntry(page, ENTRY_ADD, nullptr); return TRUE;
            }
            return FALSE;
        case WM_NOTIFY: {
            const NMHDR* header = (const NMHDR*)lParam;
            if (header->idFrom == IDC_APPS_LIST && header->code == NM_DBLCLK &&
                ((const NMITEMACTIVATE*)header)->iItem >= 0) {
                RunAppEntry(page, ENTRY_EDIT, nullptr);
                return TRUE;
            }
            return FALSE;
        }
        case WM_DROPFILES: OnAppsDrop(page, (HDROP)wParam); return TRUE;
    }
    return FALSE;
}
