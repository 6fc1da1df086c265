// cmdline.cpp - parser of vorn's command line.
//
// The program name is skipped as one token, then the rest is scanned character
// by character. Every "/" starts a token: a known switch (/a /f /o /q, or
// /d= /r= /w= /x= /y= with a value), or the slash alone. After each token the
// following blanks and tabs are skipped and the position is remembered; what
// follows the last remembered position is the rest of the command line, whose
// first token becomes the initial edit text. A token that begins with a double
// quote runs to the next double quote (or the end) and holds no switch: a
// quoted path may contain " /a " without starting a second program. Nothing
// here reads past the NUL.
#include "cmdline.h"

#include <string.h>

#include "../../common/strutil.h"
#include "appstate.h"

namespace {

const size_t kPathValueMax = 260;  // /d, /r and the initial text
const size_t kNumberValueMax = 9;  // /w, /x, /y: nine digits cannot overflow

const char* SkipBlanksAndTabs(const char* p) {
    while (*p == ' ' || *p == '\t') p++;
    return p;
}

// Finds the end of a token starting at p: quoted (up to the next double quote
// or the end) or up to the next blank (or the end). Reports where the token's
// bytes start and how many there are; returns the position of the delimiter
// (the closing quote, the blank, or the NUL).
const char* ScanToken(const char* p, const char** start, size_t* len) {
    char stop = ' ';
    if (*p == '"') {
        stop = '"';
        p++;
    }
    *start = p;
    while (*p && *p != stop) p += CharLengthSjis(p);
    *len = (size_t)(p - *start);
    return p;
}

// Skips a quoted token at p (its opening double quote): returns the position
// after its closing quote, or the end when the quote is not closed.
const char* SkipQuotedToken(const char* p) {
    const char* start;
    size_t len;
    p = ScanToken(p, &start, &len);
    return *p ? p + 1 : p;
}

// Copies a token of len bytes into dst (dstSize bytes) when it has at most max
// bytes and fits; otherwise dst becomes empty.
void StoreToken(const char* start, size_t len, size_t max, char* dst, size_t dstSize) {
    if (!dstSize) return;
    if (len > max || len >= dstSize) {
        dst[0] = '\0';
        return;
    }
    memcpy(dst, start, len);
    dst[len] = '\0';
}

// Reads the value of a value switch at p (just after "="), stores it (limited to
// max bytes) into dst and returns the position after the value, its closing
// quote or blank, and the blanks and tabs that follow.
const char* TakeValue(const char* p, size_t max, char* dst, size_t dstSize) {
    const char* start;
    size_t len;
    p = ScanToken(p, &start, &len);
    StoreToken(start, len, max, dst, dstSize);
    if (*p) p++;
    return SkipBlanksAndTabs(p);
}

uint32_t FlagOfLetter(char c) {
    switch (c) {
        case 'a':
            return SF_MULTI_INSTANCE;
        case 'f':
            return SF_TARGET_PROGRAM;
        case 'o':
            return SF_ONE_SHOT;
        case 'q':
            return SF_SECOND_CLASS;
    }
    return 0;
}

bool IsValueLetter(char c) { return c == 'd' || c == 'r' || c == 'w' || c == 'x' || c == 'y'; }

// A position override: kept only when the value reads as 0 or more.
void TakeNumber(const char* value, int32_t* slot) {
    int32_t n = ParseInt(value);
    if (n >= 0) *slot = n;
}

// Handles the token at p (a "/") and returns the position after it.
const char* TakeSwitch(const char* p, CommandLine* out) {
    char letter = p[1];
    uint32_t flag = FlagOfLetter(letter);
    if (flag && (p[2] == ' ' || p[2] == '\0')) {
        out->flags |= flag;
        return p + 2;
    }
    if (!IsValueLetter(letter) || p[2] != '=') return p + 1;

    const char* value = p + 3;
    char number[kNumberValueMax + 1];
    switch (letter) {
        case 'd':
            out->hasDir = 1;
            return TakeValue(value, kPathValueMax, out->dir, sizeof out->dir);
        case 'r':
            out->hasArgPrefix = 1;
            return TakeValue(value, kPathValueMax, out->argPrefix, sizeof out->argPrefix);
    }
    const char* next = TakeValue(value, kNumberValueMax, number, sizeof number);
    TakeNumber(number, letter == 'w' ? &out->w : letter == 'x' ? &out->x : &out->y);
    return next;
}

}  // namespace

void ParseCommandLine(const char* commandLine, CommandLine* out) {
    memset(out, 0, sizeof *out);
    out->x = out->y = out->w = -1;
    if (!commandLine) return;

    char programName[261];
    const char* restStart = TakeToken(commandLine, programName, sizeof programName);

    const char* remembered = nullptr;
    const char* p = restStart;
    bool tokenStart = true;  // p is at the first byte of a token
    while (*p) {
        if (*p == '"' && tokenStart) {
            p = SkipQuotedToken(p);
            tokenStart = false;
            continue;
        }
        if (*p != '/') {
            tokenStart = *p == ' ' || *p == '\t';
            p += CharLengthSjis(p);
            continue;
        }
        p = SkipBlanksAndTabs(TakeSwitch(p, out));
        remembered = p;
        tokenStart = true;
    }

    const char* rest = remembered ? remembered : restStart;
    if (!*rest) return;
    out->rest = rest;

    const char* start;
    size_t len;
    ScanToken(rest, &start, &len);
    StoreToken(start, len, kPathValueMax, out->initialText, sizeof out->initialText);
}

void DefaultStartDir(const char* exePath, char* dst, unsigned dstSize) {
    if (!dst || !dstSize) return;
    dst[0] = '\0';
    if (!exePath) return;

    // Number of bytes kept: up to and including the drive root's backslash, or
    // the last separator (a trail byte is never one).
    size_t keep = 0;
    if (exePath[0] && exePath[1] == ':' && exePath[2] == '\\') {
        keep = 3;
    } else {
        for (size_t i = 0; exePath[i];) {
            if (IsSeparator(exePath[i])) keep = i + 1;
            i += CharLengthSjis(exePath + i);
        }
    }
    // No separator at all: no folder is known, StartDir stays empty.
    if (!keep) return;
    keep--;  // drop the trailing separator
    if (keep >= dstSize) return;
    memcpy(dst, exePath, keep);
    dst[keep] = '\0';
}
