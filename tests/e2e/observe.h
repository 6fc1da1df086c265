// observe.h - watching what vorn does outside its own edit box: the programs
// it starts (through the recording stand-ins built beside the tests), the
// folder windows the shell opens for it, its tray icon, its layered style and
// alpha, the colour of its frame and its message boxes.
//
// The stand-ins (tests/e2e/tools) append two lines per start to the file named
// by VORN_RECORD_FILE: their full command line and their working folder. A
// started vorn inherits the test's environment and hands it on to what it
// starts, so a RecordFile set before vorn starts collects every record.
#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "tests/e2e/harness.h"

// --- Stand-in programs -------------------------------------------------------------

// Full path of a program built beside e2e_tests.exe ("recorder.exe", ...).
std::string BesideTests(const char* name);

// One start of a stand-in.
struct StartRecord {
    std::string commandLine;  // as the program saw it
    std::string program;      // its first token, quotes removed
    std::string args;         // what follows the first token and its blanks
    std::string folder;       // its working folder
};

// Splits a command line into the program token (quotes removed) and the rest
// (after the blanks that follow the token).
void SplitCommandLine(const std::string& commandLine, std::string* program, std::string* args);

// The record file of one test: VORN_RECORD_FILE points at it while the object
// lives (so set it up before vorn starts).
struct RecordFile {
    std::string path;

    explicit RecordFile(const std::string& file);
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Every complete record written so far.
    std::vector<StartRecord> Records(void) const;
    // Waits up to ms until there are at least n records; true when there are.
    bool WaitCount(size_t n, DWORD ms = E2E_WAIT_MS) const;
};

// A document type in the classes root (where Wine looks: it ignores the
// user's own classes) whose "open" command starts program with the quoted
// document ("program" "%1"); removed again when the object goes.
struct FileType {
    std::string extension;  // with its dot
    std::string className;
    bool ok = false;        // both keys were written

    FileType(const char* ext, const char* cls, const std::string& program);
    ~FileType();
    FileType(const FileType&) = delete;
    FileType& operator=(const FileType&) = delete;
};

// A program started by the test itself (not by vorn), ended when the object
// goes: asked to close (WM_CLOSE to its top-level windows), else terminated;
// and with the test program at the latest.
struct HelperProcess {
    PROCESS_INFORMATION pi = {};
    bool started = false;

    HelperProcess() = default;
    ~HelperProcess();
    HelperProcess(const HelperProcess&) = delete;
    HelperProcess& operator=(const HelperProcess&) = delete;

    bool Start(const std::string& exe, const char* args);
    // Its first visible top-level window of class cls, waiting up to ms.
    HWND WaitWindow(const char* cls, DWORD ms = E2E_START_MS) const;
    void End(void);
};

// --- Input -------------------------------------------------------------------------------

// Presses Esc for vorn's Esc chain, which acts only when the system reports
// the key as pressed since the last query. Wine answers such a query from a
// cache of the whole key state that lives for 50 ms after the program's
// previous query (vorn asks for the modifiers at every key press), so an Esc
// that follows another key more closely reads as not pressed and is
// swallowed. The previous key press is given time to age first.
bool PressEscape(void);

// --- Windows ---------------------------------------------------------------------------

// Folder windows the shell opened for the folder whose last name is name.
std::vector<HWND> FolderWindows(const char* name);
// Closes the folder windows for name and waits until they are gone.
void CloseFolderWindows(const char* name);

// The first visible top-level window of class cls of process pid, or null.
HWND FindWindowOf(DWORD pid, const char* cls);
// The visible message box (dialog class "#32770") of process pid, or null.
HWND FindMessageBoxOf(DWORD pid);
// Text of a message box (its static text control, id 0xFFFF).
std::string MessageBoxText(HWND box);

// True when the tray icon uID of window wnd exists (NIM_MODIFY changing
// nothing succeeds exactly then).
bool TrayIconPresent(HWND wnd, UINT id = 1000);
// The icon windows of the window that shows the tray icons when there is no
// system tray (Wine's stand-alone tray), in their order there. Each icon has
// one; an icon added later is the one missing from an earlier listing.
std::vector<HWND> TrayIconWindows(void);
// The first of TrayIconWindows() that is not in before, or null.
HWND NewTrayIconWindow(const std::vector<HWND>& before);
// Left (right) click at the centre of window.
bool ClickAt(HWND window, bool right);
// Left click at a point of the screen; the pointer is parked afterwards.
bool ClickPoint(int x, int y);
// Right click at a point of the screen; the pointer stays (a menu opens there).
bool RightClickPoint(int x, int y);

// WS_EX_LAYERED of window.
bool IsLayered(HWND window);
// Constant alpha of a layered window; -1 when it has none.
int LayeredAlpha(HWND window);

// Colour (COLORREF) on the screen at the point x, y of window (window
// coordinates), or CLR_INVALID.
COLORREF WindowPixel(HWND window, int x, int y);

// Sends the registered "WM_RELOAD" to a main window, as the settings program
// does; true when it answered 1.
bool SendReload(HWND mainWnd);

// --- Fixture of the tests that run things through vorn ---------------------------

// A VornTest whose folders get names unique to the test (the shell names its
// folder windows after the folder), and whose folder windows are closed at
// the end of the test.
struct RunTest : public VornTest {
    std::vector<std::string> openedNames;

    void TearDown() override;

    // Last name of the test folder ("vorn_e2e_<pid>_<n>").
    std::string LeafName(void) const;
    // Makes the folder <test folder>\<leaf><suffix> and returns its full path;
    // its name is remembered so that its folder windows close at the end.
    std::string MakeDir(const char* suffix);
    // Copies a program built beside the tests into <test folder>\<subdir>\<name>;
    // its full path, or "" on failure.
    std::string CopyTool(const char* tool, const char* subdir, const char* name);
    // Types text into the focused box and waits until the box shows it.
    ::testing::AssertionResult TypeInto(VornProcess* vorn, const std::string& text);
    // Hands text to vorn the way a second start with that argument does
    // (WM_COPYDATA kind 2) and waits until the box shows it, in front with
    // the focus. Text set so is complete at once: no completion acts on it and
    // no folder list is open, so Enter runs exactly this text.
    ::testing::AssertionResult HandText(VornProcess* vorn, const std::string& text);
    // Presses Enter, then types one more character: once it shows behind text
    // the Enter has been handled completely (whatever it posted ran before the
    // character arrived). Success when the box then holds text + that character.
    ::testing::AssertionResult EnterHandled(VornProcess* vorn, const std::string& text);
};

// The file names of the CF_HDROP on the clipboard, in order.
std::vector<std::string> ClipboardFiles(void);
// Empties the clipboard (when it can be opened).
void EmptyTheClipboard(void);
// VORN_RELEASE_DIR (the unpacked release archive) as a Windows path, a Unix path
// reached through Z:; "" when it is not set.
std::string ReleaseDir(void);
// Makes the unpacked release the program folder of a test: *release gets its
// path, a data folder left there is removed, and folder (folderSize bytes)
// names the release afterwards.
::testing::AssertionResult UseReleaseFolder(std::string* release, char* folder, size_t folderSize);
