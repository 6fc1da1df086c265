// history_test.cpp - the History seen from outside: what runs from the box
// and from the item list is remembered newest first within [his] size, kept
// in "data\vorn_h.dat" across a restart and shown by Ctrl+H; "#SaveHistory"
// writes the file at once, "#FreeHistory" empties it for good, and Ctrl+H is
// an on/off switch that gives the typed text back.
//
// The executed entries are documents of a type registered for the test,
// opened by a copy of recorder.exe: every run leaves a record, so each
// Enter can be waited for.
#include "tests/e2e/observe.h"

#include <commctrl.h>
#include <string.h>

#include <string>
#include <vector>

#include "tests/e2e/listread.h"

namespace {

const char kDocExt[] = ".vornhisdoc";
const char kDocClass[] = "vornhisdoc_file";
const char kHistoryFile[] = "vorn_h.dat";

}  // namespace

struct HistoryE2E : public RunTest {
    VornProcess vorn;
    std::string program;

    void TearDown() override {
        DWORD code = 0;
        if (vorn.Alive()) vorn.Close(E2E_EXIT_MS, &code);
        vorn.Kill();
        RunTest::TearDown();
    }

    // Settings with the given History size; the box keeps its text after a
    // run (exemode 1) and nothing is dropped while typing.
    ::testing::AssertionResult WriteSettings(const char* size) {
        std::string sizeKey = std::string("his.size=") + size;
        return WriteIniWith({"common.tray=0", "common.exemode=1", "path.typoctr=0", sizeKey.c_str()});
    }

    // Makes <test folder>\docs\<name> + the document extension.
    std::string MakeDoc(const char* name) {
        std::string docs = Path("docs");
        CreateDirectoryA(docs.c_str(), nullptr);
        std::string doc = PathIn(docs.c_str(), (std::string(name) + kDocExt).c_str());
        return WriteFileBytes(doc.c_str(), name) ? doc : std::string();
    }

    // Hands text to the box and runs it; success once the recorder has
    // written its record number `count`.
    ::testing::AssertionResult Run(const std::string& text, const RecordFile& records, size_t count) {
        ::testing::AssertionResult handed = HandText(&vorn, text);
        if (!handed) return handed;
        if (!PressKey(VK_RETURN)) return ::testing::AssertionFailure() << "Enter refused";
        if (!records.WaitCount(count))
            return ::testing::AssertionFailure() << "\"" << text << "\" did not start its program";
        return ::testing::AssertionSuccess();
    }

    // Ctrl+H until the History list shows rows; its window, or null.
    HWND ShowHistoryList(void) {
        HWND list = nullptr;
        PressKeyUntil('H', KEY_CTRL, [&] {
            list = ShownListView(vorn.Pid());
            return list && ListRowCount(list) > 0;
        });
        return list;
    }

    // Ctrl+H, then Ctrl+M twice under the same Ctrl: the keys are handled in
    // turn, so once the built-in list has come and gone, Ctrl+H has been
    // handled. Had Ctrl+H shown a list, the built-in list would have replaced
    // it, and the box would be left empty instead of getting its text back.
    // True when the built-in list came and went.
    bool CtrlHThenBuiltinListOnAndOff(void) {
        bool ok = SettleModifiers(KEY_CTRL) && TapKey('H') && TapKey('M') && WaitFor([&] {
                      HWND shown = ShownListView(vorn.Pid());
                      return shown && ListRowCount(shown) > 0;
                  });
        ok = ok && TapKey('M') && WaitFor([&] { return VisibleListViews(vorn.Pid()).empty(); });
        ReleaseModifiers(KEY_CTRL);
        return ok;
    }

    std::string HistoryBytes(void) const { return ReadDataFile(folder, kHistoryFile); }
    std::string HistoryPath(void) const { return Path("data\\vorn_h.dat"); }

    ::testing::AssertionResult CloseVorn(void) {
        DWORD code = 1234;
        if (!vorn.Close(E2E_EXIT_MS, &code)) return ::testing::AssertionFailure() << "vorn did not end";
        vorn.Kill();
        return ::testing::AssertionSuccess();
    }
};

TEST_F(HistoryE2E, NewestEntriesWithinTheSizeSurviveARestartAndARerunMovesUp) {
    ASSERT_TRUE(WriteSettings("3"));
    program = CopyTool("recorder.exe", "bin", "rec.exe");
    ASSERT_FALSE(program.empty()) << "recorder.exe must be built beside the tests";
    FileType type(kDocExt, kDocClass, program);
    ASSERT_TRUE(type.ok);
    std::string a = MakeDoc("a"), b = MakeDoc("b"), c = MakeDoc("c"), d = MakeDoc("d");
    ASSERT_FALSE(a.empty() || b.empty() || c.empty() || d.empty());
    RecordFile records(Path("record.txt"));

    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    size_t runs = 0;
    for (const std::string& doc : {a, b, c, d}) ASSERT_TRUE(Run(doc, records, ++runs));
    ASSERT_TRUE(CloseVorn());
    // Each run went in once: three distinct entries, newest first.
    EXPECT_EQ(HistoryBytes(), d + "\r\n" + c + "\r\n" + b + "\r\n");

    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND list = ShowHistoryList();
    ASSERT_NE(list, nullptr) << "Ctrl+H showed no History";
    EXPECT_EQ(ListRowTexts(list), (std::vector<std::string>{d, c, b}));
    EXPECT_TRUE(vorn.EditText().empty()) << "the box holds \"" << vorn.EditText() << "\"";
    ASSERT_TRUE(PressKeyUntil('H', KEY_CTRL, [&] { return VisibleListViews(vorn.Pid()).empty(); }));

    // The same document under another letter case replaces its older entry
    // and comes first; the oldest one drops out.
    std::string upperB = b;
    upperB.replace(upperB.size() - strlen(kDocExt) - 1, 1, "B");
    ASSERT_TRUE(Run(upperB, records, ++runs));
    list = ShowHistoryList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListRowTexts(list), (std::vector<std::string>{upperB, d, c}));
}

TEST_F(HistoryE2E, FreeHistoryEmptiesTheFileForGood) {
    ASSERT_TRUE(WriteSettings("20"));
    ASSERT_TRUE(WriteDataFile(folder, kHistoryFile, "C:\\one\r\nC:\\two\r\n"));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND list = ShowHistoryList();
    ASSERT_NE(list, nullptr) << "the History of the file was not shown";
    EXPECT_EQ(ListRowTexts(list), (std::vector<std::string>{"C:\\one", "C:\\two"}));
    ASSERT_TRUE(PressKeyUntil('H', KEY_CTRL, [&] { return VisibleListViews(vorn.Pid()).empty(); }));

    ASSERT_TRUE(HandText(&vorn, "#FreeHistory"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return PathExists(HistoryPath()) && HistoryBytes().empty(); }))
        << "the file still holds \"" << HistoryBytes() << "\"";

    // Nothing to show now.
    ASSERT_TRUE(HandText(&vorn, "keep|me"));
    ASSERT_TRUE(CtrlHThenBuiltinListOnAndOff());
    EXPECT_EQ(vorn.EditText(), "keep|me") << "Ctrl+H showed a list";

    ASSERT_TRUE(HandText(&vorn, "#Exit"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    DWORD code = 1234;
    ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code));
    EXPECT_TRUE(PathExists(HistoryPath()));
    EXPECT_EQ(HistoryBytes(), "") << "an empty History was written over the emptied file";
}

TEST_F(HistoryE2E, FreeHistoryDoesNotCreateAMissingFile) {
    ASSERT_TRUE(WriteSettings("20"));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, "#FreeHistory"));
    // The box empties once the command has run.
    ASSERT_TRUE(EnterHandled(&vorn, ""));
    ASSERT_TRUE(CloseVorn());
    EXPECT_FALSE(PathExists(HistoryPath()));
}

TEST_F(HistoryE2E, SaveHistoryWritesTheFileWhileRunning) {
    ASSERT_TRUE(WriteSettings("20"));
    program = CopyTool("recorder.exe", "bin", "rec.exe");
    ASSERT_FALSE(program.empty()) << "recorder.exe must be built beside the tests";
    FileType type(kDocExt, kDocClass, program);
    ASSERT_TRUE(type.ok);
    std::string a = MakeDoc("a"), b = MakeDoc("b");
    ASSERT_FALSE(a.empty() || b.empty());
    RecordFile records(Path("record.txt"));

    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(Run(a, records, 1));
    ASSERT_TRUE(Run(b, records, 2));
    EXPECT_FALSE(PathExists(HistoryPath())) << "written before it was asked for";

    ASSERT_TRUE(HandText(&vorn, "#SaveHistory"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    std::string want = b + "\r\n" + a + "\r\n";
    EXPECT_TRUE(WaitFor([&] { return HistoryBytes() == want; }))
        << "the file holds \"" << HistoryBytes() << "\"";
    EXPECT_TRUE(vorn.Alive());
}

TEST_F(HistoryE2E, SizeZeroRecordsNothingAndShowsNothing) {
    ASSERT_TRUE(WriteSettings("0"));
    ASSERT_TRUE(WriteDataFile(folder, kHistoryFile, "C:\\kept\r\n"));
    program = CopyTool("recorder.exe", "bin", "rec.exe");
    ASSERT_FALSE(program.empty()) << "recorder.exe must be built beside the tests";
    FileType type(kDocExt, kDocClass, program);
    ASSERT_TRUE(type.ok);
    std::string a = MakeDoc("a");
    ASSERT_FALSE(a.empty());
    RecordFile records(Path("record.txt"));

    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(Run(a, records, 1));
    ASSERT_TRUE(HandText(&vorn, "keep|me"));
    ASSERT_TRUE(CtrlHThenBuiltinListOnAndOff());
    EXPECT_EQ(vorn.EditText(), "keep|me") << "Ctrl+H showed a list";
    ASSERT_TRUE(CloseVorn());
    EXPECT_EQ(HistoryBytes(), "C:\\kept\r\n") << "the file was touched";
}

TEST_F(HistoryE2E, CtrlHTwiceTogglesTheListAndGivesBackTheTypedText) {
    ASSERT_TRUE(WriteSettings("20"));
    ASSERT_TRUE(WriteDataFile(folder, kHistoryFile, "C:\\one\r\nC:\\two\r\nC:\\three\r\n"));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, "typed|text"));

    HWND list = ShowHistoryList();
    ASSERT_NE(list, nullptr) << "Ctrl+H showed no History";
    EXPECT_EQ(ListRowTexts(list), (std::vector<std::string>{"C:\\one", "C:\\two", "C:\\three"}));
    EXPECT_TRUE(vorn.EditText().empty()) << "the box holds \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(vorn.BoxFocused()) << "the box lost the focus to the list";
    EXPECT_EQ(GetWindowLongA(list, GWL_STYLE) & LVS_SINGLESEL, 0L) << "single selection only";

    ASSERT_TRUE(PressKeyUntil('H', KEY_CTRL, [&] { return VisibleListViews(vorn.Pid()).empty(); }))
        << "the second Ctrl+H left the list on show";
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == "typed|text"; }))
        << "the box holds \"" << vorn.EditText() << "\"";
}

TEST_F(HistoryE2E, EntriesOpenedTogetherFromTheListAreRecordedInTurn) {
    ASSERT_TRUE(WriteSettings("20"));
    program = CopyTool("recorder.exe", "bin", "rec.exe");
    ASSERT_FALSE(program.empty()) << "recorder.exe must be built beside the tests";
    FileType type(kDocExt, kDocClass, program);
    ASSERT_TRUE(type.ok);
    std::string a = MakeDoc("a"), b = MakeDoc("b");
    ASSERT_FALSE(a.empty() || b.empty());
    ASSERT_TRUE(WriteDataFile(folder, kHistoryFile, a + "\r\n" + b + "\r\n"));
    RecordFile records(Path("record.txt"));

    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND list = ShowHistoryList();
    ASSERT_NE(list, nullptr);
    ASSERT_EQ(ListRowTexts(list), (std::vector<std::string>{a, b}));
    // Down moves into the list on the first row; Shift+Down adds the second.
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return ListSelectedRows(list) == std::vector<int>{0}; }));
    ASSERT_TRUE(PressKeyUntil(VK_DOWN, KEY_SHIFT,
                              [&] { return ListSelectedRows(list) == std::vector<int>{0, 1}; }));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(records.WaitCount(2)) << "both entries should have been opened";
    // Opened in list order (a, then b): b is now the newest.
    ASSERT_TRUE(CloseVorn());
    EXPECT_EQ(HistoryBytes(), b + "\r\n" + a + "\r\n");
}

TEST_F(HistoryE2E, ASettingsReloadSavesAndLoadsAgainWithTheNewSize) {
    ASSERT_TRUE(WriteSettings("20"));
    ASSERT_TRUE(WriteDataFile(folder, kHistoryFile, "C:\\one\r\nC:\\two\r\nC:\\three\r\n"));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    // The file is changed behind vorn's back: the reload writes what vorn
    // holds before it reads the file again.
    ASSERT_TRUE(WriteDataFile(folder, kHistoryFile, "C:\\other\r\n"));
    ASSERT_TRUE(WriteSettings("2"));
    ASSERT_TRUE(SendReload(vorn.MainWindow()));
    EXPECT_EQ(HistoryBytes(), "C:\\one\r\nC:\\two\r\nC:\\three\r\n");

    HWND list = ShowHistoryList();
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListRowTexts(list), (std::vector<std::string>{"C:\\one", "C:\\two"}));
    ASSERT_TRUE(PressKeyUntil('H', KEY_CTRL, [&] { return VisibleListViews(vorn.Pid()).empty(); }));
    ASSERT_TRUE(CloseVorn());
    EXPECT_EQ(HistoryBytes(), "C:\\one\r\nC:\\two\r\n");
}
