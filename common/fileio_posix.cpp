// fileio_posix.cpp - fileio.h for the native builds (tests, fuzzing, benchmarks).
// Paths use '\' like on Windows; they are mapped to '/' here.
#include "fileio.h"

#include <errno.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

void* AppModule = nullptr;
static char g_moduleFolder[262] = "./";
// The one path whose reads fail (test hook), empty for none.
static char g_failingRead[1024] = "";

void SetNativeReadFailure(const char* path) {
    g_failingRead[0] = '\0';
    if (path && strlen(path) < sizeof g_failingRead) strcpy(g_failingRead, path);
}

void SetNativeModuleFolder(const char* folder) {
    size_t n = strlen(folder);
    if (n + 2 > sizeof g_moduleFolder) return;
    memcpy(g_moduleFolder, folder, n + 1);
    if (n == 0 || g_moduleFolder[n - 1] != '/') {
        g_moduleFolder[n] = '/';
        g_moduleFolder[n + 1] = '\0';
    }
}

// Each block carries its size in a header in front of it, so that MemRealloc can
// zero-fill the growth as the Windows process heap does with HEAP_ZERO_MEMORY.
static const size_t kHeader = 16;

void* MemAlloc(size_t size) {
    if (size > (size_t)-1 - kHeader) return nullptr;
    char* base = (char*)calloc(1, kHeader + (size ? size : 1));
    if (!base) return nullptr;
    memcpy(base, &size, sizeof size);
    return base + kHeader;
}

void* MemRealloc(void* block, size_t size) {
    if (!block) return MemAlloc(size);
    if (size > (size_t)-1 - kHeader) return nullptr;
    char* base = (char*)block - kHeader;
    size_t old;
    memcpy(&old, base, sizeof old);
    char* grown = (char*)realloc(base, kHeader + (size ? size : 1));
    if (!grown) return nullptr;  // the old block stays valid
    if (size > old) memset(grown + kHeader + old, 0, size - old);
    memcpy(grown, &size, sizeof size);
    return grown + kHeader;
}

void MemFree(void* block) {
    if (block) free((char*)block - kHeader);
}

char* MemDupString(const char* s) {
    if (!s) return nullptr;
    size_t n = strlen(s);
    char* p = (char*)MemAlloc(n + 1);
    if (p) memcpy(p, s, n + 1);
    return p;
}

// Native paths: '\' becomes '/'. Shift-JIS trail bytes never matter here because
// the native builds only see the ASCII paths of the tests.
static void NativePath(const char* path, char* out, size_t outSize) {
    size_t i = 0;
    for (; path[i] && i + 1 < outSize; i++) out[i] = path[i] == '\\' ? '/' : path[i];
    out[i] = '\0';
}

static char* ReadInto(const char* path, size_t limit, size_t extra, int createIfMissing,
                      size_t* sizeOut, int* result) {
    int failure = FILE_READ_FAILED;
    if (result) *result = FILE_READ_FAILED;
    if (g_failingRead[0] && strcmp(path, g_failingRead) == 0) return nullptr;
    char p[1024];
    NativePath(path, p, sizeof p);
    FILE* f = fopen(p, "rb");
    if (!f) {
        if (errno == ENOENT || errno == ENOTDIR) {
            failure = FILE_READ_MISSING;
            if (createIfMissing) {
                FILE* c = fopen(p, "ab");
                if (c) fclose(c);
            }
        }
        if (result) *result = failure;
        return nullptr;
    }
    // A folder opens for reading here; on Windows it does not.
    struct stat st;
    if (fstat(fileno(f), &st) != 0 || S_ISDIR(st.st_mode)) { fclose(f); return nullptr; }
    if (fseek(f, 0, SEEK_END) != 0) { fclose(f); return nullptr; }
    long len = ftell(f);
    if (len < 0) { fclose(f); return nullptr; }
    fseek(f, 0, SEEK_SET);
    size_t want = (size_t)len;
    if (limit != (size_t)-1 && want > limit) want = limit;
    size_t blockSize = (limit == (size_t)-1 ? want : limit) + extra;
    char* block = (char*)MemAlloc(blockSize);
    if (!block) { fclose(f); return nullptr; }
    size_t got = fread(block, 1, want, f);
    fclose(f);
    if (got != want) { MemFree(block); return nullptr; }
    if (sizeOut) *sizeOut = got;
    if (result) *result = FILE_READ_OK;
    return block;
}

char* ReadWholeFile(const char* path, int createIfMissing, size_t* sizeOut) {
    return ReadInto(path, (size_t)-1, 1, createIfMissing, sizeOut, nullptr);
}

char* ReadWholeFileStatus(const char* path, size_t* sizeOut, int* result) {
    if (!path || !*path) {
        if (result) *result = FILE_READ_MISSING;
        return nullptr;
    }
    return ReadInto(path, (size_t)-1, 1, 0, sizeOut, result);
}

char* ReadFileHead(const char* path, size_t count, size_t* sizeOut) {
    return ReadInto(path, count, 10, 0, sizeOut, nullptr);
}

bool FileExists(const char* path) {
    char p[1024];
    NativePath(path, p, sizeof p);
    struct stat st;
    return stat(p, &st) == 0;
}

bool DirectoryExists(const char* path) {
    char p[1024];
    NativePath(path, p, sizeof p);
    struct stat st;
    return stat(p, &st) == 0 && S_ISDIR(st.st_mode);
}

int CreateFolder(const char* path) {
    char p[1024];
    NativePath(path, p, sizeof p);
    return mkdir(p, 0777) == 0 || DirectoryExists(path);
}

int WriteWholeFile(const char* path, const void* data, size_t len) {
    if (!path || !*path || (!data && len)) return 0;
    char p[1024], tmp[1040];
    NativePath(path, p, sizeof p);
    snprintf(tmp, sizeof tmp, "%s.~new", p);
    FILE* f = fopen(tmp, "wb");
    if (!f) return 0;
    size_t put = len ? fwrite(data, 1, len, f) : 0;
    int ok = put == len && fflush(f) == 0 && fsync(fileno(f)) == 0;
    ok = (fclose(f) == 0) && ok;
    if (!ok || rename(tmp, p) != 0) {
        unlink(tmp);
        return 0;
    }
    return 1;
}

void ModulePath(void* module, char* dst, const char* relative, size_t dstSize) {
    (void)module;
    if (!dst || !dstSize) return;
    dst[0] = '\0';
    size_t n = strlen(g_moduleFolder);
    size_t r = relative ? strlen(relative) : 0;
    // A path cut to fit would name another file: leave dst empty instead.
    if (n + r >= dstSize) return;
    memcpy(dst, g_moduleFolder, n);
    if (r) memcpy(dst + n, relative, r);
    dst[n + r] = '\0';
}
