// bindings_test.cpp - live key bindings: bound key presses become commands of
// the edit box before the box sees them; unbound and unmodified keys type.
#include "tests/e2e/observe.h"

// Key codes of the key-binding file: modifier bits | virtual key.
enum { KEYCODE_CTRL_B = KEY_CTRL | 'B', KEYCODE_F2 = 0x71, KEYCODE_CTRL_K = KEY_CTRL | 'K' };

using BindingsE2E = RunTest;

TEST_F(BindingsE2E, CtrlBClearsTheBoxWhileAPlainBIsTyped) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeInto(&vorn, "abc"));
    // The letter key itself: unmodified keys other than F1-F24 are never looked up.
    ASSERT_TRUE(TapKey('B'));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == "abcb"; })) << "box holds \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(PressKeyUntil('B', KEY_CTRL, [&] { return vorn.EditText().empty(); }))
        << "Ctrl+B left \"" << vorn.EditText() << "\"";
    // The control character of Ctrl+B went nowhere: the box takes new text.
    ASSERT_TRUE(TypeInto(&vorn, "x"));
    EXPECT_TRUE(vorn.BoxFocused());
}

TEST_F(BindingsE2E, ACommandBoundTwiceFiresOnBothKeysAndF2AloneReachesTheBindings) {
    // The clear command on Ctrl+B and on F2 (the default key of the
    // registered-applications command, which then gets no key).
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    ASSERT_TRUE(WriteKeymap("2\r\n12," + std::to_string(KEYCODE_CTRL_B) + "\r\n12," + std::to_string(KEYCODE_F2) +
                            "\r\n"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeInto(&vorn, "abc"));
    ASSERT_TRUE(TapKey(VK_F2));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText().empty(); })) << "F2 left \"" << vorn.EditText() << "\"";
    ASSERT_TRUE(TypeInto(&vorn, "def"));
    EXPECT_TRUE(PressKeyUntil('B', KEY_CTRL, [&] { return vorn.EditText().empty(); }))
        << "Ctrl+B left \"" << vorn.EditText() << "\"";
}

TEST_F(BindingsE2E, AKeyBoundAsCommandAndAsApplicationFiresTheCommand) {
    // Ctrl+B for the clear command and for registered application 1000 (which
    // does not exist: were it chosen, the text would stay).
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    ASSERT_TRUE(WriteKeymap("1\r\n12," + std::to_string(KEYCODE_CTRL_B) + "\r\n---\r\n1\r\n1000," +
                            std::to_string(KEYCODE_CTRL_B) + "\r\n"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeInto(&vorn, "abc"));
    EXPECT_TRUE(PressKeyUntil('B', KEY_CTRL, [&] { return vorn.EditText().empty(); }))
        << "Ctrl+B left \"" << vorn.EditText() << "\"";
}

TEST_F(BindingsE2E, TheClearCommandFollowsTheKeymapToAnotherKey) {
    // Clear moved to Ctrl+K: Ctrl+B is then no binding at all and changes
    // nothing (its control character is dropped), Ctrl+K clears.
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    ASSERT_TRUE(WriteKeymap("1\r\n12," + std::to_string(KEYCODE_CTRL_K) + "\r\n"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeInto(&vorn, "abc"));
    PressKeyUntil('B', KEY_CTRL, [] { return false; }, 200);
    // Once the next character shows, Ctrl+B has been handled.
    ASSERT_TRUE(TypeText("x"));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == "abcx"; })) << "box holds \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(PressKeyUntil('K', KEY_CTRL, [&] { return vorn.EditText().empty(); }))
        << "Ctrl+K left \"" << vorn.EditText() << "\"";
}
