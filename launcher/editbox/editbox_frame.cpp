// editbox_frame.cpp - the bevelled frame of the edit box (blue normally, red
// while a target program is captured) and moving or resizing the box by
// dragging its border.
#include <windows.h>
#include <windowsx.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../shell/appstate.h"
#include "editbox.h"
#include "../lists/cascade.h"
#include "../lists/listwnd.h"
#include "../dragdrop/dragdrop.h"
#include "editbox_internal.h"
#include "editgeom.h"

// Colours (0x00BBGGRR) of the outer two-pixel line (light side, dark side) and
// the inner one-pixel line (light side, dark side).
static const COLORREF kNormalFrame[4] = {0xFFC8C8, 0xC8B4B4, 0x8C8282, 0x827D7D};
static const COLORREF kTargetFrame[4] = {0x9696FF, 0x9678C8, 0x323282, 0x32327D};

void PaintEditFrame(HDC dc, int w, int h, bool targetMode) {
    const COLORREF* c = targetMode ? kTargetFrame : kNormalFrame;
    HPEN a = CreatePen(PS_SOLID, 2, c[0]);
    HPEN b = CreatePen(PS_SOLID, 2, c[1]);
    HPEN cPen = CreatePen(PS_SOLID, 1, c[2]);
    HPEN d = CreatePen(PS_SOLID, 1, c[3]);
    HGDIOBJ old = SelectObject(dc, a);
    MoveToEx(dc, 1, h - 1, nullptr);
    LineTo(dc, 1, 1);
    LineTo(dc, w - 1, 1);
    SelectObject(dc, b);
    LineTo(dc, w - 1, h - 2);
    LineTo(dc, 1, h - 2);
    SelectObject(dc, cPen);
    MoveToEx(dc, 0, h, nullptr);
    LineTo(dc, 0, 0);
    LineTo(dc, w - 1, 0);
    SelectObject(dc, d);
    LineTo(dc, w - 1, h - 1);
    LineTo(dc, -1, h - 1);
    SelectObject(dc, old);
    DeleteObject(a);
    DeleteObject(b);
    DeleteObject(cPen);
    DeleteObject(d);
}

void PaintEditFrameOf(HWND wnd) {
    RECT rc;
    if (!GetWindowRect(wnd, &rc)) return;
    HDC dc = GetWindowDC(wnd);
    if (!dc) return;
    PaintEditFrame(dc, rc.right - rc.left, rc.bottom - rc.top, AnyFlag(SF_TARGET_PROGRAM));
    ReleaseDC(wnd, dc);
}

void RedrawEditFrame(void) {
    if (!EditBox.wnd) return;
    RedrawWindow(EditBox.wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
}

static BoxRect WindowBox(HWND wnd) {
    RECT rc = {0, 0, 0, 0};
    GetWindowRect(wnd, &rc);
    BoxRect r = {rc.left, rc.top, rc.right, rc.bottom};
    return r;
}

static void SetDragCursor(int mode) {
    if (mode == EDIT_DRAG_MOVE)
        SetCursor(LoadCursor(nullptr, IDC_SIZEALL));
    else if (mode == EDIT_DRAG_RIGHT || mode == EDIT_DRAG_LEFT)
        SetCursor(LoadCursor(nullptr, IDC_SIZEWE));
}

void OnEditNcMouseMove(HWND wnd, WPARAM hit, LPARAM lParam) {
    if (hit != HTBORDER) return;
    BoxRect r = WindowBox(wnd);
    SetDragCursor(
        BorderZone(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &r, GetSystemMetrics(SM_CXEDGE)));
}

void OnEditNcLButtonDown(HWND wnd, WPARAM hit, LPARAM lParam) {
    if (hit != HTBORDER) return;
    CloseCascades(nullptr, CASCADE_CLOSE_ALL);
    BoxRect r = WindowBox(wnd);
    int zone =
        BorderZone(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &r, GetSystemMetrics(SM_CXEDGE));
    // On the top or bottom border a drag already under way goes on as it was.
    if (zone != EDIT_DRAG_NONE) EditBox.dragMode = zone;
    if (EditBox.dragMode == EDIT_DRAG_NONE) return;
    SetDragCursor(EditBox.dragMode);
    SetCapture(wnd);
}

static bool PointOnPathIcon(LPARAM lParam) {
    return GET_X_LPARAM(lParam) < PATH_ICON_SIZE && GET_Y_LPARAM(lParam) < PATH_ICON_SIZE;
}

void OnEditMouseMove(HWND wnd, WPARAM keys, LPARAM lParam) {
    if (EditBox.dragMode != EDIT_DRAG_NONE) {
        BoxRect r = WindowBox(wnd);
        BoxRect next;
        if (DragRect(EditBox.dragMode, GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam), &r,
                     GetSystemMetrics(SM_CXDLGFRAME), &next))
            SetWindowPos(wnd, nullptr, next.left, next.top, next.right - next.left,
                         next.bottom - next.top, SWP_NOZORDER | SWP_NOACTIVATE);
        FollowEditBox();
        return;
    }
    if (Settings.icon == 1 && PointOnPathIcon(lParam)) SetCursor(LoadCursor(nullptr, IDC_ARROW));
    // With the icon drag armed and a button held, the file is dragged out.
    if (EditBox.iconDragArmed && IsDragArmed() == DRAG_ARMED) {
        if (keys & (MK_LBUTTON | MK_RBUTTON)) {
            EditBox.iconDragArmed = false;
            StartDrag(wnd);
        } else {
            EditBox.iconDragArmed = false;
            DisarmDrag();
        }
    }
}

void OnEditButtonDown(HWND wnd, LPARAM lParam) {
    if (Settings.icon != 1) return;
    // Only a press on the icon arms the drag of the file: a press on the text
    // selects text as in any edit box.
    if (!PointOnPathIcon(lParam)) {
        EditBox.iconDragArmed = false;
        DisarmDrag();
        return;
    }
    SetCursor(LoadCursor(nullptr, IDC_ARROW));
    ArmDrag(wnd, lParam);
    EditBox.iconDragArmed = IsDragArmed() == DRAG_ARMED;
}

void EndBorderDrag(HWND wnd) {
    if (EditBox.dragMode == EDIT_DRAG_NONE) return;
    EditBox.dragMode = EDIT_DRAG_NONE;
    if (GetCapture() == wnd) ReleaseCapture();
    ReapplyEditSelection(wnd);
}

void OnEditButtonUp(HWND wnd) {
    EditBox.iconDragArmed = false;
    DisarmDrag();
    EndBorderDrag(wnd);
}
