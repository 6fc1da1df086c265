// tour.cpp - the steps of the short tour that scripts/run.sh gives of a running
// vorn on its private display, so that its screenshots show what vorn does.
// Each start takes one step with real key presses (the end-to-end harness's
// SendInput) and returns once the step's result is on the screen:
//
//   tour folder <path>      the path pasted into the box; its folder list shown
//   tour cascade <name>     into the folder list, Right on the folder name
//   tour preview <name>     in the cascade, Right on the file name
//   tour settings           Optbox (beside vorn) on its first page
//   tour close-settings     the settings dialog cancelled
//   tour clear              the box in front, emptied, no list
//   tour clock              waits until the unfocused box shows its clock
//
// Exit code 0 when the step showed, else 1 with the reason on stderr.
#include <stdio.h>
#include <string.h>

#include <string>
#include <vector>

#include "tests/clipboard_text.h"
#include "tests/e2e/harness.h"
#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"
#include "tests/e2e/optbox_harness.h"

namespace {

DWORD gVorn = 0;  // process id of the running vorn

int Fail(const std::string& why) {
    fprintf(stderr, "tour: %s\n", why.c_str());
    return 1;
}

HWND Box(void) { return FindEditBox(gVorn); }

std::string Seen(void) {
    std::string s = "box \"" + WindowText(Box()) + "\"";
    for (HWND l : VisibleListViews(gVorn)) s += ", list " + Joined(ListRowTexts(l));
    return s;
}

BOOL CALLBACK PaintWindow(HWND wnd, LPARAM pid) {
    if (WindowProcessId(wnd) == (DWORD)pid && IsWindowVisible(wnd))
        RedrawWindow(wnd, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

// Step done: returns 0 once every window of process pid has painted what it
// owes (RedrawWindow sends the pending WM_PAINTs and returns when they were
// handled), so that a picture taken now shows the step's result.
int Shown(DWORD pid) {
    EnumWindows(PaintWindow, (LPARAM)pid);
    return 0;
}

// Names in folder (with its trailing separator), sorted.
std::vector<std::string> FolderEntries(const std::string& folder) {
    std::vector<std::string> names;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return names;
    do {
        if (strcmp(fd.cFileName, ".") != 0 && strcmp(fd.cFileName, "..") != 0) names.push_back(fd.cFileName);
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return Sorted(names);
}

// The visible list that has the focus, or null.
HWND FocusedList(void) {
    for (HWND l : VisibleListViews(gVorn))
        if (HasFocus(l)) return l;
    return nullptr;
}

// Moves the focused row of list (which has the focus) onto the row named
// name with Up and Down, each press confirmed by the row it reaches.
bool GoToName(HWND list, const char* name) {
    std::vector<std::string> rows = ListRowTexts(list);
    int want = -1;
    for (size_t i = 0; i < rows.size(); i++)
        if (rows[i] == name) want = (int)i;
    if (want < 0) return false;
    for (size_t presses = 0; presses <= rows.size(); presses++) {
        int at = ListFocusedRow(list);
        if (at == want) return true;
        if (!PressKey(at < want ? VK_DOWN : VK_UP)) return false;
        if (!WaitFor([&] { return ListFocusedRow(list) != at; })) return false;
    }
    return false;
}

int Clear(void) {
    HWND box = Box();
    if (!Activate(box) || !SettledFocus(box)) return Fail("the box did not come to the front");
    if (!PressKeyUntil('B', KEY_CTRL, [&] {
            return WindowText(box).empty() && HasFocus(box) && VisibleListViews(gVorn).empty() &&
                   !FindWindowOf(gVorn, PREVIEW_CLASS);
        }))
        return Fail("Ctrl+B did not empty the box: " + Seen());
    return 0;
}

int Folder(const std::string& path) {
    if (Clear() != 0) return 1;
    // Pasted whole: a typed drive letter alone would already become its root.
    if (!PutTextOnClipboard(nullptr, path)) return Fail("the clipboard cannot be opened");
    if (!PressKeyUntil('V', KEY_CTRL, [&] { return WindowText(Box()) == path; }))
        return Fail("Ctrl+V did not paste the path: " + Seen());
    std::vector<std::string> entries = FolderEntries(path);
    if (!WaitFor([&] {
            HWND list = ShownListView(gVorn);
            return list && Sorted(ListRowTexts(list)) == entries;
        }))
        return Fail("the folder list does not show " + Joined(entries) + ": " + Seen());
    return Shown(gVorn);
}

int Cascade(const char* name) {
    HWND list = ShownListView(gVorn);
    if (list == nullptr) return Fail("no folder list is shown");
    if (!PressKey(VK_DOWN) || !SettledFocus(list)) return Fail("Down did not enter the folder list");
    if (!GoToName(list, name)) return Fail(std::string("no row ") + name + " in the folder list: " + Seen());
    if (!PressKey(VK_RIGHT)) return Fail("SendInput refused");
    HWND cascade = nullptr;
    if (!WaitFor([&] {
            cascade = FocusedList();
            return cascade && cascade != list && ListRowCount(cascade) > 0;
        }) ||
        !SettledFocus(cascade))
        return Fail(std::string("Right on ") + name + " opened no cascade: " + Seen());
    return Shown(gVorn);
}

int Preview(const char* name) {
    HWND list = FocusedList();
    if (list == nullptr) return Fail("no list has the focus");
    if (!GoToName(list, name)) return Fail(std::string("no row ") + name + ": " + Seen());
    if (!PressKey(VK_RIGHT)) return Fail("SendInput refused");
    HWND preview = nullptr;
    if (!WaitFor([&] { return (preview = FindWindowOf(gVorn, PREVIEW_CLASS)) != nullptr; }) ||
        !SettledFocus(preview))
        return Fail(std::string("Right on ") + name + " showed no preview");
    return Shown(gVorn);
}

int Settings(void) {
    char exe[MAX_PATH];
    DWORD size = sizeof exe;
    HANDLE vorn = OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, gVorn);
    bool named = vorn && QueryFullProcessImageNameA(vorn, 0, exe, &size);
    if (vorn) CloseHandle(vorn);
    char* sep = named ? strrchr(exe, '\\') : nullptr;
    if (sep == nullptr) return Fail("vorn's folder is unknown");
    *sep = '\0';
    char cmd[MAX_PATH + 20];
    snprintf(cmd, sizeof cmd, "\"%s\\Optbox.exe\" /s", exe);
    PROCESS_INFORMATION pi;
    if (!StartTestProgram(cmd, 0, exe, &pi)) return Fail(std::string("cannot start ") + cmd);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    HWND dialog = nullptr;
    bool shown = WaitFor([&] {
        dialog = FindDialogOf(pi.dwProcessId, OPTBOX_DIALOG_TITLE);
        return dialog && ShowsRow(dialog, ROW_COMMON1, 1011);
    }, E2E_START_MS);
    if (!shown) return Fail("the settings dialog did not show its first page");
    HWND tree = GetDlgItem(dialog, 1000);
    if (!Activate(dialog) || !WaitFor([&] { return ControlHasFocus(tree); }))
        return Fail("the settings dialog did not come to the front");
    return Shown(pi.dwProcessId);
}

int CloseSettings(void) {
    HWND dialog = FindWindowA("#32770", OPTBOX_DIALOG_TITLE);
    if (dialog == nullptr) return 0;
    // Cancel writes nothing.
    PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    if (!WaitFor([&] { return !IsWindow(dialog); }, E2E_EXIT_MS)) return Fail("the settings dialog stays");
    return 0;
}

int Clock(void) {
    HWND box = Box();
    if (!WaitFor([&] { return !HasFocus(box) && !WindowText(box).empty(); }))
        return Fail("the box shows no clock: " + Seen());
    return Shown(gVorn);
}

}  // namespace

int main(int argc, char** argv) {
    ParkPointer();  // a pointer over a control would light it up in the pictures
    std::string step = argc > 1 ? argv[1] : "";
    const char* arg = argc > 2 ? argv[2] : nullptr;
    if (!WaitFor([] {
            gVorn = WindowProcessId(FindWindowExA(HWND_MESSAGE, nullptr, VORN_MAIN_CLASS, nullptr));
            return gVorn && Box() && IsWindowVisible(Box());
        }, E2E_START_MS))
        return Fail("no running vorn shows its box");
    if (step == "folder" && arg) return Folder(arg);
    if (step == "cascade" && arg) return Cascade(arg);
    if (step == "preview" && arg) return Preview(arg);
    if (step == "settings") return Settings();
    if (step == "close-settings") return CloseSettings();
    if (step == "clear") return Clear();
    if (step == "clock") return Clock();
    return Fail("usage: tour folder <path> | cascade <name> | preview <name> | settings | close-settings | "
                "clear | clock");
}
