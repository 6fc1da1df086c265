// spi_samples.h - small picture files written by the tests themselves, so each
// test knows every pixel: PNM (P5, P6), TGA (24-bit, either row order), PNG
// (uncompressed deflate blocks), GIF (one or two frames, four colours) and PSD
// (raw RGB planes). Pixels are given top-down, red-green-blue, three bytes each.
// Header only and free of windows.h: used by the native and the Wine tests.
#pragma once
#include <stdint.h>
#include <stdio.h>

#include <string>
#include <vector>

namespace spisample {

using Bytes = std::vector<unsigned char>;

inline void Be16(Bytes& b, uint32_t v) {
    b.push_back((unsigned char)(v >> 8));
    b.push_back((unsigned char)v);
}
inline void Be32(Bytes& b, uint32_t v) {
    Be16(b, v >> 16);
    Be16(b, v);
}
inline void Le16(Bytes& b, uint32_t v) {
    b.push_back((unsigned char)v);
    b.push_back((unsigned char)(v >> 8));
}
inline void Text(Bytes& b, const std::string& s) { b.insert(b.end(), s.begin(), s.end()); }

// "P6" colour or "P5" grey (then rgb holds one byte per pixel).
inline Bytes Pnm(int w, int h, const Bytes& px, bool grey = false) {
    Bytes b;
    Text(b, std::string(grey ? "P5" : "P6") + "\n# sample\n" + std::to_string(w) + " " +
                std::to_string(h) + "\n255\n");
    b.insert(b.end(), px.begin(), px.end());
    return b;
}

// Uncompressed true-colour TGA, 24 bits; rows stored top-down or bottom-up,
// pixels left to right or right to left.
inline Bytes Tga(int w, int h, const Bytes& rgb, bool topDown, bool rightToLeft = false) {
    Bytes b = {0, 0, 2, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    Le16(b, w);
    Le16(b, h);
    b.push_back(24);
    b.push_back((topDown ? 0x20 : 0x00) | (rightToLeft ? 0x10 : 0x00));
    for (int r = 0; r < h; r++) {
        int y = topDown ? r : h - 1 - r;
        for (int c = 0; c < w; c++) {
            int x = rightToLeft ? w - 1 - c : c;
            const unsigned char* p = &rgb[(size_t)(y * w + x) * 3];
            b.push_back(p[2]);
            b.push_back(p[1]);
            b.push_back(p[0]);
        }
    }
    return b;
}

inline uint32_t Crc32(const unsigned char* p, size_t n) {
    uint32_t c = 0xFFFFFFFFu;
    for (size_t i = 0; i < n; i++) {
        c ^= p[i];
        for (int k = 0; k < 8; k++) c = (c >> 1) ^ (0xEDB88320u & (0u - (c & 1)));
    }
    return c ^ 0xFFFFFFFFu;
}

inline void PngChunk(Bytes& b, const char* type, const Bytes& data) {
    Be32(b, (uint32_t)data.size());
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    b.insert(b.end(), body.begin(), body.end());
    Be32(b, Crc32(body.data(), body.size()));
}

// PNG of channels 1 (grey), 3 (RGB) or 4 (RGBA), 8 bits, stored deflate blocks.
inline Bytes Png(int w, int h, const Bytes& px, int channels) {
    static const unsigned char sig[8] = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    Bytes b(sig, sig + 8);
    Bytes ihdr;
    Be32(ihdr, w);
    Be32(ihdr, h);
    ihdr.push_back(8);
    ihdr.push_back(channels == 1 ? 0 : channels == 3 ? 2 : 6);
    ihdr.push_back(0);
    ihdr.push_back(0);
    ihdr.push_back(0);
    PngChunk(b, "IHDR", ihdr);
    Bytes raw;
    for (int y = 0; y < h; y++) {
        raw.push_back(0);  // filter: none
        raw.insert(raw.end(), px.begin() + (size_t)y * w * channels,
                   px.begin() + (size_t)(y + 1) * w * channels);
    }
    Bytes z = {0x78, 0x01};
    size_t at = 0;
    do {
        size_t n = raw.size() - at > 65535 ? 65535 : raw.size() - at;
        z.push_back(at + n == raw.size() ? 1 : 0);
        Le16(z, (uint32_t)n);
        Le16(z, (uint32_t)(~n & 0xFFFF));
        z.insert(z.end(), raw.begin() + at, raw.begin() + at + n);
        at += n;
    } while (at < raw.size());
    uint32_t a = 1, s2 = 0;
    for (unsigned char c : raw) {
        a = (a + c) % 65521;
        s2 = (s2 + a) % 65521;
    }
    Be32(z, (s2 << 16) | a);
    PngChunk(b, "IDAT", z);
    PngChunk(b, "IEND", Bytes());
    return b;
}

// GIF with a four-colour table (palette: 4 RGB triples) and frames of colour
// indices. The LZW stream sends a clear code before every second pixel, so the
// code width stays at three bits.
inline Bytes Gif(int w, int h, const Bytes& palette, const std::vector<Bytes>& frames) {
    Bytes b = {'G', 'I', 'F', '8', '9', 'a'};
    Le16(b, w);
    Le16(b, h);
    b.push_back(0x81);  // global table of 4 entries
    b.push_back(0);
    b.push_back(0);
    b.insert(b.end(), palette.begin(), palette.end());
    for (const Bytes& idx : frames) {
        b.push_back(0x2C);
        Le16(b, 0);
        Le16(b, 0);
        Le16(b, w);
        Le16(b, h);
        b.push_back(0);
        b.push_back(2);  // minimum code size
        Bytes data;
        uint32_t acc = 0;
        int bits = 0;
        auto put = [&](unsigned code) {
            acc |= code << bits;
            bits += 3;
            while (bits >= 8) {
                data.push_back((unsigned char)acc);
                acc >>= 8;
                bits -= 8;
            }
        };
        for (size_t i = 0; i < idx.size(); i++) {
            if (i % 2 == 0) put(4);  // clear
            put(idx[i]);
        }
        put(5);  // end of information
        if (bits) data.push_back((unsigned char)acc);
        for (size_t at = 0; at < data.size(); at += 255) {
            size_t n = data.size() - at > 255 ? 255 : data.size() - at;
            b.push_back((unsigned char)n);
            b.insert(b.end(), data.begin() + at, data.begin() + at + n);
        }
        b.push_back(0);
    }
    b.push_back(0x3B);
    return b;
}

// The GIF of Gif() with its global colour table moved to its first frame.
inline Bytes GifLocalTable(Bytes gif) {
    Bytes table(gif.begin() + 13, gif.begin() + 25);
    gif.erase(gif.begin() + 13, gif.begin() + 25);
    gif[10] = 0;
    gif[13 + 9] = 0x81;  // the frame's flags: a table of four entries
    gif.insert(gif.begin() + 13 + 10, table.begin(), table.end());
    return gif;
}

// PSD, RGB, 8 bits, raw planes.
inline Bytes Psd(int w, int h, const Bytes& rgb) {
    Bytes b;
    Text(b, "8BPS");
    Be16(b, 1);
    b.insert(b.end(), 6, 0);
    Be16(b, 3);
    Be32(b, h);
    Be32(b, w);
    Be16(b, 8);
    Be16(b, 3);
    Be32(b, 0);  // colour mode data
    Be32(b, 0);  // image resources
    Be32(b, 0);  // layers and masks
    Be16(b, 0);  // raw data
    for (int c = 0; c < 3; c++)
        for (int i = 0; i < w * h; i++) b.push_back(rgb[(size_t)i * 3 + c]);
    return b;
}

// The 2 x 2 picture most tests use: red, green / blue, white.
inline Bytes Quad() { return {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255}; }

// The rows a 24-bit bottom-up bitmap of Quad holds (stride 8).
inline Bytes QuadDib() {
    return {255, 0, 0, 255, 255, 255, 0, 0,  // bottom row: blue, white
            0, 0, 255, 0, 255, 0, 0, 0};     // top row: red, green
}

}  // namespace spisample
