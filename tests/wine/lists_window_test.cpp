// In-process tests of the list windows against real list-view controls: the
// placement arithmetic, the display of a row (text, icon), the item paths,
// filtering with its refresh, taking and opening items, and the list menu.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string.h>

#include <string>
#include <vector>

#include "common/winutil.h"
#include "common/itemarray.h"
#include "launcher/lists/listinput.h"
#include "launcher/lists/listselect.h"
#include "launcher/lists/listwnd.h"
#include "launcher/lists/search.h"
#include "common/fileio.h"
#include "launcher/editbox/savedtext.h"
#include "shell_windows.h"
#include "test_files.h"

namespace {

RECT Rect(int l, int t, int r, int b) {
    RECT rc = {l, t, r, b};
    return rc;
}

// The head of a CF_HDROP block (the layout of the shell's DROPFILES).
struct FileDropHeader {
    DWORD pFiles;
    POINT pt;
    BOOL fNC;
    BOOL fWide;
};

int CountOf(const std::string& text, const std::string& part) {
    int n = 0;
    for (size_t i = text.find(part); i != std::string::npos; i = text.find(part, i + 1)) n++;
    return n;
}

}  // namespace

// --- placement arithmetic ----------------------------------------------------------

TEST(ListPlacement, BelowTheBoxLeftAlignedAndAsHighAsItsRows) {
    RECT box = Rect(100, 100, 400, 125), desk = Rect(0, 0, 1280, 1024);
    ListPlacement p = ComputeItemListPlacement(box, desk, 20, 3, 13, 3, 17, 25, 0, false);
    EXPECT_EQ(p.left, 100);
    EXPECT_EQ(p.top, 125);
    EXPECT_EQ(p.height, 3 * 13 + 3);
    EXPECT_EQ(p.columnWidth, 20 * 6 + 3 + 22);
    EXPECT_EQ(p.width, p.columnWidth + 3) << "no scroll bar";
    EXPECT_FALSE(p.above);
}

TEST(ListPlacement, MoreRowsThanLinemaxGiveLinemaxRowsAndAScrollBar) {
    RECT box = Rect(0, 0, 300, 25), desk = Rect(0, 0, 1280, 1024);
    ListPlacement p = ComputeItemListPlacement(box, desk, 10, 40, 13, 3, 17, 25, 0, false);
    EXPECT_EQ(p.height, 25 * 13 + 3);
    EXPECT_EQ(p.width, p.columnWidth + 3 + 17);
    // No rows still makes a one-row list.
    ListPlacement empty = ComputeItemListPlacement(box, desk, 0, 0, 13, 3, 17, 25, 0, false);
    EXPECT_EQ(empty.height, 13 + 3);
}

TEST(ListPlacement, NoRoomBelowPutsItAboveAndTheFlagKeepsItThere) {
    RECT box = Rect(0, 900, 300, 925), desk = Rect(0, 0, 1280, 1024);
    ListPlacement p = ComputeItemListPlacement(box, desk, 10, 16, 13, 3, 17, 25, 0, false);
    EXPECT_TRUE(p.above);
    EXPECT_EQ(p.top + p.height, 900);
    // Two rows would fit below, but a list placed above stays above.
    ListPlacement again = ComputeItemListPlacement(box, desk, 10, 2, 13, 3, 17, 25, 0, true);
    EXPECT_TRUE(again.above);
    EXPECT_EQ(again.top, 900 - (2 * 13 + 3));
    ListPlacement fresh = ComputeItemListPlacement(box, desk, 10, 2, 13, 3, 17, 25, 0, false);
    EXPECT_FALSE(fresh.above);
    EXPECT_EQ(fresh.top, 925);
}

TEST(ListPlacement, WidthIsCappedByListwmaxAndTheDesktop) {
    RECT box = Rect(0, 0, 300, 25), desk = Rect(0, 0, 640, 480);
    ListPlacement capped = ComputeItemListPlacement(box, desk, 200, 2, 13, 3, 17, 25, 30, false);
    EXPECT_EQ(capped.columnWidth, 30 * 6 + 3 + 22);
    ListPlacement longer = ComputeItemListPlacement(box, desk, 10, 2, 13, 3, 17, 25, 30, false);
    EXPECT_EQ(longer.columnWidth, 10 * 6 + 3 + 22) << "listwmax only shortens";
    ListPlacement wide = ComputeItemListPlacement(box, desk, 200, 2, 13, 3, 17, 25, 0, false);
    EXPECT_EQ(wide.width, 640) << "never wider than the desktop";
}

// --- the windows ------------------------------------------------------------------------

class ListWindows : public ShellWindows {
   protected:
    void SetUp() override {
        ShellWindows::SetUp();
        savedLists = Lists;
        memset(&Lists, 0, sizeof Lists);
        ResetSettings();
        Settings.icon = 0;
        Settings.alpha = 100;
        Settings.linemax = 25;
        Settings.exemode = 1;  // keep the box after a run
        Settings.tray = 0;
        INITCOMMONCONTROLSEX cc = {sizeof cc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&cc);
    }
    void TearDown() override {
        DestroyListWindows();
        DiscardSavedText();
        Lists = savedLists;
        ShellWindows::TearDown();
    }
    void Create(void) { ASSERT_TRUE(CreateListWindows(mainWnd, box)); }
    // Fills the shared array with texts as kind and shows it in the item list.
    void Show(ListKind kind, std::vector<std::string> texts, bool multi = false) {
        ASSERT_EQ(AllocItems(&Lists.item.array, (int32_t)texts.size()), 1);
        for (size_t i = 0; i < texts.size(); i++)
            SetListItem(&Lists.item.array.items[i], texts[i].c_str(), ItemFile);
        Lists.item.array.count = (int32_t)texts.size();
        Lists.item.kind = kind;
        FillItemList();
        if (multi) SetItemListMultiSelect(true);
        PlaceItemList(Lists.item.array.count);
    }
    // Asks for a row's text and image as the control does.
    std::string RowText(int row, int room, int* image = nullptr) {
        char buf[600] = "";
        NMLVDISPINFOA info;
        memset(&info, 0, sizeof info);
        info.hdr.hwndFrom = Lists.item.wnd;
        info.hdr.code = LVN_GETDISPINFOA;
        info.item.mask = LVIF_TEXT | LVIF_IMAGE;
        info.item.iItem = row;
        info.item.iImage = -7;
        info.item.pszText = buf;
        info.item.cchTextMax = room;
        HandleListNotify(&info.hdr);
        if (image) *image = info.item.iImage;
        return buf;
    }
    void SelectRows(std::vector<int> rows) {
        for (int row : rows) {
            LVITEMA item;
            memset(&item, 0, sizeof item);
            item.state = item.stateMask = LVIS_SELECTED;
            SendMessageA(Lists.item.wnd, LVM_SETITEMSTATE, row, (LPARAM)&item);
        }
    }
    ListState savedLists;
};

TEST_F(ListWindows, FillPlaceAndHideTheItemList) {
    Create();
    Show(LK_Favorites, {"C:\\a", "C:\\bbbbbbbbbb", "C:\\c"});
    HWND list = Lists.item.wnd;
    EXPECT_TRUE(IsWindowVisible(list));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(Lists.item.longest, 0) << "reset after the placement";
    RECT rc, boxRc;
    GetWindowRect(list, &rc);
    GetWindowRect(box, &boxRc);
    EXPECT_EQ(rc.top, boxRc.bottom);
    EXPECT_EQ(rc.left, boxRc.left);
    EXPECT_EQ(SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0),
              13 * 6 + GetSystemMetrics(SM_CXFIXEDFRAME) + 22);
    EXPECT_EQ(VisibleListWindow(), list);
    EXPECT_TRUE(IsListWindow(list));
    EXPECT_TRUE(IsListWindow(Lists.folder.wnd));
    EXPECT_FALSE(IsListWindow(box));

    HideItemList();
    EXPECT_FALSE(IsWindowVisible(list));
    EXPECT_EQ(Lists.item.array.items, nullptr);
    EXPECT_EQ(Lists.item.kind, LK_None);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(GetWindowLongA(list, GWL_STYLE) & LVS_SINGLESEL) << "single selection again";
    EXPECT_EQ(VisibleListWindow(), nullptr);
}

// Whenever the box comes to the front the system moves the windows it owns,
// hidden ones too: a list belongs to the box only while it is on show, and
// then lies above it.
TEST_F(ListWindows, AListIsOwnedByTheBoxOnlyWhileOnShow) {
    Create();
    ShowWindow(box, SW_SHOWNOACTIVATE);
    for (HWND list : {Lists.item.wnd, Lists.folder.wnd}) {
        EXPECT_EQ(GetWindow(list, GW_OWNER), nullptr) << "made hidden";
        ShowWindow(list, SW_SHOWNA);
        EXPECT_EQ(GetWindow(list, GW_OWNER), box);
        bool above = false;
        for (HWND w = GetWindow(box, GW_HWNDPREV); w && !above; w = GetWindow(w, GW_HWNDPREV))
            above = w == list;
        EXPECT_TRUE(above) << "the list lies above the box";
        ShowWindow(list, SW_HIDE);
        EXPECT_EQ(GetWindow(list, GW_OWNER), nullptr) << "hidden again";
    }
}

TEST_F(ListWindows, AnArrayShownInTheItemListTakesItsPlaceInOneOrder) {
    Create();
    const struct {
        ListKind kind;
        int textMode;
        bool severalRows;
        const char* saved;  // the text put aside afterwards
    } cases[] = {
        {LK_History, ILT_PUT_ASIDE, true, "typed"},
        {LK_BuiltIn, ILT_PUT_ASIDE, false, "typed"},
        {LK_Default, ILT_EMPTY, true, "earlier"},
        {LK_Search, ILT_EMPTY, true, "earlier"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.kind);
        Show(LK_Favorites, {"C:\\old"}, true);
        SetSavedText("earlier");
        SetWindowTextA(box, "typed");
        SetFlags(SF_USER_DELETED);
        ItemArray array = {};
        ASSERT_EQ(1, AppendItem(&array, "C:\\a", ItemFile));
        ASSERT_EQ(1, AppendItem(&array, "C:\\b", ItemFile));
        ASSERT_TRUE(ShowInItemList(c.kind, &array, c.textMode, box, 3));
        EXPECT_EQ(nullptr, array.items) << "the item list took the array";
        EXPECT_EQ(c.kind, ItemListKindOnShow());
        EXPECT_EQ(2, SendMessageA(ItemListWindow(), LVM_GETITEMCOUNT, 0, 0));
        EXPECT_EQ(c.severalRows, !(GetWindowLongA(ItemListWindow(), GWL_STYLE) & LVS_SINGLESEL));
        char text[16], saved[16];
        GetWindowTextA(box, text, sizeof text);
        EXPECT_STREQ("", text);
        CopySavedText(saved, sizeof saved);
        EXPECT_STREQ(c.saved, saved);
        EXPECT_FALSE(AnyFlag(SF_USER_DELETED)) << "the new list starts unfiltered";
    }
}

TEST_F(ListWindows, NewRowsComeWithNoSelectionNoFocusAndRowZeroAtTheTop) {
    Create();
    std::vector<std::string> texts;
    for (int i = 0; i < 300; i++) texts.push_back("C:\\f" + std::to_string(i));
    Show(LK_History, texts, true);
    HWND list = Lists.item.wnd;
    for (int many : {2, 100}) {
        SCOPED_TRACE(many);
        std::vector<int> rows;
        for (int i = 0; i < many; i++) rows.push_back(150 + i);
        SelectRows(rows);
        LVITEMA focus = {};
        focus.state = focus.stateMask = LVIS_FOCUSED;
        SendMessageA(list, LVM_SETITEMSTATE, 151, (LPARAM)&focus);
        SendMessageA(list, LVM_ENSUREVISIBLE, 200, FALSE);
        ASSERT_GT(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);

        ReplaceListRows(list, 250);
        EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 250);
        EXPECT_EQ(SendMessageA(list, LVM_GETSELECTEDCOUNT, 0, 0), 0);
        EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED), -1);
        EXPECT_EQ(SendMessageA(list, LVM_GETTOPINDEX, 0, 0), 0);
    }
}

TEST_F(ListWindows, RowTextIsShortenedToListwmaxAndTwoLessWithIcons) {
    Create();
    std::string longText = "C:\\" + std::string(60, 'x') + "\\end.txt";
    Show(LK_History, {"C:\\short", longText});
    int image = 0;
    EXPECT_EQ(RowText(0, 260, &image), "C:\\short");
    EXPECT_EQ(image, -1) << "no icon with icon 0";
    EXPECT_EQ(RowText(1, 260), longText) << "the room of the control holds it";
    Settings.listwmax = 20;
    std::string cut = RowText(1, 260);
    EXPECT_LE(cut.size(), 21u) << "about listwmax bytes";
    EXPECT_GE(cut.size(), 19u);
    EXPECT_NE(cut, longText);
    EXPECT_EQ(cut.substr(0, 3), "C:\\");
    EXPECT_EQ(cut.substr(cut.size() - 3), "txt");
    Settings.icon = 1;
    EXPECT_EQ(RowText(1, 260).size(), cut.size() - 2) << "2 characters fewer with icons";
    EXPECT_EQ(RowText(5, 260), "") << "no item at that row";
}

TEST_F(ListWindows, BuiltinListGetsTheProgramsIconOnceWithIconOne) {
    Settings.icon = 1;
    HINSTANCE exe = Shell.instance;
    // The program's own icon lives in vorn.exe: load that as the instance.
    Shell.instance = LoadLibraryExA((ExeFolder() + "\\vorn.exe").c_str(), nullptr,
                                    LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(Shell.instance, nullptr) << "vorn.exe must be built beside the tests";
    Create();
    ASSERT_NE(Lists.images, nullptr);
    Show(LK_BuiltIn, {"#Exit", "#Ver"});
    int first = -5, second = -5;
    RowText(0, 260, &first);
    RowText(1, 260, &second);
    EXPECT_EQ(first, 0);
    EXPECT_EQ(second, 0);
    EXPECT_EQ(ImageList_GetImageCount(Lists.images), 1);
    HideItemList();
    EXPECT_EQ(ImageList_GetImageCount(Lists.images), 0) << "icons go with the list";
    DestroyListWindows();
    FreeLibrary(Shell.instance);
    Shell.instance = exe;
}

TEST_F(ListWindows, ItemPathsAndFullPaths) {
    Create();
    std::string longText(200, 'p');
    Show(LK_Favorites, {"C:\\one", longText});
    char buf[300];
    EXPECT_TRUE(ItemPathAt(Lists.item.wnd, 0, buf, sizeof buf));
    EXPECT_STREQ(buf, "C:\\one");
    char small[50] = "stale";
    EXPECT_FALSE(ItemPathAt(Lists.item.wnd, 1, small, sizeof small)) << "does not fit";
    EXPECT_STREQ(small, "") << "no cut or stale text is handed out";
    EXPECT_FALSE(ItemPathAt(Lists.item.wnd, 7, buf, sizeof buf));
    EXPECT_STREQ(buf, "");

    EXPECT_TRUE(FullPathOf("C:\\x", LK_History, buf, sizeof buf));
    EXPECT_STREQ(buf, "C:\\x");
    EXPECT_FALSE(FullPathOf("x", LK_BuiltIn, buf, sizeof buf));
    EXPECT_FALSE(FullPathOf("x", LK_Search, buf, sizeof buf)) << "no search folder recorded";
    SetWindowTextA(box, "C:/dir/na");
    EXPECT_TRUE(FullPathOf("name.txt", LK_Folder, buf, sizeof buf));
    EXPECT_STREQ(buf, "C:\\dir\\name.txt");
    SetFlags(SF_FOLDER_FRESH);
    EXPECT_TRUE(FullPathOf("D:\\", LK_Folder, buf, sizeof buf)) << "drive list";
    EXPECT_STREQ(buf, "D:\\");
    ClearFlags(SF_FOLDER_FRESH);

    SelectRows({0});
    EXPECT_TRUE(FullPathOfRow(&Lists.item, FirstSelectedRow(Lists.item.wnd), buf, sizeof buf));
    EXPECT_STREQ(buf, "C:\\one");
}

TEST_F(ListWindows, SelectedRowsAreCollectedAsFullPathsInListOrder) {
    Create();
    // Search results are relative to the folder searched.
    FreeSearchResults();
    Search.base = MemDupString("C:\\base\\");
    std::string tooLong = std::string(240, 'a') + "\\" + std::string(20, 'b');
    Show(LK_Search, {"one", "sub\\two", tooLong, "three"}, true);
    SelectRows({3, 0, 2, 1});
    int count = 0;
    char* paths = CollectSelectedPaths(Lists.item.wnd, &count);
    ASSERT_NE(paths, nullptr);
    EXPECT_EQ(count, 3) << "a path longer than a path can be is left out, not cut";
    std::vector<std::string> got;
    for (const char* p = paths; *p; p += strlen(p) + 1) got.push_back(p);
    EXPECT_EQ(got, (std::vector<std::string>{"C:\\base\\one", "C:\\base\\sub\\two",
                                             "C:\\base\\three"}));
    MemFree(paths);
    FreeSearchResults();
    // Nothing selected: no block.
    LVITEMA none;
    memset(&none, 0, sizeof none);
    none.stateMask = LVIS_SELECTED;
    SendMessageA(Lists.item.wnd, LVM_SETITEMSTATE, (WPARAM)-1, (LPARAM)&none);
    EXPECT_EQ(CollectSelectedPaths(Lists.item.wnd, &count), nullptr);
    EXPECT_EQ(count, 0);
    EXPECT_EQ(CollectSelectedPaths(box, &count), nullptr) << "not a list window";
}

TEST_F(ListWindows, AnItemTheShellHasNoIconForIsNotAskedAgain) {
    Settings.icon = 1;
    Create();
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    std::string later = std::string(temp) + "vorn_icon_later.txt";
    DeleteFileA(later.c_str());
    Show(LK_Favorites, {later});
    int image = 0;
    RowText(0, 100, &image);
    EXPECT_EQ(image, -1);
    EXPECT_NE(Lists.item.array.items[0].flags & ItemNoIcon, 0u) << "the failure is remembered";
    // Once the shell could answer, a repaint still does not ask it again
    // (an offline share would block every repaint).
    WriteText(later, "x");
    int before = ImageList_GetImageCount(Lists.images);
    RowText(0, 100, &image);
    EXPECT_EQ(image, -1);
    EXPECT_EQ(ImageList_GetImageCount(Lists.images), before);
    DeleteFileA(later.c_str());
}

TEST_F(ListWindows, APathTooLongForTheBoxIsRefusedNotCut) {
    Create();
    SetWindowTextA(box, "typed");
    std::string longPath = "C:\\" + std::string(258, 'x');  // 261 bytes
    Show(LK_Favorites, {longPath});
    SelectRows({0});
    TakeSelection(box, Lists.item.wnd);
    char text[400];
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "typed") << "the box keeps its text";
    EXPECT_TRUE(IsWindowVisible(Lists.item.wnd)) << "the list stays for another choice";
}

TEST_F(ListWindows, FilterRefreshKeepsAVisibleOneRowListWhenNothingMatches) {
    Create();
    Show(LK_Favorites, {"C:\\Alpha\\x.txt", "C:\\beta", "C:\\ALPHA\\gamma"});
    HWND list = Lists.item.wnd;
    SetWindowTextA(box, "alpha");
    FilterItemList(box);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3) << "runs only after user typing";
    SetFlags(SF_USER_DELETED);
    FilterItemList(box);
    EXPECT_FALSE(AnyFlag(SF_USER_DELETED));
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 2);
    EXPECT_EQ(RowText(1, 260), "C:\\ALPHA\\gamma");

    SetWindowTextA(box, "nothing");
    SetFlags(SF_USER_DELETED);
    FilterItemList(box);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 0);
    EXPECT_TRUE(IsWindowVisible(list));
    RECT rc;
    GetWindowRect(list, &rc);
    EXPECT_GT(rc.bottom - rc.top, GetSystemMetrics(SM_CXFIXEDFRAME));

    SetWindowTextA(box, "");
    SetFlags(SF_USER_DELETED);
    FilterItemList(box);
    EXPECT_EQ(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0), 3) << "empty text shows all";
}

TEST_F(ListWindows, TakingOneItemPutsItIntoTheBoxAndHidesTheList) {
    Create();
    Show(LK_Favorites, {"C:\\a\\..\\b\\c.txt", "C:\\z"});
    SelectRows({0});
    TakeSelection(box, Lists.item.wnd);
    PumpMessages();
    char text[300];
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "C:\\b\\c.txt") << "normalised, not run";
    EXPECT_FALSE(IsWindowVisible(Lists.item.wnd));
    EXPECT_TRUE(AnyFlag(SF_TEXT_BY_PROGRAM));
    EXPECT_TRUE(AnyFlag(SF_HANDED_TEXT));
}

TEST_F(ListWindows, EscInTheItemListRestoresTheSavedText) {
    Create();
    SetWindowTextA(box, "typed before");
    StashSavedText();
    Show(LK_History, {"C:\\a"});
    SendMessageA(Lists.item.wnd, WM_KEYDOWN, VK_ESCAPE, 0);
    char text[300];
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "typed before");
    EXPECT_FALSE(IsWindowVisible(Lists.item.wnd));
}

TEST_F(ListWindows, TypeAheadSelectsThePrefixAndBeepsWithoutChangingOnNoMatch) {
    Create();
    Show(LK_History, {"Cat", "dog", "Cow", "crow"});
    HWND list = Lists.item.wnd;
    EXPECT_TRUE(TypeAhead(list, 'c'));
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED), 2)
        << "row 0 taken first, the search goes on after it";
    EXPECT_TRUE(TypeAhead(list, 'r'));
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED), 3);
    EXPECT_TRUE(TypeAhead(list, 'q')) << "consumed even when nothing matches";
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED), 3);
    EXPECT_FALSE(TypeAhead(list, '\t')) << "not a path character";
    // The reset timer frees the buffer: a new search starts.
    SendMessageA(list, WM_TIMER, ID_TIMER_TYPEAHEAD, 0);
    EXPECT_TRUE(TypeAhead(list, 'd'));
    EXPECT_EQ(SendMessageA(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_SELECTED), 1);
}

TEST_F(ListWindows, PasteIsGreyedUnlessTheClipboardHoldsFiles) {
    ASSERT_TRUE(OpenClipboard(mainWnd));
    EmptyClipboard();
    CloseClipboard();
    HMENU menu = BuildListMenu();
    ASSERT_NE(menu, nullptr);
    EXPECT_EQ(GetMenuItemCount(menu), 12);
    char text[64] = "";
    GetMenuStringA(menu, 5, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "張り付け(&P)");
    EXPECT_TRUE(GetMenuState(menu, 5, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_TRUE(GetMenuState(menu, 2, MF_BYPOSITION) & MF_SEPARATOR);
    GetMenuStringA(menu, 11, text, sizeof text, MF_BYPOSITION);
    EXPECT_STREQ(text, "シェルメニュー(&T)");
    DestroyMenu(menu);

    // A file list on the clipboard enables it.
    const char path[] = "C:\\x.txt\0";
    HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(FileDropHeader) + sizeof path + 1);
    ASSERT_NE(mem, nullptr);
    FileDropHeader* drop = (FileDropHeader*)GlobalLock(mem);
    drop->pFiles = sizeof(FileDropHeader);
    memcpy((char*)drop + sizeof(FileDropHeader), path, sizeof path);
    GlobalUnlock(mem);
    ASSERT_TRUE(OpenClipboard(mainWnd));
    EmptyClipboard();
    SetClipboardData(CF_HDROP, mem);
    CloseClipboard();
    menu = BuildListMenu();
    EXPECT_FALSE(GetMenuState(menu, 5, MF_BYPOSITION) & MF_GRAYED);
    DestroyMenu(menu);
    OpenClipboard(mainWnd);
    EmptyClipboard();
    CloseClipboard();
}

// --- opening several items with the recorder ------------------------------------------------

class ListOpen : public ListWindows {
   protected:
    void SetUp() override {
        ListWindows::SetUp();
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        root = std::string(temp) + "vorn_lists_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
        recorder = root + "\\rec.exe";
        ASSERT_TRUE(CopyFileA((ExeFolder() + "\\recorder.exe").c_str(), recorder.c_str(), FALSE));
        recordFile = root + "\\record.txt";
        SetEnvironmentVariableA("VORN_RECORD_FILE", recordFile.c_str());
        SetRegString(".vornlist", "vornlist_file");
        SetRegString("vornlist_file\\shell\\open\\command", ("\"" + recorder + "\" \"%1\"").c_str());
        for (const char* name : {"one.vornlist", "two.vornlist", "three.vornlist"}) {
            docs.push_back(root + "\\" + name);
            WriteText(docs.back(), "x");
        }
    }
    void TearDown() override {
        SetEnvironmentVariableA("VORN_RECORD_FILE", nullptr);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "vornlist_file");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".vornlist");
        for (int i = 0; i < 300; i++) {
            bool gone = true;
            for (const std::string& f : docs) DeleteFileA(f.c_str());
            for (const std::string& f : {recordFile, recorder})
                if (!DeleteFileA(f.c_str()) && GetFileAttributesA(f.c_str()) != INVALID_FILE_ATTRIBUTES)
                    gone = false;
            if (gone) break;
            Sleep(10);
        }
        RemoveDirectoryA(root.c_str());
        ListWindows::TearDown();
    }
    static void SetRegString(const std::string& key, const char* value) {
        HKEY k;
        ASSERT_EQ(RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr,
                                  &k, nullptr),
                  ERROR_SUCCESS);
        RegSetValueExA(k, nullptr, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1);
        RegCloseKey(k);
    }
    // Waits until the record file names each document (the starts do not wait).
    bool RecordedAll(std::vector<std::string> names) {
        for (int waited = 0; waited < 5000; waited += 20) {
            std::string text = ReadAll(recordFile);
            bool all = true;
            for (const std::string& n : names) all = all && CountOf(text, n) == 1;
            if (all) return true;
            Sleep(20);
        }
        return false;
    }
    std::string root, recorder, recordFile;
    std::vector<std::string> docs;
};

TEST_F(ListOpen, EnterWithSeveralSelectedItemsRunsThemAll) {
    Create();
    Show(LK_Favorites, {docs[0], root + "\\missing.vornlist", docs[1], docs[2]}, true);
    SetWindowTextA(box, "");
    SetSavedText("before");
    SelectRows({0, 1, 2, 3});
    ASSERT_EQ(ListCountSelected(Lists.item.wnd), 4);
    TakeSelection(box, Lists.item.wnd);
    EXPECT_TRUE(RecordedAll({"one.vornlist", "two.vornlist", "three.vornlist"}))
        << ReadAll(recordFile);
    EXPECT_EQ(CountOf(ReadAll(recordFile), "missing"), 0);
    EXPECT_FALSE(IsWindowVisible(Lists.item.wnd)) << "hidden after a success";
    char text[300];
    GetWindowTextA(box, text, sizeof text);
    EXPECT_STREQ(text, "before") << "the saved text comes back";
}

TEST_F(ListOpen, OpenSelectionJoinsTheSearchFolderAndCountsTheStarts) {
    Create();
    // Search results are relative to the folder searched.
    FreeSearchResults();
    Search.base = MemDupString((root + "\\").c_str());
    Show(LK_Search, {"one.vornlist", "nothere.vornlist", "three.vornlist"}, true);
    SelectRows({0, 1, 2});
    EXPECT_EQ(OpenSelection(), 2);
    FreeSearchResults();
    EXPECT_TRUE(RecordedAll({"one.vornlist", "three.vornlist"})) << ReadAll(recordFile);
}
