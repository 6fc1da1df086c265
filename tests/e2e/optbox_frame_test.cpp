// optbox_frame_test.cpp - the settings program's frame, end to end: one
// instance, the version box, the command line, the first run, Cancel, OK with
// Shift, and how a running vorn is told to reload.
#include "tests/e2e/optbox_harness.h"

namespace {

const char kReloadFailed[] = "設定の反映に失敗した可能性があります。\n手動で設定を反映してください。";

}  // namespace

using OptboxFrameE2E = OptboxTest;

TEST_F(OptboxFrameE2E, ASecondStartBringsTheFirstForwardAndEndsWithOne) {
    OptboxProcess first;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&first, "/s", &dialog));
    ASSERT_TRUE(FocusAway());
    ASSERT_NE(GetForegroundWindow(), dialog);

    OptboxProcess second;
    ASSERT_TRUE(second.Start(folder, "/s"));
    DWORD code = 0;
    ASSERT_TRUE(second.WaitExit(E2E_EXIT_MS, &code)) << "the second Optbox did not end";
    EXPECT_EQ(code, 1u);
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == dialog; })) << "the first dialog was not brought forward";
    EXPECT_TRUE(first.Alive());
    ASSERT_TRUE(Activate(dialog));
    EXPECT_TRUE(PressAndWaitExit(&first, dialog, IDCANCEL));
}

TEST_F(OptboxFrameE2E, SlashAShowsTheVersionBox) {
    OptboxProcess box;
    ASSERT_TRUE(box.Start(folder, "/a"));
    HWND version = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (version = FindDialogOf(box.Pid(), "vorn")) != nullptr; }, E2E_START_MS));
    EXPECT_EQ(WindowText(GetDlgItem(version, 1059)), "tewsa");
    EXPECT_EQ(WindowText(GetDlgItem(version, 1060)), "Version=0.64");
    EXPECT_EQ(FindDialogOf(box.Pid(), OPTBOX_DIALOG_TITLE), nullptr);
    // The version box touches no file.
    EXPECT_FALSE(PathExists(Path("data")));
    EXPECT_TRUE(PressAndWaitExit(&box, version, IDOK));
}

TEST_F(OptboxFrameE2E, TheLastSwitchWinsSoSlashASlashSOpensTheSettings) {
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "/a /s", &dialog));
    EXPECT_EQ(FindDialogOf(box.Pid(), "vorn"), nullptr);
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDCANCEL));
}

TEST_F(OptboxFrameE2E, AFirstRunCreatesTheMissingFilesAndKeepsTheOthers) {
    ASSERT_TRUE(WriteDataFile(folder, "vorn_d.dat", "C:\\\r\n"));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    for (const char* name : {"vorn_f.dat", "vorn_e.dat"}) {
        std::string path = Path((std::string("data\\") + name).c_str());
        std::string bytes = "?";
        EXPECT_TRUE(ReadFileBytes(path.c_str(), &bytes)) << name << " was not created";
        EXPECT_EQ(bytes, "") << name;
    }
    EXPECT_EQ(ReadDataFile(folder, "vorn_d.dat"), "C:\\\r\n") << "an existing list file was touched";
    EXPECT_EQ(ReadIni(), IniWith({})) << "the settings were not written with their defaults";
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadDataFile(folder, "vorn_d.dat"), "C:\\\r\n");
}

TEST_F(OptboxFrameE2E, CancelWritesNothingAndLeavesNoTemporaryFile) {
    std::string ini = IniWith({"common.icon=1", "common.linemax=40"});
    ASSERT_TRUE(WriteIni(ini));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_COMMON2, 1082, &page));
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, 1082)));
    ASSERT_TRUE(WaitFor([&] { return !ButtonChecked(GetDlgItem(page, 1082)); }));
    ASSERT_TRUE(PressAndWaitExit(&box, dialog, IDCANCEL));
    EXPECT_EQ(ReadIni(), ini);
    EXPECT_FALSE(PathExists(Path("data\\vorn_e.tmp")));
}

TEST_F(OptboxFrameE2E, OkWithShiftSavesAndKeepsTheDialogOpen) {
    // A value out of range is corrected in memory at the load; the file keeps
    // it until the next save, which shows that the save happened.
    ASSERT_TRUE(WriteIni(IniWith({"common.linemax=500"})));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    // All by keyboard (no pointer moves while Shift is held): Shift+Enter on
    // the tree presses the default button OK.
    std::string expected = IniWith({});
    ASSERT_TRUE(PressKeyUntil(VK_RETURN, KEY_SHIFT, [&] { return ReadIni() == expected; }))
        << "OK with Shift did not save: " << ReadIni();
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_COMMON2, 1082, &page)) << "the dialog does not answer any more";
    EXPECT_TRUE(box.Alive());
    // Enter alone: OK ends it.
    ASSERT_TRUE(TapKey(VK_RETURN));
    DWORD code = 0;
    EXPECT_TRUE(box.WaitExit(E2E_EXIT_MS, &code));
    EXPECT_EQ(code, 1u);
}

TEST_F(OptboxFrameE2E, WithoutVornOkSavesAndShowsNothing) {
    ASSERT_TRUE(WriteIni(IniWith({})));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = nullptr;
    ASSERT_TRUE(GoToRow(dialog, ROW_COMMON2, 1082, &page));
    ASSERT_TRUE(ClickWindow(GetDlgItem(page, 1082)));
    ASSERT_TRUE(WaitFor([&] { return ButtonChecked(GetDlgItem(page, 1082)); }));
    // No message box holds the program: it ends at once.
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({"common.icon=1"}));
}

TEST_F(OptboxFrameE2E, AVornThatDoesNotConfirmTheReloadGetsTheMessage) {
    ASSERT_TRUE(WriteIni(IniWith({})));
    HelperProcess silent;
    ASSERT_TRUE(silent.Start(BesideTests("silentvorn.exe"), ""));
    HWND stand = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (stand = FindMessageWindow(VORN_MAIN_CLASS, silent.pi.dwProcessId)) != nullptr; }));

    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    ASSERT_TRUE(ClickWindow(GetDlgItem(dialog, IDOK)));
    HWND message = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (message = FindDialogOf(box.Pid(), "Optbox")) != nullptr; }))
        << "no message box";
    EXPECT_EQ(MessageBoxText(message), kReloadFailed);
    // The files are written before vorn is asked.
    EXPECT_EQ(ReadIni(), IniWith({}));
    ASSERT_TRUE(Activate(message));
    ASSERT_TRUE(TapKey(VK_RETURN));
    DWORD code = 0;
    EXPECT_TRUE(box.WaitExit(E2E_EXIT_MS, &code));
    EXPECT_EQ(code, 1u);
    PostMessageA(stand, WM_CLOSE, 0, 0);
}

TEST_F(OptboxFrameE2E, ARunningVornTakesTheNewTransparencyAtOnce) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND edit = vorn.EditBox();
    ASSERT_FALSE(IsLayered(edit));

    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = VisiblePage(dialog);
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, 1001), "60"));
    EXPECT_TRUE(PressAndWaitExit(&box, dialog, IDOK));
    EXPECT_EQ(ReadIni(), IniWith({"common.tray=0", "path.typoctr=0", "common.alpha=60"}));
    // The box is layered now and turns 60 % opaque once it loses the focus.
    EXPECT_TRUE(WaitFor([&] { return IsLayered(edit); })) << "vorn did not reload";
    ASSERT_TRUE(FocusAway());
    EXPECT_TRUE(WaitFor([&] { return LayeredAlpha(edit) == 153; })) << "alpha " << LayeredAlpha(edit);
}
