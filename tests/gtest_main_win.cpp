// gtest_main_win.cpp - entry of the test programs that run under Wine.
// Standard output is switched to binary mode so the test listing has plain LF
// line ends, which CTest's test discovery expects.
#include <fcntl.h>
#include <io.h>
#include <stdio.h>

#include <gtest/gtest.h>

#include "tests/started_mark.h"

int main(int argc, char** argv) {
    MarkStarted();
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
