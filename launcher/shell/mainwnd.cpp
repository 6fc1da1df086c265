// mainwnd.cpp - the invisible main window: a message-only window that owns the
// edit box and receives the process-wide messages (hot key, tray, hand-over,
// reload, the outside tool's answer).
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>

#include <stdio.h>

#include "../../common/keymap.h"
#include "../../common/sharednames.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../editbox/completion.h"
#include "../editbox/editbox.h"
#include "../editbox/savedtext.h"
#include "../explorer/explorer.h"
#include "../lists/history.h"
#include "../lists/listwnd.h"
#include "../regapps/regapps.h"
#include "../dragdrop/dragdrop.h"
#include "../commands/commands.h"
#include "appstate.h"
#include "instance.h"
#include "requestqueue.h"
#include "shell.h"
#include "startup.h"

ShellState Shell = {
    nullptr,       // instance
    nullptr,       // mainWnd
    VORN_MAIN_CLASS,  // className
    nullptr,       // mutex
    0,             // reloadMsg
    0,             // toolsMsg
    -1,            // overrideX: the setting applies
    -1,            // overrideY
    -1,            // overrideW
    {0},           // initialText
    nullptr,       // trayIcon
    false,         // comReady
    false,         // oleReady
    false,         // shuttingDown
};

// Initialisation on WM_CREATE, in its fixed order; false stops at the failing step.
static bool OnMainCreate(HWND wnd) {
    // The steps below (edit box owner, hot key) need the handle before
    // CreateWindowEx has returned it.
    Shell.mainWnd = wnd;

    // 1. Common controls: list views only.
    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    if (!InitCommonControlsEx(&controls)) return false;

    // 2. COM and OLE for this thread (single-threaded).
    Shell.comReady = SUCCEEDED(CoInitialize(nullptr));
    Shell.oleReady = SUCCEEDED(OleInitialize(nullptr));

    // 3. The command edit box, owned by this window.
    if (!CreateEditBox(wnd)) return false;

    // 4. The item list and folder list windows and their image list.
    if (!CreateListWindows(wnd, EditBox.wnd)) return false;
    // 5. The edit box becomes an OLE drop target (the list windows became
    //    theirs as they were made).
    RegisterDropTarget();

    // 6. The text of the command line, caret at its end.
    if (Shell.initialText[0]) SetEditText(Shell.initialText);

    // 7. The global hot key (not for /a).
    if (!AnyFlag(SF_MULTI_INSTANCE)) RegisterAppHotKey();

    // 8. Messages of the outside tool and of the settings program.
    Shell.toolsMsg = RegisterWindowMessageA(TOOLS_MESSAGE_NAME);
    Shell.reloadMsg = RegisterWindowMessageA(RELOAD_MESSAGE_NAME);

    // 9. History, then the key bindings; the registered applications are
    //    read by the main window's timer a moment later.
    LoadHistory();
    LoadKeyBindings();
    ScheduleRegAppsLoad(Shell.mainWnd);

    // 10. Up comes the box.
    ShowWindow(EditBox.wnd, SW_SHOW);
    return true;
}

static void OnMainCommand(HWND wnd, WPARAM wParam, LPARAM lParam) {
    // Notifications of the edit box (id 0, lParam its handle) drive
    // completion.
    if (lParam) {
        if ((HWND)lParam != EditBox.wnd) return;
        if (HIWORD(wParam) == EN_CHANGE)
            OnCompletionChange((HWND)lParam);
        else if (HIWORD(wParam) == EN_UPDATE)
            OnCompletionUpdate((HWND)lParam);
        return;
    }
    // The tray menu's choice: the menu id of a command.
    (void)wnd;
    int cmd = CommandOfMenuId(LOWORD(wParam));
    if (cmd < 0) return;
    CommandTarget target = {CS_TRAY, nullptr, -1, {0, 0}, 0};
    SendCommand(cmd, &target);
}

static void OnExplorerRetryTimer(HWND wnd) {
    KillTimer(wnd, ID_TIMER_EXPLORER_RETRY);
    ClearFlags(SF_EXPLORER_PENDING);
    OnExplorerRetry(wnd);
}

// A reload: both lists go, the box comes forward when asked, then the
// program is built again from its files.
static void RunReload(bool show) {
    HideItemList();
    HideFolderList();
    if (show) ShowEditBox();
    ReloadAll();
}

// Kind 2: the handed text replaces whatever the box shows.
static void ReceiveText(const char* text) {
    HideListWindows();
    DiscardSavedText();
    ClearEditBox();
    ShowEditBox();
    TakePathIntoBox(text, true);
}

// Kind 3: a second start with /f captured a program to open typed paths with.
static void ReceiveTargetProgram(const char* path) {
    char program[HANDOVER_TEXT_MAX];
    CopyString(program, path, sizeof program);
    RemoveTrailingSeparator(program);
    SetFlags(SF_TARGET_PROGRAM);
    SetAppString(&App.targetProgram, program);
    RedrawEditFrame();
}

// Applies one hand-over record whose text has been checked.
static void ApplyHandOver(ULONG_PTR kind, const char* text) {
    switch (kind) {
        case HANDOVER_SHOW:
            ShowEditBox();
            break;
        case HANDOVER_TEXT:
            ReceiveText(text);
            break;
        case HANDOVER_TARGET:
            ReceiveTargetProgram(text);
            break;
        case HANDOVER_ARGPREFIX:
            SetAppString(&App.argPrefix, text);
            break;
    }
}

ShellRequestActions RequestActions = {ApplyHandOver, RunReload, Shutdown};

// What waits for a busy operation to end (one record, this module's).
struct DeferredState {
    int depth;           // operations under way
    RequestQueue queue;  // what came meanwhile, in order
};
static DeferredState Deferred;

void BeginPumpingOperation(void) { Deferred.depth++; }

void EndPumpingOperation(void) {
    if (Deferred.depth > 0) Deferred.depth--;
    if (Deferred.depth == 0 && Deferred.queue.count > 0 && Shell.mainWnd)
        PostMessageA(Shell.mainWnd, WM_RUN_DEFERRED, 0, 0);
}

bool InPumpingOperation(void) { return Deferred.depth > 0; }

void RunDeferredRequests(void) {
    Request request;
    // A new operation that begins meanwhile keeps the rest: its end posts again.
    while (Deferred.depth == 0 && NextRequest(&Deferred.queue, &request)) {
        switch (request.kind) {
            case RQ_HANDOVER:
                RequestActions.handOver(request.handOver, request.text);
                break;
            case RQ_RELOAD:
                RequestActions.reload(request.show);
                break;
            case RQ_CLOSE:
                Deferred.queue.count = 0;
                if (Shell.mainWnd) RequestActions.close(Shell.mainWnd);
                return;
        }
    }
}

void RequestReload(bool show) {
    if (Deferred.depth > 0)
        QueueRequest(&Deferred.queue, RQ_RELOAD, 0, nullptr, show);
    else
        RequestActions.reload(show);
}

void RequestClose(HWND wnd) {
    if (Deferred.depth > 0)
        QueueRequest(&Deferred.queue, RQ_CLOSE, 0, nullptr, false);
    else if (wnd)
        RequestActions.close(wnd);
}

bool SessionMayEnd(void) { return Deferred.depth == 0; }

void EndSession(HWND wnd) {
    if (Deferred.depth > 0) {
        // The session ends while the shell works for vorn (it was asked and
        // the user ended it all the same). COM and the windows the operation
        // uses stay as they are; what would be lost is written now, and the
        // program closes after the operation, if the session leaves it that.
        SaveHistory();
        QueueRequest(&Deferred.queue, RQ_CLOSE, 0, nullptr, false);
        return;
    }
    if (wnd) RequestActions.close(wnd);
}

LRESULT ReceiveHandOver(const COPYDATASTRUCT* record) {
    if (!record || !EditBox.wnd || !IsWindowEnabled(EditBox.wnd)) return 0;
    if (record->dwData < HANDOVER_SHOW || record->dwData > HANDOVER_ARGPREFIX) return 0;
    // The record comes from another process: its text is used only when it
    // really is a string that fits.
    const char* text = HandOverText(record->lpData, record->cbData);
    if (!text) return 0;
    // The record lives only during this call: a kept one is copied.
    if (Deferred.depth > 0)
        return QueueRequest(&Deferred.queue, RQ_HANDOVER, record->dwData, text, false) ? 1 : 0;
    RequestActions.handOver(record->dwData, text);
    return 1;
}

void FatalError(FatalErrorNo no) {
    char text[32];
    snprintf(text, sizeof text, "fatar errer no%d", (int)no);
    ErrorBox(Shell.mainWnd, text);
    if (Shell.mainWnd) PostMessageA(Shell.mainWnd, WM_CLOSE, 0, 0);
}

LRESULT CALLBACK MainWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_CREATE:
            // A failed step closes the window through the normal shutdown, once
            // creation has returned.
            if (!OnMainCreate(wnd)) PostMessageA(wnd, WM_CLOSE, 0, 0);
            break;
        case WM_DESTROY:
            PostQuitMessage(0);
            break;
        case WM_CLOSE:
            // Shutdown destroys this window itself.
            RequestClose(wnd);
            return 0;
        case WM_RUN_COMMAND:
            return OnRunCommandMessage(wParam, lParam);
        case WM_RUN_DEFERRED:
            RunDeferredRequests();
            return 0;
        case WM_ENDSESSION:
            // A session that goes on (wParam 0) keeps the program running.
            if (wParam) EndSession(wnd);
            return 0;
        case WM_QUERYENDSESSION:
            return SessionMayEnd() ? 1 : 0;
        case WM_COPYDATA:
            return ReceiveHandOver((const COPYDATASTRUCT*)lParam);
        case WM_COMMAND:
            OnMainCommand(wnd, wParam, lParam);
            break;
        case WM_TIMER:
            if (wParam == ID_TIMER_EXPLORER_RETRY) {
                OnExplorerRetryTimer(wnd);
                return 0;
            }
            if (wParam == ID_TIMER_TOOLS_WATCH) {
                OnToolWatch(wnd);
                return 0;
            }
            if (wParam == ID_TIMER_REGAPPS) {
                OnRegAppsTimer(wnd);
                return 0;
            }
            break;
        case WM_HOTKEY:
            if (wParam == ID_HOTKEY) ShowEditBox();
            break;
        case WM_TRAY_NOTIFY:
            OnTrayNotify((UINT)lParam, (UINT)wParam);
            break;
        case WM_TRAY_UNNEEDED:
            OnTrayIconUnneeded();
            return 0;
        case WM_KEYS_HELD:
            OnKeysHeld();
            return 0;
        default:
            if (Shell.reloadMsg && msg == Shell.reloadMsg) {
                RequestReload(true);
                return 1;
            }
            if (Shell.toolsMsg && msg == Shell.toolsMsg) {
                OnToolsMessage(wParam, lParam);
                return 1;
            }
            break;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

bool RegisterMainClass(void) {
    WNDCLASSEXA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.cbSize = sizeof wc;
    wc.lpfnWndProc = MainWindowProc;
    wc.hInstance = Shell.instance;
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = Shell.className;
    return RegisterClassExA(&wc) != 0;
}

HWND CreateMainWindow(void) {
    return CreateWindowExA(WS_EX_TOOLWINDOW, Shell.className, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE,
                           nullptr, Shell.instance, nullptr);
}
