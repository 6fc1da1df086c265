// shellext_test.cpp - the file commands of the real vorn.exe: files copied or
// cut in the folder list and pasted into another folder with the key
// commands, a paste of files that another program put on the clipboard, a
// shortcut made from the list menu, the edit box menu opened with the
// context-menu key, and the shell's own context menu choosing one of its
// verbs.
#include "tests/e2e/harness.h"
#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"

#include <objbase.h>
#include <shellapi.h>
#include <shlobj.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

namespace {

// The "Preferred DropEffect" value, or -1 without one.
long ClipboardEffect(void) {
    long effect = -1;
    if (!OpenClipboard(nullptr)) return effect;
    HANDLE data = GetClipboardData(RegisterClipboardFormatA("Preferred DropEffect"));
    if (data && GlobalSize(data) >= 4) {
        effect = (long)*(const DWORD*)GlobalLock(data);
        GlobalUnlock(data);
    }
    CloseClipboard();
    return effect;
}

// The visible popup menus (class "#32768") of process pid.
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

// The menu shown in the popup window wnd (its handle only: another process's
// menu cannot be read).
HMENU MenuOf(HWND wnd) { return (HMENU)SendMessageA(wnd, MN_GETHMENU, 0, 0); }

// Opens the list menu with the context-menu key, takes its last entry (the
// shell menu) and waits until the shell's menu is up.
::testing::AssertionResult OpenShellMenuFromTheList(DWORD pid) {
    if (!PressKey(VK_APPS)) return ::testing::AssertionFailure() << "no key";
    HMENU listMenu = nullptr;
    if (!WaitFor([&] {
            std::vector<HWND> menus = OpenMenus(pid);
            return menus.size() == 1 && (listMenu = MenuOf(menus[0])) != nullptr;
        }))
        return ::testing::AssertionFailure() << "no list menu";
    // Up from no highlighted entry goes to the last one, "シェルメニュー(&T)".
    if (!PressKey(VK_UP) || !PressKey(VK_RETURN)) return ::testing::AssertionFailure() << "no key";
    // The popup window may be used again for the next menu: its menu tells them apart.
    if (!WaitFor([&] {
            std::vector<HWND> menus = OpenMenus(pid);
            if (menus.size() != 1) return false;
            HMENU menu = MenuOf(menus[0]);
            return menu && menu != listMenu;
        }))
        return ::testing::AssertionFailure() << "no shell menu";
    return ::testing::AssertionSuccess();
}

std::string LinkTarget(const std::string& link) {
    std::string target = "<not loaded>";
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&shellLink)))
        return "<no link object>";
    IPersistFile* file = nullptr;
    wchar_t wide[MAX_PATH];
    MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file))) {
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            char path[MAX_PATH] = "";
            shellLink->GetPath(path, MAX_PATH, nullptr, 0);
            target = path;
        }
        file->Release();
    }
    shellLink->Release();
    return target;
}

}  // namespace

struct ShellExtE2E : public RunTest {
    std::string src, dst;  // <test folder>\src with a.txt and b.txt; an empty dst

    void SetUp() override {
        RunTest::SetUp();
        ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
        EmptyTheClipboard();
        src = Path("src");
        dst = Path("dst");
        ASSERT_TRUE(CreateDirectoryA(src.c_str(), nullptr));
        ASSERT_TRUE(CreateDirectoryA(dst.c_str(), nullptr));
        ASSERT_TRUE(WriteFileBytes((src + "\\a.txt").c_str(), "A"));
        ASSERT_TRUE(WriteFileBytes((src + "\\b.txt").c_str(), "B"));
    }
    void TearDown() override {
        EmptyTheClipboard();
        CoUninitialize();
        RunTest::TearDown();
    }

    // Starts vorn and types typed; *list is the list on show once it holds
    // rows rows.
    ::testing::AssertionResult StartAndType(VornProcess* vorn, const std::string& typed, int rows,
                                            HWND* list) {
        ::testing::AssertionResult step =
            WriteIniWith({"common.tray=0", "path.typoctr=0", "edit.w=900"});
        if (step) step = StartAndWaitFocus(vorn, "");
        if (!step) return step;
        if (!TypeText(typed.c_str())) return ::testing::AssertionFailure() << "typing failed";
        if (WaitFor([&] {
                *list = ShownListView(vorn->Pid());
                return vorn->EditText() == typed && *list && ListRowCount(*list) == rows;
            }))
            return ::testing::AssertionSuccess();
        std::string lists;
        for (HWND l : AllListViews(vorn->Pid()))
            lists += std::string(IsWindowVisible(l) ? " shown[" : " hidden[") + Joined(ListRowTexts(l)) + "]";
        return ::testing::AssertionFailure() << "not listed; box \"" << vorn->EditText() << "\"" << lists;
    }

    // Starts vorn, types src with its separator and selects both files in the
    // folder list (the focus in the list).
    ::testing::AssertionResult SelectBothInList(VornProcess* vorn) {
        HWND list = nullptr;
        ::testing::AssertionResult step = StartAndType(vorn, src + "\\", 2, &list);
        if (!step) return step;
        if (!PressKey(VK_DOWN) || !WaitFor([&] { return HasFocus(list); }))
            return ::testing::AssertionFailure() << "the list took no focus";
        if (!PressKeyUntil(VK_DOWN, KEY_SHIFT, [&] { return ListSelectedRows(list).size() == 2; }))
            return ::testing::AssertionFailure() << "two rows were not selected";
        return ::testing::AssertionSuccess();
    }

    bool Arrived(const char* name, const char* content) {
        std::string got;
        return ReadFileBytes((dst + "\\" + name).c_str(), &got) && got == content;
    }
};

TEST_F(ShellExtE2E, CopyInTheFolderListThenPasteIntoAnotherFolderCopiesTheFiles) {
    VornProcess vorn;
    ASSERT_TRUE(SelectBothInList(&vorn));
    std::vector<std::string> both = {src + "\\a.txt", src + "\\b.txt"};
    ASSERT_TRUE(PressKeyUntil('C', KEY_CTRL | KEY_SHIFT, [&] { return ClipboardFiles() == both; }))
        << ClipboardFiles().size() << " files on the clipboard";
    EXPECT_EQ(ClipboardEffect(), 1);

    ASSERT_TRUE(HandText(&vorn, dst + "\\"));
    ASSERT_TRUE(PressKeyUntil('V', KEY_CTRL | KEY_SHIFT,
                              [&] { return Arrived("a.txt", "A") && Arrived("b.txt", "B"); }));
    EXPECT_TRUE(PathExists(src + "\\a.txt") && PathExists(src + "\\b.txt")) << "originals stay";
    EXPECT_EQ(ClipboardFiles(), both) << "a paste keeps the clipboard";
}

TEST_F(ShellExtE2E, CutInTheFolderListThenPasteMovesTheFiles) {
    VornProcess vorn;
    ASSERT_TRUE(SelectBothInList(&vorn));
    ASSERT_TRUE(PressKeyUntil('X', KEY_CTRL | KEY_SHIFT, [&] { return ClipboardFiles().size() == 2; }));
    EXPECT_EQ(ClipboardEffect(), 2);
    ASSERT_TRUE(HandText(&vorn, dst + "\\"));
    ASSERT_TRUE(PressKeyUntil('V', KEY_CTRL | KEY_SHIFT,
                              [&] { return Arrived("a.txt", "A") && Arrived("b.txt", "B"); }))
        << "src " << PathExists(src + "\\a.txt") << PathExists(src + "\\b.txt") << ", dst "
        << PathExists(dst + "\\a.txt") << PathExists(dst + "\\b.txt") << ", box \"" << vorn.EditText()
        << "\", effect " << ClipboardEffect() << ", " << ClipboardFiles().size() << " files, dialog \""
        << WindowText(FindWindowOf(vorn.Pid(), "#32770")) << "\" " << MessageBoxText(FindWindowOf(vorn.Pid(), "#32770"));
    EXPECT_TRUE(WaitFor([&] { return !PathExists(src + "\\a.txt") && !PathExists(src + "\\b.txt"); }));
}

TEST_F(ShellExtE2E, FilesThatAnotherProgramPutOnTheClipboardArePasted) {
    std::string tool = BesideTests("putfiles.exe");
    ASSERT_FALSE(tool.empty());
    HelperProcess putter;
    std::string args = "1 \"" + src + "\\a.txt\"";
    ASSERT_TRUE(putter.Start(tool, args.c_str()));
    ASSERT_TRUE(WaitHandle(putter.pi.hProcess, E2E_WAIT_MS));
    ASSERT_TRUE(WaitFor([] { return ClipboardFiles().size() == 1; }));

    ASSERT_TRUE(WriteIniWith({"common.tray=0", "edit.w=900"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, dst));
    ASSERT_TRUE(PressKeyUntil('V', KEY_CTRL | KEY_SHIFT, [&] { return Arrived("a.txt", "A"); }));
    EXPECT_TRUE(PathExists(src + "\\a.txt"));
}

TEST_F(ShellExtE2E, TheListMenuMakesAShortcutBesideTheFile) {
    VornProcess vorn;
    ASSERT_TRUE(SelectBothInList(&vorn));
    ASSERT_TRUE(PressKey(VK_APPS));
    ASSERT_TRUE(WaitFor([&] { return OpenMenus(vorn.Pid()).size() == 1; })) << "no list menu";
    ASSERT_TRUE(PressKey('S'));  // "ショートカット作成(&S)"
    ASSERT_TRUE(WaitFor([&] {
        return PathExists(src + "\\a.txt.lnk") && PathExists(src + "\\b.txt.lnk");
    }));
    EXPECT_TRUE(WaitFor([&] { return LinkTarget(src + "\\a.txt.lnk") == src + "\\a.txt"; }))
        << LinkTarget(src + "\\a.txt.lnk");
    EXPECT_EQ(LinkTarget(src + "\\b.txt.lnk"), src + "\\b.txt");
}

TEST_F(ShellExtE2E, AListMenuChoiceActsOnTheRowRightClicked) {
    VornProcess vorn;
    HWND list = nullptr;
    ASSERT_TRUE(StartAndType(&vorn, src + "\\", 2, &list));
    std::vector<std::string> rows = ListRowTexts(list);
    int row = rows.size() == 2 && rows[1] == "b.txt" ? 1 : 0;
    RECT rc;
    ASSERT_TRUE(ListRowRect(list, row, &rc));
    MapWindowPoints(list, nullptr, (POINT*)&rc, 2);
    // The menu's choice reaches the dispatcher with the list and the row the
    // menu was opened on: the second file, not the box's folder.
    ASSERT_TRUE(RightClickPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
    ASSERT_TRUE(WaitFor([&] { return OpenMenus(vorn.Pid()).size() == 1; })) << "no list menu";
    ASSERT_TRUE(PressKey('C'));  // "コピー(&C)" of the file block
    EXPECT_TRUE(WaitFor([&] { return ClipboardFiles() == std::vector<std::string>{src + "\\" + rows[row]}; }))
        << ClipboardFiles().size() << " files on the clipboard";
    EXPECT_EQ(ClipboardEffect(), 1);
    ParkPointer();
}

TEST_F(ShellExtE2E, TheContextMenuKeyOpensTheEditMenuAtTheBoxCentre) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "edit.w=900"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(HandText(&vorn, src + "\\a.txt"));
    ASSERT_TRUE(PressKey(VK_APPS));
    std::vector<HWND> menus;
    ASSERT_TRUE(WaitFor([&] { return (menus = OpenMenus(vorn.Pid())).size() == 1; })) << "no menu";
    RECT box, menu;
    ASSERT_TRUE(GetWindowRect(vorn.EditBox(), &box));
    ASSERT_TRUE(GetWindowRect(menus[0], &menu));
    EXPECT_EQ(menu.left, box.left + (box.right - box.left) / 2);
    EXPECT_EQ(menu.top, box.top + (box.bottom - box.top) / 2);
    ASSERT_TRUE(PressKey('C'));  // "コピー(&C)" of the file block
    ASSERT_TRUE(WaitFor([&] { return ClipboardFiles() == std::vector<std::string>{src + "\\a.txt"}; }));
    EXPECT_EQ(ClipboardEffect(), 1);
    EXPECT_EQ(vorn.EditText(), src + "\\a.txt");
}

TEST_F(ShellExtE2E, TheShellMenuOfTheListSelectionCopiesItsItems) {
    VornProcess vorn;
    ASSERT_TRUE(SelectBothInList(&vorn));
    ASSERT_TRUE(OpenShellMenuFromTheList(vorn.Pid()));
    ASSERT_TRUE(PressKey('C'));  // the shell's copy verb
    std::vector<std::string> both = {src + "\\a.txt", src + "\\b.txt"};
    ASSERT_TRUE(WaitFor([&] {
        std::vector<std::string> files = ClipboardFiles();
        return std::set<std::string>(files.begin(), files.end()) ==
               std::set<std::string>(both.begin(), both.end());
    }, E2E_START_MS)) << ClipboardFiles().size() << " files on the clipboard";
    EXPECT_TRUE(WaitFor([&] { return OpenMenus(vorn.Pid()).empty(); }));
}

// With a half-typed name in the box, the list's rows still lie in the folder the
// box names: the shell menu acts on src\a.txt, not on a path built from the
// half-typed name.
TEST_F(ShellExtE2E, TheShellMenuActsInTheTypedFolderWhileANameIsHalfTyped) {
    VornProcess vorn;
    HWND list = nullptr;
    ASSERT_TRUE(StartAndType(&vorn, src + "\\a", 1, &list));
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list) && ListSelectedRows(list).size() == 1; }));
    ASSERT_TRUE(OpenShellMenuFromTheList(vorn.Pid()));
    ASSERT_TRUE(PressKey('C'));
    ASSERT_TRUE(WaitFor([&] {
        std::vector<std::string> files = ClipboardFiles();
        return files.size() == 1 && files[0] == src + "\\a.txt";
    }, E2E_START_MS)) << ClipboardFiles().size() << " files on the clipboard";
}

// A cascade level's shell menu acts on its own rows, in the folder it shows.
TEST_F(ShellExtE2E, TheShellMenuOfACascadeLevelActsInItsFolder) {
    ASSERT_TRUE(CreateDirectoryA((src + "\\sub").c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes((src + "\\sub\\c.txt").c_str(), "C"));
    VornProcess vorn;
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "edit.w=900"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    std::string typed = src + "\\";
    ASSERT_TRUE(TypeText(typed.c_str()));
    HWND list = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        list = ShownListView(vorn.Pid());
        return vorn.EditText() == typed && list && ListRowCount(list) == 3;
    })) << "box \"" << vorn.EditText() << "\"";
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); }));
    auto selectedText = [&] {
        std::vector<int> rows = ListSelectedRows(list);
        std::string text;
        return rows.size() == 1 && ListRowText(list, rows[0], &text) ? text : std::string();
    };
    for (int i = 0; i < 3 && selectedText() != "sub"; i++) ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return selectedText() == "sub"; })) << ListRowTexts(list).size();
    ASSERT_TRUE(PressKey(VK_RIGHT));
    HWND cascade = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        std::vector<HWND> shown = VisibleListViews(vorn.Pid());
        cascade = shown.size() == 2 ? (shown[0] == list ? shown[1] : shown[0]) : nullptr;
        return cascade && HasFocus(cascade) && ListRowCount(cascade) == 1;
    })) << "no cascade with the focus";
    if (ListSelectedRows(cascade).empty()) {
        ASSERT_TRUE(PressKey(VK_DOWN));
    }
    ASSERT_TRUE(WaitFor([&] { return ListSelectedRows(cascade).size() == 1; }));
    ASSERT_TRUE(OpenShellMenuFromTheList(vorn.Pid()));
    ASSERT_TRUE(PressKey('C'));
    ASSERT_TRUE(WaitFor([&] {
        std::vector<std::string> files = ClipboardFiles();
        return files.size() == 1 && files[0] == src + "\\sub\\c.txt";
    }, E2E_START_MS)) << ClipboardFiles().size() << " files on the clipboard";
}
