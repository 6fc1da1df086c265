// execrules.cpp - the decisions behind running a path (see execrules.h).
#include "execrules.h"

#include <stdio.h>
#include <string.h>

#include "../../common/strutil.h"

static void ClearPlan(ExecPlan* plan) { memset(plan, 0, sizeof *plan); }

// Copies src into dst only when it fits whole; otherwise dst becomes empty.
static int CopyWhole(char* dst, const char* src, size_t dstSize) {
    if (!dst || !dstSize) return 0;
    size_t n = src ? strlen(src) : 0;
    if (n >= dstSize) {
        dst[0] = '\0';
        return 0;
    }
    if (n) memcpy(dst, src, n);
    dst[n] = '\0';
    return 1;
}

bool IsRootRelative(const char* path) {
    // The first byte cannot be a trail byte, so the second one is a character of
    // its own: both tests are plain byte tests.
    return path && IsSeparator(path[0]) && !IsSeparator(path[1]);
}

int RootPath(const char* path, const char* startDir, char* dst, size_t dstSize) {
    if (!dst || !dstSize) return 0;
    dst[0] = '\0';
    if (!path) return 0;
    if (!startDir || !*startDir || !IsRootRelative(path)) return CopyWhole(dst, path, dstSize);
    size_t a = strlen(startDir), b = strlen(path);
    if (a + b >= dstSize) return 0;
    memcpy(dst, startDir, a);
    memcpy(dst + a, path, b + 1);
    return 1;
}

bool EndsWithExe(const char* path) {
    if (!path) return false;
    size_t n = strlen(path);
    // '.' is never a trail byte, so the four bytes are four characters.
    return n >= 4 && memcmp(path + n - 4, ".exe", 4) == 0;
}

ExecKind KindOfPath(const char* path, bool exists, bool isFolder) {
    if (!path || !exists) return EXEC_MISSING;
    if (isFolder) return EXEC_FOLDER;
    return EndsWithExe(path) ? EXEC_PROGRAM : EXEC_DOCUMENT;
}

int BuildParameters(const char* argPrefix, const char* file, char* dst, size_t dstSize) {
    if (!dst || !dstSize) return -1;
    if (!file) file = "";
    int n = argPrefix ? snprintf(dst, dstSize, "%s \"%s\"", argPrefix, file)
                      : snprintf(dst, dstSize, "\"%s\"", file);
    if (n < 0 || (size_t)n >= dstSize) {
        dst[0] = '\0';
        return -1;
    }
    return n;
}

int ProgramFolder(const char* file, char* dst, size_t dstSize) {
    if (!dst || !dstSize) return 0;
    dst[0] = '\0';
    if (!file || !CopyWhole(dst, file, dstSize)) return 0;
    if (!CutLastComponent(dst)) {
        dst[0] = '\0';
        return 0;
    }
    // "C:" alone would mean the drive's current folder, not its root.
    if (IsBareDrive(dst)) {
        if (dstSize < 4) {
            dst[0] = '\0';
            return 0;
        }
        dst[2] = '\\';
        dst[3] = '\0';
    }
    return 1;
}

bool SamePath(const char* a, const char* b) {
    if (!a || !b) return false;
    for (;;) {
        unsigned char x = (unsigned char)*a, y = (unsigned char)*b;
        if (CharLengthSjis(a) == 2) {
            if (x != y || a[1] != b[1]) return false;
            a += 2;
            b += 2;
            continue;
        }
        if (LowerAscii(x) != LowerAscii(y)) return false;
        if (!x) return true;
        a++;
        b++;
    }
}

int PlanTargetRun(const char* file, const char* targetProgram, const char* argPrefix,
                  ExecPlan* plan) {
    if (!plan) return 0;
    ClearPlan(plan);
    if (!file || !targetProgram || !*targetProgram) return 0;
    if (BuildParameters(argPrefix, file, plan->params, sizeof plan->params) < 0) return 0;
    plan->argPrefixUsed = argPrefix != nullptr;
    if (!CopyWhole(plan->file, targetProgram, sizeof plan->file)) return 0;
    ProgramFolder(plan->file, plan->workDir, sizeof plan->workDir);
    return 1;
}

int PlanFileRun(const char* file, ExecKind kind, const char* associated, const char* argPrefix,
                const char* givenWorkDir, ExecPlan* plan) {
    if (!plan) return 0;
    ClearPlan(plan);
    if (!file || kind == EXEC_MISSING) return 0;
    if (!CopyWhole(plan->file, file, sizeof plan->file)) return 0;

    if (kind == EXEC_FOLDER) {
        size_t n = strlen(plan->file);
        if (n == 0) return 0;
        // A folder ending in 表, ソ or 能 ends in the trail byte 0x5C, which is no
        // separator.
        if (!EndsWithSeparatorSjis(plan->file)) {
            if (n + 1 >= sizeof plan->file) return 0;
            plan->file[n] = '\\';
            plan->file[n + 1] = '\0';
        }
        return CopyWhole(plan->workDir, givenWorkDir, sizeof plan->workDir);
    }

    if (kind == EXEC_DOCUMENT) {
        // A program that the system names as its own handler (a batch file, an
        // upper-case ".EXE") is started itself, never handed its own path.
        bool program = associated && *associated && !SamePath(associated, file);
        if (!program || !argPrefix) {
            plan->shellVerb = true;
            ProgramFolder(program ? associated : file, plan->workDir, sizeof plan->workDir);
            return 1;
        }
        CopyWhole(plan->alternative, file, sizeof plan->alternative);
        if (BuildParameters(argPrefix, file, plan->params, sizeof plan->params) < 0) return 0;
        plan->argPrefixUsed = true;
        if (!CopyWhole(plan->file, associated, sizeof plan->file)) return 0;
    }
    ProgramFolder(plan->file, plan->workDir, sizeof plan->workDir);
    return 1;
}

AfterRunAction DecideAfterRun(bool oneShot, int32_t exemode, uint32_t tray) {
    if (oneShot || exemode == 0) return AFTER_RUN_CLOSE;
    if (exemode == 2) {
        // A failed hot-key registration marks tray with bit 15: then nothing hides.
        if (tray == 1) return AFTER_RUN_HIDE_TRAY;
        if (tray == 2) return AFTER_RUN_HIDE_PLAIN;
    }
    return AFTER_RUN_KEEP;
}
