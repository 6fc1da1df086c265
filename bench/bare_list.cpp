// bare_list.cpp - the baseline of list_refresh_bench: a one-line edit box over
// a bare virtual (owner-data) list view of N names "f00000.txt" ...; each
// change of the text keeps the names that contain it (a plain substring scan)
// and tells the list view the new number of rows. Nothing else: no icons, no
// colours, no placement.
//
//   bare_list [N]
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

enum { NAME_SIZE = 16 };

struct Bare {
    HWND edit, list;
    std::vector<char> names;   // N names of NAME_SIZE bytes
    std::vector<int> shown;    // indexes of the names on show
    int count;
} B;

const char* NameAt(int i) { return &B.names[(size_t)i * NAME_SIZE]; }

void Refilter(void) {
    char text[64];
    GetWindowTextA(B.edit, text, sizeof text);
    B.shown.clear();
    for (int i = 0; i < B.count; i++)
        if (!text[0] || strstr(NameAt(i), text)) B.shown.push_back(i);
    SendMessageA(B.list, LVM_SETITEMCOUNT, B.shown.size(), 0);
}

LRESULT CALLBACK OwnerProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COMMAND:
            if ((HWND)lParam == B.edit && HIWORD(wParam) == EN_CHANGE) Refilter();
            return 0;
        case WM_NOTIFY: {
            NMHDR* h = (NMHDR*)lParam;
            if (h->hwndFrom == B.list && h->code == LVN_GETDISPINFOA) {
                LVITEMA& it = ((NMLVDISPINFOA*)lParam)->item;
                if ((it.mask & LVIF_TEXT) && it.iItem >= 0 && it.iItem < (int)B.shown.size())
                    lstrcpynA(it.pszText, NameAt(B.shown[(size_t)it.iItem]), it.cchTextMax);
            }
            return 0;
        }
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR cmdLine, int) {
    B.count = cmdLine && atoi(cmdLine) > 0 ? atoi(cmdLine) : 20000;
    B.names.resize((size_t)B.count * NAME_SIZE);
    for (int i = 0; i < B.count; i++) snprintf(&B.names[(size_t)i * NAME_SIZE], NAME_SIZE, "f%05d.txt", i);

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&controls);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = OwnerProc;
    wc.hInstance = instance;
    wc.lpszClassName = "bare_list_owner";
    RegisterClassA(&wc);
    HWND owner = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 0, 0,
                                 nullptr, nullptr, instance, nullptr);
    B.edit = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE, "EDIT", "",
                             WS_POPUP | ES_AUTOHSCROLL, 100, 100, 900, 24, owner, nullptr, instance,
                             nullptr);
    // The edit box sends its notifications to its owner.
    B.list = CreateWindowExA(WS_EX_TOOLWINDOW, WC_LISTVIEWA, "",
                             WS_POPUP | WS_BORDER | WS_VSCROLL | LVS_REPORT | LVS_OWNERDATA |
                                 LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS,
                             160, 124, 200, 25 * 15 + 4, owner, nullptr, instance, nullptr);
    LVCOLUMNA col = {};
    col.mask = LVCF_WIDTH;
    col.cx = 170;
    SendMessageA(B.list, LVM_INSERTCOLUMNA, 0, (LPARAM)&col);
    Refilter();
    ShowWindow(B.list, SW_SHOWNA);
    ShowWindow(B.edit, SW_SHOW);
    SetForegroundWindow(B.edit);
    SetFocus(B.edit);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
