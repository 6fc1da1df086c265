// explorer_test.cpp - the Explorer-window list against the shell's real
// window collection. A stand-in folder window (tools/shellwin.exe) registers
// itself in the collection and reports what the collection answered. Where
// the collection cannot be listed (Wine's answers the count with "not
// implemented"), Ctrl+E shows no list, asks nothing and leaves vorn running,
// and "#AllCloseExp" closes nothing; where it can, the stand-in's window is
// not a browser and is not listed either, so the test then has nothing to
// show and is skipped.
#include "tests/e2e/observe.h"

#include <stdio.h>
#include <string.h>

#include <string>

#include "tests/e2e/listread.h"

namespace {

// The results the stand-in put into its title; false until it has.
bool ReadShellwinTitle(HWND wnd, unsigned long* registered, unsigned long* counted) {
    std::string title = WindowText(wnd);
    size_t at = title.find("register=");
    if (at == std::string::npos) return false;
    return sscanf(title.c_str() + at, "register=%lx count=%lx", registered, counted) == 2;
}

const unsigned long kNotImplemented = 0x80004001UL;  // E_NOTIMPL

}  // namespace

struct ExplorerE2E : public RunTest {
    VornProcess vorn;

    void TearDown() override {
        DWORD code = 0;
        if (vorn.Alive()) vorn.Close(E2E_EXIT_MS, &code);
        vorn.Kill();
        RunTest::TearDown();
    }
};

TEST_F(ExplorerE2E, AnUnlistableCollectionShowsNoListAsksNothingAndClosesNothing) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "common.exemode=1"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));

    HelperProcess shellwin;
    ASSERT_TRUE(shellwin.Start(BesideTests("shellwin.exe"), ""))
        << "shellwin.exe must be built beside the tests";
    HWND folderWnd = shellwin.WaitWindow("vorn_e2e_shellwin");
    ASSERT_NE(folderWnd, nullptr);
    unsigned long registered = 0, counted = 0;
    ASSERT_TRUE(WaitFor([&] { return ReadShellwinTitle(folderWnd, &registered, &counted); }));
    char results[64];
    snprintf(results, sizeof results, "register=%08lx count=%08lx", registered, counted);
    RecordProperty("collection", results);
    if (counted != kNotImplemented)
        GTEST_SKIP() << "this shell's collection answers its count (" << results << ")";

    HWND box = FindEditBox(vorn.Pid());
    ASSERT_NE(box, nullptr);
    ASSERT_TRUE(HandText(&vorn, "kept text"));

    // Ctrl+E, then Ctrl+M under the same Ctrl: once the built-in list shows,
    // Ctrl+E has been handled.
    bool handled = SettleModifiers(KEY_CTRL) && TapKey('E') && TapKey('M') && WaitFor([&] {
                       HWND shown = ShownListView(vorn.Pid());
                       return shown && ListRowCount(shown) > 0;
                   });
    ReleaseModifiers(KEY_CTRL);
    ASSERT_TRUE(handled) << "Ctrl+E, Ctrl+M showed no built-in list";
    HWND shown = ShownListView(vorn.Pid());
    std::string firstRow;
    ASSERT_TRUE(ListRowText(shown, 0, &firstRow));
    EXPECT_EQ(firstRow[0], '#') << "the list on show is the built-in list, not Explorer folders";

    // A failed enumeration would be retried for about two seconds and then
    // asked about: no question comes, and vorn keeps running.
    EXPECT_FALSE(WaitFor([&] { return FindMessageBoxOf(vorn.Pid()) != nullptr; }, 3000))
        << MessageBoxText(FindMessageBoxOf(vorn.Pid()));
    EXPECT_TRUE(vorn.Alive());

    // "#AllCloseExp" finds no window to close: the stand-in stays.
    ASSERT_TRUE(PressEscape());
    ASSERT_TRUE(HandText(&vorn, "#AllCloseExp"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText().empty(); })) << "the command did not run";
    EXPECT_TRUE(IsWindow(folderWnd));
    EXPECT_EQ(FindMessageBoxOf(vorn.Pid()), nullptr);
    EXPECT_TRUE(vorn.Alive());
}
