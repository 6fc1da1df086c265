// Fuzz target for the conversion of Explorer location URLs. Input: one byte of
// options (bits 0-6: how many bytes short of the text's length the buffer is
// made larger, 0-127; bit 7: the converter knows no character), then the URL.
// Checks:
//   - the result is one of the four kinds; a path result ends within the
//     buffer, holds 1 to 260 bytes and no "/" (every slash, escaped or not,
//     becomes "\\", and no double-byte character ends in one);
//   - anything but a path result leaves the buffer byte for byte as it was;
//   - a folder result only when the folder test said so, for the path given;
//   - the UTF-8 character length agrees with a plain decoder.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "common/urlpath.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// A converter that writes one "?" pair per UTF-8 character, as a stand-in for
// the system's: it fails when the result does not fit.
int FakeToAnsi(void* ctx, const char* utf8, size_t len, char* dst, size_t dstSize) {
    if (ctx != nullptr) return -1;
    size_t w = 0;
    for (size_t r = 0; r < len;) {
        size_t n = Utf8CharLength((const unsigned char*)utf8 + r, len - r);
        Check(n > 0);  // the caller hands only well-formed UTF-8
        if (w + 2 >= dstSize) return -1;
        dst[w++] = '\x82';
        dst[w++] = (char)(0x9F + (utf8[r + n - 1] & 0x3F));
        r += n;
    }
    dst[w] = '\0';
    return (int)w;
}

const char* LastFolderAsked = nullptr;
char FolderAsked[512];

bool FakeIsFolder(void*, const char* path) {
    size_t n = strlen(path);
    Check(n < sizeof FolderAsked);
    memcpy(FolderAsked, path, n + 1);
    LastFolderAsked = FolderAsked;
    return (n & 1) != 0;
}

// The canonical UTF-8 form of code point cp; its length.
size_t Encode(uint32_t cp, unsigned char out[4]) {
    if (cp < 0x80) {
        out[0] = (unsigned char)cp;
        return 1;
    }
    if (cp < 0x800) {
        out[0] = (unsigned char)(0xC0 | cp >> 6);
        out[1] = (unsigned char)(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = (unsigned char)(0xE0 | cp >> 12);
        out[1] = (unsigned char)(0x80 | (cp >> 6 & 0x3F));
        out[2] = (unsigned char)(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = (unsigned char)(0xF0 | cp >> 18);
    out[1] = (unsigned char)(0x80 | (cp >> 12 & 0x3F));
    out[2] = (unsigned char)(0x80 | (cp >> 6 & 0x3F));
    out[3] = (unsigned char)(0x80 | (cp & 0x3F));
    return 4;
}

// The other way round: the bytes at p are one well-formed character of n bytes
// exactly when they are the canonical encoding of a scalar value (no surrogate,
// nothing above U+10FFFF). Returns that n, or 0.
size_t Reference(const unsigned char* p, size_t avail) {
    for (size_t n = 1; n <= 4 && n <= avail; n++) {
        uint32_t cp = n == 1 ? p[0] : (uint32_t)(p[0] & (0x7F >> n));
        for (size_t i = 1; i < n; i++) cp = cp << 6 | (p[i] & 0x3F);
        if (cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) continue;
        unsigned char canonical[4];
        if (Encode(cp, canonical) == n && memcmp(canonical, p, n) == 0) return n;
    }
    return 0;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1 || size > 4096) return 0;
    for (size_t i = 1; i < size; i++) {
        size_t n = Utf8CharLength(data + i, size - i);
        Check(n == Reference(data + i, size - i));
    }

    size_t len = size - 1;
    size_t bufSize = len + 1 + (data[0] & 0x7F);
    char* url = (char*)malloc(bufSize);
    char* before = (char*)malloc(bufSize);
    if (!url || !before) {
        free(url);
        free(before);
        return 0;
    }
    memcpy(url, data + 1, len);
    url[len] = '\0';
    memset(url + len + 1, 'Z', bufSize - len - 1);
    memcpy(before, url, bufSize);

    void* ctx = (data[0] & 0x80) ? (void*)1 : nullptr;
    UrlPathHost host = {FakeToAnsi, FakeIsFolder, ctx};
    LastFolderAsked = nullptr;
    int kind = UrlToPath(url, bufSize, &host);
    Check(kind == URL_NOT_FILE || kind == URL_FILE || kind == URL_WEB || kind == URL_FOLDER);
    if (kind == URL_FILE || kind == URL_FOLDER) {
        const char* nul = (const char*)memchr(url, 0, bufSize);
        Check(nul != nullptr);
        size_t n = (size_t)(nul - url);
        Check(n >= 1 && n < URL_PATH_SIZE);
        Check(memchr(url, '/', n) == nullptr);
        if (kind == URL_FOLDER) Check(LastFolderAsked && strcmp(LastFolderAsked, url) == 0);
    } else {
        Check(memcmp(url, before, bufSize) == 0);
        if (kind == URL_WEB) Check(len >= 5 && memcmp(before, "http:", 5) == 0);
    }
    free(url);
    free(before);
    return 0;
}
