// reload_test.cpp - transparency of the unfocused box, and "WM_RELOAD": the
// settings program's request to rebuild from the data files, which also ends
// the modes of the command line.
#include "tests/e2e/observe.h"

namespace {

// A clock text: one blank, then the time (" HH:MM:SS" with the default format).
bool ShowsClock(const std::string& text) { return text.size() == 9 && text[0] == ' ' && text[3] == ':'; }

}  // namespace

using TransparencyE2E = RunTest;

TEST_F(TransparencyE2E, AlphaFiftyMakesTheUnfocusedBoxHalfTransparent) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "common.alpha=50"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND box = vorn.EditBox();
    EXPECT_TRUE(IsLayered(box));
    EXPECT_EQ(LayeredAlpha(box), 255) << "the focused box is not opaque";

    ASSERT_TRUE(FocusAway());
    EXPECT_TRUE(WaitFor([&] { return LayeredAlpha(box) == 127; })) << "alpha " << LayeredAlpha(box);
    ASSERT_TRUE(Activate(box));
    EXPECT_TRUE(WaitFor([&] { return LayeredAlpha(box) == 255; })) << "alpha " << LayeredAlpha(box);
}

TEST_F(TransparencyE2E, AlphaHundredNeverLayersTheBox) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "common.alpha=100", "path.typoctr=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND box = vorn.EditBox();
    EXPECT_FALSE(IsLayered(box));
    ASSERT_TRUE(TypeInto(&vorn, "abc"));
    ASSERT_TRUE(FocusAway());
    // The clock shows once the box has handled the loss of the focus.
    ASSERT_TRUE(WaitFor([&] { return ShowsClock(vorn.EditText()); })) << "box holds \"" << vorn.EditText() << "\"";
    EXPECT_FALSE(IsLayered(box));
    ASSERT_TRUE(Activate(box));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == "abc"; }));
    EXPECT_FALSE(IsLayered(box));
}

using ReloadE2E = RunTest;

TEST_F(ReloadE2E, SwitchingAlphaFromHundredToSixtyLayersTheBoxWithoutARestart) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND box = vorn.EditBox();
    ASSERT_FALSE(IsLayered(box));
    ASSERT_TRUE(TypeInto(&vorn, "abc"));

    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "common.alpha=60"}));
    ASSERT_TRUE(SendReload(vorn.MainWindow())) << "no answer 1 to WM_RELOAD";
    EXPECT_TRUE(IsLayered(box));
    EXPECT_EQ(LayeredAlpha(box), 255) << "the box is not opaque while it has the focus";
    EXPECT_EQ(vorn.EditText(), "abc") << "the reload lost the text";
    EXPECT_EQ(vorn.EditBox(), box) << "the box was made anew";

    ASSERT_TRUE(FocusAway());
    EXPECT_TRUE(WaitFor([&] { return LayeredAlpha(box) == 153; })) << "alpha " << LayeredAlpha(box);

    // And back to 100: the layered style goes.
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "common.alpha=100"}));
    ASSERT_TRUE(SendReload(vorn.MainWindow()));
    EXPECT_FALSE(IsLayered(box));
}

TEST_F(ReloadE2E, OneShotModeEndsTheProgramWhenTheBoxIsLeft) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, "/o"));
    ASSERT_TRUE(FocusAway());
    DWORD code = 1234;
    ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code)) << "/o: leaving the box did not end vorn";
    EXPECT_EQ(code, 0u);
}

TEST_F(ReloadE2E, AfterAReloadOneShotModeNoLongerApplies) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, "/o"));
    ASSERT_TRUE(SendReload(vorn.MainWindow()));
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
    ASSERT_TRUE(FocusAway());
    // The clock shows once the box has handled the loss of the focus.
    EXPECT_TRUE(WaitFor([&] { return ShowsClock(vorn.EditText()) || !vorn.Alive(); }) && vorn.Alive())
        << "vorn ended when the box was left after the reload";
}

TEST_F(ReloadE2E, AfterAReloadASlashAInstanceHoldsTheHotKey) {
    // /a registers no hot key at start: the test can take Alt+1. The reload
    // registers vorn's hot key like any other reload does.
    ASSERT_TRUE(WriteIniWith({"common.tray=1"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, "/a"));
    BOOL free = RegisterHotKey(nullptr, 0x0B02, MOD_ALT, '1');
    if (free) UnregisterHotKey(nullptr, 0x0B02);
    EXPECT_TRUE(free) << "a /a instance holds the hot key";

    ASSERT_TRUE(SendReload(vorn.MainWindow()));
    EXPECT_EQ(FindMessageBoxOf(vorn.Pid()), nullptr) << "the reload could not register the hot key";
    BOOL taken = !RegisterHotKey(nullptr, 0x0B02, MOD_ALT, '1');
    if (!taken) UnregisterHotKey(nullptr, 0x0B02);
    EXPECT_TRUE(taken) << "after the reload the hot key is still free";
    // Resident now: Esc hides into the tray and the hot key brings the box back.
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
    ASSERT_TRUE(PressEscape());
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); }));
    EXPECT_TRUE(PressKeyUntil('1', KEY_ALT, [&] { return vorn.BoxVisible() && vorn.BoxFocused(); }));
}

TEST_F(ReloadE2E, AReloadWhileTheSettingsAreHeldKeepsThemInForce) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "common.alpha=60"}));
    const std::string before = ReadIni();
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND box = vorn.EditBox();
    ASSERT_TRUE(IsLayered(box));

    // Another program holds the file without sharing during the reload.
    HANDLE held = CreateFileA(Path("data\\vorn.ini").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    bool answered = SendReload(vorn.MainWindow());
    CloseHandle(held);
    ASSERT_TRUE(answered) << "no answer 1 to WM_RELOAD";
    EXPECT_TRUE(IsLayered(box)) << "the reload fell back to the default alpha";
    ASSERT_TRUE(FocusAway());
    EXPECT_TRUE(WaitFor([&] { return LayeredAlpha(box) == 153; })) << "alpha " << LayeredAlpha(box);
    EXPECT_EQ(ReadIni(), before);
}
