// listread.cpp - reading list views across processes: the text of a row
// lives in the target, so the request record and its buffer are placed in the
// target's memory and read back from there.
#include "tests/e2e/listread.h"

#include <commctrl.h>
#include <string.h>

namespace {

const DWORD kAnswerMs = 2000;

struct ListSearch {
    DWORD pid;
    bool visibleOnly;
    std::vector<HWND>* found;
};

BOOL CALLBACK CollectLists(HWND wnd, LPARAM param) {
    ListSearch* search = (ListSearch*)param;
    DWORD pid = 0;
    GetWindowThreadProcessId(wnd, &pid);
    if (pid != search->pid) return TRUE;
    char cls[64] = "";
    GetClassNameA(wnd, cls, sizeof cls);
    if (lstrcmpiA(cls, WC_LISTVIEWA) != 0) return TRUE;
    if (search->visibleOnly && !IsWindowVisible(wnd)) return TRUE;
    search->found->push_back(wnd);
    return TRUE;
}

std::vector<HWND> Lists(DWORD pid, bool visibleOnly) {
    std::vector<HWND> found;
    ListSearch search = {pid, visibleOnly, &found};
    EnumWindows(CollectLists, (LPARAM)&search);
    return found;
}

LRESULT Ask(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam, bool* ok) {
    DWORD_PTR result = 0;
    *ok = SendMessageTimeoutA(wnd, msg, wParam, lParam, SMTO_ABORTIFHUNG, kAnswerMs, &result) != 0;
    return (LRESULT)result;
}

// A block of memory in the process that owns a window, freed with the object.
struct RemoteBlock {
    HANDLE process = nullptr;
    void* base = nullptr;

    RemoteBlock(HWND wnd, size_t size) {
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        process = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid);
        if (process)
            base = VirtualAllocEx(process, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (base) VirtualFreeEx(process, base, 0, MEM_RELEASE);
        if (process) CloseHandle(process);
    }
    bool Write(size_t offset, const void* data, size_t size) {
        SIZE_T done = 0;
        return base && WriteProcessMemory(process, (char*)base + offset, data, size, &done) &&
               done == size;
    }
    bool Read(size_t offset, void* data, size_t size) {
        SIZE_T done = 0;
        return base && ReadProcessMemory(process, (char*)base + offset, data, size, &done) &&
               done == size;
    }
    char* At(size_t offset) { return (char*)base + offset; }
};

const size_t kTextRoom = 1024;

}  // namespace

std::vector<HWND> VisibleListViews(DWORD pid) { return Lists(pid, true); }
std::vector<HWND> AllListViews(DWORD pid) { return Lists(pid, false); }

HWND ShownListView(DWORD pid) {
    std::vector<HWND> shown = Lists(pid, true);
    return shown.size() == 1 ? shown[0] : nullptr;
}

int ListRowCount(HWND list) {
    bool ok = false;
    LRESULT n = Ask(list, LVM_GETITEMCOUNT, 0, 0, &ok);
    return ok ? (int)n : -1;
}

bool ListRowText(HWND list, int row, std::string* text) { return ListCellText(list, row, 0, text); }

bool ListCellText(HWND list, int row, int column, std::string* text) {
    text->clear();
    RemoteBlock block(list, sizeof(LVITEMA) + kTextRoom);
    if (!block.base) return false;
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_TEXT;
    item.iItem = row;
    item.iSubItem = column;
    item.pszText = block.At(sizeof item);
    item.cchTextMax = (int)kTextRoom;
    char zero = 0;
    if (!block.Write(0, &item, sizeof item) || !block.Write(sizeof item, &zero, 1)) return false;
    bool ok = false;
    Ask(list, LVM_GETITEMTEXTA, (WPARAM)row, (LPARAM)block.base, &ok);
    if (!ok) return false;
    char buf[kTextRoom + 1];
    if (!block.Read(sizeof item, buf, kTextRoom)) return false;
    buf[kTextRoom] = '\0';
    *text = buf;
    return true;
}

std::vector<std::string> ListRowTexts(HWND list) {
    std::vector<std::string> rows;
    int n = ListRowCount(list);
    for (int i = 0; i < n; i++) {
        std::string text;
        if (!ListRowText(list, i, &text)) return std::vector<std::string>();
        rows.push_back(text);
    }
    return rows;
}

std::vector<int> ListSelectedRows(HWND list) {
    std::vector<int> rows;
    bool ok = false;
    int row = -1;
    for (;;) {
        row = (int)Ask(list, LVM_GETNEXTITEM, (WPARAM)row, LVNI_SELECTED, &ok);
        if (!ok || row < 0) break;
        rows.push_back(row);
    }
    return rows;
}

int ListFocusedRow(HWND list) {
    bool ok = false;
    int row = (int)Ask(list, LVM_GETNEXTITEM, (WPARAM)-1, LVNI_FOCUSED, &ok);
    return ok ? row : -1;
}

int ListRowImage(HWND list, int row) {
    RemoteBlock block(list, sizeof(LVITEMA));
    if (!block.base) return -2;
    LVITEMA item;
    memset(&item, 0, sizeof item);
    item.mask = LVIF_IMAGE;
    item.iItem = row;
    item.iImage = -3;
    if (!block.Write(0, &item, sizeof item)) return -2;
    bool ok = false;
    if (!Ask(list, LVM_GETITEMA, 0, (LPARAM)block.base, &ok) || !ok) return -2;
    if (!block.Read(0, &item, sizeof item)) return -2;
    return item.iImage;
}

bool ListRowRect(HWND list, int row, RECT* rc) {
    RemoteBlock block(list, sizeof(RECT));
    if (!block.base) return false;
    RECT in = {LVIR_LABEL, 0, 0, 0};
    if (!block.Write(0, &in, sizeof in)) return false;
    bool ok = false;
    if (!Ask(list, LVM_GETITEMRECT, (WPARAM)row, (LPARAM)block.base, &ok) || !ok) return false;
    return block.Read(0, rc, sizeof *rc);
}

int ListTopRow(HWND list) {
    bool ok = false;
    int row = (int)Ask(list, LVM_GETTOPINDEX, 0, 0, &ok);
    return ok ? row : -1;
}

int ListRowsPerPage(HWND list) {
    bool ok = false;
    int n = (int)Ask(list, LVM_GETCOUNTPERPAGE, 0, 0, &ok);
    return ok ? n : -1;
}

COLORREF ListPixel(HWND list, int x, int y) {
    POINT pt = {x, y};
    ClientToScreen(list, &pt);
    HDC dc = GetDC(nullptr);
    COLORREF c = GetPixel(dc, pt.x, pt.y);
    ReleaseDC(nullptr, dc);
    return c;
}
