// spipsd.cpp - the merged picture of a PSD file: bitmap, grey, duotone (as
// grey), indexed, RGB and CMYK, 1, 8 or 16 bits a sample, raw or run-length
// (PackBits). When the layer count is negative, the first channel past the
// colour ones is the merged picture's transparency: it is composed over white.
// Further channels (masks, spot colours) are not shown.
#include <stdlib.h>
#include <string.h>

#include "components/spi/spiformat.h"

namespace {

uint32_t Be16(const unsigned char* p) { return (uint32_t)(p[0] << 8 | p[1]); }
uint32_t Be32(const unsigned char* p) { return Be16(p) << 16 | Be16(p + 2); }

enum { ModeBitmap = 0, ModeGrey = 1, ModeIndexed = 2, ModeRgb = 3, ModeCmyk = 4, ModeDuotone = 8 };

struct Psd {
    const unsigned char* d;
    size_t len;
    uint32_t width, height, channels, depth, mode;
    int colours;               // colour channels: 1, 3 or 4
    bool alpha;                // the channel after them is transparency
    const unsigned char* map;  // indexed: 256 reds, 256 greens, 256 blues
    size_t data;               // the image data after the compression word
    bool packed;               // run-length rows
    size_t rowBytes;           // bytes of one row of one channel, unpacked
};

int ReadHeader(const unsigned char* d, size_t len, Psd* p) {
    memset(p, 0, sizeof *p);
    p->d = d;
    p->len = len;
    if (len < 26 || memcmp(d, "8BPS", 4) != 0) return SPI_UNKNOWN_FORMAT;
    if (Be16(d + 4) != 1) return SPI_CORRUPT;  // the large-document variant is not read
    p->channels = Be16(d + 12);
    p->height = Be32(d + 14);
    p->width = Be32(d + 18);
    p->depth = Be16(d + 22);
    p->mode = Be16(d + 24);
    int r = SpiCheckSize(p->width, p->height);
    if (r != SPI_OK) return r;
    switch (p->mode) {
        case ModeBitmap:
            if (p->depth != 1) return SPI_CORRUPT;
            p->colours = 1;
            break;
        case ModeGrey:
        case ModeDuotone:
        case ModeIndexed:
            p->colours = 1;
            break;
        case ModeRgb:
            p->colours = 3;
            break;
        case ModeCmyk:
            p->colours = 4;
            break;
        default:
            return SPI_CORRUPT;
    }
    if ((p->mode != ModeBitmap && p->depth != 8 && p->depth != 16) ||
        (p->mode == ModeIndexed && p->depth != 8) || p->channels < (uint32_t)p->colours)
        return SPI_CORRUPT;
    // Colour mode data (the palette of indexed pictures), resources, layers.
    uint64_t at = 26;
    for (int section = 0; section < 3; section++) {
        if (len < at + 4) return SPI_CORRUPT;
        uint64_t size = Be32(d + at);
        if (section == 0 && p->mode == ModeIndexed) {
            if (size < 768 || len < at + 4 + 768) return SPI_CORRUPT;
            p->map = d + at + 4;
        }
        if (section == 2 && size >= 6 && len >= at + 10 && Be32(d + at + 4) >= 2)
            p->alpha = (Be16(d + at + 8) & 0x8000) && p->channels > (uint32_t)p->colours &&
                       p->mode != ModeIndexed && p->mode != ModeBitmap;
        at += 4 + size;
    }
    if (len < at + 2) return SPI_CORRUPT;
    uint32_t compression = Be16(d + at);
    if (compression > 1) return SPI_CORRUPT;  // the zip kinds only occur in layers
    p->packed = compression == 1;
    p->data = (size_t)at + 2;
    p->rowBytes = p->depth == 1 ? (p->width + 7) / 8 : (size_t)p->width * (p->depth / 8);
    return SPI_OK;
}

int ReadSize(const unsigned char* data, size_t len, SpiPictureSize* out) {
    Psd p;
    int r = ReadHeader(data, len, &p);
    if (r != SPI_OK) return r;
    out->width = p.width;
    out->height = p.height;
    out->channels = p.mode == ModeRgb || p.mode == ModeCmyk || p.mode == ModeIndexed ? 3 : 1;
    return SPI_OK;
}

// Unpacks one PackBits row of want bytes from src (n bytes): false when damaged.
bool Unpack(const unsigned char* src, size_t n, unsigned char* out, size_t want) {
    size_t at = 0, done = 0;
    while (done < want) {
        if (at >= n) return false;
        unsigned c = src[at++];
        if (c < 128) {
            size_t run = c + 1;
            if (run > want - done || run > n - at) return false;
            memcpy(out + done, src + at, run);
            at += run;
            done += run;
        } else if (c > 128) {
            size_t run = 257 - c;
            if (run > want - done || at >= n) return false;
            memset(out + done, src[at++], run);
            done += run;
        }
    }
    return true;
}

// Where each row of each colour channel starts, and its stored length.
struct RowIndex {
    uint64_t at, bytes;
};

// Reads row y of channel c into out (rowBytes bytes).
bool ReadRow(const Psd& p, const RowIndex& row, unsigned char* out) {
    if (row.at > p.len || p.len - row.at < row.bytes) return false;
    if (!p.packed) {
        memcpy(out, p.d + row.at, p.rowBytes);
        return true;
    }
    return Unpack(p.d + row.at, (size_t)row.bytes, out, p.rowBytes);
}

// Sample x of an unpacked row as 8 bits.
unsigned Sample(const Psd& p, const unsigned char* row, uint32_t x) {
    if (p.depth == 1) return (row[x / 8] >> (7 - x % 8)) & 1 ? 0 : 255;  // 1 is black
    if (p.depth == 16) return row[2 * x];
    return row[x];
}

int Decode(const unsigned char* data, size_t len, SpiTarget* t) {
    Psd p;
    int r = ReadHeader(data, len, &p);
    SpiPictureSize size;
    if (r == SPI_OK) r = ReadSize(data, len, &size);
    if (r == SPI_OK) r = SpiTargetBegin(t, p.width, p.height, size.channels);
    if (r != SPI_OK) return r;
    // Row starts: raw planes follow each other; packed ones follow the table of
    // the byte counts of every row of every channel.
    const uint64_t rows = (uint64_t)p.channels * p.height;
    const uint64_t first = p.data + (p.packed ? 2 * rows : 0);
    if (first > len) return SPI_CORRUPT;
    const size_t rowBytes = p.rowBytes;
    const int read = p.colours + (p.alpha ? 1 : 0);
    uint64_t next[5];  // where the next row of each channel read starts
    for (int c = 0; c < read; c++) {
        next[c] = c == 0 ? first : next[c - 1];
        for (uint32_t y = 0; c > 0 && y < p.height; y++)
            next[c] +=
                p.packed ? Be16(data + p.data + 2 * ((uint64_t)(c - 1) * p.height + y)) : rowBytes;
    }
    unsigned char* buffer = (unsigned char*)malloc(rowBytes * read);
    if (!buffer) return SPI_NO_MEMORY;
    for (uint32_t y = 0; y < p.height && r == SPI_OK; y++) {
        if (SpiTargetRowStart(t, y)) r = SPI_ABORTED;
        for (int c = 0; c < read && r == SPI_OK; c++) {
            RowIndex row;
            row.at = next[c];
            row.bytes =
                p.packed ? Be16(data + p.data + 2 * ((uint64_t)c * p.height + y)) : rowBytes;
            next[c] += row.bytes;
            if (!ReadRow(p, row, buffer + c * rowBytes)) r = SPI_CORRUPT;
        }
        if (r != SPI_OK) break;
        unsigned char* out = SpiTargetRow(t, y);
        for (uint32_t x = 0; x < p.width; x++) {
            unsigned v[5];
            for (int c = 0; c < read; c++) v[c] = Sample(p, buffer + c * rowBytes, x);
            unsigned bgr[3] = {v[0], v[0], v[0]};
            if (p.mode == ModeIndexed) {
                bgr[0] = p.map[512 + v[0]];
                bgr[1] = p.map[256 + v[0]];
                bgr[2] = p.map[v[0]];
            } else if (p.colours == 3) {
                bgr[0] = v[2];
                bgr[2] = v[0];
                bgr[1] = v[1];
            } else if (p.colours == 4) {  // inks stored inverted: 255 is none
                bgr[0] = (v[2] * v[3] + 127) / 255;
                bgr[1] = (v[1] * v[3] + 127) / 255;
                bgr[2] = (v[0] * v[3] + 127) / 255;
            }
            int outputs = size.channels;
            for (int i = 0; i < outputs; i++)
                *out++ = p.alpha ? SpiOverWhite(bgr[i], v[p.colours]) : (unsigned char)bgr[i];
        }
    }
    free(buffer);
    return r == SPI_OK ? SpiTargetFinish(t) : r;
}

}  // namespace

const SpiCodec SpiPsdCodec = {SPI_PSD, ReadSize, Decode};
