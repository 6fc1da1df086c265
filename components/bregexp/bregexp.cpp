// bregexp.cpp - BREGEXP.DLL over Oniguruma: splitting the pattern text, the
// compiled-record reuse rule and the match. Patterns of the kind a Migemo
// expansion is are answered by the quick matcher (quickmatch.h) with the same
// result; every other pattern, and any target the quick matcher is unsure of,
// goes to Oniguruma, which is then compiled on first need.
#include "bregexp.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <oniguruma.h>

#include "quickmatch.h"

namespace {

// The record handed to the caller begins with the classic fields; the rest is
// this adapter's own.
struct Record {
    BREGEXP pub;
    regex_t* reg;         // Oniguruma's program, or null until it is needed
    OnigRegion* region;
    QuickMatcher* quick;  // null: the pattern is not of the quick kind
    QuickSpan* spans;     // the quick matcher's spans (nparens + 1)
    int* taken;           // groups whose startp/endp the last match set
    int takenCount;
    char* out;            // copy of the last match (group 1 or the whole)
    size_t outSize;
    size_t textLength;    // bytes of parap
    size_t bodyAt;        // the pattern between the separators: parap + bodyAt
    size_t bodyLength;
    unsigned options;     // BREGEXP_OPT_* bits
};

// Per thread: the pattern text that failed to compile last, with its message,
// so that a caller that goes on giving it (its record stays null) is answered
// without compiling it again for every target; and how many texts were compiled.
struct ThreadState {
    char* failedText;
    char failedMessage[BREGEXP_MESSAGE_SIZE];
    unsigned long compiles;
};
thread_local ThreadState Thread;

void SetMessage(char* msg, const char* text) {
    if (!msg) return;
    snprintf(msg, BREGEXP_MESSAGE_SIZE, "%s", text);
}

// "bregexp: " and Oniguruma's text for code, cut to the buffer.
void SetOnigMessage(char* msg, int code, OnigErrorInfo* info) {
    if (!msg) return;
    UChar text[ONIG_MAX_ERROR_MESSAGE_LEN] = "";
    if (info)
        onig_error_code_to_str(text, code, info);
    else
        onig_error_code_to_str(text, code);
    const char prefix[] = "bregexp: ";
    size_t n = sizeof prefix - 1;
    memcpy(msg, prefix, n);
    for (size_t i = 0; text[i] && n < BREGEXP_MESSAGE_SIZE - 1; i++) msg[n++] = (char)text[i];
    msg[n] = '\0';
}

bool IsLead(unsigned char c) { return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC); }

bool IsSeparatorByte(unsigned char c) {
    if (c == '\0' || c == ' ' || c == '\t' || c == '\\') return false;
    if ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return false;
    return !IsLead(c);
}

bool OnigReady(void) {
    static bool done = false;
    static bool ok = false;
    if (!done) {
        OnigEncoding encodings[2] = {ONIG_ENCODING_SJIS, ONIG_ENCODING_ASCII};
        ok = onig_initialize(encodings, 2) == ONIG_NORMAL;
        done = true;
    }
    return ok;
}

void FreeRecord(Record* r) {
    if (!r) return;
    if (r->reg) onig_free(r->reg);
    if (r->region) onig_region_free(r->region, 1);
    QuickFree(r->quick);
    free(r->spans);
    free(r->taken);
    free(r->pub.parap);
    free(r->out);
    free(r->pub.startp);
    free(r->pub.endp);
    free(r);
}

// Compiles the record's pattern with Oniguruma; false with a message.
bool CompileEngine(Record* r, char* msg) {
    OnigOptionType options = ONIG_OPTION_NONE;
    if (r->options & BREGEXP_OPT_IGNORECASE) options |= ONIG_OPTION_IGNORECASE;
    if (r->options & BREGEXP_OPT_EXTEND) options |= ONIG_OPTION_EXTEND;
    if (r->options & BREGEXP_OPT_DOTALL) options |= ONIG_OPTION_MULTILINE;
    OnigEncoding enc = (r->options & BREGEXP_OPT_SJIS) ? ONIG_ENCODING_SJIS : ONIG_ENCODING_ASCII;
    OnigErrorInfo info;
    const UChar* start = (const UChar*)r->pub.parap + r->bodyAt;
    int rc = onig_new(&r->reg, start, start + r->bodyLength, options, enc, ONIG_SYNTAX_PERL, &info);
    if (rc != ONIG_NORMAL) {
        r->reg = nullptr;
        SetOnigMessage(msg, rc, &info);
        return false;
    }
    return true;
}

// The quick matcher answers only in Shift-JIS mode, and "s" changes nothing
// for its patterns (they hold no dot).
bool QuickOptions(unsigned options) {
    return (options & BREGEXP_OPT_SJIS) && !(options & ~(BREGEXP_OPT_SJIS | BREGEXP_OPT_DOTALL));
}

// Compiles str into a fresh record, or null with a message. Oniguruma is
// asked only when the quick matcher does not take the pattern (or quick is
// false).
Record* Compile(const char* str, char* msg, bool quick) {
    Thread.compiles++;
    BregexpPattern p;
    if (!SplitBregexpPattern(str, &p, msg)) return nullptr;
    if (!OnigReady()) {
        SetMessage(msg, "bregexp: the regular-expression library did not start");
        return nullptr;
    }
    Record* r = (Record*)calloc(1, sizeof(Record));
    if (!r) {
        SetMessage(msg, "bregexp: out of memory");
        return nullptr;
    }
    r->textLength = strlen(str);
    r->bodyAt = (size_t)(p.pattern - str);
    r->bodyLength = p.length;
    r->options = p.options;
    r->pub.parap = (char*)malloc(r->textLength + 1);
    r->region = onig_region_new();
    if (!r->pub.parap || !r->region) {
        FreeRecord(r);
        SetMessage(msg, "bregexp: out of memory");
        return nullptr;
    }
    memcpy(r->pub.parap, str, r->textLength + 1);
    r->pub.paraendp = r->pub.parap + r->textLength;

    if (quick && QuickOptions(p.options)) r->quick = QuickCompile(p.pattern, p.length);
    if (!r->quick && !CompileEngine(r, msg)) {
        FreeRecord(r);
        return nullptr;
    }
    r->pub.nparens = r->quick ? QuickGroups(r->quick) : onig_number_of_captures(r->reg);
    size_t slots = (size_t)r->pub.nparens + 1;
    r->pub.startp = (char**)calloc(slots, sizeof(char*));
    r->pub.endp = (char**)calloc(slots, sizeof(char*));
    r->taken = (int*)calloc(slots, sizeof(int));
    if (r->quick) r->spans = (QuickSpan*)calloc(slots, sizeof(QuickSpan));
    if (!r->pub.startp || !r->pub.endp || !r->taken || (r->quick && !r->spans)) {
        FreeRecord(r);
        SetMessage(msg, "bregexp: out of memory");
        return nullptr;
    }
    return r;
}

// Clears what the last match set (only the groups it set: a Migemo
// expansion has hundreds, a match takes part in a few).
void ForgetMatch(Record* r) {
    r->pub.outp = nullptr;
    r->pub.outendp = nullptr;
    for (int k = 0; k < r->takenCount; k++) {
        int g = r->taken[k];
        r->pub.startp[g] = r->pub.endp[g] = nullptr;
    }
    r->takenCount = 0;
}

void TakeGroup(Record* r, const char* target, int group, int begin, int end) {
    if (group < 0 || group > r->pub.nparens || r->pub.startp[group]) return;
    r->pub.startp[group] = (char*)target + begin;
    r->pub.endp[group] = (char*)target + end;
    r->taken[r->takenCount++] = group;
}

// Keeps the copy of the match (group 1, or the whole without groups) once the
// groups are taken; false without memory.
bool KeepCopy(Record* r) {
    int group = r->pub.nparens >= 1 ? 1 : 0;
    size_t n = 0;
    const char* from = "";
    if (r->pub.startp[group]) {
        from = r->pub.startp[group];
        n = (size_t)(r->pub.endp[group] - r->pub.startp[group]);
    }
    if (n + 1 > r->outSize) {
        char* grown = (char*)realloc(r->out, n + 1);
        if (!grown) return false;
        r->out = grown;
        r->outSize = n + 1;
    }
    memcpy(r->out, from, n);
    r->out[n] = '\0';
    r->pub.outp = r->out;
    r->pub.outendp = r->out + n;
    return true;
}

// One pass over the text (it is compared on every call, and a Migemo
// expansion runs to thousands of bytes).
bool SameText(const Record* r, const char* str) { return strcmp(r->pub.parap, str) == 0; }

// The failure memo of this thread (see ThreadState).
bool FailedBefore(const char* str, char* msg) {
    if (!Thread.failedText || strcmp(Thread.failedText, str) != 0) return false;
    SetMessage(msg, Thread.failedMessage);
    return true;
}
void RememberFailure(const char* str, const char* message) {
    free(Thread.failedText);
    size_t n = strlen(str);
    Thread.failedText = (char*)malloc(n + 1);
    if (Thread.failedText) memcpy(Thread.failedText, str, n + 1);
    snprintf(Thread.failedMessage, sizeof Thread.failedMessage, "%s", message);
}

// Searches target .. end with the record: the quick matcher when it has one
// (and quick is true) and it is sure, else Oniguruma.
int Search(Record* r, const char* target, const char* end, char* msg, bool quick) {
    const UChar* s = (const UChar*)target;
    const UChar* e = (const UChar*)end;
    if (quick && r->quick) {
        int count = 0;
        int found = QuickSearch(r->quick, s, e, r->spans, &count);
        if (found == 0) return 0;
        if (found == 1) {
            for (int k = 0; k < count; k++)
                TakeGroup(r, target, r->spans[k].group, r->spans[k].begin, r->spans[k].end);
            if (KeepCopy(r)) return 1;
            ForgetMatch(r);
            SetMessage(msg, "bregexp: out of memory");
            return -1;
        }
    }
    if (!r->reg && !CompileEngine(r, msg)) return -1;
    onig_region_clear(r->region);
    int at = onig_search(r->reg, s, e, s, e, r->region, ONIG_OPTION_NONE);
    if (at == ONIG_MISMATCH) return 0;
    if (at < 0) {
        SetOnigMessage(msg, at, nullptr);
        return -1;
    }
    OnigRegion* region = r->region;
    for (int i = 0; i <= r->pub.nparens && i < region->num_regs; i++)
        if (region->beg[i] >= 0) TakeGroup(r, target, i, region->beg[i], region->end[i]);
    if (KeepCopy(r)) return 1;
    ForgetMatch(r);
    SetMessage(msg, "bregexp: out of memory");
    return -1;
}

int MatchWith(bool quick, const char* str, const char* target, const char* targetendp,
              BREGEXP** rxp, char* msg) {
    if (msg) msg[0] = '\0';
    if (!rxp) {
        SetMessage(msg, "bregexp: no record address");
        return -1;
    }
    Record* r = (Record*)*rxp;
    if (!str) {
        SetMessage(msg, "bregexp: no pattern");
        if (r) ForgetMatch(r);
        return -1;
    }
    if (!r || !SameText(r, str)) {
        FreeRecord(r);
        *rxp = nullptr;
        if (FailedBefore(str, msg)) return -1;
        char message[BREGEXP_MESSAGE_SIZE] = "";
        r = Compile(str, message, quick);
        SetMessage(msg, message);
        if (!r) {
            RememberFailure(str, message);
            return -1;
        }
        *rxp = &r->pub;
    }
    ForgetMatch(r);
    if (!target || !targetendp || targetendp <= target) {
        SetMessage(msg, "bregexp: empty target");
        return -1;
    }
    return Search(r, target, targetendp, msg, quick);
}

}  // namespace

int SplitBregexpPattern(const char* str, BregexpPattern* out, char* msg) {
    out->pattern = nullptr;
    out->length = 0;
    out->options = 0;
    if (!str) {
        SetMessage(msg, "bregexp: no pattern");
        return 0;
    }
    const char* p = str;
    if (*p == 's' || (*p == 't' && p[1] == 'r')) {
        SetMessage(msg, "bregexp: only matching (m) is supported");
        return 0;
    }
    if (*p == 'm') p++;
    unsigned char sep = (unsigned char)*p;
    if (!IsSeparatorByte(sep)) {
        SetMessage(msg, "bregexp: the pattern has no separator");
        return 0;
    }
    const char* body = p + 1;
    const char* close = strrchr(body, (char)sep);
    if (!close) {
        SetMessage(msg, "bregexp: the pattern is not closed");
        return 0;
    }
    unsigned options = 0;
    for (const char* o = close + 1; *o; o++) {
        switch (*o) {
            case 'k': options |= BREGEXP_OPT_SJIS; break;
            case 'i': options |= BREGEXP_OPT_IGNORECASE; break;
            case 'x': options |= BREGEXP_OPT_EXTEND; break;
            case 's': options |= BREGEXP_OPT_DOTALL; break;
            case 'g': case 'm': case 'o': break;  // nothing to do for a match
            default:
                SetMessage(msg, "bregexp: unknown option");
                return 0;
        }
    }
    out->pattern = body;
    out->length = (size_t)(close - body);
    out->options = options;
    return 1;
}

extern "C" int BMatch(const char* str, const char* target, const char* targetendp, BREGEXP** rxp,
                      char* msg) {
    return MatchWith(true, str, target, targetendp, rxp, msg);
}

int BMatchRegexOnly(const char* str, const char* target, const char* targetendp, BREGEXP** rxp,
                    char* msg) {
    return MatchWith(false, str, target, targetendp, rxp, msg);
}

int BregexpUsesQuickMatcher(const BREGEXP* rx) { return rx && ((const Record*)rx)->quick ? 1 : 0; }

unsigned long BregexpCompileCount(void) { return Thread.compiles; }

extern "C" void BRegfree(BREGEXP* rx) { FreeRecord((Record*)rx); }
