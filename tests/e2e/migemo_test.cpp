// migemo_test.cpp - romaji search seen from outside: the real vorn.exe with
// the migemo.dll, BREGEXP.DLL and dictionary built beside the tests, copied
// into the test's folder. "kensaku" narrows the folder list (anchored with
// inputmode 1), the History, the Favorites and the search results, also
// together with ":" terms; the built-ins switch it; with migemomode 1 hiding
// the box unloads both libraries and the next fill loads them silently.
#include "tests/e2e/harness.h"

#include <algorithm>
#include <string>
#include <vector>

#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"

namespace {

bool MakeEmptyFile(const std::string& path) { return WriteFileBytes(path.c_str(), ""); }

}  // namespace

struct MigemoE2E : public RunTest {
    VornProcess vorn;

    void TearDown() override {
        DWORD code = 0;
        if (vorn.Alive()) vorn.Close(E2E_EXIT_MS, &code);
        vorn.Kill();
        RunTest::TearDown();
    }

    // migemo.dll, BREGEXP.DLL and dict\ beside this test's vorn.exe.
    ::testing::AssertionResult CopyComponents(void) {
        CreateDirectoryA(Path("dict").c_str(), nullptr);
        for (const char* f : {"migemo.dll", "BREGEXP.DLL", "dict\\migemo-dict", "dict\\roma2hira.dat",
                              "dict\\hira2kata.dat", "dict\\han2zen.dat"})
            if (!CopyFileA(BesideTests(f).c_str(), Path(f).c_str(), FALSE))
                return ::testing::AssertionFailure() << "could not copy " << f;
        return ::testing::AssertionSuccess();
    }

    ::testing::AssertionResult Start(std::initializer_list<const char*> ini) {
        ::testing::AssertionResult step = CopyComponents();
        if (step) step = WriteIniWith(ini);
        if (step) step = StartAndWaitFocus(&vorn, "");
        return step;
    }

    // A folder "ja" in the test folder holding the given empty files.
    std::string MakeNames(std::initializer_list<const char*> names) {
        std::string dir = Path("ja");
        CreateDirectoryA(dir.c_str(), nullptr);
        for (const char* n : names) EXPECT_TRUE(MakeEmptyFile(dir + "\\" + n)) << n;
        return dir;
    }

    // Rows of the one list on show, sorted (empty when none is shown).
    std::vector<std::string> Rows(void) {
        HWND list = ShownListView(vorn.Pid());
        return list ? Sorted(ListRowTexts(list)) : std::vector<std::string>{};
    }
    ::testing::AssertionResult WaitRows(std::vector<std::string> want) {
        want = Sorted(want);
        if (WaitFor([&] { return Rows() == want; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure()
               << "rows " << Joined(Rows()) << ", box \"" << vorn.EditText() << "\"";
    }
    // Types text and waits until the box ends with it.
    ::testing::AssertionResult Type(const std::string& text, const std::string& box) {
        if (!TypeText(text.c_str())) return ::testing::AssertionFailure() << "SendInput refused";
        if (WaitFor([&] { return vorn.EditText() == box; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "the box holds \"" << vorn.EditText() << "\"";
    }
    // Types the folder dir with its separator; succeeds once n entries show.
    ::testing::AssertionResult ListFolder(const std::string& dir, size_t n) {
        ::testing::AssertionResult typed = Type(dir + "\\", dir + "\\");
        if (!typed) return typed;
        if (WaitFor([&] { return Rows().size() == n; })) return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "rows " << Joined(Rows());
    }
};

TEST_F(MigemoE2E, KensakuNarrowsTheFolderListToTheJapaneseAndTheLatinName) {
    std::string dir = MakeNames({"検索.txt", "kensaku.txt", "研究.txt", "検索結果.doc"});
    ASSERT_TRUE(Start({"common.tray=0", "common.migemo=1", "path.typoctr=0", "edit.w=900"}));
    ASSERT_TRUE(ListFolder(dir, 4));
    ASSERT_TRUE(Type("kensaku", dir + "\\kensaku"));
    EXPECT_TRUE(WaitRows({"検索.txt", "kensaku.txt", "検索結果.doc"}));
    // A ":" term narrows further, plainly or by romaji.
    ASSERT_TRUE(Type(":txt", dir + "\\kensaku:txt"));
    EXPECT_TRUE(WaitRows({"検索.txt", "kensaku.txt"}));
    EXPECT_EQ(nullptr, FindMessageBoxOf(vorn.Pid()));
}

TEST_F(MigemoE2E, InputModeOneAnchorsAtTheStartOfTheName) {
    std::string dir = MakeNames({"検索.txt", "全文検索.txt", "kensaku.txt", "my kensaku.txt"});
    ASSERT_TRUE(Start({"common.tray=0", "common.migemo=1", "path.typoctr=0", "path.inputmode=1",
                       "edit.w=900"}));
    ASSERT_TRUE(ListFolder(dir, 4));
    ASSERT_TRUE(Type("kensaku", dir + "\\kensaku"));
    EXPECT_TRUE(WaitRows({"検索.txt", "kensaku.txt"}));
}

TEST_F(MigemoE2E, HistoryAndFavoritesNarrowByRomaji) {
    ASSERT_TRUE(WriteDataFile(folder, "vorn_h.dat",
                              "C:\\docs\\検索結果.txt\r\nC:\\docs\\研究.txt\r\nC:\\docs\\kensaku.log\r\n"));
    ASSERT_TRUE(WriteDataFile(folder, "vorn_f.dat",
                              "C:\\fav\\検索メモ.txt\r\nC:\\fav\\会議.doc\r\nC:\\fav\\検索.doc\r\n"));
    ASSERT_TRUE(Start({"common.tray=0", "common.migemo=1", "path.typoctr=0"}));

    ASSERT_TRUE(PressKeyUntil('H', KEY_CTRL, [&] { return Rows().size() == 3; }));
    ASSERT_TRUE(Type("kensaku", "kensaku"));
    EXPECT_TRUE(WaitRows({"C:\\docs\\検索結果.txt", "C:\\docs\\kensaku.log"}));
    ASSERT_TRUE(Type(":log", "kensaku:log"));
    EXPECT_TRUE(WaitRows({"C:\\docs\\kensaku.log"}));
    ASSERT_TRUE(PressKeyUntil('H', KEY_CTRL, [&] { return Rows().empty(); }));

    ASSERT_TRUE(PressKeyUntil('F', KEY_CTRL, [&] { return Rows().size() == 3; }));
    ASSERT_TRUE(Type("kensaku:doc", "kensaku:doc"));
    EXPECT_TRUE(WaitRows({"C:\\fav\\検索.doc"}));
    EXPECT_EQ(nullptr, FindMessageBoxOf(vorn.Pid()));
}

TEST_F(MigemoE2E, SearchResultsNarrowByRomaji) {
    // The search takes names that begin with what follows the "|".
    std::string dir = MakeNames({"doc_検索.txt", "doc_研究.txt", "doc_kensaku.txt"});
    ASSERT_TRUE(Start({"common.tray=0", "common.migemo=1", "path.typoctr=0", "search.subfolder=0"}));
    ASSERT_TRUE(HandText(&vorn, dir + "\\"));
    ASSERT_TRUE(Type("|doc", dir + "\\|doc"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitRows({"doc_検索.txt", "doc_研究.txt", "doc_kensaku.txt"}));
    ASSERT_TRUE(Type("kensaku", "kensaku"));
    EXPECT_TRUE(WaitRows({"doc_検索.txt", "doc_kensaku.txt"}));
}

TEST_F(MigemoE2E, AMissingLibraryIsToldOnceAndPlainFilteringGoesOn) {
    std::string dir = MakeNames({"検索.txt", "kensaku.txt", "研究.txt"});
    ASSERT_TRUE(Start({"common.tray=0", "common.migemo=1", "path.typoctr=0", "edit.w=900"}));
    ASSERT_TRUE(DeleteFileA(Path("BREGEXP.DLL").c_str()));
    // The folder list's first fill loads Migemo: the message comes while the
    // character is handled.
    ASSERT_TRUE(HandText(&vorn, dir + "\\"));
    ASSERT_TRUE(TypeText("k"));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindMessageBoxOf(vorn.Pid())) != nullptr; }));
    EXPECT_EQ("BREGEXP.DLLがありません。", MessageBoxText(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(WaitFor([&] { return FindMessageBoxOf(vorn.Pid()) == nullptr; }));
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }) || Activate(vorn.EditBox()));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == dir + "\\k"; })) << vorn.EditText();
    // Plain substrings only now, and no second message for the next fills.
    ASSERT_TRUE(Type("ensaku", dir + "\\kensaku"));
    EXPECT_TRUE(WaitRows({"kensaku.txt"}));
    ASSERT_TRUE(PressKey(VK_BACK));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == dir + "\\kensak"; }));
    EXPECT_EQ(nullptr, FindMessageBoxOf(vorn.Pid()));
}

TEST_F(MigemoE2E, MigemoOffWhileOffSwitchesOnForTheNextFill) {
    std::string dir = MakeNames({"検索.txt", "kensaku.txt", "研究.txt"});
    ASSERT_TRUE(Start({"common.tray=0", "common.migemo=0", "path.typoctr=0", "edit.w=900"}));
    ASSERT_TRUE(Type("#MigemoOff", "#MigemoOff"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText().empty(); }));
    ASSERT_TRUE(ListFolder(dir, 3));
    ASSERT_TRUE(Type("kensaku", dir + "\\kensaku"));
    EXPECT_TRUE(WaitRows({"検索.txt", "kensaku.txt"}));
}

TEST_F(MigemoE2E, MigemoModeOneUnloadsOnHideAndLoadsSilentlyAgain) {
    std::string dir = MakeNames({"検索.txt", "kensaku.txt", "研究.txt"});
    ASSERT_TRUE(Start({"common.tray=0", "common.migemo=1", "common.migemomode=1",
                       "path.typoctr=0", "edit.w=900"}));
    ASSERT_TRUE(ListFolder(dir, 3));
    ASSERT_TRUE(Type("kensaku", dir + "\\kensaku"));
    ASSERT_TRUE(WaitRows({"検索.txt", "kensaku.txt"}));
    // Loaded now: the DLL files cannot be deleted while mapped.
    EXPECT_FALSE(DeleteFileA(Path("BREGEXP.DLL").c_str()));
    // "#Hide" hides the box; with migemomode 1 both libraries go.
    ASSERT_TRUE(HandText(&vorn, "#Hide"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); }));
    EXPECT_TRUE(WaitFor([&] {
        if (!CopyFileA(Path("BREGEXP.DLL").c_str(), Path("bregexp.copy").c_str(), FALSE)) return false;
        return MoveFileExA(Path("BREGEXP.DLL").c_str(), Path("BREGEXP.old").c_str(), 0) &&
               MoveFileExA(Path("bregexp.copy").c_str(), Path("BREGEXP.DLL").c_str(), 0);
    })) << "BREGEXP.DLL is still mapped";
    // Shown again, the next fill loads both without a message.
    ASSERT_TRUE(HandText(&vorn, ""));
    ASSERT_TRUE(ListFolder(dir, 3));
    ASSERT_TRUE(Type("kensaku", dir + "\\kensaku"));
    EXPECT_TRUE(WaitRows({"検索.txt", "kensaku.txt"}));
    EXPECT_EQ(nullptr, FindMessageBoxOf(vorn.Pid()));
}
