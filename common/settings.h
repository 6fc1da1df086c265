// settings.h - the settings record and the "data\vorn.ini" codec, shared by both
// programs. Pure: the file is reached only through fileio.h.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Flag and colours of one list kind (sections path, exp, his, def, fav, search).
struct ListLook {
    uint32_t fldclass;
    uint32_t fldbkcolor;
    uint32_t fldftcolor;
    uint32_t filbkcolor;
    uint32_t filftcolor;
};

// One record per process. Field order is the order of loading and writing.
struct SettingsRecord {
    // [common]
    uint32_t hotkey;
    uint32_t tray;          // bit 15 (TRAY_HOTKEY_FAILED) is a run-time mark, never stored
    char t_macro[20];
    int32_t linemax;
    uint32_t listwmax;
    uint32_t icon;
    int32_t exemode;
    uint32_t migemo;        // bit 0 stored setting, bit 1 run-time state
    uint32_t migemomode;
    char migemo_path[261];
    uint8_t alpha;
    // [edit]
    int32_t x;
    int32_t y;
    int32_t w;
    int32_t ftsize;
    uint32_t autoresize;
    uint32_t aligns;
    // [regapp]
    int32_t showpos;
    // [path]
    ListLook path;
    uint32_t typoctr;
    int32_t inputmode;
    // [exp]
    ListLook exp;
    // [his]
    ListLook his;
    int32_t size;
    // [def]
    int32_t direct;
    ListLook def;
    // [fav]
    ListLook fav;
    // [search]
    ListLook search;
    int32_t subfolder;
    uint32_t keep;
    // [prev]
    uint32_t rsize;
    uint32_t bkcolor;
    uint32_t ftcolor;
    uint32_t width;
    uint32_t height;
    char spi_path[261];
};

enum { TRAY_HOTKEY_FAILED = 0x8000 };

extern SettingsRecord Settings;

// Reader state: 0 found, 2 section missing, 3 key missing.
extern int LastReadStatus;
// Set whenever a lookup of the current load missed its section or key.
extern int SettingsIncomplete;

// Record operations.
void ResetSettings(void);
void ValidateSettings(void);
// Load: a missing file is written with the defaults; a file that exists but
// cannot be read leaves the defaults in memory and the file untouched; a file
// that lacks keys is completed (its old bytes kept as "vorn.ini.bak").
int LoadSettings(void);   // 1 settings in memory, 0 file missing and could not be created
// Save: 0 without writing when the file could not be read at the last load.
int SaveSettings(void);   // 1 written, 0 failed or refused (old file untouched)
// Load on a reload of the running program: like LoadSettings, except that a
// file that cannot be read keeps the settings held (run-time marks cleared).
int ReloadSettings(void);

// The pure halves of load and save, over text in memory.
// Fills the record from text (steps: zero-fill, read every key, validate,
// migemo bit 1 = bit 0). Sets SettingsIncomplete on any miss.
void ParseSettingsText(const char* text);
// Writes the canonical file bytes of the record into buf; returns the length,
// or -1 when bufSize is too small. SETTINGS_TEXT_MAX always suffices.
enum { SETTINGS_TEXT_MAX = 4096 };
int FormatSettings(char* buf, size_t bufSize);

// Reader primitives, shared with the registered-applications file.
int FindSection(const char* text, const char* name, const char** bodyStart, const char** bodyEnd);
int FindKey(const char* key, const char* bodyStart, const char* bodyEnd, const char** valueStart,
            size_t* valueLength, size_t max);
int32_t ReadIntValue(const char* text, const char* section, const char* key, int32_t def);
size_t ReadStringValue(const char* text, const char* section, const char* key, const char* def,
                       char* dst, size_t max);
