// optbox_harness.h - drives the real Optbox.exe (built beside e2e_tests.exe)
// from the test process: each test copies it and vorn.exe into a fresh folder,
// starts it, moves through the tree of pages with real key presses, clicks and
// types into the controls, and reads the data files it writes.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "tests/e2e/observe.h"

// Rows of the tree of pages from the top, with the list branch open.
enum OptboxRow {
    ROW_COMMON1 = 0, ROW_COMMON2, ROW_EDIT, ROW_APPS, ROW_KEYS, ROW_PREVIEW, ROW_LIST, ROW_PATH, ROW_EXP,
    ROW_HISTORY, ROW_DEFAULT, ROW_DEFAULT2, ROW_FAVORITE1, ROW_FAVORITE2, ROW_SEARCH
};

// One started Optbox.exe; ended when the object goes if it still runs.
struct OptboxProcess {
    PROCESS_INFORMATION pi = {};
    bool started = false;

    OptboxProcess() = default;
    OptboxProcess(const OptboxProcess&) = delete;
    OptboxProcess& operator=(const OptboxProcess&) = delete;
    ~OptboxProcess();

    bool Start(const char* folder, const char* args);
    bool WaitExit(DWORD ms, DWORD* code);
    bool Alive(void) const;
    DWORD Pid(void) const { return pi.dwProcessId; }
};

// A visible top-level dialog of process pid titled title (any title when
// null) other than except, or null.
HWND FindDialogOf(DWORD pid, const char* title, HWND except = nullptr);
// The visible page of the settings dialog (a child dialog), or null.
HWND VisiblePage(HWND dialog);
// The tree's item at row (the list branch open) and its selected item; null when none.
HTREEITEM TreeRowItem(HWND tree, int row);
HTREEITEM TreeSelection(HWND tree);
// True when the dialog shows row: the tree has it selected and the page on show
// holds controlId (a control alone says nothing: pages share ids).
bool ShowsRow(HWND dialog, int row, int controlId);
// True when control (of any process) has the keyboard focus of its thread and
// its top-level window is the foreground window.
bool ControlHasFocus(HWND control);
// Check state of a button of another process.
bool ButtonChecked(HWND button);

struct OptboxTest : public RunTest {
    void SetUp() override;

    // Starts Optbox in the test folder and waits for the settings dialog in
    // front with its first page ("共通(1)").
    ::testing::AssertionResult StartSettings(OptboxProcess* box, const char* args, HWND* dialog);
    // Moves the tree's selection to row with Home and Down presses, each
    // confirmed by the item it selects (a lost press is given again, see
    // SelectWithKey), and waits until the dialog shows row (ShowsRow).
    ::testing::AssertionResult GoToRow(HWND dialog, int row, int controlId, HWND* page);
    // Replaces the text of an edit: click, End and Backspaces, type.
    ::testing::AssertionResult TypeIntoField(HWND edit, const char* text);
    // Clicks OK (or Cancel) and waits for the process to end with exit code 1.
    ::testing::AssertionResult PressAndWaitExit(OptboxProcess* box, HWND dialog, int buttonId);
    // Clicks button buttonId of a dialog shown over Optbox (a chooser) and
    // waits until the dialog has gone. Wine now and then drops a click whose
    // move and press reach a dialog while its focus moves (seen on the colour
    // chooser just after typing into its fields): the click is given again, at
    // most three times, each after a wait in which the first would have closed it.
    ::testing::AssertionResult ClickToClose(HWND dialog, int buttonId);
};
