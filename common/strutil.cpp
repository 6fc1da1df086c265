// strutil.cpp - string and path routines over code-page-932 byte strings.
//
// Double-byte walk: a lead byte and the byte after it form one character and are
// handled together, so a trail byte (0x5C in 表, ソ, 能 ...) is never taken for a
// separator, quote or dot. A lead byte directly before the terminating NUL is a
// broken character and is handled as a single byte, so no walk runs past a NUL.
#include "strutil.h"

#include <string.h>

namespace {

inline size_t CharLen(const char* p) { return CharLengthSjis(p); }

// The longest prefix of s (n bytes) that ends on a character boundary and is at
// most room bytes long.
size_t FitLength(const char* s, size_t n, size_t room) {
    if (n <= room) return n;
    size_t i = 0;
    while (i < room) {
        size_t step = CharLen(s + i);
        if (i + step > room) break;
        i += step;
    }
    return i;
}

inline bool IsBlankOrTab(char c) { return c == ' ' || c == '\t'; }

const char* SkipBlanksAndTabs(const char* p) {
    while (IsBlankOrTab(*p)) p++;
    return p;
}

// Index of the last single-byte separator among the first n bytes of s, or -1.
// Never looks at s[n] or beyond (s need not be terminated there).
long LastSeparator(const char* s, size_t n) {
    long last = -1;
    for (size_t i = 0; i < n && s[i];) {
        if (IsSeparator(s[i])) last = (long)i;
        i += (IsLeadByteSjis((unsigned char)s[i]) && i + 1 < n && s[i + 1]) ? 2 : 1;
    }
    return last;
}

// Index of the last character of the non-empty string s.
size_t LastCharIndex(const char* s) {
    size_t i = 0, last = 0;
    while (s[i]) {
        last = i;
        i += CharLen(s + i);
    }
    return last;
}

}  // namespace

int LowerAscii(int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; }

int MapCharsSjis(int (*fn)(int), const char* src, char* dst, int len, size_t dstSize) {
    if (!dst || !dstSize || !src || len == 0) return 0;
    size_t limit = len < 0 ? strlen(src) : (size_t)len;
    if (limit > dstSize - 1) limit = dstSize - 1;
    size_t i = 0;
    while (src[i] && i < limit) {
        size_t step = CharLen(src + i);
        if (i + step > limit) break;  // never write half a character
        if (step == 2) {
            dst[i] = src[i];
            dst[i + 1] = src[i + 1];
        } else {
            dst[i] = fn ? (char)fn((unsigned char)src[i]) : src[i];
        }
        i += step;
    }
    dst[i] = '\0';
    return (int)i;
}

int32_t ParseInt(const char* text) {
    if (!text) return 0;
    const char* p = text;
    while (*p == ' ' || *p == '\t' || *p == '\n') p++;
    bool negative = false;
    if (*p == '-') {
        negative = true;
        p++;
    }
    // Unsigned arithmetic: overflow wraps instead of being undefined.
    uint32_t value = 0;
    while (*p >= '0' && *p <= '9') value = value * 10u + (uint32_t)(*p++ - '0');
    if (negative) value = 0u - value;
    return (int32_t)value;
}

size_t CopyString(char* dst, const char* src, size_t dstSize) {
    if (!dst || !dstSize) return 0;
    if (!src) {
        dst[0] = '\0';
        return 0;
    }
    size_t n = FitLength(src, strlen(src), dstSize - 1);
    memmove(dst, src, n);
    dst[n] = '\0';
    return n;
}

void ConcatTo(const char* a, const char* b, char* dst, size_t dstSize) {
    if (!dst || !dstSize) return;
    if (!a) a = "";
    if (!b) b = "";
    size_t room = dstSize - 1;
    size_t la = FitLength(a, strlen(a), room);
    size_t lb = (la < strlen(a)) ? 0 : FitLength(b, strlen(b), room - la);
    // b first, so that a call with dst == a (appending in place) or dst == b works.
    memmove(dst + la, b, lb);
    memmove(dst, a, la);
    dst[la + lb] = '\0';
}

const char* ReadLine(const char* text, char* out, size_t max) {
    if (!text || !*text || !out) return nullptr;
    size_t n = 0;
    while (text[n] && text[n] != '\r' && text[n] != '\n') n++;
    if (n > max) return nullptr;
    memcpy(out, text, n);
    out[n] = '\0';
    const char* p = text + n;
    if (*p == '\r' || *p == '\n') p += (p[1] == '\n') ? 2 : 1;
    return p;
}

const char* SplitAt(const char* text, char ch, char* out, size_t max) {
    if (!text) {
        out[0] = '\0';
        return nullptr;
    }
    // A NUL ch is never "found": strchr would return the terminator itself.
    const char* hit = ch ? strchr(text, ch) : nullptr;
    size_t n = hit ? (size_t)(hit - text) : strlen(text);
    if (n > max) {
        out[0] = '\0';
        return nullptr;
    }
    memcpy(out, text, n);
    out[n] = '\0';
    return hit ? hit + 1 : nullptr;
}

const char* TakeToken(const char* text, char* out, size_t max) {
    if (!text) {
        if (out && max) out[0] = '\0';
        return nullptr;
    }
    const char* p = text;
    const char* start;
    if (*p == '"') {
        start = ++p;
        while (*p && *p != '"') p++;
    } else {
        start = p;
        while (*p && *p != ' ') p++;
    }
    size_t n = (size_t)(p - start);
    size_t withDelimiter = n + (*p ? 1 : 0);
    if (out && max) {
        if (withDelimiter < max) {
            memcpy(out, start, n);
            out[n] = '\0';
        } else {
            out[0] = '\0';
        }
    }
    if (*p) p++;
    return SkipBlanksAndTabs(p);
}

const char* TakeDelimited(const char* text, char* out, char open, char sep, int* pieces,
                          int splitSep, size_t max) {
    if (out && max) out[0] = '\0';
    if (!text) {
        if (pieces) *pieces = 0;
        return nullptr;
    }
    int count = 1;
    const char* p = text;
    if (*p == open && open != '\0') {
        p++;
        size_t n = 0;
        while (*p && *p != open) {
            // Only separators that made it into out are counted, so a reader that
            // walks count NUL-separated pieces of out never leaves the buffer.
            if (out && n + 1 < max) {
                if (*p == sep) {
                    out[n++] = splitSep == 1 ? '\0' : sep;
                    count++;
                } else {
                    out[n++] = *p;
                }
            }
            p++;
        }
        if (out && max) out[n] = '\0';
        if (*p != open) {
            // Unterminated field: nothing usable.
            if (out && max) out[0] = '\0';
            if (pieces) *pieces = 0;
            return nullptr;
        }
        p++;
    }
    p = SkipBlanksAndTabs(p);
    if (pieces) *pieces = count;
    return p;
}

char* ReplaceFirstChar(char* text, char from, char to) {
    if (!text || !*text || from == '\0') return nullptr;
    char* hit = strchr(text, from);
    if (!hit) return nullptr;
    *hit = to;
    return hit[1] ? hit + 1 : nullptr;
}

const char* FindSubstringSjis(const char* hay, const char* needle) {
    if (!hay || !needle) return nullptr;
    if (!*needle) return hay;
    for (const char* start = hay; *start; start += CharLen(start)) {
        const char* h = start;
        const char* n = needle;
        while (*n) {
            if (CharLen(h) == 2) {
                if (h[0] != n[0] || h[1] != n[1]) break;
                h += 2;
                n += 2;
            } else {
                if (*h != *n) break;
                h++;
                n++;
            }
        }
        if (!*n) return start;
        // A failed attempt moves on by one whole character of hay, so no attempt
        // ever starts on a trail byte.
    }
    return nullptr;
}

const char* StartsWith(const char* text, const char* prefix) {
    if (!text || !prefix) return nullptr;
    size_t n = strlen(prefix);
    return strncmp(text, prefix, n) == 0 ? text : nullptr;
}

bool HasAtLeast(const char* text, size_t n) {
    if (n == 0) return true;
    if (!text) return false;
    for (size_t i = 0; i < n; i++)
        if (!text[i]) return false;
    return true;
}

int DetectUnicodeBom(const unsigned char* bytes, size_t len) {
    if (!bytes || len < 2) return 0;
    if (bytes[0] == 0xFF && bytes[1] == 0xFE) return 1;
    if (bytes[0] == 0xFE && bytes[1] == 0xFF) return 2;
    return 0;
}

char* ToBackslashes(char* path) {
    if (!path) return nullptr;
    for (size_t i = 0; path[i]; i += CharLen(path + i))
        if (path[i] == '/') path[i] = '\\';
    return path;
}

// The trailing-separator routines look at the last character, not the last
// byte: "C:\表" ends in the trail byte 0x5C of 表, which is no separator.
bool EndsWithSeparatorSjis(const char* text) {
    if (!text || !*text) return false;
    size_t last = LastCharIndex(text);
    return last == strlen(text) - 1 && IsSeparator(text[last]);
}

char* AddTrailingSeparator(char* path, size_t pathSize) {
    if (!path || !*path || EndsWithSeparatorSjis(path)) return path;
    size_t n = strlen(path);
    if (n + 2 > pathSize) return path;  // no room: unchanged
    path[n] = '\\';
    path[n + 1] = '\0';
    return path;
}

char* RemoveTrailingSeparator(char* path) {
    if (EndsWithSeparatorSjis(path)) path[strlen(path) - 1] = '\0';
    return path;
}

int JoinFolderName(const char* folder, const char* name, char* dst, size_t size) {
    if (!dst || size == 0) return 0;
    dst[0] = '\0';
    if (!folder || !name) return 0;
    size_t folderLen = strlen(folder), nameLen = strlen(name);
    size_t sep = folderLen > 0 && !EndsWithSeparatorSjis(folder) ? 1 : 0;
    if (folderLen + sep + nameLen + 1 > size) return 0;
    memmove(dst, folder, folderLen);  // folder may be dst itself
    if (sep) dst[folderLen] = '\\';
    memcpy(dst + folderLen + sep, name, nameLen + 1);
    return 1;
}

void CollapseSeparators(char* path) {
    if (!path) return;
    size_t r = 0, w = 0;
    while (path[r]) {
        if (IsSeparator(path[r]) && IsSeparator(path[r + 1])) {
            // Drop the first of the pair, keep the second, and go on after it:
            // a run of three separators thus becomes two.
            path[w++] = path[r + 1];
            r += 2;
            continue;
        }
        size_t step = CharLen(path + r);
        for (size_t k = 0; k < step; k++) path[w++] = path[r++];
    }
    path[w] = '\0';
}

char* CutLastComponent(char* path) {
    if (!path || !*path) return nullptr;
    long sep = LastSeparator(path, strlen(path));
    if (sep <= 0) return nullptr;
    path[sep] = '\0';
    return path;
}

char* CutAfterLastSeparator(char* path) {
    if (!path || !*path) return nullptr;
    long sep = LastSeparator(path, strlen(path));
    if (sep < 0) return nullptr;
    path[sep + 1] = '\0';
    return path;
}

const char* FileNamePart(const char* path, char* dst, size_t dstSize) {
    if (!path) {
        if (dst && dstSize) dst[0] = '\0';
        return nullptr;
    }
    long sep = LastSeparator(path, strlen(path));
    const char* name = sep < 0 ? path : path + sep + 1;
    if (dst) CopyString(dst, name, dstSize);
    return sep < 0 ? nullptr : name;
}

char* NormalizeDots(char* dst, const char* src, size_t dstSize) {
    if (!dst || !dstSize) return dst;
    if (!src) {
        dst[0] = '\0';
        return dst;
    }
    size_t room = dstSize - 1;
    size_t r = 0, w = 0;
    while (src[r]) {
        if (src[r] == '.') {
            if (src[r + 1] == '.' && IsSeparator(src[r + 2])) {
                // Back to just after the separator before the one ending the output.
                size_t scan = w;
                if (scan > 0 && LastSeparator(dst, w) == (long)(w - 1)) scan = w - 1;
                long prev = LastSeparator(dst, scan);
                if (prev >= 0) w = (size_t)prev + 1;
                r += 3;
                continue;
            }
            if (IsSeparator(src[r + 1])) {
                r += 2;
                continue;
            }
        }
        size_t step = CharLen(src + r);
        if (w + step > room) break;  // cut at a character boundary
        // w never passes r, so dst may be src itself.
        for (size_t k = 0; k < step; k++) dst[w++] = src[r++];
    }
    dst[w] = '\0';
    return dst;
}

int Quote(char* text, size_t textSize) {
    if (!text) return 0;
    size_t n = strlen(text);
    if (n + 3 > textSize) return 0;
    memmove(text + 1, text, n);
    text[0] = '"';
    text[n + 1] = '"';
    text[n + 2] = '\0';
    return 1;
}

int QuoteIfSpaces(char* text, size_t textSize) {
    if (!text || !strchr(text, ' ')) return 0;
    return Quote(text, textSize);
}

char* EllipsizeMiddle(const char* src, char* dst, int width, size_t dstSize) {
    if (!dst || !dstSize) return dst;
    if (!src) {
        dst[0] = '\0';
        return dst;
    }
    if (width < 5) width = 4;
    size_t len = strlen(src);
    if (len <= (size_t)width) {
        CopyString(dst, src, dstSize);
        return dst;
    }
    size_t half = (size_t)(width / 2 - 2);

    // Head: the first half bytes, one more when that would split a character.
    size_t head = 0;
    while (head < half) head += CharLen(src + head);

    // Tail: walk from half up to len - half - 3 and skip that many bytes after
    // the head; the rest of src is the tail.
    size_t walk = half;
    size_t walkEnd = len - half - 3;  // len > width >= 2 * half + 4
    while (walk < walkEnd) walk += CharLen(src + walk);
    size_t tail = head + (walk - half);
    // When the head was extended the walk above ran one byte off the character
    // grid; move the tail start forward to the next character boundary so that
    // it never begins with a trail byte.
    size_t b = 0;
    while (b < tail && src[b]) b += CharLen(src + b);
    tail = b < len ? b : len;

    static const char kEllipsis[] = "\x81\x63";  // 「…」
    size_t room = dstSize - 1;
    size_t w = FitLength(src, head, room);
    memcpy(dst, src, w);
    if (w == head && w + 2 <= room) {
        memcpy(dst + w, kEllipsis, 2);
        w += 2;
        size_t t = FitLength(src + tail, len - tail, room - w);
        memcpy(dst + w, src + tail, t);
        w += t;
    }
    dst[w] = '\0';
    return dst;
}

bool IsBitmap(const unsigned char* data, size_t dataLen, const char* name) {
    size_t n = name ? strlen(name) : 0;
    if (n >= 5) {
        const char* ext = name + n - 4;
        return ext[0] == '.' && LowerAscii((unsigned char)ext[1]) == 'b' &&
               LowerAscii((unsigned char)ext[2]) == 'm' && LowerAscii((unsigned char)ext[3]) == 'p';
    }
    return data && dataLen >= 2 && data[0] == 'B' && data[1] == 'M';
}

bool IsBareDrive(const char* text) {
    return text && ((text[0] >= 'A' && text[0] <= 'Z') || (text[0] >= 'a' && text[0] <= 'z')) &&
           text[1] == ':' && text[2] == '\0';
}
