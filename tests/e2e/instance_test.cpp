// instance_test.cpp - one vorn per prefix: second starts hand their command
// line over and end; /a runs beside the first; a /q instance ends with its
// primary; hand-over records that break the rules are ignored.
#include "tests/e2e/harness.h"

#include <string.h>

namespace {

// Sends a WM_COPYDATA record to window the way a second start does; the
// window's answer into *result. False when the window did not answer.
bool SendCopyData(HWND window, ULONG_PTR kind, const void* data, DWORD size, LRESULT* result) {
    COPYDATASTRUCT cds;
    cds.dwData = kind;
    cds.cbData = size;
    cds.lpData = (void*)data;
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_COPYDATA, 0, (LPARAM)&cds, SMTO_ABORTIFHUNG, 3000, &answer)) return false;
    if (result) *result = (LRESULT)answer;
    return true;
}

// Kind 2 with a NUL-terminated text, as a second start sends it.
bool SendText(HWND window, const std::string& text) {
    return SendCopyData(window, 2, text.c_str(), (DWORD)text.size() + 1, nullptr);
}

}  // namespace

using InstanceE2E = VornTest;

TEST_F(InstanceE2E, SecondStartWithoutArgumentsBringsFirstBoxForward) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    VornProcess first;
    ASSERT_TRUE(StartAndWaitFocus(&first, ""));
    ASSERT_TRUE(FocusAway());
    ASSERT_TRUE(WaitFor([&] { return !first.BoxFocused() && !first.EditText().empty(); }))
        << "the box did not show the clock when it was left";

    VornProcess second;
    ASSERT_TRUE(second.Start(folder, ""));
    DWORD code = 1234;
    ASSERT_TRUE(second.WaitExit(E2E_EXIT_MS, &code)) << "the second start did not end";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitFor([&] { return first.BoxVisible() && first.BoxFocused(); }))
        << "the first instance's box is not in front (foreground: " << WindowClass(GetForegroundWindow()) << ")";
    EXPECT_TRUE(first.Alive());
    // Back in front, the box gives up the clock it showed while it was left.
    EXPECT_TRUE(WaitFor([&] { return first.EditText().empty(); })) << "box holds \"" << first.EditText() << "\"";
}

TEST_F(InstanceE2E, SecondStartShowsBoxThatEscHid) {
    // tray 2: Esc hides the box without a tray icon, the program stays.
    ASSERT_TRUE(WriteIniWith({"common.tray=2"}));
    VornProcess first;
    ASSERT_TRUE(StartAndWaitFocus(&first, ""));
    ASSERT_TRUE(PressKey(VK_ESCAPE));
    ASSERT_TRUE(WaitFor([&] { return !first.BoxVisible(); })) << "Esc did not hide the box";
    ASSERT_TRUE(first.Alive());

    VornProcess second;
    ASSERT_TRUE(second.Start(folder, ""));
    DWORD code = 1234;
    ASSERT_TRUE(second.WaitExit(E2E_EXIT_MS, &code)) << "the second start did not end";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitFor([&] { return first.BoxVisible() && first.BoxFocused(); }))
        << "visible " << first.BoxVisible() << ", foreground " << WindowClass(GetForegroundWindow());
}

TEST_F(InstanceE2E, SecondStartWithFolderPutsPathIntoFirstBox) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    VornProcess first;
    ASSERT_TRUE(StartAndWaitBox(&first, ""));
    ASSERT_EQ(first.EditText(), "");

    VornProcess second;
    std::string arg = std::string("\"") + folder + "\"";
    ASSERT_TRUE(second.Start(folder, arg.c_str()));
    DWORD code = 1234;
    ASSERT_TRUE(second.WaitExit(E2E_EXIT_MS, &code)) << "the second start did not end";
    EXPECT_EQ(code, 0u);

    const std::string expected = folder;
    EXPECT_TRUE(WaitFor([&] { return first.EditText() == expected; }))
        << "first box holds \"" << first.EditText() << "\", expected \"" << expected << "\"";
    DWORD start = 0, end = 0;
    ASSERT_TRUE(EditSelection(first.EditBox(), &start, &end));
    EXPECT_EQ(start, (DWORD)expected.size()) << "the caret is not at the end of the text";
    EXPECT_EQ(end, (DWORD)expected.size()) << "the caret is not at the end of the text";
    EXPECT_TRUE(WaitFor([&] { return first.BoxFocused(); }));
}

TEST_F(InstanceE2E, SlashARunsASeparateInstance) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    VornProcess first;
    ASSERT_TRUE(StartAndWaitBox(&first, ""));

    VornProcess second;
    ASSERT_TRUE(StartAndWaitBox(&second, "/a"));
    EXPECT_TRUE(first.Alive());
    EXPECT_TRUE(second.Alive());
    HWND firstMain = first.MainWindow(), secondMain = second.MainWindow();
    ASSERT_NE(firstMain, nullptr);
    ASSERT_NE(secondMain, nullptr);
    EXPECT_NE(firstMain, secondMain);
    EXPECT_EQ(WindowClass(secondMain), "vorn_class");
    EXPECT_NE(first.EditBox(), second.EditBox());
    // The second one handed nothing over: the first box still shows no text
    // (or the clock if it lost the focus to the second).
    std::string text = first.EditText();
    EXPECT_TRUE(text.empty() || text[0] == ' ') << "first box holds \"" << text << "\"";
}

TEST_F(InstanceE2E, SecondClassInstanceEndsWithItsPrimary) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    VornProcess primary;
    ASSERT_TRUE(StartAndWaitBox(&primary, ""));

    VornProcess fission;
    ASSERT_TRUE(StartAndWaitBox(&fission, "/a /q"));
    EXPECT_EQ(WindowClass(fission.MainWindow()), "vorn_fisson");
    EXPECT_EQ(FindMessageWindow("vorn_class", fission.Pid()), nullptr);
    EXPECT_EQ(WindowClass(primary.MainWindow()), "vorn_class");

    DWORD code = 1234;
    ASSERT_TRUE(primary.Close(E2E_EXIT_MS, &code)) << "the primary did not end on WM_CLOSE";
    EXPECT_EQ(code, 0u);
    code = 1234;
    EXPECT_TRUE(fission.WaitExit(E2E_EXIT_MS, &code)) << "the /q instance outlived its primary";
    EXPECT_EQ(code, 0u);
}

TEST_F(InstanceE2E, MalformedHandOverRecordsChangeNothing) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    HWND main = vorn.MainWindow();
    ASSERT_NE(main, nullptr);

    // A well-formed record first, so the text to keep is known.
    const std::string kept = "C:\\handed";
    ASSERT_TRUE(SendText(main, kept));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == kept; })) << "box holds \"" << vorn.EditText() << "\"";

    char big[300];
    memset(big, 'y', sizeof(big));
    big[sizeof(big) - 1] = '\0';
    char unterminated[16];
    memset(unterminated, 'z', sizeof(unterminated));
    const char hello[] = "C:\\hello";

    struct Case {
        const char* what;
        ULONG_PTR kind;
        const void* data;
        DWORD size;
    } cases[] = {
        {"kind 2, cbData 0", 2, nullptr, 0},
        {"kind 2, cbData 0 with data", 2, hello, 0},
        {"kind 2, cbData 300", 2, big, sizeof(big)},
        {"kind 2, no NUL within cbData", 2, unterminated, sizeof(unterminated)},
        {"kind 9", 9, hello, sizeof(hello)},
        {"kind 0", 0, hello, sizeof(hello)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        LRESULT result = -1;
        EXPECT_TRUE(SendCopyData(main, c.kind, c.data, c.size, &result)) << "no answer";
        if (c.kind < 1 || c.kind > 4) {
            EXPECT_EQ(result, 0) << "an unknown kind was not refused";
        }
        ASSERT_TRUE(vorn.Alive()) << "vorn died";
        EXPECT_EQ(vorn.EditText(), kept);
    }
    // Still listening: a good record after the bad ones is taken.
    const std::string after = "C:\\after";
    ASSERT_TRUE(SendText(main, after));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == after; })) << "box holds \"" << vorn.EditText() << "\"";
}

TEST_F(InstanceE2E, HandedTextMayHave260BytesWithItsNulButNotMore) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    HWND main = vorn.MainWindow();
    ASSERT_NE(main, nullptr);

    const std::string longest = "C:\\" + std::string(256, 'a');  // 259 characters + NUL = 260 bytes
    ASSERT_TRUE(SendText(main, longest));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == longest; }))
        << "a 260-byte record was not taken; box holds " << vorn.EditText().size() << " bytes";

    const std::string tooLong = "C:\\" + std::string(257, 'b');  // 261 bytes with the NUL
    ASSERT_TRUE(SendText(main, tooLong));
    ASSERT_TRUE(vorn.Alive());
    EXPECT_EQ(vorn.EditText(), longest) << "a 261-byte record changed the text";
}

TEST_F(InstanceE2E, AQuotedPathHoldingSlashAIsTextNotASwitch) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    // The first start takes its quoted path whole into the box.
    const std::string first = Path("my /a dir\\x.txt");
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ("\"" + first + "\"").c_str()));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == first; }))
        << "box holds \"" << vorn.EditText() << "\"";

    // A second start with such a path is no separate instance: it hands the
    // path over and ends.
    const std::string second = Path("notes /a /x=5 b.txt");
    VornProcess handing;
    ASSERT_TRUE(handing.Start(folder, ("\"" + second + "\"").c_str()));
    DWORD code = 1234;
    ASSERT_TRUE(handing.WaitExit(E2E_EXIT_MS, &code)) << "the second start runs as an instance of its own";
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == second; }))
        << "box holds \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(vorn.Alive());
}
