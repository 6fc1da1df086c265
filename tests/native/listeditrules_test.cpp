// listeditrules_test.cpp - the rules of the settings program's list-item pages,
// applications page and key page, and the key page's binding-list operations.
#include <gtest/gtest.h>

#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "common/datafile.h"
#include "common/keymap.h"
#include "common/listfile.h"
#include "optbox/listeditrules.h"

namespace {

// A file system of a few paths: folders and files by name.
struct FakePaths {
    std::set<std::string> folders;
    std::set<std::string> files;
};
bool FakeExists(void* ctx, const char* path) {
    FakePaths* f = (FakePaths*)ctx;
    return f->folders.count(path) || f->files.count(path);
}
bool FakeIsFolder(void* ctx, const char* path) {
    return ((FakePaths*)ctx)->folders.count(path) != 0;
}

struct RowSpec {
    const char* text;
    const char* filter;
    int checked;
};

std::vector<RowSpec> ReadRows(const char* fileText, int mode, int* dropped) {
    std::string copy = fileText;
    ItemRows rows = {};
    EXPECT_EQ(1, ReadItemRows(&copy[0], mode, &rows));
    static std::vector<std::string> keep;
    keep.clear();
    keep.reserve(rows.count * 2);
    std::vector<RowSpec> out;
    for (int i = 0; i < rows.count; i++) {
        keep.push_back(rows.rows[i].text);
        keep.push_back(rows.rows[i].filter);
    }
    for (int i = 0; i < rows.count; i++)
        out.push_back({keep[2 * i].c_str(), keep[2 * i + 1].c_str(), rows.rows[i].checked});
    if (dropped) *dropped = rows.dropped;
    FreeItemRows(&rows);
    return out;
}

// Writes rows through RowToLine and the list-file writer.
std::string WriteRows(const std::vector<RowSpec>& specs, int mode) {
    std::vector<ItemRow> rows(specs.size());
    std::vector<ListLine> lines(specs.size());
    for (size_t i = 0; i < specs.size(); i++) {
        memset(&rows[i], 0, sizeof rows[i]);
        strcpy(rows[i].text, specs[i].text);
        strcpy(rows[i].filter, specs[i].filter);
        rows[i].checked = specs[i].checked;
        EXPECT_EQ(ROW_LINE_OK, RowToLine(&rows[i], mode, &lines[i])) << specs[i].text;
    }
    long need = FormatListFile(lines.data(), (int32_t)lines.size(), mode, nullptr, 0);
    std::string buf(need + 1, '\0');
    long len = FormatListFile(lines.data(), (int32_t)lines.size(), mode, &buf[0], buf.size());
    buf.resize(len < 0 ? 0 : len);
    return buf;
}

// ---------------------------------------------------------------------------
// Reading a list file into rows

struct ReadCase {
    const char* name;
    int mode;
    const char* file;
    std::vector<RowSpec> rows;
    int dropped;
};

TEST(OptboxItemRows, ReadingShowsEveryLineKind) {
    const ReadCase cases[] = {
        {"plain and blank", LF_DEFAULT, "C:\\Tools\r\n\r\nC:\\Tools\\a.exe\r\n",
         {{"C:\\Tools", "", 0}, {"<BLANK>", "", 0}, {"C:\\Tools\\a.exe", "", 0}}, 0},
        {"break on Default", LF_DEFAULT, "C:\\Tools\r\n>\r\nC:\\Docs",
         {{"C:\\Tools", "", 0}, {"<SEPARATION>", "", 0}, {"C:\\Docs", "", 0}}, 0},
        {"break on Favorites", LF_FAVORITES, ">\nC:\\Docs\n",
         {{"<NEXT PAGE>", "", 0}, {"C:\\Docs", "", 0}}, 0},
        {"expansion checked", LF_DEFAULT, "-C:\\Docs\r\n", {{"C:\\Docs", "", 1}}, 0},
        {"pattern part in the filter column", LF_FAVORITES, "-\"*.txt;*.md\" C:\\Docs\r\n",
         {{"C:\\Docs", "*.txt;*.md", 1}}, 0},
        {"double-byte folder", LF_FAVORITES, "-C:\\表\r\n", {{"C:\\表", "", 1}}, 0},
        // Saving the page writes back what it shows: nothing may be lost
        // because a drive is not mounted at the moment.
        {"missing paths stay", LF_DEFAULT, "C:\\Gone\r\n-C:\\Gone\r\nC:\\Docs\r\n",
         {{"C:\\Gone", "", 0}, {"C:\\Gone", "", 1}, {"C:\\Docs", "", 0}}, 0},
        {"unclosed quote is dropped", LF_FAVORITES, "-\"*.txt C:\\Docs\r\nC:\\Tools\r\n",
         {{"C:\\Tools", "", 0}}, 1},
    };
    for (const ReadCase& c : cases) {
        int dropped = -1;
        std::vector<RowSpec> got = ReadRows(c.file, c.mode, &dropped);
        ASSERT_EQ(c.rows.size(), got.size()) << c.name;
        for (size_t i = 0; i < got.size(); i++) {
            EXPECT_STREQ(c.rows[i].text, got[i].text) << c.name << " row " << i;
            EXPECT_STREQ(c.rows[i].filter, got[i].filter) << c.name << " row " << i;
            EXPECT_EQ(c.rows[i].checked, got[i].checked) << c.name << " row " << i;
        }
        EXPECT_EQ(c.dropped, dropped) << c.name;
    }
}

TEST(OptboxItemRows, OverlongLinesAreDroppedNotCut) {
    std::string longPath = "C:\\" + std::string(270, 'a');
    std::string longFilter(ITEM_FILTER_SIZE, 'x');
    std::string file = longPath + "\r\n-\"" + longFilter + "\"C:\\Docs\r\n";
    int dropped = 0;
    std::vector<RowSpec> got = ReadRows(file.c_str(), LF_FAVORITES, &dropped);
    EXPECT_EQ(0u, got.size());
    EXPECT_EQ(2, dropped);
}

// ---------------------------------------------------------------------------
// Writing rows

TEST(OptboxItemRows, RowsBecomeTheirLines) {
    struct WriteCase {
        int mode;
        std::vector<RowSpec> rows;
        const char* file;
    } cases[] = {
        {LF_DEFAULT,
         {{"C:\\Tools", "", 0}, {"<BLANK>", "", 0}, {"<SEPARATION>", "", 0}, {"C:\\Docs", "", 1}},
         "C:\\Tools\r\n\r\n>\r\n-C:\\Docs\r\n"},
        {LF_FAVORITES,
         {{"C:\\a.txt", "", 0}, {"<NEXT PAGE>", "", 0}, {"C:\\Docs", "*.txt;*.md", 1},
          {"C:\\Docs", "", 1}},
         "C:\\a.txt\r\n>\r\n-\"*.txt;*.md\"C:\\Docs\r\n-C:\\Docs\r\n"},
        // A filter left on a Default row is not written.
        {LF_DEFAULT, {{"C:\\Docs", "", 1}}, "-C:\\Docs\r\n"},
        {LF_FAVORITES, {}, ""},
    };
    for (const WriteCase& c : cases) EXPECT_EQ(c.file, WriteRows(c.rows, c.mode));
}

TEST(OptboxItemRows, WrittenRowsReadBackTheSame) {
    std::vector<RowSpec> rows = {{"C:\\a.txt", "", 0},   {"<BLANK>", "", 0},
                                 {"<NEXT PAGE>", "", 0}, {"D:\\ソフト", "*.exe", 1},
                                 {"C:\\Docs", "", 1},    {"<NEXT PAGE>", "", 0}};
    std::string file = WriteRows(rows, LF_FAVORITES);
    std::vector<RowSpec> back = ReadRows(file.c_str(), LF_FAVORITES, nullptr);
    ASSERT_EQ(rows.size(), back.size());
    for (size_t i = 0; i < rows.size(); i++) {
        EXPECT_STREQ(rows[i].text, back[i].text);
        EXPECT_STREQ(rows[i].filter, back[i].filter);
        EXPECT_EQ(rows[i].checked, back[i].checked);
    }
}

TEST(OptboxItemRows, LinesThatWouldBeChangedAreRefused) {
    struct RefuseCase {
        const char* name;
        int mode;
        std::string text;
        const char* filter;
        int checked;
        int result;
    } cases[] = {
        {"plain at the limit", LF_DEFAULT, std::string(LIST_LINE_MAX, 'p'), "", 0, ROW_LINE_OK},
        {"plain over the limit", LF_DEFAULT, std::string(LIST_LINE_MAX + 1, 'p'), "", 0,
         ROW_LINE_TOO_LONG},
        {"expansion at the limit", LF_DEFAULT, std::string(LIST_LINE_MAX - 1, 'p'), "", 1,
         ROW_LINE_OK},
        {"expansion over the limit", LF_DEFAULT, std::string(LIST_LINE_MAX, 'p'), "", 1,
         ROW_LINE_TOO_LONG},
        // The writer would drop the pattern part of a line over the limit.
        {"filter pushes over the limit", LF_FAVORITES, std::string(LIST_LINE_MAX - 6, 'p'),
         "*.txt", 1, ROW_LINE_TOO_LONG},
        {"filter just fits", LF_FAVORITES, std::string(LIST_LINE_MAX - 8, 'p'), "*.txt", 1,
         ROW_LINE_OK},
        {"quote in the filter", LF_FAVORITES, "C:\\Docs", "a\"b", 1, ROW_LINE_BAD_FILTER},
        {"break character in a path", LF_DEFAULT, "C:\\a>b", "", 0, ROW_LINE_BAD_TEXT},
        {"plain row starting with -", LF_DEFAULT, "-x", "", 0, ROW_LINE_BAD_TEXT},
        {"separation row on Favorites is a path", LF_FAVORITES, "<SEPARATION>", "", 0,
         ROW_LINE_BAD_TEXT},
    };
    for (const RefuseCase& c : cases) {
        ItemRow row = {};
        ASSERT_LT(c.text.size(), sizeof row.text);
        strcpy(row.text, c.text.c_str());
        strcpy(row.filter, c.filter);
        row.checked = c.checked;
        ListLine line;
        EXPECT_EQ(c.result, RowToLine(&row, c.mode, &line)) << c.name;
    }
}

// ---------------------------------------------------------------------------
// Selection after a deletion, check boxes, insertion

TEST(OptboxItemRows, SelectionAfterDelete) {
    struct {
        int32_t lastPos, deleted, rowsLeft, expect;
    } cases[] = {
        {2, 1, 4, 2},   // a middle row: its follower takes its place
        {4, 1, 4, 3},   // the last row: the new last row
        {2, 2, 3, 2},   // rows 2 and 3 of 5: old row 4 is now at 2
        {3, 2, 3, 1},   // the last two of 5: moved back by two
        {0, 5, 0, -1},  // all rows: nothing to select
        {1, 4, 1, 0},   // all but the first: kept within the rows
        {0, 1, 3, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expect, SelectAfterDelete(c.lastPos, c.deleted, c.rowsLeft))
            << c.lastPos << "," << c.deleted << "," << c.rowsLeft;
}

TEST(OptboxItemRows, OnlyFoldersMayBeExpanded) {
    FakePaths paths;
    paths.folders = {"C:\\Docs"};
    paths.files = {"C:\\a.txt"};
    ItemPathTests tests = {FakeExists, FakeIsFolder, &paths};
    EXPECT_TRUE(RowMayExpand("C:\\Docs", &tests));
    EXPECT_TRUE(RowMayExpand("-C:\\Docs", &tests));
    EXPECT_FALSE(RowMayExpand("C:\\a.txt", &tests));
    EXPECT_FALSE(RowMayExpand("<BLANK>", &tests));
    EXPECT_FALSE(RowMayExpand("<NEXT PAGE>", &tests));
    EXPECT_FALSE(RowMayExpand("-", &tests));
    EXPECT_FALSE(RowMayExpand("", &tests));
}

TEST(OptboxItemRows, InsertAtTheSelectionOrAtTheEnd) {
    EXPECT_EQ(2, InsertPosition(2, 5));
    EXPECT_EQ(5, InsertPosition(-1, 5));
    EXPECT_EQ(0, InsertPosition(-1, 0));
    EXPECT_EQ(5, InsertPosition(7, 5));
}

// ---------------------------------------------------------------------------
// Applications

TEST(OptboxApps, SmallestFreeIdFromAThousand) {
    struct {
        std::vector<int32_t> ids;
        int32_t expect;
    } cases[] = {
        {{}, 1000},
        {{1000, 1002}, 1001},
        {{1000, 1001, 1002}, 1003},
        {{1001}, 1000},
        {{5, 999, -1}, 1000},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expect, SmallestFreeAppId(c.ids.data(), (int32_t)c.ids.size()));
    // The key of a deleted application's id must not start the next one.
    int32_t held[] = {1000};
    AddAppBinding(1001, 0);
    EXPECT_EQ(1002, SmallestFreeAppId(held, 1));
    FreeKeyBindings();
    // Two additions in a row when 1000 and 1002 are taken: 1001, then 1003.
    std::vector<int32_t> ids = {1000, 1002};
    ids.push_back(SmallestFreeAppId(ids.data(), (int32_t)ids.size()));
    EXPECT_EQ(1001, ids.back());
    EXPECT_EQ(1003, SmallestFreeAppId(ids.data(), (int32_t)ids.size()));
}

TEST(OptboxApps, NamesMustBeUnique) {
    const char* names[] = {"エディタ", "calc", "Calc"};
    EXPECT_TRUE(AppNameTaken(names, 3, "calc", -1));
    EXPECT_TRUE(AppNameTaken(names, 3, "エディタ", -1));
    EXPECT_FALSE(AppNameTaken(names, 3, "CALC", -1));  // bytes, not letters
    EXPECT_FALSE(AppNameTaken(names, 3, "calc", 1));   // editing row 1 keeps its name
    EXPECT_TRUE(AppNameTaken(names, 3, "calc", 0));
}

TEST(OptboxApps, FieldsFromAChosenProgram) {
    struct {
        const char* path;
        int result;
        const char* name;
        const char* folder;
    } cases[] = {
        {"C:\\bin\\edit.exe", 1, "edit", "C:\\bin"},
        {"C:\\bin\\my.tool.exe", 1, "my.tool", "C:\\bin"},
        {"C:\\bin\\README", 1, "README", "C:\\bin"},
        {"C:\\表示\\ソ.exe", 1, "ソ", "C:\\表示"},  // trail bytes 0x5C are no separators
        {"C:\\a.b\\prog", 1, "prog", "C:\\a.b"},
        {"", 0, "", ""},
    };
    for (const auto& c : cases) {
        char name[261] = "x", folder[261] = "x";
        EXPECT_EQ(c.result, AppFieldsFromPath(c.path, name, sizeof name, folder, sizeof folder))
            << c.path;
        EXPECT_STREQ(c.name, name) << c.path;
        EXPECT_STREQ(c.folder, folder) << c.path;
    }
    std::string longPath = "C:\\" + std::string(260, 'a');
    char name[261], folder[261];
    EXPECT_EQ(0, AppFieldsFromPath(longPath.c_str(), name, sizeof name, folder, sizeof folder));
    EXPECT_STREQ("", name);
}

TEST(OptboxApps, EntryChecks) {
    const char* names[] = {"calc", "edit"};
    std::string longText(261, 'a');
    struct {
        const char* what;
        const char *name, *path, *arg, *folder;
        bool exists;
        int32_t skip;
        int result;
        int32_t field;
    } cases[] = {
        {"fine", "new", "C:\\n.exe", "-x", "C:\\", true, -1, APP_ENTRY_OK, -1},
        {"empty path", "new", "", "", "", true, -1, APP_ENTRY_NO_PATH, 1},
        {"missing path", "new", "C:\\no.exe", "", "", false, -1, APP_ENTRY_NO_PATH, 1},
        {"name taken", "calc", "C:\\c.exe", "", "", true, -1, APP_ENTRY_NAME_TAKEN, 0},
        {"own name kept on edit", "calc", "C:\\c.exe", "", "", true, 0, APP_ENTRY_OK, -1},
        {"overlong arg", "n", "C:\\c.exe", longText.c_str(), "", true, -1, APP_ENTRY_TOO_LONG, 2},
        {"semicolon in arg", "n", "C:\\c.exe", "a;b", "", true, -1, APP_ENTRY_BAD_TEXT, 2},
        {"bracket in name", "[n]", "C:\\c.exe", "", "", true, -1, APP_ENTRY_BAD_TEXT, 0},
        {"trailing blank in folder", "n", "C:\\c.exe", "", "C:\\ ", true, -1, APP_ENTRY_BAD_TEXT,
         3},
    };
    for (const auto& c : cases) {
        int32_t field = -1;
        int r = CheckAppEntryTexts(c.name, c.path, c.arg, c.folder, c.exists, names, 2, c.skip,
                                   &field);
        EXPECT_EQ(c.result, r) << c.what;
        if (c.result != APP_ENTRY_OK) {
            EXPECT_EQ(c.field, field) << c.what;
        }
    }
}

// ---------------------------------------------------------------------------
// Key page

class OptboxKeys : public ::testing::Test {
protected:
    void SetUp() override {
        FreeKeyBindings();
        ResetCommandBindings();
    }
    void TearDown() override { FreeKeyBindings(); }
};

TEST_F(OptboxKeys, CaptureComposition) {
    AddAppBinding(1000, KEY_CTRL | 'Q');
    struct {
        const char* what;
        uint32_t vk, mods, rowKey;
        int kind;
        uint32_t pending;
        int holder;
        bool change, add;
    } cases[] = {
        {"A alone", 'A', 0, 0x24D, CAPTURE_NEED_MODIFIER, 'A', 0, false, false},
        {"F5 alone", 0x74, 0, 0x24D, CAPTURE_FREE, 0x74, 0, true, true},
        {"Ctrl+K free", 'K', KEY_CTRL, 0x24D, CAPTURE_FREE, 0x24B, 0, true, true},
        {"free on a (NONE) row: change only", 'K', KEY_CTRL, 0, CAPTURE_FREE, 0x24B, 0, true,
         false},
        {"Ctrl+C is taken by a command", 'C', KEY_CTRL, 0x24D, CAPTURE_BOUND, 0x243, 13, false,
         false},
        {"Ctrl+Q is taken by an application", 'Q', KEY_CTRL, 0x24D, CAPTURE_BOUND, 0x251, 1000,
         false, false},
        {"F2 is taken", 0x71, 0, 0, CAPTURE_BOUND, 0x71, 20, false, false},
        {"Alt+Shift+F10", 0x79, KEY_ALT | KEY_SHIFT, 0x24D, CAPTURE_FREE, 0x579, 0, true, true},
        {"the modifier key itself", 0x11, KEY_CTRL, 0x24D, CAPTURE_IGNORED, 0, 0, false, false},
        {"left Shift", 0xA0, KEY_SHIFT, 0x24D, CAPTURE_IGNORED, 0, 0, false, false},
        {"a key without a name", 0x3A, KEY_CTRL, 0x24D, CAPTURE_IGNORED, 0, 0, false, false},
    };
    for (const auto& c : cases) {
        CaptureResult r = ComposeCapture(c.vk, c.mods, c.rowKey);
        EXPECT_EQ(c.kind, r.kind) << c.what;
        EXPECT_EQ(c.pending, r.pendingKey) << c.what;
        if (c.kind == CAPTURE_BOUND) {
            EXPECT_EQ(c.holder, r.holderId) << c.what;
        }
        EXPECT_EQ(c.change, r.enableChange) << c.what;
        EXPECT_EQ(c.add, r.enableAdd) << c.what;
    }
}

TEST_F(OptboxKeys, ModifierClicks) {
    EXPECT_FALSE(ModifierClickStands('A' | KEY_CTRL, 0));
    EXPECT_TRUE(ModifierClickStands('A', KEY_ALT));
    EXPECT_TRUE(ModifierClickStands(0x74, 0));           // F5 needs none
    EXPECT_TRUE(ModifierClickStands(0x87 | KEY_CTRL, 0));  // F24
    EXPECT_FALSE(ModifierClickStands(0x88, 0));
    EXPECT_FALSE(ModifierClickStands(0, 0));
}

TEST_F(OptboxKeys, BoundMessage) {
    char out[200];
    FormatBoundMessage("List-Favorite表示", 0x243, "Edit-文字列コピー", out, sizeof out);
    EXPECT_STREQ("List-Favorite表示 - Ctrl+C は\r\nEdit-文字列コピー に割り当て済み", out);
    char small[8];
    FormatBoundMessage("List-Favorite表示", 0x243, "x", small, sizeof small);
    EXPECT_EQ(7u, strlen(small));
}

TEST_F(OptboxKeys, ChangeAddRemoveAndDefault) {
    // Change: the binding (id, old key) gets the new key.
    EXPECT_EQ(1, ChangeBindingKey(3, 0x246, 0x24B));
    EXPECT_EQ(3, FindBindingByKey(0x24B));
    EXPECT_EQ(-1, FindBindingByKey(0x246));
    EXPECT_EQ(0, ChangeBindingKey(3, 0x246, 0x24B));  // no such binding any more
    // Add: a second key of command 3, kept beside the first.
    ASSERT_EQ(1, AddBindingOfId(3, 0x646));
    EXPECT_EQ(2, CountBindingsOfId(3));
    EXPECT_EQ(3u, CommandBindings.items[3].id);
    EXPECT_EQ(3u, CommandBindings.items[4].id);
    EXPECT_EQ(0x646u, CommandBindings.items[4].key);
    EXPECT_EQ(25, CommandBindings.count);
    // Delete one of two keys: the binding goes.
    EXPECT_EQ(2, RemoveOneBinding(3, 0x24B));
    EXPECT_EQ(1, CountBindingsOfId(3));
    EXPECT_EQ(24, CommandBindings.count);
    // Delete the only key: the command keeps its row with key 0 ("(NONE)").
    EXPECT_EQ(1, RemoveOneBinding(3, 0x646));
    EXPECT_EQ(1, CountBindingsOfId(3));
    EXPECT_EQ(0u, CommandBindings.items[3].key);
    char text[32];
    KeyText(CommandBindings.items[3].key, text, sizeof text, 3);
    EXPECT_STREQ("(NONE)", text);
    EXPECT_EQ(0, RemoveOneBinding(3, 0x999));
    // Default: the key of the table comes back.
    EXPECT_EQ(1, ChangeBindingKey(3, 0, CommandTable[3].defaultKey));
    EXPECT_EQ(3, FindBindingByKey(0x246));
}

TEST_F(OptboxKeys, ApplicationBindingsFollowTheApplications) {
    AddAppBinding(1000, KEY_CTRL | 'Q');
    AddAppBinding(1000, KEY_CTRL | 'W');
    AddAppBinding(1001, 0);
    AddAppBinding(1005, KEY_ALT | 'Q');
    // 1002 new; 1001 not listed (away, or unreadable): only a deletion takes its binding.
    int32_t ids[] = {1000, 1002, 1005};
    ASSERT_EQ(1, SyncAppBindings(ids, 3));
    EXPECT_EQ(1, CountBindingsOfId(1001));
    EXPECT_EQ(2, CountBindingsOfId(1000));
    EXPECT_EQ(1, CountBindingsOfId(1002));
    EXPECT_EQ(1, CountBindingsOfId(1005));
    // The new application's binding has no key and stands among the ids in order.
    std::vector<std::pair<uint32_t, uint32_t>> live;
    for (int i = 0; i < AppBindings.count; i++)
        if (AppBindings.items[i].id != BINDING_DAMAGED)
            live.push_back({AppBindings.items[i].id, AppBindings.items[i].key});
    std::vector<std::pair<uint32_t, uint32_t>> expect = {
        {1000, KEY_CTRL | 'Q'}, {1000, KEY_CTRL | 'W'}, {1001, 0}, {1002, 0}, {1005, KEY_ALT | 'Q'}};
    EXPECT_EQ(expect, live);
    std::vector<char> buf(KeymapTextSize());
    ASSERT_GT(FormatKeymap(buf.data(), buf.size()), 0);
    EXPECT_NE(nullptr, strstr(buf.data(), "---\r\n5\r\n1000,593\r\n1000,599\r\n1001,0\r\n1002,0\r\n1005,337\r\n"));
    ASSERT_EQ(1, SyncAppBindings(nullptr, 0));
    EXPECT_EQ(5, AppBindings.count);
}

TEST(OptboxUnreadable, MessageNamesTheFileAndWhatIsNotSaved) {
    char out[300] = "x";
    EXPECT_EQ(1, FormatUnreadableMessage(DF_KEYMAP, "C:\\v\\data\\keymap", out, sizeof out));
    EXPECT_STREQ("C:\\v\\data\\keymap\r\nを読み込めませんでした。\r\n「キー割り当て」の変更は保存されません。", out);
    EXPECT_EQ(0, FormatUnreadableMessage(DF_HISTORY, "h", out, sizeof out));  // not a file Optbox edits
    EXPECT_EQ(0, FormatUnreadableMessage(DF_KEYMAP, "C:\\v\\data\\keymap", out, 20));  // never cut
    EXPECT_STREQ("", out);
}

TEST_F(OptboxKeys, DeletingAnApplicationRemovesItsKeys) {
    AddAppBinding(1000, KEY_CTRL | 'Q');
    AddAppBinding(1001, KEY_CTRL | 'W');
    EXPECT_EQ(1, RemoveAppBindings(1000));
    EXPECT_EQ(0, CountBindingsOfId(1000));
    EXPECT_EQ(-1, FindBindingByKey(KEY_CTRL | 'Q'));
    EXPECT_EQ(1001, FindBindingByKey(KEY_CTRL | 'W'));
    EXPECT_EQ(0, RemoveAppBindings(5));  // a command id is not an application's
    EXPECT_EQ(24, CommandBindings.count);  // commands untouched
}

}  // namespace
