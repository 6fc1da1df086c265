// In-process tests of the Explorer-window list with a stand-in window
// collection: what the list shows (file locations only, in collection order,
// folder or file, double-byte marks, the window handles), the on/off switch,
// Enter taking a folder into the box, the retry rule after failed
// enumerations (ten retries on the main window's timer, one question, then
// the closing message and a close request), and closing windows of another
// thread politely: all, duplicates only, and a hung window given up within
// the bound.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <stdlib.h>

#include <string>
#include <utility>
#include <vector>

#include "common/itemarray.h"
#include "launcher/editbox/savedtext.h"
#include "launcher/explorer/explorer.h"
#include "launcher/explorer/explorerrules.h"
#include "launcher/lists/listinput.h"
#include "launcher/lists/listwnd.h"
#include "launcher/shellext/shellext.h"
#include "shell_windows.h"

namespace {

// The stand-in collection: fails on demand, else lists its windows.
struct FakeCollection {
    int calls = 0;
    int failures = 0;  // the next this many enumerations fail (-1: all)
    int result = EE_DONE;
    std::vector<std::pair<HWND, std::string>> windows;
} g_fake;

int FakeEnumerate(ExplorerVisit visit, void* ctx) {
    g_fake.calls++;
    if (g_fake.failures != 0) {
        if (g_fake.failures > 0) g_fake.failures--;
        return EE_FAILED;
    }
    for (const auto& w : g_fake.windows)
        if (!visit(ctx, w.first, w.second.c_str())) break;
    return g_fake.result;
}
const ExplorerSource kFakeSource = {FakeEnumerate};

// The message boxes: recorded and answered without showing anything.
struct Box {
    std::string text;
    UINT type;
};
std::vector<Box> g_boxes;
int g_answer = IDNO;

int FakeMessageBox(HWND, const char* text, UINT type) {
    g_boxes.push_back({text, type});
    return (type & MB_YESNO) ? g_answer : IDOK;
}

// A main window as the launcher's: its retry timer does what the real one
// does, and close requests are counted instead of carried out.
int g_retryTimers = 0;
int g_closeRequests = 0;

LRESULT CALLBACK RetryMainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_TIMER && wParam == ID_TIMER_EXPLORER_RETRY) {
        g_retryTimers++;
        KillTimer(wnd, ID_TIMER_EXPLORER_RETRY);
        ClearFlags(SF_EXPLORER_PENDING);
        OnExplorerRetry(wnd);
        return 0;
    }
    if (msg == WM_CLOSE) {
        g_closeRequests++;
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// Handles this thread's messages until pred holds or ms have passed.
template <typename Pred>
bool PumpUntil(Pred pred, DWORD ms) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start >= ms) return pred();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        PumpMessages();
    }
    return true;
}

std::string TextOfBox(HWND wnd) {
    char buf[300] = "";
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

HWND FakeHandle(uintptr_t n) { return (HWND)n; }

// With VORN_SHOT_HOLD_MS set (a number of milliseconds, at most a minute) the
// list stays on show that long, for a screenshot of the display; the stand-in
// box then hands the list's notifications on as the edit box does, so the
// rows are drawn.
WNDPROC g_boxProc;
LRESULT CALLBACK NotifyingBoxProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_NOTIFY) return HandleListNotify((NMHDR*)lParam);
    return CallWindowProcA(g_boxProc, wnd, msg, wParam, lParam);
}
void HoldForScreenshot(HWND box, HWND list) {
    char value[16] = "";
    DWORD n = GetEnvironmentVariableA("VORN_SHOT_HOLD_MS", value, sizeof value);
    if (n == 0 || n >= sizeof value) return;
    DWORD ms = (DWORD)atoi(value);
    g_boxProc = (WNDPROC)SetWindowLongPtrA(box, GWLP_WNDPROC, (LONG_PTR)NotifyingBoxProc);
    InvalidateRect(list, nullptr, TRUE);
    PumpUntil([] { return false; }, ms < 60000 ? ms : 60000);
    SetWindowLongPtrA(box, GWLP_WNDPROC, (LONG_PTR)g_boxProc);
}

// Windows of a thread of their own, as another program's would be: they
// answer and close (mode Answer), swallow the close command (Ignore), or the
// thread stops answering once they exist (Hang) until it is released.
enum WindowMode { Answer, Ignore, Hang };

LRESULT CALLBACK OtherProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSCOMMAND && (wParam & 0xFFF0) == SC_CLOSE &&
        GetWindowLongPtrA(wnd, GWLP_USERDATA) == Ignore)
        return 0;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

struct WindowThread {
    WindowMode mode;
    int count;
    std::vector<HWND> windows;
    HANDLE ready = nullptr;
    HANDLE release = nullptr;
    HANDLE thread = nullptr;
    DWORD threadId = 0;

    static DWORD WINAPI Run(void* arg) {
        WindowThread* t = (WindowThread*)arg;
        for (int i = 0; i < t->count; i++) {
            HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, "vorn_explorer_test", "folder", WS_POPUP, 0,
                                     0, 50, 50, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
            SetWindowLongPtrA(w, GWLP_USERDATA, t->mode);
            t->windows.push_back(w);
        }
        SetEvent(t->ready);
        if (t->mode == Hang) {
            // Not a message is handled meanwhile.
            WaitForSingleObject(t->release, 20000);
            return 0;
        }
        MSG msg;
        while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
        return 0;
    }
    bool Start(WindowMode m, int n) {
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof wc);
        wc.lpfnWndProc = OtherProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "vorn_explorer_test";
        RegisterClassA(&wc);
        mode = m;
        count = n;
        ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
        thread = CreateThread(nullptr, 0, Run, this, 0, &threadId);
        return thread && WaitForSingleObject(ready, 10000) == WAIT_OBJECT_0 &&
               (int)windows.size() == n;
    }
    ~WindowThread() {
        if (!thread) return;
        SetEvent(release);
        PostThreadMessageA(threadId, WM_QUIT, 0, 0);
        WaitForSingleObject(thread, 25000);
        CloseHandle(thread);
        CloseHandle(ready);
        CloseHandle(release);
    }
};

}  // namespace

class ExplorerList : public ShellWindows {
   protected:
    void SetUp() override {
        ShellWindows::SetUp();
        savedLists = Lists;
        savedExplorer = Explorer;
        memset(&Lists, 0, sizeof Lists);
        memset(&Explorer.found, 0, sizeof Explorer.found);
        Explorer.retry = 0;
        Explorer.source = &kFakeSource;
        Explorer.messageBox = FakeMessageBox;
        g_fake = FakeCollection();
        g_boxes.clear();
        g_answer = IDNO;
        g_retryTimers = 0;
        g_closeRequests = 0;
        ResetSettings();  // the list colours of a fresh settings file
        Settings.icon = 0;
        Settings.alpha = 100;
        Settings.linemax = 25;
        Settings.exp.fldclass = 1;
        INITCOMMONCONTROLSEX cc = {sizeof cc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&cc);
        ASSERT_TRUE(CreateListWindows(mainWnd, box));
        SetWindowTextA(box, "typed");
    }
    void TearDown() override {
        if (retryWnd) {
            KillTimer(retryWnd, ID_TIMER_EXPLORER_RETRY);
            DestroyWindow(retryWnd);
        }
        FreeItems(&Explorer.found);
        DestroyListWindows();
        DiscardSavedText();
        Lists = savedLists;
        Explorer = savedExplorer;
        ShellWindows::TearDown();
    }
    // Puts a main window with the real retry timer in place of the stand-in.
    void UseRetryMainWindow(void) {
        WNDCLASSA wc;
        ZeroMemory(&wc, sizeof wc);
        wc.lpfnWndProc = RetryMainProc;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "vorn_explorer_retry_test";
        RegisterClassA(&wc);
        retryWnd = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                   wc.hInstance, nullptr);
        ASSERT_NE(retryWnd, nullptr);
        Shell.mainWnd = retryWnd;
    }
    bool Shown(void) const { return Lists.item.wnd && IsWindowVisible(Lists.item.wnd); }
    int Questions(void) const {
        int n = 0;
        for (const Box& b : g_boxes) n += b.text == "列挙に失敗しました。\n再列挙しますか?";
        return n;
    }
    bool ClosingMessageShown(void) const {
        for (const Box& b : g_boxes)
            if (b.text == "不整合の可能性があります。\n終了します") return true;
        return false;
    }
    ListState savedLists;
    ExplorerState savedExplorer;
    HWND retryWnd = nullptr;
};

TEST_F(ExplorerList, ShowsTheFileLocationsInCollectionOrder) {
    char windows[MAX_PATH];
    GetWindowsDirectoryA(windows, sizeof windows);  // "C:\windows"
    std::string windowsUrl = std::string("file:///") + windows;
    for (char& c : windowsUrl)
        if (c == '\\') c = '/';
    g_fake.windows = {
        {FakeHandle(0x10010), windowsUrl},
        {FakeHandle(0x10020), "http://example.com/"},
        {FakeHandle(0x10030), "file:///C:/vorn%20no%20such/100%25"},
        {FakeHandle(0x10040), "file:///C:/%E6%A4%9C%E7%B4%A2"},  // 検索 in UTF-8
        {FakeHandle(0x10050), "file:///C:/%F0%9F%98%80"},        // no code page 932 form
        {FakeHandle(0x10060), ""},
        {FakeHandle(0x10070), "shell:::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"},
        {FakeHandle(0x10080), "file:///C:/a%23b/c"},
    };
    ToggleExplorerList(box);
    ASSERT_TRUE(Shown());
    EXPECT_EQ(g_fake.calls, 1);
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_EQ(Lists.item.kind, LK_Explorer);
    ASSERT_EQ(Lists.item.array.count, 4);
    EXPECT_EQ(SendMessageA(Lists.item.wnd, LVM_GETITEMCOUNT, 0, 0), 4);
    struct Row {
        std::string path;
        uint32_t type;
        uint32_t wide;
        uint32_t window;
    } rows[] = {
        {windows, ItemFolder, 0, 0x10010},
        {"C:\\vorn no such\\100%", ItemFile, 0, 0x10030},
        {"C:\\\x8C\x9F\x8D\xF5", ItemFile, ItemWide, 0x10040},
        {"C:\\a#b\\c", ItemFile, 0, 0x10080},
    };
    for (int i = 0; i < 4; i++) {
        const ListItem& it = Lists.item.array.items[i];
        EXPECT_EQ(std::string(it.path), rows[i].path) << i;
        EXPECT_EQ(it.flags & (ItemFolder | ItemFile), rows[i].type) << i;
        EXPECT_EQ(it.flags & ItemWide, rows[i].wide) << i;
        EXPECT_EQ(it.window, rows[i].window) << i;
        EXPECT_EQ(it.image, -1) << i;
        EXPECT_EQ(it.viewIndex, i) << i;
    }
    EXPECT_EQ(GetWindowLongA(Lists.item.wnd, GWL_STYLE) & LVS_SINGLESEL, 0L) << "multiple selection";
    EXPECT_EQ(TextOfBox(box), "") << "the typed text is put aside";
    EXPECT_FALSE(AnyFlag(SF_EXPLORER_PENDING));
    EXPECT_EQ(Explorer.found.items, nullptr) << "the list holds the items now";
    HoldForScreenshot(box, Lists.item.wnd);

    // The same command switches it off; the box gets its text back.
    ToggleExplorerList(box);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(Lists.item.kind, LK_None);
    EXPECT_EQ(TextOfBox(box), "typed");
    EXPECT_EQ(g_fake.calls, 1) << "switching off enumerates nothing";
}

TEST_F(ExplorerList, EnterTakesTheFolderIntoTheBox) {
    g_fake.windows = {{FakeHandle(0x20010), "file:///C:/one"},
                      {FakeHandle(0x20020), "file:///C:/two%20words"}};
    ToggleExplorerList(box);
    ASSERT_TRUE(Shown());
    LVITEMA item;
    ZeroMemory(&item, sizeof item);
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(Lists.item.wnd, LVM_SETITEMSTATE, 1, (LPARAM)&item);
    TakeSelection(box, Lists.item.wnd);
    EXPECT_FALSE(Shown());
    EXPECT_EQ(TextOfBox(box), "C:\\two words");
}

TEST_F(ExplorerList, NothingToListShowsNoListAndAsksNothing) {
    struct Case {
        const char* what;
        int result;
        std::vector<std::pair<HWND, std::string>> windows;
    } cases[] = {
        {"no window", EE_DONE, {}},
        {"only a web page", EE_DONE, {{FakeHandle(0x30010), "http://example.com/"}}},
        // A shell whose collection cannot be listed: no retry either.
        {"collection not listable", EE_UNSUPPORTED, {}},
    };
    UseRetryMainWindow();
    for (const Case& c : cases) {
        g_fake = FakeCollection();
        g_fake.result = c.result;
        g_fake.windows = c.windows;
        ToggleExplorerList(box);
        EXPECT_FALSE(Shown()) << c.what;
        EXPECT_EQ(TextOfBox(box), "typed") << c.what;
        EXPECT_FALSE(AnyFlag(SF_EXPLORER_PENDING)) << c.what;
        EXPECT_EQ(Explorer.retry, 0u) << c.what;
    }
    // No retry was started: the timer never fires.
    EXPECT_FALSE(PumpUntil([] { return g_retryTimers > 0; }, 2 * EXPLORER_RETRY_MS + 100));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(ExplorerList, TenRetriesOneQuestionThenAnotherRowAndTheClosingMessage) {
    UseRetryMainWindow();
    g_fake.failures = -1;
    g_answer = IDYES;
    DWORD start = GetTickCount();
    ToggleExplorerList(box);
    EXPECT_FALSE(Shown());
    EXPECT_TRUE(AnyFlag(SF_EXPLORER_PENDING)) << "a retry is pending";
    EXPECT_EQ(Explorer.retry, 1u);

    ASSERT_TRUE(PumpUntil([&] { return Questions() == 1; }, 10000));
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(g_fake.calls, 11) << "the first try and ten retries";
    EXPECT_EQ(g_retryTimers, 10);
    EXPECT_GE(elapsed, (DWORD)(EXPLORER_RETRY_LIMIT * EXPLORER_RETRY_MS * 3 / 4));
    EXPECT_TRUE(g_boxes.back().type & MB_YESNO);
    EXPECT_FALSE(ClosingMessageShown());

    // Yes: another row of ten retries, then the end without a second question.
    ASSERT_TRUE(PumpUntil([&] { return ClosingMessageShown(); }, 10000));
    EXPECT_EQ(g_fake.calls, 22);
    EXPECT_EQ(g_retryTimers, 21);
    EXPECT_EQ(Questions(), 1);
    ASSERT_TRUE(PumpUntil([] { return g_closeRequests > 0; }, 2000));
    EXPECT_EQ(g_closeRequests, 1);
    EXPECT_FALSE(AnyFlag(SF_EXPLORER_PENDING));
    EXPECT_FALSE(Shown());
    EXPECT_EQ(g_boxes.size(), 2u);
}

TEST_F(ExplorerList, NoToTheQuestionEndsAtOnce) {
    UseRetryMainWindow();
    g_fake.failures = -1;
    g_answer = IDNO;
    ToggleExplorerList(box);
    ASSERT_TRUE(PumpUntil([] { return g_closeRequests > 0; }, 10000));
    EXPECT_EQ(g_fake.calls, 11);
    EXPECT_EQ(Questions(), 1);
    EXPECT_TRUE(ClosingMessageShown());
    EXPECT_EQ(g_boxes.size(), 2u);
    // Nothing else is tried.
    EXPECT_FALSE(PumpUntil([] { return g_retryTimers > 10; }, 2 * EXPLORER_RETRY_MS + 100));
}

TEST_F(ExplorerList, ARetryThatSucceedsResetsTheCounterAndShowsNothing) {
    UseRetryMainWindow();
    g_fake.failures = 3;
    g_fake.windows = {{FakeHandle(0x40010), "file:///C:/found"}};
    ToggleExplorerList(box);
    ASSERT_TRUE(PumpUntil([] { return g_fake.calls == 4; }, 5000));
    EXPECT_EQ(Explorer.retry, 0u);
    EXPECT_FALSE(AnyFlag(SF_EXPLORER_PENDING));
    EXPECT_FALSE(Shown()) << "the list comes with the next command";
    ASSERT_EQ(Explorer.found.count, 1);
    EXPECT_STREQ(Explorer.found.items[0].path, "C:\\found");
    EXPECT_TRUE(g_boxes.empty());

    ToggleExplorerList(box);
    ASSERT_TRUE(Shown());
    EXPECT_STREQ(Lists.item.array.items[0].path, "C:\\found");
}

TEST_F(ExplorerList, ARetryLeavesAnotherListOnShowAlone) {
    UseRetryMainWindow();
    g_fake.failures = 1;
    g_fake.windows = {{FakeHandle(0x50010), "file:///C:/found"}};
    ToggleExplorerList(box);
    ASSERT_FALSE(Shown());
    // Meanwhile the user brings up another list.
    ASSERT_EQ(AllocItems(&Lists.item.array, 1), 1);
    SetListItem(&Lists.item.array.items[0], "C:\\favorite", ItemFolder);
    Lists.item.array.count = 1;
    Lists.item.kind = LK_Favorites;
    FillItemList();
    PlaceItemList(1);
    ASSERT_TRUE(PumpUntil([] { return g_fake.calls == 2; }, 5000));
    EXPECT_EQ(Lists.item.kind, LK_Favorites);
    ASSERT_EQ(Lists.item.array.count, 1);
    EXPECT_STREQ(Lists.item.array.items[0].path, "C:\\favorite");
    EXPECT_TRUE(Shown());
}

TEST_F(ExplorerList, OutOfTheWayWhileTheQuestionIsUp) {
    // A second command while the question is on screen starts nothing.
    UseRetryMainWindow();
    g_fake.failures = -1;
    Explorer.retry = EXPLORER_RETRY_LIMIT;  // the next failure asks
    static HWND s_box;
    s_box = box;
    Explorer.messageBox = [](HWND, const char* text, UINT type) -> int {
        g_boxes.push_back({text, type});
        if (type & MB_YESNO) ToggleExplorerList(s_box);  // pressed meanwhile
        return IDNO;
    };
    ToggleExplorerList(box);
    EXPECT_EQ(g_fake.calls, 1);
    EXPECT_EQ(Questions(), 1);
}

// --- closing ------------------------------------------------------------------------------

TEST_F(ExplorerList, AllCloseExpClosesEveryListedWindowAndNothingElse) {
    WindowThread folders;
    ASSERT_TRUE(folders.Start(Answer, 4));
    HWND* w = folders.windows.data();
    g_fake.windows = {{w[0], "file:///C:/one"},
                      {w[1], "file:///C:/two"},
                      {w[2], "http://example.com/"},  // a web page stays
                      {w[3], "file:///C:/one"}};
    CloseAllExplorers();
    EXPECT_FALSE(IsWindow(w[0]));
    EXPECT_FALSE(IsWindow(w[1]));
    EXPECT_TRUE(IsWindow(w[2]));
    EXPECT_FALSE(IsWindow(w[3]));
    EXPECT_EQ(Explorer.found.items, nullptr);
    EXPECT_FALSE(AnyFlag(SF_EXPLORER_PENDING));
    EXPECT_TRUE(g_boxes.empty());
}

TEST_F(ExplorerList, SingleExpKeepsTheLastWindowOfEachFolder) {
    WindowThread folders;
    ASSERT_TRUE(folders.Start(Answer, 5));
    HWND* w = folders.windows.data();
    g_fake.windows = {{w[0], "file:///C:/Temp"},
                      {w[1], "file:///C:/"},
                      {w[2], "file:///C:/Temp"},
                      {w[3], "file:///C:/%E6%A4%9C"},
                      {w[4], "file:///C:/%E6%A4%9C"}};
    CloseDuplicateExplorers();
    EXPECT_FALSE(IsWindow(w[0]));
    EXPECT_TRUE(IsWindow(w[1]));
    EXPECT_TRUE(IsWindow(w[2]));
    EXPECT_FALSE(IsWindow(w[3]));
    EXPECT_TRUE(IsWindow(w[4]));
    EXPECT_EQ(Explorer.found.items, nullptr);
}

TEST_F(ExplorerList, ClosingLeavesTheListOnShowAndWindowsOfThisThread) {
    g_fake.windows = {{FakeHandle(0x60010), "file:///C:/shown"}};
    ToggleExplorerList(box);
    ASSERT_TRUE(Shown());
    // The collection names this thread's own edit box: it is not closed.
    g_fake.windows = {{box, "file:///C:/other"}};
    CloseAllExplorers();
    EXPECT_TRUE(IsWindow(box));
    EXPECT_TRUE(Shown());
    EXPECT_EQ(Lists.item.kind, LK_Explorer);
    ASSERT_EQ(Lists.item.array.count, 1);
    EXPECT_STREQ(Lists.item.array.items[0].path, "C:\\shown");
}

TEST_F(ExplorerList, AFailedEnumerationClosesNothing) {
    WindowThread folders;
    ASSERT_TRUE(folders.Start(Answer, 1));
    g_fake.windows = {{folders.windows[0], "file:///C:/one"}};
    g_fake.failures = 1;
    UseRetryMainWindow();
    CloseAllExplorers();
    EXPECT_TRUE(IsWindow(folders.windows[0]));
    // The closing commands do not retry.
    EXPECT_FALSE(PumpUntil([] { return g_retryTimers > 0; }, 2 * EXPLORER_RETRY_MS + 100));
    EXPECT_EQ(Explorer.retry, 0u);
}

TEST_F(ExplorerList, HungWindowsAreGivenUpWithinOneBoundForAll) {
    WindowThread hung;
    ASSERT_TRUE(hung.Start(Hang, 4));
    WindowThread answering;
    ASSERT_TRUE(answering.Start(Answer, 1));
    g_fake.windows = {{hung.windows[0], "file:///C:/hung"},
                      {answering.windows[0], "file:///C:/answers"}};
    for (int i = 1; i < 4; i++) g_fake.windows.push_back({hung.windows[i], "file:///C:/hung"});
    DWORD start = GetTickCount();
    CloseAllExplorers();
    DWORD elapsed = GetTickCount() - start;
    // A second for each hung window's answer, and no more than the bound for all.
    EXPECT_LT(elapsed, (DWORD)EXPLORER_CLOSE_ALL_MS + 1000u);
    for (HWND w : hung.windows) EXPECT_TRUE(IsWindow(w));
    EXPECT_FALSE(IsWindow(answering.windows[0]));
}

TEST_F(ExplorerList, AWindowThatStaysIsWaitedForOnlyBriefly) {
    WindowThread stays;
    ASSERT_TRUE(stays.Start(Ignore, 1));
    DWORD start = GetTickCount();
    CloseExplorerWindow(stays.windows[0], EXPLORER_CLOSE_ALL_MS);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_TRUE(IsWindow(stays.windows[0]));
    EXPECT_GE(elapsed, 150u) << "it was waited for";
    EXPECT_LT(elapsed, 500u + 200u + 800u);
}
