// Fuzz target for the string and path routines. Input: two parameter bytes,
// then a text and (after the first NUL, when there is one) a second text used as
// needle. Every writer gets an exact-size heap buffer from the parameters so
// AddressSanitizer sees any overrun; the invariants and round trips below trap
// on violation.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "common/strutil.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// True when s (n bytes) splits into whole characters with no lead byte left
// without its trail.
bool WholeChars(const char* s, size_t n) {
    size_t i = 0;
    while (i < n) i += IsLeadByteSjis((unsigned char)s[i]) ? 2 : 1;
    return i == n;
}

// Offsets of character starts of s, as a flag per byte.
void CharStarts(const char* s, size_t n, bool* starts) {
    memset(starts, 0, n + 1);
    size_t i = 0;
    while (i < n) {
        starts[i] = true;
        i += (IsLeadByteSjis((unsigned char)s[i]) && i + 1 < n) ? 2 : 1;
    }
    starts[n] = true;
}

char* Buffer(size_t n) { return (char*)malloc(n ? n : 1); }

void CheckCopies(const char* text, size_t len, size_t size) {
    char* dst = Buffer(size);
    size_t n = CopyString(dst, text, size);
    if (size) {
        Check(n == strlen(dst) && n < size && n <= len);
        Check(memcmp(dst, text, n) == 0);
        Check(n == len || WholeChars(dst, n));
        Check(size <= len || n == len);  // whatever fits is copied whole
    }

    int m = MapCharsSjis(LowerAscii, text, dst, -1, size);
    if (size) {
        Check((size_t)m == strlen(dst) && (size_t)m <= len);
        for (int i = 0; i < m;) {
            unsigned char c = (unsigned char)text[i];
            if (IsLeadByteSjis(c) && text[i + 1]) {
                Check(dst[i] == text[i] && dst[i + 1] == text[i + 1]);  // kept whole
                i += 2;
            } else {
                Check((unsigned char)dst[i] == (unsigned char)LowerAscii(c));
                i++;
            }
        }
        // Lowering twice changes nothing more.
        char* again = Buffer(size);
        MapCharsSjis(LowerAscii, dst, again, -1, size);
        Check(strcmp(again, dst) == 0);
        free(again);
    }

    ConcatTo(text, text, dst, size);
    if (size) {
        size_t c = strlen(dst);
        Check(c < size && c <= 2 * len);
        Check(memcmp(dst, text, c < len ? c : len) == 0);
    }
    free(dst);
}

void CheckPaths(const char* text, size_t len, size_t size) {
    bool* starts = (bool*)malloc(len + 1);
    CharStarts(text, len, starts);

    // File name and folder part put back together give the path.
    char* folder = Buffer(len + 1);
    memcpy(folder, text, len + 1);
    char* name = Buffer(len + 1);
    const char* after = FileNamePart(text, name, len + 1);
    if (CutAfterLastSeparator(folder)) {
        size_t f = strlen(folder);
        Check(after == text + f && f > 0 && IsSeparator(folder[f - 1]) && starts[f - 1]);
        Check(strcmp(name, text + f) == 0);
    } else {
        Check(after == nullptr && strcmp(name, text) == 0 && strcmp(folder, text) == 0);
    }

    // The parent is a shorter prefix ending just before a separator.
    memcpy(folder, text, len + 1);
    if (CutLastComponent(folder)) {
        size_t f = strlen(folder);
        Check(f > 0 && f < len && IsSeparator(text[f]) && starts[f]);
        Check(memcmp(folder, text, f) == 0);
    } else {
        Check(strcmp(folder, text) == 0);
    }

    // Slashes become backslashes, trail bytes stay.
    memcpy(folder, text, len + 1);
    ToBackslashes(folder);
    for (size_t i = 0; i < len; i++)
        Check(folder[i] == text[i] || (text[i] == '/' && folder[i] == '\\' && starts[i]));

    // Collapsing never lengthens and keeps the non-separator bytes in order.
    memcpy(folder, text, len + 1);
    CollapseSeparators(folder);
    Check(strlen(folder) <= len);

    // NormalizeDots in place gives what it gives into a separate buffer.
    char* dots = Buffer(size);
    NormalizeDots(dots, text, size);
    if (size) {
        size_t d = strlen(dots);
        Check(d < size && d <= len);
        if (WholeChars(text, len)) Check(WholeChars(dots, d));
        memcpy(folder, text, len + 1);
        NormalizeDots(folder, folder, len + 1);
        if (size > len) Check(strcmp(folder, dots) == 0);
    }
    free(dots);

    // A separator added is removed again (a path ending in a broken lead byte
    // would swallow the separator as its trail).
    char* sep = Buffer(len + 2);
    memcpy(sep, text, len + 1);
    if (len && WholeChars(text, len)) {
        AddTrailingSeparator(sep, len + 2);
        size_t s = strlen(sep);
        Check(s == len || (s == len + 1 && sep[len] == '\\'));
        if (s == len + 1) {
            RemoveTrailingSeparator(sep);
            Check(strcmp(sep, text) == 0);
        }
    }
    free(sep);

    free(name);
    free(folder);
    free(starts);
}

void CheckQuoteAndTokens(const char* text, size_t len, size_t size) {
    // Quote, then take the token back: the same text when it holds no quote.
    char* q = Buffer(len + 3);
    memcpy(q, text, len + 1);
    Check(Quote(q, len + 3) == 1);
    Check(q[0] == '"' && q[len + 1] == '"' && q[len + 2] == '\0');
    if (!strchr(text, '"')) {
        char* tok = Buffer(len + 2);
        const char* rest = TakeToken(q, tok, len + 2);
        Check(strcmp(tok, text) == 0 && *rest == '\0');
        free(tok);
    }
    memcpy(q, text, len + 1);
    Check(Quote(q, len + 2) == 0 && strcmp(q, text) == 0);
    free(q);

    char* out = Buffer(size);
    TakeToken(text, out, size);
    if (size) Check(strlen(out) < size);

    int pieces = -1;
    const char* next = TakeDelimited(text, out, '"', ';', &pieces, 1, size);
    if (next) {
        Check(pieces >= 1);
        if (size) {
            // Every piece lies inside the buffer.
            size_t at = 0;
            for (int i = 0; i < pieces; i++) {
                Check(at < size);
                at += strlen(out + at) + 1;
            }
        }
    } else {
        Check(text[0] == '"' && pieces == 0);
    }

    // Lines: each holds no line end, and the walk always moves forward.
    const char* p = text;
    char* line = Buffer(size + 1);
    while (p && *p) {
        const char* n = ReadLine(p, line, size);
        if (!n) break;
        Check(n > p && !strchr(line, '\r') && !strchr(line, '\n'));
        p = n;
    }
    free(line);
    free(out);
}

void CheckFind(const char* hay, const char* needle) {
    const char* hit = FindSubstringSjis(hay, needle);
    size_t hn = strlen(hay), nn = strlen(needle);
    bool* starts = (bool*)malloc(hn + 1);
    CharStarts(hay, hn, starts);
    Check(nn || hit == hay);
    if (hit) {
        size_t at = (size_t)(hit - hay);
        Check(at + nn <= hn && memcmp(hit, needle, nn) == 0 && starts[at]);
    }
    // A needle of whole characters is found at its first match on a character
    // start of hay.
    if (nn && WholeChars(needle, nn)) {
        const char* first = nullptr;
        for (size_t i = 0; i + nn <= hn; i++) {
            if (starts[i] && memcmp(hay + i, needle, nn) == 0 && starts[i + nn]) {
                first = hay + i;
                break;
            }
        }
        Check(hit == first);
    }
    free(starts);
}

void CheckEllipsis(const char* text, size_t len, int width, size_t size) {
    char* dst = Buffer(size);
    EllipsizeMiddle(text, dst, width, size);
    if (size) {
        size_t d = strlen(dst);
        Check(d < size);
        int w = width < 5 ? 4 : width;
        if (len <= (size_t)w) {
            Check(memcmp(dst, text, d) == 0);
        } else if (size > len + 2 && WholeChars(text, len)) {
            // Head, ellipsis, tail: whole characters from both ends of text.
            bool found = false;
            for (size_t head = 0; head + 2 <= d && !found; head++) {
                size_t tail = d - head - 2;
                found = memcmp(dst, text, head) == 0 && WholeChars(dst, head) &&
                        memcmp(dst + head, "\x81\x63", 2) == 0 && tail >= 1 && head + tail < len &&
                        memcmp(dst + head + 2, text + len - tail, tail) == 0 &&
                        WholeChars(text, len - tail);
            }
            Check(found);
        }
    }
    free(dst);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    size_t bufSize = data[0] % 48;
    int width = (int)(data[1] % 64) - 4;
    const uint8_t* body = data + 2;
    size_t bodyLen = size - 2;

    char* text = (char*)malloc(bodyLen + 1);
    memcpy(text, body, bodyLen);
    text[bodyLen] = '\0';
    size_t len = strlen(text);
    const char* needle = len < bodyLen ? text + len + 1 : "";

    CheckCopies(text, len, bufSize);
    CheckPaths(text, len, bufSize);
    CheckQuoteAndTokens(text, len, bufSize);
    CheckFind(text, needle);
    CheckFind(needle, text);
    CheckEllipsis(text, len, width, bufSize);

    free(text);
    return 0;
}
