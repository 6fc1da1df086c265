// list_refresh_bench.cpp - key press to refreshed folder list in a folder of
// 20,000 entries, against a bare virtual list view of the same size refreshed
// in the same run (bare_list.exe).
//
//   list_refresh_bench [folder] [presses] [icon]
//
// The folder (default "vorn_list_bench" in the temporary folder) is filled on
// the first run and reused. vorn lists it; then "7" (keeps the names holding a
// 7) and Backspace (all back) are pressed by turns, each timed from the
// injection until the list shows the new number of rows and has painted them.
// The bare list gets the same keys in its own box. Prints both medians and
// their ratio; exits 0 when vorn's median is at most 16 ms, else 2.
#include <windows.h>
#include <commctrl.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "winbench.h"

namespace {

enum { ENTRIES = 20000, GOAL_MS = 16 };

bool MakeEntries(const char* folder) {
    char marker[MAX_PATH];
    snprintf(marker, sizeof marker, "%s.complete", folder);
    if (GetFileAttributesA(marker) != INVALID_FILE_ATTRIBUTES) return true;
    printf("making %d entries in %s ...\n", ENTRIES, folder);
    fflush(stdout);
    CreateDirectoryA(folder, nullptr);
    for (int i = 0; i < ENTRIES; i++) {
        char path[MAX_PATH];
        snprintf(path, sizeof path, "%s\\f%05d.txt", folder, i);
        HANDLE h = CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                               nullptr);
        if (h == INVALID_HANDLE_VALUE) return false;
        CloseHandle(h);
    }
    HANDLE h = CreateFileA(marker, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

int NamesWithSeven(void) {
    int n = 0;
    for (int i = 0; i < ENTRIES; i++) {
        char name[16];
        snprintf(name, sizeof name, "%05d", i);
        if (strchr(name, '7')) n++;
    }
    return n;
}

int RowCount(HWND list) {
    DWORD_PTR n = 0;
    if (!SendMessageTimeoutA(list, LVM_GETITEMCOUNT, 0, 0, SMTO_NORMAL, 2000, &n)) return -1;
    return (int)n;
}

// The row count is right and nothing of the list waits to be painted.
bool Refreshed(HWND list, int rows) {
    return RowCount(list) == rows && !GetUpdateRect(list, nullptr, FALSE);
}

// presses timed presses into times: "7" and Backspace by turns.
bool TimePresses(HWND list, int presses, int all, int seven, std::vector<double>* times) {
    for (int i = 0; i < presses; i++) {
        bool narrow = i % 2 == 0;
        int want = narrow ? seven : all;
        double t0 = NowMs();
        if (!(narrow ? TypeAscii("7") : TapVk(VK_BACK))) return false;
        if (!PollUntil([&] { return Refreshed(list, want); }, 10000)) {
            fprintf(stderr, "press %d: %d rows, wanted %d\n", i, RowCount(list), want);
            return false;
        }
        times->push_back(NowMs() - t0);
        Sleep(30);
    }
    return true;
}

// The list view of pid that shows rows rows.
HWND ListWithRows(DWORD pid, int rows, double ms) {
    HWND list = nullptr;
    PollUntil([&] {
        list = WindowOfProcess(pid, WC_LISTVIEWA, true);
        return list && RowCount(list) == rows;
    }, ms);
    return list && RowCount(list) == rows ? list : nullptr;
}

bool RunBare(int presses, int seven, std::vector<double>* times) {
    char exe[MAX_PATH], cmd[MAX_PATH + 16];
    if (!BesideBench("bare_list.exe", exe, sizeof exe)) return false;
    snprintf(cmd, sizeof cmd, "\"%s\" %d", exe, ENTRIES);
    BenchProcess bare;
    if (!bare.Start(cmd, nullptr)) return false;
    HWND list = ListWithRows(bare.Pid(), ENTRIES, 10000);
    HWND edit = WindowOfProcess(bare.Pid(), "Edit", true);
    if (!list || !edit || !PollUntil([&] { return InFrontWithFocus(edit); }, 5000)) {
        fprintf(stderr, "the bare list did not come up\n");
        return false;
    }
    return TimePresses(list, presses, ENTRIES, seven, times);
}

bool RunVorn(const char* folder, int presses, int icon, int seven, std::vector<double>* times) {
    char ini[256], home[MAX_PATH], cmd[MAX_PATH + 16];
    snprintf(ini, sizeof ini,
             "[common]\r\ntray=0\r\nicon=%d\r\n[edit]\r\nw=900\r\n[path]\r\ntypoctr=0\r\n", icon);
    if (!VornFolder(ini, home, sizeof home)) return false;
    snprintf(cmd, sizeof cmd, "\"%s\\vorn.exe\"", home);
    bool ok = false;
    {
        BenchProcess vorn;
        if (vorn.Start(cmd, nullptr)) {
            HWND edit = nullptr;
            PollUntil([&] {
                edit = WindowOfProcess(vorn.Pid(), "Edit", true);
                return edit != nullptr;
            }, 10000);
            // Wine does not always hand a new program the foreground.
            if (edit && !PollUntil([&] { return InFrontWithFocus(edit); }, 2000)) BringToFront(edit);
            char typed[MAX_PATH];
            snprintf(typed, sizeof typed, "%s\\", folder);
            HWND list = nullptr;
            if (edit && InFrontWithFocus(edit) && TypeAscii(typed))
                list = ListWithRows(vorn.Pid(), ENTRIES, 30000);
            if (list)
                ok = TimePresses(list, presses, ENTRIES, seven, times);
            else
                fprintf(stderr, "vorn did not list %s\n", folder);
        }
    }
    RemoveVornFolder(home);
    return ok;
}

}  // namespace

int main(int argc, char** argv) {
    char folder[MAX_PATH];
    if (argc > 1) {
        snprintf(folder, sizeof folder, "%s", argv[1]);
    } else {
        char temp[MAX_PATH];
        DWORD n = GetTempPathA(sizeof temp, temp);
        if (!n || n >= sizeof temp) return 1;
        snprintf(folder, sizeof folder, "%svorn_list_bench", temp);
    }
    int presses = argc > 2 ? atoi(argv[2]) : 20;
    int icon = argc > 3 ? atoi(argv[3]) : 0;
    if (presses < 2) presses = 2;
    if (!MakeEntries(folder)) {
        fprintf(stderr, "could not make the entries in %s\n", folder);
        return 1;
    }
    int seven = NamesWithSeven();
    std::vector<double> bare, vorn;
    // Two rounds each, by turns, so that a slow spell of the machine falls on both.
    for (int round = 0; round < 2; round++) {
        if (!RunBare(presses, seven, &bare) || !RunVorn(folder, presses, icon, seven, &vorn))
            return 1;
    }
    double mb = MedianOf(&bare), mv = MedianOf(&vorn);
    printf("key press to refreshed list, %d entries, %d presses each (icon=%d):\n", ENTRIES,
           (int)vorn.size(), icon);
    printf("  bare virtual list view: median %.1f ms (min %.1f, max %.1f)\n", mb, bare.front(),
           bare.back());
    printf("  vorn folder list:       median %.1f ms (min %.1f, max %.1f)\n", mv, vorn.front(),
           vorn.back());
    printf("  ratio vorn / bare:      %.2f\n", mb > 0 ? mv / mb : 0.0);
    return mv <= GOAL_MS ? 0 : 2;
}
