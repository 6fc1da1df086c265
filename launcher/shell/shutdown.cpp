// shutdown.cpp - the ordered release of everything the program holds, run
// once on WM_CLOSE or the end of the session; it ends by destroying the main
// window, whose WM_DESTROY ends the message loop.
#include <windows.h>
#include <ole2.h>
#include <string.h>

#include "../../common/keymap.h"
#include "../../common/sharednames.h"
#include "../editbox/editbox.h"
#include "../editbox/savedtext.h"
#include "../explorer/explorer.h"
#include "../lists/cascade.h"
#include "../lists/defaultlist.h"
#include "../lists/history.h"
#include "../lists/listwnd.h"
#include "../lists/search.h"
#include "../migemo/migemo.h"
#include "../preview/preview.h"
#include "../regapps/regapps.h"
#include "../dragdrop/dragdrop.h"
#include "appstate.h"
#include "shell.h"

// A /q instance that does not answer must not keep this one from ending.
enum { CLOSE_SECOND_TIMEOUT_MS = 5000 };

static void CloseSecondInstance(HWND mainWnd) {
    if (strcmp(Shell.className, VORN_SECOND_CLASS) == 0) return;
    HWND second = FindWindowExA(HWND_MESSAGE, nullptr, VORN_SECOND_CLASS, nullptr);
    if (!second || second == mainWnd) return;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(second, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG, CLOSE_SECOND_TIMEOUT_MS, &result);
}

void Shutdown(HWND mainWnd) {
    if (Shell.shuttingDown) return;
    Shell.shuttingDown = true;

    // 1-4. The drop target, Migemo; the cascade lists, then the list windows.
    RevokeDropTarget();
    FreeMigemo();
    DestroyCascades();
    DestroyListWindows();

    // 5. A /q instance ends with its primary.
    CloseSecondInstance(mainWnd);

    // 6. History is saved and freed.
    SaveAndFreeHistory();
    SetHistoryStartDir(nullptr);

    // 7. The process-wide strings, the kept search results and what the
    //    Default lookup holds (the registered applications join them once
    //    they exist).
    FreeSearchResults();
    FreeExplorerList();
    DiscardSavedText();
    FreeDefaultList();
    SetAppString(&App.startDir, nullptr);
    SetAppString(&App.targetProgram, nullptr);
    ClearFlags(SF_TARGET_PROGRAM);
    SetAppString(&App.argPrefix, nullptr);
    FreeKeyBindings();
    FreeRegAppTable();
    StopToolWatch();

    // 8. The shared image list went with the list windows; the hot key.
    UnregisterAppHotKey();

    // 9. Tray icon and path icon.
    RemoveTrayIcon();
    DestroyPathIconWindow();

    // 10. COM and OLE; the single-instance mutex.
    if (Shell.oleReady) OleUninitialize();
    if (Shell.comReady) CoUninitialize();
    Shell.oleReady = false;
    Shell.comReady = false;
    if (Shell.mutex) {
        ReleaseMutex(Shell.mutex);
        CloseHandle(Shell.mutex);
        Shell.mutex = nullptr;
    }

    // 11. The preview window (destroying it never ends the program).
    DestroyPreview();

    // 12. The edit box gets its own procedure back and closes.
    UnsubclassEditBox();

    // 13. The main window.
    if (mainWnd) DestroyWindow(mainWnd);
    if (Shell.mainWnd == mainWnd) Shell.mainWnd = nullptr;
}
