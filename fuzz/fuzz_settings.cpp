// Fuzz target of the settings codec: any text is parsed into the record; the
// canonical file written from that record must read back as the same record,
// complete except for empty paths, and must be written again byte for byte.
#include <stddef.h>
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "common/settings.h"

static void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// Validation of a parsed record changes nothing but the run-time Migemo bit.
static void CheckValidated(const SettingsRecord* r) {
    SettingsRecord again = *r;
    Settings = again;
    ValidateSettings();
    Settings.migemo = r->migemo;
    Check(memcmp(&Settings, r, sizeof *r) == 0);
    Check(r->migemo == 0 || r->migemo == 3);
    Check(r->t_macro[0] != '\0' && memchr(r->t_macro, '\0', sizeof r->t_macro) != nullptr);
    Check(memchr(r->migemo_path, '\0', sizeof r->migemo_path) != nullptr);
    Check(memchr(r->spi_path, '\0', sizeof r->spi_path) != nullptr);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* text = (char*)malloc(size + 1);
    if (!text) return 0;
    memcpy(text, data, size);
    text[size] = '\0';

    ParseSettingsText(text);
    SettingsRecord first = Settings;
    CheckValidated(&first);

    static char written[SETTINGS_TEXT_MAX];
    Settings = first;
    int len = FormatSettings(written, sizeof written);
    Check(len > 0 && (size_t)len < sizeof written);

    ParseSettingsText(written);
    Check(memcmp(&Settings, &first, sizeof first) == 0);
    // Every key is present in the written file; only an empty path reads as missing.
    bool emptyPath = first.migemo_path[0] == '\0' || first.spi_path[0] == '\0';
    Check(SettingsIncomplete == (emptyPath ? 1 : 0));

    static char again[SETTINGS_TEXT_MAX];
    int len2 = FormatSettings(again, sizeof again);
    Check(len2 == len && memcmp(again, written, (size_t)len) == 0);

    // The primitives on the raw input with a key taken from it: the value found
    // must lie inside the section body and respect the limit.
    const char* bodyStart;
    const char* bodyEnd;
    if (size > 2 && FindSection(text, "common", &bodyStart, &bodyEnd)) {
        Check(bodyStart <= bodyEnd && bodyEnd <= text + size);
        char key[8];
        size_t keyLen = (size_t)(data[0] % 7) + 1;
        if (keyLen > size - 1) keyLen = size - 1;
        memcpy(key, text + 1, keyLen);
        key[keyLen] = '\0';
        size_t max = (size_t)(data[size - 1] % 40);
        const char* value;
        size_t valueLen;
        if (FindKey(key, bodyStart, bodyEnd, &value, &valueLen, max)) {
            Check(valueLen > 0 && valueLen + 1 <= max);
            Check(value >= bodyStart && value + valueLen <= bodyEnd);
            Check(value[0] != ' ' && value[valueLen - 1] != ' ' && value[valueLen - 1] != '\t');
            Check(memchr(value, ';', valueLen) == nullptr);
        }
    }

    free(text);
    return 0;
}
