// previewrules.h - the pure rules of the preview window: how the head of a file is
// sniffed and turned into the shown text, how a picture is fitted and centred in
// the window, and the direct reader of Windows bitmaps over a block in memory.
// Pure (no windows.h, no allocation): the system calls the rules need (the
// Unicode test, UTF-16 to code page 932) come in as callbacks.
#pragma once
#include <stddef.h>
#include <stdint.h>

// ---------------------------------------------------------------------------
// Picture fit.

// Where and how large the picture is drawn in the preview box.
struct PictureFit {
    int32_t x, y;           // top-left corner inside the box
    int32_t width, height;  // drawn size
};

// Magnitude of a header dimension: a top-down bitmap has a negative height, and
// its size is the magnitude, never the value read as unsigned.
uint32_t PictureExtent(int32_t v);

// Fits a picW x picH picture into a boxW x boxH box. Only the longer side is
// fitted: a wide picture (picH < picW) at least as wide as the box becomes
// boxW x trunc(picH / (picW / boxW)); a tall or square one at least as high as the
// box becomes trunc(picW / (picH / boxH)) x boxH (quotients in double precision,
// truncated toward zero); else it stays as it is. So the other side may exceed the
// box. It is centred where it is smaller than the box: x = (boxW - width) / 2,
// else 0; y likewise. An empty picture or box draws nothing (all zero). Box sides
// above INT32_MAX count as INT32_MAX, so every result fits the drawing calls.
PictureFit FitPicture(uint32_t picW, uint32_t picH, uint32_t boxW, uint32_t boxH);

// ---------------------------------------------------------------------------
// Text head.

enum {
    PREVIEW_PLUGIN_HEAD = 2048,  // bytes of the head a plug-in may look at
    PREVIEW_PROBE = 1000,        // bytes searched for a 0 byte by the text test
};

// Text encodings of the head.
enum TextEncoding {
    TEXT_ANSI = 0,     // code page 932 bytes
    TEXT_UTF16LE = 1,  // UTF-16 little-endian
    TEXT_UTF16BE = 2,  // UTF-16 big-endian
    TEXT_UTF8 = 3,     // UTF-8 (recognised by its byte-order mark only)
};

// Bytes of the file read into the head: max(rsize, 2048). Plug-ins look for
// their signatures anywhere in the first 2 KB, so the head always covers them
// (zero-filled past the file's end); rsize only makes it larger.
uint32_t PreviewReadCount(uint32_t rsize);
// Bytes of the head that count as text: min(bytesRead, rsize).
size_t PreviewTextSize(size_t bytesRead, uint32_t rsize);

// Byte-order mark at the start of head (len bytes): TEXT_UTF16LE for FF FE,
// TEXT_UTF16BE for FE FF, TEXT_UTF8 for EF BB BF, else TEXT_ANSI.
int DetectTextBom(const unsigned char* head, size_t len);
// Length of the mark DetectTextBom found (0, 2 or 3).
size_t TextBomLength(int encoding);

// The text test over the text size: text when none of the first min(size, 1000)
// bytes is 0, or when the head starts with a UTF-16 byte-order mark. An empty
// head is (empty) text.
bool IsPreviewText(const unsigned char* head, size_t size);

// Heads that are never previewed nor handed to plug-ins: executables ("MZ"),
// help indexes ("?_") and compiled help files ("ITSF").
bool IsExcludedHead(const unsigned char* head, size_t len);

// The system's Unicode test (Windows: IsTextUnicode) over data with the tests
// IS_TEXT_UNICODE_STATISTICS | IS_TEXT_UNICODE_REVERSE_STATISTICS |
// IS_TEXT_UNICODE_NULL_BYTES (0x1022) asked for; returns the flags that came back.
typedef int (*UnicodeTestFn)(const unsigned char* data, size_t size, void* ctx);
enum { UNICODE_TESTS_ASKED = 0x1022 };

// The encoding the Unicode test's answer means: exactly 0x1002 (NULL_BYTES and
// STATISTICS) is UTF-16 little-endian, exactly 0x1020 (NULL_BYTES and
// REVERSE_STATISTICS) big-endian, anything else ANSI.
int EncodingFromUnicodeTest(int flags);

// Encoding of the head's first size bytes: the byte-order mark when there is
// one, else the Unicode test's answer (no test given: ANSI).
int DecideTextEncoding(const unsigned char* head, size_t size, UnicodeTestFn test, void* ctx);

// Drops the first byte of a double-byte character cut off at the end of text
// (len bytes, no NUL needed). Characters are walked from the start, so a whole
// character whose trail byte lies in the lead-byte range is kept. Returns the
// new length (len or len - 1).
size_t TrimBrokenLeadByte(const char* text, size_t len);

// UTF-16 to code page 932 (Windows: WideCharToMultiByte(932)): converts count
// units into out (outSize bytes, no NUL needed) and returns the bytes written, or
// -1 when the text does not fit or cannot be converted.
typedef int (*WideToAnsiFn)(const uint16_t* wide, size_t count, char* out, size_t outSize,
                            void* ctx);

// Size of the buffer MakePreviewText needs for a head of size bytes in any
// encoding (every byte gives at most one UTF-16 unit, every unit at most two
// code page 932 bytes; plus the NUL).
size_t PreviewTextBufferSize(size_t size);

// The text shown for the head's first size bytes in the given encoding, written
// to out (outSize bytes) and NUL-terminated; returns its length, or -1 when it
// cannot be made (conversion failed, out too small for the converted text; no
// preview then).
//  - ANSI: the bytes up to the first 0 byte, cut to outSize - 1, less a broken
//    double-byte character at the end.
//  - UTF-16: the mark skipped, whole 16-bit units up to the first 0 unit (a
//    big-endian head is byte-swapped), less a high surrogate cut off at the end,
//    converted through conv.
//  - UTF-8: the mark skipped, decoded up to the first 0 byte (a malformed
//    sequence becomes U+FFFD, a sequence cut off at the end is dropped),
//    converted through conv.
// No converter given: UTF-16 and UTF-8 heads fail.
int MakePreviewText(const unsigned char* head, size_t size, int encoding, WideToAnsiFn conv,
                    void* ctx, char* out, size_t outSize);

// ---------------------------------------------------------------------------
// Windows bitmap read directly.

#pragma pack(push, 1)
// The file header (BITMAPFILEHEADER), 14 bytes at the start of the file.
struct BmpFileHeader {
    uint16_t type;  // "BM"
    uint32_t size;
    uint16_t reserved1;
    uint16_t reserved2;
    uint32_t offBits;  // offset of the pixels from the start of the file
};
// The information header (BITMAPINFOHEADER), 40 bytes after the file header.
struct BmpInfoHeader {
    uint32_t size;
    int32_t width;
    int32_t height;  // negative: rows top-down
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};
// One colour-table entry (RGBQUAD).
struct BmpRgbQuad {
    uint8_t blue;
    uint8_t green;
    uint8_t red;
    uint8_t reserved;
};
#pragma pack(pop)

enum {
    BMP_FILE_HEADER_SIZE = 14,
    BMP_INFO_HEADER_SIZE = 40,
    BMP_RGB = 0,        // compression: none
    BMP_RLE8 = 1,       // 8 bits per pixel, run-length encoded
    BMP_RLE4 = 2,       // 4 bits per pixel, run-length encoded
    BMP_BITFIELDS = 3,  // 16 or 32 bits per pixel with three colour masks
};

// Largest bitmap file read into memory for a preview (256 MB).
const uint64_t BMP_MAX_FILE_BYTES = 256u * 1024u * 1024u;

// Why a block is no previewable bitmap.
enum BmpResult {
    BMP_OK = 0,
    BMP_TOO_SHORT,         // block shorter than both headers
    BMP_NOT_BITMAP,        // no "BM" at the start
    BMP_BAD_HEADER,        // information header size other than 40
    BMP_BAD_BIT_COUNT,     // bits per pixel other than 1, 4, 8, 16, 24, 32
    BMP_BAD_COMPRESSION,   // compression unknown or not allowed for the bit count
    BMP_BAD_DIMENSIONS,    // width not positive, height 0, compressed top-down
    BMP_BAD_COLOR_TABLE,   // colour table (or masks) beyond the block
    BMP_BAD_PIXEL_OFFSET,  // pixels start inside the headers or beyond the block
    BMP_BAD_PIXEL_SIZE,    // pixels (rows x padded row size) beyond the block
    BMP_TOO_LARGE,         // file larger than BMP_MAX_FILE_BYTES
};

// What the window needs of a bitmap. The information header is a normalised copy;
// every pointer points into the block handed to ReadBitmapBlock and is valid as
// long as it is. The window builds its BITMAPINFO block from info followed by the
// tableBytes at table (40 + tableBytes bytes): that is exactly what the drawing
// calls read of it, because info.clrUsed is set to the entries the table holds.
struct BmpView {
    BmpInfoHeader info;          // the information header, clrUsed normalised
    const unsigned char* table;  // block + 54: masks and colour table (may be unaligned)
    size_t tableBytes;           // 12 for masks (when present) + 4 x info.clrUsed
    uint32_t colorCount;          // palette entries at table: 1 to 256 up to 8 bits per
                                  // pixel, else 0
    uint32_t pixelOffset;         // offset of the pixels in the block
    const unsigned char* pixels;  // block + pixelOffset
    size_t pixelBytes;            // rows x padded row size (compressed: sizeImage)
    uint32_t width;               // pixels per row
    uint32_t height;              // rows (magnitude of the header's height)
    bool topDown;                 // rows stored top row first
};

// Whether a bitmap file of this many bytes may be read whole for a preview.
bool BitmapFileSizeAcceptable(uint64_t fileBytes);

// Bytes of one row of width pixels at bitCount bits, padded to 4 bytes; 0 when
// it does not fit in 32 bits.
uint32_t BitmapRowBytes(uint32_t width, uint32_t bitCount);

// Checks the bitmap file in block (len bytes) and fills view. Every size and
// offset is checked against len with overflow-safe arithmetic; nothing is read
// outside the block. Returns BMP_OK, or the first fault found (view cleared).
int ReadBitmapBlock(const unsigned char* block, size_t len, BmpView* view);

// Checks a picture a plug-in handed over: its information block (info,
// infoBytes: the header, then masks and colour table) and its pixel block
// (pixels, pixelBytes, the first row at its start), and fills view as
// ReadBitmapBlock does (pixelOffset 0). A plug-in is an outside component: its
// sizes are checked exactly like a file's, so a lying header never makes the
// drawing calls read past either block. BMP_OK or the first fault (view cleared).
int CheckPluginPicture(const unsigned char* info, size_t infoBytes, const unsigned char* pixels,
                       size_t pixelBytes, BmpView* view);
