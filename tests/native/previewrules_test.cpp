// Tests of the preview's pure rules: the picture fit and centring, the text head
// (sizes, text test, encodings, broken characters, conversion) and the direct
// bitmap reader over crafted files.
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "launcher/preview/previewrules.h"

namespace {

typedef std::vector<unsigned char> Bytes;

Bytes B(const std::string& s) { return Bytes(s.begin(), s.end()); }

// ---------------------------------------------------------------------------
// Picture fit.

struct FitCase {
    uint32_t picW, picH, boxW, boxH;
    int32_t x, y, w, h;
};

TEST(PreviewFit, FitsTheLongerSideAndCentres) {
    const FitCase cases[] = {
        {1000, 500, 250, 250, 0, 62, 250, 125},  // wide, larger than the box
        {100, 400, 250, 250, 94, 0, 62, 250},    // tall: 62.5 truncated
        {200, 100, 250, 250, 25, 75, 200, 100},  // smaller: unscaled, centred
        {400, 300, 250, 100, 0, 0, 250, 187},    // only the width is fitted
        {200, 150, 250, 100, 25, 0, 200, 150},   // wide, narrower than the box: kept
        {250, 250, 250, 250, 0, 0, 250, 250},    // square, exactly the box
        {300, 300, 250, 250, 0, 0, 250, 250},    // square, larger
        {1, 1, 250, 250, 124, 124, 1, 1},
        {0, 100, 250, 250, 0, 0, 0, 0},  // empty picture
        {100, 0, 250, 250, 0, 0, 0, 0},
        {100, 100, 0, 250, 0, 0, 0, 0},  // empty box
        {100, 100, 250, 0, 0, 0, 0, 0},
        {4294967295u, 1, 250, 250, 0, 125, 250, 0},  // huge sizes
        {1, 4294967295u, 250, 250, 125, 0, 0, 250},
        {4294967295u, 4294967295u, 250, 250, 0, 0, 250, 250},
        {100, 50, 4294967295u, 4294967295u, 1073741773, 1073741798, 100, 50},
        {3000000000u, 2000000000u, 4294967295u, 4294967295u, 0, 357913941, 2147483647,
         1431655764},
    };
    for (const FitCase& c : cases) {
        PictureFit f = FitPicture(c.picW, c.picH, c.boxW, c.boxH);
        SCOPED_TRACE(testing::Message() << c.picW << "x" << c.picH << " in " << c.boxW << "x"
                                        << c.boxH);
        EXPECT_EQ(c.x, f.x);
        EXPECT_EQ(c.y, f.y);
        EXPECT_EQ(c.w, f.width);
        EXPECT_EQ(c.h, f.height);
    }
}

TEST(PreviewFit, ExtentOfNegativeHeightIsItsMagnitude) {
    EXPECT_EQ(5u, PictureExtent(5));
    EXPECT_EQ(1u, PictureExtent(-1));
    EXPECT_EQ(2147483648u, PictureExtent(INT32_MIN));
    // A top-down 100 x -400 picture is fitted like a 100 x 400 one.
    PictureFit f = FitPicture(100, PictureExtent(-400), 250, 250);
    EXPECT_EQ(62, f.width);
    EXPECT_EQ(250, f.height);
}

// ---------------------------------------------------------------------------
// Text head.

TEST(PreviewText, ReadCountAndTextSize) {
    EXPECT_EQ(2048u, PreviewReadCount(500));  // plug-ins are owed 2 KB whatever rsize
    EXPECT_EQ(2048u, PreviewReadCount(2000));
    EXPECT_EQ(10000u, PreviewReadCount(10000));
    EXPECT_EQ(100u, PreviewTextSize(100, 2000));  // a short file: all of it
    EXPECT_EQ(500u, PreviewTextSize(2000, 500));  // a long one: rsize
    EXPECT_EQ(0u, PreviewTextSize(0, 2000));
}

TEST(PreviewText, TextTestLooksAtTheFirstThousandBytes) {
    struct Case {
        size_t size;
        long zeroAt;  // -1: none
        std::string start;
        bool text;
    };
    const Case cases[] = {
        {0, -1, "", true},             // empty file: empty text
        {100, -1, "", true},           // plain text
        {2000, 1500, "", true},        // a 0 beyond the probe
        {2000, 999, "", false},        // a 0 inside it
        {2000, 1000, "", true},        // first byte beyond it
        {600, 3, "\xFF\xFE", true},    // UTF-16 marks count as text
        {600, 3, "\xFE\xFF", true},
        {600, 3, "\xEF\xBB\xBF", false},  // a UTF-8 mark does not excuse a 0
        {2, -1, "MZ", true},
    };
    for (const Case& c : cases) {
        Bytes head(c.size + 10, 'a');
        memcpy(head.data(), c.start.data(), c.start.size());
        if (c.zeroAt >= 0) head[c.zeroAt] = 0;
        EXPECT_EQ(c.text, IsPreviewText(head.data(), c.size)) << c.size << " " << c.zeroAt;
    }
}

TEST(PreviewText, ExecutablesAndHelpFilesAreExcluded) {
    const struct {
        const char* head;
        bool excluded;
    } cases[] = {{"MZ\x90", true}, {"?_\x03", true}, {"ITSF\x03", true}, {"ITS", false},
                 {"BM", false},    {"M", false},     {"mz", false},       {"", false}};
    for (const auto& c : cases)
        EXPECT_EQ(c.excluded, IsExcludedHead((const unsigned char*)c.head, strlen(c.head)))
            << c.head;
}

struct FakeUnicodeTest {
    int answer;
    size_t seenSize;
    int calls;
};

int AnswerUnicodeTest(const unsigned char*, size_t size, void* ctx) {
    FakeUnicodeTest* t = (FakeUnicodeTest*)ctx;
    t->seenSize = size;
    t->calls++;
    return t->answer;
}

TEST(PreviewText, EncodingFromMarkOrUnicodeTest) {
    const struct {
        std::string head;
        int answer;
        int encoding;
        bool asked;
    } cases[] = {
        {"\xFF\xFE" "a\0", 0x1020, TEXT_UTF16LE, false},  // the mark wins
        {"\xFE\xFF\0a", 0x1002, TEXT_UTF16BE, false},
        {"\xEF\xBB\xBF" "a", 0x1002, TEXT_UTF8, false},
        {"abcd", 0x1002, TEXT_UTF16LE, true},  // exactly NULL_BYTES | STATISTICS
        {"abcd", 0x1020, TEXT_UTF16BE, true},  // exactly NULL_BYTES | REVERSE_STATISTICS
        {"abcd", 0x1022, TEXT_ANSI, true},     // anything else
        {"abcd", 0x0002, TEXT_ANSI, true},
        {"abcd", 0x0020, TEXT_ANSI, true},
        {"abcd", 0, TEXT_ANSI, true},
    };
    for (const auto& c : cases) {
        FakeUnicodeTest t = {c.answer, 0, 0};
        Bytes head = B(c.head);
        EXPECT_EQ(c.encoding,
                  DecideTextEncoding(head.data(), head.size(), AnswerUnicodeTest, &t));
        EXPECT_EQ(c.asked ? 1 : 0, t.calls);
        if (c.asked) {
            EXPECT_EQ(head.size(), t.seenSize);
        }
    }
    const unsigned char plain[] = "abcd";
    EXPECT_EQ(TEXT_ANSI, DecideTextEncoding(plain, 4, nullptr, nullptr));
}

TEST(PreviewText, BrokenLeadByteAtTheEndIsDropped) {
    const struct {
        std::string text;
        size_t len;
    } cases[] = {
        {"abc", 3},
        {"", 0},
        {"ab\x82", 2},                    // cut after a lead byte
        {"\x82", 0},                      // even at the very start
        {"\x88\xEA", 2},                  // 一: its trail byte is in the lead range
        {"ab\x88\xEA", 4},
        {"ab\x88\xEA\x82", 4},
        {"\x82\xA0\x82\xA0\x82", 4},      // あ あ + half
        {"abc\x82\x82", 5},               // a whole character of two lead-range bytes
        {"a\xA0\x82", 2},                 // half-width kana, then a half
        {"\x8A\xBF\x8E", 2},              // 漢 + the first byte of 字
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.len, TrimBrokenLeadByte(c.text.data(), c.text.size())) << c.text;
}

// Fake code page 932 converter: ASCII as is, あ and 一 as their two bytes, a
// surrogate pair as "#", anything else as "?". Fails when out is too small.
int FakeToAnsi(const uint16_t* wide, size_t count, char* out, size_t outSize, void* ctx) {
    if (ctx) ++*(int*)ctx;
    std::string s;
    for (size_t i = 0; i < count; i++) {
        uint16_t u = wide[i];
        if (u < 0x80)
            s += (char)u;
        else if (u == 0x3042)
            s += "\x82\xA0";
        else if (u == 0x4E00)
            s += "\x88\xEA";
        else if (u >= 0xD800 && u <= 0xDBFF && i + 1 < count && wide[i + 1] >= 0xDC00 &&
                 wide[i + 1] <= 0xDFFF)
            s += '#', i++;
        else
            s += '?';
    }
    if (s.size() > outSize) return -1;
    memcpy(out, s.data(), s.size());
    return (int)s.size();
}

std::string Shown(const std::string& head, size_t size, int encoding, size_t outSize = 0,
                  int* result = nullptr) {
    Bytes h = B(head);
    h.resize(head.size() + 10, 0);  // the zero-filled spare bytes of the head
    if (outSize == 0) outSize = PreviewTextBufferSize(size);
    std::vector<char> out(outSize, 'x');
    int r = MakePreviewText(h.data(), size, encoding, FakeToAnsi, nullptr, out.data(), outSize);
    if (result) *result = r;
    if (r < 0) return "<none>";
    EXPECT_EQ((size_t)r, strlen(out.data()));
    return std::string(out.data(), r);
}

TEST(PreviewText, ShownTextPerEncoding) {
    const struct {
        std::string head;
        int encoding;
        std::string shown;
    } cases[] = {
        {"hello", TEXT_ANSI, "hello"},
        {std::string("ab\0cd", 5), TEXT_ANSI, "ab"},
        {"ab\x82", TEXT_ANSI, "ab"},
        {"\x82\xA0\x88\xEA", TEXT_ANSI, "\x82\xA0\x88\xEA"},
        {std::string("\xFF\xFE" "A\0" "\x42\x30", 6), TEXT_UTF16LE, "A\x82\xA0"},
        {std::string("\xFE\xFF\0A" "\x30\x42", 6), TEXT_UTF16BE, "A\x82\xA0"},  // mark skipped
        {std::string("A\0B\0", 4), TEXT_UTF16LE, "AB"},          // no mark
        {std::string("\0A\0B", 4), TEXT_UTF16BE, "AB"},
        {std::string("A\0B", 3), TEXT_UTF16LE, "A"},             // odd byte at the cut
        {std::string("A\0\0\0B\0", 6), TEXT_UTF16LE, "A"},       // stops at a 0 unit
        {std::string("A\0\x3D\xD8", 4), TEXT_UTF16LE, "A"},      // high surrogate at the cut
        {std::string("\x3D\xD8\x00\xDE", 4), TEXT_UTF16LE, "#"},  // a pair
        {std::string("\x00\x4E", 2), TEXT_UTF16LE, "\x88\xEA"},
        {"\xEF\xBB\xBF" "A\xE3\x81\x82", TEXT_UTF8, "A\x82\xA0"},
        {"\xEF\xBB\xBF" "A\xE3\x81", TEXT_UTF8, "A"},          // cut inside a character
        {"\xEF\xBB\xBF" "A\xFF" "B", TEXT_UTF8, "A?B"},        // invalid byte
        {"\xEF\xBB\xBF\xF0\x9F\x98\x80", TEXT_UTF8, "#"},      // outside the BMP
        {"\xEF\xBB\xBF\xC0\xAF", TEXT_UTF8, "??"},             // overlong
        {"\xEF\xBB\xBF\xE0\x80\x80", TEXT_UTF8, "???"},
        {"\xEF\xBB\xBF\xED\xA0\x80", TEXT_UTF8, "???"},        // encoded surrogate
        {"\xEF\xBB\xBF\xE3\x81" "A", TEXT_UTF8, "?A"},         // broken in the middle
        {std::string("\xEF\xBB\xBF" "A\0B", 6), TEXT_UTF8, "A"},
        {"", TEXT_ANSI, ""},
        {"", TEXT_UTF16LE, ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.shown, Shown(c.head, c.head.size(), c.encoding)) << c.head;
}

TEST(PreviewText, ReadLimitCutsAndBrokenCharacterGoes) {
    // rsize falls between the two bytes of 字 (8E 9A): the lead byte is not shown.
    std::string file = "\x8A\xBF\x8E\x9A";
    size_t size = PreviewTextSize(file.size(), 3);
    EXPECT_EQ("\x8A\xBF", Shown(file, size, TEXT_ANSI));
    // The ANSI text is cut to the buffer, then trimmed.
    EXPECT_EQ("ab", Shown("ab\x82\xA0", 4, TEXT_ANSI, 4));
}

TEST(PreviewText, FailuresMeanNoPreview) {
    int r = 0;
    std::string utf16("A\0B\0C\0", 6);
    EXPECT_EQ("<none>", Shown(utf16, 6, TEXT_UTF16LE, 3, &r));  // converted text too long
    EXPECT_EQ(-1, r);
    EXPECT_EQ("<none>", Shown("abc", 3, 7, 0, &r));  // unknown encoding
    EXPECT_EQ(-1, r);
    unsigned char head[16] = "A\0B\0";
    char out[16];
    EXPECT_EQ(-1, MakePreviewText(head, 4, TEXT_UTF16LE, nullptr, nullptr, out, sizeof out));
    EXPECT_EQ('\0', out[0]);
    EXPECT_EQ(-1, MakePreviewText(head, 4, TEXT_ANSI, FakeToAnsi, nullptr, out, 0));
}

TEST(PreviewText, LongTextIsConvertedInChunksWithoutSplittingPairs) {
    // 511 units, then a pair that straddles the first chunk, then more text.
    std::string head;
    for (int i = 0; i < 511; i++) head += std::string("A\0", 2);
    head += std::string("\x3D\xD8\x00\xDE", 4);
    for (int i = 0; i < 1000; i++) head += std::string("B\0", 2);
    Bytes h = B(head);
    size_t outSize = PreviewTextBufferSize(h.size());
    std::vector<char> out(outSize);
    int calls = 0;
    int r = MakePreviewText(h.data(), h.size(), TEXT_UTF16LE, FakeToAnsi, &calls, out.data(),
                            outSize);
    ASSERT_EQ(511 + 1 + 1000, r);
    EXPECT_EQ(std::string(511, 'A') + "#" + std::string(1000, 'B'), std::string(out.data(), r));
    EXPECT_GT(calls, 1);
}

// ---------------------------------------------------------------------------
// Bitmap reader.

void Put16(Bytes& b, size_t at, uint32_t v) {
    b[at] = (unsigned char)v;
    b[at + 1] = (unsigned char)(v >> 8);
}
void Put32(Bytes& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) b[at + i] = (unsigned char)(v >> (8 * i));
}

// A well-formed bitmap: headers, masks or colour table, padded rows.
Bytes MakeBmp(uint32_t bits, int32_t width, int32_t height, uint32_t compression = BMP_RGB,
              uint32_t clrUsed = 0) {
    uint32_t colors = bits <= 8 ? (clrUsed ? clrUsed : 1u << bits) : clrUsed;
    uint32_t table = (compression == BMP_BITFIELDS ? 12 : 0) + 4 * colors;
    uint32_t rows = height < 0 ? (uint32_t)-height : (uint32_t)height;
    uint32_t pixels = ((uint32_t)width * bits + 31) / 32 * 4 * rows;
    uint32_t off = 54 + table;
    Bytes b(off + pixels, 0x5A);
    b[0] = 'B', b[1] = 'M';
    Put32(b, 2, (uint32_t)b.size());
    Put32(b, 6, 0);
    Put32(b, 10, off);
    Put32(b, 14, 40);
    Put32(b, 18, (uint32_t)width);
    Put32(b, 22, (uint32_t)height);
    Put16(b, 26, 1);
    Put16(b, 28, bits);
    Put32(b, 30, compression);
    Put32(b, 34, pixels);
    Put32(b, 46, clrUsed);
    Put32(b, 50, 0);
    return b;
}

TEST(PreviewBitmap, ValidBitmapsGiveTheirPieces) {
    const struct {
        const char* name;
        Bytes file;
        uint32_t colorCount;
        size_t tableBytes;
        size_t pixelBytes;
        uint32_t width, height;
        bool topDown;
    } cases[] = {
        {"1-bit", MakeBmp(1, 3, 2), 2, 8, 8, 3, 2, false},
        {"4-bit", MakeBmp(4, 5, 3), 16, 64, 12, 5, 3, false},
        {"8-bit", MakeBmp(8, 3, 3), 256, 1024, 12, 3, 3, false},
        {"8-bit, 4 colours", MakeBmp(8, 3, 3, BMP_RGB, 4), 4, 16, 12, 3, 3, false},
        {"16-bit masks", MakeBmp(16, 3, 1, BMP_BITFIELDS), 0, 12, 8, 3, 1, false},
        {"16-bit", MakeBmp(16, 2, 2), 0, 0, 8, 2, 2, false},
        {"24-bit", MakeBmp(24, 3, 2), 0, 0, 24, 3, 2, false},
        {"24-bit, optional table", MakeBmp(24, 3, 2, BMP_RGB, 2), 0, 8, 24, 3, 2, false},
        {"32-bit", MakeBmp(32, 2, 2), 0, 0, 16, 2, 2, false},
        {"32-bit masks", MakeBmp(32, 2, 2, BMP_BITFIELDS), 0, 12, 16, 2, 2, false},
        {"top-down", MakeBmp(24, 2, -3), 0, 0, 24, 2, 3, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        BmpView v;
        ASSERT_EQ(BMP_OK, ReadBitmapBlock(c.file.data(), c.file.size(), &v));
        EXPECT_EQ(c.colorCount, v.colorCount);
        EXPECT_EQ(c.tableBytes, v.tableBytes);
        EXPECT_EQ(c.pixelBytes, v.pixelBytes);
        EXPECT_EQ(c.width, v.width);
        EXPECT_EQ(c.height, v.height);
        EXPECT_EQ(c.topDown, v.topDown);
        EXPECT_EQ(c.file.data() + 54, v.table);
        EXPECT_EQ(54 + c.tableBytes, v.pixelOffset);
        EXPECT_EQ(c.file.data() + v.pixelOffset, v.pixels);
        EXPECT_LE(v.pixelOffset + v.pixelBytes, c.file.size());
        EXPECT_EQ(40u, v.info.size);
    }
}

TEST(PreviewBitmap, ColourCountIsNormalised) {
    Bytes b = MakeBmp(8, 2, 2);
    Put32(b, 46, 300);  // more than 8 bits can index
    Put32(b, 50, 400);
    BmpView v;
    ASSERT_EQ(BMP_OK, ReadBitmapBlock(b.data(), b.size(), &v));
    EXPECT_EQ(256u, v.colorCount);
    EXPECT_EQ(256u, v.info.clrUsed);
    EXPECT_EQ(0u, v.info.clrImportant);
}

TEST(PreviewBitmap, RunLengthEncodedUsesItsStoredSize) {
    Bytes b = MakeBmp(8, 4, 4, BMP_RLE8, 2);  // table 8 bytes, room for 16 pixel bytes
    Put32(b, 34, 6);
    BmpView v;
    ASSERT_EQ(BMP_OK, ReadBitmapBlock(b.data(), b.size(), &v));
    EXPECT_EQ(6u, v.pixelBytes);
    Put32(b, 34, 0);
    EXPECT_EQ(BMP_BAD_PIXEL_SIZE, ReadBitmapBlock(b.data(), b.size(), &v));
    Put32(b, 34, 17);
    EXPECT_EQ(BMP_BAD_PIXEL_SIZE, ReadBitmapBlock(b.data(), b.size(), &v));
}

typedef void (*Damage)(Bytes& b);

TEST(PreviewBitmap, DamagedFilesAreNoPreview) {
    const struct {
        const char* name;
        Bytes file;
        Damage damage;
        int result;
    } cases[] = {
        {"truncated pixels", MakeBmp(24, 3, 2), [](Bytes& b) { b.pop_back(); },
         BMP_BAD_PIXEL_SIZE},
        {"shorter than the headers", MakeBmp(24, 3, 2), [](Bytes& b) { b.resize(53); },
         BMP_TOO_SHORT},
        {"no BM", MakeBmp(24, 3, 2), [](Bytes& b) { b[1] = 'A'; }, BMP_NOT_BITMAP},
        {"header of 108", MakeBmp(24, 3, 2), [](Bytes& b) { Put32(b, 14, 108); },
         BMP_BAD_HEADER},
        {"header of 12", MakeBmp(24, 3, 2), [](Bytes& b) { Put32(b, 14, 12); }, BMP_BAD_HEADER},
        {"0 bits", MakeBmp(24, 3, 2), [](Bytes& b) { Put16(b, 28, 0); }, BMP_BAD_BIT_COUNT},
        {"2 bits", MakeBmp(24, 3, 2), [](Bytes& b) { Put16(b, 28, 2); }, BMP_BAD_BIT_COUNT},
        {"7 bits", MakeBmp(24, 3, 2), [](Bytes& b) { Put16(b, 28, 7); }, BMP_BAD_BIT_COUNT},
        {"64 bits", MakeBmp(24, 3, 2), [](Bytes& b) { Put16(b, 28, 64); }, BMP_BAD_BIT_COUNT},
        {"65535 bits", MakeBmp(24, 3, 2), [](Bytes& b) { Put16(b, 28, 0xFFFF); },
         BMP_BAD_BIT_COUNT},
        {"JPEG inside", MakeBmp(24, 3, 2), [](Bytes& b) { Put32(b, 30, 4); },
         BMP_BAD_COMPRESSION},
        {"masks at 24 bits", MakeBmp(24, 3, 2), [](Bytes& b) { Put32(b, 30, BMP_BITFIELDS); },
         BMP_BAD_COMPRESSION},
        {"RLE8 at 4 bits", MakeBmp(4, 3, 2), [](Bytes& b) { Put32(b, 30, BMP_RLE8); },
         BMP_BAD_COMPRESSION},
        {"RLE top-down", MakeBmp(8, 3, -2, BMP_RLE8, 2), nullptr, BMP_BAD_DIMENSIONS},
        {"width 0", MakeBmp(24, 3, 2), [](Bytes& b) { Put32(b, 18, 0); }, BMP_BAD_DIMENSIONS},
        {"negative width", MakeBmp(24, 3, 2), [](Bytes& b) { Put32(b, 18, (uint32_t)-3); },
         BMP_BAD_DIMENSIONS},
        {"height 0", MakeBmp(24, 3, 2), [](Bytes& b) { Put32(b, 22, 0); }, BMP_BAD_DIMENSIONS},
        {"offset beyond the file", MakeBmp(24, 3, 2),
         [](Bytes& b) { Put32(b, 10, 0xFFFFFFFF); }, BMP_BAD_PIXEL_OFFSET},
        {"offset inside the headers", MakeBmp(24, 3, 2), [](Bytes& b) { Put32(b, 10, 10); },
         BMP_BAD_PIXEL_OFFSET},
        {"offset at the end", MakeBmp(24, 3, 2),
         [](Bytes& b) { Put32(b, 10, (uint32_t)b.size()); }, BMP_BAD_PIXEL_SIZE},
        {"colour table cut", MakeBmp(8, 3, 2), [](Bytes& b) { b.resize(54 + 100); },
         BMP_BAD_COLOR_TABLE},
        {"huge optional table", MakeBmp(24, 3, 2),
         [](Bytes& b) { Put32(b, 46, 0xFFFFFFFF); }, BMP_BAD_COLOR_TABLE},
        {"huge width and height", MakeBmp(32, 2, 2),
         [](Bytes& b) { Put32(b, 18, 0x7FFFFFFF), Put32(b, 22, 0x7FFFFFFF); },
         BMP_BAD_PIXEL_SIZE},
        {"huge 1-bit rows, INT32_MIN height", MakeBmp(1, 2, 2),
         [](Bytes& b) { Put32(b, 18, 0x7FFFFFFF), Put32(b, 22, 0x80000000u); },
         BMP_BAD_PIXEL_SIZE},
        {"one row too many", MakeBmp(24, 3, 2), [](Bytes& b) { Put32(b, 22, 3); },
         BMP_BAD_PIXEL_SIZE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = c.file;
        if (c.damage) c.damage(b);
        // An exact-size copy, so a read past the end is caught by the sanitizer.
        std::vector<unsigned char> exact(b.begin(), b.end());
        BmpView v;
        memset(&v, 0xCC, sizeof v);
        EXPECT_EQ(c.result, ReadBitmapBlock(exact.data(), exact.size(), &v));
        EXPECT_EQ(nullptr, v.pixels);
        EXPECT_EQ(0u, v.pixelBytes);
    }
    BmpView v;
    EXPECT_EQ(BMP_TOO_SHORT, ReadBitmapBlock(nullptr, 100, &v));
}

TEST(PreviewBitmap, RowBytesAndFileSizeLimits) {
    const struct {
        uint32_t width, bits, bytes;
    } rows[] = {{1, 1, 4},   {32, 1, 4},  {33, 1, 8},          {3, 24, 12},
                {1, 32, 4},  {5, 4, 4},   {0x7FFFFFFF, 1, 268435456},
                {0x7FFFFFFF, 32, 0},      {0xFFFFFFFF, 8, 0}};
    for (const auto& r : rows)
        EXPECT_EQ(r.bytes, BitmapRowBytes(r.width, r.bits)) << r.width << " " << r.bits;
    EXPECT_FALSE(BitmapFileSizeAcceptable(53));
    EXPECT_TRUE(BitmapFileSizeAcceptable(54));
    EXPECT_TRUE(BitmapFileSizeAcceptable(BMP_MAX_FILE_BYTES));
    EXPECT_FALSE(BitmapFileSizeAcceptable(BMP_MAX_FILE_BYTES + 1));
    EXPECT_FALSE(BitmapFileSizeAcceptable(UINT64_MAX));
}

}  // namespace

// A plug-in's picture is its two blocks: the information block (header and
// table, the file's bytes 14 to the pixels) and the pixel block.
TEST(PreviewBitmap, PluginPicturesAreCheckedLikeFiles) {
    const struct {
        const char* name;
        Bytes file;
        int infoCut;   // bytes taken off the information block
        int pixelCut;  // bytes taken off the pixel block
        Damage damage;
        int result;
    } cases[] = {
        {"24 bits whole", MakeBmp(24, 3, 2), 0, 0, nullptr, BMP_OK},
        {"8 bits with its table", MakeBmp(8, 5, -3), 0, 0, nullptr, BMP_OK},
        {"masks at 32 bits", MakeBmp(32, 2, 2, BMP_BITFIELDS), 0, 0, nullptr, BMP_OK},
        {"one pixel byte short", MakeBmp(24, 3, 2), 0, 1, nullptr, BMP_BAD_PIXEL_SIZE},
        {"table cut", MakeBmp(8, 3, 2), 4, 0, nullptr, BMP_BAD_COLOR_TABLE},
        {"masks cut", MakeBmp(16, 3, 2, BMP_BITFIELDS), 1, 0, nullptr, BMP_BAD_COLOR_TABLE},
        {"header of 12", MakeBmp(24, 3, 2), 0, 0, [](Bytes& b) { Put32(b, 14, 12); },
         BMP_BAD_HEADER},
        {"7 bits", MakeBmp(24, 3, 2), 0, 0, [](Bytes& b) { Put16(b, 28, 7); }, BMP_BAD_BIT_COUNT},
        {"height 0", MakeBmp(24, 3, 2), 0, 0, [](Bytes& b) { Put32(b, 22, 0); },
         BMP_BAD_DIMENSIONS},
        {"huge width", MakeBmp(32, 2, 2), 0, 0, [](Bytes& b) { Put32(b, 18, 0x7FFFFFFF); },
         BMP_BAD_PIXEL_SIZE},
        {"huge optional table", MakeBmp(24, 3, 2), 0, 0,
         [](Bytes& b) { Put32(b, 46, 0xFFFFFFFF); }, BMP_BAD_COLOR_TABLE},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes b = c.file;
        if (c.damage) c.damage(b);
        uint32_t off = (uint32_t)b[10] | (uint32_t)b[11] << 8;
        std::vector<unsigned char> info(b.begin() + 14, b.begin() + off - c.infoCut);
        std::vector<unsigned char> pixels(b.begin() + off, b.end() - c.pixelCut);
        BmpView v;
        memset(&v, 0xCC, sizeof v);
        EXPECT_EQ(c.result, CheckPluginPicture(info.data(), info.size(), pixels.data(),
                                               pixels.size(), &v));
        if (c.result == BMP_OK) {
            EXPECT_EQ(pixels.data(), v.pixels);
            EXPECT_EQ(0u, v.pixelOffset);
            EXPECT_EQ(info.data() + 40, v.table);
            EXPECT_EQ(info.size() - 40, v.tableBytes);
            EXPECT_EQ(pixels.size(), v.pixelBytes);
        } else {
            EXPECT_EQ(nullptr, v.pixels);
            EXPECT_EQ(0u, v.width);
        }
    }
    BmpView v;
    unsigned char small[39] = {0};
    EXPECT_EQ(BMP_TOO_SHORT, CheckPluginPicture(small, sizeof small, small, 1, &v));
    EXPECT_EQ(BMP_TOO_SHORT, CheckPluginPicture(nullptr, 40, small, 1, &v));
}
