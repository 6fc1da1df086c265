// execute_test.cpp - Enter on a path in the box: folders open in the shell's
// folder window, programs start themselves, documents go quoted to their
// associated program (after the /r= prefix, once), missing paths and
// network-style paths stay in the box; and what the box does after a
// successful run (exemode).
//
// Most paths are handed to the box as a second start hands its argument over:
// typed key by key, completion would open the folder list, and Enter with the
// folder list open completes a name instead of running the text (only a text
// that ends in a separator runs from there; one test types such a text).
#include "tests/e2e/observe.h"

namespace {

// The document type the tests register, handled by a copy of recorder.exe.
const char kDocExt[] = ".vorne2edoc";
const char kDocClass[] = "vorne2edoc_file";

bool SameFile(const std::string& a, const std::string& b) { return lstrcmpiA(a.c_str(), b.c_str()) == 0; }

}  // namespace

using RunE2E = RunTest;

TEST_F(RunE2E, AFolderWithoutSeparatorOpensInAFolderWindow) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    std::string dir = MakeDir("_open");
    ASSERT_FALSE(dir.empty());
    std::string name = openedNames.back();
    ASSERT_TRUE(FolderWindows(name.c_str()).empty());

    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, dir));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return !FolderWindows(name.c_str()).empty(); }))
        << "no folder window for " << dir << " appeared";
    EXPECT_TRUE(vorn.Alive()) << "exemode 1 ended vorn after the run";
}

TEST_F(RunE2E, ATypedFolderWithTrailingSeparatorOpensOnEnter) {
    // Typed key by key the folder list follows the text; Enter on a text that
    // ends in a separator runs it all the same.
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    std::string dir = MakeDir("_typed");
    ASSERT_FALSE(dir.empty());
    std::string name = openedNames.back();
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeInto(&vorn, dir + "\\"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return !FolderWindows(name.c_str()).empty(); }))
        << "no folder window for " << dir << " appeared";
}

TEST_F(RunE2E, AMissingPathStaysInTheBoxAndStartsNothing) {
    // exemode 0: a successful run would end vorn.
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "common.exemode=0", "path.typoctr=0"}));
    std::string missing = Path("no_such_folder");
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, missing));
    ASSERT_TRUE(EnterHandled(&vorn, missing));
    EXPECT_TRUE(vorn.Alive());
    EXPECT_TRUE(vorn.BoxVisible());
    EXPECT_TRUE(vorn.BoxFocused());
}

TEST_F(RunE2E, ARootRelativeFolderOpensUnderTheStartFolder) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    std::string dir = MakeDir("_rooted");
    ASSERT_FALSE(dir.empty());
    std::string name = openedNames.back();
    std::string args = std::string("/d=\"") + folder + "\"";
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, args.c_str()));
    ASSERT_TRUE(HandText(&vorn, "\\" + name));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return !FolderWindows(name.c_str()).empty(); }))
        << "\\" << name << " did not open " << dir;
}

TEST_F(RunE2E, ARootRelativeFolderOpensOnTheStartDrive) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    std::string dir = MakeDir("_ondrive");
    ASSERT_FALSE(dir.empty());
    ASSERT_EQ(dir[1], ':') << dir;
    std::string name = openedNames.back();
    std::string args = "/d=" + dir.substr(0, 2);  // "C:"
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, args.c_str()));
    // Slashes work as separators in the box's text.
    std::string text = dir.substr(2);
    for (char& c : text)
        if (c == '\\') c = '/';
    ASSERT_TRUE(HandText(&vorn, text));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return !FolderWindows(name.c_str()).empty(); }))
        << text << " did not open " << dir;
}

TEST_F(RunE2E, TwoLeadingBackslashesAreNotPutUnderTheStartFolder) {
    // The folder exists under the start folder: put under it, the text would
    // open it (a doubled separator inside a path is harmless). As a network
    // name it names nothing, so the text stays and vorn (exemode 0) runs on.
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "common.exemode=0", "path.typoctr=0"}));
    std::string dir = MakeDir("_unc");
    ASSERT_FALSE(dir.empty());
    std::string name = openedNames.back();
    std::string args = std::string("/d=\"") + folder + "\"";
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, args.c_str()));
    std::string text = "\\\\" + name;
    ASSERT_TRUE(HandText(&vorn, text));
    ASSERT_TRUE(EnterHandled(&vorn, text));
    EXPECT_TRUE(vorn.Alive());
    EXPECT_TRUE(FolderWindows(name.c_str()).empty()) << text << " was opened under the start folder";
}

TEST_F(RunE2E, ADocumentGoesQuotedToItsProgramStartedInTheProgramsFolder) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    std::string program = CopyTool("recorder.exe", "bin", "rec.exe");
    ASSERT_FALSE(program.empty()) << "recorder.exe must be built beside the tests";
    FileType type(kDocExt, kDocClass, program);
    ASSERT_TRUE(type.ok);
    std::string docs = Path("my docs");
    ASSERT_TRUE(CreateDirectoryA(docs.c_str(), nullptr));
    std::string doc = PathIn(docs.c_str(), (std::string("note") + kDocExt).c_str());
    ASSERT_TRUE(WriteFileBytes(doc.c_str(), "text"));
    RecordFile records(Path("record.txt"));

    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, doc));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(records.WaitCount(1)) << "the associated program was not started";
    StartRecord r = records.Records()[0];
    EXPECT_TRUE(SameFile(r.program, program)) << r.commandLine;
    EXPECT_EQ(r.args, "\"" + doc + "\"") << r.commandLine;
    EXPECT_TRUE(SameFile(r.folder, Path("bin"))) << "started in " << r.folder;
    EXPECT_EQ(records.Records().size(), 1u);
}

TEST_F(RunE2E, TheArgumentPrefixPrecedesTheQuotedDocumentOnce) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0"}));
    std::string program = CopyTool("recorder.exe", "bin", "rec.exe");
    ASSERT_FALSE(program.empty());
    FileType type(kDocExt, kDocClass, program);
    ASSERT_TRUE(type.ok);
    std::string doc = Path((std::string("a") + kDocExt).c_str());
    ASSERT_TRUE(WriteFileBytes(doc.c_str(), "text"));
    RecordFile records(Path("record.txt"));

    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, "/r=\"-p 1\""));
    // A program takes no parameters: the prefix waits for a document.
    ASSERT_TRUE(HandText(&vorn, program));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(records.WaitCount(1)) << "the program was not started";

    ASSERT_TRUE(HandText(&vorn, doc));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(records.WaitCount(2));
    // The box kept the text (exemode 1): a second Enter runs it again.
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == doc && vorn.BoxFocused(); }));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(records.WaitCount(3));

    std::vector<StartRecord> r = records.Records();
    ASSERT_EQ(r.size(), 3u);
    EXPECT_TRUE(SameFile(r[0].program, program)) << r[0].commandLine;
    EXPECT_EQ(r[0].args, "") << r[0].commandLine;
    EXPECT_TRUE(SameFile(r[0].folder, Path("bin"))) << "the program started in " << r[0].folder;
    EXPECT_EQ(r[1].args, "-p 1 \"" + doc + "\"") << r[1].commandLine;
    EXPECT_EQ(r[2].args, "\"" + doc + "\"") << r[2].commandLine;
}

// --- After a successful run ---------------------------------------------------------

struct AfterRunE2E : public RunTest {
    std::string program;

    void SetUp() override {
        RunTest::SetUp();
        program = CopyTool("recorder.exe", "bin", "rec.exe");
        ASSERT_FALSE(program.empty()) << "recorder.exe must be built beside the tests";
    }
};

TEST_F(AfterRunE2E, ExemodeZeroEndsTheProgram) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1", "common.exemode=0", "path.typoctr=0"}));
    RecordFile records(Path("record.txt"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, program));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(records.WaitCount(1));
    DWORD code = 1234;
    ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code)) << "vorn still runs after the run";
    EXPECT_EQ(code, 0u);
}

TEST_F(AfterRunE2E, ExemodeOneKeepsTheBoxWithItsText) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1", "common.exemode=1", "path.typoctr=0"}));
    RecordFile records(Path("record.txt"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, program));
    ASSERT_TRUE(EnterHandled(&vorn, program));
    EXPECT_TRUE(records.WaitCount(1));
    EXPECT_TRUE(vorn.BoxVisible());
    EXPECT_FALSE(TrayIconPresent(vorn.MainWindow()));
}

TEST_F(AfterRunE2E, ExemodeTwoWithoutResidentModeKeepsTheBox) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "common.exemode=2", "path.typoctr=0"}));
    RecordFile records(Path("record.txt"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, program));
    ASSERT_TRUE(EnterHandled(&vorn, program));
    EXPECT_TRUE(records.WaitCount(1));
    EXPECT_TRUE(vorn.BoxVisible());
}

TEST_F(AfterRunE2E, ExemodeTwoWithTrayOneHidesIntoTheTray) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1", "common.exemode=2", "path.typoctr=0"}));
    RecordFile records(Path("record.txt"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND main = vorn.MainWindow();
    ASSERT_FALSE(TrayIconPresent(main));
    ASSERT_TRUE(HandText(&vorn, program));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(records.WaitCount(1));
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); })) << "the box stayed after the run";
    EXPECT_TRUE(TrayIconPresent(main)) << "hidden without a tray icon";
    EXPECT_TRUE(vorn.Alive());
}

TEST_F(AfterRunE2E, ExemodeTwoWithTrayTwoHidesWithoutIcon) {
    ASSERT_TRUE(WriteIniWith({"common.tray=2", "common.exemode=2", "path.typoctr=0"}));
    RecordFile records(Path("record.txt"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, program));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(records.WaitCount(1));
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); })) << "the box stayed after the run";
    // The icon would have been added before the box was hidden.
    EXPECT_FALSE(TrayIconPresent(vorn.MainWindow()));
    EXPECT_TRUE(vorn.Alive());
    // The hot key brings it back.
    EXPECT_TRUE(PressKeyUntil('1', KEY_ALT, [&] { return vorn.BoxVisible() && vorn.BoxFocused(); }));
}

TEST_F(AfterRunE2E, OneShotModeEndsTheProgramWhateverTheExemode) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1", "common.exemode=1", "path.typoctr=0"}));
    RecordFile records(Path("record.txt"));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, "/o"));
    ASSERT_TRUE(HandText(&vorn, program));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(records.WaitCount(1));
    DWORD code = 1234;
    ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code)) << "/o: vorn still runs after the run";
    EXPECT_EQ(code, 0u);
}
