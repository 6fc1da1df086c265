// keyfollow.cpp - the rules of holding back the keys typed behind the hot key
// (keyfollow.h).
#include "keyfollow.h"

#include <string.h>

namespace {

// Virtual keys of the modifiers: the plain, left and right codes.
const uint8_t kAltKeys[] = {0x12, 0xA4, 0xA5};
const uint8_t kControlKeys[] = {0x11, 0xA2, 0xA3};
const uint8_t kShiftKeys[] = {0x10, 0xA0, 0xA1};
const uint8_t kWinKeys[] = {0x5B, 0x5C};

bool BitOf(const uint8_t* bits, uint8_t vk) { return (bits[vk >> 3] >> (vk & 7)) & 1; }

void SetBit(uint8_t* bits, uint8_t vk, bool on) {
    if (on)
        bits[vk >> 3] |= (uint8_t)(1u << (vk & 7));
    else
        bits[vk >> 3] &= (uint8_t)~(1u << (vk & 7));
}

bool IsDownBefore(const KeyFollow* f, uint8_t vk) { return BitOf(f->downBefore, vk); }
void MarkDownBefore(KeyFollow* f, uint8_t vk, bool down) { SetBit(f->downBefore, vk, down); }

template <int N>
bool AnyDown(const KeyFollow* f, const uint8_t (&keys)[N]) {
    for (int i = 0; i < N; i++)
        if (BitOf(f->down, keys[i])) return true;
    return false;
}

template <int N>
void MarkAll(KeyFollow* f, const uint8_t (&keys)[N]) {
    for (int i = 0; i < N; i++) MarkDownBefore(f, keys[i], true);
}

unsigned HeldModifiers(const KeyFollow* f) {
    unsigned held = 0;
    if (AnyDown(f, kAltKeys)) held |= FOLLOW_MOD_ALT;
    if (AnyDown(f, kControlKeys)) held |= FOLLOW_MOD_CONTROL;
    if (AnyDown(f, kShiftKeys)) held |= FOLLOW_MOD_SHIFT;
    if (AnyDown(f, kWinKeys)) held |= FOLLOW_MOD_WIN;
    return held;
}

bool IsHotKeyPress(uint32_t hotkey, unsigned held, const FollowKey& key) {
    if (hotkey == 0 || (key.flags & FOLLOW_KEY_UP)) return false;
    return key.vk == (hotkey & 0xFF) && held == ((hotkey >> 8) & 0x0F);
}

void StartHold(KeyFollow* f, unsigned held, uint8_t vk) {
    f->holding = true;
    f->count = 0;
    memset(f->downBefore, 0, sizeof f->downBefore);
    MarkDownBefore(f, vk, true);
    if (held & FOLLOW_MOD_ALT) MarkAll(f, kAltKeys);
    if (held & FOLLOW_MOD_CONTROL) MarkAll(f, kControlKeys);
    if (held & FOLLOW_MOD_SHIFT) MarkAll(f, kShiftKeys);
    if (held & FOLLOW_MOD_WIN) MarkAll(f, kWinKeys);
}

}  // namespace

FollowVerdict FollowKeyEvent(KeyFollow* f, uint32_t hotkey, const FollowKey& key, bool ours) {
    unsigned held = HeldModifiers(f);
    if (key.vk < 256) SetBit(f->down, (uint8_t)key.vk, !(key.flags & FOLLOW_KEY_UP));
    if (ours) {
        if (f->replaying > 0) f->replaying--;
        return FOLLOW_PASS;
    }
    if (!f->holding) {
        if (IsHotKeyPress(hotkey, held, key)) StartHold(f, held, (uint8_t)key.vk);
        return FOLLOW_PASS;
    }
    uint8_t vk = (uint8_t)key.vk;
    if (key.vk < 256 && IsDownBefore(f, vk)) {
        // A key held since before: its repeats and its release go where its
        // press went; a release ends that.
        if (key.flags & FOLLOW_KEY_UP) MarkDownBefore(f, vk, false);
        return FOLLOW_PASS;
    }
    if (f->count >= FOLLOW_KEYS_MAX) return FOLLOW_PASS;
    f->keys[f->count++] = key;
    return FOLLOW_HOLD;
}

int TakeHeldKeys(KeyFollow* f, FollowKey* out, int max) {
    int n = f->count < max ? f->count : max;
    if (n <= 0) return 0;
    memcpy(out, f->keys, (size_t)n * sizeof(FollowKey));
    memmove(f->keys, f->keys + n, (size_t)(f->count - n) * sizeof(FollowKey));
    f->count -= n;
    f->replaying += n;
    return n;
}

bool EndHoldWhenDone(KeyFollow* f) {
    if (f->count > 0 || f->replaying > 0) return false;
    f->holding = false;
    return true;
}

void ResetKeyFollow(KeyFollow* f) { memset(f, 0, sizeof *f); }
