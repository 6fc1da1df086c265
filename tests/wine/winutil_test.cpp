// In-process tests of the shared window routines (common/winutil) on real
// controls.
#include <windows.h>
#include <commctrl.h>

#include <gtest/gtest.h>

#include <vector>
#include <string.h>

#include <string>

#include "common/winutil.h"

namespace {

HWND MakeEdit() {
    return CreateWindowExA(0, "EDIT", "", WS_POPUP | ES_AUTOHSCROLL, 0, 0, 300, 24, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

HWND MakeList(DWORD extraStyle) {
    INITCOMMONCONTROLSEX icc = {sizeof icc, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&icc);
    return CreateWindowExA(0, WC_LISTVIEWA, "", WS_POPUP | LVS_REPORT | extraStyle, 0, 0, 300, 200,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void AddItems(HWND list, int count) {
    for (int i = 0; i < count; i++) {
        char text[16];
        snprintf(text, sizeof text, "item%d", i);
        LVITEMA item;
        memset(&item, 0, sizeof item);
        item.mask = LVIF_TEXT;
        item.iItem = i;
        item.pszText = text;
        ASSERT_EQ(i, (int)SendMessageA(list, LVM_INSERTITEMA, 0, (LPARAM)&item));
    }
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

TEST(WinutilEdit, CaretGoesAfterTheGivenText) {
    HWND edit = MakeEdit();
    ASSERT_NE(nullptr, edit);
    SetWindowTextA(edit, "C:\\Windows\\system32");
    DWORD start = 99, end = 99;
    EditCaretToEnd(edit, "C:\\Windows\\system32");
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(19u, start);
    EXPECT_EQ(19u, end);

    // The length of the text passed counts, not the window text.
    EditCaretToEnd(edit, "C:\\Win");
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(6u, start);
    EXPECT_EQ(6u, end);

    // A selection is collapsed.
    SendMessageA(edit, EM_SETSEL, 0, -1);
    EditCaretToEnd(edit, "");
    SendMessageA(edit, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(0u, start);
    EXPECT_EQ(0u, end);
    DestroyWindow(edit);
}

TEST(WinutilList, InsertColumnSetsFormatWidthTitleAndSubItem) {
    HWND list = MakeList(0);
    ASSERT_NE(nullptr, list);
    ListInsertColumn(list, 180, "name", 0, LVCFMT_LEFT);
    ListInsertColumn(list, 70, "size", 1, LVCFMT_RIGHT);
    HWND header = (HWND)SendMessageA(list, LVM_GETHEADER, 0, 0);
    ASSERT_NE(nullptr, header);
    EXPECT_EQ(2, (int)SendMessageA(header, HDM_GETITEMCOUNT, 0, 0));

    char text[32];
    LVCOLUMNA column;
    memset(&column, 0, sizeof column);
    column.mask = LVCF_FMT | LVCF_WIDTH | LVCF_TEXT | LVCF_SUBITEM;
    column.pszText = text;
    column.cchTextMax = sizeof text;
    ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, 1, (LPARAM)&column));
    EXPECT_STREQ("size", text);
    EXPECT_EQ(70, column.cx);
    EXPECT_EQ(LVCFMT_RIGHT, column.fmt & LVCFMT_JUSTIFYMASK);
    EXPECT_EQ(1, column.iSubItem);
    ASSERT_TRUE(SendMessageA(list, LVM_GETCOLUMNA, 0, (LPARAM)&column));
    EXPECT_STREQ("name", text);
    EXPECT_EQ(180, column.cx);
    EXPECT_EQ(0, column.iSubItem);
    DestroyWindow(list);
}

TEST(WinutilList, SelectAllAndCountSelected) {
    HWND list = MakeList(0);
    ASSERT_NE(nullptr, list);
    ListInsertColumn(list, 200, "name", 0, LVCFMT_LEFT);
    AddItems(list, 5);
    EXPECT_EQ(0, ListCountSelected(list));

    LVITEMA state;
    memset(&state, 0, sizeof state);
    state.stateMask = LVIS_SELECTED;
    state.state = LVIS_SELECTED;
    SendMessageA(list, LVM_SETITEMSTATE, 3, (LPARAM)&state);
    EXPECT_EQ(1, ListCountSelected(list));

    ListSelectAll(list);
    EXPECT_EQ(5, ListCountSelected(list));
    for (int i = 0; i < 5; i++)
        EXPECT_EQ((UINT)LVIS_SELECTED, (UINT)SendMessageA(list, LVM_GETITEMSTATE, i, LVIS_SELECTED))
            << i;

    DestroyWindow(list);
    EXPECT_EQ(0, ListCountSelected(list));  // the window is gone
    EXPECT_EQ(0, ListCountSelected(nullptr));
}

TEST(WinutilList, SelectAllOnOwnerDataList) {
    HWND list = MakeList(LVS_OWNERDATA);
    ASSERT_NE(nullptr, list);
    ListInsertColumn(list, 200, "name", 0, LVCFMT_LEFT);
    SendMessageA(list, LVM_SETITEMCOUNT, 7, 0);
    EXPECT_EQ(0, ListCountSelected(list));
    ListSelectAll(list);
    EXPECT_EQ(7, ListCountSelected(list));
    DestroyWindow(list);
}

TEST(WinutilProcess, WindowOfThisProcessGivesThisExecutable) {
    char exe[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, exe, sizeof exe);
    ASSERT_NE(0u, n);
    HWND edit = MakeEdit();
    ASSERT_NE(nullptr, edit);

    char path[MAX_PATH] = "junk";
    ASSERT_TRUE(WindowProcessPath(edit, path, sizeof path));
    EXPECT_STRCASEEQ(exe, path);

    // The path must be shorter than max bytes.
    char exact[MAX_PATH];
    EXPECT_TRUE(WindowProcessPath(edit, exact, strlen(path) + 1));
    EXPECT_STREQ(path, exact);
    char small[MAX_PATH] = "keep";
    EXPECT_FALSE(WindowProcessPath(edit, small, strlen(path)));
    EXPECT_STREQ("keep", small);

    DestroyWindow(edit);
    EXPECT_FALSE(WindowProcessPath(edit, path, sizeof path));
    EXPECT_FALSE(WindowProcessPath(nullptr, path, sizeof path));
}

TEST(WinutilProcess, OwnWindowsAreThoseOfThisProcess) {
    HWND edit = MakeEdit();
    ASSERT_NE(nullptr, edit);
    EXPECT_TRUE(IsOwnWindow(edit));
    // The desktop window belongs to the system's own process.
    HWND desktop = GetDesktopWindow();
    DWORD desktopProcess = 0;
    GetWindowThreadProcessId(desktop, &desktopProcess);
    ASSERT_NE(GetCurrentProcessId(), desktopProcess);
    EXPECT_FALSE(IsOwnWindow(desktop));
    DestroyWindow(edit);
    EXPECT_FALSE(IsOwnWindow(edit));
    EXPECT_FALSE(IsOwnWindow(nullptr));
}

TEST(WinutilForeground, ForceForegroundActivatesAndRestoresLockTimeout) {
    DWORD before = 0;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &before, 0));
    HWND a = CreateWindowExA(0, "STATIC", "a", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 10, 10, 200, 100,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    HWND b = CreateWindowExA(0, "STATIC", "b", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 10, 200, 100,
                             nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(nullptr, a);
    ASSERT_NE(nullptr, b);
    // The window manager activates a new window a little later: let it settle
    // (bounded) so it does not take the foreground back after our switch.
    auto waitForeground = [](HWND w) {
        for (int i = 0; i < 100 && GetForegroundWindow() != w; i++) {
            Pump();
            Sleep(10);
        }
        return GetForegroundWindow();
    };
    waitForeground(b);
    ForceForeground(a);
    EXPECT_EQ(a, waitForeground(a));
    ForceForeground(b);
    EXPECT_EQ(b, waitForeground(b));
    DWORD after = 0;
    ASSERT_TRUE(SystemParametersInfoA(SPI_GETFOREGROUNDLOCKTIMEOUT, 0, &after, 0));
    EXPECT_EQ(before, after);
    DestroyWindow(a);
    DestroyWindow(b);
}

// The message box is closed by a CBT hook as soon as it activates; the hook
// records its title and text.
std::string g_boxTitle, g_boxText;
HICON g_boxIcon;
HHOOK g_hook;

BOOL CALLBACK FindIconChild(HWND child, LPARAM) {
    char cls[32];
    GetClassNameA(child, cls, sizeof cls);
    if (lstrcmpiA(cls, "Static") == 0 &&
        (GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) == SS_ICON) {
        g_boxIcon = (HICON)SendMessageA(child, STM_GETICON, 0, 0);
        return FALSE;
    }
    return TRUE;
}

LRESULT CALLBACK CloseBoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = (HWND)wParam;
        char cls[32];
        GetClassNameA(box, cls, sizeof cls);
        if (strcmp(cls, "#32770") == 0) {
            char text[256];
            GetWindowTextA(box, text, sizeof text);
            g_boxTitle = text;
            // The message text is the static control with id 0xFFFF.
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            g_boxText = text;
            g_boxIcon = nullptr;
            EnumChildWindows(box, FindIconChild, 0);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

TEST(WinutilErrorBox, TitleAndTextOfTheBox) {
    g_hook = SetWindowsHookExA(WH_CBT, CloseBoxHook, nullptr, GetCurrentThreadId());
    ASSERT_NE(nullptr, g_hook);
    ErrorBox(nullptr, "fatar errer no1");
    EXPECT_EQ("vorn", g_boxTitle);
    EXPECT_EQ("fatar errer no1", g_boxText);
    EXPECT_EQ(LoadIcon(nullptr, IDI_EXCLAMATION), g_boxIcon);
    EXPECT_NE(LoadIcon(nullptr, IDI_HAND), g_boxIcon);

    const char* saved = ErrorBoxTitle;
    ErrorBoxTitle = "Optbox";
    ErrorBox(nullptr, "x");
    ErrorBoxTitle = saved;
    EXPECT_EQ("Optbox", g_boxTitle);
    UnhookWindowsHookEx(g_hook);
}

// A replacing procedure that counts what reaches it, optionally puts the old
// procedure back while WM_SETTEXT runs, and notes at WM_NCDESTROY what was
// kept once the kept procedure had run.
int g_seen;
bool g_restoreInside;
WNDPROC g_keptAfterDestroy, g_ownAfterDestroy;

LRESULT CALLBACK CountingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SETTEXT) {
        g_seen++;
        if (g_restoreInside) RestoreWindowProc(wnd);
    }
    LRESULT result = CallSavedProc(wnd, msg, wParam, lParam);
    if (msg == WM_NCDESTROY) {
        g_keptAfterDestroy = SavedWindowProc(wnd);
        g_ownAfterDestroy = (WNDPROC)GetWindowLongPtrA(wnd, GWLP_WNDPROC);
    }
    return result;
}

TEST(WinutilSubclass, ReplacementRefusedWhereNothingCanBeKept) {
    HWND edit = MakeEdit();
    ASSERT_NE(nullptr, edit);
    WNDPROC editProc = (WNDPROC)GetWindowLongPtrA(edit, GWLP_WNDPROC);
    struct {
        HWND window;
        WNDPROC proc;
        WNDPROC result;
    } rows[] = {
        {edit, CountingProc, editProc},  // the first time: the EDIT procedure comes back
        {nullptr, CountingProc, nullptr},
        {edit, nullptr, nullptr},
        {edit, CountingProc, nullptr},  // already replaced
    };
    // A refusal leaves the first replacement as it was.
    for (const auto& row : rows) {
        EXPECT_EQ(row.result, ReplaceWindowProc(row.window, row.proc));
        EXPECT_EQ(editProc, SavedWindowProc(edit));
        EXPECT_EQ((LONG_PTR)CountingProc, GetWindowLongPtrA(edit, GWLP_WNDPROC));
    }
    RestoreWindowProc(edit);
    EXPECT_EQ((LONG_PTR)editProc, GetWindowLongPtrA(edit, GWLP_WNDPROC));
    EXPECT_EQ(nullptr, SavedWindowProc(edit));
    RestoreWindowProc(edit);  // nothing kept: nothing done
    EXPECT_EQ((LONG_PTR)editProc, GetWindowLongPtrA(edit, GWLP_WNDPROC));
    DestroyWindow(edit);
}

TEST(WinutilSubclass, MessagesGoOnToTheProcedureTheWindowHad) {
    struct {
        bool replace, restoreInside;
        int seen;
    } rows[] = {
        {true, false, 1},  // through the kept procedure
        {true, true, 1},   // put back while the message ran: on to the EDIT all the same
        {false, false, 0}, // never replaced: the window's own procedure
    };
    for (const auto& row : rows) {
        HWND edit = MakeEdit();
        ASSERT_NE(nullptr, edit);
        g_seen = 0;
        g_restoreInside = row.restoreInside;
        if (row.replace) {
            ASSERT_NE(nullptr, ReplaceWindowProc(edit, CountingProc));
            SetWindowTextA(edit, "typed");
        } else {
            CallSavedProc(edit, WM_SETTEXT, 0, (LPARAM) "typed");
        }
        char text[16] = "";
        GetWindowTextA(edit, text, sizeof text);
        EXPECT_STREQ("typed", text) << row.replace << row.restoreInside;
        EXPECT_EQ(row.seen, g_seen);
        EXPECT_EQ(row.replace && !row.restoreInside, SavedWindowProc(edit) != nullptr);
        DestroyWindow(edit);
    }
    g_restoreInside = false;
}

TEST(WinutilSubclass, AFullTableRefusesAndAGoneWindowsRowIsFreed) {
    // Replace windows until the table is full (other tests may hold rows).
    std::vector<HWND> edits;
    HWND refused = nullptr;
    for (int i = 0; i <= 64 && !refused; i++) {
        HWND edit = MakeEdit();
        ASSERT_NE(nullptr, edit);
        edits.push_back(edit);
        if (!ReplaceWindowProc(edit, CountingProc)) refused = edit;
    }
    ASSERT_NE(nullptr, refused) << "65 windows replaced";
    EXPECT_EQ(nullptr, SavedWindowProc(refused));
    // A replaced window that goes without its WM_NCDESTROY passing through
    // CallSavedProc (its procedure set back from outside) leaves a row that
    // the next replacement frees.
    HWND first = edits[0];
    SetWindowLongPtrA(first, GWLP_WNDPROC, (LONG_PTR)SavedWindowProc(first));
    DestroyWindow(first);
    EXPECT_NE(nullptr, ReplaceWindowProc(refused, CountingProc));
    for (size_t i = 1; i < edits.size(); i++) DestroyWindow(edits[i]);
}

TEST(WinutilSubclass, ADestroyedWindowLeavesWithItsOwnProcedureAndNothingKept) {
    HWND edit = MakeEdit();
    ASSERT_NE(nullptr, edit);
    WNDPROC editProc = ReplaceWindowProc(edit, CountingProc);
    ASSERT_NE(nullptr, editProc);
    g_keptAfterDestroy = g_ownAfterDestroy = CountingProc;
    DestroyWindow(edit);
    EXPECT_EQ(nullptr, g_keptAfterDestroy);
    EXPECT_EQ(editProc, g_ownAfterDestroy);
}

}  // namespace
