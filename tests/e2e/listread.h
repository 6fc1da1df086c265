// listread.h - reads the list windows of another process: which list views
// it shows, their rows (texts asked for inside that process), selection and
// geometry.
#pragma once
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

// Visible top-level list views ("SysListView32") of process pid, in the
// order EnumWindows gives them.
std::vector<HWND> VisibleListViews(DWORD pid);
// All top-level list views of process pid, visible or not.
std::vector<HWND> AllListViews(DWORD pid);
// The one visible list view of pid, or null when none or several are shown.
HWND ShownListView(DWORD pid);

// Number of rows (LVM_GETITEMCOUNT); -1 when the window does not answer.
int ListRowCount(HWND list);
// Text of row (column 0) as the control draws it; false when it could not
// be read.
bool ListRowText(HWND list, int row, std::string* text);
// Text of one column of a row.
bool ListCellText(HWND list, int row, int column, std::string* text);
// Texts of every row (empty when they could not be read).
std::vector<std::string> ListRowTexts(HWND list);
// Rows that are selected, in order.
std::vector<int> ListSelectedRows(HWND list);
// Row that has the focus, or -1.
int ListFocusedRow(HWND list);
// Image index of row (LVIF_IMAGE as the control asks it); -2 when unreadable.
int ListRowImage(HWND list, int row);
// Label rectangle of row, in the list's client coordinates.
bool ListRowRect(HWND list, int row, RECT* rc);
// First visible row and the number of rows that fit.
int ListTopRow(HWND list);
int ListRowsPerPage(HWND list);
// Pixel colour of the list's screen at (x, y) of its client area (from the
// screen DC; the window must be in front).
COLORREF ListPixel(HWND list, int x, int y);

// Row texts in sorted order (rows whose order the file system decides).
inline std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}
// Row texts as "[a][b]..." for failure messages.
inline std::string Joined(const std::vector<std::string>& rows) {
    std::string s;
    for (const std::string& r : rows) s += "[" + r + "]";
    return s;
}
