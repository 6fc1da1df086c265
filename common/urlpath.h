// urlpath.h - turns the location URL of an Explorer window into a file-system
// path (code page 932). Pure: no windows.h; the UTF-8 conversion and the folder
// test are callbacks the caller supplies (on Windows MultiByteToWideChar /
// WideCharToMultiByte and DirectoryExists), so the rules run natively in tests.
#pragma once
#include <stddef.h>

// Results of UrlToPath.
enum UrlKind {
    URL_NOT_FILE = 0,  // not a file URL (or one without a code-page-932 path)
    URL_FILE = 1,      // a file URL; the path is no existing folder
    URL_WEB = 2,       // begins with "http:"
    URL_FOLDER = 4,    // a file URL naming an existing folder
};

// Longest path UrlToPath gives: 260 bytes and the NUL.
enum { URL_PATH_SIZE = 261 };

struct UrlPathHost {
    // Converts len bytes of UTF-8 text (only characters beyond ASCII, already
    // checked to be well-formed UTF-8) to code page 932 at dst (dstSize bytes,
    // NUL added). Returns the number of bytes written without the NUL, or -1 when
    // a character has no code-page-932 form or the result does not fit.
    // Null: such characters make the URL unusable.
    int (*utf8ToAnsi)(void* ctx, const char* utf8, size_t len, char* dst, size_t dstSize);
    // True when path names an existing folder. Null: never a folder.
    bool (*isFolder)(void* ctx, const char* path);
    void* ctx;
};

// Converts the URL in url (NUL-terminated, urlSize bytes of buffer) in place.
// "file:///C:/x" gives "C:\x", "file://server/share/x" gives "\\server\share\x":
// "/" becomes "\", every "%XX" escape is decoded (runs of escaped bytes beyond
// ASCII are UTF-8 and are converted to code page 932), a "%" without two hex
// digits stays as it is, double-byte characters are copied unchanged.
// Returns URL_FILE or URL_FOLDER with the path in url; otherwise url is left
// unchanged and the result is URL_WEB for "http:", or URL_NOT_FILE for any other
// scheme and for a file URL whose path cannot be given: an empty path, an escape of a control
// byte, bytes that are not UTF-8 or have no code-page-932 form, or a path
// longer than 260 bytes or than the buffer.
int UrlToPath(char* url, size_t urlSize, const UrlPathHost* host);

// Length of the well-formed UTF-8 character at p (at most avail bytes), or 0
// when the bytes there are not one (overlong forms, surrogates and code points
// above U+10FFFF included).
size_t Utf8CharLength(const unsigned char* p, size_t avail);
