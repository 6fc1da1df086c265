// migemopattern.h - the pure half of Migemo search: the folder the dictionary
// is read from, the BREGEXP match expression built from Migemo's answer, and
// how a BREGEXP record tells whether the last call matched. No windows.h.
#pragma once
#include <stddef.h>

// Migemo is asked to write its operators as these bytes, so that they can be
// told from the characters of the typed text and of the dictionary words: a
// "(", "[", "|" or "+" there is a character to find.
enum {
    MIGEMO_OR = 0x01,
    MIGEMO_CLASS_OPEN = 0x02,
    MIGEMO_CLASS_CLOSE = 0x03,
    MIGEMO_GROUP_OPEN = 0x08,
    MIGEMO_GROUP_CLOSE = 0x09,
};

// The operators set on the Migemo object before each query: the library's
// operator index and its text (the last one, the text put between
// characters, empty).
struct MigemoOperator {
    int index;
    unsigned char text[2];
};
enum { MIGEMO_OPERATOR_COUNT = 6 };
extern const MigemoOperator kMigemoOperators[MIGEMO_OPERATOR_COUNT];

// Builds the BREGEXP expression for Migemo's expression expr: "m/" (or "m/^"
// when anchored), "(", expr converted, ")/k". Converted: the operator bytes
// become "|", "[", "]", "(" and ")"; every character of the text is matched
// as itself: a double-byte character is copied whole (its trail byte may look
// like "[", "\" or "|"), a byte Migemo escaped with a backslash is taken as
// that byte, and a byte the pattern syntax would read as an operator
// ("\ ^ $ . | ? * + ( ) [ ] { } / -") gets a backslash; a lead byte without a
// trail byte at the end is dropped. libraryOperators: the library kept its own
// "|", "[" and "]" (it refused ours), so those are operators too. Returns a
// heap block (MemFree), or null when expr is null or memory runs out.
char* BuildBregexpPattern(const char* expr, bool anchored, bool libraryOperators = false);

// Migemo's answers to the last terms asked (a few), so that a term filtered
// again (the check of a typed character and the refilter after it, the terms
// before the one being typed) is not expanded by the library again. Recall
// gives the kept answer or null; Keep copies one in (the oldest goes); Forget
// drops all (when the dictionary goes).
const char* RecallMigemoAnswer(const char* term);
void KeepMigemoAnswer(const char* term, const char* answer);
void ForgetMigemoAnswers(void);

// Where the dictionary files are read: migemo_path + "\" when it is set (even
// when it ends in a separator), else the executable's folder (ending in its
// separator) + "dict\". False when it does not fit dst.
bool MigemoDictFolder(const char* migemoPath, const char* exeFolder, char* dst, size_t dstSize);

// True when the BREGEXP record of the last call says "matched": its first
// field (outp) is a non-null pointer. The whole pointer is read: on x86-64 a
// valid pointer can have all of its low 32 bits zero.
bool BregexpRecordMatched(const void* record);
