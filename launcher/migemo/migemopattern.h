// migemopattern.h - the pure half of Migemo search: the folder the dictionary
// is read from, the BREGEXP match expression built from Migemo's answer, and
// how a BREGEXP record tells whether the last call matched. No windows.h.
#pragma once
#include <stddef.h>

// Migemo is asked to write its grouping parentheses as these bytes, so that
// they can be told from parentheses of the matched words.
enum { MIGEMO_GROUP_OPEN = 0x08, MIGEMO_GROUP_CLOSE = 0x09 };

// Builds the BREGEXP expression for Migemo's expression expr: "m/" (or "m/^"
// when anchored), "(", expr converted, ")/k". Converted: a double-byte
// character is copied whole (its trail byte may be "(", ")", "[" or "|"), "("
// and ")" get a backslash before them, MIGEMO_GROUP_OPEN and _CLOSE become
// "(" and ")", every other byte is copied; a lead byte without a trail byte at
// the end is dropped. Returns a heap block (MemFree), or null when expr is
// null or memory runs out.
char* BuildBregexpPattern(const char* expr, bool anchored);

// Where the dictionary files are read: migemo_path + "\" when it is set (even
// when it ends in a separator), else the executable's folder (ending in its
// separator) + "dict\". False when it does not fit dst.
bool MigemoDictFolder(const char* migemoPath, const char* exeFolder, char* dst, size_t dstSize);

// True when the BREGEXP record of the last call says "matched": its first
// field (outp) is a non-null pointer. The whole pointer is read: on x86-64 a
// valid pointer can have all of its low 32 bits zero.
bool BregexpRecordMatched(const void* record);
