// itempage.cpp - the rows of the list-item pages: reading the list file into
// the list, moving, inserting and deleting rows, dropped files, the check box
// rule, the filter of a Favorites folder, and the file's new text at OK.
#include "optbox/itempage.h"

#include <commctrl.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "common/datafile.h"
#include "common/fileio.h"
#include "common/listfile.h"
#include "common/strutil.h"
#include "optbox/listeditrules.h"
#include "optbox/optdata.h"
#include "resources/optbox_res.h"


HWND ItemList(HWND page, const ItemPageKind* kind) { return GetDlgItem(page, kind->listId); }

// --- Rows -------------------------------------------------------------------------

static bool PathExists(void*, const char* path) { return FileExists(path) || DirectoryExists(path); }
static bool PathIsFolder(void*, const char* path) { return DirectoryExists(path); }
static const ItemPathTests WinPathTests = {PathExists, PathIsFolder, nullptr};
// While the rows of the file are put in, their check boxes are taken as the
// file has them (a folder on a drive that is away stays an expansion line).
static bool FillingFromFile = false;

static int RowCount(HWND list) { return (int)SendMessageA(list, LVM_GETITEMCOUNT, 0, 0); }

static int SelectedRow(HWND list) { return ListView_GetNextItem(list, -1, LVNI_SELECTED); }

static void GetRow(HWND list, int row, ItemRow* out) {
    memset(out, 0, sizeof *out);
    ListView_GetItemText(list, row, 0, out->text, sizeof out->text);
    if (Header_GetItemCount(ListView_GetHeader(list)) > 1)
        ListView_GetItemText(list, row, 1, out->filter, sizeof out->filter);
    out->checked = ListView_GetCheckState(list, row) ? 1 : 0;
}

static void SetRowTexts(HWND list, int row, const ItemRow* data) {
    ListView_SetItemText(list, row, 0, (char*)data->text);
    if (Header_GetItemCount(ListView_GetHeader(list)) > 1)
        ListView_SetItemText(list, row, 1, (char*)data->filter);
}

static void SetRow(HWND list, int row, const ItemRow* data) {
    SetRowTexts(list, row, data);
    ListView_SetCheckState(list, row, data->checked ? TRUE : FALSE);
}

static int InsertRow(HWND list, int pos, const ItemRow* data) {
    LVITEMA item = {};
    item.mask = LVIF_TEXT;
    item.iItem = pos;
    item.pszText = (char*)data->text;
    int row = (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item);
    if (row < 0) return -1;
    SetRow(list, row, data);
    return row;
}

static void SelectOnly(HWND list, int row) {
    ListView_SetItemState(list, -1, 0, LVIS_SELECTED | LVIS_FOCUSED);
    if (row < 0) return;
    ListView_SetItemState(list, row, LVIS_SELECTED | LVIS_FOCUSED, LVIS_SELECTED | LVIS_FOCUSED);
    ListView_EnsureVisible(list, row, FALSE);
}

// Inserts a row at the selection (or at the end), selects it and gives the list
// the focus.
static void InsertAtSelection(HWND list, const char* text) {
    ItemRow data = {};
    CopyString(data.text, text, sizeof data.text);
    int row = InsertRow(list, InsertPosition(SelectedRow(list), RowCount(list)), &data);
    SelectOnly(list, row);
    SetFocus(list);
}

static void MoveRow(HWND list, int step) {
    int row = SelectedRow(list);
    int other = row + step;
    if (row < 0 || other < 0 || other >= RowCount(list)) return;
    ItemRow a, b;
    GetRow(list, row, &a);
    GetRow(list, other, &b);
    SetRow(list, row, &b);
    SetRow(list, other, &a);
    SelectOnly(list, other);
}

static void DeleteSelectedRows(HWND list) {
    int last = -1, deleted = 0, row;
    while ((row = SelectedRow(list)) >= 0) {
        ListView_DeleteItem(list, row);
        last = row;
        deleted++;
    }
    if (deleted) SelectOnly(list, SelectAfterDelete(last, deleted, RowCount(list)));
}

// --- Initialisation ---------------------------------------------------------------------


void InitItemPage(HWND page, const ItemPageKind* kind) {
    HWND list = ItemList(page, kind);
    ListView_SetExtendedListViewStyle(list, LVS_EX_GRIDLINES | LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    if (kind->mode == LF_FAVORITES) {
        AddListColumn(list, 0, "パス", 280);
        AddListColumn(list, 1, "フィルタ", 85);
    } else {
        AddListColumn(list, 0, "パス", 365);
    }
    DragAcceptFiles(page, TRUE);
    char* text = LoadDataFile(kind->dataFile, nullptr, nullptr);
    if (!text) {
        ReportIfUnreadable(kind->dataFile);
        return;
    }
    ItemRows rows = {};
    if (ReadItemRows(text, kind->mode, &rows)) {
        FillingFromFile = true;
        for (int i = 0; i < rows.count; i++) InsertRow(list, i, &rows.rows[i]);
        FillingFromFile = false;
        // Lines no row can hold survive in the backup when the page is saved.
        if (rows.dropped > 0) KeepDataFileBackup(kind->dataFile);
    } else {
        // The rows could not be held: the file must not be replaced by what little is shown.
        MarkDataFileUnreadable(kind->dataFile);
    }
    FreeItemRows(&rows);
    MemFree(text);
}

// --- Collection -------------------------------------------------------------------------

static void RefuseRow(HWND page, HWND list, int row, const ItemRow* data, int result) {
    char text[ITEM_ROW_SIZE + 160];
    const char* why = result == ROW_LINE_TOO_LONG    ? "は長すぎるため保存できません。"
                      : result == ROW_LINE_BAD_FILTER ? "のフィルタに使えない文字(\" や改行)があります。"
                                                      : "は項目として保存できない文字を含んでいます。";
    snprintf(text, sizeof text, "%s\r\n%s", data->text, why);
    SelectOnly(list, row);
    OptMessage(page, text);
    SetFocus(list);
}

bool CollectItemPage(HWND page, const ItemPageKind* kind) {
    HWND list = ItemList(page, kind);
    int count = RowCount(list);
    ItemRow* rows = (ItemRow*)MemAlloc((size_t)(count + 1) * sizeof(ItemRow));
    ListLine* lines = (ListLine*)MemAlloc((size_t)(count + 1) * sizeof(ListLine));
    bool ok = rows && lines;
    for (int i = 0; ok && i < count; i++) {
        GetRow(list, i, &rows[i]);
        int result = RowToLine(&rows[i], kind->mode, &lines[i]);
        if (result != ROW_LINE_OK) {
            RefuseRow(page, list, i, &rows[i], result);
            MemFree(rows);
            MemFree(lines);
            return false;
        }
    }
    if (ok) {
        long need = FormatListFile(lines, count, kind->mode, nullptr, 0);
        char* text = need >= 0 ? (char*)MemAlloc((size_t)need + 1) : nullptr;
        long len = text ? FormatListFile(lines, count, kind->mode, text, (size_t)need + 1) : -1;
        // Written at OK once every page has been collected.
        if (len >= 0) StageDataFile(kind->dataFile, text, (size_t)len);
        MemFree(text);
    }
    MemFree(rows);
    MemFree(lines);
    return true;
}

// --- Commands -----------------------------------------------------------------------------

static void AddChosenFolder(HWND page, HWND list) {
    char path[MAX_PATH + 1];
    if (ChooseFolder(page, "カレントフォルダ選択", Opt.moduleFolder, path, sizeof path))
        InsertAtSelection(list, path);
}

static void AddChosenFile(HWND page, HWND list) {
    static const char filter[] = "EXE(*.exe)\0*.exe\0All Files(*.*)\0*.*\0";
    char path[MAX_PATH + 1];
    if (ChooseFile(page, "ファイル選択", filter, nullptr, Opt.moduleFolder, path, sizeof path) && path[0])
        InsertAtSelection(list, path);
}

bool ItemPageCommand(HWND page, const ItemPageKind* kind, int id) {
    HWND list = ItemList(page, kind);
    if (id == kind->upId) MoveRow(list, -1);
    else if (id == kind->downId) MoveRow(list, 1);
    else if (id == kind->blankId) InsertAtSelection(list, RowBlankText);
    else if (id == kind->breakId) InsertAtSelection(list, BreakRowText(kind->mode));
    else if (id == kind->deleteId) DeleteSelectedRows(list);
    else if (kind->addFileId && id == kind->addFileId) AddChosenFile(page, list);
    else if (id == kind->addFolderId) AddChosenFolder(page, list);
    else return false;
    return true;
}

// Double-click on a checked row of an existing folder: its filter.
static void EditRowFilter(HWND page, HWND list, int row) {
    if (row < 0) return;
    ItemRow data;
    GetRow(list, row, &data);
    if (!data.checked || !RowMayExpand(data.text, &WinPathTests)) return;
    if (!EditFilter(page, data.filter, sizeof data.filter)) return;
    data.checked = 1;
    SetRow(list, row, &data);
}

bool ItemPageNotify(HWND page, const ItemPageKind* kind, const NMHDR* header) {
    if ((int)header->idFrom != kind->listId) return false;
    HWND list = header->hwndFrom;
    if (header->code == LVN_ITEMCHANGED) {
        const NMLISTVIEW* change = (const NMLISTVIEW*)header;
        bool nowChecked = (change->uNewState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
        bool wasChecked = (change->uOldState & LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
        if (!FillingFromFile && (change->uChanged & LVIF_STATE) && nowChecked && !wasChecked &&
            change->iItem >= 0) {
            char text[ITEM_ROW_SIZE] = "";
            ListView_GetItemText(list, change->iItem, 0, text, sizeof text);
            // Only folders can be expanded.
            if (!RowMayExpand(text, &WinPathTests)) ListView_SetCheckState(list, change->iItem, FALSE);
        }
        return true;
    }
    if (header->code == NM_DBLCLK && kind->mode == LF_FAVORITES) {
        EditRowFilter(page, list, ((const NMITEMACTIVATE*)header)->iItem);
        return true;
    }
    return false;
}

void ItemPageDrop(HWND page, const ItemPageKind* kind, HDROP drop) {
    HWND list = ItemList(page, kind);
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    int refused = 0;
    for (UINT i = 0; i < count; i++) {
        // A path longer than a row may hold is refused, not cut.
        if (DragQueryFileA(drop, i, nullptr, 0) > ITEM_PATH_MAX) {
            refused++;
            continue;
        }
        ItemRow data = {};
        if (!DragQueryFileA(drop, i, data.text, sizeof data.text)) continue;
        bool isFolder = DirectoryExists(data.text);
        if (kind->dropsFoldersOnly ? !isFolder : !(isFolder || FileExists(data.text))) continue;
        InsertRow(list, RowCount(list), &data);
    }
    DragFinish(drop);
    if (refused) OptMessage(page, "パスが長すぎる(260バイトを超える)項目は追加できません。");
}
