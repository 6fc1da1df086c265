// strutil.h - string and path routines over code-page-932 (Shift-JIS) byte strings.
//
// Pure routines: no windows.h, no allocation, no I/O. Every routine that writes
// into a caller buffer takes that buffer's size in bytes (dstSize) and never
// writes past it; output that would not fit is cut at a character boundary and
// always NUL-terminated (dstSize 0 writes nothing).
#pragma once
#include <stddef.h>
#include <stdint.h>

// Size of the working buffers in which paths are composed (a folder, a
// separator, a name, a pattern): larger than any text that can become a path
// (a 263-byte list item, the 260-byte edit text) joined to another, so a join
// either fits or is refused, never cut into the name of something else.
enum { PATH_WORK_SIZE = 1024 };

// Byte test of code page 932: lead bytes are 0x81-0x9F and 0xE0-0xFC.
inline bool IsLeadByteSjis(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}
// Trail bytes are 0x40-0x7E and 0x80-0xFC.
inline bool IsTrailByteSjis(unsigned char b) {
    return (b >= 0x40 && b <= 0x7E) || (b >= 0x80 && b <= 0xFC);
}
// Length of the character at p for the readers of data files: a lead byte
// pairs only with a real trail byte, so a broken lead byte never swallows a
// CR, an LF or the NUL.
inline size_t CharStepSjis(const char* p) {
    return (IsLeadByteSjis((unsigned char)p[0]) && IsTrailByteSjis((unsigned char)p[1])) ? 2 : 1;
}
// Length of the character at p for path and text routines: a lead byte takes
// the byte after it whatever it is (only the NUL ends the text).
inline size_t CharLengthSjis(const char* p) {
    return (IsLeadByteSjis((unsigned char)p[0]) && p[1] != '\0') ? 2 : 1;
}
inline bool IsSeparator(char c) { return c == '\\' || c == '/'; }

// ASCII lower-casing, the character function all callers pass to MapCharsSjis.
int LowerAscii(int c);

// Copies src to dst applying fn to single-byte characters; double-byte characters
// are copied unchanged. len -1 means the whole string. Writes at most
// dstSize - 1 bytes and a NUL. Returns the number of bytes written (without NUL).
int MapCharsSjis(int (*fn)(int), const char* src, char* dst, int len, size_t dstSize);

// Skips blanks, tabs and LFs (not CR), one optional '-', then decimal digits.
int32_t ParseInt(const char* text);

// Copies src (null copies nothing) into dst; returns bytes copied without NUL.
size_t CopyString(char* dst, const char* src, size_t dstSize);
// dst = a followed by b.
void ConcatTo(const char* a, const char* b, char* dst, size_t dstSize);

// Text-record scanners.
// ReadLine: copies the current line (up to CR, LF or NUL) into out, which holds
// max + 1 bytes; null for null/empty text or a line longer than max (nothing
// copied). CR LF, a lone CR, a lone LF and LF LF are one line end each. Returns
// the start of the next line (the NUL itself at the end).
const char* ReadLine(const char* text, char* out, size_t max);
// SplitAt: the part before the first ch (all of text without one) into out, which
// holds max + 1 bytes; a longer part leaves out empty and returns null. Returns
// the byte after ch, or null when there is none. Not double-byte aware.
const char* SplitAt(const char* text, char ch, char* out, size_t max);
// TakeToken: a "quoted" token or one up to the first blank; copied without quotes
// into out (max bytes) when it fits with its delimiter, else out is empty. Returns
// the rest after the delimiter and following blanks/tabs.
const char* TakeToken(const char* text, char* out, size_t max);
// TakeDelimited: when text starts with open, the bytes up to the next open go to
// out (at most max - 1 and a NUL); each sep copied becomes a NUL when splitSep is
// 1 and counts one more piece. Without open, out is empty and there is 1 piece.
// Returns the byte after the field and following blanks/tabs (pieces stored when
// not null), or null for an unterminated field (out empty, pieces 0).
const char* TakeDelimited(const char* text, char* out, char open, char sep, int* pieces,
                          int splitSep, size_t max);
// Replaces the first from by to; returns the byte after it unless that is the NUL.
char* ReplaceFirstChar(char* text, char from, char to);
// First occurrence of needle in hay, compared and advanced by whole characters.
const char* FindSubstringSjis(const char* hay, const char* needle);
// text when it begins with prefix, else null.
const char* StartsWith(const char* text, const char* prefix);
// True when n is 0 or text holds at least n bytes.
bool HasAtLeast(const char* text, size_t n);
// 1 for FF FE (UTF-16 LE), 2 for FE FF (UTF-16 BE), else 0.
int DetectUnicodeBom(const unsigned char* bytes, size_t len);

// Path routines; both '\' and '/' are separators, trail bytes are never separators.
// '/' becomes '\' in place.
char* ToBackslashes(char* path);
// The "." and ".." entries of a folder listing.
inline bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}
// True when the last character of text is "\" or "/" (the second byte of a
// double-byte character never is one).
bool EndsWithSeparatorSjis(const char* text);
// Appends '\' unless the path ends in a separator (or there is no room).
char* AddTrailingSeparator(char* path, size_t pathSize);
// Removes one trailing separator.
char* RemoveTrailingSeparator(char* path);
// folder + "\" (unless it is empty or ends in a separator) + name; 0 (dst
// empty) when it does not fit.
int JoinFolderName(const char* folder, const char* name, char* dst, size_t size);
// Of two adjacent separators the first is dropped (three become two).
void CollapseSeparators(char* path);
// Ends the path at its last separator; null (unchanged) when there is none or it
// is the first byte.
char* CutLastComponent(char* path);
// Ends the path just after its last separator; null (unchanged) without one.
char* CutAfterLastSeparator(char* path);
// Pointer just after the last separator, or null without one; dst (when not null)
// receives the file-name part (the whole path without a separator).
const char* FileNamePart(const char* path, char* dst, size_t dstSize);
// Copies src to dst folding "..\" and ".\"; dst may be src itself.
char* NormalizeDots(char* dst, const char* src, size_t dstSize);
// Quote needs room for strlen + 3 bytes; returns 0 (unchanged) when it does not fit.
int Quote(char* text, size_t textSize);
// Quotes text when it contains a blank; 1 when it did.
int QuoteIfSpaces(char* text, size_t textSize);
// Shortens src to about width bytes with "…" in the middle.
char* EllipsizeMiddle(const char* src, char* dst, int width, size_t dstSize);
// Name of at least 5 bytes: ends in ".bmp" (any case). Else: data starts "BM".
bool IsBitmap(const unsigned char* data, size_t dataLen, const char* name);
// Exactly a letter and ':'.
bool IsBareDrive(const char* text);
