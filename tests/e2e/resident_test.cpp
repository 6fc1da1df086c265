// resident_test.cpp - staying resident: Esc hides the box into the tray (or
// plainly), the hot key and the tray icon bring it back, a hot key taken by
// another program turns resident mode off, and the tray icon's menu shows,
// reloads and exits.
#include "tests/e2e/observe.h"

namespace {

// The hot key of the default settings (hotkey=305): Alt+1.
const UINT kHotKeyModifiers = MOD_ALT;
const UINT kHotKeyVk = '1';

// Holds a system hot key of the test thread while it lives.
struct TakenHotKey {
    bool ok;
    TakenHotKey(UINT modifiers, UINT vk) { ok = RegisterHotKey(nullptr, 0x0B01, modifiers, vk) != FALSE; }
    ~TakenHotKey() {
        if (ok) UnregisterHotKey(nullptr, 0x0B01);
    }
};

// --- A reference menu --------------------------------------------------------------

// The size of the pop-up menu window that holds exactly the tray menu's three
// items, measured on a menu of the test's own: equal sizes mean the same
// number of items with the same widest text.
RECT gMenuRect;
int gMenuTicks;

void CALLBACK MeasureMenu(HWND wnd, UINT, UINT_PTR id, DWORD) {
    HWND menu = FindWindowOf(GetCurrentProcessId(), "#32768");
    if ((menu != nullptr && GetWindowRect(menu, &gMenuRect)) || ++gMenuTicks > 100) {
        KillTimer(wnd, id);
        EndMenu();
    }
}

bool ReferenceMenuSize(SIZE* size) {
    HWND owner = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 GetModuleHandleA(nullptr), nullptr);
    HMENU menu = CreatePopupMenu();
    if (owner == nullptr || menu == nullptr) return false;
    AppendMenuA(menu, MF_STRING, 2000, "&Show");
    AppendMenuA(menu, MF_STRING, 2001, "&Reload");
    AppendMenuA(menu, MF_STRING, 105, "&Exit");
    SetRectEmpty(&gMenuRect);
    gMenuTicks = 0;
    SetTimer(owner, 1, 30, MeasureMenu);
    TrackPopupMenu(menu, TPM_RETURNCMD | TPM_NONOTIFY, 200, 200, 0, owner, nullptr);
    DestroyMenu(menu);
    DestroyWindow(owner);
    size->cx = gMenuRect.right - gMenuRect.left;
    size->cy = gMenuRect.bottom - gMenuRect.top;
    return size->cx > 0 && size->cy > 0;
}

}  // namespace

using ResidentE2E = RunTest;

TEST_F(ResidentE2E, EscWithTrayOneHidesIntoTheTrayAndTheHotKeyBringsTheBoxBack) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND main = vorn.MainWindow();
    EXPECT_FALSE(TrayIconPresent(main)) << "a tray icon while the box is on show";

    ASSERT_TRUE(PressEscape());
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); })) << "Esc did not hide the box";
    EXPECT_TRUE(TrayIconPresent(main)) << "hidden without a tray icon";
    EXPECT_TRUE(vorn.Alive());

    EXPECT_TRUE(PressKeyUntil(kHotKeyVk, KEY_ALT, [&] { return vorn.BoxVisible() && vorn.BoxFocused(); }))
        << "the hot key did not bring the box back in front with the focus";
    EXPECT_TRUE(WaitFor([&] { return !TrayIconPresent(main); })) << "the tray icon stayed";

    // And the same way once more.
    ASSERT_TRUE(PressEscape());
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); })) << "the second Esc did not hide the box";
    EXPECT_TRUE(TrayIconPresent(main));
}

TEST_F(ResidentE2E, EscWithTrayTwoHidesWithoutIcon) {
    ASSERT_TRUE(WriteIniWith({"common.tray=2"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(PressEscape());
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); })) << "Esc did not hide the box";
    // An icon would have been added before the box was hidden.
    EXPECT_FALSE(TrayIconPresent(vorn.MainWindow()));
    EXPECT_TRUE(vorn.Alive());
    EXPECT_TRUE(PressKeyUntil(kHotKeyVk, KEY_ALT, [&] { return vorn.BoxVisible() && vorn.BoxFocused(); }));
}

// A word typed right behind the hot key, before the box can be in front,
// still reaches the box whole and in order; many times in a row, from another
// program in front, for both ways of hiding.
TEST_F(ResidentE2E, KeysTypedRightAfterTheHotKeyAllReachTheBox) {
    const char* word = "notepad";
    for (const char* tray : {"common.tray=1", "common.tray=2"}) {
        SCOPED_TRACE(tray);
        ASSERT_TRUE(WriteIniWith({tray, "path.typoctr=0"}));
        VornProcess vorn;
        ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
        HWND box = vorn.EditBox();
        for (int i = 0; i < 12; i++) {
            SCOPED_TRACE(i);
            ASSERT_TRUE(PressEscape());
            ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); })) << "Esc did not hide the box";
            ASSERT_TRUE(SendMessageA(box, WM_SETTEXT, 0, (LPARAM)""));
            ASSERT_TRUE(FocusAwaySettled());
            ASSERT_TRUE(PressKeyThenType(kHotKeyVk, KEY_ALT, word));
            EXPECT_TRUE(WaitFor([&] { return vorn.BoxFocused() && vorn.EditText() == word; }))
                << "the box holds \"" << vorn.EditText() << "\", the foreground is "
                << WindowClass(GetForegroundWindow()) << " of process "
                << WindowProcessId(GetForegroundWindow());
        }
    }
}

TEST_F(ResidentE2E, AClickOnTheTrayIconBringsTheBoxBack) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1"}));
    std::vector<HWND> iconsBefore = TrayIconWindows();
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(PressEscape());
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); }));
    HWND icon = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (icon = NewTrayIconWindow(iconsBefore)) != nullptr; })) << "no icon is shown";
    ASSERT_TRUE(ClickAt(icon, false));
    ParkPointer();
    EXPECT_TRUE(WaitFor([&] { return vorn.BoxVisible() && vorn.BoxFocused(); }))
        << "the click did not bring the box back";
    EXPECT_TRUE(WaitFor([&] { return !TrayIconPresent(vorn.MainWindow()); }));
}

TEST_F(ResidentE2E, AHotKeyTakenByAnotherProgramShowsTheErrorAndEscThenEnds) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1"}));
    TakenHotKey taken(kHotKeyModifiers, kHotKeyVk);
    ASSERT_TRUE(taken.ok) << "the test could not take Alt+1 itself";

    VornProcess vorn;
    ASSERT_TRUE(vorn.Start(folder, ""));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = FindMessageBoxOf(vorn.Pid())) != nullptr; }, E2E_START_MS))
        << "no message box";
    EXPECT_EQ(WindowText(box), "vorn");
    EXPECT_EQ(MessageBoxText(box), "HotKeyの登録エラー\r\n常駐設定を解除します");
    ASSERT_TRUE(PostMessageA(box, WM_COMMAND, IDOK, 0));
    // The message comes from the start-up, before the edit box is shown: once
    // the box has the focus, start-up is over, with this one message.
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused(); })) << "the box did not come up after the message";
    EXPECT_EQ(FindMessageBoxOf(vorn.Pid()), nullptr) << "a second message box";

    // Every reload tries the hot key again, and says so again.
    UINT reload = RegisterWindowMessageA(RELOAD_MESSAGE_NAME);
    ASSERT_TRUE(PostMessageA(vorn.MainWindow(), reload, 0, 0));
    ASSERT_TRUE(WaitFor([&] { return (box = FindMessageBoxOf(vorn.Pid())) != nullptr; })) << "no message at reload";
    EXPECT_EQ(MessageBoxText(box), "HotKeyの登録エラー\r\n常駐設定を解除します");
    ASSERT_TRUE(PostMessageA(box, WM_COMMAND, IDOK, 0));
    ASSERT_TRUE(WaitFor([&] { return FindMessageBoxOf(vorn.Pid()) == nullptr; }));

    // Not resident any more: Esc ends the program although tray is 1.
    ASSERT_TRUE(Activate(vorn.EditBox()));
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
    ASSERT_TRUE(PressEscape());
    DWORD code = 1234;
    ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code)) << "Esc did not end vorn";
    EXPECT_EQ(code, 0u);
}

// --- The tray menu ----------------------------------------------------------------

struct TrayMenuE2E : public RunTest {
    SIZE reference = {};
    std::vector<HWND> iconsBefore;
    HWND icon = nullptr;

    void SetUp() override {
        RunTest::SetUp();
        ASSERT_TRUE(ReferenceMenuSize(&reference)) << "the reference menu did not show";
        iconsBefore = TrayIconWindows();
    }
    void TearDown() override {
        ParkPointer();
        RunTest::TearDown();
    }

    // Starts vorn (tray 1) and hides its box into the tray with Esc.
    ::testing::AssertionResult StartHidden(VornProcess* vorn) {
        ::testing::AssertionResult started = StartAndWaitFocus(vorn, "");
        if (!started) return started;
        if (!PressEscape()) return ::testing::AssertionFailure() << "SendInput refused Esc";
        if (!WaitFor([&] { return !vorn->BoxVisible(); })) return ::testing::AssertionFailure() << "Esc did not hide";
        if (!WaitFor([&] { return (icon = NewTrayIconWindow(iconsBefore)) != nullptr; }))
            return ::testing::AssertionFailure() << "no tray icon is shown";
        return ::testing::AssertionSuccess();
    }

    // Right-clicks the tray icon; the menu window of vorn into *menu.
    ::testing::AssertionResult OpenMenu(VornProcess* vorn, HWND* menu) {
        if (!ClickAt(icon, true)) return ::testing::AssertionFailure() << "cannot click the tray icon";
        if (WaitFor([&] { return (*menu = FindWindowOf(vorn->Pid(), "#32768")) != nullptr; }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "no menu after a right click on the tray icon";
    }

    // Clicks item index (0-2) of a menu of three items.
    bool ClickItem(HWND menu, int index) {
        RECT r;
        if (!GetWindowRect(menu, &r)) return false;
        int y = r.top + (int)((r.bottom - r.top) * (2 * index + 1) / 6);
        return ClickPoint((r.left + r.right) / 2, y);
    }
};

TEST_F(TrayMenuE2E, TheMenuHoldsThreeItemsAndShowBringsTheBoxBack) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1"}));
    VornProcess vorn;
    ASSERT_TRUE(StartHidden(&vorn));
    HWND menu = nullptr;
    ASSERT_TRUE(OpenMenu(&vorn, &menu));
    RECT r;
    ASSERT_TRUE(GetWindowRect(menu, &r));
    EXPECT_EQ(r.right - r.left, reference.cx) << "the menu's width differs from one with the three items";
    EXPECT_EQ(r.bottom - r.top, reference.cy) << "the menu's height differs from one with the three items";

    ASSERT_TRUE(ClickItem(menu, 0));
    EXPECT_TRUE(WaitFor([&] { return vorn.BoxVisible() && vorn.BoxFocused(); })) << "Show did not show the box";
    EXPECT_TRUE(WaitFor([&] { return !TrayIconPresent(vorn.MainWindow()); })) << "the tray icon stayed";
}

TEST_F(TrayMenuE2E, ReloadRebuildsFromTheFilesAndKeepsTheBoxInTheTray) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1"}));
    VornProcess vorn;
    ASSERT_TRUE(StartHidden(&vorn));
    HWND box = vorn.EditBox();
    ASSERT_FALSE(IsLayered(box));
    // New settings: transparency on.
    ASSERT_TRUE(WriteIniWith({"common.tray=1", "common.alpha=50"}));
    HWND menu = nullptr;
    ASSERT_TRUE(OpenMenu(&vorn, &menu));
    ASSERT_TRUE(ClickItem(menu, 1));
    EXPECT_TRUE(WaitFor([&] { return IsLayered(box); })) << "Reload did not take the new settings";
    EXPECT_FALSE(vorn.BoxVisible()) << "Reload showed the box";
    EXPECT_TRUE(TrayIconPresent(vorn.MainWindow()));

    // The hot key still brings it back (and out of the tray), opaque while focused.
    EXPECT_TRUE(PressKeyUntil(kHotKeyVk, KEY_ALT, [&] { return vorn.BoxVisible() && vorn.BoxFocused(); }));
    EXPECT_TRUE(WaitFor([&] { return !TrayIconPresent(vorn.MainWindow()); }));
    EXPECT_EQ(LayeredAlpha(box), 255);
}

TEST_F(TrayMenuE2E, ExitEndsTheProgramAndRemovesTheIcon) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1"}));
    VornProcess vorn;
    ASSERT_TRUE(StartHidden(&vorn));
    HWND main = vorn.MainWindow();
    HWND menu = nullptr;
    ASSERT_TRUE(OpenMenu(&vorn, &menu));
    ASSERT_TRUE(ClickItem(menu, 2));
    DWORD code = 1234;
    ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code)) << "Exit did not end vorn";
    EXPECT_EQ(code, 0u);
    EXPECT_FALSE(TrayIconPresent(main)) << "the tray icon outlived the program";
    EXPECT_TRUE(WaitFor([&] { return NewTrayIconWindow(iconsBefore) == nullptr; })) << "the icon is still shown";
}
