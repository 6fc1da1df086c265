// spistb.cpp - TGA through stb_image (instantiated in stbimpl.cpp). The
// decoder fills pixels missing from a file cut short with zeros, so the
// structure of the data is measured first; a picture stored right to left is
// turned round here (the decoder honours only the top-to-bottom bit).
#include <string.h>

#define STBI_NO_STDIO
#include <stb_image.h>

#include "components/spi/spiformat.h"

namespace {

uint32_t Le16(const unsigned char* p) { return (uint32_t)(p[0] | p[1] << 8); }

// TGA: header, identification, colour map, then raw pixels or run-length
// packets covering every pixel.
bool TgaComplete(const unsigned char* d, size_t len, uint64_t w, uint64_t h) {
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

// The size and the channels (1 to 4) the decoder gives the picture.
int Info(const unsigned char* data, size_t len, SpiPictureSize* out) {
    if (len > 0x7FFFFFFF) return SPI_NO_MEMORY;  // the decoder counts in int
    int w = 0, h = 0, comp = 0;
    if (!stbi_info_from_memory(data, (int)len, &w, &h, &comp) || w <= 0 || h <= 0 || comp < 1 ||
        comp > 4)
        return SPI_CORRUPT;
    out->width = (uint32_t)w;
    out->height = (uint32_t)h;
    out->channels = comp;
    return SpiCheckSize(out->width, out->height);
}

int ReadSize(const unsigned char* data, size_t len, SpiPictureSize* out) {
    int r = Info(data, len, out);
    out->channels = out->channels <= 2 ? 1 : 3;
    return r;
}

int Decode(const unsigned char* data, size_t len, SpiTarget* t) {
    SpiPictureSize size;
    int r = Info(data, len, &size);
    if (r != SPI_OK) return r;
    if (!TgaComplete(data, len, size.width, size.height)) return SPI_CORRUPT;
    const int n = size.channels;
    int w = 0, h = 0, comp = 0;
    unsigned char* px = stbi_load_from_memory(data, (int)len, &w, &h, &comp, n);
    if (!px) {
        const char* why = stbi_failure_reason();
        return why && strcmp(why, "outofmem") == 0 ? SPI_NO_MEMORY : SPI_CORRUPT;
    }
    r = SPI_CORRUPT;
    if ((uint32_t)w == size.width && (uint32_t)h == size.height)
        r = SpiTargetBegin(t, size.width, size.height, n <= 2 ? 1 : 3);
    if (r == SPI_OK && (data[17] & 0x10)) {  // right to left
        for (int y = 0; y < h; y++) {
            unsigned char* row = px + (size_t)y * w * n;
            for (int a = 0, b = w - 1; a < b; a++, b--)
                for (int c = 0; c < n; c++) {
                    unsigned char v = row[a * n + c];
                    row[a * n + c] = row[b * n + c];
                    row[b * n + c] = v;
                }
        }
    }
    if (r == SPI_OK) {
        SpiPixels src = {size.width, size.height, n, px};
        r = SpiConvertRows(&src, &t->layout, t->image, t->layout.imageBytes, t->sink->progress,
                           t->sink->progressCtx);
    }
    stbi_image_free(px);
    return r;
}

}  // namespace

const SpiCodec SpiTgaCodec = {SPI_TGA, ReadSize, Decode};
