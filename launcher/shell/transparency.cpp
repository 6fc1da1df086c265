// transparency.cpp - layered (semi-transparent) edit box and list windows, and
// enabling or disabling all of them while an outside tool runs.
#include <windows.h>

#include "../../common/settings.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "shell.h"

static bool TransparencyInUse(void) { return Settings.alpha != 100; }

void SetLayered(HWND wnd, bool on) {
    if (TransparencyInUse()) SetLayeredStyle(wnd, on);
}

void SetLayeredStyle(HWND wnd, bool on) {
    if (!wnd) return;
    LONG_PTR style = GetWindowLongPtrA(wnd, GWL_EXSTYLE);
    if (on) {
        SetWindowLongPtrA(wnd, GWL_EXSTYLE, style | WS_EX_LAYERED);
        return;
    }
    SetWindowLongPtrA(wnd, GWL_EXSTYLE, style & ~(LONG_PTR)WS_EX_LAYERED);
    RedrawWindow(wnd, nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

// Constant alpha only, never a colour key: alpha percent of 255, or opaque.
void SetTransparency(HWND wnd, bool on) {
    if (!TransparencyInUse() || !wnd) return;
    int alpha = on ? Settings.alpha * 255 / 100 : 255;
    if (alpha > 255) alpha = 255;
    SetLayeredWindowAttributes(wnd, 0, (BYTE)alpha, LWA_ALPHA);
}

static void SetListTransparency(HWND wnd, void* on) { SetTransparency(wnd, *(bool*)on); }

void SetTransparencyAll(bool on) {
    if (!TransparencyInUse()) return;
    SetTransparency(EditBox.wnd, on);
    ForEachListWindow(SetListTransparency, &on);
}

static void EnableListWindow(HWND wnd, void* enable) { EnableWindow(wnd, *(BOOL*)enable); }

void EnableAll(bool on) {
    BOOL enable = on ? TRUE : FALSE;
    ForEachListWindow(EnableListWindow, &enable);
    if (EditBox.wnd) EnableWindow(EditBox.wnd, on ? TRUE : FALSE);
}
