// In-process tests of the History in the item list: what its rows hold
// (folder or file with fldclass 1, double-byte marks), the on/off switch with
// the text put aside and given back, nothing shown when there is nothing to
// show, and "#FreeHistory" taking a History list on show away.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>

#include "launcher/editbox/savedtext.h"
#include "launcher/lists/history.h"
#include "launcher/lists/historylist.h"
#include "common/itemarray.h"
#include "launcher/lists/listwnd.h"
#include "shell_windows.h"

namespace {

std::string TextOfBox(HWND wnd) {
    char buf[300] = "";
    GetWindowTextA(wnd, buf, sizeof buf);
    return buf;
}

}  // namespace

class HistoryListWindows : public ShellWindows {
   protected:
    void SetUp() override {
        ShellWindows::SetUp();
        savedLists = Lists;
        memset(&Lists, 0, sizeof Lists);
        Settings.icon = 0;
        Settings.alpha = 100;
        Settings.linemax = 25;
        Settings.his.fldclass = 1;
        INITCOMMONCONTROLSEX cc = {sizeof cc, ICC_LISTVIEW_CLASSES};
        InitCommonControlsEx(&cc);
        ASSERT_TRUE(CreateListWindows(mainWnd, box));
        SetWindowTextA(box, "typed");
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        tempDir = temp;
        if (!tempDir.empty() && tempDir.back() == '\\') tempDir.pop_back();
    }
    void TearDown() override {
        FreeHistory();
        DestroyListWindows();
        DiscardSavedText();
        Lists = savedLists;
        ShellWindows::TearDown();
    }
    bool Shown(void) const { return Lists.item.wnd && IsWindowVisible(Lists.item.wnd); }
    ListState savedLists;
    std::string tempDir;
};

TEST_F(HistoryListWindows, RowsAreTheEntriesNewestFirstMarkedFolderOrFile) {
    ASSERT_EQ(1, ResetHistory(5));
    std::string missing = tempDir + "\\vorn_history_missing_entry";
    std::string wide = "C:\\\x95\x5C";  // 表: a double-byte character
    AddToHistory(wide.c_str(), 0);
    AddToHistory(missing.c_str(), 0);
    AddToHistory(tempDir.c_str(), 0);

    ToggleHistory();
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Lists.item.kind, LK_History);
    ASSERT_EQ(Lists.item.array.count, 3);
    EXPECT_EQ(SendMessageA(Lists.item.wnd, LVM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_STREQ(Lists.item.array.items[0].path, tempDir.c_str());
    EXPECT_EQ(Lists.item.array.items[0].flags & (ItemFolder | ItemFile), (uint32_t)ItemFolder);
    EXPECT_STREQ(Lists.item.array.items[1].path, missing.c_str());
    EXPECT_EQ(Lists.item.array.items[1].flags & (ItemFolder | ItemFile), (uint32_t)ItemFile);
    EXPECT_EQ(Lists.item.array.items[2].flags & ItemWide, (uint32_t)ItemWide);
    EXPECT_EQ(Lists.item.array.items[0].flags & ItemWide, 0u);
    for (int i = 0; i < 3; i++) {
        EXPECT_EQ(Lists.item.array.items[i].viewIndex, i);
        EXPECT_EQ(Lists.item.array.items[i].image, -1);
    }
    EXPECT_EQ(GetWindowLongA(Lists.item.wnd, GWL_STYLE) & LVS_SINGLESEL, 0L) << "multiple selection";
    EXPECT_EQ(TextOfBox(box), "") << "the typed text is put aside";
    EXPECT_EQ(SavedTextLength(), 5u);

    // Without fldclass the rows carry no folder or file mark.
    ToggleHistory();
    Settings.his.fldclass = 0;
    ToggleHistory();
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Lists.item.array.items[0].flags & (ItemFolder | ItemFile), 0u);
}

TEST_F(HistoryListWindows, TheSecondToggleHidesItAndGivesTheTextBack) {
    ASSERT_EQ(1, ResetHistory(5));
    AddToHistory("C:\\one", 0);
    ToggleHistory();
    ASSERT_TRUE(Shown());
    SetWindowTextA(box, "narrowing");  // what was typed while it showed goes
    ToggleHistory();
    EXPECT_FALSE(Shown());
    EXPECT_EQ(Lists.item.kind, LK_None);
    EXPECT_EQ(Lists.item.array.items, nullptr);
    EXPECT_EQ(TextOfBox(box), "typed");

    // Another list on show is replaced, not switched off.
    ASSERT_EQ(AllocItems(&Lists.item.array, 1), 1);
    SetListItem(&Lists.item.array.items[0], "C:\\fav", ItemFile);
    Lists.item.array.count = 1;
    Lists.item.kind = LK_Favorites;
    FillItemList();
    PlaceItemList(1);
    ASSERT_TRUE(Shown());
    ToggleHistory();
    ASSERT_TRUE(Shown());
    EXPECT_EQ(Lists.item.kind, LK_History);
    EXPECT_STREQ(Lists.item.array.items[0].path, "C:\\one");
}

TEST_F(HistoryListWindows, NothingIsShownWhenEmptyOrOff) {
    ASSERT_EQ(1, ResetHistory(5));
    ToggleHistory();
    EXPECT_FALSE(Shown());
    EXPECT_EQ(Lists.item.kind, LK_None);
    EXPECT_EQ(TextOfBox(box), "typed") << "the text stays when no list comes";

    ResetHistory(0);
    EXPECT_EQ(0, AddToHistory("C:\\one", 0));
    ToggleHistory();
    EXPECT_FALSE(Shown());
    EXPECT_EQ(TextOfBox(box), "typed");
}

TEST_F(HistoryListWindows, FreeHistoryTakesAHistoryListAwayAndEmptiesTheStore) {
    ASSERT_EQ(1, ResetHistory(5));
    AddToHistory("C:\\one", 0);
    AddToHistory("C:\\two", 0);
    ToggleHistory();
    ASSERT_TRUE(Shown());
    RunFreeHistory();
    EXPECT_FALSE(Shown()) << "the rows would name entries that are gone";
    EXPECT_EQ(HistoryStore.count, 0);
    EXPECT_EQ(HistoryStore.size, 5) << "the History stays on";
    ToggleHistory();
    EXPECT_FALSE(Shown());
    EXPECT_EQ(1, AddToHistory("C:\\three", 0));
}
