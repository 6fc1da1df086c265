// Fuzz target: arbitrary bytes as vorn's command line, and the same bytes as a
// clock format.
//
// Command line: every string of the record ends within its array and holds at
// most 260 bytes, the position overrides are -1 or more, the rest points inside
// the text (never at its NUL) or is null, the initial text is the first token of
// the rest, no unquoted slash follows the rest's start, and parsing is
// deterministic. Clock format: the output ends within its buffer for every
// buffer size, a smaller buffer gives a prefix of the full text, and a format
// without "%" and without a lead byte that lacks its trail byte comes back
// unchanged.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "common/strutil.h"
#include "launcher/editbox/datemacro.h"
#include "launcher/shell/appstate.h"
#include "launcher/shell/cmdline.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

size_t BoundedLength(const char* s, size_t size) {
    const void* nul = memchr(s, 0, size);
    Check(nul != nullptr);
    return (size_t)((const char*)nul - s);
}

void CheckCommandLine(const char* text, size_t len) {
    CommandLine cl;
    memset(&cl, 0xA5, sizeof cl);
    ParseCommandLine(text, &cl);

    Check(BoundedLength(cl.dir, sizeof cl.dir) <= 260);
    Check(BoundedLength(cl.argPrefix, sizeof cl.argPrefix) <= 260);
    size_t initialLen = BoundedLength(cl.initialText, sizeof cl.initialText);
    Check(initialLen <= 260);
    Check(cl.x >= -1 && cl.y >= -1 && cl.w >= -1);
    Check(cl.hasDir == 0 || cl.hasDir == 1);
    Check(cl.hasArgPrefix == 0 || cl.hasArgPrefix == 1);
    Check(!cl.hasDir ? cl.dir[0] == '\0' : true);
    Check(!cl.hasArgPrefix ? cl.argPrefix[0] == '\0' : true);
    Check((cl.flags & ~(uint32_t)(SF_MULTI_INSTANCE | SF_TARGET_PROGRAM | SF_ONE_SHOT |
                                  SF_SECOND_CLASS)) == 0);

    if (cl.rest) {
        Check(cl.rest >= text && cl.rest < text + len);
        Check(*cl.rest != '\0');
        // The initial text is the first token of the rest, or empty when too long.
        if (initialLen) {
            const char* token = cl.rest + (*cl.rest == '"' ? 1 : 0);
            Check(memcmp(token, cl.initialText, initialLen) == 0);
            char after = token[initialLen];
            Check(after == '\0' || after == (*cl.rest == '"' ? '"' : ' '));
        }
        // The rest begins after the last "/" that is a single-byte character
        // outside a quoted token (one that begins with a double quote at the
        // start of the rest or after a blank or tab).
        bool tokenStart = true;
        for (const char* p = cl.rest; *p;) {
            if (*p == '"' && tokenStart) {
                for (p++; *p && *p != '"';) p += CharLengthSjis(p);
                if (*p) p++;
                tokenStart = false;
                continue;
            }
            Check(*p != '/');
            tokenStart = *p == ' ' || *p == '\t';
            p += CharLengthSjis(p);
        }
    } else {
        Check(initialLen == 0);
    }

    // Same input, same record.
    CommandLine again;
    memset(&again, 0, sizeof again);
    ParseCommandLine(text, &again);
    Check(again.flags == cl.flags && again.x == cl.x && again.y == cl.y && again.w == cl.w);
    Check(again.rest == cl.rest);
    Check(strcmp(again.dir, cl.dir) == 0 && strcmp(again.argPrefix, cl.argPrefix) == 0);
    Check(strcmp(again.initialText, cl.initialText) == 0);

    char dir[261];
    memset(dir, 0xA5, sizeof dir);
    DefaultStartDir(text, dir, sizeof dir);
    size_t dirLen = BoundedLength(dir, sizeof dir);
    Check(dirLen == 0 || dirLen < len);
    Check(memcmp(dir, text, dirLen) == 0);
}

void CheckFormat(const char* format) {
    static const LocalTime kTime = {2024, 12, 3, 31, 23, 59, 58, 999};
    char full[DATE_TEXT_MAX + 16];
    memset(full, 0xA5, sizeof full);
    FormatDateMacro(&kTime, format, full, DATE_TEXT_MAX);
    size_t fullLen = BoundedLength(full, DATE_TEXT_MAX);
    for (size_t i = DATE_TEXT_MAX; i < sizeof full; i++) Check((unsigned char)full[i] == 0xA5);

    // Smaller buffers stay bounded and give a prefix of the full text.
    static const size_t kSizes[] = {1, 2, 3, 7, 20, 64};
    for (size_t size : kSizes) {
        char small[80];
        memset(small, 0xA5, sizeof small);
        FormatDateMacro(&kTime, format, small, size);
        size_t n = BoundedLength(small, size);
        Check(n <= fullLen && memcmp(small, full, n) == 0);
        for (size_t i = size; i < sizeof small; i++) Check((unsigned char)small[i] == 0xA5);
    }

    // Without "%" (outside double-byte characters) and without a lead byte
    // that lacks its trail byte, the text comes back unchanged (as far as it
    // fits).
    bool plain = true;
    size_t i = 0;
    while (format[i]) {
        size_t step = CharLengthSjis(format + i);
        if (step == 1 && (format[i] == '%' || IsLeadByteSjis((unsigned char)format[i])))
            plain = false;
        i += step;
    }
    if (plain && i < DATE_TEXT_MAX) Check(fullLen == i && memcmp(full, format, i) == 0);

    for (int field = -1; field <= 21; field++) {
        char out[DATE_TEXT_MAX];
        memset(out, 0xA5, sizeof out);
        DateField(&kTime, field, out, sizeof out);
        size_t n = BoundedLength(out, sizeof out);
        Check((field >= 1 && field <= 19) ? n > 0 : n == 0);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Exact-size heap copy, so any read past the NUL is caught.
    char* text = (char*)malloc(size + 1);
    if (!text) return 0;
    memcpy(text, data, size);
    text[size] = '\0';
    size_t len = strlen(text);

    CheckCommandLine(text, len);
    CheckFormat(text);

    free(text);
    return 0;
}
