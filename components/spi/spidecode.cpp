// spidecode.cpp - see spidecode.h. The decoder is the distribution's stb_image,
// instantiated in stbimpl.cpp with the formats of each plug-in.
#include "components/spi/spidecode.h"

#include <stdlib.h>
#include <string.h>

#define STBI_NO_STDIO
#include <stb_image.h>

// ---------------------------------------------------------------------------
// The plug-ins of the tree.

static const SpiFilter JpegFilters[] = {
    {"*.jpg;*.jpeg;*.jpe;*.jfif", "JPEG file"},
};
static const SpiFilter GifFilters[] = {
    {"*.gif", "GIF file"},
};
static const SpiFilter Xld4Filters[] = {
    {"*.png", "PNG file"},
    {"*.tga;*.tpic", "TGA file"},
    {"*.psd", "PSD file"},
    {"*.pnm;*.ppm;*.pgm", "PNM file"},
};

const SpiPluginDesc SpiJpegPlugin = {"vorn JPEG plug-in 1.0 (stb_image)", JpegFilters, 1, SPI_JPEG};
const SpiPluginDesc SpiGifPlugin = {"vorn GIF plug-in 1.0 (stb_image)", GifFilters, 1, SPI_GIF};
const SpiPluginDesc SpiXld4Plugin = {"vorn PNG/TGA/PSD/PNM plug-in 1.0 (stb_image)", Xld4Filters, 4,
                                     SPI_PNG | SPI_TGA | SPI_PSD | SPI_PNM};

int SpiPluginInfoText(const SpiPluginDesc* plugin, int infono, char* buf, int buflen) {
    if (!plugin || !buf || buflen <= 0) return 0;
    const char* text = nullptr;
    if (infono == 0) {
        text = "00IN";
    } else if (infono == 1) {
        text = plugin->name;
    } else if (infono >= 2 && (infono - 2) / 2 < plugin->filterCount) {
        const SpiFilter& f = plugin->filters[(infono - 2) / 2];
        text = (infono % 2 == 0) ? f.pattern : f.description;
    }
    if (!text) {
        buf[0] = '\0';
        return 0;
    }
    size_t n = strlen(text);
    if (n > (size_t)buflen - 1) n = (size_t)buflen - 1;
    memcpy(buf, text, n);
    buf[n] = '\0';
    return (int)n;
}

// ---------------------------------------------------------------------------
// Recognition.

static uint16_t Le16(const unsigned char* p) { return (uint16_t)(p[0] | p[1] << 8); }

static bool IsPnmSpace(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// The formats with a signature, in the order they are checked.
static unsigned SignatureFormat(const unsigned char* h, size_t len) {
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (len >= 3 && h[0] == 0xFF && h[1] == 0xD8 && h[2] == 0xFF) return SPI_JPEG;
    if (len >= 6 && (memcmp(h, "GIF87a", 6) == 0 || memcmp(h, "GIF89a", 6) == 0)) return SPI_GIF;
    if (len >= 8 && memcmp(h, png, 8) == 0) return SPI_PNG;
    if (len >= 4 && memcmp(h, "8BPS", 4) == 0) return SPI_PSD;
    // Binary grey (P5) and colour (P6) maps; the decoder reads no other kind.
    if (len >= 3 && h[0] == 'P' && (h[1] == '5' || h[1] == '6') && IsPnmSpace(h[2])) return SPI_PNM;
    return 0;
}

// A TGA file has no signature: its 18-byte header must describe a picture the
// decoder reads (colour-mapped types 1 and 9, true-colour 2 and 10, grey 3 and 11).
static bool LooksLikeTga(const unsigned char* h, size_t len) {
    if (len < 18) return false;
    int mapType = h[1], type = h[2];
    if (mapType > 1) return false;
    if (mapType == 1) {
        if (type != 1 && type != 9) return false;
        int entryBits = h[7];
        if (entryBits != 8 && entryBits != 15 && entryBits != 16 && entryBits != 24 &&
            entryBits != 32)
            return false;
    } else if (type != 2 && type != 3 && type != 10 && type != 11) {
        return false;
    }
    if (Le16(h + 12) < 1 || Le16(h + 14) < 1) return false;
    int bits = h[16];
    if (mapType == 1) return bits == 8 || bits == 16;
    return bits == 8 || bits == 15 || bits == 16 || bits == 24 || bits == 32;
}

unsigned SpiSniffFormat(const unsigned char* head, size_t len, unsigned formats) {
    if (!head) return 0;
    unsigned f = SignatureFormat(head, len);
    if (f) return (f & formats) ? f : 0;
    if ((formats & SPI_TGA) && LooksLikeTga(head, len)) return SPI_TGA;
    return 0;
}

// ---------------------------------------------------------------------------
// Completeness. The decoder fills a picture whose data ends early with zeros
// (or, for raw maps, leaves it unwritten); a truncated file must be an error, so
// the formats whose size can be known from their structure are measured first.

static uint32_t Be16At(const unsigned char* p) { return (uint32_t)(p[0] << 8 | p[1]); }
static uint32_t Be32At(const unsigned char* p) { return Be16At(p) << 16 | Be16At(p + 2); }

// JPEG: the segments up to the first scan, then an end-of-image marker after it
// (inside entropy-coded data a 0xFF byte is always followed by 0x00 or a restart).
static bool JpegComplete(const unsigned char* d, size_t len) {
    size_t at = 2;
    for (;;) {
        while (at < len && d[at] == 0xFF) at++;
        if (at >= len) return false;
        unsigned char m = d[at++];
        if (m == 0xDA) break;
        if (m == 0x01 || (m >= 0xD0 && m <= 0xD7)) continue;
        if (m == 0xD9 || len - at < 2) return false;
        size_t seg = Be16At(d + at);
        if (seg < 2 || len - at < seg) return false;
        at += seg;
    }
    for (; at + 1 < len; at++)
        if (d[at] == 0xFF && d[at + 1] == 0xD9) return true;
    return false;
}

// JPEG Huffman tables: a table of more than 256 codes would be written past the
// decoder's arrays (it trusts the counts), so every segment that the decoder
// could take for a table definition is read first as it would read it: from the
// segment's start, table after table while the stated length lasts, bytes past
// the end of the data counting as 0.
static unsigned ByteAt(const unsigned char* d, size_t len, uint64_t at) {
    return at < len ? d[at] : 0;
}

static bool HuffmanSegmentSane(const unsigned char* d, size_t len, size_t at) {
    int64_t left = (int64_t)Be16At(d + at) - 2;
    uint64_t p = at + 2;
    while (left > 0) {
        unsigned tcth = ByteAt(d, len, p);
        if ((tcth >> 4) > 1 || (tcth & 15) > 3) return false;
        unsigned n = 0;
        for (int i = 1; i <= 16; i++) n += ByteAt(d, len, p + i);
        if (n > 256) return false;
        p += 17 + n;
        left -= 17 + (int64_t)n;
    }
    return true;
}

static bool JpegTablesSane(const unsigned char* d, size_t len) {
    size_t at = 2;
    while (at < len) {
        if (d[at] != 0xFF) {  // entropy-coded data or stray bytes
            at++;
            continue;
        }
        while (at < len && d[at] == 0xFF) at++;
        if (at >= len) break;
        unsigned char m = d[at++];
        if (m == 0x00 || m == 0x01 || (m >= 0xD0 && m <= 0xD9)) continue;
        if (len - at < 2) break;
        if (m == 0xC4 && !HuffmanSegmentSane(d, len, at)) return false;
        size_t seg = Be16At(d + at);
        at += seg < 2 ? 2 : seg;
    }
    return true;
}

// Skips GIF data sub-blocks from at; false when the data ends first.
static bool SkipGifBlocks(const unsigned char* d, size_t len, size_t* at) {
    for (;;) {
        if (*at >= len) return false;
        size_t n = d[(*at)++];
        if (n == 0) return true;
        if (len - *at < n) return false;
        *at += n;
    }
}

// GIF: the block structure up to the end of the first image's data.
static bool GifComplete(const unsigned char* d, size_t len) {
    if (len < 13) return false;
    size_t at = 13;
    if (d[10] & 0x80) at += 3u << ((d[10] & 7) + 1);
    for (;;) {
        if (at >= len) return false;
        unsigned char tag = d[at++];
        if (tag == 0x21) {
            if (at >= len) return false;
            at++;  // label
            if (!SkipGifBlocks(d, len, &at)) return false;
        } else if (tag == 0x2C) {
            if (len - at < 9) return false;
            unsigned char flags = d[at + 8];
            at += 9;
            if (flags & 0x80) at += 3u << ((flags & 7) + 1);
            at++;  // minimum code size
            return SkipGifBlocks(d, len, &at);
        } else {
            return false;  // the trailer or garbage before any image
        }
    }
}

// PNM: the header as the decoder reads it (magic, then width, height and
// maximum, each after blanks and comments, then one blank). The decoder adds
// up digits in an int without a bound: a number of more than nine digits is
// refused before it sees it. The offset of the pixels goes to *pixelsAt.
static bool PnmHeader(const unsigned char* d, size_t len, uint64_t v[3], size_t* pixelsAt) {
    size_t at = 2;
    for (int i = 0; i < 3; i++) {
        for (;;) {
            while (at < len && IsPnmSpace(d[at])) at++;
            if (at < len && d[at] == '#') {
                while (at < len && d[at] != '\n' && d[at] != '\r') at++;
                continue;
            }
            break;
        }
        if (at >= len || d[at] < '0' || d[at] > '9') return false;
        v[i] = 0;
        for (int digits = 0; at < len && d[at] >= '0' && d[at] <= '9'; digits++) {
            if (digits == 9) return false;
            v[i] = v[i] * 10 + (uint64_t)(d[at++] - '0');
        }
    }
    *pixelsAt = at + 1;  // the one blank after the maximum
    return true;
}

static bool PnmComplete(const unsigned char* d, size_t len, uint64_t w, uint64_t h) {
    uint64_t v[3];
    size_t at = 0;
    if (!PnmHeader(d, len, v, &at)) return false;
    uint64_t bytes = w * h * (d[1] == '6' ? 3 : 1) * (v[2] > 255 ? 2 : 1);
    return at <= len && len - at >= bytes;
}

// TGA: header, identification, colour map, then raw pixels or run-length
// packets covering every pixel.
static bool TgaComplete(const unsigned char* d, size_t len, uint64_t w, uint64_t h) {
    if (len < 18) return false;
    uint64_t at = 18 + (uint64_t)d[0];
    if (d[1] == 1) at += (uint64_t)Le16(d + 5) * ((d[7] + 7) / 8);
    uint64_t pixelBytes = (d[16] + 7) / 8;
    if (pixelBytes == 0 || at > len) return false;
    uint64_t pixels = w * h;
    if (d[2] < 9) return len - at >= pixels * pixelBytes;
    for (uint64_t done = 0; done < pixels;) {
        if (at >= len) return false;
        unsigned char p = d[at++];
        uint64_t n = (uint64_t)(p & 0x7F) + 1;
        uint64_t bytes = (p & 0x80) ? pixelBytes : n * pixelBytes;
        if (len - at < bytes) return false;
        at += bytes;
        done += n;
    }
    return true;
}

// PSD: the three length-prefixed sections, then raw planes or the row byte
// counts of run-length planes and the rows they count.
static bool PsdComplete(const unsigned char* d, size_t len, uint64_t w, uint64_t h) {
    uint64_t at = 26;
    for (int i = 0; i < 3; i++) {
        if (len < at + 4) return false;
        at += 4 + (uint64_t)Be32At(d + at);
    }
    if (len < at + 2) return false;
    uint32_t compression = Be16At(d + at);
    at += 2;
    uint64_t channels = Be16At(d + 12), depth = Be16At(d + 22);
    if (compression == 0) return len - at >= channels * w * h * ((depth + 7) / 8);
    if (compression != 1) return false;
    uint64_t rows = channels * h;
    if ((len - at) / 2 < rows) return false;
    uint64_t total = 0;
    for (uint64_t r = 0; r < rows; r++) total += Be16At(d + at + 2 * r);
    at += 2 * rows;
    return len - at >= total;
}

// Every chunk up to IEND holds the data it states. The decoder sets aside room
// for a chunk's stated length before it reads it: a few bytes that state a
// gigabyte would have it ask for that much memory. Such a file is cut or
// damaged either way, and the decoder would refuse it after the allocation.
static bool PngComplete(const unsigned char* d, size_t len) {
    size_t at = 8;
    while (len - at >= 8) {
        uint64_t length = Be32At(d + at);
        if (length > len - at - 8) return false;
        if (memcmp(d + at + 4, "IEND", 4) == 0) return true;
        at += 8 + (size_t)length;
        at += len - at < 4 ? len - at : 4;  // the checksum (the last may be cut)
    }
    return true;  // what is left is no chunk: the decoder refuses it cheaply
}

static bool DataComplete(const unsigned char* d, size_t len, unsigned format,
                         const SpiPictureSize& size) {
    switch (format) {
    case SPI_JPEG:
        return JpegComplete(d, len);
    case SPI_GIF:
        return GifComplete(d, len);
    case SPI_PNM:
        return PnmComplete(d, len, size.width, size.height);
    case SPI_TGA:
        return TgaComplete(d, len, size.width, size.height);
    case SPI_PSD:
        return PsdComplete(d, len, size.width, size.height);
    case SPI_PNG:
        return PngComplete(d, len);
    default:
        return true;
    }
}

// ---------------------------------------------------------------------------
// Decoding.

// The size a PNG or PSD header states, for the reason of a refusal: the decoder
// refuses large ones without saying why once it has tried every format.
static bool StatedSizeTooLarge(const unsigned char* d, size_t len) {
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    uint64_t w = 0, h = 0;
    if (len >= 24 && memcmp(d, png, 8) == 0 && memcmp(d + 12, "IHDR", 4) == 0) {
        w = Be32At(d + 16);
        h = Be32At(d + 20);
    } else if (len >= 22 && memcmp(d, "8BPS", 4) == 0) {
        h = Be32At(d + 14);
        w = Be32At(d + 18);
    }
    return w > SPI_MAX_SIDE || h > SPI_MAX_SIDE || w * h > SPI_MAX_PIXELS;
}

static int DecoderFailure() {
    const char* why = stbi_failure_reason();
    if (why && (strcmp(why, "outofmem") == 0 || strcmp(why, "too large") == 0))
        return SPI_NO_MEMORY;
    return SPI_CORRUPT;
}

static int CheckSize(uint64_t w, uint64_t h) {
    if (w == 0 || h == 0) return SPI_CORRUPT;
    if (w > SPI_MAX_SIDE || h > SPI_MAX_SIDE || w * h > SPI_MAX_PIXELS) return SPI_NO_MEMORY;
    return SPI_OK;
}

int SpiReadPictureSize(const unsigned char* data, size_t len, unsigned formats,
                       SpiPictureSize* out) {
    if (out) memset(out, 0, sizeof *out);
    if (!data || !out || len == 0) return SPI_UNKNOWN_FORMAT;
    if (!SpiSniffFormat(data, len, formats)) return SPI_UNKNOWN_FORMAT;
    if (len > SPI_MAX_FILE_BYTES) return SPI_NO_MEMORY;
    // Headers the decoder would misread are refused before it sees them.
    unsigned format = SpiSniffFormat(data, len, formats);
    uint64_t pnm[3];
    size_t pnmPixels = 0;
    if (format == SPI_JPEG && !JpegTablesSane(data, len)) return SPI_CORRUPT;
    if (format == SPI_PNM && !PnmHeader(data, len, pnm, &pnmPixels)) return SPI_CORRUPT;
    int w = 0, h = 0, comp = 0;
    if (!stbi_info_from_memory(data, (int)len, &w, &h, &comp))
        return StatedSizeTooLarge(data, len) ? SPI_NO_MEMORY : SPI_CORRUPT;
    if (w <= 0 || h <= 0 || comp < 1 || comp > 4) return SPI_CORRUPT;
    int r = CheckSize((uint64_t)w, (uint64_t)h);
    if (r != SPI_OK) return r;
    out->width = (uint32_t)w;
    out->height = (uint32_t)h;
    out->channels = comp;
    if (!DataComplete(data, len, SpiSniffFormat(data, len, formats), *out)) {
        memset(out, 0, sizeof *out);
        return SPI_CORRUPT;
    }
    return SPI_OK;
}

// An empty IDAT chunk before the first one that holds image data would be read
// into a buffer the decoder has not allocated yet (a copy of nothing from a
// null pointer). Such chunks carry nothing, so the picture is decoded from a
// copy without them (one cut inside its checksum at the end of the data goes
// too). Returns that copy (malloc'ed, its length in *outLen), or null when the
// data has no such chunk; chunks that cannot be walked are copied as they are,
// for the decoder to refuse.
static size_t LeadingEmptyIdat(const unsigned char* d, size_t len, size_t at, bool* data) {
    if (*data || len - at < 8 || memcmp(d + at + 4, "IDAT", 4) != 0) return 0;
    if (Be32At(d + at) != 0) {
        *data = true;
        return 0;
    }
    return len - at < 12 ? len - at : 12;
}

static unsigned char* PngWithoutLeadingEmptyIdat(const unsigned char* d, size_t len,
                                                 size_t* outLen) {
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (len < 8 || memcmp(d, png, 8) != 0) return nullptr;
    unsigned char* copy = nullptr;
    size_t w = 0;
    for (int pass = 0; pass < 2; pass++) {
        size_t at = 8, dropped = 0;
        bool data = false;
        if (copy) memcpy(copy, d, 8);
        w = 8;
        while (at < len) {
            size_t empty = LeadingEmptyIdat(d, len, at, &data);
            if (empty) {
                at += empty;
                dropped += empty;
                continue;
            }
            // One whole chunk, or all that is left when it cannot be walked.
            size_t chunk = len - at;
            if (len - at >= 12 && Be32At(d + at) <= len - at - 12) chunk = 12 + Be32At(d + at);
            if (copy) memcpy(copy + w, d + at, chunk);
            w += chunk;
            at += chunk;
        }
        if (pass == 0) {
            if (dropped == 0) return nullptr;
            copy = (unsigned char*)malloc(len - dropped);
            if (!copy) return nullptr;
        }
    }
    *outLen = w;
    return copy;
}

int SpiDecode(const unsigned char* data, size_t len, unsigned formats, SpiPixels* out) {
    if (!out) return SPI_INTERNAL;
    memset(out, 0, sizeof *out);
    SpiPictureSize size;
    int r = SpiReadPictureSize(data, len, formats, &size);
    if (r != SPI_OK) return r;
    int w = 0, h = 0, comp = 0;
    size_t cleanLen = 0;
    unsigned char* clean = PngWithoutLeadingEmptyIdat(data, len, &cleanLen);
    unsigned char* px = clean ? stbi_load_from_memory(clean, (int)cleanLen, &w, &h, &comp, size.channels)
                              : stbi_load_from_memory(data, (int)len, &w, &h, &comp, size.channels);
    free(clean);
    if (!px) return DecoderFailure();
    // The header was read once more by the decoder: hold it to what was checked.
    if ((uint32_t)w != size.width || (uint32_t)h != size.height) {
        stbi_image_free(px);
        return SPI_CORRUPT;
    }
    out->width = size.width;
    out->height = size.height;
    out->channels = size.channels;
    out->pixels = px;
    return SPI_OK;
}

void SpiFreePixels(SpiPixels* p) {
    if (!p) return;
    if (p->pixels) stbi_image_free(p->pixels);
    p->pixels = nullptr;
}

// ---------------------------------------------------------------------------
// The bitmap.

int SpiDibBitCount(int channels) { return channels <= 2 ? 8 : 24; }

int SpiPlanDib(uint32_t width, uint32_t height, int channels, SpiDibLayout* out) {
    if (!out) return SPI_INTERNAL;
    memset(out, 0, sizeof *out);
    if (channels < 1 || channels > 4) return SPI_CORRUPT;
    int r = CheckSize(width, height);
    if (r != SPI_OK) return r;
    out->width = width;
    out->height = height;
    out->bitCount = (uint16_t)SpiDibBitCount(channels);
    out->colorCount = out->bitCount == 8 ? 256 : 0;
    // The limits keep every product far below 2^32 bytes per row and 2^63 in all.
    uint64_t rowBytes = (uint64_t)width * (out->bitCount / 8);
    out->stride = (uint32_t)((rowBytes + 3) & ~(uint64_t)3);
    out->infoBytes = 40 + 4 * (size_t)out->colorCount;
    out->imageBytes = (size_t)((uint64_t)out->stride * height);
    return SPI_OK;
}

static void Put16(unsigned char* p, uint32_t v) {
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
}
static void Put32(unsigned char* p, uint32_t v) {
    Put16(p, v);
    Put16(p + 2, v >> 16);
}

int SpiWriteDibInfo(const SpiDibLayout* layout, unsigned char* info, size_t infoSize) {
    if (!layout || !info || layout->infoBytes < 40 || infoSize < layout->infoBytes) return 0;
    memset(info, 0, layout->infoBytes);
    Put32(info + 0, 40);                           // biSize
    Put32(info + 4, layout->width);                // biWidth
    Put32(info + 8, layout->height);               // biHeight: positive, bottom-up
    Put16(info + 12, 1);                           // biPlanes
    Put16(info + 14, layout->bitCount);            // biBitCount
    Put32(info + 16, 0);                           // biCompression: none
    Put32(info + 20, (uint32_t)layout->imageBytes);  // biSizeImage
    Put32(info + 32, layout->colorCount);          // biClrUsed
    unsigned char* table = info + 40;
    for (uint32_t i = 0; i < layout->colorCount; i++) {
        table[4 * i + 0] = (unsigned char)i;  // a grey ramp: blue, green, red, 0
        table[4 * i + 1] = (unsigned char)i;
        table[4 * i + 2] = (unsigned char)i;
        table[4 * i + 3] = 0;
    }
    return 1;
}

// A colour over white by its alpha, rounded.
static unsigned char OverWhite(unsigned c, unsigned a) {
    return (unsigned char)((c * a + 255u * (255u - a) + 127u) / 255u);
}

int SpiConvertRows(const SpiPixels* src, const SpiDibLayout* layout, unsigned char* image,
                   size_t imageSize, SpiProgress progress, void* ctx) {
    if (!src || !layout || !image || !src->pixels) return SPI_INTERNAL;
    int n = src->channels;
    if (n < 1 || n > 4 || src->width != layout->width || src->height != layout->height ||
        layout->bitCount != SpiDibBitCount(n) || imageSize < layout->imageBytes ||
        (uint64_t)layout->stride * layout->height != layout->imageBytes ||
        layout->stride < (uint64_t)layout->width * (layout->bitCount / 8))
        return SPI_INTERNAL;
    const uint32_t w = src->width, h = src->height;
    const size_t srcStride = (size_t)w * n;
    const uint32_t step = 32;  // rows between two calls of progress
    for (uint32_t y = 0; y < h; y++) {
        if (progress && y > 0 && y % step == 0 && progress((int)y, (int)h, ctx)) return SPI_ABORTED;
        const unsigned char* s = src->pixels + (size_t)y * srcStride;
        unsigned char* d = image + (size_t)(h - 1 - y) * layout->stride;
        unsigned char* rowEnd = d + layout->stride;
        if (n == 1) {
            memcpy(d, s, w);
            d += w;
        } else if (n == 2) {
            for (uint32_t x = 0; x < w; x++, s += 2) *d++ = OverWhite(s[0], s[1]);
        } else if (n == 3) {
            for (uint32_t x = 0; x < w; x++, s += 3) {
                *d++ = s[2];
                *d++ = s[1];
                *d++ = s[0];
            }
        } else {
            for (uint32_t x = 0; x < w; x++, s += 4) {
                *d++ = OverWhite(s[2], s[3]);
                *d++ = OverWhite(s[1], s[3]);
                *d++ = OverWhite(s[0], s[3]);
            }
        }
        memset(d, 0, (size_t)(rowEnd - d));
    }
    if (progress && progress((int)h, (int)h, ctx)) return SPI_ABORTED;
    return SPI_OK;
}

int SpiFillPictureInfo(const unsigned char* data, size_t len, unsigned formats,
                       SpiPictureInfo* info) {
    if (!info) return SPI_INTERNAL;
    memset(info, 0, sizeof *info);
    SpiPictureSize size;
    int r = SpiReadPictureSize(data, len, formats, &size);
    if (r != SPI_OK) return r;
    info->width = size.width;
    info->height = size.height;
    info->colorDepth = (int16_t)SpiDibBitCount(size.channels);
    return SPI_OK;
}
