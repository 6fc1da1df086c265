// spipng.cpp - PNG through libpng and zlib: every colour type and bit depth,
// interlaced or not. Transparency, from an alpha channel or a tRNS chunk of any
// colour type, is composed over white; 16-bit samples are scaled to 8 bits.
#include <setjmp.h>
#include <stdlib.h>
#include <string.h>

#include <png.h>

#include "components/spi/spiformat.h"

namespace {

struct PngSource {
    const unsigned char* data;
    size_t len, at;
    int code;  // the result of a failure
};

void OnError(png_structp p, png_const_charp) {
    PngSource* s = (PngSource*)png_get_error_ptr(p);
    if (s->code == SPI_OK) s->code = SPI_CORRUPT;
    png_longjmp(p, 1);
}

void OnWarning(png_structp, png_const_charp) {}

// The library's blocks are at most this large: rows of the widest picture take
// far less, and a chunk that states a gigabyte in a small file gets no
// gigabyte (the library would zero it before it reads the chunk).
const size_t MaxBlock = 16u << 20;

png_voidp Allocate(png_structp, png_alloc_size_t size) {
    return size <= MaxBlock ? malloc(size) : nullptr;
}

void Free(png_structp, png_voidp block) { free(block); }

void ReadData(png_structp p, png_bytep out, size_t n) {
    PngSource* s = (PngSource*)png_get_io_ptr(p);
    if (s->len - s->at < n) png_error(p, "cut short");
    memcpy(out, s->data + s->at, n);
    s->at += n;
}

uint32_t Be32(const unsigned char* p) {
    return (uint32_t)p[0] << 24 | (uint32_t)p[1] << 16 | (uint32_t)p[2] << 8 | p[3];
}

// The size the header chunk states, before the library reads it: too large a
// picture is refused for its size whatever else is wrong with the file.
int StatedSize(const unsigned char* d, size_t len) {
    if (len < 24 || memcmp(d + 12, "IHDR", 4) != 0) return SPI_OK;
    int r = SpiCheckSize(Be32(d + 16), Be32(d + 20));
    return r == SPI_NO_MEMORY ? r : SPI_OK;
}

struct PngReader {
    PngSource src;
    png_structp png;
    png_infop info;
    unsigned char* pixels;  // rows with alpha, before they are composed
};

bool Open(PngReader* r, const unsigned char* data, size_t len) {
    memset(r, 0, sizeof *r);
    r->src.data = data;
    r->src.len = len;
    r->png = png_create_read_struct_2(PNG_LIBPNG_VER_STRING, &r->src, OnError, OnWarning, nullptr,
                                      Allocate, Free);
    if (r->png) r->info = png_create_info_struct(r->png);
    if (!r->info) return false;
    png_set_read_fn(r->png, &r->src, ReadData);
    png_set_user_limits(r->png, SPI_MAX_SIDE, SPI_MAX_SIDE);
    return true;
}

void Close(PngReader* r) {
    if (r->png) png_destroy_read_struct(&r->png, r->info ? &r->info : nullptr, nullptr);
    free(r->pixels);
}

int ChannelsOf(int colorType) { return colorType & PNG_COLOR_MASK_COLOR ? 3 : 1; }

// Rows with alpha (grey-alpha or blue-green-red-alpha) composed over white.
void ComposeRow(const unsigned char* s, unsigned char* d, uint32_t w, int channels) {
    if (channels == 1) {
        for (uint32_t x = 0; x < w; x++, s += 2) *d++ = SpiOverWhite(s[0], s[1]);
        return;
    }
    for (uint32_t x = 0; x < w; x++, s += 4) {
        *d++ = SpiOverWhite(s[0], s[3]);
        *d++ = SpiOverWhite(s[1], s[3]);
        *d++ = SpiOverWhite(s[2], s[3]);
    }
}

// The decoding after setjmp.
int DecodeRows(PngReader* r, SpiTarget* t) {
    png_structp p = r->png;
    png_read_info(p, r->info);
    png_uint_32 w = 0, h = 0;
    int depth = 0, colorType = 0, interlace = 0;
    png_get_IHDR(p, r->info, &w, &h, &depth, &colorType, &interlace, nullptr, nullptr);
    int channels = ChannelsOf(colorType);
    bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(p, r->info, PNG_INFO_tRNS);
    png_set_scale_16(p);
    png_set_expand(p);  // palette to colour, small grey to 8 bits, tRNS to alpha
    if (channels == 3) png_set_bgr(p);
    int passes = png_set_interlace_handling(p);
    png_read_update_info(p, r->info);
    size_t rowBytes = (size_t)w * (channels + (alpha ? 1 : 0));
    if (png_get_rowbytes(p, r->info) != rowBytes) return SPI_CORRUPT;
    int res = SpiTargetBegin(t, w, h, channels);
    if (res != SPI_OK) return res;
    if (!alpha && passes == 1) {
        for (uint32_t y = 0; y < h; y++) {
            if (SpiTargetRowStart(t, y)) return SPI_ABORTED;
            png_read_row(p, SpiTargetRow(t, y), nullptr);
        }
    } else if (!alpha) {
        // Each pass adds pixels to the rows of the one before.
        for (int pass = 0; pass < passes; pass++)
            for (uint32_t y = 0; y < h; y++) png_read_row(p, SpiTargetRow(t, y), nullptr);
    } else {
        // With alpha, the rows are read whole (all of them when interlaced) first.
        size_t rows = passes == 1 ? 1 : h;
        r->pixels = (unsigned char*)malloc(rowBytes * rows);
        if (!r->pixels) return SPI_NO_MEMORY;
        for (int pass = 0; pass < passes; pass++)
            for (uint32_t y = 0; y < h; y++) {
                if (passes == 1 && SpiTargetRowStart(t, y)) return SPI_ABORTED;
                unsigned char* row = r->pixels + (passes == 1 ? 0 : rowBytes * y);
                png_read_row(p, row, nullptr);
                if (pass == passes - 1) ComposeRow(row, SpiTargetRow(t, y), w, channels);
            }
    }
    png_read_end(p, nullptr);  // the data must end as it should
    return SpiTargetFinish(t);
}

// Runs step over a reader of data (after its stated size is checked), with the
// library's errors turned into a result code.
template <typename Step>
int Run(const unsigned char* data, size_t len, Step step) {
    int res = StatedSize(data, len);
    if (res != SPI_OK) return res;
    PngReader r;
    if (!Open(&r, data, len)) {
        Close(&r);
        return SPI_NO_MEMORY;
    }
    if (setjmp(png_jmpbuf(r.png)))
        res = r.src.code;
    else
        res = step(&r);
    Close(&r);
    return res;
}

int ReadSize(const unsigned char* data, size_t len, SpiPictureSize* out) {
    return Run(data, len, [out](PngReader* r) {
        png_read_info(r->png, r->info);
        out->width = png_get_image_width(r->png, r->info);
        out->height = png_get_image_height(r->png, r->info);
        out->channels = ChannelsOf(png_get_color_type(r->png, r->info));
        return SPI_OK;
    });
}

int Decode(const unsigned char* data, size_t len, SpiTarget* t) {
    return Run(data, len, [t](PngReader* r) { return DecodeRows(r, t); });
}

}  // namespace

const SpiCodec SpiPngCodec = {SPI_PNG, ReadSize, Decode};
