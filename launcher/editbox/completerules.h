// completerules.h - the text decisions of path completion: the parent folder
// of a typed path, the text a taken list entry makes, the bare drive and the
// drive of a typed letter, and the byte count of an edit before it is made.
// Pure (no windows.h).
#pragma once
#include <stddef.h>

// Directory up: drops one trailing separator, then ends the text just after
// its last separator. 1 when a separator was left (the text is a folder path
// with its separator), 0 when none was and the text is now empty.
int ParentFolderText(char* text);

// The text completing text with a list entry's name: a text shorter than two
// bytes is followed by the name; a longer one is cut after its last separator
// (kept whole without one) and followed by the name. 0 (dst empty) when the
// result does not fit in size bytes.
int CompletedText(const char* text, const char* name, char* dst, size_t size);

// The text taking a folder-list entry into the edit text: the name alone for
// an empty text, else the text cut after its last separator (nothing left
// without one) followed by the name. 0 (dst empty) when it does not fit.
int TakenEntryText(const char* text, const char* name, char* dst, size_t size);

// Number of characters in the first byteIndex bytes of text (a double-byte
// character counts once).
int CharIndexOfByte(const char* text, int byteIndex);

// Byte offset of the character with index charIndex in text (the length of
// text when it has fewer characters): the inverse of CharIndexOfByte.
int ByteIndexOfChar(const char* text, int charIndex);

// Bytes text would hold with its selection [selStart, selEnd) replaced by
// insertBytes bytes. The selection counts characters when charUnits is true
// (the edit control under Wine), bytes otherwise (Windows' ANSI edit control);
// out-of-range or reversed ends are put in order and clamped to the text.
size_t LengthAfterReplace(const char* text, int selStart, int selEnd, bool charUnits,
                          size_t insertBytes);

// Exactly two bytes, a non-separator and ":" (after which typo control takes
// only a separator).
bool IsBareDriveText(const char* text);

// Bit of the logical-drive mask for a typed letter (either case): 0 for A to
// 25 for Z; -1 for any other character.
int DriveBitOfLetter(int c);
