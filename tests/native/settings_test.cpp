// Tests of the settings record and its file "data\vorn.ini".
#include <gtest/gtest.h>

#include <ftw.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "common/datafile.h"
#include "common/fileio.h"
#include "common/settings.h"
#include "tests/expected_files.h"

namespace {

// The file a fresh installation gets.
constexpr const auto& kDefaultFile = kDefaultIni;

// Replaces the whole line "key=..." of one section of a settings text.
std::string WithLine(std::string text, const char* section, const char* key, const std::string& line) {
    size_t at = text.find(std::string("[") + section + "]\r\n");
    EXPECT_NE(std::string::npos, at) << section;
    at = text.find(std::string("\r\n") + key + "=", at);
    EXPECT_NE(std::string::npos, at) << key;
    at += 2;
    size_t end = text.find("\r\n", at);
    return text.replace(at, end - at, line);
}

std::string WithValue(const std::string& text, const char* section, const char* key,
                      const std::string& value) {
    return WithLine(text, section, key, std::string(key) + "=" + value);
}

// A default file with both paths filled in: every key present and non-empty.
std::string CompleteFile() {
    std::string t = WithValue(kDefaultFile, "common", "migemo_path", "C:\\dict");
    return WithValue(t, "prev", "spi_path", "C:\\spi");
}

std::string Formatted() {
    char buf[SETTINGS_TEXT_MAX];
    int n = FormatSettings(buf, sizeof buf);
    EXPECT_GT(n, 0);
    return n > 0 ? std::string(buf, (size_t)n) : std::string();
}

SettingsRecord Parsed(const std::string& text) {
    ParseSettingsText(text.c_str());
    return Settings;
}

struct LookRef {
    const char* section;
    ListLook SettingsRecord::*look;
};

const LookRef kLooks[] = {
    {"path", &SettingsRecord::path}, {"exp", &SettingsRecord::exp},
    {"his", &SettingsRecord::his},   {"def", &SettingsRecord::def},
    {"fav", &SettingsRecord::fav},   {"search", &SettingsRecord::search},
};

}  // namespace

// ---------------------------------------------------------------------------

TEST(SettingsDefaults, ResetGivesTheDefaultFile) {
    memset(&Settings, 0x5A, sizeof Settings);
    ResetSettings();
    EXPECT_EQ(std::string(kDefaultFile), Formatted());
    EXPECT_EQ(305u, Settings.hotkey);
    EXPECT_STREQ("%H:%M:%S", Settings.t_macro);
    EXPECT_EQ(0xD2D2D2u, Settings.his.fldbkcolor);
    EXPECT_EQ(0xFFFFFFu, Settings.his.filbkcolor);
    EXPECT_STREQ("", Settings.migemo_path);
    EXPECT_STREQ("", Settings.spi_path);
}

TEST(SettingsDefaults, EmptyOrMissingTextGivesDefaultsAndIsIncomplete) {
    for (const char* text : {"", "garbage without sections\r\n", "[common]\r\n", (const char*)nullptr}) {
        memset(&Settings, 0x5A, sizeof Settings);
        ParseSettingsText(text);
        EXPECT_EQ(1, SettingsIncomplete) << (text ? text : "null");
        EXPECT_EQ(std::string(kDefaultFile), Formatted()) << (text ? text : "null");
    }
}

TEST(SettingsDefaults, FormatRefusesSmallBuffers) {
    ResetSettings();
    char small[100];
    EXPECT_EQ(-1, FormatSettings(small, sizeof small));
    EXPECT_EQ(-1, FormatSettings(small, 0));
    size_t full = strlen(kDefaultFile);
    char exact[sizeof kDefaultFile];
    EXPECT_EQ(-1, FormatSettings(exact, full));  // no room for the terminator
    EXPECT_EQ((int)full, FormatSettings(exact, full + 1));
}

TEST(SettingsDefaults, LongestRecordFitsTheFormatBuffer) {
    ResetSettings();
    Settings.hotkey = 0x80000000u;
    Settings.x = INT32_MIN;
    memset(Settings.t_macro, 'm', sizeof Settings.t_macro);  // not even terminated
    memset(Settings.migemo_path, 'p', sizeof Settings.migemo_path);
    memset(Settings.spi_path, 's', sizeof Settings.spi_path);
    std::string text = Formatted();
    EXPECT_NE(std::string::npos, text.find("t_macro=" + std::string(19, 'm') + "\r\n"));
    EXPECT_NE(std::string::npos, text.find("migemo_path=" + std::string(260, 'p') + "\r\n"));
    EXPECT_NE(std::string::npos, text.find("spi_path=" + std::string(260, 's') + "\r\n"));
    EXPECT_NE(std::string::npos, text.find("hotkey=-2147483648\r\n"));
}

// ---------------------------------------------------------------------------
// Validation, rule by rule.

TEST(SettingsValidation, HotKeyNeedsModifierAndKey) {
    struct {
        uint32_t in, out;
    } cases[] = {
        {49, 305},       {0, 0},           {0x131, 0x131}, {0x100, 305},  {0x1FF, 305},
        {0x1FE, 0x1FE},  {0x1001, 305},    {0x801, 0x801}, {0x10231, 0x10231},
        {0xFFFFFFFFu, 305},
    };
    for (auto& c : cases) {
        ResetSettings();
        Settings.hotkey = c.in;
        ValidateSettings();
        EXPECT_EQ(c.out, Settings.hotkey) << std::hex << c.in;
    }
    EXPECT_EQ(305u, Parsed(WithValue(kDefaultFile, "common", "hotkey", "49")).hotkey);
    EXPECT_EQ(0u, Parsed(WithValue(kDefaultFile, "common", "hotkey", "0")).hotkey);
}

TEST(SettingsValidation, AlphaKeepsTheLowByteThenTheRange) {
    struct {
        const char* text;
        int out;
    } cases[] = {{"5", 100}, {"300", 44}, {"10", 10}, {"9", 100}, {"100", 100}, {"101", 100},
                 {"266", 10}, {"-246", 10}};
    for (auto& c : cases)
        EXPECT_EQ(c.out, Parsed(WithValue(kDefaultFile, "common", "alpha", c.text)).alpha) << c.text;
}

TEST(SettingsValidation, SignedAndWidthRules) {
    struct {
        int32_t in, out;
    } w[] = {{-30, 30}, {-10, 70}, {19, 70}, {20, 20}, {0, 70}, {INT32_MIN, 70}};
    for (auto& c : w) {
        ResetSettings();
        Settings.w = c.in;
        ValidateSettings();
        EXPECT_EQ(c.out, Settings.w) << c.in;
    }
    ResetSettings();
    Settings.ftsize = -9;
    Settings.size = -5;
    Settings.x = -5;
    Settings.y = -7;
    Settings.showpos = 77;
    Settings.direct = -3;
    Settings.subfolder = -4;
    ValidateSettings();
    EXPECT_EQ(9, Settings.ftsize);
    EXPECT_EQ(5, Settings.size);
    // Keys without a rule keep what they hold.
    EXPECT_EQ(-5, Settings.x);
    EXPECT_EQ(-7, Settings.y);
    EXPECT_EQ(77, Settings.showpos);
    EXPECT_EQ(-3, Settings.direct);
    EXPECT_EQ(-4, Settings.subfolder);
    ResetSettings();
    Settings.ftsize = INT32_MIN;
    Settings.size = INT32_MIN;
    ValidateSettings();
    EXPECT_EQ(12, Settings.ftsize);
    EXPECT_EQ(20, Settings.size);
}

TEST(SettingsValidation, Ranges) {
    struct Case {
        const char* what;
        void (*set)(uint32_t);
        uint32_t (*get)();
        uint32_t in, out;
    };
#define VORN_FIELD_CASE(field, in, out) \
    {#field, [](uint32_t v) { Settings.field = (decltype(Settings.field))v; }, \
     []() { return (uint32_t)Settings.field; }, (uint32_t)(in), (uint32_t)(out)}
    const Case cases[] = {
        VORN_FIELD_CASE(rsize, 499, 2000),      VORN_FIELD_CASE(rsize, 500, 500),
        VORN_FIELD_CASE(rsize, 10000, 10000),   VORN_FIELD_CASE(rsize, 10001, 2000),
        VORN_FIELD_CASE(listwmax, 260, 260),    VORN_FIELD_CASE(listwmax, 261, 0),
        VORN_FIELD_CASE(listwmax, -1, 0),       VORN_FIELD_CASE(linemax, 0, 25),
        VORN_FIELD_CASE(linemax, 1, 1),         VORN_FIELD_CASE(linemax, 100, 100),
        VORN_FIELD_CASE(linemax, 101, 25),      VORN_FIELD_CASE(linemax, -5, 25),
        VORN_FIELD_CASE(tray, 2, 2),            VORN_FIELD_CASE(tray, 3, 1),
        VORN_FIELD_CASE(tray, 0, 0),            VORN_FIELD_CASE(exemode, 2, 2),
        VORN_FIELD_CASE(exemode, 3, 1),         VORN_FIELD_CASE(exemode, -1, 1),
        VORN_FIELD_CASE(inputmode, 1, 1),       VORN_FIELD_CASE(inputmode, 2, 0),
        VORN_FIELD_CASE(inputmode, -1, 0),      VORN_FIELD_CASE(width, 10, 250),
        VORN_FIELD_CASE(width, 11, 11),         VORN_FIELD_CASE(width, 0, 250),
        VORN_FIELD_CASE(width, -1, 0xFFFFFFFFu), VORN_FIELD_CASE(height, 10, 250),
        VORN_FIELD_CASE(height, 11, 11),        VORN_FIELD_CASE(height, -5, 0xFFFFFFFBu),
        VORN_FIELD_CASE(icon, 5, 1),            VORN_FIELD_CASE(icon, 0, 0),
        VORN_FIELD_CASE(aligns, -1, 1),         VORN_FIELD_CASE(migemomode, 7, 1),
        VORN_FIELD_CASE(migemo, 2, 1),          VORN_FIELD_CASE(autoresize, 1, 1),
        VORN_FIELD_CASE(autoresize, 2, 0),      VORN_FIELD_CASE(autoresize, 0, 0),
        VORN_FIELD_CASE(typoctr, 3, 0),         VORN_FIELD_CASE(typoctr, 1, 1),
        VORN_FIELD_CASE(keep, 0, 0),            VORN_FIELD_CASE(keep, 5, 0),
        VORN_FIELD_CASE(path.fldclass, 2, 0),   VORN_FIELD_CASE(search.fldclass, 0, 0),
        VORN_FIELD_CASE(bkcolor, 0x1000000, 0xFFFFFF), VORN_FIELD_CASE(bkcolor, 0xFFFFFF, 0xFFFFFF),
        VORN_FIELD_CASE(ftcolor, 0x1000000, 0), VORN_FIELD_CASE(ftcolor, 0x123456, 0x123456),
    };
#undef VORN_FIELD_CASE
    for (const Case& c : cases) {
        ResetSettings();
        c.set(c.in);
        ValidateSettings();
        EXPECT_EQ(c.out, c.get()) << c.what << " " << (int32_t)c.in;
    }
}

TEST(SettingsValidation, EachColourOfEachListByItself) {
    const uint32_t kCustom = 0x123456;
    const uint32_t ListLook::*colours[] = {&ListLook::fldbkcolor, &ListLook::fldftcolor,
                                           &ListLook::filbkcolor, &ListLook::filftcolor};
    const char* keys[] = {"fldbkcolor", "fldftcolor", "filbkcolor", "filftcolor"};
    const uint32_t defaults[] = {0xD2D2D2, 0, 0xFFFFFF, 0};
    for (const LookRef& l : kLooks) {
        std::string custom = kDefaultFile;
        for (const char* key : keys) custom = WithValue(custom, l.section, key, "1193046");
        for (int bad = 0; bad < 4; bad++) {
            SettingsRecord r = Parsed(WithValue(custom, l.section, keys[bad], "16777216"));
            const ListLook& look = r.*(l.look);
            for (int k = 0; k < 4; k++) {
                EXPECT_EQ(k == bad ? defaults[k] : kCustom, look.*colours[k])
                    << l.section << " " << keys[bad] << " bad, checking " << keys[k];
            }
            // The other lists are not touched by this section's values.
            for (const LookRef& other : kLooks) {
                if (other.look != l.look) {
                    EXPECT_EQ(0xD2D2D2u, (r.*(other.look)).fldbkcolor);
                }
            }
        }
        EXPECT_EQ(0xFFFFFFu, (Parsed(WithValue(custom, l.section, "fldbkcolor", "16777215")).*(l.look))
                                 .fldbkcolor);
    }
}

TEST(SettingsValidation, TimeMacroEmptyBecomesDefault) {
    ResetSettings();
    Settings.t_macro[0] = '\0';
    ValidateSettings();
    EXPECT_STREQ("%H:%M:%S", Settings.t_macro);
    // A record whose strings lost their terminator is cut at the last byte.
    memset(Settings.t_macro, 'x', sizeof Settings.t_macro);
    memset(Settings.spi_path, 'y', sizeof Settings.spi_path);
    ValidateSettings();
    EXPECT_EQ(19u, strlen(Settings.t_macro));
    EXPECT_EQ(260u, strlen(Settings.spi_path));
}

TEST(SettingsValidation, MigemoRunTimeBitFollowsStoredBitAtLoad) {
    EXPECT_EQ(3u, Parsed(WithValue(kDefaultFile, "common", "migemo", "1")).migemo);
    EXPECT_EQ(3u, Parsed(WithValue(kDefaultFile, "common", "migemo", "6")).migemo);
    EXPECT_EQ(0u, Parsed(kDefaultFile).migemo);
    ResetSettings();
    Settings.migemo = 3;
    Settings.tray = 2 | TRAY_HOTKEY_FAILED;
    Settings.alpha = 200;
    std::string text = Formatted();
    EXPECT_NE(std::string::npos, text.find("\r\nmigemo=1\r\n"));
    EXPECT_NE(std::string::npos, text.find("\r\ntray=2\r\n"));
    EXPECT_NE(std::string::npos, text.find("\r\nalpha=200\r\n"));
}

// ---------------------------------------------------------------------------
// How lines, keys and values are recognised.

TEST(SettingsLines, CommentsAndBlanksAroundValues) {
    SettingsRecord r = Parsed(WithValue(CompleteFile(), "common", "t_macro", "  %H %M \t  ; the clock"));
    EXPECT_STREQ("%H %M", r.t_macro);
    EXPECT_EQ(0, SettingsIncomplete);
    r = Parsed(WithValue(CompleteFile(), "common", "linemax", "42;comment"));
    EXPECT_EQ(42, r.linemax);
    // Tabs after "=" are kept in a string; the value is taken from the first tab.
    r = Parsed(WithValue(CompleteFile(), "prev", "spi_path", "\tC:\\spi"));
    EXPECT_STREQ("\tC:\\spi", r.spi_path);
    // Blanks and tabs before the key, and blank lines and comment lines between keys.
    std::string t = WithLine(CompleteFile(), "common", "linemax", " \t linemax=42");
    t = WithLine(t, "common", "exemode", "; a comment line\r\n\r\n\r\nexemode=2");
    r = Parsed(t);
    EXPECT_EQ(42, r.linemax);
    EXPECT_EQ(2, r.exemode);
    EXPECT_EQ(0, SettingsIncomplete);
}

TEST(SettingsLines, UnrecognisedLinesGiveDefaults) {
    struct {
        const char* section;
        const char* key;
        const char* line;
        const char* def;
    } cases[] = {
        {"common", "linemax", "linemax =42", "25"},        // blank between key and "="
        {"common", "linemax", "LINEMAX=42", "25"},         // upper case key
        {"common", "linemax", "linemax=   ", "25"},        // empty value
        {"common", "linemax", "linemax=;42", "25"},        // only a comment
        {"common", "linemax", ";linemax=42", "25"},        // commented out
        {"common", "linemax", "linemax", "25"},            // no "="
        {"edit", "w", "width=42", "70"},                   // a longer key is another key
        {"common", "tray", "trayx=2", "1"},                // the key is only a prefix of it
        {"common", "t_macro", "t_macro=   \t ", "%H:%M:%S"},  // only blanks and tabs
        {"common", "migemo_path", "migemo_path= ;x", ""},
    };
    for (auto& c : cases) {
        SettingsRecord want = Parsed(WithValue(CompleteFile(), c.section, c.key, c.def));
        SettingsRecord got = Parsed(WithLine(CompleteFile(), c.section, c.key, c.line));
        EXPECT_EQ(1, SettingsIncomplete) << c.line;
        EXPECT_EQ(0, memcmp(&want, &got, sizeof want)) << c.line;
    }
    // Upper-case section names are other sections.
    std::string t = CompleteFile();
    t.replace(t.find("[edit]"), 6, "[EDIT]");
    t = WithValue(t, "EDIT", "w", "42");
    EXPECT_EQ(70, Parsed(t).w);
    EXPECT_EQ(1, SettingsIncomplete);
}

TEST(SettingsLines, KeysSharingABeginningAreKeptApart) {
    std::string t = WithValue(CompleteFile(), "common", "migemomode", "1");
    t = WithValue(t, "common", "migemo", "0");
    // Lines of "migemo_path" and "migemomode" placed before the "migemo" line.
    t = WithLine(t, "common", "tray", "migemo_path=D:\\m\r\nmigemomode=1\r\ntray=2");
    SettingsRecord r = Parsed(t);
    EXPECT_EQ(0u, r.migemo);
    EXPECT_EQ(1u, r.migemomode);
    EXPECT_STREQ("D:\\m", r.migemo_path);  // the first occurrence wins
    EXPECT_EQ(2u, r.tray);
}

TEST(SettingsLines, IntegerValuesAreCutAtNineCharacters) {
    EXPECT_EQ(123456789, Parsed(WithValue(kDefaultFile, "edit", "x", "1234567890")).x);
    EXPECT_EQ(-12345678, Parsed(WithValue(kDefaultFile, "edit", "x", "-123456789")).x);
    EXPECT_EQ(12, Parsed(WithValue(kDefaultFile, "edit", "x", "        12")).x);  // blanks skipped
    EXPECT_EQ(0, Parsed(WithValue(kDefaultFile, "edit", "x", "\t\t\t\t\t\t\t\t\t12")).x);
    EXPECT_EQ(0, Parsed(WithValue(kDefaultFile, "edit", "x", "+5")).x);
    EXPECT_EQ(7, Parsed(WithValue(kDefaultFile, "edit", "x", "7px")).x);
    // A found but unreadable number is 0, not the default.
    EXPECT_EQ(25, Parsed(WithValue(kDefaultFile, "common", "linemax", "abc")).linemax);
    EXPECT_EQ(0, Parsed(WithValue(kDefaultFile, "edit", "ftsize", "abc")).ftsize);
}

TEST(SettingsLines, StringValuesAreCutAtTheirLimit) {
    SettingsRecord r = Parsed(WithValue(CompleteFile(), "common", "t_macro", "%Y/%m/%d %H:%M:%S ABCDEF"));
    EXPECT_STREQ("%Y/%m/%d %H:%M:%S A", r.t_macro);
    std::string longPath = "C:\\" + std::string(300, 'a');
    r = Parsed(WithValue(CompleteFile(), "prev", "spi_path", longPath));
    EXPECT_EQ(longPath.substr(0, 260), std::string(r.spi_path));
    // A double-byte character that does not fit whole is left out whole:
    // 18 bytes and then "時" (8E 9E) would end at byte 20.
    r = Parsed(WithValue(CompleteFile(), "common", "t_macro", std::string(18, 'a') + "\x8E\x9E"));
    EXPECT_EQ(std::string(18, 'a'), std::string(r.t_macro));
    r = Parsed(WithValue(CompleteFile(), "common", "t_macro", std::string(17, 'a') + "\x8E\x9E"));
    EXPECT_EQ(std::string(17, 'a') + "\x8E\x9E", std::string(r.t_macro));
}

TEST(SettingsLines, BracketInAValueEndsTheSection) {
    std::string t = WithValue(CompleteFile(), "common", "t_macro", "%H[%M]");
    t = WithValue(t, "common", "linemax", "50");
    t = WithValue(t, "edit", "w", "99");
    SettingsRecord r = Parsed(t);
    EXPECT_STREQ("%H", r.t_macro);
    EXPECT_EQ(25, r.linemax);  // after the "[": default
    EXPECT_EQ(99, r.w);        // the next real section is still found
    EXPECT_EQ(1, SettingsIncomplete);
    // The whole value in brackets: nothing is left of it.
    r = Parsed(WithValue(CompleteFile(), "common", "t_macro", "[%H:%M]"));
    EXPECT_STREQ("%H:%M:%S", r.t_macro);
    // A "[" with no "]" anywhere after it: the later sections are still found
    // when their headers follow, since each "[" starts a new name.
    t = WithValue(CompleteFile(), "common", "t_macro", "[%H");
    t = WithValue(t, "edit", "w", "99");
    EXPECT_EQ(99, Parsed(t).w);
}

TEST(SettingsLines, TrailBytesAreNotBrackets) {
    // "ー" is 81 5B and "‐" is 81 5D: a "[" and a "]" as trail bytes.
    std::string t = WithValue(CompleteFile(), "common", "t_macro", "%H\x81\x5B%M\x81\x5D");
    t = WithValue(t, "common", "migemo_path", "C:\\\x83\x86\x81\x5B\x83\x55\x81\x5B\\dict");
    t = WithValue(t, "common", "linemax", "50");
    SettingsRecord r = Parsed(t);
    EXPECT_STREQ("%H\x81\x5B%M\x81\x5D", r.t_macro);
    EXPECT_STREQ("C:\\\x83\x86\x81\x5B\x83\x55\x81\x5B\\dict", r.migemo_path);
    EXPECT_EQ(50, r.linemax);
    EXPECT_EQ(0, SettingsIncomplete);
}

TEST(SettingsLines, UnknownKeysAndSectionsAreIgnored) {
    std::string t = CompleteFile();
    t.insert(t.find("[edit]"), "colour=blue\r\n[extra]\r\nw=5\r\n");
    t = WithLine(t, "edit", "x", "zoom=3\r\nx=8");
    SettingsRecord r = Parsed(t);
    EXPECT_EQ(8, r.x);
    EXPECT_EQ(70, r.w);
    EXPECT_EQ(0, SettingsIncomplete);
    std::string out = Formatted();
    EXPECT_EQ(std::string::npos, out.find("zoom"));
    EXPECT_EQ(std::string::npos, out.find("extra"));
}

// ---------------------------------------------------------------------------
// The reader primitives as the registered-applications file uses them.

TEST(SettingsReader, SectionBounds) {
    const char* text = "x\r\n[one]\r\na=1\r\n[two]b=2\r\n[one]\r\na=3\r\n";
    const char *start, *end;
    ASSERT_EQ(1, FindSection(text, "one", &start, &end));
    EXPECT_EQ(std::string("\r\na=1\r\n"), std::string(start, end));
    ASSERT_EQ(1, FindSection(text, "two", &start, &end));
    EXPECT_EQ(std::string("b=2\r\n"), std::string(start, end));
    EXPECT_EQ(0, FindSection(text, "on", &start, &end));
    EXPECT_EQ(0, FindSection(text, "one]", &start, &end));
    EXPECT_EQ(0, FindSection(text, "ONE", &start, &end));
    EXPECT_EQ(0, FindSection("[one", "one", &start, &end));
    EXPECT_EQ(0, FindSection(nullptr, "one", &start, &end));
    ASSERT_EQ(1, FindSection("ab[one]", "one", &start, &end));
    EXPECT_EQ(start, end);
    EXPECT_EQ('\0', *end);
    ASSERT_EQ(1, FindSection("[[one]x", "one", &start, &end));
    EXPECT_STREQ("x", start);
}

TEST(SettingsReader, KeyValuesStayInsideTheBody) {
    const char body[] = {'k', '=', '1', '2'};  // no terminator: nothing past the end is read
    const char* v;
    size_t n;
    ASSERT_EQ(1, FindKey("k", body, body + sizeof body, &v, &n, 10));
    EXPECT_EQ(std::string("12"), std::string(v, n));
    ASSERT_EQ(1, FindKey("k", body, body + 3, &v, &n, 10));
    EXPECT_EQ(std::string("1"), std::string(v, n));
    EXPECT_EQ(0, FindKey("k", body, body + 2, &v, &n, 10));
    EXPECT_EQ(0, FindKey("k", body, body + 1, &v, &n, 10));
    ASSERT_EQ(1, FindKey("k", body, body + sizeof body, &v, &n, 2));
    EXPECT_EQ(1u, n);
    EXPECT_EQ(0, FindKey("k", body, body + sizeof body, &v, &n, 1));
    const char text[] = "a=1\r\nk=5 \r\nk=6\r\n";
    ASSERT_EQ(1, FindKey("k", text, text + sizeof text - 1, &v, &n, 10));
    EXPECT_EQ(std::string("5"), std::string(v, n));
    // CR LF and a bare LF end a line; a lone CR is part of the value.
    const char lf[] = "k=a\nb\rc\r\n";
    ASSERT_EQ(1, FindKey("k", lf, lf + sizeof lf - 1, &v, &n, 100));
    EXPECT_EQ(std::string("a"), std::string(v, n));
    const char cr[] = "k=b\rc\r\n";
    ASSERT_EQ(1, FindKey("k", cr, cr + sizeof cr - 1, &v, &n, 100));
    EXPECT_EQ(std::string("b\rc"), std::string(v, n));
    const char lfKeys[] = "j=1\nk=2\r\n";
    ASSERT_EQ(1, FindKey("k", lfKeys, lfKeys + sizeof lfKeys - 1, &v, &n, 100));
    EXPECT_EQ(std::string("2"), std::string(v, n));
}

TEST(SettingsReader, StatusAndDefaults) {
    const char* text = "[EXE1]\r\npath=C:\\a.exe ; note\r\nname=\r\n";
    char buf[16];
    SettingsIncomplete = 0;
    EXPECT_EQ(8u, ReadStringValue(text, "EXE1", "path", "dflt", buf, sizeof buf));
    EXPECT_STREQ("C:\\a.exe", buf);
    EXPECT_EQ(0, LastReadStatus);
    EXPECT_EQ(0, SettingsIncomplete);
    EXPECT_EQ(0u, ReadStringValue(text, "EXE1", "name", "dflt", buf, sizeof buf));
    EXPECT_STREQ("dflt", buf);
    EXPECT_EQ(3, LastReadStatus);
    EXPECT_EQ(1, SettingsIncomplete);
    SettingsIncomplete = 0;
    EXPECT_EQ(0u, ReadStringValue(text, "EXE2", "path", nullptr, buf, sizeof buf));
    EXPECT_STREQ("", buf);
    EXPECT_EQ(2, LastReadStatus);
    EXPECT_EQ(1, SettingsIncomplete);
    EXPECT_EQ(4u, ReadStringValue(text, "EXE1", "path", "dflt", buf, 5));
    EXPECT_STREQ("C:\\a", buf);
    EXPECT_EQ(0u, ReadStringValue(text, "EXE1", "nope", "a long default text", buf, 5));
    EXPECT_STREQ("a lo", buf);
    EXPECT_EQ(-7, ReadIntValue("[s]\r\nv=-7\r\n", "s", "v", 3));
    EXPECT_EQ(0, LastReadStatus);
    EXPECT_EQ(3, ReadIntValue("[s]\r\nv=\r\n", "s", "v", 3));
    EXPECT_EQ(3, LastReadStatus);
    EXPECT_EQ(3, ReadIntValue("[s]\r\nv=1\r\n", "t", "v", 3));
    EXPECT_EQ(2, LastReadStatus);
}

// ---------------------------------------------------------------------------
// Loading and saving the file beside the executable.

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

class SettingsFileTest : public ::testing::Test {
protected:
    void SetUp() override {
        DataFiles = DataFileRecord{};  // no refusal left by an earlier test
        char tmpl[] = "/tmp/vorn_settings_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        folder_ = tmpl;
        SetNativeModuleFolder(folder_.c_str());
    }
    void TearDown() override {
        SetNativeModuleFolder("./");
        nftw(folder_.c_str(), RemoveEntry, 8, FTW_DEPTH | FTW_PHYS);
    }
    std::string IniPath() const { return folder_ + "/data/vorn.ini"; }
    std::string ReadIni() const {
        std::string s;
        FILE* f = fopen(IniPath().c_str(), "rb");
        if (!f) return "<missing>";
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
        fclose(f);
        return s;
    }
    void WriteIni(const std::string& text) {
        mkdir((folder_ + "/data").c_str(), 0777);
        FILE* f = fopen(IniPath().c_str(), "wb");
        ASSERT_NE(nullptr, f);
        fwrite(text.data(), 1, text.size(), f);
        fclose(f);
    }
    ino_t IniInode() const {
        struct stat st;
        return stat(IniPath().c_str(), &st) == 0 ? st.st_ino : 0;
    }
    std::string folder_;
};

}  // namespace

TEST_F(SettingsFileTest, MissingFileAndFolderAreCreatedWithDefaults) {
    memset(&Settings, 0x5A, sizeof Settings);
    EXPECT_EQ(1, LoadSettings());
    struct stat st;
    ASSERT_EQ(0, stat((folder_ + "/data").c_str(), &st));
    EXPECT_TRUE(S_ISDIR(st.st_mode));
    EXPECT_EQ(std::string(kDefaultFile), ReadIni());
    EXPECT_EQ(25, Settings.linemax);
    EXPECT_STREQ("%H:%M:%S", Settings.t_macro);
}

TEST_F(SettingsFileTest, EmptyFileBecomesTheDefaultFile) {
    WriteIni("");
    EXPECT_EQ(1, LoadSettings());
    EXPECT_EQ(std::string(kDefaultFile), ReadIni());
}

TEST_F(SettingsFileTest, PartialFileIsCompletedInCanonicalForm) {
    WriteIni(
        "; my settings\r\n"
        "[edit]\r\n"
        "  w = 5\r\n"
        "ftsize=-14   ; big\r\n"
        "zoom=2\r\n"
        "\r\n"
        "[common]\r\n"
        "hotkey=49\r\n"
        "alpha=300\r\n"
        "t_macro=%H\x81\x5B%M\r\n"
        "[prev]\r\n"
        "rsize=499\r\n"
        "bkcolor=16777216\r\n");
    EXPECT_EQ(1, LoadSettings());
    std::string want = WithValue(kDefaultFile, "edit", "ftsize", "14");
    want = WithValue(want, "common", "alpha", "44");
    want = WithValue(want, "common", "t_macro", "%H\x81\x5B%M");
    EXPECT_EQ(want, ReadIni());
    // A second load of the rewritten file gives the same record and the same bytes.
    SettingsRecord first = Settings;
    EXPECT_EQ(1, LoadSettings());
    EXPECT_EQ(0, memcmp(&first, &Settings, sizeof first));
    EXPECT_EQ(want, ReadIni());
}

TEST_F(SettingsFileTest, CompleteFileIsLeftAlone) {
    // Every key present and non-empty; the comment, the unknown key and the
    // out-of-range values stay in the file because it is not rewritten.
    std::string text = WithLine(CompleteFile(), "common", "hotkey", "; keep me\r\nhotkey=49");
    text = WithLine(text, "prev", "rsize", "colour=red\r\nrsize=1");
    WriteIni(text);
    ino_t before = IniInode();
    EXPECT_EQ(1, LoadSettings());
    EXPECT_EQ(0, SettingsIncomplete);
    EXPECT_EQ(text, ReadIni());
    EXPECT_EQ(before, IniInode());
    EXPECT_EQ(305u, Settings.hotkey);  // validated in memory only
    EXPECT_EQ(2000u, Settings.rsize);
    EXPECT_STREQ("C:\\dict", Settings.migemo_path);
}

TEST_F(SettingsFileTest, EmptyPathsRewriteTheSameBytesEveryTime) {
    WriteIni(kDefaultFile);
    ino_t before = IniInode();
    EXPECT_EQ(1, LoadSettings());
    EXPECT_EQ(1, SettingsIncomplete);
    EXPECT_EQ(std::string(kDefaultFile), ReadIni());
    EXPECT_NE(before, IniInode());  // replaced, with the same content
}

TEST_F(SettingsFileTest, SaveWritesTheRecordAsItIs) {
    ResetSettings();
    Settings.tray = 1 | TRAY_HOTKEY_FAILED;
    Settings.migemo = 2;  // switched on at run time only
    Settings.x = -40;
    mkdir((folder_ + "/data").c_str(), 0777);
    snprintf(Settings.spi_path, sizeof Settings.spi_path, "%s", "D:\\plug ins");
    EXPECT_EQ(1, SaveSettings());
    std::string want = WithValue(kDefaultFile, "edit", "x", "-40");
    want = WithValue(want, "prev", "spi_path", "D:\\plug ins");
    EXPECT_EQ(want, ReadIni());
}

TEST_F(SettingsFileTest, NoFolderForTheFileMeansLoadFails) {
    SetNativeModuleFolder((folder_ + "/not/there/").c_str());
    EXPECT_EQ(0, LoadSettings());
    EXPECT_EQ(25, Settings.linemax);  // the defaults are in memory anyway
    EXPECT_EQ(0, SaveSettings());
}

TEST_F(SettingsFileTest, UnreadableFileIsNotReplaced) {
    // An existing file that cannot be read must not be overwritten with the
    // defaults. Without root a mode of 000 does it; root reads anything, so there
    // the file is a link to a system file that exists but cannot be read whole.
    mkdir((folder_ + "/data").c_str(), 0777);
    bool link = geteuid() == 0;
    if (link) {
        const char* target = "/proc/self/ns/net";
        char* probe = ReadWholeFile(target, 0, nullptr);
        MemFree(probe);
        if (probe || !FileExists(target)) GTEST_SKIP() << "no unreadable file to link to";
        ASSERT_EQ(0, symlink(target, IniPath().c_str()));
    } else {
        WriteIni(CompleteFile());
        ASSERT_EQ(0, chmod(IniPath().c_str(), 0));
    }
    EXPECT_EQ(1, LoadSettings());
    EXPECT_EQ(25, Settings.linemax);
    struct stat st;
    ASSERT_EQ(0, lstat(IniPath().c_str(), &st));
    if (link) {
        EXPECT_TRUE(S_ISLNK(st.st_mode));
    } else {
        EXPECT_EQ(0u, st.st_mode & 0777);
        chmod(IniPath().c_str(), 0600);
        EXPECT_EQ(CompleteFile(), ReadIni());
    }
}
