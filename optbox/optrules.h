// optrules.h - the pure rules of the settings program: the command line, the
// hot-key field of "共通(1)" and the reading of number fields. No windows.h.
#pragma once
#include <stddef.h>
#include <stdint.h>

// What the command line asks for.
enum OptboxStart { OPT_START_SETTINGS = 0, OPT_START_VERSION = 1 };
// The full command line (program name first, quoted or not): the last switch,
// a "/" directly followed by a character other than a blank, decides; "/a"
// asks for the version box, anything else (and no switch) for the settings.
int OptboxStartKind(const char* commandLine);

// Hot-key modifier bits as the settings store them above the key byte.
enum : uint32_t { HK_ALT = 1, HK_CTRL = 2, HK_SHIFT = 4, HK_WIN = 8, HK_ALL = 15 };
// Virtual-key codes of the keys the hot-key field takes.
enum : uint32_t { HK_VK_F1 = 0x70, HK_VK_F24 = 0x87 };

// The key a key press in the hot-key field makes pending: the key itself for
// 0-9, A-Z and F1-F24, 0 for every other key (swallowed).
uint32_t HotkeyPendingKey(uint32_t virtualKey);
// The key shown and kept when the field is first filled from a stored hot key:
// its key byte, with 0 turned into "1".
uint32_t HotkeyStoredKey(uint32_t hotkey);
// Text of the field: the modifiers in the order "Alt+", "Ctrl+", "Shift+",
// "Win+", then the key ("F" and its number for F1-F24, the character for 0-9
// and A-Z, else the key's name as the key bindings name it). Returns the length;
// the text is cut (never overrun) to fit outSize.
size_t HotkeyText(uint32_t modifiers, uint32_t key, char* out, size_t outSize);
// The value collected: key | modifiers << 8. With no modifier at all the field
// stands for "no hot key" (the stored 0 is kept as 0 rather than turned into a
// bare key that validation would replace by the default).
uint32_t HotkeyValue(uint32_t modifiers, uint32_t key);
// The modifier boxes after a click on box bit (turned on when wasChecked is
// false): a click that would leave none checked checks the clicked one again.
uint32_t HotkeyToggleModifier(uint32_t modifiers, uint32_t bit);

// Number fields: at most NUMBER_FIELD_CHARS characters of the text are read,
// as decimal digits after optional blanks and one "-"; an empty field gives 0.
// The value is bounded to the field's type instead of wrapping: a signed field
// (a position) to the 32-bit signed range, a count (sizes, widths, depths) to
// 0 .. INT32_MAX, so that the settings' validation decides what is kept.
enum { NUMBER_FIELD_CHARS = 40 };
enum NumberFieldKind { NF_SIGNED = 0, NF_COUNT = 1 };
int32_t ParseNumberField(const char* text, int kind);
// A number as the fields show it (a leading "-" for negative values).
void FormatNumberField(int32_t value, char* out, size_t outSize);

// Path fields keep at most PATH_FIELD_MAX characters; a longer text is refused
// (the caller says so), never cut into another path.
enum { PATH_FIELD_MAX = 260 };
bool PathFieldFits(const char* text);

// The macro menu of "共通(2)": MACRO_MENU_ROWS codes with their descriptions;
// a code goes into the field only while field and code stay below
// TMACRO_FIELD_LIMIT characters (the selection being replaced is taken out).
enum { MACRO_MENU_ROWS = 19, TMACRO_FIELD_LIMIT = 20 };
struct MacroMenuRow {
    const char* code;
    const char* description;
};
extern const MacroMenuRow MacroMenu[MACRO_MENU_ROWS];
bool MacroInsertFits(size_t fieldLength, size_t selectionLength, size_t codeLength);
