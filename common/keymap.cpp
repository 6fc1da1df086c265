// keymap.cpp - the bindable-command table, the two binding lists and the
// "data\keymap" codec. Pure code: the file is reached only through fileio.h,
// and the key dispatch of the launcher calls MatchKey with the pressed key.
#include "keymap.h"

#include <limits.h>
#include <stdio.h>
#include <string.h>

#include "datafile.h"
#include "fileio.h"
#include "strutil.h"

// Row order is the display order of the settings dialog; ids 22 and 23 stand
// before 20 and 21.
const CommandRow CommandTable[COMMAND_COUNT] = {
    {0, "リストスクロール(下)", KEY_CTRL | 0x28},
    {1, "リストスクロール(上)", KEY_CTRL | 0x26},
    {2, "List-組み込みコマンド表示", KEY_CTRL | 'M'},
    {3, "List-Favorite表示", KEY_CTRL | 'F'},
    {4, "List-Favorite次項表示", KEY_CTRL | 'N'},
    {5, "List-Exp表示", KEY_CTRL | 'E'},
    {6, "List-History表示", KEY_CTRL | 'H'},
    {7, "List-Search表示", KEY_CTRL | 'L'},
    {8, "List-リスト表示切り替え", KEY_CTRL | 'T'},
    {9, "Edit-ディレクトリを上る", KEY_CTRL | 0x08},
    {10, "Edit-ショートカット先へ移動", KEY_CTRL | 'J'},
    {11, "Edit-文字列すべて選択", KEY_CTRL | 'A'},
    {12, "Edit-文字列クリア", KEY_CTRL | 'B'},
    {13, "Edit-文字列コピー", KEY_CTRL | 'C'},
    {14, "Edit-文字列貼り付け", KEY_CTRL | 'V'},
    {15, "Edit-文字列切り取り", KEY_CTRL | 'X'},
    {16, "Edit-文字列UNDO", KEY_CTRL | 'Z'},
    {17, "ファイルコピー", KEY_CTRL | KEY_SHIFT | 'C'},
    {18, "ファイル貼り付け", KEY_CTRL | KEY_SHIFT | 'V'},
    {19, "ファイル切り取り", KEY_CTRL | KEY_SHIFT | 'X'},
    {22, "ファイルリネーム", KEY_CTRL | 'R'},
    {23, "ファイル削除", KEY_CTRL | 'D'},
    {20, "登録アプリ", 0x71},
    {21, "アプリ終了", KEY_SHIFT | 0x1B},
};

BindingList CommandBindings = {nullptr, 0, 0};
BindingList AppBindings = {nullptr, 0, 0};

enum {
    LINE_MAX_BYTES = 100,  // longer lines end the reading of their block
    FIELD_MAX_BYTES = 10,  // longer id or key fields count as damaged
    LIST_GROW_STEP = 10,
};

static const char AppBlockMark[] = "---";
static const uint32_t ModifierBits = KEY_ALT | KEY_CTRL | KEY_SHIFT;

// ---------------------------------------------------------------------------
// Binding lists

// Makes room for one more entry, growing the block to count + 10 entries.
static int EnsureRoom(BindingList* list) {
    if (list->count < list->capacity) return 1;
    if (list->count > INT_MAX - LIST_GROW_STEP) return 0;
    int newCapacity = list->count + LIST_GROW_STEP;
    size_t bytes = (size_t)newCapacity * sizeof(KeyBinding);
    KeyBinding* grown =
        list->items ? (KeyBinding*)MemRealloc(list->items, bytes) : (KeyBinding*)MemAlloc(bytes);
    if (!grown) return 0;
    list->items = grown;
    list->capacity = newCapacity;
    return 1;
}

// Inserts a binding at index pos (0..count); 0 when memory ran out.
static int InsertBinding(BindingList* list, int pos, uint32_t id, uint32_t key) {
    if (pos < 0 || pos > list->count) pos = list->count;
    if (!EnsureRoom(list)) return 0;
    if (pos < list->count)
        memmove(&list->items[pos + 1], &list->items[pos],
                (size_t)(list->count - pos) * sizeof(KeyBinding));
    list->items[pos].id = id;
    list->items[pos].key = key;
    list->count++;
    return 1;
}

int AddBinding(BindingList* list, uint32_t id, uint32_t key) {
    if (!list) return 0;
    return InsertBinding(list, list->count, id, key);
}

int AddAppBinding(uint32_t id, uint32_t key) {
    int pos = 0;
    while (pos < AppBindings.count && AppBindings.items[pos].id <= id) pos++;
    return InsertBinding(&AppBindings, pos, id, key);
}

static void ReleaseList(BindingList* list) {
    MemFree(list->items);
    list->items = nullptr;
    list->count = 0;
    list->capacity = 0;
}

void FreeKeyBindings(void) {
    ReleaseList(&CommandBindings);
    ReleaseList(&AppBindings);
}

void ResetCommandBindings(void) {
    CommandBindings.count = 0;
    for (int row = 0; row < COMMAND_COUNT; row++)
        AddBinding(&CommandBindings, CommandTable[row].id, CommandTable[row].defaultKey);
}

static const CommandRow* FindCommandRow(uint32_t id) {
    for (int row = 0; row < COMMAND_COUNT; row++)
        if (CommandTable[row].id == id) return &CommandTable[row];
    return nullptr;
}

static int LastIndexOfId(const BindingList* list, uint32_t id) {
    for (int i = list->count - 1; i >= 0; i--)
        if (list->items[i].id == id) return i;
    return -1;
}

static bool KeyIsBound(const BindingList* list, uint32_t key) {
    for (int i = 0; i < list->count; i++)
        if (list->items[i].key == key) return true;
    return false;
}

void CompleteCommandBindings(void) {
    for (int row = 0; row < COMMAND_COUNT; row++) {
        const CommandRow* r = &CommandTable[row];
        if (LastIndexOfId(&CommandBindings, r->id) >= 0) continue;
        uint32_t key = r->defaultKey;
        if (KeyIsBound(&CommandBindings, key) || KeyIsBound(&AppBindings, key)) key = 0;
        // Behind the last binding of the previous row's command, so the dialog
        // lists the commands grouped in table order; at the end otherwise.
        int pos = CommandBindings.count;
        if (row > 0) {
            int last = LastIndexOfId(&CommandBindings, CommandTable[row - 1].id);
            if (last >= 0) pos = last + 1;
        }
        InsertBinding(&CommandBindings, pos, r->id, key);
    }
}

// ---------------------------------------------------------------------------
// Reading "data\keymap"

// Field value: empty or longer than FIELD_MAX_BYTES gives the fallback.
static uint32_t FieldValue(const char* field, uint32_t fallback) {
    size_t n = strlen(field);
    if (n == 0 || n > FIELD_MAX_BYTES) return fallback;
    return (uint32_t)ParseInt(field);
}

// One "id,key" line. The line is split at its first ','; the part after it is
// the key field (a line without ',' has an empty key field).
static void ParseEntry(const char* line, uint32_t* id, uint32_t* key) {
    char field[FIELD_MAX_BYTES + 1];
    SplitAt(line, ',', field, FIELD_MAX_BYTES);
    *id = field[0] ? (uint32_t)ParseInt(field) : BINDING_DAMAGED;
    const char* comma = strchr(line, ',');
    *key = comma ? FieldValue(comma + 1, 0) : 0;
}

// Reads up to count entries starting at text into list. Stops early at the end
// of the text, at a line longer than LINE_MAX_BYTES and, in the command block,
// at the "---" line: a count that announces more entries than the block holds
// never takes the application block for commands.
static void ReadBlock(const char* text, int count, BindingList* list, bool stopAtMark) {
    char line[LINE_MAX_BYTES + 1];
    for (int i = 0; i < count && text; i++) {
        text = ReadLine(text, line, LINE_MAX_BYTES);
        if (!text) break;
        if (stopAtMark && strcmp(line, AppBlockMark) == 0) break;
        uint32_t id, key;
        ParseEntry(line, &id, &key);
        AddBinding(list, id, key);
    }
}

// Start of the line after the one at text (line ends as ReadLine takes them),
// or the NUL at the end.
static const char* SkipLine(const char* text) {
    const char* p = text;
    while (*p && *p != '\r' && *p != '\n') p++;
    if (*p == '\r' || *p == '\n') p += (p[1] == '\n') ? 2 : 1;
    return p;
}

int ParseKeymapText(const char* text) {
    FreeKeyBindings();
    if (!text || !*text) return 0;
    char line[LINE_MAX_BYTES + 1];
    // The count line is read even when it is longer than a line may be: its
    // number stands at its start, and what follows it cannot change it.
    const char* p = ReadLine(text, line, LINE_MAX_BYTES);
    if (!p) {
        CopyString(line, text, sizeof line);
        p = SkipLine(text);
    }
    int first = ParseInt(line);
    if (first >= 1) ReadBlock(p, first, &CommandBindings, true);

    // The application block follows the first line that is exactly "---"; a
    // line too long to be a binding is passed over on the way, so that no
    // damaged line before it costs the application bindings.
    for (p = text; *p;) {
        const char* next = ReadLine(p, line, LINE_MAX_BYTES);
        if (!next) {
            p = SkipLine(p);
            continue;
        }
        p = next;
        if (strcmp(line, AppBlockMark) != 0) continue;
        p = ReadLine(p, line, LINE_MAX_BYTES);
        if (p) {
            int apps = ParseInt(line);
            if (apps >= 1) ReadBlock(p, apps, &AppBindings, false);
        }
        break;
    }
    return first;
}

// Writes the lists into "data\keymap"; with oldText (the bytes loaded) a
// damaged file is repaired (kept as "keymap.bak" first).
static int WriteKeymap(const char* oldText, size_t oldLen) {
    size_t size = KeymapTextSize();
    char* buf = (char*)MemAlloc(size);
    if (!buf) return 0;
    int len = FormatKeymap(buf, size);
    int ok = 0;
    if (len >= 0) {
        ok = oldText ? RepairDataFile(DF_KEYMAP, buf, (size_t)len, oldText, oldLen)
                     : SaveDataFile(DF_KEYMAP, buf, (size_t)len);
    }
    MemFree(buf);
    return ok;
}

int LoadKeyBindings(void) {
    int status = DF_MISSING;
    size_t size = 0;
    char* text = LoadDataFile(DF_KEYMAP, &status, &size);
    if (status == DF_UNREADABLE) {
        // Held by another program just now: the bindings held stay (the
        // defaults when there are none), and the file is left alone.
        if (CommandBindings.count == 0) ResetCommandBindings();
        return 1;
    }
    FreeKeyBindings();
    int first = text ? ParseKeymapText(text) : 0;
    if (first < 1) {
        // Missing or without a command block: the defaults are written at once,
        // together with whatever application bindings the file held.
        ResetCommandBindings();
        WriteKeymap(text, size);
    } else {
        CompleteCommandBindings();
    }
    MemFree(text);
    return 1;
}

// ---------------------------------------------------------------------------
// Writing "data\keymap"

// Longest line: two 10-digit numbers, ',' and CR LF. The count and "---" lines
// are shorter.
enum { KEYMAP_LINE_RESERVE = 24 };

static int WrittenCount(const BindingList* list) {
    int n = 0;
    for (int i = 0; i < list->count; i++)
        if (list->items[i].id != BINDING_DAMAGED) n++;
    return n;
}

size_t KeymapTextSize(void) {
    size_t lines = (size_t)CommandBindings.count + (size_t)AppBindings.count + 3;
    return lines * KEYMAP_LINE_RESERVE + 1;
}

// Appends text at *pos; false when it does not fit (its NUL included).
static bool Put(char* buf, size_t bufSize, size_t* pos, const char* text) {
    size_t n = strlen(text);
    if (n >= bufSize - *pos) return false;
    memcpy(buf + *pos, text, n + 1);
    *pos += n;
    return true;
}

// Numbers are written unsigned: every value ParseInt can return from a field of
// at most 10 bytes is then written back in at most 10 bytes, so whatever was
// read is read again unchanged.
static bool PutBlock(char* buf, size_t bufSize, size_t* pos, const BindingList* list) {
    char line[KEYMAP_LINE_RESERVE];
    snprintf(line, sizeof line, "%u\r\n", (unsigned)WrittenCount(list));
    if (!Put(buf, bufSize, pos, line)) return false;
    for (int i = 0; i < list->count; i++) {
        const KeyBinding* b = &list->items[i];
        if (b->id == BINDING_DAMAGED) continue;
        snprintf(line, sizeof line, "%u,%u\r\n", (unsigned)b->id, (unsigned)b->key);
        if (!Put(buf, bufSize, pos, line)) return false;
    }
    return true;
}

int FormatKeymap(char* buf, size_t bufSize) {
    if (!buf || bufSize == 0) return -1;
    size_t pos = 0;
    buf[0] = '\0';
    if (WrittenCount(&CommandBindings) > 0 && !PutBlock(buf, bufSize, &pos, &CommandBindings))
        return -1;
    if (WrittenCount(&AppBindings) > 0) {
        if (!Put(buf, bufSize, &pos, "---\r\n")) return -1;
        if (!PutBlock(buf, bufSize, &pos, &AppBindings)) return -1;
    }
    if (pos > (size_t)INT_MAX) return -1;
    return (int)pos;
}

int SaveKeyBindings(void) { return WriteKeymap(nullptr, 0); }

// ---------------------------------------------------------------------------
// Lookups

int CommandName(uint32_t id, char* out, size_t outSize) {
    const CommandRow* row = FindCommandRow(id);
    if (!row) {
        if (out && outSize) out[0] = '\0';
        return 0;
    }
    CopyString(out, row->name, outSize);
    return 1;
}

int FindBindingByKey(uint32_t key) {
    for (int i = 0; i < CommandBindings.count; i++)
        if (CommandBindings.items[i].key == key) return (int)CommandBindings.items[i].id;
    for (int i = 0; i < AppBindings.count; i++)
        if (AppBindings.items[i].key == key) return (int)AppBindings.items[i].id;
    return -1;
}

int MatchKey(uint32_t keyCode, uint32_t* idOut) {
    uint32_t vk = keyCode & 0xFF;
    // Unmodified keys belong to normal typing, except the function keys.
    if ((keyCode & ModifierBits) == 0 && (vk < 0x70 || vk > 0x87)) return 0;
    for (int i = 0; i < CommandBindings.count; i++) {
        if (CommandBindings.items[i].key != keyCode) continue;
        if (idOut) *idOut = CommandBindings.items[i].id;
        return 1;
    }
    for (int i = 0; i < AppBindings.count; i++) {
        if (AppBindings.items[i].key != keyCode) continue;
        if (idOut) *idOut = AppBindings.items[i].id;
        return 2;
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Key names

// Names of the virtual keys 0x02-0x2F; null entries are "未定義".
// clang-format off
static const char* const LowKeyNames[0x30] = {
    nullptr, nullptr, "マウス右ボタン", "Cancel",
    "マウス中央ボタン", "マウス X1 ボタン", "マウス X2 ボタン", nullptr,
    "BS", "Tab", nullptr, nullptr, "Clear", "Enter", nullptr, nullptr,
    "Shift", "Ctrl", "Alt", "Pause", "Caps Lock", "---", nullptr, "---",
    "---", "---", nullptr, "Esc", "IME 変換", "IME 無変換", nullptr, "IME モード変更",
    "Space", "Page Up", "Page Down", "End", "Home", "Left", "Up", "Right",
    "Down", "Select", "Print", "Execute", "Print Screen", "Insert", "Delete", "Help",
};
// clang-format on

static const char* const NumPadOperatorNames[6] = {
    "Num(*)", "Num(+)", "Num(Enter)", "Num(-)", "Num(.)", "Num(/)",
};

int KeyName(uint32_t virtualKey, char* out, size_t outSize) {
    if (!out || outSize == 0) return 0;
    out[0] = '\0';
    uint32_t vk = virtualKey;
    if ((vk >= '0' && vk <= '9') || (vk >= 'A' && vk <= 'Z')) {
        snprintf(out, outSize, "%c", (char)vk);
    } else if (vk >= 0x60 && vk <= 0x69) {
        snprintf(out, outSize, "Num(%c)", (char)('0' + (vk - 0x60)));
    } else if (vk >= 0x6A && vk <= 0x6F) {
        CopyString(out, NumPadOperatorNames[vk - 0x6A], outSize);
    } else if (vk >= 0x70 && vk <= 0x87) {
        snprintf(out, outSize, "F%u", (unsigned)(vk - 0x70 + 1));
    } else if (vk >= 0x02 && vk <= 0x2F) {
        const char* name = LowKeyNames[vk];
        CopyString(out, name ? name : "未定義", outSize);
    } else {
        return 0;
    }
    return 1;
}

static void Append(char* out, size_t outSize, const char* text) {
    size_t n = strlen(out);
    if (n < outSize) CopyString(out + n, text, outSize - n);
}

int KeyText(uint32_t key, char* out, size_t outSize, int commandId) {
    if (!out || outSize == 0) return 0;
    if (key == 0) {
        CopyString(out, "(NONE)", outSize);
        return 1;
    }
    out[0] = '\0';
    if (key & KEY_ALT) Append(out, outSize, "Alt+");
    if (key & KEY_CTRL) Append(out, outSize, "Ctrl+");
    if (key & KEY_SHIFT) Append(out, outSize, "Shift+");
    char name[64];
    if (KeyName(key & 0xFF, name, sizeof name)) {
        Append(out, outSize, name);
        return 1;
    }
    // A key without a name shows the command's default key instead.
    const CommandRow* row = commandId >= 0 ? FindCommandRow((uint32_t)commandId) : nullptr;
    if (row && KeyName(row->defaultKey & 0xFF, name, sizeof name))
        Append(out, outSize, name);
    else
        CopyString(out, "(NONE)", outSize);
    return 0;
}

bool IsModifierKey(uint32_t virtualKey) {
    return (virtualKey >= 0x10 && virtualKey <= 0x12) || virtualKey == 0x5B || virtualKey == 0x5C ||
           (virtualKey >= 0xA0 && virtualKey <= 0xA5);
}

// ---------------------------------------------------------------------------
// Operations of the settings program's key page

static BindingList* ListOfId(uint32_t id) {
    return id < APP_ID_BASE ? &CommandBindings : &AppBindings;
}

static int IndexOfBinding(const BindingList* list, uint32_t id, uint32_t key) {
    for (int i = 0; i < list->count; i++)
        if (list->items[i].id == id && list->items[i].key == key) return i;
    return -1;
}

int CountBindingsOfId(uint32_t id) {
    const BindingList* list = ListOfId(id);
    int n = 0;
    for (int i = 0; i < list->count; i++)
        if (list->items[i].id == id) n++;
    return n;
}

int ChangeBindingKey(uint32_t id, uint32_t oldKey, uint32_t newKey) {
    BindingList* list = ListOfId(id);
    int i = IndexOfBinding(list, id, oldKey);
    if (i < 0) return 0;
    list->items[i].key = newKey;
    return 1;
}

int AddBindingOfId(uint32_t id, uint32_t key) {
    if (id >= APP_ID_BASE) return AddAppBinding(id, key);
    int last = LastIndexOfId(&CommandBindings, id);
    return InsertBinding(&CommandBindings, last < 0 ? CommandBindings.count : last + 1, id, key);
}

int RemoveOneBinding(uint32_t id, uint32_t key) {
    BindingList* list = ListOfId(id);
    int i = IndexOfBinding(list, id, key);
    if (i < 0) return 0;
    if (CountBindingsOfId(id) == 1) {
        list->items[i].key = 0;
        return 1;
    }
    memmove(&list->items[i], &list->items[i + 1],
            (size_t)(list->count - i - 1) * sizeof(KeyBinding));
    list->count--;
    return 2;
}

int RemoveAppBindings(uint32_t id) {
    if (id < APP_ID_BASE || id == BINDING_DAMAGED) return 0;
    int n = 0;
    for (int i = 0; i < AppBindings.count; i++) {
        if (AppBindings.items[i].id != id) continue;
        AppBindings.items[i].id = BINDING_DAMAGED;
        AppBindings.items[i].key = 0;
        n++;
    }
    return n;
}
