// Tests of the hand-off rules: the selection text, the record the companion
// reads back, its new-name check and the stem its rename dialog selects; and
// the rules of using the registered-applications table (menu names, ids,
// parameters, working folder, the Default/Favorites check).
#include <gtest/gtest.h>
#include <string.h>

#include <string>
#include <vector>

#include "common/listfile.h"
#include "common/regapps.h"
#include "common/toolrules.h"

namespace {

// A file list from strings.
std::string List(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& p : paths) list += p + '\0';
    return list + '\0';
}

std::vector<std::string> Paths(const char* list) {
    std::vector<std::string> v;
    for (const char* p = list; *p; p += strlen(p) + 1) v.push_back(p);
    return v;
}

RegApp Entry(const char* name, const char* path, const char* arg, const char* folder, int32_t cmd) {
    RegApp e;
    memset(&e, 0, sizeof e);
    strcpy(e.name, name);
    strcpy(e.path, path);
    strcpy(e.arg, arg);
    strcpy(e.folder, folder);
    e.cmd = cmd;
    return e;
}

}  // namespace

TEST(SelectionText, QuotesEachPathAndEndsEachWithABlank) {
    struct Case {
        std::vector<std::string> paths;
        const char* text;  // null: refused
        int count;
    } cases[] = {
        {{"C:\\a.txt"}, "\"C:\\a.txt\" ", 1},
        {{"C:\\a b.txt", "D:\\\x95\x5c.txt"}, "\"C:\\a b.txt\" \"D:\\\x95\x5c.txt\" ", 2},
        {{std::string(260, 'x')}, nullptr, 1},  // fits exactly: checked below
        {{std::string(261, 'x')}, nullptr, 0},  // over the path buffer: refused, not cut
        {{"C:\\a\"b"}, nullptr, 0},             // a quote would end the path early
        {{}, nullptr, 0},
    };
    for (const Case& c : cases) {
        std::string list = List(c.paths);
        std::vector<char> out(SelectionTextSize(list.c_str()), 'Z');
        EXPECT_EQ(BuildSelectionText(list.c_str(), out.data(), out.size()), c.count);
        if (c.text) {
            EXPECT_STREQ(out.data(), c.text);
        }
        if (c.count == 0) {
            EXPECT_STREQ(out.data(), "");
        } else {
            EXPECT_EQ(strlen(out.data()) + 1, out.size()) << "size is exact";
        }
    }
}

TEST(SelectionText, TooSmallABufferGivesNothing) {
    std::string list = List({"C:\\a.txt", "C:\\b.txt"});
    size_t need = SelectionTextSize(list.c_str());
    std::vector<char> out(need - 1);
    EXPECT_EQ(BuildSelectionText(list.c_str(), out.data(), out.size()), 0);
    EXPECT_STREQ(out.data(), "");
}

TEST(ToolMessage, OnlyTheVornThatStartedOrHandedOverTakesIt) {
    const struct {
        bool waiting;
        uint32_t startedPid, senderPid;
        uintptr_t handedTo, sender;
        ToolMessageMeaning meaning;
    } cases[] = {
        {true, 40, 40, 0, 0x100, TOOL_MSG_ANSWER},       // the tool this vorn started
        {true, 40, 41, 0, 0x100, TOOL_MSG_IGNORED},      // another vorn's tool
        {true, 0, 41, 0, 0x100, TOOL_MSG_ANSWER},        // the started process is not known
        {false, 0, 40, 0x100, 0x100, TOOL_MSG_DONE},     // the tool the paths went to
        {false, 0, 41, 0x100, 0x200, TOOL_MSG_IGNORED},  // a stray answer
    };
    for (const auto& c : cases)
        EXPECT_EQ(ToolMessageFor(c.waiting, c.startedPid, c.senderPid, c.handedTo, c.sender), c.meaning)
            << c.waiting << " " << c.senderPid << " " << c.sender;
}

TEST(ToolRecord, ReadsQuotedPathsSeparatedByBlanks) {
    struct Case {
        std::string data;  // without its NUL
        int result;
        std::vector<std::string> paths;
    } cases[] = {
        {"\"C:\\a.txt\" ", 1, {"C:\\a.txt"}},
        {"\"C:\\a b.txt\" \"D:\\c\"", 2, {"C:\\a b.txt", "D:\\c"}},
        {"  \"C:\\a\"\t\t\"C:\\b\"  ", 2, {"C:\\a", "C:\\b"}},
        {"\"C:\\\x95\x5c\" ", 1, {"C:\\\x95\x5c"}},
        {"", TOOL_RECORD_EMPTY, {}},
        {"   ", TOOL_RECORD_EMPTY, {}},
        {"C:\\a.txt", TOOL_RECORD_MALFORMED, {}},
        {"\"C:\\a.txt", TOOL_RECORD_MALFORMED, {}},
        {"\"\" ", TOOL_RECORD_MALFORMED, {}},
        {"\"C:\\a\"x ", TOOL_RECORD_MALFORMED, {}},
        {"\"C:\\a\" junk", TOOL_RECORD_MALFORMED, {}},
        {"\"" + std::string(260, 'p') + "\"", 1, {std::string(260, 'p')}},
        {"\"" + std::string(261, 'p') + "\"", TOOL_RECORD_TOO_LONG, {}},
        {"\"C:\\a\" \"" + std::string(300, 'p') + "\"", TOOL_RECORD_TOO_LONG, {}},
    };
    for (const Case& c : cases) {
        std::vector<char> list(c.data.size() + 2, 'Z');
        EXPECT_EQ(ParseToolRecord(c.data.c_str(), c.data.size() + 1, list.data(), list.size()),
                  c.result)
            << c.data;
        EXPECT_EQ(Paths(list.data()), c.paths) << c.data;
    }
}

TEST(ToolRecord, BytesWithoutANulAreNoText) {
    const char bytes[4] = {'"', 'a', '"', ' '};
    char list[16];
    EXPECT_EQ(ParseToolRecord(bytes, sizeof bytes, list, sizeof list), TOOL_RECORD_NOT_TEXT);
    EXPECT_EQ(ParseToolRecord(nullptr, 0, list, sizeof list), TOOL_RECORD_NOT_TEXT);
    EXPECT_STREQ(list, "");
}

TEST(ToolRecord, ASmallListIsNoRoomNeverACutPath) {
    const char text[] = "\"C:\\abcdef\" ";
    char list[6];
    EXPECT_EQ(ParseToolRecord(text, sizeof text, list, sizeof list), TOOL_RECORD_NO_ROOM);
    EXPECT_STREQ(list, "");
}

TEST(ToolRecord, WhatTheSelectionTextWritesReadsBack) {
    std::string list = List({"C:\\a b", "D:\\\x83\x5c\x83\x74\x83\x67.txt", std::string(260, 'q')});
    std::vector<char> text(SelectionTextSize(list.c_str()));
    ASSERT_EQ(BuildSelectionText(list.c_str(), text.data(), text.size()), 3);
    std::vector<char> back(text.size() + 1);
    ASSERT_EQ(ParseToolRecord(text.data(), text.size(), back.data(), back.size()), 3);
    EXPECT_EQ(std::string(back.data(), list.size()), list);
}

TEST(NewName, RefusesWhatTheFileSystemRefuses) {
    struct Case {
        const char* name;
        int result;
    } cases[] = {
        {"new.txt", NAME_OK},
        {"a b", NAME_OK},
        {".profile", NAME_OK},
        {"\x95\x5c.txt", NAME_OK},  // a trail byte 0x5C is no separator
        {"\x83\x7c", NAME_OK},      // nor 0x7C a bar
        {"", NAME_EMPTY},
        {"   ", NAME_EMPTY},
        {"a\\b", NAME_BAD_CHAR},
        {"a/b", NAME_BAD_CHAR},
        {"a:b", NAME_BAD_CHAR},
        {"a*b", NAME_BAD_CHAR},
        {"a?b", NAME_BAD_CHAR},
        {"a\"b", NAME_BAD_CHAR},
        {"a<b", NAME_BAD_CHAR},
        {"a>b", NAME_BAD_CHAR},
        {"a|b", NAME_BAD_CHAR},
        {"a\tb", NAME_BAD_CHAR},
        {"name.", NAME_BAD_END},
        {"name ", NAME_BAD_END},
        {".", NAME_BAD_END},
        {"..", NAME_BAD_END},
    };
    for (const Case& c : cases) EXPECT_EQ(CheckNewName(c.name, "C:\\dir"), c.result) << c.name;
}

TEST(NewName, TheWholePathMustFitAPathBuffer) {
    std::string folder = "C:\\" + std::string(250, 'f');  // 253 bytes
    EXPECT_EQ(CheckNewName(std::string(6, 'n').c_str(), folder.c_str()), NAME_OK);   // 260
    EXPECT_EQ(CheckNewName(std::string(7, 'n').c_str(), folder.c_str()), NAME_TOO_LONG);
}

TEST(StemLength, SelectsTheNameWithoutItsExtension) {
    struct Case {
        const char* name;
        size_t bytes, chars;
    } cases[] = {
        {"report.txt", 6, 6},
        {"archive.tar.gz", 11, 11},
        {"README", 6, 6},
        {".profile", 8, 8},
        {"\x95\x5c\x8e\xa6.txt", 4, 2},  // two double-byte characters
        {"\x83\x41.txt", 2, 1},          // one double-byte character
        {"", 0, 0},
    };
    for (const Case& c : cases) {
        size_t chars = 99;
        EXPECT_EQ(StemLength(c.name, &chars), c.bytes) << c.name;
        EXPECT_EQ(chars, c.chars) << c.name;
    }
}

TEST(RegAppUse, MenuShowsNamesOfOneTo99Characters) {
    struct Case {
        size_t len;
        bool shown;
    } cases[] = {{0, false}, {1, true}, {99, true}, {100, false}, {260, false}};
    for (const Case& c : cases) {
        RegApp e = Entry(std::string(c.len, 'n').c_str(), "C:\\p.exe", "", "", 1000);
        EXPECT_EQ(RegAppInMenu(&e), c.shown) << c.len;
    }
    // A double-byte character counts as one.
    for (size_t n : {50, 99, 100}) {
        RegApp e = Entry("", "C:\\p.exe", "", "", 1000);
        for (size_t i = 0; i < n; i++) memcpy(e.name + 2 * i, "\x82\xA0", 2);
        EXPECT_EQ(RegAppInMenu(&e), n < 100) << n;
    }
}

TEST(RegAppUse, AnIdFindsTheLastEntryThatHoldsIt) {
    RegApp t[4] = {Entry("a", "C:\\a.exe", "", "", 1000), Entry("b", "C:\\b.exe", "", "", 1001),
                   Entry("c", "C:\\c.exe", "", "", 1000), Entry("", "", "", "", 1002)};
    t[3].cmd = 1002;  // a hidden entry never matches, even with an id
    EXPECT_EQ(FindRegAppById(t, 4, 1000), 2);
    EXPECT_EQ(FindRegAppById(t, 4, 1001), 1);
    EXPECT_EQ(FindRegAppById(t, 4, 1002), -1);
    EXPECT_EQ(FindRegAppById(t, 4, 5000), -1);
    EXPECT_EQ(FindRegAppById(nullptr, 0, 1000), -1);
}

TEST(RegAppUse, ParametersAreArgABlankAndTheSelection) {
    struct Case {
        const char* arg;
        const char* selection;
        const char* params;
    } cases[] = {
        {"-n", "\"C:\\a\" \"C:\\b\" ", "-n \"C:\\a\" \"C:\\b\" "},
        {"", "\"C:\\a\" ", "\"C:\\a\" "},
        {"/x /y", "", "/x /y "},
    };
    for (const Case& c : cases) {
        RegApp e = Entry("n", "C:\\p.exe", c.arg, "", 1000);
        size_t need = RegAppParameters(&e, c.selection, nullptr, 0);
        EXPECT_EQ(need, strlen(c.params) + 1);
        std::vector<char> out(need);
        RegAppParameters(&e, c.selection, out.data(), out.size());
        EXPECT_STREQ(out.data(), c.params);
        std::vector<char> small(need - 1, 'Z');
        RegAppParameters(&e, c.selection, small.data(), small.size());
        EXPECT_STREQ(small.data(), "") << "too small a buffer gets nothing, not a cut text";
    }
}

TEST(RegAppUse, WorkingFolderDefaultsToTheProgramsFolder) {
    struct Case {
        const char* path;
        const char* folder;
        const char* work;
    } cases[] = {
        {"C:\\bin\\edit.exe", "", "C:\\bin"},
        {"C:\\bin\\edit.exe", "D:\\work", "D:\\work"},
        {"C:\\\x95\x5c\\edit.exe", "", "C:\\\x95\x5c"},
        {"edit.exe", "", "edit.exe"},  // no separator: left as it is
    };
    for (const Case& c : cases) {
        RegApp e = Entry("n", c.path, "", c.folder, 1000);
        char out[REGAPP_TEXT_SIZE];
        EXPECT_TRUE(RegAppWorkFolder(&e, out, sizeof out));
        EXPECT_STREQ(out, c.work);
    }
    RegApp e = Entry("n", "C:\\bin\\edit.exe", "", "", 1000);
    char tiny[4];
    EXPECT_FALSE(RegAppWorkFolder(&e, tiny, sizeof tiny));
    EXPECT_STREQ(tiny, "");
}

TEST(RegAppUse, ASelectedPathThatIsALineOfTheListIsFound) {
    struct Case {
        int mode;
        const char* file;
        const char* selection;
        int found;
        const char* hit;
    } cases[] = {
        {LF_DEFAULT, "C:\\a\r\nC:\\b.txt\r\n", "\"C:\\x\" \"C:\\b.txt\" ", 1, "C:\\b.txt"},
        {LF_DEFAULT, "C:\\a\r\n", "\"C:\\A\" ", 0, ""},          // bytes, not case
        {LF_DEFAULT, "C:\\a\r\n", "\"C:\\a\\\" ", 0, ""},        // exactly
        {LF_DEFAULT, "-C:\\dir\r\n", "\"C:\\dir\" ", 1, "C:\\dir"},
        {LF_FAVORITES, "-\"*.txt\" C:\\dir\n", "\"C:\\dir\" ", 1, "C:\\dir"},
        {LF_FAVORITES, "C:\\p1\n>\nC:\\p2\n", "\"C:\\p2\" ", 1, "C:\\p2"},  // every page
        {LF_FAVORITES, "\n\n", "\"\" ", 0, ""},
    };
    for (const Case& c : cases) {
        std::string text = c.file;
        char hit[REGAPP_TEXT_SIZE] = "Z";
        EXPECT_EQ(FindSelectionInList(&text[0], c.mode, c.selection, hit, sizeof hit), c.found)
            << c.file;
        EXPECT_STREQ(hit, c.hit);
    }
}
