// main.cpp - program entry of vorn: command line, single instance, settings,
// the invisible main window and the message loop.
#include <windows.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/sharednames.h"
#include "../lists/history.h"
#include "appstate.h"
#include "cmdline.h"
#include "instance.h"
#include "shell.h"
#include "startup.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    AppModule = instance;
    Shell.instance = instance;

    CommandLine line;
    ParseCommandLine(GetCommandLineA(), &line);
    ApplyCommandLine(&line);

    if (!CheckSingleInstance()) return 0;
    if (!LoadSettings()) return 0;

    Shell.className = AnyFlag(SF_SECOND_CLASS) ? VORN_SECOND_CLASS : VORN_MAIN_CLASS;
    if (AnyFlag(SF_TARGET_PROGRAM)) CaptureTargetProgram();
    if (!App.startDir) SetDefaultStartDir();
    SetHistoryStartDir(App.startDir);

    if (!RegisterMainClass()) return 0;
    HWND mainWnd = CreateMainWindow();
    if (!mainWnd) return 0;
    ShowWindow(mainWnd, SW_HIDE);
    UpdateWindow(mainWnd);
    return RunMessageLoop();
}
