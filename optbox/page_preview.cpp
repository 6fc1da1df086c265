// page_preview.cpp - "プレビュー": the text preview's read size and colours,
// the window size, and the folder of the picture plug-ins.
#include <windows.h>

#include "common/fileio.h"
#include "common/settings.h"
#include "common/strutil.h"
#include "optbox/optdata.h"
#include "optbox/optrules.h"
#include "optbox/pages.h"
#include "resources/optbox_res.h"

static uint32_t* SwatchColor(int id) {
    if (id == IDC_PREV_BKCOLOR) return &Settings.bkcolor;
    if (id == IDC_PREV_FTCOLOR) return &Settings.ftcolor;
    return nullptr;
}

static void OnSwatch(HWND page, int id) {
    uint32_t* color = SwatchColor(id);
    if (!color) return;
    uint32_t chosen = ChooseColorFor(page, *color, CUSTOM_PREVIEW);
    if (chosen == COLOR_CANCELLED) return;
    *color = chosen;
    InvalidateRect(GetDlgItem(page, id), nullptr, TRUE);
}

static void OnBrowsePlugins(HWND page) {
    char folder[MAX_PATH];
    if (ChooseFolder(page, "プラグインのフォルダの選択", Opt.moduleFolder, folder, sizeof folder))
        SetDlgItemTextA(page, IDC_PREV_SPI_PATH, folder);
}

INT_PTR CALLBACK PreviewPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_DRAWITEM: {
            const DRAWITEMSTRUCT* item = (const DRAWITEMSTRUCT*)lParam;
            uint32_t* color = SwatchColor((int)item->CtlID);
            if (!color) return FALSE;
            DrawSwatch(item, *color);
            return TRUE;
        }
        case WM_COMMAND:
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            if (LOWORD(wParam) == IDC_PREV_SPI_BROWSE) OnBrowsePlugins(page);
            else OnSwatch(page, LOWORD(wParam));
            return TRUE;
    }
    return FALSE;
}

void InitPreviewPage(HWND page) {
    ResetCustomColors(CUSTOM_PREVIEW);
    SetSpinRange(page, IDC_PREV_RSIZE_SPIN, 500, 10000);
    SetNumberField(page, IDC_PREV_RSIZE, (int32_t)Settings.rsize);
    SetSpinRange(page, IDC_PREV_WIDTH_SPIN, 10, 1000);
    SetNumberField(page, IDC_PREV_WIDTH, (int32_t)Settings.width);
    SetSpinRange(page, IDC_PREV_HEIGHT_SPIN, 10, 1000);
    SetNumberField(page, IDC_PREV_HEIGHT, (int32_t)Settings.height);
    SendDlgItemMessageA(page, IDC_PREV_SPI_PATH, EM_LIMITTEXT, 0, 0);
    SetDlgItemTextA(page, IDC_PREV_SPI_PATH, Settings.spi_path);
}

bool CollectPreviewPage(HWND page) {
    char path[PATH_FIELD_MAX + 1];
    if (!GetPathField(page, IDC_PREV_SPI_PATH, path, sizeof path, "プラグインのフォルダパス")) return false;
    Settings.rsize = (uint32_t)GetNumberField(page, IDC_PREV_RSIZE, NF_COUNT);
    Settings.width = (uint32_t)GetNumberField(page, IDC_PREV_WIDTH, NF_COUNT);
    Settings.height = (uint32_t)GetNumberField(page, IDC_PREV_HEIGHT, NF_COUNT);
    // Only an existing folder replaces the plug-in folder; else the old one stays.
    if (path[0] && DirectoryExists(path)) CopyString(Settings.spi_path, path, sizeof Settings.spi_path);
    return true;
}
