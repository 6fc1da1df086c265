// builtin_test.cpp - splitting and matching of "#" command texts.
#include <gtest/gtest.h>

#include <string>

#include "launcher/commands/builtin.h"

namespace {

BuiltinRequest Parse(const char* text) {
    BuiltinRequest req;
    ParseBuiltinText(text, &req);
    return req;
}

TEST(BuiltinCommandTable, HoldsTheSixteenNamesInListOrder) {
    const char* expected[] = {"AllCloseExp", "Exit",          "FreeHistory", "FreeMigemo",
                              "FreeSearch",  "Hide",          "MigemoOff",   "MigemoOn",
                              "Open",        "ReloadSetting", "SaveSetting", "SaveHistory",
                              "Optbox",      "SingleExp",     "IntoTray",    "Ver"};
    ASSERT_EQ(16, BUILTIN_COUNT);
    for (int i = 0; i < BUILTIN_COUNT; i++) EXPECT_STREQ(expected[i], BuiltinNames[i]) << i;
    EXPECT_STREQ("Exit", BuiltinNames[BI_EXIT]);
    EXPECT_STREQ("Optbox", BuiltinNames[BI_OPTBOX]);
    EXPECT_STREQ("Ver", BuiltinNames[BI_VER]);
    EXPECT_STREQ("Open", BuiltinNames[BI_OPEN]);
}

TEST(BuiltinCommandMatch, IgnoresCaseOfTheCommandPart) {
    for (const char* text : {"#exit", "#EXIT", "#Exit", "#eXiT"}) {
        BuiltinRequest req = Parse(text);
        EXPECT_EQ(BA_TABLE, req.action) << text;
        EXPECT_EQ(BI_EXIT, req.index) << text;
    }
    EXPECT_EQ(BI_RELOAD_SETTING, Parse("#reloadsetting").index);
    EXPECT_EQ(BI_INTO_TRAY, Parse("#INTOTRAY").index);
}

TEST(BuiltinCommandMatch, OnlyThePartBeforeTheFirstBlankCounts) {
    BuiltinRequest req = Parse("#Exit now");
    EXPECT_EQ(BA_TABLE, req.action);
    EXPECT_EQ(BI_EXIT, req.index);
    EXPECT_STREQ("#Exit", req.command);
    EXPECT_STREQ("now", req.args);
    // A name that merely begins or ends like a command is no command.
    EXPECT_EQ(BA_PROGRAM, Parse("#Exits").action);
    EXPECT_EQ(BA_PROGRAM, Parse("#Exi").action);
    EXPECT_EQ(BA_PROGRAM, Parse("#xExit").action);
    // A tab does not end the command part, only a blank does.
    EXPECT_EQ(BA_PROGRAM, Parse("#Exit\tnow").action);
}

TEST(BuiltinCommandMatch, ControlPanelNamesComeAfterTheTable) {
    BuiltinRequest req = Parse("#SysDm");
    EXPECT_EQ(BA_CONTROL_PANEL, req.action);
    EXPECT_STREQ("sysdm", ControlPanelNames[req.index]);
    req = Parse("#timedate extra");
    EXPECT_EQ(BA_CONTROL_PANEL, req.action);
    EXPECT_STREQ("timedate", ControlPanelNames[req.index]);
}

TEST(BuiltinCommandMatch, BareHashAndOtherTextsDoNothing) {
    EXPECT_EQ(BA_NOTHING, Parse("#").action);
    EXPECT_EQ(BA_NOTHING, Parse("# exit").action);  // the command part is the bare "#"
    EXPECT_EQ(BA_NOTHING, Parse("").action);
    EXPECT_EQ(BA_NOTHING, Parse("exit").action);
    EXPECT_EQ(BA_NOTHING, Parse(nullptr).action);
}

TEST(BuiltinCommandMatch, OtherNamesGoToTheShellAsTyped) {
    BuiltinRequest req = Parse("#NotePad  \t C:\\a b.txt");
    EXPECT_EQ(BA_PROGRAM, req.action);
    EXPECT_EQ(-1, req.index);
    EXPECT_STREQ("#NotePad", req.command);  // case kept for the shell
    EXPECT_TRUE(req.hasArgs);
    EXPECT_STREQ("C:\\a b.txt", req.args);  // leading blanks and tabs skipped, the rest kept

    req = Parse("#notepad");
    EXPECT_FALSE(req.hasArgs);
    EXPECT_STREQ("", req.args);

    req = Parse("#notepad ");
    EXPECT_TRUE(req.hasArgs);
    EXPECT_STREQ("", req.args);
}

TEST(BuiltinCommandMatch, DoubleByteNamesAreNeitherFoldedNorSplitInside) {
    // "#表示" (95 5C 8E A6) and a name whose trail byte is an upper-case letter
    // ("ア" is 83 41): lower-casing must not touch trail bytes.
    BuiltinRequest req = Parse("#\x83\x41\x83\x41 x");
    EXPECT_EQ(BA_PROGRAM, req.action);
    EXPECT_STREQ("#\x83\x41\x83\x41", req.command);
    req = Parse("#表示");
    EXPECT_EQ(BA_PROGRAM, req.action);
    EXPECT_STREQ("#表示", req.command);
    // "#Ｅｘｉｔ" in full-width letters is no command.
    EXPECT_EQ(BA_PROGRAM, Parse("#Ｅｘｉｔ").action);
}

TEST(BuiltinCommandMatch, PartsTooLongForTheirBuffersAreRefused) {
    std::string name = "#" + std::string(BUILTIN_TEXT_SIZE, 'a');
    EXPECT_EQ(BA_NOTHING, Parse(name.c_str()).action);
    std::string withArgs = "#prog " + std::string(BUILTIN_TEXT_SIZE, 'b');
    EXPECT_EQ(BA_NOTHING, Parse(withArgs.c_str()).action);
    // The longest parts that fit are kept whole.
    std::string fits = "#" + std::string(BUILTIN_TEXT_SIZE - 2, 'c');
    BuiltinRequest req = Parse(fits.c_str());
    EXPECT_EQ(BA_PROGRAM, req.action);
    EXPECT_EQ(fits, req.command);
}

}  // namespace
