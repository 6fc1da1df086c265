// settings.cpp - the settings record and its file "data\vorn.ini".
//
// One table below lists every key with its section, its place in the record and
// its default, in the order of the record; that order is also the order of
// loading and of writing. Validation is written out field by field after it.
//
// The reader works over the whole file text in memory. Sections are found by
// scanning for "[" anywhere in the text (a "[" inside a value therefore ends the
// section there); keys are looked up line by line inside one section body. Both
// scans step over double-byte characters whole, so the trail byte of a Shift-JIS
// character (0x5B "[" as in "ー", 0x5D "]") is never taken for a bracket.
#include "settings.h"

#include <stddef.h>
#include <stdio.h>
#include <string.h>

#include "datafile.h"
#include "fileio.h"
#include "strutil.h"

SettingsRecord Settings;
int LastReadStatus;
int SettingsIncomplete;

enum {
    READ_FOUND = 0,
    READ_NO_SECTION = 2,
    READ_NO_KEY = 3,
};

// Defaults that more than one key shares.
static const uint32_t kFolderBack = 0xD2D2D2;
static const uint32_t kFileBack = 0xFFFFFF;
static const uint32_t kTextColour = 0;
static const uint32_t kColourMax = 0xFFFFFF;
static const char kTimeMacroDefault[] = "%H:%M:%S";

// Longest integer value the reader takes; longer values lose their last digits.
static const size_t kIntChars = 9;

// ---------------------------------------------------------------------------
// The key table

enum FieldKind {
    FIELD_INT,     // signed or unsigned 32-bit, written with "%d"
    FIELD_TRAY,    // like FIELD_INT; the run-time mark is masked off when written
    FIELD_MIGEMO,  // like FIELD_INT; only bit 0 is written
    FIELD_ALPHA,   // 8-bit: the low byte of the value read
    FIELD_TEXT,    // char array; size is its byte size, the reader keeps size - 1
};

struct FieldDef {
    const char* section;
    const char* key;
    FieldKind kind;
    size_t offset;
    size_t size;
    int32_t def;
    const char* defText;
};

#define VORN_FIELD(sec, key, kind, member, def, defText) \
    {sec, key, kind, offsetof(SettingsRecord, member), sizeof(Settings.member), (int32_t)(def), defText}
#define VORN_INT(sec, key, member, def) VORN_FIELD(sec, key, FIELD_INT, member, def, nullptr)
#define VORN_LOOK(sec, look)                                        \
    VORN_INT(sec, "fldclass", look.fldclass, 1),                    \
        VORN_INT(sec, "fldbkcolor", look.fldbkcolor, kFolderBack),  \
        VORN_INT(sec, "fldftcolor", look.fldftcolor, kTextColour),  \
        VORN_INT(sec, "filbkcolor", look.filbkcolor, kFileBack),    \
        VORN_INT(sec, "filftcolor", look.filftcolor, kTextColour)

static const FieldDef kFields[] = {
    VORN_INT("common", "hotkey", hotkey, 0x131),
    VORN_FIELD("common", "tray", FIELD_TRAY, tray, 1, nullptr),
    VORN_FIELD("common", "t_macro", FIELD_TEXT, t_macro, 0, kTimeMacroDefault),
    VORN_INT("common", "linemax", linemax, 25),
    VORN_INT("common", "listwmax", listwmax, 0),
    VORN_INT("common", "icon", icon, 0),
    VORN_INT("common", "exemode", exemode, 1),
    VORN_FIELD("common", "migemo", FIELD_MIGEMO, migemo, 0, nullptr),
    VORN_INT("common", "migemomode", migemomode, 0),
    VORN_FIELD("common", "migemo_path", FIELD_TEXT, migemo_path, 0, nullptr),
    VORN_FIELD("common", "alpha", FIELD_ALPHA, alpha, 100, nullptr),

    VORN_INT("edit", "x", x, 0),
    VORN_INT("edit", "y", y, 0),
    VORN_INT("edit", "w", w, 70),
    VORN_INT("edit", "ftsize", ftsize, 12),
    VORN_INT("edit", "autoresize", autoresize, 1),
    VORN_INT("edit", "aligns", aligns, 0),

    VORN_INT("regapp", "showpos", showpos, 0),

    VORN_LOOK("path", path),
    VORN_INT("path", "typoctr", typoctr, 1),
    VORN_INT("path", "inputmode", inputmode, 0),

    VORN_LOOK("exp", exp),

    VORN_LOOK("his", his),
    VORN_INT("his", "size", size, 20),

    VORN_INT("def", "direct", direct, 0),
    VORN_LOOK("def", def),

    VORN_LOOK("fav", fav),

    VORN_LOOK("search", search),
    VORN_INT("search", "subfolder", subfolder, 0),
    VORN_INT("search", "keep", keep, 1),

    VORN_INT("prev", "rsize", rsize, 2000),
    VORN_INT("prev", "bkcolor", bkcolor, kFileBack),
    VORN_INT("prev", "ftcolor", ftcolor, kTextColour),
    VORN_INT("prev", "width", width, 250),
    VORN_INT("prev", "height", height, 250),
    VORN_FIELD("prev", "spi_path", FIELD_TEXT, spi_path, 0, nullptr),
};

#undef VORN_LOOK
#undef VORN_INT
#undef VORN_FIELD

static const size_t kFieldCount = sizeof kFields / sizeof kFields[0];

static char* FieldSlot(const FieldDef* f) { return (char*)&Settings + f->offset; }

static int32_t FieldInt(const FieldDef* f) {
    int32_t v;
    memcpy(&v, FieldSlot(f), sizeof v);
    return v;
}

static void SetFieldInt(const FieldDef* f, int32_t v) { memcpy(FieldSlot(f), &v, sizeof v); }

// ---------------------------------------------------------------------------
// Byte scanning

// Length of the character at p (1 or 2); end bounds the trail byte. A lead byte
// without a valid trail byte after it counts as one byte, so CR, LF, ";" and the
// NUL are never swallowed by a broken character.
static size_t CharLength(const char* p, const char* end) {
    if (IsLeadByteSjis((unsigned char)p[0]) && p + 1 < end && IsTrailByteSjis((unsigned char)p[1]))
        return 2;
    return 1;
}

// First single-byte c at or after p, or the terminating NUL when there is none.
static const char* ScanForChar(const char* p, char c) {
    for (; *p; p += CharLength(p, p + 2))
        if (*p == c) return p;
    return p;
}

// ---------------------------------------------------------------------------
// Reader primitives

int FindSection(const char* text, const char* name, const char** bodyStart, const char** bodyEnd) {
    if (!text || !name) return 0;
    size_t nameLen = strlen(name);
    const char* p = ScanForChar(text, '[');
    while (*p) {
        const char* nameStart = p + 1;
        // The name runs to the next "]". It cannot match once it is longer than the
        // wanted name, so the scan gives up there; when no "]" follows at all, no
        // later "[" has one either, so carrying on ends the search the same way.
        const char* q = nameStart;
        while (*q && *q != ']' && (size_t)(q - nameStart) <= nameLen) q += CharLength(q, q + 2);
        if (*q == ']' && (size_t)(q - nameStart) == nameLen && memcmp(nameStart, name, nameLen) == 0) {
            const char* start = q + 1;
            if (bodyStart) *bodyStart = start;
            if (bodyEnd) *bodyEnd = ScanForChar(start, '[');
            return 1;
        }
        p = ScanForChar(nameStart, '[');
    }
    return 0;
}

// Length of the line end at p: 2 for CR LF (as written), 1 for a bare LF (as
// many editors and version control save text), 0 for none. A lone CR is no
// line end.
static size_t LineEndLength(const char* p, const char* end) {
    if (p >= end) return 0;
    if (p[0] == '\n') return 1;
    return (p[0] == '\r' && p + 1 < end && p[1] == '\n') ? 2 : 0;
}

static bool AtLineEnd(const char* p, const char* end) { return LineEndLength(p, end) != 0; }

// Position after the line end that ends the line at p, or end when none is left.
static const char* NextLine(const char* p, const char* end) {
    while (p < end && *p) {
        size_t n = LineEndLength(p, end);
        if (n) return p + n;
        p++;
    }
    return end;
}

int FindKey(const char* key, const char* bodyStart, const char* bodyEnd, const char** valueStart,
            size_t* valueLength, size_t max) {
    if (!key || !*key || !bodyStart || !bodyEnd || max == 0) return 0;
    const char* p = bodyStart;
    const char* end = bodyEnd;
    while (p < end && *p) {
        while (p < end && AtLineEnd(p, end)) p += LineEndLength(p, end);
        while (p < end && (*p == ' ' || *p == '\t')) p++;
        size_t i = 0;
        while (key[i] && p + i < end && p[i] == key[i]) i++;
        if (key[i] || p + i >= end || p[i] != '=') {
            p = NextLine(p, end);
            continue;
        }
        // The key matched and "=" follows it directly: take the value.
        const char* v = p + i + 1;
        while (v < end && *v == ' ') v++;
        size_t len = 0;
        while (v + len < end && v[len] && v[len] != ';' && !AtLineEnd(v + len, end)) {
            size_t step = CharLength(v + len, end);
            if (len + step > max - 1) break;
            len += step;
        }
        while (len > 0 && (v[len - 1] == ' ' || v[len - 1] == '\t')) len--;
        // The first line of the key decides; an empty value counts as missing.
        if (len == 0) return 0;
        if (valueStart) *valueStart = v;
        if (valueLength) *valueLength = len;
        return 1;
    }
    return 0;
}

// Looks up section and key, keeping the reader state. Returns 1 with the value.
static int LookUp(const char* text, const char* section, const char* key, const char** value,
                  size_t* length, size_t max) {
    const char* bodyStart;
    const char* bodyEnd;
    if (!FindSection(text, section, &bodyStart, &bodyEnd)) {
        LastReadStatus = READ_NO_SECTION;
        SettingsIncomplete = 1;
        return 0;
    }
    if (!FindKey(key, bodyStart, bodyEnd, value, length, max)) {
        LastReadStatus = READ_NO_KEY;
        SettingsIncomplete = 1;
        return 0;
    }
    LastReadStatus = READ_FOUND;
    return 1;
}

int32_t ReadIntValue(const char* text, const char* section, const char* key, int32_t def) {
    const char* value;
    size_t length;
    if (!LookUp(text, section, key, &value, &length, kIntChars + 1)) return def;
    char digits[kIntChars + 1];
    memcpy(digits, value, length);
    digits[length] = '\0';
    return ParseInt(digits);
}

size_t ReadStringValue(const char* text, const char* section, const char* key, const char* def,
                       char* dst, size_t max) {
    const char* value;
    size_t length;
    if (!LookUp(text, section, key, &value, &length, max)) {
        if (dst && max) CopyString(dst, def, max);
        return 0;
    }
    // A found value is never longer than max - 1 bytes, and max is at least 1.
    if (!dst) return 0;
    memcpy(dst, value, length);
    dst[length] = '\0';
    return length;
}

// ---------------------------------------------------------------------------
// Record operations

void ResetSettings(void) {
    memset(&Settings, 0, sizeof Settings);
    for (size_t i = 0; i < kFieldCount; i++) {
        const FieldDef* f = &kFields[i];
        switch (f->kind) {
            case FIELD_TEXT:
                CopyString(FieldSlot(f), f->defText, f->size);
                break;
            case FIELD_ALPHA:
                *(uint8_t*)FieldSlot(f) = (uint8_t)f->def;
                break;
            default:
                SetFieldInt(f, f->def);
                break;
        }
    }
}

static void ValidateFlag(uint32_t* v) {
    if (*v) *v = 1;
}

static void ValidateOneOnly(uint32_t* v) {
    if (*v != 1) *v = 0;
}

static void ValidateColour(uint32_t* v, uint32_t def) {
    if (*v > kColourMax) *v = def;
}

// A negative value made positive; the one value that has no positive
// counterpart takes the default instead.
static void MakePositive(int32_t* v, int32_t def) {
    if (*v >= 0) return;
    *v = (int32_t)(0u - (uint32_t)*v);
    if (*v < 0) *v = def;
}

static void ValidateLook(ListLook* look) {
    ValidateOneOnly(&look->fldclass);
    ValidateColour(&look->fldbkcolor, kFolderBack);
    ValidateColour(&look->fldftcolor, kTextColour);
    ValidateColour(&look->filbkcolor, kFileBack);
    ValidateColour(&look->filftcolor, kTextColour);
}

static void TerminateText(char* text, size_t size) {
    if (!memchr(text, '\0', size)) text[size - 1] = '\0';
}

void ValidateSettings(void) {
    SettingsRecord* s = &Settings;
    // [common]
    uint32_t key = s->hotkey & 0xFF;
    if (s->hotkey != 0 && ((s->hotkey & 0xF00) == 0 || key < 1 || key > 254)) s->hotkey = 0x131;
    if (s->tray > 2) s->tray = 1;
    TerminateText(s->t_macro, sizeof s->t_macro);
    if (!s->t_macro[0]) CopyString(s->t_macro, kTimeMacroDefault, sizeof s->t_macro);
    if (s->linemax < 1 || s->linemax > 100) s->linemax = 25;
    if (s->listwmax > 260) s->listwmax = 0;
    ValidateFlag(&s->icon);
    if (s->exemode < 0 || s->exemode > 2) s->exemode = 1;
    ValidateFlag(&s->migemo);
    ValidateFlag(&s->migemomode);
    TerminateText(s->migemo_path, sizeof s->migemo_path);
    if (s->alpha < 10 || s->alpha > 100) s->alpha = 100;
    // [edit]
    MakePositive(&s->w, 70);
    if (s->w < 20) s->w = 70;
    MakePositive(&s->ftsize, 12);
    ValidateOneOnly(&s->autoresize);
    ValidateFlag(&s->aligns);
    // [path], [exp], [his], [def], [fav], [search]
    ValidateLook(&s->path);
    ValidateOneOnly(&s->typoctr);
    if (s->inputmode < 0 || s->inputmode > 1) s->inputmode = 0;
    ValidateLook(&s->exp);
    ValidateLook(&s->his);
    MakePositive(&s->size, 20);
    ValidateLook(&s->def);
    ValidateLook(&s->fav);
    ValidateLook(&s->search);
    ValidateOneOnly(&s->keep);
    // [prev]
    if (s->rsize < 500 || s->rsize > 10000) s->rsize = 2000;
    ValidateColour(&s->bkcolor, kFileBack);
    ValidateColour(&s->ftcolor, kTextColour);
    if (s->width <= 10) s->width = 250;
    if (s->height <= 10) s->height = 250;
    TerminateText(s->spi_path, sizeof s->spi_path);
}

void ParseSettingsText(const char* text) {
    LastReadStatus = READ_FOUND;
    SettingsIncomplete = 0;
    if (!text) text = "";
    memset(&Settings, 0, sizeof Settings);
    for (size_t i = 0; i < kFieldCount; i++) {
        const FieldDef* f = &kFields[i];
        switch (f->kind) {
            case FIELD_TEXT:
                ReadStringValue(text, f->section, f->key, f->defText, FieldSlot(f), f->size);
                break;
            case FIELD_ALPHA:
                *(uint8_t*)FieldSlot(f) =
                    (uint8_t)((uint32_t)ReadIntValue(text, f->section, f->key, f->def) & 0xFF);
                break;
            default:
                SetFieldInt(f, ReadIntValue(text, f->section, f->key, f->def));
                break;
        }
    }
    ValidateSettings();
    // At start the run-time state of Migemo search follows the stored setting.
    Settings.migemo = (Settings.migemo & ~2u) | ((Settings.migemo & 1u) << 1);
}

int FormatSettings(char* buf, size_t bufSize) {
    if (!buf || bufSize == 0) return -1;
    size_t used = 0;
    const char* section = nullptr;
    for (size_t i = 0; i < kFieldCount; i++) {
        const FieldDef* f = &kFields[i];
        size_t room = bufSize - used;
        int n;
        if (!section || strcmp(section, f->section) != 0) {
            section = f->section;
            n = snprintf(buf + used, room, "[%s]\r\n", section);
            if (n < 0 || (size_t)n >= room) return -1;
            used += (size_t)n;
            room = bufSize - used;
        }
        switch (f->kind) {
            case FIELD_TEXT: {
                const char* slot = FieldSlot(f);
                const char* nul = (const char*)memchr(slot, '\0', f->size);
                int len = (int)(nul ? (size_t)(nul - slot) : f->size - 1);
                n = snprintf(buf + used, room, "%s=%.*s\r\n", f->key, len, slot);
                break;
            }
            case FIELD_ALPHA:
                n = snprintf(buf + used, room, "%s=%d\r\n", f->key, (int)*(const uint8_t*)FieldSlot(f));
                break;
            case FIELD_TRAY:
                n = snprintf(buf + used, room, "%s=%d\r\n", f->key, (int)(FieldInt(f) & 0x7FFF));
                break;
            case FIELD_MIGEMO:
                n = snprintf(buf + used, room, "%s=%d\r\n", f->key, (int)(FieldInt(f) & 1));
                break;
            default:
                n = snprintf(buf + used, room, "%s=%d\r\n", f->key, (int)FieldInt(f));
                break;
        }
        if (n < 0 || (size_t)n >= room) return -1;
        used += (size_t)n;
    }
    return (int)used;
}

// ---------------------------------------------------------------------------
// The file

int SaveSettings(void) {
    char text[SETTINGS_TEXT_MAX];
    int len = FormatSettings(text, sizeof text);
    if (len < 0) return 0;
    // Written to a sibling and renamed over the old file: a failed save leaves
    // the previous settings whole. A file that could not be read at the last
    // load is not written over.
    return SaveDataFile(DF_SETTINGS, text, (size_t)len);
}

// A file that lacked keys is completed: rewritten in canonical form, the old
// bytes kept as "vorn.ini.bak" when they differ.
static void CompleteSettingsFile(const char* oldText, size_t oldLen) {
    char text[SETTINGS_TEXT_MAX];
    int len = FormatSettings(text, sizeof text);
    if (len >= 0) RepairDataFile(DF_SETTINGS, text, (size_t)len, oldText, oldLen);
}

int LoadSettings(void) {
    LastReadStatus = READ_FOUND;
    SettingsIncomplete = 0;
    EnsureDataFolder();
    char path[DATA_PATH_SIZE];
    if (!DataFilePath(DF_SETTINGS, path, sizeof path)) {
        ResetSettings();
        return 0;
    }
    int status = DF_MISSING;
    size_t size = 0;
    char* text = LoadDataFile(DF_SETTINGS, &status, &size);
    if (status == DF_UNREADABLE) {
        // There but not readable just now (held open by another program): the
        // program runs on the defaults and the user's file stays as it is.
        ResetSettings();
        return 1;
    }
    if (!text) {
        ResetSettings();
        return SaveSettings();
    }
    ParseSettingsText(text);
    // Any missing key: complete the file with the defaults in canonical form.
    if (SettingsIncomplete) CompleteSettingsFile(text, size);
    MemFree(text);
    return 1;
}

int ReloadSettings(void) {
    SettingsRecord held = Settings;
    int loaded = LoadSettings();
    if (DataFileLastLoad(DF_SETTINGS) == DF_UNREADABLE) {
        // A file that cannot be read just now does not turn a running program's
        // settings into the defaults: it goes on with those it had, as freshly
        // loaded (no run-time marks, Migemo as stored).
        Settings = held;
        Settings.tray &= ~(uint32_t)TRAY_HOTKEY_FAILED;
        Settings.migemo = (Settings.migemo & ~2u) | ((Settings.migemo & 1u) << 1);
    }
    return loaded;
}
