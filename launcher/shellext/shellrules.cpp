// shellrules.cpp - the text rules of the shell integration (pure).
#include "shellrules.h"

#include <stdio.h>
#include <string.h>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../shell/appstate.h"

// --- file lists ---------------------------------------------------------------

int FileListCount(const char* list) {
    int n = 0;
    if (!list) return 0;
    for (const char* p = list; *p; p += strlen(p) + 1) n++;
    return n;
}

size_t FileListBytes(const char* list) {
    if (!list) return 0;
    const char* p = list;
    while (*p) p += strlen(p) + 1;
    return (size_t)(p - list) + 1;
}

bool FileListAppend(char* block, size_t size, size_t* used, const char* path) {
    if (!block || !used || !path || !*path) return false;
    size_t len = strlen(path);
    // The path, its NUL and the closing NUL of the list.
    if (*used > size || size - *used < len + 2) return false;
    memcpy(block + *used, path, len + 1);
    *used += len + 1;
    block[*used] = '\0';
    return true;
}

// --- the CF_HDROP block ---------------------------------------------------------

size_t DropBlockSizeFor(int count) {
    if (count < 0) count = 0;
    return DROP_HEADER_SIZE + (size_t)DROP_ROOM_PER_ITEM * (size_t)count;
}

static void PutU32(unsigned char* p, uint32_t v) {
    p[0] = (unsigned char)(v & 0xFF);
    p[1] = (unsigned char)((v >> 8) & 0xFF);
    p[2] = (unsigned char)((v >> 16) & 0xFF);
    p[3] = (unsigned char)((v >> 24) & 0xFF);
}

static void PutDropHeader(unsigned char* block, bool wide) {
    PutU32(block, DROP_HEADER_SIZE);
    PutU32(block + 4, 0);   // drop point x
    PutU32(block + 8, 0);   // drop point y
    PutU32(block + 12, 0);  // non-client flag
    PutU32(block + 16, wide ? 1 : 0);
}

bool WriteDropBlock(unsigned char* block, size_t size, const char* list) {
    if (!block || !list || size < DROP_HEADER_SIZE) return false;
    size_t bytes = FileListBytes(list);
    // An empty list still needs the NUL that closes it after the one of a
    // missing first path.
    if (bytes < 2) bytes = 2;
    if (size - DROP_HEADER_SIZE < bytes) return false;
    PutDropHeader(block, false);
    memset(block + DROP_HEADER_SIZE, 0, bytes);
    memcpy(block + DROP_HEADER_SIZE, list, FileListBytes(list));
    return true;
}

bool WriteWideDropBlock(unsigned char* block, size_t size, const uint16_t* list, size_t units) {
    if (!block || !list || units < 2 || size < DROP_HEADER_SIZE) return false;
    if (list[units - 1] != 0 || list[units - 2] != 0) return false;
    if ((size - DROP_HEADER_SIZE) / 2 < units) return false;
    PutDropHeader(block, true);
    unsigned char* p = block + DROP_HEADER_SIZE;
    for (size_t i = 0; i < units; i++) {
        p[2 * i] = (unsigned char)(list[i] & 0xFF);
        p[2 * i + 1] = (unsigned char)(list[i] >> 8);
    }
    return true;
}

int EffectOfBlock(const unsigned char* block, size_t size) {
    if (!block || size < 4) return 0;
    uint32_t v = (uint32_t)block[0] | ((uint32_t)block[1] << 8) | ((uint32_t)block[2] << 16) |
                 ((uint32_t)block[3] << 24);
    if (v == 0) return 0;
    return v == EFFECT_MOVE ? EFFECT_MOVE : EFFECT_COPY;
}

uint32_t EffectForMode(int mode) { return mode == CLIP_CUT ? EFFECT_MOVE : EFFECT_COPY; }

// --- paths --------------------------------------------------------------------------

bool RootedPath(const char* text, char* dst, size_t size) {
    if (!dst || !size) return false;
    dst[0] = '\0';
    if (!text || !*text) return false;
    // Rooted into a buffer with room to spare: a result that reaches its end
    // would have been cut.
    char rooted[SHELL_PATH_SIZE * 3];
    RootAtStartDir(text, rooted, sizeof rooted);
    size_t len = strlen(rooted);
    if (len + 1 >= sizeof rooted || len + 1 > size) return false;
    memcpy(dst, rooted, len + 1);
    return true;
}

bool IsDriveRoot(const char* path) {
    return path && ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z')) &&
           path[1] == ':' && IsSeparator(path[2]) && path[3] == '\0';
}

bool EditItemPath(const char* text, char* dst, size_t size) {
    if (!RootedPath(text, dst, size)) return false;
    if (!IsDriveRoot(dst)) RemoveTrailingSeparator(dst);
    return dst[0] != '\0';
}

// --- shortcut names ---------------------------------------------------------------------

bool LinkNameCandidate(const char* base, unsigned n, char* dst, size_t size) {
    if (!dst || !size) return false;
    dst[0] = '\0';
    if (!base || !*base) return false;
    int len = n == 0 ? snprintf(dst, size, "%s.lnk", base) : snprintf(dst, size, "%s(%u).lnk", base, n);
    if (len < 0 || (size_t)len >= size) {
        dst[0] = '\0';
        return false;
    }
    return true;
}

bool UniqueLinkName(char* buf, size_t size) {
    if (!buf || !size || !*buf) return false;
    char name[SHELL_PATH_SIZE * 2];
    // The names only grow with n: once one does not fit, none after it will.
    for (unsigned n = 0;; n++) {
        if (!LinkNameCandidate(buf, n, name, sizeof name)) return false;
        if (strlen(name) >= size) return false;
        if (!FileExists(name)) {
            memcpy(buf, name, strlen(name) + 1);
            return true;
        }
        if (n == 0xFFFFFFFFu) return false;
    }
}

bool LinkBaseInFolder(const char* folder, const char* file, char* dst, size_t size) {
    if (!dst || !size) return false;
    dst[0] = '\0';
    if (!folder || !*folder || !file || !*file) return false;
    char leaf[SHELL_PATH_SIZE];
    FileNamePart(file, leaf, sizeof leaf);
    if (!leaf[0] || strlen(leaf) + 1 >= sizeof leaf) return false;
    int len = snprintf(dst, size, "%s\\%s", folder, leaf);
    if (len < 0 || (size_t)len >= size) {
        dst[0] = '\0';
        return false;
    }
    return true;
}

// --- programs opened on files ---------------------------------------------------------

size_t ParameterStringSize(const char* list) {
    size_t total = 0;
    if (!list) return 0;
    for (const char* p = list; *p; p += strlen(p) + 1) total += strlen(p) + 3;
    // Every path may take two quotes and a blank: the terminator needs a
    // byte of its own.
    return total + 1;
}

char* BuildParameterString(const char* list) {
    if (!list || !*list) return nullptr;
    size_t size = ParameterStringSize(list);
    char* params = (char*)MemAlloc(size);
    if (!params) return nullptr;
    size_t used = 0;
    for (const char* p = list; *p; p += strlen(p) + 1) {
        size_t len = strlen(p);
        bool quote = strchr(p, ' ') != nullptr;
        if (used + len + (quote ? 2 : 0) + 1 >= size) break;  // cannot happen: sized above
        if (quote) params[used++] = '"';
        memcpy(params + used, p, len);
        used += len;
        if (quote) params[used++] = '"';
        params[used++] = ' ';
    }
    params[used] = '\0';
    return params;
}

bool IsProgramTarget(const char* path) {
    if (!path) return false;
    size_t len = strlen(path);
    if (len < 4) return false;
    char tail[5];
    MapCharsSjis(LowerAscii, path + len - 4, tail, -1, sizeof tail);
    return strcmp(tail, ".exe") == 0;
}

// --- the shell's context menu ---------------------------------------------------------

void ParentOfItem(const char* item, char* dst, size_t size) {
    if (!dst || !size) return;
    dst[0] = '\0';
    if (!item) return;
    char copy[SHELL_PATH_SIZE * 2];
    if (CopyString(copy, item, sizeof copy) != strlen(item)) return;
    if (!CutAfterLastSeparator(copy)) return;
    if (strlen(copy) < size) CopyString(dst, copy, size);
}

bool ShellParentAndName(const char* parent, const char* item, char* parentOut, size_t parentSize,
                        char* nameOut, size_t nameSize) {
    if (!parentOut || !parentSize || !nameOut || !nameSize) return false;
    parentOut[0] = nameOut[0] = '\0';
    if (!parent || !item || !*item) return false;
    // A drive is an item of the desktop's namespace, named by its root.
    if (IsBareDrive(item) || IsDriveRoot(item)) {
        if (nameSize < 4) return false;
        snprintf(nameOut, nameSize, "%c:\\", item[0]);
        return true;
    }
    char folder[SHELL_PATH_SIZE * 2];
    if (CopyString(folder, parent, sizeof folder) != strlen(parent)) return false;
    if (IsBareDrive(folder)) {
        // "X:" alone is the current folder of that drive, not its root.
        folder[2] = '\\';
        folder[3] = '\0';
    } else if (!IsDriveRoot(folder)) {
        RemoveTrailingSeparator(folder);
    }
    if (!folder[0]) {
        // The desktop parses a whole path.
        return CopyString(nameOut, item, nameSize) == strlen(item);
    }
    char leaf[SHELL_PATH_SIZE * 2];
    FileNamePart(item, leaf, sizeof leaf);
    if (!leaf[0]) return false;
    if (strlen(folder) >= parentSize || strlen(leaf) >= nameSize) return false;
    CopyString(parentOut, folder, parentSize);
    CopyString(nameOut, leaf, nameSize);
    return true;
}

bool DropBlockIsSound(const unsigned char* block, size_t size) {
    if (!block || size < DROP_HEADER_SIZE) return false;
    uint32_t offset = (uint32_t)block[0] | ((uint32_t)block[1] << 8) | ((uint32_t)block[2] << 16) |
                      ((uint32_t)block[3] << 24);
    bool wide = (block[16] | block[17] | block[18] | block[19]) != 0;
    if (offset < DROP_HEADER_SIZE || offset >= size) return false;
    size_t unit = wide ? 2 : 1;
    // The list ends with an empty path: a NUL right after a NUL, or a NUL
    // as its first character.
    bool afterNul = true;
    for (size_t i = offset; i + unit <= size; i += unit) {
        bool nul = block[i] == 0 && (unit == 1 || block[i + 1] == 0);
        if (nul && afterNul) return true;
        afterNul = nul;
    }
    return false;
}

// --- copies into their own folder --------------------------------------------------

// Where the extension of the name at name begins (its end when it has none).
static const char* ExtensionOf(const char* name, bool folder) {
    const char* end = name + strlen(name);
    if (folder) return end;
    const char* dot = nullptr;
    for (const char* p = name; *p; p += CharLengthSjis(p)) {
        if (*p == '.' && p != name)
            dot = p;
        else if (*p == ' ')
            dot = nullptr;
    }
    return dot ? dot : end;
}

bool CopyNameCandidate(const char* path, bool folder, unsigned n, char* dst, size_t size) {
    if (!dst || !size) return false;
    dst[0] = '\0';
    if (!path || !n) return false;
    const char* name = FileNamePart(path, nullptr, 0);
    if (!name) name = path;
    if (!*name) return false;
    const char* ext = ExtensionOf(name, folder);
    char number[16] = "";
    if (n > 1) snprintf(number, sizeof number, " (%u)", n);
    int len = snprintf(dst, size, "%.*s - コピー%s%s", (int)(ext - path), path, number, ext);
    if (len < 0 || (size_t)len >= size) {
        dst[0] = '\0';
        return false;
    }
    return true;
}

bool SameFolderCopyTarget(const char* path, char* dst, size_t size) {
    if (!dst || !size) return false;
    dst[0] = '\0';
    bool folder = path && DirectoryExists(path);
    // The names only grow with n: once one does not fit, none after it will.
    for (unsigned n = 1; n < 100000; n++) {
        if (!CopyNameCandidate(path, folder, n, dst, size)) return false;
        if (!FileExists(dst)) return true;
    }
    dst[0] = '\0';
    return false;
}

// Two paths name the same place: equal but for the case of ASCII letters and
// which separator they use.
static bool SamePlace(const char* a, const char* b) {
    while (*a && *b) {
        size_t n = CharLengthSjis(a);
        if (n != CharLengthSjis(b)) return false;
        if (n == 2) {
            if (a[0] != b[0] || a[1] != b[1]) return false;
        } else if (!(IsSeparator(*a) && IsSeparator(*b)) && LowerAscii(*a) != LowerAscii(*b)) {
            return false;
        }
        a += n;
        b += n;
    }
    return *a == *b;
}

bool BuildTransferLists(const char* list, const char* folder, bool copy, char** from, char** to) {
    if (!from || !to) return false;
    *from = *to = nullptr;
    if (!list || !*list || !folder || !*folder) return false;
    int count = FileListCount(list);
    size_t fromSize = FileListBytes(list);
    size_t toSize = (size_t)count * SHELL_PATH_SIZE + 1;
    char* src = (char*)MemAlloc(fromSize);
    char* dst = (char*)MemAlloc(toSize);
    size_t usedFrom = 0, usedTo = 0;
    if (src && dst) {
        for (const char* p = list; *p; p += strlen(p) + 1) {
            char leaf[SHELL_PATH_SIZE * 2], target[SHELL_PATH_SIZE];
            FileNamePart(p, leaf, sizeof leaf);
            if (!leaf[0] || !JoinFolderName(folder, leaf, target, sizeof target)) continue;
            if (SamePlace(p, target)) {
                // Already in the folder: a move has nothing to do, a copy
                // takes the name the shell gives a copy beside its original.
                if (!copy || !SameFolderCopyTarget(p, target, sizeof target)) continue;
            }
            if (FileListAppend(src, fromSize, &usedFrom, p)) FileListAppend(dst, toSize, &usedTo, target);
        }
    }
    if (usedFrom == 0 || usedTo == 0) {
        MemFree(src);
        MemFree(dst);
        return false;
    }
    *from = src;
    *to = dst;
    return true;
}
