// hotkey.cpp - the global hot key that brings the edit box forward, and the
// keys typed right behind it: while the box is hidden a low-level keyboard
// hook, on a thread of its own, holds back every key that follows the hot key's press until the box is
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
enum { HAND_BACK_WAIT_MS = 500, HOOK_THREAD_WAIT_MS = 1000 };

// The hook runs on a thread of its own: the system waits for a low-level
// hook's answer before any program gets the key, so a hook on the main
// thread would stall the whole keyboard (and the program typed into) for as
// long as the main thread is busy bringing the box up. The hold's record is
// shared by both threads under the lock.
struct FollowHook {
    HANDLE thread;
    DWORD threadId;
    HHOOK hook;            // set by the hook's thread before it signals ready
    HANDLE seen;           // the hook saw a key that was handed back
    CRITICAL_SECTION lock;
    bool lockReady;
    KeyFollow follow;
};
FollowHook Follow;

void Lock(void) { EnterCriticalSection(&Follow.lock); }
void Unlock(void) { LeaveCriticalSection(&Follow.lock); }

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
        bool ours = k->dwExtraInfo == kHandedBack;
        Lock();
        bool wasHolding = Follow.follow.holding;
        FollowVerdict verdict = FollowKeyEvent(&Follow.follow, Settings.hotkey, key, ours);
        bool started = !wasHolding && Follow.follow.holding;
        Unlock();
        if (ours) SetEvent(Follow.seen);
        if (started && Shell.mainWnd) PostMessageA(Shell.mainWnd, WM_KEYS_HELD, 0, 0);
        if (verdict == FOLLOW_HOLD) return 1;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

DWORD WINAPI FollowHookThread(void* ready) {
    MSG msg;
    // The thread's queue exists before anyone can post it the quit.
    PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE);
    Follow.hook =
        SetWindowsHookExA(WH_KEYBOARD_LL, FollowKeyboardProc, GetModuleHandleA(nullptr), 0);
    HHOOK hook = Follow.hook;
    SetEvent((HANDLE)ready);
    if (!hook) return 1;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    UnhookWindowsHookEx(hook);
    return 0;
}

void ResetFollow(void) {
    Lock();
    ResetKeyFollow(&Follow.follow);
    Unlock();
}

bool StartFollowHook(void) {
    if (!Follow.lockReady) {
        InitializeCriticalSection(&Follow.lock);
        Follow.lockReady = true;
    }
    if (!Follow.seen) Follow.seen = CreateEventA(nullptr, FALSE, FALSE, nullptr);
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!Follow.seen || !ready) {
        if (ready) CloseHandle(ready);
        return false;
    }
    ResetFollow();
    Follow.hook = nullptr;
    Follow.thread = CreateThread(nullptr, 0, FollowHookThread, ready, 0, &Follow.threadId);
    if (Follow.thread) {
        SetThreadPriority(Follow.thread, THREAD_PRIORITY_ABOVE_NORMAL);
        WaitForSingleObject(ready, HOOK_THREAD_WAIT_MS);
    }
    CloseHandle(ready);
    if (Follow.thread && !Follow.hook) {
        // No hook: the thread has ended or is about to.
        WaitForSingleObject(Follow.thread, HOOK_THREAD_WAIT_MS);
        CloseHandle(Follow.thread);
        Follow.thread = nullptr;
    }
    return Follow.thread != nullptr;
}

void StopFollowHook(void) {
    PostThreadMessageA(Follow.threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(Follow.thread, HOOK_THREAD_WAIT_MS);
    CloseHandle(Follow.thread);
    Follow.thread = nullptr;
    Follow.hook = nullptr;
    ResetFollow();
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

// True while keys handed back have not been seen by the hook again and no
// newer key waits.
bool AwaitingHandBack(void) {
    Lock();
    bool awaiting = Follow.follow.replaying > 0 && Follow.follow.count == 0;
    Unlock();
    return awaiting;
}

// Lets the hook see the keys handed back (the system calls it later than the
// hand-back itself), for a bounded time.
void WaitForHandBack(void) {
    DWORD start = GetTickCount();
    while (AwaitingHandBack()) {
        DWORD spent = GetTickCount() - start;
        if (spent >= HAND_BACK_WAIT_MS) break;
        WaitForSingleObject(Follow.seen, HAND_BACK_WAIT_MS - spent);
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
    if (on && usable && !Follow.thread) {
        StartFollowHook();
    } else if (!on && Follow.thread) {
        HandBackHeldKeys();
        StopFollowHook();
    }
}

void OnKeysHeld(void) {
    if (!Follow.thread || !Shell.mainWnd) return;
    Lock();
    bool holding = Follow.follow.holding;
    Unlock();
    // The hook sees the hot key's press before the system has made it the
    // hot-key message: the box comes now, and the message that follows finds
    // it in front. Showing the box ends the hold whatever happens, so held
    // keys never wait for a hot-key message that does not come.
    if (holding) ShowEditBox();
}

void HandBackHeldKeys(void) {
    if (!Follow.thread) return;
    // Keys that arrive while the held ones go back are held too and follow
    // them, so the order stays the order they were typed in.
    for (int round = 0; round < FOLLOW_KEYS_MAX; round++) {
        FollowKey keys[FOLLOW_KEYS_MAX];
        Lock();
        bool done = EndHoldWhenDone(&Follow.follow);
        int n = done ? 0 : TakeHeldKeys(&Follow.follow, keys, FOLLOW_KEYS_MAX);
        Unlock();
        if (done) return;
        INPUT inputs[FOLLOW_KEYS_MAX];
        for (int i = 0; i < n; i++) ToInput(keys[i], &inputs[i]);
        if (n > 0 && SendInput((UINT)n, inputs, sizeof(INPUT)) != (UINT)n) {
            // Refused: nothing more can go back; the hold ends.
            ResetFollow();
            return;
        }
        WaitForHandBack();
        // The hook never saw them again: do not hold keys any longer.
        Lock();
        if (Follow.follow.replaying > 0 && Follow.follow.count == 0) Follow.follow.replaying = 0;
        Unlock();
    }
}
