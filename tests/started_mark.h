// started_mark.h - how a test program tells scripts/wine that its main has
// run: the file named in VORN_STARTED_MARK is made before any test runs, so a
// start that Wine ended earlier can be told from a test that failed.
#pragma once
#include <windows.h>

static inline void MarkStarted(void) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VORN_STARTED_MARK", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}
