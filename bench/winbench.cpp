// winbench.cpp - the shared part of the Windows benchmarks (winbench.h).
#include "winbench.h"

#include <stdio.h>
#include <string.h>

#include <algorithm>

double NowMs(void) {
    static LARGE_INTEGER freq;
    if (!freq.QuadPart) QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart * 1000.0 / (double)freq.QuadPart;
}

double MedianOf(std::vector<double>* v) {
    if (v->empty()) return 0;
    std::sort(v->begin(), v->end());
    size_t n = v->size();
    return n % 2 ? (*v)[n / 2] : ((*v)[n / 2 - 1] + (*v)[n / 2]) / 2;
}

int AddKey(INPUT* inputs, int n, WORD vk, bool up) {
    INPUT* in = &inputs[n];
    memset(in, 0, sizeof *in);
    in->type = INPUT_KEYBOARD;
    in->ki.wVk = vk;
    in->ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    in->ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return n + 1;
}

bool TypeAscii(const char* text) {
    size_t len = strlen(text);
    std::vector<INPUT> inputs(len * 2);
    for (size_t i = 0; i < len; i++) {
        for (int up = 0; up < 2; up++) {
            INPUT* in = &inputs[i * 2 + up];
            memset(in, 0, sizeof *in);
            in->type = INPUT_KEYBOARD;
            in->ki.wScan = (WORD)(unsigned char)text[i];
            in->ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
        }
    }
    return len == 0 || SendInput((UINT)inputs.size(), inputs.data(), sizeof(INPUT)) == inputs.size();
}

bool TapVk(WORD vk) {
    INPUT in[2];
    int n = AddKey(in, 0, vk, false);
    n = AddKey(in, n, vk, true);
    return SendInput((UINT)n, in, sizeof(INPUT)) == (UINT)n;
}

bool PressAltKey(WORD vk) {
    INPUT in[4];
    int n = AddKey(in, 0, VK_MENU, false);
    n = AddKey(in, n, vk, false);
    n = AddKey(in, n, vk, true);
    n = AddKey(in, n, VK_MENU, true);
    return SendInput((UINT)n, in, sizeof(INPUT)) == (UINT)n;
}

bool BenchProcess::Start(const char* commandLine, const char* dir) {
    End();
    char cmd[1024];
    snprintf(cmd, sizeof cmd, "%s", commandLine);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    started = CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, 0, nullptr, dir, &si, &pi) != 0;
    return started;
}

static BOOL CALLBACK CloseWindowsOf(HWND wnd, LPARAM pid) {
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner == (DWORD)pid) PostMessageA(wnd, WM_CLOSE, 0, 0);
    return TRUE;
}

void BenchProcess::End(void) {
    if (!started) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        // vorn's main window is message-only: ask it directly, then the rest.
        HWND main = nullptr;
        while ((main = FindWindowExA(HWND_MESSAGE, main, nullptr, nullptr)) != nullptr)
            CloseWindowsOf(main, (LPARAM)pi.dwProcessId);
        EnumWindows(CloseWindowsOf, (LPARAM)pi.dwProcessId);
        if (WaitForSingleObject(pi.hProcess, 3000) == WAIT_TIMEOUT) {
            TerminateProcess(pi.hProcess, 1);
            WaitForSingleObject(pi.hProcess, 3000);
        }
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    pi = PROCESS_INFORMATION{};
    started = false;
}

bool BesideBench(const char* name, char* dst, size_t size) {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n == 0 || n >= sizeof self) return false;
    char* slash = strrchr(self, '\\');
    if (!slash) return false;
    slash[1] = '\0';
    return snprintf(dst, size, "%s%s", self, name) < (int)size;
}

static bool WriteText(const char* path, const char* text) {
    HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    bool ok = WriteFile(h, text, (DWORD)strlen(text), &written, nullptr) && written == strlen(text);
    CloseHandle(h);
    return ok;
}

bool VornFolder(const char* iniText, char* dst, size_t size) {
    static int serial;
    char temp[MAX_PATH], vorn[MAX_PATH], path[MAX_PATH];
    DWORD n = GetTempPathA(sizeof temp, temp);
    if (n == 0 || n >= sizeof temp || !BesideBench("vorn.exe", vorn, sizeof vorn)) return false;
    // Another build of vorn to compare (a before and an after).
    DWORD other = GetEnvironmentVariableA("VORN_BENCH_EXE", path, sizeof path);
    if (other > 0 && other < sizeof path) snprintf(vorn, sizeof vorn, "%s", path);
    snprintf(dst, size, "%svorn_bench_%lu_%d", temp, GetCurrentProcessId(), ++serial);
    CreateDirectoryA(dst, nullptr);
    snprintf(path, sizeof path, "%s\\vorn.exe", dst);
    if (!CopyFileA(vorn, path, FALSE)) return false;
    snprintf(path, sizeof path, "%s\\data", dst);
    CreateDirectoryA(path, nullptr);
    snprintf(path, sizeof path, "%s\\data\\vorn.ini", dst);
    return WriteText(path, iniText);
}

static void RemoveTree(const char* folder) {
    char pattern[MAX_PATH];
    snprintf(pattern, sizeof pattern, "%s\\*", folder);
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA(pattern, &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!strcmp(entry.cFileName, ".") || !strcmp(entry.cFileName, "..")) continue;
            char path[MAX_PATH];
            snprintf(path, sizeof path, "%s\\%s", folder, entry.cFileName);
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(path);
            else
                DeleteFileA(path);
        } while (FindNextFileA(find, &entry));
        FindClose(find);
    }
    RemoveDirectoryA(folder);
}

void RemoveVornFolder(const char* folder) {
    // The process may take a moment to let go of its executable.
    for (int i = 0; i < 20; i++) {
        RemoveTree(folder);
        if (GetFileAttributesA(folder) == INVALID_FILE_ATTRIBUTES) return;
        Sleep(50);
    }
}

struct WindowSearch {
    DWORD pid;
    const char* cls;
    bool visibleOnly;
    HWND found;
};

static BOOL CALLBACK FindWindowOfProcess(HWND wnd, LPARAM param) {
    WindowSearch* s = (WindowSearch*)param;
    DWORD owner = 0;
    GetWindowThreadProcessId(wnd, &owner);
    if (owner != s->pid || (s->visibleOnly && !IsWindowVisible(wnd))) return TRUE;
    char cls[64];
    if (!GetClassNameA(wnd, cls, sizeof cls) || lstrcmpiA(cls, s->cls) != 0) return TRUE;
    s->found = wnd;
    return FALSE;
}

HWND WindowOfProcess(DWORD pid, const char* cls, bool visibleOnly) {
    WindowSearch s = {pid, cls, visibleOnly, nullptr};
    EnumWindows(FindWindowOfProcess, (LPARAM)&s);
    return s.found;
}

bool InFrontWithFocus(HWND window) {
    if (!window || GetForegroundWindow() != window || !IsWindowVisible(window)) return false;
    GUITHREADINFO info = {};
    info.cbSize = sizeof info;
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    return GetGUIThreadInfo(thread, &info) && info.hwndFocus == window;
}

static bool PumpUntilInFront(HWND window, double ms) {
    return PollUntil([&] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        return GetForegroundWindow() == window;
    }, ms);
}

// A left click at the centre of window, as a user brings a window forward
// when a program does not get the foreground handed over.
static bool ClickCentre(HWND window) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    int w = GetSystemMetrics(SM_CXSCREEN) - 1, h = GetSystemMetrics(SM_CYSCREEN) - 1;
    INPUT in[3] = {};
    for (INPUT& i : in) {
        i.type = INPUT_MOUSE;
        i.mi.dx = ((r.left + r.right) / 2) * 65535 / w;
        i.mi.dy = ((r.top + r.bottom) / 2) * 65535 / h;
        i.mi.dwFlags = MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_MOVE;
    }
    in[1].mi.dwFlags |= MOUSEEVENTF_LEFTDOWN;
    in[2].mi.dwFlags |= MOUSEEVENTF_LEFTUP;
    return SendInput(3, in, sizeof(INPUT)) == 3;
}

bool BringToFront(HWND window) {
    if (GetForegroundWindow() == window) return true;
    SetForegroundWindow(window);
    SetFocus(window);
    if (PumpUntilInFront(window, 500)) return true;
    for (int attempt = 0; attempt < 3; attempt++) {
        if (ClickCentre(window) && PumpUntilInFront(window, 1000)) return true;
    }
    return false;
}

// Offers of the focus from the window manager to the away window (Wine
// turns each into WM_MOUSEACTIVATE).
static int AwayOffers;

static LRESULT CALLBACK AwayProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEACTIVATE) AwayOffers++;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

int AwayFocusOffers(void) { return AwayOffers; }

bool WaitAwaySettled(HWND away, int offersBefore) {
    if (!BringToFront(away)) return false;
    PollUntil([&] {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
        return AwayOffers > offersBefore;
    }, 1000);
    return GetForegroundWindow() == away;
}

HWND MakeAwayWindow(void) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = AwayProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = "vorn_bench_away";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, wc.lpszClassName, "bench", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600,
                               600, 300, 200, nullptr, nullptr, wc.hInstance, nullptr);
    if (wnd && !BringToFront(wnd)) {
        DestroyWindow(wnd);
        return nullptr;
    }
    return wnd;
}
