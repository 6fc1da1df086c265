// Tests of the clock's date and time formatter.
#include <gtest/gtest.h>

#include <stdio.h>
#include <string.h>

#include <string>

#include "launcher/editbox/datemacro.h"

namespace {

// Thursday 2024-03-07 13:04:09.250
LocalTime Sample() {
    LocalTime t = {2024, 3, 4, 7, 13, 4, 9, 250};
    return t;
}

LocalTime At(int hour, int minute) {
    LocalTime t = Sample();
    t.hour = hour;
    t.minute = minute;
    return t;
}

std::string Format(const LocalTime& t, const char* format) {
    char out[DATE_TEXT_MAX];
    memset(out, 'Z', sizeof out);
    FormatDateMacro(&t, format, out, sizeof out);
    return out;
}

std::string Field(const LocalTime& t, int field) {
    char out[DATE_TEXT_MAX];
    memset(out, 'Z', sizeof out);
    DateField(&t, field, out, sizeof out);
    return out;
}

// Code-page-932 bytes of the kanji the formatter emits.
#define KJ_YEAR "\x94\x4e"
#define KJ_MONTH "\x8c\x8e"
#define KJ_DAY "\x93\xfa"
#define KJ_HOUR "\x8e\x9e"
#define KJ_MINUTE "\x95\xaa"
#define KJ_SECOND "\x95\x62"

}  // namespace

TEST(DateMacroFormat, DefaultClockFormat) {
    LocalTime t = {2024, 1, 1, 1, 9, 5, 3, 0};
    EXPECT_EQ(" 09:05:03", Format(t, " %H:%M:%S"));
}

TEST(DateMacroFormat, EveryCode) {
    LocalTime t = Sample();
    EXPECT_EQ("07", Format(t, "%d"));
    EXPECT_EQ("Thu", Format(t, "%a"));
    EXPECT_EQ("Thursday", Format(t, "%A"));
    EXPECT_EQ("\x96\xd8", Format(t, "%j"));  // 木
    EXPECT_EQ(" 4", Format(t, "%w"));
    EXPECT_EQ("2024", Format(t, "%Y"));
    EXPECT_EQ("24", Format(t, "%y"));
    EXPECT_EQ("Mar", Format(t, "%b"));
    EXPECT_EQ("March", Format(t, "%B"));
    EXPECT_EQ("03", Format(t, "%m"));
    EXPECT_EQ("09", Format(t, "%S"));
    EXPECT_EQ("04", Format(t, "%M"));
    EXPECT_EQ("13", Format(t, "%H"));
    EXPECT_EQ("01", Format(t, "%I"));
    EXPECT_EQ("PM", Format(t, "%p"));
    EXPECT_EQ("2024" KJ_YEAR "03" KJ_MONTH "07" KJ_DAY, Format(t, "%X"));
    EXPECT_EQ("2024/03/07", Format(t, "%x"));
    EXPECT_EQ("13" KJ_HOUR "04" KJ_MINUTE "09" KJ_SECOND, Format(t, "%Z"));
    EXPECT_EQ("13:04:09", Format(t, "%z"));
    EXPECT_EQ("2024" KJ_YEAR "03" KJ_MONTH "07" KJ_DAY " 13" KJ_HOUR "04" KJ_MINUTE "09" KJ_SECOND,
              Format(t, "%X %Z"));
    EXPECT_EQ("[Thu, 07 Mar 2024] ", Format(t, "[%a, %d %b %Y] "));
}

TEST(DateMacroFormat, NameTables) {
    const char* weekdays[] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                              "Thursday", "Friday", "Saturday"};
    const char* weekdaysJa[] = {"\x93\xfa", "\x8c\x8e", "\x89\xce", "\x90\x85",
                                "\x96\xd8", "\x8b\xe0", "\x93\x79"};
    const char* months[] = {"January", "February", "March",     "April",   "May",      "June",
                            "July",    "August",   "September", "October", "November", "December"};
    LocalTime t = Sample();
    for (int i = 0; i < 7; i++) {
        t.dayOfWeek = i;
        EXPECT_EQ(weekdays[i], Format(t, "%A"));
        EXPECT_EQ(std::string(weekdays[i], 3), Format(t, "%a"));
        EXPECT_EQ(weekdaysJa[i], Format(t, "%j"));
        EXPECT_EQ(" " + std::to_string(i), Format(t, "%w"));
    }
    for (int i = 0; i < 12; i++) {
        t.month = i + 1;
        EXPECT_EQ(months[i], Format(t, "%B"));
        EXPECT_EQ(std::string(months[i], 3), Format(t, "%b"));
    }
    // Values the system never gives name nothing rather than a stray table entry.
    t.month = 13;
    t.dayOfWeek = 7;
    EXPECT_EQ("||||", Format(t, "|%a|%A|%j|%b%B"));
    t.month = 0;
    t.dayOfWeek = -1;
    EXPECT_EQ("", Format(t, "%b%B%a%A%j"));
}

// What every 12-hour clock shows: 12 for midnight and noon, PM from noon on.
TEST(DateMacroFormat, TwelveHourDial) {
    struct Case {
        int hour, minute;
        const char* text;
    };
    const Case cases[] = {
        {0, 5, "12:05 AM"},   {1, 0, "01:00 AM"},  {11, 59, "11:59 AM"},
        {12, 30, "12:30 PM"}, {13, 0, "01:00 PM"}, {23, 0, "11:00 PM"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, Format(At(c.hour, c.minute), "%I:%M %p")) << c.hour << ":" << c.minute;
}

TEST(DateMacroFormat, TwoDigitYear) {
    LocalTime t = Sample();
    t.year = 1999;
    EXPECT_EQ("99", Format(t, "%y"));
    t.year = 2005;
    EXPECT_EQ("05", Format(t, "%y"));
    t.year = 12345;
    EXPECT_EQ("34", Format(t, "%y"));
    t.year = 987;
    EXPECT_EQ("7", Format(t, "%y"));
    t.year = 42;
    EXPECT_EQ("", Format(t, "%y"));
}

TEST(DateMacroFormat, PercentHandling) {
    LocalTime t = Sample();
    EXPECT_EQ("100%", Format(t, "100%%"));
    EXPECT_EQ("%H", Format(t, "%%H"));
    EXPECT_EQ("ab", Format(t, "a%qb"));
    EXPECT_EQ("ab", Format(t, "ab%"));
    EXPECT_EQ("", Format(t, "%"));
    EXPECT_EQ("13:", Format(t, "%H:%"));
    EXPECT_EQ("%e2024/03/07", Format(t, "%Q%1%-%%e%x"));
    // "%" before a double-byte character drops the whole character, never
    // leaving its trail byte (here 0x5C) behind.
    EXPECT_EQ("a", Format(t,
                          "%\x95\x5c"
                          "a"));
}

TEST(DateMacroFormat, DoubleByteCharacters) {
    LocalTime t = Sample();
    // No code-page-932 character has 0x25 ("%") as its trail byte, but the
    // formatter takes the byte after any lead byte as part of the character.
    EXPECT_EQ(
        "\x81\x25"
        "d",
        Format(t,
               "\x81\x25"
               "d"));
    EXPECT_EQ(
        "\x81\x25"
        "07",
        Format(t, "\x81\x25%d"));
    EXPECT_EQ(
        "\x95\x5c\x96\xd8"
        "13",
        Format(t, "\x95\x5c%j%H"));
    // A lead byte right before the NUL is half a character and is dropped.
    EXPECT_EQ("ab", Format(t, "ab\x81"));
    EXPECT_EQ("07", Format(t, "%d\xe0"));
}

TEST(DateMacroFormat, FieldNumbers) {
    LocalTime t = Sample();
    EXPECT_EQ("07", Field(t, 1));
    EXPECT_EQ("13:04:09", Field(t, 19));
    EXPECT_EQ("", Field(t, 0));
    EXPECT_EQ("", Field(t, 20));
    EXPECT_EQ("", Field(t, -3));
}

TEST(DateMacroFormat, OutputStaysBounded) {
    LocalTime t = Sample();
    char out[16];

    memset(out, 'Z', sizeof out);
    FormatDateMacro(&t, "%H:%M", out, 0);
    EXPECT_EQ('Z', out[0]);
    FormatDateMacro(&t, "%H:%M", out, 1);
    EXPECT_STREQ("", out);
    EXPECT_EQ('Z', out[1]);

    // Formatting stops at the first character or field that does not fit whole.
    memset(out, 'Z', sizeof out);
    FormatDateMacro(&t, "%H:%M", out, 3);
    EXPECT_STREQ("13", out);
    EXPECT_EQ('Z', out[3]);
    FormatDateMacro(&t, "%H:%M", out, 5);
    EXPECT_STREQ("13:", out);
    FormatDateMacro(&t, "%H:%M", out, 6);
    EXPECT_STREQ("13:04", out);
    FormatDateMacro(&t, "%H:%M!", out, 6);
    EXPECT_STREQ("13:04", out);

    // A kanji is never split.
    memset(out, 'Z', sizeof out);
    FormatDateMacro(&t, "a%X", out, 6);
    EXPECT_STREQ("a", out);
    EXPECT_EQ('Z', out[6]);
    FormatDateMacro(&t, "ab\x95\x5c", out, 4);
    EXPECT_STREQ("ab", out);
    FormatDateMacro(&t, "%j", out, 2);
    EXPECT_STREQ("", out);

    memset(out, 'Z', sizeof out);
    DateField(&t, 16, out, 6);
    EXPECT_STREQ("2024", out);
    DateField(&t, 18, out, 4);
    EXPECT_STREQ("13", out);
    DateField(&t, 4, out, 2);
    EXPECT_STREQ("", out);
    DateField(&t, 3, out, 4);
    EXPECT_STREQ("Thu", out);
    EXPECT_EQ('Z', out[6]);

    // A long format fills the full clock buffer and no more.
    std::string many;
    for (int i = 0; i < 60; i++) many += "%A";
    char big[DATE_TEXT_MAX + 8];
    memset(big, 'Z', sizeof big);
    FormatDateMacro(&t, many.c_str(), big, DATE_TEXT_MAX);
    EXPECT_EQ((size_t)DATE_TEXT_MAX - 1 - (DATE_TEXT_MAX - 1) % 8, strlen(big));
    EXPECT_EQ('Z', big[DATE_TEXT_MAX]);
}

TEST(DateMacroFormat, NullInputs) {
    LocalTime t = Sample();
    char out[8] = "xyz";
    FormatDateMacro(&t, nullptr, out, sizeof out);
    EXPECT_STREQ("", out);
    snprintf(out, sizeof out, "xyz");
    FormatDateMacro(nullptr, "a%Hb", out, sizeof out);
    EXPECT_STREQ("ab", out);
}
