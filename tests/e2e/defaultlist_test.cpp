// defaultlist_test.cpp - the ";" lookup in the folders of "data\vorn_d.dat"
// and the Favorites pages of "data\vorn_f.dat", seen from outside: what the
// box holds and which rows the item list shows.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/listread.h"

namespace {

bool MakeFolder(const std::string& path) {
    return CreateDirectoryA(path.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

bool MakeFile(const std::string& path) { return WriteFileBytes(path.c_str(), "x"); }

}  // namespace

struct DefaultListE2E : public VornTest {
    VornProcess vorn;

    void TearDown() override {
        DWORD code = 0;
        if (vorn.Alive()) vorn.Close(E2E_EXIT_MS, &code);
        vorn.Kill();
        VornTest::TearDown();
    }

    // Makes <test folder>\relative (folders) and returns its full path.
    std::string Folder(const char* relative) {
        std::string path = Path(relative);
        EXPECT_TRUE(MakeFolder(path)) << path;
        return path;
    }
    std::string File(const std::string& folder, const char* name) {
        std::string path = PathIn(folder.c_str(), name);
        EXPECT_TRUE(MakeFile(path)) << path;
        return path;
    }

    HWND Shown(void) const { return ShownListView(vorn.Pid()); }
    // Waits until the one list on show holds exactly rows (any order).
    ::testing::AssertionResult WaitRows(const std::vector<std::string>& rows) {
        std::vector<std::string> want = Sorted(rows), seen;
        if (WaitFor([&] {
                HWND list = Shown();
                if (!list) return false;
                seen = Sorted(ListRowTexts(list));
                return seen == want;
            }))
            return ::testing::AssertionSuccess();
        ::testing::AssertionResult failure = ::testing::AssertionFailure();
        failure << "rows on show:";
        for (const std::string& s : seen) failure << " [" << s << "]";
        return failure;
    }
    // Waits until the box holds text.
    ::testing::AssertionResult WaitBox(const std::string& text) {
        if (WaitFor([&] { return vorn.EditText() == text; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the box holds \"" << vorn.EditText() << "\"";
    }
    bool NoListShown(void) const { return VisibleListViews(vorn.Pid()).empty(); }
};

TEST_F(DefaultListE2E, SingleHitWhileTypingBecomesTheTextWithoutAList) {
    std::string tools = Folder("Tools");
    std::string report = File(tools, "report.txt");
    File(tools, "notes.txt");
    ASSERT_TRUE(WriteDataFile(folder, "vorn_d.dat", tools + "\r\n"));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "def.direct=1"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));

    ASSERT_TRUE(TypeText(";rep"));
    // The lookup after ";r" already has its one hit; typo control then drops
    // the letters that name nothing after it.
    ASSERT_TRUE(WaitBox(report));
    // Nothing else follows: the text stays and no list opens.
    EXPECT_FALSE(WaitFor([&] { return vorn.EditText() != report || !NoListShown(); }, 400));
}

TEST_F(DefaultListE2E, HitsInTwoRootsOpenTheListAndTypingNarrowsIt) {
    std::string one = Folder("RootOne"), two = Folder("RootTwo");
    std::string a1 = File(one, "alpha1.txt"), a2 = File(one, "alpha2.txt");
    std::string a3 = File(two, "alpha3.doc");
    File(two, "beta.txt");
    ASSERT_TRUE(WriteDataFile(folder, "vorn_d.dat", one + "\r\n" + two + "\r\n"));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "def.direct=1", "path.typoctr=0"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));

    ASSERT_TRUE(TypeText(";a"));
    EXPECT_TRUE(WaitRows({a1, a2, a3}));
    EXPECT_TRUE(WaitBox("a")) << "the \";\" is gone and the name stays as the filter";
    EXPECT_TRUE(vorn.BoxFocused());

    ASSERT_TRUE(TypeText("lpha3"));
    EXPECT_TRUE(WaitRows({a3}));
    EXPECT_EQ(vorn.EditText(), "alpha3");
}

TEST_F(DefaultListE2E, AsteriskInTheNameLeavesColonSeparatedTerms) {
    std::string root = Folder("Root");
    std::string ab1 = File(root, "ab1.txt"), axb = File(root, "axb.txt");
    File(root, "ba.txt");
    File(root, "aa.txt");
    ASSERT_TRUE(WriteDataFile(folder, "vorn_d.dat", root + "\r\n"));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "def.direct=3", "path.typoctr=0"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));

    ASSERT_TRUE(TypeText(";a*b"));
    EXPECT_TRUE(WaitRows({ab1, axb})) << "a*b* is looked up";
    EXPECT_TRUE(WaitBox("a:b"));

    // Both parts filter: "b1" keeps only ab1.txt.
    ASSERT_TRUE(TypeText("1"));
    EXPECT_TRUE(WaitRows({ab1}));
}

TEST_F(DefaultListE2E, DashLineSearchesOneLevelDeeperAndNothingAfterTheBreak) {
    std::string projects = Folder("Projects");
    std::string p1 = Folder("Projects\\p1"), p2 = Folder("Projects\\p2");
    std::string x1 = File(p1, "xa.txt"), x2 = File(p2, "xb.txt");
    File(projects, "readme.txt");
    std::string late = Folder("Late");
    File(late, "xc.txt");
    ASSERT_TRUE(WriteDataFile(folder, "vorn_d.dat",
                              "-" + projects + "\r\n>\r\n" + late + "\r\n"));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "def.direct=1", "path.typoctr=0"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));

    ASSERT_TRUE(TypeText(";x"));
    EXPECT_TRUE(WaitRows({x1, x2}));
}

TEST_F(DefaultListE2E, WithoutDirectTheLookupWaitsForEnter) {
    std::string root = Folder("Root");
    std::string k1 = File(root, "key1.txt"), k2 = File(root, "key2.txt");
    ASSERT_TRUE(WriteDataFile(folder, "vorn_d.dat", root + "\r\n"));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "def.direct=0", "path.typoctr=0"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));

    ASSERT_TRUE(TypeText(";key"));
    // The lookup would have run while the keys were handled.
    ASSERT_TRUE(WaitBox(";key"));
    EXPECT_TRUE(NoListShown()) << "no lookup while typing";

    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitRows({k1, k2}));
    EXPECT_TRUE(WaitBox(""));
}

TEST_F(DefaultListE2E, NameEndingInADotLooksUpNothing) {
    std::string root = Folder("Root");
    File(root, "k.txt");
    File(root, "k2.txt");
    ASSERT_TRUE(WriteDataFile(folder, "vorn_d.dat", root + "\r\n"));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "def.direct=0", "path.typoctr=0"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));

    ASSERT_TRUE(TypeText(";k."));
    ASSERT_TRUE(WaitBox(";k."));
    ASSERT_TRUE(PressKey(VK_RETURN));
    // A typed mark behind the Enter shows that it was handled.
    ASSERT_TRUE(TypeText("z"));
    EXPECT_TRUE(WaitBox(";k.z"));
    EXPECT_TRUE(NoListShown());
}

// --- Favorites -------------------------------------------------------------------

TEST_F(DefaultListE2E, FavoritesPagesCycleAndTheShowKeyToggles) {
    ASSERT_TRUE(WriteDataFile(folder, "vorn_f.dat",
                              "C:\\fav\\a.txt\r\n>\r\nC:\\fav\\b.txt\r\nC:\\fav\\c.txt\r\n>\r\n"
                              "C:\\fav\\d.txt\r\n"));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeText("qq"));
    ASSERT_TRUE(WaitBox("qq"));

    auto rowsAre = [&](std::vector<std::string> want) {
        return [this, want] {
            HWND list = Shown();
            return list && ListRowTexts(list) == want;
        };
    };
    EXPECT_TRUE(PressKeyUntil('F', KEY_CTRL, rowsAre({"C:\\fav\\a.txt"})));
    EXPECT_EQ(vorn.EditText(), "") << "the typed text is put aside";
    EXPECT_TRUE(PressKeyUntil('N', KEY_CTRL, rowsAre({"C:\\fav\\b.txt", "C:\\fav\\c.txt"})));
    EXPECT_TRUE(PressKeyUntil('N', KEY_CTRL, rowsAre({"C:\\fav\\d.txt"})));
    EXPECT_TRUE(PressKeyUntil('N', KEY_CTRL, rowsAre({"C:\\fav\\a.txt"}))) << "back to page 0";
    EXPECT_TRUE(PressKeyUntil('N', KEY_CTRL, rowsAre({"C:\\fav\\b.txt", "C:\\fav\\c.txt"})));

    // Off again: the list goes and the text typed before comes back.
    EXPECT_TRUE(PressKeyUntil('F', KEY_CTRL, [&] { return NoListShown(); }));
    EXPECT_TRUE(WaitBox("qq"));
    // On again: page 0.
    EXPECT_TRUE(PressKeyUntil('F', KEY_CTRL, rowsAre({"C:\\fav\\a.txt"})));
}

TEST_F(DefaultListE2E, FavoritesWithoutBreaksShowEverythingAndNextDoesNothing) {
    std::string docs = Folder("Docs");
    Folder("Docs\\sub.txt");
    std::string t1 = File(docs, "one.txt"), m1 = File(docs, "two.md");
    File(docs, "three.doc");
    ASSERT_TRUE(WriteDataFile(folder, "vorn_f.dat",
                              "C:\\fav\\a.txt\r\n\r\n-\"*.txt;*.md\" " + docs + "\r\n-\"*.txt" +
                                  docs + "\r\n"));
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));

    std::vector<std::string> want = {"C:\\fav\\a.txt", docs + "\\sub.txt", t1, m1};
    EXPECT_TRUE(PressKeyUntil('F', KEY_CTRL, [&] {
        HWND list = Shown();
        return list && ListRowTexts(list) == want;
    })) << "patterns in order, folders first; an unclosed quote gives nothing";
    HWND list = Shown();
    ASSERT_TRUE(list);
    ASSERT_TRUE(PressKeyUntil('N', KEY_CTRL, [] { return true; }));
    // A letter typed behind it shows that Ctrl+N was handled; every row holds
    // a "t", so the filter keeps them all.
    ASSERT_TRUE(TypeText("t"));
    EXPECT_TRUE(WaitBox("t"));
    EXPECT_EQ(ListRowTexts(Shown()), want);
}
