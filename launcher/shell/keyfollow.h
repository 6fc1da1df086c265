// keyfollow.h - keys typed right behind the hot key. Until the edit box is in
// front such keys would go to the program that was in front before (or be
// dropped), so while the box is hidden a keyboard hook watches for the hot
// key; from its press on, every key is held back in order and handed to the
// box again once it is in front (hotkey.cpp). These are the pure rules of that
// hold: which key starts it, which keys it holds, and when it has ended.
#pragma once
#include <stdint.h>

enum { FOLLOW_KEYS_MAX = 256 };

// Modifier bits as the hot key is registered (bits 8-15 of the hotkey setting).
enum { FOLLOW_MOD_ALT = 1, FOLLOW_MOD_CONTROL = 2, FOLLOW_MOD_SHIFT = 4, FOLLOW_MOD_WIN = 8 };

// One key event as the keyboard hook sees it.
enum { FOLLOW_KEY_UP = 1, FOLLOW_KEY_EXTENDED = 2 };
struct FollowKey {
    uint16_t vk;    // virtual key (VK_PACKET for a character typed as Unicode)
    uint16_t scan;  // scan code, or the character of a VK_PACKET key
    uint32_t flags; // FOLLOW_KEY_UP, FOLLOW_KEY_EXTENDED
};

struct KeyFollow {
    uint8_t down[32];         // keys down, as the hook saw them go (bit per virtual key)
    bool holding;             // keys are being held back
    int count;                // keys held, in order
    FollowKey keys[FOLLOW_KEYS_MAX];
    uint8_t downBefore[32];   // keys down when the hold began (bit per virtual key)
    int replaying;            // keys handed back that the hook has not seen again
};

enum FollowVerdict { FOLLOW_PASS, FOLLOW_HOLD };

// The verdict on one key event. hotkey: the setting (low byte the key, bits
// 8-15 the modifiers); ours: the event is one of the keys handed back. The
// modifiers are those the hook saw go down (the system's own record may lag
// behind the events the hook is shown). The press of the hot key
// itself passes (the system turns it into the hot-key message) and starts
// the hold; while holding, the release of a key that was down when the hold
// began passes (it goes where its press went), every other key is held. A key
// that finds the store full passes.
FollowVerdict FollowKeyEvent(KeyFollow* f, uint32_t hotkey, const FollowKey& key, bool ours);
// Takes up to max held keys, oldest first, into out; they count as being
// handed back until the hook sees them again. Returns how many.
int TakeHeldKeys(KeyFollow* f, FollowKey* out, int max);
// Ends the hold once nothing is held or on its way back; true when it is over
// (or there was none).
bool EndHoldWhenDone(KeyFollow* f);
// Forgets everything (the hook went away).
void ResetKeyFollow(KeyFollow* f);
