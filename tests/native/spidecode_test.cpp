// Tests of the picture plug-ins' pure part: information texts, recognition by
// content, the bitmap plan and header, the row conversion (bottom-up, padding,
// blue-green-red, alpha over white, progress), and decoding of small pictures
// the tests write, damaged ones and hostile headers.
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <sys/resource.h>

#include <string>
#include <vector>

#include "components/spi/spidecode.h"
#include "tests/spi_jpeg_encode.h"
#include "tests/spi_jpeg_samples.h"
#include "tests/spi_samples.h"

using spisample::Bytes;

namespace {

uint32_t Get32(const unsigned char* p) {
    return (uint32_t)(p[0] | p[1] << 8 | p[2] << 16 | (uint32_t)p[3] << 24);
}
uint16_t Get16(const unsigned char* p) { return (uint16_t)(p[0] | p[1] << 8); }

TEST(SpiPluginInfo, TextsByNumber) {
    struct Case {
        const SpiPluginDesc* plugin;
        int infono;
        int buflen;
        const char* text;
    } cases[] = {
        {&SpiJpegPlugin, 0, 64, "00IN"},
        {&SpiJpegPlugin, 1, 64, "vorn JPEG plug-in 1.1 (libjpeg-turbo)"},
        {&SpiJpegPlugin, 2, 64, "*.jpg;*.jpeg;*.jpe;*.jfif"},
        {&SpiJpegPlugin, 3, 64, "JPEG file"},
        {&SpiJpegPlugin, 4, 64, ""},
        {&SpiJpegPlugin, -1, 64, ""},
        {&SpiGifPlugin, 2, 64, "*.gif"},
        {&SpiGifPlugin, 3, 64, "GIF file"},
        {&SpiGifPlugin, 5, 64, ""},
        {&SpiXld4Plugin, 2, 64, "*.png"},
        {&SpiXld4Plugin, 5, 64, "TGA file"},
        {&SpiXld4Plugin, 6, 64, "*.psd"},
        {&SpiXld4Plugin, 8, 64, "*.pnm;*.ppm;*.pgm"},
        {&SpiXld4Plugin, 9, 64, "PNM file"},
        {&SpiXld4Plugin, 10, 64, ""},
        {&SpiJpegPlugin, 0, 3, "00"},  // cut to the buffer, NUL included
        {&SpiJpegPlugin, 3, 1, ""},
        {&SpiJpegPlugin, 0, 0, nullptr},  // no room: nothing written
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.infono);
        char buf[80];
        memset(buf, 'x', sizeof buf);
        int n = SpiPluginInfoText(c.plugin, c.infono, buf, c.buflen);
        if (!c.text) {
            EXPECT_EQ(0, n);
            EXPECT_EQ('x', buf[0]);
            continue;
        }
        EXPECT_EQ((int)strlen(c.text), n);
        EXPECT_STREQ(c.text, buf);
        EXPECT_EQ('x', buf[c.buflen]);  // nothing beyond the buffer
    }
}

TEST(SpiSniff, RecognisesByContentWithinTheSet) {
    Bytes quad = spisample::Quad();
    const unsigned all = SPI_JPEG | SPI_GIF | SPI_PNG | SPI_TGA | SPI_PSD | SPI_PNM;
    const unsigned xld4 = SpiXld4Plugin.formats;
    Bytes bmp(64, 0);
    bmp[0] = 'B';
    bmp[1] = 'M';
    Bytes tgaMapped = spisample::Tga(2, 2, quad, true);
    tgaMapped[1] = 1;  // colour map with type 2: not a TGA the decoder reads
    Bytes tgaZero = spisample::Tga(2, 2, quad, true);
    tgaZero[12] = tgaZero[13] = 0;  // width 0
    struct Case {
        Bytes head;
        unsigned formats;
        unsigned want;
    } cases[] = {
        {{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10}, all, SPI_JPEG},
        {{0xFF, 0xD8, 0xFF, 0xE0, 0, 0x10}, xld4, 0},
        {{0xFF, 0xD8, 0x00}, all, 0},
        {{'G', 'I', 'F', '8', '7', 'a', 1, 0}, all, SPI_GIF},
        {{'G', 'I', 'F', '8', '9', 'a', 1, 0}, SPI_GIF, SPI_GIF},
        {{'G', 'I', 'F', '8', '8', 'a', 1, 0}, all, 0},
        {spisample::Png(2, 2, quad, 3), xld4, SPI_PNG},
        {spisample::Png(2, 2, quad, 3), SPI_JPEG | SPI_GIF, 0},
        {spisample::Psd(2, 2, quad), xld4, SPI_PSD},
        {spisample::Pnm(2, 2, quad), xld4, SPI_PNM},
        {spisample::Pnm(2, 2, Bytes(4, 9), true), xld4, SPI_PNM},
        {{'P', '3', '\n', '2'}, xld4, SPI_PNM},  // text maps too
        {{'P', '1', ' '}, xld4, SPI_PNM},
        {{'P', '4', '\t'}, xld4, SPI_PNM},
        {{'P', '7', '\n'}, xld4, 0},
        {{0xFF, 0xD8, 0x00, 0x00, 0xFF, 0xE0, 0, 0x10}, all, SPI_JPEG},  // stray bytes
        {{0xFF, 0xD8, 0x00, 0x00, 0x00, 0x00, 0, 0x10}, all, 0},
        {{'P', '6', 'x'}, xld4, 0},
        {spisample::Tga(2, 2, quad, true), xld4, SPI_TGA},
        {spisample::Tga(2, 2, quad, true), SPI_JPEG | SPI_GIF, 0},
        {tgaMapped, xld4, 0},
        {tgaZero, xld4, 0},
        {bmp, all, 0},
        {Bytes(64, 0), all, 0},
        {Bytes(64, ' '), all, 0},
        {{0x89, 'P', 'N', 'G'}, all, 0},  // signature cut short
        {{}, all, 0},
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; i++) {
        SCOPED_TRACE(i);
        const Case& c = cases[i];
        EXPECT_EQ(c.want, SpiSniffFormat(c.head.data(), c.head.size(), c.formats));
    }
}

TEST(SpiSniff, ReadsOnlyTheFirstBytes) {
    // A TGA header followed by anything: only the header decides.
    Bytes tga = spisample::Tga(2, 2, spisample::Quad(), false);
    tga.resize(SPI_SNIFF_BYTES);
    EXPECT_EQ((unsigned)SPI_TGA, SpiSniffFormat(tga.data(), tga.size(), SPI_TGA));
    EXPECT_EQ(0u, SpiSniffFormat(nullptr, 100, SPI_TGA));
}

TEST(SpiDib, PlansSizesAndLimits) {
    struct Case {
        uint32_t w, h;
        int channels;
        int result;
        int bits;
        uint32_t colors, stride;
        size_t infoBytes, imageBytes;
    } cases[] = {
        {1, 1, 3, SPI_OK, 24, 0, 4, 40, 4},
        {3, 2, 3, SPI_OK, 24, 0, 12, 40, 24},
        {4, 1, 4, SPI_OK, 24, 0, 12, 40, 12},
        {5, 2, 1, SPI_OK, 8, 256, 8, 1064, 16},
        {4, 3, 2, SPI_OK, 8, 256, 4, 1064, 12},
        {8192, 4096, 3, SPI_OK, 24, 0, 24576, 40, 24576u * 4096u},
        {0, 5, 3, SPI_CORRUPT, 0, 0, 0, 0, 0},
        {5, 0, 3, SPI_CORRUPT, 0, 0, 0, 0, 0},
        {2, 2, 0, SPI_CORRUPT, 0, 0, 0, 0, 0},
        {2, 2, 5, SPI_CORRUPT, 0, 0, 0, 0, 0},
        {65537, 1, 3, SPI_NO_MEMORY, 0, 0, 0, 0, 0},
        {1, 65537, 3, SPI_NO_MEMORY, 0, 0, 0, 0, 0},
        {8192, 4097, 3, SPI_NO_MEMORY, 0, 0, 0, 0, 0},
        {0xFFFFFFFFu, 0xFFFFFFFFu, 4, SPI_NO_MEMORY, 0, 0, 0, 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        SpiDibLayout l;
        ASSERT_EQ(c.result, SpiPlanDib(c.w, c.h, c.channels, &l));
        if (c.result != SPI_OK) continue;
        EXPECT_EQ(c.bits, l.bitCount);
        EXPECT_EQ(c.colors, l.colorCount);
        EXPECT_EQ(c.stride, l.stride);
        EXPECT_EQ(c.infoBytes, l.infoBytes);
        EXPECT_EQ(c.imageBytes, l.imageBytes);
    }
}

TEST(SpiDib, WritesHeaderAndGreyTable) {
    SpiDibLayout l;
    ASSERT_EQ(SPI_OK, SpiPlanDib(5, 3, 1, &l));
    std::vector<unsigned char> info(l.infoBytes + 4, 0xEE);
    EXPECT_EQ(0, SpiWriteDibInfo(&l, info.data(), l.infoBytes - 1));
    ASSERT_EQ(1, SpiWriteDibInfo(&l, info.data(), l.infoBytes));
    const unsigned char* p = info.data();
    EXPECT_EQ(40u, Get32(p));
    EXPECT_EQ(5u, Get32(p + 4));
    EXPECT_EQ(3u, Get32(p + 8));  // positive: bottom-up
    EXPECT_EQ(1, Get16(p + 12));
    EXPECT_EQ(8, Get16(p + 14));
    EXPECT_EQ(0u, Get32(p + 16));
    EXPECT_EQ(24u, Get32(p + 20));
    EXPECT_EQ(256u, Get32(p + 32));
    for (int i : {0, 1, 128, 255}) {
        EXPECT_EQ(i, p[40 + 4 * i]);
        EXPECT_EQ(i, p[40 + 4 * i + 1]);
        EXPECT_EQ(i, p[40 + 4 * i + 2]);
        EXPECT_EQ(0, p[40 + 4 * i + 3]);
    }
    EXPECT_EQ(0xEE, info[l.infoBytes]);  // nothing beyond the block
}

// Converts w x h pixels of n channels and returns the bitmap rows.
Bytes Convert(uint32_t w, uint32_t h, int n, Bytes px) {
    SpiPixels src = {w, h, n, px.data()};
    SpiDibLayout l;
    EXPECT_EQ(SPI_OK, SpiPlanDib(w, h, n, &l));
    Bytes out(l.imageBytes + 1, 0xEE);
    EXPECT_EQ(SPI_OK, SpiConvertRows(&src, &l, out.data(), l.imageBytes, nullptr, nullptr));
    EXPECT_EQ(0xEE, out.back());
    out.pop_back();
    return out;
}

TEST(SpiDib, ConvertsRowsBottomUpPaddedAndBgr) {
    struct Case {
        const char* name;
        uint32_t w, h;
        int n;
        Bytes px, dib;
    } cases[] = {
        {"colour", 2, 2, 3, spisample::Quad(), spisample::QuadDib()},
        {"grey", 3, 2, 1, {1, 2, 3, 4, 5, 6}, {4, 5, 6, 0, 1, 2, 3, 0}},
        {"grey 4 wide", 4, 1, 1, {9, 8, 7, 6}, {9, 8, 7, 6}},
        {"alpha opaque and clear", 2, 1, 4, {10, 20, 30, 255, 10, 20, 30, 0},
         {30, 20, 10, 255, 255, 255, 0, 0}},
        {"alpha half", 1, 1, 4, {0, 100, 200, 128}, {227, 177, 127, 0}},
        {"grey alpha", 2, 2, 2, {0, 255, 0, 0, 0, 128, 200, 255}, {127, 200, 0, 0, 0, 255, 0, 0}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(c.dib, Convert(c.w, c.h, c.n, c.px));
    }
}

TEST(SpiDib, RefusesPiecesThatDoNotFit) {
    Bytes px = spisample::Quad();
    SpiPixels src = {2, 2, 3, px.data()};
    SpiDibLayout l;
    ASSERT_EQ(SPI_OK, SpiPlanDib(2, 2, 3, &l));
    Bytes out(l.imageBytes);
    EXPECT_EQ(SPI_INTERNAL, SpiConvertRows(&src, &l, out.data(), l.imageBytes - 1, nullptr, nullptr));
    SpiDibLayout other;
    ASSERT_EQ(SPI_OK, SpiPlanDib(2, 3, 3, &other));
    EXPECT_EQ(SPI_INTERNAL, SpiConvertRows(&src, &other, out.data(), out.size(), nullptr, nullptr));
    src.channels = 1;  // an 8-bit plan would be needed
    EXPECT_EQ(SPI_INTERNAL, SpiConvertRows(&src, &l, out.data(), out.size(), nullptr, nullptr));
}

struct ProgressLog {
    std::vector<std::pair<int, int>> calls;
    size_t stopAt;  // answer non-zero at this call (1-based), 0 never
};

int LogProgress(int done, int total, void* ctx) {
    ProgressLog* log = (ProgressLog*)ctx;
    log->calls.push_back({done, total});
    return log->stopAt && log->calls.size() >= log->stopAt;
}

TEST(SpiDib, CallsAndHonoursProgress) {
    Bytes px(3 * 100, 7);
    SpiPixels src = {3, 100, 1, px.data()};
    SpiDibLayout l;
    ASSERT_EQ(SPI_OK, SpiPlanDib(3, 100, 1, &l));
    Bytes out(l.imageBytes, 0xEE);
    ProgressLog all = {{}, 0};
    ASSERT_EQ(SPI_OK, SpiConvertRows(&src, &l, out.data(), out.size(), LogProgress, &all));
    std::vector<std::pair<int, int>> want = {{32, 100}, {64, 100}, {96, 100}, {100, 100}};
    EXPECT_EQ(want, all.calls);
    ProgressLog stop = {{}, 2};
    EXPECT_EQ(SPI_ABORTED, SpiConvertRows(&src, &l, out.data(), out.size(), LogProgress, &stop));
    EXPECT_EQ(2u, stop.calls.size());
    ProgressLog last = {{}, 4};  // a stop at the very end still counts
    EXPECT_EQ(SPI_ABORTED, SpiConvertRows(&src, &l, out.data(), out.size(), LogProgress, &last));
}

unsigned char* AllocateVector(size_t bytes, void* ctx) {
    Bytes* block = (Bytes*)ctx;
    block->assign(bytes, 0xEE);  // what the decoder leaves unwritten shows
    return block->data();
}

// Decodes data with the formats and returns its bitmap rows (empty on failure,
// with the result code in *result).
Bytes DecodeToDib(const Bytes& data, unsigned formats, int* result, int* bits = nullptr) {
    Bytes out;
    SpiSink sink = {AllocateVector, &out, nullptr, nullptr};
    SpiBitmap bitmap;
    *result = SpiDecodeBitmap(data.data(), data.size(), formats, &sink, &bitmap);
    if (*result != SPI_OK) return Bytes();
    EXPECT_EQ(out.size(), bitmap.layout.imageBytes);
    if (bits) *bits = bitmap.layout.bitCount;
    return out;
}

TEST(SpiDecode, SmallPicturesGiveExactPixels) {
    Bytes quad = spisample::Quad();
    Bytes rgba = {255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 0};
    Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    Bytes greyDib = {30, 40, 0, 0, 10, 20, 0, 0};
    struct Case {
        const char* name;
        Bytes file;
        unsigned formats;
        Bytes dib;
        int bits;
    } cases[] = {
        {"P6", spisample::Pnm(2, 2, quad), SPI_PNM, spisample::QuadDib(), 24},
        {"P5", spisample::Pnm(2, 2, {10, 20, 30, 40}, true), SPI_PNM, greyDib, 8},
        {"TGA top-down", spisample::Tga(2, 2, quad, true), SPI_TGA, spisample::QuadDib(), 24},
        {"TGA bottom-up", spisample::Tga(2, 2, quad, false), SPI_TGA, spisample::QuadDib(), 24},
        {"PNG", spisample::Png(2, 2, quad, 3), SPI_PNG, spisample::QuadDib(), 24},
        {"PNG grey", spisample::Png(2, 2, {10, 20, 30, 40}, 1), SPI_PNG, greyDib, 8},
        {"PNG alpha", spisample::Png(2, 2, rgba, 4), SPI_PNG,
         {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 0, 255, 0, 0, 0}, 24},
        {"GIF", spisample::Gif(2, 2, palette, {{0, 1, 2, 3}}), SPI_GIF, spisample::QuadDib(), 24},
        {"GIF first frame", spisample::Gif(2, 2, palette, {{0, 1, 2, 3}, {3, 3, 3, 3}}), SPI_GIF,
         spisample::QuadDib(), 24},
        {"PSD", spisample::Psd(2, 2, quad), SPI_PSD, spisample::QuadDib(), 24},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int r = -99, bits = 0;
        EXPECT_EQ(c.dib, DecodeToDib(c.file, c.formats, &r, &bits));
        EXPECT_EQ(SPI_OK, r);
        EXPECT_EQ(c.bits, bits);
        SpiPictureInfo info;
        ASSERT_EQ(SPI_OK, SpiFillPictureInfo(c.file.data(), c.file.size(), c.formats, &info));
        EXPECT_EQ(2u, info.width);
        EXPECT_EQ(2u, info.height);
        EXPECT_EQ(c.bits, info.colorDepth);
        EXPECT_EQ(0, info.left);
        EXPECT_EQ(nullptr, info.hInfo);
    }
}

TEST(SpiDecode, DamagedAndForeignDataAreErrors) {
    Bytes quad = spisample::Quad();
    Bytes big(64 * 64 * 3, 90);
    Bytes png = spisample::Png(64, 64, big, 3);
    Bytes pngCut(png.begin(), png.begin() + png.size() / 2);
    Bytes pnmCut = spisample::Pnm(64, 64, big);
    pnmCut.resize(pnmCut.size() - 100);
    Bytes gifCut = spisample::Gif(2, 2, {255, 0, 0, 0, 255, 0, 0, 0, 255, 1, 1, 1}, {{0, 1, 2, 3}});
    gifCut.resize(20);
    Bytes psdCut = spisample::Psd(2, 2, quad);
    psdCut.resize(30);
    Bytes tgaCut = spisample::Tga(2, 2, quad, true);
    tgaCut.resize(12);
    Bytes pngHeaderOnly(png.begin(), png.begin() + 33);  // IHDR, no pixel data
    struct Case {
        const char* name;
        Bytes file;
        unsigned formats;
        int result;
    } cases[] = {
        {"PNG cut in half", pngCut, SPI_PNG, SPI_CORRUPT},
        {"PNG without data", pngHeaderOnly, SPI_PNG, SPI_CORRUPT},
        {"PNM cut", pnmCut, SPI_PNM, SPI_CORRUPT},
        {"GIF cut", gifCut, SPI_GIF, SPI_CORRUPT},
        {"PSD cut", psdCut, SPI_PSD, SPI_CORRUPT},
        {"TGA header cut", tgaCut, SPI_TGA, SPI_UNKNOWN_FORMAT},
        {"PNG to a JPEG-only set", spisample::Png(2, 2, quad, 3), SPI_JPEG, SPI_UNKNOWN_FORMAT},
        {"text", Bytes(100, 'a'), SPI_PNG | SPI_PNM | SPI_TGA, SPI_UNKNOWN_FORMAT},
        {"empty", Bytes(), SPI_PNG, SPI_UNKNOWN_FORMAT},
        {"JPEG signature only", {0xFF, 0xD8, 0xFF, 0xE0}, SPI_JPEG, SPI_CORRUPT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int r = -99;
        EXPECT_TRUE(DecodeToDib(c.file, c.formats, &r).empty());
        EXPECT_EQ(c.result, r);
    }
}

TEST(SpiDecode, HostileHeadersAskForNoMemory) {
    // Headers claiming huge pictures, with no pixels behind them: refused before
    // the decoder allocates anything.
    struct Case {
        const char* name;
        Bytes file;
        unsigned formats;
    } cases[] = {
        {"PNM 70000 wide", spisample::Pnm(70000, 1, Bytes(10, 0)), SPI_PNM},
        {"PNM 8000 x 8000", spisample::Pnm(8000, 8000, Bytes(10, 0)), SPI_PNM},
        {"TGA 65535 x 65535", spisample::Tga(1, 1, Bytes(3, 0), true), SPI_TGA},
        {"PNG 30000 x 30000", spisample::Png(1, 1, Bytes(3, 0), 3), SPI_PNG},
        {"GIF 65535 x 65535", spisample::Gif(1, 1, Bytes(12, 0), {{0}}), SPI_GIF},
    };
    cases[2].file[12] = cases[2].file[13] = cases[2].file[14] = cases[2].file[15] = 0xFF;
    for (int at : {16, 20}) {  // IHDR width and height: 30000
        cases[3].file[at + 2] = 0x75;
        cases[3].file[at + 3] = 0x30;
    }
    for (int at : {6, 7, 8, 9}) cases[4].file[at] = 0xFF;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int r = -99;
        EXPECT_TRUE(DecodeToDib(c.file, c.formats, &r).empty());
        EXPECT_EQ(SPI_NO_MEMORY, r);
    }
}

}  // namespace

namespace {

Bytes Sample(const unsigned char* p, size_t n) { return Bytes(p, p + n); }

// Every pixel of a 24-bit bitmap row block within tol of (b, g, r).
void ExpectRows(const Bytes& dib, size_t stride, int w, int fromRow, int toRow, int b, int g,
                int r, int tol) {
    for (int y = fromRow; y < toRow; y++)
        for (int x = 0; x < w; x++) {
            const unsigned char* p = &dib[(size_t)y * stride + (size_t)x * 3];
            ASSERT_NEAR(b, p[0], tol) << "row " << y << " column " << x;
            ASSERT_NEAR(g, p[1], tol) << "row " << y << " column " << x;
            ASSERT_NEAR(r, p[2], tol) << "row " << y << " column " << x;
        }
}

TEST(SpiDecode, JpegBaselineProgressiveAndGrey) {
    for (Bytes jpeg : {Sample(JpegBaseline, sizeof JpegBaseline),
                       Sample(JpegProgressive, sizeof JpegProgressive)}) {
        int r = -99, bits = 0;
        Bytes dib = DecodeToDib(jpeg, SPI_JPEG, &r, &bits);
        ASSERT_EQ(SPI_OK, r);
        ASSERT_EQ(24, bits);
        ASSERT_EQ(16u * 48, dib.size());
        // Bottom-up: the first eight rows are the blue half.
        ExpectRows(dib, 48, 16, 0, 8, 255, 0, 0, 8);
        ExpectRows(dib, 48, 16, 8, 16, 0, 0, 255, 8);
    }
    int r = -99, bits = 0;
    Bytes grey = DecodeToDib(Sample(JpegGrey, sizeof JpegGrey), SPI_JPEG, &r, &bits);
    ASSERT_EQ(SPI_OK, r);
    EXPECT_EQ(8, bits);
    ASSERT_EQ(64u, grey.size());
    for (unsigned char v : grey) EXPECT_NEAR(128, v, 2);
}

TEST(SpiDecode, CutJpegIsCorrupt) {
    for (Bytes jpeg : {Sample(JpegBaseline, sizeof JpegBaseline),
                       Sample(JpegProgressive, sizeof JpegProgressive)}) {
        for (size_t keep : {jpeg.size() - 2, jpeg.size() / 2, (size_t)30}) {
            SCOPED_TRACE(keep);
            int r = -99;
            EXPECT_TRUE(DecodeToDib(Bytes(jpeg.begin(), jpeg.begin() + keep), SPI_JPEG, &r).empty());
            EXPECT_EQ(SPI_CORRUPT, r);
        }
        // Bytes after the end of the picture do not matter.
        jpeg.insert(jpeg.end(), 40, 0x55);
        int r = -99;
        EXPECT_FALSE(DecodeToDib(jpeg, SPI_JPEG, &r).empty());
        EXPECT_EQ(SPI_OK, r);
    }
}

TEST(SpiDecode, HuffmanTableOfTooManyCodesIsCorrupt) {
    // The counts of a table definition add up to more codes than a table holds;
    // the decoder would write past its arrays.
    Bytes jpeg = Sample(JpegBaseline, sizeof JpegBaseline);
    size_t dht = 0;
    for (size_t i = 2; i + 1 < jpeg.size() && !dht; i++)
        if (jpeg[i] == 0xFF && jpeg[i + 1] == 0xC4) dht = i;
    ASSERT_NE(0u, dht);
    for (size_t i = 0; i < 16; i++) jpeg[dht + 5 + i] = 0x20;  // 16 x 32 = 512 codes
    int r = -99;
    EXPECT_TRUE(DecodeToDib(jpeg, SPI_JPEG, &r).empty());
    EXPECT_EQ(SPI_CORRUPT, r);
    SpiPictureInfo info;
    EXPECT_EQ(SPI_CORRUPT, SpiFillPictureInfo(jpeg.data(), jpeg.size(), SPI_JPEG, &info));
}

TEST(SpiDecode, PnmNumbersOfAnyLength) {
    struct Case {
        const char* header;
        int result;
    } cases[] = {
        {"P6\n2 2\n255\n", SPI_OK},
        {"P6\n000000002 2\n255\n", SPI_OK},
        {"P6\n0000000000000002 2\n255\n", SPI_OK},  // leading zeros count for nothing
        {"P6\n2 2666666666\n255\n", SPI_NO_MEMORY},
        {"P6\n2 99999999999999999999999\n255\n", SPI_NO_MEMORY},
        {"P6\n2 2\n99999999999999\n", SPI_CORRUPT},  // maximum above 65535
        {"P6\n2 2\n0\n", SPI_CORRUPT},
        {"P6\n# note\n2\n# more\n2 255\n", SPI_OK},
        {"P6\n2 x 255\n", SPI_CORRUPT},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.header);
        Bytes file(c.header, c.header + strlen(c.header));
        Bytes quad = spisample::Quad();
        file.insert(file.end(), quad.begin(), quad.end());
        int r = -99;
        Bytes dib = DecodeToDib(file, SPI_PNM, &r);
        EXPECT_EQ(c.result, r);
        if (c.result == SPI_OK) {
            EXPECT_EQ(spisample::QuadDib(), dib);
        }
    }
}

TEST(SpiDecode, EveryCutOfARawPictureIsCorrupt) {
    // The formats whose decoder would fill missing pixels: each shorter copy is
    // refused, the whole one read.
    Bytes quad = spisample::Quad();
    Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    struct Case {
        const char* name;
        Bytes file;
        unsigned format;
    } cases[] = {
        {"PNM", spisample::Pnm(2, 2, quad), SPI_PNM},
        {"TGA", spisample::Tga(2, 2, quad, true), SPI_TGA},
        {"PSD", spisample::Psd(2, 2, quad), SPI_PSD},
        {"GIF", spisample::Gif(2, 2, palette, {{0, 1, 2, 3}}), SPI_GIF},
        {"PNG", spisample::Png(2, 2, quad, 3), SPI_PNG},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        // A GIF's trailer and the checksum of a PNG's end chunk are not needed.
        size_t whole = c.file.size() - (c.format == SPI_GIF ? 1 : c.format == SPI_PNG ? 4 : 0);
        for (size_t keep = 1; keep < whole; keep++) {
            SCOPED_TRACE(keep);
            int r = -99;
            EXPECT_TRUE(DecodeToDib(Bytes(c.file.begin(), c.file.begin() + keep), c.format, &r).empty());
            EXPECT_NE(SPI_OK, r);
        }
        int r = -99;
        EXPECT_EQ(spisample::QuadDib(), DecodeToDib(c.file, c.format, &r));
    }
}

// Empty IDAT chunks carry nothing: ahead of the image data, or between its
// chunks, the picture is the same. One ahead of a damaged chunk is refused
// like any damage, without the decoder reading through a null pointer.
TEST(SpiDecode, EmptyDataChunksChangeNothing) {
    Bytes quad = spisample::Quad();
    Bytes plain = spisample::Png(2, 2, quad, 3);
    const size_t idatAt = 8 + 12 + 13;  // signature, IHDR
    Bytes empty;
    spisample::PngChunk(empty, "IDAT", Bytes());
    Bytes ahead = plain;
    ahead.insert(ahead.begin() + idatAt, empty.begin(), empty.end());
    ahead.insert(ahead.begin() + idatAt, empty.begin(), empty.end());
    Bytes between = plain;
    between.insert(between.end() - 12, empty.begin(), empty.end());  // before IEND
    for (const Bytes& file : {ahead, between}) {
        int r = -99;
        EXPECT_EQ(spisample::QuadDib(), DecodeToDib(file, SPI_PNG, &r));
        EXPECT_EQ(SPI_OK, r);
    }
    Bytes damaged(plain.begin(), plain.begin() + idatAt);
    damaged.insert(damaged.end(), empty.begin(), empty.end());
    Bytes junk = {0x00, 0xF1, 0xFF, 0x00, 0xFF, 0x07, 0x00, 0x00, 0x01, 0xFF, 0xFF};
    damaged.insert(damaged.end(), junk.begin(), junk.end());
    spisample::PngChunk(damaged, "IEND", Bytes());
    int r = -99;
    EXPECT_EQ(Bytes(), DecodeToDib(damaged, SPI_PNG, &r));
    EXPECT_EQ(SPI_CORRUPT, r);
    // The data chunk itself cut inside its checksum, right after the header.
    Bytes headerOnly(plain.begin(), plain.begin() + idatAt);
    headerOnly.insert(headerOnly.end(), empty.begin(), empty.end() - 1);
    EXPECT_EQ(Bytes(), DecodeToDib(headerOnly, SPI_PNG, &r));
    EXPECT_EQ(SPI_CORRUPT, r);
}

// A chunk that states more data than the file holds makes the file corrupt
// (its size is still known when the header chunk is whole).
TEST(SpiDecode, PngChunkLongerThanTheFileIsCorrupt) {
    Bytes plain = spisample::Png(2, 2, spisample::Quad(), 3);
    const size_t idatAt = 8 + 12 + 13;
    struct Case {
        const char* name;
        size_t at;  // chunk whose length is stated as 0x40000000
        int sizeResult;
    } cases[] = {{"data chunk", idatAt, SPI_OK},
                 {"IHDR", 8, SPI_CORRUPT},
                 {"IEND", plain.size() - 12, SPI_OK}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes file = plain;
        file[c.at] = 0x40;
        file[c.at + 1] = file[c.at + 2] = file[c.at + 3] = 0;
        SpiPictureSize size;
        EXPECT_EQ(c.sizeResult, SpiReadPictureSize(file.data(), file.size(), SPI_PNG, &size));
        int r = -99;
        EXPECT_EQ(Bytes(), DecodeToDib(file, SPI_PNG, &r));
        EXPECT_EQ(SPI_CORRUPT, r);
    }
    // Bytes after IEND are not read.
    Bytes trailing = plain;
    trailing.insert(trailing.end(), {0x40, 0, 0, 0, 'x', 'x', 'x', 'x'});
    int r = -99;
    EXPECT_EQ(spisample::QuadDib(), DecodeToDib(trailing, SPI_PNG, &r));
    EXPECT_EQ(SPI_OK, r);
}

}  // namespace

namespace {

// n pixels of one four-colour value, inks stored inverted as Adobe's files do.
Bytes Inks(int n, unsigned char c, unsigned char m, unsigned char y, unsigned char k) {
    Bytes b;
    for (int i = 0; i < n; i++)
        b.insert(b.end(), {(unsigned char)(255 - c), (unsigned char)(255 - m),
                           (unsigned char)(255 - y), (unsigned char)(255 - k)});
    return b;
}

// The PNG with a chunk put right after its header chunk.
Bytes WithChunk(Bytes png, const char* type, const Bytes& data) {
    Bytes chunk;
    spisample::PngChunk(chunk, type, data);
    png.insert(png.begin() + 33, chunk.begin(), chunk.end());
    return png;
}

Bytes Text(const char* s) { return Bytes(s, s + strlen(s)); }

// Files as viewers show them, read exactly (within tol for JPEG): each was
// refused or shown wrong before the libraries took over.
TEST(SpiDecode, VariantsViewersShow) {
    Bytes quad = spisample::Quad();
    Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    Bytes gif = spisample::Gif(2, 2, palette, {{0, 1, 2, 3}});
    Bytes gifWide = gif;  // a 3 x 2 screen: the frame leaves the right column
    gifWide[6] = 3;
    Bytes gifMoved = gifWide;  // the frame one pixel to the right
    gifMoved[13 + 12 + 1] = 1;
    Bytes gifClear = gif;  // colour 3 transparent
    const unsigned char gce[] = {0x21, 0xF9, 4, 1, 0, 0, 3, 0};
    gifClear.insert(gifClear.begin() + 25, gce, gce + sizeof gce);
    Bytes jpeg = Sample(JpegBaseline, sizeof JpegBaseline);
    Bytes stray = jpeg;
    stray.insert(stray.begin() + 2, {0x00, 0x13, 0x37});
    Bytes exif = jpeg;  // an EXIF block of garbage
    exif.insert(exif.begin() + 2, {0xFF, 0xE1, 0, 10, 'E', 'x', 'i', 'f', 0, 0, 0xFF, 0x07});
    Bytes longComment = jpeg;  // a comment whose length runs into the next segment
    longComment.insert(longComment.begin() + 2, {0xFF, 0xFE, 0, 8, 'a', 'b', 'c', 'd'});
    Bytes red16 = Inks(16 * 16, 0, 255, 255, 0), blue16 = Inks(16 * 16, 255, 255, 0, 0);
    Bytes half = Inks(16 * 16, 0, 0, 0, 128);
    Bytes rgbRed(16 * 16 * 3, 0);
    for (size_t i = 0; i < rgbRed.size(); i += 3) rgbRed[i] = 255;
    const Bytes whiteBlack = {255, 0,   0, 0,
                              0,   255, 0, 0};  // top row black white, bottom white black
    struct Case {
        const char* name;
        Bytes file;
        unsigned formats;
        uint32_t width;
        Bytes dib;  // bottom-up rows; for JPEG a single colour (blue, green, red)
        int tol;    // -1: exact rows
    } cases[] = {
        {"P1 text bitmap", Text("P1\n# c\n2 2\n1 0\n01"), SPI_PNM, 2, whiteBlack, -1},
        {"P4 binary bitmap", Bytes{'P', '4', '\n', '2', ' ', '2', '\n', 0x80, 0x40}, SPI_PNM, 2,
         whiteBlack, -1},
        {"P2 text grey", Text("P2 2 1 3\n0 3"), SPI_PNM, 2, {0, 255, 0, 0}, -1},
        {"P2 above the maximum", Text("P2 2 1 10\n5 99"), SPI_PNM, 2, {128, 255, 0, 0}, -1},
        {"P3 text colour 16-bit",
         Text("P3 1 1 65535 65535 0 32768"),
         SPI_PNM,
         1,
         {128, 0, 255, 0},
         -1},
        {"P5 16-bit grey",
         Bytes{'P', '5', ' ', '2', ' ', '1', ' ', '6', '5', '5', '3', '5', '\n', 0xFF, 0xFF, 0x80,
               0x00},
         SPI_PNM,
         2,
         {255, 128, 0, 0},
         -1},
        {"P5 maximum 1023",
         Bytes{'P', '5', ' ', '1', ' ', '1', ' ', '1', '0', '2', '3', '\n', 0x02, 0x00},
         SPI_PNM,
         1,
         {128, 0, 0, 0},
         -1},
        {"TGA right to left, bottom-up", spisample::Tga(2, 2, quad, false, true), SPI_TGA, 2,
         spisample::QuadDib(), -1},
        {"TGA right to left, top-down", spisample::Tga(2, 2, quad, true, true), SPI_TGA, 2,
         spisample::QuadDib(), -1},
        {"PNG truecolour tRNS",
         WithChunk(spisample::Png(2, 2, quad, 3), "tRNS", {0, 0, 0, 255, 0, 0}),
         SPI_PNG,
         2,
         {255, 0, 0, 255, 255, 255, 0, 0, 0, 0, 255, 255, 255, 255, 0, 0},
         -1},
        {"PNG grey tRNS",
         WithChunk(spisample::Png(2, 1, {10, 20}, 1), "tRNS", {0, 20}),
         SPI_PNG,
         2,
         {10, 255, 0, 0},
         -1},
        {"GIF without a global table", spisample::GifLocalTable(gif), SPI_GIF, 2,
         spisample::QuadDib(), -1},
        {"GIF frame narrower than the screen",
         gifWide,
         SPI_GIF,
         3,
         {255, 0, 0,   255, 255, 255, 255, 255, 255, 0, 0, 0,
          0,   0, 255, 0,   255, 0,   255, 255, 255, 0, 0, 0},
         -1},
        {"GIF frame moved right",
         gifMoved,
         SPI_GIF,
         3,
         {255, 255, 255, 255, 0, 0,   255, 255, 255, 0, 0, 0,
          255, 255, 255, 0,   0, 255, 0,   255, 0,   0, 0, 0},
         -1},
        {"GIF transparent colour", gifClear, SPI_GIF, 2, spisample::QuadDib(), -1},
        {"JPEG stray bytes before a marker", stray, SPI_JPEG, 16, {}, 8},
        {"JPEG damaged EXIF", exif, SPI_JPEG, 16, {}, 8},
        {"JPEG marker length too long", longComment, SPI_JPEG, 16, {}, 8},
        {"JPEG CMYK red",
         spisample::EncodeJpeg(16, 16, red16, JCS_CMYK, JCS_CMYK, 95, true, false),
         SPI_JPEG,
         16,
         {0, 0, 255},
         3},
        {"JPEG YCCK blue",
         spisample::EncodeJpeg(16, 16, blue16, JCS_CMYK, JCS_YCCK, 95, true, false),
         SPI_JPEG,
         16,
         {255, 0, 0},
         3},
        {"JPEG YCCK half black",
         spisample::EncodeJpeg(16, 16, half, JCS_CMYK, JCS_YCCK, 95, true, false),
         SPI_JPEG,
         16,
         {127, 127, 127},
         3},
        {"JPEG arithmetic coding",
         spisample::EncodeJpeg(16, 16, rgbRed, JCS_RGB, JCS_YCbCr, 95, true, true),
         SPI_JPEG,
         16,
         {0, 0, 255},
         3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int r = -99;
        Bytes dib = DecodeToDib(c.file, c.formats, &r);
        ASSERT_EQ(SPI_OK, r);
        if (c.tol < 0) {
            EXPECT_EQ(c.dib, dib);
            continue;
        }
        ASSERT_EQ((size_t)c.width * 3 * c.width, dib.size());
        if (c.dib.empty()) {  // the baseline sample: red over blue
            ExpectRows(dib, 48, 16, 0, 8, 255, 0, 0, c.tol);
            ExpectRows(dib, 48, 16, 8, 16, 0, 0, 255, c.tol);
        } else {
            ExpectRows(dib, (size_t)c.width * 3, (int)c.width, 0, (int)c.width, c.dib[0], c.dib[1],
                       c.dib[2], c.tol);
        }
    }
}

}  // namespace

namespace {

long PeakKilobytes() {
    rusage u;
    getrusage(RUSAGE_SELF, &u);
    return u.ru_maxrss;
}

// A few bytes that state a huge block get no huge block: the file is refused
// without the decoder setting aside (and zeroing) what the header claims.
TEST(SpiDecode, SmallFilesAskForLittleMemory) {
    Bytes png = spisample::Png(1, 1, {1, 2, 3}, 3);
    Bytes hugeText(png.begin(), png.begin() + 33);  // signature and IHDR
    spisample::Be32(hugeText, 0x3FFFFFFF);
    spisample::Text(hugeText, "tEXtkey");
    hugeText.insert(hugeText.end(), 8, 0);
    struct Case {
        const char* name;
        Bytes file;
        unsigned formats;
    } cases[] = {{"PNG text chunk of a gigabyte", hugeText, SPI_PNG}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        long before = PeakKilobytes();
        int r = -99;
        EXPECT_TRUE(DecodeToDib(c.file, c.formats, &r).empty());
        EXPECT_EQ(SPI_CORRUPT, r);
        EXPECT_LT(PeakKilobytes() - before, 256 * 1024) << "kilobytes more at the peak";
    }
}

}  // namespace
