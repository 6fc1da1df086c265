// Tests of the queue of requests that wait for an operation.
#include <gtest/gtest.h>

#include <string>

#include "launcher/shell/requestqueue.h"

// Each letter one request (h hand-over, r reload, s reload that shows the
// box, c close, x no request); *kept gets the letters kept ('-' refused), the
// result what then runs, in order.
static std::string RunRequests(const char* asks, std::string* kept) {
    RequestQueue q = {};
    for (const char* a = asks; *a; a++) {
        int kind = *a == 'h' ? RQ_HANDOVER : *a == 'c' ? RQ_CLOSE : *a == 'x' ? 9 : RQ_RELOAD;
        *kept += QueueRequest(&q, kind, 2, "t", *a == 's') ? *a : '-';
    }
    std::string run;
    for (Request r; NextRequest(&q, &r);)
        run += r.kind == RQ_HANDOVER ? 'h' : r.kind == RQ_CLOSE ? 'c' : r.show ? 's' : 'r';
    return run;
}

TEST(RequestQueue, InOrderOneReloadAtTheEndNothingAfterTheClose) {
    const char* cases[][3] = {
        {"hrh", "hrh", "hrh"},
        {"shr", "shr", "hs"},  // the second reload takes the first one's place
        {"hchrc", "hc---", "hc"},
        {"x", "-", ""},
        {"hhhhhhhhhhhhhhhhrc", "hhhhhhhhhhhhhh--rc", "hhhhhhhhhhhhhhrc"},  // room kept
    };
    for (const auto& c : cases) {
        std::string kept;
        EXPECT_EQ(RunRequests(c[0], &kept), c[2]) << c[0];
        EXPECT_EQ(kept, c[1]) << c[0];
    }
}
