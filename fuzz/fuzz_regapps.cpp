// Fuzz target for the registered-applications file and the location-URL
// converter. Input: the file text (also taken, up to its first NUL, as a URL).
// Checks:
//   - the reader over a fake existence test fills a table of exactly the
//     numbered sections, every field NUL-terminated, every entry either
//     zero-filled or holding an existing path and an id of 1000 or above;
//   - the writer either refuses the table for a reason the entry shows (a CR
//     in a value, a name beginning with a blank) or writes a text that reads
//     back to the same table;
//   - UrlToPath leaves a URL it refuses unchanged, and gives a path of at most
//     260 bytes without "/" otherwise.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "common/regapps.h"
#include "common/urlpath.h"

namespace {

void Check(bool ok) {
    if (!ok) __builtin_trap();
}

// A path exists when its length is odd.
bool FakeExists(void*, const char* path) { return (strlen(path) & 1) != 0; }

bool Terminated(const char* field) { return memchr(field, '\0', REGAPP_TEXT_SIZE) != nullptr; }

bool IsZero(const RegApp& e) {
    static const RegApp zero = {};
    return memcmp(&e, &zero, sizeof e) == 0;
}

// A value the reader can give that the writer refuses: one holding a lone CR,
// or (a default name taken from the path) beginning with a blank.
bool Unwritable(const char* v) { return strchr(v, '\r') || v[0] == ' '; }

void CheckRegApps(const char* text) {
    RegAppState table = {};
    int valid = ReadRegAppsText(text, FakeExists, nullptr, &table);
    if (!valid) {
        Check(table.RegApps == nullptr && table.RegAppCount == 0);
        return;
    }
    Check(table.RegAppCount == CountRegAppSections(text));
    int32_t count = table.RegAppCount;
    bool any = false;
    for (int32_t i = 0; i < count + 3; i++) {
        const RegApp& e = table.RegApps[i];
        Check(Terminated(e.name) && Terminated(e.path) && Terminated(e.arg) &&
              Terminated(e.folder));
        if (i >= count || !e.path[0]) {
            Check(IsZero(e));
            continue;
        }
        any = true;
        Check(FakeExists(nullptr, e.path));
        Check(e.cmd >= REGAPP_FIRST_ID && e.cmd <= REGAPP_LAST_ID);
    }
    Check(any);

    int32_t bad = -2;
    long need = FormatRegApps(table.RegApps, count, nullptr, 0, &bad);
    if (need < 0) {
        Check(need == REGAPP_WRITE_BAD_TEXT && bad >= 0 && bad < count);
        const RegApp& e = table.RegApps[bad];
        Check(Unwritable(e.name) || Unwritable(e.path) || Unwritable(e.arg) ||
              Unwritable(e.folder));
        FreeRegApps(&table);
        return;
    }
    Check(bad == -1);
    char* written = (char*)malloc((size_t)need + 1);
    if (written) {
        Check(FormatRegApps(table.RegApps, count, written, (size_t)need, nullptr) ==
              REGAPP_WRITE_NO_ROOM);
        Check(FormatRegApps(table.RegApps, count, written, (size_t)need + 1, nullptr) == need);
        Check(strlen(written) == (size_t)need);
        RegAppState back = {};
        Check(ReadRegAppsText(written, nullptr, nullptr, &back) == 1);
        Check(back.RegAppCount == count);
        for (int32_t i = 0; i < count; i++)
            Check(memcmp(&back.RegApps[i], &table.RegApps[i], sizeof(RegApp)) == 0);
        FreeRegApps(&back);
        free(written);
    }
    FreeRegApps(&table);
}

// UTF-8 -> code page 932 for two characters; anything else has no form.
int FakeToAnsi(void*, const char* utf8, size_t len, char* dst, size_t dstSize) {
    size_t w = 0;
    for (size_t r = 0; r < len;) {
        const char* sjis;
        if (r + 3 <= len && memcmp(utf8 + r, "\xE6\xA4\x9C", 3) == 0) {
            sjis = "\x8C\x9F";
        } else if (r + 3 <= len && memcmp(utf8 + r, "\xE8\xA1\xA8", 3) == 0) {
            sjis = "\x95\x5C";
        } else {
            return -1;
        }
        if (w + 3 > dstSize) return -1;
        memcpy(dst + w, sjis, 2);
        w += 2;
        r += 3;
    }
    dst[w] = '\0';
    return (int)w;
}

bool FakeIsFolder(void*, const char* path) { return path[0] == 'C'; }

void CheckUrl(const char* text) {
    char buf[URL_PATH_SIZE + 40];
    size_t len = strnlen(text, sizeof buf - 1);
    memcpy(buf, text, len);
    buf[len] = '\0';
    char before[sizeof buf];
    memcpy(before, buf, len + 1);
    UrlPathHost host = {FakeToAnsi, FakeIsFolder, nullptr};
    int r = UrlToPath(buf, sizeof buf, &host);
    Check(r == URL_NOT_FILE || r == URL_FILE || r == URL_WEB || r == URL_FOLDER);
    if (r == URL_NOT_FILE || r == URL_WEB) {
        Check(strcmp(buf, before) == 0);
        return;
    }
    Check(memcmp(before, "file:", 5) == 0);
    size_t out = strlen(buf);
    Check(out > 0 && out < URL_PATH_SIZE && out <= len);
    Check((r == URL_FOLDER) == FakeIsFolder(nullptr, buf));
    // No "/" is left ("/" is never the trail byte of a double-byte character).
    Check(strchr(buf, '/') == nullptr);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 16 * 1024) return 0;
    char* text = (char*)malloc(size + 1);
    if (!text) return 0;
    memcpy(text, data, size);
    text[size] = '\0';
    CheckRegApps(text);
    CheckUrl(text);
    free(text);
    return 0;
}
