// quickmatch.h - BREGEXP.DLL's quick matcher for Shift-JIS patterns made only
// of literal characters, classes of listed characters, groups and alternations
// in which no two alternatives can begin with the same character: what a
// Migemo expansion is. Such a pattern has at most one way to match at a place,
// so it is walked without backtracking: built once per pattern, each target is
// scanned once, and a place is tried only when its character can begin a
// match. The answer (leftmost match, every group's span) is the one the
// regular-expression engine gives; any other pattern, or a target that is not
// well-formed Shift-JIS, is left to the engine. Pure C++, no windows.h.
#pragma once
#include <stddef.h>

struct QuickMatcher;

// The span of one group in the last match (byte offsets into the target).
struct QuickSpan {
    int group;  // 0: the whole match
    int begin;
    int end;
};

// Results of QuickSearch besides 1 (matched) and 0 (no match).
enum { QUICK_UNSURE = -1 };

// Builds the matcher of a pattern (the text between the separators, Shift-JIS
// mode, no options that change matching), or null when the pattern is of
// another kind or memory runs out.
QuickMatcher* QuickCompile(const char* pattern, size_t length);
void QuickFree(QuickMatcher* q);
// Number of capture groups of the pattern.
int QuickGroups(const QuickMatcher* q);
// Searches target .. end for the leftmost match: 1 with the spans of the
// groups that took part (whole match first; spans holds room for
// QuickGroups + 1) and their number in *spanCount, 0 when nothing matches, or
// QUICK_UNSURE when the target is not well-formed Shift-JIS.
int QuickSearch(const QuickMatcher* q, const unsigned char* target, const unsigned char* end,
                QuickSpan* spans, int* spanCount);
