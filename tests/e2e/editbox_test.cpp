// editbox_test.cpp - the command edit box seen from outside: typing, the clock
// while it is left, Esc and the exit key, the byte limit of the text.
#include "tests/e2e/harness.h"
#include "tests/e2e/observe.h"

#include <stdlib.h>

namespace {

// Seconds of the day shown by a clock text " HH:MM:SS" (the default time
// format with one blank in front), or -1 when text has another form.
int ClockSeconds(const std::string& text) {
    if (text.size() != 9 || text[0] != ' ' || text[3] != ':' || text[6] != ':') return -1;
    for (int i : {1, 2, 4, 5, 7, 8})
        if (text[i] < '0' || text[i] > '9') return -1;
    int h = (text[1] - '0') * 10 + (text[2] - '0');
    int m = (text[4] - '0') * 10 + (text[5] - '0');
    int s = (text[7] - '0') * 10 + (text[8] - '0');
    if (h > 23 || m > 59 || s > 59) return -1;
    return h * 3600 + m * 60 + s;
}

int NowSeconds(void) {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600 + t.wMinute * 60 + t.wSecond;
}

// Distance of two times of the day in seconds, across midnight.
int ClockDistance(int a, int b) {
    int d = abs(a - b);
    return d > 43200 ? 86400 - d : d;
}

}  // namespace

using EditBoxE2E = VornTest;

TEST_F(EditBoxE2E, LeavingTheBoxShowsTheClockAndComingBackRestoresTheText) {
    // typoctr 0: free typing, so the text need not name an existing path.
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeText("zq9x"));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == "zq9x"; })) << "box holds \"" << vorn.EditText() << "\"";

    ASSERT_TRUE(FocusAway());
    ASSERT_TRUE(WaitFor([&] { return ClockSeconds(vorn.EditText()) >= 0; }))
        << "no clock after losing the focus; box holds \"" << vorn.EditText() << "\"";
    std::string clock = vorn.EditText();
    EXPECT_LE(ClockDistance(ClockSeconds(clock), NowSeconds()), 3) << "clock shows" << clock;
    // It keeps ticking (500 ms timer): within two seconds it shows another second.
    EXPECT_TRUE(WaitFor([&] {
        std::string now = vorn.EditText();
        return ClockSeconds(now) >= 0 && now != clock;
    }, 2500)) << "the clock stands still at \"" << clock << "\"";
    EXPECT_TRUE(vorn.Alive());

    ASSERT_TRUE(Activate(vorn.EditBox())) << "could not bring the box back";
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == "zq9x"; }))
        << "text not restored; box holds \"" << vorn.EditText() << "\"";
    EXPECT_EQ(vorn.Caret(), 4u) << "the caret is not after the restored text";
    // The clock stopped with the return: the text stays for more than two ticks.
    EXPECT_FALSE(WaitFor([&] { return vorn.EditText() != "zq9x"; }, 1200))
        << "the clock came back while the box has the focus: \"" << vorn.EditText() << "\"";
}

TEST_F(EditBoxE2E, LeavingAnEmptyBoxShowsTheClockAndComingBackEmptiesIt) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(FocusAway());
    ASSERT_TRUE(WaitFor([&] { return ClockSeconds(vorn.EditText()) >= 0; }))
        << "box holds \"" << vorn.EditText() << "\"";
    ASSERT_TRUE(ClickWindow(vorn.EditBox()));
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused(); })) << "a click did not give the box the focus";
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText().empty(); }))
        << "the clock stayed in the box: \"" << vorn.EditText() << "\"";
}

TEST_F(EditBoxE2E, TypedJapaneseArrivesAsShiftJisText) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeTextW(L"表示"));
    // The literal is code page 932: 95 5C 8E A6 (a trail byte 5C, the backslash).
    const std::string expected = "表示";
    ASSERT_EQ(expected, "\x95\x5C\x8E\xA6");
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == expected; }))
        << "box holds \"" << vorn.EditText() << "\"";
    // The end of the text: two characters, or four bytes where the position
    // is counted in bytes of the ANSI text.
    DWORD caret = vorn.Caret();
    EXPECT_TRUE(caret == 2 || caret == 4) << "caret at " << caret << ", not after the two characters";
}

TEST_F(EditBoxE2E, EscWithoutResidentModeEndsTheProgram) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(PressKey(VK_ESCAPE));
    DWORD code = 1234;
    ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code)) << "Esc with tray 0 did not end vorn";
    EXPECT_EQ(code, 0u);
}

TEST_F(EditBoxE2E, ShiftEscEndsTheProgramThroughItsDefaultBinding) {
    // Default settings (tray 1): a plain Esc would only hide the box, so an
    // ending proves the exit command bound to Shift+Esc.
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    EXPECT_TRUE(PressKeyUntil(VK_ESCAPE, KEY_SHIFT, [&] { return !vorn.Alive(); }));
    DWORD code = 1234;
    ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code)) << "Shift+Esc did not end vorn";
    EXPECT_EQ(code, 0u);
}

TEST_F(EditBoxE2E, ExitCommandFollowsTheKeymapFile) {
    // The exit command moved to Ctrl+Q: Shift+Esc is then a plain Esc (tray 2
    // hides the box), the hot key brings the box back, Ctrl+Q ends vorn.
    ASSERT_TRUE(WriteIniWith({"common.tray=2"}));
    ASSERT_TRUE(WriteKeymap("1\r\n21,593\r\n"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));

    PressKeyUntil(VK_ESCAPE, KEY_SHIFT, [&] { return !vorn.BoxVisible() || !vorn.Alive(); });
    ASSERT_TRUE(vorn.Alive()) << "Shift+Esc still ends vorn although the keymap moved the exit command";
    ASSERT_FALSE(vorn.BoxVisible()) << "Shift+Esc did not act as Esc";

    ASSERT_TRUE(PressKey('1', KEY_ALT));
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxVisible() && vorn.BoxFocused(); })) << "the hot key did not show the box";

    EXPECT_TRUE(PressKeyUntil('Q', KEY_CTRL, [&] { return !vorn.Alive(); }));
    DWORD code = 1234;
    ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code)) << "Ctrl+Q did not end vorn";
    EXPECT_EQ(code, 0u);
}

TEST_F(EditBoxE2E, EditCommandCodesBeyondTheTableDoNothing) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    HWND box = vorn.EditBox();
    DWORD_PTR answer = 0;
    for (WPARAM code : {(WPARAM)24, (WPARAM)1000, (WPARAM)0xFFFFFFFF}) {
        EXPECT_TRUE(SendMessageTimeoutA(box, WM_APP + 2, code, 0, SMTO_ABORTIFHUNG, 3000, &answer))
            << "no answer to command " << code;
        EXPECT_TRUE(vorn.Alive()) << "command " << code;
    }
    // Code 21 is the exit command.
    SendMessageTimeoutA(box, WM_APP + 2, 21, 0, SMTO_ABORTIFHUNG, 3000, &answer);
    DWORD exitCode = 1234;
    EXPECT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &exitCode)) << "command 21 did not end vorn";
    EXPECT_EQ(exitCode, 0u);
}

using EditLimitE2E = RunTest;

// The box holds at most 260 bytes: a double-byte character that would pass
// them is refused whole, one that fits goes in. Each typed key is followed by
// one that shows it was handled, so no wait depends on nothing happening.
TEST_F(EditLimitE2E, TypingStopsAt260BytesAndNeverHalfACharacter) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    std::string base = "C:\\";  // 259 bytes in 131 characters
    for (int i = 0; i < 128; i++) base += "\x95\x5C";
    ASSERT_TRUE(HandText(&vorn, base));

    ASSERT_TRUE(TypeTextW(L"\u8868x"));  // 表 (two bytes) is refused, x (one) is not
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == base + "x"; }))
        << "box holds " << vorn.EditText().size() << " bytes";
    ASSERT_TRUE(TypeText("y"));  // 261 bytes: refused
    ASSERT_TRUE(PressKey(VK_BACK));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == base; }))
        << "box holds " << vorn.EditText().size() << " bytes";

    ASSERT_TRUE(PressKey(VK_BACK));  // 257 bytes: room for 表 again
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText().size() == 257; }));
    ASSERT_TRUE(TypeTextW(L"\u8868"));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == base; }))
        << "box holds " << vorn.EditText().size() << " bytes";
}
