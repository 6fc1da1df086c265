// Tests of the Explorer-window list's rules: the retry counter through rows
// of failures, the question and its answers, and the windows "SingleExp"
// closes.
#include <gtest/gtest.h>
#include <string.h>

#include <vector>

#include "common/itemarray.h"
#include "launcher/explorer/explorerrules.h"

namespace {

// Runs failures in a row from *retry and returns the steps they gave.
std::vector<ExplorerRetryStep> Fail(uint32_t* retry, int times) {
    std::vector<ExplorerRetryStep> steps;
    for (int i = 0; i < times; i++) steps.push_back(ExplorerRetryAfterFailure(retry));
    return steps;
}

TEST(ExplorerRetry, TenRetriesThenOneQuestion) {
    uint32_t retry = 0;
    std::vector<ExplorerRetryStep> steps = Fail(&retry, 11);
    for (int i = 0; i < 10; i++) EXPECT_EQ(steps[i], ERS_RETRY) << "failure " << i + 1;
    EXPECT_EQ(steps[10], ERS_ASK);
    EXPECT_EQ(retry, 11u) << "the question itself does not set the asked bit";
}

TEST(ExplorerRetry, AnswersToTheQuestion) {
    struct Case {
        bool yes;
        ExplorerRetryStep step;
        uint32_t retryAfter;
    } cases[] = {
        {true, ERS_RETRY, EXPLORER_RETRY_ASKED},  // asked, count 0
        {false, ERS_END, 11},
    };
    for (const Case& c : cases) {
        uint32_t retry = 0;
        Fail(&retry, 11);
        EXPECT_EQ(ExplorerRetryAnswer(&retry, c.yes), c.step) << c.yes;
        EXPECT_EQ(retry, c.retryAfter) << c.yes;
    }
}

TEST(ExplorerRetry, AfterYesTenMoreRetriesThenTheEndWithoutAskingAgain) {
    uint32_t retry = 0;
    Fail(&retry, 11);
    ASSERT_EQ(ExplorerRetryAnswer(&retry, true), ERS_RETRY);
    std::vector<ExplorerRetryStep> steps = Fail(&retry, 11);
    for (int i = 0; i < 10; i++) EXPECT_EQ(steps[i], ERS_RETRY) << "failure " << i + 1;
    EXPECT_EQ(steps[10], ERS_END);
    EXPECT_EQ(retry, EXPLORER_RETRY_ASKED | 11u);
}

TEST(ExplorerRetry, CounterStates) {
    // (counter before, step of the next failure, counter after)
    struct Case {
        uint32_t before;
        ExplorerRetryStep step;
        uint32_t after;
    } cases[] = {
        {0, ERS_RETRY, 1},
        {9, ERS_RETRY, 10},
        {10, ERS_ASK, 11},
        {11, ERS_ASK, 12},  // not asked yet (the question was not reached)
        {EXPLORER_RETRY_ASKED | 9, ERS_RETRY, EXPLORER_RETRY_ASKED | 10},
        {EXPLORER_RETRY_ASKED | 10, ERS_END, EXPLORER_RETRY_ASKED | 11},
        // the count saturates instead of wrapping into the asked bit
        {0xFFFF, ERS_ASK, 0xFFFF},
        {EXPLORER_RETRY_ASKED | 0xFFFF, ERS_END, EXPLORER_RETRY_ASKED | 0xFFFF},
    };
    for (const Case& c : cases) {
        uint32_t retry = c.before;
        EXPECT_EQ(ExplorerRetryAfterFailure(&retry), c.step) << std::hex << c.before;
        EXPECT_EQ(retry, c.after) << std::hex << c.before;
    }
}

TEST(ExplorerDuplicates, EachFolderKeepsItsLastWindow) {
    struct Case {
        std::vector<const char*> texts;
        std::vector<int32_t> closed;
    } cases[] = {
        {{"C:\\Temp", "C:\\", "C:\\Temp"}, {0}},
        {{"C:\\Temp", "C:\\", "D:\\Data"}, {}},
        {{"a", "a", "a"}, {0, 1}},
        {{"a", "b", "a", "b"}, {0, 1}},
        {{"C:\\temp", "C:\\Temp"}, {}},  // byte for byte: letter case counts
        {{"C:\\\x95\x5C", "C:\\\x95\x5C"}, {0}},
        {{"C:\\x"}, {}},
        {{}, {}},
    };
    for (const Case& c : cases) {
        ItemArray array = {};
        for (const char* t : c.texts) ASSERT_EQ(AppendItem(&array, t, ItemFolder), 1);
        std::vector<int32_t> closeAt(c.texts.size() + 1, -1);
        int32_t n = DuplicateWindows(array.items, array.count, closeAt.data());
        closeAt.resize(n);
        EXPECT_EQ(closeAt, c.closed) << (c.texts.empty() ? "(none)" : c.texts[0]);
        FreeItems(&array);
    }
    EXPECT_EQ(DuplicateWindows(nullptr, 3, nullptr), 0);
}

TEST(ExplorerClosing, OneBoundForAllTheWindows) {
    const uint32_t cases[][2] = {{0, EXPLORER_CLOSE_ALL_MS}, {EXPLORER_CLOSE_ALL_MS - 1, 1},
                                 {EXPLORER_CLOSE_ALL_MS, 0}, {0xFFFFFFFFu, 0}};
    for (const auto& c : cases) EXPECT_EQ(ExplorerCloseTimeLeft(c[0]), c[1]) << c[0];
}

}  // namespace
