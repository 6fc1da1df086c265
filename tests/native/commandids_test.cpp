// commandids_test.cpp - the launcher's one command id space: the bindable
// commands keep the numbers of the key-binding file, and a menu item's id
// maps back to its command.
#include <gtest/gtest.h>

#include "common/keymap.h"
#include "launcher/commands/commandids.h"

TEST(CommandIds, BindableCommandsKeepTheNumbersOfTheKeymapFile) {
    struct Case {
        int id;
        int number;
    };
    const Case cases[] = {
        {CMD_SCROLL_DOWN, 0},  {CMD_SCROLL_UP, 1},       {CMD_BUILTIN_LIST, 2},
        {CMD_FAVORITES, 3},    {CMD_FAVORITES_NEXT, 4},  {CMD_EXPLORER_LIST, 5},
        {CMD_HISTORY, 6},      {CMD_SEARCH_LIST, 7},     {CMD_TOGGLE_LISTS, 8},
        {CMD_DIR_UP, 9},       {CMD_SHORTCUT_TARGET, 10}, {CMD_SELECT_ALL, 11},
        {CMD_CLEAR, 12},       {CMD_COPY, 13},           {CMD_PASTE, 14},
        {CMD_CUT, 15},         {CMD_UNDO, 16},           {CMD_FILE_COPY, 17},
        {CMD_FILE_PASTE, 18},  {CMD_FILE_CUT, 19},       {CMD_REGAPP, 20},
        {CMD_EXIT, 21},        {CMD_RENAME, 22},         {CMD_DELETE, 23},
    };
    ASSERT_EQ(sizeof cases / sizeof cases[0], (size_t)COMMAND_COUNT);
    for (const Case& c : cases) {
        EXPECT_EQ(c.id, c.number);
        EXPECT_TRUE(IsBindableCommand(c.id)) << c.id;
        // The table of the key-binding file names the same command.
        EXPECT_EQ(CommandTable[c.number].id, (uint32_t)c.id);
    }
    for (int id : {-1, 24, CMD_OPEN, CMD_RELOAD, CMD_PREVIEW_SCROLL, COMMAND_ID_COUNT})
        EXPECT_FALSE(IsBindableCommand(id)) << id;
}

TEST(CommandIds, MenuIdsMapBackToTheirCommandsAndNeverCollide) {
    bool taken[MENU_ID_BASE + COMMAND_ID_COUNT] = {};
    for (int cmd = 0; cmd < COMMAND_ID_COUNT; cmd++) {
        int id = MenuIdOfCommand(cmd);
        ASSERT_GE(id, MENU_ID_BASE) << cmd;  // never 0, the id of no choice
        ASSERT_LT(id, MENU_ID_BASE + COMMAND_ID_COUNT) << cmd;
        EXPECT_FALSE(taken[id]) << id;
        taken[id] = true;
        EXPECT_EQ(CommandOfMenuId((unsigned)id), cmd);
    }
    struct Case {
        unsigned id;
        int command;
    };
    const Case ids[] = {
        {0, -1}, {MENU_ID_BASE - 1, -1}, {MENU_ID_BASE, CMD_SCROLL_DOWN},
        {MENU_ID_BASE + COMMAND_ID_COUNT, -1}, {0xFFFFFFFFu, -1},
    };
    for (const Case& c : ids) EXPECT_EQ(CommandOfMenuId(c.id), c.command) << c.id;
    for (int cmd : {-1, COMMAND_ID_COUNT}) EXPECT_EQ(MenuIdOfCommand(cmd), -1) << cmd;
}
