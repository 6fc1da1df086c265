// optbox_pages_items_test.cpp - the list-item pages "Default(2)" and
// "Favorite(2)" end to end: rows moved, inserted, deleted and checked with real
// input are written as exactly those lines, and vorn lists them; a refusal at
// OK writes none of them.
#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "tests/e2e/listread.h"
#include "tests/e2e/optbox_harness.h"

namespace {

enum {
    ID_FAV_LIST = 1060, ID_DEF_LIST = 1061, ID_FAV_BLANK = 1062, ID_FAV_UP = 1063, ID_FAV_DOWN = 1064,
    ID_FAV_NEXTPAGE = 1065, ID_DEF_UP = 1066, ID_DEF_DOWN = 1067, ID_DEF_DELETE = 1068, ID_FAV_DELETE = 1069,
    ID_DEF_SEPARATOR = 1070, ID_DEF_BLANK = 1071, ID_FILTER_TEXT = 1001, ID_PREV_BKCOLOR = 1083,
    ID_PREV_SPI = 1091
};

bool RowChecked(HWND list, int row) {
    return (SendMessageA(list, LVM_GETITEMSTATE, row, LVIS_STATEIMAGEMASK) & LVIS_STATEIMAGEMASK) ==
           INDEXTOSTATEIMAGEMASK(2);
}

// The rows as "text" with a leading "+" for a checked one and "|filter" when
// the second column holds one.
std::vector<std::string> Rows(HWND list) {
    std::vector<std::string> rows;
    int n = ListRowCount(list);
    for (int i = 0; i < n; i++) {
        std::string text, filter;
        ListCellText(list, i, 0, &text);
        if (ListCellText(list, i, 1, &filter) && !filter.empty()) text += "|" + filter;
        rows.push_back((RowChecked(list, i) ? "+" : "") + text);
    }
    return rows;
}

// Two left clicks at one point, quick enough to count as a double-click.
bool DoubleClickAt(int x, int y) {
    int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT in[5] = {};
    DWORD flags[5] = {MOUSEEVENTF_MOVE, MOUSEEVENTF_LEFTDOWN, MOUSEEVENTF_LEFTUP, MOUSEEVENTF_LEFTDOWN,
                      MOUSEEVENTF_LEFTUP};
    for (int i = 0; i < 5; i++) {
        in[i].type = INPUT_MOUSE;
        in[i].mi.dx = x * 65535 / w;
        in[i].mi.dy = y * 65535 / h;
        in[i].mi.dwFlags = flags[i] | MOUSEEVENTF_ABSOLUTE;
    }
    return SendInput(5, in, sizeof(INPUT)) == 5;
}

}  // namespace

struct OptboxItemsE2E : public OptboxTest {
    VornProcess vorn;

    void TearDown() override {
        DWORD code = 0;
        if (vorn.Alive()) vorn.Close(E2E_EXIT_MS, &code);
        vorn.Kill();
        OptboxTest::TearDown();
    }

    std::string Dir(const char* suffix) { return MakeDir(suffix); }
    std::string File(const std::string& folder, const char* name) {
        std::string path = PathIn(folder.c_str(), name);
        EXPECT_TRUE(WriteFileBytes(path.c_str(), "x")) << path;
        return path;
    }
    // Gives the list the focus with its first row selected.
    ::testing::AssertionResult FocusFirstRow(HWND list) {
        if (!ClickWindow(list)) return ::testing::AssertionFailure() << "no click";
        if (!WaitFor([&] { return ControlHasFocus(list); })) return ::testing::AssertionFailure() << "no focus";
        if (!PressKeyUntil(VK_HOME, 0, [&] { return ListSelectedRows(list) == std::vector<int>{0}; }))
            return ::testing::AssertionFailure() << "row 0 not selected";
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult WaitRows(HWND list, const std::vector<std::string>& want) {
        if (WaitFor([&] { return Rows(list) == want; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "rows " << Joined(Rows(list)) << " want: " << Joined(want);
    }
    ::testing::AssertionResult Click(HWND page, int id) {
        if (ClickWindow(GetDlgItem(page, id))) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "no click on " << id;
    }
};

TEST_F(OptboxItemsE2E, DefaultRowsAreMovedInsertedDeletedAndWrittenExactly) {
    std::string one = Dir("_one"), two = Dir("_two");
    std::string file = File(folder, "plain.txt");
    ASSERT_TRUE(WriteDataFile(folder, "vorn_d.dat",
                              one + "\r\n\r\n-" + two + "\r\n" + file + "\r\n"));
    OptboxProcess box;
    HWND dialog = nullptr, page = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(GoToRow(dialog, ROW_DEFAULT2, ID_DEF_LIST, &page));
    HWND list = GetDlgItem(page, ID_DEF_LIST);
    // The "-" line is a checked row.
    ASSERT_TRUE(WaitRows(list, {one, "<BLANK>", "+" + two, file}));

    ASSERT_TRUE(FocusFirstRow(list));
    ASSERT_TRUE(Click(page, ID_DEF_DOWN));
    ASSERT_TRUE(WaitRows(list, {"<BLANK>", one, "+" + two, file}));
    // Inserted at the selected row, which moves down.
    ASSERT_TRUE(Click(page, ID_DEF_SEPARATOR));
    ASSERT_TRUE(WaitRows(list, {"<BLANK>", "<SEPARATION>", one, "+" + two, file}));
    EXPECT_EQ(ListSelectedRows(list), std::vector<int>{1});
    ASSERT_TRUE(Click(page, ID_DEF_BLANK));
    ASSERT_TRUE(WaitRows(list, {"<BLANK>", "<BLANK>", "<SEPARATION>", one, "+" + two, file}));
    // Up at the top does nothing; the checked row moves with its check box.
    ASSERT_TRUE(PressKeyUntil(VK_END, 0, [&] { return ListSelectedRows(list) == std::vector<int>{5}; }));
    ASSERT_TRUE(PressKeyUntil(VK_UP, 0, [&] { return ListSelectedRows(list) == std::vector<int>{4}; }));
    ASSERT_TRUE(Click(page, ID_DEF_UP));
    ASSERT_TRUE(WaitRows(list, {"<BLANK>", "<BLANK>", "<SEPARATION>", "+" + two, one, file}));

    // Check boxes: a folder keeps it, a file and a blank row lose it at once.
    ASSERT_TRUE(SetForegroundWindow(dialog));
    ASSERT_TRUE(ClickWindow(list));
    ASSERT_TRUE(PressKeyUntil(VK_END, 0, [&] { return ListSelectedRows(list) == std::vector<int>{5}; }));
    ASSERT_TRUE(TapKey(VK_SPACE));
    ASSERT_TRUE(PressKeyUntil(VK_UP, 0, [&] { return ListSelectedRows(list) == std::vector<int>{4}; }));
    ASSERT_TRUE(PressKeyUntil(VK_SPACE, 0, [&] { return RowChecked(list, 4); }));
    ASSERT_TRUE(PressKeyUntil(VK_HOME, 0, [&] { return ListSelectedRows(list) == std::vector<int>{0}; }));
    ASSERT_TRUE(TapKey(VK_SPACE));
    ASSERT_TRUE(WaitRows(list, {"<BLANK>", "<BLANK>", "<SEPARATION>", "+" + two, "+" + one, file}));

    // Delete rows 1 and 2: the row that followed them is selected.
    ASSERT_TRUE(PressKeyUntil(VK_DOWN, 0, [&] { return ListSelectedRows(list) == std::vector<int>{1}; }));
    ASSERT_TRUE(PressKeyUntil(VK_DOWN, KEY_SHIFT, [&] { return ListSelectedRows(list) == std::vector<int>{1, 2}; }));
    ASSERT_TRUE(Click(page, ID_DEF_DELETE));
    ASSERT_TRUE(WaitRows(list, {"<BLANK>", "+" + two, "+" + one, file}));
    EXPECT_TRUE(WaitFor([&] { return ListSelectedRows(list) == std::vector<int>{1}; }));
    // Delete the last row: the new last row is selected.
    ASSERT_TRUE(SetForegroundWindow(dialog));
    ASSERT_TRUE(ClickWindow(list));
    ASSERT_TRUE(PressKeyUntil(VK_END, 0, [&] { return ListSelectedRows(list) == std::vector<int>{3}; }));
    ASSERT_TRUE(Click(page, ID_DEF_DELETE));
    ASSERT_TRUE(WaitRows(list, {"<BLANK>", "+" + two, "+" + one}));
    EXPECT_TRUE(WaitFor([&] { return ListSelectedRows(list) == std::vector<int>{2}; }));

    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadDataFile(folder, "vorn_d.dat"), "\r\n-" + two + "\r\n-" + one + "\r\n");
}

// A drive that is not there at the moment loses nothing: its entries are shown
// and written back as they were.
TEST_F(OptboxItemsE2E, EntriesOfAMissingDriveStayInTheFile) {
    std::string one = Dir("_one");
    std::string text = "Q:\\away\\tool.exe\r\n" + one + "\r\n-Q:\\away\r\n";
    ASSERT_TRUE(WriteDataFile(folder, "vorn_d.dat", text));
    OptboxProcess box;
    HWND dialog = nullptr, page = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(GoToRow(dialog, ROW_DEFAULT2, ID_DEF_LIST, &page));
    HWND list = GetDlgItem(page, ID_DEF_LIST);
    ASSERT_TRUE(WaitRows(list, {"Q:\\away\\tool.exe", one, "+Q:\\away"}));
    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadDataFile(folder, "vorn_d.dat"), text);
}

// A page collected late that refuses at OK leaves the earlier pages' files as they were.
TEST_F(OptboxItemsE2E, APageThatRefusesAtOkLeavesEveryFileAsItWas) {
    std::string one = Dir("_one"), two = Dir("_two"), text = one + "\r\n" + two + "\r\n";
    ASSERT_TRUE(WriteDataFile(folder, "vorn_d.dat", text));
    OptboxProcess box;
    HWND dialog = nullptr, page = nullptr, message = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(GoToRow(dialog, ROW_DEFAULT2, ID_DEF_LIST, &page));
    HWND list = GetDlgItem(page, ID_DEF_LIST);
    ASSERT_TRUE(WaitRows(list, {one, two}));
    ASSERT_TRUE(FocusFirstRow(list));
    ASSERT_TRUE(Click(page, ID_DEF_DELETE));
    ASSERT_TRUE(WaitRows(list, {two}));
    // The preview page, collected last, refuses its plug-in folder.
    ASSERT_TRUE(GoToRow(dialog, ROW_PREVIEW, ID_PREV_BKCOLOR, &page));
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, ID_PREV_SPI), ("C:\\" + std::string(258, 'p')).c_str()));
    ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDOK)));
    ASSERT_TRUE(WaitFor([&] { return (message = FindDialogOf(box.Pid(), "Optbox")) != nullptr; })) << "no message";
    ASSERT_TRUE(Activate(message));
    ASSERT_TRUE(PressKeyUntil(VK_RETURN, 0, [&] { return !IsWindow(message); }));
    EXPECT_EQ(ReadDataFile(folder, "vorn_d.dat"), text) << "written before every page was collected";
    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDCANCEL));
    EXPECT_EQ(ReadDataFile(folder, "vorn_d.dat"), text);
}

TEST_F(OptboxItemsE2E, FavoritesPagesAndFilterAreWrittenAndVornListsThem) {
    std::string docs = Dir("_docs"), more = Dir("_more");
    std::string note = File(docs, "note.md");
    File(docs, "skip.txt");
    std::string plain = File(folder, "plain.txt");
    std::string inMore = File(more, "m.txt");
    ASSERT_TRUE(WriteDataFile(folder, "vorn_f.dat", "-\"*.txt\"" + docs + "\r\n" + plain + "\r\n>\r\n-" + more + "\r\n"));
    OptboxProcess box;
    HWND dialog = nullptr, page = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(GoToRow(dialog, ROW_FAVORITE2, ID_FAV_LIST, &page));
    HWND list = GetDlgItem(page, ID_FAV_LIST);
    ASSERT_TRUE(WaitRows(list, {"+" + docs + "|*.txt", plain, "<NEXT PAGE>", "+" + more}));

    // A second page break before the last row, a blank row at the top.
    ASSERT_TRUE(FocusFirstRow(list));
    ASSERT_TRUE(PressKeyUntil(VK_END, 0, [&] { return ListSelectedRows(list) == std::vector<int>{3}; }));
    ASSERT_TRUE(Click(page, ID_FAV_NEXTPAGE));
    ASSERT_TRUE(WaitRows(list, {"+" + docs + "|*.txt", plain, "<NEXT PAGE>", "<NEXT PAGE>", "+" + more}));
    ASSERT_TRUE(Click(page, ID_FAV_DOWN));
    ASSERT_TRUE(WaitRows(list, {"+" + docs + "|*.txt", plain, "<NEXT PAGE>", "+" + more, "<NEXT PAGE>"}));

    // The filter of the checked folder: double-click, new patterns, OK.
    RECT cell;
    ASSERT_TRUE(ListRowRect(list, 0, &cell));
    POINT at = {(cell.left + cell.right) / 2, (cell.top + cell.bottom) / 2};
    ClientToScreen(list, &at);
    ASSERT_TRUE(DoubleClickAt(at.x, at.y));
    HWND filter = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (filter = FindDialogOf(box.Pid(), "フィルタ設定")) != nullptr; }));
    EXPECT_EQ(WindowText(GetDlgItem(filter, ID_FILTER_TEXT)), "*.txt");
    ASSERT_TRUE(TypeIntoField(GetDlgItem(filter, ID_FILTER_TEXT), "*.md;*.txt"));
    ASSERT_TRUE(ClickWindow(GetDlgItem(filter, IDOK)));
    ASSERT_TRUE(WaitRows(list, {"+" + docs + "|*.md;*.txt", plain, "<NEXT PAGE>", "+" + more, "<NEXT PAGE>"}));

    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadDataFile(folder, "vorn_f.dat"),
              "-\"*.md;*.txt\"" + docs + "\r\n" + plain + "\r\n>\r\n-" + more + "\r\n>\r\n");

    // vorn reads the same entries: page 0, then page 1.
    ASSERT_TRUE(WriteIni(IniWith({"common.tray=0"})));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    auto rowsAre = [&](std::vector<std::string> want) {
        return [this, want] {
            HWND shown = ShownListView(vorn.Pid());
            return shown && ListRowTexts(shown) == want;
        };
    };
    std::string skip = PathIn(docs.c_str(), "skip.txt");
    EXPECT_TRUE(PressKeyUntil('F', KEY_CTRL, rowsAre({note, skip, plain})));
    EXPECT_TRUE(PressKeyUntil('N', KEY_CTRL, rowsAre({inMore})));
}
