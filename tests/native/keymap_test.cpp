// keymap_test.cpp - the command table, the binding lists, the "data\keymap"
// reader and writer, key lookup and key names.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/datafile.h"
#include "common/fileio.h"
#include "common/keymap.h"

namespace {

// The file the program writes when it has no "data\keymap": the 24 rows of the
// command table in row order, id and default key in decimal.
const char DefaultKeymapText[] =
    "24\r\n"
    "0,552\r\n"     // Ctrl+Down
    "1,550\r\n"     // Ctrl+Up
    "2,589\r\n"     // Ctrl+M
    "3,582\r\n"     // Ctrl+F
    "4,590\r\n"     // Ctrl+N
    "5,581\r\n"     // Ctrl+E
    "6,584\r\n"     // Ctrl+H
    "7,588\r\n"     // Ctrl+L
    "8,596\r\n"     // Ctrl+T
    "9,520\r\n"     // Ctrl+Backspace
    "10,586\r\n"    // Ctrl+J
    "11,577\r\n"    // Ctrl+A
    "12,578\r\n"    // Ctrl+B
    "13,579\r\n"    // Ctrl+C
    "14,598\r\n"    // Ctrl+V
    "15,600\r\n"    // Ctrl+X
    "16,602\r\n"    // Ctrl+Z
    "17,1603\r\n"   // Ctrl+Shift+C
    "18,1622\r\n"   // Ctrl+Shift+V
    "19,1624\r\n"   // Ctrl+Shift+X
    "22,594\r\n"    // Ctrl+R
    "23,580\r\n"    // Ctrl+D
    "20,113\r\n"    // F2
    "21,1051\r\n";  // Shift+Esc

typedef std::vector<std::pair<uint32_t, uint32_t>> Pairs;

Pairs ListOf(const BindingList& list) {
    Pairs out;
    for (int i = 0; i < list.count; i++) out.push_back({list.items[i].id, list.items[i].key});
    return out;
}

std::string Formatted() {
    std::vector<char> buf(KeymapTextSize());
    int len = FormatKeymap(buf.data(), buf.size());
    EXPECT_GE(len, 0);
    return len < 0 ? std::string() : std::string(buf.data(), (size_t)len);
}

// A fresh module folder with a "data" folder for each test.
class KeymapFileTest : public ::testing::Test {
   protected:
    char folder[64];
    std::string keymapPath;

    void SetUp() override {
        DataFiles = DataFileRecord{};  // no refusal left by an earlier test
        snprintf(folder, sizeof folder, "/tmp/vorn_keymap_XXXXXX");
        ASSERT_NE(mkdtemp(folder), nullptr);
        SetNativeModuleFolder(folder);
        std::string data = std::string(folder) + "/data";
        ASSERT_EQ(CreateFolder(data.c_str()), 1);
        keymapPath = data + "/keymap";
    }
    void TearDown() override {
        FreeKeyBindings();
        unlink(keymapPath.c_str());
        unlink((keymapPath + ".bak").c_str());
        rmdir((std::string(folder) + "/data").c_str());
        rmdir(folder);
    }
    void WriteFile(const std::string& text) {
        FILE* f = fopen(keymapPath.c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    std::string ReadFile() {
        std::string text;
        FILE* f = fopen(keymapPath.c_str(), "rb");
        if (!f) return "<missing>";
        char chunk[256];
        size_t n;
        while ((n = fread(chunk, 1, sizeof chunk, f)) > 0) text.append(chunk, n);
        fclose(f);
        return text;
    }
};

class KeymapListTest : public ::testing::Test {
   protected:
    void TearDown() override { FreeKeyBindings(); }
};

}  // namespace

// ---------------------------------------------------------------------------
// Command table

TEST(KeymapTable, RowsInDisplayOrderWithExactNames) {
    const uint32_t ids[COMMAND_COUNT] = {0,  1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 11,
                                         12, 13, 14, 15, 16, 17, 18, 19, 22, 23, 20, 21};
    for (int row = 0; row < COMMAND_COUNT; row++) {
        EXPECT_EQ(CommandTable[row].id, ids[row]) << "row " << row;
        EXPECT_LT(strlen(CommandTable[row].name), 32u) << "row " << row;
    }
    // Names are code page 932 bytes.
    EXPECT_STREQ(CommandTable[0].name,
                 "\x83\x8a\x83\x58\x83\x67\x83\x58\x83\x4e\x83\x8d"
                 "\x81\x5b\x83\x8b(\x89\xba)");  // リストスクロール(下)
    EXPECT_STREQ(CommandTable[5].name, "List-Exp表示");
    EXPECT_STREQ(CommandTable[10].name, "Edit-ショートカット先へ移動");
    EXPECT_STREQ(CommandTable[16].name, "Edit-文字列UNDO");
    EXPECT_STREQ(CommandTable[20].name, "ファイルリネーム");
    EXPECT_STREQ(CommandTable[23].name, "アプリ終了");
}

TEST(KeymapTable, CommandNameByIdNotByRow) {
    char name[32];
    EXPECT_EQ(CommandName(22, name, sizeof name), 1);
    EXPECT_STREQ(name, "ファイルリネーム");
    EXPECT_EQ(CommandName(20, name, sizeof name), 1);
    EXPECT_STREQ(name, "登録アプリ");
    EXPECT_EQ(CommandName(2, name, sizeof name), 1);
    EXPECT_STREQ(name, "List-組み込みコマンド表示");
    EXPECT_EQ(CommandName(24, name, sizeof name), 0);
    EXPECT_STREQ(name, "");
    EXPECT_EQ(CommandName(1000, name, sizeof name), 0);
    EXPECT_EQ(CommandName(BINDING_DAMAGED, name, sizeof name), 0);
    // A small buffer is never overrun and never ends in half a character.
    char small[6];
    memset(small, 'x', sizeof small);
    EXPECT_EQ(CommandName(23, small, 5), 1);
    EXPECT_STREQ(small, "ファ");
    EXPECT_EQ(small[5], 'x');
}

// ---------------------------------------------------------------------------
// Loading and saving the file

TEST_F(KeymapFileTest, MissingFileWritesTheDefaults) {
    EXPECT_EQ(LoadKeyBindings(), 1);
    EXPECT_EQ(ReadFile(), std::string(DefaultKeymapText));
    ASSERT_EQ(CommandBindings.count, 24);
    EXPECT_EQ(AppBindings.count, 0);
    EXPECT_EQ(CommandBindings.items[20].id, 22u);
    EXPECT_EQ(CommandBindings.items[20].key, 0x252u);
    EXPECT_EQ(CommandBindings.items[23].id, 21u);
    EXPECT_EQ(CommandBindings.items[23].key, 0x41Bu);
}

TEST_F(KeymapFileTest, EmptyOrZeroCountFileFallsBackAndIsRewritten) {
    WriteFile("");
    LoadKeyBindings();
    EXPECT_EQ(ReadFile(), std::string(DefaultKeymapText));

    WriteFile("0\r\n5,600\r\n");
    LoadKeyBindings();
    EXPECT_EQ(ReadFile(), std::string(DefaultKeymapText));
    EXPECT_EQ(CommandBindings.count, 24);

    WriteFile("-3\r\n");
    LoadKeyBindings();
    EXPECT_EQ(ReadFile(), std::string(DefaultKeymapText));
}

TEST_F(KeymapFileTest, PartialFileIsCompletedInPlaceAndNotRewritten) {
    // Id 5 has taken Ctrl+C (default of 13), id 0 is bound twice, the second
    // time to Ctrl+Shift+C (default of 17), and an application has F2 (default
    // of 20).
    const std::string text = "3\r\n5,579\r\n0,552\r\n0,1603\r\n---\r\n1\r\n1000,113\r\n";
    WriteFile(text);
    EXPECT_EQ(LoadKeyBindings(), 1);
    EXPECT_EQ(ReadFile(), text);

    // Each missing command goes behind the last binding of the previous row's
    // command: 1-4 behind the second 0, 6-23 behind the 5 at the front.
    Pairs expected = {
        {5, 579},    {6, 0x248},  {7, 0x24C},  {8, 0x254},  {9, 0x208},  {10, 0x24A}, {11, 0x241},
        {12, 0x242}, {13, 0},     {14, 0x256}, {15, 0x258}, {16, 0x25A}, {17, 0},     {18, 0x656},
        {19, 0x658}, {22, 0x252}, {23, 0x244}, {20, 0},     {21, 0x41B}, {0, 552},    {0, 1603},
        {1, 0x226},  {2, 0x24D},  {3, 0x246},  {4, 0x24E},
    };
    EXPECT_EQ(ListOf(CommandBindings), expected);
    EXPECT_EQ(ListOf(AppBindings), (Pairs{{1000, 113}}));
}

TEST_F(KeymapFileTest, FileBeginningWithAppBlockKeepsAppsAndIsRewritten) {
    WriteFile("---\r\n2\r\n1001,1101\r\n1000,1102\r\n");
    LoadKeyBindings();
    EXPECT_EQ(CommandBindings.count, 24);
    // File order is kept for the applications read.
    EXPECT_EQ(ListOf(AppBindings), (Pairs{{1001, 1101}, {1000, 1102}}));
    EXPECT_EQ(ReadFile(),
              std::string(DefaultKeymapText) + "---\r\n2\r\n1001,1101\r\n1000,1102\r\n");
}

TEST_F(KeymapFileTest, ReloadReplacesTheLists) {
    WriteFile("2\r\n3,582\r\n3,1094\r\n---\r\n1\r\n1005,627\r\n");
    LoadKeyBindings();
    LoadKeyBindings();
    EXPECT_EQ(CommandBindings.count, 25);
    EXPECT_EQ(AppBindings.count, 1);
    FreeKeyBindings();
    EXPECT_EQ(CommandBindings.count, 0);
    EXPECT_EQ(AppBindings.count, 0);
    EXPECT_EQ(CommandBindings.items, nullptr);
}

TEST_F(KeymapFileTest, SaveWritesCommandsThenAppsAndSkipsDamaged) {
    AddBinding(&CommandBindings, 13, 0x243);
    AddBinding(&CommandBindings, BINDING_DAMAGED, 0x244);
    AddBinding(&CommandBindings, 17, 0);
    AddAppBinding(1003, 0x171);
    AddAppBinding(BINDING_DAMAGED, 0x172);
    EXPECT_EQ(SaveKeyBindings(), 1);
    EXPECT_EQ(ReadFile(), "2\r\n13,579\r\n17,0\r\n---\r\n1\r\n1003,369\r\n");

    // No command bindings: the file begins with the application block.
    FreeKeyBindings();
    AddAppBinding(1000, 0x270);
    EXPECT_EQ(SaveKeyBindings(), 1);
    EXPECT_EQ(ReadFile(), "---\r\n1\r\n1000,624\r\n");

    // Nothing at all: an empty file.
    FreeKeyBindings();
    EXPECT_EQ(SaveKeyBindings(), 1);
    EXPECT_EQ(ReadFile(), "");
}

TEST_F(KeymapFileTest, SaveFailsWithoutDataFolder) {
    char other[64];
    snprintf(other, sizeof other, "/tmp/vorn_keymap_nodata_XXXXXX");
    ASSERT_NE(mkdtemp(other), nullptr);
    SetNativeModuleFolder(other);
    ResetCommandBindings();
    EXPECT_EQ(SaveKeyBindings(), 0);
    // Loading still succeeds with the defaults.
    EXPECT_EQ(LoadKeyBindings(), 1);
    EXPECT_EQ(CommandBindings.count, 24);
    rmdir(other);
}

// ---------------------------------------------------------------------------
// Reader details

TEST_F(KeymapListTest, CountLargerThanTheEntriesStopsAtTheEnd) {
    EXPECT_EQ(ParseKeymapText("1000000\r\n3,582\r\n4,590"), 1000000);
    EXPECT_EQ(ListOf(CommandBindings), (Pairs{{3, 582}, {4, 590}}));
    // Growth follows what is read, not what the count announces.
    EXPECT_LE(CommandBindings.capacity, 10);

    EXPECT_EQ(ParseKeymapText("---\r\n99999\r\n1000,369\r\n"), 0);
    EXPECT_EQ(ListOf(AppBindings), (Pairs{{1000, 369}}));
    EXPECT_LE(AppBindings.capacity, 10);

    // An overlong count never takes the application block for commands.
    EXPECT_EQ(ParseKeymapText("5\r\n3,582\r\n---\r\n1\r\n1000,369\r\n"), 5);
    EXPECT_EQ(ListOf(CommandBindings), (Pairs{{3, 582}}));
    EXPECT_EQ(ListOf(AppBindings), (Pairs{{1000, 369}}));
}

TEST_F(KeymapListTest, CountSmallerThanTheEntriesReadsOnlyThatMany) {
    EXPECT_EQ(ParseKeymapText("1\r\n3,582\r\n4,590\r\n---\r\n1\r\n1000,1\r\n1001,2\r\n"), 1);
    EXPECT_EQ(ListOf(CommandBindings), (Pairs{{3, 582}}));
    EXPECT_EQ(ListOf(AppBindings), (Pairs{{1000, 1}}));
}

TEST_F(KeymapListTest, EmptyOrOverlongFieldsAreDamaged) {
    ParseKeymapText(
        "7\r\n"
        ",579\r\n"             // empty id
        "12345678901,580\r\n"  // 11-byte id
        "1234567890,581\r\n"   // 10-byte id is read
        "4,\r\n"               // empty key
        "5,12345678901\r\n"    // 11-byte key
        "6\r\n"                // no key field
        "-1,582\r\n");         // written damaged
    Pairs expected = {
        {BINDING_DAMAGED, 579}, {BINDING_DAMAGED, 580}, {1234567890u, 581}, {4, 0}, {5, 0}, {6, 0},
        {BINDING_DAMAGED, 582}};
    EXPECT_EQ(ListOf(CommandBindings), expected);
    // Damaged entries are neither written nor counted.
    EXPECT_EQ(Formatted(), "4\r\n1234567890,581\r\n4,0\r\n5,0\r\n6,0\r\n");
}

TEST_F(KeymapListTest, LongLineEndsItsBlock) {
    std::string longLine(101, '1');
    std::string text = "3\r\n3,582\r\n" + longLine + "\r\n4,590\r\n";
    ParseKeymapText(text.c_str());
    EXPECT_EQ(ListOf(CommandBindings), (Pairs{{3, 582}}));

    // A line of exactly 100 bytes is still a line (its fields are too long).
    std::string hundred(100, '2');
    text = "3\r\n3,582\r\n" + hundred + "\r\n4,590\r\n";
    ParseKeymapText(text.c_str());
    EXPECT_EQ(ListOf(CommandBindings), (Pairs{{3, 582}, {BINDING_DAMAGED, 0}, {4, 590}}));

    // The search for "---" passes over a long line: a damaged line costs no
    // application binding.
    text = "1\r\n3,582\r\n" + longLine + "\r\n---\r\n1\r\n1000,1\r\n";
    ParseKeymapText(text.c_str());
    EXPECT_EQ(ListOf(AppBindings), (Pairs{{1000, 1}}));
}

TEST_F(KeymapListTest, AppBlockMarkMustMatchExactly) {
    ParseKeymapText("1\r\n3,582\r\n--- \r\n1\r\n1000,1\r\n");
    EXPECT_EQ(AppBindings.count, 0);
    ParseKeymapText("1\n3,582\n---\n2\n1000,1\n1001,2");  // LF-only file
    EXPECT_EQ(ListOf(CommandBindings), (Pairs{{3, 582}}));
    EXPECT_EQ(ListOf(AppBindings), (Pairs{{1000, 1}, {1001, 2}}));
    ParseKeymapText("1\r\n3,582\r\n---\r\n0\r\n1000,1\r\n");
    EXPECT_EQ(AppBindings.count, 0);
    ParseKeymapText("1\r\n3,582\r\n---");
    EXPECT_EQ(AppBindings.count, 0);
}

TEST_F(KeymapListTest, NullOrEmptyTextGivesNoCount) {
    EXPECT_EQ(ParseKeymapText(nullptr), 0);
    EXPECT_EQ(ParseKeymapText(""), 0);
    EXPECT_EQ(CommandBindings.count, 0);
    EXPECT_EQ(AppBindings.count, 0);
}

TEST_F(KeymapListTest, WrittenTextReadsBackTheSameLists) {
    ParseKeymapText(
        "4\r\n3,582\r\n9,-5\r\n3000000000,4294967295\r\n7,2147483648\r\n"
        "---\r\n2\r\n1002,1601\r\n1001,0\r\n");
    CompleteCommandBindings();
    Pairs commands = ListOf(CommandBindings);
    Pairs apps = ListOf(AppBindings);
    std::string text = Formatted();
    ParseKeymapText(text.c_str());
    EXPECT_EQ(ListOf(CommandBindings), commands);
    EXPECT_EQ(ListOf(AppBindings), apps);
    EXPECT_EQ(Formatted(), text);
}

TEST_F(KeymapListTest, FormatRefusesASmallBuffer) {
    ResetCommandBindings();
    char buf[40];
    memset(buf, 'x', sizeof buf);
    EXPECT_EQ(FormatKeymap(buf, 30), -1);
    EXPECT_EQ(buf[30], 'x');
    size_t exact = strlen(DefaultKeymapText);
    std::vector<char> big(exact + 1);
    EXPECT_EQ(FormatKeymap(big.data(), exact), -1);  // no room for the NUL
    EXPECT_EQ(FormatKeymap(big.data(), exact + 1), (int)exact);
    EXPECT_EQ(FormatKeymap(nullptr, 10), -1);
}

// ---------------------------------------------------------------------------
// Lists

TEST_F(KeymapListTest, AppBindingGoesBeforeTheFirstLargerId) {
    AddAppBinding(1000, 1);
    AddAppBinding(1002, 2);
    AddAppBinding(1001, 3);
    AddAppBinding(1000, 4);
    AddAppBinding(1005, 5);
    AddAppBinding(999, 6);
    EXPECT_EQ(ListOf(AppBindings),
              (Pairs{{999, 6}, {1000, 1}, {1000, 4}, {1001, 3}, {1002, 2}, {1005, 5}}));
}

TEST_F(KeymapListTest, ListsGrowByTen) {
    for (uint32_t i = 0; i < 25; i++) ASSERT_EQ(AddBinding(&CommandBindings, i % 24, i), 1);
    EXPECT_EQ(CommandBindings.count, 25);
    EXPECT_EQ(CommandBindings.capacity, 30);
    EXPECT_EQ(CommandBindings.items[24].key, 24u);
    EXPECT_EQ(AddBinding(nullptr, 1, 1), 0);
}

TEST_F(KeymapListTest, ResetKeepsAppBindings) {
    AddBinding(&CommandBindings, 3, 1);
    AddAppBinding(1000, 0x171);
    ResetCommandBindings();
    ASSERT_EQ(CommandBindings.count, 24);
    for (int row = 0; row < COMMAND_COUNT; row++) {
        EXPECT_EQ(CommandBindings.items[row].id, CommandTable[row].id);
        EXPECT_EQ(CommandBindings.items[row].key, CommandTable[row].defaultKey);
    }
    EXPECT_EQ(ListOf(AppBindings), (Pairs{{1000, 0x171}}));
}

TEST_F(KeymapListTest, CompletionOfAnEmptyListIsTheTable) {
    CompleteCommandBindings();
    EXPECT_EQ(Formatted(), std::string(DefaultKeymapText));
    // A second completion adds nothing.
    CompleteCommandBindings();
    EXPECT_EQ(CommandBindings.count, 24);
}

TEST_F(KeymapListTest, FindBindingByKeyPrefersCommands) {
    ParseKeymapText("3\r\n4,1603\r\n6,1603\r\n7,0\r\n---\r\n2\r\n1001,1603\r\n1002,369\r\n");
    EXPECT_EQ(FindBindingByKey(0x643), 4);
    EXPECT_EQ(FindBindingByKey(0x171), 1002);
    EXPECT_EQ(FindBindingByKey(0), 7);
    EXPECT_EQ(FindBindingByKey(0x172), -1);
}

// ---------------------------------------------------------------------------
// Key lookup

TEST_F(KeymapListTest, MatchDefaults) {
    ResetCommandBindings();
    uint32_t id = 99;
    EXPECT_EQ(MatchKey(KEY_CTRL | KEY_SHIFT | 'C', &id), 1);
    EXPECT_EQ(id, 17u);
    EXPECT_EQ(MatchKey(KEY_CTRL | 'C', &id), 1);
    EXPECT_EQ(id, 13u);
    EXPECT_EQ(MatchKey(0x71, &id), 1);  // F2 alone
    EXPECT_EQ(id, 20u);
    EXPECT_EQ(MatchKey(KEY_SHIFT | 0x1B, &id), 1);
    EXPECT_EQ(id, 21u);
    id = 99;
    EXPECT_EQ(MatchKey('C', &id), 0);  // the letter alone
    EXPECT_EQ(MatchKey(KEY_ALT | 'C', &id), 0);
    EXPECT_EQ(MatchKey(0x1B, &id), 0);
    EXPECT_EQ(id, 99u);
}

TEST_F(KeymapListTest, UnmodifiedKeysOtherThanFunctionKeysNeverFire) {
    ParseKeymapText("4\r\n1,67\r\n2,13\r\n3,135\r\n4,136\r\n---\r\n1\r\n1000,112\r\n");
    uint32_t id = 0;
    EXPECT_EQ(MatchKey('C', &id), 0);
    EXPECT_EQ(MatchKey(0x0D, &id), 0);
    EXPECT_EQ(MatchKey(0x88, &id), 0);
    EXPECT_EQ(MatchKey(0x87, &id), 1);  // F24
    EXPECT_EQ(id, 3u);
    EXPECT_EQ(MatchKey(0x70, &id), 2);  // F1, application
    EXPECT_EQ(id, 1000u);
}

TEST_F(KeymapListTest, CommandBoundTwiceFiresOnBothKeys) {
    ParseKeymapText("2\r\n6,584\r\n6,1352\r\n");  // Ctrl+H and Alt+Shift+H
    uint32_t id = 0;
    EXPECT_EQ(MatchKey(KEY_CTRL | 'H', &id), 1);
    EXPECT_EQ(id, 6u);
    id = 0;
    EXPECT_EQ(MatchKey(KEY_ALT | KEY_SHIFT | 'H', &id), 1);
    EXPECT_EQ(id, 6u);
}

TEST_F(KeymapListTest, ModifiedFunctionAndHighKeysFire) {
    // Alt+F4 to an application, Ctrl+F17 (0x80) and Ctrl+0xBA to commands.
    ParseKeymapText("2\r\n8,640\r\n9,698\r\n---\r\n1\r\n1004,371\r\n");
    uint32_t id = 0;
    EXPECT_EQ(MatchKey(KEY_ALT | 0x73, &id), 2);
    EXPECT_EQ(id, 1004u);
    EXPECT_EQ(MatchKey(KEY_CTRL | 0x80, &id), 1);
    EXPECT_EQ(id, 8u);
    EXPECT_EQ(MatchKey(KEY_CTRL | 0xBA, &id), 1);
    EXPECT_EQ(id, 9u);
    EXPECT_EQ(MatchKey(KEY_SHIFT | 0xBA, &id), 0);
}

TEST_F(KeymapListTest, CommandWinsOverApplicationAndFirstEntryWins) {
    ParseKeymapText("2\r\n11,1603\r\n12,1603\r\n---\r\n1\r\n1000,1603\r\n");
    uint32_t id = 0;
    EXPECT_EQ(MatchKey(0x643, &id), 1);
    EXPECT_EQ(id, 11u);
}

TEST_F(KeymapListTest, KeyZeroAndDamagedEntries) {
    ParseKeymapText("2\r\n5,0\r\n,1603\r\n");
    uint32_t id = 0;
    EXPECT_EQ(MatchKey(0, &id), 0);
    // A damaged entry still matches; its id names nothing.
    EXPECT_EQ(MatchKey(0x643, &id), 1);
    EXPECT_EQ(id, BINDING_DAMAGED);
}

// ---------------------------------------------------------------------------
// Key names

TEST(KeymapNames, KeyNameRanges) {
    char name[32];
    struct {
        uint32_t vk;
        const char* text;
    } named[] = {
        {0x30, "0"},
        {0x39, "9"},
        {0x41, "A"},
        {0x5A, "Z"},
        {0x60, "Num(0)"},
        {0x69, "Num(9)"},
        {0x6A, "Num(*)"},
        {0x6B, "Num(+)"},
        {0x6C, "Num(Enter)"},
        {0x6D, "Num(-)"},
        {0x6E, "Num(.)"},
        {0x6F, "Num(/)"},
        {0x70, "F1"},
        {0x79, "F10"},
        {0x87, "F24"},
        {0x02, "マウス右ボタン"},
        {0x05, "マウス X1 ボタン"},
        {0x07, "未定義"},
        {0x08, "BS"},
        {0x0A, "未定義"},
        {0x0B, "未定義"},
        {0x0C, "Clear"},
        {0x0E, "未定義"},
        {0x0F, "未定義"},
        {0x10, "Shift"},
        {0x14, "Caps Lock"},
        {0x15, "---"},
        {0x16, "未定義"},
        {0x17, "---"},
        {0x19, "---"},
        {0x1A, "未定義"},
        {0x1B, "Esc"},
        {0x1C, "IME 変換"},
        {0x1D, "IME 無変換"},
        {0x1E, "未定義"},
        {0x1F, "IME モード変更"},
        {0x20, "Space"},
        {0x22, "Page Down"},
        {0x2C, "Print Screen"},
        {0x2F, "Help"},
    };
    for (const auto& n : named) {
        EXPECT_EQ(KeyName(n.vk, name, sizeof name), 1) << std::hex << n.vk;
        EXPECT_STREQ(name, n.text) << std::hex << n.vk;
    }
    const uint32_t unnamed[] = {0x00, 0x01, 0x3A, 0x40, 0x5B, 0x5F, 0x88, 0xBA, 0xFF, 0x143};
    for (uint32_t vk : unnamed) {
        EXPECT_EQ(KeyName(vk, name, sizeof name), 0) << std::hex << vk;
        EXPECT_STREQ(name, "") << std::hex << vk;
    }
    char tiny[4];
    EXPECT_EQ(KeyName(0x6C, tiny, sizeof tiny), 1);
    EXPECT_STREQ(tiny, "Num");
}

TEST(KeymapNames, KeyText) {
    char text[64];
    EXPECT_EQ(KeyText(0x643, text, sizeof text, 17), 1);
    EXPECT_STREQ(text, "Ctrl+Shift+C");
    EXPECT_EQ(KeyText(0x71, text, sizeof text, -1), 1);
    EXPECT_STREQ(text, "F2");
    EXPECT_EQ(KeyText(0x179, text, sizeof text, -1), 1);
    EXPECT_STREQ(text, "Alt+F10");
    EXPECT_EQ(KeyText(0, text, sizeof text, 5), 1);
    EXPECT_STREQ(text, "(NONE)");
    EXPECT_EQ(KeyText(0x728, text, sizeof text, -1), 1);
    EXPECT_STREQ(text, "Alt+Ctrl+Shift+Down");
    EXPECT_EQ(KeyText(0x207, text, sizeof text, -1), 1);
    EXPECT_STREQ(text, "Ctrl+未定義");
}

TEST(KeymapNames, KeyTextOfUnnamedKeyFallsBackToTheDefault) {
    char text[64];
    // Ctrl+0xBA for command 13 shows the default key's name (C) with 0.
    EXPECT_EQ(KeyText(0x2BA, text, sizeof text, 13), 0);
    EXPECT_STREQ(text, "Ctrl+C");
    // Command 21's default is Shift+Esc: only the low byte's name is taken.
    EXPECT_EQ(KeyText(0x13A, text, sizeof text, 21), 0);
    EXPECT_STREQ(text, "Alt+Esc");
    // Unknown command or no command: "(NONE)".
    EXPECT_EQ(KeyText(0x2BA, text, sizeof text, 24), 0);
    EXPECT_STREQ(text, "(NONE)");
    EXPECT_EQ(KeyText(0x2BA, text, sizeof text, -1), 0);
    EXPECT_STREQ(text, "(NONE)");
    EXPECT_EQ(KeyText(0x200, text, sizeof text, 1000), 0);
    EXPECT_STREQ(text, "(NONE)");
    // A small buffer is never overrun.
    char small[8];
    memset(small, 'x', sizeof small);
    KeyText(0x643, small, 6, 17);
    EXPECT_STREQ(small, "Ctrl+");
    EXPECT_EQ(small[6], 'x');
}

TEST(KeymapNames, ModifierKeys) {
    const uint32_t modifiers[] = {0x10, 0x11, 0x12, 0x5B, 0x5C, 0xA0, 0xA1, 0xA2, 0xA3, 0xA4, 0xA5};
    for (uint32_t vk : modifiers) EXPECT_TRUE(IsModifierKey(vk)) << std::hex << vk;
    const uint32_t others[] = {0x00, 0x0F, 0x13, 0x14, 0x5A, 0x5D, 0x9F, 0xA6, 0x110, 0x70};
    for (uint32_t vk : others) EXPECT_FALSE(IsModifierKey(vk)) << std::hex << vk;
}
