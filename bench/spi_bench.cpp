// spi_bench.cpp - decoding a 12-megapixel picture (4000 x 3000) through the
// picture plug-ins' decoding (SpiDecodeBitmap: the bottom-up bitmap a host
// gets), against the reference decoders in the same run: libjpeg-turbo's own
// decoding to RGB rows (as djpeg does, without writing them) for the JPEG,
// Pillow's decoding (Image.open(...).load()) for the PNG. The pictures are made
// here (a smooth scene with fine detail, JPEG quality 90 with 4:2:0 sampling,
// PNG with zlib's default level) and left in the folder named by the first
// argument (default /tmp) for the run under Wine (spi_wine_bench.exe).
// The two decodings of a picture take turns, and each keeps its shortest CPU
// time (other programs on a busy machine only ever add to it). Ends with one
// line per format: CPU times, the ratio and whether it stays within 1.2 (exit
// code 1 if not).
#include <benchmark/benchmark.h>
#include <math.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <algorithm>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

#include "bench/bench_time.h"
#include "components/spi/spidecode.h"
#include "tests/spi_jpeg_encode.h"

namespace {

using Bytes = std::vector<unsigned char>;
const int kWidth = 4000, kHeight = 3000, kReps = 9;
const double kLimit = 1.2;

Bytes Scene() {
    Bytes px((size_t)kWidth * kHeight * 3);
    uint32_t seed = 12345;
    for (int y = 0; y < kHeight; y++)
        for (int x = 0; x < kWidth; x++) {
            seed = seed * 1103515245u + 12345u;
            int noise = (int)(seed >> 28) - 8;
            unsigned char* p = &px[((size_t)y * kWidth + x) * 3];
            double r = hypot(x - 2000.0, y - 1500.0);
            p[0] = (unsigned char)(128 + 100 * sin(r / 90.0) + noise / 2);
            p[1] = (unsigned char)(x * 255 / kWidth);
            p[2] = (unsigned char)(((x / 40 + y / 40) % 2) * 120 + 60 + noise);
        }
    return px;
}

void AppendPng(png_structp p, png_bytep data, size_t n) {
    Bytes* b = (Bytes*)png_get_io_ptr(p);
    b->insert(b->end(), data, data + n);
}

Bytes EncodePng(const Bytes& px) {
    Bytes b;
    png_structp p = png_create_write_struct(PNG_LIBPNG_VER_STRING, nullptr, nullptr, nullptr);
    png_infop info = png_create_info_struct(p);
    png_set_write_fn(p, &b, AppendPng, nullptr);
    png_set_IHDR(p, info, kWidth, kHeight, 8, PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    png_write_info(p, info);
    for (int y = 0; y < kHeight; y++) png_write_row(p, &px[(size_t)y * kWidth * 3]);
    png_write_end(p, info);
    png_destroy_write_struct(&p, &info);
    return b;
}

unsigned char* Allocate(size_t bytes, void* ctx) {
    Bytes* b = (Bytes*)ctx;
    if (b->size() < bytes) b->resize(bytes);
    return b->data();
}

// The plug-ins' decoding into a bitmap block.
size_t DecodeOurs(const Bytes& file, Bytes* block) {
    SpiSink sink = {Allocate, block, nullptr, nullptr};
    SpiBitmap bm;
    if (SpiDecodeBitmap(file.data(), file.size(), SPI_JPEG | SPI_PNG, &sink, &bm) != SPI_OK)
        abort();
    return bm.layout.imageBytes;
}

// libjpeg-turbo's own decoding to RGB rows.
size_t DecodeLibjpeg(const Bytes& file, Bytes* rows) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), file.size());
    jpeg_read_header(&d, TRUE);
    jpeg_start_decompress(&d);
    size_t stride = (size_t)d.output_width * d.output_components;
    rows->resize(stride * d.output_height);
    while (d.output_scanline < d.output_height) {
        JSAMPROW row = rows->data() + stride * d.output_scanline;
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    return rows->size();
}

// The shortest CPU times of a and b, in microseconds, run in turns.
template <typename A, typename B>
void TakeTurns(A a, B b, double* ta, double* tb) {
    *ta = *tb = 1e30;
    for (int i = 0; i < kReps; i++) {
        double t0 = ThreadMicros();
        benchmark::DoNotOptimize(a());
        double t1 = ThreadMicros();
        benchmark::DoNotOptimize(b());
        double t2 = ThreadMicros();
        *ta = std::min(*ta, t1 - t0);
        *tb = std::min(*tb, t2 - t1);
    }
}

// Pillow's decoding of the file: the shortest CPU time of kReps runs, in microseconds.
double PillowMicros(const std::string& path) {
    std::string cmd =
        "/usr/bin/python3 -c \"import time;from PIL import Image\n"
        "t=[]\nfor i in range(" +
        std::to_string(kReps) +
        "):\n"
        " a=time.process_time();im=Image.open('" +
        path +
        "');im.load();t.append(time.process_time()-a)\n"
        "print(min(t)*1e6)\"";
    FILE* f = popen(cmd.c_str(), "r");
    double us = -1;
    if (f) {
        if (fscanf(f, "%lf", &us) != 1) us = -1;
        pclose(f);
    }
    return us;
}

void WriteFile(const std::string& path, const Bytes& b) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f || fwrite(b.data(), 1, b.size(), f) != b.size()) abort();
    fclose(f);
}

bool Report(const char* what, double ours, double base, const char* baseName) {
    double ratio = ours / base;
    bool ok = base > 0 && ratio <= kLimit;
    printf("%s 4000x3000: plug-in %.1f ms, %s %.1f ms, ratio %.2f (limit %.1f) %s\n", what,
           ours / 1000, baseName, base / 1000, ratio, kLimit, ok ? "ok" : "TOO SLOW");
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    std::string dir = argc > 1 ? argv[1] : "/tmp";
    Bytes scene = Scene();
    Bytes jpeg =
        spisample::EncodeJpeg(kWidth, kHeight, scene, JCS_RGB, JCS_YCbCr, 90, false, false);
    Bytes png = EncodePng(scene);
    scene = Bytes();
    std::string jpegPath = dir + "/vorn_bench_12mp.jpg", pngPath = dir + "/vorn_bench_12mp.png";
    WriteFile(jpegPath, jpeg);
    WriteFile(pngPath, png);
    printf("pictures: %s (%zu bytes), %s (%zu bytes)\n", jpegPath.c_str(), jpeg.size(),
           pngPath.c_str(), png.size());
    Bytes block, rows;
    double oursJpeg = 0, libjpeg = 0;
    TakeTurns([&] { return DecodeOurs(jpeg, &block); }, [&] { return DecodeLibjpeg(jpeg, &rows); },
              &oursJpeg, &libjpeg);
    double oursPng = 1e30;
    for (int i = 0; i < kReps; i++) {
        double t0 = ThreadMicros();
        benchmark::DoNotOptimize(DecodeOurs(png, &block));
        oursPng = std::min(oursPng, ThreadMicros() - t0);
    }
    double pillow = PillowMicros(pngPath);
    bool ok = Report("JPEG", oursJpeg, libjpeg, "libjpeg-turbo");
    ok = Report("PNG", oursPng, pillow, "Pillow") && ok;
    return ok ? 0 : 1;
}
