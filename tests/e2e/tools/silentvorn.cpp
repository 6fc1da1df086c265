// silentvorn.cpp - a stand-in for a running vorn that fails to reload: it holds
// vorn's single-instance mutex and a message-only window of vorn's main class,
// and answers 0 to "WM_RELOAD". It runs until its window gets WM_CLOSE.
#include <windows.h>

#include "../../../common/sharednames.h"

static UINT gReload;

static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (gReload && msg == gReload) return 0;
    if (msg == WM_CLOSE) {
        DestroyWindow(wnd);
        return 0;
    }
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    HANDLE mutex = CreateMutexA(nullptr, TRUE, VORN_INSTANCE_MUTEX);
    if (!mutex) return 2;
    gReload = RegisterWindowMessageA(RELOAD_MESSAGE_NAME);
    WNDCLASSA wc = {};
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.lpszClassName = VORN_MAIN_CLASS;
    if (!RegisterClassA(&wc)) return 2;
    if (!CreateWindowExA(0, VORN_MAIN_CLASS, nullptr, 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, nullptr))
        return 2;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    CloseHandle(mutex);
    return 0;
}
