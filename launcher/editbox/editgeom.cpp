// editgeom.cpp - size of the edit box and the border drag arithmetic.
#include "editgeom.h"

int EditHeightFor(int ftsize, int cyEdge, int cyDlgFrame, int icon) {
    int h = ftsize + 2 * cyEdge + 2 * cyDlgFrame + 2;
    if (icon == 1) h += 1;
    return h;
}

int FitWidthFor(int textWidth, int ftsize, int cyEdge, int cyDlgFrame, int minWidth, int icon) {
    int width = textWidth + ftsize + 2 * (cyEdge + cyDlgFrame);
    if (width < minWidth) width = minWidth;
    if (icon == 1) width += 16;
    return width;
}

int BorderZone(int x, int y, const BoxRect* r, int e) {
    if (x - e <= r->left && y < r->top + 6) return EDIT_DRAG_MOVE;
    if (x + e >= r->right) return EDIT_DRAG_RIGHT;
    if (x - e <= r->left) return EDIT_DRAG_LEFT;
    return EDIT_DRAG_NONE;
}

int DragRect(int mode, int cx, int cy, const BoxRect* r, int f, BoxRect* out) {
    int width = r->right - r->left;
    int height = r->bottom - r->top;
    switch (mode) {
        case EDIT_DRAG_MOVE:
            out->left = r->left + cx + f;
            out->top = r->top + cy + f;
            out->right = out->left + width;
            out->bottom = out->top + height;
            return 1;
        case EDIT_DRAG_LEFT:
            // The right edge stays where it is.
            if (r->left + cx > r->right - 20) return 0;
            out->left = r->left + cx + f;
            out->top = r->top;
            out->right = out->left + (r->right - r->left - cx - f);
            out->bottom = r->bottom;
            return 1;
        case EDIT_DRAG_RIGHT:
            if (cx <= 19) return 0;
            out->left = r->left;
            out->top = r->top;
            out->right = r->left + cx + 2 * f;
            out->bottom = r->bottom;
            return 1;
        default:
            return 0;
    }
}
