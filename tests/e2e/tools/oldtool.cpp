// oldtool.cpp - a stand-in for the rename and delete companion that answers
// vorn with version 2. It records what it is told (record file of record.h):
// one line "copydata <kind> <text>" for the record and "closed" for WM_CLOSE,
// into the file named by VORN_RECORD_FILE; then it ends. By itself it ends
// after 30 seconds.
#include <windows.h>

#include <stdio.h>

#include "../../../common/sharednames.h"

static void Append(const char* line) {
    char path[MAX_PATH * 2];
    DWORD n = GetEnvironmentVariableA("VORN_RECORD_FILE", path, sizeof path);
    if (n == 0 || n >= sizeof path) return;
    HANDLE file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    char text[1300];
    int len = snprintf(text, sizeof text, "%s\r\n", line);
    DWORD written = 0;
    if (len > 0) WriteFile(file, text, (DWORD)len, &written, nullptr);
    CloseHandle(file);
}

static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_COPYDATA: {
            const COPYDATASTRUCT* cds = (const COPYDATASTRUCT*)lParam;
            char line[1200];
            const char* text = (const char*)cds->lpData;
            bool ok = cds->cbData > 0 && text[cds->cbData - 1] == '\0' && cds->cbData < 1100;
            snprintf(line, sizeof line, "copydata %lu %s", (unsigned long)cds->dwData,
                     ok ? text : "<bad>");
            Append(line);
            return TRUE;
        }
        case WM_CLOSE:
            Append("closed");
            DestroyWindow(wnd);
            return 0;
        case WM_TIMER:
            DestroyWindow(wnd);
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "vorn_test_oldtool";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowA("vorn_test_oldtool", "old", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr,
                             instance, nullptr);
    if (!wnd) return 1;
    SetTimer(wnd, 1, 30000, nullptr);
    HWND vorn = FindWindowExA(HWND_MESSAGE, nullptr, VORN_MAIN_CLASS, nullptr);
    if (vorn) PostMessageA(vorn, RegisterWindowMessageA(TOOLS_MESSAGE_NAME), (WPARAM)wnd, 2);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
