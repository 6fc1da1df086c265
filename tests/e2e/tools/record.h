// record.h - how the stand-in programs of the end-to-end tests record a start.
//
// RecordStart appends two lines (CR LF) to the record file:
//   the full command line (GetCommandLineA)
//   the current working folder (GetCurrentDirectoryA)
// The record file is named by the environment variable VORN_RECORD_FILE, or is
// "record.txt" beside the executable when that is not set. Each start appends
// its record whole, one writer at a time, so starts in a row or at once add
// record after record.
#pragma once
#include <windows.h>

static bool RecordFilePath(char* path, DWORD size) {
    DWORD n = GetEnvironmentVariableA("VORN_RECORD_FILE", path, size);
    if (n > 0 && n < size) return true;
    n = GetModuleFileNameA(nullptr, path, size);
    if (n == 0 || n >= size) return false;
    char* slash = nullptr;
    for (char* p = path; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/') slash = p;
    const char name[] = "record.txt";
    char* end = slash ? slash + 1 : path;
    if ((DWORD)(end - path) + sizeof name > size) return false;
    lstrcpynA(end, name, (int)sizeof name);
    return true;
}

static bool WriteAll(HANDLE file, const char* data, DWORD len) {
    while (len > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, len, &written, nullptr) || written == 0) return false;
        data += written;
        len -= written;
    }
    return true;
}

// Returns the process exit code: 0 recorded, 1 failed.
static int RecordStart(void) {
    char path[MAX_PATH * 2];
    if (!RecordFilePath(path, sizeof path)) return 1;

    const char* commandLine = GetCommandLineA();
    char folder[MAX_PATH * 2];
    DWORD folderLen = GetCurrentDirectoryA(sizeof folder, folder);
    if (folderLen >= sizeof folder) folderLen = 0;
    folder[folderLen] = '\0';

    // The record goes out in one write, and one recorder at a time writes:
    // two stand-ins started together (several entries opened at once) must
    // neither interleave their lines nor land on the same end of the file.
    // Readers may look at any time; a second writer waits for the first.
    DWORD cmdLen = (DWORD)lstrlenA(commandLine);
    DWORD len = cmdLen + 2 + folderLen + 2;
    char* record = (char*)HeapAlloc(GetProcessHeap(), 0, len);
    if (!record) return 1;
    CopyMemory(record, commandLine, cmdLen);
    CopyMemory(record + cmdLen, "\r\n", 2);
    CopyMemory(record + cmdLen + 2, folder, folderLen);
    CopyMemory(record + cmdLen + 2 + folderLen, "\r\n", 2);
    HANDLE file = INVALID_HANDLE_VALUE;
    for (int attempt = 0; attempt < 1000 && file == INVALID_HANDLE_VALUE; attempt++) {
        file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) Sleep(10);
    }
    bool ok = file != INVALID_HANDLE_VALUE && WriteAll(file, record, len);
    if (file != INVALID_HANDLE_VALUE) {
        FlushFileBuffers(file);
        CloseHandle(file);
    }
    HeapFree(GetProcessHeap(), 0, record);
    return ok ? 0 : 1;
}
