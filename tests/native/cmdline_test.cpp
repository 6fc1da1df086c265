// Tests of the command-line parser and the default start folder.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "launcher/shell/appstate.h"
#include "launcher/shell/cmdline.h"

namespace {

CommandLine Parse(const char* text) {
    CommandLine cl;
    memset(&cl, 0x5A, sizeof cl);  // stale bytes must not survive the parse
    ParseCommandLine(text, &cl);
    return cl;
}

std::string Rest(const CommandLine& cl) { return cl.rest ? cl.rest : "<none>"; }

void ExpectUntouchedPositions(const CommandLine& cl) {
    EXPECT_EQ(-1, cl.x);
    EXPECT_EQ(-1, cl.y);
    EXPECT_EQ(-1, cl.w);
}

}  // namespace

TEST(CmdLineParse, ProgramNameAloneGivesDefaults) {
    for (const char* text :
         {"vorn.exe", "vorn.exe   ", "\"C:\\Program Files\\vorn\\vorn.exe\"", ""}) {
        CommandLine cl = Parse(text);
        EXPECT_EQ(0u, cl.flags) << text;
        EXPECT_EQ(0, cl.hasDir) << text;
        EXPECT_EQ(0, cl.hasArgPrefix) << text;
        ExpectUntouchedPositions(cl);
        EXPECT_EQ(nullptr, cl.rest) << text;
        EXPECT_STREQ("", cl.initialText) << text;
    }
    CommandLine cl;
    ParseCommandLine(nullptr, &cl);
    EXPECT_EQ(nullptr, cl.rest);
    EXPECT_EQ(0u, cl.flags);
    ExpectUntouchedPositions(cl);
}

TEST(CmdLineParse, FlagSwitches) {
    EXPECT_EQ((uint32_t)SF_MULTI_INSTANCE, Parse("vorn.exe /a").flags);
    EXPECT_EQ((uint32_t)SF_TARGET_PROGRAM, Parse("vorn.exe /f").flags);
    EXPECT_EQ((uint32_t)SF_ONE_SHOT, Parse("vorn.exe /o").flags);
    EXPECT_EQ((uint32_t)SF_SECOND_CLASS, Parse("vorn.exe /q").flags);
    CommandLine cl = Parse("vorn.exe /a /f\t/o  /q");
    // "/f" is followed by a tab, not a blank: it is no switch.
    EXPECT_EQ((uint32_t)(SF_MULTI_INSTANCE | SF_ONE_SHOT | SF_SECOND_CLASS), cl.flags);
    cl = Parse("vorn.exe /a /f /o /q");
    EXPECT_EQ((uint32_t)(SF_MULTI_INSTANCE | SF_TARGET_PROGRAM | SF_ONE_SHOT | SF_SECOND_CLASS),
              cl.flags);
    EXPECT_EQ(nullptr, cl.rest);
    ExpectUntouchedPositions(cl);
}

TEST(CmdLineParse, FlagLetterFollowedByOtherLettersIsNoSwitch) {
    CommandLine cl = Parse("vorn.exe /abc");
    EXPECT_EQ(0u, cl.flags);
    EXPECT_EQ("abc", Rest(cl));
    EXPECT_STREQ("abc", cl.initialText);

    cl = Parse("vorn.exe /ox /q");
    EXPECT_EQ((uint32_t)SF_SECOND_CLASS, cl.flags);
    EXPECT_EQ(nullptr, cl.rest);
}

TEST(CmdLineParse, UpperCaseLettersAreNoSwitches) {
    CommandLine cl = Parse("vorn.exe /A /F /O /Q /D=C:\\x /R=y /X=5 /Y=6 /W=7");
    EXPECT_EQ(0u, cl.flags);
    EXPECT_EQ(0, cl.hasDir);
    EXPECT_EQ(0, cl.hasArgPrefix);
    ExpectUntouchedPositions(cl);
    // Every slash is a token, so the rest starts after the last one.
    EXPECT_EQ("W=7", Rest(cl));
    EXPECT_STREQ("W=7", cl.initialText);
}

TEST(CmdLineParse, DirectoryValue) {
    CommandLine cl = Parse("vorn.exe /d=C:\\tools\\ C:\\x");
    EXPECT_EQ(1, cl.hasDir);
    EXPECT_STREQ("C:\\tools\\", cl.dir);  // the caller drops the trailing separator
    EXPECT_EQ("C:\\x", Rest(cl));
    EXPECT_STREQ("C:\\x", cl.initialText);

    cl = Parse("vorn.exe /d=\"C:\\Program Files\\x\"\t rest here");
    EXPECT_STREQ("C:\\Program Files\\x", cl.dir);
    EXPECT_EQ("rest here", Rest(cl));
    EXPECT_STREQ("rest", cl.initialText);

    // A value may hold slashes: it runs to the blank.
    cl = Parse("vorn.exe /d=C:/a/b /o");
    EXPECT_STREQ("C:/a/b", cl.dir);
    EXPECT_EQ((uint32_t)SF_ONE_SHOT, cl.flags);

    cl = Parse("vorn.exe /d= x");
    EXPECT_EQ(1, cl.hasDir);
    EXPECT_STREQ("", cl.dir);
    EXPECT_EQ("x", Rest(cl));

    cl = Parse("vorn.exe /d=\"C:\\open quote");
    EXPECT_STREQ("C:\\open quote", cl.dir);
    EXPECT_EQ(nullptr, cl.rest);

    // The last /d= wins.
    cl = Parse("vorn.exe /d=C:\\a /d=D:\\b");
    EXPECT_STREQ("D:\\b", cl.dir);
}

TEST(CmdLineParse, ValueSwitchWithoutEqualsIsNoSwitchAndParsingGoesOn) {
    CommandLine cl = Parse("vorn.exe /d C:\\x /a");
    EXPECT_EQ(0, cl.hasDir);
    EXPECT_EQ((uint32_t)SF_MULTI_INSTANCE, cl.flags);
    EXPECT_EQ(nullptr, cl.rest);

    cl = Parse("vorn.exe /d C:\\x");
    EXPECT_EQ(0, cl.hasDir);
    EXPECT_EQ("d C:\\x", Rest(cl));
    EXPECT_STREQ("d", cl.initialText);

    cl = Parse("vorn.exe /x 5 /r");
    ExpectUntouchedPositions(cl);
    EXPECT_EQ(0, cl.hasArgPrefix);
    EXPECT_EQ("r", Rest(cl));
}

TEST(CmdLineParse, ValuesLongerThanTheirLimitBecomeEmpty) {
    std::string v260(260, 'a'), v261(261, 'a');
    CommandLine cl = Parse(("vorn.exe /d=" + v260 + " /r=\"" + v260 + "\"").c_str());
    EXPECT_EQ(v260, cl.dir);
    EXPECT_EQ(v260, cl.argPrefix);

    std::string longValues = "vorn.exe /d=" + v261 + " /r=\"" + v261 + "\" next";
    cl = Parse(longValues.c_str());
    EXPECT_EQ(1, cl.hasDir);
    EXPECT_STREQ("", cl.dir);
    EXPECT_EQ(1, cl.hasArgPrefix);
    EXPECT_STREQ("", cl.argPrefix);
    EXPECT_EQ("next", Rest(cl));  // the long value is still skipped whole

    // Numbers have nine characters at most; a longer one is empty and reads 0.
    cl = Parse("vorn.exe /x=123456789 /y=1234567890 /w=\"000000001\"");
    EXPECT_EQ(123456789, cl.x);
    EXPECT_EQ(0, cl.y);
    EXPECT_EQ(1, cl.w);
}

TEST(CmdLineParse, PositionOverrides) {
    CommandLine cl = Parse("vorn.exe /x=10 /y=20 /w=300");
    EXPECT_EQ(10, cl.x);
    EXPECT_EQ(20, cl.y);
    EXPECT_EQ(300, cl.w);

    // A negative number is ignored; text that is no number counts as 0.
    cl = Parse("vorn.exe /x=-5 /y=abc /w=0");
    EXPECT_EQ(-1, cl.x);
    EXPECT_EQ(0, cl.y);
    EXPECT_EQ(0, cl.w);

    // A later negative value keeps the earlier one.
    cl = Parse("vorn.exe /x=40 /x=-1 /y=\" 7\" /w=12px");
    EXPECT_EQ(40, cl.x);
    EXPECT_EQ(7, cl.y);
    EXPECT_EQ(12, cl.w);
}

TEST(CmdLineParse, ForwardSlashPathIsCutAtItsLastSlash) {
    CommandLine cl = Parse("vorn.exe C:/tools/bin");
    EXPECT_EQ("bin", Rest(cl));
    EXPECT_STREQ("bin", cl.initialText);

    cl = Parse("vorn.exe /a C:/x/y z");
    EXPECT_EQ((uint32_t)SF_MULTI_INSTANCE, cl.flags);
    EXPECT_EQ("y z", Rest(cl));
    EXPECT_STREQ("y", cl.initialText);

    cl = Parse("vorn.exe C:/tools/");
    EXPECT_EQ(nullptr, cl.rest);
    EXPECT_STREQ("", cl.initialText);
}

TEST(CmdLineParse, QuotedProgramNameWithBlanks) {
    CommandLine cl = Parse("\"C:\\Program Files\\vorn\\vorn.exe\" /o C:\\work");
    EXPECT_EQ((uint32_t)SF_ONE_SHOT, cl.flags);
    EXPECT_EQ("C:\\work", Rest(cl));
    EXPECT_STREQ("C:\\work", cl.initialText);

    // Without switches the rest starts after the program name and its blanks.
    cl = Parse("\"C:\\Program Files\\vorn\\vorn.exe\" \t D:\\data");
    EXPECT_EQ("D:\\data", Rest(cl));
    EXPECT_STREQ("D:\\data", cl.initialText);
}

TEST(CmdLineParse, RestAndInitialText) {
    const char* text = "vorn.exe /q \"C:\\a b\\c\" tail";
    CommandLine cl = Parse(text);
    ASSERT_NE(nullptr, cl.rest);
    EXPECT_EQ(text + 12, cl.rest);  // points into the parsed text
    EXPECT_STREQ("C:\\a b\\c", cl.initialText);

    cl = Parse("vorn.exe \"C:\\open b");
    EXPECT_STREQ("C:\\open b", cl.initialText);

    // Text before a switch is no rest: the rest begins after the last switch.
    cl = Parse("vorn.exe C:\\x /o");
    EXPECT_EQ((uint32_t)SF_ONE_SHOT, cl.flags);
    EXPECT_EQ(nullptr, cl.rest);

    // A trail byte 0x5C stays inside its character.
    cl = Parse(
        "vorn.exe C:\\\x95\x5c"
        "\\x y");
    EXPECT_STREQ("C:\\\x95\x5c\\x", cl.initialText);

    std::string t260(260, 'p'), t261(261, 'p');
    cl = Parse(("vorn.exe " + t260 + " more").c_str());
    EXPECT_EQ(t260, cl.initialText);
    std::string longRest = "vorn.exe " + t261;
    cl = Parse(longRest.c_str());
    EXPECT_EQ(t261, Rest(cl));
    EXPECT_STREQ("", cl.initialText);
    cl = Parse(("vorn.exe \"" + t261 + "\"").c_str());
    EXPECT_STREQ("", cl.initialText);
}

// A slash inside a token that begins with a double quote starts no switch;
// outside quotes the switches keep their rules.
TEST(CmdLineParse, SlashesInsideAQuotedTokenAreNoSwitches) {
    struct Case {
        const char* text;
        uint32_t flags;
        const char* rest;  // "<none>" when there is none
        const char* initialText;
        int32_t x;
    };
    const Case cases[] = {
        {"vorn.exe \"C:\\my /a dir\\x.txt\"", 0, "\"C:\\my /a dir\\x.txt\"", "C:\\my /a dir\\x.txt",
         -1},
        {"vorn.exe \"C:\\w /x=5 v\"", 0, "\"C:\\w /x=5 v\"", "C:\\w /x=5 v", -1},
        {"vorn.exe /o \"D:\\a /q\" tail", SF_ONE_SHOT, "\"D:\\a /q\" tail", "D:\\a /q", -1},
        // Switches after a closed quoted token still count.
        {"vorn.exe \"C:\\a /f\" /a", SF_MULTI_INSTANCE, "<none>", "", -1},
        {"vorn.exe /x=7 \"C:/tools/bin\"", 0, "\"C:/tools/bin\"", "C:/tools/bin", 7},
        // Unclosed: the quoted token runs to the end.
        {"vorn.exe \"C:\\open /a /x=3", 0, "\"C:\\open /a /x=3", "C:\\open /a /x=3", -1},
        // A quote inside an unquoted token opens nothing.
        {"vorn.exe C:\\a\"b /a c\"", SF_MULTI_INSTANCE, "c\"", "c\"", -1},
        // Unquoted text is unchanged: every slash starts a token.
        {"vorn.exe C:\\my /a dir", SF_MULTI_INSTANCE, "dir", "dir", -1},
        {"vorn.exe /a /x=5 C:\\x", SF_MULTI_INSTANCE, "C:\\x", "C:\\x", 5},
        // A double-byte character whose trail byte is 0x5C before the closing quote.
        {"vorn.exe \"C:\\\x95\x5c /a\\\x95\x5c\"", 0, "\"C:\\\x95\x5c /a\\\x95\x5c\"",
         "C:\\\x95\x5c /a\\\x95\x5c", -1},
    };
    for (const Case& c : cases) {
        CommandLine cl = Parse(c.text);
        EXPECT_EQ(c.flags, cl.flags) << c.text;
        EXPECT_EQ(c.rest, Rest(cl)) << c.text;
        EXPECT_STREQ(c.initialText, cl.initialText) << c.text;
        EXPECT_EQ(c.x, cl.x) << c.text;
        EXPECT_EQ(-1, cl.y) << c.text;
        EXPECT_EQ(-1, cl.w) << c.text;
    }
}

TEST(CmdLineParse, TruncatedTextNeverReadsPastItsEnd) {
    // Every input is copied into an exact-size heap block, so AddressSanitizer
    // reports any read past the NUL.
    const char* texts[] = {
        "vorn.exe /",        "vorn.exe /d",     "vorn.exe /d=",    "vorn.exe /x=\"",
        "vorn.exe /d=\"abc", "vorn.exe \"",     "vorn.exe \x81",   "vorn.exe /d=\x81",
        "\"vorn.exe",        "vorn.exe /a\x81", "vorn.exe \"\x81", "vorn.exe a\x81/",
    };
    for (const char* t : texts) {
        size_t n = strlen(t) + 1;
        char* copy = new char[n];
        memcpy(copy, t, n);
        CommandLine cl;
        ParseCommandLine(copy, &cl);
        if (cl.rest) {
            EXPECT_GE(cl.rest, copy) << t;
            EXPECT_LT(cl.rest, copy + n - 1) << t;
        }
        EXPECT_LT(strlen(cl.initialText), sizeof cl.initialText);
        delete[] copy;
    }
    EXPECT_EQ(nullptr, Parse("vorn.exe /d=").rest);
    EXPECT_EQ(1, Parse("vorn.exe /d=").hasDir);
    EXPECT_EQ(nullptr, Parse("vorn.exe /").rest);
    EXPECT_EQ("a\x81", Rest(Parse("vorn.exe a\x81")));
}

TEST(CmdLineDefaultStartDir, DriveRootAndFolders) {
    char dir[261];
    DefaultStartDir("C:\\tools\\vorn.exe", dir, sizeof dir);
    EXPECT_STREQ("C:", dir);
    DefaultStartDir("D:\\vorn.exe", dir, sizeof dir);
    EXPECT_STREQ("D:", dir);
    DefaultStartDir("\\\\server\\share\\vorn\\vorn.exe", dir, sizeof dir);
    EXPECT_STREQ("\\\\server\\share\\vorn", dir);
    // The trail byte 0x5C of a double-byte character is no separator.
    DefaultStartDir(
        "\\\\srv\\a\x95\x5c"
        "b.exe",
        dir, sizeof dir);
    EXPECT_STREQ("\\\\srv", dir);
    DefaultStartDir("\\\\srv\\d\x95\x5c\\v.exe", dir, sizeof dir);
    EXPECT_STREQ("\\\\srv\\d\x95\x5c", dir);
    DefaultStartDir("vorn.exe", dir, sizeof dir);
    EXPECT_STREQ("", dir);
    DefaultStartDir("", dir, sizeof dir);
    EXPECT_STREQ("", dir);
}

TEST(CmdLineDefaultStartDir, SmallBufferStaysBounded) {
    char dir[8];
    memset(dir, 'Z', sizeof dir);
    DefaultStartDir("C:\\tools\\vorn.exe", dir, 3);
    EXPECT_STREQ("C:", dir);
    EXPECT_EQ('Z', dir[3]);
    memset(dir, 'Z', sizeof dir);
    DefaultStartDir("C:\\tools\\vorn.exe", dir, 2);
    EXPECT_STREQ("", dir);
    EXPECT_EQ('Z', dir[2]);
    DefaultStartDir("\\\\server\\share\\vorn.exe", dir, sizeof dir);
    EXPECT_STREQ("", dir);  // a cut folder would name another place
}
