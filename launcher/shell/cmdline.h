// cmdline.h - parser of vorn's command line. Pure: fills a record, changes nothing.
#pragma once
#include <stdint.h>

struct CommandLine {
    uint32_t flags;          // SF_MULTI_INSTANCE, SF_TARGET_PROGRAM, SF_ONE_SHOT, SF_SECOND_CLASS
    int hasDir;              // /d= was given (dir holds its value, possibly empty)
    char dir[261];
    int hasArgPrefix;        // /r= was given
    char argPrefix[261];
    int32_t x, y, w;         // -1: the setting applies
    const char* rest;        // rest of the command line (into the parsed text), or null
    char initialText[261];   // first token of rest, empty when none
};

// Parses the full command line (program name first) into out.
void ParseCommandLine(const char* commandLine, CommandLine* out);

// Default StartDir from the program's path: the drive root when the path has
// ":\" at index 1, else its folder; without a trailing separator ("C:").
void DefaultStartDir(const char* exePath, char* dst, unsigned dstSize);
