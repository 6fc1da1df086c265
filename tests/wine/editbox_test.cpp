// In-process tests of the command edit box against a real EDIT window: its
// creation and placement, the byte limit of its text, the stashed text, focus
// changes and the clock, the frame colours, the command dispatch, the
// key-binding filter, the hand-over receiver and the shutdown order.
#include <windows.h>

#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/keymap.h"
#include "common/settings.h"
#include "common/sharednames.h"
#include "common/strutil.h"
#include "launcher/commands/commands.h"
#include "common/winutil.h"
#include "launcher/editbox/editbox.h"
#include "launcher/editbox/editbox_internal.h"
#include "launcher/editbox/editgeom.h"
#include "launcher/editbox/savedtext.h"
#include "launcher/shell/appstate.h"
#include "launcher/shell/instance.h"
#include "launcher/shell/shell.h"
#include "launcher/shell/startup.h"
#include "tests/clipboard_text.h"

namespace {

// What the stand-in main window and the stand-in edit box were sent.
struct Received {
    int closes;
    UINT lastMsg;
    WPARAM lastWParam;
    int lastArg;  // the command target's arg
};
Received g_received;

LRESULT CALLBACK RecordingProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CLOSE) {
        g_received.closes++;
        return 0;
    }
    if (msg == WM_EDIT_COMMAND || msg == WM_EDIT_REGAPP) {
        g_received.lastMsg = msg;
        g_received.lastWParam = wParam;
        return 0;
    }
    if (msg == WM_RUN_COMMAND) {
        // The stand-in main window runs commands as the real one does.
        g_received.lastMsg = msg;
        g_received.lastWParam = wParam;
        g_received.lastArg = lParam ? ((const CommandTarget*)lParam)->arg : -1;
        return OnRunCommandMessage(wParam, lParam);
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

void Pump(void) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

std::string TextOf(HWND wnd) {
    char buf[600] = "";
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

RECT RectOf(HWND wnd) {
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(wnd, &rc);
    return rc;
}

int SystemHeight(int ftsize, int icon) {
    return ftsize + 2 * GetSystemMetrics(SM_CYEDGE) + 2 * GetSystemMetrics(SM_CYDLGFRAME) + 2 +
           (icon == 1 ? 1 : 0);
}

// Default settings, a recording message-only main window, the real edit box
// created on demand; every global is put back afterwards.
class EditBoxFixture : public ::testing::Test {
   protected:
    void SetUp() override {
        savedShell = Shell;
        savedEditBox = EditBox;
        savedSettings = Settings;
        savedApp = App;
        savedFlags = ReadFlags();
        App = AppStrings{};
        EditBox = EditBoxState{};
        SavedText.disabled = false;
        ResetSettings();
        Settings.hotkey = 0;
        Settings.icon = 0;
        ClearAllFlags();
        g_received = Received{};

        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof wc);
        wc.lpfnWndProc = RecordingProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "vorn_editbox_test_main";
        RegisterClassA(&wc);
        mainWnd = CreateWindowExA(WS_EX_TOOLWINDOW, "vorn_editbox_test_main", "", 0, 0, 0, 0, 0,
                                  HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
        ASSERT_NE(mainWnd, nullptr);
        Shell.instance = wc.hInstance;
        Shell.mainWnd = mainWnd;
        Shell.overrideX = Shell.overrideY = Shell.overrideW = -1;
        Shell.trayIcon = nullptr;
        Shell.mutex = nullptr;
        Shell.shuttingDown = false;
        Shell.comReady = Shell.oleReady = false;
    }
    void TearDown() override {
        if (EditBox.wnd) KillTimer(EditBox.wnd, ID_TIMER_CLOCK);
        DestroyPathIconWindow();
        UnsubclassEditBox();
        DiscardSavedText();
        SetAppString(&App.startDir, nullptr);
        SetAppString(&App.targetProgram, nullptr);
        SetAppString(&App.argPrefix, nullptr);
        if (mainWnd && IsWindow(mainWnd)) DestroyWindow(mainWnd);
        Pump();
        Shell = savedShell;
        EditBox = savedEditBox;
        Settings = savedSettings;
        App = savedApp;
        ClearAllFlags();
        SetFlags(savedFlags);
    }

    HWND Create(void) {
        HWND wnd = CreateEditBox(mainWnd);
        EXPECT_NE(wnd, nullptr);
        return wnd;
    }

    // Shows the box and gives it the keyboard focus.
    void ShowAndFocus(HWND wnd) {
        ShowWindow(wnd, SW_SHOW);
        SetForegroundWindow(wnd);
        SetFocus(wnd);
        Pump();
        ASSERT_EQ(GetFocus(), wnd);
    }

    ShellState savedShell;
    EditBoxState savedEditBox;
    SettingsRecord savedSettings;
    AppStrings savedApp;
    uint32_t savedFlags = 0;
    HWND mainWnd = nullptr;
};

// --- geometry (pure) ----------------------------------------------------------

TEST(EditGeometry, HeightAddsEdgesFramesRoomAndTheIconPixel) {
    EXPECT_EQ(12 + 4 + 6 + 2, EditHeightFor(12, 2, 3, 0));
    EXPECT_EQ(12 + 4 + 6 + 2 + 1, EditHeightFor(12, 2, 3, 1));
    // Only the value 1 switches the icon on.
    EXPECT_EQ(EditHeightFor(20, 2, 3, 0), EditHeightFor(20, 2, 3, 2));
}

TEST(EditGeometry, FitWidthNeverBelowTheSettingAndRoomForTheIcon) {
    // text 200 + ftsize 12 + 2 * (2 + 3)
    EXPECT_EQ(222, FitWidthFor(200, 12, 2, 3, 70, 0));
    EXPECT_EQ(238, FitWidthFor(200, 12, 2, 3, 70, 1));
    // A short text keeps the configured width (plus the icon's 16).
    EXPECT_EQ(300, FitWidthFor(10, 12, 2, 3, 300, 0));
    EXPECT_EQ(316, FitWidthFor(10, 12, 2, 3, 300, 1));
}

TEST(EditGeometry, BorderZones) {
    BoxRect r = {100, 50, 400, 80};
    // Top end of the left border: move.
    EXPECT_EQ(EDIT_DRAG_MOVE, BorderZone(101, 55, &r, 2));
    // The move zone ends 6 pixels below the top.
    EXPECT_EQ(EDIT_DRAG_LEFT, BorderZone(101, 56, &r, 2));
    EXPECT_EQ(EDIT_DRAG_LEFT, BorderZone(102, 70, &r, 2));
    EXPECT_EQ(EDIT_DRAG_NONE, BorderZone(103, 70, &r, 2));
    EXPECT_EQ(EDIT_DRAG_RIGHT, BorderZone(398, 70, &r, 2));
    // The right border wins over the top even near the top.
    EXPECT_EQ(EDIT_DRAG_RIGHT, BorderZone(399, 51, &r, 2));
    EXPECT_EQ(EDIT_DRAG_NONE, BorderZone(250, 50, &r, 2));
}

TEST(EditGeometry, DragRectMovesAndResizes) {
    BoxRect r = {100, 50, 400, 80};
    BoxRect out = {0, 0, 0, 0};
    ASSERT_TRUE(DragRect(EDIT_DRAG_MOVE, 10, -4, &r, 3, &out));
    EXPECT_EQ(113, out.left);
    EXPECT_EQ(49, out.top);
    EXPECT_EQ(300, out.right - out.left);
    EXPECT_EQ(30, out.bottom - out.top);

    // Right edge: width = cx + 2f, never for cx below 20.
    ASSERT_TRUE(DragRect(EDIT_DRAG_RIGHT, 20, 5, &r, 3, &out));
    EXPECT_EQ(100, out.left);
    EXPECT_EQ(126, out.right);
    out = BoxRect{1, 2, 3, 4};
    EXPECT_FALSE(DragRect(EDIT_DRAG_RIGHT, 19, 5, &r, 3, &out));
    EXPECT_EQ(1, out.left);

    // Left edge: the right edge stays put; refused when less than 20 pixels remain.
    ASSERT_TRUE(DragRect(EDIT_DRAG_LEFT, -30, 5, &r, 3, &out));
    EXPECT_EQ(73, out.left);
    EXPECT_EQ(400, out.right);
    EXPECT_EQ(50, out.top);
    EXPECT_EQ(80, out.bottom);
    ASSERT_TRUE(DragRect(EDIT_DRAG_LEFT, 280, 5, &r, 3, &out));
    EXPECT_EQ(400, out.right);
    EXPECT_FALSE(DragRect(EDIT_DRAG_LEFT, 281, 5, &r, 3, &out));
    EXPECT_FALSE(DragRect(EDIT_DRAG_NONE, 5, 5, &r, 3, &out));
}

// --- creation and placement ---------------------------------------------------

using EditBoxCreate = EditBoxFixture;

TEST_F(EditBoxCreate, WindowStylesFontLimitAndSubclass) {
    Settings.ftsize = 18;
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    char cls[32] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    EXPECT_STREQ("Edit", cls);
    LONG_PTR ex = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    for (LONG_PTR bit :
         {WS_EX_DLGMODALFRAME, WS_EX_TOPMOST, WS_EX_TOOLWINDOW, WS_EX_WINDOWEDGE, WS_EX_CLIENTEDGE})
        EXPECT_TRUE(ex & bit) << std::hex << bit;
    LONG_PTR style = GetWindowLongPtrA(wnd, GWL_STYLE);
    EXPECT_TRUE(style & WS_POPUP);
    EXPECT_TRUE(style & ES_AUTOHSCROLL);
    EXPECT_TRUE(style & ES_NOHIDESEL);
    EXPECT_FALSE(style & ES_CENTER);
    EXPECT_EQ(GetWindow(wnd, GW_OWNER), mainWnd);
    EXPECT_EQ(0, GetDlgCtrlID(wnd));

    EXPECT_EQ(EDIT_TEXT_MAX - 1, (int)SendMessageA(wnd, EM_GETLIMITTEXT, 0, 0));
    LOGFONTA lf;
    ASSERT_NE(EditBox.font, nullptr);
    ASSERT_NE(0, GetObjectA(EditBox.font, sizeof lf, &lf));
    EXPECT_EQ(-18, lf.lfHeight);
    EXPECT_EQ(FW_NORMAL, lf.lfWeight);
    EXPECT_EQ(SHIFTJIS_CHARSET, lf.lfCharSet);
    EXPECT_EQ(PROOF_QUALITY, lf.lfQuality);
    EXPECT_EQ((HFONT)SendMessageA(wnd, WM_GETFONT, 0, 0), EditBox.font);
    // Margins without the icon: left 1, right ftsize / 2.
    DWORD margins = (DWORD)SendMessageA(wnd, EM_GETMARGINS, 0, 0);
    EXPECT_EQ(1, LOWORD(margins));
    EXPECT_EQ(9, HIWORD(margins));
    EXPECT_EQ(nullptr, EditBox.iconWnd);

    EXPECT_EQ((LONG_PTR)EditBoxProc, GetWindowLongPtrA(wnd, GWLP_WNDPROC));
    ASSERT_NE(SavedWindowProc(wnd), nullptr);
    UnsubclassEditBox();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(nullptr, EditBox.wnd);
    EXPECT_EQ(nullptr, EditBox.font);
}

TEST_F(EditBoxCreate, CenteredTextWithAligns) {
    Settings.aligns = 1;
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_STYLE) & ES_CENTER);
    Settings.aligns = 0;
    SetEditText("abc");
    RestyleEditBox();
    EXPECT_FALSE(GetWindowLongPtrA(wnd, GWL_STYLE) & ES_CENTER);
    EXPECT_EQ("abc", TextOf(wnd));
}

TEST_F(EditBoxCreate, PlacedFromTheSettingsWithTheSystemHeight) {
    Settings.x = 40;
    Settings.y = 60;
    Settings.w = 250;
    Settings.ftsize = 14;
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    RECT rc = RectOf(wnd);
    EXPECT_EQ(40, rc.left);
    EXPECT_EQ(60, rc.top);
    EXPECT_EQ(250, rc.right - rc.left);
    EXPECT_EQ(SystemHeight(14, 0), rc.bottom - rc.top);
}

TEST_F(EditBoxCreate, CommandLineOverridesWinAndNegativeOnesDoNot) {
    Settings.x = 40;
    Settings.y = 60;
    Settings.w = 250;
    Shell.overrideX = 0;
    Shell.overrideY = 33;
    Shell.overrideW = -1;
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    RECT rc = RectOf(wnd);
    EXPECT_EQ(0, rc.left);
    EXPECT_EQ(33, rc.top);
    EXPECT_EQ(250, rc.right - rc.left);

    Shell.overrideW = 180;
    PlaceEditBox();
    rc = RectOf(wnd);
    EXPECT_EQ(180, rc.right - rc.left);
    // Once the overrides are gone (as after a reload) the settings apply.
    Shell.overrideX = Shell.overrideY = Shell.overrideW = -1;
    PlaceEditBox();
    rc = RectOf(wnd);
    EXPECT_EQ(40, rc.left);
    EXPECT_EQ(60, rc.top);
    EXPECT_EQ(250, rc.right - rc.left);
}

TEST_F(EditBoxCreate, PathIconTakesItsMarginAndOnePixelOfHeight) {
    Settings.icon = 1;
    Settings.ftsize = 12;
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    ASSERT_NE(nullptr, EditBox.iconWnd);
    EXPECT_EQ(wnd, GetParent(EditBox.iconWnd));
    RECT icon = RectOf(EditBox.iconWnd);
    EXPECT_EQ(16, icon.right - icon.left);
    EXPECT_EQ(16, icon.bottom - icon.top);
    EXPECT_EQ(SystemHeight(12, 1), RectOf(wnd).bottom - RectOf(wnd).top);
    EXPECT_EQ(17, LOWORD(SendMessageA(wnd, EM_GETMARGINS, 0, 0)));

    ShowPathIcon(false);
    EXPECT_FALSE(IsWindowVisible(EditBox.iconWnd));
    EXPECT_EQ(1, LOWORD(SendMessageA(wnd, EM_GETMARGINS, 0, 0)));
    ShowWindow(wnd, SW_SHOWNA);
    ShowPathIcon(true);
    EXPECT_TRUE(IsWindowVisible(EditBox.iconWnd));
    EXPECT_EQ(16, LOWORD(SendMessageA(wnd, EM_GETMARGINS, 0, 0)));
    EXPECT_EQ(6, HIWORD(SendMessageA(wnd, EM_GETMARGINS, 0, 0)));

    // An existing file gets the shell's icon, anything else the default one
    // (the test program carries no icon resource, so none at all here).
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    SetPathIcon(self);
    EXPECT_NE(nullptr, EditBox.iconImage);
    SetPathIcon("C:\\no\\such\\file.txt");
    EXPECT_EQ(nullptr, EditBox.iconImage);

    DestroyPathIconWindow();
    EXPECT_EQ(nullptr, EditBox.iconWnd);
}

TEST_F(EditBoxCreate, FitWidthFollowsTheTextOnlyWithAutoresize) {
    Settings.w = 80;
    Settings.autoresize = 1;
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    RECT before = RectOf(wnd);
    const char* text = "C:\\Program Files\\a rather long folder name\\with more\\";
    HDC dc = GetDC(wnd);
    HGDIOBJ old = SelectObject(dc, EditBox.font);
    SIZE size;
    GetTextExtentPoint32A(dc, text, (int)strlen(text), &size);
    SelectObject(dc, old);
    ReleaseDC(wnd, dc);
    FitEditWidth(text);
    RECT after = RectOf(wnd);
    int expected = size.cx + Settings.ftsize +
                   2 * (GetSystemMetrics(SM_CYEDGE) + GetSystemMetrics(SM_CYDLGFRAME));
    ASSERT_GT(expected, 80);
    EXPECT_EQ(expected, after.right - after.left);
    EXPECT_EQ(before.left, after.left);
    EXPECT_EQ(before.top, after.top);
    EXPECT_EQ(before.bottom - before.top, after.bottom - after.top);

    FitEditWidth("x");
    EXPECT_EQ(80, RectOf(wnd).right - RectOf(wnd).left);

    FitEditWidth(text);
    RestoreEditWidth();
    EXPECT_EQ(80, RectOf(wnd).right - RectOf(wnd).left);

    Settings.autoresize = 0;
    FitEditWidth(text);
    EXPECT_EQ(80, RectOf(wnd).right - RectOf(wnd).left);
}

TEST_F(EditBoxCreate, ReadTextTurnsSlashesAndStaysInItsBuffer) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    // "C:/表/x": the trail byte of 表 is 0x5C and must stay as it is.
    SetEditText("C:/\x95\x5C/x");
    char buf[EDIT_TEXT_MAX];
    EXPECT_EQ(7, ReadEditText(buf, sizeof buf));
    EXPECT_STREQ("C:\\\x95\x5C\\x", buf);
    char small[4];
    ReadEditText(small, sizeof small);
    EXPECT_EQ(3u, strlen(small));
    // The caret stands after the last of the six characters.
    DWORD start = 0, end = 0;
    SendMessageA(wnd, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    wchar_t wide[32];
    GetWindowTextW(wnd, wide, 32);
    EXPECT_EQ(6u, wcslen(wide));
    EXPECT_EQ(6u, start);
    EXPECT_EQ(6u, end);
}

// --- the byte limit -------------------------------------------------------------

// n double-byte characters 表 (95 5C): 2n bytes, n characters.
std::string Kanji(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; i++) s += "\x95\x5C";
    return s;
}


std::string ReadBack(void) {
    char buf[EDIT_TEXT_MAX];
    int n = ReadEditText(buf, sizeof buf);
    EXPECT_EQ((size_t)n, strlen(buf));
    return buf;
}

using EditBoxLimit = EditBoxFixture;

TEST_F(EditBoxLimit, SetTextTakesWholeTextsOfUpTo260BytesAndRefusesLongerOnes) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    ASSERT_TRUE(SetEditText("kept"));
    EXPECT_EQ(0u, EditBox.refusedEdits);
    for (const std::string& tooLong :
         {"C:\\" + std::string(258, 'a'), "C:\\" + std::string(297, 'a'), "C:\\" + Kanji(129)}) {
        unsigned refused = EditBox.refusedEdits;
        EXPECT_FALSE(SetEditText(tooLong.c_str())) << tooLong.size();
        EXPECT_EQ("kept", TextOf(wnd));
        EXPECT_EQ(refused + 1, EditBox.refusedEdits);  // with a beep
    }
    // 260 bytes come back whole, single- or double-byte.
    for (const std::string& full : {"C:\\" + std::string(257, 'a'), "C:" + Kanji(129)}) {
        ASSERT_EQ(260u, full.size());
        EXPECT_TRUE(SetEditText(full.c_str()));
        EXPECT_EQ(full, ReadBack());
    }
    EXPECT_FALSE(SetEditText(nullptr));
}

TEST_F(EditBoxLimit, TypingStopsAtTheByteLimitWithoutHalfCharacters) {
    Settings.typoctr = 0;  // free typing: no folder list to consult
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    // 259 bytes in 131 characters: the control alone would take more.
    std::string text = "C:\\" + Kanji(128);
    ASSERT_TRUE(SetEditText(text.c_str()));
    SendMessageA(wnd, WM_CHAR, 0x95, 0);  // 表: two bytes do not fit
    SendMessageA(wnd, WM_CHAR, 0x5C, 0);
    EXPECT_EQ(text, ReadBack());
    EXPECT_EQ(1u, EditBox.refusedEdits);
    SendMessageA(wnd, WM_CHAR, 'x', 0);  // one byte does
    EXPECT_EQ(text + "x", ReadBack());
    SendMessageA(wnd, WM_CHAR, 'y', 0);
    EXPECT_EQ(text + "x", ReadBack());
    EXPECT_EQ(2u, EditBox.refusedEdits);
    // A selection makes room.
    SendMessageA(wnd, EM_SETSEL, 0, -1);
    SendMessageA(wnd, WM_CHAR, 'z', 0);
    EXPECT_EQ("z", ReadBack());
    EXPECT_EQ(2u, EditBox.refusedEdits);
    // (A double-byte character that fits is typed in the end-to-end tests: only
    // the common-controls edit of vorn.exe joins its two WM_CHAR bytes.)
}

TEST_F(EditBoxLimit, APasteGoesInWholeOrNotAtAll) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    ASSERT_TRUE(SetEditText("C:\\"));
    // A 300-byte path and 261 bytes of double-byte text (132 characters) are
    // refused: nothing is cut.
    for (const std::string& tooLong : {"x\\" + std::string(298, 'p'), "\x95\x5C" + Kanji(128)}) {
        ASSERT_TRUE(PutTextOnClipboard(wnd, tooLong));
        unsigned refused = EditBox.refusedEdits;
        SendMessageA(wnd, WM_PASTE, 0, 0);
        EXPECT_EQ("C:\\", ReadBack()) << tooLong.size();
        EXPECT_EQ(refused + 1, EditBox.refusedEdits);
    }
    // Up to 260 bytes in all it goes in whole, after the caret.
    std::string rest = Kanji(128) + "a";
    ASSERT_TRUE(PutTextOnClipboard(wnd, rest));
    SendMessageA(wnd, WM_PASTE, 0, 0);
    EXPECT_EQ("C:\\" + rest, ReadBack());
    // A single-line box takes the first line only.
    ASSERT_TRUE(SetEditText("C:\\"));
    ASSERT_TRUE(PutTextOnClipboard(wnd, "tools\r\nsecond line"));
    SendMessageA(wnd, WM_PASTE, 0, 0);
    EXPECT_EQ("C:\\tools", ReadBack());
    EXPECT_EQ(2u, EditBox.refusedEdits);
}

// --- the stashed text -----------------------------------------------------------

using SavedTextStore = EditBoxFixture;

TEST_F(SavedTextStore, StashEmptiesTheBoxAndRestoreBringsItBack) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetEditText("C:\\work\\");
    StashSavedText();
    EXPECT_EQ("", TextOf(wnd));
    EXPECT_EQ(8u, SavedTextLength());
    char copy[16];
    EXPECT_EQ(8u, CopySavedText(copy, sizeof copy));
    EXPECT_STREQ("C:\\work\\", copy);

    SetWindowTextA(wnd, "something else");
    EXPECT_EQ(1, RestoreSavedText());
    EXPECT_EQ("C:\\work\\", TextOf(wnd));
    DWORD start = 0, end = 0;
    SendMessageA(wnd, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(8u, start);
    EXPECT_EQ(8u, end);
    // Restoring gives the copy away.
    EXPECT_EQ(0u, SavedTextLength());
    EXPECT_EQ(0, RestoreSavedText());
    EXPECT_EQ("C:\\work\\", TextOf(wnd));
}

TEST_F(SavedTextStore, AnEmptyTextKeepsNothingAndDropsTheOldCopy) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetSavedText("old");
    SetWindowTextA(wnd, "");
    StashSavedText();
    EXPECT_EQ(0u, SavedTextLength());
    EXPECT_EQ(0, RestoreSavedText());

    SetSavedText("kept");
    SetSavedText("");
    EXPECT_EQ(0u, SavedTextLength());
    SetSavedText("kept");
    DiscardSavedText();
    EXPECT_EQ(0u, SavedTextLength());
    char copy[8] = "zzzzzzz";
    EXPECT_EQ(0u, CopySavedText(copy, sizeof copy));
    EXPECT_STREQ("", copy);
}

TEST_F(SavedTextStore, CopyOutIsBoundedAndOffKeepsNothing) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetSavedText("0123456789");
    char small[5];
    CopySavedText(small, sizeof small);
    EXPECT_STREQ("0123", small);

    EnableSavedText(false);
    SetEditText("typed");
    StashSavedText();
    EXPECT_EQ(0u, SavedTextLength());
    EXPECT_EQ("typed", TextOf(wnd));
    EnableSavedText(true);
    StashSavedText();
    EXPECT_EQ(5u, SavedTextLength());
}

// --- focus and the clock ----------------------------------------------------------

using EditBoxFocus = EditBoxFixture;

bool LooksLikeClock(const std::string& text) {
    // " HH:MM:SS" with the default format
    if (text.size() != 9 || text[0] != ' ' || text[3] != ':' || text[6] != ':') return false;
    for (size_t i : {1u, 2u, 4u, 5u, 7u, 8u})
        if (text[i] < '0' || text[i] > '9') return false;
    return true;
}

TEST_F(EditBoxFocus, LeavingForAnotherProgramShowsTheClockAndComingBackRestores) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetEditText("C:\\tools\\");
    OnEditKillFocus(wnd, nullptr);
    EXPECT_TRUE(EditBox.clockRunning);
    EXPECT_TRUE(LooksLikeClock(TextOf(wnd))) << TextOf(wnd);
    EXPECT_TRUE(AnyFlag(SF_TEXT_BY_PROGRAM));
    EXPECT_EQ(9u, SavedTextLength());

    ClearAllFlags();
    OnEditSetFocus(wnd);
    EXPECT_FALSE(EditBox.clockRunning);
    EXPECT_EQ("C:\\tools\\", TextOf(wnd));
    EXPECT_TRUE(AnyFlag(SF_TEXT_BY_PROGRAM));
    EXPECT_TRUE(AnyFlag(SF_HANDED_TEXT));
    // A late tick after the return must not bring the clock back.
    SendMessageA(wnd, WM_TIMER, ID_TIMER_CLOCK, 0);
    EXPECT_EQ("C:\\tools\\", TextOf(wnd));
}

TEST_F(EditBoxFocus, AnEmptyTextComesBackEmpty) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    OnEditKillFocus(wnd, nullptr);
    EXPECT_TRUE(LooksLikeClock(TextOf(wnd)));
    OnEditSetFocus(wnd);
    EXPECT_EQ("", TextOf(wnd));
}

TEST_F(EditBoxFocus, TheClockFollowsTheFormatSetting) {
    CopyString(Settings.t_macro, "[%H]", sizeof Settings.t_macro);
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    OnEditKillFocus(wnd, nullptr);
    std::string text = TextOf(wnd);
    ASSERT_EQ(5u, text.size()) << text;
    EXPECT_EQ(" [", text.substr(0, 2));
    EXPECT_EQ(']', text[4]);
}

TEST_F(EditBoxFocus, FocusWithinTheProgramOrWhileHiddenChangesNothing) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetEditText("typed");
    OnEditKillFocus(wnd, mainWnd);
    EXPECT_FALSE(EditBox.clockRunning);
    EXPECT_EQ("typed", TextOf(wnd));
    SetFlags(SF_HIDDEN);
    OnEditKillFocus(wnd, nullptr);
    EXPECT_FALSE(EditBox.clockRunning);
    EXPECT_EQ("typed", TextOf(wnd));
    EXPECT_EQ(0u, SavedTextLength());
}

TEST_F(EditBoxFocus, OneShotEndsTheProgramInsteadOfTheClock) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetEditText("typed");
    SetFlags(SF_ONE_SHOT);
    OnEditKillFocus(wnd, nullptr);
    Pump();
    EXPECT_EQ(1, g_received.closes);
    EXPECT_FALSE(EditBox.clockRunning);
    EXPECT_EQ("typed", TextOf(wnd));
}

TEST_F(EditBoxFocus, ASecondClassMarkWithoutItsWindowIsCleared) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    ASSERT_EQ(nullptr, FindWindowExA(HWND_MESSAGE, nullptr, VORN_SECOND_CLASS, nullptr));
    SetFlags(SF_SECOND_CLASS);
    OnEditSetFocus(wnd);
    EXPECT_FALSE(AnyFlag(SF_SECOND_CLASS));
}

// --- frame ------------------------------------------------------------------------

struct FramePixels {
    COLORREF left, top, bottomInner, innerLeft, innerTop, right, bottom;
};

FramePixels ReadFrame(HDC dc, int w, int h) {
    FramePixels p;
    p.left = GetPixel(dc, 0, h / 2);
    p.top = GetPixel(dc, w / 2, 0);
    p.innerLeft = GetPixel(dc, 1, h / 2);
    p.innerTop = GetPixel(dc, w / 2, 1);
    p.bottomInner = GetPixel(dc, w / 2, h - 2);
    p.right = GetPixel(dc, w - 1, h / 2);
    p.bottom = GetPixel(dc, w / 2, h - 1);
    return p;
}

FramePixels PaintFrameOnBitmap(bool targetMode) {
    const int w = 60, h = 24;
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, w, h);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    RECT all = {0, 0, w, h};
    FillRect(dc, &all, (HBRUSH)GetStockObject(WHITE_BRUSH));
    PaintEditFrame(dc, w, h, targetMode);
    FramePixels p = ReadFrame(dc, w, h);
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    return p;
}

TEST(EditFrame, NormalColours) {
    FramePixels p = PaintFrameOnBitmap(false);
    EXPECT_EQ(0xFFC8C8u, p.innerLeft);
    EXPECT_EQ(0xFFC8C8u, p.innerTop);
    EXPECT_EQ(0xC8B4B4u, p.bottomInner);
    EXPECT_EQ(0x8C8282u, p.left);
    EXPECT_EQ(0x8C8282u, p.top);
    EXPECT_EQ(0x827D7Du, p.right);
    EXPECT_EQ(0x827D7Du, p.bottom);
}

TEST(EditFrame, TargetProgramColours) {
    FramePixels p = PaintFrameOnBitmap(true);
    EXPECT_EQ(0x9696FFu, p.innerLeft);
    EXPECT_EQ(0x9696FFu, p.innerTop);
    EXPECT_EQ(0x9678C8u, p.bottomInner);
    EXPECT_EQ(0x323282u, p.left);
    EXPECT_EQ(0x323282u, p.top);
    EXPECT_EQ(0x32327Du, p.right);
    EXPECT_EQ(0x32327Du, p.bottom);
}

using EditFrameOnScreen = EditBoxFixture;

// Losing and gaining the front leaves the box's own frame: the system's is not
// drawn over it.
TEST_F(EditFrameOnScreen, ActivationLeavesTheBoxsOwnFrame) {
    HWND wnd = Create();
    ShowAndFocus(wnd);
    HWND other = CreateWindowExA(WS_EX_TOOLWINDOW, "STATIC", "", WS_POPUP | WS_VISIBLE, 400, 400,
                                 40, 40, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    for (HWND front : {other, wnd}) {
        SetForegroundWindow(front);
        Pump();
        ASSERT_EQ(GetForegroundWindow(), front);
        RECT rc;
        GetWindowRect(wnd, &rc);
        HDC dc = GetWindowDC(wnd);
        FramePixels p = ReadFrame(dc, rc.right - rc.left, rc.bottom - rc.top);
        ReleaseDC(wnd, dc);
        EXPECT_EQ(0x8C8282u, p.left) << (front == wnd ? "in front" : "behind");
        EXPECT_EQ(0x827D7Du, p.bottom) << (front == wnd ? "in front" : "behind");
    }
    DestroyWindow(other);
}

// --- command dispatch ---------------------------------------------------------------

using EditCommands = EditBoxFixture;

TEST_F(EditCommands, SelectAllClearAndUnknownCodes) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    ShowAndFocus(wnd);
    SetEditText("abcdef");
    SendMessageA(wnd, WM_EDIT_COMMAND, CMD_SELECT_ALL, 0);
    DWORD start = 9, end = 0;
    SendMessageA(wnd, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(0u, start);
    EXPECT_EQ(6u, end);

    // Codes beyond the table, and the next Favorites page while no Favorites
    // are shown, change nothing.
    for (WPARAM code : {(WPARAM)24, (WPARAM)100, (WPARAM)CMD_FAVORITES_NEXT}) {
        SendMessageA(wnd, WM_EDIT_COMMAND, code, 0);
        EXPECT_EQ("abcdef", TextOf(wnd));
    }
    Pump();
    EXPECT_EQ(0, g_received.closes);

    SendMessageA(wnd, WM_EDIT_COMMAND, CMD_CLEAR, 0);
    EXPECT_EQ("", TextOf(wnd));
}

TEST_F(EditCommands, CutPasteUndoMarkTheText) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    ShowAndFocus(wnd);
    SetEditText("C:\\abc");
    SendMessageA(wnd, EM_SETSEL, 3, 6);
    ClearAllFlags();
    SendMessageA(wnd, WM_EDIT_COMMAND, CMD_CUT, 0);
    EXPECT_EQ("C:\\", TextOf(wnd));
    EXPECT_TRUE(AnyFlag(SF_TEXT_BY_PROGRAM | SF_HANDED_TEXT));
    EXPECT_EQ(SF_TEXT_BY_PROGRAM | SF_HANDED_TEXT, ReadFlags());

    ClearAllFlags();
    SendMessageA(wnd, WM_EDIT_COMMAND, CMD_PASTE, 0);
    EXPECT_EQ("C:\\abc", TextOf(wnd));
    EXPECT_EQ(SF_USER_DELETED | SF_HANDED_TEXT, ReadFlags());

    SetEditText("C:\\abc");
    SendMessageA(wnd, EM_REPLACESEL, TRUE, (LPARAM) "xyz");
    ASSERT_EQ("C:\\abcxyz", TextOf(wnd));
    SendMessageA(wnd, WM_EDIT_COMMAND, CMD_UNDO, 0);
    EXPECT_EQ("C:\\abc", TextOf(wnd));
}

TEST_F(EditCommands, ExitAsksTheMainWindowToClose) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SendMessageA(wnd, WM_EDIT_COMMAND, CMD_EXIT, 0);
    Pump();
    EXPECT_EQ(1, g_received.closes);
}

// --- keys ---------------------------------------------------------------------------

using EditKeys = EditBoxFixture;

TEST_F(EditKeys, EscWithoutAFreshPressIsSwallowed) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetFlags(SF_TARGET_PROGRAM);
    SetAppString(&App.targetProgram, "C:\\x.exe");
    GetAsyncKeyState(VK_ESCAPE);  // forget any earlier press
    EXPECT_EQ(0, (int)SendMessageA(wnd, WM_KEYDOWN, VK_ESCAPE, 0));
    EXPECT_TRUE(AnyFlag(SF_TARGET_PROGRAM));
    EXPECT_STREQ("C:\\x.exe", App.targetProgram);
}

// Presses Esc for real (the system then reports it as newly pressed) while the
// box has the focus.
void PressEscape(void) {
    INPUT in[2];
    ZeroMemory(in, sizeof in);
    in[0].type = in[1].type = INPUT_KEYBOARD;
    in[0].ki.wVk = in[1].ki.wVk = VK_ESCAPE;
    in[1].ki.dwFlags = KEYEVENTF_KEYUP;
    SendInput(2, in, sizeof(INPUT));
    DWORD until = GetTickCount() + 500;
    while (GetTickCount() < until) {
        Pump();
        Sleep(10);
    }
}

TEST_F(EditKeys, EscLeavesTargetModeFirstThenHidesTheBox) {
    Settings.tray = 2;
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    ShowAndFocus(wnd);
    SetFlags(SF_TARGET_PROGRAM);
    SetAppString(&App.targetProgram, "C:\\x.exe");
    PressEscape();
    EXPECT_FALSE(AnyFlag(SF_TARGET_PROGRAM));
    EXPECT_EQ(nullptr, App.targetProgram);
    EXPECT_TRUE(IsWindowVisible(wnd));
    PressEscape();
    EXPECT_FALSE(IsWindowVisible(wnd));
    EXPECT_TRUE(AnyFlag(SF_HIDDEN));
    EXPECT_EQ(0, g_received.closes);
}

TEST_F(EditKeys, EscWithTrayZeroOrAFailedHotKeyEndsTheProgram) {
    for (uint32_t tray : {0u, (uint32_t)(TRAY_HOTKEY_FAILED | 1)}) {
        Settings.tray = tray;
        g_received.closes = 0;
        HWND wnd = Create();
        ASSERT_NE(wnd, nullptr);
        ShowAndFocus(wnd);
        PressEscape();
        EXPECT_EQ(1, g_received.closes) << tray;
        EXPECT_TRUE(IsWindowVisible(wnd));
        UnsubclassEditBox();
    }
}

TEST_F(EditKeys, KeyDownMarksDeletionsAndClearsTheProgramMark) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetFlags(SF_TEXT_BY_PROGRAM);
    SendMessageA(wnd, WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_FALSE(AnyFlag(SF_TEXT_BY_PROGRAM));
    EXPECT_FALSE(AnyFlag(SF_USER_DELETED));
    SendMessageA(wnd, WM_KEYDOWN, VK_BACK, 0);
    EXPECT_TRUE(AnyFlag(SF_USER_DELETED));
    ClearAllFlags();
    SendMessageA(wnd, WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_TRUE(AnyFlag(SF_USER_DELETED));
}

TEST_F(EditKeys, ControlCharactersAreDropped) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetEditText("ab");
    SendMessageA(wnd, WM_CHAR, '\r', 0);
    SendMessageA(wnd, WM_CHAR, 0x1B, 0);
    EXPECT_EQ("ab", TextOf(wnd));
    // Free typing: no folder list to consult in this fixture.
    Settings.typoctr = 0;
    SendMessageA(wnd, WM_CHAR, 'c', 0);
    EXPECT_EQ("abc", TextOf(wnd));
}

TEST_F(EditKeys, KeywordTextsAreNotExecuted) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    // Neither may reach execution (which would beep and keep the text, or
    // start something): the box stays as it is and no after-run rule acts.
    Settings.exemode = 0;
    for (const char* text : {";", ";keyword"}) {
        SetEditText(text);
        RunEditText(nullptr);
        EXPECT_EQ(text, TextOf(wnd));
    }
    Pump();
    EXPECT_EQ(0, g_received.closes);
}

// --- the key-binding filter -----------------------------------------------------------

class KeyDispatch : public EditBoxFixture {
   protected:
    void SetUp() override {
        EditBoxFixture::SetUp();
        FreeKeyBindings();
        ResetCommandBindings();
        AddAppBinding(1005, 0x72);  // F3
        recorder = CreateWindowExA(WS_EX_TOOLWINDOW, "vorn_editbox_test_main", "", 0, 0, 0, 0, 0,
                                   HWND_MESSAGE, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_NE(recorder, nullptr);
        EditBox.wnd = recorder;
    }
    void TearDown() override {
        EditBox.wnd = nullptr;
        DestroyWindow(recorder);
        FreeKeyBindings();
        EditBoxFixture::TearDown();
    }
    int Dispatch(UINT message, WPARAM key) {
        MSG msg;
        ZeroMemory(&msg, sizeof msg);
        msg.hwnd = recorder;
        msg.message = message;
        msg.wParam = key;
        return DispatchKeyMessage(&msg);
    }
    HWND recorder = nullptr;
};

TEST_F(KeyDispatch, BoundFunctionKeysBecomeCommandsAndApplications) {
    // No modifier is held while the tests run.
    ASSERT_FALSE(GetAsyncKeyState(VK_CONTROL) & 0x8000);
    EXPECT_EQ(1, Dispatch(WM_KEYDOWN, VK_F2));
    EXPECT_EQ((UINT)WM_RUN_COMMAND, g_received.lastMsg);
    EXPECT_EQ((WPARAM)CMD_REGAPP, g_received.lastWParam);

    g_received = Received{};
    EXPECT_EQ(1, Dispatch(WM_SYSKEYDOWN, VK_F3));
    EXPECT_EQ((UINT)WM_RUN_COMMAND, g_received.lastMsg);
    EXPECT_EQ((WPARAM)CMD_RUN_REGAPP, g_received.lastWParam);
    EXPECT_EQ(1005, g_received.lastArg);
}

TEST_F(KeyDispatch, UnboundOrUnmodifiedKeysAndOtherMessagesPassThrough) {
    EXPECT_EQ(0, Dispatch(WM_KEYDOWN, 'A'));
    EXPECT_EQ(0, Dispatch(WM_KEYDOWN, VK_ESCAPE));
    EXPECT_EQ(0, Dispatch(WM_KEYDOWN, VK_F5));
    EXPECT_EQ(0, Dispatch(WM_KEYUP, VK_F2));
    EXPECT_EQ(0, Dispatch(WM_CHAR, VK_F2));
    EXPECT_EQ(0u, g_received.lastMsg);
    // Only the low byte of wParam is the key.
    EXPECT_EQ(1, Dispatch(WM_KEYDOWN, 0x1000 | VK_F2));
    EXPECT_EQ(0, DispatchKeyMessage(nullptr));
}

// --- hand-over ------------------------------------------------------------------------

TEST(HandOverRecord, TextMustBeAStringThatFits) {
    char text[300];
    memset(text, 'a', sizeof text);
    EXPECT_EQ(nullptr, HandOverText(nullptr, 5));
    EXPECT_EQ(nullptr, HandOverText(text, 0));
    // No NUL within the bytes.
    EXPECT_EQ(nullptr, HandOverText(text, 10));
    // 261 bytes are too many even with the NUL as the last of them.
    text[260] = '\0';
    EXPECT_EQ(nullptr, HandOverText(text, 261));
    EXPECT_EQ(nullptr, HandOverText(text, 300));
    text[259] = '\0';
    EXPECT_EQ(text, HandOverText(text, 260));
    text[0] = '\0';
    EXPECT_EQ(text, HandOverText(text, 1));
    // A NUL early in a longer record is enough.
    EXPECT_EQ(text, HandOverText(text, 200));
}

class HandOver : public EditBoxFixture {
   protected:
    LRESULT Send(ULONG_PTR kind, const void* data, DWORD size) {
        COPYDATASTRUCT record;
        record.dwData = kind;
        record.cbData = size;
        record.lpData = (void*)data;
        return ReceiveHandOver(&record);
    }
    LRESULT SendText(ULONG_PTR kind, const char* text) {
        return Send(kind, text, (DWORD)strlen(text) + 1);
    }
};

TEST_F(HandOver, TextReplacesTheBoxWithTheCaretAtItsEnd) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetEditText("old");
    SetSavedText("waiting");
    EXPECT_EQ(1, SendText(HANDOVER_TEXT, "C:\\Users\\"));
    EXPECT_EQ("C:\\Users\\", TextOf(wnd));
    DWORD start = 0, end = 0;
    SendMessageA(wnd, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(9u, start);
    EXPECT_EQ(9u, end);
    EXPECT_TRUE(AnyFlag(SF_TEXT_BY_PROGRAM));
    EXPECT_TRUE(AnyFlag(SF_HANDED_TEXT));
    EXPECT_EQ(0u, SavedTextLength());
    EXPECT_TRUE(IsWindowVisible(wnd));
}

TEST_F(HandOver, ARecordThatArrivesWhileProgramsStartWaitsUntilTheyHaveStarted) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetEditText("running");
    // Starting programs can pump messages (a shell error box): a hand-over
    // then must not replace the box or the lists underneath the starts.
    BeginPumpingOperation();
    BeginPumpingOperation();
    EXPECT_EQ(1, SendText(HANDOVER_TEXT, "C:\\first"));
    EXPECT_EQ(1, SendText(HANDOVER_ARGPREFIX, "-x"));
    EXPECT_EQ("running", TextOf(wnd));
    EXPECT_EQ(nullptr, App.argPrefix);
    EndPumpingOperation();
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, Shell.mainWnd, WM_RUN_DEFERRED, WM_RUN_DEFERRED, PM_REMOVE))
        << "the outer operation is still under way";
    EXPECT_EQ("running", TextOf(wnd));
    EndPumpingOperation();
    ASSERT_TRUE(PeekMessageA(&msg, Shell.mainWnd, WM_RUN_DEFERRED, WM_RUN_DEFERRED, PM_REMOVE));
    RunDeferredRequests();
    EXPECT_EQ("C:\\first", TextOf(wnd)) << "applied once the starts are done";
    ASSERT_NE(nullptr, App.argPrefix);
    EXPECT_STREQ("-x", App.argPrefix);
    SetAppString(&App.argPrefix, nullptr);
    // Nothing is kept twice.
    SetEditText("after");
    RunDeferredRequests();
    EXPECT_EQ("after", TextOf(wnd));
}

// The launcher's main-window procedure on the stand-in main window, with
// recorders in place of what its requests run.
std::vector<std::string> g_ran;
struct RealMainProc {
    HWND wnd;
    ShellRequestActions saved = RequestActions;
    explicit RealMainProc(HWND w) : wnd(w) {
        RequestActions = {[](ULONG_PTR kind, const char* text) { g_ran.push_back(std::to_string(kind) + text); },
                          [](bool show) { g_ran.push_back(show ? "reload shown" : "reload"); },
                          [](HWND) { g_ran.push_back("close"); }};
        Shell.reloadMsg = RegisterWindowMessageA(RELOAD_MESSAGE_NAME);
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, (LONG_PTR)MainWindowProc);
    }
    ~RealMainProc() {
        RunDeferredRequests();  // nothing kept is left for another test
        SetWindowLongPtrA(wnd, GWLP_WNDPROC, (LONG_PTR)RecordingProc);
        RequestActions = saved;
        g_ran.clear();
    }
};

TEST_F(HandOver, RequestsDuringAnOperationRunAfterItInTheOrderTheyCame) {
    ASSERT_NE(Create(), nullptr);
    RealMainProc real(mainWnd);
    // A stand-in for an operation with a loop of its own (the shell copying files).
    BeginPumpingOperation();
    PostMessageA(mainWnd, Shell.reloadMsg, 0, 0);
    PostMessageA(mainWnd, WM_COMMAND, MenuIdOfCommand(CMD_RELOAD), 0);  // the tray menu's: takes its place
    Pump();
    COPYDATASTRUCT record = {HANDOVER_TEXT, 5, (void*)"C:\\x"};
    EXPECT_EQ(SendMessageA(mainWnd, WM_COPYDATA, 0, (LPARAM)&record), 1);
    PostMessageA(mainWnd, WM_CLOSE, 0, 0);
    Pump();
    EXPECT_TRUE(g_ran.empty());
    EndPumpingOperation();
    Pump();
    EXPECT_EQ(g_ran, (std::vector<std::string>{"reload shown", "2C:\\x", "close"}));
}

TEST_F(HandOver, TheSessionEndingDuringAnOperationClosesTheProgramAfterIt) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    RealMainProc real(mainWnd);
    BeginPumpingOperation();
    EXPECT_EQ(SendMessageA(wnd, WM_QUERYENDSESSION, 0, 0), 0) << "the copy may finish first";
    SendMessageA(wnd, WM_ENDSESSION, TRUE, 0);  // ended all the same
    EXPECT_TRUE(g_ran.empty()) << "COM and the windows stay for the operation";
    EndPumpingOperation();
    Pump();
    EXPECT_EQ(g_ran, (std::vector<std::string>{"close"}));
    EXPECT_EQ(SendMessageA(wnd, WM_QUERYENDSESSION, 0, 0), 1);
}

TEST_F(HandOver, MalformedRecordsChangeNothing) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetEditText("kept");
    char big[300];
    memset(big, 'b', sizeof big);
    big[299] = '\0';
    char noNul[8];
    memset(noNul, 'n', sizeof noNul);
    EXPECT_EQ(0, Send(HANDOVER_TEXT, "", 0));
    EXPECT_EQ(0, Send(HANDOVER_TEXT, big, sizeof big));
    EXPECT_EQ(0, Send(HANDOVER_TEXT, noNul, sizeof noNul));
    EXPECT_EQ(0, Send(HANDOVER_TEXT, nullptr, 4));
    EXPECT_EQ(0, SendText(9, "x"));
    EXPECT_EQ(0, SendText(0, "x"));
    EXPECT_EQ(0, Send(HANDOVER_TARGET, noNul, sizeof noNul));
    EXPECT_EQ(0, Send(HANDOVER_ARGPREFIX, big, sizeof big));
    EXPECT_EQ(0, Send(HANDOVER_SHOW, "", 0));
    EXPECT_EQ(0, ReceiveHandOver(nullptr));
    EXPECT_EQ("kept", TextOf(wnd));
    EXPECT_FALSE(AnyFlag(SF_TARGET_PROGRAM));
    EXPECT_EQ(nullptr, App.argPrefix);
}

TEST_F(HandOver, IgnoredWhileTheBoxIsDisabled) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    SetEditText("kept");
    EnableWindow(wnd, FALSE);
    EXPECT_EQ(0, SendText(HANDOVER_TEXT, "C:\\"));
    EXPECT_EQ(0, SendText(HANDOVER_ARGPREFIX, "-x"));
    EXPECT_EQ("kept", TextOf(wnd));
    EXPECT_EQ(nullptr, App.argPrefix);
}

TEST_F(HandOver, TargetProgramLosesItsTrailingSeparatorOnly) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(1, SendText(HANDOVER_TARGET, "C:\\tools\\viewer.exe\\"));
    EXPECT_TRUE(AnyFlag(SF_TARGET_PROGRAM));
    EXPECT_STREQ("C:\\tools\\viewer.exe", App.targetProgram);
    // A name ending in 表 (bytes 95 5C) keeps its second byte.
    EXPECT_EQ(1, SendText(HANDOVER_TARGET, "C:\\\x95\x5C"));
    EXPECT_STREQ("C:\\\x95\x5C", App.targetProgram);
}

TEST_F(HandOver, ArgumentPrefixAndShow) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    EXPECT_EQ(1, SendText(HANDOVER_ARGPREFIX, "-n "));
    EXPECT_STREQ("-n ", App.argPrefix);
    EXPECT_EQ(1, SendText(HANDOVER_ARGPREFIX, ""));
    EXPECT_STREQ("", App.argPrefix);
    SetEditText("kept");
    EXPECT_EQ(1, Send(HANDOVER_SHOW, "", 1));
    EXPECT_TRUE(IsWindowVisible(wnd));
    EXPECT_EQ("kept", TextOf(wnd));
}

// --- start-up pieces ---------------------------------------------------------------------

using StartDirSwitch = EditBoxFixture;

TEST_F(StartDirSwitch, AnExistingFolderBecomesCurrentAndStartDir) {
    char before[MAX_PATH];
    GetCurrentDirectoryA(sizeof before, before);
    char temp[MAX_PATH];
    ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));  // ends with a separator
    ApplyStartDir(temp);
    char now[MAX_PATH];
    GetCurrentDirectoryA(sizeof now, now);
    std::string expected = temp;
    expected.pop_back();
    ASSERT_NE(nullptr, App.startDir);
    EXPECT_STREQ(expected.c_str(), App.startDir);
    EXPECT_EQ(0, lstrcmpiA(expected.c_str(), now));

    // A missing folder leaves the current directory and falls back to the
    // program's drive.
    ApplyStartDir("C:\\no\\such\\folder\\here");
    char after[MAX_PATH];
    GetCurrentDirectoryA(sizeof after, after);
    EXPECT_EQ(0, lstrcmpiA(now, after));
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    ASSERT_NE(nullptr, App.startDir);
    EXPECT_EQ(std::string(exe, 2), App.startDir);
    SetCurrentDirectoryA(before);
}

TEST_F(StartDirSwitch, CommandLineRecordIsApplied) {
    CommandLine line;
    ParseCommandLine("vorn.exe /o /x=12 /y=-3 /w=200 /r=\"-a b\" \"C:\\a b\\\"", &line);
    ApplyCommandLine(&line);
    EXPECT_TRUE(AnyFlag(SF_ONE_SHOT));
    EXPECT_EQ(12, Shell.overrideX);
    EXPECT_EQ(-1, Shell.overrideY);
    EXPECT_EQ(200, Shell.overrideW);
    ASSERT_NE(nullptr, App.argPrefix);
    EXPECT_STREQ("-a b", App.argPrefix);
    EXPECT_STREQ("C:\\a b\\", Shell.initialText);
}

// --- a path handed to the box ---------------------------------------------------------------

using TakenPath = EditBoxFixture;

TEST_F(TakenPath, IsTheProgramsTextAndTheIconFollowsWhatTheBoxHolds) {
    Settings.icon = 1;
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, sizeof self);
    std::string folder = self, name = folder.substr(folder.rfind('\\'));
    folder.resize(folder.size() - name.size());
    SetAppString(&App.startDir, folder.c_str());
    const uint32_t handed = SF_TEXT_BY_PROGRAM | SF_HANDED_TEXT;
    const struct {
        std::string path;
        bool fitWidth;
        bool taken;
        uint32_t flags;
        bool shellIcon;  // the shell's icon, or the default one (none here)
    } cases[] = {
        {self, true, true, handed, true},
        {name, false, true, SF_TEXT_BY_PROGRAM, true},  // rooted at the start folder
        {"C:\\vorn_no_such_file.txt", true, true, handed, false},
        {"C:\\" + std::string(258, 'a'), true, false, handed, false},  // the box keeps "kept"
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.path);
        SetEditText("kept");
        SetPathIcon(self);
        ClearAllFlags();
        EXPECT_EQ(c.taken, TakePathIntoBox(c.path.c_str(), c.fitWidth));
        EXPECT_EQ(c.taken ? c.path : "kept", TextOf(wnd));
        EXPECT_EQ(c.flags, ReadFlags() & handed);
        EXPECT_EQ(c.shellIcon, EditBox.iconImage != nullptr);
    }
}

// --- shutdown ------------------------------------------------------------------------------

using ShutdownOrder = EditBoxFixture;

TEST_F(ShutdownOrder, ReleasesEverythingOnceAndDestroysTheWindows) {
    HWND wnd = Create();
    ASSERT_NE(wnd, nullptr);
    Shell.mutex = CreateMutexA(nullptr, TRUE, nullptr);
    ASSERT_NE(nullptr, Shell.mutex);
    SetAppString(&App.startDir, "C:");
    SetAppString(&App.targetProgram, "C:\\x.exe");
    SetAppString(&App.argPrefix, "-x");
    SetFlags(SF_TARGET_PROGRAM);
    SetSavedText("waiting");
    Shell.className = VORN_MAIN_CLASS;

    Shutdown(mainWnd);
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_FALSE(IsWindow(mainWnd));
    EXPECT_EQ(nullptr, EditBox.wnd);
    EXPECT_EQ(nullptr, EditBox.font);
    EXPECT_EQ(nullptr, Shell.mutex);
    EXPECT_EQ(nullptr, App.startDir);
    EXPECT_EQ(nullptr, App.targetProgram);
    EXPECT_EQ(nullptr, App.argPrefix);
    EXPECT_FALSE(AnyFlag(SF_TARGET_PROGRAM));
    EXPECT_EQ(0u, SavedTextLength());
    EXPECT_TRUE(Shell.shuttingDown);
    // A second close request finds nothing left to do.
    Shutdown(mainWnd);
    mainWnd = nullptr;
}

}  // namespace
