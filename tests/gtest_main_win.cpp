// gtest_main_win.cpp - entry of the test programs that run under Wine.
// Standard output is switched to binary mode so the test listing has plain LF
// line ends, which CTest's test discovery expects.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>
#include <windows.h>

#include <gtest/gtest.h>

// Tells scripts/wine that this test program has started (see there): the file
// named in VORN_STARTED_MARK is made before any test runs.
static void MarkStarted(void) {
    char path[MAX_PATH];
    DWORD n = GetEnvironmentVariableA("VORN_STARTED_MARK", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file != INVALID_HANDLE_VALUE) CloseHandle(file);
}

int main(int argc, char** argv) {
    MarkStarted();
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
