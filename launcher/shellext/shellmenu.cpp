// shellmenu.cpp - the shell's own context menu for the items of the edit box
// or a list window, the forwarding of its menu messages while it is shown,
// and the shell's properties sheet.
#include <windows.h>
#include <objbase.h>
#include <shellapi.h>
// The shell headers declare a COM class named like the application shell's
// record: it goes by another name here.
#define Shell ShellDispatchClass
#include <shlobj.h>
#undef Shell
#include <stddef.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "../shell/shell.h"
#include "shellext.h"

// The clipboard's CF_HDROP block (clipfiles.cpp) starts with the shell's
// DROPFILES; the rules write it field by field at these offsets, on both
// architectures. (Its declaration lives in the shell headers, included here.)
static_assert(sizeof(DROPFILES) == DROP_HEADER_SIZE, "DROPFILES is 20 bytes");
static_assert(offsetof(DROPFILES, pFiles) == 0, "list offset at 0");
static_assert(offsetof(DROPFILES, pt) == 4, "drop point at 4");
static_assert(offsetof(DROPFILES, fNC) == 12, "non-client flag at 12");
static_assert(offsetof(DROPFILES, fWide) == 16, "wide flag at 16");

// The command info handed to the chosen verb: 36 bytes on x86, where the
// shell's older readers check cbSize; pointer-sized fields make it 56 on
// x86-64.
static_assert(sizeof(CMINVOKECOMMANDINFO) == (sizeof(void*) == 4 ? 36 : 56),
              "CMINVOKECOMMANDINFO size");
static_assert(offsetof(CMINVOKECOMMANDINFO, hwnd) == 8, "owner after size and mask");
static_assert(offsetof(CMINVOKECOMMANDINFO, lpVerb) == 8 + sizeof(void*), "verb after owner");

// The shell menu being shown: at most one of the two is set, and only while
// it is tracked.
struct ShellMenuState {
    IContextMenu2* menu2;
    IContextMenu3* menu3;
};
static ShellMenuState ShellMenu;

enum { SHELL_MENU_FIRST_ID = 1, SHELL_MENU_LAST_ID = 0x7FFF };

namespace {

bool WideText(const char* text, wchar_t* wide, int chars) {
    return MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, text, -1, wide, chars) > 0;
}

POINT EditBoxCentre(void) {
    POINT pt = {0, 0};
    RECT rc;
    if (EditBox.wnd && GetWindowRect(EditBox.wnd, &rc)) {
        pt.x = rc.left + (rc.right - rc.left) / 2;
        pt.y = rc.top + (rc.bottom - rc.top) / 2;
    }
    return pt;
}

// The items of a window as rooted full paths (MemAlloc) and the folder they
// are named in.
char* ItemsOfWindow(HWND wnd, char* parent, size_t parentSize, int* count) {
    parent[0] = '\0';
    char* list = WindowFiles(wnd, WF_FOCUSED_ITEM, count);
    if (!list) return nullptr;
    // The folder list and the cascade levels know the folder of their names
    // (the typed folder, also under a half-typed name); the box's path and the
    // item list's rows are whole paths.
    ListRole role = RoleOfListWindow(wnd);
    if (role == LR_None || role == LR_Item || !FolderOfListWindow(wnd, parent, parentSize))
        ParentOfItem(list, parent, parentSize);
    return list;
}

void FreeItems(LPITEMIDLIST* items, UINT count) {
    if (!items) return;
    for (UINT i = 0; i < count; i++)
        if (items[i]) CoTaskMemFree(items[i]);
    MemFree(items);
}

// Parses name relative to folder into a child identifier.
LPITEMIDLIST ParseChild(IShellFolder* folder, const char* name) {
    wchar_t wide[SHELL_PATH_SIZE];
    if (!WideText(name, wide, SHELL_PATH_SIZE)) return nullptr;
    LPITEMIDLIST pidl = nullptr;
    ULONG eaten = 0;
    if (FAILED(folder->ParseDisplayName(nullptr, nullptr, wide, &eaten, &pidl, nullptr)))
        return nullptr;
    return pidl;
}

// True when pidl has more than one element.
bool IsMultiLevel(LPCITEMIDLIST pidl) {
    if (!pidl || pidl->mkid.cb == 0) return false;
    LPCITEMIDLIST next = (LPCITEMIDLIST)((const BYTE*)pidl + pidl->mkid.cb);
    return next->mkid.cb != 0;
}

}  // namespace

IShellFolder* ParentFolderOf(const char* path) {
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return nullptr;
    // The desktop is the folder of the empty path itself: binding its empty
    // identifier list may give nothing.
    if (!path || !*path) return desktop;
    wchar_t wide[SHELL_PATH_SIZE];
    IShellFolder* folder = nullptr;
    LPITEMIDLIST pidl = nullptr;
    ULONG eaten = 0;
    if (WideText(path, wide, SHELL_PATH_SIZE) &&
        SUCCEEDED(desktop->ParseDisplayName(nullptr, nullptr, wide, &eaten, &pidl, nullptr)) &&
        pidl) {
        if (pidl->mkid.cb == 0) {
            folder = desktop;
            folder->AddRef();
        } else if (FAILED(desktop->BindToObject(pidl, nullptr, IID_IShellFolder, (void**)&folder))) {
            folder = nullptr;
        }
        CoTaskMemFree(pidl);
    }
    desktop->Release();
    return folder;
}

bool TrackShellMenu(HWND owner, IShellFolder* folder, LPCITEMIDLIST* items, UINT count,
                    POINT point) {
    if (!folder || !items || !count) return false;
    IContextMenu* menu = nullptr;
    if (FAILED(folder->GetUIObjectOf(owner, count, items, IID_IContextMenu, nullptr,
                                     (void**)&menu)) ||
        !menu)
        return false;
    IContextMenu2* menu2 = nullptr;
    HRESULT hr = menu->QueryInterface(IID_IContextMenu2, (void**)&menu2);
    menu->Release();
    if (FAILED(hr) || !menu2) return false;
    IContextMenu3* menu3 = nullptr;
    IContextMenu* inUse = menu2;
    if (SUCCEEDED(menu2->QueryInterface(IID_IContextMenu3, (void**)&menu3)) && menu3) {
        menu2->Release();
        menu2 = nullptr;
        inUse = menu3;
    }
    bool ran = false;
    HMENU popup = CreatePopupMenu();
    // The menu's loop and the shell's commands (a copy, a property sheet, a
    // program started) pump messages: requests to close or reload wait.
    BeginPumpingOperation();
    if (popup) {
        ShellMenu.menu2 = menu2;
        ShellMenu.menu3 = menu3;
        if (SUCCEEDED(inUse->QueryContextMenu(popup, 0, SHELL_MENU_FIRST_ID, SHELL_MENU_LAST_ID,
                                              CMF_CANRENAME))) {
            UINT id = (UINT)TrackPopupMenu(popup, TPM_RETURNCMD | TPM_RIGHTBUTTON, point.x,
                                           point.y, 0, owner, nullptr);
            ShellMenu.menu2 = nullptr;
            ShellMenu.menu3 = nullptr;
            if (id >= SHELL_MENU_FIRST_ID) {
                CMINVOKECOMMANDINFO info;
                ZeroMemory(&info, sizeof info);
                info.cbSize = sizeof info;
                info.hwnd = owner;
                info.lpVerb = MAKEINTRESOURCEA(id - SHELL_MENU_FIRST_ID);
                info.nShow = SW_SHOWNORMAL;
                ran = SUCCEEDED(inUse->InvokeCommand(&info));
            }
        }
        ShellMenu.menu2 = nullptr;
        ShellMenu.menu3 = nullptr;
        DestroyMenu(popup);
    }
    inUse->Release();
    EndPumpingOperation();
    return ran;
}

bool ShowShellMenuOf(HWND wnd, int x, int y) {
    if (!wnd) return false;
    IMalloc* allocator = nullptr;
    if (FAILED(SHGetMalloc(&allocator)) || !allocator) return false;
    allocator->Release();
    char parent[SHELL_PATH_SIZE];
    int count = 0;
    char* paths = ItemsOfWindow(wnd, parent, sizeof parent, &count);
    if (!paths) return false;
    LPITEMIDLIST* items = (LPITEMIDLIST*)MemAlloc(sizeof(LPITEMIDLIST) * (size_t)count);
    IShellFolder* folder = nullptr;
    bool ok = items != nullptr;
    UINT parsed = 0;
    for (const char* p = paths; ok && *p; p += strlen(p) + 1) {
        char bind[SHELL_PATH_SIZE], name[SHELL_PATH_SIZE];
        ok = ShellParentAndName(parent, p, bind, sizeof bind, name, sizeof name);
        if (ok && !folder) ok = (folder = ParentFolderOf(bind)) != nullptr;
        LPITEMIDLIST pidl = ok ? ParseChild(folder, name) : nullptr;
        ok = pidl != nullptr;
        if (!ok) break;
        items[parsed++] = pidl;
    }
    // Whole paths parsed on the desktop (the drives) are children of the
    // folder that holds them.
    if (ok && parsed && IsMultiLevel(items[0])) {
        IShellFolder* holder = nullptr;
        LPCITEMIDLIST last = nullptr;
        ok = SUCCEEDED(SHBindToParent(items[0], IID_IShellFolder, (void**)&holder, &last)) && holder;
        for (UINT i = 0; ok && i < parsed; i++) {
            LPITEMIDLIST child = ILClone(ILFindLastID(items[i]));
            ok = child != nullptr;
            if (ok) {
                CoTaskMemFree(items[i]);
                items[i] = child;
            }
        }
        if (folder) folder->Release();
        folder = holder;
    }
    bool ran = false;
    if (ok && parsed) {
        POINT pt = {x, y};
        if (x == 0 && y == 0) pt = EditBoxCentre();
        ran = TrackShellMenu(EditBox.wnd, folder, (LPCITEMIDLIST*)items, parsed, pt);
    }
    if (folder) folder->Release();
    FreeItems(items, parsed);
    MemFree(paths);
    return ran;
}

LRESULT ForwardShellMenuMessage(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (ShellMenu.menu3) return (LRESULT)ShellMenu.menu3->HandleMenuMsg(msg, wParam, lParam);
    if (ShellMenu.menu2) return (LRESULT)ShellMenu.menu2->HandleMenuMsg(msg, wParam, lParam);
    return -1;
}

LRESULT ForwardShellMenuChar(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (!ShellMenu.menu3) return -1;
    LRESULT result = 0;
    if (FAILED(ShellMenu.menu3->HandleMenuMsg2(msg, wParam, lParam, &result))) return -1;
    return result;
}

BOOL(WINAPI* PropertiesCall)(SHELLEXECUTEINFOA*) = ShellExecuteExA;

bool ShowProperties(HWND owner, const char* path) {
    if (!path || !*path) return false;
    SHELLEXECUTEINFOA info;
    ZeroMemory(&info, sizeof info);
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_INVOKEIDLIST;
    info.hwnd = owner;
    info.lpVerb = "properties";
    info.lpFile = path;
    info.nShow = SW_SHOWNORMAL;
    BeginPumpingOperation();
    bool ok = PropertiesCall(&info) != FALSE;
    EndPumpingOperation();
    return ok;
}

bool ShowPropertiesOf(HWND wnd) {
    char* list = WindowFiles(wnd, 0, nullptr);
    if (!list) return false;
    bool ok = ShowProperties(wnd, list);  // the first file
    MemFree(list);
    return ok;
}
