// previewrules.cpp - text head, picture fit and bitmap reader of the preview.
// Pure: no windows.h, no allocation.
#include "launcher/preview/previewrules.h"

#include <stddef.h>
#include <string.h>

#include "common/strutil.h"

static_assert(sizeof(BmpFileHeader) == 14, "BITMAPFILEHEADER is 14 bytes");
static_assert(offsetof(BmpFileHeader, size) == 2, "bfSize at 2");
static_assert(offsetof(BmpFileHeader, offBits) == 10, "bfOffBits at 10");
static_assert(sizeof(BmpInfoHeader) == 40, "BITMAPINFOHEADER is 40 bytes");
static_assert(offsetof(BmpInfoHeader, width) == 4, "biWidth at 4");
static_assert(offsetof(BmpInfoHeader, height) == 8, "biHeight at 8");
static_assert(offsetof(BmpInfoHeader, bitCount) == 14, "biBitCount at 14 (file offset 28)");
static_assert(offsetof(BmpInfoHeader, compression) == 16, "biCompression at 16");
static_assert(offsetof(BmpInfoHeader, sizeImage) == 20, "biSizeImage at 20");
static_assert(offsetof(BmpInfoHeader, clrUsed) == 32, "biClrUsed at 32");
static_assert(offsetof(BmpInfoHeader, clrImportant) == 36, "biClrImportant at 36");
static_assert(sizeof(BmpRgbQuad) == 4, "RGBQUAD is 4 bytes");

// ---------------------------------------------------------------------------
// Picture fit.

uint32_t PictureExtent(int32_t v) {
    return v < 0 ? (uint32_t)0 - (uint32_t)v : (uint32_t)v;
}

PictureFit FitPicture(uint32_t picW, uint32_t picH, uint32_t boxW, uint32_t boxH) {
    PictureFit fit = {0, 0, 0, 0};
    if (boxW > INT32_MAX) boxW = INT32_MAX;
    if (boxH > INT32_MAX) boxH = INT32_MAX;
    if (picW == 0 || picH == 0 || boxW == 0 || boxH == 0) return fit;
    double w = picW, h = picH;
    if (picH < picW && picW >= boxW) {
        w = boxW;
        h = (double)picH / ((double)picW / boxW);  // < boxW: the picture is wider
    } else if (picH >= picW && picH >= boxH) {
        w = (double)picW / ((double)picH / boxH);  // <= boxH: the picture is higher
        h = boxH;
    }
    // Unfitted, both sides are below boxW or boxH; fitted, the other
    // side is below the fitted one: every size fits an int32_t.
    fit.width = (int32_t)w;
    fit.height = (int32_t)h;
    if ((uint32_t)fit.width < boxW) fit.x = (int32_t)((boxW - (uint32_t)fit.width) / 2);
    if ((uint32_t)fit.height < boxH) fit.y = (int32_t)((boxH - (uint32_t)fit.height) / 2);
    return fit;
}

// ---------------------------------------------------------------------------
// Text head.

uint32_t PreviewReadCount(uint32_t rsize) {
    return rsize > PREVIEW_PLUGIN_HEAD ? rsize : (uint32_t)PREVIEW_PLUGIN_HEAD;
}

size_t PreviewTextSize(size_t bytesRead, uint32_t rsize) {
    return bytesRead < rsize ? bytesRead : (size_t)rsize;
}

int DetectTextBom(const unsigned char* head, size_t len) {
    int utf16 = DetectUnicodeBom(head, len);
    if (utf16) return utf16;
    if (head && len >= 3 && head[0] == 0xEF && head[1] == 0xBB && head[2] == 0xBF)
        return TEXT_UTF8;
    return TEXT_ANSI;
}

size_t TextBomLength(int encoding) {
    switch (encoding) {
        case TEXT_UTF16LE:
        case TEXT_UTF16BE:
            return 2;
        case TEXT_UTF8:
            return 3;
        default:
            return 0;
    }
}

bool IsPreviewText(const unsigned char* head, size_t size) {
    if (!head) return false;
    if (DetectUnicodeBom(head, size)) return true;
    size_t probe = size < PREVIEW_PROBE ? size : (size_t)PREVIEW_PROBE;
    return memchr(head, 0, probe) == nullptr;
}

bool IsExcludedHead(const unsigned char* head, size_t len) {
    if (!head || len < 2) return false;
    if (head[0] == 'M' && head[1] == 'Z') return true;
    if (head[0] == '?' && head[1] == '_') return true;
    return len >= 4 && memcmp(head, "ITSF", 4) == 0;
}

int EncodingFromUnicodeTest(int flags) {
    if (flags == 0x1002) return TEXT_UTF16LE;
    if (flags == 0x1020) return TEXT_UTF16BE;
    return TEXT_ANSI;
}

int DecideTextEncoding(const unsigned char* head, size_t size, UnicodeTestFn test, void* ctx) {
    int bom = DetectTextBom(head, size);
    if (bom != TEXT_ANSI) return bom;
    if (!test || !head) return TEXT_ANSI;
    return EncodingFromUnicodeTest(test(head, size, ctx));
}

size_t TrimBrokenLeadByte(const char* text, size_t len) {
    size_t i = 0;
    while (i < len) {
        if (!IsLeadByteSjis((unsigned char)text[i])) {
            i++;
        } else if (i + 1 == len) {
            return len - 1;
        } else {
            i += 2;
        }
    }
    return len;
}

size_t PreviewTextBufferSize(size_t size) { return 2 * size + 1; }

namespace {

const size_t kChunkUnits = 512;

inline bool IsHighSurrogate(uint16_t u) { return u >= 0xD800 && u <= 0xDBFF; }

// Collects UTF-16 units and hands them to the converter a chunk at a time; a high
// surrogate at the end of a full chunk waits for its partner in the next one.
struct WideSink {
    WideToAnsiFn conv;
    void* ctx;
    char* out;
    size_t room;  // bytes left for text (the NUL is kept apart)
    size_t len;   // bytes written
    uint16_t units[kChunkUnits];
    size_t count;
    bool failed;
};

void FlushUnits(WideSink* s, size_t n) {
    if (s->failed || n == 0) return;
    int r = s->conv(s->units, n, s->out + s->len, s->room, s->ctx);
    if (r < 0 || (size_t)r > s->room) {
        s->failed = true;
        return;
    }
    s->len += (size_t)r;
    s->room -= (size_t)r;
    memmove(s->units, s->units + n, (s->count - n) * sizeof(uint16_t));
    s->count -= n;
}

void PushUnit(WideSink* s, uint16_t u) {
    s->units[s->count++] = u;
    if (s->count < kChunkUnits) return;
    FlushUnits(s, IsHighSurrogate(u) ? s->count - 1 : s->count);
}

// The last chunk; a high surrogate left at the end lost its partner at the cut.
void FinishUnits(WideSink* s) {
    if (s->count && IsHighSurrogate(s->units[s->count - 1])) s->count--;
    FlushUnits(s, s->count);
}

void PushUtf16(WideSink* s, const unsigned char* p, size_t size, bool bigEndian) {
    for (size_t i = 0; i + 1 < size && !s->failed; i += 2) {
        uint16_t u = bigEndian ? (uint16_t)(p[i] << 8 | p[i + 1]) : (uint16_t)(p[i + 1] << 8 | p[i]);
        if (u == 0) break;
        PushUnit(s, u);
    }
}

inline bool IsContinuation(unsigned char b) { return (b & 0xC0) == 0x80; }

void PushUtf8(WideSink* s, const unsigned char* p, size_t size) {
    size_t i = 0;
    while (i < size && p[i] != 0 && !s->failed) {
        unsigned char b = p[i];
        if (b < 0x80) {
            PushUnit(s, b);
            i++;
            continue;
        }
        size_t need;
        uint32_t cp;
        unsigned char lo = 0x80, hi = 0xBF;  // range of the second byte
        if (b >= 0xC2 && b <= 0xDF) {
            need = 1, cp = b & 0x1F;
        } else if (b >= 0xE0 && b <= 0xEF) {
            need = 2, cp = b & 0x0F;
            if (b == 0xE0) lo = 0xA0;
            if (b == 0xED) hi = 0x9F;  // no encoded surrogates
        } else if (b >= 0xF0 && b <= 0xF4) {
            need = 3, cp = b & 0x07;
            if (b == 0xF0) lo = 0x90;
            if (b == 0xF4) hi = 0x8F;
        } else {
            PushUnit(s, 0xFFFD);
            i++;
            continue;
        }
        size_t k = 1;
        for (; k <= need && i + k < size; k++) {
            unsigned char c = p[i + k];
            if (k == 1 ? (c < lo || c > hi) : !IsContinuation(c)) break;
            cp = cp << 6 | (c & 0x3F);
        }
        if (k > need) {
            if (cp >= 0x10000) {
                cp -= 0x10000;
                PushUnit(s, (uint16_t)(0xD800 | (cp >> 10)));
                PushUnit(s, (uint16_t)(0xDC00 | (cp & 0x3FF)));
            } else {
                PushUnit(s, (uint16_t)cp);
            }
            i += need + 1;
        } else if (i + k == size) {
            break;  // a character cut off at the end of the head
        } else {
            PushUnit(s, 0xFFFD);
            i += k;
        }
    }
}

}  // namespace

int MakePreviewText(const unsigned char* head, size_t size, int encoding, WideToAnsiFn conv,
                    void* ctx, char* out, size_t outSize) {
    if (!out || outSize == 0) return -1;
    out[0] = '\0';
    if (!head || size > (size_t)INT32_MAX) return -1;
    if (encoding == TEXT_ANSI) {
        const void* nul = memchr(head, 0, size);
        size_t len = nul ? (size_t)((const unsigned char*)nul - head) : size;
        if (len > outSize - 1) len = outSize - 1;
        memcpy(out, head, len);
        len = TrimBrokenLeadByte(out, len);
        out[len] = '\0';
        return (int)len;
    }
    if (encoding != TEXT_UTF16LE && encoding != TEXT_UTF16BE && encoding != TEXT_UTF8) return -1;
    if (!conv) return -1;
    size_t skip = DetectTextBom(head, size) == encoding ? TextBomLength(encoding) : 0;
    WideSink sink;
    WideSink* s = &sink;
    s->conv = conv;
    s->ctx = ctx;
    s->out = out;
    s->room = outSize - 1;
    s->len = 0;
    s->count = 0;
    s->failed = false;
    if (encoding == TEXT_UTF8)
        PushUtf8(s, head + skip, size - skip);
    else
        PushUtf16(s, head + skip, size - skip, encoding == TEXT_UTF16BE);
    if (!s->failed) FinishUnits(s);
    if (s->failed) {
        out[0] = '\0';
        return -1;
    }
    out[s->len] = '\0';
    return (int)s->len;
}

// ---------------------------------------------------------------------------
// Windows bitmap read directly.

bool BitmapFileSizeAcceptable(uint64_t fileBytes) {
    return fileBytes >= BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE &&
           fileBytes <= BMP_MAX_FILE_BYTES;
}

uint32_t BitmapRowBytes(uint32_t width, uint32_t bitCount) {
    uint64_t bytes = ((uint64_t)width * bitCount + 31) / 32 * 4;
    return bytes > UINT32_MAX ? 0 : (uint32_t)bytes;
}

namespace {

bool ValidBitCount(uint32_t bits) {
    return bits == 1 || bits == 4 || bits == 8 || bits == 16 || bits == 24 || bits == 32;
}

bool ValidCompression(uint32_t compression, uint32_t bits) {
    switch (compression) {
        case BMP_RGB:
            return true;
        case BMP_RLE8:
            return bits == 8;
        case BMP_RLE4:
            return bits == 4;
        case BMP_BITFIELDS:
            return bits == 16 || bits == 32;
        default:
            return false;
    }
}

}  // namespace

namespace {

// The checks a picture shared by bitmap files and plug-in pictures: info is the
// information header, tableAvail the bytes after it where masks and colour
// table lie, pixelAvail the bytes from the first pixel on. Fills view's sizes
// (not its pointers); BMP_OK or the first fault.
int CheckPicture(BmpInfoHeader info, uint64_t tableAvail, uint64_t pixelAvail, BmpView* view) {
    if (info.size != BMP_INFO_HEADER_SIZE) return BMP_BAD_HEADER;
    if (!ValidBitCount(info.bitCount)) return BMP_BAD_BIT_COUNT;
    if (!ValidCompression(info.compression, info.bitCount)) return BMP_BAD_COMPRESSION;
    bool compressed = info.compression == BMP_RLE8 || info.compression == BMP_RLE4;
    if (info.width <= 0 || info.height == 0 || (compressed && info.height < 0))
        return BMP_BAD_DIMENSIONS;

    // Masks and colour table, as the drawing calls will read them.
    uint64_t colors = info.clrUsed;
    if (info.bitCount <= 8) {
        uint32_t most = 1u << info.bitCount;
        if (colors == 0 || colors > most) colors = most;
    }
    uint64_t table = (info.compression == BMP_BITFIELDS ? 12 : 0) + 4 * colors;
    if (table > tableAvail) return BMP_BAD_COLOR_TABLE;

    // Pixels: a whole number of padded rows, or the compressed size.
    uint32_t rows = PictureExtent(info.height);
    uint64_t pixelBytes;
    if (compressed) {
        pixelBytes = info.sizeImage;
        if (pixelBytes == 0 || pixelBytes > pixelAvail) return BMP_BAD_PIXEL_SIZE;
    } else {
        uint32_t rowBytes = BitmapRowBytes((uint32_t)info.width, info.bitCount);
        if (rowBytes == 0 || rows > pixelAvail / rowBytes) return BMP_BAD_PIXEL_SIZE;
        pixelBytes = (uint64_t)rowBytes * rows;
    }

    info.clrUsed = (uint32_t)colors;
    if (info.clrImportant > info.clrUsed) info.clrImportant = 0;
    view->info = info;
    view->tableBytes = (size_t)table;
    view->colorCount = info.bitCount <= 8 ? (uint32_t)colors : 0;
    view->pixelBytes = (size_t)pixelBytes;
    view->width = (uint32_t)info.width;
    view->height = rows;
    view->topDown = info.height < 0;
    return BMP_OK;
}

}  // namespace

int ReadBitmapBlock(const unsigned char* block, size_t len, BmpView* view) {
    memset(view, 0, sizeof *view);
    const size_t headers = BMP_FILE_HEADER_SIZE + BMP_INFO_HEADER_SIZE;
    if (!block || len < headers) return BMP_TOO_SHORT;
    if (len > BMP_MAX_FILE_BYTES) return BMP_TOO_LARGE;
    BmpFileHeader file;
    BmpInfoHeader info;
    memcpy(&file, block, sizeof file);
    memcpy(&info, block + BMP_FILE_HEADER_SIZE, sizeof info);
    if (block[0] != 'B' || block[1] != 'M') return BMP_NOT_BITMAP;
    // The header's own faults come first; the pixel offset is checked before
    // the pixels are measured from it.
    BmpView probe;
    memset(&probe, 0, sizeof probe);
    int result = CheckPicture(info, len - headers, 0, &probe);
    if (result != BMP_OK && result != BMP_BAD_PIXEL_SIZE) return result;
    if (file.offBits < headers || file.offBits > len) return BMP_BAD_PIXEL_OFFSET;
    result = CheckPicture(info, len - headers, len - file.offBits, view);
    if (result != BMP_OK) {
        memset(view, 0, sizeof *view);
        return result;
    }
    view->table = block + headers;
    view->pixelOffset = file.offBits;
    view->pixels = block + file.offBits;
    return BMP_OK;
}

int CheckPluginPicture(const unsigned char* info, size_t infoBytes, const unsigned char* pixels,
                       size_t pixelBytes, BmpView* view) {
    memset(view, 0, sizeof *view);
    if (!info || !pixels || infoBytes < BMP_INFO_HEADER_SIZE) return BMP_TOO_SHORT;
    BmpInfoHeader header;
    memcpy(&header, info, sizeof header);
    int result = CheckPicture(header, infoBytes - BMP_INFO_HEADER_SIZE, pixelBytes, view);
    if (result != BMP_OK) {
        memset(view, 0, sizeof *view);
        return result;
    }
    view->table = info + BMP_INFO_HEADER_SIZE;
    view->pixels = pixels;
    return BMP_OK;
}
