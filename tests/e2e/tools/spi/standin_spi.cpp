// standin_spi.cpp - a small image plug-in with the classic interface, for the
// preview's tests. It reads a made-up format: the bytes "VSPI", then red,
// green and blue; the picture is 40 x 40 pixels of that colour (24 bits,
// bottom up). A file named "*.vsp" is accepted whatever it holds, so a test can see
// whether a file was ever offered. CallCount tells how often IsSupported was
// asked since the module was loaded.
#include <windows.h>
#include <string.h>

static LONG calls;

static bool HasMagic(const unsigned char* head) { return memcmp(head, "VSPI", 4) == 0; }

static bool NamedVsp(const char* name) {
    size_t n = name ? strlen(name) : 0;
    return n > 4 && _stricmp(name + n - 4, ".vsp") == 0;
}

extern "C" __declspec(dllexport) int WINAPI CallCount(void) { return (int)calls; }

extern "C" __declspec(dllexport) int WINAPI IsSupported(LPSTR name, DWORD_PTR dw) {
    InterlockedIncrement(&calls);
    unsigned char head[8] = {0};
    if ((dw & ~(DWORD_PTR)0xFFFF) == 0) {  // a file handle
        DWORD read = 0;
        if (!ReadFile((HANDLE)dw, head, sizeof head, &read, nullptr)) return 0;
    } else {
        memcpy(head, (const void*)dw, sizeof head);
        // A 2 KB head, zero-filled past the end of the tests' short files, or refused.
        for (int i = 64; i < 2048; i++)
            if (((const unsigned char*)dw)[i]) return 0;
    }
    return HasMagic(head) || NamedVsp(name);
}

extern "C" __declspec(dllexport) int WINAPI GetPicture(LPSTR buf, LONG_PTR len, unsigned int flag,
                                                      HANDLE* info, HANDLE* pixels,
                                                      FARPROC progress, LONG_PTR data) {
    (void)len;
    (void)progress;
    (void)data;
    if (!info || !pixels || (flag & 7) != 0) return 1;  // only from a named file
    HANDLE file = CreateFileA(buf, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 6;
    unsigned char head[7] = {0};
    DWORD read = 0;
    BOOL ok = ReadFile(file, head, sizeof head, &read, nullptr);
    CloseHandle(file);
    if (!ok || read < sizeof head || !HasMagic(head)) return 2;
    const int side = 40, row = side * 3;  // 120 bytes: already a multiple of 4
    HLOCAL hi = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, sizeof(BITMAPINFOHEADER));
    HLOCAL hp = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, row * side);
    if (!hi || !hp) {
        if (hi) LocalFree(hi);
        if (hp) LocalFree(hp);
        return 4;
    }
    BITMAPINFOHEADER* h = (BITMAPINFOHEADER*)LocalLock(hi);
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = side;
    h->biHeight = side;
    h->biPlanes = 1;
    h->biBitCount = 24;
    h->biCompression = BI_RGB;
    LocalUnlock(hi);
    unsigned char* p = (unsigned char*)LocalLock(hp);
    for (int y = 0; y < side; y++)
        for (int x = 0; x < side; x++) {
            p[y * row + x * 3 + 0] = head[6];  // blue
            p[y * row + x * 3 + 1] = head[5];  // green
            p[y * row + x * 3 + 2] = head[4];  // red
        }
    LocalUnlock(hp);
    *info = hi;
    *pixels = hp;
    return 0;
}
