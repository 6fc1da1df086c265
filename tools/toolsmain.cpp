// toolsmain.cpp - start-up of tools.exe, its hidden window and the exchange
// with vorn.
#include <stdio.h>
#include <string.h>

#include "../common/fileio.h"
#include "../common/sharednames.h"
#include "../common/strutil.h"
#include "../common/toolrules.h"
#include "../common/winutil.h"
#include "tools.h"

enum {
    WM_TOOLS_WORK = WM_APP + 1,  // posted to itself: the record came, do the work
    ID_TIMER_NO_RECORD = 1,
    NO_RECORD_MS = 15000,        // how long it waits for vorn's record
};

ToolsState Tools = {nullptr, nullptr, 0, false, nullptr, 0, nullptr, 0};

void ToolsMessage(const char* text) {
    MessageBoxA(Tools.wnd && IsWindowVisible(Tools.wnd) ? Tools.wnd : nullptr, text, "tools",
                MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND | MB_TOPMOST);
}

// The switch of the command line: TOOL_RECORD_RENAME for "/r", TOOL_RECORD_DELETE
// for "/e", 0 for anything else.
static int ModeOfCommandLine(const char* commandLine) {
    char token[TOOL_PATH_SIZE];
    const char* rest = TakeToken(commandLine, token, sizeof token);  // the program
    rest = TakeToken(rest, token, sizeof token);
    if (rest && *rest) return 0;  // more than one switch
    if (lstrcmpiA(token, "/r") == 0) return TOOL_RECORD_RENAME;
    if (lstrcmpiA(token, "/e") == 0) return TOOL_RECORD_DELETE;
    return 0;
}

// WM_COPYDATA: the record is checked and kept, and the work is posted, so the
// sender is not held while the dialogs are open.
static LRESULT OnCopyData(HWND wnd, HWND sender, const COPYDATASTRUCT* record) {
    if (Tools.received || !record) return FALSE;
    Tools.received = true;
    Tools.vorn = sender && IsWindow(sender) ? sender : nullptr;
    KillTimer(wnd, ID_TIMER_NO_RECORD);
    const char* problem = nullptr;
    if (record->dwData != (ULONG_PTR)Tools.mode) {
        problem = "vornから受け取ったデータの種類が正しくありません。";
    } else {
        size_t size = (size_t)record->cbData + 1;
        Tools.list = (char*)MemAlloc(size < 2 ? 2 : size);
        int n = Tools.list ? ParseToolRecord(record->lpData, record->cbData, Tools.list, size)
                           : TOOL_RECORD_NO_ROOM;
        if (n > 0)
            Tools.count = n;
        else if (n == TOOL_RECORD_TOO_LONG)
            problem = "vornから受け取ったパスが長すぎます。";
        else if (n == TOOL_RECORD_EMPTY)
            problem = "vornから受け取ったファイルの一覧が空です。";
        else
            problem = "vornから受け取ったファイルの一覧が正しくありません。";
    }
    // The message waits until this call has returned to vorn.
    PostMessageA(wnd, WM_TOOLS_WORK, 0, (LPARAM)problem);
    return TRUE;
}

static void OnWork(HWND wnd, const char* problem) {
    if (problem)
        ToolsMessage(problem);
    else if (Tools.mode == TOOL_RECORD_RENAME)
        RenameAll(wnd, Tools.list);
    else
        DeleteAll(wnd, Tools.list, Tools.count);
    // The vorn that sent the paths, and no other, hears that the work is done.
    if (Tools.vorn) PostMessageA(Tools.vorn, Tools.toolsMsg, (WPARAM)wnd, (LPARAM)TOOL_VERSION);
    DestroyWindow(wnd);
}

static LRESULT CALLBACK ToolsWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COPYDATA:
            return OnCopyData(wnd, (HWND)wParam, (const COPYDATASTRUCT*)lParam);
        case WM_TOOLS_WORK:
            OnWork(wnd, (const char*)lParam);
            return 0;
        case WM_TIMER:
            if (wParam == ID_TIMER_NO_RECORD) {
                KillTimer(wnd, ID_TIMER_NO_RECORD);
                if (!Tools.received) {
                    Tools.received = true;  // a late record is not taken any more
                    ToolsMessage("vornからファイルの一覧が届きませんでした。");
                    DestroyWindow(wnd);
                }
                return 0;
            }
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

static HWND CreateToolsWindow(HINSTANCE instance) {
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = ToolsWndProc;
    wc.hInstance = instance;
    wc.lpszClassName = TOOLS_WINDOW_CLASS;
    if (!RegisterClassExA(&wc)) return nullptr;
    // A plain hidden window (not message-only), so it can own the dialogs.
    return CreateWindowExA(WS_EX_TOOLWINDOW, TOOLS_WINDOW_CLASS, "tools", WS_POPUP, 0, 0, 0, 0, nullptr,
                           nullptr, instance, nullptr);
}

// Answers every vorn running: which one started this program cannot be told
// from here, and each vorn takes only the answer of the program it started.
// Posted, not sent: vorn reads it from its queue while it waits, and this
// program is not held before its message loop runs. The number reached.
static int AnswerEveryVorn(UINT toolsMsg) {
    static const char* const classes[] = {VORN_MAIN_CLASS, VORN_SECOND_CLASS};
    int reached = 0;
    for (const char* cls : classes) {
        HWND vorn = nullptr;
        while ((vorn = FindWindowExA(HWND_MESSAGE, vorn, cls, nullptr)) != nullptr)
            if (PostMessageA(vorn, toolsMsg, (WPARAM)Tools.wnd, (LPARAM)TOOL_VERSION)) reached++;
    }
    return reached;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    ErrorBoxTitle = "tools";
    Tools.instance = instance;
    Tools.mode = ModeOfCommandLine(GetCommandLineA());
    if (!Tools.mode) {
        ToolsMessage("tools.exeはvornから起動されるプログラムです。\r\n"
                     "起動オプション /r（名前の変更）か /e（削除）が必要です。");
        return 1;
    }
    if (!FindWindowExA(HWND_MESSAGE, nullptr, VORN_MAIN_CLASS, nullptr) &&
        !FindWindowExA(HWND_MESSAGE, nullptr, VORN_SECOND_CLASS, nullptr)) {
        ToolsMessage("vornが見つかりません。vornが起動しているか確かめてください。");
        return 1;
    }
    Tools.wnd = CreateToolsWindow(instance);
    if (!Tools.wnd) {
        ToolsMessage("ウィンドウを作成できませんでした。");
        return 1;
    }
    Tools.toolsMsg = RegisterWindowMessageA(TOOLS_MESSAGE_NAME);
    if (!Tools.toolsMsg || AnswerEveryVorn(Tools.toolsMsg) == 0) {
        ToolsMessage("vornに応答できませんでした。");
        DestroyWindow(Tools.wnd);
        return 1;
    }
    SetTimer(Tools.wnd, ID_TIMER_NO_RECORD, NO_RECORD_MS, nullptr);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    MemFree(Tools.list);
    return 0;
}
