// keymap.h - the bindable-command table, the key-binding lists and the
// "data\keymap" codec, shared by both programs. Pure: no windows.h.
#pragma once
#include <stddef.h>
#include <stdint.h>

// Key code: bits 0-7 virtual key, KEY_ALT / KEY_CTRL / KEY_SHIFT modifiers, 0 = no key.
enum : uint32_t { KEY_ALT = 0x100, KEY_CTRL = 0x200, KEY_SHIFT = 0x400 };
enum : uint32_t { BINDING_DAMAGED = 0xFFFFFFFFu };
// The table's command ids are the bindable commands of the launcher's one id
// space (CMD_SCROLL_DOWN = 0 ... CMD_DELETE = 23).
#include "commandids.h"
enum { COMMAND_COUNT = BINDABLE_COMMAND_COUNT, APP_ID_BASE = 1000 };

struct KeyBinding {
    uint32_t id;
    uint32_t key;
};

struct BindingList {
    KeyBinding* items;
    int count;
    int capacity;
};

// A command name holds at most 31 bytes of code page 932 text. Builds whose
// literals stay UTF-8 (clang, used only for fuzzing) need a wider field.
enum { COMMAND_NAME_SIZE = sizeof("名") == 3 ? 32 : 96 };

struct CommandRow {
    uint32_t id;
    char name[COMMAND_NAME_SIZE];
    uint32_t defaultKey;
};

extern const CommandRow CommandTable[COMMAND_COUNT];
extern BindingList CommandBindings;  // ids below 1000, grouped in table order
extern BindingList AppBindings;      // ids 1000 and above, in file order

int LoadKeyBindings(void);   // always 1
void FreeKeyBindings(void);
int SaveKeyBindings(void);   // 1 written, 0 failed
void ResetCommandBindings(void);

// Appends a binding (growing by 10); 0 when memory ran out (entry dropped).
int AddBinding(BindingList* list, uint32_t id, uint32_t key);
// Adds an application binding in front of the first entry with a larger id.
int AddAppBinding(uint32_t id, uint32_t key);

int CommandName(uint32_t id, char* out, size_t outSize);
int FindBindingByKey(uint32_t key);
int KeyName(uint32_t virtualKey, char* out, size_t outSize);
int KeyText(uint32_t key, char* out, size_t outSize, int commandId);
bool IsModifierKey(uint32_t virtualKey);

// Pure halves of load, save and dispatch.
// Replaces both lists by the entries of file text; returns the first count.
int ParseKeymapText(const char* text);
// Completes CommandBindings with the table's missing commands.
void CompleteCommandBindings(void);
// Writes the file bytes of the lists; returns the length or -1 when too small.
int FormatKeymap(char* buf, size_t bufSize);
size_t KeymapTextSize(void);  // a buffer size that always suffices for FormatKeymap
// Looks up a pressed key: 1 command (id set), 2 application (id set), 0 none.
// Unmodified keys other than F1-F24 are never looked up.
int MatchKey(uint32_t keyCode, uint32_t* idOut);

// Operations of the settings program's key page. Each works on the list the id
// belongs to (below 1000 CommandBindings, else AppBindings).
// Number of bindings of id.
int CountBindingsOfId(uint32_t id);
// Gives the first binding (id, oldKey) the key newKey; 0 when there is none.
int ChangeBindingKey(uint32_t id, uint32_t oldKey, uint32_t newKey);
// Adds the binding (id, key): a command's behind its last binding (so commands
// stay grouped), an application's as AddAppBinding. 0 when memory ran out.
int AddBindingOfId(uint32_t id, uint32_t key);
// Removes the binding (id, key); when it is the only one of id, its key becomes
// 0 instead, so every command keeps a row. 2 removed, 1 key cleared, 0 not found.
int RemoveOneBinding(uint32_t id, uint32_t key);
// Every binding of an application id gets key 0 and the id BINDING_DAMAGED, so
// the writer leaves it out. Returns the number of bindings marked.
int RemoveAppBindings(uint32_t id);
