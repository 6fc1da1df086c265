// page_common1.cpp - "共通(1)": the hot key (modifier boxes and a field that
// takes one key press), the resident mode and the tray icon, what follows an
// execution, and the transparency of the inactive box.
#include <windows.h>

#include "common/settings.h"
#include "common/winutil.h"
#include "optbox/optdata.h"
#include "optbox/optrules.h"
#include "optbox/pages.h"
#include "resources/optbox_res.h"

struct Common1State {
    HWND hotkeyEdit;       // the subclassed field, null when not subclassed
    uint32_t pendingKey;   // the key the field shows (0-9, A-Z, F1-F24)
};
static Common1State Common1;

static const struct {
    int id;
    uint32_t bit;
} ModifierBoxes[] = {
    {IDC_HOTKEY_ALT, HK_ALT}, {IDC_HOTKEY_CTRL, HK_CTRL}, {IDC_HOTKEY_SHIFT, HK_SHIFT}, {IDC_HOTKEY_WIN, HK_WIN}};

static uint32_t CheckedModifiers(HWND page) {
    uint32_t modifiers = 0;
    for (const auto& box : ModifierBoxes)
        if (IsChecked(page, box.id)) modifiers |= box.bit;
    return modifiers;
}

static void ShowHotkey(HWND page) {
    char text[64];
    HotkeyText(CheckedModifiers(page), Common1.pendingKey, text, sizeof text);
    SetDlgItemTextA(page, IDC_HOTKEY_EDIT, text);
}

// The field asks for every key; a key it takes becomes the pending key, every
// other key and character is swallowed.
static LRESULT CALLBACK HotkeyEditProc(HWND edit, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_GETDLGCODE:
            return DLGC_WANTALLKEYS;
        case WM_KEYDOWN:
        case WM_SYSKEYDOWN: {
            uint32_t key = HotkeyPendingKey((uint32_t)wParam);
            if (key) {
                Common1.pendingKey = key;
                ShowHotkey(GetParent(edit));
            }
            return 0;
        }
        case WM_KEYUP:
        case WM_SYSKEYUP:
        case WM_CHAR:
        case WM_SYSCHAR:
        case WM_DEADCHAR:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONUP:
        case WM_RBUTTONDBLCLK:
        case WM_CONTEXTMENU:
        case WM_LBUTTONDBLCLK:
        case WM_MOUSEMOVE:
            return 0;
        case WM_LBUTTONDOWN:
            SetFocus(edit);
            return 0;
        case WM_LBUTTONUP:
            return 0;
    }
    return CallSavedProc(edit, msg, wParam, lParam);
}

static void EnableTrayChoice(HWND page) {
    bool resident = IsChecked(page, IDC_RESIDENT_ON);
    EnableWindow(GetDlgItem(page, IDC_TRAY_SHOW), resident);
    EnableWindow(GetDlgItem(page, IDC_TRAY_HIDE), resident);
}

static void OnModifierClicked(HWND page, int id) {
    for (const auto& box : ModifierBoxes) {
        if (box.id != id) continue;
        // The box has toggled already: undo that to know the state before.
        uint32_t before = CheckedModifiers(page) ^ box.bit;
        uint32_t after = HotkeyToggleModifier(before, box.bit);
        SetCheck(page, id, (after & box.bit) != 0);
    }
    ShowHotkey(page);
}

INT_PTR CALLBACK Common1PageProc(HWND page, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND: {
            int id = LOWORD(wParam);
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            if (id == IDC_HOTKEY_ALT || id == IDC_HOTKEY_CTRL || id == IDC_HOTKEY_SHIFT || id == IDC_HOTKEY_WIN)
                OnModifierClicked(page, id);
            else if (id == IDC_RESIDENT_ON || id == IDC_RESIDENT_OFF)
                EnableTrayChoice(page);
            return TRUE;
        }
    }
    return FALSE;
}

void InitCommon1Page(HWND page) {
    uint32_t modifiers = (Settings.hotkey >> 8) & HK_ALL;
    for (const auto& box : ModifierBoxes) SetCheck(page, box.id, (modifiers & box.bit) != 0);
    Common1.pendingKey = HotkeyStoredKey(Settings.hotkey);
    ShowHotkey(page);
    HWND edit = GetDlgItem(page, IDC_HOTKEY_EDIT);
    if (ReplaceWindowProc(edit, HotkeyEditProc)) Common1.hotkeyEdit = edit;

    uint32_t tray = Settings.tray & ~(uint32_t)TRAY_HOTKEY_FAILED;
    CheckRadioButton(page, IDC_RESIDENT_ON, IDC_RESIDENT_OFF, tray == 0 ? IDC_RESIDENT_OFF : IDC_RESIDENT_ON);
    CheckRadioButton(page, IDC_TRAY_SHOW, IDC_TRAY_HIDE, tray == 1 ? IDC_TRAY_SHOW : IDC_TRAY_HIDE);
    EnableTrayChoice(page);

    int exemode = Settings.exemode == 2 ? IDC_EXEMODE_MINIMIZE
                  : Settings.exemode == 0 ? IDC_EXEMODE_EXIT
                                          : IDC_EXEMODE_KEEP;
    CheckRadioButton(page, IDC_EXEMODE_MINIMIZE, IDC_EXEMODE_KEEP, exemode);

    SetSpinRange(page, IDC_ALPHA_SPIN, 10, 100);
    SetNumberField(page, IDC_ALPHA, Settings.alpha);
}

bool CollectCommon1Page(HWND page) {
    Settings.hotkey = HotkeyValue(CheckedModifiers(page), Common1.pendingKey);
    uint32_t mark = Settings.tray & TRAY_HOTKEY_FAILED;
    if (IsChecked(page, IDC_RESIDENT_OFF)) Settings.tray = 0 | mark;
    else Settings.tray = (IsChecked(page, IDC_TRAY_SHOW) ? 1 : 2) | mark;
    if (IsChecked(page, IDC_EXEMODE_MINIMIZE)) Settings.exemode = 2;
    else if (IsChecked(page, IDC_EXEMODE_EXIT)) Settings.exemode = 0;
    else Settings.exemode = 1;
    // The record keeps one byte: a larger number is kept as the largest byte,
    // which validation then replaces, instead of wrapping into a valid value.
    int32_t alpha = GetNumberField(page, IDC_ALPHA, NF_COUNT);
    Settings.alpha = (uint8_t)(alpha > 255 ? 255 : alpha);
    return true;
}

void CleanupCommon1Page(HWND) {
    if (Common1.hotkeyEdit) RestoreWindowProc(Common1.hotkeyEdit);
    Common1.hotkeyEdit = nullptr;
}
