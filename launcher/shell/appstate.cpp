// appstate.cpp - StateFlags and the process-wide strings of the command line.
#include "appstate.h"

#include "../../common/fileio.h"
#include "../../common/strutil.h"

static uint32_t g_stateFlags;
AppStrings App;

void SetFlags(uint32_t bits) { g_stateFlags |= bits; }
void ClearFlags(uint32_t bits) { g_stateFlags &= ~bits; }
bool AnyFlag(uint32_t bits) { return (g_stateFlags & bits) != 0; }
uint32_t ReadFlags(void) { return g_stateFlags; }
void ClearAllFlags(void) { g_stateFlags = 0; }

void SetAppString(char** slot, const char* value) {
    MemFree(*slot);
    *slot = value ? MemDupString(value) : nullptr;
}

void RootAtStartDir(const char* text, char* dst, size_t size) {
    if (IsSeparator(text[0]) && !IsSeparator(text[1]) && App.startDir)
        ConcatTo(App.startDir, text, dst, size);
    else
        CopyString(dst, text, size);
}
