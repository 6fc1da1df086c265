// fuzz_toolrecord.cpp - the companion's reading of the hand-off record: any
// bytes give a file list of paths that fit a path buffer or a refusal, never
// a read or write outside the buffers; what it reads is written back by the
// selection-text builder and reads the same again.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

#include "common/toolrules.h"

static void Check(bool ok) {
    if (!ok) abort();
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::vector<char> list(size + 2);
    int n = ParseToolRecord(size ? data : nullptr, size, list.data(), list.size());
    if (n <= 0) {
        Check(list[0] == '\0');
        return 0;
    }
    int count = 0;
    for (const char* p = list.data(); *p; p += strlen(p) + 1) {
        Check(strlen(p) < TOOL_PATH_SIZE && !strchr(p, '"'));
        count++;
    }
    Check(count == n);
    std::vector<char> text(SelectionTextSize(list.data()));
    Check(BuildSelectionText(list.data(), text.data(), text.size()) == n);
    std::vector<char> back(text.size() + 1);
    Check(ParseToolRecord(text.data(), text.size(), back.data(), back.size()) == n);
    size_t bytes = 1;
    for (const char* p = list.data(); *p; p += strlen(p) + 1) bytes += strlen(p) + 1;
    Check(memcmp(back.data(), list.data(), bytes) == 0);
    // The name rules over every path read.
    for (const char* p = list.data(); *p; p += strlen(p) + 1) {
        size_t chars = 0;
        Check(StemLength(p, &chars) <= strlen(p) && chars <= strlen(p));
        int r = CheckNewName(p, "C:\\");
        Check(r >= NAME_OK && r <= NAME_TOO_LONG);
    }
    return 0;
}
