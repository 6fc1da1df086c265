// targetwin.cpp - a stand-in for a program that vorn captures as its target
// program (/f): a program with a window that is in the foreground when vorn
// starts, and that is later started again with the path to open.
//
// Started without arguments it shows a window (class "vorn_e2e_target", title
// "vorn e2e target") and runs until the window is closed. Started with
// arguments it records how it was started, like recorder.exe, and exits 0: it
// appends its full command line and its current working folder (two lines, CR
// LF) to the file named by VORN_RECORD_FILE, or to "record.txt" beside itself.
#include <windows.h>

#include "record.h"

static const char kClass[] = "vorn_e2e_target";
static const char kTitle[] = "vorn e2e target";

// True when the command line has anything after the program's own name.
static bool HasArguments(void) {
    const char* p = GetCommandLineA();
    if (*p == '"') {
        p++;
        while (*p && *p != '"') p++;
        if (*p == '"') p++;
    } else {
        while (*p && *p != ' ' && *p != '\t') p++;
    }
    while (*p == ' ' || *p == '\t') p++;
    return *p != '\0';
}

static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

static int ShowWindowUntilClosed(HINSTANCE instance) {
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc)) return 1;
    // Away from the top-left corner, where the tests put vorn's box.
    HWND wnd = CreateWindowExA(0, kClass, kTitle, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600, 400, 300, 200,
                               nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    return 0;
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (HasArguments()) return RecordStart();
    return ShowWindowUntilClosed(instance);
}
