// droptarget.cpp - files dropped on vorn: the drop target of the edit box and
// the list windows, the drop highlight on the row under the cursor, the
// tooltip that names what a drop would do and the drop menu.
#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shellapi.h>
#include <string.h>

#include <new>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "../shellext/shellext.h"
#include "comobject.h"
#include "dragdrop.h"
#include "dragdrop_internal.h"
#include "dragrules.h"

enum { TIP_TOOL_ID = 1000, TIP_TICK_MS = 400, TIP_SHOW_TICK = 2 };
static const char TIP_PROPERTY[] = "vorn_tooltips";

// --- the base: IDropTarget over five handlers -------------------------------------------

class CDropTarget : public ComObject<IDropTarget, &IID_IDropTarget> {
public:
    STDMETHODIMP DragEnter(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override {
        menu = (keys & MK_RBUTTON) != 0;
        hasFiles = false;
        if (data) {
            FORMATETC fe = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
            hasFiles = data->QueryGetData(&fe) == S_OK;
        }
        OnEnter(hasFiles, keys, pt);
        if (effect) *effect = hasFiles ? Effect(keys) : DROPEFFECT_NONE;
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD keys, POINTL pt, DWORD* effect) override {
        DWORD chosen = Effect(keys);
        if (hasFiles) OnOver(keys, pt, &chosen);
        if (effect) *effect = hasFiles ? chosen : DROPEFFECT_NONE;
        return S_OK;
    }
    STDMETHODIMP DragLeave() override {
        OnLeave();
        return S_OK;
    }
    STDMETHODIMP Drop(IDataObject* data, DWORD keys, POINTL pt, DWORD* effect) override {
        // The drop menu and the shell's file operation run message loops of
        // their own: a close or reload request meanwhile waits for the drop.
        BeginPumpingOperation();
        char* list = nullptr;
        if (data && hasFiles) {
            FORMATETC fe = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
            STGMEDIUM medium = {};
            if (data->GetData(&fe, &medium) == S_OK) {
                if (medium.tymed == TYMED_HGLOBAL && medium.hGlobal)
                    list = CollectDroppedFiles((HDROP)medium.hGlobal);
                ReleaseStgMedium(&medium);
            }
        }
        if (list) {
            if (menu)
                OnMenuDrop(list, pt);
            else
                OnDrop(list, (keys & MK_CONTROL) ? TRANSFER_COPY : TRANSFER_MOVE, pt);
            MemFree(list);
        } else {
            OnLeave();
        }
        EndPumpingOperation();
        // vorn has done the operation itself: the source deletes nothing.
        if (effect) *effect = DROPEFFECT_NONE;
        return S_OK;
    }
    virtual ~CDropTarget() {}

protected:
    static DWORD Effect(DWORD keys) {
        return (keys & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    }
    virtual void OnEnter(bool files, DWORD keys, POINTL pt) = 0;
    virtual void OnOver(DWORD keys, POINTL pt, DWORD* effect) = 0;
    virtual void OnLeave() = 0;
    virtual void OnDrop(const char* list, int action, POINTL pt) = 0;
    virtual void OnMenuDrop(const char* list, POINTL pt) = 0;
    bool menu = false;      // the drop opens the drop menu
    bool hasFiles = false;  // the data object carries CF_HDROP

};

// --- vorn's drop target --------------------------------------------------------------------

class CDrop : public CDropTarget {
public:
    CDrop() {
        tip = CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                              CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                              Shell.mainWnd, nullptr, Shell.instance, nullptr);
        ResetHover();
    }
    virtual ~CDrop() {
        EndHover();
        if (tip) DestroyWindow(tip);
    }
    // One tick of the tooltip timer.
    void Tick() {
        ticks++;
        if (ticks == TIP_SHOW_TICK) ShowTip(true);
        if (ticks >= TIP_SHOW_TICK) KillTimer(Shell.mainWnd, ID_TIMER_DRAG_TIP);
    }

protected:
    void OnEnter(bool files, DWORD keys, POINTL pt) override;
    void OnOver(DWORD keys, POINTL pt, DWORD* effect) override;
    void OnLeave() override;
    void OnDrop(const char* list, int action, POINTL pt) override;
    void OnMenuDrop(const char* list, POINTL pt) override;

private:
    void EndHover();
    void ResetHover() {
        hoverKeys = 0;
        hoverWnd = nullptr;
        hoverX = hoverY = -1;
        hoverItem = -1;
        target[0] = '\0';
    }
    void SetTool(HWND wnd, bool add, const char* text);
    void ShowTip(bool on);
    void Highlight(HWND wnd, int row, bool on);
    bool TargetOf(HWND wnd, int row, char* out, size_t size);
    bool IsEdit(HWND wnd) const { return wnd && wnd == EditBox.wnd; }

    HWND tip = nullptr;
    HWND tipOn = nullptr;  // the window whose tool shows the text
    bool toolsAdded = false;
    int ticks = 0;
    DWORD hoverKeys;
    HWND hoverWnd;
    LONG hoverX, hoverY;
    int hoverItem;
    char target[SHELL_PATH_SIZE];
};

static void CALLBACK DragTipTick(HWND wnd, UINT, UINT_PTR id, DWORD) {
    CDrop* drop = (CDrop*)GetPropA(wnd, TIP_PROPERTY);
    if (drop)
        drop->Tick();
    else
        KillTimer(wnd, id);
}

void CDrop::SetTool(HWND wnd, bool add, const char* text) {
    if (!tip || !wnd) return;
    TOOLINFOA ti;
    ZeroMemory(&ti, sizeof ti);
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.uFlags = TTF_SUBCLASS | TTF_TRACK | TTF_ABSOLUTE;
    ti.hwnd = wnd;
    ti.uId = TIP_TOOL_ID;
    ti.hinst = Shell.instance;
    GetClientRect(wnd, &ti.rect);
    if (add) {
        SendMessageA(tip, TTM_ADDTOOLA, 0, (LPARAM)&ti);
    } else if (text) {
        ti.lpszText = (LPSTR)text;
        SendMessageA(tip, TTM_UPDATETIPTEXTA, 0, (LPARAM)&ti);
    } else {
        SendMessageA(tip, TTM_DELTOOLA, 0, (LPARAM)&ti);
    }
}

void CDrop::ShowTip(bool on) {
    if (!tip) return;
    HWND wnd = on ? hoverWnd : tipOn;
    if (!wnd) return;
    TOOLINFOA ti;
    ZeroMemory(&ti, sizeof ti);
    ti.cbSize = TTTOOLINFOA_V2_SIZE;
    ti.hwnd = wnd;
    ti.uId = TIP_TOOL_ID;
    SendMessageA(tip, TTM_TRACKACTIVATE, on ? TRUE : FALSE, (LPARAM)&ti);
    tipOn = on ? wnd : nullptr;
}

void CDrop::Highlight(HWND wnd, int row, bool on) {
    if (!wnd || !IsWindow(wnd) || RoleOfListWindow(wnd) == LR_None) return;
    LVITEMA item;
    ZeroMemory(&item, sizeof item);
    item.stateMask = LVIS_DROPHILITED;
    item.state = on ? LVIS_DROPHILITED : 0;
    SendMessageA(wnd, LVM_SETITEMSTATE, (WPARAM)row, (LPARAM)&item);
}

// The folder or program a drop on wnd (row: the highlighted row of a list)
// would go to; false (out empty) when there is none.
bool CDrop::TargetOf(HWND wnd, int row, char* out, size_t size) {
    out[0] = '\0';
    char path[PATH_WORK_SIZE];
    if (IsEdit(wnd)) {
        char text[EDIT_TEXT_MAX];
        ReadEditText(text, sizeof text);
        if (!RootedPath(text, path, sizeof path)) return false;
        if (!DirectoryExists(path) && !IsProgramTarget(path) && !EndsWithSeparatorSjis(path))
            CutLastComponent(path);
        if (!FileExists(path) && !DirectoryExists(path)) return false;
    } else if (RoleOfListWindow(wnd) != LR_None) {
        if (row < 0 || !ListRowFullPath(wnd, row, path, sizeof path)) return false;
        if (!DirectoryExists(path) && !IsProgramTarget(path)) CutLastComponent(path);
    } else {
        return false;
    }
    if (IsBareDrive(path)) AddTrailingSeparator(path, sizeof path);
    return CopyString(out, path, size) == strlen(path) || (out[0] = '\0', false);
}

void CDrop::OnEnter(bool files, DWORD keys, POINTL pt) {
    (void)keys;
    if (!files) {
        ShowTip(false);
        KillTimer(Shell.mainWnd, ID_TIMER_DRAG_TIP);
        return;
    }
    POINT p = {pt.x, pt.y};
    if (IsEdit(WindowFromPoint(p))) SetFocus(EditBox.wnd);
    ticks = 0;
    ResetHover();
    if (!toolsAdded) {
        for (int i = 0; i < DragDrop.windowCount; i++) SetTool(DragDrop.windows[i], true, nullptr);
        toolsAdded = true;
    }
    if (tip) SetWindowPos(tip, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    SetPropA(Shell.mainWnd, TIP_PROPERTY, (HANDLE)this);
}

void CDrop::OnOver(DWORD keys, POINTL pt, DWORD* effect) {
    POINT p = {pt.x, pt.y};
    HWND wnd = WindowFromPoint(p);
    bool changed = false, computed = false;
    unsigned startTick = 0;
    if (RoleOfListWindow(wnd) != LR_None) {
        int row = ListRowAtScreenPoint(wnd, p);
        if (row != hoverItem || wnd != hoverWnd) {
            if (hoverItem >= 0) Highlight(hoverWnd, hoverItem, false);
            if (row >= 0) Highlight(wnd, row, true);
            hoverItem = row;
            TargetOf(wnd, row, target, sizeof target);
            computed = changed = true;
            ShowTip(false);
        }
    } else if (wnd != hoverWnd && hoverItem >= 0) {
        Highlight(hoverWnd, hoverItem, false);
        hoverItem = -1;
    }
    if (tip && (pt.x != hoverX || pt.y != hoverY))
        SendMessageA(tip, TTM_TRACKPOSITION, 0, MAKELPARAM(pt.x + 15, pt.y + 10));
    if ((wnd != hoverWnd || keys != hoverKeys) && !computed) {
        TargetOf(wnd, hoverItem, target, sizeof target);
        ShowTip(false);
        changed = true;
        if (keys != hoverKeys && wnd == hoverWnd) startTick = 1;
    }
    // A drop on the edit box always opens the drop menu.
    if (IsEdit(wnd))
        menu = true;
    else if (!(keys & MK_RBUTTON))
        menu = false;
    uint32_t chosen = *effect;
    char text[SHELL_PATH_SIZE + 32];
    bool hasText = DragTipText(target, menu, &chosen, text, sizeof text);
    if (target[0])
        *effect = chosen;
    else if (!IsEdit(wnd))
        *effect = DROPEFFECT_NONE;  // nothing under the cursor takes the files
    if (changed) {
        KillTimer(Shell.mainWnd, ID_TIMER_DRAG_TIP);
        ticks = (int)startTick;
        hoverWnd = wnd;
        if (hasText && DragDrop.windowCount) {
            SetTool(wnd, false, text);
            SetTimer(Shell.mainWnd, ID_TIMER_DRAG_TIP, TIP_TICK_MS, DragTipTick);
        }
    }
    hoverKeys = keys;
    hoverWnd = wnd;
    hoverX = pt.x;
    hoverY = pt.y;
}

void CDrop::OnLeave() {
    if (IsEdit(hoverWnd)) {
        if (IsWindow(EditBox.wnd)) SetFocus(EditBox.wnd);
    } else if (!ItemListOnShow() || !CascadeLevelsOpen()) {
        // The drag goes on elsewhere: the program's window is no longer the
        // active one.
        SetActiveWindow(nullptr);
    }
    EndHover();
}

// What a hover holds: the highlight, the tooltip, its timer and tools.
void CDrop::EndHover() {
    if (hoverItem >= 0) Highlight(hoverWnd, hoverItem, false);
    ticks = 0;
    if (Shell.mainWnd) KillTimer(Shell.mainWnd, ID_TIMER_DRAG_TIP);
    ShowTip(false);
    if (toolsAdded) {
        for (int i = 0; i < DragDrop.windowCount; i++)
            if (IsWindow(DragDrop.windows[i])) SetTool(DragDrop.windows[i], false, nullptr);
        toolsAdded = false;
    }
    ResetHover();
    if (Shell.mainWnd) RemovePropA(Shell.mainWnd, TIP_PROPERTY);
}

void CDrop::OnDrop(const char* list, int action, POINTL pt) {
    (void)pt;
    char to[SHELL_PATH_SIZE];
    CopyString(to, target, sizeof to);
    OnLeave();
    if (!to[0]) return;
    if (action == TRANSFER_COPY || action == TRANSFER_MOVE)
        TransferToFolder(list, action, to);
    else
        MakeShortcutsInFolder(list, to);
}

static void AddMenuRow(HMENU menu, int at, const DropMenuEntry* entry) {
    MENUITEMINFOA mi;
    ZeroMemory(&mi, sizeof mi);
    mi.cbSize = sizeof mi;
    if (entry->id == 0) {
        mi.fMask = MIIM_FTYPE;
        mi.fType = MFT_SEPARATOR;
    } else {
        mi.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STATE | MIIM_STRING;
        mi.fType = MFT_STRING;
        mi.wID = (UINT)entry->id;
        mi.fState = MFS_ENABLED;
        mi.dwTypeData = (LPSTR)entry->text;
    }
    InsertMenuItemA(menu, (UINT)at, TRUE, &mi);
}

void CDrop::OnMenuDrop(const char* list, POINTL pt) {
    ticks = 0;
    KillTimer(Shell.mainWnd, ID_TIMER_DRAG_TIP);
    ShowTip(false);
    POINT p = {pt.x, pt.y};
    HWND wnd = WindowFromPoint(p);
    char to[SHELL_PATH_SIZE];
    TargetOf(wnd, wnd == hoverWnd ? hoverItem : ListRowAtScreenPoint(wnd, p), to, sizeof to);
    DropMenuEntry rows[DROP_MENU_MAX];
    int n = DropMenuEntries(IsEdit(wnd), to, rows);
    HMENU popup = CreatePopupMenu();
    int chosen = 0;
    if (popup) {
        for (int i = 0; i < n; i++) AddMenuRow(popup, i, &rows[i]);
        SetForegroundWindow(Shell.mainWnd);
        chosen = (int)TrackPopupMenu(popup, TPM_RETURNCMD | TPM_NONOTIFY | TPM_VERTICAL, p.x, p.y,
                                     0, Shell.mainWnd, nullptr);
        PostMessageA(Shell.mainWnd, WM_NULL, 0, 0);
        DestroyMenu(popup);
    }
    OnLeave();
    switch (chosen) {
        case IDM_DROP_TO_EDIT:
            ClearEditBox();
            if (SetEditText(list)) RefreshPathIcon();
            break;
        case IDM_DROP_OPEN_WITH:
            OpenFilesWithProgram(to, list);
            break;
        case IDM_DROP_COPY:
        case IDM_DROP_MOVE:
        case IDM_DROP_SHORTCUT:
            if (!to[0]) break;
            if (chosen == IDM_DROP_SHORTCUT)
                MakeShortcutsInFolder(list, to);
            else
                TransferToFolder(list, chosen == IDM_DROP_COPY ? TRANSFER_COPY : TRANSFER_MOVE, to);
            break;
    }
}

IDropTarget* NewDropTarget(void) { return new (std::nothrow) CDrop(); }
