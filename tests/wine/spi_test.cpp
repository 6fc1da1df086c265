// In-process tests of our picture plug-ins: ifjpeg.spi, ifgif.spi and
// ifxld4.spi are loaded from spi\ beside the test program and every export is
// called as a host calls it: information texts, recognition from a head and
// from a file handle, picture sizes, pictures from a file at an offset and from
// memory (exact pixels; JPEG within a tolerance), damaged files, the progress
// callback and its abort.
#include <gtest/gtest.h>

#include <windows.h>
#include <string.h>

#include <string>
#include <vector>

#include "components/spi/spidecode.h"
#include "test_files.h"
#include "tests/spi_jpeg_samples.h"
#include "tests/spi_samples.h"

using spisample::Bytes;

namespace {

typedef int(WINAPI* GetPluginInfoFn)(int, LPSTR, int);
typedef int(WINAPI* IsSupportedFn)(LPCSTR, DWORD_PTR);
typedef int(WINAPI* GetPictureInfoFn)(LPCSTR, long, unsigned, SpiPictureInfo*);
typedef int(WINAPI* GetPictureFn)(LPCSTR, long, unsigned, HANDLE*, HANDLE*, FARPROC, LONG_PTR);
typedef int(WINAPI* ProgressFn)(int, int, LONG_PTR);

struct Plugin {
    HMODULE module = nullptr;
    GetPluginInfoFn info = nullptr;
    IsSupportedFn supported = nullptr;
    GetPictureInfoFn pictureInfo = nullptr;
    GetPictureFn picture = nullptr;
    GetPictureFn preview = nullptr;
};

template <class F>
F Export(HMODULE m, const char* name) {
    return (F)(void*)GetProcAddress(m, name);
}

Plugin Load(const char* file) {
    Plugin p;
    p.module = LoadLibraryA((ExeFolder() + "\\spi\\" + file).c_str());
    if (!p.module) return p;
    p.info = Export<GetPluginInfoFn>(p.module, "GetPluginInfo");
    p.supported = Export<IsSupportedFn>(p.module, "IsSupported");
    p.pictureInfo = Export<GetPictureInfoFn>(p.module, "GetPictureInfo");
    p.picture = Export<GetPictureFn>(p.module, "GetPicture");
    p.preview = Export<GetPictureFn>(p.module, "GetPreview");
    return p;
}

void WriteBytes(const std::string& path, const Bytes& b) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(f, b.data(), (DWORD)b.size(), &written, nullptr);
    CloseHandle(f);
    ASSERT_EQ(b.size(), written);
}

Bytes Sample(const unsigned char* p, size_t n) { return Bytes(p, p + n); }

// The picture a GetPicture call handed back, copied out of its local blocks.
struct Picture {
    int result = -99;
    BITMAPINFOHEADER header = {};
    Bytes table;  // colour table bytes
    Bytes pixels;
};

Picture TakePicture(HANDLE hInfo, HANDLE hBm) {
    Picture pic;
    const unsigned char* pi = (const unsigned char*)LocalLock(hInfo);
    const unsigned char* pm = (const unsigned char*)LocalLock(hBm);
    EXPECT_NE(nullptr, pi);
    EXPECT_NE(nullptr, pm);
    if (pi && pm) {
        memcpy(&pic.header, pi, sizeof pic.header);
        size_t tableBytes = 4 * (size_t)pic.header.biClrUsed;
        EXPECT_GE(LocalSize(hInfo), sizeof pic.header + tableBytes);
        pic.table.assign(pi + sizeof pic.header, pi + sizeof pic.header + tableBytes);
        EXPECT_GE(LocalSize(hBm), pic.header.biSizeImage);
        pic.pixels.assign(pm, pm + pic.header.biSizeImage);
    }
    if (pi) LocalUnlock(hInfo);
    if (pm) LocalUnlock(hBm);
    EXPECT_EQ(nullptr, LocalFree(hInfo));
    EXPECT_EQ(nullptr, LocalFree(hBm));
    return pic;
}

Picture Get(const Plugin& p, const char* buf, long len, unsigned flag, FARPROC progress = nullptr,
            LONG_PTR data = 0) {
    HANDLE hInfo = (HANDLE)1, hBm = (HANDLE)1;
    int r = p.picture(buf, len, flag, &hInfo, &hBm, progress, data);
    Picture pic;
    if (r == 0) {
        pic = TakePicture(hInfo, hBm);
    } else {
        EXPECT_EQ(nullptr, hInfo);  // nothing handed out, nothing left behind
        EXPECT_EQ(nullptr, hBm);
    }
    pic.result = r;
    return pic;
}

class SpiPlugins : public ::testing::Test {
protected:
    static Plugin jpeg, gif, xld4;
    std::string dir;

    static void SetUpTestSuite() {
        jpeg = Load("ifjpeg.spi");
        gif = Load("ifgif.spi");
        xld4 = Load("ifxld4.spi");
    }
    static void TearDownTestSuite() {
        for (Plugin* p : {&jpeg, &gif, &xld4})
            if (p->module) FreeLibrary(p->module);
    }
    void SetUp() override {
        for (Plugin* p : {&jpeg, &gif, &xld4}) {
            ASSERT_NE(nullptr, p->module) << "spi\\ beside the tests";
            ASSERT_TRUE(p->info && p->supported && p->pictureInfo && p->picture && p->preview);
        }
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        dir = std::string(temp) + "vorn_spi_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(dir.c_str(), nullptr);
    }
    void TearDown() override {
        WIN32_FIND_DATAA fd;
        HANDLE h = FindFirstFileA((dir + "\\*").c_str(), &fd);
        if (h != INVALID_HANDLE_VALUE) {
            do {
                if (!(fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
                    DeleteFileA((dir + "\\" + fd.cFileName).c_str());
            } while (FindNextFileA(h, &fd));
            FindClose(h);
        }
        RemoveDirectoryA(dir.c_str());
    }
    std::string File(const char* name, const Bytes& b) {
        std::string path = dir + "\\" + name;
        WriteBytes(path, b);
        return path;
    }
};
Plugin SpiPlugins::jpeg, SpiPlugins::gif, SpiPlugins::xld4;

const Bytes kPalette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};

// One file of each format, all showing the 2 x 2 Quad picture but the JPEG.
struct Sampled {
    const char* name;
    Bytes bytes;
};
std::vector<Sampled> Samples() {
    Bytes quad = spisample::Quad();
    Bytes bmp = {'B', 'M', 70, 0, 0, 0, 0, 0, 0, 0, 54, 0, 0, 0, 40, 0, 0, 0};
    bmp.resize(70, 0);
    return {
        {"a.jpg", Sample(JpegBaseline, sizeof JpegBaseline)},
        {"b.jpg", Sample(JpegProgressive, sizeof JpegProgressive)},
        {"c.gif", spisample::Gif(2, 2, kPalette, {{0, 1, 2, 3}})},
        {"d.png", spisample::Png(2, 2, quad, 3)},
        {"e.tga", spisample::Tga(2, 2, quad, false)},
        {"f.psd", spisample::Psd(2, 2, quad)},
        {"g.ppm", spisample::Pnm(2, 2, quad)},
        {"h.bmp", bmp},
        {"i.txt", Bytes(300, 'x')},
    };
}

TEST_F(SpiPlugins, InformationTexts) {
    struct Case {
        Plugin* plugin;
        int infono;
        const char* text;
    } cases[] = {
        {&jpeg, 0, "00IN"}, {&gif, 0, "00IN"}, {&xld4, 0, "00IN"},
        {&jpeg, 2, "*.jpg;*.jpeg;*.jpe;*.jfif"}, {&jpeg, 3, "JPEG file"}, {&jpeg, 4, ""},
        {&gif, 2, "*.gif"}, {&gif, 3, "GIF file"}, {&gif, 4, ""},
        {&xld4, 2, "*.png"}, {&xld4, 3, "PNG file"}, {&xld4, 4, "*.tga;*.tpic"},
        {&xld4, 7, "PSD file"}, {&xld4, 9, "PNM file"}, {&xld4, 10, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        char buf[64];
        memset(buf, 0, sizeof buf);
        EXPECT_EQ((int)strlen(c.text), c.plugin->info(c.infono, buf, sizeof buf));
        EXPECT_STREQ(c.text, buf);
    }
    for (Plugin* p : {&jpeg, &gif, &xld4}) {
        char buf[64] = "";
        EXPECT_GT(p->info(1, buf, sizeof buf), 0);
        char small[4];
        memset(small, 'x', sizeof small);
        EXPECT_EQ(2, p->info(0, small, 3));  // cut to the buffer
        EXPECT_STREQ("00", small);
        EXPECT_EQ('x', small[3]);
    }
}

TEST_F(SpiPlugins, RecognisesByHeadAndByHandle) {
    // Which plug-in takes which sample, by its index in Samples().
    struct Want {
        Plugin* plugin;
        std::vector<int> takes;
    } wants[] = {{&jpeg, {0, 1}}, {&gif, {2}}, {&xld4, {3, 4, 5, 6}}};
    std::vector<Sampled> samples = Samples();
    for (size_t i = 0; i < samples.size(); i++) {
        SCOPED_TRACE(samples[i].name);
        std::string path = File(samples[i].name, samples[i].bytes);
        std::vector<char> head(SPI_HEAD_BYTES, 0);
        memcpy(head.data(), samples[i].bytes.data(),
               samples[i].bytes.size() < head.size() ? samples[i].bytes.size() : head.size());
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               0, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        for (const Want& w : wants) {
            bool takes = false;
            for (int t : w.takes) takes = takes || t == (int)i;
            EXPECT_EQ(takes, w.plugin->supported(path.c_str(), (DWORD_PTR)head.data()) != 0);
            EXPECT_EQ(takes, w.plugin->supported(path.c_str(), (DWORD_PTR)f) != 0);
            // The handle's position is left where it was.
            EXPECT_EQ(0u, SetFilePointer(f, 0, nullptr, FILE_CURRENT));
        }
        CloseHandle(f);
    }
    // By content, not by name: a PNG named .jpg.
    std::string misnamed = File("png.jpg", spisample::Png(2, 2, spisample::Quad(), 3));
    std::vector<char> head(SPI_HEAD_BYTES, 0);
    memcpy(head.data(), spisample::Png(2, 2, spisample::Quad(), 3).data(), 40);
    EXPECT_EQ(0, jpeg.supported(misnamed.c_str(), (DWORD_PTR)head.data()));
    EXPECT_NE(0, xld4.supported(misnamed.c_str(), (DWORD_PTR)head.data()));
}

TEST_F(SpiPlugins, PictureInfoSizes) {
    struct Case {
        Plugin* plugin;
        Bytes file;
        unsigned w, h;
        int depth;
    } cases[] = {
        {&jpeg, Sample(JpegBaseline, sizeof JpegBaseline), 16, 16, 24},
        {&jpeg, Sample(JpegProgressive, sizeof JpegProgressive), 16, 16, 24},
        {&jpeg, Sample(JpegGrey, sizeof JpegGrey), 8, 8, 8},
        {&gif, spisample::Gif(3, 5, kPalette, {Bytes(15, 1)}), 3, 5, 24},
        {&xld4, spisample::Png(7, 2, Bytes(7 * 2 * 3, 9), 3), 7, 2, 24},
        {&xld4, spisample::Pnm(4, 6, Bytes(24, 9), true), 4, 6, 8},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.w) + "x" + std::to_string(c.h));
        std::string path = File("info.bin", c.file);
        SpiPictureInfo info;
        memset(&info, 0x55, sizeof info);
        ASSERT_EQ(0, c.plugin->pictureInfo(path.c_str(), 0, 0, &info));
        EXPECT_EQ(c.w, info.width);
        EXPECT_EQ(c.h, info.height);
        EXPECT_EQ(c.depth, info.colorDepth);
        EXPECT_EQ(0, info.left);
        EXPECT_EQ(0, info.top);
        EXPECT_EQ(nullptr, info.hInfo);
        SpiPictureInfo mem;
        ASSERT_EQ(0, c.plugin->pictureInfo((LPCSTR)c.file.data(), (long)c.file.size(), 1, &mem));
        EXPECT_EQ(0, memcmp(&info, &mem, sizeof info));
    }
    SpiPictureInfo info;
    EXPECT_EQ(2, jpeg.pictureInfo((LPCSTR)kPalette.data(), (long)kPalette.size(), 1, &info));
}

TEST_F(SpiPlugins, ExactPixelsFromFileAtOffsetAndFromMemory) {
    Bytes quad = spisample::Quad();
    struct Case {
        Plugin* plugin;
        const char* name;
        Bytes file;
    } cases[] = {
        {&gif, "gif", spisample::Gif(2, 2, kPalette, {{0, 1, 2, 3}, {3, 3, 3, 3}})},
        {&xld4, "png", spisample::Png(2, 2, quad, 3)},
        {&xld4, "tga", spisample::Tga(2, 2, quad, true)},
        {&xld4, "psd", spisample::Psd(2, 2, quad)},
        {&xld4, "pnm", spisample::Pnm(2, 2, quad)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Bytes padded(100, 0xAB);  // the picture lies 100 bytes into the file
        padded.insert(padded.end(), c.file.begin(), c.file.end());
        std::string path = File("pic.bin", padded);
        Picture fromFile = Get(*c.plugin, path.c_str(), 100, 0);
        Picture fromMemory = Get(*c.plugin, (LPCSTR)c.file.data(), (long)c.file.size(), 1);
        for (Picture* pic : {&fromFile, &fromMemory}) {
            ASSERT_EQ(0, pic->result);
            EXPECT_EQ(40u, pic->header.biSize);
            EXPECT_EQ(2, pic->header.biWidth);
            EXPECT_EQ(2, pic->header.biHeight);  // bottom-up
            EXPECT_EQ(1, pic->header.biPlanes);
            EXPECT_EQ(24, pic->header.biBitCount);
            EXPECT_EQ((DWORD)BI_RGB, pic->header.biCompression);
            EXPECT_EQ(spisample::QuadDib(), pic->pixels);
        }
        // The same file from its start is not a picture.
        EXPECT_EQ(2, Get(*c.plugin, path.c_str(), 0, 0).result);
    }
}

TEST_F(SpiPlugins, GreyPicturesComeWithAGreyTable) {
    Bytes png = spisample::Png(3, 2, {1, 2, 3, 4, 5, 6}, 1);
    Picture pic = Get(xld4, (LPCSTR)png.data(), (long)png.size(), 1);
    ASSERT_EQ(0, pic.result);
    EXPECT_EQ(8, pic.header.biBitCount);
    ASSERT_EQ(256u, pic.header.biClrUsed);
    EXPECT_EQ(200, pic.table[4 * 200]);
    EXPECT_EQ(200, pic.table[4 * 200 + 2]);
    EXPECT_EQ((Bytes{4, 5, 6, 0, 1, 2, 3, 0}), pic.pixels);
}

TEST_F(SpiPlugins, JpegBaselineAndProgressive) {
    for (Bytes file : {Sample(JpegBaseline, sizeof JpegBaseline),
                       Sample(JpegProgressive, sizeof JpegProgressive)}) {
        std::string path = File("pic.jpg", file);
        Picture pic = Get(jpeg, path.c_str(), 0, 0);
        ASSERT_EQ(0, pic.result);
        EXPECT_EQ(16, pic.header.biWidth);
        EXPECT_EQ(16, pic.header.biHeight);
        ASSERT_EQ(16u * 48, pic.pixels.size());
        // Bottom-up, blue-green-red: the first eight rows are the blue half.
        for (int y = 0; y < 16; y++)
            for (int x = 0; x < 16; x++) {
                const unsigned char* p = &pic.pixels[(size_t)y * 48 + (size_t)x * 3];
                int b = y < 8 ? 255 : 0, r = y < 8 ? 0 : 255;
                ASSERT_NEAR(b, p[0], 8) << y << "," << x;
                ASSERT_NEAR(0, p[1], 8) << y << "," << x;
                ASSERT_NEAR(r, p[2], 8) << y << "," << x;
            }
    }
}

TEST_F(SpiPlugins, DamagedFilesGiveErrorCodes) {
    Bytes quad = spisample::Quad();
    Bytes jpegCut = Sample(JpegBaseline, sizeof JpegBaseline / 2);
    Bytes progCut = Sample(JpegProgressive, sizeof JpegProgressive - 40);
    Bytes png = spisample::Png(2, 2, quad, 3);
    Bytes pngCut(png.begin(), png.end() - 20);
    Bytes gifFile = spisample::Gif(2, 2, kPalette, {{0, 1, 2, 3}});
    Bytes gifCut(gifFile.begin(), gifFile.end() - 4);
    Bytes pnm = spisample::Pnm(2, 2, quad);
    Bytes pnmCut(pnm.begin(), pnm.end() - 1);
    Bytes jpegGarbage = Sample(JpegBaseline, sizeof JpegBaseline);
    for (size_t i = 0x30; i < 0xA0; i++) jpegGarbage[i] = 0xFF;  // tables and frame header gone
    struct Case {
        Plugin* plugin;
        const char* name;
        Bytes file;
        int result;
    } cases[] = {
        {&jpeg, "jpeg cut", jpegCut, 3},
        {&jpeg, "progressive cut", progCut, 3},
        {&jpeg, "jpeg garbage", jpegGarbage, 3},
        {&xld4, "png cut", pngCut, 3},
        {&gif, "gif cut", gifCut, 3},
        {&xld4, "pnm cut", pnmCut, 3},
        {&jpeg, "png to ifjpeg", png, 2},
        {&gif, "text", Bytes(500, 'a'), 2},
        {&xld4, "empty", Bytes(), 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = File("bad.bin", c.file);
        EXPECT_EQ(c.result, Get(*c.plugin, path.c_str(), 0, 0).result);
        if (!c.file.empty()) {
            EXPECT_EQ(c.result,
                      Get(*c.plugin, (LPCSTR)c.file.data(), (long)c.file.size(), 1).result);
        }
        SpiPictureInfo info;
        if (c.result == 2) {
            EXPECT_EQ(2, c.plugin->pictureInfo(path.c_str(), 0, 0, &info));
        }
    }
    std::string missing = dir + "\\none.png";
    EXPECT_EQ(6, Get(xld4, missing.c_str(), 0, 0).result);
    SpiPictureInfo info;
    EXPECT_EQ(6, xld4.pictureInfo(missing.c_str(), 0, 0, &info));
    std::string path = File("pic.png", png);
    EXPECT_EQ(2, Get(xld4, path.c_str(), 5000, 0).result);  // offset beyond the end
    EXPECT_EQ(6, Get(xld4, path.c_str(), -1, 0).result);
    EXPECT_EQ(-1, Get(xld4, path.c_str(), 0, 2).result);  // no such input kind
    // The preview call is not offered.
    HANDLE hInfo = (HANDLE)1, hBm = (HANDLE)1;
    EXPECT_EQ(-1, xld4.preview(path.c_str(), 0, 0, &hInfo, &hBm, nullptr, 0));
    EXPECT_EQ(nullptr, hInfo);
    EXPECT_EQ(nullptr, hBm);
}

struct ProgressLog {
    std::vector<std::pair<int, int>> calls;
    size_t stopAt;  // answer non-zero at this call (1-based), 0 never
};

int WINAPI LogProgress(int num, int denom, LONG_PTR data) {
    ProgressLog* log = (ProgressLog*)data;
    log->calls.push_back({num, denom});
    return log->stopAt && log->calls.size() >= log->stopAt;
}

TEST_F(SpiPlugins, ProgressIsReportedAndItsAbortHonoured) {
    Bytes pnm = spisample::Pnm(5, 70, Bytes(5 * 70 * 3, 33));
    std::string path = File("tall.ppm", pnm);
    ProgressLog all = {{}, 0};
    Picture pic = Get(xld4, path.c_str(), 0, 0, (FARPROC)(void*)LogProgress, (LONG_PTR)&all);
    ASSERT_EQ(0, pic.result);
    std::vector<std::pair<int, int>> want = {{0, 70}, {32, 70}, {64, 70}, {70, 70}};
    EXPECT_EQ(want, all.calls);
    for (size_t stop = 1; stop <= want.size(); stop++) {
        SCOPED_TRACE(stop);
        ProgressLog log = {{}, stop};
        EXPECT_EQ(1, Get(xld4, path.c_str(), 0, 0, (FARPROC)(void*)LogProgress, (LONG_PTR)&log)
                         .result);
        EXPECT_EQ(stop, log.calls.size());  // no call after the abort
    }
    // Every plug-in honours it before decoding.
    Bytes gifFile = spisample::Gif(2, 2, kPalette, {{0, 1, 2, 3}});
    ProgressLog first = {{}, 1};
    EXPECT_EQ(1, Get(gif, (LPCSTR)gifFile.data(), (long)gifFile.size(), 1,
                     (FARPROC)(void*)LogProgress, (LONG_PTR)&first)
                     .result);
    ProgressLog firstJpeg = {{}, 1};
    EXPECT_EQ(1, Get(jpeg, (LPCSTR)JpegBaseline, (long)sizeof JpegBaseline, 1,
                     (FARPROC)(void*)LogProgress, (LONG_PTR)&firstJpeg)
                     .result);
}

}  // namespace
