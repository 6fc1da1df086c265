// dragdrop.h - OLE drag and drop of files, both ways. Out of vorn: a press
// on a selected list row or on the edit box's path icon arms a drag, a move
// with the button held runs it. Into vorn: files dropped on the edit box or
// on a row of a list window are copied, moved, linked or opened with the
// program under the cursor. The edit box and the lists call only this.
#pragma once
#include <windows.h>

// Drag states.
enum { DRAG_IDLE = 0, DRAG_ARMED = 1, DRAG_RUNNING = 2 };

// The drop target of the edit box (created with it, tooltip included); true
// when registered. The list windows register themselves as they are made.
bool RegisterDropTarget(void);
// At shutdown: every window registered is revoked and the target released.
void RevokeDropTarget(void);
// A window that takes drops (the edit box, a list window); true when
// registered. RevokeDropWindow before the window goes.
bool RegisterDropWindow(HWND wnd);
void RevokeDropWindow(HWND wnd);

// On a left or right button down in wnd at the client point packed as in a
// mouse message: arms a drag when the press is on a selected row of a list
// window, or (the edit box) when its text names an existing file or folder.
// A press while armed disarms instead.
void ArmDrag(HWND wnd, LPARAM point);
// The drag state (DRAG_*).
int IsDragArmed(void);
// Back to idle (a button up, the preview).
void DisarmDrag(void);
// On a mouse move with a button held while armed: runs the whole drag out of
// source (the edit box or a list window). The DoDragDrop result, or
// DRAGDROP_S_CANCEL when nothing was dragged.
HRESULT StartDrag(HWND source);

// The OLE drag loop StartDrag runs (DoDragDrop; a test puts a stand-in in its
// place).
extern HRESULT(WINAPI* DragLoopCall)(IDataObject*, IDropSource*, DWORD, DWORD*);

// The registered number of the "Shell IDList Array" format.
UINT ShellIdListFormat(void);
// The data object of a drag of the files of list (a file list) out of a
// window of role: CF_HDROP and CF_TEXT, and the shell's identifier-list array
// unless fromItemList or the paths cannot all be parsed. The caller releases
// it; null without memory or for an empty list.
IDataObject* CreateFileDragObject(const char* list, bool fromItemList);
// A drop source that ends the drag as the user does (Esc or both buttons
// cancel, releasing the buttons drops).
IDropSource* CreateFileDropSource(void);
