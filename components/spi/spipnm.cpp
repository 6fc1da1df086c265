// spipnm.cpp - the Netpbm maps: bitmap (P1 text, P4 binary), grey (P2, P5) and
// colour (P3, P6), with any maximum value up to 65535 scaled to 8 bits. The
// first picture of a file is read; a sample above the maximum counts as the
// maximum; missing samples make the file damaged.
#include <string.h>

#include "components/spi/spiformat.h"

namespace {

struct PnmReader {
    const unsigned char* d;
    size_t len, at;
};

bool IsBlank(unsigned char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// Skips blanks and comments (from "#" to the end of the line).
void SkipBlanks(PnmReader* r) {
    while (r->at < r->len) {
        if (IsBlank(r->d[r->at])) {
            r->at++;
        } else if (r->d[r->at] == '#') {
            while (r->at < r->len && r->d[r->at] != '\n' && r->d[r->at] != '\r') r->at++;
        } else {
            break;
        }
    }
}

// A decimal number after blanks; values above 2^32 - 1 are held there.
bool ReadNumber(PnmReader* r, uint32_t* v) {
    SkipBlanks(r);
    if (r->at >= r->len || r->d[r->at] < '0' || r->d[r->at] > '9') return false;
    uint64_t n = 0;
    while (r->at < r->len && r->d[r->at] >= '0' && r->d[r->at] <= '9') {
        n = n * 10 + (uint64_t)(r->d[r->at++] - '0');
        if (n > 0xFFFFFFFFu) n = 0xFFFFFFFFu;
    }
    *v = (uint32_t)n;
    return true;
}

struct PnmHeader {
    int kind;  // 1 to 6, from the magic "P1" to "P6"
    uint32_t width, height, maxval;
};

bool IsBitmap(int kind) { return kind == 1 || kind == 4; }
bool IsColour(int kind) { return kind == 3 || kind == 6; }

// Reads the header; for binary maps, the one blank after it too.
int ReadHeader(PnmReader* r, PnmHeader* h) {
    if (r->len < 3 || r->d[0] != 'P' || r->d[1] < '1' || r->d[1] > '6') return SPI_UNKNOWN_FORMAT;
    h->kind = r->d[1] - '0';
    r->at = 2;
    h->maxval = 1;
    if (!ReadNumber(r, &h->width) || !ReadNumber(r, &h->height)) return SPI_CORRUPT;
    if (!IsBitmap(h->kind) && !ReadNumber(r, &h->maxval)) return SPI_CORRUPT;
    if (h->maxval < 1 || h->maxval > 65535) return SPI_CORRUPT;
    if (h->kind >= 4) {
        if (r->at >= r->len || !IsBlank(r->d[r->at])) return SPI_CORRUPT;
        r->at++;
    }
    return SpiCheckSize(h->width, h->height);
}

int ReadSize(const unsigned char* data, size_t len, SpiPictureSize* out) {
    PnmReader r = {data, len, 0};
    PnmHeader h;
    int res = ReadHeader(&r, &h);
    if (res != SPI_OK) return res;
    out->width = h.width;
    out->height = h.height;
    out->channels = IsColour(h.kind) ? 3 : 1;
    return SPI_OK;
}

// One sample of a text map: a number, or for bitmaps one digit 0 or 1.
bool TextSample(PnmReader* r, int kind, uint32_t* v) {
    if (kind != 1) return ReadNumber(r, v);
    SkipBlanks(r);
    if (r->at >= r->len || (r->d[r->at] != '0' && r->d[r->at] != '1')) return false;
    *v = (uint32_t)(r->d[r->at++] - '0');
    return true;
}

// Reads the samples from done to done + n of a row of rowSamples into out.
bool ReadSamples(PnmReader* r, const PnmHeader& h, size_t done, size_t n, size_t rowSamples,
                 uint32_t* out) {
    if (h.kind <= 3) {
        for (size_t i = 0; i < n; i++)
            if (!TextSample(r, h.kind, &out[i])) return false;
        return true;
    }
    if (h.kind == 4) {  // rows padded to whole bytes, read once the row is done
        size_t bytes = (rowSamples + 7) / 8;
        if (r->len - r->at < bytes) return false;
        for (size_t i = done; i < done + n; i++)
            out[i - done] = (r->d[r->at + i / 8] >> (7 - i % 8)) & 1;
        if (done + n == rowSamples) r->at += bytes;
        return true;
    }
    size_t width = h.maxval > 255 ? 2 : 1;  // big-endian pairs above 255
    if ((r->len - r->at) / width < n) return false;
    const unsigned char* p = r->d + r->at;
    for (size_t i = 0; i < n; i++, p += width)
        out[i] = width == 2 ? (uint32_t)(p[0] << 8 | p[1]) : p[0];
    r->at += n * width;
    return true;
}

// A sample scaled to 8 bits; bitmaps have 1 for black.
unsigned char Scale(uint32_t v, const PnmHeader& h) {
    if (v > h.maxval) v = h.maxval;
    if (IsBitmap(h.kind)) return v ? 0 : 255;
    if (h.maxval == 255) return (unsigned char)v;
    return (unsigned char)((v * 255u + h.maxval / 2) / h.maxval);
}

int Decode(const unsigned char* data, size_t len, SpiTarget* t) {
    PnmReader r = {data, len, 0};
    PnmHeader h;
    int res = ReadHeader(&r, &h);
    const int channels = IsColour(h.kind) ? 3 : 1;
    if (res == SPI_OK) res = SpiTargetBegin(t, h.width, h.height, channels);
    if (res != SPI_OK) return res;
    const size_t samples = (size_t)h.width * channels;
    // One row of samples at a time, in blocks of a fixed size on the stack.
    uint32_t block[3 * 1024];
    const size_t step = sizeof block / sizeof block[0];
    for (uint32_t y = 0; y < h.height; y++) {
        if (SpiTargetRowStart(t, y)) return SPI_ABORTED;
        unsigned char* out = SpiTargetRow(t, y);
        for (size_t done = 0; done < samples; done += step) {
            size_t n = samples - done < step ? samples - done : step;
            if (!ReadSamples(&r, h, done, n, samples, block)) return SPI_CORRUPT;
            for (size_t i = 0; i < n; i++) {
                size_t at = done + i;
                // Colour samples come red first; the bitmap holds blue first.
                size_t to = channels == 3 ? at - at % 3 + 2 - at % 3 : at;
                out[to] = Scale(block[i], h);
            }
        }
    }
    return SpiTargetFinish(t);
}

}  // namespace

const SpiCodec SpiPnmCodec = {SPI_PNM, ReadSize, Decode};
