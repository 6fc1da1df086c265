// shell.h - the application shell of vorn: process-wide handles, start-up,
// shutdown, show/hide, tray, hot key, transparency and reload.
#pragma once
#include <windows.h>

// Window messages and ids shared across the shell.
enum {
    WM_TRAY_NOTIFY = WM_APP,       // tray icon notification to the main window
    // To the edit box from other programs: wParam a bindable command id (0-23)
    // or a registered-application id (1000+), run as its key would be.
    WM_EDIT_COMMAND = WM_APP + 2,
    WM_EDIT_REGAPP = WM_APP + 3,
    WM_RUN_DEFERRED = WM_APP + 4,  // to the main window: run what waited for a busy operation
    WM_TRAY_UNNEEDED = WM_APP + 5, // to the main window: the box is back, the tray icon may go
    WM_KEYS_HELD = WM_APP + 6,     // to the main window: keys behind the hot key are being held
    ID_HOTKEY = 1000,
    ID_TRAY_ICON = 1000,
    // Timers of the main window: one id per purpose, so that no one of them
    // can stop another's.
    ID_TIMER_EXPLORER_RETRY = 1000,  // Explorer-window list: the next try
    ID_TIMER_REGAPPS = 1002,         // the registered applications are read
    ID_TIMER_TOOLS_WATCH = 1003,     // the wait for the rename/delete tool
    ID_TIMER_DRAG_TIP = 1004,        // the drag tooltip's ticks
    IDI_VORN = 131,
    IDI_BUILTIN_LIST = 133,
    IDI_DEFAULT_PATH = 135,
};

// Hand-over record kinds of WM_COPYDATA between two starts.
enum HandOverKind { HANDOVER_SHOW = 1, HANDOVER_TEXT = 2, HANDOVER_TARGET = 3, HANDOVER_ARGPREFIX = 4 };

struct ShellState {
    HINSTANCE instance;
    HWND mainWnd;
    const char* className;   // "vorn_class" or "vorn_fisson"
    HANDLE mutex;            // single-instance mutex, held until shutdown
    UINT reloadMsg;          // registered "WM_RELOAD"
    UINT toolsMsg;           // registered "WM_TOOLSMSG"
    int overrideX, overrideY, overrideW;  // -1: the setting applies
    char initialText[261];
    HICON trayIcon;
    bool comReady;           // CoInitialize succeeded: CoUninitialize at shutdown
    bool oleReady;           // OleInitialize succeeded: OleUninitialize at shutdown
    bool shuttingDown;       // Shutdown has begun (it runs once)
};
extern ShellState Shell;

// Start-up and shutdown (shell/mainwnd.cpp, shell/shutdown.cpp).
bool RegisterMainClass(void);
HWND CreateMainWindow(void);
void Shutdown(HWND mainWnd);

// Key bindings live in the message loop (shell/keydispatch.cpp).
int DispatchKeyMessage(const MSG* msg);

// Show, hide, tray, hot key (shell/tray.cpp, shell/hotkey.cpp).
void ShowEditBox(void);
void HideEditBox(int mode);  // 1 into the tray, 2 without icon
// Clears the hidden state and removes the icon at once (shutdown).
void RemoveTrayIcon(void);
// The main window's answer to WM_TRAY_UNNEEDED, posted when the box came back.
void OnTrayIconUnneeded(void);
// The main window's answer to WM_KEYS_HELD: the hook saw the hot key's press,
// the box comes forward.
void OnKeysHeld(void);
void OnTrayNotify(UINT mouseMsg, UINT iconId);
void RegisterAppHotKey(void);
void UnregisterAppHotKey(void);
// While on (the box is hidden), keys typed behind the hot key's press are held
// back until HandBackHeldKeys gives them, in order, to the window in front.
void WatchKeysAfterHotKey(bool on);
void HandBackHeldKeys(void);

// Transparency (shell/transparency.cpp); no-ops while alpha is 100.
void SetLayered(HWND wnd, bool on);
// The layered style itself, whatever alpha is (for switching transparency off).
void SetLayeredStyle(HWND wnd, bool on);
void SetTransparency(HWND wnd, bool on);
void SetTransparencyAll(bool on);
void EnableAll(bool on);

// Reload from the data files (shell/reload.cpp); result of the settings load.
int ReloadAll(void);

// The numbers FatalError shows, each named by what failed: a list window that
// could not be made, or the list window an operation fills found gone.
enum FatalErrorNo {
    FATAL_ITEM_LIST_NOT_MADE = 1,      // start-up or reload: the item list window
    FATAL_FOLDER_LIST_NOT_MADE = 2,    // start-up or reload: the folder list window
    FATAL_BUILTIN_NO_ITEM_LIST = 3,    // the built-in command list
    // 4 is not used.
    FATAL_DEFAULT_NO_ITEM_LIST = 5,    // the Default list's hits
    FATAL_EXPLORER_NO_ITEM_LIST = 6,   // the Explorer-window list
    FATAL_FAVORITES_NO_ITEM_LIST = 7,  // a Favorites page
    FATAL_HISTORY_NO_ITEM_LIST = 8,    // the History
    FATAL_DRIVES_NO_FOLDER_LIST = 9,   // the drive list
    FATAL_FOLDER_NO_FOLDER_LIST = 10,  // the contents of a folder
    FATAL_SEARCH_NO_ITEM_LIST = 11,    // the results of a file search
    FATAL_RECALL_NO_ITEM_LIST = 12,    // the recalled results of the last search
};

// An internal failure where a window an operation needs is gone: the message
// "fatar errer no<no>" and the ordered shutdown (posted, so the caller's own
// handlers return first).
void FatalError(FatalErrorNo no);

// Around an operation that can pump messages while it works on lists or the
// edit box: starting programs (a shell error box, DDE), the shell's file
// operation, a drag out of vorn, a drop, the shell's context menu and its
// commands. Meanwhile a hand-over from a second start, a reload request and a
// close request are kept and run once the outermost operation has ended, in
// the order they came, so nothing pulls the lists, the box or COM away
// underneath it. Calls nest.
void BeginPumpingOperation(void);
void EndPumpingOperation(void);
bool InPumpingOperation(void);
// The main window's handling of WM_RUN_DEFERRED: what was kept, in order.
void RunDeferredRequests(void);
// A reload (the tray menu, the settings program, the built-in command; show:
// the edit box comes forward first) and the end of the program (WM_CLOSE):
// run at once, or kept while an operation is under way.
void RequestReload(bool show);
void RequestClose(HWND mainWnd);
// The end of the session: refused while an operation is under way (the shell
// may be copying files for vorn); ended all the same, the program keeps COM
// and its windows for the operation, saves its History and closes after it.
bool SessionMayEnd(void);
void EndSession(HWND mainWnd);

// What the requests run, at once or after the operation; a test puts
// recorders in their place.
struct ShellRequestActions {
    void (*handOver)(ULONG_PTR kind, const char* text);  // a record from a second start
    void (*reload)(bool show);                            // hide the lists, ReloadAll
    void (*close)(HWND mainWnd);                          // Shutdown
};
extern ShellRequestActions RequestActions;
// The main window's procedure.
LRESULT CALLBACK MainWindowProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
