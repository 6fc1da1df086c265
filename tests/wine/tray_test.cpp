// In-process tests of showing and hiding the edit box, the tray icon and its
// menu, the hot key, transparency and enabling, against real windows.
#include <gtest/gtest.h>

#include <string>

#include "common/commandids.h"
#include "shell_windows.h"

namespace {

using TrayIcon = ShellWindows;

TEST_F(TrayIcon, HidingIntoTheTrayAddsTheIconAndShowingRemovesIt) {
    ASSERT_FALSE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
    HideEditBox(1);
    EXPECT_TRUE(AnyFlag(SF_HIDDEN));
    EXPECT_FALSE(IsWindowVisible(box));
    EXPECT_TRUE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
    // A second hide changes nothing (one icon, still hidden).
    HideEditBox(1);
    EXPECT_TRUE(TrayIconPresent(mainWnd, ID_TRAY_ICON));

    // The icon goes once the main window has handled what waited: the box
    // comes first.
    ShowEditBox();
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_FALSE(AnyFlag(SF_HIDDEN));
    EXPECT_TRUE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
    PumpMessages();
    EXPECT_FALSE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
    EXPECT_EQ(Shell.trayIcon, nullptr);
}

TEST_F(TrayIcon, HiddenAgainBeforeTheIconWentKeepsTheOneIcon) {
    HideEditBox(1);
    ShowEditBox();
    HideEditBox(1);
    PumpMessages();
    EXPECT_TRUE(AnyFlag(SF_HIDDEN));
    EXPECT_TRUE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
    ShowEditBox();
    PumpMessages();
    EXPECT_FALSE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
}

TEST_F(TrayIcon, HidingWithoutIconAndUnknownModes) {
    HideEditBox(0);
    HideEditBox(3);
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_FALSE(AnyFlag(SF_HIDDEN));

    HideEditBox(2);
    EXPECT_FALSE(IsWindowVisible(box));
    EXPECT_TRUE(AnyFlag(SF_HIDDEN));
    EXPECT_FALSE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
    ShowEditBox();
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_FALSE(AnyFlag(SF_HIDDEN));
}

TEST_F(TrayIcon, ADisabledBoxStaysHidden) {
    HideEditBox(1);
    EnableAll(false);
    EXPECT_FALSE(IsWindowEnabled(box));
    ShowEditBox();
    OnTrayNotify(WM_LBUTTONDOWN, ID_TRAY_ICON);
    EXPECT_FALSE(IsWindowVisible(box));
    EXPECT_TRUE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
    EnableAll(true);
    EXPECT_TRUE(IsWindowEnabled(box));
    ShowEditBox();
    EXPECT_TRUE(IsWindowVisible(box));
}

TEST_F(TrayIcon, ABoxHiddenWithoutTheFlagStillComesBack) {
    ShowWindow(box, SW_HIDE);
    ShowEditBox();
    EXPECT_TRUE(IsWindowVisible(box));
}

TEST_F(TrayIcon, LeftClickOnOurIconShowsTheBox) {
    HideEditBox(1);
    OnTrayNotify(WM_LBUTTONDOWN, ID_TRAY_ICON + 1);
    OnTrayNotify(WM_MOUSEMOVE, ID_TRAY_ICON);
    OnTrayNotify(WM_LBUTTONUP, ID_TRAY_ICON);
    EXPECT_FALSE(IsWindowVisible(box));
    OnTrayNotify(WM_LBUTTONDOWN, ID_TRAY_ICON);
    EXPECT_TRUE(IsWindowVisible(box));
    PumpMessages();
    EXPECT_FALSE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
}

// Waits for the pop-up menu, records its items and picks one by its access key.
struct MenuProbe {
    std::string items;
    int count = -1;
    char key = 0;
};

DWORD WINAPI ProbeMenu(void* arg) {
    MenuProbe* probe = (MenuProbe*)arg;
    HWND menuWnd = nullptr;
    for (int i = 0; i < 300 && !menuWnd; i++) {
        menuWnd = FindWindowA("#32768", nullptr);
        if (!menuWnd || !IsWindowVisible(menuWnd)) {
            menuWnd = nullptr;
            Sleep(10);
        }
    }
    if (!menuWnd) return 1;
    HMENU menu = (HMENU)SendMessageA(menuWnd, MN_GETHMENU, 0, 0);
    if (menu) {
        probe->count = GetMenuItemCount(menu);
        for (int i = 0; i < probe->count; i++) {
            char text[64] = "";
            GetMenuStringA(menu, (UINT)i, text, sizeof text, MF_BYPOSITION);
            probe->items += std::to_string(GetMenuItemID(menu, i)) + "=" + text + ";";
        }
    }
    PostMessageA(menuWnd, WM_CHAR, (WPARAM)(probe->key | 0x20), 0);
    return 0;
}

UINT RightClickAndPick(char key, std::string* items, int* count) {
    MenuProbe probe;
    probe.key = key;
    HANDLE thread = CreateThread(nullptr, 0, ProbeMenu, &probe, 0, nullptr);
    OnTrayNotify(WM_RBUTTONUP, ID_TRAY_ICON);
    WaitForSingleObject(thread, 5000);
    CloseHandle(thread);
    PumpMessages();
    *items = probe.items;
    *count = probe.count;
    return g_lastCommand;
}

TEST_F(TrayIcon, RightClickMenuHasShowReloadExit) {
    HideEditBox(1);
    std::string items;
    int count = 0;
    EXPECT_EQ(RightClickAndPick('E', &items, &count), (UINT)MenuIdOfCommand(CMD_EXIT));
    EXPECT_EQ(count, 3);
    EXPECT_EQ(items, std::to_string(MenuIdOfCommand(CMD_SHOW)) + "=&Show;" +
                         std::to_string(MenuIdOfCommand(CMD_RELOAD)) + "=&Reload;" +
                         std::to_string(MenuIdOfCommand(CMD_EXIT)) + "=&Exit;");
    g_lastCommand = 0;
    EXPECT_EQ(RightClickAndPick('S', &items, &count), (UINT)MenuIdOfCommand(CMD_SHOW));
    // The menu itself only sends the command; the box waits for the main window.
    EXPECT_FALSE(IsWindowVisible(box));
    // Other icons have no menu.
    g_lastCommand = 0;
    OnTrayNotify(WM_RBUTTONUP, ID_TRAY_ICON + 1);
    PumpMessages();
    EXPECT_EQ(g_lastCommand, 0u);
}

using Transparency = ShellWindows;

BYTE LayeredAlpha(HWND wnd) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(wnd, &key, &alpha, &flags)) return 0;
    EXPECT_EQ(flags, (DWORD)LWA_ALPHA);
    return alpha;
}

bool IsLayered(HWND wnd) { return (GetWindowLongPtrA(wnd, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

TEST_F(Transparency, AlphaPercentOf255WithConstantAlphaOnly) {
    Settings.alpha = 50;
    SetLayered(box, true);
    EXPECT_TRUE(IsLayered(box));
    SetTransparency(box, false);
    EXPECT_EQ(LayeredAlpha(box), 255);
    SetTransparency(box, true);
    EXPECT_EQ(LayeredAlpha(box), 127);
    SetTransparencyAll(false);
    EXPECT_EQ(LayeredAlpha(box), 255);
    Settings.alpha = 10;
    SetTransparencyAll(true);
    EXPECT_EQ(LayeredAlpha(box), 25);
    SetLayered(box, false);
    EXPECT_FALSE(IsLayered(box));
}

TEST_F(Transparency, NothingHappensAtFullOpacity) {
    Settings.alpha = 100;
    SetLayered(box, true);
    EXPECT_FALSE(IsLayered(box));
    // An already layered window keeps its style and alpha too.
    Settings.alpha = 60;
    SetLayered(box, true);
    SetTransparency(box, true);
    EXPECT_EQ(LayeredAlpha(box), 153);
    Settings.alpha = 100;
    SetTransparencyAll(false);
    SetLayered(box, false);
    EXPECT_TRUE(IsLayered(box));
    EXPECT_EQ(LayeredAlpha(box), 153);
}

using HotKey = ShellWindows;

// Closes the message box that the failed registration shows, recording its
// title and text.
struct BoxProbe {
    std::string title, text;
    bool found = false;
};

DWORD WINAPI ProbeMessageBox(void* arg) {
    BoxProbe* probe = (BoxProbe*)arg;
    for (int i = 0; i < 500; i++) {
        HWND dlg = FindWindowA("#32770", nullptr);
        if (dlg && IsWindowVisible(dlg)) {
            char buf[256] = "";
            GetWindowTextA(dlg, buf, sizeof buf);
            probe->title = buf;
            buf[0] = '\0';
            GetDlgItemTextA(dlg, 0xFFFF, buf, sizeof buf);
            probe->text = buf;
            probe->found = true;
            PostMessageA(dlg, WM_COMMAND, IDOK, 0);
            return 0;
        }
        Sleep(10);
    }
    return 1;
}

TEST_F(HotKey, RegistersTheSettingAndUnregistersIt) {
    Settings.hotkey = (MOD_ALT | MOD_CONTROL) << 8 | VK_F11;
    Settings.tray = 1;
    RegisterAppHotKey();
    EXPECT_EQ(Settings.tray, 1u);
    // The combination is taken now.
    EXPECT_FALSE(RegisterHotKey(nullptr, 7, MOD_ALT | MOD_CONTROL, VK_F11));
    UnregisterAppHotKey();
    ASSERT_TRUE(RegisterHotKey(nullptr, 7, MOD_ALT | MOD_CONTROL, VK_F11));
    UnregisterHotKey(nullptr, 7);

    Settings.hotkey = 0;
    RegisterAppHotKey();
    EXPECT_EQ(Settings.tray, 1u);
}

// The hook sees the hot key's press before the system makes it the hot-key
// message, and the box comes forward on the hook's word alone (no hot key is
// registered here, so no such message can come).
TEST_F(HotKey, TheHooksSightOfThePressBringsTheBoxForward) {
    Settings.hotkey = (MOD_ALT | MOD_SHIFT) << 8 | VK_F8;
    HideEditBox(2);
    ASSERT_FALSE(IsWindowVisible(box));
    INPUT in[6] = {};
    const WORD keys[] = {VK_MENU, VK_SHIFT, VK_F8, VK_F8, VK_SHIFT, VK_MENU};
    for (int i = 0; i < 6; i++) {
        in[i].type = INPUT_KEYBOARD;
        in[i].ki.wVk = keys[i];
        in[i].ki.dwFlags = i < 3 ? 0 : KEYEVENTF_KEYUP;
    }
    ASSERT_EQ(SendInput(6, in, sizeof(INPUT)), 6u);
    for (DWORD start = GetTickCount(); !IsWindowVisible(box) && GetTickCount() - start < 3000;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        PumpMessages();
    }
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_EQ(GetForegroundWindow(), box);
}

TEST_F(HotKey, ATakenKeyShowsTheErrorAndMarksTray) {
    ASSERT_TRUE(RegisterHotKey(nullptr, 7, MOD_ALT | MOD_SHIFT, VK_F10));
    Settings.hotkey = (MOD_ALT | MOD_SHIFT) << 8 | VK_F10;
    Settings.tray = 2;
    BoxProbe probe;
    HANDLE thread = CreateThread(nullptr, 0, ProbeMessageBox, &probe, 0, nullptr);
    RegisterAppHotKey();
    WaitForSingleObject(thread, 6000);
    CloseHandle(thread);
    UnregisterHotKey(nullptr, 7);
    EXPECT_TRUE(probe.found);
    EXPECT_EQ(probe.title, "vorn");
    EXPECT_EQ(probe.text, "HotKeyの登録エラー\r\n常駐設定を解除します");
    EXPECT_EQ(Settings.tray, 2u | TRAY_HOTKEY_FAILED);
}

}  // namespace
