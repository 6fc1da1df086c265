// harness.h - drives the real vorn.exe from a second Win32 process.
//
// Each test gets a fresh folder under the Windows temp folder with its own copy
// of vorn.exe (taken from beside e2e_tests.exe), starts it with CreateProcess
// and watches it from outside: its windows, the texts of its edit box, its data
// files and its exit code. Key presses are real input (SendInput) into whatever
// window has the focus. Every wait is a bounded poll.
//
// vorn allows one instance per Wine prefix, so every process a test starts is
// held by a VornProcess guard that ends it when the test ends, pass or fail.
//
// The tests need an X display with a window manager and code page 932, as
// scripts/wine-env.sh sets them up; then "ctest -L e2e" in the x86-64 build
// folder runs them one at a time.
#pragma once
#include <windows.h>

#include <initializer_list>
#include <string>

#include <gtest/gtest.h>

#include "common/sharednames.h"

// Poll period and the usual time-outs of the waits.
enum {
    E2E_POLL_MS = 15,
    E2E_WAIT_MS = 5000,       // a window, a text, a focus change
    E2E_START_MS = 10000,     // first appearance of a freshly started vorn
    E2E_EXIT_MS = 5000,       // a process ending after it was asked to
    E2E_SETTLE_MS = 250,      // injected modifiers held still before their key
};

// Modifier bits of a key code (the layout of vorn's key bindings).
enum { KEY_ALT = 0x100, KEY_CTRL = 0x200, KEY_SHIFT = 0x400 };

// Handles the test process's own messages for up to ms milliseconds (returns
// early when a message arrives, after dispatching it).
void PumpMessages(DWORD ms);

// Polls pred every E2E_POLL_MS until it holds or ms have passed; true when it
// held. The test thread's messages are handled while waiting.
template <typename Pred>
bool WaitFor(Pred pred, DWORD ms = E2E_WAIT_MS) {
    DWORD start = GetTickCount();
    for (;;) {
        if (pred()) return true;
        if (GetTickCount() - start >= ms) return pred();
        PumpMessages(E2E_POLL_MS);
    }
}

// Waits up to ms for a handle to be signalled, handling the test thread's
// messages meanwhile (a program that makes itself the foreground window may
// wait for the windows of this thread to answer).
bool WaitHandle(HANDLE handle, DWORD ms);

// --- Files and folders --------------------------------------------------------

// Full path of vorn.exe beside the running e2e_tests.exe.
const char* VornExePath(void);
// Makes a new empty folder under the temp folder and copies vorn.exe into it;
// the folder (no trailing separator) goes to dst. False on failure.
bool FreshFolder(char* dst, size_t dstSize);
// Deletes a folder with everything in it; false when something stayed.
bool RemoveFolderTree(const char* folder);
// folder + "\" + relative.
std::string PathIn(const char* folder, const char* relative);
// Writes bytes to path whole (create or truncate).
bool WriteFileBytes(const char* path, const std::string& bytes);
// Reads a whole file; false when it cannot be opened.
bool ReadFileBytes(const char* path, std::string* out);
// Writes folder\data\name, creating the data folder when needed.
bool WriteDataFile(const char* folder, const char* name, const std::string& bytes);
// Reads folder\data\name; empty string when it is missing.
std::string ReadDataFile(const char* folder, const char* name);
// True when path names an existing file or folder.
bool PathExists(const std::string& path);

// A complete settings file with every key at its default, except for the
// given overrides, each "section.key=value" (e.g. "common.tray=0"); an
// override that names no known key makes the result empty.
std::string IniWith(std::initializer_list<const char*> overrides);

// --- Windows of vorn ------------------------------------------------------------

// The process that owns window.
DWORD WindowProcessId(HWND window);
// Class name of window ("" when it is gone).
std::string WindowClass(HWND window);
// Message-only window of class className owned by process pid, or null.
HWND FindMessageWindow(const char* className, DWORD pid);
// Top-level window of class "Edit" owned by process pid, or null.
HWND FindEditBox(DWORD pid);
// Text of a window of another process (WM_GETTEXT, answered within 2 s).
std::string WindowText(HWND window);
// EM_GETSEL of an edit control of another process: start and end of the
// selection; false when the window did not answer.
bool EditSelection(HWND edit, DWORD* start, DWORD* end);
// True when window is the foreground window and has the keyboard focus of
// its thread.
bool HasFocus(HWND window);
// True once window has kept the focus for E2E_SETTLE_MS without a break
// (waiting up to E2E_WAIT_MS). The window manager completes a focus change a
// moment after Wine made it: keys typed before would go elsewhere, and a
// window shown before (the preview) would lose its activation again.
bool SettledFocus(HWND window);

// --- Input ------------------------------------------------------------------------

// Types text (in the ANSI code page, as the test's literals are) as Unicode
// key presses into the focused window. False when SendInput refused.
bool TypeText(const char* text);
bool TypeTextW(const wchar_t* text);
// Presses and releases virtual key vk with the modifiers (KEY_ALT, KEY_CTRL,
// KEY_SHIFT) held; all of it is queued at once, so the modifiers are already
// up again when the program reads the key. That suits keys without modifiers
// and global hot keys (checked when the key is queued).
bool PressKey(WORD vk, unsigned modifiers = 0);
// Presses vk with the modifiers and types text right behind it, all in one
// injection: no time passes between the key and the text.
bool PressKeyThenType(WORD vk, unsigned modifiers, const char* text);
// Presses (releases) the modifier keys of modifiers (KEY_ALT, KEY_CTRL,
// KEY_SHIFT).
bool PressModifiers(unsigned modifiers);
bool ReleaseModifiers(unsigned modifiers);
// True while every modifier of modifiers reads as held (asynchronous state).
bool ModifiersHeld(unsigned modifiers);
// Presses and releases vk alone.
bool TapKey(WORD vk);
// Presses the modifiers and returns once they have stayed down for
// E2E_SETTLE_MS, pressing them again whenever they are let go meanwhile.
// Wine mirrors the X server's keyboard state into its own whenever one of its
// windows gets the X focus, and X knows nothing of injected keys: a focus
// change that the window manager completes a moment after a program was
// activated thus lets go of injected modifiers. The modifiers are settled
// before the key itself is pressed, so such a late focus change can only cost
// a re-press, never turn Shift+Esc into a plain Esc. False when they never
// stayed down within E2E_WAIT_MS.
bool SettleModifiers(unsigned modifiers);
// Presses vk with the modifiers held (settled first, see above) and keeps the
// modifiers down until pred holds or ms have passed, then releases them; true
// when pred held. A program that reads the live (asynchronous) modifier state
// while it handles the key sees them held, as under a person's hand.
template <typename Pred>
bool PressKeyUntil(WORD vk, unsigned modifiers, Pred pred, DWORD ms = E2E_WAIT_MS) {
    bool ok = SettleModifiers(modifiers) && TapKey(vk) && WaitFor(pred, ms);
    ReleaseModifiers(modifiers);
    return ok;
}
// Left click at the centre of window (screen coordinates of its rectangle);
// the pointer is parked again afterwards.
bool ClickWindow(HWND window);
// Moves the mouse pointer to the bottom-right corner of the screen, away from
// every window the tests look at. Wine re-reads the X server's modifier keys
// whenever the pointer enters one of the program's windows (and when a window
// of it gets the X focus); injected modifiers are unknown to X, so such a
// re-read lets go of a modifier that is being held (see SettleModifiers).
bool ParkPointer(void);

// CreateProcessA(nullptr, cmd, ..., flags, ..., dir) for a program of the tests.
// Wine now and then fails a process creation with ERROR_INTERNAL_ERROR before
// the program runs anything; such a start is made again, at most twice. Any
// other failure is returned at once (GetLastError tells which).
bool StartTestProgram(char* cmd, DWORD flags, const char* dir, PROCESS_INFORMATION* pi);

// Creates (once per test) a visible window of the test process and makes it
// the foreground window, so whatever had the focus loses it; success once it
// is in front.
::testing::AssertionResult FocusAway(void);
// FocusAway, and then the window manager's own hand-over of the focus to that
// window has arrived too, so that no late focus change follows.
::testing::AssertionResult FocusAwaySettled(void);
// Destroys the window of FocusAway (called at the end of each test).
void DestroyFocusWindow(void);
// Makes window (of any process) the foreground window; success once it is.
::testing::AssertionResult Activate(HWND window);

// --- A started vorn -----------------------------------------------------------------

// Holds one started vorn.exe. When it goes out of scope a process that still
// runs is asked to close (WM_CLOSE to its main window) and, if it does not end
// within a moment, terminated; so no test leaves an instance behind. Every
// started vorn also belongs to a job that ends it with the test program, for
// the case that the test program itself is killed.
struct VornProcess {
    PROCESS_INFORMATION pi = {};
    bool started = false;

    VornProcess() = default;
    VornProcess(const VornProcess&) = delete;
    VornProcess& operator=(const VornProcess&) = delete;
    ~VornProcess();

    // Starts folder\vorn.exe with the arguments (may be null or ""); the
    // current folder is the temp folder, not folder, so that vorn has to find
    // its data beside itself.
    bool Start(const char* folder, const char* args);
    // Waits up to ms for the process to end; its exit code into *code.
    bool WaitExit(DWORD ms, DWORD* code);
    bool Alive(void) const;
    DWORD Pid(void) const { return pi.dwProcessId; }

    // Its message-only main window ("vorn_class" or "vorn_fisson"), or null.
    HWND MainWindow(void) const;
    // Its edit box, or null.
    HWND EditBox(void) const;
    // Text and caret (end of the selection) of its edit box.
    std::string EditText(void) const;
    DWORD Caret(void) const;
    // Edit box exists and is visible.
    bool BoxVisible(void) const;
    // Edit box is in front with the keyboard focus.
    bool BoxFocused(void) const;

    // Asks the program to end (WM_CLOSE to the main window) and waits.
    bool Close(DWORD ms, DWORD* code);
    // Ends it the hard way (when it still runs) and releases the handles.
    void Kill(void);
};

// Fixture of all end-to-end tests: a fresh folder with vorn.exe per test,
// removed afterwards, and a check that no other vorn runs in this prefix.
struct VornTest : public ::testing::Test {
    char folder[MAX_PATH] = {};

    void SetUp() override;
    void TearDown() override;

    std::string Path(const char* relative) const { return PathIn(folder, relative); }
    // Write data\vorn.ini / data\keymap of this test's folder (for
    // ASSERT_TRUE). WriteIniWith writes what IniWith(overrides) makes.
    ::testing::AssertionResult WriteIni(const std::string& bytes);
    ::testing::AssertionResult WriteIniWith(std::initializer_list<const char*> overrides);
    ::testing::AssertionResult WriteKeymap(const std::string& bytes);
    std::string ReadIni(void) const { return ReadDataFile(folder, "vorn.ini"); }
    std::string ReadKeymap(void) const { return ReadDataFile(folder, "keymap"); }

    // Starts vorn in this test's folder and waits until its edit box is
    // visible (for ASSERT_TRUE; the failure says what was seen instead).
    ::testing::AssertionResult StartAndWaitBox(VornProcess* vorn, const char* args);
    // As above, and also waits until the box is in front with the focus.
    ::testing::AssertionResult StartAndWaitFocus(VornProcess* vorn, const char* args);
};
