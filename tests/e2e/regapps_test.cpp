// regapps_test.cpp - registered applications and the rename and delete
// companion, seen from outside: the F2 menu of "data\vorn_e.dat" and an
// application key start their programs on the list selection; Ctrl+R and
// Ctrl+D hand the selected file to tools.exe, whose dialogs are driven with
// real keys, while the launcher's windows are disabled; the failure messages
// with stand-in tools; the question before deleting a Favorites item.
#include "tests/e2e/harness.h"
#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"

#include <string.h>

#include <string>
#include <vector>

namespace {

// Long enough for the launcher's own 10-second wait for a tool's answer.
enum { TOOL_WAIT_MS = 15000 };

struct MenuSearch {
    DWORD pid;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectMenus(HWND wnd, LPARAM param) {
    MenuSearch* s = (MenuSearch*)param;
    char cls[16] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (strcmp(cls, "#32768") == 0 && IsWindowVisible(wnd) && WindowProcessId(wnd) == s->pid)
        s->found.push_back(wnd);
    return TRUE;
}
std::vector<HWND> OpenMenus(DWORD pid) {
    MenuSearch s = {pid, {}};
    EnumWindows(CollectMenus, (LPARAM)&s);
    return s.found;
}

// The visible dialog with this caption, of any process.
HWND DialogTitled(const char* caption) {
    HWND dlg = FindWindowA("#32770", caption);
    return dlg && IsWindowVisible(dlg) ? dlg : nullptr;
}

// The folder where Wine's shell keeps what is moved to the Recycle Bin: the
// desktop's trash of the Unix user (~/.local/share/Trash/files), reached
// through drive Z:. Wine hands programs the Unix home folder as WINEHOMEDIR
// ("\??\Z:\home\user"), not as HOME.
std::string TrashFilesFolder(void) {
    char home[MAX_PATH] = "";
    DWORD n = GetEnvironmentVariableA("WINEHOMEDIR", home, sizeof home);
    if (n == 0 || n >= sizeof home) return std::string();
    std::string path = home;
    if (path.compare(0, 4, "\\??\\") == 0) path.erase(0, 4);
    return path + "\\.local\\share\\Trash\\files";
}

// The focused window of the thread that owns dlg, when dlg is in front.
HWND FocusIn(HWND dlg) {
    if (GetForegroundWindow() != dlg) return nullptr;
    GUITHREADINFO info;
    memset(&info, 0, sizeof info);
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(dlg, nullptr), &info)) return nullptr;
    return info.hwndFocus;
}

void CloseWindowsOfClass(const char* cls) {
    HWND wnd;
    for (int i = 0; i < 5 && (wnd = FindWindowA(cls, nullptr)) != nullptr; i++) {
        PostMessageA(wnd, WM_CLOSE, 0, 0);
        WaitFor([&] { return !IsWindow(wnd); }, 2000);
    }
}

// With VORN_SHOT_DIR naming a Unix folder, a picture of the screen goes there
// as <name>.png (ImageMagick's import, which Wine starts as a Unix program);
// for the pictures in docs/screenshots. Without it nothing happens.
void Shot(const char* name) {
    char dir[MAX_PATH] = "";
    DWORD n = GetEnvironmentVariableA("VORN_SHOT_DIR", dir, sizeof dir);
    if (n == 0 || n >= sizeof dir) return;
    std::string unixFile = std::string(dir) + "/" + name + ".png";
    std::string file = "Z:" + unixFile;
    for (char& c : file)
        if (c == '/') c = '\\';
    DeleteFileA(file.c_str());
    std::string command = "Z:\\usr\\bin\\import -window root " + unixFile;
    STARTUPINFOA si;
    memset(&si, 0, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi;
    if (!CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &si, &pi)) return;
    // Wine starts a Unix program without waiting for it: the picture is
    // complete once its file has stopped growing.
    LONGLONG last = -1;
    WaitFor([&] {
        WIN32_FILE_ATTRIBUTE_DATA data;
        if (!GetFileAttributesExA(file.c_str(), GetFileExInfoStandard, &data)) return false;
        LONGLONG size = ((LONGLONG)data.nFileSizeHigh << 32) | data.nFileSizeLow;
        bool still = size > 0 && size == last;
        last = size;
        return still;
    }, 10000);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

}  // namespace

struct RegAppsE2E : public RunTest {
    std::string src;   // <test folder>\<leaf>src, holding the file the tests work on
    std::string file;  // its one file

    void SetUp() override {
        RunTest::SetUp();
        src = MakeDir("src");
        file = src + "\\a.txt";
        ASSERT_TRUE(WriteFileBytes(file.c_str(), "A"));
    }
    void TearDown() override {
        CloseWindowsOfClass("vorn_test_silent");
        CloseWindowsOfClass("vorn_test_oldtool");
        RunTest::TearDown();
    }

    // A program built beside the tests, copied as "tools.exe" beside vorn.exe.
    bool PlaceTool(const char* program) {
        return CopyFileA(BesideTests(program).c_str(), Path("tools.exe").c_str(), FALSE) != FALSE;
    }

    // Starts vorn (with args), shows the folder in the folder list and moves
    // into it, where the one file is selected and has the focus.
    ::testing::AssertionResult SelectFileInList(VornProcess* vorn, const char* args = "") {
        ::testing::AssertionResult step = WriteIniWith({"common.tray=0", "path.typoctr=0", "edit.w=900"});
        if (step) step = StartAndWaitFocus(vorn, args);
        if (!step) return step;
        // The folder is handed over whole; only its separator is typed, and
        // that lists it.
        step = HandText(vorn, src);
        if (!step) return step;
        std::string typed = src + "\\";
        if (!TypeText("\\")) return ::testing::AssertionFailure() << "typing failed";
        HWND list = nullptr;
        if (!WaitFor([&] {
                list = ShownListView(vorn->Pid());
                return vorn->EditText() == typed && list && ListRowCount(list) == 1;
            }))
            return ::testing::AssertionFailure() << "src is not listed; box \"" << vorn->EditText() << "\"";
        if (!PressKey(VK_DOWN) ||
            !WaitFor([&] { return HasFocus(list) && ListSelectedRows(list).size() == 1; }))
            return ::testing::AssertionFailure() << "the file was not selected in the list";
        return ::testing::AssertionSuccess();
    }

    // Waits for vorn's message box and returns its text ("" when none came).
    std::string VornMessage(VornProcess* vorn, DWORD ms = E2E_WAIT_MS) {
        HWND box = nullptr;
        if (!WaitFor([&] { return (box = FindMessageBoxOf(vorn->Pid())) != nullptr; }, ms)) return "";
        return MessageBoxText(box);
    }
    // Closes vorn's message box with Enter.
    bool DismissMessage(VornProcess* vorn) {
        HWND box = FindMessageBoxOf(vorn->Pid());
        return box && Activate(box) && PressKey(VK_RETURN) &&
               WaitFor([&] { return FindMessageBoxOf(vorn->Pid()) == nullptr; });
    }
    bool BoxEnabled(VornProcess* vorn) { return IsWindowEnabled(vorn->EditBox()) != FALSE; }
};

TEST_F(RegAppsE2E, CtrlRRenamesTheSelectedFileThroughTheCompanion) {
    ASSERT_TRUE(PlaceTool("tools.exe"));
    VornProcess vorn;
    ASSERT_TRUE(SelectFileInList(&vorn));
    HWND dlg = nullptr;
    ASSERT_TRUE(PressKeyUntil('R', KEY_CTRL, [&] { return (dlg = DialogTitled("名前の変更")) != nullptr; },
                              TOOL_WAIT_MS))
        << "no rename dialog; vorn says \"" << MessageBoxText(FindMessageBoxOf(vorn.Pid())) << "\"";
    EXPECT_FALSE(BoxEnabled(&vorn)) << "the launcher is disabled while the tool works";
    HWND edit = GetDlgItem(dlg, 1002);
    EXPECT_EQ(WindowText(edit), "a.txt");
    ASSERT_TRUE(WaitFor([&] { return FocusIn(dlg) == edit; })) << "the name box has no focus";
    DWORD start = 99, end = 99;
    EXPECT_TRUE(WaitFor([&] { return EditSelection(edit, &start, &end) && start == 0 && end == 1; }))
        << "the stem is selected, not the extension: " << start << "-" << end;
    Shot("tools-rename");

    // A refused name: a message, and the dialog stays.
    ASSERT_TRUE(TypeText("b?"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    HWND warning = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        warning = FindWindowA("#32770", "tools");
        return warning && IsWindowVisible(warning);
    }));
    EXPECT_NE(MessageBoxText(warning).find("使えません"), std::string::npos) << MessageBoxText(warning);
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return !IsWindow(warning) || !IsWindowVisible(warning); }));
    ASSERT_TRUE(IsWindow(dlg) && PathExists(file));

    // The name typed anew: renamed.
    ASSERT_TRUE(WaitFor([&] { return FocusIn(dlg) == edit; }));
    // "b?" took the stem's place: two Backspaces leave the extension.
    ASSERT_TRUE(WaitFor([&] { return WindowText(edit) == "b?.txt"; })) << WindowText(edit);
    ASSERT_TRUE(TapKey(VK_BACK) && TapKey(VK_BACK));
    ASSERT_TRUE(WaitFor([&] { return WindowText(edit) == ".txt"; })) << WindowText(edit);
    ASSERT_TRUE(TypeText("renamed"));
    ASSERT_TRUE(WaitFor([&] { return WindowText(edit) == "renamed.txt"; })) << WindowText(edit);
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return PathExists(src + "\\renamed.txt") && !PathExists(file); }));
    EXPECT_TRUE(WaitFor([&] { return BoxEnabled(&vorn); })) << "the launcher is given back";
    // The folder list on show is read again: the new name, not the old one.
    EXPECT_TRUE(WaitFor([&] {
        HWND list = ShownListView(vorn.Pid());
        return list && ListRowTexts(list) == std::vector<std::string>{"renamed.txt"};
    })) << "the list still shows the old name";
}

TEST_F(RegAppsE2E, CtrlDDeletesTheSelectedFileToTheRecycleBin) {
    std::string trash = TrashFilesFolder();
    ASSERT_FALSE(trash.empty());
    // The file's name in the trash is its own: one unique to this test.
    std::string name = LeafName() + ".txt";
    file = src + "\\" + name;
    ASSERT_TRUE(MoveFileA((src + "\\a.txt").c_str(), file.c_str()));
    ASSERT_TRUE(PlaceTool("tools.exe"));
    VornProcess vorn;
    ASSERT_TRUE(SelectFileInList(&vorn));
    HWND dlg = nullptr;
    ASSERT_TRUE(PressKeyUntil('D', KEY_CTRL,
                              [&] { return (dlg = DialogTitled("ファイルの削除")) != nullptr; }, TOOL_WAIT_MS))
        << "no delete dialog; vorn says \"" << MessageBoxText(FindMessageBoxOf(vorn.Pid())) << "\"";
    EXPECT_FALSE(BoxEnabled(&vorn));
    EXPECT_EQ(WindowText(GetDlgItem(dlg, 1004)), file + "\r\n");
    EXPECT_EQ(WindowText(GetDlgItem(dlg, 1003)), "次の1個の項目をごみ箱へ移動しますか。");
    ASSERT_TRUE(WaitFor([&] { return GetForegroundWindow() == dlg; }));
    Shot("tools-delete");
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return !PathExists(file); })) << "the file left its folder";
    std::string trashed = trash + "\\" + name;
    EXPECT_TRUE(WaitFor([&] { return PathExists(trashed); })) << "not in " << trash;
    EXPECT_TRUE(WaitFor([&] { return BoxEnabled(&vorn); }));
    DeleteFileA(trashed.c_str());
    std::string info = trash.substr(0, trash.size() - 5) + "info\\" + name + ".trashinfo";
    DeleteFileA(info.c_str());
}

TEST_F(RegAppsE2E, TheCompanionAnswersTheVornThatStartedItWhateverItsClass) {
    ASSERT_TRUE(PlaceTool("tools.exe"));  // /a /q: a main window of the class "vorn_fisson"
    VornProcess vorn;
    ASSERT_TRUE(SelectFileInList(&vorn, "/a /q"));
    HWND dlg = nullptr;
    ASSERT_TRUE(PressKeyUntil('R', KEY_CTRL, [&] { return (dlg = DialogTitled("名前の変更")) != nullptr; },
                              TOOL_WAIT_MS))
        << "no rename dialog; vorn says \"" << MessageBoxText(FindMessageBoxOf(vorn.Pid())) << "\"";
    ASSERT_TRUE(PressKey(VK_ESCAPE));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(dlg) && BoxEnabled(&vorn); })) << "the launcher is given back";
}

TEST_F(RegAppsE2E, WithoutTheCompanionTheStartFailureIsShown) {
    VornProcess vorn;
    ASSERT_TRUE(SelectFileInList(&vorn));
    std::string text;
    ASSERT_TRUE(PressKeyUntil('R', KEY_CTRL, [&] { return FindMessageBoxOf(vorn.Pid()) != nullptr; }));
    EXPECT_EQ(VornMessage(&vorn), "tool.exeの起動に失敗しました。no=3");
    ASSERT_TRUE(DismissMessage(&vorn));
    EXPECT_TRUE(BoxEnabled(&vorn)) << "nothing was disabled";
    EXPECT_TRUE(PathExists(file));
}

TEST_F(RegAppsE2E, ACompanionThatNeverAnswersIsGivenUp) {
    ASSERT_TRUE(PlaceTool("silenttool.exe"));
    VornProcess vorn;
    ASSERT_TRUE(SelectFileInList(&vorn));
    ASSERT_TRUE(PressKeyUntil('D', KEY_CTRL, [&] { return FindWindowA("vorn_test_silent", nullptr) != nullptr; },
                              E2E_START_MS));
    EXPECT_FALSE(BoxEnabled(&vorn)) << "disabled during the wait";
    EXPECT_EQ(VornMessage(&vorn, TOOL_WAIT_MS), "tool.exeの起動に失敗しました。no=1");
    ASSERT_TRUE(DismissMessage(&vorn));
    EXPECT_TRUE(WaitFor([&] { return BoxEnabled(&vorn); })) << "the watch gives the launcher back";
    EXPECT_TRUE(PathExists(file));
}

TEST_F(RegAppsE2E, AnOldCompanionGetsThePathsAndIsClosed) {
    ASSERT_TRUE(PlaceTool("oldtool.exe"));
    RecordFile record(Path("record.txt"));
    VornProcess vorn;
    ASSERT_TRUE(SelectFileInList(&vorn));
    ASSERT_TRUE(PressKeyUntil('R', KEY_CTRL, [&] { return FindMessageBoxOf(vorn.Pid()) != nullptr; },
                              TOOL_WAIT_MS));
    EXPECT_EQ(VornMessage(&vorn), "tool.exeが古いバージョンです。");
    ASSERT_TRUE(DismissMessage(&vorn));
    std::string told;
    EXPECT_TRUE(WaitFor([&] { return ReadFileBytes(record.path.c_str(), &told) && told.find("closed") != std::string::npos; }));
    EXPECT_EQ(told, "copydata 1000 \"" + file + "\" \r\nclosed\r\n");
    EXPECT_TRUE(WaitFor([&] { return BoxEnabled(&vorn); }));
}

TEST_F(RegAppsE2E, DeletingAFavoritesItemAsksFirstAndNoLeavesEverything) {
    // The recorder stands in for the tool: each start of it is one record.
    ASSERT_TRUE(PlaceTool("recorder.exe"));
    RecordFile record(Path("record.txt"));
    ASSERT_TRUE(WriteDataFile(folder, "vorn_f.dat", "C:\\elsewhere.txt\r\n" + file + "\r\n"));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "edit.w=900"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND list = nullptr;
    ASSERT_TRUE(PressKeyUntil('F', KEY_CTRL, [&] {
        list = ShownListView(vorn.Pid());
        return list && ListRowCount(list) == 2;
    }));
    ASSERT_TRUE(PressKey(VK_DOWN) && WaitFor([&] { return HasFocus(list); }));
    ASSERT_TRUE(PressKeyUntil(VK_DOWN, 0, [&] { return ListSelectedRows(list) == std::vector<int>{1}; }));
    std::string question = file + "\r\nはFavariteに登録されているアイテムです。\r\n操作を続行しますか。";

    ASSERT_TRUE(PressKeyUntil('D', KEY_CTRL, [&] { return FindMessageBoxOf(vorn.Pid()) != nullptr; }));
    EXPECT_EQ(VornMessage(&vorn), question);
    ASSERT_TRUE(PressKey('N'));
    ASSERT_TRUE(WaitFor([&] { return FindMessageBoxOf(vorn.Pid()) == nullptr; }));
    EXPECT_TRUE(BoxEnabled(&vorn));
    EXPECT_TRUE(WaitFor([&] { return vorn.BoxFocused(); })) << "the focus goes to the box";

    // Asked again and answered Yes: the tool is started, once. Had No started
    // it, there would be two starts.
    ASSERT_TRUE(Activate(list));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); }));
    ASSERT_TRUE(PressKeyUntil('D', KEY_CTRL, [&] { return FindMessageBoxOf(vorn.Pid()) != nullptr; }));
    EXPECT_EQ(VornMessage(&vorn), question);
    ASSERT_TRUE(PressKey('Y'));
    ASSERT_TRUE(record.WaitCount(1, TOOL_WAIT_MS));
    EXPECT_EQ(record.Records()[0].args, "/e");
    // The recorder ends without answering.
    EXPECT_EQ(VornMessage(&vorn, TOOL_WAIT_MS), "tool.exeの起動に失敗しました。no=1");
    ASSERT_TRUE(DismissMessage(&vorn));
    EXPECT_EQ(record.Records().size(), 1u);
    EXPECT_TRUE(PathExists(file));
}

// --- registered applications ------------------------------------------------------

struct RegAppsRunE2E : public RegAppsE2E {
    std::string program;  // the recorder, registered

    void SetUp() override {
        RegAppsE2E::SetUp();
        program = CopyTool("recorder.exe", "apps", "recorder.exe");
        ASSERT_FALSE(program.empty());
    }
    std::string Section(int n, const std::string& name, const std::string& arg, const std::string& folder,
                        int cmd) {
        std::string s = "[EXE" + std::to_string(n) + "]\r\nname=" + name + "\r\npath=" + program +
                        "\r\narg=" + arg + "\r\nfolder=" + folder + "\r\n";
        if (cmd) s += "cmd=" + std::to_string(cmd) + "\r\n";
        return s;
    }
};

TEST_F(RegAppsRunE2E, F2ShowsTheMenuBelowTheBoxAndStartsTheChosenProgram) {
    std::string longName(100, 'L');
    ASSERT_TRUE(WriteDataFile(folder, "vorn_e.dat",
                              Section(1, "Alpha", "-a", "", 0) + Section(2, longName, "", "", 0) +
                                  Section(3, "Second", "-n", src, 0)));
    RecordFile record(Path("record.txt"));
    VornProcess vorn;
    ASSERT_TRUE(SelectFileInList(&vorn));
    std::vector<HWND> menus;
    ASSERT_TRUE(PressKeyUntil(VK_F2, 0, [&] { return (menus = OpenMenus(vorn.Pid())).size() == 1; }));
    EXPECT_TRUE(ShownListView(vorn.Pid()) == nullptr) << "the lists are hidden for the menu";
    Shot("regapps-menu");
    RECT box, menu;
    ASSERT_TRUE(GetWindowRect(vorn.EditBox(), &box));
    ASSERT_TRUE(GetWindowRect(menus[0], &menu));
    EXPECT_EQ(menu.left, box.left);
    EXPECT_EQ(menu.top, box.bottom) << "below the box";
    // Three Downs wrap round a menu of two items back to the first; with the
    // long name in it they would reach the third.
    ASSERT_TRUE(TapKey(VK_DOWN) && TapKey(VK_DOWN) && TapKey(VK_DOWN) && TapKey(VK_RETURN));
    ASSERT_TRUE(record.WaitCount(1));
    StartRecord r = record.Records()[0];
    EXPECT_EQ(r.program, program);
    EXPECT_EQ(r.args, "-a \"" + file + "\" ") << "Alpha: the name of 100 characters is left out";
    EXPECT_EQ(r.folder, Path("apps")) << "the folder of the program";

    // Again for the path in the box, chosen by its access key.
    ASSERT_TRUE(HandText(&vorn, file));
    ASSERT_TRUE(PressKeyUntil(VK_F2, 0, [&] { return OpenMenus(vorn.Pid()).size() == 1; }));
    ASSERT_TRUE(PressKey('S'));  // "&Second"
    ASSERT_TRUE(record.WaitCount(2));
    r = record.Records()[1];
    EXPECT_EQ(r.program, program);
    EXPECT_EQ(r.args, "-n \"" + file + "\" ");
    EXPECT_EQ(r.folder, src) << "the registered working folder";
}

TEST_F(RegAppsRunE2E, AnApplicationKeyStartsItsProgramInItsOwnFolder) {
    // Two entries without ids get 1000 and 1001; Ctrl+K is bound to 1001.
    ASSERT_TRUE(WriteDataFile(folder, "vorn_e.dat", Section(1, "One", "-1", "", 0) + Section(2, "Two", "", "", 0)));
    ASSERT_TRUE(WriteKeymap("0\r\n---\r\n1\r\n1001," + std::to_string(KEY_CTRL | 'K') + "\r\n"));
    RecordFile record(Path("record.txt"));
    VornProcess vorn;
    ASSERT_TRUE(SelectFileInList(&vorn));
    ASSERT_TRUE(PressKeyUntil('K', KEY_CTRL, [&] { return record.Records().size() == 1; }));
    StartRecord r = record.Records()[0];
    EXPECT_EQ(r.program, program);
    EXPECT_EQ(r.args, "\"" + file + "\" ");
    EXPECT_EQ(r.folder, Path("apps")) << "the folder of the program";
    // As with F2, the list is gone and the box holds the focus.
    EXPECT_TRUE(WaitFor([&] { return ShownListView(vorn.Pid()) == nullptr; })) << "the list stays";
    EXPECT_TRUE(WaitFor([&] { return vorn.BoxFocused(); })) << "the box has no focus";
}
