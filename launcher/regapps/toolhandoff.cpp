// toolhandoff.cpp - rename and delete, handed to the companion program
// "tools.exe" beside vorn.exe: start it, wait for its answer, hand it the
// selection in a WM_COPYDATA record, keep the launcher's windows disabled
// while it works, and give them back when its window is gone.
#include <windows.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include "../../common/datafile.h"
#include "../../common/fileio.h"
#include "../../common/listfile.h"
#include "../../common/strutil.h"
#include "../../common/toolrules.h"
#include "../../common/winutil.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "../shell/shell.h"
#include "regapps.h"

enum {
    TOOL_READY_MS = 10000,   // the tool's first wait for input
    TOOL_ANSWER_MS = 10000,  // its "WM_TOOLSMSG"
    TOOL_SEND_MS = 10000,    // the record and the close request
    TOOL_WATCH_MS = 2000,    // how often the watch looks for the tool's window
    TOOL_POLL_MS = 50,
};

// The hand-off under way.
struct ToolHandOffState {
    HWND toolWindow;      // the running tool's window (ToolWindow), or null
    bool watching;        // the watch timer runs: the launcher is disabled
    bool waiting;         // waiting for the tool's answer
    bool answered;        // the answer came
    HWND answerWindow;    // its wParam
    LPARAM answerVersion; // its lParam
    DWORD startedPid;     // the process of the tool started (0: not known)
};
static ToolHandOffState ToolHandOff;

static void ToolMessage(const char* text) { ErrorBox(Shell.mainWnd, text); }

bool ConfirmListedItems(const char* selection) {
    ListKind kind = ShownListKind();
    if (kind != LK_Default && kind != LK_Favorites) return true;
    int status = DF_MISSING;
    char* text = LoadDataFile(kind == LK_Default ? DF_DEFAULT : DF_FAVORITES, &status, nullptr);
    if (!text) return false;
    char hit[TOOL_PATH_SIZE];
    int found = FindSelectionInList(text, kind == LK_Default ? LF_DEFAULT : LF_FAVORITES,
                                    selection, hit, sizeof hit);
    MemFree(text);
    if (found < 0) return false;
    if (found == 0) return true;
    char question[TOOL_PATH_SIZE + 128];
    snprintf(question, sizeof question,
             "%s\r\nは%sに登録されているアイテムです。\r\n操作を続行しますか。", hit,
             kind == LK_Default ? "Default" : "Favarite");
    return MessageBoxA(Shell.mainWnd, question, ErrorBoxTitle, MB_YESNO | MB_ICONEXCLAMATION) ==
           IDYES;
}

// The hand-off is over: the launcher is given back, and the folder on show
// is read again (the tool renamed or deleted files in it).
static void GiveLauncherBack(HWND mainWnd) {
    if (mainWnd) KillTimer(mainWnd, ID_TIMER_TOOLS_WATCH);
    ToolHandOff.watching = false;
    ToolHandOff.toolWindow = nullptr;
    EnableAll(true);
    if (EditBox.wnd) {
        ForceForeground(EditBox.wnd);
        FocusEditBox();
    }
    RefreshFolderList();
}

void OnToolsMessage(WPARAM wParam, LPARAM lParam) {
    // Every vorn hears a tool's first answer: only the one that started that
    // tool takes it, and only the one that handed it the paths hears it is done.
    HWND sender = (HWND)wParam;
    DWORD senderPid = 0;
    if (sender) GetWindowThreadProcessId(sender, &senderPid);
    switch (ToolMessageFor(ToolHandOff.waiting, ToolHandOff.startedPid, senderPid,
                           (uintptr_t)ToolHandOff.toolWindow, (uintptr_t)sender)) {
        case TOOL_MSG_ANSWER:
            ToolHandOff.answered = true;
            ToolHandOff.answerWindow = sender;
            ToolHandOff.answerVersion = lParam;
            break;
        case TOOL_MSG_DONE:
            GiveLauncherBack(Shell.mainWnd);
            break;
        case TOOL_MSG_IGNORED:
            break;
    }
}

// "tools.exe" beside vorn.exe, started with its switch; the process handle
// (or null) into *process. False when it did not start.
static bool StartTool(int mode, HANDLE* process) {
    *process = nullptr;
    char exe[MAX_PATH];
    ModulePath(nullptr, exe, "tools.exe", sizeof exe);
    if (!exe[0]) return false;
    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = Shell.mainWnd;
    info.lpVerb = "open";
    info.lpFile = exe;
    info.lpParameters = mode == TOOL_MODE_RENAME ? "/r" : "/e";
    info.nShow = SW_SHOWNORMAL;
    if (!ShellExecuteExA(&info)) return false;
    *process = info.hProcess;
    return true;
}

// Waits for the tool's "WM_TOOLSMSG" (posted or sent to the main window). The
// elapsed time is taken with unsigned arithmetic, so a wrap of the system
// clock during the wait cannot make it endless. A tool that ends without an
// answer ends the wait at once.
static bool WaitForAnswer(HANDLE process) {
    ToolHandOff.waiting = true;
    ToolHandOff.answered = false;
    DWORD start = timeGetTime();
    while (!ToolHandOff.answered) {
        MSG msg;
        while (!ToolHandOff.answered &&
               PeekMessageA(&msg, Shell.mainWnd, Shell.toolsMsg, Shell.toolsMsg, PM_REMOVE))
            OnToolsMessage(msg.wParam, msg.lParam);
        if (ToolHandOff.answered) break;
        if (timeGetTime() - start > TOOL_ANSWER_MS) break;
        if (process && WaitForSingleObject(process, 0) == WAIT_OBJECT_0) break;
        MsgWaitForMultipleObjects(0, nullptr, FALSE, TOOL_POLL_MS, QS_POSTMESSAGE | QS_SENDMESSAGE);
    }
    ToolHandOff.waiting = false;
    return ToolHandOff.answered;
}


static void SendToTool(int mode, const char* selection) {
    HWND tool = ToolHandOff.answerWindow;
    ToolHandOff.toolWindow = tool;
    COPYDATASTRUCT record;
    record.dwData = (ULONG_PTR)mode;
    record.cbData = (DWORD)strlen(selection) + 1;
    record.lpData = (void*)selection;
    DWORD_PTR result = 0;
    // The sender's window goes with the record: the tool says it is done to
    // this vorn, whichever others run.
    SendMessageTimeoutA(tool, WM_COPYDATA, (WPARAM)Shell.mainWnd, (LPARAM)&record,
                        SMTO_ABORTIFHUNG, TOOL_SEND_MS, &result);
    if (ToolHandOff.answerVersion < TOOL_OLDEST_VERSION) {
        ToolMessage("tool.exeが古いバージョンです。");
        SendMessageTimeoutA(tool, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, TOOL_SEND_MS, &result);
        ToolHandOff.toolWindow = nullptr;
    }
}

static void StartWatch(void) {
    ToolHandOff.watching = true;
    if (!Shell.mainWnd || !SetTimer(Shell.mainWnd, ID_TIMER_TOOLS_WATCH, TOOL_WATCH_MS, nullptr))
        OnToolWatch(Shell.mainWnd);
}

int HandToToolFrom(HWND wnd, int mode) {
    if (mode != TOOL_MODE_RENAME && mode != TOOL_MODE_DELETE) return 0;
    if (ToolHandOff.watching) {
        // One hand-off at a time: the launcher is still the tool's.
        MessageBeep(MB_OK);
        return 0;
    }
    char* selection = SelectionTextOf(wnd);
    if (!selection) return 0;
    int handed = 0;
    BeginPumpingOperation();
    if (!ConfirmListedItems(selection)) {
        FocusEditBox();
    } else {
        HANDLE process = nullptr;
        if (!StartTool(mode, &process)) {
            ToolMessage("tool.exeの起動に失敗しました。no=3");
        } else {
            EnableAll(false);
            // Only the answer of this process counts (ToolMessageFor), so the
            // paths go to no other program.
            ToolHandOff.startedPid = process ? GetProcessId(process) : 0;
            DWORD idle = process ? WaitForInputIdle(process, TOOL_READY_MS) : WAIT_FAILED;
            if (idle != 0) {
                ToolMessage("tool.exeの起動に失敗しました。no=2");
            } else if (!WaitForAnswer(process) || !IsWindow(ToolHandOff.answerWindow)) {
                ToolMessage("tool.exeの起動に失敗しました。no=1");
            } else {
                SendToTool(mode, selection);
                handed = ToolHandOff.toolWindow != nullptr;
            }
            if (process) CloseHandle(process);
            ToolHandOff.startedPid = 0;
            StartWatch();
        }
    }
    MemFree(selection);
    EndPumpingOperation();
    return handed;
}

void OnToolWatch(HWND mainWnd) {
    if (ToolHandOff.toolWindow && IsWindow(ToolHandOff.toolWindow)) return;
    GiveLauncherBack(mainWnd);
}

void StopToolWatch(void) {
    if (Shell.mainWnd) KillTimer(Shell.mainWnd, ID_TIMER_TOOLS_WATCH);
    ToolHandOff.watching = false;
    ToolHandOff.toolWindow = nullptr;
}
