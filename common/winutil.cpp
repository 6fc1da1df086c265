// winutil.cpp - small window routines shared by both programs.
#include "common/winutil.h"

#include <commctrl.h>
#include <psapi.h>
#include <string.h>

#include "common/strutil.h"

const char* ErrorBoxTitle = "vorn";

namespace {
// Longest executable path asked of another process, terminator included.
const DWORD kProcessPathSize = 261;
}  // namespace

void EditCaretToEnd(HWND edit, const char* text) {
    WPARAM end = text ? (WPARAM)strlen(text) : 0;
    SendMessageA(edit, EM_SETSEL, end, (LPARAM)end);
}

void ListInsertColumn(HWND list, int width, const char* title, int index, int format) {
    LVCOLUMNA column;
    memset(&column, 0, sizeof column);
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.fmt = format;
    column.cx = width;
    column.pszText = (LPSTR)(title ? title : "");
    column.iSubItem = index;
    SendMessageA(list, LVM_INSERTCOLUMNA, (WPARAM)index, (LPARAM)&column);
}

int ListCountSelected(HWND list) {
    if (!list || !IsWindow(list)) return 0;
    return (int)SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0);
}

void ListSelectAll(HWND list) {
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.stateMask = LVIS_SELECTED;
    item.state = LVIS_SELECTED;
    // Item -1 applies the state to every item.
    SendMessageA(list, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&item);
}

bool IsOwnWindow(HWND window) {
    if (!window) return false;
    DWORD process = 0;
    return GetWindowThreadProcessId(window, &process) && process == GetCurrentProcessId();
}

void ForceForeground(HWND window) {
    DWORD target = GetWindowThreadProcessId(window, nullptr);
    HWND current = GetForegroundWindow();
    DWORD owner = current ? GetWindowThreadProcessId(current, nullptr) : 0;
    bool attached = owner && target && owner != target && AttachThreadInput(owner, target, TRUE);

    // Lift the foreground lock for this one call only; the value is not saved to
    // the user's profile.
    DWORD timeout = 0;
    BOOL haveTimeout = SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &timeout, 0);
    SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, (PVOID)0, 0);
    SetForegroundWindow(window);
    if (haveTimeout)
        SystemParametersInfoA(SPI_SETFOREGROUNDLOCKTIMEOUT, 0, (PVOID)(UINT_PTR)timeout, 0);

    if (attached) AttachThreadInput(owner, target, FALSE);
}

bool WindowProcessPath(HWND window, char* dst, size_t max) {
    if (!dst || !max) return false;
    DWORD processId = 0;
    if (!window || !GetWindowThreadProcessId(window, &processId) || !processId) return false;
    HANDLE process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId);
    if (!process) return false;
    char path[kProcessPathSize];
    // The null module is the first one: the executable.
    DWORD n = GetModuleFileNameExA(process, nullptr, path, kProcessPathSize);
    CloseHandle(process);
    // A result that fills the buffer may have been cut (a whole path of MAX_PATH
    // has at most 259 bytes and its terminator).
    if (n == 0 || n >= kProcessPathSize - 1 || n >= max) return false;
    path[n] = '\0';
    CopyString(dst, path, max);
    return true;
}

void ErrorBox(HWND owner, const char* text) {
    MessageBoxA(owner, text ? text : "", ErrorBoxTitle ? ErrorBoxTitle : "vorn",
                MB_OK | MB_ICONEXCLAMATION);
}


// --- subclassing -----------------------------------------------------------------

// The procedures ReplaceWindowProc kept, a row per replaced window. A table
// of the program's own rather than a window property: CallSavedProc runs for
// every message those windows get, and under Wine each property lookup is a
// round trip to the window server (twice, with the name's atom).
struct SavedProcRow {
    HWND window;
    WNDPROC saved;
};
enum { SAVED_PROC_ROWS = 64 };
static SavedProcRow SavedProcs[SAVED_PROC_ROWS];

static SavedProcRow* SavedRowOf(HWND window) {
    if (!window) return nullptr;
    for (SavedProcRow& row : SavedProcs)
        if (row.window == window) return &row;
    return nullptr;
}

// A free row; the rows of windows that are gone without their WM_NCDESTROY
// reaching CallSavedProc are freed on the way.
static SavedProcRow* FreeSavedRow(void) {
    SavedProcRow* free = nullptr;
    for (SavedProcRow& row : SavedProcs) {
        if (row.window && !IsWindow(row.window)) row = SavedProcRow{};
        if (!row.window && !free) free = &row;
    }
    return free;
}

WNDPROC ReplaceWindowProc(HWND window, WNDPROC proc) {
    if (!window || !proc || !IsWindow(window) || SavedRowOf(window)) return nullptr;
    WNDPROC old = (WNDPROC)GetWindowLongPtrA(window, GWLP_WNDPROC);
    SavedProcRow* row = FreeSavedRow();
    if (!old || !row) return nullptr;
    if (!SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)proc)) return nullptr;
    row->window = window;
    row->saved = old;
    return old;
}

WNDPROC SavedWindowProc(HWND window) {
    SavedProcRow* row = SavedRowOf(window);
    return row ? row->saved : nullptr;
}

LRESULT CallSavedProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    WNDPROC old = SavedWindowProc(window);
    if (!old) {
        // Put back while this message ran (a handler closed the window), or
        // never replaced: the window's procedure is the one it had.
        WNDPROC own = window ? (WNDPROC)GetWindowLongPtrA(window, GWLP_WNDPROC) : nullptr;
        return own ? CallWindowProcA(own, window, msg, wParam, lParam)
                   : DefWindowProcA(window, msg, wParam, lParam);
    }
    LRESULT result = CallWindowProcA(old, window, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        // The window goes: it leaves as it came, nothing kept.
        SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)old);
        SavedProcRow* row = SavedRowOf(window);
        if (row) *row = SavedProcRow{};
    }
    return result;
}

void RestoreWindowProc(HWND window) {
    SavedProcRow* row = SavedRowOf(window);
    if (!row) return;
    if (IsWindow(window)) SetWindowLongPtrA(window, GWLP_WNDPROC, (LONG_PTR)row->saved);
    *row = SavedProcRow{};
}
