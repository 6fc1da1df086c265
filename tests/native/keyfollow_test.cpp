// Tests of holding back the keys typed behind the hot key: which key starts
// the hold, what passes and what is held, in what order the held keys come
// back, and when the hold ends.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "launcher/shell/keyfollow.h"

namespace {

const uint32_t kAltOne = 0x131;  // Alt+1, the default hot key
const uint16_t kLAlt = 0xA4, kLShift = 0xA0, kLCtrl = 0xA2, kPacket = 0xE7;

struct Ev {
    uint16_t vk;
    bool up;
    bool ours;
};

// The verdicts of a run of events, as "P" (passes) and "H" (held).
std::string Verdicts(KeyFollow* f, uint32_t hotkey, const std::vector<Ev>& events) {
    std::string verdicts;
    for (const Ev& e : events) {
        FollowKey key = {e.vk, (uint16_t)(e.vk == kPacket ? 'x' : 0), e.up ? (uint32_t)FOLLOW_KEY_UP : 0u};
        verdicts += FollowKeyEvent(f, hotkey, key, e.ours) == FOLLOW_HOLD ? "H" : "P";
    }
    return verdicts;
}

TEST(KeyFollow, WhatPassesAndWhatIsHeld) {
    struct Case {
        const char* what;
        uint32_t hotkey;
        std::vector<Ev> events;
        const char* verdicts;
        bool holding;
    };
    const Case cases[] = {
        {"plain typing passes", kAltOne, {{'A', false, false}, {'A', true, false}}, "PP", false},
        {"the hot key starts the hold; its release and Alt's pass, the text is held",
         kAltOne,
         {{kLAlt, false, false}, {'1', false, false}, {'1', true, false}, {kLAlt, true, false},
          {kPacket, false, false}, {kPacket, true, false}},
         "PPPPHH", true},
        {"the key without its modifier starts nothing", kAltOne,
         {{'1', false, false}, {kPacket, false, false}}, "PP", false},
        {"more modifiers than registered start nothing", kAltOne,
         {{kLAlt, false, false}, {kLShift, false, false}, {'1', false, false}, {'B', false, false}},
         "PPPP", false},
        {"Ctrl+Shift+K", 0x64B,
         {{kLCtrl, false, false}, {kLShift, false, false}, {'K', false, false}, {'K', true, false},
          {'A', false, false}},
         "PPPPH", true},
        {"a modifier pressed again after its release is held", kAltOne,
         {{kLAlt, false, false}, {'1', false, false}, {kLAlt, true, false}, {kLShift, false, false},
          {kLAlt, false, false}},
         "PPPHH", true},
        {"a repeat of a key held since before passes", kAltOne,
         {{kLAlt, false, false}, {'1', false, false}, {'1', false, false}, {'Z', false, false}},
         "PPPH", true},
        {"keys handed back pass and start nothing", kAltOne,
         {{kLAlt, false, true}, {'1', false, true}, {'B', false, true}}, "PPP", false},
        {"no hot key: nothing is held", 0,
         {{0, false, false}, {'A', false, false}}, "PP", false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        KeyFollow f;
        ResetKeyFollow(&f);
        EXPECT_EQ(Verdicts(&f, c.hotkey, c.events), c.verdicts);
        EXPECT_EQ(f.holding, c.holding);
    }
}

TEST(KeyFollow, HeldKeysComeBackInOrderAndTheHoldEndsWhenTheyHavePassed) {
    KeyFollow f;
    ResetKeyFollow(&f);
    ASSERT_EQ(Verdicts(&f, kAltOne, {{kLAlt, false, false}, {'1', false, false}, {'N', false, false},
                                {'N', true, false}, {'O', false, false}}),
              "PPHHH");
    FollowKey out[FOLLOW_KEYS_MAX];
    ASSERT_EQ(TakeHeldKeys(&f, out, 2), 2);
    EXPECT_EQ(out[0].vk, 'N');
    EXPECT_FALSE(out[0].flags & FOLLOW_KEY_UP);
    EXPECT_EQ(out[1].vk, 'N');
    EXPECT_TRUE(out[1].flags & FOLLOW_KEY_UP);
    EXPECT_FALSE(EndHoldWhenDone(&f)) << "one key is still held";
    // A key typed while the first ones go back is held behind them.
    EXPECT_EQ(Verdicts(&f, kAltOne, {{'N', false, true}, {'T', false, false}}), "PH");
    ASSERT_EQ(TakeHeldKeys(&f, out, FOLLOW_KEYS_MAX), 2);
    EXPECT_EQ(out[0].vk, 'O');
    EXPECT_EQ(out[1].vk, 'T');
    EXPECT_FALSE(EndHoldWhenDone(&f)) << "keys on their way back";
    EXPECT_EQ(Verdicts(&f, kAltOne, {{'N', true, true}, {'O', false, true}, {'T', false, true}}), "PPP");
    EXPECT_TRUE(EndHoldWhenDone(&f));
    EXPECT_EQ(Verdicts(&f, kAltOne, {{'Q', false, false}}), "P") << "the hold is over";
}

TEST(KeyFollow, AFullStoreLetsKeysPass) {
    KeyFollow f;
    ResetKeyFollow(&f);
    Verdicts(&f, kAltOne, {{kLAlt, false, false}, {'1', false, false}});
    std::vector<Ev> many(FOLLOW_KEYS_MAX, Ev{'A', false, false});
    EXPECT_EQ(Verdicts(&f, kAltOne, many), std::string(FOLLOW_KEYS_MAX, 'H'));
    EXPECT_EQ(Verdicts(&f, kAltOne, {{'B', false, false}}), "P");
    EXPECT_EQ(f.count, FOLLOW_KEYS_MAX);
}

}  // namespace
