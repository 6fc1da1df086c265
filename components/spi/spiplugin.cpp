// spiplugin.cpp - the exports of one picture plug-in (ifjpeg.spi, ifgif.spi,
// ifxld4.spi): the build names the plug-in's description in VORN_SPI_PLUGIN.
// This part reads files and memory blocks and hands the bitmap back in local
// memory; recognition, decoding and the bitmap layout are in spidecode.
//
// On x86 every export is __stdcall and exported without decoration (spi.def).
// On x86-64 the head argument of IsSupported and the user datum of the progress
// callback are pointer-sized, so a host can pass an address in either.
#include <windows.h>

#include <string.h>

#include "components/spi/spidecode.h"

#ifndef VORN_SPI_PLUGIN
#error "VORN_SPI_PLUGIN names the plug-in description"
#endif

namespace {

typedef int(WINAPI* ProgressProc)(int nNum, int nDenom, LONG_PTR lData);

const SpiPluginDesc& Plugin = VORN_SPI_PLUGIN;

// Input kinds in the low bits of the flag.
enum { INPUT_FILE = 0, INPUT_MEMORY = 1, INPUT_MASK = 7 };

// The bytes of a picture: either the caller's memory block or a heap copy of a
// file from an offset to its end.
struct Source {
    const unsigned char* data;
    size_t size;
    unsigned char* owned;  // heap block to free, or null
};

void FreeSource(Source* s) {
    if (s->owned) HeapFree(GetProcessHeap(), 0, s->owned);
    s->owned = nullptr;
    s->data = nullptr;
    s->size = 0;
}

// Whether the head of the open file at pos is a picture of this plug-in; the
// file position is left at pos.
bool HeadRecognised(HANDLE f, LARGE_INTEGER pos) {
    unsigned char head[SPI_SNIFF_BYTES];
    DWORD read = 0;
    BOOL ok = ReadFile(f, head, sizeof head, &read, nullptr);
    if (!SetFilePointerEx(f, pos, nullptr, FILE_BEGIN)) return false;
    return ok && SpiSniffFormat(head, read, Plugin.formats) != 0;
}

// Reads the file name from offset to its end.
int ReadFileFrom(const char* name, long offset, Source* out) {
    if (!name || offset < 0) return SPI_READ_ERROR;
    HANDLE f = CreateFileA(name, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return SPI_READ_ERROR;
    int result = SPI_OK;
    LARGE_INTEGER size, pos;
    pos.QuadPart = offset;
    if (!GetFileSizeEx(f, &size) || !SetFilePointerEx(f, pos, nullptr, FILE_BEGIN)) {
        result = SPI_READ_ERROR;
    } else if (offset >= size.QuadPart) {
        result = SPI_UNKNOWN_FORMAT;  // nothing at the offset
    } else if (!HeadRecognised(f, pos)) {
        result = SPI_UNKNOWN_FORMAT;  // a foreign file is never read whole
    } else if ((uint64_t)(size.QuadPart - offset) > SPI_MAX_FILE_BYTES) {
        result = SPI_NO_MEMORY;
    } else {
        size_t want = (size_t)(size.QuadPart - offset);
        unsigned char* block = (unsigned char*)HeapAlloc(GetProcessHeap(), 0, want);
        if (!block) {
            result = SPI_NO_MEMORY;
        } else {
            size_t got = 0;
            while (got < want) {
                DWORD chunk = want - got > (1u << 30) ? (1u << 30) : (DWORD)(want - got);
                DWORD read = 0;
                if (!ReadFile(f, block + got, chunk, &read, nullptr) || read == 0) break;
                got += read;
            }
            if (got == 0) {
                HeapFree(GetProcessHeap(), 0, block);
                result = SPI_READ_ERROR;
            } else {
                // A file that shrank while read is decoded as far as it goes.
                out->data = block;
                out->size = got;
                out->owned = block;
            }
        }
    }
    CloseHandle(f);
    return result;
}

int OpenSource(const char* buf, long len, unsigned flag, Source* out) {
    memset(out, 0, sizeof *out);
    switch (flag & INPUT_MASK) {
    case INPUT_FILE:
        return ReadFileFrom(buf, len, out);
    case INPUT_MEMORY:
        if (!buf || len <= 0) return SPI_UNKNOWN_FORMAT;
        out->data = (const unsigned char*)buf;
        out->size = (size_t)len;
        return SPI_OK;
    default:
        return SPI_NOT_IMPLEMENTED;
    }
}

// The host's callback seen as the decoder's progress.
struct HostProgress {
    ProgressProc proc;
    LONG_PTR data;
};

int CallHostProgress(int done, int total, void* ctx) {
    HostProgress* p = (HostProgress*)ctx;
    return p->proc ? p->proc(done, total, p->data) : 0;
}

// The pixel block: a movable local block, locked while the decoder writes it.
unsigned char* AllocateLocal(size_t bytes, void* ctx) {
    HLOCAL* block = (HLOCAL*)ctx;
    *block = LocalAlloc(LMEM_MOVEABLE, bytes);
    return *block ? (unsigned char*)LocalLock(*block) : nullptr;
}

int DecodeToHandles(const Source& src, HLOCAL* info, HLOCAL* image, HostProgress* progress) {
    SpiPictureSize size;
    int r = SpiReadPictureSize(src.data, src.size, Plugin.formats, &size);
    if (r != SPI_OK) return r;
    if (CallHostProgress(0, (int)size.height, progress)) return SPI_ABORTED;
    SpiSink sink = {AllocateLocal, image, CallHostProgress, progress};
    SpiBitmap bitmap;
    r = SpiDecodeBitmap(src.data, src.size, Plugin.formats, &sink, &bitmap);
    if (*image) LocalUnlock(*image);
    if (r != SPI_OK) return r;
    *info = LocalAlloc(LMEM_MOVEABLE, bitmap.layout.infoBytes);
    if (!*info) return SPI_NO_MEMORY;
    unsigned char* pi = (unsigned char*)LocalLock(*info);
    if (!pi) return SPI_MEMORY_ERROR;
    r = SpiWriteDibInfo(&bitmap.layout, pi, bitmap.layout.infoBytes) ? SPI_OK : SPI_INTERNAL;
    LocalUnlock(*info);
    return r;
}

}  // namespace

extern "C" {

int WINAPI GetPluginInfo(int infono, LPSTR buf, int buflen) {
    return SpiPluginInfoText(&Plugin, infono, buf, buflen);
}

int WINAPI IsSupported(LPCSTR filename, DWORD_PTR dw) {
    (void)filename;  // recognised by content alone
    if ((dw >> 16) != 0) {
        // The head the host read: at least 2 KB, more than recognition needs.
        return SpiSniffFormat((const unsigned char*)dw, SPI_SNIFF_BYTES, Plugin.formats) ? 1 : 0;
    }
    // A file handle: read the head and leave the file position as it was.
    HANDLE f = (HANDLE)dw;
    unsigned char head[SPI_HEAD_BYTES];
    memset(head, 0, sizeof head);
    LARGE_INTEGER zero, was;
    zero.QuadPart = 0;
    if (!SetFilePointerEx(f, zero, &was, FILE_CURRENT)) return 0;
    DWORD read = 0;
    BOOL ok = ReadFile(f, head, sizeof head, &read, nullptr);
    SetFilePointerEx(f, was, nullptr, FILE_BEGIN);
    if (!ok || read == 0) return 0;
    return SpiSniffFormat(head, read, Plugin.formats) ? 1 : 0;
}

int WINAPI GetPictureInfo(LPCSTR buf, long len, unsigned int flag, SpiPictureInfo* lpInfo) {
    if (!lpInfo) return SPI_INTERNAL;
    memset(lpInfo, 0, sizeof *lpInfo);
    Source src;
    int r = OpenSource(buf, len, flag, &src);
    if (r == SPI_OK) r = SpiFillPictureInfo(src.data, src.size, Plugin.formats, lpInfo);
    FreeSource(&src);
    return r;
}

int WINAPI GetPicture(LPCSTR buf, long len, unsigned int flag, HANDLE* pHBInfo, HANDLE* pHBm,
                      FARPROC lpPrgressCallback, LONG_PTR lData) {
    if (!pHBInfo || !pHBm) return SPI_INTERNAL;
    *pHBInfo = nullptr;
    *pHBm = nullptr;
    HostProgress progress = {(ProgressProc)(void*)lpPrgressCallback, lData};
    Source src;
    int r = OpenSource(buf, len, flag, &src);
    HLOCAL info = nullptr, image = nullptr;
    if (r == SPI_OK) r = DecodeToHandles(src, &info, &image, &progress);
    FreeSource(&src);
    if (r != SPI_OK) {
        if (info) LocalFree(info);
        if (image) LocalFree(image);
        return r;
    }
    *pHBInfo = info;
    *pHBm = image;
    return SPI_OK;
}

int WINAPI GetPreview(LPCSTR buf, long len, unsigned int flag, HANDLE* pHBInfo, HANDLE* pHBm,
                      FARPROC lpPrgressCallback, LONG_PTR lData) {
    (void)buf;
    (void)len;
    (void)flag;
    (void)lpPrgressCallback;
    (void)lData;
    if (pHBInfo) *pHBInfo = nullptr;
    if (pHBm) *pHBm = nullptr;
    return SPI_NOT_IMPLEMENTED;
}

}  // extern "C"
