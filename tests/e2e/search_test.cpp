// search_test.cpp - the file search seen from outside: "folder\|name" and
// "folder\web|name" typed into the box and run with Enter on trees made by
// the test, the subfolder limit, one hit straight into the box, Esc held
// during a long search, taking a result, and recalling the kept results.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"

namespace {

bool MakeEmptyFile(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    CloseHandle(f);
    return true;
}

// True while the program answers a message at once (a search in progress
// does not pump messages).
bool Answers(HWND wnd) {
    DWORD_PTR result = 0;
    return SendMessageTimeoutA(wnd, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 20, &result) != 0;
}

}  // namespace

struct SearchE2E : public RunTest {
    VornProcess vorn;
    std::string tree;

    void TearDown() override {
        DWORD code = 0;
        if (vorn.Alive()) vorn.Close(E2E_EXIT_MS, &code);
        vorn.Kill();
        RunTest::TearDown();
    }

    ::testing::AssertionResult Dir(const char* relative) {
        std::string path = tree + (relative[0] ? "\\" : "") + relative;
        if (CreateDirectoryA(path.c_str(), nullptr)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "could not make " << path;
    }
    ::testing::AssertionResult File(const char* relative) {
        std::string path = tree + "\\" + relative;
        if (MakeEmptyFile(path)) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "could not make " << path;
    }

    // A tree with "read" names at three depths.
    ::testing::AssertionResult MakeReadTree() {
        tree = Path("tree");
        for (const char* d : {"", "reading", "docs", "docs\\deep"})
            if (!Dir(d)) return Dir(d);
        for (const char* f : {"readme.txt", "other.txt", "docs\\readme2.md", "docs\\notes.txt",
                              "docs\\deep\\readall.log", "docs\\deep\\x.txt", "unique.dat"})
            if (!File(f)) return File(f);
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult Start(std::initializer_list<const char*> ini) {
        ::testing::AssertionResult written = WriteIniWith(ini);
        if (!written) return written;
        return StartAndWaitFocus(&vorn, "");
    }

    // Puts folderText into the box, types "|" and name (search input mode
    // lets every character in) and presses Enter.
    ::testing::AssertionResult RunSearch(const std::string& folderText, const std::string& name) {
        ::testing::AssertionResult handed = HandText(&vorn, folderText);
        if (!handed) return handed;
        std::string typed = folderText + "|" + name;
        if (!TypeText(("|" + name).c_str()))
            return ::testing::AssertionFailure() << "SendInput refused";
        if (!WaitFor([&] { return vorn.EditText() == typed; }))
            return ::testing::AssertionFailure() << "the box holds \"" << vorn.EditText() << "\"";
        if (!PressKey(VK_RETURN)) return ::testing::AssertionFailure() << "SendInput refused Enter";
        return ::testing::AssertionSuccess();
    }

    // The list the search shows, once it is there (null after E2E_WAIT_MS).
    HWND WaitList(void) {
        HWND list = nullptr;
        WaitFor([&] {
            list = ShownListView(vorn.Pid());
            return list != nullptr && ListRowCount(list) > 0;
        });
        return list;
    }
};

TEST_F(SearchE2E, SubfolderZeroListsMatchesAtEveryDepthAsRelativePaths) {
    ASSERT_TRUE(MakeReadTree());
    ASSERT_TRUE(Start({"common.tray=0", "path.typoctr=0", "search.subfolder=0"}));
    ASSERT_TRUE(RunSearch(tree + "\\", "read"));
    HWND list = WaitList();
    ASSERT_TRUE(list) << "no result list; box: " << vorn.EditText();
    std::vector<std::string> rows = ListRowTexts(list);
    EXPECT_EQ(Sorted({"readme.txt", "reading", "docs\\readme2.md", "docs\\deep\\readall.log"}),
              Sorted(rows))
        << Joined(rows);
    // The box is emptied and keeps the focus while the results are shown.
    EXPECT_EQ("", vorn.EditText());
    EXPECT_TRUE(vorn.BoxFocused());
}

TEST_F(SearchE2E, SubfolderOneLooksOnlyOneLevelDown) {
    ASSERT_TRUE(MakeReadTree());
    ASSERT_TRUE(Start({"common.tray=0", "path.typoctr=0", "search.subfolder=1"}));
    ASSERT_TRUE(RunSearch(tree + "\\", "read"));
    HWND list = WaitList();
    ASSERT_TRUE(list) << "no result list; box: " << vorn.EditText();
    std::vector<std::string> rows = ListRowTexts(list);
    EXPECT_EQ(Sorted({"readme.txt", "reading", "docs\\readme2.md"}), Sorted(rows)) << Joined(rows);
}

TEST_F(SearchE2E, ANameBeforeTheBarSearchesOnlyInsideMatchingFolders) {
    tree = Path("tree");
    ASSERT_TRUE(Dir(""));
    for (const char* d : {"web1", "web1\\sub", "mywebsite", "other"}) ASSERT_TRUE(Dir(d));
    for (const char* f : {"web1\\index.html", "web1\\sub\\index2.htm", "web1\\page.html",
                          "mywebsite\\index.php", "other\\index.txt", "webfile.txt", "index.txt"})
        ASSERT_TRUE(File(f));
    ASSERT_TRUE(
        Start({"common.tray=0", "path.typoctr=0", "search.subfolder=0", "path.inputmode=0"}));
    ASSERT_TRUE(RunSearch(tree + "\\web", "index"));
    HWND list = WaitList();
    ASSERT_TRUE(list) << "no result list; box: " << vorn.EditText();
    std::vector<std::string> rows = ListRowTexts(list);
    EXPECT_EQ(Sorted({"web1", "mywebsite", "webfile.txt", "web1\\index.html",
                      "web1\\sub\\index2.htm", "mywebsite\\index.php"}),
              Sorted(rows))
        << Joined(rows);
}

TEST_F(SearchE2E, OneHitGoesStraightIntoTheBox) {
    ASSERT_TRUE(MakeReadTree());
    ASSERT_TRUE(Start({"common.tray=0", "path.typoctr=0"}));
    ASSERT_TRUE(RunSearch(tree + "\\", "uniq"));
    std::string expected = tree + "\\unique.dat";
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == expected; })) << vorn.EditText();
    EXPECT_TRUE(VisibleListViews(vorn.Pid()).empty());
    EXPECT_TRUE(vorn.BoxFocused());
}

TEST_F(SearchE2E, NoHitShowsTheSearchFolder) {
    ASSERT_TRUE(MakeReadTree());
    ASSERT_TRUE(Start({"common.tray=0", "path.typoctr=0"}));
    ASSERT_TRUE(RunSearch(tree + "\\", "zzz"));
    std::string expected = tree + "\\";
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == expected; })) << vorn.EditText();
    EXPECT_TRUE(VisibleListViews(vorn.Pid()).empty());
}

TEST_F(SearchE2E, HoldingEscEndsALongSearchWithPartialResults) {
    // Enough folders that the walk lasts a while; every entry matches.
    tree = Path("tree");
    ASSERT_TRUE(Dir(""));
    const int kTop = 40, kSub = 25;
    int total = 0;
    for (int t = 0; t < kTop; t++) {
        std::string top = "t" + std::to_string(t);
        ASSERT_TRUE(Dir(top.c_str()));
        total++;
        for (int s = 0; s < kSub; s++) {
            std::string sub = top + "\\s" + std::to_string(s);
            ASSERT_TRUE(Dir(sub.c_str()));
            ASSERT_TRUE(File((sub + "\\a.txt").c_str()));
            total += 2;
        }
    }
    ASSERT_TRUE(Start({"common.tray=0", "path.typoctr=0", "search.keep=1"}));
    ASSERT_TRUE(RunSearch(tree + "\\", ""));
    // Esc is held while the program is busy with the walk, as a hand holds
    // it: one key-down, then after the keyboard's repeat delay (500 ms) a
    // repeat every 33 ms while the program stays busy; let go once it
    // answers again. Repeats are sent only right after the program was seen
    // busy, so that none lands after the search.
    HWND box = vorn.EditBox();
    ASSERT_TRUE(box);
    INPUT down = {};
    down.type = INPUT_KEYBOARD;
    down.ki.wVk = VK_ESCAPE;
    bool sawBusy = false;
    DWORD pressedAt = 0;
    DWORD lastDown = 0;
    DWORD start = GetTickCount();
    while (GetTickCount() - start < 60000) {
        if (Answers(box)) {
            if (sawBusy || GetTickCount() - start > 3000) break;
        } else {
            DWORD now = GetTickCount();
            if (!sawBusy) {
                sawBusy = true;
                pressedAt = lastDown = now;
                SendInput(1, &down, sizeof down);
            } else if (now - pressedAt >= 500 && now - lastDown >= 33) {
                lastDown = now;
                SendInput(1, &down, sizeof down);
            }
        }
        PumpMessages(10);
    }
    INPUT up = down;
    up.ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(1, &up, sizeof up);
    ASSERT_TRUE(sawBusy) << "the search ended before Esc could act";

    // The results found so far: on show, or (had an Esc press that came after
    // the walk closed the list) kept for recall.
    HWND list = nullptr;
    int rows = -1;
    auto listed = [&] {
        list = ShownListView(vorn.Pid());
        rows = list ? ListRowCount(list) : -1;
        return rows > 0;
    };
    if (!WaitFor(listed, 1000)) {
        ASSERT_TRUE(WaitFor([&] { return VisibleListViews(vorn.Pid()).empty(); }));
        ASSERT_TRUE(PressKeyUntil('L', KEY_CTRL, listed))
            << "vorn " << (vorn.Alive() ? "runs" : "ended") << ", box \"" << vorn.EditText()
            << "\"";
    }
    EXPECT_GT(rows, 0);
    EXPECT_LT(rows, total) << "the walk was not cut short";
    RecordProperty("partial_rows", rows);
    EXPECT_TRUE(vorn.Alive());
}

TEST_F(SearchE2E, TheRecallKeyShowsTheKeptResultsAsFullPaths) {
    ASSERT_TRUE(MakeReadTree());
    ASSERT_TRUE(Start({"common.tray=0", "path.typoctr=0", "search.keep=1"}));
    ASSERT_TRUE(RunSearch(tree + "\\", "read"));
    ASSERT_TRUE(WaitList());
    // Esc closes the results and gives the folder text back.
    ASSERT_TRUE(PressEscape());
    ASSERT_TRUE(WaitFor([&] { return VisibleListViews(vorn.Pid()).empty(); }));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == tree + "\\"; })) << vorn.EditText();

    HWND list = nullptr;
    ASSERT_TRUE(PressKeyUntil('L', KEY_CTRL, [&] {
        list = ShownListView(vorn.Pid());
        return list != nullptr && ListRowCount(list) > 0;
    }));
    std::vector<std::string> rows = ListRowTexts(list);
    std::string base = tree + "\\";
    EXPECT_EQ(Sorted({base + "readme.txt", base + "reading", base + "docs\\readme2.md",
                      base + "docs\\deep\\readall.log"}),
              Sorted(rows))
        << Joined(rows);
    // The same key hides them again.
    ASSERT_TRUE(PressKeyUntil('L', KEY_CTRL, [&] { return VisibleListViews(vorn.Pid()).empty(); }));
}

TEST_F(SearchE2E, WithoutKeepResultsStillCompleteButTheRecallKeyDoesNothing) {
    ASSERT_TRUE(MakeReadTree());
    ASSERT_TRUE(Start({"common.tray=0", "path.typoctr=0", "search.keep=0"}));
    ASSERT_TRUE(RunSearch(tree + "\\", "read"));
    HWND list = WaitList();
    ASSERT_TRUE(list);
    std::string first;
    ASSERT_TRUE(ListRowText(list, 0, &first));
    // Taking a result gives its full path.
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return ListFocusedRow(list) == 0 && HasFocus(list); }));
    ASSERT_TRUE(PressKey(VK_RETURN));
    std::string expected = tree + "\\" + first;
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == expected; })) << vorn.EditText();
    EXPECT_TRUE(WaitFor([&] { return VisibleListViews(vorn.Pid()).empty(); }));

    // Nothing was kept: Ctrl+L shows no list.
    ASSERT_TRUE(SettleModifiers(KEY_CTRL));
    ASSERT_TRUE(TapKey('L'));
    EXPECT_FALSE(WaitFor([&] { return !VisibleListViews(vorn.Pid()).empty(); }, 1000));
    ReleaseModifiers(KEY_CTRL);
    EXPECT_EQ(expected, vorn.EditText());
}

TEST_F(SearchE2E, ASecondBarIsDroppedAndTheModeEndsOnceNoBarIsLeft) {
    ASSERT_TRUE(MakeReadTree());
    ASSERT_TRUE(Start({"common.tray=0", "path.typoctr=0"}));
    std::string folderText = tree + "\\";
    ASSERT_TRUE(HandText(&vorn, folderText));
    ASSERT_TRUE(TypeText("|re|ad"));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == folderText + "|read"; })) << vorn.EditText();
    // Search input mode keeps the folder list shut while the name is typed.
    EXPECT_TRUE(VisibleListViews(vorn.Pid()).empty());
    for (int i = 0; i < 5; i++) ASSERT_TRUE(PressKey(VK_BACK));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == folderText; })) << vorn.EditText();
    // The next key press finds no bar: typing completes against the folder again.
    ASSERT_TRUE(TypeText("r"));
    HWND list = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        list = ShownListView(vorn.Pid());
        return list != nullptr && ListRowCount(list) > 0;
    })) << "no folder list after the bar was gone; box: " << vorn.EditText();
}
