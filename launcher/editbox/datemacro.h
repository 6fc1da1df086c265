// datemacro.h - the clock's strftime-like formatter. Pure.
#pragma once
#include <stddef.h>

struct LocalTime {
    int year, month, dayOfWeek, day, hour, minute, second, milliseconds;
};

enum { DATE_TEXT_MAX = 264 };

// Formats format with t into out (at most outSize - 1 bytes and a NUL).
void FormatDateMacro(const LocalTime* t, const char* format, char* out, size_t outSize);
// One field 1-19 into out; other numbers give an empty text.
void DateField(const LocalTime* t, int field, char* out, size_t outSize);
