// search_walk_bench.cpp - times the file search's walk of a folder tree of
// about 100,000 entries against "cmd /c dir /s /b" over the same tree, median
// of five runs each, and prints both medians and their ratio.
//
//   search_walk_bench [tree folder]
//
// The tree (default: "vorn_search_bench" in the temporary folder) is made on
// the first run and reused afterwards. Not part of the test runs.
#include <windows.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include "../common/itemarray.h"
#include "../launcher/lists/search.h"

enum { TOP_FOLDERS = 20, SUB_FOLDERS = 15, FILES_PER_FOLDER = 310, RUNS = 5 };

static double Now(void) {
    static LARGE_INTEGER freq;
    if (!freq.QuadPart) QueryPerformanceFrequency(&freq);
    LARGE_INTEGER t;
    QueryPerformanceCounter(&t);
    return (double)t.QuadPart / (double)freq.QuadPart;
}

static bool MakeFile(const char* path) {
    HANDLE h =
        CreateFileA(path, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    CloseHandle(h);
    return true;
}

// Names of a folder's files: plain ones and, every fifth, Shift-JIS ones
// (with "表" and "ソ", whose second bytes are "\").
static void FileName(int i, char* buf, size_t size) {
    switch (i % 5) {
        case 0:
            snprintf(buf, size, "資料表%04d.txt", i);
            break;
        case 1:
            snprintf(buf, size, "readme_%04d.md", i);
            break;
        case 2:
            snprintf(buf, size, "image%04d.png", i);
            break;
        case 3:
            snprintf(buf, size, "ソース%04d.cpp", i);
            break;
        default:
            snprintf(buf, size, "data_%04d.bin", i);
            break;
    }
}

static bool FillFolder(const char* folder, int* entries) {
    char path[MAX_PATH];
    for (int i = 0; i < FILES_PER_FOLDER; i++) {
        char name[64];
        FileName(i, name, sizeof name);
        snprintf(path, sizeof path, "%s\\%s", folder, name);
        if (!MakeFile(path)) return false;
        (*entries)++;
    }
    return true;
}

// Folders: TOP_FOLDERS at the top, SUB_FOLDERS in each (320 in all), every one
// holding FILES_PER_FOLDER files: about 100,000 entries.
static bool MakeTree(const char* root) {
    char marker[MAX_PATH];
    snprintf(marker, sizeof marker, "%s\\.complete", root);
    if (GetFileAttributesA(marker) != INVALID_FILE_ATTRIBUTES) return true;
    printf("making the tree in %s ...\n", root);
    fflush(stdout);
    CreateDirectoryA(root, nullptr);
    int entries = 0;
    for (int t = 0; t < TOP_FOLDERS; t++) {
        char top[MAX_PATH];
        snprintf(top, sizeof top, t % 4 == 0 ? "%s\\フォルダ表%02d" : "%s\\folder%02d", root, t);
        if (!CreateDirectoryA(top, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) return false;
        entries++;
        if (!FillFolder(top, &entries)) return false;
        for (int s = 0; s < SUB_FOLDERS; s++) {
            char sub[MAX_PATH];
            snprintf(sub, sizeof sub, s % 3 == 0 ? "%s\\下位ソ%02d" : "%s\\sub%02d", top, s);
            if (!CreateDirectoryA(sub, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS)
                return false;
            entries++;
            if (!FillFolder(sub, &entries)) return false;
        }
    }
    printf("%d entries made\n", entries);
    return MakeFile(marker);
}

static int CompareDoubles(const void* a, const void* b) {
    double x = *(const double*)a, y = *(const double*)b;
    return x < y ? -1 : x > y ? 1 : 0;
}

static double Median(double* v, int n) {
    qsort(v, (size_t)n, sizeof v[0], CompareDoubles);
    return v[n / 2];
}

// One walk of the whole tree as a search "tree\|" does (every entry matches).
static double TimeWalk(const char* root, int* found) {
    char folder[MAX_PATH];
    snprintf(folder, sizeof folder, "%s\\", root);
    ItemArray results = {};
    SearchWalk walk = {};
    walk.results = &results;
    double t0 = Now();
    *found = WalkSearchTree(&walk, folder, "*", SEARCH_MODE_FOLDER, -1);
    double t1 = Now();
    FreeItems(&results);
    return t1 - t0;
}

static double TimeDir(const char* root) {
    char command[MAX_PATH * 2];
    snprintf(command, sizeof command, "cmd /c dir /s /b \"%s\" > NUL", root);
    STARTUPINFOA si = {};
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    double t0 = Now();
    if (!CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                        nullptr, &si, &pi))
        return -1;
    WaitForSingleObject(pi.hProcess, INFINITE);
    double t1 = Now();
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    return t1 - t0;
}

int main(int argc, char** argv) {
    char root[MAX_PATH];
    if (argc > 1) {
        snprintf(root, sizeof root, "%s", argv[1]);
    } else {
        char temp[MAX_PATH];
        DWORD n = GetTempPathA(sizeof temp, temp);
        if (!n || n >= sizeof temp) return 1;
        snprintf(root, sizeof root, "%svorn_search_bench", temp);
    }
    if (!MakeTree(root)) {
        fprintf(stderr, "could not make the tree in %s\n", root);
        return 1;
    }
    double walk[RUNS], dir[RUNS];
    int found = 0;
    // One untimed walk warms the file-system caches for both.
    TimeWalk(root, &found);
    for (int i = 0; i < RUNS; i++) {
        walk[i] = TimeWalk(root, &found);
        dir[i] = TimeDir(root);
        if (dir[i] < 0) {
            fprintf(stderr, "cmd could not be started\n");
            return 1;
        }
        printf("run %d: walk %.3f s, dir %.3f s\n", i + 1, walk[i], dir[i]);
        fflush(stdout);
    }
    double mw = Median(walk, RUNS), md = Median(dir, RUNS);
    printf("entries found by the walk: %d\n", found);
    printf("search walk median: %.3f s\n", mw);
    printf("dir /s /b median:   %.3f s\n", md);
    printf("ratio walk / dir:   %.3f\n", mw / md);
    return mw <= md ? 0 : 2;
}
