// fuzz_bregexp.cpp - BREGEXP.DLL's pattern text: split, compile through
// Oniguruma, match a fixed Shift-JIS target, reuse and free the record.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "components/bregexp/bregexp.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    std::string text((const char*)data, size);  // stops at an inner NUL like a C string
    BregexpPattern p;
    char msg[BREGEXP_MESSAGE_SIZE];
    if (SplitBregexpPattern(text.c_str(), &p, msg)) {
        if (p.pattern < text.c_str() || p.pattern + p.length > text.c_str() + text.size()) __builtin_trap();
    } else if (strlen(msg) >= BREGEXP_MESSAGE_SIZE) {
        __builtin_trap();
    }
    static const char target[] = "\x8C\x9F\x8D\xF5 kensaku (\x83\x5C\x83\x7C).txt";
    BREGEXP* rx = nullptr;
    for (int i = 0; i < 2; i++) {
        int r = BMatch(text.c_str(), target, target + sizeof target - 1, &rx, msg);
        if (r == 1 && (!rx || !rx->outp)) __builtin_trap();
        if (r != 1 && rx && rx->outp) __builtin_trap();
        if (r == -1 && strlen(msg) >= BREGEXP_MESSAGE_SIZE) __builtin_trap();
    }
    BRegfree(rx);
    return 0;
}
