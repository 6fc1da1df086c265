// shortcut.cpp - shortcut files through the shell link object: making them
// beside their targets or in a folder, reading their target; and closing a
// window of another program politely.
#include <windows.h>
#include <mmsystem.h>
#include <objbase.h>
#include <shlobj.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "shellext.h"

namespace {

// path as UTF-16 in a buffer of SHELL_PATH_SIZE characters; false when it
// does not fit or does not convert.
bool WidePath(const char* path, wchar_t* wide) {
    return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, path, -1, wide, SHELL_PATH_SIZE) > 0;
}

// A shortcut beside file, under the first free name file.lnk, file(1).lnk, ...
bool MakeShortcutBeside(const char* file) {
    char link[SHELL_PATH_SIZE];
    if (CopyString(link, file, sizeof link) != strlen(file)) return false;
    if (!UniqueLinkName(link, sizeof link)) return false;
    return CreateShortcut(file, link, nullptr, nullptr, nullptr, 0);
}

}  // namespace

bool CreateShortcut(const char* target, const char* link, const char* description,
                    const char* arguments, const char* folder, int showCommand) {
    if (!target || !*target || !link || !*link) return false;
    wchar_t wideLink[SHELL_PATH_SIZE];
    if (!WidePath(link, wideLink)) return false;
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&shellLink)))
        return false;
    IPersistFile* file = nullptr;
    bool ok = false;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file)) &&
        SUCCEEDED(shellLink->SetPath(target))) {
        if (arguments) shellLink->SetArguments(arguments);
        if (folder) shellLink->SetWorkingDirectory(folder);
        if (showCommand) shellLink->SetShowCmd(showCommand);
        if (description) shellLink->SetDescription(description);
        shellLink->SetIconLocation(target, 0);
        ok = SUCCEEDED(file->Save(wideLink, TRUE));
    }
    if (file) file->Release();
    shellLink->Release();
    return ok;
}

int MakeShortcutsFor(HWND wnd) {
    char* list = WindowFiles(wnd, WF_BOX_EXISTING, nullptr);
    if (!list) return 0;
    int made = 0;
    for (const char* p = list; *p; p += strlen(p) + 1)
        if (MakeShortcutBeside(p)) made++;
    MemFree(list);
    return made;
}

int MakeShortcutsInFolder(const char* list, const char* folder) {
    if (!list || !folder || !*folder) return 0;
    int made = 0;
    for (const char* p = list; *p; p += strlen(p) + 1) {
        char link[SHELL_PATH_SIZE];
        if (LinkBaseInFolder(folder, p, link, sizeof link) && UniqueLinkName(link, sizeof link) &&
            CreateShortcut(p, link, nullptr, nullptr, nullptr, 0))
            made++;
    }
    return made;
}

bool ResolveShortcut(const char* link, char* out, size_t size) {
    if (!link || !*link || !out || !size) return false;
    wchar_t wide[SHELL_PATH_SIZE];
    if (!WidePath(link, wide)) return false;
    IShellLinkA* shellLink = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                (void**)&shellLink)))
        return false;
    bool ok = false;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, (void**)&file))) {
        if (SUCCEEDED(file->Load(wide, STGM_READ))) {
            // Room beyond a path buffer: a longer target shows as one.
            char target[SHELL_PATH_SIZE * 2] = "";
            WIN32_FIND_DATAA data;
            // The target is written only whole; a link without a path (or
            // whose path would not fit) leaves the caller's text.
            if (SUCCEEDED(shellLink->GetPath(target, sizeof target, &data, SLGP_UNCPRIORITY)) &&
                target[0] && strlen(target) < SHELL_PATH_SIZE && strlen(target) < size) {
                CopyString(out, target, size);
                ok = true;
            }
        }
        file->Release();
    }
    shellLink->Release();
    return ok;
}

enum {
    CLOSE_ANSWER_MS = 1000,  // a window must answer a null message within this
    CLOSE_SEND_MS = 500,     // the close command
    CLOSE_GONE_MS = 200,     // the wait for the window to go
};

static DWORD AtMost(DWORD ms, DWORD limit) { return ms < limit ? ms : limit; }

static void WaitWindowGoneWithin(HWND window, DWORD limitMs) {
    if (!window || !IsWindow(window)) return;
    DWORD start = timeGetTime();
    while (IsWindow(window) && timeGetTime() - start < limitMs) Sleep(1);
}

void WaitWindowGone(HWND window) { WaitWindowGoneWithin(window, CLOSE_GONE_MS); }

void ClosePolitely(HWND window, DWORD limitMs) {
    if (!window || !IsWindow(window) || !limitMs) return;
    // A window the system already knows to hang is skipped at once; the
    // others must answer in time. vorn still answers what is sent to it
    // meanwhile (no SMTO_BLOCK): another program may be waiting on it.
    if (IsHungAppWindow(window)) return;
    DWORD start = timeGetTime();
    DWORD_PTR answer = 0;
    if (!SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG,
                             AtMost(CLOSE_ANSWER_MS, limitMs), &answer))
        return;
    DWORD used = timeGetTime() - start;
    if (used >= limitMs) return;
    SendMessageTimeoutA(window, WM_SYSCOMMAND, SC_CLOSE, 0, SMTO_ABORTIFHUNG,
                        AtMost(CLOSE_SEND_MS, limitMs - used), &answer);
    used = timeGetTime() - start;
    if (used < limitMs) WaitWindowGoneWithin(window, AtMost(CLOSE_GONE_MS, limitMs - used));
}
