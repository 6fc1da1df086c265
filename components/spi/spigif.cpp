// spigif.cpp - GIF through giflib: the first frame, interlaced or not, placed
// on the logical screen as a viewer shows it. What the frame leaves uncovered
// and its transparent colour are white; the frame's own colour table, else the
// global one, else a grey ramp gives the colours.
#include <string.h>

#include <gif_lib.h>

#include "components/spi/spiformat.h"

namespace {

struct GifSource {
    const unsigned char* data;
    size_t len, at;
};

int ReadData(GifFileType* g, GifByteType* out, int n) {
    GifSource* s = (GifSource*)g->UserData;
    size_t take = s->len - s->at < (size_t)n ? s->len - s->at : (size_t)n;
    memcpy(out, s->data + s->at, take);
    s->at += take;
    return (int)take;
}

int FailureOf(int gifError) {
    return gifError == D_GIF_ERR_NOT_ENOUGH_MEM ? SPI_NO_MEMORY : SPI_CORRUPT;
}

// An open file read up to the descriptor of its first frame.
struct GifFrame {
    GifSource src;
    GifFileType* gif;
    int transparent;         // colour index shown white, or -1
    uint64_t width, height;  // the screen, grown to hold the frame
};

void Close(GifFrame* f) {
    if (f->gif) DGifCloseFile(f->gif, nullptr);
    f->gif = nullptr;
}

int OpenFirstFrame(const unsigned char* data, size_t len, GifFrame* f) {
    memset(f, 0, sizeof *f);
    f->src.data = data;
    f->src.len = len;
    f->transparent = -1;
    int error = 0;
    f->gif = DGifOpen(&f->src, ReadData, &error);
    if (!f->gif) return FailureOf(error);
    GifFileType* g = f->gif;
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(g, &type) == GIF_ERROR) return FailureOf(g->Error);
        if (type == IMAGE_DESC_RECORD_TYPE) break;
        if (type != EXTENSION_RECORD_TYPE) return SPI_CORRUPT;  // the end, before any frame
        int code = 0;
        GifByteType* ext = nullptr;
        if (DGifGetExtension(g, &code, &ext) == GIF_ERROR) return FailureOf(g->Error);
        GraphicsControlBlock gcb;
        if (code == GRAPHICS_EXT_FUNC_CODE && ext &&
            DGifExtensionToGCB(ext[0], ext + 1, &gcb) == GIF_OK)
            f->transparent = gcb.TransparentColor;
        while (ext)
            if (DGifGetExtensionNext(g, &ext) == GIF_ERROR) return FailureOf(g->Error);
    }
    if (DGifGetImageDesc(g) == GIF_ERROR) return FailureOf(g->Error);
    const GifImageDesc& d = g->Image;
    f->width = (uint64_t)d.Left + (uint64_t)d.Width;
    f->height = (uint64_t)d.Top + (uint64_t)d.Height;
    if (f->width < (uint64_t)g->SWidth) f->width = (uint64_t)g->SWidth;
    if (f->height < (uint64_t)g->SHeight) f->height = (uint64_t)g->SHeight;
    return SpiCheckSize(f->width, f->height);
}

int ReadSize(const unsigned char* data, size_t len, SpiPictureSize* out) {
    GifFrame f;
    int r = OpenFirstFrame(data, len, &f);
    Close(&f);
    if (r != SPI_OK) return r;
    out->width = (uint32_t)f.width;
    out->height = (uint32_t)f.height;
    out->channels = 3;
    return SPI_OK;
}

// The frame's rows in the order they are stored: interlaced frames in four passes.
struct RowOrder {
    int pass;  // -1 when not interlaced
    uint32_t next, height;
};

bool NextRow(RowOrder* o, uint32_t* y) {
    static const uint32_t start[4] = {0, 4, 2, 1}, step[4] = {8, 8, 4, 2};
    if (o->pass < 0) {
        *y = o->next++;
        return *y < o->height;
    }
    while (o->pass < 4) {
        if (o->next < o->height) {
            *y = o->next;
            o->next += step[o->pass];
            return true;
        }
        if (++o->pass < 4) o->next = start[o->pass];
    }
    return false;
}

int DecodeFrame(GifFrame* f, SpiTarget* t) {
    GifFileType* g = f->gif;
    const GifImageDesc& d = g->Image;
    const uint32_t w = (uint32_t)f->width, h = (uint32_t)f->height;
    int r = SpiTargetBegin(t, w, h, 3);
    if (r != SPI_OK) return r;
    const ColorMapObject* map = d.ColorMap ? d.ColorMap : g->SColorMap;
    GifColorType colours[256];
    for (int i = 0; i < 256; i++) {
        GifColorType grey = {(GifByteType)i, (GifByteType)i, (GifByteType)i};
        GifColorType black = {0, 0, 0};
        colours[i] = !map ? grey : i < map->ColorCount ? map->Colors[i] : black;
    }
    if (f->transparent >= 0 && f->transparent < 256) colours[f->transparent] = {255, 255, 255};
    bool covers = d.Left == 0 && d.Top == 0 && (uint32_t)d.Width == w && (uint32_t)d.Height == h;
    if (!covers)
        for (uint32_t y = 0; y < h; y++) memset(SpiTargetRow(t, y), 0xFF, (size_t)w * 3);
    GifPixelType line[65536];
    RowOrder order = {d.Interlace ? 0 : -1, 0, (uint32_t)d.Height};
    uint32_t y = 0;
    while (d.Width > 0 && NextRow(&order, &y)) {
        if (order.pass < 0 && SpiTargetRowStart(t, d.Top + y)) return SPI_ABORTED;
        if (DGifGetLine(g, line, d.Width) == GIF_ERROR) return FailureOf(g->Error);
        unsigned char* out = SpiTargetRow(t, d.Top + y) + (size_t)d.Left * 3;
        for (int x = 0; x < d.Width; x++, out += 3) {
            const GifColorType& c = colours[line[x]];
            out[0] = c.Blue;
            out[1] = c.Green;
            out[2] = c.Red;
        }
    }
    return SpiTargetFinish(t);
}

int Decode(const unsigned char* data, size_t len, SpiTarget* t) {
    GifFrame f;
    int r = OpenFirstFrame(data, len, &f);
    if (r == SPI_OK) r = DecodeFrame(&f, t);
    Close(&f);
    return r;
}

}  // namespace

const SpiCodec SpiGifCodec = {SPI_GIF, ReadSize, Decode};
