// hotkey.cpp - the global hot key that brings the edit box forward.
#include <windows.h>

#include "../../common/settings.h"
#include "../../common/winutil.h"
#include "shell.h"

// hotkey: low byte the virtual key, bits 8-15 the MOD_* flags; 0 is no hot key.
void RegisterAppHotKey(void) {
    if (Settings.hotkey == 0) return;
    UINT modifiers = (Settings.hotkey >> 8) & 0xFF;
    UINT key = Settings.hotkey & 0xFF;
    if (RegisterHotKey(Shell.mainWnd, ID_HOTKEY, modifiers, key)) return;
    ErrorBox(Shell.mainWnd, "HotKeyの登録エラー\r\n常駐設定を解除します");
    // Without a hot key a hidden box could never come back: Esc now ends the
    // program and the after-run rule no longer hides.
    Settings.tray |= TRAY_HOTKEY_FAILED;
}

void UnregisterAppHotKey(void) {
    if (Settings.hotkey != 0) UnregisterHotKey(Shell.mainWnd, ID_HOTKEY);
}
