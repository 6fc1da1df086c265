// optrules.cpp - the pure rules of the settings program (see optrules.h).
#include "optbox/optrules.h"

#include <stdio.h>
#include <string.h>

#include "common/keymap.h"
#include "common/strutil.h"

// Skips the program name (quoted or up to the first blank).
static const char* SkipProgramName(const char* p) {
    while (*p == ' ' || *p == '\t') p++;
    if (*p == '"') {
        p++;
        while (*p && *p != '"') p++;
        if (*p == '"') p++;
        return p;
    }
    while (*p && *p != ' ' && *p != '\t') p++;
    return p;
}

int OptboxStartKind(const char* commandLine) {
    if (!commandLine) return OPT_START_SETTINGS;
    char last = 0;
    for (const char* p = SkipProgramName(commandLine); *p; p += CharStepSjis(p)) {
        if (*p == '/' && p[1] && p[1] != ' ') last = p[1];
    }
    return last == 'a' ? OPT_START_VERSION : OPT_START_SETTINGS;
}

uint32_t HotkeyPendingKey(uint32_t virtualKey) {
    if ((virtualKey >= '0' && virtualKey <= '9') || (virtualKey >= 'A' && virtualKey <= 'Z')) return virtualKey;
    if (virtualKey >= HK_VK_F1 && virtualKey <= HK_VK_F24) return virtualKey;
    return 0;
}

uint32_t HotkeyStoredKey(uint32_t hotkey) {
    uint32_t key = hotkey & 0xFF;
    return key ? key : '1';
}

size_t HotkeyText(uint32_t modifiers, uint32_t key, char* out, size_t outSize) {
    if (!out || !outSize) return 0;
    char text[64] = "";
    if (modifiers & HK_ALT) strcat(text, "Alt+");
    if (modifiers & HK_CTRL) strcat(text, "Ctrl+");
    if (modifiers & HK_SHIFT) strcat(text, "Shift+");
    if (modifiers & HK_WIN) strcat(text, "Win+");
    size_t used = strlen(text);
    if (key >= HK_VK_F1 && key <= HK_VK_F24) {
        snprintf(text + used, sizeof text - used, "F%u", (unsigned)(key - HK_VK_F1 + 1));
    } else if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) {
        text[used] = (char)key;
        text[used + 1] = '\0';
    } else {
        char name[32];
        if (KeyName(key, name, sizeof name)) CopyString(text + used, name, sizeof text - used);
    }
    return CopyString(out, text, outSize);
}

uint32_t HotkeyValue(uint32_t modifiers, uint32_t key) {
    modifiers &= HK_ALL;
    if (!modifiers) return 0;
    return (key & 0xFF) | (modifiers << 8);
}

uint32_t HotkeyToggleModifier(uint32_t modifiers, uint32_t bit) {
    uint32_t result = (modifiers ^ bit) & HK_ALL;
    return result ? result : bit;
}

int32_t ParseNumberField(const char* text, int kind) {
    if (!text) return 0;
    size_t n = 0;
    while (n < NUMBER_FIELD_CHARS && (text[n] == ' ' || text[n] == '\t')) n++;
    bool negative = false;
    if (n < NUMBER_FIELD_CHARS && text[n] == '-') {
        negative = true;
        n++;
    }
    // Saturating: once past the 32-bit range the value stays there.
    const int64_t limit = (int64_t)INT32_MAX + 1;
    int64_t value = 0;
    for (; n < NUMBER_FIELD_CHARS && text[n] >= '0' && text[n] <= '9'; n++) {
        value = value * 10 + (text[n] - '0');
        if (value > limit) value = limit;
    }
    if (negative) value = -value;
    int64_t low = kind == NF_COUNT ? 0 : (int64_t)INT32_MIN;
    if (value < low) value = low;
    if (value > INT32_MAX) value = INT32_MAX;
    return (int32_t)value;
}

void FormatNumberField(int32_t value, char* out, size_t outSize) {
    if (!out || !outSize) return;
    snprintf(out, outSize, "%ld", (long)value);
}

bool PathFieldFits(const char* text) { return text && strlen(text) <= PATH_FIELD_MAX; }

const MacroMenuRow MacroMenu[MACRO_MENU_ROWS] = {
    {"%a", " ：曜日の省略名"},
    {"%A", " ：曜日の正式名"},
    {"%j", " ：曜日の日本語名"},
    {"%b", " ：月の省略名"},
    {"%B", " ：月の正式名"},
    {"%d", " ：日付"},
    {"%H", " ：24時間表記の時間"},
    {"%I", " ：12時間表記の時間"},
    {"%m", " ：月の通し番号"},
    {"%M", " ：分"},
    {"%p", " ：AM/PM"},
    {"%S", " ：秒"},
    {"%w", " ：10進法であらわす曜日"},
    {"%x", " ：年月日"},
    {"%X", " ：年月日(日本語)"},
    {"%z", " ：時間表示"},
    {"%Z", " ：時間表示(日本語)"},
    {"%y", " ：年の下2桁"},
    {"%Y", " ：年"},
};

bool MacroInsertFits(size_t fieldLength, size_t selectionLength, size_t codeLength) {
    if (selectionLength > fieldLength) selectionLength = fieldLength;
    return fieldLength - selectionLength + codeLength < TMACRO_FIELD_LIMIT;
}
