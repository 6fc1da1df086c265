// Tests of the drag-and-drop rules: the tooltip over a target, the rows of
// the drop menu, the text block of a drag, the size of the file-drop block,
// identifier-list sizes and the identifier-list array.
#include <gtest/gtest.h>

#include <string.h>

#include <string>
#include <vector>

#include "launcher/dragdrop/dragrules.h"
#include "launcher/shellext/shellrules.h"

namespace {

std::string List(std::vector<std::string> paths) {
    std::string s;
    for (const std::string& p : paths) s += p + '\0';
    return s + '\0';
}

}  // namespace

TEST(DragTip, TextAndEffectFollowTargetKeysAndMenu) {
    const struct {
        const char* target;
        bool menu;
        uint32_t effectIn;
        const char* text;
        uint32_t effectOut;
    } cases[] = {
        {"C:\\work\\docs", false, DD_EFFECT_COPY, "docs にコピー", DD_EFFECT_COPY},
        {"C:\\work\\docs\\", false, DD_EFFECT_MOVE, "docs に移動", DD_EFFECT_MOVE},
        {"C:\\work\\docs", true, DD_EFFECT_MOVE, "docs に...", DD_EFFECT_MOVE},
        {"C:\\bin\\Tool.EXE", false, DD_EFFECT_MOVE, "Tool.EXE で開く", DD_EFFECT_COPY},
        {"C:\\bin\\tool.exe", true, DD_EFFECT_MOVE, "tool.exe に...", DD_EFFECT_MOVE},
        {"C:\\work\\docs", false, DD_EFFECT_LINK, "docs", DD_EFFECT_LINK},
        {"C:\\", false, DD_EFFECT_COPY, "C: にコピー", DD_EFFECT_COPY},
        {"C:\\表示", false, DD_EFFECT_MOVE, "表示 に移動", DD_EFFECT_MOVE},
    };
    for (const auto& c : cases) {
        char out[300];
        uint32_t effect = c.effectIn;
        ASSERT_TRUE(DragTipText(c.target, c.menu, &effect, out, sizeof out)) << c.target;
        EXPECT_STREQ(out, c.text) << c.target;
        EXPECT_EQ(effect, c.effectOut) << c.target;
    }
}

TEST(DragTip, NoTargetGivesNoText) {
    char out[40] = "old";
    uint32_t effect = DD_EFFECT_MOVE;
    EXPECT_FALSE(DragTipText("", false, &effect, out, sizeof out));
    EXPECT_STREQ(out, "");
    EXPECT_FALSE(DragTipText(nullptr, false, &effect, out, sizeof out));
}

TEST(DragTip, LongNameIsCutAndTheActionKept) {
    std::string target = "C:\\" + std::string(200, 'n');
    char out[40];
    uint32_t effect = DD_EFFECT_COPY;
    ASSERT_TRUE(DragTipText(target.c_str(), false, &effect, out, sizeof out));
    std::string text = out;
    EXPECT_LT(text.size(), sizeof out);
    EXPECT_EQ(text.substr(text.size() - strlen(" にコピー")), " にコピー");
    EXPECT_EQ(text[0], 'n');
}

TEST(DropMenu, RowsForEditBoxFolderAndProgram) {
    const struct {
        bool onEdit;
        const char* target;
        std::vector<int> ids;
    } cases[] = {
        {true, "C:\\work", {1000, 0, 1002, 1003, 1005, 0, 1004}},
        {true, "", {1000, 0, 1004}},
        {false, "C:\\work", {1002, 1003, 1005, 0, 1004}},
        {false, "C:\\bin\\app.Exe", {1001, 0, 1004}},
        {true, "C:\\bin\\app.exe", {1000, 0, 1001, 0, 1004}},
        {false, nullptr, {1004}},
    };
    for (const auto& c : cases) {
        DropMenuEntry rows[DROP_MENU_MAX];
        int n = DropMenuEntries(c.onEdit, c.target, rows);
        std::vector<int> ids;
        for (int i = 0; i < n; i++) {
            ids.push_back(rows[i].id);
            EXPECT_EQ(rows[i].id == 0, rows[i].text == nullptr);
        }
        EXPECT_EQ(ids, c.ids) << (c.target ? c.target : "(none)");
    }
}

TEST(DropMenu, Texts) {
    DropMenuEntry rows[DROP_MENU_MAX];
    int n = DropMenuEntries(true, "C:\\work", rows);
    ASSERT_EQ(n, 7);
    EXPECT_STREQ(rows[0].text, "エディットにパスを反映(&E)");
    EXPECT_STREQ(rows[2].text, "コピー(&C)");
    EXPECT_STREQ(rows[3].text, "移動(&M)");
    EXPECT_STREQ(rows[4].text, "ショートカット作成(&S)");
    EXPECT_STREQ(rows[6].text, "キャンセル(&X)");
    n = DropMenuEntries(false, "C:\\a.exe", rows);
    EXPECT_STREQ(rows[0].text, "このプログラムで開く(&O)");
}

TEST(DragText, PathsEachFollowedByCrLf) {
    std::string list = List({"C:\\a", "C:\\b"});
    size_t size = TextBlockSize(list.c_str());
    EXPECT_EQ(size, list.size() + 2 + 21);
    std::vector<char> block(size, 'x');
    ASSERT_TRUE(WriteTextBlock(block.data(), block.size(), list.c_str()));
    EXPECT_STREQ(block.data(), "C:\\a\r\nC:\\b\r\n");
    // Too small a block is refused.
    std::vector<char> small(8, 'x');
    EXPECT_FALSE(WriteTextBlock(small.data(), small.size(), list.c_str()));
}

TEST(DragFileDrop, BlockSizes) {
    EXPECT_EQ(FileDropBlockSize(10, false), 10u + 1 + 21);
    EXPECT_EQ(FileDropBlockSize(10, true), (10u * 2 + 1) * 2 + 21);
}

TEST(DragFileDrop, WideBlockHeaderAndList) {
    const uint16_t list[] = {'C', ':', '\\', 'a', 0, 0x8868, 0, 0};
    std::vector<unsigned char> block(FileDropBlockSize(8, true), 0);
    ASSERT_TRUE(WriteWideDropBlock(block.data(), block.size(), list, 8));
    const unsigned char header[20] = {20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0};
    EXPECT_EQ(0, memcmp(block.data(), header, 20));
    const unsigned char body[16] = {'C', 0, ':', 0, '\\', 0, 'a', 0, 0, 0, 0x68, 0x88, 0, 0, 0, 0};
    EXPECT_EQ(0, memcmp(block.data() + 20, body, 16));
    // An unclosed list, or one that does not fit, is refused untouched.
    std::vector<unsigned char> other(64, 0xEE);
    EXPECT_FALSE(WriteWideDropBlock(other.data(), other.size(), list, 7));
    EXPECT_FALSE(WriteWideDropBlock(other.data(), 30, list, 8));
    EXPECT_EQ(other[0], 0xEE);
}

TEST(DragIdList, SizeCountsItemsAndTerminator) {
    const struct {
        std::vector<unsigned char> bytes;
        size_t size;
    } cases[] = {
        {{0, 0}, 2},
        {{4, 0, 'a', 'b', 0, 0}, 6},
        {{3, 0, 'a', 5, 0, 1, 2, 3, 0, 0}, 10},
        {{4, 0, 'a', 'b'}, 0},     // no terminator inside the block
        {{1, 0, 0, 0}, 0},         // an item shorter than its count field
        {{9, 0, 'a', 0, 0}, 0},    // an item running past the block
        {{0}, 0},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IdListSize(c.bytes.data(), c.bytes.size()), c.size);
    EXPECT_EQ(IdListSize(nullptr, 10), 0u);
}

TEST(DragIdArray, LayoutOfParentAndItems) {
    // C:\w\x.txt and C:\w\y: the parent list of C:\w, then x.txt and y.
    const unsigned char parent[] = {5, 0, 'C', ':', '\\', 3, 0, 'w', 0, 0};
    const unsigned char x[] = {7, 0, 'x', '.', 't', 'x', 't', 0, 0};
    const unsigned char y[] = {3, 0, 'y', 0, 0};
    const unsigned char* items[] = {x, y};
    const size_t sizes[] = {sizeof x, sizeof y};
    size_t size = IdArrayBlockSize(sizeof parent, sizes, 2);
    EXPECT_EQ(size, 4 * 2 + 12 + sizeof parent + sizeof x + sizeof y);
    std::vector<unsigned char> block(size + 100, 0xEE);
    ASSERT_EQ(WriteIdArrayBlock(block.data(), block.size(), parent, sizeof parent, items, sizes, 2),
              size);
    auto u32 = [&](size_t at) {
        return (uint32_t)block[at] | ((uint32_t)block[at + 1] << 8) |
               ((uint32_t)block[at + 2] << 16) | ((uint32_t)block[at + 3] << 24);
    };
    EXPECT_EQ(u32(0), 2u);
    EXPECT_EQ(u32(4), 20u);
    EXPECT_EQ(u32(8), 20u + sizeof parent);
    EXPECT_EQ(u32(12), 20u + sizeof parent + sizeof x);
    EXPECT_EQ(u32(16), 0u);
    EXPECT_EQ(0, memcmp(block.data() + 20, parent, sizeof parent));
    EXPECT_EQ(0, memcmp(block.data() + 20 + sizeof parent, x, sizeof x));
    EXPECT_EQ(0, memcmp(block.data() + 20 + sizeof parent + sizeof x, y, sizeof y));
}

TEST(DragIdArray, AnUnparsedPathWithholdsTheWholeArray) {
    const unsigned char parent[] = {3, 0, 'p', 0, 0};
    const unsigned char x[] = {3, 0, 'x', 0, 0};
    const struct {
        const unsigned char* second;
        size_t secondSize;
        const unsigned char* parent;
        size_t blockSize;
    } cases[] = {
        {nullptr, 0, parent, 200},  // the second path could not be parsed
        {x, 0, parent, 200},
        {x, sizeof x, nullptr, 200},  // nor its folder
        {x, sizeof x, parent, 20},    // the block is too small
    };
    for (const auto& c : cases) {
        const unsigned char* items[] = {x, c.second};
        const size_t sizes[] = {sizeof x, c.secondSize};
        std::vector<unsigned char> block(c.blockSize, 0xEE);
        EXPECT_EQ(WriteIdArrayBlock(block.data(), block.size(), c.parent, sizeof parent, items,
                                    sizes, 2),
                  0u);
        EXPECT_EQ(block[0], 0xEE);  // nothing written
    }
}
