// pathicon.cpp - the 16x16 icon at the left edge of the edit box that shows
// what the typed path names (used only when the setting icon is 1).
#include <windows.h>
#include <shellapi.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "editbox.h"
#include "editbox_internal.h"

static void PaintPathIcon(HWND wnd) {
    PAINTSTRUCT ps;
    HDC dc = BeginPaint(wnd, &ps);
    if (!dc) return;
    HBRUSH background = GetSysColorBrush(COLOR_WINDOW);
    if (EditBox.iconImage) {
        DrawIconEx(dc, 0, 0, EditBox.iconImage, PATH_ICON_SIZE, PATH_ICON_SIZE, 0, background,
                   DI_NORMAL);
    } else {
        RECT rc = {0, 0, PATH_ICON_SIZE, PATH_ICON_SIZE};
        FillRect(dc, &rc, background);
    }
    EndPaint(wnd, &ps);
}

static LRESULT CALLBACK PathIconProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_PAINT:
            PaintPathIcon(wnd);
            return 0;
        case WM_ERASEBKGND:
            return 1;
        case WM_NCDESTROY:
            if (EditBox.iconWnd == wnd) EditBox.iconWnd = nullptr;
            break;
    }
    // Everything else, hit testing included, stays with the STATIC control:
    // it lets the mouse through to the edit box.
    return CallSavedProc(wnd, msg, wParam, lParam);
}

int CreatePathIconWindow(void) {
    if (Settings.icon != 1 || !EditBox.wnd) return -1;
    DestroyPathIconWindow();
    HWND wnd = CreateWindowExA(0, "STATIC", "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS, 0, 0,
                               PATH_ICON_SIZE, PATH_ICON_SIZE, EditBox.wnd, nullptr, Shell.instance,
                               nullptr);
    if (!wnd) return -1;
    EditBox.iconWnd = wnd;
    ReplaceWindowProc(wnd, PathIconProc);
    SetPathIcon(nullptr);
    return PATH_ICON_SIZE;
}

void DestroyPathIconWindow(void) {
    if (EditBox.iconWnd) {
        HWND wnd = EditBox.iconWnd;
        EditBox.iconWnd = nullptr;
        DestroyWindow(wnd);
    }
    if (EditBox.iconImage) DestroyIcon(EditBox.iconImage);
    EditBox.iconImage = nullptr;
    EditBox.iconIsDefault = false;
}

static HICON LoadDefaultPathIcon(void) {
    return (HICON)LoadImageA(Shell.instance, MAKEINTRESOURCEA(IDI_DEFAULT_PATH), IMAGE_ICON,
                             PATH_ICON_SIZE, PATH_ICON_SIZE, 0);
}

void SetPathIcon(const char* path) {
    if (Settings.icon != 1) return;
    bool exists = path && path[0] && FileExists(path);
    // While the typed text names nothing the default picture stays as it is:
    // it is not loaded and painted again on every key.
    if (!exists && EditBox.iconImage && EditBox.iconIsDefault) return;
    HICON image = nullptr;
    if (exists) {
        char clean[EDIT_TEXT_MAX];
        CopyString(clean, path, sizeof clean);
        CollapseSeparators(clean);
        SHFILEINFOA info;
        memset(&info, 0, sizeof info);
        if (SHGetFileInfoA(clean, 0, &info, sizeof info, SHGFI_ICON | SHGFI_SMALLICON) &&
            info.hIcon)
            image = info.hIcon;
    }
    bool isDefault = image == nullptr;
    if (isDefault) image = LoadDefaultPathIcon();
    if (EditBox.iconImage) DestroyIcon(EditBox.iconImage);
    EditBox.iconImage = image;
    EditBox.iconIsDefault = isDefault;
    if (EditBox.iconWnd) {
        InvalidateRect(EditBox.iconWnd, nullptr, FALSE);
        UpdateWindow(EditBox.iconWnd);
    }
}

int EditTextAsPath(char* buf, size_t size) {
    char text[EDIT_TEXT_MAX];
    ReadEditText(text, sizeof text);
    RootAtStartDir(text, buf, size);
    return (int)strlen(buf);
}

void RefreshPathIcon(void) {
    if (Settings.icon != 1) return;
    char path[PATH_WORK_SIZE];
    EditTextAsPath(path, sizeof path);
    SetPathIcon(path);
}

void ShowPathIcon(bool show) {
    if (Settings.icon != 1 || !EditBox.iconWnd) return;
    if (show) {
        ShowWindow(EditBox.iconWnd, SW_SHOWNA);
        SetEditMargins(PATH_ICON_SIZE);
        InvalidateRect(EditBox.iconWnd, nullptr, FALSE);
        UpdateWindow(EditBox.iconWnd);
    } else {
        ShowWindow(EditBox.iconWnd, SW_HIDE);
        SetEditMargins(1);
    }
}
