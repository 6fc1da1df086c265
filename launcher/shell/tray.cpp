// tray.cpp - showing and hiding the edit box, the notification-area (tray)
// icon that stands for the hidden box, and the icon's menu.
#include <windows.h>
#include <shellapi.h>

#include "../../common/settings.h"
#include "../../common/winutil.h"
#include "../../common/commandids.h"
#include "../editbox/editbox.h"
#include "../migemo/migemo.h"
#include "appstate.h"
#include "shell.h"

static void FillIconRecord(NOTIFYICONDATAA* nid) {
    ZeroMemory(nid, sizeof *nid);
    nid->cbSize = sizeof *nid;  // the largest record these headers know
    nid->hWnd = Shell.mainWnd;
    nid->uID = ID_TRAY_ICON;
}

// The icon is in the notification area (hiding without icon adds none).
static bool TrayIconShown;

static void DestroyTrayImage(void) {
    if (Shell.trayIcon) DestroyIcon(Shell.trayIcon);
    Shell.trayIcon = nullptr;
}

// Adds the tray icon; a missing icon image still adds the entry. An icon
// still there from the last hide (its removal had not come round) is kept.
static void AddTrayIcon(void) {
    if (TrayIconShown) return;
    DestroyTrayImage();
    Shell.trayIcon =
        (HICON)LoadImageA(Shell.instance, MAKEINTRESOURCEA(IDI_VORN), IMAGE_ICON, 16, 16, 0);
    NOTIFYICONDATAA nid;
    FillIconRecord(&nid);
    nid.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    nid.uCallbackMessage = WM_TRAY_NOTIFY;
    nid.hIcon = Shell.trayIcon;
    lstrcpynA(nid.szTip, "vorn", sizeof nid.szTip);
    TrayIconShown = Shell_NotifyIconA(NIM_ADD, &nid) != FALSE;
}

// Removing an icon is a round trip to the notification area: skipped when
// there is none.
static void DeleteTrayIcon(void) {
    if (TrayIconShown) {
        NOTIFYICONDATAA nid;
        FillIconRecord(&nid);
        Shell_NotifyIconA(NIM_DELETE, &nid);
        TrayIconShown = false;
    }
    DestroyTrayImage();
}

void RemoveTrayIcon(void) {
    ClearFlags(SF_HIDDEN);
    DeleteTrayIcon();
}

void OnTrayIconUnneeded(void) {
    // Hidden again before this came round: the icon stands for the box again.
    if (!AnyFlag(SF_HIDDEN)) DeleteTrayIcon();
}

void ShowEditBox(void) {
    HWND box = EditBox.wnd;
    if (!box || !IsWindowEnabled(box)) {
        HandBackHeldKeys();
        return;
    }
    // The flag is the record of HideEditBox; the window's own state is checked
    // as well so that a box hidden some other way still comes back.
    bool hidden = AnyFlag(SF_HIDDEN) || !IsWindowVisible(box);
    // The box comes first: in front and given the keys typed behind the hot
    // key before anything else is done. The tray icon goes once the messages
    // already waiting have been handled: its removal is a round trip to the
    // notification area that the first keys must not wait for.
    ClearFlags(SF_HIDDEN);
    if (hidden) ShowWindow(box, SW_SHOWNORMAL);
    // The hot key's message carries the right to take the foreground, so the
    // plain request succeeds as a rule; the forced switch (input attached,
    // lock time-out lifted) is for when it did not.
    if (!SetForegroundWindow(box) || GetForegroundWindow() != box) ForceForeground(box);
    WatchKeysAfterHotKey(false);
    if (hidden && Shell.mainWnd) PostMessageA(Shell.mainWnd, WM_TRAY_UNNEEDED, 0, 0);
}

void HideEditBox(int mode) {
    ReleaseMigemoIfIdle();
    if (mode != 1 && mode != 2) return;
    if (AnyFlag(SF_HIDDEN)) return;
    SetFlags(SF_HIDDEN);
    if (mode == 1) AddTrayIcon();
    if (EditBox.wnd) ShowWindow(EditBox.wnd, SW_HIDE);
    WatchKeysAfterHotKey(true);
}

static void ShowTrayMenu(void) {
    POINT at;
    if (!GetCursorPos(&at)) at.x = at.y = 0;
    HMENU menu = CreatePopupMenu();
    if (!menu) return;
    // The choice reaches the main window as WM_COMMAND with the item's id,
    // the menu id of its command.
    AppendMenuA(menu, MF_STRING, (UINT_PTR)MenuIdOfCommand(CMD_SHOW), "&Show");
    AppendMenuA(menu, MF_STRING, (UINT_PTR)MenuIdOfCommand(CMD_RELOAD), "&Reload");
    AppendMenuA(menu, MF_STRING, (UINT_PTR)MenuIdOfCommand(CMD_EXIT), "&Exit");
    // Without being the foreground window the owner never hears that the user
    // clicked elsewhere, and the menu would stay open.
    SetForegroundWindow(Shell.mainWnd);
    TrackPopupMenu(menu, 0, at.x, at.y, 0, Shell.mainWnd, nullptr);
    PostMessageA(Shell.mainWnd, WM_NULL, 0, 0);
    DestroyMenu(menu);
}

void OnTrayNotify(UINT mouseMsg, UINT iconId) {
    if (iconId != ID_TRAY_ICON) return;
    if (mouseMsg == WM_LBUTTONDOWN)
        ShowEditBox();
    else if (mouseMsg == WM_RBUTTONUP)
        ShowTrayMenu();
}
