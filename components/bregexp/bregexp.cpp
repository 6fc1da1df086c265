// bregexp.cpp - BREGEXP.DLL over Oniguruma: splitting the pattern text, the
// compiled-record reuse rule and the match. No regular-expression work is done
// here: Oniguruma compiles and searches.
#include "bregexp.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <oniguruma.h>

namespace {

// The record handed to the caller begins with the classic fields; the rest is
// this adapter's own.
struct Record {
    BREGEXP pub;
    regex_t* reg;
    OnigRegion* region;
    char* out;          // copy of the last match (group 1 or the whole)
    size_t outSize;
    size_t textLength;  // bytes of parap
};

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
    free(r->pub.parap);
    free(r->out);
    free(r->pub.startp);
    free(r->pub.endp);
    free(r);
}

// Compiles str into a fresh record, or null with a message.
Record* Compile(const char* str, char* msg) {
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
    r->pub.parap = (char*)malloc(r->textLength + 1);
    r->region = onig_region_new();
    if (!r->pub.parap || !r->region) {
        FreeRecord(r);
        SetMessage(msg, "bregexp: out of memory");
        return nullptr;
    }
    memcpy(r->pub.parap, str, r->textLength + 1);
    r->pub.paraendp = r->pub.parap + r->textLength;

    OnigOptionType options = ONIG_OPTION_NONE;
    if (p.options & BREGEXP_OPT_IGNORECASE) options |= ONIG_OPTION_IGNORECASE;
    if (p.options & BREGEXP_OPT_EXTEND) options |= ONIG_OPTION_EXTEND;
    if (p.options & BREGEXP_OPT_DOTALL) options |= ONIG_OPTION_MULTILINE;
    OnigEncoding enc = (p.options & BREGEXP_OPT_SJIS) ? ONIG_ENCODING_SJIS : ONIG_ENCODING_ASCII;
    OnigErrorInfo info;
    const UChar* start = (const UChar*)p.pattern;
    int rc = onig_new(&r->reg, start, start + p.length, options, enc, ONIG_SYNTAX_PERL, &info);
    if (rc != ONIG_NORMAL) {
        r->reg = nullptr;
        SetOnigMessage(msg, rc, &info);
        FreeRecord(r);
        return nullptr;
    }
    r->pub.nparens = onig_number_of_captures(r->reg);
    size_t slots = (size_t)r->pub.nparens + 1;
    r->pub.startp = (char**)calloc(slots, sizeof(char*));
    r->pub.endp = (char**)calloc(slots, sizeof(char*));
    if (!r->pub.startp || !r->pub.endp) {
        FreeRecord(r);
        SetMessage(msg, "bregexp: out of memory");
        return nullptr;
    }
    return r;
}

void ForgetMatch(Record* r) {
    r->pub.outp = nullptr;
    r->pub.outendp = nullptr;
    for (int i = 0; i <= r->pub.nparens; i++) r->pub.startp[i] = r->pub.endp[i] = nullptr;
}

// Keeps the copy of the match and the group positions; false without memory.
bool KeepMatch(Record* r, const char* target) {
    OnigRegion* region = r->region;
    for (int i = 0; i <= r->pub.nparens && i < region->num_regs; i++) {
        bool took = region->beg[i] >= 0;
        r->pub.startp[i] = took ? (char*)target + region->beg[i] : nullptr;
        r->pub.endp[i] = took ? (char*)target + region->end[i] : nullptr;
    }
    int group = (r->pub.nparens >= 1 && region->num_regs > 1) ? 1 : 0;
    size_t n = 0;
    const char* from = "";
    if (region->beg[group] >= 0) {
        from = target + region->beg[group];
        n = (size_t)(region->end[group] - region->beg[group]);
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

bool SameText(const Record* r, const char* str) {
    size_t n = strlen(str);
    return n == r->textLength && memcmp(r->pub.parap, str, n) == 0;
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
        r = Compile(str, msg);
        if (!r) return -1;
        *rxp = &r->pub;
    }
    ForgetMatch(r);
    if (!target || !targetendp || targetendp <= target) {
        SetMessage(msg, "bregexp: empty target");
        return -1;
    }
    const UChar* s = (const UChar*)target;
    const UChar* e = (const UChar*)targetendp;
    onig_region_clear(r->region);
    int at = onig_search(r->reg, s, e, s, e, r->region, ONIG_OPTION_NONE);
    if (at == ONIG_MISMATCH) return 0;
    if (at < 0) {
        SetOnigMessage(msg, at, nullptr);
        return -1;
    }
    if (!KeepMatch(r, target)) {
        SetMessage(msg, "bregexp: out of memory");
        return -1;
    }
    return 1;
}

extern "C" void BRegfree(BREGEXP* rx) { FreeRecord((Record*)rx); }
