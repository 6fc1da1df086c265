// fuzz_keymap.cpp - arbitrary "data\keymap" text through the reader, the
// completion and the writer: the written text must read back to the same lists
// (damaged entries left out), and writing again must give the same bytes.
#include <stdint.h>
#include <stdlib.h>
#include <string.h>

#include "common/keymap.h"

#define CHECK(cond)                    \
    do {                               \
        if (!(cond)) __builtin_trap(); \
    } while (0)

static KeyBinding* Snapshot(const BindingList* list, int* countOut) {
    KeyBinding* copy = (KeyBinding*)malloc(sizeof(KeyBinding) * (size_t)(list->count + 1));
    int n = 0;
    for (int i = 0; i < list->count; i++)
        if (list->items[i].id != BINDING_DAMAGED) copy[n++] = list->items[i];
    *countOut = n;
    return copy;
}

static bool SameList(const BindingList* list, const KeyBinding* expected, int count) {
    if (list->count != count) return false;
    for (int i = 0; i < count; i++)
        if (list->items[i].id != expected[i].id || list->items[i].key != expected[i].key)
            return false;
    return true;
}

static char* FormatToHeap(int* lenOut) {
    size_t size = KeymapTextSize();
    char* buf = (char*)malloc(size);
    int len = FormatKeymap(buf, size);
    CHECK(len >= 0);
    CHECK((size_t)len < size && strlen(buf) == (size_t)len);
    *lenOut = len;
    return buf;
}

static bool HasId(const BindingList* list, uint32_t id) {
    for (int i = 0; i < list->count; i++)
        if (list->items[i].id == id) return true;
    return false;
}

// The first entry with the key, commands before applications.
static int ExpectedMatch(uint32_t key, uint32_t* id) {
    for (int i = 0; i < CommandBindings.count; i++)
        if (CommandBindings.items[i].key == key) {
            *id = CommandBindings.items[i].id;
            return 1;
        }
    for (int i = 0; i < AppBindings.count; i++)
        if (AppBindings.items[i].key == key) {
            *id = AppBindings.items[i].id;
            return 2;
        }
    return 0;
}

static void CheckKey(uint32_t key, uint32_t commandId) {
    uint32_t id = 0, want = 0;
    int got = MatchKey(key, &id);
    bool lookedUp = (key & (KEY_ALT | KEY_CTRL | KEY_SHIFT)) != 0 ||
                    ((key & 0xFF) >= 0x70 && (key & 0xFF) <= 0x87);
    int expected = lookedUp ? ExpectedMatch(key, &want) : 0;
    CHECK(got == expected);
    if (got) CHECK(id == want);

    char text[24];
    memset(text, 0x7F, sizeof text);
    KeyText(key, text, 16, (int)commandId);
    CHECK(memchr(text, '\0', 16) != nullptr);
    CHECK(text[16] == 0x7F);
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    char* text = (char*)malloc(size + 1);
    memcpy(text, data, size);
    text[size] = '\0';
    size_t textLen = strlen(text);

    int first = ParseKeymapText(text);
    // Entries come from lines really present, and lists grow by ten at most.
    CHECK((size_t)CommandBindings.count + (size_t)AppBindings.count <= textLen);
    CHECK(CommandBindings.capacity <= CommandBindings.count + 10);
    CHECK(AppBindings.capacity <= AppBindings.count + 10);
    if (first < 1) CHECK(CommandBindings.count == 0);

    // As on loading: fall back to the table or complete it.
    if (first < 1)
        ResetCommandBindings();
    else
        CompleteCommandBindings();
    for (int row = 0; row < COMMAND_COUNT; row++)
        CHECK(HasId(&CommandBindings, CommandTable[row].id));

    for (int i = 0; i < CommandBindings.count; i++)
        CheckKey(CommandBindings.items[i].key, CommandBindings.items[i].id);
    for (int i = 0; i < AppBindings.count; i++)
        CheckKey(AppBindings.items[i].key, AppBindings.items[i].id);

    int commandCount, appCount;
    KeyBinding* commands = Snapshot(&CommandBindings, &commandCount);
    KeyBinding* apps = Snapshot(&AppBindings, &appCount);

    int len1;
    char* written = FormatToHeap(&len1);
    int again = ParseKeymapText(written);
    CHECK(again == commandCount);
    CHECK(SameList(&CommandBindings, commands, commandCount));
    CHECK(SameList(&AppBindings, apps, appCount));

    int len2;
    char* rewritten = FormatToHeap(&len2);
    CHECK(len1 == len2 && memcmp(written, rewritten, (size_t)len1) == 0);

    free(rewritten);
    free(written);
    free(commands);
    free(apps);
    FreeKeyBindings();
    free(text);
    return 0;
}
