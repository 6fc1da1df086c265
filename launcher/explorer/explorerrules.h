// explorerrules.h - the rules of the Explorer-window list that need no
// window: the retry counter after failed enumerations, and which windows
// "SingleExp" closes. Pure (no windows.h).
#pragma once
#include <stdint.h>

#include "../../common/listitem.h"

enum {
    EXPLORER_RETRY_COUNT_MASK = 0xFFFF,  // failed enumerations in a row
    EXPLORER_RETRY_ASKED = 0x10000,      // the user was asked whether to retry
    EXPLORER_RETRY_LIMIT = 10,           // retries before the question
    EXPLORER_RETRY_MS = 200,             // wait before a retry
    EXPLORER_RETRY_AFTER_YES_MS = 500,   // wait before the retry the user asked for
    EXPLORER_CLOSE_ALL_MS = 3000,        // the whole closing of "AllCloseExp" / "SingleExp"
};

// What follows a failed enumeration.
enum ExplorerRetryStep {
    ERS_RETRY = 0,  // try again when the retry timer fires
    ERS_ASK = 1,    // ask the user whether to retry (once in a row of failures)
    ERS_END = 2,    // give up: the closing message, and the program ends
};

// Counts one more failure in *retry (the count saturates, the asked bit
// stays) and says what comes next: a retry while the count is at most
// EXPLORER_RETRY_LIMIT, then the question, or the end when it was asked.
ExplorerRetryStep ExplorerRetryAfterFailure(uint32_t* retry);

// The user's answer to the question: Yes starts a new row of retries with
// the asked bit set (ERS_RETRY, after EXPLORER_RETRY_AFTER_YES_MS); No ends.
ExplorerRetryStep ExplorerRetryAnswer(uint32_t* retry, bool yes);

// Closing the windows holds vorn for EXPLORER_CLOSE_ALL_MS at most: the time
// left of it after elapsed ms (0 once it is used up; the windows not reached
// by then stay open).
uint32_t ExplorerCloseTimeLeft(uint32_t elapsed);

// The windows "SingleExp" closes: each item whose text (byte for byte) is
// also the text of a later item, so every folder keeps its last window in
// collection order. Writes their positions in order to closeAt (room for
// count entries) and returns how many.
int32_t DuplicateWindows(const ListItem* items, int32_t count, int32_t* closeAt);
