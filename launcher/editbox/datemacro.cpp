// datemacro.cpp - the clock's formatter: a small strftime-like language with
// its own letters, among them Japanese date and time forms.
//
// Output is always NUL-terminated within the caller's buffer. When a character
// or a field does not fit whole, formatting stops there (neither a double-byte
// character nor a field is ever split), so the text is a clean prefix of the
// full result.
#include "datemacro.h"

#include <stdio.h>
#include <string.h>

#include "../../common/strutil.h"

namespace {

const char* const kWeekdays[7] = {"Sunday",   "Monday", "Tuesday", "Wednesday",
                                  "Thursday", "Friday", "Saturday"};
const char* const kMonths[12] = {"January",   "February", "March",    "April",
                                 "May",       "June",     "July",     "August",
                                 "September", "October",  "November", "December"};
const char* const kWeekdaysJa[7] = {"日", "月", "火", "水", "木", "金", "土"};

// Field numbers of the format codes.
enum {
    FIELD_DAY = 1,
    FIELD_WEEKDAY_SHORT,
    FIELD_WEEKDAY_LONG,
    FIELD_WEEKDAY_JA,
    FIELD_WEEKDAY_NUMBER,
    FIELD_YEAR,
    FIELD_YEAR_SHORT,
    FIELD_MONTH_SHORT,
    FIELD_MONTH_LONG,
    FIELD_MONTH,
    FIELD_SECOND,
    FIELD_MINUTE,
    FIELD_HOUR,
    FIELD_HOUR12,
    FIELD_AMPM,
    FIELD_DATE_JA,
    FIELD_DATE,
    FIELD_TIME_JA,
    FIELD_TIME,
};

int FieldOfCode(char c) {
    switch (c) {
        case 'd':
            return FIELD_DAY;
        case 'a':
            return FIELD_WEEKDAY_SHORT;
        case 'A':
            return FIELD_WEEKDAY_LONG;
        case 'j':
            return FIELD_WEEKDAY_JA;
        case 'w':
            return FIELD_WEEKDAY_NUMBER;
        case 'Y':
            return FIELD_YEAR;
        case 'y':
            return FIELD_YEAR_SHORT;
        case 'b':
            return FIELD_MONTH_SHORT;
        case 'B':
            return FIELD_MONTH_LONG;
        case 'm':
            return FIELD_MONTH;
        case 'S':
            return FIELD_SECOND;
        case 'M':
            return FIELD_MINUTE;
        case 'H':
            return FIELD_HOUR;
        case 'I':
            return FIELD_HOUR12;
        case 'p':
            return FIELD_AMPM;
        case 'X':
            return FIELD_DATE_JA;
        case 'x':
            return FIELD_DATE;
        case 'Z':
            return FIELD_TIME_JA;
        case 'z':
            return FIELD_TIME;
    }
    return 0;
}

// Copies at most count bytes of name (fewer when the name is shorter).
void CopyPrefix(const char* name, size_t count, char* out, size_t outSize) {
    size_t n = strlen(name);
    if (n > count) n = count;
    if (n >= outSize) n = outSize - 1;
    memcpy(out, name, n);
    out[n] = '\0';
}

// Fills a three-part form such as "%s/%s/%s" with the texts of three fields.
void Compound(const LocalTime* t, const char* form, int a, int b, int c, char* out,
              size_t outSize) {
    char fa[DATE_TEXT_MAX], fb[DATE_TEXT_MAX], fc[DATE_TEXT_MAX];
    DateField(t, a, fa, sizeof fa);
    DateField(t, b, fb, sizeof fb);
    DateField(t, c, fc, sizeof fc);
    char whole[DATE_TEXT_MAX * 3 + 16];
    snprintf(whole, sizeof whole, form, fa, fb, fc);
    CopyString(out, whole, outSize);  // never ends in half a kanji
}

// Appends the character (one or two bytes) at src to out when it fits.
// Returns the number of bytes appended, 0 when it did not fit.
size_t AppendChar(const char* src, size_t charLen, char* out, size_t outSize, size_t* used) {
    if (*used + charLen >= outSize) return 0;
    memcpy(out + *used, src, charLen);
    *used += charLen;
    out[*used] = '\0';
    return charLen;
}

// Appends a field's text whole; returns false (appending nothing) when it does
// not fit, so a clock never shows half a number.
bool AppendText(const char* text, char* out, size_t outSize, size_t* used) {
    size_t len = strlen(text);
    if (*used + len >= outSize) return false;
    memcpy(out + *used, text, len + 1);
    *used += len;
    return true;
}

}  // namespace

void DateField(const LocalTime* t, int field, char* out, size_t outSize) {
    if (!out || !outSize) return;
    out[0] = '\0';
    if (!t) return;
    bool weekdayOk = t->dayOfWeek >= 0 && t->dayOfWeek <= 6;
    bool monthOk = t->month >= 1 && t->month <= 12;
    switch (field) {
        case FIELD_DAY:
            snprintf(out, outSize, "%02d", t->day);
            break;
        case FIELD_WEEKDAY_SHORT:
            if (weekdayOk) CopyPrefix(kWeekdays[t->dayOfWeek], 3, out, outSize);
            break;
        case FIELD_WEEKDAY_LONG:
            if (weekdayOk) CopyPrefix(kWeekdays[t->dayOfWeek], (size_t)-1, out, outSize);
            break;
        case FIELD_WEEKDAY_JA:
            // One kanji, copied whole or not at all.
            if (weekdayOk) CopyString(out, kWeekdaysJa[t->dayOfWeek], outSize);
            break;
        case FIELD_WEEKDAY_NUMBER:
            snprintf(out, outSize, "%2d", t->dayOfWeek);
            break;
        case FIELD_YEAR:
            snprintf(out, outSize, "%d", t->year);
            break;
        case FIELD_YEAR_SHORT: {
            char year[16];
            int n = snprintf(year, sizeof year, "%d", t->year);
            if (n > 2) CopyPrefix(year + 2, 2, out, outSize);
            break;
        }
        case FIELD_MONTH_SHORT:
            if (monthOk) CopyPrefix(kMonths[t->month - 1], 3, out, outSize);
            break;
        case FIELD_MONTH_LONG:
            if (monthOk) CopyPrefix(kMonths[t->month - 1], (size_t)-1, out, outSize);
            break;
        case FIELD_MONTH:
            snprintf(out, outSize, "%02d", t->month);
            break;
        case FIELD_SECOND:
            snprintf(out, outSize, "%02d", t->second);
            break;
        case FIELD_MINUTE:
            snprintf(out, outSize, "%02d", t->minute);
            break;
        case FIELD_HOUR:
            snprintf(out, outSize, "%02d", t->hour);
            break;
        case FIELD_HOUR12:
            // Midnight and noon are both 12 on the dial: 12:05 AM, 12:30 PM.
            snprintf(out, outSize, "%02d", t->hour % 12 == 0 ? 12 : t->hour % 12);
            break;
        case FIELD_AMPM:
            CopyPrefix(t->hour >= 12 ? "PM" : "AM", 2, out, outSize);
            break;
        case FIELD_DATE_JA:
            Compound(t, "%s年%s月%s日", FIELD_YEAR, FIELD_MONTH, FIELD_DAY, out, outSize);
            break;
        case FIELD_DATE:
            Compound(t, "%s/%s/%s", FIELD_YEAR, FIELD_MONTH, FIELD_DAY, out, outSize);
            break;
        case FIELD_TIME_JA:
            Compound(t, "%s時%s分%s秒", FIELD_HOUR, FIELD_MINUTE, FIELD_SECOND, out, outSize);
            break;
        case FIELD_TIME:
            Compound(t, "%s:%s:%s", FIELD_HOUR, FIELD_MINUTE, FIELD_SECOND, out, outSize);
            break;
    }
}

void FormatDateMacro(const LocalTime* t, const char* format, char* out, size_t outSize) {
    if (!out || !outSize) return;
    out[0] = '\0';
    if (!format) return;
    size_t used = 0;
    const char* p = format;
    while (*p) {
        unsigned char c = (unsigned char)*p;
        if (IsLeadByteSjis(c)) {
            // A lead byte with no trail byte before the NUL is half a character:
            // it is dropped. Any other byte after it belongs to the character,
            // so a "%" there starts no code.
            if (CharLengthSjis(p) < 2) break;
            if (!AppendChar(p, 2, out, outSize, &used)) break;
            p += 2;
            continue;
        }
        if (c != '%') {
            if (!AppendChar(p, 1, out, outSize, &used)) break;
            p++;
            continue;
        }
        // "%" and what follows it.
        char code = p[1];
        if (!code) break;  // a "%" at the very end is dropped
        if (code == '%') {
            if (!AppendChar(p, 1, out, outSize, &used)) break;
            p += 2;
            continue;
        }
        int field = FieldOfCode(code);
        if (!field) {
            // No code: the "%" and the whole character after it are dropped.
            p += 1 + CharLengthSjis(p + 1);
            continue;
        }
        char text[DATE_TEXT_MAX];
        DateField(t, field, text, sizeof text);
        if (!AppendText(text, out, outSize, &used)) break;
        p += 2;
    }
}
