// choosers.cpp - the colour, folder and file choosers of the pages, and the
// drawing of a colour swatch.
#include <windows.h>
#include <commdlg.h>
#include <shlobj.h>

#include <string.h>

#include "common/strutil.h"
#include "optbox/optbox.h"
#include "optbox/optdata.h"

void ResetCustomColors(int customSet) {
    if (customSet < 0 || customSet > 1) return;
    for (uint32_t& c : Opt.customColors[customSet]) c = 0xFFFFFF;
    Opt.customFilled[customSet] = true;
}

uint32_t ChooseColorFor(HWND owner, uint32_t current, int customSet) {
    if (customSet < 0 || customSet > 1) return COLOR_CANCELLED;
    if (!Opt.customFilled[customSet]) ResetCustomColors(customSet);
    CHOOSECOLORA cc = {};
    cc.lStructSize = sizeof cc;
    cc.hwndOwner = owner;
    cc.rgbResult = current & 0xFFFFFF;
    cc.lpCustColors = (COLORREF*)Opt.customColors[customSet];
    cc.Flags = CC_RGBINIT;
    BOOL chosen = ChooseColorA(&cc);
    SetFocus(owner);
    return chosen ? (uint32_t)cc.rgbResult : COLOR_CANCELLED;
}

// Selects the starting folder once the browser is ready.
static int CALLBACK BrowseCallback(HWND browser, UINT msg, LPARAM, LPARAM data) {
    if (msg != BFFM_INITIALIZED || !data || !*(const char*)data) return 0;
    // Selected by its UTF-16 path: the browser's own form, whatever the code page.
    WCHAR wide[MAX_PATH + 1];
    if (MultiByteToWideChar(CP_ACP, 0, (const char*)data, -1, wide, MAX_PATH + 1))
        SendMessageW(browser, BFFM_SETSELECTIONW, TRUE, (LPARAM)wide);
    else
        SendMessageA(browser, BFFM_SETSELECTIONA, TRUE, data);
    return 0;
}

bool ChooseFolder(HWND owner, const char* title, const char* start, char* dst, size_t dstSize) {
    if (!dst || dstSize < MAX_PATH) return false;
    // COM only for the time of the browser.
    HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    char startCopy[MAX_PATH + 1];
    CopyString(startCopy, start ? start : "", sizeof startCopy);
    BROWSEINFOA info = {};
    info.hwndOwner = owner;
    info.lpszTitle = title;
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_EDITBOX | BIF_NEWDIALOGSTYLE;
    info.lpfn = BrowseCallback;
    info.lParam = (LPARAM)startCopy;
    bool chosen = false;
    PIDLIST_ABSOLUTE list = SHBrowseForFolderA(&info);
    if (list) {
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(list, path) && path[0]) {
            CopyString(dst, path, dstSize);
            chosen = true;
        }
        CoTaskMemFree(list);
    }
    if (SUCCEEDED(com)) CoUninitialize();
    return chosen;
}

bool ChooseFile(HWND owner, const char* title, const char* filter, const char* defExt,
                const char* initialDir, char* dst, size_t dstSize) {
    if (!dst || dstSize < MAX_PATH + 1) return false;
    memset(dst, 0, dstSize);
    OPENFILENAMEA ofn = {};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = owner;
    ofn.lpstrFilter = filter;
    ofn.lpstrFile = dst;
    ofn.nMaxFile = MAX_PATH + 1;
    ofn.lpstrInitialDir = initialDir;
    ofn.lpstrTitle = title;
    ofn.lpstrDefExt = defExt;
    ofn.Flags = OFN_FILEMUSTEXIST | OFN_HIDEREADONLY;
    return GetOpenFileNameA(&ofn) != 0;
}

void DrawSwatch(const DRAWITEMSTRUCT* item, uint32_t color) {
    RECT rc = item->rcItem;
    HBRUSH frame = (HBRUSH)GetStockObject(BLACK_BRUSH);
    FrameRect(item->hDC, &rc, frame);
    InflateRect(&rc, -2, -2);
    HBRUSH fill = CreateSolidBrush(color & 0xFFFFFF);
    if (fill) {
        FillRect(item->hDC, &rc, fill);
        DeleteObject(fill);
    }
    if (item->itemState & ODS_FOCUS) {
        InflateRect(&rc, 1, 1);
        DrawFocusRect(item->hDC, &rc);
    }
}
