// Tests of the pure half of Migemo search: the BREGEXP expression built from
// Migemo's answer, the dictionary folder and the reading of a BREGEXP record;
// and the whole chain natively: the distribution's C/Migemo with its cp932
// dictionary, the pattern builder and the BREGEXP adapter over Oniguruma.
#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include <migemo.h>

#include "common/fileio.h"
#include "components/bregexp/bregexp.h"
#include "launcher/migemo/migemopattern.h"

namespace {

std::string Built(const char* expr, bool anchored) {
    char* p = BuildBregexpPattern(expr, anchored);
    std::string s = p ? p : "<null>";
    MemFree(p);
    return s;
}

struct PatternCase {
    const char* expr;
    bool anchored;
    const char* expected;
};

TEST(MigemoPattern, ConvertsGroupingBytesAndEscapesLiteralParentheses) {
    const PatternCase cases[] = {
        {"\x08" "a|b" "\x09", false, "m/((a|b))/k"},
        {"\x08" "a|b" "\x09", true, "m/^((a|b))/k"},
        // A dictionary word with a literal parenthesis: escaped; the grouping
        // of the expression stays a group.
        {"\x08" "a(b|c)" "\x09", false, "m/((a\\(b|c\\)))/k"},
        // Double-byte characters whose trail bytes are "[" (0x5B), "|" (0x7C)
        // and "\" (0x5C) are copied whole, never read as operators.
        {"\x08\x81\x5B|\x83\x7C|\x83\x5C\x09", false, "m/((\x81\x5B|\x83\x7C|\x83\x5C))/k"},
        {"[\x81\x5B\x83\x7C(]", false, "m/([\x81\x5B\x83\x7C\\(])/k"},
        // Migemo's own escapes pass unchanged.
        {"w\\/o|ab\\.c", false, "m/(w\\/o|ab\\.c)/k"},
        // A character cut after its lead byte is dropped.
        {"ab\x83", false, "m/(ab)/k"},
        {"", false, "m/()/k"},
    };
    for (const PatternCase& c : cases)
        EXPECT_EQ(c.expected, Built(c.expr, c.anchored)) << c.expr;
    EXPECT_EQ("<null>", Built(nullptr, false));
}

struct FolderCase {
    const char* migemoPath;
    const char* exeFolder;
    const char* expected;  // nullptr: does not fit
};

TEST(MigemoPattern, DictionaryFolder) {
    const std::string longPath(300, 'x');
    const FolderCase cases[] = {
        {"", "C:\\vorn\\", "C:\\vorn\\dict\\"},
        {nullptr, "C:\\vorn\\", "C:\\vorn\\dict\\"},
        {"D:\\m", "C:\\vorn\\", "D:\\m\\"},
        {"D:\\m\\", "C:\\vorn\\", "D:\\m\\\\"},
        {longPath.c_str(), "C:\\", nullptr},
    };
    for (const FolderCase& c : cases) {
        char dst[261] = "junk";
        bool ok = MigemoDictFolder(c.migemoPath, c.exeFolder, dst, sizeof dst);
        EXPECT_EQ(c.expected != nullptr, ok) << (c.migemoPath ? c.migemoPath : "(null)");
        EXPECT_STREQ(c.expected ? c.expected : "", dst);
    }
}

TEST(MigemoPattern, RecordMatchedReadsTheWholePointer) {
    EXPECT_FALSE(BregexpRecordMatched(nullptr));
    BREGEXP record = {};
    EXPECT_FALSE(BregexpRecordMatched(&record));
    // A pointer whose low 32 bits are all zero (on x86-64; on x86 the top bit).
    uintptr_t high = (uintptr_t)1 << (sizeof(void*) * 8 - 1);
    record.outp = (const char*)high;
    EXPECT_TRUE(BregexpRecordMatched(&record));
    EXPECT_EQ(0u, (uint32_t)(high & (sizeof(void*) > 4 ? 0xFFFFFFFFu : 0u)));
}

// --- the whole chain with the real library and dictionary ----------------------------

class MigemoChain : public ::testing::Test {
protected:
    migemo* m = nullptr;
    BREGEXP* rx = nullptr;

    void SetUp() override {
        m = migemo_open(nullptr);
        ASSERT_NE(nullptr, m);
        const char* files[] = {"migemo-dict", "roma2hira.dat", "hira2kata.dat", "han2zen.dat"};
        for (int id = 1; id <= 4; id++) {
            std::string path = std::string(VORN_MIGEMO_DICT) + "/" + files[id - 1];
            int loaded = migemo_load(m, id, path.c_str());
            if (id == 1) {
                ASSERT_NE(0, loaded) << path;
            }
        }
        ASSERT_NE(0, migemo_is_enable(m));
        const unsigned char open[] = {MIGEMO_GROUP_OPEN, 0}, close[] = {MIGEMO_GROUP_CLOSE, 0};
        migemo_set_operator(m, MIGEMO_OPINDEX_NEST_IN, open);
        migemo_set_operator(m, MIGEMO_OPINDEX_NEST_OUT, close);
    }
    void TearDown() override {
        BRegfree(rx);
        if (m) migemo_close(m);
    }
    std::string Pattern(const char* term, bool anchored) {
        unsigned char* e = migemo_query(m, (const unsigned char*)term);
        char* p = BuildBregexpPattern((const char*)e, anchored);
        migemo_release(m, e);
        std::string s = p ? p : "";
        MemFree(p);
        return s;
    }
    int Match(const std::string& pattern, const char* text) {
        char msg[BREGEXP_MESSAGE_SIZE];
        return BMatch(pattern.c_str(), text, text + strlen(text), &rx, msg);
    }
};

TEST_F(MigemoChain, KensakuFindsTheJapaneseName) {
    std::string p = Pattern("kensaku", false);
    EXPECT_EQ(1, Match(p, "検索.txt"));
    EXPECT_EQ(1, Match(p, "全文検索結果.txt"));
    EXPECT_EQ(0, Match(p, "研究.txt"));
    std::string anchored = Pattern("kensaku", true);
    EXPECT_EQ(1, Match(anchored, "検索.txt"));
    EXPECT_EQ(0, Match(anchored, "全文検索結果.txt"));
}

TEST_F(MigemoChain, LiteralParenthesisOfATermStaysLiteral) {
    // Migemo gives "a(b" back with its parenthesis bare: were it a group,
    // "ab" would match too.
    std::string p = Pattern("a(b", false);
    EXPECT_EQ(1, Match(p, "a(b).txt"));
    EXPECT_EQ(0, Match(p, "ab.txt"));
}

TEST_F(MigemoChain, TrailBytesOfTheBracketsAndBarAreNoOperators) {
    // "ka" brings a long class full of double-byte characters; names with
    // trail bytes 0x5B ("ー" 81 5B) and 0x7C ("ポ" 83 7C) must neither break
    // it nor match by a stray byte.
    std::string p = Pattern("ka", false);
    EXPECT_EQ(1, Match(p, "カメラ.jpg"));
    EXPECT_EQ(0, Match(p, "ポー.txt"));
    EXPECT_EQ(1, Match(Pattern("po-", false), "ポー.txt"));
}

}  // namespace
