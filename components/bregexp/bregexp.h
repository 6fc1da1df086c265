// bregexp.h - BREGEXP.DLL: the classic BREGEXP match interface (BMatch,
// BRegfree) as a thin adapter over Oniguruma.
//
// A pattern text is "m<sep>pattern<sep>options" (the "m" may be left out; the
// separator is any byte that is not a letter, digit, blank or double-byte lead
// byte). The pattern ends at the last separator of the text, so a separator
// byte inside the pattern (escaped or as the trail byte of a double-byte
// character) needs no care. Options: k (Shift-JIS), i (ignore case),
// x (extended), s (dot matches a newline); g, m and o are accepted and change
// nothing for a match. The syntax is Perl's.
//
// The record of a call is kept by the caller and handed back with the next
// call: while the pattern text stays the same it is reused as compiled,
// otherwise it is freed and the new text compiled. A text that failed to
// compile leaves the record null; given again on the same thread, it fails at
// once with the same message instead of being compiled again. outp is the first field:
// after a call that matched it points at a NUL-terminated copy of group 1 (of
// the whole match when the pattern has no group), after any other call it is
// null. The fields up to nparens keep the layout of the classic interface.
//
// Patterns made only of literal characters, classes of listed characters,
// groups and alternations whose alternatives begin with different characters
// (a Migemo expansion) are matched by a quick matcher with the same results;
// Oniguruma compiles and searches all others.
#pragma once
#include <stddef.h>

#ifdef __cplusplus
extern "C" {
#endif

typedef struct bregexp {
    const char* outp;      // copy of the matched text (see above), or null
    const char* outendp;   // its end (the NUL)
    int splitctr;          // split results: none here
    const char** splitp;
    int rsv1;              // reserved for the caller
    char* parap;           // the pattern text as given
    char* paraendp;        // its end
    char* transtblp;       // translation table: none here
    char** startp;         // per group: start of its match in the target
    char** endp;           // per group: end of its match in the target
    int nparens;           // number of groups
} BREGEXP;

// Size of the caller's message buffer; a message is at most 79 bytes.
enum { BREGEXP_MESSAGE_SIZE = 80 };

// Matches target .. targetendp (targetendp at the terminating NUL) against
// the pattern text str. *rxp holds the record of the previous call or null
// and receives the record of this one. 1 match, 0 no match, -1 error with a
// message in msg (and *rxp null when the pattern could not be compiled).
int BMatch(const char* str, const char* target, const char* targetendp, BREGEXP** rxp, char* msg);
// Frees a record (null is allowed).
void BRegfree(BREGEXP* rx);

#ifdef __cplusplus
}
#endif

// --- the pattern text (pure, for tests and fuzzing) -----------------------------------

// Option bits of a split pattern text.
enum {
    BREGEXP_OPT_SJIS = 0x1,        // k
    BREGEXP_OPT_IGNORECASE = 0x2,  // i
    BREGEXP_OPT_EXTEND = 0x4,      // x
    BREGEXP_OPT_DOTALL = 0x8,      // s
};

// A pattern text split into its parts (pointers into the text).
struct BregexpPattern {
    const char* pattern;
    size_t length;
    unsigned options;  // BREGEXP_OPT_* bits
};

// Splits str; 1 on success, else 0 with a message (at most 79 bytes) in msg.
int SplitBregexpPattern(const char* str, struct BregexpPattern* out, char* msg);

// BMatch without the quick matcher: every search through Oniguruma (for
// comparisons in tests and fuzzing).
int BMatchRegexOnly(const char* str, const char* target, const char* targetendp, BREGEXP** rxp,
                    char* msg);
// 1 when the record answers through the quick matcher.
int BregexpUsesQuickMatcher(const BREGEXP* rx);
// Number of pattern texts this thread compiled so far.
unsigned long BregexpCompileCount(void);
