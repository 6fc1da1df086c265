// spiformat.h - what the format decoders of the picture plug-ins share: the
// bitmap they write into, and the table of the decoders a build holds.
#pragma once
#include "components/spi/spidecode.h"

// The bitmap a decoder fills.
struct SpiTarget {
    const SpiSink* sink;
    SpiDibLayout layout;
    unsigned char* image;  // null until SpiTargetBegin
};

// SPI_OK, SPI_CORRUPT for an empty picture, SPI_NO_MEMORY beyond the limits.
int SpiCheckSize(uint64_t width, uint64_t height);

// Plans the bitmap of a width x height picture with channels channels (1 grey,
// 3 colour), takes its block from the sink and zeroes the row padding.
int SpiTargetBegin(SpiTarget* t, uint32_t width, uint32_t height, int channels);
// Row y of the picture, counted from the top.
inline unsigned char* SpiTargetRow(const SpiTarget* t, uint32_t y) {
    return t->image + (size_t)(t->layout.height - 1 - y) * t->layout.stride;
}
// Called before row y is written: reports progress every few rows. Non-zero
// when the host asked to stop.
int SpiTargetRowStart(const SpiTarget* t, uint32_t y);
// Reports the last row: SPI_OK or SPI_ABORTED.
int SpiTargetFinish(const SpiTarget* t);

// A colour over white by its alpha, rounded.
inline unsigned char SpiOverWhite(unsigned c, unsigned a) {
    return (unsigned char)((c * a + 255u * (255u - a) + 127u) / 255u);
}

// One format's decoder: the size its header states (SpiReadPictureSize's
// codes), and the decoding into a target it begins itself.
struct SpiCodec {
    unsigned format;
    int (*readSize)(const unsigned char* data, size_t len, SpiPictureSize* out);
    int (*decode)(const unsigned char* data, size_t len, SpiTarget* target);
};

// The decoder of a format in this build, or null (spicodecs.cpp).
const SpiCodec* SpiFindCodec(unsigned format);

extern const SpiCodec SpiJpegCodec;  // spijpeg.cpp
extern const SpiCodec SpiPngCodec;   // spipng.cpp
extern const SpiCodec SpiGifCodec;   // spigif.cpp
extern const SpiCodec SpiPnmCodec;   // spipnm.cpp
extern const SpiCodec SpiTgaCodec;   // spistb.cpp
extern const SpiCodec SpiPsdCodec;   // spipsd.cpp
