// Fuzz target for the picture plug-ins' decoding: the input is a picture in
// memory, offered to the decoder with every format (recognition picks one), to
// one format named by its first byte, and read for its information record. A
// decoded picture is planned, its header written and its rows converted into
// exact-size heap blocks (AddressSanitizer sees any write past them), with a
// progress callback that stops at a call the input chooses.
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

void Decode(const uint8_t* data, size_t size, unsigned formats, int stopAt) {
    SpiPixels px;
    int r = SpiDecode(data, size, formats, &px);
    Check(r == SPI_OK || r == SPI_UNKNOWN_FORMAT || r == SPI_CORRUPT || r == SPI_NO_MEMORY);
    SpiPictureInfo info;
    int ri = SpiFillPictureInfo(data, size, formats, &info);
    if (r != SPI_OK) {
        Check(px.pixels == nullptr);
        return;
    }
    Check(ri == SPI_OK && info.width == px.width && info.height == px.height);
    Check((uint64_t)px.width * px.height <= SPI_MAX_PIXELS);
    SpiDibLayout l;
    Check(SpiPlanDib(px.width, px.height, px.channels, &l) == SPI_OK);
    Check(l.stride % 4 == 0 && l.imageBytes == (size_t)l.stride * l.height);
    Check(info.colorDepth == l.bitCount);
    unsigned char* head = (unsigned char*)malloc(l.infoBytes);
    unsigned char* image = (unsigned char*)malloc(l.imageBytes);
    Check(SpiWriteDibInfo(&l, head, l.infoBytes) == 1);
    Stop stop = {0, stopAt, 0};
    int rc = SpiConvertRows(&px, &l, image, l.imageBytes, Progress, &stop);
    Check(rc == SPI_OK || (rc == SPI_ABORTED && stop.calls == stopAt));
    if (rc == SPI_OK) {
        // Touch the first and last byte of the rows, and the padding is zero.
        volatile unsigned sum = image[0] + image[l.imageBytes - 1];
        (void)sum;
        size_t used = (size_t)l.width * (l.bitCount / 8);
        for (size_t b = used; b < l.stride; b++) Check(image[b] == 0);
    }
    free(head);
    free(image);
    SpiFreePixels(&px);
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
