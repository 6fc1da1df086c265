// dragdrop_internal.h - what the files of drag and drop share among
// themselves: the one state record and the drop target's maker.
#pragma once
#include <windows.h>
#include <ole2.h>

enum { DROP_WINDOWS_MAX = 64 };

struct DragDropState {
    int state;                            // DRAG_IDLE, DRAG_ARMED, DRAG_RUNNING
    IDropTarget* target;                  // the one drop target, or null
    HWND windows[DROP_WINDOWS_MAX];       // windows registered with it
    int windowCount;
};
extern DragDropState DragDrop;

// The drop target of vorn (with its tooltip), holding one reference; null
// when it cannot be made.
IDropTarget* NewDropTarget(void);
