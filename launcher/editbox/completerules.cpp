// completerules.cpp - the text decisions of path completion (pure).
#include "completerules.h"

#include <string.h>

#include "../../common/strutil.h"

namespace {

// Appends name to the first len bytes of head; 0 (dst empty) when it does not fit.
int JoinHead(const char* head, size_t len, const char* name, char* dst, size_t size) {
    size_t nameLen = strlen(name);
    if (!dst || size == 0) return 0;
    if (len + nameLen + 1 > size) {
        dst[0] = '\0';
        return 0;
    }
    memmove(dst, head, len);
    memcpy(dst + len, name, nameLen + 1);
    return 1;
}

// Length of text up to and including its last separator; 0 without one.
size_t LengthThroughLastSeparator(const char* text) {
    const char* after = FileNamePart(text, nullptr, 0);
    return after ? (size_t)(after - text) : 0;
}

}  // namespace

int ParentFolderText(char* text) {
    RemoveTrailingSeparator(text);
    if (!CutAfterLastSeparator(text)) {
        text[0] = '\0';
        return 0;
    }
    return 1;
}

int CompletedText(const char* text, const char* name, char* dst, size_t size) {
    size_t len = strlen(text);
    if (len >= 2) {
        size_t head = LengthThroughLastSeparator(text);
        if (head > 0) len = head;
    }
    return JoinHead(text, len, name, dst, size);
}

int TakenEntryText(const char* text, const char* name, char* dst, size_t size) {
    return JoinHead(text, LengthThroughLastSeparator(text), name, dst, size);
}

// The edit control counts characters as the system converts them: a lead byte
// without a real trail byte is a character of its own.
int CharIndexOfByte(const char* text, int byteIndex) {
    int chars = 0;
    for (int i = 0; i < byteIndex && text[i]; i += (int)CharStepSjis(text + i)) chars++;
    return chars;
}

int ByteIndexOfChar(const char* text, int charIndex) {
    int i = 0;
    for (int chars = 0; chars < charIndex && text[i]; chars++) i += (int)CharStepSjis(text + i);
    return i;
}

size_t LengthAfterReplace(const char* text, int selStart, int selEnd, bool charUnits,
                          size_t insertBytes) {
    int length = (int)strlen(text);
    if (selStart > selEnd) {
        int t = selStart;
        selStart = selEnd;
        selEnd = t;
    }
    if (selStart < 0) selStart = 0;
    if (charUnits) {
        selStart = ByteIndexOfChar(text, selStart);
        selEnd = ByteIndexOfChar(text, selEnd);
    }
    if (selEnd > length) selEnd = length;
    if (selStart > selEnd) selStart = selEnd;
    return (size_t)(length - (selEnd - selStart)) + insertBytes;
}

bool IsBareDriveText(const char* text) {
    return text[0] && text[1] == ':' && text[2] == '\0' && !IsSeparator(text[0]);
}

int DriveBitOfLetter(int c) {
    if (c >= 'a' && c <= 'z') return c - 'a';
    if (c >= 'A' && c <= 'Z') return c - 'A';
    return -1;
}
