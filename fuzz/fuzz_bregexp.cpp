// fuzz_bregexp.cpp - BREGEXP.DLL's pattern text: split, compile, match, reuse
// and free the record. The input is the pattern text, optionally followed by
// a newline and a target. Every pattern is matched against that target and a
// fixed Shift-JIS one both through BMatch (the quick matcher where it takes the
// pattern) and through Oniguruma alone: the answers, the copy in outp and every
// group's span must be the same.
#include <stddef.h>
#include <stdint.h>
#include <string.h>

#include <string>

#include "components/bregexp/bregexp.h"

namespace {

long Offset(const char* at, const char* target) { return at ? (long)(at - target) : -1; }

void Compare(const char* pattern, const char* target, size_t length, BREGEXP** quick,
             BREGEXP** engine) {
    char msg[BREGEXP_MESSAGE_SIZE];
    const char* end = target + length;
    int a = BMatch(pattern, target, end, quick, msg);
    if (a == 1 && (!*quick || !(*quick)->outp)) __builtin_trap();
    if (a != 1 && *quick && (*quick)->outp) __builtin_trap();
    if (a == -1 && strlen(msg) >= BREGEXP_MESSAGE_SIZE) __builtin_trap();
    int b = BMatchRegexOnly(pattern, target, end, engine, msg);
    if (a != b) __builtin_trap();
    if (!*quick || !*engine) return;
    const BREGEXP* q = *quick;
    const BREGEXP* e = *engine;
    if (q->nparens != e->nparens) __builtin_trap();
    if ((q->outp == nullptr) != (e->outp == nullptr)) __builtin_trap();
    if (q->outp && strcmp(q->outp, e->outp) != 0) __builtin_trap();
    for (int g = 0; g <= q->nparens; g++)
        if (Offset(q->startp[g], target) != Offset(e->startp[g], target) ||
            Offset(q->endp[g], target) != Offset(e->endp[g], target))
            __builtin_trap();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 4096) return 0;
    std::string input((const char*)data, size);
    size_t newline = input.find('\n');
    std::string text = input.substr(0, newline);
    std::string own = newline == std::string::npos ? "" : input.substr(newline + 1);
    text = text.c_str();  // stops at an inner NUL like a C string
    BregexpPattern p;
    char msg[BREGEXP_MESSAGE_SIZE];
    if (SplitBregexpPattern(text.c_str(), &p, msg)) {
        if (p.pattern < text.c_str() || p.pattern + p.length > text.c_str() + text.size()) __builtin_trap();
    } else if (strlen(msg) >= BREGEXP_MESSAGE_SIZE) {
        __builtin_trap();
    }
    static const char target[] = "\x8C\x9F\x8D\xF5 kensaku (\x83\x5C\x83\x7C).txt";
    BREGEXP* quick = nullptr;
    BREGEXP* engine = nullptr;
    for (int i = 0; i < 2; i++) Compare(text.c_str(), target, sizeof target - 1, &quick, &engine);
    if (!own.empty()) Compare(text.c_str(), own.data(), own.size(), &quick, &engine);
    BRegfree(quick);
    BRegfree(engine);
    return 0;
}
