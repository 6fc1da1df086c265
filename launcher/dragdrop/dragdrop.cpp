// dragdrop.cpp - the drag state (arming on a press, the drag out of vorn on a
// move) and the registration of the windows that take drops.
#include "dragdrop.h"

#include <commctrl.h>
#include <ole2.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "../shell/shell.h"
#include "../shellext/shellext.h"
#include "dragdrop_internal.h"

DragDropState DragDrop;

HRESULT(WINAPI* DragLoopCall)(IDataObject*, IDropSource*, DWORD, DWORD*) = DoDragDrop;

// --- the windows that take drops ------------------------------------------------------

bool RegisterDropWindow(HWND wnd) {
    if (!wnd || !Shell.oleReady) return false;
    for (int i = 0; i < DragDrop.windowCount; i++)
        if (DragDrop.windows[i] == wnd) return true;
    if (DragDrop.windowCount >= DROP_WINDOWS_MAX) return false;
    if (!DragDrop.target) DragDrop.target = NewDropTarget();
    if (!DragDrop.target) return false;
    if (FAILED(RegisterDragDrop(wnd, DragDrop.target))) return false;
    DragDrop.windows[DragDrop.windowCount++] = wnd;
    return true;
}

void RevokeDropWindow(HWND wnd) {
    for (int i = 0; i < DragDrop.windowCount; i++) {
        if (DragDrop.windows[i] != wnd) continue;
        RevokeDragDrop(wnd);
        DragDrop.windows[i] = DragDrop.windows[--DragDrop.windowCount];
        return;
    }
}

bool RegisterDropTarget(void) { return RegisterDropWindow(EditBox.wnd); }

void RevokeDropTarget(void) {
    while (DragDrop.windowCount > 0) {
        HWND wnd = DragDrop.windows[--DragDrop.windowCount];
        if (IsWindow(wnd)) RevokeDragDrop(wnd);
    }
    if (DragDrop.target) DragDrop.target->Release();
    DragDrop.target = nullptr;
    DragDrop.state = DRAG_IDLE;
}

// --- a drag out of vorn -----------------------------------------------------------------

void ArmDrag(HWND wnd, LPARAM point) {
    if (DragDrop.state != DRAG_IDLE) {
        DragDrop.state = DRAG_IDLE;  // a second press disarms
        return;
    }
    POINT p = {(short)LOWORD(point), (short)HIWORD(point)};
    if (RoleOfListWindow(wnd) != LR_None) {
        ClientToScreen(wnd, &p);
        int row = ListRowAtScreenPoint(wnd, p);
        if (row >= 0 && (SendMessageA(wnd, LVM_GETITEMSTATE, (WPARAM)row, LVIS_SELECTED) &
                         LVIS_SELECTED))
            DragDrop.state = DRAG_ARMED;
    } else if (wnd && wnd == EditBox.wnd) {
        char text[EDIT_TEXT_MAX];
        char path[SHELL_PATH_SIZE];
        ReadEditText(text, sizeof text);
        if (EditItemPath(text, path, sizeof path) && (FileExists(path) || DirectoryExists(path)))
            DragDrop.state = DRAG_ARMED;
    }
}

int IsDragArmed(void) { return DragDrop.state; }

void DisarmDrag(void) {
    if (DragDrop.state == DRAG_ARMED) DragDrop.state = DRAG_IDLE;
}

// The files a drag out of source carries (a file list; caller frees).
static char* DragFilesOf(HWND source) { return WindowFiles(source, WF_BOX_EXISTING, nullptr); }

HRESULT StartDrag(HWND source) {
    if (DragDrop.state != DRAG_ARMED) return DRAGDROP_S_CANCEL;
    DragDrop.state = DRAG_RUNNING;
    HRESULT result = DRAGDROP_S_CANCEL;
    char* list = DragFilesOf(source);
    IDataObject* data = list ? CreateFileDragObject(list, RoleOfListWindow(source) == LR_Item)
                             : nullptr;
    IDropSource* dropSource = data ? CreateFileDropSource() : nullptr;
    if (data && dropSource) {
        DWORD effect = DROPEFFECT_NONE;
        // The drag's loop pumps messages until the drop: requests to close
        // or reload wait for it.
        BeginPumpingOperation();
        result = DragLoopCall(data, dropSource,
                              DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK | DROPEFFECT_SCROLL,
                              &effect);
        EndPumpingOperation();
    }
    if (dropSource) dropSource->Release();
    if (data) data->Release();
    MemFree(list);
    DragDrop.state = DRAG_IDLE;
    return result;
}
