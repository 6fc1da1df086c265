// optbox_pages_apps_test.cpp - the registered-applications page, its entry
// dialog and the key page end to end: applications added, refused, moved and
// deleted with real input are written to "data\vorn_e.dat"; the key page lists a
// new application with "(NONE)", captures keys with its messages, and changes,
// adds, deletes and restores bindings written to "data\keymap".
#include <string>
#include <vector>

#include "tests/e2e/listread.h"
#include "tests/e2e/optbox_harness.h"

namespace {

enum {
    ID_APPS_UP = 1033, ID_APPS_DOWN = 1035, ID_APPS_ADD = 1036, ID_APPS_EDIT = 1037, ID_APPS_LIST = 1038,
    ID_APPS_DELETE = 1039, ID_ENTRY_NAME = 1001, ID_ENTRY_PATH = 1002, ID_ENTRY_ARGS = 1003,
    ID_ENTRY_FOLDER = 1004, ID_KEYS_CAPTURE = 1001, ID_KEYS_LIST = 1061, ID_KEYS_CHANGE = 1075,
    ID_KEYS_DELETE = 1076, ID_KEYS_DEFAULT = 1077, ID_KEYS_ALT = 1078, ID_KEYS_CTRL = 1079,
    ID_KEYS_SHIFT = 1080, ID_KEYS_MESSAGE = 1081, ID_KEYS_ADD = 1082
};

std::string AppSection(int n, const std::string& name, const std::string& path, const std::string& arg,
                       const std::string& folder, int id) {
    return "[EXE" + std::to_string(n) + "]\r\nname=" + name + "\r\npath=" + path + "\r\narg=" + arg +
           "\r\nfolder=" + folder + "\r\ncmd=" + std::to_string(id) + "\r\n";
}

// "name|key" of every row of the key page.
std::vector<std::string> KeyRows(HWND list) {
    std::vector<std::string> rows;
    int n = ListRowCount(list);
    for (int i = 0; i < n; i++) {
        std::string name, key;
        ListCellText(list, i, 0, &name);
        ListCellText(list, i, 1, &key);
        rows.push_back(name + "|" + key);
    }
    return rows;
}

// The default command block of "data\keymap" with some lines replaced.
std::string CommandBlock(const std::vector<std::pair<int, std::string>>& replaced) {
    static const char* const defaults[24] = {"0,552",  "1,550",  "2,589",  "3,582",  "4,590",  "5,581",
                                             "6,584",  "7,588",  "8,596",  "9,520",  "10,586", "11,577",
                                             "12,578", "13,579", "14,598", "15,600", "16,602", "17,1603",
                                             "18,1622", "19,1624", "22,594", "23,580", "20,113", "21,1051"};
    std::vector<std::string> lines(defaults, defaults + 24);
    for (const auto& r : replaced) lines[r.first] = r.second;
    std::string s;
    int count = 0;
    for (const std::string& l : lines)
        if (!l.empty()) count++;
    s = std::to_string(count) + "\r\n";
    for (const std::string& l : lines)
        if (!l.empty()) s += l + "\r\n";
    return s;
}

}  // namespace

struct OptboxAppsE2E : public OptboxTest {
    std::string one, two, three;  // copies of the recorder

    void SetUp() override {
        OptboxTest::SetUp();
        one = CopyTool("recorder.exe", "apps", "one.exe");
        two = CopyTool("recorder.exe", "apps", "two.exe");
        three = CopyTool("recorder.exe", "apps", "three.exe");
        ASSERT_FALSE(one.empty() || two.empty() || three.empty());
    }
    std::string AppsFolder(void) { return PathIn(folder, "apps"); }

    // Opens the entry dialog with the button and waits for it.
    ::testing::AssertionResult OpenEntry(OptboxProcess* box, HWND page, int button, HWND dialog, HWND* entry) {
        if (!ClickWindow(GetDlgItem(page, button))) return ::testing::AssertionFailure() << "no click";
        if (!WaitFor([&] { return (*entry = FindDialogOf(box->Pid(), "登録アプリ", dialog)) != nullptr; }))
            return ::testing::AssertionFailure() << "no entry dialog";
        return ::testing::AssertionSuccess();
    }
    // Fills the entry dialog and presses its OK.
    ::testing::AssertionResult FillEntry(HWND entry, const char* name, const std::string& path) {
        if (!TypeIntoField(GetDlgItem(entry, ID_ENTRY_PATH), path.c_str()) ||
            !TypeIntoField(GetDlgItem(entry, ID_ENTRY_NAME), name))
            return ::testing::AssertionFailure() << "cannot type";
        if (!ClickWindow(GetDlgItem(entry, IDOK))) return ::testing::AssertionFailure() << "no OK";
        return ::testing::AssertionSuccess();
    }
    // Waits for the message box of Optbox, checks its text and closes it.
    ::testing::AssertionResult ExpectMessage(OptboxProcess* box, const std::string& text) {
        HWND message = nullptr;
        if (!WaitFor([&] { return (message = FindDialogOf(box->Pid(), "Optbox")) != nullptr; }))
            return ::testing::AssertionFailure() << "no message box";
        std::string shown = MessageBoxText(message);
        // Enter presses the box's default button (OK).
        SetForegroundWindow(message);
        if (!PressKeyUntil(VK_RETURN, 0, [&] { return !IsWindow(message); }))
            return ::testing::AssertionFailure() << "box stays";
        if (shown != text) return ::testing::AssertionFailure() << "message \"" << shown << "\"";
        return ::testing::AssertionSuccess();
    }
    ::testing::AssertionResult SelectRow(HWND list, int row) {
        if (!ClickWindow(list) || !WaitFor([&] { return ControlHasFocus(list); }))
            return ::testing::AssertionFailure() << "no focus";
        // A click on the empty part clears the selection, and Home on the row
        // that has the focus selects nothing: Down first moves the focus.
        if (!TapKey(VK_DOWN)) return ::testing::AssertionFailure() << "no key";
        if (!PressKeyUntil(VK_HOME, 0, [&] { return ListSelectedRows(list) == std::vector<int>{0}; }))
            return ::testing::AssertionFailure() << "no row 0";
        for (int i = 1; i <= row; i++)
            if (!PressKeyUntil(VK_DOWN, 0, [&] { return ListSelectedRows(list) == std::vector<int>{i}; }))
                return ::testing::AssertionFailure() << "no row " << i;
        return ::testing::AssertionSuccess();
    }
};

TEST_F(OptboxAppsE2E, ApplicationsAreAddedRefusedMovedDeletedAndWritten) {
    std::string apps = AppsFolder();
    ASSERT_TRUE(WriteDataFile(folder, "vorn_e.dat",
                              AppSection(1, "one", one, "-a", apps, 1000) + AppSection(2, "two", two, "", "", 1002)));
    OptboxProcess box;
    HWND dialog = nullptr, page = nullptr, entry = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(GoToRow(dialog, ROW_APPS, ID_APPS_LIST, &page));
    HWND list = GetDlgItem(page, ID_APPS_LIST);
    ASSERT_TRUE(WaitFor([&] { return ListRowTexts(list) == std::vector<std::string>{"one", "two"}; }));

    // A name that is taken is refused and the dialog stays.
    ASSERT_TRUE(OpenEntry(&box, page, ID_APPS_ADD, dialog, &entry));
    ASSERT_TRUE(FillEntry(entry, "two", three));
    ASSERT_TRUE(ExpectMessage(&box, "two\r\nはすでに存在しています。"));
    ASSERT_TRUE(IsWindow(entry));
    // So is a path that does not exist.
    ASSERT_TRUE(FillEntry(entry, "three", "C:\\no\\such.exe"));
    ASSERT_TRUE(ExpectMessage(&box, "C:\\no\\such.exe\nは存在しないか不正なパスです。"));
    ASSERT_TRUE(FillEntry(entry, "three", three));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(entry); }));
    // Nothing selected: the new row goes at the end, with the smallest free id.
    ASSERT_TRUE(WaitFor([&] { return ListRowTexts(list) == std::vector<std::string>{"one", "two", "three"}; }));

    // Editing keeps the id; its own name is accepted.
    ASSERT_TRUE(SelectRow(list, 0));
    ASSERT_TRUE(OpenEntry(&box, page, ID_APPS_EDIT, dialog, &entry));
    EXPECT_EQ(WindowText(GetDlgItem(entry, ID_ENTRY_ARGS)), "-a");
    ASSERT_TRUE(TypeIntoField(GetDlgItem(entry, ID_ENTRY_ARGS), "-b"));
    ASSERT_TRUE(ClickWindow(GetDlgItem(entry, IDOK)));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(entry); }));

    // Down moves "one" below "two", Up moves "three" above it; delete "two".
    ASSERT_TRUE(SelectRow(list, 0));
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_APPS_DOWN)));
    ASSERT_TRUE(WaitFor([&] { return ListRowTexts(list) == std::vector<std::string>{"two", "one", "three"}; }));
    ASSERT_TRUE(SelectRow(list, 2));
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_APPS_UP)));
    ASSERT_TRUE(WaitFor([&] { return ListRowTexts(list) == std::vector<std::string>{"two", "three", "one"}; }));
    ASSERT_TRUE(SelectRow(list, 0));
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, ID_APPS_DELETE)));
    ASSERT_TRUE(WaitFor([&] { return ListRowTexts(list) == std::vector<std::string>{"three", "one"}; }));
    EXPECT_TRUE(WaitFor([&] { return ListSelectedRows(list) == std::vector<int>{0}; }));

    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadDataFile(folder, "vorn_e.dat"),
              AppSection(1, "three", three, "", "", 1001) + AppSection(2, "one", one, "-b", apps, 1000));
    EXPECT_FALSE(PathExists(PathIn(folder, "data\\vorn_e.tmp")));
}

TEST_F(OptboxAppsE2E, KeyPageListsANewApplicationAndEditsBindings) {
    std::string apps = AppsFolder();
    ASSERT_TRUE(WriteDataFile(folder, "vorn_e.dat", AppSection(1, "one", one, "", apps, 1000)));
    ASSERT_TRUE(WriteDataFile(folder, "keymap", CommandBlock({}) + "---\r\n1\r\n1000,593\r\n"));
    OptboxProcess box;
    HWND dialog = nullptr, page = nullptr, entry = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(GoToRow(dialog, ROW_APPS, ID_APPS_LIST, &page));
    ASSERT_TRUE(OpenEntry(&box, page, ID_APPS_ADD, dialog, &entry));
    ASSERT_TRUE(FillEntry(entry, "two", two));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(entry); }));

    // The key page lists the new application with "(NONE)" before OK.
    HWND keys = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_KEYS, ID_KEYS_LIST, &keys));
    HWND list = GetDlgItem(keys, ID_KEYS_LIST);
    ASSERT_TRUE(WaitFor([&] { return ListRowCount(list) == 26; })) << ListRowCount(list);
    std::vector<std::string> rows = KeyRows(list);
    EXPECT_EQ(rows[0], "リストスクロール(下)|Ctrl+Down");
    EXPECT_EQ(rows[24], "one|Ctrl+Q");
    EXPECT_EQ(rows[25], "two|(NONE)");

    // On the new application (CTRL is still checked from the row above it):
    // Ctrl+F5 is free; without CTRL it is F5, which needs no modifier; A alone
    // asks for one; Ctrl+A and Ctrl+C are refused as bound; Ctrl+K is free.
    HWND capture = GetDlgItem(keys, ID_KEYS_CAPTURE);
    HWND message = GetDlgItem(keys, ID_KEYS_MESSAGE);
    ASSERT_TRUE(SelectRow(list, 25));
    EXPECT_TRUE(ButtonChecked(GetDlgItem(keys, ID_KEYS_CTRL)));
    auto focusCapture = [&] { return ClickWindow(capture) && WaitFor([&] { return ControlHasFocus(capture); }); };
    ASSERT_TRUE(focusCapture());
    ASSERT_TRUE(TapKey(VK_F5));
    EXPECT_TRUE(WaitFor([&] { return WindowText(capture) == "Ctrl+F5" && WindowText(message) == "two"; }))
        << WindowText(capture) << " / " << WindowText(message);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(keys, ID_KEYS_CHANGE)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(keys, ID_KEYS_ADD))) << "a (NONE) row can only be changed";
    ASSERT_TRUE(ClickWindow(GetDlgItem(keys, ID_KEYS_CTRL)));
    EXPECT_TRUE(WaitFor([&] { return WindowText(capture) == "F5"; })) << WindowText(capture);
    ASSERT_TRUE(focusCapture());
    ASSERT_TRUE(TapKey('A'));
    EXPECT_TRUE(WaitFor([&] { return WindowText(message) == "Alt,Ctrl,Shiftと組み合わせてください"; }))
        << WindowText(message);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(keys, ID_KEYS_CHANGE)));
    ASSERT_TRUE(ClickWindow(GetDlgItem(keys, ID_KEYS_CTRL)));
    EXPECT_TRUE(WaitFor([&] { return WindowText(message) == "two - Ctrl+A は\r\nEdit-文字列すべて選択 に割り当て済み"; }))
        << WindowText(message);
    ASSERT_TRUE(focusCapture());
    ASSERT_TRUE(TapKey('C'));
    EXPECT_TRUE(WaitFor([&] { return WindowText(message) == "two - Ctrl+C は\r\nEdit-文字列コピー に割り当て済み"; }))
        << WindowText(message);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(keys, ID_KEYS_CHANGE)));
    ASSERT_TRUE(TapKey('K'));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(keys, ID_KEYS_CHANGE)); }));
    ASSERT_TRUE(ClickWindow(GetDlgItem(keys, ID_KEYS_CHANGE)));
    ASSERT_TRUE(WaitFor([&] { return KeyRows(list)[25] == "two|Ctrl+K"; })) << KeyRows(list)[25];

    // Row 1 gets a second key (Ctrl+Shift+U), then its first is deleted: that row goes.
    ASSERT_TRUE(SelectRow(list, 1));
    ASSERT_TRUE(ClickWindow(GetDlgItem(keys, ID_KEYS_SHIFT)));
    ASSERT_TRUE(focusCapture());
    ASSERT_TRUE(TapKey('U'));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(keys, ID_KEYS_ADD)); })) << WindowText(capture);
    ASSERT_TRUE(ClickWindow(GetDlgItem(keys, ID_KEYS_ADD)));
    ASSERT_TRUE(WaitFor([&] { return KeyRows(list).size() == 27; }));
    EXPECT_EQ(KeyRows(list)[2], "リストスクロール(上)|Ctrl+Shift+U");
    ASSERT_TRUE(SelectRow(list, 1));
    ASSERT_TRUE(ClickWindow(GetDlgItem(keys, ID_KEYS_DELETE)));
    ASSERT_TRUE(ExpectMessage(&box, "リストスクロール(上) Ctrl+Up\r\nの設定を無効にします。"));
    ASSERT_TRUE(WaitFor([&] { return KeyRows(list).size() == 26; }));
    EXPECT_EQ(KeyRows(list)[1], "リストスクロール(上)|Ctrl+Shift+U");

    // The only key of row 0 deleted: "(NONE)"; "既定" brings it back.
    ASSERT_TRUE(SelectRow(list, 0));
    ASSERT_TRUE(ClickWindow(GetDlgItem(keys, ID_KEYS_DELETE)));
    ASSERT_TRUE(ExpectMessage(&box, "リストスクロール(下) Ctrl+Down\r\nの設定を無効にします。"));
    ASSERT_TRUE(WaitFor([&] { return KeyRows(list)[0] == "リストスクロール(下)|(NONE)"; }));
    // Row 3 loses its key and gets the default again.
    ASSERT_TRUE(SelectRow(list, 3));
    ASSERT_TRUE(ClickWindow(GetDlgItem(keys, ID_KEYS_DELETE)));
    ASSERT_TRUE(ExpectMessage(&box, "List-Favorite表示 Ctrl+F\r\nの設定を無効にします。"));
    ASSERT_TRUE(WaitFor([&] { return KeyRows(list)[3] == "List-Favorite表示|(NONE)"; }));
    ASSERT_TRUE(ClickWindow(GetDlgItem(keys, ID_KEYS_DEFAULT)));
    ASSERT_TRUE(ExpectMessage(&box, "List-Favorite表示 (NONE)\r\nをデフォルトのキーに戻します。"));
    ASSERT_TRUE(WaitFor([&] { return KeyRows(list)[3] == "List-Favorite表示|Ctrl+F"; }));

    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadDataFile(folder, "keymap"),
              CommandBlock({{0, "0,0"}, {1, "1,1621"}}) + "---\r\n2\r\n1000,593\r\n1001,587\r\n");
}

TEST_F(OptboxAppsE2E, CancelAfterEditingLeavesTheFilesAlone) {
    std::string apps = AppsFolder();
    std::string original = AppSection(1, "one", one, "", apps, 1000);
    ASSERT_TRUE(WriteDataFile(folder, "vorn_e.dat", original));
    OptboxProcess box;
    HWND dialog = nullptr, page = nullptr, entry = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(GoToRow(dialog, ROW_APPS, ID_APPS_LIST, &page));
    ASSERT_TRUE(OpenEntry(&box, page, ID_APPS_ADD, dialog, &entry));
    ASSERT_TRUE(FillEntry(entry, "two", two));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(entry); }));
    HWND keys = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_KEYS, ID_KEYS_LIST, &keys));
    // Leaving the page wrote the temporary file the key page reads.
    EXPECT_TRUE(PathExists(PathIn(folder, "data\\vorn_e.tmp")));
    EXPECT_TRUE(WaitFor([&] { return KeyRows(GetDlgItem(keys, ID_KEYS_LIST)).back() == "two|(NONE)"; }));
    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDCANCEL));
    EXPECT_EQ(ReadDataFile(folder, "vorn_e.dat"), original);
    EXPECT_FALSE(PathExists(PathIn(folder, "data\\vorn_e.tmp")));
}

// A program on a drive that is away just now loses nothing: its application
// is listed, marked, written back as it was, and keeps its key.
TEST_F(OptboxAppsE2E, AnApplicationWhoseProgramIsAwayIsMarkedAndKeptWithItsKey) {
    std::string text = AppSection(1, "one", one, "", "", 1000) + AppSection(2, "away", "Q:\\away\\t.exe", "-x", "", 1001);
    std::string keymap = CommandBlock({}) + "---\r\n2\r\n1000,593\r\n1001,587\r\n";
    ASSERT_TRUE(WriteDataFile(folder, "vorn_e.dat", text) && WriteDataFile(folder, "keymap", keymap));
    OptboxProcess box;
    HWND dialog = nullptr, page = nullptr, keys = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(GoToRow(dialog, ROW_APPS, ID_APPS_LIST, &page));
    HWND list = GetDlgItem(page, ID_APPS_LIST);
    ASSERT_TRUE(WaitFor([&] { return ListRowTexts(list) == std::vector<std::string>{"one", "away"}; }));
    EXPECT_EQ(ListRowImage(list, 1), 0) << "the missing program is not marked";
    EXPECT_NE(ListRowImage(list, 0), 0);
    ASSERT_TRUE(GoToRow(dialog, ROW_KEYS, ID_KEYS_LIST, &keys));
    EXPECT_FALSE(ShowsRow(dialog, ROW_DEFAULT2, ID_KEYS_LIST)) << "Default(2)'s list has the same id";
    ASSERT_TRUE(WaitFor([&] { return ListRowCount(GetDlgItem(keys, ID_KEYS_LIST)) == 26; }));
    EXPECT_EQ(KeyRows(GetDlgItem(keys, ID_KEYS_LIST))[25], "away|Ctrl+K");
    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadDataFile(folder, "vorn_e.dat"), text);
    EXPECT_EQ(ReadDataFile(folder, "keymap"), keymap);
}

// A file of applications that cannot be read is said so, and neither it nor
// the keys of its applications are written.
TEST_F(OptboxAppsE2E, ApplicationsThatCannotBeReadKeepTheirKeysAndTheUserIsTold) {
    std::string text = AppSection(1, "one", one, "", "", 1000);
    std::string keymap = CommandBlock({}) + "---\r\n1\r\n1000,593\r\n";
    ASSERT_TRUE(WriteDataFile(folder, "vorn_e.dat", text) && WriteDataFile(folder, "keymap", keymap));
    // Held without sharing, as another program may hold it for a moment.
    HANDLE held = CreateFileA(Path("data\\vorn_e.dat").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    OptboxProcess box;
    HWND dialog = nullptr, page = nullptr, keys = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(GoToRow(dialog, ROW_APPS, ID_APPS_LIST, &page));
    EXPECT_TRUE(ExpectMessage(&box, Path("data\\vorn_e.dat") + "\r\nを読み込めませんでした。\r\n「登録アプリ」は"
                                    "編集も保存もできません。\r\n登録アプリのキー割り当てはそのまま残ります。"));
    ASSERT_TRUE(GoToRow(dialog, ROW_KEYS, ID_KEYS_LIST, &keys));
    EXPECT_EQ(ListRowCount(GetDlgItem(keys, ID_KEYS_LIST)), 24) << "applications listed that could not be read";
    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    CloseHandle(held);
    EXPECT_EQ(ReadDataFile(folder, "vorn_e.dat"), text);
    EXPECT_EQ(ReadDataFile(folder, "keymap"), keymap);
}

// A key given to an application on the key page is the key vorn then starts it
// with: Optbox's files are read by vorn as they were written.
TEST_F(OptboxAppsE2E, AKeyBoundInOptboxStartsItsApplicationInVorn) {
    std::string apps = AppsFolder();
    ASSERT_TRUE(WriteDataFile(folder, "vorn_e.dat", AppSection(1, "one", one, "", apps, 1000)));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    OptboxProcess box;
    HWND dialog = nullptr, keys = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(GoToRow(dialog, ROW_KEYS, ID_KEYS_LIST, &keys));
    HWND list = GetDlgItem(keys, ID_KEYS_LIST);
    ASSERT_TRUE(WaitFor([&] { return ListRowCount(list) == 25; })) << ListRowCount(list);
    ASSERT_EQ(KeyRows(list)[24], "one|(NONE)");
    ASSERT_TRUE(SelectRow(list, 24));
    HWND capture = GetDlgItem(keys, ID_KEYS_CAPTURE);
    // The modifier boxes keep what the row before showed: Ctrl alone.
    for (int id : {ID_KEYS_CTRL, ID_KEYS_ALT, ID_KEYS_SHIFT}) {
        bool want = id == ID_KEYS_CTRL;
        if (ButtonChecked(GetDlgItem(keys, id)) != want) {
            ASSERT_TRUE(ClickWindow(GetDlgItem(keys, id)));
        }
        ASSERT_TRUE(WaitFor([&] { return ButtonChecked(GetDlgItem(keys, id)) == want; })) << id;
    }
    ASSERT_TRUE(ClickWindow(capture) && WaitFor([&] { return ControlHasFocus(capture); }));
    ASSERT_TRUE(TapKey('K'));
    ASSERT_TRUE(WaitFor([&] { return IsWindowEnabled(GetDlgItem(keys, ID_KEYS_CHANGE)); }))
        << WindowText(capture) << " / " << WindowText(GetDlgItem(keys, ID_KEYS_MESSAGE));
    ASSERT_TRUE(ClickWindow(GetDlgItem(keys, ID_KEYS_CHANGE)));
    ASSERT_TRUE(WaitFor([&] { return KeyRows(list)[24] == "one|Ctrl+K"; })) << KeyRows(list)[24];
    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDOK));

    std::string file = PathIn(folder, "note.txt");
    ASSERT_TRUE(WriteFileBytes(file.c_str(), "n"));
    RecordFile record(Path("record.txt"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, file));
    ASSERT_TRUE(PressKeyUntil('K', KEY_CTRL, [&] { return record.Records().size() == 1; }))
        << "Ctrl+K did not start the application";
    EXPECT_EQ(record.Records()[0].program, one);
    EXPECT_EQ(record.Records()[0].args, "\"" + file + "\" ");
}
