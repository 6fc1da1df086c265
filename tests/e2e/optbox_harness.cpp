// optbox_harness.cpp - see optbox_harness.h.
#include "tests/e2e/optbox_harness.h"

#include <stdio.h>
#include <string.h>

#include "common/sharednames.h"

OptboxProcess::~OptboxProcess() {
    if (!started) return;
    if (Alive()) {
        TerminateProcess(pi.hProcess, 9);
        WaitForSingleObject(pi.hProcess, E2E_EXIT_MS);
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
}

bool OptboxProcess::Start(const char* folder, const char* args) {
    if (started) return false;
    char cmd[2048];
    int n = snprintf(cmd, sizeof cmd, "\"%s\"%s%s", PathIn(folder, "Optbox.exe").c_str(),
                     (args && args[0]) ? " " : "", args ? args : "");
    if (n < 0 || (size_t)n >= sizeof cmd) return false;
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    if (!StartTestProgram(cmd, 0, temp, &pi)) return false;
    started = true;
    return true;
}

bool OptboxProcess::WaitExit(DWORD ms, DWORD* code) {
    if (!started || !WaitHandle(pi.hProcess, ms)) return false;
    if (code) GetExitCodeProcess(pi.hProcess, code);
    return true;
}

bool OptboxProcess::Alive(void) const { return started && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT; }

namespace {

struct DialogSearch {
    DWORD pid;
    const char* title;
    HWND except;
    HWND found;
};

BOOL CALLBACK FindDialogProc(HWND window, LPARAM data) {
    DialogSearch* s = (DialogSearch*)data;
    if (window == s->except || !IsWindowVisible(window) || WindowProcessId(window) != s->pid) return TRUE;
    if (WindowClass(window) != "#32770") return TRUE;
    if (s->title) {
        char text[256] = "";
        GetWindowTextA(window, text, sizeof text);
        if (strcmp(text, s->title) != 0) return TRUE;
    }
    s->found = window;
    return FALSE;
}

BOOL CALLBACK FindPageProc(HWND window, LPARAM data) {
    HWND* result = (HWND*)data;
    if (GetParent(window) == result[0] && IsWindowVisible(window) && WindowClass(window) == "#32770") {
        result[1] = window;
        return FALSE;
    }
    return TRUE;
}

}  // namespace

HWND FindDialogOf(DWORD pid, const char* title, HWND except) {
    DialogSearch s = {pid, title, except, nullptr};
    EnumWindows(FindDialogProc, (LPARAM)&s);
    return s.found;
}

HWND VisiblePage(HWND dialog) {
    HWND result[2] = {dialog, nullptr};
    EnumChildWindows(dialog, FindPageProc, (LPARAM)result);
    return result[1];
}

static HTREEITEM TreeItemAsk(HWND tree, WPARAM how, HTREEITEM from) {
    DWORD_PTR item = 0;
    if (!SendMessageTimeoutA(tree, TVM_GETNEXTITEM, how, (LPARAM)from, SMTO_ABORTIFHUNG, 2000, &item)) return nullptr;
    return (HTREEITEM)item;
}

HTREEITEM TreeRowItem(HWND tree, int row) {
    HTREEITEM item = TreeItemAsk(tree, TVGN_ROOT, nullptr);
    for (int i = 0; item && i < row; i++) item = TreeItemAsk(tree, TVGN_NEXTVISIBLE, item);
    return item;
}

HTREEITEM TreeSelection(HWND tree) { return TreeItemAsk(tree, TVGN_CARET, nullptr); }

bool ShowsRow(HWND dialog, int row, int controlId) {
    // The frame switches pages while it handles the change of the selection.
    HWND tree = GetDlgItem(dialog, 1000), page = VisiblePage(dialog);
    HTREEITEM want = TreeRowItem(tree, row);
    return want && TreeSelection(tree) == want && page && GetDlgItem(page, controlId);
}

bool ControlHasFocus(HWND control) {
    if (!control || GetForegroundWindow() != GetAncestor(control, GA_ROOT)) return false;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    if (!GetGUIThreadInfo(GetWindowThreadProcessId(control, nullptr), &info)) return false;
    return info.hwndFocus == control;
}

bool ButtonChecked(HWND button) {
    DWORD_PTR state = 0;
    if (!SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state)) return false;
    return state == BST_CHECKED;
}

void OptboxTest::SetUp() {
    RunTest::SetUp();
    if (HasFatalFailure()) return;
    HANDLE other = OpenMutexA(SYNCHRONIZE, FALSE, OPTBOX_INSTANCE_MUTEX);
    if (other) CloseHandle(other);
    ASSERT_EQ(other, nullptr) << "another Optbox runs in this Wine prefix";
    std::string from = BesideTests("Optbox.exe");
    ASSERT_TRUE(CopyFileA(from.c_str(), Path("Optbox.exe").c_str(), FALSE)) << "no Optbox.exe beside the tests";
}

::testing::AssertionResult OptboxTest::StartSettings(OptboxProcess* box, const char* args, HWND* dialog) {
    if (!box->Start(folder, args)) return ::testing::AssertionFailure() << "cannot start Optbox.exe";
    HWND found = nullptr;
    if (!WaitFor([&] { return (found = FindDialogOf(box->Pid(), OPTBOX_DIALOG_TITLE)) != nullptr; }, E2E_START_MS))
        return ::testing::AssertionFailure() << "no settings dialog appeared";
    if (!WaitFor([&] { return ShowsRow(found, ROW_COMMON1, 1011); }))
        return ::testing::AssertionFailure() << "the first page did not show";
    ::testing::AssertionResult front = Activate(found);
    if (!front) return front;
    HWND tree = GetDlgItem(found, 1000);
    if (!WaitFor([&] { return ControlHasFocus(tree); })) return ::testing::AssertionFailure() << "the tree has no focus";
    *dialog = found;
    return ::testing::AssertionSuccess();
}

// Presses vk on the tree until it selects want. A press after which the
// selection stays where it was, the tree still in front with the focus, never
// arrived: it is given again (at most three presses).
static ::testing::AssertionResult SelectWithKey(HWND tree, WORD vk, HTREEITEM want) {
    HTREEITEM before = TreeSelection(tree), now = before;
    for (int attempt = 0; attempt < 3 && now != want; attempt++) {
        if (!ControlHasFocus(tree)) return ::testing::AssertionFailure() << "the tree lost the focus";
        if (!TapKey(vk)) return ::testing::AssertionFailure() << "SendInput refused";
        if (WaitFor([&] { return (now = TreeSelection(tree)) != before; }, 1500) && now != want)
            return ::testing::AssertionFailure() << "key " << vk << " selected another tree item";
    }
    if (now == want) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "key " << vk << " did not move the tree's selection";
}

::testing::AssertionResult OptboxTest::GoToRow(HWND dialog, int row, int controlId, HWND* page) {
    HWND tree = GetDlgItem(dialog, 1000);
    if (!ControlHasFocus(tree)) {
        ::testing::AssertionResult front = Activate(dialog);
        if (!front) return front;
        if (!ClickWindow(tree) || !WaitFor([&] { return ControlHasFocus(tree); }))
            return ::testing::AssertionFailure() << "the tree did not take the focus";
    }
    ::testing::AssertionResult step = SelectWithKey(tree, VK_HOME, TreeRowItem(tree, 0));
    for (int i = 1; step && i <= row; i++) step = SelectWithKey(tree, VK_DOWN, TreeRowItem(tree, i));
    if (!step) return step << " on the way to row " << row;
    if (!WaitFor([&] { return ShowsRow(dialog, row, controlId); }))
        return ::testing::AssertionFailure() << "row " << row << " did not show a page with control " << controlId;
    *page = VisiblePage(dialog);
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult OptboxTest::TypeIntoField(HWND edit, const char* text) {
    if (!edit) return ::testing::AssertionFailure() << "no such field";
    // A click that lands while the window is still being laid out or brought
    // forward is lost: click again, a bounded number of times.
    bool focused = false;
    for (int attempt = 0; attempt < 3 && !focused; attempt++) {
        HWND top = GetAncestor(edit, GA_ROOT);
        if (GetForegroundWindow() != top) Activate(top);
        focused = ClickWindow(edit) && WaitFor([&] { return ControlHasFocus(edit); }, 1500);
    }
    if (!focused) return ::testing::AssertionFailure() << "the field did not take the focus";
    // Emptied with End and Backspace: no modifier key, which a late pointer
    // event could let go of.
    size_t length = WindowText(edit).size();
    if (!TapKey(VK_END)) return ::testing::AssertionFailure() << "SendInput refused";
    for (size_t i = 0; i < length; i++)
        if (!TapKey(VK_BACK)) return ::testing::AssertionFailure() << "SendInput refused";
    if (!WaitFor([&] { return WindowText(edit).empty(); }))
        return ::testing::AssertionFailure() << "could not empty the field: \"" << WindowText(edit) << "\"";
    if (text[0] && !TypeText(text)) return ::testing::AssertionFailure() << "SendInput refused";
    if (!WaitFor([&] { return WindowText(edit) == text; }))
        return ::testing::AssertionFailure() << "the field holds \"" << WindowText(edit) << "\", not \"" << text << "\"";
    return ::testing::AssertionSuccess();
}

::testing::AssertionResult OptboxTest::ClickToClose(HWND dialog, int buttonId) {
    for (int attempt = 0; attempt < 3; attempt++) {
        HWND button = GetDlgItem(dialog, buttonId);
        if (!IsWindow(dialog)) return ::testing::AssertionSuccess();
        if (!button || !ClickWindow(button)) return ::testing::AssertionFailure() << "cannot click button " << buttonId;
        if (WaitFor([&] { return !IsWindow(dialog); }, 1500)) return ::testing::AssertionSuccess();
    }
    return ::testing::AssertionFailure() << "the dialog stays after three clicks on button " << buttonId;
}

::testing::AssertionResult OptboxTest::PressAndWaitExit(OptboxProcess* box, HWND dialog, int buttonId) {
    // A dropped click (see ClickToClose) is given again while the dialog
    // still shows; once it has gone Optbox is saving and ending.
    for (int attempt = 0; attempt < 3 && IsWindow(dialog) && IsWindowVisible(dialog); attempt++) {
        HWND button = GetDlgItem(dialog, buttonId);
        if (!button || !ClickWindow(button)) return ::testing::AssertionFailure() << "cannot click button " << buttonId;
        if (WaitFor([&] { return !IsWindow(dialog) || !IsWindowVisible(dialog); }, 1500)) break;
    }
    DWORD code = 0;
    if (!box->WaitExit(E2E_EXIT_MS, &code)) return ::testing::AssertionFailure() << "Optbox did not end";
    if (code != 1) return ::testing::AssertionFailure() << "exit code " << code;
    return ::testing::AssertionSuccess();
}
