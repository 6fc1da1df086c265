// dragrules.cpp - the rules of drag and drop (pure).
#include "dragrules.h"

#include <stdio.h>
#include <string.h>

#include "../../common/strutil.h"
#include "../shellext/shellrules.h"

// --- the tooltip ----------------------------------------------------------------

bool DragTipText(const char* target, bool menu, uint32_t* effect, char* out, size_t size) {
    if (!out || !size) return false;
    out[0] = '\0';
    if (!target || !*target) return false;
    char path[PATH_WORK_SIZE];
    if (CopyString(path, target, sizeof path) != strlen(target)) return false;
    RemoveTrailingSeparator(path);
    char name[PATH_WORK_SIZE];
    FileNamePart(path, name, sizeof name);
    uint32_t chosen = effect ? *effect : (uint32_t)DD_EFFECT_NONE;
    const char* format = "%s";
    if (menu) {
        format = "%s に...";
    } else if (IsProgramTarget(path)) {
        format = "%s で開く";
        chosen = DD_EFFECT_COPY;
    } else if (chosen == DD_EFFECT_COPY) {
        format = "%s にコピー";
    } else if (chosen == DD_EFFECT_MOVE) {
        format = "%s に移動";
    }
    if (effect) *effect = chosen;
    // The fixed part is kept whole; a long name gives way.
    size_t fixed = strlen(format) - 2;
    if (size <= fixed + 1) return false;
    char shortName[PATH_WORK_SIZE];
    CopyString(shortName, name, size - fixed < sizeof shortName ? size - fixed : sizeof shortName);
    snprintf(out, size, format, shortName);
    return true;
}

// --- the drop menu ------------------------------------------------------------------

int DropMenuEntries(bool onEdit, const char* target, DropMenuEntry* out) {
    if (!out) return 0;
    int n = 0;
    if (onEdit) {
        out[n++] = {IDM_DROP_TO_EDIT, "エディットにパスを反映(&E)"};
        out[n++] = {0, nullptr};
    }
    if (target && *target) {
        if (IsProgramTarget(target)) {
            out[n++] = {IDM_DROP_OPEN_WITH, "このプログラムで開く(&O)"};
        } else {
            out[n++] = {IDM_DROP_COPY, "コピー(&C)"};
            out[n++] = {IDM_DROP_MOVE, "移動(&M)"};
            out[n++] = {IDM_DROP_SHORTCUT, "ショートカット作成(&S)"};
        }
        out[n++] = {0, nullptr};
    }
    out[n++] = {IDM_DROP_CANCEL, "キャンセル(&X)"};
    return n;
}

// --- the text block -----------------------------------------------------------------

size_t TextBlockSize(const char* list) {
    if (!list) return 0;
    return FileListBytes(list) + (size_t)FileListCount(list) + 21;
}

bool WriteTextBlock(char* block, size_t size, const char* list) {
    if (!block || !list || !size) return false;
    size_t used = 0;
    for (const char* p = list; *p; p += strlen(p) + 1) {
        size_t len = strlen(p);
        if (size - used < len + 3) return false;  // path, CR LF and the final NUL
        memcpy(block + used, p, len);
        used += len;
        block[used++] = '\r';
        block[used++] = '\n';
    }
    block[used] = '\0';
    return true;
}

size_t FileDropBlockSize(size_t total, bool wide) {
    size_t k = wide ? 2 : 1;
    return (total * k + 1) * k + 21;
}

// --- the identifier-list array ----------------------------------------------------

static unsigned ReadU16(const unsigned char* p) { return (unsigned)p[0] | ((unsigned)p[1] << 8); }

static void PutU32(unsigned char* p, uint32_t v) {
    p[0] = (unsigned char)(v & 0xFF);
    p[1] = (unsigned char)((v >> 8) & 0xFF);
    p[2] = (unsigned char)((v >> 16) & 0xFF);
    p[3] = (unsigned char)((v >> 24) & 0xFF);
}

size_t IdListSize(const unsigned char* list, size_t max) {
    if (!list) return 0;
    size_t at = 0;
    for (;;) {
        if (max - at < 2) return 0;
        unsigned cb = ReadU16(list + at);
        if (cb == 0) return at + 2;
        if (cb < 2 || max - at < cb) return 0;
        at += cb;
    }
}

size_t IdArrayBlockSize(size_t parentSize, const size_t* itemSizes, int n) {
    if (n < 0 || (n > 0 && !itemSizes)) return 0;
    size_t total = 4 * (size_t)n + 12 + parentSize;
    for (int i = 0; i < n; i++) total += itemSizes[i];
    return total;
}

size_t WriteIdArrayBlock(unsigned char* block, size_t size, const unsigned char* parent,
                         size_t parentSize, const unsigned char* const* items,
                         const size_t* itemSizes, int n) {
    if (!block || !parent || parentSize < 2 || n <= 0 || !items || !itemSizes) return 0;
    for (int i = 0; i < n; i++)
        if (!items[i] || itemSizes[i] < 2) return 0;
    size_t need = IdArrayBlockSize(parentSize, itemSizes, n);
    if (need > size || need > 0xFFFFFFFFu) return 0;
    memset(block, 0, need);
    PutU32(block, (uint32_t)n);
    size_t at = 4 * (size_t)n + 12;
    PutU32(block + 4, (uint32_t)at);
    memcpy(block + at, parent, parentSize);
    at += parentSize;
    for (int i = 0; i < n; i++) {
        PutU32(block + 8 + 4 * (size_t)i, (uint32_t)at);
        memcpy(block + at, items[i], itemSizes[i]);
        at += itemSizes[i];
    }
    return at;
}
