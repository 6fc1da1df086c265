// startup_test.cpp - what a start of vorn leaves in its data folder, and where
// it puts its edit box.
#include "tests/e2e/harness.h"
#include "tests/expected_files.h"

namespace {

// kDefaultIni with the whole line "key=..." of section replaced by line.
std::string DefaultIniWithLine(const char* section, const char* key, const char* line) {
    std::string ini = kDefaultIni;
    size_t sec = ini.find(std::string("[") + section + "]\r\n");
    if (sec == std::string::npos) return std::string();
    size_t at = ini.find(std::string("\r\n") + key + "=", sec);
    if (at == std::string::npos) return std::string();
    at += 2;
    size_t end = ini.find("\r\n", at);
    ini.replace(at, end - at, line);
    return ini;
}

// Height of the edit box for a font size: the font plus two edges, two
// dialog frames and two pixels.
int BoxHeight(int ftsize) {
    return ftsize + 2 * GetSystemMetrics(SM_CYEDGE) + 2 * GetSystemMetrics(SM_CYDLGFRAME) + 2;
}

::testing::AssertionResult BoxRectIs(const VornProcess& vorn, int x, int y, int w, int h) {
    RECT r;
    if (!GetWindowRect(vorn.EditBox(), &r)) return ::testing::AssertionFailure() << "no edit box";
    if (r.left == x && r.top == y && r.right - r.left == w && r.bottom - r.top == h)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "box at (" << r.left << "," << r.top << ") size " << r.right - r.left
                                         << "x" << r.bottom - r.top << ", expected (" << x << "," << y
                                         << ") size " << w << "x" << h;
}

}  // namespace

using StartupE2E = VornTest;

// --- Data files written at start-up ------------------------------------------------

TEST_F(StartupE2E, FirstStartWritesDefaultSettingsAndKeymap) {
    ASSERT_FALSE(PathExists(Path("data")));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    EXPECT_TRUE(PathExists(Path("data"))) << "the data folder was not created beside vorn.exe";
    EXPECT_EQ(ReadIni(), kDefaultIni);
    EXPECT_EQ(ReadKeymap(), kDefaultKeymap);
}

TEST_F(StartupE2E, EmptySettingsFileBecomesTheDefaultFile) {
    ASSERT_TRUE(WriteIni(""));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    EXPECT_EQ(ReadIni(), kDefaultIni);
}

TEST_F(StartupE2E, PartialSettingsAreCompletedAndKeepTheirValues) {
    ASSERT_TRUE(WriteIni("[common]\r\ntray=0\r\n"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    std::string expected = DefaultIniWithLine("common", "tray", "tray=0");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(ReadIni(), expected);
}

TEST_F(StartupE2E, DamagedSettingsAreRewrittenInCanonicalForm) {
    // Unknown keys and comments vanish, an upper-case key and a key with a
    // blank before "=" are not recognised, an out-of-range value is replaced,
    // a trailing comment and blanks after a value are dropped.
    ASSERT_TRUE(WriteIni(
        "; hand-edited\r\n"
        "[common]\r\n"
        "bogus=7\r\n"
        "TRAY=2\r\n"
        "tray=0\r\n"
        "alpha=5\r\n"
        "t_macro=%H-%M   ; my clock\r\n"
        "[edit]\r\n"
        "w =300\r\n"
        "x=40\r\n"
        "[unknown]\r\n"
        "x=1\r\n"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    std::string expected = DefaultIniWithLine("common", "tray", "tray=0");
    expected.replace(expected.find("t_macro=%H:%M:%S"), 16, "t_macro=%H-%M");
    expected.replace(expected.find("[edit]\r\nx=0\r\n"), 13, "[edit]\r\nx=40\r\n");
    EXPECT_EQ(ReadIni(), expected);
}

TEST_F(StartupE2E, KeymapThatBindsSomeCommandsIsNotRewritten) {
    // Only the exit command, on Ctrl+Q; the other commands are completed in
    // memory with their defaults, and the file stays as it is.
    const std::string keymap = "1\r\n21,593\r\n";
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    ASSERT_TRUE(WriteKeymap(keymap));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    EXPECT_EQ(ReadKeymap(), keymap);
}

TEST_F(StartupE2E, KeymapWithoutCommandBlockFallsBackAndKeepsApplicationKeys) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    ASSERT_TRUE(WriteKeymap("---\r\n1\r\n1000,1648\r\n"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    EXPECT_EQ(ReadKeymap(), std::string(kDefaultKeymap) + "---\r\n1\r\n1000,1648\r\n");
}

TEST_F(StartupE2E, KeymapWithCountBelowOneIsReplacedByDefaults) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    ASSERT_TRUE(WriteKeymap("0\r\n21,593\r\n"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    EXPECT_EQ(ReadKeymap(), kDefaultKeymap);
}

TEST_F(StartupE2E, SettingsSavedWithLfLineEndsKeepTheirValues) {
    // As many editors and version control save it: bare LF line ends.
    const std::string user = "[common]\ntray=0\nalpha=60\n[edit]\nx=40\n";
    ASSERT_TRUE(WriteIni(user));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    std::string expected = DefaultIniWithLine("common", "tray", "tray=0");
    expected.replace(expected.find("alpha=100\r\n"), 11, "alpha=60\r\n");
    expected.replace(expected.find("[edit]\r\nx=0\r\n"), 13, "[edit]\r\nx=40\r\n");
    EXPECT_EQ(ReadIni(), expected);
    // The file as the user left it is kept beside it.
    EXPECT_EQ(ReadDataFile(folder, "vorn.ini.bak"), user);
}

TEST_F(StartupE2E, SettingsHeldByAnotherProgramAreNotWrittenOver) {
    const std::string user = "[common]\r\ntray=0\r\nalpha=60\r\n";
    ASSERT_TRUE(WriteIni(user));
    // Held open without sharing while vorn starts.
    HANDLE held = CreateFileA(Path("data\\vorn.ini").c_str(), GENERIC_READ, 0, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    VornProcess vorn;
    ::testing::AssertionResult started = StartAndWaitBox(&vorn, "");
    CloseHandle(held);
    ASSERT_TRUE(started);
    EXPECT_EQ(ReadIni(), user);
    EXPECT_FALSE(PathExists(Path("data\\vorn.ini.bak")));
}

TEST_F(StartupE2E, KeymapWithAnOverlongFirstLineKeepsApplicationKeys) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0"}));
    const std::string user = std::string(150, '#') + "\r\n21,593\r\n---\r\n1\r\n1000,1648\r\n";
    ASSERT_TRUE(WriteKeymap(user));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    EXPECT_EQ(ReadKeymap(), std::string(kDefaultKeymap) + "---\r\n1\r\n1000,1648\r\n");
    EXPECT_EQ(ReadDataFile(folder, "keymap.bak"), user);
}

// --- Place and size of the edit box ----------------------------------------------------

TEST_F(StartupE2E, EditBoxTakesPlaceAndSizeFromSettings) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "edit.x=100", "edit.y=150", "edit.w=300", "edit.ftsize=16"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    EXPECT_TRUE(BoxRectIs(vorn, 100, 150, 300, BoxHeight(16)));
}

TEST_F(StartupE2E, EditBoxIsOnePixelTallerWithPathIcon) {
    // autoresize 0: the width stays w whatever the focus does.
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "common.icon=1", "edit.x=60", "edit.y=80", "edit.w=200", "edit.autoresize=0"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    EXPECT_TRUE(BoxRectIs(vorn, 60, 80, 200, BoxHeight(12) + 1));
}

TEST_F(StartupE2E, FocusedBoxMakesRoomForThePathIcon) {
    // With autoresize the focused box is fitted to its text, at least w wide,
    // and then widened by the 16 pixels of the icon.
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "common.icon=1", "edit.x=60", "edit.y=80", "edit.w=200"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    EXPECT_TRUE(WaitFor([&] { return BoxRectIs(vorn, 60, 80, 216, BoxHeight(12) + 1); }))
        << BoxRectIs(vorn, 60, 80, 216, BoxHeight(12) + 1).message();
}

TEST_F(StartupE2E, CommandLineOverridesPlaceAndWidth) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "edit.x=100", "edit.y=150", "edit.w=300"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, "/x=40 /y=60 /w=250"));
    EXPECT_TRUE(BoxRectIs(vorn, 40, 60, 250, BoxHeight(12)));
    // The overrides are for this run only.
    EXPECT_EQ(ReadIni(), IniWith({"common.tray=0", "edit.x=100", "edit.y=150", "edit.w=300"}));
}

TEST_F(StartupE2E, NegativeOverrideIsIgnoredAndTextCountsAsZero) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "edit.x=100", "edit.y=150", "edit.w=300"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitBox(&vorn, "/x=-5 /y=abc /w=220"));
    EXPECT_TRUE(BoxRectIs(vorn, 100, 0, 220, BoxHeight(12)));
}
