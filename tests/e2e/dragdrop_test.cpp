// dragdrop_test.cpp - OLE drag and drop with the real vorn.exe and real mouse
// input: a row of the folder list dragged into another program's drop
// window, and files dragged by another program onto a folder row (moved, or
// copied with Ctrl), onto a program row (opened with it) and onto the edit
// box (the drop menu), with the tooltip that names the action read while the
// button is still held.
#include "tests/e2e/harness.h"
#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"

#include <stdlib.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

namespace {

enum { DRAG_STEPS = 12, DRAG_STEP_MS = 30 };

// Lets ms pass while the test's own messages are handled: the pace of the
// pointer's steps, as a hand moves it.
void Pace(DWORD ms) {
    WaitFor([] { return false; }, ms);
}

void Mouse(int x, int y, DWORD flags) {
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    INPUT in;
    memset(&in, 0, sizeof in);
    in.type = INPUT_MOUSE;
    in.mi.dx = (LONG)((x * 65535LL) / (sw > 1 ? sw - 1 : 1));
    in.mi.dy = (LONG)((y * 65535LL) / (sh > 1 ? sh - 1 : 1));
    in.mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    SendInput(1, &in, sizeof in);
}

POINT Centre(HWND wnd) {
    RECT r = {};
    GetWindowRect(wnd, &r);
    return {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
}

// Screen centre of the row named name of a list, or (-1, -1).
POINT RowCentre(HWND list, const std::string& name) {
    std::vector<std::string> rows = ListRowTexts(list);
    for (size_t i = 0; i < rows.size(); i++) {
        RECT rc;
        if (rows[i] != name || !ListRowRect(list, (int)i, &rc)) continue;
        POINT p = {(rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2};
        ClientToScreen(list, &p);
        return p;
    }
    return {-1, -1};
}

// Presses the button at from and moves in steps to to, the button held.
void PressAndMove(POINT from, POINT to, bool right = false) {
    Mouse(from.x, from.y, 0);
    Pace(DRAG_STEP_MS);
    Mouse(from.x, from.y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    Pace(DRAG_STEP_MS);
    for (int i = 1; i <= DRAG_STEPS; i++) {
        Mouse(from.x + (to.x - from.x) * i / DRAG_STEPS, from.y + (to.y - from.y) * i / DRAG_STEPS,
              0);
        Pace(DRAG_STEP_MS);
    }
}

void Release(POINT at, bool right = false) {
    Mouse(at.x, at.y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
}

struct WindowSearch {
    DWORD pid;
    const char* cls;
    std::vector<HWND> found;
};
BOOL CALLBACK CollectVisible(HWND wnd, LPARAM param) {
    WindowSearch* s = (WindowSearch*)param;
    char cls[64] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpiA(cls, s->cls) == 0 && IsWindowVisible(wnd) && WindowProcessId(wnd) == s->pid)
        s->found.push_back(wnd);
    return TRUE;
}
std::vector<HWND> VisibleWindows(DWORD pid, const char* cls) {
    WindowSearch s = {pid, cls, {}};
    EnumWindows(CollectVisible, (LPARAM)&s);
    return s.found;
}

// The text of vorn's visible tooltip ("" when none shows).
std::string ShownTip(DWORD pid) {
    for (HWND tip : VisibleWindows(pid, "tooltips_class32")) {
        std::string text = WindowText(tip);
        if (!text.empty()) return text;
    }
    return "";
}

// Keeps what is on the screen for the milliseconds in VORN_E2E_SHOT_HOLD_MS
// (unset: not at all), so that a screenshot can be taken by hand.
void HoldForScreenshot(void) {
    char value[16] = "";
    if (GetEnvironmentVariableA("VORN_E2E_SHOT_HOLD_MS", value, sizeof value) == 0) return;
    Pace((DWORD)atoi(value));
}

}  // namespace

struct DragDropE2E : public VornTest {
    VornProcess vorn;
    HelperProcess helper;
    std::string src, drop, report;

    void SetUp() override {
        VornTest::SetUp();
        src = Path("src");
        drop = Path("drop");
        report = Path("report.txt");
        ASSERT_TRUE(CreateDirectoryA(src.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(drop.c_str(), nullptr));
        ASSERT_TRUE(WriteFileBytes((src + "\\a.txt").c_str(), "A"));
        ASSERT_TRUE(WriteFileBytes((src + "\\b.txt").c_str(), "B"));
        ASSERT_TRUE(CreateDirectoryA((drop + "\\dest").c_str(), nullptr));
        ASSERT_TRUE(WriteFileBytes((drop + "\\note.txt").c_str(), "N"));
    }
    void TearDown() override {
        ReleaseModifiers(KEY_CTRL);
        Release(POINT{0, 0});
        ParkPointer();
        helper.End();
        DWORD code = 0;
        if (vorn.Alive()) vorn.Close(E2E_EXIT_MS, &code);
        vorn.Kill();
        VornTest::TearDown();
    }

    // Starts vorn, types folder with its separator and waits until the folder
    // list shows exactly rows.
    ::testing::AssertionResult ListFolder(const std::string& folderPath,
                                          std::set<std::string> rows, HWND* list) {
        ::testing::AssertionResult step =
            WriteIniWith({"common.tray=0", "path.typoctr=0", "edit.w=500"});
        if (step) step = StartAndWaitFocus(&vorn, "");
        if (!step) return step;
        std::string typed = folderPath + "\\";
        if (!TypeText(typed.c_str())) return ::testing::AssertionFailure() << "typing failed";
        bool shown = WaitFor([&] {
            if (vorn.EditText() != typed) return false;
            *list = ShownListView(vorn.Pid());
            if (!*list) return false;
            std::vector<std::string> got = ListRowTexts(*list);
            return std::set<std::string>(got.begin(), got.end()) == rows;
        });
        if (!shown) return ::testing::AssertionFailure() << "list not shown; box " << vorn.EditText();
        return ::testing::AssertionSuccess();
    }

    // Starts the dragging program on the files and waits for its window.
    ::testing::AssertionResult StartDragSource(const std::string& files, HWND* window) {
        std::string args = "\"" + report + "\" " + files;
        if (!helper.Start(BesideTests("dragsrc.exe"), args.c_str()))
            return ::testing::AssertionFailure() << "dragsrc.exe did not start";
        *window = helper.WaitWindow("vorn_e2e_dragsrc");
        if (!*window) return ::testing::AssertionFailure() << "no dragsrc window";
        return ::testing::AssertionSuccess();
    }

    std::string Report(void) {
        std::string text;
        return ReadFileBytes(report.c_str(), &text) ? text : "";
    }
    bool WaitTip(const std::string& text, std::string* seen) {
        bool ok = WaitFor([&] { return (*seen = ShownTip(vorn.Pid())) == text; });
        return ok;
    }
};

TEST_F(DragDropE2E, FolderListRowDraggedIntoAProgramGivesFilesTextAndIdArray) {
    HWND list = nullptr;
    ASSERT_TRUE(ListFolder(src, {"a.txt", "b.txt"}, &list));
    std::string args = "\"" + report + "\"";
    ASSERT_TRUE(helper.Start(BesideTests("dropwin.exe"), args.c_str()));
    HWND target = helper.WaitWindow("vorn_e2e_dropwin");
    ASSERT_NE(target, nullptr);
    POINT row = RowCentre(list, "b.txt");
    ASSERT_GE(row.x, 0);
    PressAndMove(row, Centre(target));
    // The button comes up once the drag has reached the window.
    EXPECT_TRUE(WaitFor([&] { return Report() == "enter\r\n"; })) << "the drag never entered";
    Release(Centre(target));
    ASSERT_TRUE(WaitFor([&] { return Report().compare(0, 8, "formats ") == 0; }))
        << "nothing was dropped";
    std::string b = src + "\\b.txt";
    EXPECT_EQ(Report(), "formats CF_HDROP,CF_TEXT,Shell IDList Array\r\n"
                        "file " + b + "\r\n"
                        "text " + b + "\\r\\n\r\n"
                        "ids 1\r\n");
    EXPECT_TRUE(PathExists(b)) << "a copy drop leaves the file where it was";
}

TEST_F(DragDropE2E, FilesDroppedOnAFolderRowAreMovedAfterTheTooltipSaysSo) {
    HWND list = nullptr;
    ASSERT_TRUE(ListFolder(drop, {"dest", "note.txt"}, &list));
    HWND source = nullptr;
    std::string a = src + "\\a.txt";
    ASSERT_TRUE(StartDragSource("\"" + a + "\"", &source));
    POINT row = RowCentre(list, "dest");
    ASSERT_GE(row.x, 0);
    PressAndMove(Centre(source), row);
    std::string seen;
    EXPECT_TRUE(WaitTip("dest に移動", &seen)) << "tooltip: \"" << seen << "\"";
    HoldForScreenshot();
    Release(row);
    EXPECT_TRUE(WaitFor([&] { return PathExists(drop + "\\dest\\a.txt") && !PathExists(a); }));
    // The source is told that nothing happened: vorn moved the file itself.
    EXPECT_TRUE(WaitFor([&] { return Report() == "result 40100 effect 0\r\n"; })) << Report();
}

TEST_F(DragDropE2E, FilesDroppedOnAFolderRowWithCtrlAreCopied) {
    HWND list = nullptr;
    ASSERT_TRUE(ListFolder(drop, {"dest", "note.txt"}, &list));
    HWND source = nullptr;
    std::string a = src + "\\a.txt";
    ASSERT_TRUE(StartDragSource("\"" + a + "\"", &source));
    POINT row = RowCentre(list, "dest");
    ASSERT_GE(row.x, 0);
    ASSERT_TRUE(SettleModifiers(KEY_CTRL));
    PressAndMove(Centre(source), row);
    // Wine lets go of injected modifiers when the pointer enters a window of
    // another program (it reads the X server's state, which knows nothing of
    // them): Ctrl is pressed again while it reads as up, as a hand holds it.
    std::string seen;
    EXPECT_TRUE(WaitFor([&] {
        if (!ModifiersHeld(KEY_CTRL)) PressModifiers(KEY_CTRL);
        return (seen = ShownTip(vorn.Pid())) == "dest にコピー";
    })) << "tooltip: \"" << seen << "\"";
    Release(row);
    EXPECT_TRUE(WaitFor([&] { return PathExists(drop + "\\dest\\a.txt"); }));
    ReleaseModifiers(KEY_CTRL);
    EXPECT_TRUE(PathExists(a)) << "a copy keeps the original";
}

TEST_F(DragDropE2E, FilesDroppedOnAProgramRowOpenWithIt) {
    std::string tool = drop + "\\tool.exe";
    ASSERT_TRUE(CopyFileA(BesideTests("recorder.exe").c_str(), tool.c_str(), FALSE));
    RecordFile records(Path("record.txt"));
    HWND list = nullptr;
    ASSERT_TRUE(ListFolder(drop, {"dest", "note.txt", "tool.exe"}, &list));
    HWND source = nullptr;
    std::string a = src + "\\a.txt";
    ASSERT_TRUE(StartDragSource("\"" + a + "\"", &source));
    POINT row = RowCentre(list, "tool.exe");
    ASSERT_GE(row.x, 0);
    PressAndMove(Centre(source), row);
    std::string seen;
    EXPECT_TRUE(WaitTip("tool.exe で開く", &seen)) << "tooltip: \"" << seen << "\"";
    Release(row);
    ASSERT_TRUE(records.WaitCount(1));
    StartRecord r = records.Records()[0];
    EXPECT_EQ(r.program, tool);
    EXPECT_EQ(r.args, a + " ");
    EXPECT_TRUE(PathExists(a)) << "opening a file with a program leaves it in place";
}

TEST_F(DragDropE2E, FilesDroppedOnTheEditBoxOpenTheDropMenuWhoseFirstEntryTakesThePath) {
    HWND list = nullptr;
    ASSERT_TRUE(ListFolder(drop, {"dest", "note.txt"}, &list));
    HWND source = nullptr;
    std::string a = src + "\\a.txt";
    ASSERT_TRUE(StartDragSource("\"" + a + "\"", &source));
    POINT box = Centre(vorn.EditBox());
    PressAndMove(Centre(source), box);
    std::string seen;
    EXPECT_TRUE(WaitTip("drop に...", &seen)) << "tooltip: \"" << seen << "\"";
    Release(box);
    ASSERT_TRUE(WaitFor([&] { return !VisibleWindows(vorn.Pid(), "#32768").empty(); }))
        << "no drop menu";
    HoldForScreenshot();
    // "エディットにパスを反映(&E)" by its access key.
    ASSERT_TRUE(TapKey('E'));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == a; })) << vorn.EditText();
    EXPECT_TRUE(PathExists(a)) << "taking the path touches no file";
    EXPECT_TRUE(WaitFor([&] { return VisibleWindows(vorn.Pid(), "#32768").empty(); }));
}
