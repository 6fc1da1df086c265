// lists_test.cpp - the item list seen from outside, through the built-in
// command list (16 entries): size and place below or above the box, icons,
// filtering by the typed text, type-ahead, Esc, and the keyboard context menu.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/listread.h"

namespace {

const int kBuiltinCount = 16;

RECT RectOf(HWND wnd) {
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(wnd, &rc);
    return rc;
}

int RowHeight(HWND list) {
    RECT rc;
    if (!ListRowRect(list, 0, &rc)) return -1;
    return rc.bottom - rc.top;
}

size_t Longest(const std::vector<std::string>& rows) {
    size_t n = 0;
    for (const std::string& r : rows) n = std::max(n, r.size());
    return n;
}

std::string SelectedText(HWND list) {
    std::vector<int> rows = ListSelectedRows(list);
    std::string text;
    if (rows.size() == 1) ListRowText(list, rows[0], &text);
    return text;
}

struct MenuSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindMenuProc(HWND wnd, LPARAM param) {
    MenuSearch* s = (MenuSearch*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    char cls[32] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (pid == s->pid && strcmp(cls, "#32768") == 0 && IsWindowVisible(wnd)) {
        s->found = wnd;
        return FALSE;
    }
    return TRUE;
}

HWND FindPopupMenu(DWORD pid) {
    MenuSearch s = {pid, nullptr};
    EnumWindows(FindMenuProc, (LPARAM)&s);
    return s.found;
}

}  // namespace

struct ListsE2E : public VornTest {
    VornProcess vorn;
    HWND list = nullptr;

    // The program ends before the fixture removes its folder.
    void TearDown() override {
        DWORD code = 0;
        if (vorn.Alive()) vorn.Close(E2E_EXIT_MS, &code);
        vorn.Kill();
        VornTest::TearDown();
    }

    // Starts vorn with the settings and shows the built-in list (Ctrl+M).
    ::testing::AssertionResult StartWithBuiltinList(std::initializer_list<const char*> ini) {
        ::testing::AssertionResult written = WriteIniWith(ini);
        if (!written) return written;
        ::testing::AssertionResult started = StartAndWaitFocus(&vorn, "");
        if (!started) return started;
        if (!PressKeyUntil('M', KEY_CTRL, [&] {
                list = ShownListView(vorn.Pid());
                return list && ListRowCount(list) == kBuiltinCount;
            }))
            return ::testing::AssertionFailure() << "Ctrl+M showed no list of 16 rows";
        return ::testing::AssertionSuccess();
    }
};

TEST_F(ListsE2E, ListLongerThanLinemaxIsLinemaxRowsHighWithAScrollBar) {
    ASSERT_TRUE(StartWithBuiltinList({"common.tray=0", "common.linemax=5"}));
    std::vector<std::string> rows = ListRowTexts(list);
    ASSERT_EQ(rows.size(), (size_t)kBuiltinCount);
    EXPECT_EQ(rows[0], "#AllCloseExp");
    int rowH = RowHeight(list);
    ASSERT_GT(rowH, 0);
    int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    int scroll = GetSystemMetrics(SM_CXVSCROLL);
    RECT box = RectOf(vorn.EditBox()), rc = RectOf(list);
    EXPECT_EQ(rc.bottom - rc.top, rowH * 5 + frame);
    EXPECT_EQ(rc.top, box.bottom) << "directly below the box";
    EXPECT_EQ(rc.left, box.left) << "left-aligned with the box";
    int column = (int)Longest(rows) * 6 + frame + 22;
    EXPECT_EQ(rc.right - rc.left, column + frame + scroll) << "a scroll bar is reckoned in";
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & WS_VSCROLL) << "no scroll bar shown";
    EXPECT_LT(ListRowsPerPage(list), kBuiltinCount);
}

TEST_F(ListsE2E, ListShorterThanLinemaxIsAsHighAsItsRows) {
    ASSERT_TRUE(StartWithBuiltinList({"common.tray=0", "common.linemax=25"}));
    int rowH = RowHeight(list);
    ASSERT_GT(rowH, 0);
    int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    RECT rc = RectOf(list);
    EXPECT_EQ(rc.bottom - rc.top, rowH * kBuiltinCount + frame);
    int column = (int)Longest(ListRowTexts(list)) * 6 + frame + 22;
    EXPECT_EQ(rc.right - rc.left, column + frame) << "no scroll bar reckoned in";
}

TEST_F(ListsE2E, ListNearTheScreenBottomOpensAboveAndStaysThereWhileFiltered) {
    int screenH = GetSystemMetrics(SM_CYSCREEN);
    std::string y = "edit.y=" + std::to_string(screenH - 150);
    ASSERT_TRUE(StartWithBuiltinList({"common.tray=0", "common.linemax=25", y.c_str()}));
    RECT box = RectOf(vorn.EditBox()), rc = RectOf(list);
    EXPECT_EQ(rc.bottom, box.top) << "16 rows do not fit below: the list goes above";

    // Two rows would fit below; the list stays above until it is hidden.
    ASSERT_TRUE(TypeText("save"));
    ASSERT_TRUE(WaitFor([&] { return ListRowCount(list) == 2; }))
        << "filter left " << ListRowCount(list) << " rows";
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(list) != FALSE; }));
    rc = RectOf(list);
    EXPECT_EQ(rc.bottom, box.top) << "the refreshed list moved below";
    EXPECT_LT(box.bottom + (rc.bottom - rc.top), screenH) << "the test would not show anything";
}

TEST_F(ListsE2E, IconsAreShownOnlyWithIconOne) {
    {
        ASSERT_TRUE(StartWithBuiltinList({"common.tray=0", "common.icon=1"}));
        EXPECT_EQ(ListRowImage(list, 0), 0) << "the built-in list's own icon";
        EXPECT_EQ(ListRowImage(list, 15), 0);
        vorn.Kill();
    }
    list = nullptr;
    {
        VornProcess second;
        ASSERT_TRUE(WriteIniWith({"common.tray=0", "common.icon=0"}));
        ASSERT_TRUE(StartAndWaitFocus(&second, ""));
        ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] {
            list = ShownListView(second.Pid());
            return list && ListRowCount(list) == kBuiltinCount;
        }));
        EXPECT_EQ(ListRowImage(list, 0), -1) << "no icon with icon 0";
    }
}

TEST_F(ListsE2E, TypedTextFiltersTheListByAllColonTerms) {
    ASSERT_TRUE(StartWithBuiltinList({"common.tray=0", "path.typoctr=0"}));
    auto rowsAre = [&](std::vector<std::string> want) {
        return WaitFor([&] { return ListRowTexts(list) == want; });
    };
    ASSERT_TRUE(TypeText("SAVE"));
    EXPECT_TRUE(rowsAre({"#SaveSetting", "#SaveHistory"})) << "any letter case";
    ASSERT_TRUE(TypeText(":"));
    EXPECT_TRUE(rowsAre({"#SaveSetting", "#SaveHistory"})) << "one trailing colon is dropped";
    ASSERT_TRUE(TypeText(":hi"));
    EXPECT_TRUE(rowsAre({"#SaveHistory"})) << "two colons act as one, both terms must match";
    ASSERT_TRUE(TypeText("zz"));
    EXPECT_TRUE(WaitFor([&] { return ListRowCount(list) == 0; }));
    EXPECT_TRUE(IsWindowVisible(list)) << "an empty list stays in sight";
    RECT rc = RectOf(list);
    EXPECT_GT(rc.bottom - rc.top, GetSystemMetrics(SM_CXFIXEDFRAME)) << "one row high";
}

TEST_F(ListsE2E, TypeAheadFindsByPrefixWalksByRepeatsAndResetsAfterAPause) {
    ASSERT_TRUE(StartWithBuiltinList({"common.tray=0"}));
    ASSERT_TRUE(PressKey(VK_TAB));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); })) << "Tab did not enter the list";
    ASSERT_TRUE(WaitFor([&] { return SelectedText(list) == "#AllCloseExp"; }));

    // "###": the first finds the next item, the repeats walk on one by one.
    ASSERT_TRUE(TypeText("###"));
    EXPECT_TRUE(WaitFor([&] { return SelectedText(list) == "#FreeMigemo"; }))
        << "selected " << SelectedText(list);
    Sleep(1000);  // longer than the 800 ms after which a new search starts

    ASSERT_TRUE(TypeText("#sa"));
    EXPECT_TRUE(WaitFor([&] { return SelectedText(list) == "#SaveSetting"; }))
        << "selected " << SelectedText(list);
    Sleep(1000);
    // A new search from the current item: the next one that begins with "#sa".
    ASSERT_TRUE(TypeText("#sa"));
    EXPECT_TRUE(WaitFor([&] { return SelectedText(list) == "#SaveHistory"; }))
        << "selected " << SelectedText(list);
    EXPECT_EQ(ListFocusedRow(list), ListSelectedRows(list)[0]);
}

TEST_F(ListsE2E, EscInTheListGivesBackTheTextTypedBefore) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeText("zq9"));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == "zq9"; }));
    ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] { return (list = ShownListView(vorn.Pid())); }));
    ASSERT_TRUE(PressKey(VK_TAB));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); }));
    ASSERT_TRUE(PressKey(VK_ESCAPE));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(list); })) << "list still shown";
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == "zq9"; }))
        << "box holds \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
    EXPECT_TRUE(vorn.Alive());
}

TEST_F(ListsE2E, EnterTakesTheSelectedEntryIntoTheBoxWithoutRunningIt) {
    ASSERT_TRUE(StartWithBuiltinList({"common.tray=0"}));
    ASSERT_TRUE(PressKey(VK_TAB));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); }));
    ASSERT_TRUE(TypeText("#ex"));
    ASSERT_TRUE(WaitFor([&] { return SelectedText(list) == "#Exit"; }));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == "#Exit"; }))
        << "box holds \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(list); }));
    EXPECT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
    EXPECT_TRUE(vorn.Alive()) << "taking an entry must not run it";
}

TEST_F(ListsE2E, KeyboardContextMenuOpensOverTheFocusedRow) {
    ASSERT_TRUE(StartWithBuiltinList({"common.tray=0", "common.linemax=25"}));
    ASSERT_TRUE(PressKey(VK_TAB));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); }));
    ASSERT_TRUE(TypeText("#op"));
    ASSERT_TRUE(WaitFor([&] { return SelectedText(list) == "#Open"; }));
    int row = ListSelectedRows(list)[0];
    RECT rowRect;
    ASSERT_TRUE(ListRowRect(list, 0, &rowRect));
    int rowH = rowRect.bottom - rowRect.top;
    RECT rc = RectOf(list);

    ASSERT_TRUE(PressKey(VK_APPS));
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = FindPopupMenu(vorn.Pid())) != nullptr; }))
        << "no menu";
    RECT m = RectOf(menu);
    EXPECT_EQ(m.left, rc.left + (rc.right - rc.left) / 2);
    EXPECT_EQ(m.top, rc.top + rowH * (row - ListTopRow(list)) + rowH / 2);
    ASSERT_TRUE(PressKey(VK_ESCAPE));
    EXPECT_TRUE(WaitFor([&] { return FindPopupMenu(vorn.Pid()) == nullptr; }));
    EXPECT_TRUE(IsWindowVisible(list)) << "closing the menu keeps the list";
}

// The folder list (typed folder) draws through the same row display: names
// with double-byte characters, and the colours of the [path] section.
struct ListColoursE2E : public ListsE2E {
    // Makes folder\j with two sub-folders and two files; returns its path.
    std::string MakeFolder(void) {
        std::string j = Path("j");
        CreateDirectoryA(j.c_str(), nullptr);
        CreateDirectoryA((j + "\\a日本").c_str(), nullptr);
        CreateDirectoryA((j + "\\bフォルダ").c_str(), nullptr);
        WriteFileBytes((j + "\\c表.txt").c_str(), "x");
        WriteFileBytes((j + "\\d.txt").c_str(), "x");
        return j;
    }
    // Shows the folder list of j and returns it.
    ::testing::AssertionResult ShowFolder(const std::string& j) {
        ::testing::AssertionResult started = StartAndWaitFocus(&vorn, "");
        if (!started) return started;
        if (!TypeText((j + "\\").c_str()))
            return ::testing::AssertionFailure() << "typing failed";
        if (!WaitFor([&] {
                // The text first: a folder passed on the way can have 4 rows too.
                if (vorn.EditText() != j + "\\") return false;
                list = ShownListView(vorn.Pid());
                return list && ListRowCount(list) == 4;
            }))
            return ::testing::AssertionFailure() << "no folder list of 4 rows for " << j
                                                 << "; box holds \"" << vorn.EditText() << "\"";
        return ::testing::AssertionSuccess();
    }
    // Colour at the right end of a row (past its text).
    COLORREF RowColour(int row) {
        RECT rc;
        if (!ListRowRect(list, row, &rc)) return CLR_INVALID;
        return ListPixel(list, rc.right - 3, (rc.top + rc.bottom) / 2);
    }
};

TEST_F(ListColoursE2E, RowsTakeTheFolderAndFileColoursOfTheirSection) {
    std::string j = MakeFolder();
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "path.fldclass=1", "path.fldbkcolor=255",
                              "path.filbkcolor=65280", "common.icon=1"}));
    ASSERT_TRUE(ShowFolder(j));
    std::vector<std::string> rows = ListRowTexts(list);
    EXPECT_EQ(rows, (std::vector<std::string>{"a日本", "bフォルダ", "c表.txt", "d.txt"}));
    EXPECT_TRUE(WaitFor([&] { return RowColour(1) == RGB(255, 0, 0); }))
        << "folder row " << std::hex << RowColour(1);
    EXPECT_TRUE(WaitFor([&] { return RowColour(3) == RGB(0, 255, 0); }))
        << "file row " << std::hex << RowColour(3);
    if (getenv("VORN_LIST_SHOT")) Sleep(4000);  // time for a screenshot by hand
}

TEST_F(ListColoursE2E, FldclassZeroDrawsTheDefaultColours) {
    std::string j = MakeFolder();
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "path.fldclass=0", "path.fldbkcolor=255",
                              "path.filbkcolor=65280"}));
    ASSERT_TRUE(ShowFolder(j));
    COLORREF window = GetSysColor(COLOR_WINDOW);
    EXPECT_TRUE(WaitFor([&] { return RowColour(1) == window && RowColour(3) == window; }))
        << std::hex << RowColour(1) << " " << RowColour(3);
}
