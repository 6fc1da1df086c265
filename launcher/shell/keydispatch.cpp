// keydispatch.cpp - the key-binding filter of the message loop: a bound key
// press becomes a command, or a registered application's start, sent on
// the window that has the focus, and goes no further.
#include <windows.h>
#include <stdint.h>

#include "../../common/keymap.h"
#include "../commands/commands.h"
#include "../editbox/editbox.h"
#include "shell.h"

int DispatchKeyMessage(const MSG* msg) {
    if (!msg || (msg->message != WM_KEYDOWN && msg->message != WM_SYSKEYDOWN)) return 0;
    if (!EditBox.wnd) return 0;
    uint32_t key = (uint32_t)(msg->wParam & 0xFF);
    // The modifiers held right now; the Windows keys are not part of a binding.
    if (GetAsyncKeyState(VK_CONTROL) & 0x8000) key |= KEY_CTRL;
    if (GetAsyncKeyState(VK_SHIFT) & 0x8000) key |= KEY_SHIFT;
    if (GetAsyncKeyState(VK_MENU) & 0x8000) key |= KEY_ALT;
    uint32_t id = 0;
    switch (MatchKey(key, &id)) {
        case 1:
            SendCommand((int)id, nullptr);
            return 1;
        case 2: {
            CommandTarget target = FocusTarget();
            target.arg = (int)id;
            SendCommand(CMD_RUN_REGAPP, &target);
            return 1;
        }
    }
    return 0;
}
