// putfiles.cpp - a stand-in for another program that puts files on the
// clipboard the way the shell does: CF_HDROP (DROPFILES header, ANSI list)
// and, unless the effect is 0, "Preferred DropEffect".
//
//   putfiles.exe <effect> <path>...
//
// Exits 0 once the clipboard holds them, 1 on a usage error, 2 when the
// clipboard could not be set.
#include <windows.h>
#include <shellapi.h>
#include <shlobj.h>
#include <stdlib.h>
#include <string.h>

#include <string>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) return 1;
    DWORD effect = (DWORD)wcstoul(argv[1], nullptr, 10);
    std::string list;
    for (int i = 2; i < argc; i++) {
        char path[1024];
        if (!WideCharToMultiByte(CP_ACP, 0, argv[i], -1, path, sizeof path, nullptr, nullptr))
            return 1;
        list += path;
        list += '\0';
    }
    list += '\0';
    LocalFree(argv);

    HGLOBAL drop = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DROPFILES) + list.size());
    HGLOBAL effectBlock = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, sizeof(DWORD));
    if (!drop || !effectBlock) return 2;
    DROPFILES* header = (DROPFILES*)GlobalLock(drop);
    header->pFiles = sizeof(DROPFILES);
    memcpy((char*)header + sizeof(DROPFILES), list.data(), list.size());
    GlobalUnlock(drop);
    *(DWORD*)GlobalLock(effectBlock) = effect;
    GlobalUnlock(effectBlock);

    bool open = false;
    for (int i = 0; i < 50 && !(open = OpenClipboard(nullptr) != FALSE); i++) Sleep(20);
    if (!open) return 2;
    EmptyClipboard();
    bool ok = SetClipboardData(CF_HDROP, drop) != nullptr;
    if (effect) ok = SetClipboardData(RegisterClipboardFormatA("Preferred DropEffect"), effectBlock) && ok;
    else GlobalFree(effectBlock);
    CloseClipboard();
    return ok ? 0 : 2;
}
