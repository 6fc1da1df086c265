// execrules.h - the decisions behind running a path: rooting a path on the start
// folder, the kind of what it names, the parameter string handed to the started
// program, its working folder, and what the edit box does after a run.
// Pure (no windows.h): the file system's answers come in as arguments, so
// execute.cpp only asks the system and carries out the plan made here.
#pragma once
#include <stddef.h>
#include <stdint.h>

enum {
    EXEC_PATH_SIZE = 261,  // a path of at most 260 bytes and its NUL
    // Parameters: an argument prefix (up to 260 bytes), a blank, and a quoted
    // path (up to 260 bytes and two quotes), with the NUL.
    EXEC_PARAM_SIZE = 260 + 1 + 262 + 1,
};

// What an existing path names.
enum ExecKind {
    EXEC_MISSING = 0,   // nothing of that name
    EXEC_FOLDER = 1,    // a folder: opened in a folder window
    EXEC_PROGRAM = 2,   // a file ending exactly in ".exe": started itself
    EXEC_DOCUMENT = 3,  // any other file: opened through the shell's association
};

// One shell start, worked out before anything is started.
struct ExecPlan {
    char file[EXEC_PATH_SIZE];         // what to start
    char params[EXEC_PARAM_SIZE];      // its parameters; empty: none
    char workDir[EXEC_PATH_SIZE];      // its working folder; empty: none
    char alternative[EXEC_PATH_SIZE];  // opened through the shell when file fails; empty: none
    bool argPrefixUsed;                // the argument prefix went into params (forget it)
    // file is a document opened with the shell's default verb: its association
    // builds the command (extra arguments, a DLL entry, DDE); params is empty.
    bool shellVerb;
};

// True when path begins with exactly one separator ("\" or "/" not followed by
// another separator): such a path lies under the start folder.
bool IsRootRelative(const char* path);

// dst = startDir + path for a root-relative path when startDir is set (not null,
// not empty), else path itself. 1 on success; 0 when the result does not fit in
// dstSize bytes (dst is then empty: a cut path would name something else).
int RootPath(const char* path, const char* startDir, char* dst, size_t dstSize);

// True when the last four bytes of path are exactly ".exe" (case-sensitive).
bool EndsWithExe(const char* path);

// Kind of path from its file-system attributes (exists, isFolder).
ExecKind KindOfPath(const char* path, bool exists, bool isFolder);

// Parameters for starting a program on file: `%s "%s"` with argPrefix and file,
// or `"%s"` with file when argPrefix is null. Returns the length, or -1 when
// dstSize is too small (dst is then empty).
int BuildParameters(const char* argPrefix, const char* file, char* dst, size_t dstSize);

// Working folder of a program: file cut at its last separator (a drive root keeps
// its separator, "C:\"). 1 on success; 0 when file has no folder part or the
// folder does not fit (dst is then empty: no working folder).
int ProgramFolder(const char* file, char* dst, size_t dstSize);

// True when both paths name the same file: equal bytes, ASCII letters compared
// without regard to case, double-byte characters compared exactly.
bool SamePath(const char* a, const char* b);

// Plan in target-program mode: file goes, quoted and after argPrefix (when not
// null), to targetProgram, started in targetProgram's folder. No alternative.
// 1 on success; 0 when there is no target program or the parameters do not fit.
int PlanTargetRun(const char* file, const char* targetProgram, const char* argPrefix,
                  ExecPlan* plan);

// Plan for an existing file or folder (kind not EXEC_MISSING). associated is the
// program registered for a document (null or empty: none); givenWorkDir is the
// caller's working folder, used for a folder only (null: none). A document is
// opened with the shell's default verb, in the folder of its program (its own
// folder when none is known); only an argument prefix, which the association
// cannot carry, hands it explicitly to its program as `prefix "document"`, with
// the document as the alternative. 1 on success; 0 when the kind is
// EXEC_MISSING or a path does not fit.
int PlanFileRun(const char* file, ExecKind kind, const char* associated, const char* argPrefix,
                const char* givenWorkDir, ExecPlan* plan);

// What the edit box does after a successful run of typed text.
enum AfterRunAction {
    AFTER_RUN_KEEP = 0,        // the box stays with the text
    AFTER_RUN_CLOSE = 1,       // the program ends
    AFTER_RUN_HIDE_TRAY = 2,   // hidden into the tray
    AFTER_RUN_HIDE_PLAIN = 3,  // hidden without an icon
};
AfterRunAction DecideAfterRun(bool oneShot, int32_t exemode, uint32_t tray);
