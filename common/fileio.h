// fileio.h - the few file-system and memory operations the pure core needs.
//
// Declared here without windows.h; fileio_win.cpp implements them with the Win32
// API (process heap, CreateFile, MoveFileEx), fileio_posix.cpp implements them
// for the native test, fuzz and benchmark builds. Paths are code-page-932 bytes
// with '\' separators; the POSIX side maps '\' to '/'.
#pragma once
#include <stddef.h>

// Process-heap blocks (zero-filled). MemFree(nullptr) is a no-op.
void* MemAlloc(size_t size);
void* MemRealloc(void* block, size_t size);  // keeps the old block on failure (returns null)
void MemFree(void* block);
// Heap copy of a string, or null for null/failure.
char* MemDupString(const char* s);

// Reads the whole file into a zero-filled block of size + 1 bytes (so it is
// NUL-terminated text). Null when it cannot be opened or read; with
// createIfMissing 1 a missing file is created empty first (and null returned).
// Files are opened with read, write and delete sharing: a file another program
// holds open (a virus scanner, an editor) is still read.
char* ReadWholeFile(const char* path, int createIfMissing, size_t* sizeOut);

// How a read went: the file was read, it does not exist (nor its folder), or
// it exists but could not be opened or read (held without sharing, no access,
// a folder in its place, out of memory).
enum FileReadResult { FILE_READ_OK = 0, FILE_READ_MISSING = 1, FILE_READ_FAILED = 2 };
// ReadWholeFile without creation, telling why it returned null (result may be
// null).
char* ReadWholeFileStatus(const char* path, size_t* sizeOut, int* result);
// Reads at most count bytes into a zero-filled block of count + 10 bytes.
char* ReadFileHead(const char* path, size_t count, size_t* sizeOut);

bool FileExists(const char* path);
bool DirectoryExists(const char* path);
// Creates one folder level; 1 on success (or when it already exists).
int CreateFolder(const char* path);

// Replaces path whole and atomically: writes a sibling temporary file, flushes it
// and renames it over path, so a crash or a full disk never leaves a truncated
// file. Returns 1 when written, 0 on failure (the old file is then untouched).
int WriteWholeFile(const char* path, const void* data, size_t len);

// The folder of the executable of module (its trailing '\' kept) followed by
// relative (when not null), into dst (dstSize bytes). On Windows module is the
// HINSTANCE; AppModule holds the program's own, set at start-up.
void ModulePath(void* module, char* dst, const char* relative, size_t dstSize);
extern void* AppModule;
#ifndef _WIN32
// Native builds have no module: ModulePath uses this folder (ends with '/').
void SetNativeModuleFolder(const char* folder);
// Test hook of the native builds: reads of this path (as passed to the read
// functions) fail as if another program held the file open without sharing,
// while the file stays an ordinary, writable file. Null ends it. Tests run as
// root, where file modes do not stop reads, so this is their way to make one.
void SetNativeReadFailure(const char* path);
#endif
