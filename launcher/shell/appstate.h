// appstate.h - process-wide run-time state of vorn: StateFlags and the strings
// taken from the command line or a hand-over. Pure (no windows.h).
#pragma once
#include <stddef.h>
#include <stdint.h>

enum StateFlag : uint32_t {
    SF_TEXT_BY_PROGRAM = 0x0001,
    SF_FOLDER_FRESH = 0x0002,
    SF_COMPLETED = 0x0004,
    SF_EXPLORER_PENDING = 0x0008,
    SF_USER_DELETED = 0x0010,
    SF_HIDDEN = 0x0020,
    SF_SECOND_CLASS = 0x0040,
    SF_HANDED_TEXT = 0x0080,
    SF_SEARCH_INPUT = 0x0100,
    SF_MIGEMO_SUSPENDED = 0x0200,
    SF_MULTI_INSTANCE = 0x0400,
    SF_ONE_SHOT = 0x0800,
    SF_TARGET_PROGRAM = 0x1000,
};

void SetFlags(uint32_t bits);
void ClearFlags(uint32_t bits);
bool AnyFlag(uint32_t bits);
uint32_t ReadFlags(void);
void ClearAllFlags(void);

// Heap strings; setting null (or calling Free*) frees the old value.
struct AppStrings {
    char* startDir;       // no trailing separator
    char* targetProgram;  // only while SF_TARGET_PROGRAM
    char* argPrefix;      // used once by the next run
};
extern AppStrings App;
void SetAppString(char** slot, const char* value);
// text rooted at the start folder when it begins with one separator (two begin
// a network path); otherwise text as it is. Cut to size like ConcatTo.
void RootAtStartDir(const char* text, char* dst, size_t size);
