// Tests of the conversion of Explorer location URLs into paths, with a fake
// UTF-8 converter that knows a few characters and a fake folder test.
#include <gtest/gtest.h>
#include <string.h>

#include <set>
#include <string>

#include "common/urlpath.h"

namespace {

// UTF-8 -> code page 932 for a handful of characters; anything else has no form.
struct FakeConverter {
    std::set<std::string> folders;
    int calls = 0;

    static int ToAnsi(void* ctx, const char* utf8, size_t len, char* dst, size_t dstSize) {
        static const struct {
            const char* utf8;
            const char* sjis;
        } kMap[] = {
            {"\xE6\xA4\x9C", "\x8C\x9F"},  // 検
            {"\xE7\xB4\xA2", "\x8D\xF5"},  // 索
            {"\xE8\xA1\xA8", "\x95\x5C"},  // 表 (trail byte "\")
            {"\xC3\x97", "\x81\x7E"},      // ×
        };
        FakeConverter* f = (FakeConverter*)ctx;
        f->calls++;
        size_t w = 0;
        for (size_t r = 0; r < len;) {
            bool found = false;
            for (const auto& m : kMap) {
                size_t n = strlen(m.utf8);
                if (r + n <= len && memcmp(utf8 + r, m.utf8, n) == 0) {
                    if (w + 2 >= dstSize) return -1;
                    memcpy(dst + w, m.sjis, 2);
                    w += 2;
                    r += n;
                    found = true;
                    break;
                }
            }
            if (!found) return -1;
        }
        dst[w] = '\0';
        return (int)w;
    }
    static bool IsFolder(void* ctx, const char* path) {
        return ((FakeConverter*)ctx)->folders.count(path) != 0;
    }
    UrlPathHost host = {ToAnsi, IsFolder, this};
};

TEST(UrlToPath, Conversions) {
    struct Case {
        const char* url;
        int result;
        const char* path;  // the buffer afterwards
    } cases[] = {
        // schemes
        {"http://example.com/a", URL_WEB, "http://example.com/a"},
        {"https://example.com/", URL_NOT_FILE, "https://example.com/"},
        {"ftp://x/", URL_NOT_FILE, "ftp://x/"},
        {"shell:::{20D04FE0}", URL_NOT_FILE, "shell:::{20D04FE0}"},
        {"FILE:///C:/x", URL_NOT_FILE, "FILE:///C:/x"},
        {"", URL_NOT_FILE, ""},
        {"file", URL_NOT_FILE, "file"},
        // drive and server forms
        {"file:///C:/Windows/notepad.exe", URL_FILE, "C:\\Windows\\notepad.exe"},
        {"file://server/share/x", URL_FILE, "\\\\server\\share\\x"},
        {"file:", URL_NOT_FILE, "file:"},  // no path at all
        {"file://", URL_FILE, "\\\\"},
        // escapes
        {"file:///C:/My%20Files", URL_FILE, "C:\\My Files"},
        {"file:///C:/a%23b/c#d", URL_FILE, "C:\\a#b\\c#d"},
        {"file:///C:/100%25/x", URL_FILE, "C:\\100%\\x"},
        {"file:///C:/%7e%7E", URL_FILE, "C:\\~~"},
        {"file:///C:/a%2Fb", URL_FILE, "C:\\a\\b"},
        // "%" without two hex digits stays
        {"file:///C:/50%/x%2", URL_FILE, "C:\\50%\\x%2"},
        {"file:///C:/%zz%4", URL_FILE, "C:\\%zz%4"},
        // UTF-8 escapes become code page 932
        {"file:///C:/%E6%A4%9C%E7%B4%A2", URL_FILE, "C:\\\x8C\x9F\x8D\xF5"},
        {"file:///C:/%e6%a4%9c%20%C3%97.txt", URL_FILE, "C:\\\x8C\x9F \x81\x7E.txt"},
        {"file:///C:/%E8%A1%A8/x", URL_FILE, "C:\\\x95\x5C\\x"},
        // code page 932 text in the URL itself is copied whole ("表" ends in "\")
        {"file:///C:/\x95\x5C/x", URL_FILE, "C:\\\x95\x5C\\x"},
        // no code page 932 form: left out
        {"file:///C:/%F0%9F%98%80", URL_NOT_FILE, "file:///C:/%F0%9F%98%80"},
        // not UTF-8: left out
        {"file:///C:/%E6%A4", URL_NOT_FILE, "file:///C:/%E6%A4"},
        {"file:///C:/%E6%A4x", URL_NOT_FILE, "file:///C:/%E6%A4x"},
        {"file:///C:/%C0%AF", URL_NOT_FILE, "file:///C:/%C0%AF"},          // overlong "/"
        {"file:///C:/%ED%A0%80", URL_NOT_FILE, "file:///C:/%ED%A0%80"},    // surrogate
        {"file:///C:/%81%5C", URL_NOT_FILE, "file:///C:/%81%5C"},          // escaped Shift-JIS
        // escaped control bytes would cut or bend the path
        {"file:///C:/a%00b", URL_NOT_FILE, "file:///C:/a%00b"},
        {"file:///C:/a%0D%0Ab", URL_NOT_FILE, "file:///C:/a%0D%0Ab"},
    };
    for (const Case& c : cases) {
        FakeConverter f;
        char buf[URL_PATH_SIZE];
        strcpy(buf, c.url);
        EXPECT_EQ(UrlToPath(buf, sizeof buf, &f.host), c.result) << c.url;
        EXPECT_STREQ(buf, c.path) << c.url;
    }
}

TEST(UrlToPath, FolderOrFile) {
    FakeConverter f;
    f.folders = {"C:\\Data", "C:\\\x8C\x9F"};
    struct Case {
        const char* url;
        int result;
    } cases[] = {
        {"file:///C:/Data", URL_FOLDER},
        {"file:///C:/Data/a.txt", URL_FILE},
        {"file:///C:/%E6%A4%9C", URL_FOLDER},
        {"file:///C:/data", URL_FILE},  // the fake is case-sensitive
    };
    for (const Case& c : cases) {
        char buf[URL_PATH_SIZE];
        strcpy(buf, c.url);
        EXPECT_EQ(UrlToPath(buf, sizeof buf, &f.host), c.result) << c.url;
    }
    // Without a folder test nothing is a folder.
    UrlPathHost plain = {FakeConverter::ToAnsi, nullptr, &f};
    char buf[URL_PATH_SIZE] = "file:///C:/Data";
    EXPECT_EQ(UrlToPath(buf, sizeof buf, &plain), URL_FILE);
    EXPECT_STREQ(buf, "C:\\Data");
}

TEST(UrlToPath, WithoutConverterOnlyAscii) {
    UrlPathHost host = {nullptr, nullptr, nullptr};
    char ascii[URL_PATH_SIZE] = "file:///C:/My%20Files";
    EXPECT_EQ(UrlToPath(ascii, sizeof ascii, &host), URL_FILE);
    EXPECT_STREQ(ascii, "C:\\My Files");
    char wide[URL_PATH_SIZE] = "file:///C:/%E6%A4%9C";
    EXPECT_EQ(UrlToPath(wide, sizeof wide, &host), URL_NOT_FILE);
    EXPECT_STREQ(wide, "file:///C:/%E6%A4%9C");
    char none[URL_PATH_SIZE] = "file:///C:/x%20y";
    EXPECT_EQ(UrlToPath(none, sizeof none, nullptr), URL_FILE);
    EXPECT_STREQ(none, "C:\\x y");
}

TEST(UrlToPath, Bounds) {
    // A path of 260 bytes fits the buffer; one of 261 is refused, not cut.
    struct Case {
        std::string url;
        size_t bufSize;
        int result;
        size_t pathLen;
    } cases[] = {
        {"file:///C:/" + std::string(257, 'a'), 400, URL_FILE, 260},
        {"file:///C:/" + std::string(258, 'a'), 400, URL_NOT_FILE, 0},
        // escapes shrink: 257 bytes written as 771 characters still fit
        {"", 1000, URL_FILE, 260},
        // a buffer smaller than the path the URL gives
        {"file:///C:/abc", 9, URL_NOT_FILE, 0},
        {"file:///C:/ab", 14, URL_FILE, 5},
    };
    cases[2].url = "file:///C:/";
    for (int i = 0; i < 257; i++) cases[2].url += "%41";  // "A"
    for (const Case& c : cases) {
        FakeConverter f;
        std::string buf = c.url;
        buf.resize(c.bufSize > buf.size() + 1 ? c.bufSize : buf.size() + 1, '\0');
        int r = UrlToPath(&buf[0], c.bufSize, &f.host);
        if (c.bufSize < c.url.size() + 1) {
            // The URL was never terminated inside the buffer it was given.
            EXPECT_EQ(r, URL_NOT_FILE);
            continue;
        }
        EXPECT_EQ(r, c.result) << c.url.size();
        if (r == URL_FILE) {
            EXPECT_EQ(strlen(buf.c_str()), c.pathLen);
        } else {
            EXPECT_EQ(std::string(buf.c_str()), c.url);
        }
    }
    // A converter that claims more than the buffer is not trusted.
    UrlPathHost liar = {[](void*, const char*, size_t, char*, size_t dstSize) {
                            return (int)dstSize;
                        },
                        nullptr, nullptr};
    char buf[URL_PATH_SIZE] = "file:///C:/%E6%A4%9C";
    EXPECT_EQ(UrlToPath(buf, sizeof buf, &liar), URL_NOT_FILE);
    EXPECT_STREQ(buf, "file:///C:/%E6%A4%9C");
}

TEST(Utf8CharLength, Forms) {
    struct Case {
        const char* bytes;
        size_t avail;
        size_t len;
    } cases[] = {
        {"A", 1, 1},
        {"\xC3\x97", 2, 2},
        {"\xE6\xA4\x9C", 3, 3},
        {"\xF0\x9F\x98\x80", 4, 4},
        {"\xE6\xA4\x9C", 2, 0},         // cut short
        {"\xC1\x81", 2, 0},             // overlong
        {"\xE0\x80\xAF", 3, 0},         // overlong
        {"\xED\xA0\x80", 3, 0},         // surrogate
        {"\xF4\x90\x80\x80", 4, 0},     // above U+10FFFF
        {"\x80", 1, 0},                 // continuation byte alone
        {"\xE6\x41\x9C", 3, 0},         // broken continuation
    };
    for (const Case& c : cases)
        EXPECT_EQ(Utf8CharLength((const unsigned char*)c.bytes, c.avail), c.len) << c.bytes;
}

}  // namespace
