// Tests of the settings program's pure rules: the start switch, the hot-key
// field, number fields, path fields and the macro menu.
#include <gtest/gtest.h>

#include <stdint.h>
#include <string.h>

#include <string>

#include "common/settings.h"
#include "optbox/optrules.h"

namespace {

std::string Text(uint32_t modifiers, uint32_t key) {
    char out[64];
    memset(out, 'x', sizeof out);
    HotkeyText(modifiers, key, out, sizeof out);
    return out;
}

}  // namespace

TEST(OptboxStart, TheLastSwitchDecides) {
    const struct {
        const char* line;
        int kind;
    } rows[] = {
        {"Optbox.exe", OPT_START_SETTINGS},
        {"Optbox.exe /a", OPT_START_VERSION},
        {"Optbox.exe /s", OPT_START_SETTINGS},
        {"Optbox.exe /a /s", OPT_START_SETTINGS},
        {"Optbox.exe /s /a", OPT_START_VERSION},
        {"Optbox.exe /a /", OPT_START_VERSION},       // "/" at the end is no switch
        {"Optbox.exe /a / x", OPT_START_VERSION},     // "/ " is no switch
        {"Optbox.exe /a /x", OPT_START_SETTINGS},     // an unknown switch still wins
        {"Optbox.exe /A", OPT_START_SETTINGS},
        {"\"C:\\a/b\\Optbox.exe\" /a", OPT_START_VERSION},
        {"\"C:\\tools /a\\Optbox.exe\" /s", OPT_START_SETTINGS},  // the program's own path is skipped
        {"\"C:\\tools /a\\Optbox.exe\"", OPT_START_SETTINGS},
        {"", OPT_START_SETTINGS},
    };
    for (const auto& row : rows) EXPECT_EQ(row.kind, OptboxStartKind(row.line)) << row.line;
    EXPECT_EQ(OPT_START_SETTINGS, OptboxStartKind(nullptr));
}

TEST(OptboxStart, ADoubleByteCharacterAfterASlashIsNotA) {
    // "/" followed by the lead byte of a two-byte character: its trail byte
    // 0x61 ("a") is not a switch letter of its own.
    const char line[] = {'O', ' ', '/', 's', ' ', '/', (char)0x82, (char)0x61, 0};
    EXPECT_EQ(OPT_START_SETTINGS, OptboxStartKind(line));
}

TEST(OptboxHotkey, OnlyDigitsLettersAndFKeysArePending) {
    const struct {
        uint32_t vk, pending;
    } rows[] = {
        {'0', '0'}, {'9', '9'}, {'A', 'A'}, {'Z', 'Z'}, {0x70, 0x70}, {0x79, 0x79}, {0x87, 0x87},
        {0x2F, 0}, {0x3A, 0}, {0x40, 0}, {0x5B, 0}, {0x60, 0}, {0x6F, 0}, {0x88, 0}, {0x10, 0},
        {0x11, 0}, {0x12, 0}, {0x0D, 0}, {0xBA, 0}, {0, 0},
    };
    for (const auto& row : rows) EXPECT_EQ(row.pending, HotkeyPendingKey(row.vk)) << std::hex << row.vk;
}

TEST(OptboxHotkey, TextShowsModifiersInOrderThenTheKey) {
    EXPECT_EQ("Alt+Ctrl+F5", Text(HK_ALT | HK_CTRL, 0x74));
    EXPECT_EQ("Ctrl+Shift+F10", Text(HK_CTRL | HK_SHIFT, 0x79));
    EXPECT_EQ("Alt+Ctrl+Shift+Win+Z", Text(HK_ALL, 'Z'));
    EXPECT_EQ("Win+F24", Text(HK_WIN, 0x87));
    EXPECT_EQ("Alt+1", Text(HK_ALT, '1'));
    EXPECT_EQ("F1", Text(0, 0x70));
    EXPECT_EQ("Shift+Enter", Text(HK_SHIFT, 0x0D));  // a stored key outside the field's keys keeps its name
}

TEST(OptboxHotkey, TextIsCutToTheBuffer) {
    char small[6];
    memset(small, 'x', sizeof small);
    size_t n = HotkeyText(HK_ALT | HK_CTRL, 'A', small, sizeof small);
    EXPECT_EQ(5u, n);
    EXPECT_STREQ("Alt+C", small);
}

TEST(OptboxHotkey, StoredKeyZeroShowsAsOne) {
    EXPECT_EQ((uint32_t)'1', HotkeyStoredKey(0));
    EXPECT_EQ((uint32_t)'1', HotkeyStoredKey(0x100));
    EXPECT_EQ(0x74u, HotkeyStoredKey(0x174));
    EXPECT_EQ((uint32_t)'Q', HotkeyStoredKey(0x651));
}

TEST(OptboxHotkey, ValueIsKeyOrModifiersShifted) {
    EXPECT_EQ(0x679u, HotkeyValue(HK_CTRL | HK_SHIFT, 0x79));  // Ctrl+Shift+F10
    EXPECT_EQ(0x174u, HotkeyValue(HK_ALT, 0x74));              // Alt+F5 unchanged
    EXPECT_EQ(0x131u, HotkeyValue(HK_ALT, '1'));
    EXPECT_EQ(0xF5Au, HotkeyValue(HK_ALL, 'Z'));
    EXPECT_EQ(0u, HotkeyValue(0, '1'));     // no modifier: no hot key, not a bare "1"
    EXPECT_EQ(0x231u, HotkeyValue(HK_CTRL | 0x30, '1'));  // only the four modifier bits
}

TEST(OptboxHotkey, StoredValuesSurviveTheFieldAndValidation) {
    // What the page shows and collects again for a stored value, validated.
    for (uint32_t stored : {0x174u, 0x131u, 0x679u, 0xF5Au, 0u, 0x887u}) {
        uint32_t collected = HotkeyValue((stored >> 8) & HK_ALL, HotkeyStoredKey(stored));
        ResetSettings();
        Settings.hotkey = collected;
        ValidateSettings();
        EXPECT_EQ(stored, Settings.hotkey) << std::hex << stored;
    }
}

TEST(OptboxHotkey, TheLastModifierStaysChecked) {
    const struct {
        uint32_t before, bit, after;
    } rows[] = {
        {HK_ALT, HK_ALT, HK_ALT},                       // unchecking the only one
        {HK_CTRL, HK_CTRL, HK_CTRL},
        {HK_ALT | HK_CTRL, HK_ALT, HK_CTRL},            // another remains
        {HK_ALT, HK_SHIFT, HK_ALT | HK_SHIFT},          // checking adds
        {0, HK_WIN, HK_WIN},
        {HK_ALL, HK_WIN, HK_ALT | HK_CTRL | HK_SHIFT},
    };
    for (const auto& row : rows) EXPECT_EQ(row.after, HotkeyToggleModifier(row.before, row.bit));
}

TEST(OptboxNumberField, ReadsBoundedInsteadOfWrapping) {
    const struct {
        const char* text;
        int kind;
        int32_t value;
    } rows[] = {
        {"", NF_COUNT, 0},
        {"", NF_SIGNED, 0},
        {"25", NF_COUNT, 25},
        {"  42", NF_COUNT, 42},
        {"007", NF_COUNT, 7},
        {"12abc", NF_COUNT, 12},
        {"abc", NF_COUNT, 0},
        {"-30", NF_SIGNED, -30},
        {"-30", NF_COUNT, 0},                     // a count is never negative
        {"2147483647", NF_SIGNED, INT32_MAX},
        {"2147483648", NF_SIGNED, INT32_MAX},     // would wrap to INT32_MIN
        {"4294967321", NF_COUNT, INT32_MAX},      // would wrap to 25
        {"99999999999999999999", NF_COUNT, INT32_MAX},
        {"-2147483648", NF_SIGNED, INT32_MIN},
        {"-2147483649", NF_SIGNED, INT32_MIN},
        {"-99999999999999999999", NF_SIGNED, INT32_MIN},
        {"--5", NF_SIGNED, 0},
        {"- 5", NF_SIGNED, 0},
    };
    for (const auto& row : rows) EXPECT_EQ(row.value, ParseNumberField(row.text, row.kind)) << row.text;
    EXPECT_EQ(0, ParseNumberField(nullptr, NF_SIGNED));
}

TEST(OptboxNumberField, ReadsAtMostFortyCharacters) {
    std::string blanks(39, ' ');
    EXPECT_EQ(7, ParseNumberField((blanks + "7").c_str(), NF_COUNT));
    EXPECT_EQ(0, ParseNumberField((blanks + " 7").c_str(), NF_COUNT));
    std::string digits = std::string(38, '0') + "12" + "34";
    EXPECT_EQ(12, ParseNumberField(digits.c_str(), NF_COUNT));
}

TEST(OptboxNumberField, ValidationDecidesAfterABoundedRead) {
    // linemax 1-100 else 25: a huge typed count must not wrap into range.
    ResetSettings();
    Settings.linemax = ParseNumberField("4294967321", NF_COUNT);
    Settings.listwmax = (uint32_t)ParseNumberField("-1", NF_COUNT);
    Settings.size = ParseNumberField("-40", NF_COUNT);
    ValidateSettings();
    EXPECT_EQ(25, Settings.linemax);
    EXPECT_EQ(0u, Settings.listwmax);
    EXPECT_EQ(0, Settings.size);
}

TEST(OptboxNumberField, FormatShowsSignedDecimal) {
    char out[16];
    const struct {
        int32_t value;
        const char* text;
    } rows[] = {{0, "0"}, {100, "100"}, {-25, "-25"}, {INT32_MAX, "2147483647"}, {INT32_MIN, "-2147483648"}};
    for (const auto& row : rows) {
        FormatNumberField(row.value, out, sizeof out);
        EXPECT_STREQ(row.text, out);
        EXPECT_EQ(row.value, ParseNumberField(out, NF_SIGNED));
    }
    char tiny[3];
    FormatNumberField(12345, tiny, sizeof tiny);
    EXPECT_STREQ("12", tiny);
}

TEST(OptboxPathField, LongerThan260IsRefused) {
    EXPECT_TRUE(PathFieldFits(""));
    EXPECT_TRUE(PathFieldFits(std::string(260, 'a').c_str()));
    EXPECT_FALSE(PathFieldFits(std::string(261, 'a').c_str()));
    EXPECT_FALSE(PathFieldFits(nullptr));
}

TEST(OptboxMacroMenu, CodesAreThoseOfTheClock) {
    const char* codes[MACRO_MENU_ROWS] = {"%a", "%A", "%j", "%b", "%B", "%d", "%H", "%I", "%m", "%M",
                                          "%p", "%S", "%w", "%x", "%X", "%z", "%Z", "%y", "%Y"};
    for (int row = 0; row < MACRO_MENU_ROWS; row++) {
        EXPECT_STREQ(codes[row], MacroMenu[row].code) << row;
        // Every description starts with a blank and the full-width colon.
        EXPECT_EQ(0, strncmp(MacroMenu[row].description, " ：", strlen(" ："))) << row;
    }
    EXPECT_STREQ(" ：曜日の日本語名", MacroMenu[2].description);
    EXPECT_STREQ(" ：年", MacroMenu[18].description);
}

TEST(OptboxMacroMenu, InsertStaysBelowTwentyCharacters) {
    const struct {
        size_t field, selection, code;
        bool fits;
    } rows[] = {
        {0, 0, 2, true},   {17, 0, 2, true},  {18, 0, 2, false}, {19, 0, 2, false},
        {19, 2, 2, true},  {19, 1, 2, false}, {8, 8, 2, true},   {5, 9, 2, true},  // selection beyond the text
    };
    for (const auto& row : rows)
        EXPECT_EQ(row.fits, MacroInsertFits(row.field, row.selection, row.code))
            << row.field << " " << row.selection;
}
