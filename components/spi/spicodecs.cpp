// spicodecs.cpp - the decoders of this build. Each plug-in names its formats
// (SPI_CODEC_JPEG, ...) and links only their libraries; without any, every
// decoder is held (the native tests, fuzzing and benchmarks).
#include "components/spi/spiformat.h"

#if !defined(SPI_CODEC_JPEG) && !defined(SPI_CODEC_GIF) && !defined(SPI_CODEC_XLD4)
#define SPI_CODEC_JPEG
#define SPI_CODEC_GIF
#define SPI_CODEC_XLD4
#endif

static const SpiCodec* const Codecs[] = {
#ifdef SPI_CODEC_JPEG
    &SpiJpegCodec,
#endif
#ifdef SPI_CODEC_GIF
    &SpiGifCodec,
#endif
#ifdef SPI_CODEC_XLD4
    &SpiPngCodec,  &SpiPnmCodec, &SpiTgaCodec, &SpiPsdCodec,
#endif
};

const SpiCodec* SpiFindCodec(unsigned format) {
    for (const SpiCodec* c : Codecs)
        if (c->format == format) return c;
    return nullptr;
}
