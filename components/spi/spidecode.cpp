// spidecode.cpp - see spidecode.h: the plug-ins, recognition, the bitmap and
// the way from data to bitmap through the decoder of each format.
#include "components/spi/spidecode.h"

#include <string.h>

#include "components/spi/spiformat.h"

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

const SpiPluginDesc SpiJpegPlugin = {"vorn JPEG plug-in 1.1 (libjpeg-turbo)", JpegFilters, 1,
                                     SPI_JPEG};
const SpiPluginDesc SpiGifPlugin = {"vorn GIF plug-in 1.1 (giflib)", GifFilters, 1, SPI_GIF};
const SpiPluginDesc SpiXld4Plugin = {"vorn PNG/TGA/PSD/PNM plug-in 1.1 (libpng)", Xld4Filters, 4,
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

// A JPEG starts with its start marker; the next marker may follow stray bytes
// (the decoder skips them), but it must be within the bytes looked at.
static bool LooksLikeJpeg(const unsigned char* h, size_t len) {
    if (len < 4 || h[0] != 0xFF || h[1] != 0xD8) return false;
    if (len > SPI_SNIFF_BYTES) len = SPI_SNIFF_BYTES;
    for (size_t i = 2; i + 1 < len; i++)
        if (h[i] == 0xFF && h[i + 1] >= 0xC0 && h[i + 1] != 0xFF) return true;
    return h[2] == 0xFF;
}

// The formats with a signature, in the order they are checked.
static unsigned SignatureFormat(const unsigned char* h, size_t len) {
    static const unsigned char png[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    if (LooksLikeJpeg(h, len)) return SPI_JPEG;
    if (len >= 6 && (memcmp(h, "GIF87a", 6) == 0 || memcmp(h, "GIF89a", 6) == 0)) return SPI_GIF;
    if (len >= 8 && memcmp(h, png, 8) == 0) return SPI_PNG;
    if (len >= 4 && memcmp(h, "8BPS", 4) == 0) return SPI_PSD;
    // Netpbm maps: bitmap (P1, P4), grey (P2, P5) and colour (P3, P6), in text or binary.
    if (len >= 3 && h[0] == 'P' && h[1] >= '1' && h[1] <= '6' && IsPnmSpace(h[2])) return SPI_PNM;
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
// From data to bitmap.

int SpiCheckSize(uint64_t w, uint64_t h) {
    if (w == 0 || h == 0) return SPI_CORRUPT;
    if (w > SPI_MAX_SIDE || h > SPI_MAX_SIDE || w * h > SPI_MAX_PIXELS) return SPI_NO_MEMORY;
    return SPI_OK;
}

// The decoder of the picture in data among the formats, or null.
static const SpiCodec* CodecOf(const unsigned char* data, size_t len, unsigned formats) {
    if (!data || len == 0) return nullptr;
    return SpiFindCodec(SpiSniffFormat(data, len, formats));
}

int SpiReadPictureSize(const unsigned char* data, size_t len, unsigned formats,
                       SpiPictureSize* out) {
    if (out) memset(out, 0, sizeof *out);
    const SpiCodec* codec = CodecOf(data, len, formats);
    if (!codec || !out) return SPI_UNKNOWN_FORMAT;
    if (len > SPI_MAX_FILE_BYTES) return SPI_NO_MEMORY;
    int r = codec->readSize(data, len, out);
    if (r == SPI_OK) r = SpiCheckSize(out->width, out->height);
    if (r == SPI_OK && out->channels != 1 && out->channels != 3) r = SPI_INTERNAL;
    if (r != SPI_OK) memset(out, 0, sizeof *out);
    return r;
}

int SpiTargetBegin(SpiTarget* t, uint32_t width, uint32_t height, int channels) {
    int r = SpiPlanDib(width, height, channels, &t->layout);
    if (r != SPI_OK) return r;
    t->image = t->sink->allocate(t->layout.imageBytes, t->sink->allocateCtx);
    if (!t->image) return SPI_NO_MEMORY;
    size_t used = (size_t)width * (t->layout.bitCount / 8);
    if (used < t->layout.stride)
        for (uint32_t y = 0; y < height; y++)
            memset(t->image + (size_t)y * t->layout.stride + used, 0, t->layout.stride - used);
    return SPI_OK;
}

// Rows between two calls of the progress callback.
static const uint32_t ProgressStep = 32;

int SpiTargetRowStart(const SpiTarget* t, uint32_t y) {
    const SpiSink* s = t->sink;
    if (!s->progress || y == 0 || y % ProgressStep != 0) return 0;
    return s->progress((int)y, (int)t->layout.height, s->progressCtx);
}

int SpiTargetFinish(const SpiTarget* t) {
    const SpiSink* s = t->sink;
    int h = (int)t->layout.height;
    return s->progress && s->progress(h, h, s->progressCtx) ? SPI_ABORTED : SPI_OK;
}

int SpiDecodeBitmap(const unsigned char* data, size_t len, unsigned formats, const SpiSink* sink,
                    SpiBitmap* out) {
    if (!out || !sink || !sink->allocate) return SPI_INTERNAL;
    memset(out, 0, sizeof *out);
    SpiPictureSize size;
    int r = SpiReadPictureSize(data, len, formats, &size);
    if (r != SPI_OK) return r;
    SpiTarget t;
    memset(&t, 0, sizeof t);
    t.sink = sink;
    r = CodecOf(data, len, formats)->decode(data, len, &t);
    out->image = t.image;
    if (r != SPI_OK) return r;
    // The header was read once more by the decoder: hold it to what was stated.
    if (!t.image || t.layout.width != size.width || t.layout.height != size.height ||
        t.layout.bitCount != SpiDibBitCount(size.channels))
        return SPI_CORRUPT;
    out->layout = t.layout;
    return SPI_OK;
}

// ---------------------------------------------------------------------------
// The bitmap.

int SpiDibBitCount(int channels) { return channels <= 2 ? 8 : 24; }

int SpiPlanDib(uint32_t width, uint32_t height, int channels, SpiDibLayout* out) {
    if (!out) return SPI_INTERNAL;
    memset(out, 0, sizeof *out);
    if (channels < 1 || channels > 4) return SPI_CORRUPT;
    int r = SpiCheckSize(width, height);
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
    for (uint32_t y = 0; y < h; y++) {
        if (progress && y > 0 && y % ProgressStep == 0 && progress((int)y, (int)h, ctx))
            return SPI_ABORTED;
        const unsigned char* s = src->pixels + (size_t)y * srcStride;
        unsigned char* d = image + (size_t)(h - 1 - y) * layout->stride;
        unsigned char* rowEnd = d + layout->stride;
        if (n == 1) {
            memcpy(d, s, w);
            d += w;
        } else if (n == 2) {
            for (uint32_t x = 0; x < w; x++, s += 2) *d++ = SpiOverWhite(s[0], s[1]);
        } else if (n == 3) {
            for (uint32_t x = 0; x < w; x++, s += 3) {
                *d++ = s[2];
                *d++ = s[1];
                *d++ = s[0];
            }
        } else {
            for (uint32_t x = 0; x < w; x++, s += 4) {
                *d++ = SpiOverWhite(s[2], s[3]);
                *d++ = SpiOverWhite(s[1], s[3]);
                *d++ = SpiOverWhite(s[0], s[3]);
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
