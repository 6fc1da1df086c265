// dayinlife_test.cpp - one working day with the unpacked release, as a user
// lives it: vorn starts from the release folder and goes to the tray, the hot
// key brings the box back, a half-typed path is completed with Tab, a file is
// copied in the folder list and pasted into another folder, previewed, two
// batch files are run by their association, Optbox (from the release folder)
// changes the transparency and the running vorn takes it, Shift+Esc ends
// vorn, and the next start shows the same History in the same order.
// The release folder comes in VORN_RELEASE_DIR; the user's own files live in
// the test's fresh folder.
#include "tests/e2e/harness.h"
#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"
#include "tests/e2e/optbox_harness.h"

#include <tlhelp32.h>
#include <stdlib.h>

#include <string>
#include <vector>

namespace {

// The memo of the day (Shift-JIS, as the user's editor wrote it).
const char kNote[] = "今日の予定\r\n10:00 打ち合わせ\r\n";

// A batch file that leaves <its folder>\<stamp> behind when it runs.
std::string StampBatch(const char* stamp) {
    return std::string("@echo off\r\necho done> \"%~dp0") + stamp + "\"\r\n";
}

// True while a process of the batch runner (the command interpreter or its
// console host) is running in the prefix.
bool BatchRunnerRuns(void) {
    HANDLE snap = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snap == INVALID_HANDLE_VALUE) return true;
    PROCESSENTRY32 entry;
    entry.dwSize = sizeof entry;
    bool found = false;
    for (BOOL more = Process32First(snap, &entry); more && !found; more = Process32Next(snap, &entry))
        found = lstrcmpiA(entry.szExeFile, "cmd.exe") == 0 || lstrcmpiA(entry.szExeFile, "conhost.exe") == 0;
    CloseHandle(snap);
    return found;
}

}  // namespace

// vorn and Optbox run from the unpacked release, with no data folder at the
// start; the documents are in the test's own folder (work).
struct DayInLifeE2E : public OptboxTest {
    std::string release, work, docs, inbox;
    VornProcess vorn, nextMorning;

    void SetUp() override {
        OptboxTest::SetUp();
        if (HasFatalFailure()) return;
        EmptyTheClipboard();
        work = folder;
        ASSERT_TRUE(UseReleaseFolder(&release, folder, sizeof folder));
        docs = work + "\\docs";
        inbox = work + "\\inbox";
        ASSERT_TRUE(CreateDirectoryA(docs.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(inbox.c_str(), nullptr));
        ASSERT_TRUE(WriteFileBytes((docs + "\\note.txt").c_str(), kNote));
        ASSERT_TRUE(WriteFileBytes((docs + "\\morning.bat").c_str(), StampBatch("morning.done")));
        ASSERT_TRUE(WriteFileBytes((docs + "\\evening.bat").c_str(), StampBatch("evening.done")));
    }
    void TearDown() override {
        DWORD code = 0;
        for (VornProcess* p : {&vorn, &nextMorning}) {
            if (p->Alive()) p->Close(E2E_EXIT_MS, &code);
            p->Kill();
        }
        EmptyTheClipboard();
        RemoveFolderTree((release + "\\data").c_str());
        snprintf(folder, sizeof folder, "%s", work.c_str());
        OptboxTest::TearDown();
    }

    // What the user sees of vorn p, for failure messages.
    static std::string Seen(const VornProcess& p) {
        std::string s = "box \"" + p.EditText() + "\"" + (p.BoxFocused() ? " with" : " without") + " the focus";
        for (HWND l : VisibleListViews(p.Pid())) s += ", list " + Joined(ListRowTexts(l));
        return s;
    }

    // Rows of the one list on show (empty when none or several are shown).
    std::vector<std::string> ShownRows(const VornProcess& p) const {
        HWND list = ShownListView(p.Pid());
        return list ? ListRowTexts(list) : std::vector<std::string>();
    }

    // Ctrl+B: the box takes the focus, the lists close, the text goes.
    ::testing::AssertionResult ClearBox(void) {
        if (PressKeyUntil('B', KEY_CTRL, [&] {
                return vorn.EditText().empty() && vorn.BoxFocused() && VisibleListViews(vorn.Pid()).empty();
            }))
            return ::testing::AssertionSuccess();
        return ::testing::AssertionFailure() << "Ctrl+B did not clear the box: " << Seen(vorn);
    }

    // Types the start of a name in docs, sees the folder list narrowed to that
    // one name and completes it with Tab.
    ::testing::AssertionResult CompleteInDocs(const char* start, const char* name) {
        std::string typed = docs + "\\" + start;
        ::testing::AssertionResult step = TypeInto(&vorn, typed);
        if (!step) return step;
        if (!WaitFor([&] { return ShownRows(vorn) == std::vector<std::string>{name}; }))
            return ::testing::AssertionFailure() << "the list is not narrowed to " << name << ": " << Seen(vorn);
        if (!PressKey(VK_TAB)) return ::testing::AssertionFailure() << "SendInput refused";
        std::string full = docs + "\\" + name;
        if (!WaitFor([&] { return vorn.EditText() == full && VisibleListViews(vorn.Pid()).empty(); }))
            return ::testing::AssertionFailure() << "Tab did not complete " << full << ": " << Seen(vorn);
        return ::testing::AssertionSuccess();
    }

    // Clicks OK in Optbox's dialog and waits for Optbox to end with exit code 1;
    // a message box of Optbox on the way is a failure with its text. A click
    // that lands while the dialog is not yet in front is lost: it is clicked
    // again while the dialog still shows, a bounded number of times.
    ::testing::AssertionResult PressOk(OptboxProcess* box, HWND dialog) {
        HWND ok = GetDlgItem(dialog, IDOK);
        HWND message = nullptr;
        for (int attempt = 0; attempt < 3 && box->Alive(); attempt++) {
            if (IsWindowVisible(dialog)) {
                if (GetForegroundWindow() != dialog) Activate(dialog);
                if (!ClickWindow(ok)) return ::testing::AssertionFailure() << "cannot click OK";
            }
            WaitFor([&] {
                message = FindDialogOf(box->Pid(), "Optbox");
                return !box->Alive() || message != nullptr;
            });
            if (message) return ::testing::AssertionFailure() << "Optbox says \"" << MessageBoxText(message) << "\"";
        }
        DWORD code = 0;
        if (!box->WaitExit(E2E_EXIT_MS, &code))
            return ::testing::AssertionFailure() << "Optbox did not end; its dialog is "
                                                 << (IsWindowVisible(dialog) ? "shown" : "gone");
        if (code != 1) return ::testing::AssertionFailure() << "exit code " << code;
        return ::testing::AssertionSuccess();
    }

    // Ctrl+H until the History list shows rows; its rows.
    std::vector<std::string> HistoryRows(VornProcess* p) {
        std::vector<std::string> rows;
        PressKeyUntil('H', KEY_CTRL, [&] {
            rows = ShownRows(*p);
            return !rows.empty();
        });
        return rows;
    }
};

TEST_F(DayInLifeE2E, FromTheHotKeyToTheNextMorningsHistory) {
    // The default settings (resident in the tray, hot key Alt+1, the box kept
    // after a run), with free typing and a box wide enough for long paths.
    ASSERT_TRUE(WriteIniWith({"path.typoctr=0", "edit.w=900"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    HWND main = vorn.MainWindow();

    // Morning: out of the way into the tray, back with the hot key.
    ASSERT_TRUE(PressEscape());
    ASSERT_TRUE(WaitFor([&] { return !vorn.BoxVisible(); })) << "Esc did not hide the box";
    EXPECT_TRUE(TrayIconPresent(main)) << "hidden without a tray icon";
    ASSERT_TRUE(PressKeyUntil('1', KEY_ALT, [&] { return vorn.BoxVisible() && vorn.BoxFocused(); }))
        << "the hot key did not bring the box back";
    EXPECT_TRUE(vorn.EditText().empty());

    // A half-typed folder: the folder list narrows to it, Tab completes it
    // with its separator and lists what is inside.
    std::string typed = work + "\\do";
    ASSERT_TRUE(TypeInto(&vorn, typed));
    ASSERT_TRUE(WaitFor([&] { return ShownRows(vorn) == std::vector<std::string>{"docs"}; })) << Seen(vorn);
    ASSERT_TRUE(PressKey(VK_TAB));
    HWND list = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        list = ShownListView(vorn.Pid());
        return vorn.EditText() == docs + "\\" && list &&
               Sorted(ListRowTexts(list)) == Sorted({"evening.bat", "morning.bat", "note.txt"});
    })) << Seen(vorn);

    // Into the list, down to the memo, Ctrl+Shift+C (the file copy key).
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(SettledFocus(list)) << "Down did not enter the list";
    std::vector<std::string> rows = ListRowTexts(list);
    int memo = -1;
    for (size_t i = 0; i < rows.size(); i++)
        if (rows[i] == "note.txt") memo = (int)i;
    ASSERT_GE(memo, 0);
    for (int tries = 0; tries < 5 && ListSelectedRows(list) != std::vector<int>{memo}; tries++) {
        std::vector<int> sel = ListSelectedRows(list);
        ASSERT_TRUE(PressKey(sel.empty() || sel[0] < memo ? VK_DOWN : VK_UP));
        WaitFor([&] { return ListSelectedRows(list) != sel; });
    }
    ASSERT_EQ(ListSelectedRows(list), std::vector<int>{memo});
    std::string note = docs + "\\note.txt";
    ASSERT_TRUE(PressKeyUntil('C', KEY_CTRL | KEY_SHIFT,
                              [&] { return ClipboardFiles() == std::vector<std::string>{note}; }))
        << ClipboardFiles().size() << " files on the clipboard";

    // To the inbox, and Ctrl+Shift+V pastes the memo there, byte for byte.
    ASSERT_TRUE(ClearBox());
    ASSERT_TRUE(TypeInto(&vorn, inbox + "\\"));
    EXPECT_TRUE(vorn.BoxFocused()) << Seen(vorn);
    std::string copy = inbox + "\\note.txt";
    std::string got;
    ASSERT_TRUE(PressKeyUntil('V', KEY_CTRL | KEY_SHIFT,
                              [&] { return ReadFileBytes(copy.c_str(), &got) && got == kNote; }))
        << "no copy of the memo in the inbox";
    EXPECT_TRUE(ReadFileBytes(note.c_str(), &got) && got == kNote) << "the original changed";

    // A look at the memo: Right in the folder list shows its text beside it.
    ASSERT_TRUE(ClearBox());
    ASSERT_TRUE(TypeInto(&vorn, docs + "\\no"));
    ASSERT_TRUE(WaitFor([&] {
        list = ShownListView(vorn.Pid());
        return list && ListRowTexts(list) == std::vector<std::string>{"note.txt"};
    })) << Seen(vorn);
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(SettledFocus(list)) << "Down did not enter the list";
    ASSERT_TRUE(PressKey(VK_RIGHT));
    HWND preview = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        preview = FindWindowOf(vorn.Pid(), PREVIEW_CLASS);
        return preview && IsWindowVisible(preview) && HasFocus(preview);
    })) << "no preview";
    HWND text = GetDlgItem(preview, 1100);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(text) && WindowText(text) == kNote; }))
        << "the preview shows \"" << WindowText(text) << "\"";
    RECT lr, pr;
    GetWindowRect(list, &lr);
    GetWindowRect(preview, &pr);
    EXPECT_EQ(pr.left, lr.right) << "the preview is not beside the list";
    // A screenshot may be taken here: the run waits (bounded) for it.
    const char* shot = getenv("VORN_DAY_SHOT");
    if (shot && *shot) {
        WriteFileBytes(shot, "shown");
        std::string done = std::string(shot) + ".done";
        WaitFor([&] { return PathExists(done); }, 20000);
    }
    ASSERT_TRUE(PressKey(VK_LEFT));
    ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(preview); })) << "Left did not hide the preview";
    ASSERT_TRUE(ClearBox());

    // Work: two batch files, each completed with Tab and run with Enter; each
    // leaves its mark, and the box stays (the default after-run rule).
    for (const char* job : {"morning", "evening"}) {
        SCOPED_TRACE(job);
        std::string name = std::string(job) + ".bat";
        ASSERT_TRUE(CompleteInDocs(std::string(job).substr(0, 2).c_str(), name.c_str()));
        ASSERT_TRUE(PressKey(VK_RETURN));
        std::string mark = docs + "\\" + job + ".done";
        EXPECT_TRUE(WaitFor([&] { return PathExists(mark); }, E2E_START_MS)) << name << " did not run";
        // The batch is over once its interpreter has ended; keys pressed while
        // it still runs were seen to go astray.
        EXPECT_TRUE(WaitFor([&] { return !BatchRunnerRuns(); }, E2E_START_MS)) << name << " does not end";
        ASSERT_TRUE(WaitFor([&] { return vorn.BoxVisible(); }));
        ASSERT_TRUE(Activate(vorn.EditBox()));
        ASSERT_TRUE(SettledFocus(vorn.EditBox()));
        ASSERT_TRUE(ClearBox());
    }
    std::vector<std::string> history = {docs + "\\evening.bat", docs + "\\morning.bat"};
    EXPECT_EQ(HistoryRows(&vorn), history);
    ASSERT_TRUE(ClearBox());

    // Afternoon: Optbox from the release folder makes the box 60 % opaque;
    // the running vorn takes it at once.
    HWND edit = vorn.EditBox();
    ASSERT_FALSE(IsLayered(edit));
    OptboxProcess box;
    HWND dialog = nullptr;
    ASSERT_TRUE(StartSettings(&box, "", &dialog));
    HWND page = VisiblePage(dialog);
    ASSERT_TRUE(TypeIntoField(GetDlgItem(page, 1001), "60"));
    ASSERT_TRUE(PressOk(&box, dialog));
    EXPECT_NE(ReadIni().find("alpha=60\r\n"), std::string::npos) << ReadIni();
    EXPECT_TRUE(WaitFor([&] { return IsLayered(edit); })) << "vorn did not take the new setting";
    ASSERT_TRUE(FocusAway());
    EXPECT_TRUE(WaitFor([&] { return LayeredAlpha(edit) == 153; })) << "alpha " << LayeredAlpha(edit);

    // Evening: Shift+Esc ends vorn.
    ASSERT_TRUE(Activate(vorn.EditBox()));
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
    ASSERT_TRUE(PressKeyUntil(VK_ESCAPE, KEY_SHIFT, [&] { return !vorn.Alive(); })) << "Shift+Esc did not end vorn";
    DWORD code = 1234;
    ASSERT_TRUE(vorn.WaitExit(E2E_EXIT_MS, &code));
    EXPECT_EQ(code, 0u);

    // The next morning: the History is as it was, newest first.
    ASSERT_TRUE(StartAndWaitFocus(&nextMorning, ""));
    std::vector<std::string> again;
    ASSERT_TRUE(PressKeyUntil('H', KEY_CTRL, [&] { return !(again = ShownRows(nextMorning)).empty(); }))
        << "Ctrl+H showed no History";
    EXPECT_EQ(again, history);
    EXPECT_TRUE(IsLayered(nextMorning.EditBox())) << "the new transparency was not kept";
}
