// Tests of BREGEXP.DLL's adapter over Oniguruma (natively, against the
// distribution's libonig): the pattern text split and its options, the
// record reuse rule, what outp holds, and the errors.
#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "components/bregexp/bregexp.h"

namespace {

struct SplitCase {
    const char* text;
    const char* pattern;  // nullptr: refused
    unsigned options;
};

TEST(BregexpSplit, SeparatorsAndOptions) {
    const SplitCase cases[] = {
        {"m/abc/k", "abc", BREGEXP_OPT_SJIS},
        {"m/abc/", "abc", 0},
        {"/abc/i", "abc", BREGEXP_OPT_IGNORECASE},
        {"m#a/b#ki", "a/b", BREGEXP_OPT_SJIS | BREGEXP_OPT_IGNORECASE},
        {"m/a\\/b/xs", "a\\/b", BREGEXP_OPT_EXTEND | BREGEXP_OPT_DOTALL},
        // The pattern runs to the last separator.
        {"m|ab|cd|k", "ab|cd", BREGEXP_OPT_SJIS},
        // Options of the classic interface that change nothing for a match.
        {"m/abc/gmo", "abc", 0},
        {"m//k", "", BREGEXP_OPT_SJIS},
        {"m/abc/q", nullptr, 0},      // unknown option
        {"m/abc", nullptr, 0},        // not closed
        {"mabc/", nullptr, 0},        // a letter is no separator
        {"m\x83/x\x83/", nullptr, 0}, // nor is a lead byte
        {"s/a/b/", nullptr, 0},       // substitution: not offered
        {"tr/a/b/", nullptr, 0},
        {"", nullptr, 0},
    };
    for (const SplitCase& c : cases) {
        BregexpPattern p;
        char msg[BREGEXP_MESSAGE_SIZE] = "";
        int ok = SplitBregexpPattern(c.text, &p, msg);
        ASSERT_EQ(c.pattern != nullptr, ok == 1) << c.text;
        if (c.pattern) {
            EXPECT_EQ(c.pattern, std::string(p.pattern, p.length)) << c.text;
            EXPECT_EQ(c.options, p.options) << c.text;
        } else {
            EXPECT_NE('\0', msg[0]) << c.text;
            EXPECT_LT(strlen(msg), (size_t)BREGEXP_MESSAGE_SIZE);
        }
    }
    BregexpPattern p;
    char msg[BREGEXP_MESSAGE_SIZE] = "";
    EXPECT_EQ(0, SplitBregexpPattern(nullptr, &p, msg));
}

class Bregexp : public ::testing::Test {
protected:
    BREGEXP* rx = nullptr;
    char msg[BREGEXP_MESSAGE_SIZE] = "";
    void TearDown() override { BRegfree(rx); }
    int Match(const char* pattern, const char* text) {
        return BMatch(pattern, text, text ? text + strlen(text) : nullptr, &rx, msg);
    }
    std::string Out() const { return rx && rx->outp ? std::string(rx->outp, rx->outendp) : "<null>"; }
};

struct MatchCase {
    const char* pattern;
    const char* text;
    int result;
    const char* out;  // outp after the call
};

TEST_F(Bregexp, MatchResultAndCopyOfTheGroup) {
    const MatchCase cases[] = {
        {"m/(b+)c/", "abbcd", 1, "bb"},        // group 1
        {"m/b+c/", "abbcd", 1, "bbc"},         // no group: the whole match
        {"m/(x)?b/", "ab", 1, ""},             // group 1 took no part
        {"m/zz/", "abbcd", 0, "<null>"},
        {"m/ABC/i", "xabcx", 1, "abc"},
        {"m/ABC/", "xabcx", 0, "<null>"},
        // Shift-JIS: one character of two bytes, its trail byte a backslash.
        {"m/^(.)$/k", "ソ", 1, "ソ"},
        {"m/^(.)$/", "ソ", 0, "<null>"},
        {"m/(検索|けんさく)/k", "全文検索.txt", 1, "検索"},
        // A trail byte 0x7C ("ポ") is no alternation, 0x5B ("ー") no class.
        {"m/(ポー)/k", "ポップ", 0, "<null>"},
        {"m/(ポー)/k", "ポーズ", 1, "ポー"},
    };
    for (const MatchCase& c : cases) {
        EXPECT_EQ(c.result, Match(c.pattern, c.text)) << c.pattern << " " << c.text;
        EXPECT_EQ(c.out, Out()) << c.pattern << " " << c.text;
    }
}

TEST_F(Bregexp, TheRecordIsReusedWhileThePatternTextStays) {
    ASSERT_EQ(1, Match("m/a(b)/", "ab"));
    BREGEXP* first = rx;
    EXPECT_EQ(0, Match("m/a(b)/", "xx"));
    EXPECT_EQ(first, rx);
    EXPECT_EQ(nullptr, rx->outp);
    EXPECT_EQ(1, Match("m/a(b)/", "cab"));
    EXPECT_EQ(first, rx);
    // Another text: compiled afresh.
    EXPECT_EQ(1, Match("m/c(a)/", "cab"));
    EXPECT_STREQ("m/c(a)/", rx->parap);
    EXPECT_EQ("a", Out());
    EXPECT_EQ(1, rx->nparens);
}

TEST_F(Bregexp, ErrorsAreMinusOneWithAMessage) {
    ASSERT_EQ(1, Match("m/a/", "a"));
    EXPECT_EQ(-1, Match("m/a/", ""));  // empty target
    EXPECT_NE('\0', msg[0]);
    ASSERT_NE(nullptr, rx);
    EXPECT_EQ(nullptr, rx->outp);
    EXPECT_EQ(-1, Match(nullptr, "a"));  // no pattern
    EXPECT_EQ(-1, Match("m/a/", nullptr));

    const char* broken[] = {"m/(ab/k", "m/a/z", "m/[a/", "m/a"};
    for (const char* p : broken) {
        msg[0] = '\0';
        EXPECT_EQ(-1, Match(p, "ab")) << p;
        EXPECT_EQ(nullptr, rx) << p;
        EXPECT_NE('\0', msg[0]) << p;
        EXPECT_LT(strlen(msg), (size_t)BREGEXP_MESSAGE_SIZE) << p;
    }
    // After an error the next good pattern works again.
    EXPECT_EQ(1, Match("m/b/", "ab"));
    EXPECT_EQ(-1, BMatch("m/a/", "a", "a" + 1, nullptr, msg));
}

TEST_F(Bregexp, APatternThatFailedIsNotCompiledAgainForEveryTarget) {
    // A caller keeps its record; after a failure the record is null, and the
    // same text comes again with the next target.
    unsigned long before = BregexpCompileCount();
    for (const char* target : {"a", "b", "c"}) {
        msg[0] = '\0';
        EXPECT_EQ(-1, Match("m/((\x82\x51|[2))/k", target));
        EXPECT_EQ(nullptr, rx);
        EXPECT_NE('\0', msg[0]);
    }
    EXPECT_EQ(before + 1, BregexpCompileCount());
    // A good text is compiled once for all its targets, then the failing one
    // is known still.
    for (const char* target : {"a", "b", "c"})
        EXPECT_EQ(target[0] == 'b', Match("m/(b)/k", target));
    EXPECT_EQ(before + 2, BregexpCompileCount());
    BRegfree(rx);
    rx = nullptr;
    EXPECT_EQ(-1, Match("m/((\x82\x51|[2))/k", "a"));
    EXPECT_EQ(before + 2, BregexpCompileCount());
}

struct QuickCase {
    const char* pattern;
    int quick;  // the quick matcher takes it
    const char* text;
    int result;
    const char* out;
};

// The quick matcher takes patterns of literals, classes, groups and
// alternations whose alternatives begin differently, and answers as
// Oniguruma does; the others, and texts that are not well-formed Shift-JIS,
// go to Oniguruma.
TEST_F(Bregexp, QuickMatcherTakesItsKindAndAnswersAsTheEngine) {
    const QuickCase cases[] = {
        {"m/((ab|c[de]))/k", 1, "xxcexab", 1, "ce"},
        {"m/((ab|c[de]))/k", 1, "xxcfab", 1, "ab"},
        {"m/((ab|c[de]))/k", 1, "xxcf", 0, "<null>"},
        {"m/^((ab|c[de]))/k", 1, "xab", 0, "<null>"},
        {"m/^((ab|c[de]))/k", 1, "abx", 1, "ab"},
        {"m/x(y)|(z)/k", 1, "az", 1, ""},  // group 1 took no part
        {"m/(\\[2|\\+\\?)/k", 1, "a+?[2", 1, "+?"},
        // Trail bytes 0x5B, 0x5C, 0x7C are parts of their characters.
        {"m/(検索|ソ|ポー)/k", 1, "ポップ\x83\x5Cx", 1, "ソ"},
        {"m/([ソー]x)/k", 1, "\x81\x5Bx", 1, "ーx"},
        {"m/([ソー]x)/k", 1, "\x83\x5B\x5Cx", 0, "<null>"},
        // A class of Shift-JIS: one whole character.
        {"m/(a[検索]b)/k", 1, "a\x8C\x9F" "b", 1, "a検b"},
        // A broken character in the text: Oniguruma answers.
        {"m/(ab)/k", 1, "\x83 ab", 1, "ab"},
        {"m/(ab)/k", 1, "ab\x83", 1, "ab"},
        // Left to Oniguruma: "^" of the first alternative only, two
        // alternatives that begin alike, an empty one, quantifiers, ranges,
        // the dot, escapes of letters, other groups, other options.
        {"m/^ab|cd/k", 0, "xcd", 1, "cd"},
        {"m/(ab|ac)/k", 0, "ac", 1, "ac"},
        {"m/(a|)/k", 0, "b", 1, ""},
        {"m/a?b/k", 0, "b", 1, "b"},
        {"m/[a-c]/k", 0, "b", 1, "b"},
        {"m/a.c/k", 0, "abc", 1, "abc"},
        {"m/\\d/k", 0, "5", 1, "5"},
        {"m/(?:ab)/k", 0, "ab", 1, "ab"},
        {"m/abc/", 0, "abc", 1, "abc"},
        {"m/abc/ki", 0, "ABC", 1, "ABC"},
    };
    for (const QuickCase& c : cases) {
        const char* end = c.text + strlen(c.text);
        BREGEXP* engine = nullptr;
        int expected = BMatchRegexOnly(c.pattern, c.text, end, &engine, msg);
        std::string engineOut = engine && engine->outp ? engine->outp : "<null>";
        BRegfree(engine);
        EXPECT_EQ(c.result, expected) << c.pattern << " " << c.text;
        EXPECT_EQ(c.out, engineOut) << c.pattern << " " << c.text;
        EXPECT_EQ(c.result, Match(c.pattern, c.text)) << c.pattern << " " << c.text;
        EXPECT_EQ(c.out, Out()) << c.pattern << " " << c.text;
        EXPECT_EQ(c.quick, BregexpUsesQuickMatcher(rx)) << c.pattern;
    }
}

}  // namespace
