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

// Plain decoder: the length of the well-formed character at p, or 0.
size_t Reference(const unsigned char* p, size_t avail) {
    if (avail == 0) return 0;
    unsigned c = p[0];
    size_t n;
    unsigned cp, min;
    if (c < 0x80) return 1;
    if (c >= 0xC0 && c < 0xE0) {
        n = 2, cp = c & 0x1F, min = 0x80;
    } else if (c >= 0xE0 && c < 0xF0) {
        n = 3, cp = c & 0x0F, min = 0x800;
    } else if (c >= 0xF0 && c < 0xF8) {
        n = 4, cp = c & 0x07, min = 0x10000;
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
