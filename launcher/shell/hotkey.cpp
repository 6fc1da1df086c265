// hotkey.cpp - the global hot key that brings the edit box forward, and the
// keys typed right behind it: while the box is hidden a low-level keyboard
// hook holds back every key that follows the hot key's press until the box is
// in front, then hands them to it in order (the rules are in keyfollow.cpp).
#include <windows.h>

#include "../../common/settings.h"
#include "../../common/winutil.h"
#include "appstate.h"
#include "keyfollow.h"
#include "shell.h"

namespace {

// Marks the keys handed back, so the hook lets them through.
const ULONG_PTR kHandedBack = 0x766F726E;
// A hold that no hot-key message ends (the hot key went to a busy system
// dialog, say) hands its keys on after this long.
enum { HOLD_LIMIT_MS = 1000, HAND_BACK_WAIT_MS = 500 };

struct FollowHook {
    HHOOK hook;
    KeyFollow follow;
};
FollowHook Follow;

void CALLBACK OnHoldLimit(HWND wnd, UINT, UINT_PTR id, DWORD) {
    KillTimer(wnd, id);
    HandBackHeldKeys();
}

LRESULT CALLBACK FollowKeyboardProc(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const KBDLLHOOKSTRUCT* k = (const KBDLLHOOKSTRUCT*)lParam;
        FollowKey key;
        key.vk = (uint16_t)k->vkCode;
        key.scan = (uint16_t)k->scanCode;
        // A character typed as Unicode carries no release flag: the message
        // tells the release.
        bool up = (k->flags & LLKHF_UP) || wParam == WM_KEYUP || wParam == WM_SYSKEYUP;
        key.flags = (up ? FOLLOW_KEY_UP : 0) |
                    ((k->flags & LLKHF_EXTENDED) ? FOLLOW_KEY_EXTENDED : 0);
        bool wasHolding = Follow.follow.holding;
        if (FollowKeyEvent(&Follow.follow, Settings.hotkey, key, k->dwExtraInfo == kHandedBack) ==
            FOLLOW_HOLD)
            return 1;
        if (!wasHolding && Follow.follow.holding && Shell.mainWnd)
            SetTimer(Shell.mainWnd, ID_TIMER_HOLD_LIMIT, HOLD_LIMIT_MS, OnHoldLimit);
    }
    return CallNextHookEx(Follow.hook, code, wParam, lParam);
}

void ToInput(const FollowKey& key, INPUT* in) {
    ZeroMemory(in, sizeof *in);
    in->type = INPUT_KEYBOARD;
    in->ki.dwExtraInfo = kHandedBack;
    in->ki.dwFlags = (key.flags & FOLLOW_KEY_UP) ? KEYEVENTF_KEYUP : 0;
    if (key.vk == VK_PACKET) {
        in->ki.wScan = key.scan;
        in->ki.dwFlags |= KEYEVENTF_UNICODE;
        return;
    }
    in->ki.wVk = key.vk;
    in->ki.wScan = key.scan;
    if (key.flags & FOLLOW_KEY_EXTENDED) in->ki.dwFlags |= KEYEVENTF_EXTENDEDKEY;
}

// Lets the hook see the keys handed back (where the system calls it later
// than the hand-back itself), for a bounded time.
void WaitForHandBack(void) {
    DWORD start = GetTickCount();
    while (Follow.follow.replaying > 0 && Follow.follow.count == 0 &&
           GetTickCount() - start < HAND_BACK_WAIT_MS) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_SENDMESSAGE);
        MSG msg;
        PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
    }
}

}  // namespace

// hotkey: low byte the virtual key, bits 8-15 the MOD_* flags; 0 is no hot key.
void RegisterAppHotKey(void) {
    if (Settings.hotkey == 0) return;
    UINT modifiers = (Settings.hotkey >> 8) & 0xFF;
    UINT key = Settings.hotkey & 0xFF;
    if (RegisterHotKey(Shell.mainWnd, ID_HOTKEY, modifiers, key)) {
        // A reload while the box is hidden watches again at once.
        if (AnyFlag(SF_HIDDEN)) WatchKeysAfterHotKey(true);
        return;
    }
    ErrorBox(Shell.mainWnd, "HotKeyの登録エラー\r\n常駐設定を解除します");
    // Without a hot key a hidden box could never come back: Esc now ends the
    // program and the after-run rule no longer hides.
    Settings.tray |= TRAY_HOTKEY_FAILED;
}

void UnregisterAppHotKey(void) {
    WatchKeysAfterHotKey(false);
    if (Settings.hotkey != 0) UnregisterHotKey(Shell.mainWnd, ID_HOTKEY);
}

void WatchKeysAfterHotKey(bool on) {
    bool usable = Settings.hotkey != 0 && !(Settings.tray & TRAY_HOTKEY_FAILED) &&
                  !AnyFlag(SF_MULTI_INSTANCE);
    if (on && usable && !Follow.hook) {
        ResetKeyFollow(&Follow.follow);
        Follow.hook = SetWindowsHookExA(WH_KEYBOARD_LL, FollowKeyboardProc,
                                        GetModuleHandleA(nullptr), 0);
    } else if (!on && Follow.hook) {
        HandBackHeldKeys();
        UnhookWindowsHookEx(Follow.hook);
        Follow.hook = nullptr;
        ResetKeyFollow(&Follow.follow);
    }
}

void HandBackHeldKeys(void) {
    if (Shell.mainWnd) KillTimer(Shell.mainWnd, ID_TIMER_HOLD_LIMIT);
    if (!Follow.hook) return;
    // Keys that arrive while the held ones go back are held too and follow
    // them, so the order stays the order they were typed in.
    for (int round = 0; round < FOLLOW_KEYS_MAX && !EndHoldWhenDone(&Follow.follow); round++) {
        FollowKey keys[FOLLOW_KEYS_MAX];
        int n = TakeHeldKeys(&Follow.follow, keys, FOLLOW_KEYS_MAX);
        INPUT inputs[FOLLOW_KEYS_MAX];
        for (int i = 0; i < n; i++) ToInput(keys[i], &inputs[i]);
        if (n > 0 && SendInput((UINT)n, inputs, sizeof(INPUT)) != (UINT)n) {
            // Refused: nothing more can go back; the hold ends.
            ResetKeyFollow(&Follow.follow);
            return;
        }
        WaitForHandBack();
        if (Follow.follow.replaying > 0 && Follow.follow.count == 0) {
            // The hook never saw them again: do not hold keys any longer.
            Follow.follow.replaying = 0;
        }
    }
}
