// migemopattern.cpp - the BREGEXP expression of a Migemo query, the dictionary
// folder and the reading of a BREGEXP record.
#include "migemopattern.h"

#include <stdio.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"

const MigemoOperator kMigemoOperators[MIGEMO_OPERATOR_COUNT] = {
    {0, {MIGEMO_OR, 0}},         {1, {MIGEMO_GROUP_OPEN, 0}},  {2, {MIGEMO_GROUP_CLOSE, 0}},
    {3, {MIGEMO_CLASS_OPEN, 0}}, {4, {MIGEMO_CLASS_CLOSE, 0}}, {5, {0, 0}},
};

namespace {

// What the pattern syntax reads as an operator (outside or inside a class).
bool IsPatternOperator(unsigned char c) { return c && strchr("\\^$.|?*+()[]{}/-", c) != nullptr; }

// The pattern text of one operator byte of Migemo's answer, or null.
const char* OperatorText(unsigned char c, bool libraryOperators) {
    switch (c) {
        case MIGEMO_OR:
            return "|";
        case MIGEMO_CLASS_OPEN:
            return "[";
        case MIGEMO_CLASS_CLOSE:
            return "]";
        case MIGEMO_GROUP_OPEN:
            return "(";
        case MIGEMO_GROUP_CLOSE:
            return ")";
        case '|':
            return libraryOperators ? "|" : nullptr;
        case '[':
            return libraryOperators ? "[" : nullptr;
        case ']':
            return libraryOperators ? "]" : nullptr;
        default:
            return nullptr;
    }
}

}  // namespace

char* BuildBregexpPattern(const char* expr, bool anchored, bool libraryOperators) {
    if (!expr) return nullptr;
    const unsigned char* e = (const unsigned char*)expr;
    const char* prefix = anchored ? "m/^(" : "m/(";
    const char* suffix = ")/k";
    // Room: every byte at most doubled (a backslash before it).
    size_t need = 2 * strlen(expr) + strlen(prefix) + strlen(suffix) + 1;
    char* out = (char*)MemAlloc(need);
    if (!out) return nullptr;
    size_t o = 0;
    for (const char* p = prefix; *p; p++) out[o++] = *p;
    for (size_t i = 0; e[i];) {
        unsigned char c = e[i];
        if (IsLeadByteSjis(c)) {
            if (!e[i + 1]) break;  // a cut character: nothing to match with
            out[o++] = (char)c;
            out[o++] = (char)e[i + 1];
            i += 2;
            continue;
        }
        if (const char* op = OperatorText(c, libraryOperators)) {
            out[o++] = *op;
            i++;
            continue;
        }
        // Migemo's own escape: the byte after it is a character.
        if (c == '\\' && e[i + 1] && !IsLeadByteSjis(e[i + 1])) c = e[++i];
        if (IsPatternOperator(c)) out[o++] = '\\';
        out[o++] = (char)c;
        i++;
    }
    for (const char* p = suffix; *p; p++) out[o++] = *p;
    out[o] = '\0';
    return out;
}

// ---- Migemo's recent answers ----

namespace {

enum { kAnswersKept = 8 };

struct MigemoAnswerMemo {
    char* term[kAnswersKept];
    char* answer[kAnswersKept];
    int next;  // the slot the next answer goes into (the oldest)
};
MigemoAnswerMemo MigemoAnswers;

char* HeapCopy(const char* s) {
    size_t n = strlen(s) + 1;
    char* p = (char*)MemAlloc(n);
    if (p) memcpy(p, s, n);
    return p;
}

void DropAnswer(int k) {
    MemFree(MigemoAnswers.term[k]);
    MemFree(MigemoAnswers.answer[k]);
    MigemoAnswers.term[k] = MigemoAnswers.answer[k] = nullptr;
}

}  // namespace

const char* RecallMigemoAnswer(const char* term) {
    if (!term) return nullptr;
    for (int k = 0; k < kAnswersKept; k++)
        if (MigemoAnswers.term[k] && strcmp(MigemoAnswers.term[k], term) == 0)
            return MigemoAnswers.answer[k];
    return nullptr;
}

void KeepMigemoAnswer(const char* term, const char* answer) {
    if (!term || !answer || RecallMigemoAnswer(term)) return;
    int k = MigemoAnswers.next;
    DropAnswer(k);
    MigemoAnswers.term[k] = HeapCopy(term);
    MigemoAnswers.answer[k] = HeapCopy(answer);
    if (!MigemoAnswers.term[k] || !MigemoAnswers.answer[k]) DropAnswer(k);
    MigemoAnswers.next = (k + 1) % kAnswersKept;
}

void ForgetMigemoAnswers(void) {
    for (int k = 0; k < kAnswersKept; k++) DropAnswer(k);
    MigemoAnswers.next = 0;
}

bool MigemoDictFolder(const char* migemoPath, const char* exeFolder, char* dst, size_t dstSize) {
    if (!dst || dstSize == 0) return false;
    dst[0] = '\0';
    int n;
    if (migemoPath && migemoPath[0])
        n = snprintf(dst, dstSize, "%s\\", migemoPath);
    else
        n = snprintf(dst, dstSize, "%sdict\\", exeFolder ? exeFolder : "");
    if (n < 0 || (size_t)n >= dstSize) {
        dst[0] = '\0';
        return false;
    }
    return true;
}

bool BregexpRecordMatched(const void* record) {
    if (!record) return false;
    const void* outp;
    memcpy(&outp, record, sizeof outp);
    return outp != nullptr;
}
