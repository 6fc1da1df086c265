// spi_wine_bench.cpp - the picture plug-ins timed as a host calls them, under
// Wine (run by hand): GetPicture of spi\ifjpeg.spi and spi\ifxld4.spi beside
// this program on the JPEG and PNG files named on the command line (spi_bench
// makes them), against the same libraries' own decoding linked in here
// (libjpeg-turbo to RGB rows, libpng's simplified reader to RGB), each into a
// new block as a plug-in must hand one out (on some machines the first touch
// of fresh memory costs more than the decoding). Prints the shortest wall time
// of several runs of each and their ratio.
//   wine spi_wine_bench.exe picture.jpg picture.png
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <string>
#include <vector>

#include <jpeglib.h>
#include <png.h>

namespace {

typedef int(WINAPI* GetPictureFn)(LPCSTR, long, unsigned, HANDLE*, HANDLE*, FARPROC, LONG_PTR);
using Bytes = std::vector<unsigned char>;
const int kReps = 7;

double Now() {
    LARGE_INTEGER f, t;
    QueryPerformanceFrequency(&f);
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)f.QuadPart;
}

Bytes ReadAll(const char* path) {
    Bytes b;
    FILE* f = fopen(path, "rb");
    if (!f) return b;
    unsigned char buf[1 << 16];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) b.insert(b.end(), buf, buf + n);
    fclose(f);
    return b;
}

// GetPicture from the file through the plug-in, its blocks freed.
bool ThroughPlugin(GetPictureFn get, const char* path) {
    HANDLE info = nullptr, bm = nullptr;
    if (get(path, 0, 0, &info, &bm, nullptr, 0) != 0) return false;
    LocalFree(info);
    LocalFree(bm);
    return true;
}

bool Libjpeg(const Bytes& file) {
    jpeg_decompress_struct d;
    jpeg_error_mgr err;
    d.err = jpeg_std_error(&err);
    jpeg_create_decompress(&d);
    jpeg_mem_src(&d, file.data(), (unsigned long)file.size());
    jpeg_read_header(&d, TRUE);
    jpeg_start_decompress(&d);
    size_t stride = (size_t)d.output_width * d.output_components;
    unsigned char* rows = (unsigned char*)malloc(stride * d.output_height);
    while (rows && d.output_scanline < d.output_height) {
        JSAMPROW row = rows + stride * d.output_scanline;
        jpeg_read_scanlines(&d, &row, 1);
    }
    jpeg_finish_decompress(&d);
    jpeg_destroy_decompress(&d);
    free(rows);
    return rows != nullptr;
}

bool Libpng(const Bytes& file) {
    png_image image = {};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_memory(&image, file.data(), file.size())) return false;
    image.format = PNG_FORMAT_RGB;
    unsigned char* rows = (unsigned char*)malloc(PNG_IMAGE_SIZE(image));
    bool ok = rows && png_image_finish_read(&image, nullptr, rows, 0, nullptr) != 0;
    free(rows);
    return ok;
}

template <typename F>
double Shortest(F run) {
    double best = 1e30;
    for (int i = 0; i < kReps; i++) {
        double t0 = Now();
        if (!run()) return -1;
        best = std::min(best, Now() - t0);
    }
    return best;
}

std::string Beside(const char* name) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, sizeof exe);
    std::string s = exe;
    return s.substr(0, s.find_last_of('\\') + 1) + name;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        fprintf(stderr, "usage: spi_wine_bench picture.jpg picture.png\n");
        return 2;
    }
    struct Run {
        const char* plugin;
        const char* path;
        const char* library;
        bool (*decode)(const Bytes&);
    } runs[] = {{"spi\\ifjpeg.spi", argv[1], "libjpeg-turbo", Libjpeg},
                {"spi\\ifxld4.spi", argv[2], "libpng", Libpng}};
    for (const Run& r : runs) {
        HMODULE m = LoadLibraryA(Beside(r.plugin).c_str());
        GetPictureFn get = m ? (GetPictureFn)(void*)GetProcAddress(m, "GetPicture") : nullptr;
        Bytes file = ReadAll(r.path);
        if (!get || file.empty()) {
            fprintf(stderr, "%s or %s missing\n", r.plugin, r.path);
            return 2;
        }
        double plugin = Shortest([&] { return ThroughPlugin(get, r.path); });
        double library = Shortest([&] { return r.decode(file); });
        printf("%s: GetPicture %.1f ms, %s %.1f ms, ratio %.2f\n", r.path, plugin, r.library,
               library, plugin / library);
        FreeLibrary(m);
    }
    return 0;
}
