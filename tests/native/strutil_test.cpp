// Tests of the string and path routines (common/strutil).
//
// Double-byte characters are written as byte escapes so the tests do not depend
// on the compiler's execution character set:
//   HYO 表 = 95 5C (trail byte is '\'),  SO ソ = 83 5C,  TSU ッ = 83 62 (trail 'b'),
//   A_KANA ア = 83 41 (trail 'A'),  ELL … = 81 63.
#include <gtest/gtest.h>

#include <string.h>

#include <memory>
#include <string>

#include "common/strutil.h"

#define HYO "\x95\x5c"
#define SO "\x83\x5c"
#define TSU "\x83\x62"
#define A_KANA "\x83\x41"
#define ELL "\x81\x63"

namespace {

// A heap buffer of exactly n bytes, so that AddressSanitizer reports any write
// past it. Filled with '#' to show which bytes were written.
struct ExactBuffer {
    explicit ExactBuffer(size_t n) : size(n), data(new char[n ? n : 1]) {
        memset(data.get(), '#', n ? n : 1);
    }
    char* get() { return data.get(); }
    std::string str() const { return std::string(data.get()); }
    bool terminatedInside() const { return memchr(data.get(), '\0', size) != nullptr; }
    size_t size;
    std::unique_ptr<char[]> data;
};

// True when s is a sequence of whole characters (no lead byte without trail at
// its end).
bool EndsOnCharBoundary(const std::string& s) {
    size_t i = 0;
    while (i < s.size()) i += IsLeadByteSjis((unsigned char)s[i]) ? 2 : 1;
    return i == s.size();
}

}  // namespace

// ---------------------------------------------------------------------------
// Character tests and conversion

TEST(StrutilChars, LeadByteRangesOfCodePage932) {
    EXPECT_FALSE(IsLeadByteSjis(0x80));
    EXPECT_TRUE(IsLeadByteSjis(0x81));
    EXPECT_TRUE(IsLeadByteSjis(0x9F));
    EXPECT_FALSE(IsLeadByteSjis(0xA0));  // half-width katakana are single bytes
    EXPECT_FALSE(IsLeadByteSjis(0xDF));
    EXPECT_TRUE(IsLeadByteSjis(0xE0));
    EXPECT_TRUE(IsLeadByteSjis(0xFC));
    EXPECT_FALSE(IsLeadByteSjis(0xFD));
    EXPECT_FALSE(IsLeadByteSjis(0xFF));
    EXPECT_FALSE(IsLeadByteSjis('\\'));
}

TEST(StrutilChars, MapCharsLowersSingleBytesAndKeepsTrailBytes) {
    char out[32];
    // The trail byte of ア is 'A' and must stay upper case.
    EXPECT_EQ(6, MapCharsSjis(LowerAscii, "AB" A_KANA "CD", out, -1, sizeof out));
    EXPECT_STREQ("ab" A_KANA "cd", out);

    EXPECT_EQ(3, MapCharsSjis(LowerAscii, "ABCDE", out, 3, sizeof out));
    EXPECT_STREQ("abc", out);

    // A length that ends inside a double-byte character stops before it.
    EXPECT_EQ(1, MapCharsSjis(LowerAscii, "A" A_KANA, out, 2, sizeof out));
    EXPECT_STREQ("a", out);

    // A broken lead byte just before the NUL is copied alone; nothing past the NUL.
    EXPECT_EQ(2, MapCharsSjis(LowerAscii, "A\x83", out, -1, sizeof out));
    EXPECT_STREQ("a\x83", out);
}

TEST(StrutilChars, MapCharsWritesNothingForZeroLengthOrNullSource) {
    char out[8] = "keep";
    EXPECT_EQ(0, MapCharsSjis(LowerAscii, "ABC", out, 0, sizeof out));
    EXPECT_STREQ("keep", out);
    EXPECT_EQ(0, MapCharsSjis(LowerAscii, nullptr, out, -1, sizeof out));
    EXPECT_STREQ("keep", out);
    EXPECT_EQ(0, MapCharsSjis(LowerAscii, "", out, -1, sizeof out));
    EXPECT_STREQ("", out);
}

TEST(StrutilChars, ParseIntRules) {
    EXPECT_EQ(-12, ParseInt(" -12a"));
    EXPECT_EQ(0, ParseInt("a"));
    EXPECT_EQ(0, ParseInt("+12"));
    EXPECT_EQ(0, ParseInt(""));
    EXPECT_EQ(0, ParseInt("\r12"));  // CR is not skipped
    EXPECT_EQ(7, ParseInt("\n\t 7"));
    EXPECT_EQ(0, ParseInt("-"));
    EXPECT_EQ(0, ParseInt("-x5"));
    EXPECT_EQ(0, ParseInt("--5"));
    EXPECT_EQ(0, ParseInt(nullptr));
    EXPECT_EQ(42, ParseInt("042,7"));
    EXPECT_EQ(2147483647, ParseInt("2147483647"));
    EXPECT_EQ(-2147483647 - 1, ParseInt("-2147483648"));
}

TEST(StrutilChars, CopyStringAndConcat) {
    char out[32];
    EXPECT_EQ(3u, CopyString(out, "abc", sizeof out));
    EXPECT_STREQ("abc", out);
    EXPECT_EQ(0u, CopyString(out, nullptr, sizeof out));
    EXPECT_STREQ("", out);

    ConcatTo("C:\\a\\", "data\\keymap", out, sizeof out);
    EXPECT_STREQ("C:\\a\\data\\keymap", out);
    ConcatTo(nullptr, "x", out, sizeof out);
    EXPECT_STREQ("x", out);

    // Appending in place: dst is the first part.
    char path[16] = "C:\\dir";
    ConcatTo(path, "\\f", path, sizeof path);
    EXPECT_STREQ("C:\\dir\\f", path);
    // And dst as the second part.
    char tail[16] = "name";
    ConcatTo("C:\\", tail, tail, sizeof tail);
    EXPECT_STREQ("C:\\name", tail);
}

// ---------------------------------------------------------------------------
// Scanning of text-file records

TEST(StrutilScan, ReadLineEndsCrLfLfLfAndCrCr) {
    char line[16];
    const char* p = ReadLine("a\r\nb", line, sizeof line - 1);
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("a", line);
    p = ReadLine(p, line, sizeof line - 1);
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("b", line);
    EXPECT_EQ('\0', *p);
    EXPECT_EQ(nullptr, ReadLine(p, line, sizeof line - 1));

    // LF LF is one line end: the empty line is swallowed.
    p = ReadLine("a\n\nb", line, sizeof line - 1);
    EXPECT_STREQ("a", line);
    p = ReadLine(p, line, sizeof line - 1);
    EXPECT_STREQ("b", line);

    // CR CR is two line ends: an empty line between.
    p = ReadLine("a\r\rb", line, sizeof line - 1);
    EXPECT_STREQ("a", line);
    p = ReadLine(p, line, sizeof line - 1);
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("", line);
    p = ReadLine(p, line, sizeof line - 1);
    EXPECT_STREQ("b", line);

    // A lone LF and a lone CR each end one line.
    p = ReadLine("x\ny\rz", line, sizeof line - 1);
    p = ReadLine(p, line, sizeof line - 1);
    EXPECT_STREQ("y", line);
    p = ReadLine(p, line, sizeof line - 1);
    EXPECT_STREQ("z", line);
}

TEST(StrutilScan, ReadLineRefusesLongLinesAndNullArguments) {
    char line[8] = "keep";
    EXPECT_EQ(nullptr, ReadLine("abcdefgh\r\nx", line, 7));
    EXPECT_STREQ("keep", line);                             // nothing copied
    EXPECT_NE(nullptr, ReadLine("abcdefg\r\nx", line, 7));  // exactly max bytes
    EXPECT_STREQ("abcdefg", line);
    EXPECT_EQ(nullptr, ReadLine(nullptr, line, 7));
    EXPECT_EQ(nullptr, ReadLine("", line, 7));
    EXPECT_EQ(nullptr, ReadLine("a", nullptr, 7));
}

TEST(StrutilScan, SplitAtComma) {
    char out[5];
    const char* p = SplitAt("12,34", ',', out, sizeof out - 1);
    EXPECT_STREQ("12", out);
    ASSERT_NE(nullptr, p);
    EXPECT_STREQ("34", p);
    EXPECT_EQ(nullptr, SplitAt(p, ',', out, sizeof out - 1));
    EXPECT_STREQ("34", out);  // whole string when there is no comma
    EXPECT_NE(nullptr, SplitAt("abcd,", ',', out, 4));
    EXPECT_STREQ("abcd", out);
    EXPECT_EQ(nullptr, SplitAt("abcde,x", ',', out, 4));
    EXPECT_STREQ("", out);
}

TEST(StrutilScan, TakeTokenQuotedAndPlain) {
    char out[64];
    const char* rest = TakeToken("\"C:\\Program Files\\a.exe\"  \t/x y", out, sizeof out);
    EXPECT_STREQ("C:\\Program Files\\a.exe", out);
    EXPECT_STREQ("/x y", rest);

    rest = TakeToken("notepad.exe  file.txt", out, sizeof out);
    EXPECT_STREQ("notepad.exe", out);
    EXPECT_STREQ("file.txt", rest);

    rest = TakeToken("\"unterminated", out, sizeof out);
    EXPECT_STREQ("unterminated", out);
    EXPECT_STREQ("", rest);

    // Token plus delimiter must be shorter than max: "abcd " needs max 6.
    rest = TakeToken("abcd rest", out, 5);
    EXPECT_STREQ("", out);
    EXPECT_STREQ("rest", rest);
    rest = TakeToken("abcd rest", out, 6);
    EXPECT_STREQ("abcd", out);
}

TEST(StrutilScan, TakeDelimitedPieces) {
    char out[32];
    int pieces = -1;
    const char* rest =
        TakeDelimited("\"bmp;jpg;png\"  next", out, '"', ';', &pieces, 1, sizeof out);
    ASSERT_NE(nullptr, rest);
    EXPECT_STREQ("next", rest);
    EXPECT_EQ(3, pieces);
    EXPECT_STREQ("bmp", out);
    EXPECT_STREQ("jpg", out + 4);
    EXPECT_STREQ("png", out + 8);

    rest = TakeDelimited("\"a;b\"", out, '"', ';', &pieces, 0, sizeof out);
    ASSERT_NE(nullptr, rest);
    EXPECT_STREQ("a;b", out);
    EXPECT_EQ(2, pieces);
    EXPECT_STREQ("", rest);

    // No opening quote: empty field, one piece, blanks skipped from the start.
    rest = TakeDelimited(" \tplain", out, '"', ';', &pieces, 1, sizeof out);
    EXPECT_STREQ("", out);
    EXPECT_EQ(1, pieces);
    EXPECT_STREQ("plain", rest);

    // Empty quoted field.
    rest = TakeDelimited("\"\"x", out, '"', ';', nullptr, 1, sizeof out);
    ASSERT_NE(nullptr, rest);
    EXPECT_STREQ("", out);
    EXPECT_STREQ("x", rest);

    EXPECT_EQ(nullptr, TakeDelimited("\"a;b", out, '"', ';', &pieces, 1, sizeof out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, pieces);
}

TEST(StrutilScan, TakeDelimitedCutFieldCountsOnlyCopiedPieces) {
    ExactBuffer out(6);
    int pieces = 0;
    const char* rest = TakeDelimited("\"ab;cd;ef\" z", out.get(), '"', ';', &pieces, 1, out.size);
    ASSERT_NE(nullptr, rest);
    EXPECT_STREQ("z", rest);
    EXPECT_EQ(2, pieces);
    // Walking the pieces stays inside the buffer.
    const char* piece = out.get();
    for (int i = 0; i < pieces; i++) {
        ASSERT_LT((size_t)(piece - out.get()), out.size);
        piece += strlen(piece) + 1;
    }
    EXPECT_STREQ("cd", out.get() + 3);
}

TEST(StrutilScan, ReplaceFirstCharOnly) {
    char text[] = "a,b,c";
    const char* after = ReplaceFirstChar(text, ',', ';');
    EXPECT_STREQ("a;b,c", text);
    ASSERT_NE(nullptr, after);
    EXPECT_STREQ("b,c", after);

    char last[] = "ab,";
    EXPECT_EQ(nullptr, ReplaceFirstChar(last, ',', '\0'));
    EXPECT_STREQ("ab", last);

    char none[] = "abc";
    EXPECT_EQ(nullptr, ReplaceFirstChar(none, ',', ';'));
    EXPECT_STREQ("abc", none);
    char empty[] = "";
    EXPECT_EQ(nullptr, ReplaceFirstChar(empty, ',', ';'));
}

TEST(StrutilScan, FindSubstringBasics) {
    const char* hay = "hello world";
    EXPECT_EQ(hay + 2, FindSubstringSjis(hay, "llo"));
    EXPECT_EQ(hay + 6, FindSubstringSjis(hay, "world"));
    EXPECT_EQ(nullptr, FindSubstringSjis(hay, "worlds"));
    EXPECT_EQ(nullptr, FindSubstringSjis(hay, "World"));  // case-sensitive
    EXPECT_EQ(hay, FindSubstringSjis(hay, ""));
    const char* empty = "";
    EXPECT_EQ(empty, FindSubstringSjis(empty, ""));
    EXPECT_EQ(nullptr, FindSubstringSjis(empty, "a"));
    // Repeated prefix: the match after a partial one is still found.
    const char* rep = "aaab";
    EXPECT_EQ(rep + 1, FindSubstringSjis(rep, "aab"));
}

TEST(StrutilScan, FindSubstringComparesWholeCharacters) {
    // The trail byte of 表 is no backslash.
    EXPECT_EQ(nullptr, FindSubstringSjis("a" HYO "b", "\\"));
    const char* path = "a" HYO "\\b";
    EXPECT_EQ(path + 3, FindSubstringSjis(path, "\\b"));
    // A double-byte character matches only the same two bytes.
    EXPECT_EQ(nullptr, FindSubstringSjis(HYO, "\x95\x40"));
    const char* two = HYO HYO "x";
    EXPECT_EQ(two + 2, FindSubstringSjis(two, HYO "x"));
    EXPECT_EQ(two, FindSubstringSjis(two, HYO));
    // Trail byte 'A' of ア is not the letter A.
    EXPECT_EQ(nullptr, FindSubstringSjis("x" A_KANA, "A"));
}

TEST(StrutilScan, FindSubstringRestartsOnCharacterBoundaries) {
    // "b" ッ "b": the attempt at 0 matches 'b' and fails at ッ. The next attempt
    // starts at ッ, then after it; never at its trail byte 'b', so "bb" is absent.
    EXPECT_EQ(nullptr, FindSubstringSjis("b" TSU "b", "bb"));
    // A failed attempt that began on a double-byte character moves on by two.
    const char* hay = TSU "bb";
    EXPECT_EQ(hay + 2, FindSubstringSjis(hay, "bb"));
    // A partial match failing at a single byte restarts one byte later.
    const char* s = "abab" TSU;
    EXPECT_EQ(s + 2, FindSubstringSjis(s, "ab" TSU));
}

TEST(StrutilScan, StartsWithAndHasAtLeast) {
    const char* t = "abc";
    EXPECT_EQ(t, StartsWith(t, "ab"));
    EXPECT_EQ(t, StartsWith(t, ""));
    EXPECT_EQ(nullptr, StartsWith(t, "abcd"));
    EXPECT_EQ(nullptr, StartsWith(t, "b"));
    const char* e = "";
    EXPECT_EQ(e, StartsWith(e, ""));
    EXPECT_EQ(nullptr, StartsWith(e, "a"));

    EXPECT_TRUE(HasAtLeast("abc", 3));
    EXPECT_FALSE(HasAtLeast("abc", 4));
    EXPECT_TRUE(HasAtLeast("", 0));
    EXPECT_FALSE(HasAtLeast("", 1));
    EXPECT_TRUE(HasAtLeast(nullptr, 0));
}

TEST(StrutilScan, DetectUnicodeBom) {
    const unsigned char le[] = {0xFF, 0xFE, 'a', 0};
    const unsigned char be[] = {0xFE, 0xFF, 0, 'a'};
    const unsigned char sjis[] = {0x95, 0x5C};
    EXPECT_EQ(1, DetectUnicodeBom(le, sizeof le));
    EXPECT_EQ(2, DetectUnicodeBom(be, sizeof be));
    EXPECT_EQ(0, DetectUnicodeBom(sjis, sizeof sjis));
    EXPECT_EQ(0, DetectUnicodeBom(le, 1));
}

// ---------------------------------------------------------------------------
// Path routines

TEST(StrutilPath, TrailByte5CIsNeverASeparator) {
    char a[] = "C:\\" HYO "\\" HYO;  // C:\表\表
    ASSERT_NE(nullptr, CutLastComponent(a));
    EXPECT_STREQ("C:\\" HYO, a);
    ASSERT_NE(nullptr, CutLastComponent(a));
    EXPECT_STREQ("C:", a);

    const char* p = "C:\\dir\\" SO HYO ".txt";
    char name[32];
    EXPECT_EQ(p + 7, FileNamePart(p, name, sizeof name));
    EXPECT_STREQ(SO HYO ".txt", name);

    char b[] = "x" HYO "y";  // no separator at all
    EXPECT_EQ(nullptr, CutLastComponent(b));
    EXPECT_STREQ("x" HYO "y", b);
    EXPECT_EQ(nullptr, FileNamePart(b, nullptr, 0));

    char c[] = "C:/" HYO "/a";
    ToBackslashes(c);
    EXPECT_STREQ("C:\\" HYO "\\a", c);
    EXPECT_EQ(nullptr, ToBackslashes(nullptr));
}

TEST(StrutilPath, CutLastComponent) {
    char a[] = "C:\\a\\b";
    EXPECT_EQ(a, CutLastComponent(a));
    EXPECT_STREQ("C:\\a", a);
    char b[] = "C:\\a\\";
    EXPECT_EQ(b, CutLastComponent(b));
    EXPECT_STREQ("C:\\a", b);
    char c[] = "C:/a/b";
    EXPECT_EQ(c, CutLastComponent(c));
    EXPECT_STREQ("C:/a", c);
    // Only separator at the first byte, no separator, empty: null, unchanged.
    char d[] = "\\abc";
    EXPECT_EQ(nullptr, CutLastComponent(d));
    EXPECT_STREQ("\\abc", d);
    char e[] = "abc";
    EXPECT_EQ(nullptr, CutLastComponent(e));
    EXPECT_STREQ("abc", e);
    char f[] = "";
    EXPECT_EQ(nullptr, CutLastComponent(f));
}

TEST(StrutilPath, CutAfterLastSeparator) {
    char a[] = "C:\\a\\b.exe";
    EXPECT_EQ(a, CutAfterLastSeparator(a));
    EXPECT_STREQ("C:\\a\\", a);
    char b[] = "C:\\" HYO;
    EXPECT_EQ(b, CutAfterLastSeparator(b));
    EXPECT_STREQ("C:\\", b);
    char c[] = HYO "x";
    EXPECT_EQ(nullptr, CutAfterLastSeparator(c));
    EXPECT_STREQ(HYO "x", c);
    char d[] = "";
    EXPECT_EQ(nullptr, CutAfterLastSeparator(d));
}

TEST(StrutilPath, FileNamePart) {
    const char* p = "C:\\a/b.txt";
    char name[16] = "junk";
    EXPECT_EQ(p + 5, FileNamePart(p, name, sizeof name));
    EXPECT_STREQ("b.txt", name);
    EXPECT_EQ(nullptr, FileNamePart("b.txt", name, sizeof name));
    EXPECT_STREQ("b.txt", name);  // whole string without a separator
    const char* dir = "C:\\dir\\";
    const char* r = FileNamePart(dir, name, sizeof name);
    ASSERT_NE(nullptr, r);
    EXPECT_STREQ("", r);
    EXPECT_STREQ("", name);
}

TEST(StrutilPath, TrailingSeparatorsLookAtTheLastCharacter) {
    char a[16] = "C:\\a";
    AddTrailingSeparator(a, sizeof a);
    EXPECT_STREQ("C:\\a\\", a);
    AddTrailingSeparator(a, sizeof a);
    EXPECT_STREQ("C:\\a\\", a);
    char b[16] = "C:/a/";
    AddTrailingSeparator(b, sizeof b);
    EXPECT_STREQ("C:/a/", b);
    // A folder named 表 ends in the byte 5C but not in a separator.
    char c[16] = "C:\\" HYO;
    AddTrailingSeparator(c, sizeof c);
    EXPECT_STREQ("C:\\" HYO "\\", c);
    RemoveTrailingSeparator(c);
    EXPECT_STREQ("C:\\" HYO, c);
    RemoveTrailingSeparator(c);
    EXPECT_STREQ("C:\\" HYO, c);  // the trail byte stays

    char d[16] = "C:\\a\\\\";
    RemoveTrailingSeparator(d);
    EXPECT_STREQ("C:\\a\\", d);  // one byte only
    char e[16] = "C:\\a/";
    RemoveTrailingSeparator(e);
    EXPECT_STREQ("C:\\a", e);
    char root[16] = "C:\\";
    RemoveTrailingSeparator(root);
    EXPECT_STREQ("C:", root);
    // A lead byte with nothing after it is a character of its own.
    char lone[16] = "a\x95";
    RemoveTrailingSeparator(lone);
    EXPECT_STREQ("a\x95", lone);
    char empty[16] = "";
    RemoveTrailingSeparator(empty);
    EXPECT_STREQ("", empty);
}

TEST(StrutilPath, CollapseSeparators) {
    char a[] = "a\\\\b";
    CollapseSeparators(a);
    EXPECT_STREQ("a\\b", a);
    char b[] = "a\\/b";
    CollapseSeparators(b);
    EXPECT_STREQ("a/b", b);
    char c[] = "a\\\\\\b";
    CollapseSeparators(c);
    EXPECT_STREQ("a\\\\b", c);  // three become two
    char d[] = "a\\\\\\\\b";
    CollapseSeparators(d);
    EXPECT_STREQ("a\\\\b", d);
    char e[] = "C:\\" HYO "\\x";  // 表 then a real separator: nothing to collapse
    CollapseSeparators(e);
    EXPECT_STREQ("C:\\" HYO "\\x", e);
    char f[] = "a\\\\";
    CollapseSeparators(f);
    EXPECT_STREQ("a\\", f);
}

TEST(StrutilPath, NormalizeDotsFoldsRelativeComponents) {
    char out[64];
    EXPECT_STREQ("C:\\a\\c", NormalizeDots(out, "C:\\a\\b\\..\\c", sizeof out));
    EXPECT_STREQ("C:\\a\\d", NormalizeDots(out, "C:\\a\\b\\c\\..\\..\\d", sizeof out));
    EXPECT_STREQ("C:\\a\\b", NormalizeDots(out, "C:\\a\\.\\b", sizeof out));
    EXPECT_STREQ("C:/a/c", NormalizeDots(out, "C:/a/b/../c", sizeof out));
    // No separator before the one ending the output: the three bytes just go.
    EXPECT_STREQ("C:\\x", NormalizeDots(out, "C:\\..\\x", sizeof out));
    EXPECT_STREQ("a", NormalizeDots(out, "..\\a", sizeof out));
    // Inside a name.
    EXPECT_STREQ("ab", NormalizeDots(out, "a..\\b", sizeof out));
    EXPECT_STREQ("C:\\x", NormalizeDots(out, "C:\\ab..\\x", sizeof out));
    EXPECT_STREQ("ab", NormalizeDots(out, "a.\\b", sizeof out));
    // Dots not followed by a separator are copied.
    EXPECT_STREQ("a.b..c", NormalizeDots(out, "a.b..c", sizeof out));
    EXPECT_STREQ("C:\\a\\..", NormalizeDots(out, "C:\\a\\..", sizeof out));
    EXPECT_STREQ("ab", NormalizeDots(out, "a..\\.\\b", sizeof out));
    EXPECT_STREQ("", NormalizeDots(out, "", sizeof out));
}

TEST(StrutilPath, NormalizeDotsSkipsTrailBytes) {
    char out[64];
    // Back from C:\a\表\ goes to C:\a\ (the trail of 表 is not the previous separator).
    EXPECT_STREQ("C:\\a\\b", NormalizeDots(out, "C:\\a\\" HYO "\\..\\b", sizeof out));
    EXPECT_STREQ("C:\\" HYO "x", NormalizeDots(out, "C:\\" HYO ".\\x", sizeof out));
    // In place.
    char buf[] = "C:\\a\\b\\..\\" SO;
    EXPECT_STREQ("C:\\a\\" SO, NormalizeDots(buf, buf, sizeof buf));
}

TEST(StrutilPath, QuoteAndQuoteIfSpaces) {
    char a[6] = "a b";
    EXPECT_EQ(1, Quote(a, sizeof a));  // 3 + 3 bytes fit exactly
    EXPECT_STREQ("\"a b\"", a);
    char b[5] = "a b";
    EXPECT_EQ(0, Quote(b, sizeof b));
    EXPECT_STREQ("a b", b);

    char c[16] = "ab";
    EXPECT_EQ(0, QuoteIfSpaces(c, sizeof c));
    EXPECT_STREQ("ab", c);
    char d[16] = "C:\\x y\\z";
    EXPECT_EQ(1, QuoteIfSpaces(d, sizeof d));
    EXPECT_STREQ("\"C:\\x y\\z\"", d);
    char e[16] = "";
    EXPECT_EQ(1, Quote(e, sizeof e));
    EXPECT_STREQ("\"\"", e);
}

TEST(StrutilPath, EllipsizeMiddleAscii) {
    const char* src = "abcdefghijklmnopqrstuvwxyz0123";  // 30 bytes
    ASSERT_EQ(30u, strlen(src));
    char out[64];
    EllipsizeMiddle(src, out, 20, sizeof out);
    EXPECT_EQ(std::string("abcdefgh") + ELL + "tuvwxyz0123", out);

    EllipsizeMiddle("short", out, 20, sizeof out);
    EXPECT_STREQ("short", out);
    EllipsizeMiddle("exactly20bytes_name_", out, 20, sizeof out);
    EXPECT_STREQ("exactly20bytes_name_", out);

    // Width below 5 counts as 4: no head, the tail after len - 3 bytes.
    EllipsizeMiddle("abcdefgh", out, 3, sizeof out);
    EXPECT_EQ(std::string(ELL) + "fgh", out);
    EllipsizeMiddle("abcd", out, 0, sizeof out);
    EXPECT_STREQ("abcd", out);
}

TEST(StrutilPath, EllipsizeMiddleKeepsCharactersWhole) {
    char out[64];
    // The 8th byte is the lead of 表: the head takes the whole character.
    std::string src = std::string("abcdefg") + HYO + std::string(20, 'x');  // 29 bytes
    EllipsizeMiddle(src.c_str(), out, 20, sizeof out);
    EXPECT_EQ(std::string("abcdefg") + HYO + ELL + std::string(10, 'x'), out);

    // Fifteen 表 with width 22: the head ends after 5 characters (10 bytes), and
    // the tail starts on a character, not on a trail byte.
    std::string kanji;
    for (int i = 0; i < 15; i++) kanji += HYO;
    EllipsizeMiddle(kanji.c_str(), out, 22, sizeof out);
    std::string five;
    for (int i = 0; i < 5; i++) five += HYO;
    EXPECT_EQ(five + ELL + five, out);

    // Every width on a mixed name gives whole characters and ends with the
    // name's last character.
    std::string mixed = std::string("ab") + HYO + "c" + SO + SO + "de" + TSU + "fgh" + HYO + "ij";
    for (int width = 0; width < 30; width++) {
        EllipsizeMiddle(mixed.c_str(), out, width, sizeof out);
        std::string got(out);
        EXPECT_TRUE(EndsOnCharBoundary(got)) << width;
        EXPECT_EQ(mixed.substr(mixed.size() - 2), got.substr(got.size() - 2)) << width;
    }
}

TEST(StrutilPath, IsBitmapByNameOrData) {
    const unsigned char bm[] = {'B', 'M', 0, 0};
    const unsigned char png[] = {0x89, 'P', 'N', 'G'};
    EXPECT_TRUE(IsBitmap(png, sizeof png, "a.BMP"));
    EXPECT_TRUE(IsBitmap(png, sizeof png, "C:\\x\\pic.Bmp"));
    EXPECT_FALSE(IsBitmap(bm, sizeof bm, "a.png"));  // a name decides
    EXPECT_TRUE(IsBitmap(bm, sizeof bm, nullptr));
    EXPECT_TRUE(IsBitmap(bm, sizeof bm, ".bmp"));  // shorter than 5: the data decides
    EXPECT_FALSE(IsBitmap(png, sizeof png, ".bmp"));
    EXPECT_FALSE(IsBitmap(png, sizeof png, nullptr));
    EXPECT_FALSE(IsBitmap(bm, 1, nullptr));
}

TEST(StrutilPath, IsBareDrive) {
    EXPECT_TRUE(IsBareDrive("C:"));
    EXPECT_TRUE(IsBareDrive("z:"));
    EXPECT_FALSE(IsBareDrive("C:\\"));
    EXPECT_FALSE(IsBareDrive("1:"));
    EXPECT_FALSE(IsBareDrive("C"));
    EXPECT_FALSE(IsBareDrive(""));
    EXPECT_FALSE(IsBareDrive(nullptr));
}

// ---------------------------------------------------------------------------
// Bounds: every writer given a buffer too small stays inside it (exact-size
// heap buffers, so AddressSanitizer sees any overrun), NUL-terminates, and cuts
// on a character boundary.

TEST(StrutilBounds, CopyConcatMapCutOnCharacters) {
    const std::string text = std::string("ab") + HYO + "c" + SO + "d";
    for (size_t n = 1; n <= text.size() + 1; n++) {
        ExactBuffer b1(n), b2(n), b3(n);
        CopyString(b1.get(), text.c_str(), n);
        ConcatTo("a", text.c_str() + 1, b2.get(), n);
        MapCharsSjis(LowerAscii, text.c_str(), b3.get(), -1, n);
        for (ExactBuffer* b : {&b1, &b2, &b3}) {
            ASSERT_TRUE(b->terminatedInside()) << n;
            std::string got = b->str();
            EXPECT_LE(got.size(), n - 1);
            EXPECT_TRUE(EndsOnCharBoundary(got)) << n;
            EXPECT_EQ(0, text.compare(0, got.size(), got)) << n;
        }
    }
    // Size 0 writes nothing at all.
    char sentinel = '#';
    EXPECT_EQ(0u, CopyString(&sentinel, "abc", 0));
    ConcatTo("a", "b", &sentinel, 0);
    EXPECT_EQ(0, MapCharsSjis(LowerAscii, "abc", &sentinel, -1, 0));
    EllipsizeMiddle("abcdefghijklmnop", &sentinel, 6, 0);
    NormalizeDots(&sentinel, "abc", 0);
    FileNamePart("C:\\abc", &sentinel, 0);
    EXPECT_EQ('#', sentinel);
}

TEST(StrutilBounds, ScannersStayInTheirBuffers) {
    for (size_t n = 1; n <= 8; n++) {
        ExactBuffer tok(n);
        TakeToken("\"abcdef\" x", tok.get(), n);
        EXPECT_TRUE(tok.terminatedInside()) << n;

        ExactBuffer del(n);
        int pieces = 0;
        TakeDelimited("\"ab;cd;ef\"", del.get(), '"', ';', &pieces, 1, n);
        EXPECT_TRUE(del.terminatedInside()) << n;
        EXPECT_LE(pieces, 3);

        ExactBuffer line(n);  // ReadLine and SplitAt take the longest part, n - 1
        ReadLine("abcdef\r\n", line.get(), n - 1);
        SplitAt("abcdef,", ',', line.get(), n - 1);
        EXPECT_TRUE(line.terminatedInside()) << n;
    }
}

TEST(StrutilBounds, PathWritersStayInTheirBuffers) {
    const char* path = "C:\\dir\\" HYO "\\..\\" SO "name.txt";
    for (size_t n = 1; n <= strlen(path) + 1; n++) {
        ExactBuffer nd(n), fn(n), el(n);
        NormalizeDots(nd.get(), path, n);
        FileNamePart(path, fn.get(), n);
        EllipsizeMiddle(path, el.get(), 10, n);
        for (ExactBuffer* b : {&nd, &fn, &el}) {
            ASSERT_TRUE(b->terminatedInside()) << n;
            EXPECT_TRUE(EndsOnCharBoundary(b->str())) << n;
        }
    }
    // Appending writers refuse when there is no room and leave the text alone.
    ExactBuffer add(5);
    memcpy(add.get(), "C:\\a", 5);
    AddTrailingSeparator(add.get(), add.size);
    EXPECT_STREQ("C:\\a", add.get());
    ExactBuffer q(6);
    memcpy(q.get(), "a bc", 5);
    EXPECT_EQ(0, QuoteIfSpaces(q.get(), q.size));
    EXPECT_STREQ("a bc", q.get());
}
