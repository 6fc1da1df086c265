// clipfiles.cpp - files on the clipboard (CF_HDROP and "Preferred
// DropEffect"), their paste through the shell's file operation, the copy or
// move step of a drop and a program opened on files.
#include <windows.h>
#include <shellapi.h>
#include <stddef.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "../shell/shell.h"
#include "shellext.h"

namespace {

const char kDropEffectFormat[] = "Preferred DropEffect";
// Tries to open a clipboard that another program holds for a moment.
const int kOpenTries = 5;
const DWORD kOpenPauseMs = 10;

bool OpenClipboardOf(HWND owner) {
    for (int i = 0; i < kOpenTries; i++) {
        if (OpenClipboard(owner)) return true;
        Sleep(kOpenPauseMs);
    }
    return false;
}

HGLOBAL NewBlock(size_t size) { return GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size); }

// The shell's file operation (copy or move of list into folder), owned by
// the main window; the shell asks before it overwrites and reports errors.
// Each file gets its own target in the folder: a move of several files into
// one folder named once is refused by some shells (Wine cancels it), while
// one target per file is done by all in one operation with the same dialogs.
// A file copied into the folder that holds it is the one case where a named
// target differs from a named folder: told the folder, the shell of Windows
// makes the copy beside its original under a new name (" - コピー" after the
// stem, numbered from (2) when that is taken) without asking anything, but
// told the original's own path as the target it refuses with an error, and
// Wine even offers to overwrite the file with itself. So vorn names such a
// copy itself, the way Windows does (BuildTransferLists), and a move of a
// file into its own folder is left out: there is nothing to do.
bool RunFileOperation(UINT function, const char* list, const char* folder) {
    char* from = nullptr;
    char* to = nullptr;
    if (!BuildTransferLists(list, folder, function == FO_COPY, &from, &to)) return false;
    SHFILEOPSTRUCTA op;
    ZeroMemory(&op, sizeof op);
    op.hwnd = Shell.mainWnd;
    op.wFunc = function;
    op.pFrom = from;
    op.pTo = to;
    op.fFlags = FOF_MULTIDESTFILES;
    // The operation runs its own message loop for its dialogs: what asks the
    // program to close, reload or take a hand-over meanwhile waits for it.
    BeginPumpingOperation();
    bool ok = FileOperationCall(&op) == 0 && !op.fAnyOperationsAborted;
    EndPumpingOperation();
    MemFree(from);
    MemFree(to);
    return ok;
}

}  // namespace

int(WINAPI* FileOperationCall)(SHFILEOPSTRUCTA*) = SHFileOperationA;

// --- putting files on the clipboard ------------------------------------------------

bool PutFileListOnClipboard(const char* list, size_t blockSize, int mode) {
    if (!list || !*list) return false;
    HGLOBAL drop = NewBlock(blockSize);
    HGLOBAL effect = NewBlock(sizeof(DWORD));
    bool ready = false;
    if (drop && effect) {
        unsigned char* dropBytes = (unsigned char*)GlobalLock(drop);
        DWORD* effectValue = (DWORD*)GlobalLock(effect);
        if (dropBytes && effectValue) {
            ready = WriteDropBlock(dropBytes, blockSize, list);
            *effectValue = EffectForMode(mode);
        }
        if (dropBytes) GlobalUnlock(drop);
        if (effectValue) GlobalUnlock(effect);
    }
    UINT effectFormat = RegisterClipboardFormatA(kDropEffectFormat);
    if (!ready || !effectFormat || !OpenClipboardOf(Shell.mainWnd)) {
        if (drop) GlobalFree(drop);
        if (effect) GlobalFree(effect);
        return false;
    }
    EmptyClipboard();
    // A block the clipboard took belongs to it; one it refused is ours.
    bool ok = SetClipboardData(CF_HDROP, drop) != nullptr;
    if (!ok) GlobalFree(drop);
    if (!SetClipboardData(effectFormat, effect)) {
        GlobalFree(effect);
        ok = false;
    }
    CloseClipboard();
    return ok;
}

bool PutWindowFilesOnClipboard(HWND wnd, int mode) {
    int count = 0;
    char* list = WindowFiles(wnd, WF_BOX_EXISTING, &count);
    if (!list) return false;
    // The box's one path goes in a block of the size other programs expect
    // from a typed path; a list's rows in one that holds them all.
    size_t blockSize = wnd == EditBox.wnd ? (size_t)DROP_EDIT_BLOCK_SIZE : DropBlockSizeFor(count);
    bool ok = PutFileListOnClipboard(list, blockSize, mode);
    MemFree(list);
    return ok;
}

bool ClipboardHasFiles(void) { return IsClipboardFormatAvailable(CF_HDROP) != 0; }

// --- reading dropped or pasted files ---------------------------------------------------

char* CollectDroppedFiles(HDROP drop) {
    if (!drop) return nullptr;
    // The block comes from another program (a drop, the clipboard): it is
    // checked before the shell reads it, which trusts its list offset and
    // reads on until two NULs.
    const unsigned char* bytes = (const unsigned char*)GlobalLock((HGLOBAL)drop);
    bool sound = bytes && DropBlockIsSound(bytes, GlobalSize((HGLOBAL)drop));
    if (bytes) GlobalUnlock((HGLOBAL)drop);
    if (!sound) return nullptr;
    UINT count = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
    if (count == 0) return nullptr;
    size_t total = 0;
    for (UINT i = 0; i < count; i++) {
        UINT len = DragQueryFileA(drop, i, nullptr, 0);
        if (len > 0 && len < SHELL_PATH_SIZE) total += len;
    }
    if (total == 0) return nullptr;
    size_t size = count + 10 + total;
    char* list = (char*)MemAlloc(size);
    if (!list) return nullptr;
    size_t used = 0;
    for (UINT i = 0; i < count; i++) {
        // A name too long for a path buffer would be cut into another name:
        // it is left out.
        UINT len = DragQueryFileA(drop, i, nullptr, 0);
        if (len == 0 || len >= SHELL_PATH_SIZE) continue;
        char path[SHELL_PATH_SIZE];
        UINT got = DragQueryFileA(drop, i, path, sizeof path);
        if (got != len) continue;
        FileListAppend(list, size, &used, path);
    }
    if (used == 0) {
        MemFree(list);
        return nullptr;
    }
    return list;
}

// --- paste -----------------------------------------------------------------------------

bool PasteFiles(const char* destination) {
    if (!destination || !ClipboardHasFiles()) return false;
    char folder[SHELL_PATH_SIZE];
    if (!RootedPath(destination, folder, sizeof folder) || !DirectoryExists(folder)) return false;
    if (!OpenClipboardOf(Shell.mainWnd)) return false;
    int effect = 0;
    UINT effectFormat = RegisterClipboardFormatA(kDropEffectFormat);
    HANDLE effectData = effectFormat ? GetClipboardData(effectFormat) : nullptr;
    if (effectData) {
        const unsigned char* bytes = (const unsigned char*)GlobalLock(effectData);
        if (bytes) {
            effect = EffectOfBlock(bytes, GlobalSize(effectData));
            GlobalUnlock(effectData);
        }
    }
    char* list = nullptr;
    HANDLE dropData = effect ? GetClipboardData(CF_HDROP) : nullptr;
    if (dropData) list = CollectDroppedFiles((HDROP)dropData);
    // The clipboard is free again before the shell's dialogs may show.
    CloseClipboard();
    if (!list) return false;
    bool ok = RunFileOperation(effect == EFFECT_MOVE ? FO_MOVE : FO_COPY, list, folder);
    MemFree(list);
    return ok;
}

bool PasteIntoWindow(HWND wnd) {
    char* files = WindowFiles(wnd, 0, nullptr);
    if (!files) return false;
    bool ok = PasteFiles(files);  // the first path: a folder, or nothing is pasted
    MemFree(files);
    return ok;
}

// --- drops -----------------------------------------------------------------------------

bool OpenFilesWithProgram(const char* program, const char* list) {
    if (!program || !*program || !list || !*list) return false;
    char* params = BuildParameterString(list);
    if (!params) return false;
    char folder[SHELL_PATH_SIZE];
    bool ok = false;
    if (CopyString(folder, program, sizeof folder) == strlen(program)) {
        CutLastComponent(folder);
        if (IsBareDrive(folder)) AddTrailingSeparator(folder, sizeof folder);
        HINSTANCE started =
            ShellExecuteA(nullptr, "open", program, params, folder, SW_SHOWNORMAL);
        ok = (INT_PTR)started > 32;
    }
    MemFree(params);
    return ok;
}

bool TransferToFolder(const char* list, int action, const char* target) {
    if (!list || !*list || !target || !*target) return false;
    if (IsProgramTarget(target)) return OpenFilesWithProgram(target, list);
    return RunFileOperation(action == TRANSFER_MOVE ? FO_MOVE : FO_COPY, list, target);
}
