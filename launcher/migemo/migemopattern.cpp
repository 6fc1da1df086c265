// migemopattern.cpp - the BREGEXP expression of a Migemo query, the dictionary
// folder and the reading of a BREGEXP record.
#include "migemopattern.h"

#include <stdio.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"

char* BuildBregexpPattern(const char* expr, bool anchored) {
    if (!expr) return nullptr;
    const unsigned char* e = (const unsigned char*)expr;
    const char* prefix = anchored ? "m/^(" : "m/(";
    const char* suffix = ")/k";
    // Room: two bytes for a double-byte character and for an escaped
    // parenthesis, one for any other byte.
    size_t need = 0;
    for (size_t i = 0; e[i];) {
        if (IsLeadByteSjis(e[i]) && e[i + 1]) {
            need += 2;
            i += 2;
        } else {
            need += (e[i] == '(' || e[i] == ')') ? 2 : 1;
            i++;
        }
    }
    need += strlen(prefix) + strlen(suffix) + 1;
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
        if (c == '(' || c == ')') {
            out[o++] = '\\';
            out[o++] = (char)c;
        } else if (c == MIGEMO_GROUP_OPEN) {
            out[o++] = '(';
        } else if (c == MIGEMO_GROUP_CLOSE) {
            out[o++] = ')';
        } else {
            out[o++] = (char)c;
        }
        i++;
    }
    for (const char* p = suffix; *p; p++) out[o++] = *p;
    out[o] = '\0';
    return out;
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
