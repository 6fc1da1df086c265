// toolrules.cpp - the selection text, the hand-off record and the new-name
// rules of the rename and delete companion.
#include "toolrules.h"

#include <string.h>

#include "strutil.h"

size_t SelectionTextSize(const char* list) {
    size_t size = 1;
    if (!list) return size;
    for (const char* p = list; *p; p += strlen(p) + 1) size += strlen(p) + 3;
    return size;
}

int BuildSelectionText(const char* list, char* out, size_t outSize) {
    if (!out || outSize == 0) return 0;
    out[0] = '\0';
    if (!list) return 0;
    size_t used = 0;
    int count = 0;
    for (const char* p = list; *p; p += strlen(p) + 1) {
        size_t len = strlen(p);
        if (len >= TOOL_PATH_SIZE || memchr(p, '"', len) || outSize - used < len + 4) {
            out[0] = '\0';
            return 0;
        }
        out[used++] = '"';
        memcpy(out + used, p, len);
        used += len;
        out[used++] = '"';
        out[used++] = ' ';
        out[used] = '\0';
        count++;
    }
    return count;
}

int ParseToolRecord(const void* data, size_t size, char* list, size_t listSize) {
    if (!list || listSize < 2) return TOOL_RECORD_NO_ROOM;
    list[0] = list[1] = '\0';
    if (!data || size == 0 || !memchr(data, '\0', size)) return TOOL_RECORD_NOT_TEXT;
    const char* p = (const char*)data;
    size_t used = 0;
    int count = 0;
    for (;;) {
        while (*p == ' ' || *p == '\t') p++;
        if (!*p) break;
        int result = 0;
        const char* end = nullptr;
        if (*p != '"') {
            result = TOOL_RECORD_MALFORMED;
        } else {
            end = strchr(p + 1, '"');
            if (!end || end == p + 1 || (end[1] && end[1] != ' ' && end[1] != '\t'))
                result = TOOL_RECORD_MALFORMED;
            else if ((size_t)(end - p - 1) >= TOOL_PATH_SIZE)
                result = TOOL_RECORD_TOO_LONG;
            else if (listSize - used < (size_t)(end - p - 1) + 2)
                result = TOOL_RECORD_NO_ROOM;
        }
        if (result) {
            list[0] = list[1] = '\0';
            return result;
        }
        size_t len = (size_t)(end - p - 1);
        memcpy(list + used, p + 1, len);
        used += len;
        list[used++] = '\0';
        list[used] = '\0';
        count++;
        p = end + 1;
    }
    return count ? count : TOOL_RECORD_EMPTY;
}

static bool IsRefusedNameByte(unsigned char c) {
    return c < 0x20 || strchr("\\/:*?\"<>|", c) != nullptr;
}

int CheckNewName(const char* name, const char* folder) {
    if (!name) return NAME_EMPTY;
    const char* p = name;
    while (*p == ' ') p++;
    if (!*p) return NAME_EMPTY;
    size_t len = strlen(name);
    const char* last = name;
    for (p = name; *p; p += CharStepSjis(p)) {
        last = p;
        if (CharStepSjis(p) == 1 && IsRefusedNameByte((unsigned char)*p)) return NAME_BAD_CHAR;
    }
    // The last character is a single byte blank or dot (a trail byte never is).
    if (CharStepSjis(last) == 1 && (*last == ' ' || *last == '.')) return NAME_BAD_END;
    size_t folderLen = folder ? strlen(folder) : 0;
    if (folderLen + 1 + len >= TOOL_PATH_SIZE) return NAME_TOO_LONG;
    return NAME_OK;
}

size_t StemLength(const char* name, size_t* chars) {
    if (chars) *chars = 0;
    if (!name) return 0;
    const char* dot = nullptr;
    size_t count = 0, countAtDot = 0;
    for (const char* p = name; *p; p += CharStepSjis(p)) {
        if (*p == '.' && p != name) {
            dot = p;
            countAtDot = count;
        }
        count++;
    }
    if (!dot) {
        if (chars) *chars = count;
        return strlen(name);
    }
    if (chars) *chars = countAtDot;
    return (size_t)(dot - name);
}

ToolMessageMeaning ToolMessageFor(bool waiting, uint32_t startedPid, uint32_t senderPid,
                                  uintptr_t handedTo, uintptr_t sender) {
    if (!sender) return TOOL_MSG_IGNORED;
    if (waiting) return !startedPid || senderPid == startedPid ? TOOL_MSG_ANSWER : TOOL_MSG_IGNORED;
    return handedTo && sender == handedTo ? TOOL_MSG_DONE : TOOL_MSG_IGNORED;
}
