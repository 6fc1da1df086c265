// Tests of the Favorites pages: where each page starts, the shown-page counter
// and its wrap, and what the list reader takes from a page.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/listfile.h"
#include "launcher/lists/favpages.h"
#include "common/itemarray.h"

namespace {

typedef std::vector<std::string> Strings;

// Runs one display the way the command does: the page start for FavoritePage,
// then the list reader from there. Returns the texts of the page's items.
Strings ShowPage(const std::string& file, bool next, bool* shown) {
    *shown = BeginFavoritesPage(next);
    if (!*shown) return {};
    std::vector<char> buf(file.begin(), file.end());
    buf.push_back('\0');
    size_t start = FavoritesPageStart(buf.data(), &FavoritePage);
    EXPECT_LE(start, file.size());
    ItemArray items = {};
    EXPECT_LE(0, ReadListFile(buf.data() + start, LF_FAVORITES, 0, nullptr, &items));
    Strings out;
    for (int i = 0; i < items.count; i++) out.push_back(items.items[i].path);
    FreeItems(&items);
    return out;
}

TEST(FavoritesPages, FileWithoutBreaksHasNoNextPage) {
    const std::string file = "a\r\nb\r\nc";
    bool shown;
    EXPECT_EQ((Strings{"a", "b", "c"}), ShowPage(file, false, &shown));
    EXPECT_TRUE(shown);
    EXPECT_EQ(0, FavoritePage);
    ShowPage(file, true, &shown);
    EXPECT_FALSE(shown);
    EXPECT_EQ(1, CountFavoritesPages(file.c_str()));
}

TEST(FavoritesPages, ThreePagesWrapAround) {
    const std::string file = "a\r\n>\r\nb1\r\nb2\r\n>\r\nc\r\n";
    bool shown;
    EXPECT_EQ((Strings{"a"}), ShowPage(file, false, &shown));
    EXPECT_EQ(1, FavoritePage);
    EXPECT_EQ((Strings{"b1", "b2"}), ShowPage(file, true, &shown));
    EXPECT_EQ(2, FavoritePage);
    EXPECT_EQ((Strings{"c"}), ShowPage(file, true, &shown));
    EXPECT_EQ(3, FavoritePage);
    EXPECT_EQ((Strings{"a"}), ShowPage(file, true, &shown));
    EXPECT_EQ(1, FavoritePage);
    EXPECT_EQ((Strings{"b1", "b2"}), ShowPage(file, true, &shown));
    // Showing Favorites afresh starts at page 0 again.
    EXPECT_EQ((Strings{"a"}), ShowPage(file, false, &shown));
    EXPECT_EQ(3, CountFavoritesPages(file.c_str()));
}

TEST(FavoritesPages, BreaksInARowAndAtTheEndGiveEmptyPages) {
    const std::string file = "a\n>\n>\nc\n>";
    EXPECT_EQ(4, CountFavoritesPages(file.c_str()));
    bool shown;
    EXPECT_EQ((Strings{"a"}), ShowPage(file, false, &shown));
    EXPECT_EQ((Strings{}), ShowPage(file, true, &shown));
    EXPECT_TRUE(shown);
    EXPECT_EQ((Strings{"c"}), ShowPage(file, true, &shown));
    EXPECT_EQ((Strings{}), ShowPage(file, true, &shown));  // after the final ">"
    EXPECT_EQ(4, FavoritePage);
    EXPECT_EQ((Strings{"a"}), ShowPage(file, true, &shown));
}

TEST(FavoritesPages, PageStartOffsets) {
    // Lone CR, CR LF and lone LF after the break lines; any line holding ">" is
    // one break, however many ">" it holds.
    const char* text = "x\r>>\rp1\r\nq>r\r\np2\nend>";
    int32_t page = 1;
    EXPECT_EQ(5u, FavoritesPageStart(text, &page));
    EXPECT_EQ(2, page);
    EXPECT_EQ(14u, FavoritesPageStart(text, &page));
    EXPECT_EQ(3, page);
    EXPECT_EQ(strlen(text), FavoritesPageStart(text, &page));
    EXPECT_EQ(4, page);
    EXPECT_EQ(0u, FavoritesPageStart(text, &page));
    EXPECT_EQ(1, page);
    EXPECT_EQ(4, CountFavoritesPages(text));

    // A lead byte does not hide a ">" or a line end that follows it, and a
    // double-byte character is never split.
    const char* sjis = "\x81>\r\n\x95\x5C>\r\nz";
    page = 1;
    EXPECT_EQ(4u, FavoritesPageStart(sjis, &page));
    EXPECT_EQ(9u, FavoritesPageStart(sjis, &page));

    // Empty text: page 0, no breaks.
    page = 7;
    EXPECT_EQ(0u, FavoritesPageStart("", &page));
    EXPECT_EQ(0, page);
}

}  // namespace
