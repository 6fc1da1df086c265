// Tests of the folded copy of an item array's names that the plain filters
// scan: what it holds, when it is dropped, and that the block scan keeps the
// substring rule of the string routines (a match starts and ends on character
// boundaries).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/itemarray.h"
#include "common/strutil.h"
#include "launcher/lists/listfilter.h"

namespace {

struct Names {
    ItemArray a = {};
    explicit Names(const std::vector<std::string>& names) {
        for (const std::string& n : names) EXPECT_EQ(1, AppendItem(&a, n.c_str(), ItemFile));
    }
    ~Names() { FreeItems(&a); }
};

std::vector<std::string> Shown(const ItemArray& a) {
    std::vector<std::string> out;
    for (int i = 0; i < a.count; i++)
        if (a.items[i].viewIndex >= 0) out.push_back(a.items[i].path);
    return out;
}

TEST(FoldedNames, HoldsTheFoldedTextsAndIsMadeOnce) {
    Names n({"ReadMe.TXT", "検索A.txt", ""});
    const FoldedNames* f = FoldedNamesOf(&n.a);
    ASSERT_NE(nullptr, f);
    EXPECT_EQ(3, f->count);
    EXPECT_STREQ("readme.txt", f->text + f->start[0]);
    EXPECT_STREQ("検索a.txt", f->text + f->start[1]);
    EXPECT_STREQ("", f->text + f->start[2]);
    EXPECT_EQ(1, f->ascii[0]);
    EXPECT_EQ(0, f->ascii[1]);
    EXPECT_EQ(f, FoldedNamesOf(&n.a));
    ItemArray empty = {};
    EXPECT_EQ(nullptr, FoldedNamesOf(&empty));
}

TEST(FoldedNames, ChangedItemsAreSeenByTheNextFilter) {
    Names n({"alpha", "beta", "gamma"});
    int32_t shown = 0;
    ASSERT_GE(FilterFolderItems(&n.a, "ta", 0, nullptr, &shown), 0);
    EXPECT_EQ(std::vector<std::string>({"beta"}), Shown(n.a));
    // An item written over in place.
    SetListItem(&n.a.items[0], "delta", ItemFile);
    ASSERT_GE(FilterFolderItems(&n.a, "ta", 0, nullptr, &shown), 0);
    EXPECT_EQ(std::vector<std::string>({"delta", "beta"}), Shown(n.a));
    // An item appended.
    ASSERT_EQ(1, AppendItem(&n.a, "iota", ItemFile));
    FilterResult r = FilterItemsByText(&n.a, "ta", nullptr);
    EXPECT_EQ(3, r.shown);
    // Freed and filled again (the new block may sit at the same address).
    FreeItems(&n.a);
    ASSERT_EQ(1, AppendItem(&n.a, "theta", ItemFile));
    ASSERT_EQ(1, AppendItem(&n.a, "zeta", ItemFile));
    ASSERT_EQ(1, AppendItem(&n.a, "eta", ItemFile));
    r = FilterItemsByText(&n.a, "the", nullptr);
    EXPECT_EQ(std::vector<std::string>({"theta"}), Shown(n.a));
}

struct ScanCase {
    const char* text;
    int inputmode;
    std::vector<std::string> shown;
};

TEST(FoldedNames, BlockScanKeepsCharacterBoundaries) {
    // "ソ" is 83 5C, "ポ" 83 7C, "ー" 81 5B, "カ" 83 4A ("J" is 0x4A: found in
    // "カ" as a byte, never as a letter).
    Names n({"ソフト", "abc\\def", "xポーx", "カメラ", "JPEG", "report", "ＲＥＰＯＲＴ"});
    const ScanCase cases[] = {
        {"\\d", 0, {"abc\\def"}},  // the trail byte of "ソ" is no backslash
        {"|", 0, {}},               // nor that of "ポ" a bar
        {"j", 0, {"JPEG"}},
        {"ポー", 0, {"xポーx"}},
        {"re:po", 0, {"report"}},
        {"ｒｅ", 0, {}},            // full-width letters are not folded
        {"ＲＥ", 0, {"ＲＥＰＯＲＴ"}},
        {"re", 1, {"report"}},
        {"ポ", 1, {}},
        {"カメ", 1, {"カメラ"}},
    };
    for (const ScanCase& c : cases) {
        int32_t shown = 0;
        int32_t r = FilterFolderItems(&n.a, c.text, c.inputmode, nullptr, &shown);
        if (c.shown.empty()) {
            EXPECT_EQ(FOLDER_NO_MATCH, r) << c.text;
            continue;
        }
        EXPECT_EQ(c.shown, Shown(n.a)) << c.text;
        FilterItemsByText(&n.a, c.text, nullptr);
        if (c.inputmode == 0) {
            EXPECT_EQ(c.shown, Shown(n.a)) << c.text;
        }
    }
}

}  // namespace
