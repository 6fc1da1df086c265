// bare_hotkey.cpp - the baseline of hotkey_bench: a hidden one-line edit box
// that a global hot key (Alt+2) shows and brings to the front, and Esc hides.
// Nothing else.
#include <windows.h>

namespace {

enum { BARE_HOTKEY_ID = 1, BARE_HOTKEY_VK = '2' };

HWND Edit;
WNDPROC EditProc;

LRESULT CALLBACK BoxProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_KEYDOWN && wParam == VK_ESCAPE) {
        ShowWindow(wnd, SW_HIDE);
        return 0;
    }
    return CallWindowProcA(EditProc, wnd, msg, wParam, lParam);
}

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_HOTKEY:
            ShowWindow(Edit, SW_SHOWNORMAL);
            SetForegroundWindow(Edit);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = MainProc;
    wc.hInstance = instance;
    wc.lpszClassName = "bare_hotkey";
    RegisterClassA(&wc);
    HWND main = CreateWindowExA(0, wc.lpszClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                instance, nullptr);
    Edit = CreateWindowExA(WS_EX_TOPMOST | WS_EX_TOOLWINDOW | WS_EX_CLIENTEDGE, "EDIT", "",
                           WS_POPUP | ES_AUTOHSCROLL, 100, 100, 500, 24, main, nullptr, instance,
                           nullptr);
    EditProc = (WNDPROC)SetWindowLongPtrA(Edit, GWLP_WNDPROC, (LONG_PTR)BoxProc);
    if (!main || !Edit || !RegisterHotKey(main, BARE_HOTKEY_ID, MOD_ALT, BARE_HOTKEY_VK)) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}
