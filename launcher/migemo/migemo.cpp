// migemo.cpp - the binding of migemo.dll and BREGEXP.DLL: loading and
// releasing them, the switch, the pattern of a term and the match.
//
// Every call looks its function up by name at the moment of the call; a
// missing export makes that call give 0 or null, never a message.
#include "migemo.h"

#include <stdio.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../shell/appstate.h"
#include "migemopattern.h"

MigemoState Migemo;

// The Windows distributions of C/Migemo export __stdcall functions on x86
// (the keyword means nothing on x86-64); BREGEXP.DLL uses the C convention.
#define MIGEMO_CALL __stdcall
typedef void*(MIGEMO_CALL* MigemoOpenFn)(const char* dict);
typedef void(MIGEMO_CALL* MigemoCloseFn)(void* object);
typedef unsigned char*(MIGEMO_CALL* MigemoQueryFn)(void* object, const unsigned char* query);
typedef void(MIGEMO_CALL* MigemoReleaseFn)(void* object, unsigned char* text);
typedef int(MIGEMO_CALL* MigemoSetOperatorFn)(void* object, int index, const unsigned char* op);
typedef int(MIGEMO_CALL* MigemoLoadFn)(void* object, int id, const char* file);
typedef int(MIGEMO_CALL* MigemoIsEnableFn)(void* object);
typedef int(__cdecl* BMatchFn)(const char* str, const char* target, const char* targetEnd,
                               void** rxp, char* msg);
typedef void(__cdecl* BRegfreeFn)(void* rx);

// Checked at compile time: a function of the convention each library uses
// converts to its pointer type without a cast. On x86 one of another
// convention would not compile; on x86-64 there is only one convention.
[[maybe_unused]] static void* __stdcall MigemoOpenShape(const char*) { return nullptr; }
[[maybe_unused]] static int __cdecl BMatchShape(const char*, const char*, const char*, void**,
                                               char*) {
    return 0;
}
static_assert(sizeof(MigemoOpenFn{&MigemoOpenShape}) == sizeof(void*),
              "migemo.dll functions are __stdcall on x86");
static_assert(sizeof(BMatchFn{&BMatchShape}) == sizeof(void*),
              "BREGEXP.DLL functions use the C convention");

namespace {

enum { DICT_MIGEMO = 1, DICT_ROMA2HIRA = 2, DICT_HIRA2KATA = 3, DICT_HAN2ZEN = 4 };
const uint32_t kSwitchedOn = 2;  // bit 1 of Settings.migemo

FARPROC MigemoProc(const char* name) {
    return Migemo.migemoModule ? GetProcAddress(Migemo.migemoModule, name) : nullptr;
}
FARPROC BregexpProc(const char* name) {
    return Migemo.bregexpModule ? GetProcAddress(Migemo.bregexpModule, name) : nullptr;
}
// GetProcAddress gives a generic pointer; the cast names the real type.
template <typename Fn>
Fn As(FARPROC proc) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(proc));
}

bool SwitchedOn(void) { return (Settings.migemo & kSwitchedOn) != 0; }
void SwitchOver(void) { Settings.migemo ^= kSwitchedOn; }

void ComponentFolder(char* dst, size_t size) {
    if (Migemo.componentFolder[0])
        CopyString(dst, Migemo.componentFolder, size);
    else
        ModulePath(AppModule, dst, nullptr, size);
}

HMODULE LoadFrom(const char* folder, const char* name) {
    char path[PATH_WORK_SIZE];
    snprintf(path, sizeof path, "%s%s", folder, name);
    // Only the named file: no search of the system folders for a namesake.
    return LoadLibraryExA(path, nullptr, LOAD_WITH_ALTERED_SEARCH_PATH);
}

int LoadDictionary(const char* folder, int id, const char* name) {
    MigemoLoadFn load = As<MigemoLoadFn>(MigemoProc("migemo_load"));
    if (!load || !Migemo.object) return 0;
    char path[PATH_WORK_SIZE];
    snprintf(path, sizeof path, "%s%s", folder, name);
    return load(Migemo.object, id, path);
}

bool ObjectEnabled(void) {
    MigemoIsEnableFn isEnable = As<MigemoIsEnableFn>(MigemoProc("migemo_is_enable"));
    return isEnable && Migemo.object && isEnable(Migemo.object) != 0;
}

// Non-zero when text .. end matches pattern; *compiled tells whether
// BREGEXP.DLL gave a record back (none: the pattern did not compile).
int MatchSpan(const char* text, const char* end, const char* pattern, bool* compiled) {
    *compiled = false;
    BMatchFn match = As<BMatchFn>(BregexpProc("BMatch"));
    if (!match) return 0;
    char message[80] = "";
    match(pattern, text, end, &Migemo.regex, message);
    *compiled = Migemo.regex != nullptr;
    return BregexpRecordMatched(Migemo.regex) ? 1 : 0;
}

void* CompileTerm(void* context, const char* term) {
    Migemo.termFailed = false;
    return BuildMigemoPattern(term, context != nullptr);
}
// A pattern BREGEXP.DLL cannot compile leaves the term to the plain test
// (-1), asked once per term rather than once per item.
int MatchText(void*, void* query, const char* text, int32_t length) {
    if (Migemo.termFailed) return -1;
    bool compiled;
    int hit = MatchSpan(text, text + length, (const char*)query, &compiled);
    if (!compiled) {
        Migemo.termFailed = true;
        return -1;
    }
    return hit;
}
// After each term: its pattern and the record compiled for it go.
void ReleaseTerm(void*, void* query) {
    MemFree(query);
    FreeMigemoRegex();
}

// The folder list passes a non-null context: anchored with inputmode 1.
int kAnchorMark;
WideMatcher ItemMatcher = {CompileTerm, MatchText, ReleaseTerm, nullptr};
WideMatcher FolderMatcher = {CompileTerm, MatchText, ReleaseTerm, nullptr};

}  // namespace

int LoadMigemo(HWND owner) {
    if (AnyFlag(SF_MIGEMO_SUSPENDED) || !SwitchedOn() || Migemo.migemoModule) return 0;
    char folder[MAX_PATH];
    ComponentFolder(folder, sizeof folder);

    Migemo.migemoModule = LoadFrom(folder, "migemo.dll");
    if (!Migemo.migemoModule) {
        ErrorBox(owner, "migemo.dllがありません。");
        SwitchOver();
        return 0;
    }
    Migemo.bregexpModule = LoadFrom(folder, "BREGEXP.DLL");
    if (!Migemo.bregexpModule) {
        FreeLibrary(Migemo.migemoModule);
        Migemo.migemoModule = nullptr;
        ErrorBox(owner, "BREGEXP.DLLがありません。");
        SwitchOver();
        return 0;
    }

    char exeFolder[MAX_PATH];
    ModulePath(AppModule, exeFolder, nullptr, sizeof exeFolder);
    char dict[PATH_WORK_SIZE];
    bool folderFits = MigemoDictFolder(Settings.migemo_path, exeFolder, dict, sizeof dict);
    MigemoOpenFn open = As<MigemoOpenFn>(MigemoProc("migemo_open"));
    Migemo.object = open ? open(nullptr) : nullptr;
    if (!Migemo.object || !folderFits || !LoadDictionary(dict, DICT_MIGEMO, "migemo-dict")) {
        ErrorBox(owner, "dict\\migemo-dictがありません。");
        SwitchOver();
        FreeMigemo();
        return 0;
    }
    LoadDictionary(dict, DICT_ROMA2HIRA, "roma2hira.dat");
    LoadDictionary(dict, DICT_HIRA2KATA, "hira2kata.dat");
    LoadDictionary(dict, DICT_HAN2ZEN, "han2zen.dat");
    return 1;
}

void FreeMigemo(void) {
    FreeMigemoRegex();
    ForgetMigemoAnswers();
    if (Migemo.object && Migemo.migemoModule) {
        MigemoCloseFn close = As<MigemoCloseFn>(MigemoProc("migemo_close"));
        if (close) close(Migemo.object);
    }
    Migemo.object = nullptr;
    if (Migemo.migemoModule) FreeLibrary(Migemo.migemoModule);
    if (Migemo.bregexpModule) FreeLibrary(Migemo.bregexpModule);
    Migemo.migemoModule = nullptr;
    Migemo.bregexpModule = nullptr;
}

void EnableMigemo(void) { Settings.migemo |= kSwitchedOn; }

void ToggleMigemo(void) {
    SwitchOver();
    FreeMigemo();
}

bool IsMigemoReady(void) {
    return !AnyFlag(SF_MIGEMO_SUSPENDED) && SwitchedOn() && ObjectEnabled();
}

void ReleaseMigemoIfIdle(void) {
    if (Settings.migemomode == 1 && IsMigemoReady()) FreeMigemo();
}

char* BuildMigemoPattern(const char* term, bool anchored) {
    if (!term || !term[0] || !Migemo.migemoModule || !Migemo.bregexpModule) return nullptr;
    if (!ObjectEnabled()) return nullptr;
    MigemoSetOperatorFn setOperator = As<MigemoSetOperatorFn>(MigemoProc("migemo_set_operator"));
    MigemoQueryFn query = As<MigemoQueryFn>(MigemoProc("migemo_query"));
    MigemoReleaseFn release = As<MigemoReleaseFn>(MigemoProc("migemo_release"));
    if (!query) return nullptr;
    // A library that refuses our alternation or class bytes writes its own
    // "|", "[" and "]".
    bool libraryOperators = !setOperator;
    for (const MigemoOperator& op : kMigemoOperators) {
        if (!setOperator || setOperator(Migemo.object, op.index, op.text)) continue;
        unsigned char c = op.text[0];
        if (c == MIGEMO_OR || c == MIGEMO_CLASS_OPEN || c == MIGEMO_CLASS_CLOSE)
            libraryOperators = true;
    }
    if (const char* known = RecallMigemoAnswer(term))
        return BuildBregexpPattern(known, anchored, libraryOperators);
    unsigned char* expr = query(Migemo.object, (const unsigned char*)term);
    if (!expr) return nullptr;
    KeepMigemoAnswer(term, (const char*)expr);
    char* pattern = BuildBregexpPattern((const char*)expr, anchored, libraryOperators);
    if (release) release(Migemo.object, expr);
    return pattern;
}

int MigemoMatch(const char* text, const char* pattern) {
    if (!text || !pattern) return 0;
    bool compiled;
    return MatchSpan(text, text + strlen(text), pattern, &compiled);
}

void FreeMigemoRegex(void) {
    if (!Migemo.regex) return;
    BRegfreeFn regfree = As<BRegfreeFn>(BregexpProc("BRegfree"));
    if (regfree) regfree(Migemo.regex);
    Migemo.regex = nullptr;
}

const WideMatcher* MigemoWideMatcher(bool folderList) {
    if (!IsMigemoReady()) return nullptr;
    if (!folderList) return &ItemMatcher;
    FolderMatcher.context = Settings.inputmode != 0 ? &kAnchorMark : nullptr;
    return &FolderMatcher;
}
