// In-process tests of the shell integration: the clipboard blocks read back
// byte for byte, paste through the shell's file operation, shortcut names and
// targets, a program opened on files, the edit box menu, and the shell's
// context menu shown for real and read while it is open.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>
// The shell headers declare a COM class named like the launcher's Shell
// record: it goes by another name here.
#define Shell ShellDispatchClass
#include <shlobj.h>
#undef Shell

#include <string.h>

#include <string>
#include <vector>

#include "common/fileio.h"
#include "common/itemarray.h"
#include "launcher/commands/commands.h"
#include "launcher/editbox/editmenu.h"
#include "launcher/lists/listselect.h"
#include "launcher/lists/listwnd.h"
#include "launcher/shellext/shellext.h"
#include "shell_windows.h"
#include "test_files.h"

namespace {

std::string List(std::vector<std::string> paths) {
    std::string s;
    for (const std::string& p : paths) s += p + '\0';
    return s + '\0';
}

// The bytes of a clipboard format ("" when it is absent).
std::string ClipboardBytes(HWND owner, UINT format) {
    std::string bytes;
    if (!OpenClipboard(owner)) return "<closed>";
    HANDLE data = GetClipboardData(format);
    if (data) {
        const char* p = (const char*)GlobalLock(data);
        if (p) bytes.assign(p, GlobalSize(data));
        GlobalUnlock(data);
    }
    CloseClipboard();
    return bytes;
}

UINT EffectFormat(void) { return RegisterClipboardFormatA("Preferred DropEffect"); }

// Puts blocks of the given formats on the clipboard (a test program's own).
void PutOnClipboard(HWND owner, std::vector<std::pair<UINT, std::string>> blocks) {
    ASSERT_TRUE(OpenClipboard(owner));
    EmptyClipboard();
    for (auto& b : blocks) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, b.second.size());
        ASSERT_NE(mem, nullptr);
        memcpy(GlobalLock(mem), b.second.data(), b.second.size());
        GlobalUnlock(mem);
        SetClipboardData(b.first, mem);
    }
    CloseClipboard();
}

std::string DropBlock(const std::string& list, bool wide = false) {
    std::string header(20, '\0');
    header[0] = 20;
    header[16] = wide ? 1 : 0;
    return header + list;
}

std::string Effect(unsigned char value) { return std::string(1, (char)value) + std::string(3, '\0'); }

std::string Header(const std::string& block) { return block.substr(0, 20); }

const std::string kHeader = DropBlock("");

// The text of menu item pos and whether it is greyed.
std::string ItemText(HMENU menu, int pos) {
    char buf[128] = "";
    GetMenuStringA(menu, pos, buf, sizeof buf, MF_BYPOSITION);
    return buf;
}
bool Greyed(HMENU menu, int pos) {
    return (GetMenuState(menu, pos, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED)) != 0;
}

}  // namespace

// A main window and edit box, the list windows, COM, and a fresh folder.
class ShellExt : public ShellWindows {
   protected:
    void SetUp() override {
        ShellWindows::SetUp();
        // As the main window does: OLE for the shell's clipboard verbs.
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        savedLists = Lists;
        memset(&Lists, 0, sizeof Lists);
        Settings.icon = 0;
        Settings.alpha = 100;
        Settings.linemax = 25;
        INITCOMMONCONTROLSEX cc = {sizeof cc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&cc);
        ASSERT_TRUE(CreateListWindows(mainWnd, box));
        char temp[MAX_PATH];
        ASSERT_GT(GetTempPathA(sizeof temp, temp), 0u);
        dir = std::string(temp) + "vorn_shellext_" + std::to_string(GetCurrentProcessId()) + "_" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name();
        RemoveTree(dir);
        ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr)) << dir;
        SetAppString(&App.startDir, nullptr);
    }
    void TearDown() override {
        DestroyListWindows();
        Lists = savedLists;
        RemoveTree(dir);
        SetAppString(&App.startDir, nullptr);
        OleFlushClipboard();
        OleUninitialize();
        ShellWindows::TearDown();
    }
    static void RemoveTree(const std::string& path) {
        std::string from = path + '\0';
        SHFILEOPSTRUCTA op = {};
        op.wFunc = FO_DELETE;
        op.pFrom = from.c_str();
        op.fFlags = FOF_NOCONFIRMATION | FOF_SILENT | FOF_NOERRORUI;
        if (GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES) SHFileOperationA(&op);
    }
    std::string In(const std::string& name) const { return dir + "\\" + name; }
    void MakeDir(const std::string& name) { ASSERT_TRUE(CreateDirectoryA(In(name).c_str(), nullptr)); }
    void MakeFile(const std::string& name, const char* text = "x") { WriteText(In(name), text); }
    bool Exists(const std::string& name) const {
        return GetFileAttributesA(In(name).c_str()) != INVALID_FILE_ATTRIBUTES;
    }
    // Shows full paths in the item list (History) with rows selected.
    void ShowSelected(std::vector<std::string> paths, std::vector<int> rows) {
        ASSERT_EQ(AllocItems(&Lists.item.array, (int32_t)paths.size()), 1);
        for (size_t i = 0; i < paths.size(); i++)
            SetListItem(&Lists.item.array.items[i], paths[i].c_str(), ItemFile);
        Lists.item.array.count = (int32_t)paths.size();
        Lists.item.kind = LK_History;
        FillItemList();
        SetItemListMultiSelect(true);
        PlaceItemList(Lists.item.array.count);
        for (int row : rows) {
            LVITEMA item = {};
            item.state = item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
            SendMessageA(Lists.item.wnd, LVM_SETITEMSTATE, row, (LPARAM)&item);
        }
    }
    void SetBox(const std::string& text) { SetWindowTextA(box, text.c_str()); }

    ListState savedLists;
    std::string dir;
};

// --- the files of a window ------------------------------------------------------------

TEST_F(ShellExt, TheFilesOfAWindowAreItsPathOrItsRowsAsTheFlagsAsk) {
    MakeFile("x.txt");
    // Rows 0 and 1 selected, row 1 focused; gone.txt does not exist.
    ShowSelected({In("x.txt"), In("gone.txt"), In("y.txt")}, {0, 1});
    struct Case {
        const char* boxText;  // null: the list's rows are asked
        int flags;
        std::vector<std::string> names;
    };
    const Case cases[] = {
        {nullptr, 0, {"x.txt", "gone.txt"}},
        {nullptr, WF_ROWS_EXISTING, {"x.txt"}},
        {nullptr, WF_FOCUSED_ITEM, {"gone.txt"}},
        {nullptr, WF_BOX_EXISTING, {"x.txt", "gone.txt"}},
        {"gone.txt", 0, {"gone.txt"}},
        {"gone.txt", WF_BOX_EXISTING, {}},
        {"x.txt", WF_BOX_EXISTING | WF_ROWS_EXISTING, {"x.txt"}},
        {"", 0, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.boxText ? c.boxText : "<rows>") + " flags " + std::to_string(c.flags));
        HWND wnd = Lists.item.wnd;
        if (c.boxText) {
            SetBox(*c.boxText ? In(c.boxText) : "");
            wnd = box;
        }
        std::vector<std::string> paths;
        for (const std::string& name : c.names) paths.push_back(In(name));
        int count = -1;
        char* files = WindowFiles(wnd, c.flags, &count);
        EXPECT_EQ(count, (int)paths.size());
        if (paths.empty()) {
            EXPECT_EQ(files, nullptr);
        } else {
            ASSERT_NE(files, nullptr);
            std::string want = List(paths);
            EXPECT_EQ(std::string(files, want.size()), want);
        }
        MemFree(files);
    }
    int count = -1;
    EXPECT_EQ(WindowFiles(mainWnd, 0, &count), nullptr) << "not a window of files";
    EXPECT_EQ(count, 0);
}

// --- clipboard blocks ------------------------------------------------------------------

TEST_F(ShellExt, CopyOfTwoListItemsPutsTheirAnsiListAndEffectOne) {
    MakeFile("x.txt");
    MakeDir("y");
    ShowSelected({In("x.txt"), In("other"), In("y")}, {0, 2});
    ASSERT_TRUE(PutWindowFilesOnClipboard(Lists.item.wnd, CLIP_COPY));
    std::string drop = ClipboardBytes(mainWnd, CF_HDROP);
    ASSERT_GE(drop.size(), 20u + 2 * 522);
    EXPECT_EQ(Header(drop), kHeader);
    std::string list = List({In("x.txt"), In("y")});
    EXPECT_EQ(drop.substr(20, list.size()), list);
    EXPECT_EQ(ClipboardBytes(mainWnd, EffectFormat()), Effect(1));
}

TEST_F(ShellExt, CutFromTheBoxPutsOnePathWithoutItsSeparatorAndEffectTwo) {
    MakeDir("b");
    SetBox(In("b") + "\\");
    ASSERT_TRUE(PutWindowFilesOnClipboard(box, CLIP_CUT));
    std::string drop = ClipboardBytes(mainWnd, CF_HDROP);
    ASSERT_GE(drop.size(), 281u);
    EXPECT_EQ(Header(drop), kHeader);
    std::string list = List({In("b")});
    EXPECT_EQ(drop.substr(20, list.size()), list);
    EXPECT_EQ(ClipboardBytes(mainWnd, EffectFormat()), Effect(2));
}

TEST_F(ShellExt, ABoxPathWithOneSeparatorIsRootedAtTheStartFolder) {
    MakeDir("tmp");
    SetAppString(&App.startDir, dir.c_str());
    SetBox("/tmp");
    ASSERT_TRUE(PutWindowFilesOnClipboard(box, CLIP_COPY));
    std::string list = List({In("tmp")});
    EXPECT_EQ(ClipboardBytes(mainWnd, CF_HDROP).substr(20, list.size()), list);
}

TEST_F(ShellExt, AMissingNameOrAnotherWindowLeavesTheClipboardAsItWas) {
    PutOnClipboard(mainWnd, {{CF_TEXT, std::string("before", 7)}});
    SetBox(In("missing.txt"));
    EXPECT_FALSE(PutWindowFilesOnClipboard(box, CLIP_COPY));
    MakeFile("here.txt");
    SetBox(In("here.txt"));
    EXPECT_FALSE(PutWindowFilesOnClipboard(mainWnd, CLIP_COPY)) << "neither box nor list";
    ShowSelected({In("here.txt")}, {});
    EXPECT_FALSE(PutWindowFilesOnClipboard(Lists.item.wnd, CLIP_COPY)) << "nothing selected";
    EXPECT_FALSE(IsClipboardFormatAvailable(CF_HDROP));
    EXPECT_EQ(ClipboardBytes(mainWnd, CF_TEXT).c_str(), std::string("before"));
}

TEST_F(ShellExt, ShiftJisNamesWithBackslashTrailBytesSurviveCopyAndPaste) {
    // 表 and ソ end in the byte 0x5C.
    const std::string name = "\x95\x5C\x83\x5C.txt";
    MakeFile(name, "sjis");
    MakeDir("to");
    SetBox(In(name));
    ASSERT_TRUE(PutWindowFilesOnClipboard(box, CLIP_COPY));
    std::string list = List({In(name)});
    EXPECT_EQ(ClipboardBytes(mainWnd, CF_HDROP).substr(20, list.size()), list);
    ASSERT_TRUE(PasteFiles(In("to").c_str()));
    EXPECT_EQ(ReadAll(In("to\\" + name)), "sjis");
    EXPECT_TRUE(Exists(name));
}

// --- paste ---------------------------------------------------------------------------------

TEST_F(ShellExt, PasteAfterACopyCopiesAndAfterACutMovesAndKeepsTheClipboard) {
    MakeFile("a.txt", "A");
    MakeDir("to");
    MakeDir("moved");
    ShowSelected({In("a.txt")}, {0});
    ASSERT_TRUE(PutWindowFilesOnClipboard(Lists.item.wnd, CLIP_COPY));
    ASSERT_TRUE(PasteFiles(In("to").c_str()));
    EXPECT_EQ(ReadAll(In("to\\a.txt")), "A");
    EXPECT_TRUE(Exists("a.txt"));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP)) << "paste never empties the clipboard";

    MakeFile("b.txt", "B");
    ShowSelected({In("a.txt"), In("b.txt")}, {0, 1});
    ASSERT_TRUE(PutWindowFilesOnClipboard(Lists.item.wnd, CLIP_CUT));
    ASSERT_TRUE(PasteFiles((In("moved") + "\\").c_str()));
    EXPECT_EQ(ReadAll(In("moved\\a.txt")), "A");
    EXPECT_EQ(ReadAll(In("moved\\b.txt")), "B");
    EXPECT_FALSE(Exists("a.txt"));
    EXPECT_FALSE(Exists("b.txt"));
    EXPECT_TRUE(IsClipboardFormatAvailable(CF_HDROP));
}

TEST_F(ShellExt, ACopyPastedIntoItsOwnFolderIsACopyUnderANewName) {
    MakeFile("a.txt", "A");
    MakeDir("d");
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(List({In("a.txt"), In("d")}))}, {EffectFormat(), Effect(1)}});
    ASSERT_TRUE(PasteFiles(dir.c_str()));
    ASSERT_TRUE(PasteFiles((dir + "\\").c_str())) << "again: the next free name";
    for (const char* name : {"a.txt", "a - コピー.txt", "a - コピー (2).txt"}) EXPECT_EQ(ReadAll(In(name)), "A") << name;
    EXPECT_TRUE(Exists("d - コピー") && Exists("d - コピー (2)"));
    // Cut and pasted where it lies: nothing to do, nothing lost.
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(List({In("a.txt")}))}, {EffectFormat(), Effect(2)}});
    EXPECT_FALSE(PasteFiles(dir.c_str()));
    EXPECT_EQ(ReadAll(In("a.txt")), "A");
}

namespace {
bool g_keptMeanwhile = false;  // requests were being kept during the operation
int WINAPI OperationWatched(SHFILEOPSTRUCTA* op) {
    g_keptMeanwhile = InPumpingOperation();
    return SHFileOperationA(op);
}
}  // namespace

TEST_F(ShellExt, RequestsWaitWhileThePastesFileOperationRuns) {
    MakeFile("a.txt", "A");
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(List({In("a.txt")}))}, {EffectFormat(), Effect(1)}});
    FileOperationCall = OperationWatched;
    EXPECT_TRUE(PasteFiles(dir.c_str()));
    FileOperationCall = SHFileOperationA;
    EXPECT_TRUE(g_keptMeanwhile) << "a quit from the tray meanwhile waits for the copy";
}

TEST_F(ShellExt, PasteIntoTheListSelectionAndIntoTheBoxFolder) {
    MakeFile("a.txt", "A");
    MakeDir("one");
    MakeDir("two");
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(List({In("a.txt")}))}, {EffectFormat(), Effect(1)}});
    ShowSelected({In("a.txt"), In("one")}, {1});
    EXPECT_TRUE(PasteIntoWindow(Lists.item.wnd));
    EXPECT_TRUE(Exists("one\\a.txt"));
    SetBox(In("two") + "\\");
    EXPECT_TRUE(PasteIntoWindow(EditBox.wnd));
    EXPECT_TRUE(Exists("two\\a.txt"));
}

TEST_F(ShellExt, PasteNeedsAnExistingFolderFilesAndAnEffect) {
    MakeFile("a.txt", "A");
    MakeDir("to");
    // A file as the destination, a missing folder.
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(List({In("a.txt")}))}, {EffectFormat(), Effect(2)}});
    EXPECT_FALSE(PasteFiles(In("a.txt").c_str()));
    EXPECT_FALSE(PasteFiles(In("nothing").c_str()));
    ShowSelected({In("a.txt")}, {0});
    EXPECT_FALSE(PasteIntoWindow(Lists.item.wnd)) << "a selected file is no folder";
    EXPECT_TRUE(Exists("a.txt"));
    // Files without "Preferred DropEffect", or with 0.
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(List({In("a.txt")}))}});
    EXPECT_FALSE(PasteFiles(In("to").c_str()));
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(List({In("a.txt")}))}, {EffectFormat(), Effect(0)}});
    EXPECT_FALSE(PasteFiles(In("to").c_str()));
    // No files at all.
    PutOnClipboard(mainWnd, {{CF_TEXT, std::string("t", 2)}, {EffectFormat(), Effect(1)}});
    EXPECT_FALSE(PasteFiles(In("to").c_str()));
    EXPECT_FALSE(Exists("to\\a.txt"));
}

TEST_F(ShellExt, AWideListFromAnotherProgramIsPastedAndAnOverlongPathSkipped) {
    MakeFile("w.txt", "W");
    MakeFile("ok.txt", "K");
    MakeDir("to");
    std::wstring wide;
    for (char c : In("w.txt")) wide += (wchar_t)(unsigned char)c;
    wide += L'\0';
    wide += L'\0';
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(std::string((const char*)wide.data(), wide.size() * 2), true)},
                             {EffectFormat(), Effect(5)}});
    ASSERT_TRUE(PasteFiles(In("to").c_str()));
    EXPECT_EQ(ReadAll(In("to\\w.txt")), "W");

    // 300 bytes cannot pass through a path buffer: that one is left out, and
    // never cut into a shorter name that might exist.
    std::string overlong = In("ok.txt") + std::string(300 - In("ok.txt").size(), 'z');
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(List({overlong, In("ok.txt")}))},
                             {EffectFormat(), Effect(1)}});
    ASSERT_TRUE(PasteFiles(In("to").c_str()));
    EXPECT_EQ(ReadAll(In("to\\ok.txt")), "K");
}

TEST_F(ShellExt, CollectedDropListsLeaveOutWhatDoesNotFit) {
    std::string longName = "C:\\" + std::string(270, 'q');
    std::string block = DropBlock(List({"C:\\a", longName, "C:\\b"}));
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, block.size());
    memcpy(GlobalLock(mem), block.data(), block.size());
    GlobalUnlock(mem);
    char* list = CollectDroppedFiles((HDROP)mem);
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(std::string(list, FileListBytes(list)), List({"C:\\a", "C:\\b"}));
    MemFree(list);
    GlobalFree(mem);
}

TEST_F(ShellExt, ABlockWhoseListLiesOutsideIsRefusedBeforeTheShellReadsIt) {
    std::string offsetPast = DropBlock(List({"C:\\a"}));
    offsetPast[0] = '\0';
    offsetPast[3] = 0x40;  // the list would begin 1 GiB further on
    std::string unclosed = DropBlock(std::string("C:\\a\0C:\\b", 9));  // no closing NULs
    for (const std::string& block : {offsetPast, unclosed}) {
        HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, block.size());
        memcpy(GlobalLock(mem), block.data(), block.size());
        GlobalUnlock(mem);
        EXPECT_EQ(CollectDroppedFiles((HDROP)mem), nullptr) << block.size();
        GlobalFree(mem);
    }
}

// --- shortcuts --------------------------------------------------------------------------------

namespace {
std::string LinkTarget(const std::string& link) {
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&shellLink)))
        return "<no link object>";
    std::string target = "<not loaded>";
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

TEST_F(ShellExt, ShortcutsLieBesideTheirTargetsUnderTheFirstFreeName) {
    MakeFile("x.txt");
    MakeFile("y.txt");
    SetBox(In("x.txt"));
    EXPECT_EQ(MakeShortcutsFor(box), 1);
    EXPECT_EQ(LinkTarget(In("x.txt.lnk")), In("x.txt"));
    EXPECT_EQ(MakeShortcutsFor(box), 1);
    EXPECT_EQ(LinkTarget(In("x.txt(1).lnk")), In("x.txt"));
    EXPECT_EQ(LinkTarget(In("x.txt.lnk")), In("x.txt")) << "the first is not overwritten";

    ShowSelected({In("x.txt"), In("y.txt")}, {0, 1});
    EXPECT_EQ(MakeShortcutsFor(Lists.item.wnd), 2);
    EXPECT_EQ(LinkTarget(In("x.txt(2).lnk")), In("x.txt"));
    EXPECT_EQ(LinkTarget(In("y.txt.lnk")), In("y.txt"));
}

TEST_F(ShellExt, ShortcutsMadeInAFolderPointBack) {
    MakeFile("b.txt");
    MakeDir("t");
    EXPECT_EQ(MakeShortcutsInFolder(List({In("b.txt")}).c_str(), In("t").c_str()), 1);
    EXPECT_EQ(LinkTarget(In("t\\b.txt.lnk")), In("b.txt"));
}

TEST_F(ShellExt, ResolveShortcutGivesTheTargetAndLeavesTheBufferOtherwise) {
    MakeFile("x.txt");
    ASSERT_TRUE(CreateShortcut(In("x.txt").c_str(), In("x.lnk").c_str(), nullptr, nullptr, nullptr, 0));
    char out[SHELL_PATH_SIZE] = "untouched";
    EXPECT_TRUE(ResolveShortcut(In("x.lnk").c_str(), out, sizeof out));
    EXPECT_EQ(std::string(out), In("x.txt"));

    MakeFile("plain.lnk", "not a shortcut");
    strcpy(out, "untouched");
    EXPECT_FALSE(ResolveShortcut(In("plain.lnk").c_str(), out, sizeof out));
    EXPECT_STREQ(out, "untouched");
    EXPECT_FALSE(ResolveShortcut(In("missing.lnk").c_str(), out, sizeof out));
    EXPECT_STREQ(out, "untouched");
    // A target that does not fit the caller's buffer is not cut.
    char small[8] = "small";
    EXPECT_FALSE(ResolveShortcut(In("x.lnk").c_str(), small, sizeof small));
    EXPECT_STREQ(small, "small");
}

// --- programs opened on files -------------------------------------------------------------

TEST_F(ShellExt, AProgramDropTargetIsStartedWithTheQuotedFilesInItsFolder) {
    std::string record = In("record.txt");
    SetEnvironmentVariableA("VORN_RECORD_FILE", record.c_str());
    MakeDir("bin");
    ASSERT_TRUE(CopyFileA((ExeFolder() + "\\recorder.exe").c_str(), In("bin\\Tool.EXE").c_str(), FALSE));
    MakeFile("a b.txt");
    MakeFile("c.txt");
    EXPECT_TRUE(TransferToFolder(List({In("a b.txt"), In("c.txt")}).c_str(), TRANSFER_COPY,
                                 In("bin\\Tool.EXE").c_str()));
    DWORD start = GetTickCount();
    while (ReadAll(record).find('\n', ReadAll(record).find('\n') + 1) == std::string::npos &&
           GetTickCount() - start < 5000)
        Sleep(20);
    SetEnvironmentVariableA("VORN_RECORD_FILE", nullptr);
    std::string got = ReadAll(record);
    EXPECT_NE(got.find("\"" + In("a b.txt") + "\" " + In("c.txt") + " "), std::string::npos) << got;
    EXPECT_NE(got.find("\r\n" + In("bin")), std::string::npos) << got;
    EXPECT_FALSE(Exists("bin\\a b.txt")) << "opened, not copied";
}

TEST_F(ShellExt, ADropOnAFolderCopiesOrMoves) {
    MakeFile("a.txt");
    MakeFile("b.txt");
    MakeDir("to");
    EXPECT_TRUE(TransferToFolder(List({In("a.txt")}).c_str(), TRANSFER_COPY, In("to").c_str()));
    EXPECT_TRUE(Exists("a.txt") && Exists("to\\a.txt"));
    EXPECT_TRUE(TransferToFolder(List({In("b.txt")}).c_str(), TRANSFER_MOVE, In("to").c_str()));
    EXPECT_TRUE(!Exists("b.txt") && Exists("to\\b.txt"));
}

// --- the edit box menu ------------------------------------------------------------------------

TEST_F(ShellExt, EditMenuOfAnEmptyBoxHasTheTextMenuReloadAndExit) {
    SetBox("");
    HMENU menu = BuildEditMenu(box);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 4);
    EXPECT_EQ(ItemText(menu, 0), "文字列(&Q)");
    HMENU text = GetSubMenu(menu, 0);
    ASSERT_NE(text, nullptr);
    const struct {
        UINT id;
        const char* text;
    } textItems[] = {{(UINT)MenuIdOfCommand(CMD_UNDO), "文字列-元に戻す(&U)"},
                     {(UINT)MenuIdOfCommand(CMD_CUT), "文字列-切り取り(&X)"},
                     {(UINT)MenuIdOfCommand(CMD_COPY), "文字列-コピー(&C)"},
                     {(UINT)MenuIdOfCommand(CMD_PASTE), "文字列-貼り付け(&V)"},
                     {(UINT)MenuIdOfCommand(CMD_TEXT_DELETE), "文字列-削除(&D)"},
                     {(UINT)MenuIdOfCommand(CMD_SELECT_ALL), "文字列-全て選択(&A)"}};
    ASSERT_EQ(GetMenuItemCount(text), 6);
    for (int i = 0; i < 6; i++) {
        EXPECT_EQ(GetMenuItemID(text, i), textItems[i].id);
        EXPECT_EQ(ItemText(text, i), textItems[i].text);
    }
    EXPECT_EQ(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR, (UINT)MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(menu, 2), (UINT)MenuIdOfCommand(CMD_RELOAD));
    EXPECT_EQ(ItemText(menu, 2), "Reload(&L)");
    EXPECT_EQ(GetMenuItemID(menu, 3), (UINT)MenuIdOfCommand(CMD_EXIT));
    EXPECT_EQ(ItemText(menu, 3), "Exit(&E)");
    DestroyMenu(menu);
}

TEST_F(ShellExt, EditMenuOfAnExistingPathHasTheFileBlockAndTheShellMenu) {
    MakeFile("x.txt");
    SetBox(In("x.txt"));
    PutOnClipboard(mainWnd, {{CF_TEXT, std::string("t", 2)}});
    HMENU menu = BuildEditMenu(box);
    ASSERT_NE(menu, nullptr);
    const struct {
        UINT id;
        const char* text;
        bool greyed;
    } items[] = {{0, "文字列(&Q)", false},
                 {0, "", false},
                 {(UINT)MenuIdOfCommand(CMD_FILE_CUT), "切り取り(&T)", false},
                 {(UINT)MenuIdOfCommand(CMD_FILE_COPY), "コピー(&C)", false},
                 {(UINT)MenuIdOfCommand(CMD_FILE_PASTE), "張り付け(&P)", true},
                 {(UINT)MenuIdOfCommand(CMD_MAKE_SHORTCUT), "ショートカット作成(&S)", false},
                 {(UINT)MenuIdOfCommand(CMD_DELETE), "削除(&D)", false},
                 {(UINT)MenuIdOfCommand(CMD_RENAME), "名前変更(&M)", false},
                 {(UINT)MenuIdOfCommand(CMD_PROPERTIES), "プロパティ(&R)", false},
                 {0, "", false},
                 {(UINT)MenuIdOfCommand(CMD_SHELL_MENU), "シェルメニュー(&T)", false},
                 {0, "", false},
                 {(UINT)MenuIdOfCommand(CMD_RELOAD), "Reload(&L)", false},
                 {(UINT)MenuIdOfCommand(CMD_EXIT), "Exit(&E)", false}};
    ASSERT_EQ(GetMenuItemCount(menu), 14);
    for (int i = 0; i < 14; i++) {
        EXPECT_EQ(ItemText(menu, i), items[i].text) << i;
        if (items[i].id) {
            EXPECT_EQ(GetMenuItemID(menu, i), items[i].id) << i;
        }
        if (items[i].text[0]) {
            EXPECT_EQ(Greyed(menu, i), items[i].greyed) << i;
        }
    }
    DestroyMenu(menu);

    // Files on the clipboard enable the paste.
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(List({In("x.txt")}))}, {EffectFormat(), Effect(1)}});
    menu = BuildEditMenu(box);
    EXPECT_FALSE(Greyed(menu, 4));
    DestroyMenu(menu);
}

TEST_F(ShellExt, EditMenuOfAMissingNameOffersOnlyTheShellMenu) {
    SetBox(In("missing"));
    HMENU menu = BuildEditMenu(box);
    ASSERT_EQ(GetMenuItemCount(menu), 6);
    EXPECT_EQ(GetMenuItemID(menu, 2), (UINT)MenuIdOfCommand(CMD_SHELL_MENU));
    EXPECT_EQ(GetMenuItemID(menu, 4), (UINT)MenuIdOfCommand(CMD_RELOAD));
    DestroyMenu(menu);
}

TEST_F(ShellExt, TextMenuIsGreyedBySelectionUndoAndClipboard) {
    PutOnClipboard(mainWnd, {{CF_HDROP, DropBlock(List({"C:\\x"}))}});
    const struct {
        int start, end;
        bool cut, selectAll;
    } cases[] = {{0, 0, true, false}, {1, 3, false, false}, {0, -1, false, true}};
    for (const auto& c : cases) {
        SetBox("abcdef");
        SendMessageA(box, EM_EMPTYUNDOBUFFER, 0, 0);
        SendMessageA(box, EM_SETSEL, c.start, c.end);
        HMENU menu = BuildEditMenu(box);
        HMENU text = GetSubMenu(menu, 0);
        EXPECT_TRUE(Greyed(text, 0)) << "nothing to undo";
        EXPECT_EQ(Greyed(text, 1), c.cut) << c.start << "-" << c.end;
        EXPECT_EQ(Greyed(text, 2), c.cut);
        EXPECT_TRUE(Greyed(text, 3)) << "no text on the clipboard";
        EXPECT_EQ(Greyed(text, 4), c.cut);
        EXPECT_EQ(Greyed(text, 5), c.selectAll);
        DestroyMenu(menu);
    }
}

TEST_F(ShellExt, TextCopyFromTheMenuKeepsTextAndSelection) {
    SetBox("abcdef");
    SetForegroundWindow(box);
    SetFocus(box);
    ASSERT_EQ(GetFocus(), box);
    SendMessageA(box, EM_SETSEL, 1, 3);
    CommandTarget onBox = TargetOf(box);
    RunCommand(CMD_COPY, &onBox);
    DWORD start = 0, end = 0;
    SendMessageA(box, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    char text[16];
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "abcdef");
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 3u);
    EXPECT_EQ(ClipboardBytes(mainWnd, CF_TEXT).c_str(), std::string("bc"));
}

TEST_F(ShellExt, FileChoicesOfTheEditMenuActOnTheNamedPath) {
    MakeFile("x.txt", "X");
    MakeDir("to");
    SetBox(In("x.txt"));
    CommandTarget onBox = TargetOf(box);
    RunCommand(CMD_FILE_COPY, &onBox);
    EXPECT_EQ(ClipboardBytes(mainWnd, EffectFormat()), Effect(1));
    RunCommand(CMD_MAKE_SHORTCUT, &onBox);
    EXPECT_EQ(LinkTarget(In("x.txt.lnk")), In("x.txt"));
    SetBox(In("to"));
    RunCommand(CMD_FILE_PASTE, &onBox);
    EXPECT_EQ(ReadAll(In("to\\x.txt")), "X");
}

// --- the shell's context menu -------------------------------------------------------------

TEST_F(ShellExt, ParentFolderOfTheDesktopAFolderAndNothing) {
    IShellFolder* desktop = ParentFolderOf("");
    ASSERT_NE(desktop, nullptr);
    desktop->Release();
    IShellFolder* folder = ParentFolderOf(dir.c_str());
    ASSERT_NE(folder, nullptr);
    folder->Release();
    EXPECT_EQ(ParentFolderOf(In("missing").c_str()), nullptr);
}

namespace {

// What the timer saw of the open shell menu.
struct SeenMenu {
    std::vector<std::string> items;
    bool forwarded = false;  // the menu messages reached the shell's menu
    bool answered = false;   // the timer found and closed the menu
    RECT rect = {};
    const char* choose = nullptr;  // text of the item to choose (or null: close)
    bool pumping = false;          // requests to the main window were being kept
};
SeenMenu g_seen;

BOOL CALLBACK FindPopup(HWND wnd, LPARAM out) {
    char cls[16] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (strcmp(cls, "#32768") == 0 && IsWindowVisible(wnd)) {
        *(HWND*)out = wnd;
        return FALSE;
    }
    return TRUE;
}

void CALLBACK ReadShellMenu(HWND, UINT, UINT_PTR id, DWORD) {
    HWND popup = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), FindPopup, (LPARAM)&popup);
    if (!popup) return;
    KillTimer(nullptr, id);
    g_seen.answered = true;
    g_seen.pumping = InPumpingOperation();
    GetWindowRect(popup, &g_seen.rect);
    HMENU menu = (HMENU)SendMessageA(popup, MN_GETHMENU, 0, 0);
    // pick counts the items that Down stops at (separators are passed over).
    int pick = -1, stops = 0;
    for (int i = 0; menu && i < GetMenuItemCount(menu); i++) {
        g_seen.items.push_back(ItemText(menu, i));
        if (g_seen.items.back().empty()) continue;
        if (pick < 0 && g_seen.choose && g_seen.items.back().find(g_seen.choose) != std::string::npos)
            pick = stops;
        stops++;
    }
    g_seen.forwarded = ForwardShellMenuMessage(WM_INITMENUPOPUP, (WPARAM)menu, 0) != -1;
    if (pick < 0) {
        EndMenu();
        return;
    }
    // The menu loop takes keys of this thread: Down to the item, then Enter.
    HWND owner = GetFocus() ? GetFocus() : popup;
    for (int i = 0; i <= pick; i++) PostMessageA(owner, WM_KEYDOWN, VK_DOWN, 0);
    PostMessageA(owner, WM_KEYDOWN, VK_RETURN, 0);
}

}  // namespace

TEST_F(ShellExt, ShellMenuForTheBoxPathOpensAtTheBoxCentreWithTheShellsEntries) {
    MakeFile("x.txt");
    SetBox(In("x.txt"));
    g_seen = SeenMenu();
    SetTimer(nullptr, 0, 50, ReadShellMenu);
    EXPECT_FALSE(ShowShellMenuOf(box, 0, 0)) << "closed without a choice";
    ASSERT_TRUE(g_seen.answered);
    std::string all;
    for (auto& s : g_seen.items) all += "[" + s + "]";
    EXPECT_GE(g_seen.items.size(), 3u) << all;
    EXPECT_TRUE(g_seen.forwarded);
    EXPECT_TRUE(g_seen.pumping) << "a close or reload meanwhile waits for the menu";
    EXPECT_EQ(ForwardShellMenuMessage(WM_INITMENUPOPUP, 0, 0), -1) << "inactive once closed";
    RECT boxRc;
    GetWindowRect(box, &boxRc);
    EXPECT_EQ(g_seen.rect.left, boxRc.left + (boxRc.right - boxRc.left) / 2) << all;
    EXPECT_EQ(g_seen.rect.top, boxRc.top + (boxRc.bottom - boxRc.top) / 2);
    printf("shell menu of a file: %s\n", all.c_str());
}

TEST_F(ShellExt, AVerbChosenFromTheShellMenuActsOnTheItems) {
    MakeFile("x.txt");
    SetBox(In("x.txt"));
    PutOnClipboard(mainWnd, {{CF_TEXT, std::string("t", 2)}});
    g_seen = SeenMenu();
    g_seen.choose = "コピー";
    SetTimer(nullptr, 0, 50, ReadShellMenu);
    EXPECT_TRUE(ShowShellMenuOf(box, 10, 10));
    ASSERT_TRUE(g_seen.answered);
    EXPECT_EQ(g_seen.rect.left, 10);
    // The shell's own block may be wide: read it through the shell.
    std::string first;
    ASSERT_TRUE(OpenClipboard(mainWnd));
    HDROP drop = (HDROP)GetClipboardData(CF_HDROP);
    char path[MAX_PATH] = "";
    if (drop && DragQueryFileA(drop, 0, path, sizeof path)) first = path;
    CloseClipboard();
    EXPECT_EQ(first, In("x.txt"));
}

TEST_F(ShellExt, ADriveGetsTheShellMenuThroughTheFolderThatHoldsIt) {
    SetBox("C:\\");
    g_seen = SeenMenu();
    SetTimer(nullptr, 0, 50, ReadShellMenu);
    ShowShellMenuOf(box, 0, 0);
    ASSERT_TRUE(g_seen.answered) << "no menu for a drive";
    EXPECT_FALSE(g_seen.items.empty());
}

// --- the properties sheet -------------------------------------------------------------------

namespace {
// What the properties call was asked; the sheet itself is the shell's.
struct PropertiesAsked {
    int calls = 0;
    ULONG mask = 0;
    HWND owner = nullptr;
    std::string verb, file;
};
PropertiesAsked g_asked;
BOOL WINAPI RecordProperties(SHELLEXECUTEINFOA* info) {
    g_asked.calls++;
    g_asked.mask = info->fMask;
    g_asked.owner = info->hwnd;
    g_asked.verb = info->lpVerb ? info->lpVerb : "";
    g_asked.file = info->lpFile ? info->lpFile : "";
    return TRUE;
}
struct PropertiesRecorder {
    BOOL(WINAPI* saved)(SHELLEXECUTEINFOA*);
    PropertiesRecorder() : saved(PropertiesCall) {
        g_asked = PropertiesAsked();
        PropertiesCall = RecordProperties;
    }
    ~PropertiesRecorder() { PropertiesCall = saved; }
};
}  // namespace

TEST_F(ShellExt, PropertiesAreAskedForTheBoxPathAndTheFirstSelectedRow) {
    PropertiesRecorder recorder;
    MakeFile("x.txt");
    MakeFile("y.txt");
    SetBox(In("x.txt"));
    EXPECT_TRUE(ShowPropertiesOf(box));
    EXPECT_EQ(g_asked.calls, 1);
    EXPECT_EQ(g_asked.verb, "properties");
    EXPECT_EQ(g_asked.file, In("x.txt"));
    EXPECT_EQ(g_asked.owner, box);
    EXPECT_TRUE(g_asked.mask & SEE_MASK_INVOKEIDLIST);

    ShowSelected({In("x.txt"), In("y.txt")}, {1});
    EXPECT_TRUE(ShowPropertiesOf(Lists.item.wnd));
    EXPECT_EQ(g_asked.calls, 2);
    EXPECT_EQ(g_asked.file, In("y.txt"));
    EXPECT_EQ(g_asked.owner, Lists.item.wnd);
}

TEST_F(ShellExt, NoPropertiesForAnEmptyBoxOrAListWithoutSelection) {
    PropertiesRecorder recorder;
    SetBox("");
    EXPECT_FALSE(ShowPropertiesOf(box));
    MakeFile("x.txt");
    ShowSelected({In("x.txt")}, {});
    EXPECT_FALSE(ShowPropertiesOf(Lists.item.wnd));
    EXPECT_FALSE(ShowPropertiesOf(nullptr));
    EXPECT_EQ(g_asked.calls, 0);
}
