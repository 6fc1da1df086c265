// folderlist_test.cpp - the folder list, the drive root, typo control, Tab and
// Shift+Tab completion and the cascade lists, driven by real key presses on
// folders the tests make; and the time from a key press to the refreshed list
// in a large folder.
#include "tests/e2e/harness.h"
#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"
#include "tests/clipboard_text.h"

#include <commctrl.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

namespace {

// --- The list windows of vorn ------------------------------------------------------

// The visible list windows of vorn, from left to right.
std::vector<HWND> VisibleLists(DWORD pid) {
    std::vector<HWND> found = VisibleListViews(pid);
    std::sort(found.begin(), found.end(), [](HWND a, HWND b) {
        RECT ra, rb;
        GetWindowRect(a, &ra);
        GetWindowRect(b, &rb);
        return ra.left < rb.left;
    });
    return found;
}

// The leftmost visible list (the folder list in these tests), or null.
HWND FolderListOf(DWORD pid) {
    std::vector<HWND> lists = VisibleLists(pid);
    return lists.empty() ? nullptr : lists[0];
}

LRESULT Ask(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT fallback = -1) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(wnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, 2000, &result))
        return fallback;
    return (LRESULT)result;
}

int RowCount(HWND list) { return list ? ListRowCount(list) : -1; }

int SelectedCount(HWND list) { return list ? (int)ListSelectedRows(list).size() : -1; }

std::string RowText(HWND list, int row) {
    std::string text;
    return ListRowText(list, row, &text) ? text : "<unreadable>";
}

std::vector<std::string> Rows(HWND list) { return ListRowTexts(list); }

// --- Test folders ----------------------------------------------------------------

bool MakeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }
bool MakeFile(const std::string& path) { return WriteFileBytes(path.c_str(), "x"); }

// Under folder: "tree" with the folders "Dog" (2 files) and "cat" (1 file) and
// the files "dot.txt", "Cab.txt", "zebra.txt".
bool MakeTree(const char* folder, std::string* tree) {
    *tree = PathIn(folder, "tree");
    return MakeFolder(*tree) && MakeFolder(*tree + "\\Dog") && MakeFolder(*tree + "\\cat") &&
           MakeFile(*tree + "\\Dog\\bone.txt") && MakeFile(*tree + "\\Dog\\ball.txt") &&
           MakeFile(*tree + "\\cat\\fish.txt") && MakeFile(*tree + "\\dot.txt") &&
           MakeFile(*tree + "\\Cab.txt") && MakeFile(*tree + "\\zebra.txt");
}

bool IsTreeFolder(const std::string& name) { return name == "Dog" || name == "cat"; }

// Waits until vorn's folder list is visible with n rows.
bool WaitRows(const VornProcess& vorn, int n, DWORD ms = E2E_WAIT_MS) {
    return WaitFor([&] { return RowCount(FolderListOf(vorn.Pid())) == n; }, ms);
}

bool WaitText(const VornProcess& vorn, const std::string& text) {
    return WaitFor([&] { return vorn.EditText() == text; });
}

// Waits until the box holds typed (the tree's path with its separator) and the
// list shows the tree's five entries. A count alone is not enough: while the
// path is still being typed, a list of some other folder can have five rows.
bool WaitTreeListed(const VornProcess& vorn, const std::string& typed) {
    static const std::set<std::string> entries = {"Dog", "cat", "dot.txt", "Cab.txt", "zebra.txt"};
    return WaitFor([&] {
        if (vorn.EditText() != typed) return false;
        std::vector<std::string> rows = Rows(FolderListOf(vorn.Pid()));
        return std::set<std::string>(rows.begin(), rows.end()) == entries;
    });
}

std::string Describe(const VornProcess& vorn) {
    HWND list = FolderListOf(vorn.Pid());
    return "box \"" + vorn.EditText() + "\", list " + (list ? Joined(Rows(list)) : "(none)");
}

}  // namespace

// Tests of the folder list; most of them start from the tree listed in the box.
struct FolderListE2E : public VornTest {
    std::string tree;   // the test tree (MakeTree)
    std::string typed;  // tree with its separator, as ShowTree types it

    // Makes the tree, starts vorn without typo control and types the tree's
    // path; succeeds once the list shows the tree's entries.
    ::testing::AssertionResult ShowTree(VornProcess* vorn, bool typoControl = false) {
        if (!MakeTree(folder, &tree)) return ::testing::AssertionFailure() << "no test tree";
        ::testing::AssertionResult step = WriteIniWith(
            {"common.tray=0", typoControl ? "path.typoctr=1" : "path.typoctr=0", "edit.w=900"});
        if (step) step = StartAndWaitFocus(vorn, "");
        if (!step) return step;
        typed = tree + "\\";
        // With typo control each typed letter would be completed: the path is pasted.
        bool put = typoControl ? PutTextOnClipboard(nullptr, typed) &&
                                     PressKeyUntil('V', KEY_CTRL, [&] { return vorn->EditText() == typed; })
                               : TypeText(typed.c_str());
        if (!put) return ::testing::AssertionFailure() << "typing failed";
        if (!WaitTreeListed(*vorn, typed))
            return ::testing::AssertionFailure() << "the tree is not listed; " << Describe(*vorn);
        return ::testing::AssertionSuccess();
    }
};

TEST_F(FolderListE2E, TypedFolderListsFoldersFirstUnderItsSeparatorAndNarrowsInAnyCase) {
    VornProcess vorn;
    ASSERT_TRUE(ShowTree(&vorn));

    HWND list = FolderListOf(vorn.Pid());
    std::vector<std::string> rows = Rows(list);
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_TRUE(IsTreeFolder(rows[0]) && IsTreeFolder(rows[1])) << Joined(rows);
    std::set<std::string> files(rows.begin() + 2, rows.end());
    EXPECT_EQ(files, (std::set<std::string>{"dot.txt", "Cab.txt", "zebra.txt"})) << Joined(rows);

    // The list hangs below the box at the x position of the last separator.
    HWND box = vorn.EditBox();
    RECT boxRect, listRect, client;
    GetWindowRect(box, &boxRect);
    GetWindowRect(list, &listRect);
    GetClientRect(box, &client);
    LRESULT pos = Ask(box, EM_POSFROMCHAR, typed.size() - 1, 0);
    int x = (short)LOWORD(pos);
    ASSERT_LE(x, client.right) << "the box is too narrow for the test path";
    EXPECT_EQ(listRect.left, boxRect.left + x + GetSystemMetrics(SM_CXFIXEDFRAME));
    EXPECT_EQ(listRect.top, boxRect.bottom);

    // "D" keeps the names holding a d in either case; "og" narrows to one.
    ASSERT_TRUE(TypeText("D"));
    ASSERT_TRUE(WaitRows(vorn, 2)) << Describe(vorn);
    std::set<std::string> narrowed;
    for (const std::string& r : Rows(list)) narrowed.insert(r);
    EXPECT_EQ(narrowed, (std::set<std::string>{"Dog", "dot.txt"}));
    ASSERT_TRUE(TypeText("OG"));
    ASSERT_TRUE(WaitRows(vorn, 1)) << Describe(vorn);
    EXPECT_EQ(RowText(list, 0), "Dog");
    // Two terms split at a colon must both occur.
    ASSERT_TRUE(PressKey(VK_BACK));
    ASSERT_TRUE(PressKey(VK_BACK));
    ASSERT_TRUE(PressKey(VK_BACK));
    ASSERT_TRUE(WaitTreeListed(vorn, typed)) << Describe(vorn);
    ASSERT_TRUE(TypeText("a:t"));
    ASSERT_TRUE(WaitFor([&] {
        std::vector<std::string> now = Rows(FolderListOf(vorn.Pid()));
        return std::set<std::string>(now.begin(), now.end()) ==
               std::set<std::string>{"cat", "Cab.txt", "zebra.txt"};
    })) << Describe(vorn);
}

TEST_F(FolderListE2E, TypoControlDropsALetterThatMatchesNothingAndKeepsTheList) {
    ASSERT_TRUE(MakeTree(folder, &tree));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=1", "edit.w=900"}));
    VornProcess vorn;
    std::string start = tree + "\\";
    ASSERT_TRUE(StartAndWaitFocus(&vorn, start.c_str()));
    ASSERT_TRUE(WaitText(vorn, start));
    // A letter that matches an entry opens the list for the typed folder.
    ASSERT_TRUE(TypeText("c"));
    ASSERT_TRUE(WaitText(vorn, start + "c")) << Describe(vorn);
    ASSERT_TRUE(WaitRows(vorn, 2)) << Describe(vorn);
    // "q" leads nowhere: dropped, the list stays as it was.
    ASSERT_TRUE(TypeText("q"));
    ASSERT_TRUE(TypeText("a"));
    ASSERT_TRUE(WaitText(vorn, start + "ca")) << Describe(vorn);
    EXPECT_EQ(RowCount(FolderListOf(vorn.Pid())), 2) << Describe(vorn);
    // Double quote, "<" and ">" never reach the text.
    ASSERT_TRUE(TypeText("\"<>t"));
    ASSERT_TRUE(WaitText(vorn, start + "cat")) << Describe(vorn);
}

TEST_F(FolderListE2E, WithoutTypoControlANameThatMatchesNothingLeavesOneEmptyRow) {
    VornProcess vorn;
    ASSERT_TRUE(ShowTree(&vorn));
    ASSERT_TRUE(TypeText("q\"<>"));
    ASSERT_TRUE(WaitText(vorn, typed + "q")) << Describe(vorn);
    ASSERT_TRUE(WaitRows(vorn, 1)) << Describe(vorn);
    EXPECT_EQ(RowText(FolderListOf(vorn.Pid()), 0), "");
    // Taking the name back brings every entry back.
    ASSERT_TRUE(PressKey(VK_BACK));
    EXPECT_TRUE(WaitTreeListed(vorn, typed)) << Describe(vorn);
}

TEST_F(FolderListE2E, ADoubleByteNameNarrowsAsOneCharacter) {
    // "表" is 95 5C in code page 932: its second byte must not act as a
    // separator (that would complete from the list instead).
    ASSERT_TRUE(MakeTree(folder, &tree));
    ASSERT_TRUE(MakeFolder(tree + "\\表示"));
    ASSERT_TRUE(MakeFile(tree + "\\表示\\x.txt"));
    for (int typo = 0; typo <= 1; typo++) {
        SCOPED_TRACE(typo ? "typoctr=1" : "typoctr=0");
        ASSERT_TRUE(WriteIniWith({"common.tray=0", "edit.w=900",
                                  typo ? "path.typoctr=1" : "path.typoctr=0"}));
        VornProcess vorn;
        std::string start = tree + "\\";
        ASSERT_TRUE(StartAndWaitFocus(&vorn, typo ? start.c_str() : ""));
        if (!typo) {
            ASSERT_TRUE(TypeText(start.c_str()));
        }
        ASSERT_TRUE(WaitText(vorn, start));
        if (!typo) {
            ASSERT_TRUE(WaitRows(vorn, 6)) << Describe(vorn);
        }
        ASSERT_TRUE(TypeTextW(L"\u8868"));
        ASSERT_TRUE(WaitText(vorn, start + "表")) << Describe(vorn);
        if (!typo) {
            ASSERT_TRUE(WaitRows(vorn, 1)) << Describe(vorn);
            EXPECT_EQ(RowText(FolderListOf(vorn.Pid()), 0), "表示");
        }
        DWORD code = 0;
        ASSERT_TRUE(vorn.Close(E2E_EXIT_MS, &code));
    }
}

TEST_F(FolderListE2E, DriveLetterGivesItsRootAfterWhichOnlyASeparatorIsTaken) {
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=1"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeText("c"));
    ASSERT_TRUE(WaitText(vorn, "C:\\")) << Describe(vorn);
    ASSERT_TRUE(WaitFor([&] { return RowCount(FolderListOf(vorn.Pid())) > 0; })) << Describe(vorn);
    // Shift+Tab on a drive root empties the box.
    ASSERT_TRUE(PressKeyUntil(VK_TAB, KEY_SHIFT, [&] { return vorn.EditText().empty(); }))
        << Describe(vorn);
    // A letter of no present drive does nothing.
    ASSERT_TRUE(TypeText("q"));
    ASSERT_TRUE(TypeText("c"));
    ASSERT_TRUE(WaitText(vorn, "C:\\")) << Describe(vorn);
    ASSERT_TRUE(PressKey(VK_BACK));
    ASSERT_TRUE(WaitText(vorn, "C:"));
    ASSERT_TRUE(TypeText("w"));
    ASSERT_TRUE(TypeText("\\"));
    EXPECT_TRUE(WaitText(vorn, "C:\\")) << Describe(vorn);
}

TEST_F(FolderListE2E, TabTakesAFolderWithItsSeparatorAndListsItShiftTabGoesBack) {
    VornProcess vorn;
    ASSERT_TRUE(ShowTree(&vorn));
    ASSERT_TRUE(TypeText("og"));
    ASSERT_TRUE(WaitRows(vorn, 1)) << Describe(vorn);
    ASSERT_TRUE(PressKey(VK_TAB));
    ASSERT_TRUE(WaitText(vorn, tree + "\\Dog\\")) << Describe(vorn);
    ASSERT_TRUE(WaitFor([&] {
        std::vector<std::string> rows = Rows(FolderListOf(vorn.Pid()));
        return std::set<std::string>(rows.begin(), rows.end()) ==
               std::set<std::string>{"bone.txt", "ball.txt"};
    })) << Describe(vorn);
    // Shift+Tab: the parent folder, with its separator, listed again.
    ASSERT_TRUE(PressKeyUntil(VK_TAB, KEY_SHIFT, [&] { return vorn.EditText() == typed; }))
        << Describe(vorn);
    EXPECT_TRUE(WaitTreeListed(vorn, typed)) << Describe(vorn);
    // Placed again for its five names, the list shows them all: no scroll bar
    // left over from the narrower list before hides a row.
    HWND list = FolderListOf(vorn.Pid());
    EXPECT_TRUE(WaitFor([&] {
        return !(GetWindowLongA(list, GWL_STYLE) & (WS_HSCROLL | WS_VSCROLL)) &&
               Ask(list, LVM_GETCOUNTPERPAGE, 0, 0) >= 5;
    })) << "style " << std::hex << GetWindowLongA(list, GWL_STYLE) << std::dec << ", rows per page "
        << Ask(list, LVM_GETCOUNTPERPAGE, 0, 0);
}

TEST_F(FolderListE2E, RightOnAFolderOpensACascadeToTheRightAndLeftClosesIt) {
    VornProcess vorn;
    ASSERT_TRUE(ShowTree(&vorn));
    HWND list = FolderListOf(vorn.Pid());
    std::string first = RowText(list, 0);
    ASSERT_TRUE(IsTreeFolder(first)) << first;
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); })) << "Down did not enter the list";
    ASSERT_TRUE(PressKey(VK_RIGHT));
    ASSERT_TRUE(WaitFor([&] { return VisibleLists(vorn.Pid()).size() == 2; }))
        << "no cascade; " << Describe(vorn);
    HWND cascade = VisibleLists(vorn.Pid())[1];
    std::vector<std::string> rows = Rows(cascade);
    std::set<std::string> expected = first == "Dog"
                                         ? std::set<std::string>{"bone.txt", "ball.txt"}
                                         : std::set<std::string>{"fish.txt"};
    EXPECT_EQ(std::set<std::string>(rows.begin(), rows.end()), expected) << Joined(rows);
    RECT listRect, cascadeRect;
    GetWindowRect(list, &listRect);
    GetWindowRect(cascade, &cascadeRect);
    EXPECT_EQ(cascadeRect.left, listRect.right);
    EXPECT_EQ(cascadeRect.top, listRect.top);
    EXPECT_TRUE(WaitFor([&] { return HasFocus(cascade); })) << "the cascade has no focus";

    ASSERT_TRUE(PressKey(VK_LEFT));
    EXPECT_TRUE(WaitFor([&] { return !IsWindow(cascade) || !IsWindowVisible(cascade); }));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); })) << "focus did not return to the list";
    EXPECT_EQ(RowCount(list), 5);

    // Enter on one cascade entry puts folder\name into the box and closes
    // every list.
    ASSERT_TRUE(PressKey(VK_RIGHT));
    ASSERT_TRUE(WaitFor([&] { return VisibleLists(vorn.Pid()).size() == 2; })) << Describe(vorn);
    cascade = VisibleLists(vorn.Pid())[1];
    ASSERT_TRUE(WaitFor([&] { return HasFocus(cascade); }));
    std::string entry = RowText(cascade, 0);
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitText(vorn, tree + "\\" + first + "\\" + entry)) << Describe(vorn);
    EXPECT_TRUE(WaitFor([&] { return VisibleLists(vorn.Pid()).empty(); })) << Describe(vorn);
    EXPECT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
}

TEST_F(FolderListE2E, ACascadeOpenedAfterTheListToggleStillClosesWithLeftAndEsc) {
    VornProcess vorn;
    // With typo control a typed letter asks the hidden list whether it matches.
    ASSERT_TRUE(ShowTree(&vorn, true));
    HWND list = FolderListOf(vorn.Pid());
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); }));
    ASSERT_TRUE(PressKey(VK_RIGHT));
    ASSERT_TRUE(WaitFor([&] { return VisibleLists(vorn.Pid()).size() == 2; })) << Describe(vorn);
    // Ctrl+T hides the list with its level; a typed letter brings the list back.
    ASSERT_TRUE(PressKeyUntil('T', KEY_CTRL, [&] { return VisibleLists(vorn.Pid()).empty(); }));
    ASSERT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
    ASSERT_TRUE(TypeText("d"));
    ASSERT_TRUE(WaitFor([&] {
        std::vector<std::string> rows = Rows(FolderListOf(vorn.Pid()));
        return vorn.EditText() == typed + "d" && rows.size() == 2;
    })) << Describe(vorn);
    list = FolderListOf(vorn.Pid());
    ASSERT_EQ(RowText(list, 0), "Dog");
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); }));
    ASSERT_TRUE(PressKey(VK_RIGHT));
    ASSERT_TRUE(WaitFor([&] { return VisibleLists(vorn.Pid()).size() == 2; })) << Describe(vorn);
    // The level hidden by the toggle is gone: the two list windows and the
    // one new level are all there is.
    EXPECT_EQ(AllListViews(vorn.Pid()).size(), 3u);
    HWND cascade = VisibleLists(vorn.Pid())[1];
    std::vector<std::string> rows = Rows(cascade);
    EXPECT_EQ(std::set<std::string>(rows.begin(), rows.end()),
              (std::set<std::string>{"bone.txt", "ball.txt"}));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(cascade); }));
    ASSERT_TRUE(PressKey(VK_LEFT));
    EXPECT_TRUE(WaitFor([&] { return VisibleLists(vorn.Pid()).size() == 1; })) << "Left";
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); }));
    ASSERT_TRUE(PressKey(VK_RIGHT));
    ASSERT_TRUE(WaitFor([&] { return VisibleLists(vorn.Pid()).size() == 2; })) << Describe(vorn);
    ASSERT_TRUE(PressKeyUntil(VK_ESCAPE, 0, [&] { return VisibleLists(vorn.Pid()).size() == 1; }));
    ASSERT_TRUE(PressKeyUntil(VK_ESCAPE, 0, [&] { return VisibleLists(vorn.Pid()).empty(); }));
}

TEST_F(FolderListE2E, EnterWithSeveralSelectedEntriesRunsThemAll) {
    std::string docs = Path("docs");
    ASSERT_TRUE(MakeFolder(docs));
    ASSERT_TRUE(MakeFile(docs + "\\one.vfq"));
    ASSERT_TRUE(MakeFile(docs + "\\two.vfq"));
    std::string recorder = BesideTests("recorder.exe");
    ASSERT_FALSE(recorder.empty()) << "recorder.exe must be built beside the tests";
    FileType type(".vfq", "vorn_e2e_vfq", recorder);
    ASSERT_TRUE(type.ok);
    RecordFile record(Path("record.txt"));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "common.exemode=0", "edit.w=900"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    std::string typed = docs + "\\";
    ASSERT_TRUE(TypeText(typed.c_str()));
    ASSERT_TRUE(WaitText(vorn, typed)) << Describe(vorn);
    ASSERT_TRUE(WaitRows(vorn, 2)) << Describe(vorn);
    HWND list = FolderListOf(vorn.Pid());
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); }));
    ASSERT_TRUE(PressKeyUntil(VK_DOWN, KEY_SHIFT, [&] { return SelectedCount(list) == 2; }))
        << "selected: " << SelectedCount(list);
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(record.WaitCount(2)) << "records: " << record.Records().size();
    std::set<std::string> opened;
    for (const StartRecord& r : record.Records()) opened.insert(r.args);
    std::set<std::string> expected = {"\"" + docs + "\\one.vfq\"", "\"" + docs + "\\two.vfq\""};
    EXPECT_EQ(opened, expected);
    EXPECT_TRUE(WaitFor([&] { return VisibleLists(vorn.Pid()).empty(); }));
}

TEST_F(FolderListE2E, ShortcutKeyReplacesALinkWithItsTarget) {
    ASSERT_TRUE(MakeTree(folder, &tree));
    std::string target = tree + "\\Dog";
    std::string link = Path("dog.lnk");
    ASSERT_TRUE(SUCCEEDED(CoInitialize(nullptr)));
    bool made = false;
    IShellLinkA* shellLink = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER,
                                   IID_IShellLinkA, (void**)&shellLink))) {
        shellLink->SetPath(target.c_str());
        IPersistFile* file = nullptr;
        if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file))) {
            wchar_t wide[MAX_PATH];
            MultiByteToWideChar(CP_ACP, 0, link.c_str(), -1, wide, MAX_PATH);
            made = SUCCEEDED(file->Save(wide, TRUE));
            file->Release();
        }
        shellLink->Release();
    }
    CoUninitialize();
    ASSERT_TRUE(made && PathExists(link)) << "could not make " << link;

    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "edit.w=900"}));
    VornProcess vorn;
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    ASSERT_TRUE(TypeText(link.c_str()));
    ASSERT_TRUE(WaitText(vorn, link)) << Describe(vorn);
    // Ctrl+J: "Edit-ショートカット先へ移動".
    ASSERT_TRUE(PressKeyUntil('J', KEY_CTRL, [&] { return vorn.EditText() == target; }))
        << Describe(vorn);
    EXPECT_TRUE(VisibleLists(vorn.Pid()).empty());
}

TEST_F(FolderListE2E, IconSettingDecidesWhetherTheListHasIcons) {
    ASSERT_TRUE(MakeTree(folder, &tree));
    for (int icon = 0; icon <= 1; icon++) {
        SCOPED_TRACE(icon ? "icon=1" : "icon=0");
        ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "edit.w=900",
                                  icon ? "common.icon=1" : "common.icon=0"}));
        VornProcess vorn;
        ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
        typed = tree + "\\";
        ASSERT_TRUE(TypeText(typed.c_str()));
        ASSERT_TRUE(WaitTreeListed(vorn, typed)) << Describe(vorn);
        HWND list = FolderListOf(vorn.Pid());
        LRESULT images = Ask(list, LVM_GETIMAGELIST, LVSIL_SMALL, 0, 0);
        if (icon)
            EXPECT_NE(images, 0);
        else
            EXPECT_EQ(images, 0);
        DWORD code = 0;
        ASSERT_TRUE(vorn.Close(E2E_EXIT_MS, &code));
    }
}

TEST_F(FolderListE2E, CtrlBFromTheListLeavesTheFocusInTheBoxForTheNextPath) {
    // Ctrl+B pressed in the list empties the box; the folder list that opens
    // for the next typed path must not take the focus back, or the rest of
    // the path would go into the list instead of the box.
    VornProcess vorn;
    ASSERT_TRUE(ShowTree(&vorn));
    HWND list = FolderListOf(vorn.Pid());
    ASSERT_TRUE(PressKey(VK_DOWN));
    ASSERT_TRUE(WaitFor([&] { return HasFocus(list); })) << "Down did not enter the list";
    ASSERT_TRUE(PressKeyUntil('B', KEY_CTRL, [&] {
        return vorn.EditText().empty() && vorn.BoxFocused() && VisibleListViews(vorn.Pid()).empty();
    })) << Describe(vorn);
    std::string dog = typed + "Dog\\";
    ASSERT_TRUE(TypeText(dog.c_str()));
    EXPECT_TRUE(WaitFor([&] {
        std::vector<std::string> rows = Rows(FolderListOf(vorn.Pid()));
        return vorn.EditText() == dog && std::set<std::string>(rows.begin(), rows.end()) ==
                                             std::set<std::string>{"bone.txt", "ball.txt"};
    })) << Describe(vorn);
    EXPECT_TRUE(vorn.BoxFocused()) << "the list took the focus";
}
