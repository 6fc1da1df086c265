// listfile.h - the list files "data\vorn_d.dat" (Default list) and "data\vorn_f.dat"
// (Favorites): their line grammar, the parser over text in memory, the reader that
// turns a list into items, and the writer used by the settings program.
//
// Pure: no windows.h. The file system is reached through a ListFileSystem record
// (folder test and pattern enumeration) that the caller supplies, so the reader
// runs natively in tests with a fake one.
//
// Grammar, one line at a time (code page 932, lines end with CR LF, a lone CR or
// a lone LF; a missing final line end is accepted):
//   empty                       ignored
//   any line holding ">"        page break / end of the data read by the launcher
//   "-" folder                  every entry of the folder (sub-folders first)
//   "-" "pat;pat" folder        (Favorites) the entries matching the patterns;
//                               blanks and tabs before the folder are skipped;
//                               "" means "*"; a missing closing quote gives nothing
//   anything else               one item: the whole line
//
// Double-byte rule of this file: a lead byte (0x81-0x9F, 0xE0-0xFC) forms one
// character with the next byte only when that byte is a trail byte (0x40-0x7E,
// 0x80-0xFC). CR, LF, NUL, '"', ';' and '>' are never trail bytes, so they always
// count as themselves, and a broken lead byte never swallows a line end.
#pragma once
#include <stddef.h>
#include <stdint.h>

#include "listitem.h"

enum ListFileMode {
    LF_DEFAULT = 1,    // "data\vorn_d.dat": no pattern parts
    LF_FAVORITES = 2,  // "data\vorn_f.dat": quoted pattern parts allowed
};

enum ListLineKind {
    LL_BLANK = 0,     // empty line
    LL_BREAK = 1,     // a line holding ">"
    LL_PLAIN = 2,     // one path
    LL_EXPAND = 3,    // "-" line: folder expansion
    LL_UNCLOSED = 4,  // Favorites "-" line whose pattern part has no closing quote
};

// One line of a list file. The strings are not owned: after ParseListText they
// point into the parsed text (cut in place), for the writer they point wherever
// the caller keeps its rows.
//   LL_PLAIN     path = the whole line
//   LL_EXPAND    path = the folder; patterns = the text between the quotes with its
//                ';' separators (possibly ""), or null when the line has no
//                pattern part
//   LL_UNCLOSED  path = the whole line (for a settings page that wants to show or
//                report it); patterns null
//   LL_BLANK     path = ""; LL_BREAK path = the whole line
struct ListLine {
    int32_t kind;  // ListLineKind
    const char* path;
    const char* patterns;
};

// A parsed list file: a heap array of lines (MemAlloc) in file order.
// stoppedAtBreak is 1 when parsing ended at a line holding ">" (that line is not in
// lines); next is then the start of the line after it (within the parsed text),
// else null.
struct ListFile {
    ListLine* lines;
    int32_t count;
    int32_t capacity;
    int32_t stoppedAtBreak;
    char* next;
};

// Cuts text (NUL-terminated, writable) into lines in place and records them.
// mode is LF_DEFAULT or LF_FAVORITES (pattern parts are recognised only in the
// latter). With stopAtBreak 1 parsing ends before the first line holding ">"
// (the launcher's reading of a list or of one Favorites page); with 0 every line
// is recorded, breaks as LL_BREAK (the settings program's reading).
// Returns 1, or 0 when memory runs out (file then empty). The previous content
// of file is freed first.
int ParseListText(char* text, int mode, int stopAtBreak, ListFile* file);
void FreeListFile(ListFile* file);

// The next pattern of a pattern part: copies the piece at *cursor (up to ';' or
// the end; possibly empty) into out and moves *cursor past it and its ';'.
// Returns 0 when the cursor is at the end, -1 for a piece that does not fit out
// (out empty; the cursor still moves past it), else 1. The reader itself takes
// an empty pattern part, or none, as the single pattern "*".
int NextPattern(const char** cursor, char* out, size_t outSize);

// File-system access of the reader.
//   isFolder (ctx, path): true when path names an existing folder.
//   enumerate (ctx, folder, pattern, report, sink): reports every entry of
//     folder matching the wildcard pattern, in the file system's own order, as
//     report(sink, name, isFolder); "." and ".." may be reported (the reader skips
//     them). Returns 0 when the folder cannot be listed.
typedef void (*ListEntryReport)(void* sink, const char* name, int isFolder);
struct ListFileSystem {
    bool (*isFolder)(void* ctx, const char* path);
    int (*enumerate)(void* ctx, const char* folder, const char* pattern, ListEntryReport report,
                     void* sink);
    void* ctx;
};

// The launcher's reader. Parses text (cut in place) from its start up to the first
// line holding ">" and fills items (the previous content freed): a plain line
// gives one item (ItemFolder/ItemFile by fs->isFolder when fldclass, the list's
// setting of that name, is 1: [def] for LF_DEFAULT, [fav] for LF_FAVORITES, as
// the caller passes it); a "-" line whose
// folder exists gives, pattern by pattern, first the matching folders, then the
// matching files, as folder + "\" + name, typed by their attribute, each only
// when no item with the same text (byte comparison) is in the array yet. Every
// item gets viewIndex = its position, image -1 and ItemWide when it holds a
// double-byte character. Texts that do not fit an item (263 bytes) are left out
// rather than cut. Returns the number of items, or -1 when memory runs out
// (items then empty).
int32_t ReadListFile(char* text, int mode, uint32_t fldclass, const ListFileSystem* fs,
                     ItemArray* items);

// Longest line (without CR LF) that the settings program writes with a pattern
// part; a longer one is written without it.
enum { LIST_LINE_MAX = 312 };

// Writer: the file text of count lines for a file of mode, each line followed by
// CR LF. LL_BLANK is an empty line, LL_BREAK ">", LL_PLAIN the path, LL_EXPAND
// "-" + folder, in a Favorites file with the pattern part "\"" + patterns + "\""
// between them when patterns is not null and the line stays within
// LIST_LINE_MAX (otherwise, or in the Default list, the patterns are left out).
// In a Favorites file a folder that begins with a quote is written after an
// empty pattern part ("" means "*" too), so that it reads back as the folder.
// LL_UNCLOSED lines are not written. Returns the length written into buf (plus a
// NUL), or the length needed when buf is null; -1 when bufSize is too small.
long FormatListFile(const ListLine* lines, int32_t count, int mode, char* buf, size_t bufSize);
// Formats the lines and replaces the file whole (atomically, WriteWholeFile).
// Returns 1 written, 0 failed (the old file untouched).
int WriteListFile(const char* path, const ListLine* lines, int32_t count, int mode);
