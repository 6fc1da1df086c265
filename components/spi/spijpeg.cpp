// spijpeg.cpp - JPEG through libjpeg-turbo: baseline, progressive and
// arithmetic-coded, grey, colour, CMYK and YCCK. What the library only warns
// about (stray bytes, damaged data it can skip) still gives the picture; a file
// that ends before its end marker, or an error, does not.
#include <setjmp.h>
#include <stdio.h>
#include <string.h>

#include <jpeglib.h>
#include <jerror.h>

#include "components/spi/spiformat.h"

namespace {

// Scans past this count are refused: a small file of many empty progressive
// scans would otherwise keep the decoder busy for minutes.
const int MaxScans = 500;

struct JpegReader {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    jpeg_source_mgr src;
    jpeg_progress_mgr progress;
    jmp_buf jump;
    bool ranOut;  // the data ended before the decoder was done
    int code;     // the result of a failure
};

JpegReader* ReaderOf(j_common_ptr c) { return (JpegReader*)c->client_data; }

void OnError(j_common_ptr c) {
    JpegReader* r = ReaderOf(c);
    r->code = c->err->msg_code == JERR_OUT_OF_MEMORY ? SPI_NO_MEMORY : SPI_CORRUPT;
    longjmp(r->jump, 1);
}

void OnMessage(j_common_ptr, int) {}  // warnings: the picture goes on

void OnProgress(j_common_ptr c) {
    j_decompress_ptr d = (j_decompress_ptr)c;
    if (c->is_decompressor && d->input_scan_number > MaxScans) {
        ReaderOf(c)->code = SPI_CORRUPT;
        longjmp(ReaderOf(c)->jump, 1);
    }
}

void InitSource(j_decompress_ptr) {}
void TermSource(j_decompress_ptr) {}

// The whole file is in memory: asked for more, the data has run out. An end
// marker lets the decoder finish; the cut is reported once it has.
boolean FillInput(j_decompress_ptr d) {
    static const JOCTET end[2] = {0xFF, JPEG_EOI};
    ReaderOf((j_common_ptr)d)->ranOut = true;
    d->src->next_input_byte = end;
    d->src->bytes_in_buffer = 2;
    return TRUE;
}

void SkipInput(j_decompress_ptr d, long n) {
    if (n <= 0) return;
    if ((size_t)n > d->src->bytes_in_buffer) {
        FillInput(d);
        return;
    }
    d->src->next_input_byte += n;
    d->src->bytes_in_buffer -= (size_t)n;
}

void Open(JpegReader* r) {
    memset(r, 0, sizeof *r);
    r->d.err = jpeg_std_error(&r->err);
    r->err.error_exit = OnError;
    r->err.emit_message = OnMessage;
    r->d.client_data = r;
    r->code = SPI_CORRUPT;
}

// Reads the header (after Open and setjmp): the source is the data in memory.
void ReadHeader(JpegReader* r, const unsigned char* data, size_t len) {
    jpeg_create_decompress(&r->d);
    r->src.init_source = InitSource;
    r->src.fill_input_buffer = FillInput;
    r->src.skip_input_data = SkipInput;
    r->src.resync_to_restart = jpeg_resync_to_restart;
    r->src.term_source = TermSource;
    r->src.next_input_byte = data;
    r->src.bytes_in_buffer = len;
    r->d.src = &r->src;
    r->progress.progress_monitor = OnProgress;
    r->d.progress = &r->progress;
    jpeg_read_header(&r->d, TRUE);
}

// Grey pictures stay grey; everything else becomes colour.
int ChannelsOf(const jpeg_decompress_struct& d) {
    return d.jpeg_color_space == JCS_GRAYSCALE ? 1 : 3;
}

int ReadSize(const unsigned char* data, size_t len, SpiPictureSize* out) {
    JpegReader r;
    Open(&r);
    if (setjmp(r.jump)) {
        jpeg_destroy_decompress(&r.d);
        return r.code;
    }
    ReadHeader(&r, data, len);
    out->width = r.d.image_width;
    out->height = r.d.image_height;
    out->channels = ChannelsOf(r.d);
    jpeg_destroy_decompress(&r.d);
    return SPI_OK;
}

// Four-colour rows to blue-green-red. Adobe's files store the inks inverted
// (0 is full ink), as every program that writes them does.
void CmykToBgr(const unsigned char* s, unsigned char* d, uint32_t w, bool inverted) {
    for (uint32_t x = 0; x < w; x++, s += 4, d += 3) {
        unsigned c = s[0], m = s[1], y = s[2], k = s[3];
        if (!inverted) {
            c = 255 - c;
            m = 255 - m;
            y = 255 - y;
            k = 255 - k;
        }
        d[0] = (unsigned char)((y * k + 127) / 255);
        d[1] = (unsigned char)((m * k + 127) / 255);
        d[2] = (unsigned char)((c * k + 127) / 255);
    }
}

// The decoding after setjmp.
int DecodeRows(JpegReader* r, const unsigned char* data, size_t len, SpiTarget* t) {
    ReadHeader(r, data, len);
    jpeg_decompress_struct& d = r->d;
    int channels = ChannelsOf(d);
    bool cmyk = d.jpeg_color_space == JCS_CMYK || d.jpeg_color_space == JCS_YCCK;
    d.out_color_space = channels == 1 ? JCS_GRAYSCALE : cmyk ? JCS_CMYK : JCS_EXT_BGR;
    d.dct_method = JDCT_ISLOW;
    int res = SpiCheckSize(d.image_width, d.image_height);
    if (res == SPI_OK) res = SpiTargetBegin(t, d.image_width, d.image_height, channels);
    if (res != SPI_OK) return res;
    // Four-colour rows pass through a row of the decoder's own, freed with it.
    JSAMPROW cmykRow = nullptr;
    if (cmyk)
        cmykRow = *(*d.mem->alloc_sarray)((j_common_ptr)&d, JPOOL_IMAGE, d.image_width * 4, 1);
    jpeg_start_decompress(&d);
    if (d.output_width != t->layout.width || d.output_height != t->layout.height ||
        d.output_components != (cmyk ? 4 : channels))
        return SPI_CORRUPT;
    while (d.output_scanline < d.output_height) {
        uint32_t y = d.output_scanline;
        if (SpiTargetRowStart(t, y)) return SPI_ABORTED;
        JSAMPROW row = cmyk ? cmykRow : SpiTargetRow(t, y);
        if (jpeg_read_scanlines(&d, &row, 1) != 1) return SPI_CORRUPT;
        if (cmyk) CmykToBgr(cmykRow, SpiTargetRow(t, y), d.output_width, d.saw_Adobe_marker);
    }
    jpeg_finish_decompress(&d);
    if (r->ranOut) return SPI_CORRUPT;  // cut short: part of the picture is made up
    return SpiTargetFinish(t);
}

int Decode(const unsigned char* data, size_t len, SpiTarget* t) {
    JpegReader r;
    Open(&r);
    int res;
    if (setjmp(r.jump))
        res = r.code;
    else
        res = DecodeRows(&r, data, len, t);
    jpeg_destroy_decompress(&r.d);
    return res;
}

}  // namespace

const SpiCodec SpiJpegCodec = {SPI_JPEG, ReadSize, Decode};
