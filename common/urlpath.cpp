// urlpath.cpp - location URL to file-system path.
//
// The path is built in a local buffer of URL_PATH_SIZE bytes and copied over
// the URL only when it is complete, so a URL that cannot be converted is left
// as it was. Escaped bytes are gathered run by run: ASCII bytes are taken as
// they are, each stretch of bytes beyond ASCII must be well-formed UTF-8 and is
// handed to the caller's converter.
#include "urlpath.h"

#include <string.h>

#include "strutil.h"

namespace {

int HexValue(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// The byte of the escape at p ("%XX"), or -1 when p holds no escape.
int EscapedByte(const char* p) {
    if (p[0] != '%') return -1;
    int hi = HexValue(p[1]);
    if (hi < 0) return -1;
    int lo = HexValue(p[2]);
    if (lo < 0) return -1;
    return hi * 16 + lo;
}

struct PathOut {
    char text[URL_PATH_SIZE];
    size_t len;
    size_t limit;  // longest text allowed
    bool ok;
};

void Put(PathOut* out, char c) {
    if (!out->ok) return;
    if (out->len >= out->limit) {
        out->ok = false;
        return;
    }
    out->text[out->len++] = c;
}

// Converts one stretch of UTF-8 bytes beyond ASCII.
void PutUtf8(PathOut* out, const unsigned char* bytes, size_t n, const UrlPathHost* host) {
    if (!out->ok) return;
    for (size_t i = 0; i < n;) {
        size_t step = Utf8CharLength(bytes + i, n - i);
        if (step == 0) {
            out->ok = false;
            return;
        }
        i += step;
    }
    if (!host || !host->utf8ToAnsi) {
        out->ok = false;
        return;
    }
    char converted[URL_PATH_SIZE];
    int got = host->utf8ToAnsi(host->ctx, (const char*)bytes, n, converted, sizeof converted);
    if (got < 0 || (size_t)got >= sizeof converted) {
        out->ok = false;
        return;
    }
    for (int i = 0; i < got && out->ok; i++) {
        // A converter that gives a NUL or a control byte gives no usable path.
        if ((unsigned char)converted[i] < 0x20) out->ok = false;
        Put(out, converted[i]);
    }
}

// Decodes the run of escapes at p into out; returns the position after it.
const char* PutEscapes(PathOut* out, const char* p, const UrlPathHost* host) {
    unsigned char wide[URL_PATH_SIZE * 3];
    size_t wideLen = 0;
    int b;
    while ((b = EscapedByte(p)) >= 0) {
        p += 3;
        if (b >= 0x80) {
            if (wideLen < sizeof wide) {
                wide[wideLen++] = (unsigned char)b;
            } else {
                out->ok = false;  // more than any path that fits
            }
            continue;
        }
        if (wideLen) {
            PutUtf8(out, wide, wideLen, host);
            wideLen = 0;
        }
        // A control byte (a NUL above all) would cut or bend the path.
        if (b < 0x20 || b == 0x7F) out->ok = false;
        Put(out, b == '/' ? '\\' : (char)b);
    }
    if (wideLen) PutUtf8(out, wide, wideLen, host);
    return p;
}

}  // namespace

size_t Utf8CharLength(const unsigned char* p, size_t avail) {
    if (avail == 0) return 0;
    unsigned char c = p[0];
    if (c < 0x80) return 1;
    size_t n;
    unsigned int min;
    unsigned int cp;
    if (c >= 0xC2 && c <= 0xDF) {
        n = 2, min = 0x80, cp = c & 0x1F;
    } else if (c >= 0xE0 && c <= 0xEF) {
        n = 3, min = 0x800, cp = c & 0x0F;
    } else if (c >= 0xF0 && c <= 0xF4) {
        n = 4, min = 0x10000, cp = c & 0x07;
    } else {
        return 0;
    }
    if (avail < n) return 0;
    for (size_t i = 1; i < n; i++) {
        if ((p[i] & 0xC0) != 0x80) return 0;
        cp = (cp << 6) | (p[i] & 0x3F);
    }
    if (cp < min || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return 0;
    return n;
}

int UrlToPath(char* url, size_t urlSize, const UrlPathHost* host) {
    if (!url || urlSize == 0) return URL_NOT_FILE;
    size_t urlLen = strnlen(url, urlSize);
    if (urlLen >= urlSize) return URL_NOT_FILE;  // not terminated within its buffer
    if (urlLen < 5 || memcmp(url, "file:", 5) != 0)
        return (urlLen >= 5 && memcmp(url, "http:", 5) == 0) ? URL_WEB : URL_NOT_FILE;

    // Three slashes precede a drive; two a server name, which keeps them as "\\".
    const char* p = url + ((urlLen > 7 && url[7] == '/') ? 8 : 5);

    PathOut out;
    out.len = 0;
    out.limit = (urlSize < sizeof out.text ? urlSize : sizeof out.text) - 1;
    out.ok = true;
    while (*p && out.ok) {
        if (IsLeadByteSjis((unsigned char)p[0]) && IsTrailByteSjis((unsigned char)p[1])) {
            Put(&out, p[0]);
            Put(&out, p[1]);
            p += 2;
        } else if (EscapedByte(p) >= 0) {
            p = PutEscapes(&out, p, host);
        } else {
            Put(&out, *p == '/' ? '\\' : *p);
            p++;
        }
    }
    if (!out.ok || out.len == 0) return URL_NOT_FILE;
    out.text[out.len] = '\0';
    memcpy(url, out.text, out.len + 1);
    if (host && host->isFolder && host->isFolder(host->ctx, url)) return URL_FOLDER;
    return URL_FILE;
}
