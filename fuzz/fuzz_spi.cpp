// Fuzz target for the picture plug-ins' decoding: the input is a picture in
// memory, offered to the decoders with every format (recognition picks one), to
// one format named by its first byte, and read for its information record. The
// decoders write the bitmap into an exact-size heap block (AddressSanitizer
// sees any write past it), with a progress callback that stops at a call the
// input chooses (TGA pictures pass through the row conversion of decoded pixels).
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "components/spi/spidecode.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

const unsigned kAll = SPI_JPEG | SPI_GIF | SPI_PNG | SPI_TGA | SPI_PSD | SPI_PNM;

struct Stop {
    int calls, stopAt, lastDone;
};

int Progress(int done, int total, void* ctx) {
    Stop* s = (Stop*)ctx;
    Check(done >= s->lastDone && done <= total && total > 0);
    s->lastDone = done;
    return ++s->calls == s->stopAt;
}

// The pixel block: exact size, filled with a pattern the decoder must overwrite.
struct Block {
    unsigned char* p;
    size_t size;
};

unsigned char* Allocate(size_t bytes, void* ctx) {
    Block* b = (Block*)ctx;
    Check(b->p == nullptr);  // one block per picture
    b->p = (unsigned char*)malloc(bytes);
    if (b->p) memset(b->p, 0xA5, bytes);
    b->size = bytes;
    return b->p;
}

void Decode(const uint8_t* data, size_t size, unsigned formats, int stopAt) {
    Block block = {nullptr, 0};
    Stop stop = {0, stopAt, 0};
    SpiSink sink = {Allocate, &block, Progress, &stop};
    SpiBitmap bm;
    int r = SpiDecodeBitmap(data, size, formats, &sink, &bm);
    Check(r == SPI_OK || r == SPI_UNKNOWN_FORMAT || r == SPI_CORRUPT || r == SPI_NO_MEMORY ||
          (r == SPI_ABORTED && stop.calls == stopAt));
    SpiPictureInfo info;
    int ri = SpiFillPictureInfo(data, size, formats, &info);
    if (r == SPI_OK) {
        const SpiDibLayout& l = bm.layout;
        Check(ri == SPI_OK && info.width == l.width && info.height == l.height);
        Check((uint64_t)l.width * l.height <= SPI_MAX_PIXELS);
        Check(l.stride % 4 == 0 && l.imageBytes == (size_t)l.stride * l.height);
        Check(block.p == bm.image && block.size == l.imageBytes);
        Check(info.colorDepth == l.bitCount);
        unsigned char* head = (unsigned char*)malloc(l.infoBytes);
        Check(SpiWriteDibInfo(&l, head, l.infoBytes) == 1);
        free(head);
        // The padding is zero (a pixel may hold any value, the pattern too).
        size_t used = (size_t)l.width * (l.bitCount / 8);
        for (uint32_t y = 0; y < l.height; y++)
            for (size_t b = used; b < l.stride; b++) Check(bm.image[(size_t)y * l.stride + b] == 0);
    }
    free(block.p);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    int stopAt = size ? data[size - 1] % 8 : 0;
    Decode(data, size, kAll, stopAt);
    if (size > 1) Decode(data + 1, size - 1, 1u << (data[0] % 6), 0);
    // The information texts with any number and buffer size.
    if (size >= 2) {
        char buf[64];
        int buflen = data[1] % 66 - 1;
        int n = SpiPluginInfoText(&SpiXld4Plugin, (int8_t)data[0], buf, buflen > 64 ? 64 : buflen);
        Check(n >= 0 && (n == 0 || (n < buflen && strlen(buf) == (size_t)n)));
    }
    return 0;
}
