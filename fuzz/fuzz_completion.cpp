// fuzz_completion.cpp - the text rules of path completion on arbitrary bytes:
// directory up, completing with an entry, joining and character indexes keep
// their promises (bounded writes, prefixes, one separator, character counts).
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include <string>

#include "common/strutil.h"
#include "launcher/editbox/completerules.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

int CountChars(const char* s) {
    int n = 0;
    for (size_t i = 0; s[i]; i += CharStepSjis(s + i)) n++;
    return n;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 2000) return 0;
    // Input: text, a 0 byte, name (both NUL-terminated copies), the last byte
    // of the input choosing an output size.
    char* text = (char*)malloc(size + 1);
    memcpy(text, data, size);
    text[size] = '\0';
    size_t textLen = strlen(text);
    const char* name = textLen < size ? text + textLen + 1 : "";
    size_t nameLen = strlen(name);
    size_t outSize = size ? (size_t)data[size - 1] + 1 : 1;

    // Directory up: a prefix of the text; with a separator left it ends in one.
    char* up = (char*)malloc(textLen + 1);
    memcpy(up, text, textLen + 1);
    int kept = ParentFolderText(up);
    size_t upLen = strlen(up);
    Check(upLen <= textLen && memcmp(up, text, upLen) == 0);
    Check(kept ? EndsWithSeparatorSjis(up) : upLen == 0);
    if (kept) Check(upLen < textLen);

    // Completing and taking: bounded, the name at the end, the head a prefix.
    char* out = (char*)malloc(outSize);
    memset(out, 'Z', outSize);
    if (CompletedText(text, name, out, outSize)) {
        size_t outLen = strlen(out);
        Check(outLen < outSize && outLen >= nameLen);
        Check(memcmp(out + outLen - nameLen, name, nameLen) == 0);
        Check(memcmp(out, text, outLen - nameLen) == 0);
    } else {
        Check(out[0] == '\0');
    }
    if (TakenEntryText(text, name, out, outSize)) {
        size_t outLen = strlen(out);
        Check(outLen < outSize && memcmp(out + outLen - nameLen, name, nameLen) == 0);
        size_t head = outLen - nameLen;
        Check(head == 0 || EndsWithSeparatorSjis(std::string(out, head).c_str()));
    }
    if (JoinFolderName(text, name, out, outSize) && textLen > 0) {
        size_t outLen = strlen(out);
        Check(outLen < outSize && memcmp(out, text, textLen) == 0);
        Check(outLen == textLen + nameLen || outLen == textLen + 1 + nameLen);
    }

    // Character indexes: monotone, never past the byte index, whole text = count.
    int total = CountChars(text);
    Check(CharIndexOfByte(text, (int)textLen) == total);
    int prev = 0;
    for (int i = 0; i <= (int)textLen && i < 300; i++) {
        int n = CharIndexOfByte(text, i);
        Check(n >= prev && n <= i);
        prev = n;
    }
    // Byte indexes: the inverse at every character start, the length beyond.
    for (int c = 0; c <= total + 1 && c < 300; c++) {
        int b = ByteIndexOfChar(text, c);
        Check(b >= 0 && b <= (int)textLen);
        Check(c > total ? b == (int)textLen : CharIndexOfByte(text, b) == c);
    }
    // Replacing a selection: never more than text + insert, never less than insert.
    int selA = size > 1 ? data[0] % 300 - 20 : 0, selB = size > 2 ? data[1] % 300 - 20 : 0;
    for (bool units : {false, true}) {
        size_t after = LengthAfterReplace(text, selA, selB, units, nameLen);
        Check(after >= nameLen && after <= textLen + nameLen);
    }
    Check(IsBareDriveText(text) == (textLen == 2 && text[1] == ':' && !IsSeparator(text[0])));

    free(out);
    free(up);
    free(text);
    return 0;
}
