// instance.cpp - the single-instance rule: the first start holds the mutex
// "___vorn__te"; a later start hands its command line to the first one's main
// window and ends.
#include "instance.h"

#include <string.h>

#include "../../common/sharednames.h"
#include "../../common/winutil.h"
#include "appstate.h"
#include "shell.h"

// A hung first instance must not hang the second start forever.
enum { HANDOVER_TIMEOUT_MS = 10000 };

static void SendHandOver(HWND target, ULONG_PTR kind, const char* text) {
    if (!target || !text) return;
    size_t length = strlen(text);
    if (length >= HANDOVER_TEXT_MAX) return;
    COPYDATASTRUCT record;
    record.dwData = kind;
    record.cbData = (DWORD)(length + 1);
    record.lpData = (void*)text;
    DWORD_PTR result = 0;
    SendMessageTimeoutA(target, WM_COPYDATA, 0, (LPARAM)&record, SMTO_ABORTIFHUNG,
                        HANDOVER_TIMEOUT_MS, &result);
}

static void HandOverCommandLine(void) {
    // The primary is always found under "vorn_class", also when this start has /q.
    HWND target = FindWindowExA(HWND_MESSAGE, nullptr, VORN_MAIN_CLASS, nullptr);
    if (target) {
        // Let the running instance come to the front: this start holds the
        // user's foreground right.
        DWORD process = 0;
        GetWindowThreadProcessId(target, &process);
        if (process) AllowSetForegroundWindow(process);
    }
    if (AnyFlag(SF_TARGET_PROGRAM)) {
        char path[HANDOVER_TEXT_MAX];
        if (WindowProcessPath(GetForegroundWindow(), path, sizeof path))
            SendHandOver(target, HANDOVER_TARGET, path);
    }
    if (App.argPrefix) {
        SendHandOver(target, HANDOVER_ARGPREFIX, App.argPrefix);
        SetAppString(&App.argPrefix, nullptr);
    }
    if (Shell.initialText[0])
        SendHandOver(target, HANDOVER_TEXT, Shell.initialText);
    else
        SendHandOver(target, HANDOVER_SHOW, "");
}

int CheckSingleInstance(void) {
    if (AnyFlag(SF_MULTI_INSTANCE)) return 1;
    HANDLE mutex = OpenMutexA(SYNCHRONIZE, FALSE, VORN_INSTANCE_MUTEX);
    if (!mutex) {
        mutex = CreateMutexA(nullptr, TRUE, VORN_INSTANCE_MUTEX);
        // Two starts at the same moment both miss the open; the one whose
        // create finds the mutex already there is the second.
        if (!mutex || GetLastError() != ERROR_ALREADY_EXISTS) {
            Shell.mutex = mutex;
            return 1;
        }
    }
    HandOverCommandLine();
    CloseHandle(mutex);
    return 0;
}

const char* HandOverText(const void* data, size_t size) {
    if (!data || size == 0 || size >= HANDOVER_TEXT_MAX) return nullptr;
    if (!memchr(data, '\0', size)) return nullptr;
    return (const char*)data;
}
