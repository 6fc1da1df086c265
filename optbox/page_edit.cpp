// page_edit.cpp - "エディット": position and width of vorn's command edit box,
// which can be taken from the running vorn, and its automatic resizing.
#include <windows.h>

#include "common/settings.h"
#include "common/sharednames.h"
#include "optbox/optdata.h"
#include "optbox/optrules.h"
#include "optbox/pages.h"
#include "resources/optbox_res.h"

struct EditBoxSearch {
    HWND owner;
    HWND found;
};

static BOOL CALLBACK FindOwnedEdit(HWND window, LPARAM data) {
    EditBoxSearch* search = (EditBoxSearch*)data;
    char cls[16] = "";
    GetClassNameA(window, cls, sizeof cls);
    if (GetWindow(window, GW_OWNER) == search->owner && lstrcmpiA(cls, "Edit") == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

// The command edit box of the running vorn, or null.
static HWND VornEditBox(void) {
    HWND main = FindWindowExA(HWND_MESSAGE, nullptr, VORN_MAIN_CLASS, nullptr);
    if (!main) main = FindWindowA(VORN_MAIN_CLASS, nullptr);
    if (!main) return nullptr;
    HWND popup = GetLastActivePopup(main);
    if (popup && popup != main) return popup;
    EditBoxSearch search = {main, nullptr};
    EnumWindows(FindOwnedEdit, (LPARAM)&search);
    return search.found;
}

static bool VornEditRect(RECT* rc) {
    HWND box = VornEditBox();
    if (!box) return false;
    WINDOWPLACEMENT place = {};
    place.length = sizeof place;
    if (!GetWindowPlacement(box, &place)) return false;
    *rc = place.rcNormalPosition;
    return true;
}

INT_PTR CALLBACK EditPageProc(HWND page, UINT msg, WPARAM wParam, LPARAM) {
    switch (msg) {
        case WM_INITDIALOG:
            return TRUE;
        case WM_COMMAND: {
            if (HIWORD(wParam) != BN_CLICKED) return FALSE;
            RECT rc;
            if (LOWORD(wParam) == IDC_EDIT_GETPOS) {
                if (VornEditRect(&rc)) {
                    SetNumberField(page, IDC_EDIT_X, rc.left);
                    SetNumberField(page, IDC_EDIT_Y, rc.top);
                }
                return TRUE;
            }
            if (LOWORD(wParam) == IDC_EDIT_GETWIDTH) {
                if (VornEditRect(&rc)) SetNumberField(page, IDC_EDIT_W, rc.right - rc.left);
                return TRUE;
            }
            return FALSE;
        }
    }
    return FALSE;
}

void InitEditPage(HWND page) {
    SetNumberField(page, IDC_EDIT_X, Settings.x);
    SetNumberField(page, IDC_EDIT_Y, Settings.y);
    SetNumberField(page, IDC_EDIT_W, Settings.w);
    SetCheck(page, IDC_EDIT_AUTORESIZE, Settings.autoresize == 1);
}

bool CollectEditPage(HWND page) {
    Settings.x = GetNumberField(page, IDC_EDIT_X, NF_SIGNED);
    Settings.y = GetNumberField(page, IDC_EDIT_Y, NF_SIGNED);
    Settings.w = GetNumberField(page, IDC_EDIT_W, NF_SIGNED);
    Settings.autoresize = IsChecked(page, IDC_EDIT_AUTORESIZE) ? 1 : 0;
    return true;
}
