// startup.cpp - start-up steps of the program entry (see startup.h).
#include "startup.h"

#include <windows.h>
#include <string.h>

#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "appstate.h"
#include "shell.h"

void SetDefaultStartDir(void) {
    char exe[MAX_PATH + 1];
    DWORD n = GetModuleFileNameA((HMODULE)Shell.instance, exe, sizeof exe);
    if (n == 0 || n >= sizeof exe) exe[0] = '\0';
    char dir[MAX_PATH + 1];
    DefaultStartDir(exe, dir, sizeof dir);
    SetAppString(&App.startDir, dir);
}

void ApplyStartDir(const char* folder) {
    if (folder && folder[0] && SetCurrentDirectoryA(folder)) {
        char dir[MAX_PATH + 1];
        CopyString(dir, folder, sizeof dir);
        RemoveTrailingSeparator(dir);
        SetAppString(&App.startDir, dir);
    } else {
        SetDefaultStartDir();
    }
}

void ApplyCommandLine(const CommandLine* line) {
    SetFlags(line->flags);
    Shell.overrideX = line->x;
    Shell.overrideY = line->y;
    Shell.overrideW = line->w;
    CopyString(Shell.initialText, line->initialText, sizeof Shell.initialText);
    if (line->hasArgPrefix) SetAppString(&App.argPrefix, line->argPrefix);
    if (line->hasDir) ApplyStartDir(line->dir);
}

void CaptureTargetProgram(void) {
    char path[MAX_PATH + 1];
    if (WindowProcessPath(GetForegroundWindow(), path, sizeof path))
        SetAppString(&App.targetProgram, path);
}

int RunMessageLoop(void) {
    MSG msg;
    for (;;) {
        BOOL got = GetMessageA(&msg, nullptr, 0, 0);
        if (got == 0) return (int)msg.wParam;
        if (got == -1) return 0;
        if (DispatchKeyMessage(&msg)) continue;
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}
