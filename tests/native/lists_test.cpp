// Tests of the list core: item array growth, the item-list and folder-list
// filters, the folder-list anchor, the type-ahead search order and the kinds
// that take several rows.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/itemarray.h"
#include "launcher/lists/itemkinds.h"
#include "launcher/lists/listfilter.h"
#include "launcher/lists/typeahead.h"

namespace {

struct Array {
    ItemArray a = {};
    explicit Array(const std::vector<std::string>& names) {
        for (const std::string& n : names) EXPECT_EQ(1, AppendItem(&a, n.c_str(), ItemFile));
    }
    ~Array() { FreeItems(&a); }
    ListItem& operator[](int i) { return a.items[i]; }
};

// The texts of the shown items in row order; fails when the rows are not
// 0, 1, 2... in array order.
std::vector<std::string> Shown(const ItemArray& a) {
    std::vector<std::string> out;
    for (int i = 0; i < a.count; i++) {
        int32_t v = a.items[i].viewIndex;
        if (v < 0) {
            EXPECT_EQ(-1, v) << "item " << i;
            continue;
        }
        EXPECT_EQ((int32_t)out.size(), v) << "item " << i;
        out.push_back(a.items[i].path);
    }
    return out;
}

std::vector<int32_t> Rows(const ItemArray& a) {
    std::vector<int32_t> out;
    for (int i = 0; i < a.count; i++) out.push_back(a.items[i].viewIndex);
    return out;
}

typedef std::vector<std::string> Names;

// Stand-in romaji matcher: a query is the term; a text matches when it holds
// the bytes of the term's "reading" registered in readings (term -> bytes).
struct FakeRomaji {
    std::vector<std::pair<std::string, std::string>> readings;
    std::vector<std::string> compiled;
    std::vector<std::string> matchedTexts;
    int alive = 0;
    int maxAlive = 0;
    bool failCompile = false;
    bool unsure = false;  // every match answers "cannot tell"
};

void* FakeCompile(void* ctx, const char* term) {
    FakeRomaji* f = (FakeRomaji*)ctx;
    f->compiled.push_back(term);
    if (f->failCompile) return nullptr;
    f->alive++;
    if (f->alive > f->maxAlive) f->maxAlive = f->alive;
    return new std::string(term);
}
int FakeMatch(void* ctx, void* query, const char* text, int32_t length) {
    FakeRomaji* f = (FakeRomaji*)ctx;
    EXPECT_EQ(strlen(text), (size_t)length);
    f->matchedTexts.push_back(text);
    if (f->unsure) return -1;
    const std::string& term = *(std::string*)query;
    for (auto& r : f->readings)
        if (r.first == term && strstr(text, r.second.c_str())) return 1;
    return 0;
}
void FakeRelease(void* ctx, void* query) {
    ((FakeRomaji*)ctx)->alive--;
    delete (std::string*)query;
}
WideMatcher MatcherFor(FakeRomaji* f) {
    return WideMatcher{FakeCompile, FakeMatch, FakeRelease, f};
}

// Matcher that applies the plain substring test: with it the per-term passes
// must give exactly what the single pass gives.
void* PlainCompile(void*, const char* term) { return new std::string(term); }
int PlainMatch(void*, void* query, const char* text, int32_t) {
    return strstr(text, ((std::string*)query)->c_str()) != nullptr;
}
void PlainRelease(void*, void* query) { delete (std::string*)query; }

const char kA[] = "\x83\x41";    // katakana A: trail byte is "A"
const char kHyo[] = "\x95\x5c";  // trail byte is "\"
const char kKen[] = "\x8c\x9f";  // a kanji

}  // namespace

// ---- item array ----

TEST(ListsItemArray, GrowthRuleCapacities) {
    // Fresh arrays hold 101; a full array grows by half again; an array is
    // never shrunk and never grown before it is full.
    struct Case {
        int32_t n, current, want;
    } cases[] = {
        {0, 101, 101},           {99, 101, 101},
        {101, 101, 151},         {150, 151, 151},
        {151, 151, 226},         {8, 8, 101},  // allocated for a known count, then appended to
        {250, 250, 375},         {-1, 40, 40},
        {2000000000, 2000000000, INT32_MAX},   {INT32_MAX - 1, INT32_MAX - 1, INT32_MAX},
        {INT32_MAX, INT32_MAX, -1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.want, GrownCapacity(c.n, c.current)) << c.n << " / " << c.current;
}

TEST(ListsItemArray, AMillionItemsAreReachedInFewGrowthSteps) {
    // A search with a million hits must not copy the array thousands of times.
    int32_t capacity = ITEM_ARRAY_FIRST_CAPACITY;
    int steps = 0;
    while (capacity <= 1000000) {
        int32_t next = GrownCapacity(capacity, capacity);
        ASSERT_GT(next, capacity);
        capacity = next;
        steps++;
    }
    EXPECT_LE(steps, 25);
}

TEST(ListsItemArray, AppendGrowsAndZeroFills) {
    ItemArray a = {};
    int growths = 0;
    int32_t last = 0;
    for (int i = 0; i < 6002; i++) {
        char name[16];
        snprintf(name, sizeof name, "n%d", i);
        ASSERT_EQ(1, AppendItem(&a, name, ItemFile));
        ASSERT_LT(a.count, a.capacity + 1);
        if (a.capacity != last) {
            growths++;
            last = a.capacity;
        }
    }
    EXPECT_LE(growths, 12) << "6002 items in a dozen allocations at most";
    for (int i = 0; i < a.count; i++) {
        char name[16];
        snprintf(name, sizeof name, "n%d", i);
        ASSERT_STREQ(name, a.items[i].path);
        ASSERT_EQ(i, a.items[i].viewIndex);
    }
    // Everything past the count is zero.
    const unsigned char* rest = (const unsigned char*)(a.items + a.count);
    size_t restBytes = (size_t)(a.capacity - a.count) * sizeof(ListItem);
    size_t nonZero = 0;
    for (size_t i = 0; i < restBytes; i++) nonZero += rest[i] != 0;
    EXPECT_EQ(0u, nonZero);
    FreeItems(&a);
    EXPECT_EQ(nullptr, a.items);
    EXPECT_EQ(0, a.count);
}

TEST(ListsItemArray, RowIndexFindsEachShownItemAndNeverAWrongOne) {
    ItemArray a = {};
    for (int i = 0; i < 6; i++) ASSERT_EQ(1, AppendItem(&a, "x", ItemFile));
    // Rows 0..2 show the items at 1, 3, 4; the rest are filtered out.
    int32_t view[6] = {-1, 0, -1, 1, 2, -1};
    for (int i = 0; i < 6; i++) a.items[i].viewIndex = view[i];
    EXPECT_EQ(3, IndexRows(&a));
    EXPECT_EQ(3, a.rowCount);
    struct Case {
        int32_t row, pos;
    } cases[] = {{0, 1}, {1, 3}, {2, 4}, {3, -1}, {-1, -1}, {99, -1}};
    for (const Case& c : cases) EXPECT_EQ(c.pos, ItemOfRow(&a, c.row)) << "row " << c.row;
    // A filter renumbers without rebuilding the index: the stale index is
    // checked against viewIndex and the search answers.
    a.items[3].viewIndex = -1;
    a.items[4].viewIndex = 1;
    a.items[5].viewIndex = 2;
    EXPECT_EQ(4, ItemOfRow(&a, 1));
    EXPECT_EQ(5, ItemOfRow(&a, 2));
    // Rows not numbered in array order leave no index, and are still found.
    a.items[1].viewIndex = 1;
    a.items[4].viewIndex = 0;
    a.items[5].viewIndex = -1;
    EXPECT_EQ(2, IndexRows(&a));
    EXPECT_EQ(0, a.rowCount);
    EXPECT_EQ(4, ItemOfRow(&a, 0));
    FreeItems(&a);
    EXPECT_EQ(nullptr, a.rows);
    EXPECT_EQ(-1, ItemOfRow(&a, 0));
}

TEST(ListsItemArray, ItemFieldsAndBoundedCopy) {
    ItemArray a = {};
    ASSERT_EQ(1, AppendItem(&a, "plain", ItemFolder));
    ASSERT_EQ(1, AppendItem(&a, (std::string("x") + kA).c_str(), ItemFile));
    ASSERT_EQ(1, AppendItem(&a, "\xb1\xb2\xb3", 0));  // half-width katakana: single bytes
    ASSERT_EQ(1, AppendItem(&a, nullptr, 0));
    EXPECT_EQ((uint32_t)ItemFolder, a.items[0].flags);
    EXPECT_EQ((uint32_t)(ItemFile | ItemWide), a.items[1].flags);
    EXPECT_EQ(0u, a.items[2].flags);
    EXPECT_STREQ("", a.items[3].path);
    for (int i = 0; i < 4; i++) {
        EXPECT_EQ(-1, a.items[i].image);
        EXPECT_EQ(0u, a.items[i].window);
    }
    // 262 ASCII bytes then a double-byte character: the cut falls before it.
    std::string longName(262, 'a');
    longName += kKen;
    longName += "tail";
    ASSERT_EQ(1, AppendItem(&a, longName.c_str(), 0));
    EXPECT_EQ(262u, strlen(a.items[4].path));
    EXPECT_EQ(0u, a.items[4].flags & ItemWide);
    std::string exact(261, 'b');
    exact += kKen;  // 263 bytes fit whole
    ASSERT_EQ(1, AppendItem(&a, exact.c_str(), 0));
    EXPECT_EQ(exact, a.items[5].path);
    EXPECT_NE(0u, a.items[5].flags & ItemWide);
    FreeItems(&a);
}

TEST(ListsItemArray, AllocForKnownCount) {
    ItemArray a = {};
    ASSERT_EQ(1, AllocItems(&a, 2));
    EXPECT_EQ(5, a.capacity);
    EXPECT_EQ(0, a.count);
    for (int i = 0; i < 5; i++) EXPECT_STREQ("", a.items[i].path);
    // Appending past the allocated room grows instead of writing beyond it.
    for (int i = 0; i < 7; i++) ASSERT_EQ(1, AppendItem(&a, "x", 0));
    EXPECT_EQ(7, a.count);
    EXPECT_EQ(101, a.capacity);
    // A fresh allocation replaces the old array.
    ASSERT_EQ(1, AllocItems(&a, 0));
    EXPECT_EQ(3, a.capacity);
    EXPECT_EQ(0, AllocItems(&a, -1));
    EXPECT_EQ(nullptr, a.items);
    EXPECT_EQ(0, AllocItems(&a, 2147483646));  // count + 3 does not fit
    EXPECT_EQ(nullptr, a.items);
    EXPECT_EQ(0, a.capacity);
    EXPECT_EQ(0, AppendItem(nullptr, "x", 0));
    FreeItems(&a);
}

// ---- item-list filter ----

TEST(ListsItemFilter, EmptyTextShowsAll) {
    Array a({"C:\\one", "C:\\three", "x"});
    for (int i = 0; i < 3; i++) a[i].viewIndex = -1;
    FilterResult r = FilterItemsByText(&a.a, "", nullptr);
    EXPECT_EQ(3, r.shown);
    EXPECT_EQ(8, r.longest);
    EXPECT_EQ((std::vector<int32_t>{0, 1, 2}), Rows(a.a));
    r = FilterItemsByText(&a.a, nullptr, nullptr);
    EXPECT_EQ(3, r.shown);
}

TEST(ListsItemFilter, TermsColonsAndCase) {
    Array a({"C:\\Docs\\Report.txt", "D:\\music\\report.mp3", "C:\\docs\\notes.TXT",
             "C:\\tmp\\REPORTtxt"});
    FilterResult r = FilterItemsByText(&a.a, "REPORT", nullptr);
    EXPECT_EQ((Names{"C:\\Docs\\Report.txt", "D:\\music\\report.mp3", "C:\\tmp\\REPORTtxt"}),
              Shown(a.a));
    EXPECT_EQ(3, r.shown);
    EXPECT_EQ(19, r.longest);

    // Both terms, in any order within the text.
    FilterItemsByText(&a.a, "txt:report", nullptr);
    EXPECT_EQ((Names{"C:\\Docs\\Report.txt", "C:\\tmp\\REPORTtxt"}), Shown(a.a));
    // One trailing colon is dropped; two colons in a row act as one.
    FilterItemsByText(&a.a, "txt:", nullptr);
    std::vector<int32_t> oneColon = Rows(a.a);
    FilterItemsByText(&a.a, "txt", nullptr);
    EXPECT_EQ(oneColon, Rows(a.a));
    EXPECT_EQ((Names{"C:\\Docs\\Report.txt", "C:\\docs\\notes.TXT", "C:\\tmp\\REPORTtxt"}),
              Shown(a.a));
    FilterItemsByText(&a.a, "docs::TXT", nullptr);
    EXPECT_EQ((Names{"C:\\Docs\\Report.txt", "C:\\docs\\notes.TXT"}), Shown(a.a));
    FilterItemsByText(&a.a, "docs:txt::", nullptr);
    EXPECT_EQ((Names{"C:\\Docs\\Report.txt", "C:\\docs\\notes.TXT"}), Shown(a.a));
    // A lone colon, or colons only, filter nothing out.
    EXPECT_EQ(4, FilterItemsByText(&a.a, ":", nullptr).shown);
    EXPECT_EQ(4, FilterItemsByText(&a.a, ":::", nullptr).shown);
    // Every term counts, however many there are.
    std::string many;
    for (int i = 0; i < 150; i++) many += "t::";  // 300 terms in 450 bytes
    EXPECT_EQ(4, FilterItemsByText(&a.a, many.c_str(), nullptr).shown);
    EXPECT_EQ(0, FilterItemsByText(&a.a, (many + "zzz").c_str(), nullptr).shown);
}

TEST(ListsItemFilter, NothingMatchesHidesEverything) {
    Array a({"alpha", "beta"});
    FilterResult r = FilterItemsByText(&a.a, "zeta", nullptr);
    EXPECT_EQ(0, r.shown);
    EXPECT_EQ(0, r.longest);
    EXPECT_EQ((std::vector<int32_t>{-1, -1}), Rows(a.a));
    // A later, wider text brings the items back (every pass starts over).
    FilterItemsByText(&a.a, "a", nullptr);
    EXPECT_EQ((Names{"alpha", "beta"}), Shown(a.a));
}

TEST(ListsItemFilter, DoubleByteCharactersAreWhole) {
    std::string aName = std::string("C:\\") + kA + "b";  // trail byte 0x41
    std::string hyo = std::string("C:\\x") + kHyo;       // trail byte 0x5C
    // Bytes 83 41 across two characters: 81 83 is one character, 41 a real "A".
    std::string straddle = std::string("\x81") + kA;
    std::string wideA = std::string("C:\\") + kA + "a";
    std::string bare = std::string("x") + kHyo;  // no real separator
    Array a({aName, hyo, straddle, wideA, bare});
    // "a"/"A" must not match the trail byte of katakana A.
    FilterItemsByText(&a.a, "A", nullptr);
    EXPECT_EQ((Names{straddle, wideA}), Shown(a.a));
    FilterItemsByText(&a.a, "b", nullptr);
    EXPECT_EQ((Names{aName}), Shown(a.a));
    // "\" as a term finds real separators only, never the trail byte of 表.
    FilterItemsByText(&a.a, "\\", nullptr);
    EXPECT_EQ((Names{aName, hyo, wideA}), Shown(a.a));
    // A double-byte term matches whole characters only.
    FilterItemsByText(&a.a, kA, nullptr);
    EXPECT_EQ((Names{aName, wideA}), Shown(a.a));
    FilterItemsByText(&a.a, kHyo, nullptr);
    EXPECT_EQ((Names{hyo, bare}), Shown(a.a));
}

TEST(ListsItemFilter, WideItemsGoToRomajiMatcher) {
    std::string kenName = std::string("C:\\") + kKen + "Doc";
    std::string other = std::string("C:\\") + kA + "KEN";
    Array a({"C:\\KENTA", kenName, other, "C:\\x"});
    FakeRomaji f;
    f.readings.push_back({"ken", kKen});
    WideMatcher m = MatcherFor(&f);
    FilterResult r = FilterItemsByText(&a.a, "KEN", &m);
    // Plain item by substring, wide items only through the matcher (the second
    // wide item holds "KEN" as text but its reading does not match).
    EXPECT_EQ((Names{"C:\\KENTA", kenName}), Shown(a.a));
    EXPECT_EQ(2, r.shown);
    EXPECT_EQ((std::vector<std::string>{"ken"}), f.compiled);  // folded term
    ASSERT_EQ(2u, f.matchedTexts.size());
    EXPECT_EQ(std::string("c:\\") + kKen + "doc", f.matchedTexts[0]);  // folded path
    EXPECT_EQ(0, f.alive);

    // Two terms: one compile per term, one query alive at a time, all released.
    f.compiled.clear();
    f.readings.push_back({"doc", "Doc"});
    FilterItemsByText(&a.a, "ken:doc", &m);
    EXPECT_EQ((std::vector<std::string>{"ken", "doc"}), f.compiled);
    EXPECT_EQ(1, f.maxAlive);
    EXPECT_EQ(0, f.alive);
    EXPECT_EQ(Names{}, Shown(a.a));  // the wide path is folded: "Doc" is no longer there

    // A term that cannot be compiled matches no wide item.
    f.failCompile = true;
    FilterItemsByText(&a.a, "c:", &m);
    EXPECT_EQ((Names{"C:\\KENTA", "C:\\x"}), Shown(a.a));
}

TEST(ListsItemFilter, AQueryThatCannotTellLeavesTheTermToThePlainTest) {
    std::string kenName = std::string("C:\\") + kKen + "Doc";
    std::string other = std::string("C:\\") + kA + "X";
    Array a({"C:\\doc", kenName, other});
    FakeRomaji f;
    f.unsure = true;
    WideMatcher m = MatcherFor(&f);
    FilterItemsByText(&a.a, "DOC", &m);
    EXPECT_EQ((Names{"C:\\doc", kenName}), Shown(a.a));
    EXPECT_EQ(1u, f.matchedTexts.size());  // asked once for the term
    f.matchedTexts.clear();
    int32_t shown = 0;
    EXPECT_EQ(8, FilterFolderItems(&a.a, "doc", 0, &m, &shown));  // the longest shown
    EXPECT_EQ((Names{"C:\\doc", kenName}), Shown(a.a));
    EXPECT_EQ(1u, f.matchedTexts.size());
    EXPECT_EQ(0, f.alive);

    // An empty term keeps every item and asks the matcher nothing.
    f.unsure = false;
    f.compiled.clear();
    f.readings.push_back({"x", kA});
    FilterItemsByText(&a.a, "x::", &m);
    EXPECT_EQ((Names{other}), Shown(a.a));
    EXPECT_EQ((std::vector<std::string>{"x"}), f.compiled);
}

TEST(ListsItemFilter, PerTermPassesEqualSinglePass) {
    Array a({"abc", "xaby", "bca", "cab", "zzz", "ABCAB", "b:a", "aa"});
    Array b({"abc", "xaby", "bca", "cab", "zzz", "ABCAB", "b:a", "aa"});
    for (int i = 0; i < a.a.count; i++) {
        a[i].flags |= ItemWide;  // every item through the matcher
    }
    WideMatcher plain = {PlainCompile, PlainMatch, PlainRelease, nullptr};
    const char* texts[] = {"a", "ab:c", "c:ab", "b::a", "A:B:C", "zz", "q", "a:"};
    for (const char* t : texts) {
        FilterResult ra = FilterItemsByText(&a.a, t, &plain);
        FilterResult rb = FilterItemsByText(&b.a, t, nullptr);
        EXPECT_EQ(Rows(b.a), Rows(a.a)) << t;
        EXPECT_EQ(rb.shown, ra.shown) << t;
        EXPECT_EQ(rb.longest, ra.longest) << t;
    }
}

// ---- folder-list filter ----

TEST(ListsFolderFilter, SubstringAndPrefixModes) {
    Array a({"Windows", "Program Files", "swap", "Users", "ww"});
    int32_t shown = -5;
    EXPECT_EQ(7, FilterFolderItems(&a.a, "W", 0, nullptr, &shown));
    EXPECT_EQ((Names{"Windows", "swap", "ww"}), Shown(a.a));
    EXPECT_EQ(3, shown);
    EXPECT_EQ(7, FilterFolderItems(&a.a, "w", 1, nullptr, &shown));
    EXPECT_EQ((Names{"Windows", "ww"}), Shown(a.a));
    EXPECT_EQ(2, shown);
    // inputmode 0 splits at ":", inputmode 1 takes the text whole.
    EXPECT_EQ(13, FilterFolderItems(&a.a, "r:S", 0, nullptr, &shown));
    EXPECT_EQ((Names{"Program Files", "Users"}), Shown(a.a));
    Array c({"a:b", "ab", "a:bc"});
    EXPECT_EQ(4, FilterFolderItems(&c.a, "A:b", 1, nullptr, &shown));
    EXPECT_EQ((Names{"a:b", "a:bc"}), Shown(c.a));
    EXPECT_EQ(4, FilterFolderItems(&c.a, "a::b", 0, nullptr, &shown));
    EXPECT_EQ((Names{"a:b", "ab", "a:bc"}), Shown(c.a));
}

TEST(ListsFolderFilter, ColonResultsOnlyInSubstringMode) {
    Array a({"abc", "xyz"});
    FilterFolderItems(&a.a, "b", 0, nullptr, nullptr);
    std::vector<int32_t> before = Rows(a.a);
    EXPECT_EQ(FOLDER_ONE_COLON, FilterFolderItems(&a.a, "ab:", 0, nullptr, nullptr));
    EXPECT_EQ(FOLDER_ONE_COLON, FilterFolderItems(&a.a, ":", 0, nullptr, nullptr));
    EXPECT_EQ(FOLDER_TWO_COLONS, FilterFolderItems(&a.a, "ab::", 0, nullptr, nullptr));
    EXPECT_EQ(FOLDER_TWO_COLONS, FilterFolderItems(&a.a, "::", 0, nullptr, nullptr));
    EXPECT_EQ(before, Rows(a.a));
    // In prefix mode the colon is an ordinary byte.
    EXPECT_EQ(FOLDER_NO_MATCH, FilterFolderItems(&a.a, "ab:", 1, nullptr, nullptr));
    EXPECT_EQ(before, Rows(a.a));
}

TEST(ListsFolderFilter, ShowAllForEmptyTextOrSeparatorEnd) {
    Array a({"one", "three", "x"});
    FilterFolderItems(&a.a, "x", 0, nullptr, nullptr);
    int32_t shown = 0;
    EXPECT_EQ(5, FilterFolderItems(&a.a, "", 0, nullptr, &shown));
    EXPECT_EQ(3, shown);
    EXPECT_EQ((std::vector<int32_t>{0, 1, 2}), Rows(a.a));
    FilterFolderItems(&a.a, "x", 1, nullptr, nullptr);
    EXPECT_EQ(5, FilterFolderItems(&a.a, "zz\\", 1, nullptr, &shown));
    EXPECT_EQ(3, shown);
    FilterFolderItems(&a.a, "x", 0, nullptr, nullptr);
    EXPECT_EQ(5, FilterFolderItems(&a.a, "q/", 0, nullptr, &shown));
    // A name ending in a character whose trail byte is "\" is a filter.
    std::string hyo = std::string("a") + kHyo;
    Array h({"abc", hyo, std::string(kHyo) + "x"});
    EXPECT_EQ(3, FilterFolderItems(&h.a, kHyo, 0, nullptr, &shown));
    EXPECT_EQ((Names{hyo, std::string(kHyo) + "x"}), Shown(h.a));
    EXPECT_EQ(3, FilterFolderItems(&h.a, hyo.c_str(), 1, nullptr, &shown));
    EXPECT_EQ((Names{hyo}), Shown(h.a));
}

TEST(ListsFolderFilter, NoMatchKeepsPreviousRows) {
    Array a({"alpha", "beta", "gamma"});
    int32_t shown = 0;
    EXPECT_EQ(4, FilterFolderItems(&a.a, "ta", 0, nullptr, &shown));
    std::vector<int32_t> before = Rows(a.a);
    EXPECT_EQ((std::vector<int32_t>{-1, 0, -1}), before);
    shown = 77;
    EXPECT_EQ(FOLDER_NO_MATCH, FilterFolderItems(&a.a, "tax", 0, nullptr, &shown));
    EXPECT_EQ(before, Rows(a.a));
    EXPECT_EQ(77, shown);
    EXPECT_EQ(FOLDER_NO_MATCH, FilterFolderItems(&a.a, "a:q", 0, nullptr, &shown));
    EXPECT_EQ(before, Rows(a.a));
    // A match after earlier misses hides the items before it.
    EXPECT_EQ(5, FilterFolderItems(&a.a, "mm", 0, nullptr, &shown));
    EXPECT_EQ((std::vector<int32_t>{-1, -1, 0}), Rows(a.a));
    ItemArray empty = {};
    EXPECT_EQ(FOLDER_NO_MATCH, FilterFolderItems(&empty, "a", 0, nullptr, &shown));
    EXPECT_EQ(FOLDER_NO_MATCH, FilterFolderItems(&empty, "", 0, nullptr, &shown));
    EXPECT_EQ(FOLDER_NO_MATCH, FilterFolderItems(nullptr, "a", 0, nullptr, &shown));
}

TEST(ListsFolderFilter, RomajiMatcherSeesRawTextAndKeepsRowsOnMiss) {
    std::string kenName = std::string(kKen) + "Doc";
    Array a({"KENTA", kenName, "other"});
    a[1].flags |= ItemWide;
    FakeRomaji f;
    f.readings.push_back({"KeN", kKen});
    WideMatcher m = MatcherFor(&f);
    int32_t shown = 0;
    EXPECT_EQ(5, FilterFolderItems(&a.a, "KeN", 0, &m, &shown));
    EXPECT_EQ((Names{"KENTA", kenName}), Shown(a.a));
    EXPECT_EQ((std::vector<std::string>{"KeN"}), f.compiled);  // not folded
    ASSERT_EQ(1u, f.matchedTexts.size());
    EXPECT_EQ(kenName, f.matchedTexts[0]);  // raw name
    std::vector<int32_t> before = Rows(a.a);
    EXPECT_EQ(FOLDER_NO_MATCH, FilterFolderItems(&a.a, "ken:zzz", 0, &m, &shown));
    EXPECT_EQ(before, Rows(a.a));
    EXPECT_EQ(0, f.alive);
    // Prefix mode: plain items by prefix, the term whole.
    EXPECT_EQ(5, FilterFolderItems(&a.a, "ot", 1, &m, &shown));
    EXPECT_EQ((Names{"other"}), Shown(a.a));
}

// ---- folder-list anchor ----

TEST(ListsFolderAnchor, IndexAndFolderLength) {
    struct Case {
        std::string text;
        int32_t index;
        int32_t folderLen;
    } cases[] = {
        {"C:\\", 2, 3},
        {"C:\\W", 2, 2},
        {"C:\\Windows", 2, 2},
        {"C:\\a\\b", 4, 4},
        {"C:\\a\\", 4, 5},
        {"C:/a/bc", 4, 4},
        {"\\\\srv\\share", 5, 5},
        {"/", 0, 1},
        // No separator, or only the first byte: the text without its last character.
        {"abc", 2, 2},
        {"\\abc", 3, 3},
        {"a", 0, 0},
        {std::string("x") + kKen, 1, 1},
        // Trail bytes 0x5C are not separators.
        {std::string("C:\\") + kHyo, 2, 2},
        {std::string("C:\\") + kHyo + "\\x", 5, 5},
        {std::string("C:\\") + kHyo + "x", 2, 2},
    };
    for (const Case& c : cases) {
        int32_t len = -9;
        EXPECT_EQ(c.index, FolderAnchorIndex(c.text.c_str(), &len)) << c.text;
        EXPECT_EQ(c.folderLen, len) << c.text;
    }
    int32_t len = -9;
    EXPECT_EQ(-1, FolderAnchorIndex("", &len));
    EXPECT_EQ(0, len);
    EXPECT_EQ(-1, FolderAnchorIndex(nullptr, nullptr));
    EXPECT_EQ(2, FolderAnchorIndex("C:\\x", nullptr));
}

// ---- type-ahead ----

namespace {
TypeAheadState Fresh() {
    TypeAheadState s;
    memset(&s, 0, sizeof s);
    return s;
}
}  // namespace

TEST(ListsTypeAhead, SingleLetterSearchesAfterCurrentAndWraps) {
    Array a({"apple", "Banana", "cherry", "blueberry", "avocado", "Beet"});
    TypeAheadState s = Fresh();
    EXPECT_EQ(1, TypeAheadFind(&s, &a.a, 0, 'b'));  // case-insensitive, after the current row
    ResetTypeAhead(&s);
    EXPECT_EQ(3, TypeAheadFind(&s, &a.a, 1, 'B'));  // the current row is not tested first
    ResetTypeAhead(&s);
    EXPECT_EQ(0, TypeAheadFind(&s, &a.a, 4, 'a'));  // wraps around once to the first item
    ResetTypeAhead(&s);
    EXPECT_EQ(TYPEAHEAD_NOT_FOUND, TypeAheadFind(&s, &a.a, 4, 'v'));  // only a prefix counts
    ResetTypeAhead(&s);
    EXPECT_EQ(2, TypeAheadFind(&s, &a.a, -1, 'c'));  // no selection: from the first item
    // The only item with the letter is the current one: found again by the wrap.
    ResetTypeAhead(&s);
    EXPECT_EQ(2, TypeAheadFind(&s, &a.a, 2, 'c'));
}

TEST(ListsTypeAhead, RepeatedLetterWalksThroughItems) {
    Array a({"apple", "Banana", "cherry", "blueberry", "avocado", "Beet"});
    TypeAheadState s = Fresh();
    int32_t row = 0;
    std::vector<int32_t> walk;
    for (int i = 0; i < 5; i++) {
        int32_t found = TypeAheadFind(&s, &a.a, row, 'b');
        ASSERT_GE(found, 0);
        row = a[found].viewIndex;
        walk.push_back(found);
    }
    // b: Banana; bb: none, walk to blueberry (buffer emptied); b: Beet;
    // bb: none, walk wraps to Banana; b: blueberry.
    EXPECT_EQ((std::vector<int32_t>{1, 3, 5, 1, 3}), walk);
    EXPECT_EQ(1, s.length);
}

TEST(ListsTypeAhead, TwoCharactersTestTheCurrentRowFirst) {
    Array a({"apple", "banana", "bandana", "cab"});
    TypeAheadState s = Fresh();
    EXPECT_EQ(1, TypeAheadFind(&s, &a.a, 0, 'b'));
    EXPECT_EQ(1, TypeAheadFind(&s, &a.a, 1, 'a'));  // "ba": banana itself, not bandana
    EXPECT_EQ(1, TypeAheadFind(&s, &a.a, 1, 'n'));
    EXPECT_EQ(2, TypeAheadFind(&s, &a.a, 1, 'd'));  // "band"
    EXPECT_STREQ("band", s.buffer);
    // Two letters quickly: the first item after the current one with both.
    TypeAheadState t = Fresh();
    EXPECT_EQ(1, TypeAheadFind(&t, &a.a, 2, 'b'));  // wraps: nothing after bandana
    EXPECT_EQ(1, TypeAheadFind(&t, &a.a, 1, 'a'));
    TypeAheadState u = Fresh();
    EXPECT_EQ(3, TypeAheadFind(&u, &a.a, 0, 'c'));
    EXPECT_EQ(TYPEAHEAD_NOT_FOUND, TypeAheadFind(&u, &a.a, 3, 'x'));
    EXPECT_STREQ("cx", u.buffer);  // a miss keeps the buffer (no repeated letter)
    EXPECT_EQ('x', u.last);
}

TEST(ListsTypeAhead, HiddenItemsAreSkippedAndRowsMapToItems) {
    Array a({"banana", "apple", "bandana", "berry"});
    a[0].viewIndex = -1;
    a[1].viewIndex = 0;
    a[2].viewIndex = -1;
    a[3].viewIndex = 1;
    TypeAheadState s = Fresh();
    EXPECT_EQ(3, TypeAheadFind(&s, &a.a, 0, 'b'));  // row 0 is apple (position 1)
    // Only berry is visible with "b": the walk comes back to it.
    EXPECT_EQ(3, TypeAheadFind(&s, &a.a, 1, 'b'));
    ResetTypeAhead(&s);
    EXPECT_EQ(TYPEAHEAD_NOT_FOUND, TypeAheadFind(&s, &a.a, 1, 'x'));
}

TEST(ListsTypeAhead, ResetStartsANewSearch) {
    Array a({"cherry", "hat"});
    TypeAheadState s = Fresh();
    EXPECT_EQ(0, TypeAheadFind(&s, &a.a, 1, 'c'));
    ResetTypeAhead(&s);  // the 800 ms timer fired
    EXPECT_EQ(1, TypeAheadFind(&s, &a.a, 0, 'h'));
    TypeAheadState t = Fresh();
    EXPECT_EQ(0, TypeAheadFind(&t, &a.a, 1, 'c'));
    EXPECT_EQ(0, TypeAheadFind(&t, &a.a, 0, 'h'));  // "ch" without the reset
}

TEST(ListsTypeAhead, DoubleByteAndFullBuffer) {
    std::string lowerTrail = std::string("\x83\x61") + "x";
    std::string upperTrail = std::string(kA) + "x";
    Array a({lowerTrail, upperTrail});
    TypeAheadState s = Fresh();
    EXPECT_EQ(0, TypeAheadFind(&s, &a.a, -1, 0x83));
    // The trail byte "A" is kept as it is: katakana A, not the other character.
    EXPECT_EQ(1, TypeAheadFind(&s, &a.a, 0, 0x41));
    EXPECT_EQ(1, TypeAheadFind(&s, &a.a, 1, 'X'));

    Array b({"a"});
    TypeAheadState f = Fresh();
    for (int i = 0; i < 260; i++) TypeAheadFind(&f, &b.a, 0, (i % 2) ? 'q' : 'r');
    EXPECT_EQ(260, f.length);
    unsigned char last = f.last;
    EXPECT_EQ(TYPEAHEAD_PASS, TypeAheadFind(&f, &b.a, 0, 'a'));
    EXPECT_EQ(260, f.length);
    EXPECT_EQ(last, f.last);
    ItemArray empty = {};
    TypeAheadState e = Fresh();
    EXPECT_EQ(TYPEAHEAD_NOT_FOUND, TypeAheadFind(&e, &empty, -1, 'a'));
}

TEST(ListsItemKinds, KindsThatTakeSeveralRows) {
    const struct {
        ListKind kind;
        bool several;
    } cases[] = {
        {LK_None, false},     {LK_Default, true},  {LK_Favorites, true},
        {LK_History, true},   {LK_Explorer, true}, {LK_Folder, false},
        {LK_BuiltIn, false},  {LK_Search, true},   {LK_SearchRecall, true},
    };
    for (const auto& c : cases) EXPECT_EQ(c.several, ItemKindTakesSeveralRows(c.kind)) << c.kind;
}
