// editgeom.h - the arithmetic of the edit box's size and of dragging its
// border. Pure (no windows.h): the callers pass the system metrics in.
#pragma once

struct BoxRect {
    int left, top, right, bottom;
};

// Border zones under the cursor, and the drag modes they start.
enum { EDIT_DRAG_NONE = 0, EDIT_DRAG_MOVE = 1, EDIT_DRAG_RIGHT = 2, EDIT_DRAG_LEFT = 3 };

// Height of the box: the font height, the edge and dialog-frame widths on both
// sides, two pixels of room, and one more with the path icon.
int EditHeightFor(int ftsize, int cyEdge, int cyDlgFrame, int icon);

// Width that fits a text of textWidth pixels, never below minWidth, with room
// for the path icon when icon is 1.
int FitWidthFor(int textWidth, int ftsize, int cyEdge, int cyDlgFrame, int minWidth, int icon);

// Zone of the border under the screen point (x, y) for a window rectangle r
// and the edge width e: the top end of the left border moves the box, the right
// border and the rest of the left border resize it; 0 elsewhere.
int BorderZone(int x, int y, const BoxRect* r, int e);

// New rectangle of a drag in mode for the cursor at client point (cx, cy),
// window rectangle r and dialog-frame width f. Returns 0 (out untouched) when
// the move is refused: a box never becomes narrower than about 20 pixels.
int DragRect(int mode, int cx, int cy, const BoxRect* r, int f, BoxRect* out);
