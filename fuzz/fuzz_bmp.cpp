// Fuzz target for the preview's pure rules. The whole input is read as a bitmap
// file and, split after its first byte, as a plug-in's two picture blocks; after its first byte (which picks the read limit and, for heads without
// a mark, the Unicode test's answer) it is the head of a file for the text rules;
// its first 16 bytes are four sizes for the picture fit. Every block is an
// exact-size heap copy so AddressSanitizer sees a read past its end; the checks
// below trap on a broken invariant.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "launcher/preview/previewrules.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// Stand-in for the code page 932 conversion: one byte per ASCII unit, two per
// other unit (the most the real one writes), failing when out is too small.
int TwoBytesPerUnit(const uint16_t* wide, size_t count, char* out, size_t outSize, void*) {
    size_t n = 0;
    for (size_t i = 0; i < count; i++) {
        Check(wide[i] != 0);
        size_t need = wide[i] < 0x80 ? 1 : 2;
        if (n + need > outSize) return -1;
        if (need == 1) {
            out[n++] = (char)wide[i];
        } else {
            out[n++] = (char)0x82;
            out[n++] = (char)0xA0;
        }
    }
    return (int)n;
}

int UnicodeAnswer(const unsigned char*, size_t, void* ctx) { return *(int*)ctx; }

void FuzzBitmap(const uint8_t* data, size_t size) {
    unsigned char* block = (unsigned char*)malloc(size ? size : 1);
    if (size) memcpy(block, data, size);
    BmpView v;
    int r = ReadBitmapBlock(block, size, &v);
    if (r == BMP_OK) {
        const unsigned char* end = block + size;
        Check(v.width > 0 && v.height > 0);
        Check(v.colorCount <= 256 && (uint64_t)v.info.clrUsed * 4 <= v.tableBytes);
        Check(v.table == block + 54 && v.tableBytes <= size - 54);
        Check(v.pixels == block + v.pixelOffset && v.pixelOffset >= 54);
        Check(v.pixelBytes > 0 && v.pixelBytes <= (size_t)(end - v.pixels));
        // Touch the first and last byte of every piece the window would read.
        volatile unsigned sum = v.pixels[0] + v.pixels[v.pixelBytes - 1];
        if (v.tableBytes) sum = sum + v.table[0] + v.table[v.tableBytes - 1];
        (void)sum;
    } else {
        Check(v.pixels == nullptr && v.table == nullptr && v.pixelBytes == 0);
    }
    free(block);
}

// A plug-in's two blocks: the first byte splits the rest into the information
// block and the pixel block.
void FuzzPluginPicture(const uint8_t* data, size_t size) {
    if (size < 1) return;
    size_t infoBytes = (size_t)data[0] * 4;
    if (infoBytes > size - 1) infoBytes = size - 1;
    size_t pixelBytes = size - 1 - infoBytes;
    unsigned char* info = (unsigned char*)malloc(infoBytes ? infoBytes : 1);
    unsigned char* pixels = (unsigned char*)malloc(pixelBytes ? pixelBytes : 1);
    if (infoBytes) memcpy(info, data + 1, infoBytes);
    if (pixelBytes) memcpy(pixels, data + 1 + infoBytes, pixelBytes);
    BmpView v;
    if (CheckPluginPicture(info, infoBytes, pixels, pixelBytes, &v) == BMP_OK) {
        Check(v.table == info + 40 && 40 + v.tableBytes <= infoBytes);
        Check(v.pixels == pixels && v.pixelBytes > 0 && v.pixelBytes <= pixelBytes);
        volatile unsigned sum = v.pixels[0] + v.pixels[v.pixelBytes - 1];
        if (v.tableBytes) sum = sum + v.table[0] + v.table[v.tableBytes - 1];
        (void)sum;
    } else {
        Check(v.pixels == nullptr && v.table == nullptr && v.pixelBytes == 0);
    }
    free(info);
    free(pixels);
}

void FuzzText(const uint8_t* data, size_t size) {
    if (size < 1) return;
    static const uint32_t limits[] = {500, 2000, 3, 10000};
    static const int answers[] = {0x1002, 0x1020, 0x1022, 0};
    uint32_t rsize = limits[data[0] & 3];
    int answer = answers[(data[0] >> 2) & 3];
    size_t read = size - 1;
    if (read > PreviewReadCount(rsize)) read = PreviewReadCount(rsize);
    unsigned char* head = (unsigned char*)malloc(read ? read : 1);
    if (read) memcpy(head, data + 1, read);
    size_t textSize = PreviewTextSize(read, rsize);
    Check(textSize <= read && textSize <= rsize);
    bool text = IsPreviewText(head, textSize);
    IsExcludedHead(head, read);
    int enc = DecideTextEncoding(head, textSize, UnicodeAnswer, &answer);
    Check(enc >= TEXT_ANSI && enc <= TEXT_UTF8);
    if (text || (data[0] & 0x10)) {
        size_t outSize = PreviewTextBufferSize(textSize);
        char* out = (char*)malloc(outSize);
        int n = MakePreviewText(head, textSize, enc, TwoBytesPerUnit, nullptr, out, outSize);
        // The buffer size promise: no text overflows it.
        Check(n >= 0 && (size_t)n < outSize && strlen(out) == (size_t)n);
        if (enc == TEXT_ANSI) Check(TrimBrokenLeadByte(out, n) == (size_t)n);
        // A smaller buffer fails or cuts, never overruns.
        if (outSize > 2) {
            size_t small = outSize / 3 + 1;
            char* tight = (char*)malloc(small);
            int m = MakePreviewText(head, textSize, enc, TwoBytesPerUnit, nullptr, tight, small);
            Check(m < (int)small && (m < 0 || strlen(tight) == (size_t)m));
            free(tight);
        }
        free(out);
    }
    free(head);
}

void FuzzFit(const uint8_t* data, size_t size) {
    if (size < 16) return;
    uint32_t v[4];
    memcpy(v, data, sizeof v);
    PictureFit f = FitPicture(v[0], v[1], v[2], v[3]);
    Check(f.x >= 0 && f.y >= 0 && f.width >= 0 && f.height >= 0);
    uint32_t boxW = v[2] > INT32_MAX ? INT32_MAX : v[2];
    uint32_t boxH = v[3] > INT32_MAX ? INT32_MAX : v[3];
    if (f.width > 0 && (uint32_t)f.width < boxW) Check((uint32_t)f.x * 2 + f.width <= boxW);
    if (f.height > 0 && (uint32_t)f.height < boxH) Check((uint32_t)f.y * 2 + f.height <= boxH);
    // Scaling never enlarges.
    Check((uint32_t)f.width <= v[0] && (uint32_t)f.height <= v[1]);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzBitmap(data, size);
    FuzzPluginPicture(data, size);
    FuzzText(data, size);
    FuzzFit(data, size);
    return 0;
}
