// clipboard_text.h - puts a text on the clipboard as CF_TEXT, the way another
// program would; shared by the in-process and the end-to-end tests.
#pragma once
#include <windows.h>
#include <string.h>

#include <string>

inline bool PutTextOnClipboard(HWND owner, const std::string& text) {
    if (!OpenClipboard(owner)) return false;
    EmptyClipboard();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, text.size() + 1);
    bool ok = block != nullptr;
    if (ok) {
        memcpy(GlobalLock(block), text.c_str(), text.size() + 1);
        GlobalUnlock(block);
        ok = SetClipboardData(CF_TEXT, block) != nullptr;
        if (!ok) GlobalFree(block);
    }
    CloseClipboard();
    return ok;
}
