// fileio_win.cpp - fileio.h over the Win32 API (ANSI calls, code page 932).
//
// Memory comes from the process heap with HEAP_ZERO_MEMORY. Files are opened
// for reading with read, write and delete sharing, so a file that a virus
// scanner or an editor holds open is still read; they are replaced through a
// flushed sibling temporary file that is renamed over the old one, so a reader
// never sees a half-written file of this program.
#include <windows.h>

#include <string.h>

#include "common/fileio.h"
#include "common/strutil.h"

void* AppModule = nullptr;

namespace {

// A read never asks the system for more than this at once (ReadFile and
// WriteFile count in DWORDs).
const DWORD kChunk = 1u << 20;

// Size of the module path buffer, and the suffix of the temporary file.
const DWORD kModulePathSize = 262;
const char kTempSuffix[] = ".~new";

HANDLE OpenForReading(const char* path) {
    return CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                       nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

// Whether a failed open means that nothing is there (neither the file nor its
// folder), as opposed to a file that is there but cannot be opened.
bool IsMissingError(DWORD error) {
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
}

// Reads up to want bytes from file into block (fewer at the end of the file);
// false when a read fails.
bool ReadUpTo(HANDLE file, char* block, size_t want, size_t* got) {
    size_t total = 0;
    while (total < want) {
        size_t left = want - total;
        DWORD ask = left > kChunk ? kChunk : (DWORD)left;
        DWORD read = 0;
        if (!ReadFile(file, block + total, ask, &read, nullptr)) return false;
        if (read == 0) break;  // end of file
        total += read;
    }
    *got = total;
    return true;
}

// Opens path and reads at most limit bytes (all when limit is (size_t)-1) into a
// zero-filled block of (bytes to read or limit) + extra bytes. result (when not
// null) receives a FileReadResult.
char* ReadInto(const char* path, size_t limit, size_t extra, int createIfMissing, size_t* sizeOut,
               int* result) {
    if (result) *result = FILE_READ_MISSING;
    if (!path || !*path) return nullptr;
    HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE) {
        bool missing = IsMissingError(GetLastError());
        if (result) *result = missing ? FILE_READ_MISSING : FILE_READ_FAILED;
        if (createIfMissing == 1) {
            // CREATE_NEW: an existing file (held open elsewhere) is left alone.
            HANDLE made = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                      FILE_ATTRIBUTE_NORMAL, nullptr);
            if (made != INVALID_HANDLE_VALUE) CloseHandle(made);
        }
        return nullptr;
    }
    if (result) *result = FILE_READ_FAILED;
    char* block = nullptr;
    LARGE_INTEGER size;
    if (GetFileSizeEx(file, &size) && size.QuadPart >= 0 &&
        (unsigned long long)size.QuadPart < (unsigned long long)((size_t)-1 - extra)) {
        size_t want = (size_t)size.QuadPart;
        size_t blockSize = want + extra;
        if (limit != (size_t)-1) {
            if (want > limit) want = limit;
            blockSize = limit + extra;
        }
        block = (char*)MemAlloc(blockSize);
        size_t got = 0;
        if (block && ReadUpTo(file, block, want, &got)) {
            if (sizeOut) *sizeOut = got;
            if (result) *result = FILE_READ_OK;
        } else {
            MemFree(block);
            block = nullptr;
        }
    }
    CloseHandle(file);
    return block;
}

bool WriteAll(HANDLE file, const char* data, size_t len) {
    size_t done = 0;
    while (done < len) {
        size_t left = len - done;
        DWORD ask = left > kChunk ? kChunk : (DWORD)left;
        DWORD put = 0;
        if (!WriteFile(file, data + done, ask, &put, nullptr) || put == 0) return false;
        done += put;
    }
    return true;
}

}  // namespace

void* MemAlloc(size_t size) {
    return HeapAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, size ? size : 1);
}

void* MemRealloc(void* block, size_t size) {
    if (!block) return MemAlloc(size);
    // HeapReAlloc keeps the old block when it fails, and zero-fills the growth.
    return HeapReAlloc(GetProcessHeap(), HEAP_ZERO_MEMORY, block, size ? size : 1);
}

void MemFree(void* block) {
    if (block) HeapFree(GetProcessHeap(), 0, block);
}

char* MemDupString(const char* s) {
    if (!s) return nullptr;
    size_t n = strlen(s);
    char* p = (char*)MemAlloc(n + 1);
    if (p) memcpy(p, s, n + 1);
    return p;
}

char* ReadWholeFile(const char* path, int createIfMissing, size_t* sizeOut) {
    return ReadInto(path, (size_t)-1, 1, createIfMissing, sizeOut, nullptr);
}

char* ReadWholeFileStatus(const char* path, size_t* sizeOut, int* result) {
    return ReadInto(path, (size_t)-1, 1, 0, sizeOut, result);
}

char* ReadFileHead(const char* path, size_t count, size_t* sizeOut) {
    if (count > (size_t)-1 - 16) return nullptr;
    return ReadInto(path, count, 10, 0, sizeOut, nullptr);
}

bool FileExists(const char* path) {
    return path && GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES;
}

bool DirectoryExists(const char* path) {
    if (!path) return false;
    DWORD attributes = GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

int CreateFolder(const char* path) {
    if (!path || !*path) return 0;
    if (CreateDirectoryA(path, nullptr)) return 1;
    return DirectoryExists(path) ? 1 : 0;
}

int WriteWholeFile(const char* path, const void* data, size_t len) {
    if (!path || !*path || (!data && len)) return 0;
    char temp[MAX_PATH + sizeof kTempSuffix];
    size_t n = strlen(path);
    if (n + sizeof kTempSuffix > sizeof temp) return 0;
    memcpy(temp, path, n);
    memcpy(temp + n, kTempSuffix, sizeof kTempSuffix);

    HANDLE file =
        CreateFileA(temp, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 0;
    bool ok = WriteAll(file, (const char*)data, len) && FlushFileBuffers(file);
    if (!CloseHandle(file)) ok = false;
    if (ok) ok = MoveFileExA(temp, path, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
    if (!ok) {
        DeleteFileA(temp);
        return 0;
    }
    return 1;
}

void ModulePath(void* module, char* dst, const char* relative, size_t dstSize) {
    if (!dst || !dstSize) return;
    dst[0] = '\0';
    char path[kModulePathSize];
    DWORD n = GetModuleFileNameA((HMODULE)module, path, kModulePathSize);
    // 0 is a failure, the full size a cut path: neither names the real folder.
    if (n == 0 || n >= kModulePathSize) return;
    path[n] = '\0';
    if (!CutAfterLastSeparator(path)) return;
    // A path cut to fit would name another file: leave dst empty instead.
    if (strlen(path) + (relative ? strlen(relative) : 0) >= dstSize) return;
    ConcatTo(path, relative, dst, dstSize);
}
