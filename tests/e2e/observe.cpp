// observe.cpp - the helpers of observe.h.
#include "tests/e2e/observe.h"

#include <shellapi.h>
#include <stdlib.h>
#include <string.h>

#include "common/sharednames.h"
// --- Stand-in programs -------------------------------------------------------------

std::string BesideTests(const char* name) {
    char self[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, self, sizeof self);
    if (n == 0 || n >= sizeof self) return std::string();
    std::string path(self, n);
    size_t sep = path.find_last_of('\\');
    path.resize(sep == std::string::npos ? 0 : sep + 1);
    return path + name;
}

void SplitCommandLine(const std::string& commandLine, std::string* program, std::string* args) {
    size_t i = 0;
    program->clear();
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        if (close == std::string::npos) close = commandLine.size();
        *program = commandLine.substr(1, close - 1);
        i = close < commandLine.size() ? close + 1 : close;
    } else {
        i = commandLine.find_first_of(" \t");
        if (i == std::string::npos) i = commandLine.size();
        *program = commandLine.substr(0, i);
    }
    while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) i++;
    *args = commandLine.substr(i);
}

RecordFile::RecordFile(const std::string& file) : path(file) {
    DeleteFileA(path.c_str());
    SetEnvironmentVariableA("VORN_RECORD_FILE", path.c_str());
}

RecordFile::~RecordFile() { SetEnvironmentVariableA("VORN_RECORD_FILE", nullptr); }

std::vector<StartRecord> RecordFile::Records(void) const {
    std::vector<StartRecord> records;
    std::string text;
    if (!ReadFileBytes(path.c_str(), &text)) return records;
    size_t pos = 0;
    for (;;) {
        size_t first = text.find("\r\n", pos);
        if (first == std::string::npos) break;
        size_t second = text.find("\r\n", first + 2);
        if (second == std::string::npos) break;
        StartRecord r;
        r.commandLine = text.substr(pos, first - pos);
        r.folder = text.substr(first + 2, second - first - 2);
        SplitCommandLine(r.commandLine, &r.program, &r.args);
        records.push_back(r);
        pos = second + 2;
    }
    return records;
}

bool RecordFile::WaitCount(size_t n, DWORD ms) const {
    return WaitFor([&] { return Records().size() >= n; }, ms);
}

static bool SetClassesString(const std::string& key, const std::string& value) {
    HKEY k;
    if (RegCreateKeyExA(HKEY_CLASSES_ROOT, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExA(k, nullptr, 0, REG_SZ, (const BYTE*)value.c_str(), (DWORD)value.size() + 1);
    RegCloseKey(k);
    return r == ERROR_SUCCESS;
}

FileType::FileType(const char* ext, const char* cls, const std::string& program)
    : extension(ext), className(cls) {
    ok = SetClassesString(extension, className) &&
         SetClassesString(className + "\\shell\\open\\command", "\"" + program + "\" \"%1\"");
}

FileType::~FileType() {
    RegDeleteTreeA(HKEY_CLASSES_ROOT, className.c_str());
    RegDeleteTreeA(HKEY_CLASSES_ROOT, extension.c_str());
}

HelperProcess::~HelperProcess() { End(); }

// Helpers run in a job that ends them with the test program, also when the
// test program is killed (a time-out of the test runner).
static HANDLE HelperJob(void) {
    static HANDLE job = nullptr;
    if (job == nullptr) {
        job = CreateJobObjectA(nullptr, nullptr);
        if (job == nullptr) return nullptr;
        JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits;
        memset(&limits, 0, sizeof limits);
        limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
        SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    }
    return job;
}

bool HelperProcess::Start(const std::string& exe, const char* args) {
    if (started) return false;
    std::string cmd = "\"" + exe + "\"";
    if (args && args[0]) cmd += std::string(" ") + args;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    if (!StartTestProgram(line.data(), CREATE_SUSPENDED, nullptr, &pi)) return false;
    HANDLE job = HelperJob();
    if (job != nullptr) AssignProcessToJobObject(job, pi.hProcess);
    ResumeThread(pi.hThread);
    started = true;
    return true;
}

namespace {

struct ProcessWindowSearch {
    DWORD pid;
    const char* cls;
    HWND found;
};

BOOL CALLBACK FindProcessWindow(HWND wnd, LPARAM lParam) {
    ProcessWindowSearch* s = (ProcessWindowSearch*)lParam;
    if (WindowProcessId(wnd) != s->pid || !IsWindowVisible(wnd)) return TRUE;
    if (s->cls && WindowClass(wnd) != s->cls) return TRUE;
    s->found = wnd;
    return FALSE;
}

BOOL CALLBACK CloseProcessWindows(HWND wnd, LPARAM lParam) {
    if (WindowProcessId(wnd) == (DWORD)lParam) PostMessageA(wnd, WM_CLOSE, 0, 0);
    return TRUE;
}

}  // namespace

HWND HelperProcess::WaitWindow(const char* cls, DWORD ms) const {
    if (!started) return nullptr;
    ProcessWindowSearch s = {pi.dwProcessId, cls, nullptr};
    WaitFor([&] {
        s.found = nullptr;
        EnumWindows(FindProcessWindow, (LPARAM)&s);
        return s.found != nullptr;
    }, ms);
    return s.found;
}

void HelperProcess::End(void) {
    if (!started) return;
    if (WaitForSingleObject(pi.hProcess, 0) == WAIT_TIMEOUT) {
        EnumWindows(CloseProcessWindows, (LPARAM)pi.dwProcessId);
        if (!WaitHandle(pi.hProcess, 2000)) {
            TerminateProcess(pi.hProcess, 99);
            WaitHandle(pi.hProcess, 5000);
        }
    }
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    memset(&pi, 0, sizeof pi);
    started = false;
}

// --- Input -------------------------------------------------------------------------------

bool PressEscape(void) {
    WaitFor([] { return false; }, 120);
    return PressKey(VK_ESCAPE);
}

// --- Windows ---------------------------------------------------------------------------

namespace {

struct TopSearch {
    const char* cls;
    const char* title;
    std::vector<HWND> found;
};

BOOL CALLBACK CollectTopWindows(HWND wnd, LPARAM lParam) {
    TopSearch* s = (TopSearch*)lParam;
    if (!IsWindowVisible(wnd) || WindowClass(wnd) != s->cls) return TRUE;
    if (s->title) {
        char text[512] = "";
        GetWindowTextA(wnd, text, sizeof text);
        if (strcmp(text, s->title) != 0) return TRUE;
    }
    s->found.push_back(wnd);
    return TRUE;
}

std::vector<HWND> TopWindows(const char* cls, const char* title) {
    TopSearch s = {cls, title, {}};
    EnumWindows(CollectTopWindows, (LPARAM)&s);
    return s.found;
}

// The classes of the shell's folder windows (Wine's explorer, and the system's).
const char* const kFolderClasses[] = {"ExplorerWClass", "CabinetWClass"};

}  // namespace

std::vector<HWND> FolderWindows(const char* name) {
    std::vector<HWND> all;
    for (const char* cls : kFolderClasses) {
        std::vector<HWND> some = TopWindows(cls, name);
        all.insert(all.end(), some.begin(), some.end());
    }
    return all;
}

void CloseFolderWindows(const char* name) {
    for (HWND wnd : FolderWindows(name)) PostMessageA(wnd, WM_CLOSE, 0, 0);
    WaitFor([&] { return FolderWindows(name).empty(); });
}

HWND FindWindowOf(DWORD pid, const char* cls) {
    ProcessWindowSearch s = {pid, cls, nullptr};
    EnumWindows(FindProcessWindow, (LPARAM)&s);
    return s.found;
}

HWND FindMessageBoxOf(DWORD pid) { return FindWindowOf(pid, "#32770"); }

std::string MessageBoxText(HWND box) {
    return WindowText(GetDlgItem(box, 0xFFFF));
}

bool TrayIconPresent(HWND wnd, UINT id) {
    if (wnd == nullptr) return false;
    NOTIFYICONDATAA nid;
    ZeroMemory(&nid, sizeof nid);
    nid.cbSize = sizeof nid;
    nid.hWnd = wnd;
    nid.uID = id;
    return Shell_NotifyIconA(NIM_MODIFY, &nid) != FALSE;
}

std::vector<HWND> TrayIconWindows(void) {
    std::vector<HWND> icons;
    HWND tray = FindWindowA("__winex11_standalone_tray", nullptr);
    if (tray == nullptr) return icons;
    HWND icon = nullptr;
    while ((icon = FindWindowExA(tray, icon, "__winex11_tray_icon", nullptr)) != nullptr) icons.push_back(icon);
    return icons;
}

HWND NewTrayIconWindow(const std::vector<HWND>& before) {
    for (HWND icon : TrayIconWindows()) {
        bool old = false;
        for (HWND b : before) old = old || b == icon;
        if (!old) return icon;
    }
    return nullptr;
}

namespace {

void AbsoluteMouse(INPUT* in, int x, int y, DWORD flags) {
    int sw = GetSystemMetrics(SM_CXSCREEN), sh = GetSystemMetrics(SM_CYSCREEN);
    memset(in, 0, sizeof *in);
    in->type = INPUT_MOUSE;
    in->mi.dx = (LONG)((x * 65535LL) / (sw > 1 ? sw - 1 : 1));
    in->mi.dy = (LONG)((y * 65535LL) / (sh > 1 ? sh - 1 : 1));
    in->mi.dwFlags = flags | MOUSEEVENTF_ABSOLUTE;
}

bool ClickAtPoint(int x, int y, bool right, bool park) {
    INPUT in[4];
    AbsoluteMouse(&in[0], x, y, MOUSEEVENTF_MOVE);
    AbsoluteMouse(&in[1], x, y, right ? MOUSEEVENTF_RIGHTDOWN : MOUSEEVENTF_LEFTDOWN);
    AbsoluteMouse(&in[2], x, y, right ? MOUSEEVENTF_RIGHTUP : MOUSEEVENTF_LEFTUP);
    UINT n = 3;
    if (park)
        AbsoluteMouse(&in[n++], GetSystemMetrics(SM_CXSCREEN) - 1, GetSystemMetrics(SM_CYSCREEN) - 1,
                      MOUSEEVENTF_MOVE);
    return SendInput(n, in, sizeof(INPUT)) == n;
}

}  // namespace

bool ClickAt(HWND window, bool right) {
    RECT r;
    if (window == nullptr || !GetWindowRect(window, &r)) return false;
    // The pointer stays: a menu opened by a right click appears beside it.
    return ClickAtPoint((r.left + r.right) / 2, (r.top + r.bottom) / 2, right, false);
}

bool ClickPoint(int x, int y) { return ClickAtPoint(x, y, false, true); }

bool RightClickPoint(int x, int y) { return ClickAtPoint(x, y, true, false); }

bool IsLayered(HWND window) { return (GetWindowLongPtrA(window, GWL_EXSTYLE) & WS_EX_LAYERED) != 0; }

int LayeredAlpha(HWND window) {
    BYTE alpha = 0;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(window, &key, &alpha, &flags)) return -1;
    if (!(flags & LWA_ALPHA)) return -1;
    return alpha;
}

COLORREF WindowPixel(HWND window, int x, int y) {
    RECT r;
    if (window == nullptr || !GetWindowRect(window, &r)) return CLR_INVALID;
    HDC screen = GetDC(nullptr);
    if (screen == nullptr) return CLR_INVALID;
    COLORREF c = GetPixel(screen, r.left + x, r.top + y);
    ReleaseDC(nullptr, screen);
    return c;
}

bool SendReload(HWND mainWnd) {
    UINT reload = RegisterWindowMessageA(RELOAD_MESSAGE_NAME);
    DWORD_PTR result = 0;
    if (mainWnd == nullptr || reload == 0) return false;
    if (!SendMessageTimeoutA(mainWnd, reload, 0, 0, SMTO_ABORTIFHUNG, 5000, &result)) return false;
    return result == 1;
}

// --- Fixture of the tests that run things through vorn ---------------------------

void RunTest::TearDown() {
    for (const std::string& name : openedNames) CloseFolderWindows(name.c_str());
    VornTest::TearDown();
}

std::string RunTest::LeafName(void) const {
    std::string f = folder;
    size_t sep = f.find_last_of('\\');
    return sep == std::string::npos ? f : f.substr(sep + 1);
}

std::string RunTest::MakeDir(const char* suffix) {
    std::string name = LeafName() + suffix;
    std::string path = Path(name.c_str());
    if (!CreateDirectoryA(path.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    openedNames.push_back(name);
    return path;
}

std::string RunTest::CopyTool(const char* tool, const char* subdir, const char* name) {
    std::string dir = Path(subdir);
    if (!CreateDirectoryA(dir.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return std::string();
    std::string dst = PathIn(dir.c_str(), name);
    if (!CopyFileA(BesideTests(tool).c_str(), dst.c_str(), FALSE)) return std::string();
    return dst;
}

::testing::AssertionResult RunTest::TypeInto(VornProcess* vorn, const std::string& text) {
    if (!TypeText(text.c_str())) return ::testing::AssertionFailure() << "SendInput refused the text";
    if (WaitFor([&] { return vorn->EditText() == text; })) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the box holds \"" << vorn->EditText() << "\" instead of \"" << text
                                         << "\"";
}

::testing::AssertionResult RunTest::HandText(VornProcess* vorn, const std::string& text) {
    COPYDATASTRUCT cds;
    cds.dwData = 2;
    cds.cbData = (DWORD)text.size() + 1;
    cds.lpData = (void*)text.c_str();
    DWORD_PTR answer = 0;
    HWND main = vorn->MainWindow();
    if (main == nullptr) return ::testing::AssertionFailure() << "vorn has no main window";
    if (!SendMessageTimeoutA(main, WM_COPYDATA, 0, (LPARAM)&cds, SMTO_ABORTIFHUNG, 3000, &answer))
        return ::testing::AssertionFailure() << "no answer to the hand-over";
    if (WaitFor([&] { return vorn->EditText() == text && vorn->BoxFocused(); })) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "the box holds \"" << vorn->EditText() << "\" instead of \"" << text
                                         << "\"" << (vorn->BoxFocused() ? "" : " and has no focus");
}

::testing::AssertionResult RunTest::EnterHandled(VornProcess* vorn, const std::string& text) {
    if (!PressKey(VK_RETURN) || !TypeText("~")) return ::testing::AssertionFailure() << "SendInput refused";
    std::string expected = text + "~";
    if (WaitFor([&] { return vorn->EditText() == expected || !vorn->Alive(); }) && vorn->EditText() == expected)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "after Enter the box holds \"" << vorn->EditText() << "\", not \""
                                         << expected << "\" (vorn " << (vorn->Alive() ? "runs" : "ended") << ")";
}

// The file names of the CF_HDROP on the clipboard, in order.
std::vector<std::string> ClipboardFiles(void) {
    std::vector<std::string> files;
    if (!OpenClipboard(nullptr)) return files;
    HDROP drop = (HDROP)GetClipboardData(CF_HDROP);
    if (drop) {
        UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < n; i++) {
            char path[MAX_PATH] = "";
            DragQueryFileA(drop, i, path, sizeof path);
            files.push_back(path);
        }
    }
    CloseClipboard();
    return files;
}

void EmptyTheClipboard(void) {
    if (OpenClipboard(nullptr)) {
        EmptyClipboard();
        CloseClipboard();
    }
}

std::string ReleaseDir(void) {
    const char* dir = getenv("VORN_RELEASE_DIR");
    if (!dir || !*dir) return "";
    std::string path = dir;
    if (path[0] == '/') path = "Z:" + path;
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

::testing::AssertionResult UseReleaseFolder(std::string* release, char* folder, size_t folderSize) {
    *release = ReleaseDir();
    if (release->empty()) return ::testing::AssertionFailure() << "VORN_RELEASE_DIR is not set";
    if (!PathExists(*release + "\\vorn.exe"))
        return ::testing::AssertionFailure() << *release << " holds no vorn.exe: build the package";
    if (PathExists(*release + "\\data") && !RemoveFolderTree((*release + "\\data").c_str()))
        return ::testing::AssertionFailure() << "the data folder left in " << *release << " stays";
    if (release->size() >= folderSize) return ::testing::AssertionFailure() << *release << " is too long";
    snprintf(folder, folderSize, "%s", release->c_str());
    return ::testing::AssertionSuccess();
}
