// builtin_test.cpp - the "#" commands typed into the edit box and the built-in
// command list (Ctrl+M), driven with real key input.
#include "tests/e2e/harness.h"
#include "tests/e2e/listread.h"

#include <shellapi.h>

#include <string.h>

#include <string>
#include <vector>

namespace {

// Folder of the running e2e_tests.exe, with its trailing separator.
std::string TestsFolder(void) {
    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return "";
    std::string s(path, n);
    size_t slash = s.find_last_of("\\/");
    return slash == std::string::npos ? "" : s.substr(0, slash + 1);
}

// Copies the recorder tool built beside the tests to folder\name; the copy's
// full path, or "" when that failed.
std::string CopyRecorder(const char* folder, const char* name) {
    std::string from = TestsFolder() + "recorder.exe";
    std::string to = PathIn(folder, name);
    if (!CopyFileA(from.c_str(), to.c_str(), FALSE)) return "";
    return to;
}

// The command lines recorded by recorder copies in folder (every other line of
// folder\record.txt).
std::vector<std::string> RecordedCommandLines(const char* folder) {
    std::vector<std::string> lines;
    std::string bytes;
    if (!ReadFileBytes(PathIn(folder, "record.txt").c_str(), &bytes)) return lines;
    size_t pos = 0;
    int n = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find("\r\n", pos);
        if (end == std::string::npos) break;  // a record still being written
        if (n++ % 2 == 0) lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 2;
    }
    return lines;
}

// --- windows of vorn seen from outside --------------------------------------

struct WindowSearch {
    DWORD pid;
    const char* cls;
    bool visibleOnly;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectWindow(HWND wnd, LPARAM param) {
    WindowSearch* s = (WindowSearch*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid != s->pid) return TRUE;
    if (s->visibleOnly && !IsWindowVisible(wnd)) return TRUE;
    char cls[64] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpiA(cls, s->cls) == 0) s->found.push_back(wnd);
    return TRUE;
}

std::vector<HWND> TopWindowsOf(DWORD pid, const char* cls, bool visibleOnly) {
    WindowSearch s = {pid, cls, visibleOnly, {}};
    EnumWindows(CollectWindow, (LPARAM)&s);
    return s.found;
}

// A visible message box of vorn, or null.
HWND MessageBoxOf(DWORD pid) {
    std::vector<HWND> boxes = TopWindowsOf(pid, "#32770", true);
    return boxes.empty() ? nullptr : boxes[0];
}

// The message of a message box (its static text control).
std::string MessageText(HWND box) { return WindowText(GetDlgItem(box, 0xFFFF)); }

// True when a message box shows an icon: one of its controls is an icon
// static holding a picture.
bool ShowsIcon(HWND box) {
    for (HWND child = GetWindow(box, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[32] = "";
        GetClassNameA(child, cls, sizeof cls);
        if (lstrcmpiA(cls, "Static") != 0) continue;
        if ((GetWindowLongA(child, GWL_STYLE) & SS_TYPEMASK) != SS_ICON) continue;
        DWORD_PTR icon = 0;
        if (SendMessageTimeoutA(child, STM_GETICON, 0, 0, SMTO_ABORTIFHUNG, 2000, &icon) && icon)
            return true;
    }
    return false;
}

// True while vorn's tray icon (id 1000 of its main window) is there.
bool TrayIconShown(HWND mainWnd) {
    NOTIFYICONDATAA nid;
    ZeroMemory(&nid, sizeof nid);
    nid.cbSize = sizeof nid;
    nid.hWnd = mainWnd;
    nid.uID = 1000;
    return mainWnd && Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

struct FolderWindowSearch {
    std::string name;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectFolderWindow(HWND wnd, LPARAM param) {
    FolderWindowSearch* s = (FolderWindowSearch*)param;
    char cls[64] = "", title[512] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpiA(cls, "ExplorerWClass") != 0 && lstrcmpiA(cls, "CabinetWClass") != 0) return TRUE;
    GetWindowTextA(wnd, title, sizeof title);
    if (strstr(title, s->name.c_str())) s->found.push_back(wnd);
    return TRUE;
}

// The shell's folder windows whose title holds name.
std::vector<HWND> FolderWindowsNamed(const std::string& name) {
    FolderWindowSearch s = {name, {}};
    EnumWindows(CollectFolderWindow, (LPARAM)&s);
    return s.found;
}

const std::vector<std::string> kAllCommands = {
    "#AllCloseExp", "#Exit",        "#FreeHistory",   "#FreeMigemo",  "#FreeSearch", "#Hide",
    "#MigemoOff",   "#MigemoOn",    "#Open",          "#ReloadSetting", "#SaveSetting",
    "#SaveHistory", "#Optbox",      "#SingleExp",     "#IntoTray",    "#Ver",
};

}  // namespace

// Free typing (typoctr 0) so that "#..." texts need not name paths; tray 1
// keeps vorn resident, so only the exit command can end it.
struct BuiltinE2E : public VornTest {
    ::testing::AssertionResult Start(VornProcess* vorn) {
        ::testing::AssertionResult ini = WriteIniWith({"common.tray=1", "path.typoctr=0"});
        if (!ini) return ini;
        return StartAndWaitFocus(vorn, "");
    }
    // Types text into the focused box and waits until the box holds it.
    ::testing::AssertionResult Type(VornProcess* vorn, const std::string& text) {
        if (!TypeText(text.c_str())) return ::testing::AssertionFailure() << "typing refused";
        if (!WaitFor([&] { return vorn->EditText() == text; }))
            return ::testing::AssertionFailure() << "box holds \"" << vorn->EditText() << "\" instead of \"" << text << "\"";
        return ::testing::AssertionSuccess();
    }
    // Types text, presses Enter, and waits for the program's message box.
    HWND RunAndWaitMessageBox(VornProcess* vorn, const char* text) {
        if (!Type(vorn, text) || !PressKey(VK_RETURN)) return nullptr;
        HWND box = nullptr;
        WaitFor([&] { return (box = MessageBoxOf(vorn->Pid())) != nullptr; });
        return box;
    }
};

TEST_F(BuiltinE2E, ExitEndsTheProgramInAnyCaseAndWithAnArgument) {
    for (const char* text : {"#exit", "#EXIT", "#Exit now"}) {
        SCOPED_TRACE(text);
        VornProcess vorn;
        ASSERT_TRUE(Start(&vorn));
        ASSERT_TRUE(Type(&vorn, text));
        ASSERT_TRUE(PressKey(VK_RETURN));
        DWORD code = 1234;
        ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code)) << "still running after Enter";
        EXPECT_EQ(code, 0u);
    }
}

TEST_F(BuiltinE2E, ABareHashAndAHashBeforeABlankDoNothing) {
    std::string program = CopyRecorder(folder, "rec.exe");
    ASSERT_FALSE(program.empty()) << "recorder.exe must be built beside the tests";
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    for (std::string text : {std::string("#"), "# " + program}) {
        SCOPED_TRACE(text);
        ASSERT_TRUE(PressKeyUntil('B', KEY_CTRL, [&] { return vorn.EditText().empty(); }));
        ASSERT_TRUE(Type(&vorn, text));
        ASSERT_TRUE(PressKey(VK_RETURN));
        // Nothing may change for a while: the text stays, vorn runs on.
        EXPECT_FALSE(WaitFor([&] { return !vorn.Alive() || vorn.EditText() != text; }, 1000))
            << "box holds \"" << vorn.EditText() << "\"";
        EXPECT_TRUE(vorn.BoxVisible());
        EXPECT_EQ(MessageBoxOf(vorn.Pid()), nullptr);
    }
    EXPECT_TRUE(RecordedCommandLines(folder).empty()) << "a bare # started a program";
}

TEST_F(BuiltinE2E, ANameAfterTheHashStartsThatProgramWithTheArgument) {
    std::string program = CopyRecorder(folder, "rec.exe");
    ASSERT_FALSE(program.empty()) << "recorder.exe must be built beside the tests";
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    // The argument part begins after the first blank, further blanks skipped.
    ASSERT_TRUE(Type(&vorn, "#" + program + "   alpha beta"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return RecordedCommandLines(folder).size() == 1; }))
        << "the program was not started";
    std::string line = RecordedCommandLines(folder)[0];
    size_t at = line.rfind(" alpha beta");
    EXPECT_NE(at, std::string::npos) << line;
    EXPECT_EQ(at + strlen(" alpha beta"), line.size()) << line;
    EXPECT_EQ(line.find("   alpha"), std::string::npos) << "leading blanks were passed on: " << line;
    // A started program empties the box; vorn stays.
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText().empty(); })) << "box holds \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(vorn.Alive());
}

TEST_F(BuiltinE2E, ANameTheShellCannotStartLeavesTheTextQuietly) {
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    std::string text = "#" + Path("missing-program.exe") + " x";
    ASSERT_TRUE(Type(&vorn, text));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_FALSE(WaitFor([&] { return !vorn.Alive() || vorn.EditText() != text || MessageBoxOf(vorn.Pid()); }, 1500))
        << "box holds \"" << vorn.EditText() << "\"";
}

TEST_F(BuiltinE2E, VerWithoutTheSettingsProgramShowsTheVersionBox) {
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    HWND box = RunAndWaitMessageBox(&vorn, "#ver");
    ASSERT_NE(box, nullptr) << "no version box";
    EXPECT_EQ(WindowText(box), "vorn");
    EXPECT_EQ(MessageText(box), "tewsa\nVersion=0.64");
    EXPECT_TRUE(ShowsIcon(box)) << "the version box has no icon";
    EXPECT_TRUE(WaitFor([&] { return GetForegroundWindow() == box; })) << "the version box is not in front";
    EXPECT_TRUE(vorn.EditText().empty()) << "box holds \"" << vorn.EditText() << "\"";
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return MessageBoxOf(vorn.Pid()) == nullptr; }));
    EXPECT_TRUE(WaitFor([&] { return vorn.BoxFocused(); })) << "the box did not get the focus back";
    EXPECT_TRUE(vorn.Alive());
}

TEST_F(BuiltinE2E, OptboxWithoutTheSettingsProgramSaysSo) {
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    HWND box = RunAndWaitMessageBox(&vorn, "#Optbox");
    ASSERT_NE(box, nullptr) << "no message";
    EXPECT_EQ(WindowText(box), "vorn");
    EXPECT_EQ(MessageText(box), "Optbox.exeが見つかりません");
    EXPECT_EQ(GetWindow(box, GW_OWNER), vorn.EditBox()) << "the message is not owned by the edit box";
    EXPECT_TRUE(ShowsIcon(box));
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return MessageBoxOf(vorn.Pid()) == nullptr; }));
    EXPECT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
    EXPECT_TRUE(vorn.Alive());
}

TEST_F(BuiltinE2E, OptboxAndVerStartTheSettingsProgramBesideVorn) {
    // A recorder copy stands in for the settings program.
    ASSERT_FALSE(CopyRecorder(folder, "Optbox.exe").empty());
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    ASSERT_TRUE(Type(&vorn, "#OPTBOX"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return RecordedCommandLines(folder).size() == 1; })) << "not started";
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText().empty() && vorn.BoxFocused(); }));
    ASSERT_TRUE(Type(&vorn, "#Ver"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return RecordedCommandLines(folder).size() == 2; })) << "not started";
    std::vector<std::string> lines = RecordedCommandLines(folder);
    auto endsWith = [](const std::string& s, const char* tail) {
        size_t n = strlen(tail);
        return s.size() >= n && s.compare(s.size() - n, n, tail) == 0;
    };
    EXPECT_TRUE(endsWith(lines[0], " /s")) << lines[0];
    EXPECT_NE(lines[0].find("Optbox.exe"), std::string::npos) << lines[0];
    EXPECT_TRUE(endsWith(lines[1], " /a")) << lines[1];
    EXPECT_EQ(MessageBoxOf(vorn.Pid()), nullptr) << "the version box came although the program exists";
}

TEST_F(BuiltinE2E, HideLeavesNoTrayIconAndIntoTrayDoes) {
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    ASSERT_TRUE(Type(&vorn, "#Hide"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); })) << "#Hide left the box";
    EXPECT_FALSE(TrayIconShown(vorn.MainWindow())) << "#Hide put up a tray icon";

    // A second start hands over to the running one, which shows its box again.
    VornProcess second;
    ASSERT_TRUE(second.Start(folder, ""));
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }, E2E_START_MS)) << "the box did not come back";
    DWORD code = 0;
    EXPECT_TRUE(second.WaitExit(E2E_EXIT_MS, &code));

    ASSERT_TRUE(Type(&vorn, "#intotray"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); })) << "#IntoTray left the box";
    EXPECT_TRUE(WaitFor([&] { return TrayIconShown(vorn.MainWindow()); })) << "no tray icon";
    EXPECT_TRUE(vorn.Alive());
}

TEST_F(BuiltinE2E, OpenOpensTheProgramsOwnFolder) {
    std::string name = folder;
    name = name.substr(name.find_last_of('\\') + 1);
    ASSERT_TRUE(FolderWindowsNamed(name).empty());
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    ASSERT_TRUE(Type(&vorn, "#open"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return !FolderWindowsNamed(name).empty(); }, E2E_START_MS))
        << "no folder window for " << name;
    for (HWND wnd : FolderWindowsNamed(name)) PostMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_TRUE(WaitFor([&] { return FolderWindowsNamed(name).empty(); }));
    // The folder window took the focus (the box shows the clock meanwhile);
    // back in the box, the command text is gone.
    ASSERT_TRUE(Activate(vorn.EditBox()));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText().empty(); })) << "box holds \"" << vorn.EditText() << "\"";
}

TEST_F(BuiltinE2E, SaveSettingWritesTheSettingsFile) {
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    std::string ini = Path("data\\vorn.ini");
    ASSERT_TRUE(DeleteFileA(ini.c_str()));
    ASSERT_TRUE(Type(&vorn, "#SaveSetting"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return PathExists(ini); })) << "no settings file written";
    EXPECT_NE(ReadIni().find("typoctr=0"), std::string::npos) << "the settings in memory were not written";
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText().empty(); }));
}

TEST_F(BuiltinE2E, ReloadSettingTakesTheChangedSettings) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1", "path.typoctr=0", "edit.x=40"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    RECT r;
    ASSERT_TRUE(GetWindowRect(vorn.EditBox(), &r));
    ASSERT_EQ(r.left, 40);
    ASSERT_TRUE(WriteIniWith({"common.tray=1", "path.typoctr=0", "edit.x=140"}));
    ASSERT_TRUE(Type(&vorn, "#ReloadSetting"));
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return GetWindowRect(vorn.EditBox(), &r) && r.left == 140; }))
        << "box left at " << r.left;
    EXPECT_TRUE(vorn.Alive());
}

// --- the built-in command list ----------------------------------------------

TEST_F(BuiltinE2E, TheToggleKeyShowsTheSixteenCommandsAndHidesThemAgain) {
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    ASSERT_TRUE(Type(&vorn, "abc"));
    HWND list = nullptr;
    ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] { return (list = ShownListView(vorn.Pid())) != nullptr; }))
        << "Ctrl+M showed no list";
    std::vector<std::string> rows = ListRowTexts(list);
    EXPECT_EQ(rows, kAllCommands) << Joined(rows);
    // The typed text waits aside, the box is empty and keeps the focus.
    EXPECT_TRUE(vorn.EditText().empty()) << "box holds \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(vorn.BoxFocused());
    // Right below the edit box, left-aligned with it.
    RECT box, lr;
    ASSERT_TRUE(GetWindowRect(vorn.EditBox(), &box) && GetWindowRect(list, &lr));
    EXPECT_EQ(lr.left, box.left);
    EXPECT_EQ(lr.top, box.bottom);

    ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] { return ShownListView(vorn.Pid()) == nullptr; }))
        << "the second Ctrl+M left the list on show";
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == "abc"; })) << "box holds \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(vorn.BoxFocused());

    // And once more: the list comes back whole.
    ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] { return (list = ShownListView(vorn.Pid())) != nullptr; }));
    EXPECT_EQ(ListRowTexts(list), kAllCommands);
}

TEST_F(BuiltinE2E, WithIconsEveryEntryShowsTheOneListIcon) {
    ASSERT_TRUE(WriteIniWith({"common.tray=1", "path.typoctr=0", "common.icon=1"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND list = nullptr;
    ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] { return (list = ShownListView(vorn.Pid())) != nullptr; }));
    ASSERT_EQ(ListRowTexts(list), kAllCommands);
    // One picture, added once, stands for every command.
    for (int row = 0; row < (int)kAllCommands.size(); row++) EXPECT_EQ(ListRowImage(list, row), 0) << row;
}

TEST_F(BuiltinE2E, HidingTheListDropsTheTextThatNarrowedIt) {
    // Nothing was typed before the list: what narrowed it does not stay
    // behind in the box when the toggle key closes it.
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    HWND list = nullptr;
    ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] { return (list = ShownListView(vorn.Pid())) != nullptr; }));
    ASSERT_TRUE(Type(&vorn, "mig"));
    ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] { return ShownListView(vorn.Pid()) == nullptr; }));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText().empty(); })) << "box holds \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(vorn.BoxFocused());
}

TEST_F(BuiltinE2E, TheListReplacesAFolderListOnShow) {
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    ASSERT_TRUE(Type(&vorn, "C:\\"));
    HWND folderList = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (folderList = ShownListView(vorn.Pid())) != nullptr; }))
        << "typing a folder showed no folder list";
    HWND list = nullptr;
    ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] {
        list = ShownListView(vorn.Pid());
        return list != nullptr && list != folderList;
    })) << "Ctrl+M did not replace the folder list";
    EXPECT_FALSE(IsWindowVisible(folderList));
    EXPECT_EQ(ListRowTexts(list), kAllCommands);
    EXPECT_TRUE(vorn.EditText().empty());
    ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] { return !IsWindowVisible(list); }));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == "C:\\"; })) << "box holds \"" << vorn.EditText() << "\"";
}

TEST_F(BuiltinE2E, TypingNarrowsTheListAndEnterTakesThenRunsTheEntry) {
    VornProcess vorn;
    ASSERT_TRUE(Start(&vorn));
    HWND list = nullptr;
    ASSERT_TRUE(PressKeyUntil('M', KEY_CTRL, [&] { return (list = ShownListView(vorn.Pid())) != nullptr; }));
    ASSERT_TRUE(TypeText("ver"));
    std::vector<std::string> rows;
    EXPECT_TRUE(WaitFor([&] {
        rows = ListRowTexts(list);
        return rows == std::vector<std::string>{"#Ver"};
    })) << "list shows " << Joined(rows);
    // The first Enter takes the entry into the box and closes the list.
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == "#Ver" && ShownListView(vorn.Pid()) == nullptr; }))
        << "box holds \"" << vorn.EditText() << "\"";
    // The second runs it: no settings program here, so the version box.
    ASSERT_TRUE(PressKey(VK_RETURN));
    HWND box = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (box = MessageBoxOf(vorn.Pid())) != nullptr; })) << "no version box";
    EXPECT_EQ(MessageText(box), "tewsa\nVersion=0.64");
    PostMessageA(box, WM_COMMAND, IDOK, 0);
    EXPECT_TRUE(WaitFor([&] { return MessageBoxOf(vorn.Pid()) == nullptr; }));
}
