// page_keys.cpp - "キー割り当て" (page 5, dialog 149): the key bindings of the
// commands and of the registered applications. Bindings are changed in memory
// (common/keymap) and written to "data\keymap" at OK.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <string.h>

#include "common/fileio.h"
#include "common/keymap.h"
#include "common/regapps.h"
#include "common/strutil.h"
#include "common/winutil.h"
#include "optbox/appentry.h"
#include "optbox/listeditpages.h"
#include "optbox/listeditrules.h"
#include "optbox/optdata.h"
#include "resources/optbox_res.h"

// What a row stands for; owned by the row (freed when the row goes).
struct KeyRow {
    uint32_t id;
    uint32_t key;
};

struct KeysPageRecord {
    HWND page;
    HWND list;
    HWND capture;
    uint32_t pendingKey;   // the key last composed in the capture edit, 0 none
    bool pendingFree;      // no binding holds it and it may be bound
    RegAppState apps;      // the applications as currently edited
};
static KeysPageRecord KeysPage;

static const int ModifierBoxes[3] = {IDC_KEYS_ALT, IDC_KEYS_CTRL, IDC_KEYS_SHIFT};
static const uint32_t ModifierBits[3] = {KEY_ALT, KEY_CTRL, KEY_SHIFT};

// --- Rows -------------------------------------------------------------------------

static KeyRow* RowData(int row) {
    LVITEMA item = {};
    item.mask = LVIF_PARAM;
    item.iItem = row;
    if (row < 0 || !SendMessageA(KeysPage.list, LVM_GETITEMA, 0, (LPARAM)&item)) return nullptr;
    return (KeyRow*)item.lParam;
}

static int SelectedKeyRow(void) { return ListView_GetNextItem(KeysPage.list, -1, LVNI_SELECTED); }

// The name of a command or application id.
static void IdName(uint32_t id, char* out, size_t size) {
    out[0] = '\0';
    if (id < APP_ID_BASE) {
        CommandName(id, out, size);
        return;
    }
    int32_t found = FindRegAppById(KeysPage.apps.RegApps, KeysPage.apps.RegAppCount, (int32_t)id);
    if (found >= 0) CopyString(out, KeysPage.apps.RegApps[found].name, size);
    // A key kept for an id that no application holds any more.
    else snprintf(out, size, "(未登録のアプリ %u)", (unsigned)id);
}

static void ShowRowKey(int row, uint32_t key) {
    KeyRow* data = RowData(row);
    if (!data) return;
    data->key = key;
    char text[64];
    KeyText(key, text, sizeof text, data->id < APP_ID_BASE ? (int)data->id : -1);
    ListView_SetItemText(KeysPage.list, row, 1, text);
}

static int InsertKeyRow(int pos, uint32_t id, uint32_t key) {
    KeyRow* data = (KeyRow*)MemAlloc(sizeof(KeyRow));
    if (!data) return -1;
    data->id = id;
    data->key = key;
    char name[REGAPP_TEXT_SIZE];
    IdName(id, name, sizeof name);
    LVITEMA item = {};
    item.mask = LVIF_TEXT | LVIF_PARAM;
    item.iItem = pos;
    item.pszText = name;
    item.lParam = (LPARAM)data;
    int row = (int)SendMessageA(KeysPage.list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (row < 0) {
        MemFree(data);
        return -1;
    }
    ShowRowKey(row, key);
    return row;
}

static void SelectKeyRow(int row) {
    ListView_SetItemState(KeysPage.list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row < 0) return;
    ListView_SetItemState(KeysPage.list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(KeysPage.list, row, FALSE);
}

// --- Filling ------------------------------------------------------------------------

void RefillKeysCommands(HWND page) {
    if (!KeysPage.list) InitKeysPage(page);
    ListView_DeleteAllItems(KeysPage.list);
    int row = 0;
    for (int i = 0; i < CommandBindings.count; i++) {
        char name[COMMAND_NAME_SIZE];
        if (CommandName(CommandBindings.items[i].id, name, sizeof name))
            InsertKeyRow(row++, CommandBindings.items[i].id, CommandBindings.items[i].key);
    }
    // Applications that could not be read get no rows: their bindings stay as
    // they are in memory, and so in the file.
    if (ReadCurrentApps(&KeysPage.apps) >= 0) {
        int32_t* ids = (int32_t*)MemAlloc((size_t)(KeysPage.apps.RegAppCount + 1) * sizeof(int32_t));
        int idCount = 0;
        for (int i = 0; ids && i < KeysPage.apps.RegAppCount; i++)
            if (KeysPage.apps.RegApps[i].path[0]) ids[idCount++] = KeysPage.apps.RegApps[i].cmd;
        if (ids) SyncAppBindings(ids, idCount);
        for (int i = 0; ids && i < AppBindings.count; i++) {
            uint32_t id = AppBindings.items[i].id;
            bool listed = false;
            for (int j = 0; j < idCount && !listed; j++) listed = (uint32_t)ids[j] == id;
            // A key held for an id no application has is shown, so it can be freed.
            if (listed || (id != BINDING_DAMAGED && AppBindings.items[i].key != 0))
                InsertKeyRow(row++, id, AppBindings.items[i].key);
        }
        MemFree(ids);
    }
    SelectKeyRow(0);
}

// --- Selection and capture ------------------------------------------------------------

static void EnableButtons(bool change, bool add) {
    EnableWindow(GetDlgItem(KeysPage.page, IDC_KEYS_CHANGE), change);
    EnableWindow(GetDlgItem(KeysPage.page, IDC_KEYS_ADD), add);
}

static void OnRowSelected(int row) {
    KeyRow* data = RowData(row);
    if (!data) return;
    char text[64];
    KeyText(data->key, text, sizeof text, data->id < APP_ID_BASE ? (int)data->id : -1);
    SetWindowTextA(KeysPage.capture, text);
    if (data->key)
        for (int i = 0; i < 3; i++) CheckDlgButton(KeysPage.page, ModifierBoxes[i], (data->key & ModifierBits[i]) ? 1 : 0);
    char name[REGAPP_TEXT_SIZE];
    IdName(data->id, name, sizeof name);
    SetDlgItemTextA(KeysPage.page, IDC_KEYS_MESSAGE, name);
    KeysPage.pendingKey = 0;
    KeysPage.pendingFree = false;
    EnableButtons(false, false);
    EnableWindow(GetDlgItem(KeysPage.page, IDC_KEYS_DEFAULT), data->id < APP_ID_BASE);
    EnableWindow(GetDlgItem(KeysPage.page, IDC_KEYS_DELETE), data->key != 0);
}

static uint32_t CheckedModifiers(void) {
    uint32_t bits = 0;
    for (int i = 0; i < 3; i++)
        if (IsDlgButtonChecked(KeysPage.page, ModifierBoxes[i]) == BST_CHECKED) bits |= ModifierBits[i];
    return bits;
}

// A key pressed in the capture edit (or pressed again by a modifier box).
static void Capture(uint32_t virtualKey) {
    KeyRow* data = RowData(SelectedKeyRow());
    if (!data) return;
    CaptureResult r = ComposeCapture(virtualKey, CheckedModifiers(), data->key);
    if (r.kind == CAPTURE_IGNORED) return;
    KeysPage.pendingKey = r.pendingKey;
    KeysPage.pendingFree = r.kind == CAPTURE_FREE;
    char text[64];
    KeyText(r.pendingKey, text, sizeof text, -1);
    SetWindowTextA(KeysPage.capture, text);
    char rowName[REGAPP_TEXT_SIZE], message[2 * REGAPP_TEXT_SIZE + 100];
    IdName(data->id, rowName, sizeof rowName);
    if (r.kind == CAPTURE_FREE) {
        CopyString(message, rowName, sizeof message);
    } else if (r.kind == CAPTURE_BOUND) {
        char holder[REGAPP_TEXT_SIZE];
        IdName((uint32_t)r.holderId, holder, sizeof holder);
        FormatBoundMessage(rowName, r.pendingKey, holder, message, sizeof message);
    } else {
        CopyString(message, NeedModifierMessage, sizeof message);
    }
    SetDlgItemTextA(KeysPage.page, IDC_KEYS_MESSAGE, message);
    EnableButtons(r.enableChange, r.enableAdd);
}

static LRESULT CALLBACK CaptureProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE: return DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN:
            Capture((uint32_t)(wParam & 0xFF));
            return 0;
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_CONTEXTMENU:
        case WM_PASTE:
        case WM_CUT:
        case WM_CLEAR:
            return 0;
    }
    return CallSavedProc(edit, msg, wParam, lParam);
}

static void OnModifierClicked(int boxId) {
    KeyRow* data = RowData(SelectedKeyRow());
    if (!data) return;
    uint32_t inPlay = KeysPage.pendingKey ? KeysPage.pendingKey : data->key;
    if (!ModifierClickStands(inPlay, CheckedModifiers())) {
        CheckDlgButton(KeysPage.page, boxId, BST_CHECKED);
        return;
    }
    if (inPlay) Capture(inPlay & 0xFF);
}

// --- Buttons ---------------------------------------------------------------------------

static void OnChange(void) {
    int row = SelectedKeyRow();
    KeyRow* data = RowData(row);
    uint32_t key = KeysPage.pendingKey;
    if (!data || !key || !KeysPage.pendingFree || FindBindingByKey(key) != -1) return;
    if (!ChangeBindingKey(data->id, data->key, key)) return;
    ShowRowKey(row, key);
    OnRowSelected(row);
}

static void OnAdd(void) {
    int row = SelectedKeyRow();
    KeyRow* data = RowData(row);
    uint32_t key = KeysPage.pendingKey;
    if (!data || !key || !KeysPage.pendingFree || FindBindingByKey(key) != -1) return;
    if (!AddBindingOfId(data->id, key)) {
        OptMessage(KeysPage.page, "fatar errer no1");
        PostMessageA(GetParent(KeysPage.page), WM_CLOSE, 0, 0);
        return;
    }
    int added = InsertKeyRow(row + 1, data->id, key);
    SelectKeyRow(added);
}

static bool Ask(int row, const KeyRow* data, const char* what) {
    char name[REGAPP_TEXT_SIZE], key[64], text[REGAPP_TEXT_SIZE + 160];
    IdName(data->id, name, sizeof name);
    KeyText(data->key, key, sizeof key, data->id < APP_ID_BASE ? (int)data->id : -1);
    snprintf(text, sizeof text, "%s %s\r\n%s", name, key, what);
    (void)row;
    return MessageBoxA(KeysPage.page, text, "Optbox", MB_ICONQUESTION | MB_OKCANCEL) == IDOK;
}

static void OnDelete(void) {
    int row = SelectedKeyRow();
    KeyRow* data = RowData(row);
    if (!data || !data->key || !Ask(row, data, "の設定を無効にします。")) return;
    int result = RemoveOneBinding(data->id, data->key);
    if (result == 1) {
        ShowRowKey(row, 0);
        OnRowSelected(row);
    } else if (result == 2) {
        ListView_DeleteItem(KeysPage.list, row);
        SelectKeyRow(row > 0 ? row - 1 : 0);
    }
}

static void OnDefault(void) {
    int row = SelectedKeyRow();
    KeyRow* data = RowData(row);
    if (!data || data->id >= APP_ID_BASE || !Ask(row, data, "をデフォルトのキーに戻します。")) return;
    for (int i = 0; i < COMMAND_COUNT; i++) {
        if (CommandTable[i].id != data->id) continue;
        if (ChangeBindingKey(data->id, data->key, CommandTable[i].defaultKey)) {
            ShowRowKey(row, CommandTable[i].defaultKey);
            OnRowSelected(row);
        }
        return;
    }
}

// --- Page ----------------------------------------------------------------------------------


void InitKeysPage(HWND page) {
    if (KeysPage.list) return;
    KeysPage.page = page;
    KeysPage.list = GetDlgItem(page, IDC_KEYS_LIST);
    KeysPage.capture = GetDlgItem(page, IDC_KEYS_CAPTURE);
    ListView_SetExtendedListViewStyle(KeysPage.list, LVS_EX_GRIDLINES | LVS_EX_FULLROWSELECT);
    AddListColumn(KeysPage.list, 0, "コマンド名", 250);
    AddListColumn(KeysPage.list, 1, "キー", 100);
    ReplaceWindowProc(KeysPage.capture, CaptureProc);
    EnableButtons(false, false);
}

bool CollectKeysPage(HWND) {
    // Written at OK once every page has been collected.
    StageKeyBindings();
    return true;
}

void CleanupKeysPage(HWND) {
    if (KeysPage.capture) RestoreWindowProc(KeysPage.capture);
    FreeRegApps(&KeysPage.apps);
}

INT_PTR CALLBACK KeysPageProc(HWND, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG: return TRUE;
        case WM_COMMAND:
            switch (LOWORD(wParam)) {
                case IDC_KEYS_ALT:
                case IDC_KEYS_CTRL:
                case IDC_KEYS_SHIFT:
                    if (HIWORD(wParam) == BN_CLICKED) OnModifierClicked(LOWORD(wParam));
                    return TRUE;
                case IDC_KEYS_CHANGE: OnChange(); return TRUE;
                case IDC_KEYS_ADD: OnAdd(); return TRUE;
                case IDC_KEYS_DELETE: OnDelete(); return TRUE;
                case IDC_KEYS_DEFAULT: OnDefault(); return TRUE;
            }
            return FALSE;
        case WM_NOTIFY: {
            const NMHDR* header = (const NMHDR*)lParam;
            if (header->idFrom != IDC_KEYS_LIST) return FALSE;
            if (header->code == LVN_ITEMCHANGED) {
                const NMLISTVIEW* change = (const NMLISTVIEW*)header;
                if ((change->uChanged & LVIF_STATE) && (change->uNewState & LVIS_SELECTED) &&
                    !(change->uOldState & LVIS_SELECTED))
                    OnRowSelected(change->iItem);
            } else if (header->code == LVN_DELETEITEM) {
                MemFree((void*)((const NMLISTVIEW*)header)->lParam);
            }
            return TRUE;
        }
    }
    return FALSE;
}
