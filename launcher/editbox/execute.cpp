// execute.cpp - opening a path through the shell, and what the edit box does
// after a successful run. The decisions are made in execrules.cpp; this file
// asks the system (attributes, associated program) and starts the plan.
#include "execute.h"

#include <windows.h>
#include <shellapi.h>

#include "../../common/settings.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "../lists/history.h"
#include "../lists/listwnd.h"
#include "editbox.h"
#include "execrules.h"

static int Fail(void) {
    MessageBeep(MB_OK);
    return 0;
}

static bool ShellStarted(HINSTANCE result) { return (INT_PTR)result > 32; }

// Opens a document with the shell's default verb, so its association builds the
// command line (extra arguments, a DLL entry point, DDE). The shell shows no
// message of its own; true when it started something.
static bool OpenWithShellVerb(const char* file, const char* workDir) {
    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    // NOASYNC: a DDE conversation ends before this returns, even when the
    // program ends right after the run (exemode 0, one-shot mode).
    info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
    info.lpVerb = nullptr;
    info.lpFile = file;
    info.lpDirectory = workDir && *workDir ? workDir : nullptr;
    info.nShow = SW_SHOWNORMAL;
    return ShellExecuteExA(&info) && ShellStarted(info.hInstApp);
}

void EndTargetMode(void) {
    SetAppString(&App.targetProgram, nullptr);
    ClearFlags(SF_TARGET_PROGRAM);
    RedrawEditFrame();
}

// Works out what to start for file (already rooted). 0 when nothing can be.
static int MakePlan(const char* file, const char* workDir, ExecPlan* plan) {
    if (AnyFlag(SF_TARGET_PROGRAM)) {
        int ok = PlanTargetRun(file, App.targetProgram, App.argPrefix, plan);
        if (ok && plan->argPrefixUsed) SetAppString(&App.argPrefix, nullptr);
        EndTargetMode();
        return ok;
    }
    DWORD attributes = GetFileAttributesA(file);
    if (attributes == INVALID_FILE_ATTRIBUTES) return 0;
    ExecKind kind = KindOfPath(file, true, (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0);
    char associated[MAX_PATH] = "";
    if (kind == EXEC_DOCUMENT && !ShellStarted(FindExecutableA(file, nullptr, associated)))
        associated[0] = '\0';
    if (!PlanFileRun(file, kind, associated, App.argPrefix, workDir, plan)) return 0;
    if (plan->argPrefixUsed) SetAppString(&App.argPrefix, nullptr);
    return 1;
}

int Execute(const char* path, const char* workDir) {
    char file[EXEC_PATH_SIZE];
    if (!RootPath(path, App.startDir, file, sizeof file)) return Fail();
    ExecPlan plan;
    if (!MakePlan(file, workDir, &plan)) return Fail();

    if (plan.shellVerb) return OpenWithShellVerb(plan.file, plan.workDir) ? 1 : Fail();
    HINSTANCE started = ShellExecuteA(nullptr, "open", plan.file, plan.params,
                                      plan.workDir[0] ? plan.workDir : nullptr, SW_SHOWNORMAL);
    if (ShellStarted(started)) return 1;
    if (plan.alternative[0] && OpenWithShellVerb(plan.alternative, nullptr)) return 1;
    return Fail();
}

int ExecuteText(const char* text) {
    if (!Execute(text, nullptr)) return 0;
    HideFolderList();
    AddToHistory(text, 0);
    return 1;
}

void AfterRun(void) {
    switch (DecideAfterRun(AnyFlag(SF_ONE_SHOT), Settings.exemode, Settings.tray)) {
        case AFTER_RUN_CLOSE:
            // Posted: the run comes from inside the edit box's own key handler,
            // which must finish before shutdown closes the box.
            PostMessageA(Shell.mainWnd, WM_CLOSE, 0, 0);
            break;
        case AFTER_RUN_HIDE_TRAY:
            HideEditBox(1);
            break;
        case AFTER_RUN_HIDE_PLAIN:
            HideEditBox(2);
            break;
        case AFTER_RUN_KEEP:
            break;
    }
}
