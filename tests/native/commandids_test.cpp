// commandids_test.cpp - the launcher's one command id space: the bindable
// commands keep the numbers of the key-binding file, and a menu item's id
// maps back to its command.
#include <gtest/gtest.h>

#include "common/keymap.h"
#include "common/commandids.h"

TEST(CommandIds, BindableCommandsKeepTheNumbersOfTheKeymapFile) {
    // Each command's number, and the name the key-binding table gives that
    // number: a renumbered command would run another key's action.
    struct Case {
        int id;
        int number;
        const char* name;
    };
    const Case cases[] = {
        {CMD_SCROLL_DOWN, 0, "リストスクロール(下)"},
        {CMD_SCROLL_UP, 1, "リストスクロール(上)"},
        {CMD_BUILTIN_LIST, 2, "List-組み込みコマンド表示"},
        {CMD_FAVORITES, 3, "List-Favorite表示"},
        {CMD_FAVORITES_NEXT, 4, "List-Favorite次項表示"},
        {CMD_EXPLORER_LIST, 5, "List-Exp表示"},
        {CMD_HISTORY, 6, "List-History表示"},
        {CMD_SEARCH_LIST, 7, "List-Search表示"},
        {CMD_TOGGLE_LISTS, 8, "List-リスト表示切り替え"},
        {CMD_DIR_UP, 9, "Edit-ディレクトリを上る"},
        {CMD_SHORTCUT_TARGET, 10, "Edit-ショートカット先へ移動"},
        {CMD_SELECT_ALL, 11, "Edit-文字列すべて選択"},
        {CMD_CLEAR, 12, "Edit-文字列クリア"},
        {CMD_COPY, 13, "Edit-文字列コピー"},
        {CMD_PASTE, 14, "Edit-文字列貼り付け"},
        {CMD_CUT, 15, "Edit-文字列切り取り"},
        {CMD_UNDO, 16, "Edit-文字列UNDO"},
        {CMD_FILE_COPY, 17, "ファイルコピー"},
        {CMD_FILE_PASTE, 18, "ファイル貼り付け"},
        {CMD_FILE_CUT, 19, "ファイル切り取り"},
        {CMD_REGAPP, 20, "登録アプリ"},
        {CMD_EXIT, 21, "アプリ終了"},
        {CMD_RENAME, 22, "ファイルリネーム"},
        {CMD_DELETE, 23, "ファイル削除"},
    };
    ASSERT_EQ(sizeof cases / sizeof cases[0], (size_t)COMMAND_COUNT);
    for (const Case& c : cases) {
        EXPECT_EQ(c.id, c.number) << c.name;
        EXPECT_TRUE(IsBindableCommand(c.id)) << c.id;
        const CommandRow* row = nullptr;
        for (const CommandRow& r : CommandTable)
            if (r.id == (uint32_t)c.number) row = &r;
        ASSERT_NE(row, nullptr) << c.number;
        EXPECT_STREQ(row->name, c.name) << c.number;
    }
    for (int id : {-1, 24, (int)CMD_OPEN, (int)CMD_RELOAD, (int)CMD_PREVIEW_SCROLL, (int)COMMAND_ID_COUNT})
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
    for (int cmd : {-1, (int)COMMAND_ID_COUNT}) EXPECT_EQ(MenuIdOfCommand(cmd), -1) << cmd;
}
