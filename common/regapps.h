// regapps.h - the registered applications: the entry record, the table both
// programs hold, the reader of the file "data\vorn_e.dat" over text in memory and
// the writer the settings program uses.
//
// Pure: no windows.h. Whether a program's path exists is asked through a
// callback the caller supplies, so the reader runs natively with a fake.
//
// File format (code page 932, CR LF; the reader also takes bare LF line ends),
// one section per program, numbered from 1 without gaps:
//   [EXE1]
//   name=menu text          empty: the file name of path
//   path=program or document
//   arg=fixed arguments put before the selected paths
//   folder=working folder   empty: the folder of path
//   cmd=id                  1000 or above; missing: assigned at load
// The sections are read with the settings reader (FindSection/FindKey), so its
// rules hold: a ";" starts a comment, a "[" anywhere ends the section, blanks
// after "=" and blanks and tabs at the end of a value are dropped.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Size of each text field: at most 260 bytes of text and the NUL.
enum { REGAPP_TEXT_SIZE = 261 };
// Ids of registered applications start here; REGAPP_NO_ID marks an entry whose
// id is not assigned yet.
enum { REGAPP_FIRST_ID = 1000, REGAPP_NO_ID = -1 };
// Largest id the file can hold (the settings reader takes at most 9 digits).
enum { REGAPP_LAST_ID = 999999999 };

struct RegApp {
    char name[REGAPP_TEXT_SIZE];    // menu text; empty = entry hidden
    char path[REGAPP_TEXT_SIZE];    // program (or document) to open
    char arg[REGAPP_TEXT_SIZE];     // fixed argument text put before the selected paths
    char folder[REGAPP_TEXT_SIZE];  // working folder; empty = folder of path
    int32_t cmd;                    // id for key bindings (1000 or above), -1 unassigned
};

// The table: one heap block (MemAlloc) of RegAppCount + 3 zero-filled entries, or
// null; RegAppCount counts the sections read, hidden entries included.
struct RegAppState {
    RegApp* RegApps;
    int32_t RegAppCount;
    int32_t unheld;  // sections read as hidden entries: no path, or a value too long
};

// The launcher's table of registered applications.
extern RegAppState RegAppTable;

// Existence test of a program's path: true when path names an existing file or
// folder.
typedef bool (*RegAppExists)(void* ctx, const char* path);

// Number of sections "[EXE1]", "[EXE2]", ... in text, stopping at the first
// missing number.
int32_t CountRegAppSections(const char* text);

// Reads text (NUL-terminated, not changed) into table (its previous content
// freed). Rules:
//  - sections EXE1.. up to the first missing number; each gives one entry;
//  - a section without a path, or whose path, arg or folder does not fit its
//    field, gives a zero-filled (hidden) entry: a value is never cut;
//  - a name that does not fit is left empty;
//  - with exists not null, an entry whose path does not exist is zero-filled;
//  - an empty name becomes the file-name part of path (stays empty when path
//    has no separator);
//  - cmd missing, or below 1000, is assigned (AssignRegAppIds).
// table->unheld counts the sections that gave a hidden entry although they
// were there (no path, or a value that does not fit): a writer of the table
// would lose them.
// Returns 1 when at least one entry is valid (path kept); otherwise 0 and the
// table is empty (also when memory runs out).
int ReadRegAppsText(const char* text, RegAppExists exists, void* ctx, RegAppState* table);

// Gives each entry whose cmd is REGAPP_NO_ID, in table order, the smallest id of
// 1000 or above that no entry uses yet and no application key binding holds
// (AppBindings, common/keymap): an old key never starts another program.
// Returns the number of ids assigned.
int32_t AssignRegAppIds(RegApp* entries, int32_t count);

// Frees the table and empties it.
void FreeRegApps(RegAppState* table);

// Writer results below 0.
enum RegAppWriteResult {
    REGAPP_WRITE_NO_ROOM = -1,    // buf too small
    REGAPP_WRITE_TOO_LONG = -2,   // a text field holds no NUL within its 261 bytes
    REGAPP_WRITE_BAD_TEXT = -3,   // a value holds CR, LF, ";" or "[", begins with a blank or
                                  // ends with a blank or tab: it would not read back as it is
    REGAPP_WRITE_BAD_ID = -4,     // cmd is neither -1 nor 1000..999999999 (path not empty)
    REGAPP_WRITE_FAILED = -5,     // the file could not be written (WriteRegAppsFile)
};

// Longest text of one entry: header and five lines with their CR LF.
enum { REGAPP_ENTRY_TEXT_MAX = 32 + 4 * (REGAPP_TEXT_SIZE + 10) + 24 };

// 0 when the entry can be written as it is, else a REGAPP_WRITE_ result.
int CheckRegAppEntry(const RegApp* entry);

// Writes the file text of count entries: "[EXE%d]" numbered from 1 in list order,
// then "name=", "path=", "arg=", "folder=", "cmd=" lines, each ending with CR LF,
// no blank lines. Returns the length written into buf (followed by a NUL), or the
// length needed when buf is null; a negative REGAPP_WRITE_ result when an entry
// cannot be written (its index in *badEntry when badEntry is not null) or buf is
// too small. Nothing is ever cut.
long FormatRegApps(const RegApp* entries, int32_t count, char* buf, size_t bufSize,
                   int32_t* badEntry);

// Formats the entries and replaces the file at path whole (WriteWholeFile).
// Returns 1 when written, else a negative REGAPP_WRITE_ result (the old file
// is then untouched).
int WriteRegAppsFile(const char* path, const RegApp* entries, int32_t count, int32_t* badEntry);

// --- using the table ---------------------------------------------------------------

// Longest name shown in the menu of registered applications: 99 characters (a
// double-byte character counts as one); longer ones (and empty ones, the hidden
// entries) are left out of the menu, while their programs can still be started
// by an application key.
enum { REGAPP_MENU_NAME_MAX = 99 };
bool RegAppInMenu(const RegApp* entry);

// Index of the entry whose cmd is id (the last one when several share it), or
// -1; hidden (zero-filled) entries never match.
int32_t FindRegAppById(const RegApp* entries, int32_t count, int32_t id);

// The parameters of a start: "arg selection" when arg is not empty, else the
// selection text alone. Returns the bytes needed with the NUL; out (when not
// null) gets the text when it fits in outSize, else it is left empty.
size_t RegAppParameters(const RegApp* entry, const char* selection, char* out, size_t outSize);

// The working folder: folder, or when it is empty, path cut at its last
// separator. False (out empty) when it does not fit.
bool RegAppWorkFolder(const RegApp* entry, char* out, size_t outSize);

// Whether a path of the selection text is an item of a list file: text is the
// file's content (cut in place), mode LF_DEFAULT or LF_FAVORITES. A plain
// line matches its path, a "-" line its folder, byte for byte. The first
// matching path goes to hit (hitSize bytes). 1 found, 0 none, -1 out of memory.
int FindSelectionInList(char* text, int mode, const char* selection, char* hit, size_t hitSize);
