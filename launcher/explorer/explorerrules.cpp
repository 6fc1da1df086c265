// explorerrules.cpp - the retry counter and the duplicate rule of the
// Explorer-window list.
#include "explorerrules.h"

#include <string.h>

ExplorerRetryStep ExplorerRetryAfterFailure(uint32_t* retry) {
    uint32_t count = *retry & EXPLORER_RETRY_COUNT_MASK;
    if (count < EXPLORER_RETRY_COUNT_MASK) count++;
    *retry = (*retry & ~(uint32_t)EXPLORER_RETRY_COUNT_MASK) | count;
    if (count <= EXPLORER_RETRY_LIMIT) return ERS_RETRY;
    return (*retry & EXPLORER_RETRY_ASKED) ? ERS_END : ERS_ASK;
}

ExplorerRetryStep ExplorerRetryAnswer(uint32_t* retry, bool yes) {
    if (!yes) return ERS_END;
    *retry = EXPLORER_RETRY_ASKED;
    return ERS_RETRY;
}

uint32_t ExplorerCloseTimeLeft(uint32_t elapsed) {
    return elapsed < EXPLORER_CLOSE_ALL_MS ? EXPLORER_CLOSE_ALL_MS - elapsed : 0;
}

int32_t DuplicateWindows(const ListItem* items, int32_t count, int32_t* closeAt) {
    if (!items || !closeAt) return 0;
    int32_t n = 0;
    for (int32_t i = 0; i < count; i++) {
        for (int32_t j = i + 1; j < count; j++) {
            if (strcmp(items[i].path, items[j].path) == 0) {
                closeAt[n++] = i;
                break;
            }
        }
    }
    return n;
}
