// harness.cpp - the helpers of harness.h.
#include "tests/e2e/harness.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <vector>

namespace {

// The mutex and class by which a running primary vorn is recognised.
const char kFocusClass[] = "vorn_e2e_focus";

HWND gFocusWnd = nullptr;
HANDLE gJob = nullptr;
unsigned gFolderCounter = 0;

// Byte offset of the last '\' of a code-page-932 path, or -1 (a '\' can be the
// trail byte of a double-byte character, so lead bytes are skipped).
int LastSeparator(const char* path) {
    int last = -1;
    for (int i = 0; path[i] != '\0'; i++) {
        if (IsDBCSLeadByte((BYTE)path[i]) && path[i + 1] != '\0') {
            i++;
            continue;
        }
        if (path[i] == '\\') last = i;
    }
    return last;
}

// Every vorn the tests start runs in this job, which ends them all when the
// test program ends, even when it is killed (a time-out of the test runner):
// a left-over instance would own the single-instance mutex of later tests.
HANDLE TestJob(void) {
    if (gJob == nullptr) {
        gJob = CreateJobObjectA(nullptr, nullptr);
        if (gJob == nullptr) return nullptr;
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
        memset(&limits, 0, sizeof(limits));
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(gJob, JobObjectExtendedLimitInformation, &limits, sizeof(limits));
    }
    return gJob;
}

// The temp folder (with its trailing separator).
const char* TempFolder(void) {
    static char temp[MAX_PATH];
    if (temp[0] == '\0') {
        DWORD n = GetTempPathA(sizeof(temp), temp);
        if (n == 0 || n >= sizeof(temp)) snprintf(temp, sizeof(temp), "C:\\");
    }
    return temp;
}

struct EditSearch {
    DWORD pid;
    HWND found;
};

BOOL CALLBACK FindEditProc(HWND wnd, LPARAM lParam) {
    EditSearch* search = (EditSearch*)lParam;
    if (WindowProcessId(wnd) != search->pid) return TRUE;
    char cls[64];
    if (GetClassNameA(wnd, cls, sizeof(cls)) == 0) return TRUE;
    if (lstrcmpiA(cls, "Edit") != 0) return TRUE;
    search->found = wnd;
    return FALSE;
}

// Under an X window manager Wine hears of a new window's focus only after the
// window manager has mapped it and offered it the focus (WM_TAKE_FOCUS, which
// Wine turns into WM_MOUSEACTIVATE). Until then the window may take the
// foreground back from whatever was activated in between.
int gFocusOffers = 0;

LRESULT CALLBACK FocusWndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_MOUSEACTIVATE) gFocusOffers++;
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// Keys that need the extended flag to arrive as the keys they name.
bool IsExtendedKey(WORD vk) {
    switch (vk) {
    case VK_LEFT: case VK_RIGHT: case VK_UP: case VK_DOWN:
    case VK_HOME: case VK_END: case VK_PRIOR: case VK_NEXT:
    case VK_INSERT: case VK_DELETE: case VK_DIVIDE: case VK_NUMLOCK:
    case VK_RCONTROL: case VK_RMENU: case VK_LWIN: case VK_RWIN: case VK_APPS:
        return true;
    default:
        return false;
    }
}

void KeyInput(INPUT* in, WORD vk, bool up) {
    memset(in, 0, sizeof(*in));
    in->type = INPUT_KEYBOARD;
    in->ki.wVk = vk;
    in->ki.wScan = (WORD)MapVirtualKeyA(vk, MAPVK_VK_TO_VSC);
    in->ki.dwFlags = (IsExtendedKey(vk) ? KEYEVENTF_EXTENDEDKEY : 0) | (up ? KEYEVENTF_KEYUP : 0);
}

// The settings file's keys in file order, with their default values.
struct IniRow {
    const char* section;
    const char* key;
    const char* value;
};

#define VORN_E2E_COLOURS(sec)                                                            \
    {sec, "fldclass", "1"}, {sec, "fldbkcolor", "13816530"}, {sec, "fldftcolor", "0"}, \
        {sec, "filbkcolor", "16777215"}, {sec, "filftcolor", "0"}

const IniRow kIniRows[] = {
    {"common", "hotkey", "305"},
    {"common", "tray", "1"},
    {"common", "t_macro", "%H:%M:%S"},
    {"common", "linemax", "25"},
    {"common", "listwmax", "0"},
    {"common", "icon", "0"},
    {"common", "exemode", "1"},
    {"common", "migemo", "0"},
    {"common", "migemomode", "0"},
    {"common", "migemo_path", ""},
    {"common", "alpha", "100"},
    {"edit", "x", "0"},
    {"edit", "y", "0"},
    {"edit", "w", "70"},
    {"edit", "ftsize", "12"},
    {"edit", "autoresize", "1"},
    {"edit", "aligns", "0"},
    {"regapp", "showpos", "0"},
    VORN_E2E_COLOURS("path"),
    {"path", "typoctr", "1"},
    {"path", "inputmode", "0"},
    VORN_E2E_COLOURS("exp"),
    VORN_E2E_COLOURS("his"),
    {"his", "size", "20"},
    {"def", "direct", "0"},
    VORN_E2E_COLOURS("def"),
    VORN_E2E_COLOURS("fav"),
    VORN_E2E_COLOURS("search"),
    {"search", "subfolder", "0"},
    {"search", "keep", "1"},
    {"prev", "rsize", "2000"},
    {"prev", "bkcolor", "16777215"},
    {"prev", "ftcolor", "0"},
    {"prev", "width", "250"},
    {"prev", "height", "250"},
    {"prev", "spi_path", ""},
};

#undef VORN_E2E_COLOURS

}  // namespace

// --- Waiting ----------------------------------------------------------------------

void PumpMessages(DWORD ms) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    MsgWaitForMultipleObjects(0, nullptr, FALSE, ms, QS_ALLINPUT);
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool WaitHandle(HANDLE handle, DWORD ms) {
    DWORD start = GetTickCount();
    for (;;) {
        DWORD spent = GetTickCount() - start;
        DWORD left = spent >= ms ? 0 : ms - spent;
        DWORD r = MsgWaitForMultipleObjects(1, &handle, FALSE, left, QS_ALLINPUT);
        if (r == WAIT_OBJECT_0) return true;
        if (r != WAIT_OBJECT_0 + 1) return WaitForSingleObject(handle, 0) == WAIT_OBJECT_0;
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
    }
}

// --- Files and folders --------------------------------------------------------

const char* VornExePath(void) {
    static char path[MAX_PATH];
    if (path[0] == '\0') {
        char self[MAX_PATH];
        DWORD n = GetModuleFileNameA(nullptr, self, sizeof(self));
        if (n == 0 || n >= sizeof(self)) return path;
        int sep = LastSeparator(self);
        self[sep + 1] = '\0';
        snprintf(path, sizeof(path), "%svorn.exe", self);
    }
    return path;
}

bool FreshFolder(char* dst, size_t dstSize) {
    for (int attempt = 0; attempt < 100; attempt++) {
        int n = snprintf(dst, dstSize, "%svorn_e2e_%lu_%u", TempFolder(),
                         (unsigned long)GetCurrentProcessId(), ++gFolderCounter);
        if (n < 0 || (size_t)n >= dstSize) return false;
        if (CreateDirectoryA(dst, nullptr)) {
            std::string exe = PathIn(dst, "vorn.exe");
            if (CopyFileA(VornExePath(), exe.c_str(), FALSE)) return true;
            RemoveFolderTree(dst);
            return false;
        }
        if (GetLastError() != ERROR_ALREADY_EXISTS) return false;
    }
    return false;
}

static bool RemoveTreeOnce(const char* folder) {
    std::string pattern = PathIn(folder, "*");
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA(pattern.c_str(), &fd);
    bool ok = true;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (strcmp(fd.cFileName, ".") == 0 || strcmp(fd.cFileName, "..") == 0) continue;
            std::string child = PathIn(folder, fd.cFileName);
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                if (!RemoveTreeOnce(child.c_str())) ok = false;
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                if (!DeleteFileA(child.c_str())) ok = false;
            }
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    if (!RemoveDirectoryA(folder)) ok = false;
    return ok;
}

bool RemoveFolderTree(const char* folder) {
    if (folder == nullptr || folder[0] == '\0') return true;
    // A program that has just ended may hold its files for a moment longer.
    return WaitFor([&] { return RemoveTreeOnce(folder) || !PathExists(folder); }, 2000);
}

std::string PathIn(const char* folder, const char* relative) {
    std::string path = folder;
    if (!path.empty() && path.back() != '\\') path += '\\';
    path += relative;
    return path;
}

bool PathExists(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteFileBytes(const char* path, const std::string& bytes) {
    HANDLE file = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = bytes.empty() || WriteFile(file, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(file);
    return ok && written == bytes.size();
}

bool ReadFileBytes(const char* path, std::string* out) {
    out->clear();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    char chunk[4096];
    DWORD got = 0;
    bool ok = true;
    for (;;) {
        if (!ReadFile(file, chunk, sizeof(chunk), &got, nullptr)) {
            ok = false;
            break;
        }
        if (got == 0) break;
        out->append(chunk, got);
    }
    CloseHandle(file);
    return ok;
}

bool WriteDataFile(const char* folder, const char* name, const std::string& bytes) {
    std::string data = PathIn(folder, "data");
    if (!CreateDirectoryA(data.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
    return WriteFileBytes(PathIn(data.c_str(), name).c_str(), bytes);
}

std::string ReadDataFile(const char* folder, const char* name) {
    std::string bytes;
    std::string path = PathIn(PathIn(folder, "data").c_str(), name);
    ReadFileBytes(path.c_str(), &bytes);
    return bytes;
}

std::string IniWith(std::initializer_list<const char*> overrides) {
    size_t used = 0;
    std::string text;
    const char* section = "";
    for (const IniRow& row : kIniRows) {
        if (strcmp(row.section, section) != 0) {
            section = row.section;
            text += "[";
            text += section;
            text += "]\r\n";
        }
        std::string name = std::string(row.section) + "." + row.key + "=";
        const char* value = row.value;
        for (const char* o : overrides) {
            if (strncmp(o, name.c_str(), name.size()) == 0) {
                value = o + name.size();
                used++;
            }
        }
        text += row.key;
        text += "=";
        text += value;
        text += "\r\n";
    }
    if (used != overrides.size()) return std::string();
    return text;
}

// --- Windows of vorn ------------------------------------------------------------

DWORD WindowProcessId(HWND window) {
    DWORD pid = 0;
    if (window == nullptr || !GetWindowThreadProcessId(window, &pid)) return 0;
    return pid;
}

std::string WindowClass(HWND window) {
    char cls[256];
    if (window == nullptr || GetClassNameA(window, cls, sizeof(cls)) == 0) return std::string();
    return cls;
}

HWND FindMessageWindow(const char* className, DWORD pid) {
    HWND wnd = nullptr;
    while ((wnd = FindWindowExA(HWND_MESSAGE, wnd, className, nullptr)) != nullptr) {
        if (WindowProcessId(wnd) == pid) return wnd;
    }
    return nullptr;
}

HWND FindEditBox(DWORD pid) {
    EditSearch search = {pid, nullptr};
    EnumWindows(FindEditProc, (LPARAM)&search);
    return search.found;
}

std::string WindowText(HWND window) {
    char text[1024] = {};
    DWORD_PTR result = 0;
    if (window == nullptr) return std::string();
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), (LPARAM)text, SMTO_ABORTIFHUNG, 2000, &result))
        return std::string();
    text[sizeof(text) - 1] = '\0';
    return text;
}

bool EditSelection(HWND edit, DWORD* start, DWORD* end) {
    DWORD_PTR result = 0;
    *start = *end = 0;
    if (edit == nullptr) return false;
    if (!SendMessageTimeoutA(edit, EM_GETSEL, 0, 0, SMTO_ABORTIFHUNG, 2000, &result)) return false;
    *start = LOWORD(result);
    *end = HIWORD(result);
    return true;
}

bool HasFocus(HWND window) {
    if (window == nullptr || GetForegroundWindow() != window) return false;
    GUITHREADINFO info;
    memset(&info, 0, sizeof(info));
    info.cbSize = sizeof(info);
    DWORD thread = GetWindowThreadProcessId(window, nullptr);
    if (!GetGUIThreadInfo(thread, &info)) return false;
    return info.hwndFocus == window;
}

bool SettledFocus(HWND window) {
    DWORD since = 0;
    return WaitFor([&] {
        if (!HasFocus(window)) return (since = 0), false;
        if (!since) since = GetTickCount();
        return GetTickCount() - since >= E2E_SETTLE_MS;
    });
}

// --- Input ------------------------------------------------------------------------

namespace {

// Appends text as Unicode key presses (down and up) to inputs.
void AddUnicodeKeys(std::vector<INPUT>* inputs, const wchar_t* text) {
    for (const wchar_t* c = text; *c; c++) {
        for (int up = 0; up < 2; up++) {
            INPUT in;
            memset(&in, 0, sizeof in);
            in.type = INPUT_KEYBOARD;
            in.ki.wScan = (WORD)*c;
            in.ki.dwFlags = KEYEVENTF_UNICODE | (up ? KEYEVENTF_KEYUP : 0);
            inputs->push_back(in);
        }
    }
}

bool SendInputs(std::vector<INPUT>* inputs) {
    return inputs->empty() ||
           SendInput((UINT)inputs->size(), inputs->data(), sizeof(INPUT)) == inputs->size();
}

}  // namespace

bool TypeTextW(const wchar_t* text) {
    std::vector<INPUT> inputs;
    AddUnicodeKeys(&inputs, text);
    return SendInputs(&inputs);
}

bool TypeText(const char* text) {
    wchar_t wide[1024];
    int n = MultiByteToWideChar(CP_ACP, 0, text, -1, wide, sizeof(wide) / sizeof(wide[0]));
    if (n <= 0) return false;
    return TypeTextW(wide);
}

namespace {

const struct {
    unsigned bit;
    WORD vk;
} kModifierKeys[] = {{KEY_CTRL, VK_CONTROL}, {KEY_SHIFT, VK_SHIFT}, {KEY_ALT, VK_MENU}};
const int kModifierCount = sizeof(kModifierKeys) / sizeof(kModifierKeys[0]);

UINT AddModifiers(INPUT* inputs, UINT n, unsigned modifiers, bool up) {
    for (int i = 0; i < kModifierCount; i++) {
        int k = up ? kModifierCount - 1 - i : i;
        if (modifiers & kModifierKeys[k].bit) KeyInput(&inputs[n++], kModifierKeys[k].vk, up);
    }
    return n;
}

}  // namespace

bool PressKey(WORD vk, unsigned modifiers) {
    INPUT inputs[8];
    UINT n = AddModifiers(inputs, 0, modifiers, false);
    KeyInput(&inputs[n++], vk, false);
    KeyInput(&inputs[n++], vk, true);
    n = AddModifiers(inputs, n, modifiers, true);
    return SendInput(n, inputs, sizeof(INPUT)) == n;
}

bool PressKeyThenType(WORD vk, unsigned modifiers, const char* text) {
    wchar_t wide[1024];
    if (MultiByteToWideChar(CP_ACP, 0, text, -1, wide, sizeof(wide) / sizeof(wide[0])) <= 0)
        return false;
    INPUT keys[8];
    UINT n = AddModifiers(keys, 0, modifiers, false);
    KeyInput(&keys[n++], vk, false);
    KeyInput(&keys[n++], vk, true);
    n = AddModifiers(keys, n, modifiers, true);
    std::vector<INPUT> inputs(keys, keys + n);
    AddUnicodeKeys(&inputs, wide);
    return SendInputs(&inputs);
}

bool PressModifiers(unsigned modifiers) {
    INPUT inputs[4];
    UINT n = AddModifiers(inputs, 0, modifiers, false);
    return n == 0 || SendInput(n, inputs, sizeof(INPUT)) == n;
}

bool ReleaseModifiers(unsigned modifiers) {
    INPUT inputs[4];
    UINT n = AddModifiers(inputs, 0, modifiers, true);
    return n == 0 || SendInput(n, inputs, sizeof(INPUT)) == n;
}

bool ModifiersHeld(unsigned modifiers) {
    for (int i = 0; i < kModifierCount; i++) {
        if ((modifiers & kModifierKeys[i].bit) && !(GetAsyncKeyState(kModifierKeys[i].vk) & 0x8000)) return false;
    }
    return true;
}

bool TapKey(WORD vk) {
    INPUT inputs[2];
    KeyInput(&inputs[0], vk, false);
    KeyInput(&inputs[1], vk, true);
    return SendInput(2, inputs, sizeof(INPUT)) == 2;
}

bool SettleModifiers(unsigned modifiers) {
    if (modifiers == 0) return true;
    if (!PressModifiers(modifiers)) return false;
    DWORD start = GetTickCount(), quietSince = start;
    for (;;) {
        PumpMessages(E2E_POLL_MS);
        DWORD now = GetTickCount();
        if (!ModifiersHeld(modifiers)) {
            if (!PressModifiers(modifiers)) return false;
            quietSince = now;
        } else if (now - quietSince >= E2E_SETTLE_MS) {
            return true;
        }
        if (now - start >= E2E_WAIT_MS) return false;
    }
}

namespace {

void MouseInput(INPUT* in, int x, int y, DWORD flags) {
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    memset(in, 0, sizeof(*in));
    in->type = INPUT_MOUSE;
    in->mi.dx = (LONG)((x * 65535LL) / (sw > 1 ? sw - 1 : 1));
    in->mi.dy = (LONG)((y * 65535LL) / (sh > 1 ? sh - 1 : 1));
    in->mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
}

}  // namespace

bool ParkPointer(void) {
    INPUT in;
    MouseInput(&in, GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1, MOUSEEVENTF_MOVE);
    return SendInput(1, &in, sizeof(INPUT)) == 1;
}

bool ClickWindow(HWND window) {
    RECT r;
    if (!GetWindowRect(window, &r)) return false;
    int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
    INPUT inputs[4];
    // The press and the release carry the position too: without it they
    // happen wherever Wine believes the pointer is, and a late report of the
    // pointer's earlier place (the corner it was parked in) sends them there.
    MouseInput(&inputs[0], x, y, MOUSEEVENTF_MOVE);
    MouseInput(&inputs[1], x, y, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTDOWN);
    MouseInput(&inputs[2], x, y, MOUSEEVENTF_MOVE | MOUSEEVENTF_LEFTUP);
    MouseInput(&inputs[3], GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1, MOUSEEVENTF_MOVE);
    return SendInput(4, inputs, sizeof(INPUT)) == 4;
}

static ::testing::AssertionResult FocusAwayOnce(void) {
    if (gFocusWnd == nullptr || !IsWindow(gFocusWnd)) {
        static bool registered = false;
        HINSTANCE inst = GetModuleHandleA(nullptr);
        if (!registered) {
            WNDCLASSA wc;
            memset(&wc, 0, sizeof(wc));
            wc.lpfnWndProc = FocusWndProc;
            wc.hInstance = inst;
            wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
            wc.lpszClassName = kFocusClass;
            registered = RegisterClassA(&wc) != 0;
            if (!registered) return ::testing::AssertionFailure() << "cannot register the focus window's class";
        }
        // Away from where the tests put vorn's box (the top-left area).
        gFocusOffers = 0;
        gFocusWnd = CreateWindowExA(0, kFocusClass, "e2e focus", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                    700, 500, 320, 200, nullptr, nullptr, inst, nullptr);
        if (gFocusWnd == nullptr) return ::testing::AssertionFailure() << "cannot create the focus window";
        ::testing::AssertionResult active = Activate(gFocusWnd);
        if (!active) return active;
        // Let the window manager's offer of the focus arrive before anything
        // else is activated (without a window manager none comes: then the
        // wait just ends).
        WaitFor([] { return gFocusOffers > 0; }, 1000);
    }
    return Activate(gFocusWnd);
}

::testing::AssertionResult FocusAway(void) {
    ::testing::AssertionResult away = FocusAwayOnce();
    if (away) return away;
    // The window manager may keep the focus on a window it has just mapped
    // (Wine's own notification-area window, when vorn hides into the tray)
    // and refuse a request of ours that it takes for older; a window mapped
    // after that one gets the focus from it.
    DestroyFocusWindow();
    return FocusAwayOnce();
}

::testing::AssertionResult FocusAwaySettled(void) {
    int offers = gFocusOffers;
    ::testing::AssertionResult away = FocusAway();
    if (!away) return away;
    // The window manager hands the focus over a moment later: let it arrive,
    // or its late focus change would take the foreground back from whatever
    // comes to the front next (without a window manager the wait just ends).
    WaitFor([&] { return gFocusOffers > offers; }, 1000);
    return ::testing::AssertionSuccess();
}

void DestroyFocusWindow(void) {
    if (gFocusWnd != nullptr) DestroyWindow(gFocusWnd);
    gFocusWnd = nullptr;
    PumpMessages(0);
}

::testing::AssertionResult Activate(HWND window) {
    if (window == nullptr) return ::testing::AssertionFailure() << "no window to activate";
    SetForegroundWindow(window);
    if (WindowProcessId(window) == GetCurrentProcessId()) SetFocus(window);
    if (WaitFor([&] { return GetForegroundWindow() == window; }, 1500)) return ::testing::AssertionSuccess();
    // Wine does not always hand the foreground to another process's window
    // (a layered one above all) on SetForegroundWindow; a click on it does, as
    // it would for a user.
    for (int attempt = 0; attempt < 2; attempt++) {
        if (!ClickWindow(window)) break;
        if (WaitFor([&] { return GetForegroundWindow() == window; }, 1500)) return ::testing::AssertionSuccess();
    }
    HWND fg = GetForegroundWindow();
    RECT r = {0, 0, 0, 0};
    if (fg) GetWindowRect(fg, &r);
    return ::testing::AssertionFailure() << "the window (" << WindowClass(window) << ") did not come to the front; "
                                         << "the foreground is " << (fg ? WindowClass(fg) : std::string("none"))
                                         << " of process " << WindowProcessId(fg) << " at " << r.left << ","
                                         << r.top << "-" << r.right << "," << r.bottom;
}

bool StartTestProgram(char* cmd, DWORD flags, const char* dir, PROCESS_INFORMATION* pi) {
    for (int attempt = 0; attempt < 3; attempt++) {
        STARTUPINFOA si;
        memset(&si, 0, sizeof(si));
        si.cb = sizeof(si);
        if (CreateProcessA(nullptr, cmd, nullptr, nullptr, FALSE, flags, nullptr, dir, &si, pi)) return true;
        if (GetLastError() != ERROR_INTERNAL_ERROR) return false;
    }
    return false;
}

// --- A started vorn -----------------------------------------------------------------

VornProcess::~VornProcess() { Kill(); }

bool VornProcess::Start(const char* folder, const char* args) {
    if (started) return false;
    char cmd[2048];
    int n = snprintf(cmd, sizeof(cmd), "\"%s\"%s%s", PathIn(folder, "vorn.exe").c_str(),
                     (args && args[0]) ? " " : "", args ? args : "");
    if (n < 0 || (size_t)n >= sizeof(cmd)) return false;
    // Started suspended so that it is in the job before it runs a single
    // instruction (programs it starts then belong to the job, too).
    if (!StartTestProgram(cmd, CREATE_SUSPENDED, TempFolder(), &pi)) return false;
    HANDLE job = TestJob();
    if (job != nullptr) AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
    started = true;
    return true;
}

bool VornProcess::WaitExit(DWORD ms, DWORD* code) {
    if (!started) return false;
    if (!WaitHandle(pi.hProcess, ms)) return false;
    DWORD c = 0;
    if (!GetExitCodeProcess(pi.hProcess, &c)) return false;
    if (code) *code = c;
    return true;
}

bool VornProcess::Alive(void) const {
    return started && WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT;
}

HWND VornProcess::MainWindow(void) const {
    if (!started) return nullptr;
    HWND wnd = FindMessageWindow(VORN_MAIN_CLASS, pi.dwProcessId);
    if (wnd == nullptr) wnd = FindMessageWindow(VORN_SECOND_CLASS, pi.dwProcessId);
    return wnd;
}

HWND VornProcess::EditBox(void) const { return started ? FindEditBox(pi.dwProcessId) : nullptr; }

std::string VornProcess::EditText(void) const { return WindowText(EditBox()); }

DWORD VornProcess::Caret(void) const {
    DWORD start = 0, end = 0;
    EditSelection(EditBox(), &start, &end);
    return end;
}

bool VornProcess::BoxVisible(void) const {
    HWND box = EditBox();
    return box != nullptr && IsWindowVisible(box);
}

bool VornProcess::BoxFocused(void) const { return HasFocus(EditBox()); }

bool VornProcess::Close(DWORD ms, DWORD* code) {
    HWND main = MainWindow();
    if (main == nullptr || !PostMessageA(main, WM_CLOSE, 0, 0)) return false;
    return WaitExit(ms, code);
}

void VornProcess::Kill(void) {
    if (!started) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        HWND main = MainWindow();
        if (main != nullptr) PostMessageA(main, WM_CLOSE, 0, 0);
        if (!WaitHandle(pi.hProcess, 2000)) {
            TerminateProcess(pi.hProcess, 99);
            WaitHandle(pi.hProcess, 5000);
        }
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    memset(&pi, 0, sizeof(pi));
    started = false;
}

// --- Fixture --------------------------------------------------------------------------

void VornTest::SetUp() {
    ASSERT_TRUE(PathExists(VornExePath())) << "vorn.exe is not beside the test program: " << VornExePath();
    // A vorn left running (by another program, or by a run that was killed)
    // would receive the hand-over of every start: nothing here could be trusted.
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, VORN_INSTANCE_MUTEX);
    if (mutex != nullptr) CloseHandle(mutex);
    ASSERT_EQ(mutex, nullptr) << "another vorn instance is running in this Wine prefix";
    ASSERT_EQ(FindWindowExA(HWND_MESSAGE, nullptr, VORN_MAIN_CLASS, nullptr), nullptr)
        << "a vorn main window exists before the test started";
    ASSERT_TRUE(FreshFolder(folder, sizeof(folder))) << "cannot make a test folder with vorn.exe";
    ASSERT_TRUE(ParkPointer());
}

void VornTest::TearDown() {
    DestroyFocusWindow();
    if (folder[0] != '\0') {
        EXPECT_TRUE(RemoveFolderTree(folder)) << "test folder left behind: " << folder;
    }
}

::testing::AssertionResult VornTest::WriteIni(const std::string& bytes) {
    if (WriteDataFile(folder, "vorn.ini", bytes)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cannot write data\\vorn.ini in " << folder;
}

::testing::AssertionResult VornTest::WriteIniWith(std::initializer_list<const char*> overrides) {
    std::string ini = IniWith(overrides);
    if (ini.empty()) return ::testing::AssertionFailure() << "an override names no key of the settings file";
    return WriteIni(ini);
}

::testing::AssertionResult VornTest::WriteKeymap(const std::string& bytes) {
    if (WriteDataFile(folder, "keymap", bytes)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "cannot write data\\keymap in " << folder;
}

::testing::AssertionResult VornTest::StartAndWaitBox(VornProcess* vorn, const char* args) {
    if (!vorn->Start(folder, args))
        return ::testing::AssertionFailure() << "CreateProcess failed for vorn.exe in " << folder
                                             << " (error " << GetLastError() << ")";
    if (WaitFor([&] { return vorn->BoxVisible() || !vorn->Alive(); }, E2E_START_MS) && vorn->BoxVisible())
        return ::testing::AssertionSuccess();
    DWORD code = 0;
    if (vorn->WaitExit(0, &code))
        return ::testing::AssertionFailure() << "vorn ended with code " << code << " without showing its box";
    return ::testing::AssertionFailure() << "vorn's edit box did not appear within " << E2E_START_MS
                                         << " ms (box " << (vorn->EditBox() ? "exists, hidden" : "missing")
                                         << ", main window " << (vorn->MainWindow() ? "exists" : "missing") << ")";
}

::testing::AssertionResult VornTest::StartAndWaitFocus(VornProcess* vorn, const char* args) {
    ::testing::AssertionResult shown = StartAndWaitBox(vorn, args);
    if (!shown) return shown;
    // The window manager may finish a focus change of the start a moment
    // later: keys typed meanwhile would go elsewhere.
    if (SettledFocus(vorn->EditBox())) return ::testing::AssertionSuccess();
    HWND fg = GetForegroundWindow();
    return ::testing::AssertionFailure() << "vorn's box is visible but not in front with the focus (foreground: "
                                         << WindowClass(fg) << " of process " << WindowProcessId(fg) << ")";
}
