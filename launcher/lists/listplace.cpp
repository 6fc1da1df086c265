// listplace.cpp - size and place of the item list: directly below the edit box
// (or above it when it does not fit below, and then above until it is hidden),
// left-aligned with it, as many rows as asked up to linemax.
#include <windows.h>
#include <commctrl.h>

#include "../../common/settings.h"
#include "../editbox/editbox.h"
#include "listwnd.h"

int ListHeight(int rows, int rowHeight, int frame, int linemax, bool* scrolled) {
    if (rowHeight <= 0) rowHeight = 15;
    if (rows < 1) rows = 1;
    if (linemax < 1) linemax = 1;
    int needed = rowHeight * rows;
    int maximum = rowHeight * linemax + frame;
    if (scrolled) *scrolled = needed >= maximum;
    return needed <= maximum ? needed + frame : maximum;
}

int ListChars(int longest, int listwmax) {
    return (listwmax > 0 && listwmax < longest) ? listwmax : longest;
}

void SetListColumnWidth(HWND list, int width) {
    // Setting the width it has would still redraw the list.
    if (SendMessageA(list, LVM_GETCOLUMNWIDTH, 0, 0) != width)
        SendMessageA(list, LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(width, 0));
    // The window is widened when its borders leave the client area narrower
    // than the column (list controls differ in how wide their borders are): a
    // column wider than the client area brings a horizontal scroll bar that
    // hides a row, and with it a vertical one.
    RECT window, client;
    if (!GetWindowRect(list, &window) || !GetClientRect(list, &client)) return;
    int outer = window.right - window.left;
    int want = width + (outer - client.right);
    if (client.right < width && want > outer)
        SetWindowPos(list, nullptr, 0, 0, want, window.bottom - window.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

ListPlacement ComputeItemListPlacement(const RECT& box, const RECT& desktop, int longest,
                                       int rows, int rowHeight, int frame, int scroll,
                                       int linemax, int listwmax, bool placedAbove) {
    ListPlacement p;
    p.columnWidth = ListChars(longest, listwmax) * LIST_CHAR_WIDTH + frame + LIST_TEXT_MARGIN;
    bool scrolled = false;
    p.height = ListHeight(rows, rowHeight, frame, linemax, &scrolled);
    int scrollWidth = scrolled ? scroll : 0;

    p.top = box.bottom;
    p.above = placedAbove;
    if (p.top + p.height > desktop.bottom || placedAbove) {
        p.top = box.top - p.height;
        p.above = true;
    }
    if (p.columnWidth > desktop.right) p.columnWidth = desktop.right - frame - scrollWidth;
    p.left = box.left;
    p.width = p.columnWidth + frame + scrollWidth;
    return p;
}

void PlaceItemList(int rows) {
    HWND list = Lists.item.wnd;
    if (!list || !EditBox.wnd) return;
    ShowWindow(list, SW_HIDE);
    RECT box, desktop;
    GetWindowRect(EditBox.wnd, &box);
    GetWindowRect(GetDesktopWindow(), &desktop);
    ListPlacement p = ComputeItemListPlacement(
        box, desktop, Lists.item.longest, rows, ListRowHeight(list), GetSystemMetrics(SM_CXFIXEDFRAME),
        GetSystemMetrics(SM_CXVSCROLL), Settings.linemax, (int)Settings.listwmax, Lists.placedAbove);
    Lists.placedAbove = p.above;
    MoveWindow(list, p.left, p.top, p.width, p.height, FALSE);
    SetListColumnWidth(list, p.columnWidth);
    ShowWindow(list, SW_SHOWNA);
    Lists.item.longest = 0;
}

// While the edit box is dragged, the list on show keeps its size and its
// place relative to the box: below it (or above it), and for the folder list
// at its anchor.
void FollowEditBox(void) {
    if (!EditBox.wnd) return;
    RECT box;
    GetWindowRect(EditBox.wnd, &box);
    int frame = GetSystemMetrics(SM_CXFIXEDFRAME);
    HWND lists[2] = {Lists.item.wnd, Lists.folder.wnd};
    for (HWND list : lists) {
        if (!list || !IsWindowVisible(list)) continue;
        RECT rc;
        GetWindowRect(list, &rc);
        int height = rc.bottom - rc.top;
        int left = list == Lists.folder.wnd ? box.left + Lists.folderAnchor + frame : box.left;
        int top = Lists.placedAbove ? box.top - height : box.bottom;
        SetWindowPos(list, nullptr, left, top, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}
