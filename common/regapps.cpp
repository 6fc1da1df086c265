// regapps.cpp - the registered-applications table and its file "data\vorn_e.dat".
//
// The reader looks every value up with the settings reader, which searches the
// whole text from its start for each lookup; the file is small (one section per
// program), so the simple way is kept. Values are looked up without a length
// limit first, so that a value longer than its field is seen as such and refused
// instead of being cut at 260 bytes.
#include "regapps.h"

#include <stdint.h>
#include <stdio.h>
#include <string.h>

#include "fileio.h"
#include "listfile.h"
#include "settings.h"
#include "strutil.h"

RegAppState RegAppTable;

enum {
    READ_FOUND = 0,
    READ_NO_SECTION = 2,
    READ_NO_KEY = 3,
};

// Results of reading one text value.
enum ValueResult {
    VALUE_MISSING = 0,
    VALUE_FOUND = 1,
    VALUE_TOO_LONG = 2,
};

static void SectionName(int32_t n, char* dst, size_t dstSize) { snprintf(dst, dstSize, "%s%d", "EXE", (int)n); }

// Looks key up in section and copies its value into dst (REGAPP_TEXT_SIZE bytes).
// dst is left empty when the key is missing or the value does not fit. Keeps
// the settings reader's state like its own lookups.
static int ReadTextValue(const char* text, const char* section, const char* key, char* dst) {
    dst[0] = '\0';
    const char* bodyStart;
    const char* bodyEnd;
    if (!FindSection(text, section, &bodyStart, &bodyEnd)) {
        LastReadStatus = READ_NO_SECTION;
        SettingsIncomplete = 1;
        return VALUE_MISSING;
    }
    const char* value;
    size_t length;
    if (!FindKey(key, bodyStart, bodyEnd, &value, &length, SIZE_MAX)) {
        LastReadStatus = READ_NO_KEY;
        SettingsIncomplete = 1;
        return VALUE_MISSING;
    }
    LastReadStatus = READ_FOUND;
    if (length >= REGAPP_TEXT_SIZE) return VALUE_TOO_LONG;
    memcpy(dst, value, length);
    dst[length] = '\0';
    return VALUE_FOUND;
}

// Text with every bare LF made CR LF (a heap block), or null when text needs no
// change or memory runs out (*failed is then set).
static char* WithCrLf(const char* text, int* failed) {
    size_t bare = 0;
    size_t len = 0;
    for (; text[len]; len++)
        if (text[len] == '\n' && (len == 0 || text[len - 1] != '\r')) bare++;
    *failed = 0;
    if (bare == 0) return nullptr;
    char* out = (char*)MemAlloc(len + bare + 1);
    if (!out) {
        *failed = 1;
        return nullptr;
    }
    size_t w = 0;
    for (size_t r = 0; r < len; r++) {
        if (text[r] == '\n' && (r == 0 || text[r - 1] != '\r')) out[w++] = '\r';
        out[w++] = text[r];
    }
    out[w] = '\0';
    return out;
}

int32_t CountRegAppSections(const char* text) {
    if (!text) return 0;
    char section[24];
    int32_t n = 0;
    for (;;) {
        SectionName(n + 1, section, sizeof section);
        if (!FindSection(text, section, nullptr, nullptr)) return n;
        n++;
    }
}

// Reads section n into entry (zero-filled before). Leaves it zero-filled when
// the section has no usable path, or a value that must not be cut is too long.
static void ReadEntry(const char* text, int32_t n, RegApp* entry) {
    char section[24];
    SectionName(n, section, sizeof section);
    if (ReadTextValue(text, section, "path", entry->path) != VALUE_FOUND) return;
    ReadTextValue(text, section, "name", entry->name);  // too long: left empty
    int argResult = ReadTextValue(text, section, "arg", entry->arg);
    int folderResult = ReadTextValue(text, section, "folder", entry->folder);
    if (argResult == VALUE_TOO_LONG || folderResult == VALUE_TOO_LONG) {
        memset(entry, 0, sizeof *entry);
        return;
    }
    entry->cmd = ReadIntValue(text, section, "cmd", REGAPP_NO_ID);
    if (entry->cmd < REGAPP_FIRST_ID) entry->cmd = REGAPP_NO_ID;
}

int ReadRegAppsText(const char* text, RegAppExists exists, void* ctx, RegAppState* table) {
    if (!table) return 0;
    FreeRegApps(table);
    if (!text) return 0;
    LastReadStatus = READ_FOUND;
    SettingsIncomplete = 0;

    int failed;
    char* converted = WithCrLf(text, &failed);
    if (failed) return 0;
    const char* source = converted ? converted : text;

    int32_t count = CountRegAppSections(source);
    // The table has room for the sections and 3 spare entries.
    if (count <= 0 || (size_t)count > SIZE_MAX / sizeof(RegApp) - 3) {
        MemFree(converted);
        return 0;
    }
    RegApp* entries = (RegApp*)MemAlloc(((size_t)count + 3) * sizeof(RegApp));
    if (!entries) {
        MemFree(converted);
        return 0;
    }
    int32_t unheld = 0;
    for (int32_t i = 0; i < count; i++) {
        ReadEntry(source, i + 1, &entries[i]);
        if (!entries[i].path[0]) unheld++;
    }
    MemFree(converted);

    int valid = 0;
    for (int32_t i = 0; i < count; i++) {
        RegApp* e = &entries[i];
        if (!e->path[0]) continue;
        if (exists && !exists(ctx, e->path)) {
            memset(e, 0, sizeof *e);
            continue;
        }
        valid = 1;
        // An empty name shows the file name of the path; a path without a
        // separator leaves it empty.
        if (!e->name[0] && FileNamePart(e->path, nullptr, 0))
            FileNamePart(e->path, e->name, sizeof e->name);
    }
    if (!valid) {
        MemFree(entries);
        return 0;
    }
    AssignRegAppIds(entries, count);
    table->RegApps = entries;
    table->RegAppCount = count;
    table->unheld = unheld;
    return 1;
}

// Entries without an id are numbered in file order, whatever keys are bound:
// the keys of a file written without ids were made for those numbers. (Optbox
// gives a new application an id that no key holds.)
static bool IdInUse(const RegApp* entries, int32_t count, int32_t id) {
    for (int32_t i = 0; i < count; i++)
        if (entries[i].cmd == id) return true;
    return false;
}

int32_t AssignRegAppIds(RegApp* entries, int32_t count) {
    if (!entries) return 0;
    int32_t assigned = 0;
    // Each id given is the smallest free one, so the next search starts after it.
    int32_t next = REGAPP_FIRST_ID;
    for (int32_t i = 0; i < count; i++) {
        if (entries[i].cmd != REGAPP_NO_ID) continue;
        while (next < INT32_MAX && IdInUse(entries, count, next)) next++;
        entries[i].cmd = next;
        assigned++;
        if (next < INT32_MAX) next++;
    }
    return assigned;
}

void FreeRegApps(RegAppState* table) {
    if (!table) return;
    MemFree(table->RegApps);
    table->RegApps = nullptr;
    table->RegAppCount = 0;
    table->unheld = 0;
}

// ---------------------------------------------------------------------------
// Writer

// 0 when the field holds a value that reads back as itself, else a result.
static int CheckText(const char* field) {
    size_t len = strnlen(field, REGAPP_TEXT_SIZE);
    if (len >= REGAPP_TEXT_SIZE) return REGAPP_WRITE_TOO_LONG;
    // The reader drops blanks after "=" and blanks and tabs at the end.
    if (len && (field[0] == ' ' || field[len - 1] == ' ' || field[len - 1] == '\t'))
        return REGAPP_WRITE_BAD_TEXT;
    // Stepped like the reader: the trail byte of a double-byte character is
    // never taken for a bracket or a semicolon.
    for (size_t i = 0; i < len; i += CharStepSjis(field + i)) {
        char c = field[i];
        if (c == '\r' || c == '\n' || c == ';' || c == '[') return REGAPP_WRITE_BAD_TEXT;
    }
    return 0;
}

int CheckRegAppEntry(const RegApp* entry) {
    if (!entry) return REGAPP_WRITE_TOO_LONG;
    // A field without its NUL is reported before any character check reads it.
    const char* fields[] = {entry->name, entry->path, entry->arg, entry->folder};
    for (const char* f : fields)
        if (strnlen(f, REGAPP_TEXT_SIZE) >= REGAPP_TEXT_SIZE) return REGAPP_WRITE_TOO_LONG;
    for (const char* f : fields) {
        int r = CheckText(f);
        if (r) return r;
    }
    // The id of an entry without a path is never read (a hidden entry has 0).
    if (entry->path[0] && entry->cmd != REGAPP_NO_ID &&
        (entry->cmd < REGAPP_FIRST_ID || entry->cmd > REGAPP_LAST_ID))
        return REGAPP_WRITE_BAD_ID;
    return 0;
}

long FormatRegApps(const RegApp* entries, int32_t count, char* buf, size_t bufSize,
                   int32_t* badEntry) {
    if (badEntry) *badEntry = -1;
    if (count < 0 || (count > 0 && !entries)) return REGAPP_WRITE_TOO_LONG;
    for (int32_t i = 0; i < count; i++) {
        int r = CheckRegAppEntry(&entries[i]);
        if (r) {
            if (badEntry) *badEntry = i;
            return r;
        }
    }
    size_t total = 0;
    char one[REGAPP_ENTRY_TEXT_MAX];
    for (int32_t i = 0; i < count; i++) {
        const RegApp* e = &entries[i];
        int n = snprintf(one, sizeof one, "[EXE%d]\r\nname=%s\r\npath=%s\r\narg=%s\r\nfolder=%s\r\ncmd=%d\r\n",
                         (int)(i + 1), e->name, e->path, e->arg, e->folder, (int)e->cmd);
        if (n < 0 || (size_t)n >= sizeof one) return REGAPP_WRITE_TOO_LONG;  // cannot happen
        if (buf) {
            if (total + (size_t)n + 1 > bufSize) return REGAPP_WRITE_NO_ROOM;
            memcpy(buf + total, one, (size_t)n);
        }
        total += (size_t)n;
    }
    if (buf) {
        if (total + 1 > bufSize) return REGAPP_WRITE_NO_ROOM;
        buf[total] = '\0';
    }
    return (long)total;
}

int WriteRegAppsFile(const char* path, const RegApp* entries, int32_t count, int32_t* badEntry) {
    long need = FormatRegApps(entries, count, nullptr, 0, badEntry);
    if (need < 0) return (int)need;
    char* text = (char*)MemAlloc((size_t)need + 1);
    if (!text) return REGAPP_WRITE_FAILED;
    long written = FormatRegApps(entries, count, text, (size_t)need + 1, badEntry);
    int ok = written == need && WriteWholeFile(path, text, (size_t)need);
    MemFree(text);
    return ok ? 1 : REGAPP_WRITE_FAILED;
}

// --- using the table ---------------------------------------------------------------

bool RegAppInMenu(const RegApp* entry) {
    if (!entry) return false;
    size_t len = strnlen(entry->name, REGAPP_TEXT_SIZE);
    if (len >= REGAPP_TEXT_SIZE) return false;
    size_t chars = 0;
    for (size_t i = 0; i < len; i += CharStepSjis(entry->name + i)) chars++;
    return chars >= 1 && chars <= REGAPP_MENU_NAME_MAX;
}

int32_t FindRegAppById(const RegApp* entries, int32_t count, int32_t id) {
    int32_t found = -1;
    if (!entries) return found;
    for (int32_t i = 0; i < count; i++)
        if (entries[i].path[0] && entries[i].cmd == id) found = i;
    return found;
}

size_t RegAppParameters(const RegApp* entry, const char* selection, char* out, size_t outSize) {
    if (out && outSize) out[0] = '\0';
    if (!selection) selection = "";
    const char* arg = entry ? entry->arg : "";
    size_t argLen = strnlen(arg, REGAPP_TEXT_SIZE);
    if (argLen >= REGAPP_TEXT_SIZE) argLen = 0;
    size_t need = strlen(selection) + 1 + (argLen ? argLen + 1 : 0);
    if (!out || outSize < need) return need;
    size_t used = 0;
    if (argLen) {
        memcpy(out, arg, argLen);
        out[argLen] = ' ';
        used = argLen + 1;
    }
    memcpy(out + used, selection, strlen(selection) + 1);
    return need;
}

bool RegAppWorkFolder(const RegApp* entry, char* out, size_t outSize) {
    if (!out || outSize == 0) return false;
    out[0] = '\0';
    if (!entry) return false;
    const char* source = entry->folder[0] ? entry->folder : entry->path;
    size_t len = strnlen(source, REGAPP_TEXT_SIZE);
    if (len >= REGAPP_TEXT_SIZE || len >= outSize) return false;
    memcpy(out, source, len + 1);
    if (!entry->folder[0]) CutLastComponent(out);
    return true;
}

int FindSelectionInList(char* text, int mode, const char* selection, char* hit, size_t hitSize) {
    if (hit && hitSize) hit[0] = '\0';
    if (!text || !selection) return 0;
    ListFile file = {nullptr, 0, 0, 0, nullptr};
    if (!ParseListText(text, mode, 0, &file)) return -1;
    int found = 0;
    const char* p = selection;
    while (p && *p && !found) {
        char path[REGAPP_TEXT_SIZE];
        p = TakeToken(p, path, sizeof path);
        if (!path[0]) continue;
        for (int32_t i = 0; i < file.count; i++) {
            const ListLine& line = file.lines[i];
            if ((line.kind == LL_PLAIN || line.kind == LL_EXPAND) && line.path &&
                strcmp(line.path, path) == 0) {
                if (hit && hitSize) CopyString(hit, path, hitSize);
                found = 1;
                break;
            }
        }
    }
    FreeListFile(&file);
    return found;
}
