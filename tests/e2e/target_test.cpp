// target_test.cpp - target-program mode (/f): the program in the foreground
// when vorn was called receives the next path run, once; the mode shows in
// the frame's colours, ends after that run, with Esc, and with a reload.
#include "tests/e2e/observe.h"

#include <sstream>

namespace {

// The light side of the frame's outer line (left edge, middle): light blue
// normally, light red in target-program mode.
const COLORREF kNormalLight = 0xFFC8C8;
const COLORREF kTargetLight = 0x9696FF;

COLORREF FrameColour(HWND box) {
    RECT r;
    if (!GetWindowRect(box, &r)) return CLR_INVALID;
    return WindowPixel(box, 1, (r.bottom - r.top) / 2);
}

std::string Hex(COLORREF c) {
    std::ostringstream s;
    s << "0x" << std::hex << (unsigned long)c;
    return s.str();
}

bool SameFile(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

}  // namespace

struct TargetE2E : public RunTest {
    std::string targetExe;
    HelperProcess target;
    HWND targetWnd = nullptr;

    // Starts the stand-in target program (a copy in <test folder>\tgt) and
    // brings its window to the front.
    ::testing::AssertionResult StartTarget(void) {
        targetExe = CopyTool("targetwin.exe", "tgt", "target.exe");
        if (targetExe.empty()) return ::testing::AssertionFailure() << "targetwin.exe must be built beside the tests";
        if (!target.Start(targetExe, nullptr)) return ::testing::AssertionFailure() << "cannot start " << targetExe;
        targetWnd = target.WaitWindow("vorn_e2e_target");
        if (targetWnd == nullptr) return ::testing::AssertionFailure() << "the target program shows no window";
        return Activate(targetWnd);
    }
    void TearDown() override {
        target.End();
        RunTest::TearDown();
    }
};

TEST_F(TargetE2E, TheCapturedProgramReceivesTheNextFolderOnce) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    std::string dir = MakeDir("_tgt");
    ASSERT_FALSE(dir.empty());
    std::string name = openedNames.back();
    RecordFile records(Path("record.txt"));
    ASSERT_TRUE(StartTarget());

    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, "/f"));
    HWND box = vorn.EditBox();
    EXPECT_TRUE(WaitFor([&] { return FrameColour(box) == kTargetLight; }))
        << "frame colour " << Hex(FrameColour(box)) << " in target-program mode";

    ASSERT_TRUE(HandText(&vorn, dir));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(records.WaitCount(1)) << "the captured program was not started";
    StartRecord r = records.Records()[0];
    EXPECT_TRUE(SameFile(r.program, targetExe)) << r.commandLine;
    // The folder as the box holds it, quoted, without a separator added.
    EXPECT_EQ(r.args, "\"" + dir + "\"") << r.commandLine;
    EXPECT_TRUE(SameFile(r.folder, Path("tgt"))) << "started in " << r.folder;
    EXPECT_TRUE(FolderWindows(name.c_str()).empty()) << "the folder was opened as well";
    EXPECT_TRUE(WaitFor([&] { return FrameColour(box) == kNormalLight; }))
        << "frame colour " << Hex(FrameColour(box)) << " after the run";

    // The mode is over: the same text now opens the folder itself.
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == dir && vorn.BoxFocused(); }));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return !FolderWindows(name.c_str()).empty(); })) << "the second run opened nothing";
    EXPECT_EQ(records.Records().size(), 1u) << "the captured program was started again";
}

TEST_F(TargetE2E, ASecondStartWithSlashFHandsTheForegroundProgramOver) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    std::string dir = MakeDir("_handed");
    ASSERT_FALSE(dir.empty());
    RecordFile records(Path("record.txt"));

    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(StartTarget());
    VornProcess second;
    ASSERT_TRUE(second.Start(folder, "/f"));
    DWORD code = 1234;
    ASSERT_TRUE(second.WaitExit(E2E_EXIT_MS, &code)) << "the second start did not end";
    EXPECT_EQ(code, 0u);
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused() && vorn.EditText().empty(); }))
        << "the first box did not come back (it holds \"" << vorn.EditText() << "\")";
    HWND box = vorn.EditBox();
    EXPECT_TRUE(WaitFor([&] { return FrameColour(box) == kTargetLight; }))
        << "frame colour " << Hex(FrameColour(box)) << " after the hand-over";

    ASSERT_TRUE(HandText(&vorn, dir));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(records.WaitCount(1)) << "the handed-over program was not started";
    StartRecord r = records.Records()[0];
    EXPECT_TRUE(SameFile(r.program, targetExe)) << r.commandLine;
    EXPECT_EQ(r.args, "\"" + dir + "\"") << r.commandLine;
    EXPECT_TRUE(SameFile(r.folder, Path("tgt"))) << "started in " << r.folder;
}

TEST_F(TargetE2E, EscLeavesTheModeFirstAndKeepsTheBox) {
    // tray 0: an Esc that did not leave the mode would end vorn.
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    std::string dir = MakeDir("_esc");
    ASSERT_FALSE(dir.empty());
    std::string name = openedNames.back();
    RecordFile records(Path("record.txt"));
    ASSERT_TRUE(StartTarget());

    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, "/f"));
    HWND box = vorn.EditBox();
    ASSERT_TRUE(WaitFor([&] { return FrameColour(box) == kTargetLight; }))
        << "frame colour " << Hex(FrameColour(box));
    ASSERT_TRUE(HandText(&vorn, dir));
    ASSERT_TRUE(PressEscape());
    EXPECT_TRUE(WaitFor([&] { return FrameColour(box) == kNormalLight; }))
        << "frame colour " << Hex(FrameColour(box)) << " after Esc";
    EXPECT_TRUE(vorn.Alive());
    EXPECT_TRUE(vorn.BoxVisible());
    EXPECT_EQ(vorn.EditText(), dir);

    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return !FolderWindows(name.c_str()).empty(); })) << "the folder did not open";
    EXPECT_TRUE(records.Records().empty()) << "the captured program was started after Esc";
}

TEST_F(TargetE2E, AReloadEndsTheMode) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    std::string dir = MakeDir("_reload");
    ASSERT_FALSE(dir.empty());
    std::string name = openedNames.back();
    RecordFile records(Path("record.txt"));
    ASSERT_TRUE(StartTarget());

    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, "/f"));
    HWND box = vorn.EditBox();
    ASSERT_TRUE(WaitFor([&] { return FrameColour(box) == kTargetLight; }))
        << "frame colour " << Hex(FrameColour(box));
    ASSERT_TRUE(SendReload(vorn.MainWindow()));
    EXPECT_TRUE(WaitFor([&] { return FrameColour(box) == kNormalLight; }))
        << "frame colour " << Hex(FrameColour(box)) << " after the reload";

    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
    ASSERT_TRUE(HandText(&vorn, dir));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return !FolderWindows(name.c_str()).empty(); })) << "the folder did not open";
    EXPECT_TRUE(records.Records().empty()) << "the captured program was started after the reload";
}
