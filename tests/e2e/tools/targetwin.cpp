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

static const char kClass[] = "vorn_e2e_target";
static const char kTitle[] = "vorn e2e target";

static bool RecordFilePath(char* path, DWORD size) {
    DWORD n = GetEnvironmentVariableA("VORN_RECORD_FILE", path, size);
    if (n > 0 && n < size) return true;
    n = GetModuleFileNameA(nullptr, path, size);
    if (n == 0 || n >= size) return false;
    char* slash = nullptr;
    for (char* p = path; *p; p = CharNextA(p))
        if (*p == '\\' || *p == '/') slash = p;
    const char name[] = "record.txt";
    char* end = slash ? slash + 1 : path;
    if ((DWORD)(end - path) + sizeof name > size) return false;
    lstrcpynA(end, name, (int)sizeof name);
    return true;
}

static bool WriteAll(HANDLE file, const char* data, DWORD len) {
    while (len > 0) {
        DWORD written = 0;
        if (!WriteFile(file, data, len, &written, nullptr) || written == 0) return false;
        data += written;
        len -= written;
    }
    return true;
}

static int Record(void) {
    char path[MAX_PATH * 2];
    if (!RecordFilePath(path, sizeof path)) return 1;
    const char* commandLine = GetCommandLineA();
    char folder[MAX_PATH * 2];
    DWORD folderLen = GetCurrentDirectoryA(sizeof folder, folder);
    if (folderLen >= sizeof folder) folderLen = 0;
    folder[folderLen] = '\0';

    HANDLE file = INVALID_HANDLE_VALUE;
    // Another stand-in may be writing at this moment: retry briefly.
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; attempt++) {
        file = CreateFileA(path, FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                           nullptr, OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) Sleep(10);
    }
    if (file == INVALID_HANDLE_VALUE) return 1;
    bool ok = WriteAll(file, commandLine, (DWORD)lstrlenA(commandLine)) && WriteAll(file, "\r\n", 2) &&
              WriteAll(file, folder, folderLen) && WriteAll(file, "\r\n", 2);
    FlushFileBuffers(file);
    CloseHandle(file);
    return ok ? 0 : 1;
}

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
    if (HasArguments()) return Record();
    return ShowWindowUntilClosed(instance);
}
