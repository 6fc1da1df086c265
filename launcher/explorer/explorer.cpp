// explorer.cpp - the Explorer-window list: enumeration of the shell's window
// collection, the retry rule, showing the list, closing windows.
//
// An enumeration fills Explorer.found, an array of this module's own: the
// list on show (maybe another kind) keeps its items until the Explorer list
// is put in its place, and the closing commands never touch the list on show.
#include "explorer.h"

#include <windows.h>
#include <exdisp.h>
#include <ole2.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/itemarray.h"
#include "../../common/strutil.h"
#include "../../common/urlpath.h"
#include "../../common/winutil.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "../shellext/shellext.h"
#include "explorerrules.h"

static int ExplorerMessageBox(HWND owner, const char* text, UINT type) {
    return MessageBoxA(owner, text, ErrorBoxTitle ? ErrorBoxTitle : "vorn", type | MB_ICONEXCLAMATION);
}

ExplorerState Explorer = {
    0,                    // retry
    {},                   // found
    &ShellExplorerSource, // source
    ExplorerMessageBox,   // messageBox
    false,                // busy
    false,                // asking
};

// --- the shell's window collection ------------------------------------------------------

// UTF-8 bytes (escaped in a URL) to the ANSI code page; -1 when a character
// has no form there or the result does not fit.
static int Utf8ToAnsi(void*, const char* utf8, size_t len, char* dst, size_t dstSize) {
    if (len == 0 || len > URL_PATH_SIZE * 4 || dstSize == 0) return -1;
    WCHAR wide[URL_PATH_SIZE * 4];
    int chars = MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, utf8, (int)len, wide,
                                    (int)(sizeof wide / sizeof wide[0]));
    if (chars <= 0) return -1;
    BOOL defaulted = FALSE;
    int got = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, wide, chars, dst, (int)dstSize - 1,
                                  nullptr, &defaulted);
    if (got <= 0 || defaulted) return -1;
    dst[got] = '\0';
    return got;
}

static bool IsFolderPath(void*, const char* path) { return DirectoryExists(path); }

// The location of a browser object in the ANSI code page into url (size
// bytes); false when it is empty, has no ANSI form or does not fit whole.
static bool LocationOf(IWebBrowser2* browser, char* url, size_t size) {
    BSTR location = nullptr;
    if (FAILED(browser->get_LocationURL(&location)) || !location) return false;
    bool ok = false;
    int chars = (int)SysStringLen(location);
    if (chars > 0) {
        BOOL defaulted = FALSE;
        int got = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, location, chars, url,
                                      (int)size - 1, nullptr, &defaulted);
        if (got > 0 && !defaulted && memchr(url, '\0', (size_t)got) == nullptr) {
            url[got] = '\0';
            ok = true;
        }
    }
    SysFreeString(location);
    return ok;
}

static int EnumerateShellWindows(ExplorerVisit visit, void* ctx) {
    IUnknown* unknown = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IUnknown,
                                (void**)&unknown)) ||
        !unknown)
        return EE_FAILED;
    IShellWindows* windows = nullptr;
    if (FAILED(OleRun(unknown)) ||
        FAILED(unknown->QueryInterface(IID_IShellWindows, (void**)&windows)) || !windows) {
        unknown->Release();
        return EE_FAILED;
    }
    LONG count = 0;
    HRESULT hr = windows->get_Count(&count);
    int result = EE_DONE;
    if (hr == E_NOTIMPL) {
        // A collection that cannot be listed will not learn it by retrying.
        result = EE_UNSUPPORTED;
        count = 0;
    } else if (FAILED(hr)) {
        result = EE_FAILED;
        count = 0;
    }
    char url[EXPLORER_URL_SIZE];
    for (LONG i = 0; i < count; i++) {
        VARIANT index;
        VariantInit(&index);
        index.vt = VT_I4;
        index.lVal = i;
        IDispatch* item = nullptr;
        if (FAILED(windows->Item(index, &item)) || !item) continue;
        IWebBrowser2* browser = nullptr;
        if (SUCCEEDED(item->QueryInterface(IID_IWebBrowser2, (void**)&browser)) && browser) {
            SHANDLE_PTR handle = 0;
            bool go = true;
            if (SUCCEEDED(browser->get_HWND(&handle)) && LocationOf(browser, url, sizeof url))
                go = visit(ctx, (HWND)handle, url);
            browser->Release();
            if (!go) {
                item->Release();
                break;
            }
        }
        item->Release();
    }
    windows->Release();
    unknown->Release();
    return result;
}

const ExplorerSource ShellExplorerSource = {EnumerateShellWindows};

// --- enumeration -------------------------------------------------------------------------

namespace {
struct Collect {
    ItemArray* array;
    bool outOfMemory;
};
}  // namespace

static bool CollectWindow(void* ctx, HWND window, const char* url) {
    Collect* c = (Collect*)ctx;
    if (!url || !url[0]) return true;
    char path[EXPLORER_URL_SIZE];
    if (CopyString(path, url, sizeof path) != strlen(url)) return true;
    UrlPathHost host = {Utf8ToAnsi, IsFolderPath, nullptr};
    int kind = UrlToPath(path, sizeof path, &host);
    if (kind != URL_FILE && kind != URL_FOLDER) return true;  // web pages and the like
    if (!AppendItem(c->array, path, kind == URL_FOLDER ? ItemFolder : ItemFile)) {
        c->outOfMemory = true;
        return false;
    }
    // Handles are 32-bit values, also in a 64-bit process.
    c->array->items[c->array->count - 1].window = (uint32_t)(uintptr_t)window;
    return true;
}

static HWND WindowOfItem(const ListItem* item) { return (HWND)(intptr_t)(int32_t)item->window; }

bool EnumerateExplorers(HWND owner) {
    SetFlags(SF_EXPLORER_PENDING);
    FreeItems(&Explorer.found);
    if (!Explorer.source || !Explorer.source->enumerate) return false;
    Collect c = {&Explorer.found, false};
    int result = Explorer.source->enumerate(CollectWindow, &c);
    if (c.outOfMemory) {
        FreeItems(&Explorer.found);
        Explorer.messageBox(owner, "error_no 01", MB_OK);
        return false;
    }
    if (result == EE_FAILED) {
        FreeItems(&Explorer.found);
        return false;
    }
    return true;
}

static void RetryLater(HWND mainWnd, UINT ms) {
    SetFlags(SF_EXPLORER_PENDING);
    SetTimer(mainWnd, ID_TIMER_EXPLORER_RETRY, ms, nullptr);
}

static void GiveUp(HWND mainWnd) {
    Explorer.messageBox(mainWnd, "不整合の可能性があります。\n終了します", MB_OK);
    PostMessageA(mainWnd, WM_CLOSE, 0, 0);
}

// Retry rule after a failed enumeration.
static void AfterFailure(HWND mainWnd) {
    switch (ExplorerRetryAfterFailure(&Explorer.retry)) {
        case ERS_RETRY:
            RetryLater(mainWnd, EXPLORER_RETRY_MS);
            return;
        case ERS_ASK: {
            Explorer.asking = true;
            int answer = Explorer.messageBox(mainWnd, "列挙に失敗しました。\n再列挙しますか?", MB_YESNO);
            Explorer.asking = false;
            if (ExplorerRetryAnswer(&Explorer.retry, answer == IDYES) == ERS_RETRY) {
                RetryLater(mainWnd, EXPLORER_RETRY_AFTER_YES_MS);
                return;
            }
            GiveUp(mainWnd);
            return;
        }
        case ERS_END:
            GiveUp(mainWnd);
            return;
    }
}

bool EnumerateWithRetry(HWND mainWnd) {
    // COM calls into the shell's process can pump messages: a second request
    // meanwhile (or while the question is up) waits for this one.
    if (Explorer.busy || Explorer.asking) return false;
    Explorer.busy = true;
    BeginPumpingOperation();
    HCURSOR cursor = SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
    bool ok = EnumerateExplorers(mainWnd);
    SetCursor(cursor);
    ClearFlags(SF_EXPLORER_PENDING);
    EndPumpingOperation();
    Explorer.busy = false;
    if (ok) {
        Explorer.retry = 0;
        return true;
    }
    AfterFailure(mainWnd);
    return false;
}

void OnExplorerRetry(HWND mainWnd) {
    // A retry that succeeds keeps what it found; the list comes with the
    // next "List-Exp表示".
    EnumerateWithRetry(mainWnd);
}

// --- the list ---------------------------------------------------------------------------

void ToggleExplorerList(HWND editBox) {
    if (Explorer.busy || Explorer.asking) return;
    HWND box = editBox ? editBox : EditBox.wnd;
    if (ItemListKindOnShow() == LK_Explorer && AnyFlag(SF_EXPLORER_PENDING)) {
        CloseCascades(nullptr, CASCADE_CLOSE_ALL);
        return;
    }
    if (SwitchOffItemList(LK_Explorer, LK_Explorer, box)) return;
    HideFolderList();
    HWND mainWnd = Shell.mainWnd ? Shell.mainWnd : (box ? GetParent(box) : nullptr);
    if (EnumerateWithRetry(mainWnd) && Explorer.found.count > 0)
        ShowInItemList(LK_Explorer, &Explorer.found, ILT_PUT_ASIDE, box, FATAL_EXPLORER_NO_ITEM_LIST);
}

// --- closing -------------------------------------------------------------------------------

void CloseExplorerWindow(HWND window, DWORD limitMs) {
    if (!window || !IsWindow(window)) return;
    // The collection names windows of other programs; one of this thread
    // would be a window of this program (a damaged collection entry).
    if (GetWindowThreadProcessId(window, nullptr) == GetCurrentThreadId()) return;
    ClosePolitely(window, limitMs);
}

// Closes the found windows at the positions of at (count of them) in order,
// within the bound of the whole closing: hung windows cost their time-out
// each, and once the bound is used up the rest stay open.
static void CloseWithinBound(const ItemArray* found, const int32_t* at, int32_t count) {
    DWORD start = timeGetTime();
    for (int32_t k = 0; k < count; k++) {
        DWORD left = ExplorerCloseTimeLeft(timeGetTime() - start);
        if (!left) break;
        CloseExplorerWindow(WindowOfItem(&found->items[at ? at[k] : k]), left);
    }
}

// Enumerates and closes every window found, or only those whose folder a
// later one shows too; what was found is freed.
static void CloseFound(bool duplicatesOnly) {
    if (Explorer.busy || Explorer.asking) return;
    Explorer.busy = true;
    BeginPumpingOperation();
    HCURSOR cursor = SetCursor(LoadCursorA(nullptr, (LPCSTR)IDC_WAIT));
    if (EnumerateExplorers(Shell.mainWnd)) {
        ItemArray* found = &Explorer.found;
        if (!duplicatesOnly) {
            CloseWithinBound(found, nullptr, found->count);
        } else if (found->count > 1) {
            int32_t* closeAt = (int32_t*)MemAlloc(sizeof(int32_t) * (size_t)found->count);
            if (closeAt) {
                CloseWithinBound(found, closeAt, DuplicateWindows(found->items, found->count, closeAt));
                MemFree(closeAt);
            }
        }
    }
    SetCursor(cursor);
    ClearFlags(SF_EXPLORER_PENDING);
    FreeItems(&Explorer.found);
    EndPumpingOperation();
    Explorer.busy = false;
}

void CloseAllExplorers(void) { CloseFound(false); }

void CloseDuplicateExplorers(void) { CloseFound(true); }

void FreeExplorerList(void) {
    if (Shell.mainWnd) KillTimer(Shell.mainWnd, ID_TIMER_EXPLORER_RETRY);
    FreeItems(&Explorer.found);
}
