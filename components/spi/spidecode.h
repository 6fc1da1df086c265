// spidecode.h - the pure part of our picture plug-ins: which formats a plug-in
// reads and how it recognises them, its information texts, the decoding of a
// picture in memory, and the device-independent bitmap it hands back (header,
// colour table, bottom-up rows padded to four bytes, blue-green-red order).
// The decoders write the bitmap straight into a block the caller allocates.
// JPEG: libjpeg-turbo; PNG: libpng with zlib; GIF: giflib; PNM and PSD: our
// own readers; TGA: stb_image. A build holds the decoders its plug-in
// needs (spicodecs.cpp); the others' formats are unknown to it.
// No windows.h: the plug-in DLLs put this into local memory blocks and files.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Result codes of the plug-in calls.
enum SpiResult {
    SPI_OK = 0,
    SPI_NOT_IMPLEMENTED = -1,
    SPI_ABORTED = 1,         // the progress callback asked to stop
    SPI_UNKNOWN_FORMAT = 2,  // not a picture this plug-in reads
    SPI_CORRUPT = 3,         // damaged or truncated data
    SPI_NO_MEMORY = 4,       // allocation failed or the picture is too large
    SPI_MEMORY_ERROR = 5,    // a memory block could not be locked
    SPI_READ_ERROR = 6,      // the file could not be opened or read
    SPI_INTERNAL = 8,
};

// Picture formats, as bits of a plug-in's format set.
enum SpiFormat {
    SPI_JPEG = 0x01,
    SPI_GIF = 0x02,
    SPI_PNG = 0x04,
    SPI_TGA = 0x08,
    SPI_PSD = 0x10,
    SPI_PNM = 0x20,
};

// Bytes of the head a plug-in is handed to recognise a file (2 KB).
const size_t SPI_HEAD_BYTES = 2048;
// Bytes of the head recognition looks at (SpiSniffFormat reads no further).
const size_t SPI_SNIFF_BYTES = 32;
// The most pixels a picture may have (a hostile header never gets more memory).
const uint64_t SPI_MAX_PIXELS = 1u << 25;
// The longest side a picture may have.
const uint32_t SPI_MAX_SIDE = 1u << 16;
// The largest file a plug-in reads into memory.
const uint64_t SPI_MAX_FILE_BYTES = 256u * 1024u * 1024u;

// One extension filter and its description.
struct SpiFilter {
    const char* pattern;      // "*.jpg;*.jpeg"
    const char* description;  // "JPEG file"
};

// What a plug-in is: its name and version text, its filters and its formats.
struct SpiPluginDesc {
    const char* name;
    const SpiFilter* filters;
    int filterCount;
    unsigned formats;  // SpiFormat bits
};

// The three plug-ins of the tree.
extern const SpiPluginDesc SpiJpegPlugin;  // ifjpeg.spi
extern const SpiPluginDesc SpiGifPlugin;   // ifgif.spi
extern const SpiPluginDesc SpiXld4Plugin;  // ifxld4.spi

// The information text number infono: 0 "00IN", 1 the name, 2n+2 the pattern and
// 2n+3 the description of filter n. Copies it into buf (buflen bytes, always
// NUL-terminated, cut when longer) and returns the bytes copied without the NUL;
// 0 for an unknown number or no room.
int SpiPluginInfoText(const SpiPluginDesc* plugin, int infono, char* buf, int buflen);

// The format of the picture that head (len bytes) starts, among the formats of
// the set; 0 when none. Only the first min(len, SPI_SNIFF_BYTES) bytes are looked
// at (every signature, and the header of a TGA file, which has no signature).
unsigned SpiSniffFormat(const unsigned char* head, size_t len, unsigned formats);

// What a picture's header says without decoding it.
struct SpiPictureSize {
    uint32_t width, height;
    int channels;  // 1 grey, 2 grey + alpha, 3 colour, 4 colour + alpha
};

// Reads the size of the picture in data (len bytes) of one of the formats;
// channels is the count of the bitmap handed back (1 grey, else colour).
// SPI_UNKNOWN_FORMAT, SPI_CORRUPT (header unreadable) or SPI_NO_MEMORY (more
// than SPI_MAX_PIXELS or a side above SPI_MAX_SIDE). The data behind the header
// is not read: a picture cut short may still have a size.
int SpiReadPictureSize(const unsigned char* data, size_t len, unsigned formats,
                       SpiPictureSize* out);

// Pixels in memory: top-down rows of width * channels bytes, red first.
struct SpiPixels {
    uint32_t width, height;
    int channels;
    unsigned char* pixels;
};

// The bitmap handed back: grey pictures as 8 bits with a 256-entry grey colour
// table, colour pictures as 24 bits. Alpha is composed over white, as the
// picture would show on a white page.
struct SpiDibLayout {
    uint32_t width, height;
    uint16_t bitCount;    // 8 or 24
    uint32_t colorCount;  // colour-table entries (256 or 0)
    uint32_t stride;      // bytes per row, a multiple of 4
    size_t infoBytes;     // header + colour table
    size_t imageBytes;    // stride * height
};

// Plans the bitmap of a width x height picture with channels channels.
// SPI_CORRUPT for an empty picture or bad channel count, SPI_NO_MEMORY when it is
// larger than the limits.
int SpiPlanDib(uint32_t width, uint32_t height, int channels, SpiDibLayout* out);

// The bit count the bitmap of a picture with channels channels has (8 or 24).
int SpiDibBitCount(int channels);

// Writes the 40-byte header (little-endian, height positive: bottom-up) and the
// colour table into info (infoSize >= layout.infoBytes). 0 when too small.
int SpiWriteDibInfo(const SpiDibLayout* layout, unsigned char* info, size_t infoSize);

// Progress: called with the rows done and the rows in all; non-zero stops.
typedef int (*SpiProgress)(int done, int total, void* ctx);

// Converts the top-down pixels into the bottom-up rows of the bitmap at image
// (imageSize >= layout.imageBytes; padding bytes are zeroed), calling progress
// (may be null) every few rows. SPI_OK, SPI_ABORTED, or SPI_INTERNAL when the
// pieces do not fit together.
int SpiConvertRows(const SpiPixels* src, const SpiDibLayout* layout, unsigned char* image,
                   size_t imageSize, SpiProgress progress, void* ctx);

// Where a decoder puts the bitmap: the allocator of the pixel block (null when
// there is no memory; the block need not be zeroed) and the progress callback.
struct SpiSink {
    unsigned char* (*allocate)(size_t bytes, void* ctx);
    void* allocateCtx;
    SpiProgress progress;  // may be null
    void* progressCtx;
};

// A decoded picture: its plan and its rows in the block from the allocator.
struct SpiBitmap {
    SpiDibLayout layout;
    unsigned char* image;
};

// Decodes the picture in data (the first frame of an animation) into the bitmap
// rows: every pixel and padding byte written. SPI_OK, the codes of
// SpiReadPictureSize, SPI_CORRUPT (damaged or cut short), SPI_NO_MEMORY or
// SPI_ABORTED. out->image is the allocated block, on failure too: the caller
// frees it.
int SpiDecodeBitmap(const unsigned char* data, size_t len, unsigned formats, const SpiSink* sink,
                    SpiBitmap* out);

// The picture information record of the plug-in interface: packed, so its layout
// is the same for every host (hInfo at byte 22 on both architectures).
#pragma pack(push, 1)
struct SpiPictureInfo {
    int32_t left, top;       // where the picture is placed (always 0)
    uint32_t width, height;  // size in pixels
    uint16_t x_density, y_density;
    int16_t colorDepth;      // bits per pixel of the bitmap handed back
    void* hInfo;             // a local block of text information, or none
};
#pragma pack(pop)
static_assert(offsetof(SpiPictureInfo, x_density) == 16, "picture info layout");
static_assert(offsetof(SpiPictureInfo, colorDepth) == 20, "picture info layout");
static_assert(offsetof(SpiPictureInfo, hInfo) == 22, "picture info layout");
static_assert(sizeof(SpiPictureInfo) == 22 + sizeof(void*), "picture info layout");

// Fills the information record of the picture in data: SpiReadPictureSize's codes.
int SpiFillPictureInfo(const unsigned char* data, size_t len, unsigned formats,
                       SpiPictureInfo* info);
