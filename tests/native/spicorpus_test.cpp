// Agreement of the plug-ins' decoding with a reference decoder over the picture
// corpus that scripts/components.sh gathers (the test pictures of the libraries'
// source packages and pictures made with ImageMagick). Each picture is decoded
// by SpiDecodeBitmap and by tests/spicorpus/reference.py (Pillow; ImageMagick for
// TGA), both composed over white. They agree when both refuse the file, or both
// give the same size and a mean absolute difference of at most 0.5 per sample
// (4 for JPEG). The pictures on which they still differ are listed with the reason.
#include <dirent.h>
#include <gtest/gtest.h>
#include <stdio.h>
#include <stdlib.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "components/spi/spidecode.h"

namespace {

using Bytes = std::vector<unsigned char>;

struct Listed {
    const char* name;
    const char* reason;
};

// Pillow compares the tRNS grey level of a 2- or 4-bit grey picture with the
// samples after scaling them to 8 bits, so nothing is transparent.
const char* const kLowBitGreyTrns =
    "the reference misses the transparent grey level of 2- and 4-bit grey pictures";

const Listed kDisagreements[] = {
    {"made-offset.gif",
     "the reference fills the screen around the first frame with the background colour; "
     "viewers leave it clear, white here"},
    {"made-offset-no-global-table.gif", "as made-offset.gif"},
    {"png-contrib_testpngs_crashers_badcrc.png",
     "the image data chunk's checksum is wrong: the reference does not check it"},
    {"png-contrib_testpngs_crashers_huge_IDAT.png",
     "the file ends inside a data chunk stated as a gigabyte: cut short, the reference "
     "stops once it has the pixels"},
    {"png-contrib_testpngs_gray-2-1.8-tRNS.png", kLowBitGreyTrns},
    {"png-contrib_testpngs_gray-2-linear-tRNS.png", kLowBitGreyTrns},
    {"png-contrib_testpngs_gray-2-sRGB-tRNS.png", kLowBitGreyTrns},
    {"png-contrib_testpngs_gray-2-tRNS.png", kLowBitGreyTrns},
    {"png-contrib_testpngs_gray-4-1.8-tRNS.png", kLowBitGreyTrns},
    {"png-contrib_testpngs_gray-4-linear-tRNS.png", kLowBitGreyTrns},
    {"png-contrib_testpngs_gray-4-sRGB-tRNS.png", kLowBitGreyTrns},
    {"png-contrib_testpngs_gray-4-tRNS.png", kLowBitGreyTrns},
};

const unsigned kAllFormats = SPI_JPEG | SPI_GIF | SPI_PNG | SPI_TGA | SPI_PSD | SPI_PNM;

struct Decoded {
    bool ok = false;
    uint32_t width = 0, height = 0;
    Bytes rgb;  // top-down, red first
    std::string why;
};

Bytes ReadFile(const std::string& path) {
    Bytes b;
    FILE* f = fopen(path.c_str(), "rb");
    if (!f) return b;
    unsigned char buf[65536];
    size_t n;
    while ((n = fread(buf, 1, sizeof buf, f)) > 0) b.insert(b.end(), buf, buf + n);
    fclose(f);
    return b;
}

unsigned char* AllocateVector(size_t bytes, void* ctx) {
    ((Bytes*)ctx)->resize(bytes);
    return ((Bytes*)ctx)->data();
}

Decoded Ours(const Bytes& file) {
    Decoded d;
    Bytes image;
    SpiSink sink = {AllocateVector, &image, nullptr, nullptr};
    SpiBitmap bm;
    int r = SpiDecodeBitmap(file.data(), file.size(), kAllFormats, &sink, &bm);
    if (r != SPI_OK) {
        d.why = "result " + std::to_string(r);
        return d;
    }
    d.ok = true;
    d.width = bm.layout.width;
    d.height = bm.layout.height;
    int bytes = bm.layout.bitCount / 8;
    for (uint32_t y = 0; y < d.height; y++) {
        const unsigned char* row = image.data() + (size_t)(d.height - 1 - y) * bm.layout.stride;
        for (uint32_t x = 0; x < d.width; x++, row += bytes) {
            if (bytes == 1) {
                d.rgb.insert(d.rgb.end(), {row[0], row[0], row[0]});  // the grey table
            } else {
                d.rgb.insert(d.rgb.end(), {row[2], row[1], row[0]});
            }
        }
    }
    return d;
}

Decoded Reference(const std::string& refPath) {
    Decoded d;
    Bytes b = ReadFile(refPath);
    auto nl = std::find(b.begin(), b.end(), '\n');
    std::string head(b.begin(), nl);
    unsigned w = 0, h = 0;
    if (sscanf(head.c_str(), "OK %u %u", &w, &h) != 2) {
        d.why = head.empty() ? "no reference" : head;
        return d;
    }
    d.ok = true;
    d.width = w;
    d.height = h;
    d.rgb.assign(nl + 1, b.end());
    return d;
}

double MeanDifference(const Bytes& a, const Bytes& b) {
    if (a.size() != b.size() || a.empty()) return 1e9;
    double sum = 0;
    for (size_t i = 0; i < a.size(); i++) sum += abs((int)a[i] - (int)b[i]);
    return sum / (double)a.size();
}

std::vector<std::string> CorpusFiles() {
    std::vector<std::string> names;
    DIR* dir = opendir(VORN_SPI_CORPUS);
    if (!dir) return names;
    while (dirent* e = readdir(dir))
        if (e->d_name[0] != '.') names.push_back(e->d_name);
    closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

TEST(SpiCorpus, AgreesWithTheReferenceDecoder) {
    std::vector<std::string> names = CorpusFiles();
    ASSERT_GE(names.size(), 250u) << VORN_SPI_CORPUS << ": run scripts/components.sh";
    char refDir[] = "/tmp/vorn_spiref_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(refDir));
    std::string command = std::string("/usr/bin/python3 ") + VORN_SOURCE_DIR +
                          "/tests/spicorpus/reference.py " + refDir;
    for (const std::string& n : names)
        command += " '" + std::string(VORN_SPI_CORPUS) + "/" + n + "'";
    ASSERT_EQ(0, system(command.c_str())) << "the reference decoder (python3-pil) did not run";
    int agreed = 0, listedSeen = 0;
    for (const std::string& name : names) {
        Bytes file = ReadFile(std::string(VORN_SPI_CORPUS) + "/" + name);
        std::string refPath = std::string(refDir) + "/" + name + ".ref";
        Decoded ours = Ours(file), ref = Reference(refPath);
        unlink(refPath.c_str());
        bool jpeg = SpiSniffFormat(file.data(), file.size(), kAllFormats) == SPI_JPEG;
        double diff = MeanDifference(ours.rgb, ref.rgb);
        bool agree = ours.ok == ref.ok &&
                     (!ours.ok || (ours.width == ref.width && ours.height == ref.height &&
                                   diff <= (jpeg ? 4.0 : 0.5)));
        const Listed* listed = nullptr;
        for (const Listed& l : kDisagreements)
            if (name == l.name) listed = &l;
        std::string detail =
            name + ": ours " +
            (ours.ok ? std::to_string(ours.width) + "x" + std::to_string(ours.height) : ours.why) +
            ", reference " +
            (ref.ok ? std::to_string(ref.width) + "x" + std::to_string(ref.height) : ref.why) +
            (ours.ok && ref.ok ? ", mean difference " + std::to_string(diff) : "");
        if (listed) {
            listedSeen++;
            EXPECT_FALSE(agree) << detail << " (listed: " << listed->reason << ") agrees now";
        } else {
            EXPECT_TRUE(agree) << detail;
        }
        agreed += agree;
    }
    rmdir(refDir);
    printf("corpus: %zu pictures, %d agree, %d listed disagreements\n", names.size(), agreed,
           listedSeen);
}

}  // namespace
