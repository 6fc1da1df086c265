// shell_windows.h - a stand-in main window and edit box for the in-process
// tests of the shell: a message-only main window that records the commands it
// receives and a plain popup edit box, put into Shell and EditBox; the globals
// are restored afterwards.
#pragma once
#include <gtest/gtest.h>

#include <windows.h>
#include <shellapi.h>

#include "common/settings.h"
#include "launcher/commands/commands.h"
#include "launcher/editbox/editbox.h"
#include "launcher/shell/appstate.h"
#include "launcher/shell/shell.h"

inline UINT g_lastCommand;

inline LRESULT CALLBACK TestMainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_COMMAND) g_lastCommand = LOWORD(wParam);
    if (msg == WM_TRAY_UNNEEDED) OnTrayIconUnneeded();
    if (msg == WM_KEYS_HELD) OnKeysHeld();
    if (msg == WM_RUN_COMMAND) return OnRunCommandMessage(wParam, lParam);
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// Asks the notification area whether it holds icon id of wnd: modifying an
// icon that is not there fails.
inline bool TrayIconPresent(HWND wnd, UINT id) {
    NOTIFYICONDATAA nid;
    ZeroMemory(&nid, sizeof nid);
    nid.cbSize = sizeof nid;
    nid.hWnd = wnd;
    nid.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

inline void PumpMessages(void) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

// A message-only main window and a plain popup edit box stand in for the
// launcher's own; the globals are put back afterwards.
class ShellWindows : public ::testing::Test {
   protected:
    void SetUp() override {
        savedShell = Shell;
        savedEditBox = EditBox;
        savedSettings = Settings;
        savedFlags = ReadFlags();
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof wc);
        wc.lpfnWndProc = TestMainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "vorn_tray_test";
        RegisterClassA(&wc);
        mainWnd = CreateWindowExA(WS_EX_TOOLWINDOW, "vorn_tray_test", "", 0, 0, 0, 0, 0,
                                  HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(mainWnd, nullptr);
        box = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, "EDIT", "text", WS_POPUP, 100, 100,
                              300, 30, mainWnd, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(box, nullptr);
        ShowWindow(box, SW_SHOW);
        Shell.instance = wc.hInstance;  // holds no icon 131: the tray entry has no image
        Shell.mainWnd = mainWnd;
        Shell.trayIcon = nullptr;
        EditBox.wnd = box;
        ClearAllFlags();
        g_lastCommand = 0;
    }
    void TearDown() override {
        RemoveTrayIcon();
        if (box) DestroyWindow(box);
        if (mainWnd) DestroyWindow(mainWnd);
        PumpMessages();
        Shell = savedShell;
        EditBox = savedEditBox;
        Settings = savedSettings;
        ClearAllFlags();
        SetFlags(savedFlags);
    }
    ShellState savedShell;
    EditBoxState savedEditBox;
    SettingsRecord savedSettings;
    uint32_t savedFlags = 0;
    HWND mainWnd = nullptr;
    HWND box = nullptr;
};
