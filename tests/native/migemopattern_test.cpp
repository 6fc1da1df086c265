// Tests of the pure half of Migemo search: the BREGEXP expression built from
// Migemo's answer, the dictionary folder and the reading of a BREGEXP record;
// and the whole chain natively: C/Migemo as migemo.dll builds it with the
// distribution's cp932 dictionary, the pattern builder and the BREGEXP adapter
// over Oniguruma.
#include <ctype.h>
#include <dlfcn.h>
#include <gtest/gtest.h>
#include <stdint.h>
#include <string.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include <migemo.h>

#include "common/fileio.h"
#include "components/bregexp/bregexp.h"
#include "launcher/migemo/migemopattern.h"

namespace {

std::string Built(const char* expr, bool anchored, bool libraryOperators = false) {
    char* p = BuildBregexpPattern(expr, anchored, libraryOperators);
    std::string s = p ? p : "<null>";
    MemFree(p);
    return s;
}

struct PatternCase {
    const char* expr;
    bool anchored;
    const char* expected;
    bool libraryOperators = false;
};

// Operator bytes as Migemo writes them for us.
#define OP_OR "\x01"
#define OP_IN "\x02"
#define OP_OUT "\x03"
#define OP_OPEN "\x08"
#define OP_CLOSE "\x09"

TEST(MigemoPattern, OperatorBytesBecomeOperatorsAndEveryCharacterIsLiteral) {
    const PatternCase cases[] = {
        {OP_OPEN "a" OP_OR "b" OP_CLOSE, false, "m/((a|b))/k"},
        {OP_OPEN "a" OP_OR "b" OP_CLOSE, true, "m/^((a|b))/k"},
        {OP_OPEN "k" OP_IN "ab" OP_OUT OP_OR "x" OP_CLOSE, false, "m/((k[ab]|x))/k"},
        // A dictionary word with a literal parenthesis: escaped; the grouping
        // of the expression stays a group.
        {OP_OPEN "a(b" OP_OR "c)" OP_CLOSE, false, "m/((a\\(b|c\\)))/k"},
        // What the typed text brings is literal: "[2", "c++", "a?", braces,
        // a bar, and in a class a dash or a caret.
        {OP_OPEN "\x82\x6D\x82\x51" OP_OR "[2" OP_CLOSE, false, "m/((\x82\x6D\x82\x51|\\[2))/k"},
        {"c" OP_OPEN "++" OP_OR "\x83\x62+" OP_CLOSE, false, "m/(c(\\+\\+|\x83\x62\\+))/k"},
        {"a?" OP_OR "x{2}" OP_OR "a|b]", false, "m/(a\\?|x\\{2\\}|a\\|b\\])/k"},
        {OP_IN "a-^" OP_OUT, false, "m/([a\\-\\^])/k"},
        // Double-byte characters whose trail bytes are "[" (0x5B), "|" (0x7C)
        // and "\" (0x5C) are copied whole, never escaped or read as operators.
        {OP_OPEN "\x81\x5B" OP_OR "\x83\x7C" OP_OR "\x83\x5C" OP_CLOSE, false,
         "m/((\x81\x5B|\x83\x7C|\x83\x5C))/k"},
        {OP_IN "\x81\x5B\x83\x7C(" OP_OUT, false, "m/([\x81\x5B\x83\x7C\\(])/k"},
        // Migemo's own escapes keep one backslash.
        {"w\\/o" OP_OR "ab\\.c" OP_OR "\\\\" OP_OR "\\*\\^\\$", false,
         "m/(w\\/o|ab\\.c|\\\\|\\*\\^\\$)/k"},
        // A library that kept its own "|", "[" and "]".
        {OP_OPEN "a|b[cd]" OP_CLOSE, false, "m/((a|b[cd]))/k", true},
        // A character cut after its lead byte is dropped.
        {"ab\x83", false, "m/(ab)/k"},
        {"", false, "m/()/k"},
    };
    for (const PatternCase& c : cases)
        EXPECT_EQ(c.expected, Built(c.expr, c.anchored, c.libraryOperators)) << c.expr;
    EXPECT_EQ("<null>", Built(nullptr, false));
}

TEST(MigemoPattern, AnswersOfRecentTermsAreRecalled) {
    ForgetMigemoAnswers();
    EXPECT_EQ(nullptr, RecallMigemoAnswer("ka"));
    KeepMigemoAnswer("ka", OP_OPEN "ka" OP_OR "x" OP_CLOSE);
    KeepMigemoAnswer("ka", "other");  // a kept term is not replaced
    ASSERT_NE(nullptr, RecallMigemoAnswer("ka"));
    EXPECT_STREQ(OP_OPEN "ka" OP_OR "x" OP_CLOSE, RecallMigemoAnswer("ka"));
    // A few are kept; the oldest goes first.
    for (int i = 0; i < 20; i++) KeepMigemoAnswer(std::to_string(i).c_str(), "x");
    EXPECT_EQ(nullptr, RecallMigemoAnswer("ka"));
    EXPECT_STREQ("x", RecallMigemoAnswer("19"));
    ForgetMigemoAnswers();
    EXPECT_EQ(nullptr, RecallMigemoAnswer("19"));
    EXPECT_EQ(nullptr, RecallMigemoAnswer(nullptr));
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

typedef int (*MigemoLoadFn)(migemo*, int, const char*);
typedef int (*MigemoSetOperatorFn)(migemo*, int, const unsigned char*);

// Loads the dictionary files and sets the launcher's operators: false when the
// main dictionary or an operator did not take.
bool PrepareMigemo(migemo* m, MigemoLoadFn load, MigemoSetOperatorFn setOperator) {
    const char* files[] = {"migemo-dict", "roma2hira.dat", "hira2kata.dat", "han2zen.dat"};
    for (int id = 1; id <= 4; id++) {
        std::string path = std::string(VORN_MIGEMO_DICT) + "/" + files[id - 1];
        if (!load(m, id, path.c_str()) && id == 1) return false;
    }
    for (const MigemoOperator& op : kMigemoOperators)
        if (!setOperator(m, op.index, op.text)) return false;
    return true;
}

class MigemoChain : public ::testing::Test {
protected:
    migemo* m = nullptr;
    BREGEXP* rx = nullptr;

    void SetUp() override {
        m = migemo_open(nullptr);
        ASSERT_NE(nullptr, m);
        ASSERT_TRUE(PrepareMigemo(m, migemo_load, migemo_set_operator)) << VORN_MIGEMO_DICT;
        ASSERT_NE(0, migemo_is_enable(m));
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

struct TypedCase {
    const char* term;
    const char* name;
    int expected;
};

TEST_F(MigemoChain, OperatorsOfTheTypedTextAreLiteral) {
    // Names with double-byte characters, as the lists give them to Migemo.
    const TypedCase cases[] = {
        {"[2", "資料[2].txt", 1},
        {"[2", "資料［２］.txt", 1},
        {"[2", "資料2.txt", 0},
        {"c++", "メモc++.txt", 1},
        {"c++", "メモcc.txt", 0},
        {"a?", "メモa?.txt", 1},
        {"a?", "メモ.txt", 0},
        {"x{2}", "図x{2}.txt", 1},
        {"x{2}", "図xx.txt", 0},
        {"a|b", "表b.txt", 0},
        {"a|b", "表a|b.txt", 1},
        {"a.b", "表axb.txt", 0},
        {"ka[", "名前ka[.txt", 1},
        {"ka[", "名前ka.txt", 0},
    };
    for (const TypedCase& c : cases)
        EXPECT_EQ(c.expected, Match(Pattern(c.term, false), c.name)) << c.term << " " << c.name;
}

// Offset of a group boundary in name, or -1.
long Offset(const char* at, const char* name) { return at ? (long)(at - name) : -1; }

// The quick matcher and the regular-expression path give the same answer for
// every pattern built from the dictionary's answers: over generated names that
// mix the answers' own characters, the typed texts and characters whose trail
// bytes look like "[", "|" or "\", the result, the copy in outp and the span
// of every group are the same.
TEST_F(MigemoChain, QuickMatcherAnswersAsTheRegexPath) {
    const char* terms[] = {"ka",  "kensaku", "po-", "shi",  "tsu", "kyou", "n",   "a",
                           "[2",  "c++",     "a?",  "a.b",  "a\\b", "kenSaku", "KA", "x{2}",
                           "ka[", "(",       "]",   "ha|",  "z"};
    std::vector<std::string> pieces = {"\x81\x5B", "\x83\x7C", "\x83\x5C", "\x95\x5C", "\x81\x5D",
                                       "[", "]", "|", "\\", "(", ")", "+", "?", ".", "2", " ",
                                       "_", "\xB6", "k", "a", "ka", ".txt"};
    for (const char* term : terms) {
        pieces.push_back(term);
        // Some double-byte characters of the answer (every seventh).
        unsigned char* e = migemo_query(m, (const unsigned char*)term);
        ASSERT_NE(nullptr, e) << term;
        int seen = 0;
        for (size_t i = 0; e[i] && e[i + 1];) {
            if (e[i] >= 0x81 && (e[i] <= 0x9F || (e[i] >= 0xE0 && e[i] <= 0xFC))) {
                if (seen++ % 7 == 0) pieces.push_back(std::string((const char*)e + i, 2));
                i += 2;
            } else {
                i++;
            }
        }
        migemo_release(m, e);
    }
    uint32_t seed = 0x12345678u;
    auto below = [&seed](uint32_t n) {
        seed ^= seed << 13;
        seed ^= seed >> 17;
        seed ^= seed << 5;
        return seed % n;
    };
    std::vector<std::string> names;
    for (int i = 0; i < 3000; i++) {
        std::string name;
        for (uint32_t k = 0, n = 1 + below(8); k < n; k++) name += pieces[below(pieces.size())];
        names.push_back(name);
    }

    long agreed = 0, matched = 0;
    for (const char* term : terms) {
        for (bool anchored : {false, true}) {
            std::string p = Pattern(term, anchored);
            BREGEXP* quick = nullptr;
            BREGEXP* regex = nullptr;
            char msg[BREGEXP_MESSAGE_SIZE];
            for (const std::string& n : names) {
                const char* t = n.c_str();
                const char* end = t + n.size();
                int a = BMatch(p.c_str(), t, end, &quick, msg);
                int b = BMatchRegexOnly(p.c_str(), t, end, &regex, msg);
                ASSERT_EQ(b, a) << term << " " << n;
                ASSERT_TRUE(quick && regex) << term;
                ASSERT_EQ(regex->nparens, quick->nparens) << term;
                ASSERT_EQ(regex->outp == nullptr, quick->outp == nullptr) << term << " " << n;
                if (a == 1) {
                    matched++;
                    ASSERT_STREQ(regex->outp, quick->outp) << term << " " << n;
                }
                for (int g = 0; g <= quick->nparens; g++) {
                    ASSERT_EQ(Offset(regex->startp[g], t), Offset(quick->startp[g], t)) << term;
                    ASSERT_EQ(Offset(regex->endp[g], t), Offset(quick->endp[g], t)) << term;
                }
                agreed++;
            }
            EXPECT_EQ(1, BregexpUsesQuickMatcher(quick)) << p;
            EXPECT_EQ(0, BregexpUsesQuickMatcher(regex)) << p;
            BRegfree(quick);
            BRegfree(regex);
        }
    }
    EXPECT_EQ((long)(sizeof terms / sizeof terms[0]) * 2 * 3000, agreed);
    // Both answers occur plenty.
    EXPECT_GT(matched, agreed / 10);
    EXPECT_LT(matched, agreed * 9 / 10);
}

// Every term of one to three letters; and romaji words made from every 400th
// reading of the dictionary (roma2hira.dat read backwards, the first spelling
// of each kana; readings in letters as they are), each also followed by the
// next one capitalised, a query of two clauses ("kensakuKekka").
std::vector<std::string> QueryTerms() {
    std::vector<std::string> terms;
    for (int n = 1; n <= 26 + 26 * 26 + 26 * 26 * 26; n++) {
        std::string t;
        for (int k = n; k > 0; k = (k - 1) / 26) t.insert(t.begin(), (char)('a' + (k - 1) % 26));
        terms.push_back(t);
    }
    std::map<std::string, std::string> romaji;
    std::ifstream table(std::string(VORN_MIGEMO_DICT) + "/roma2hira.dat");
    for (std::string line, from, to; std::getline(table, line);)
        if (line[0] != '#' && std::istringstream(line) >> from >> to) romaji.emplace(to, from);
    std::ifstream dict(std::string(VORN_MIGEMO_DICT) + "/migemo-dict");
    std::string entry, previous;
    for (int line = 0; std::getline(dict, entry); line++) {
        std::string reading = entry.substr(0, entry.find('\t'));
        if (line % 400 || reading.empty()) continue;
        bool letters = reading.find_first_not_of("abcdefghijklmnopqrstuvwxyz") == std::string::npos;
        std::string word = letters ? reading : "";
        size_t i = word.size(), n = 6;  // kana: two bytes each, at most three to a spelling
        while (i < reading.size() && n) {
            for (n = 6; n && !romaji.count(reading.substr(i, n));) n -= 2;
            if (n) word += romaji[reading.substr(i, n)], i += n;
        }
        if (i < reading.size()) continue;
        terms.push_back(word);
        if (!previous.empty()) terms.push_back(previous + (char)toupper(word[0]) + word.substr(1));
        previous = word;
    }
    return terms;
}

// migemo.dll and these tests run C/Migemo with our change to its pattern
// generator; every answer must be the one of its sources as they came, byte
// for byte, with the launcher's operators.
TEST_F(MigemoChain, AnswersAsThePlainLibrary) {
    void* plain = dlopen(VORN_MIGEMO_PLAIN, RTLD_NOW | RTLD_LOCAL);
    ASSERT_NE(nullptr, plain) << dlerror();
    auto open = (migemo * (*)(const char*)) dlsym(plain, "migemo_open");
    auto load = (MigemoLoadFn)dlsym(plain, "migemo_load");
    auto setOperator = (MigemoSetOperatorFn)dlsym(plain, "migemo_set_operator");
    auto query = (unsigned char* (*)(migemo*, const unsigned char*))dlsym(plain, "migemo_query");
    auto release = (void (*)(migemo*, unsigned char*))dlsym(plain, "migemo_release");
    auto close = (void (*)(migemo*))dlsym(plain, "migemo_close");
    ASSERT_TRUE(open && load && setOperator && query && release && close);
    ASSERT_NE((void*)query, (void*)&migemo_query);
    migemo* p = open(nullptr);
    ASSERT_TRUE(p && PrepareMigemo(p, load, setOperator));
    std::vector<std::string> terms = QueryTerms();
    EXPECT_GT(terms.size(), 18278u + 500u);
    for (const std::string& t : terms) {
        unsigned char* want = query(p, (const unsigned char*)t.c_str());
        unsigned char* got = migemo_query(m, (const unsigned char*)t.c_str());
        std::string a = want ? (const char*)want : "<null>", b = got ? (const char*)got : "<null>";
        release(p, want);
        migemo_release(m, got);
        ASSERT_EQ(a, b) << t;
    }
    close(p);
    dlclose(plain);
}

}  // namespace
