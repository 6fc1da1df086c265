// Tests of the registered-applications file: the reader's rules over text in
// memory with a fake existence test, id assignment, the bounds of the fields,
// and the writer with its round trip.
#include <gtest/gtest.h>
#include <string.h>

#include <set>
#include <string>
#include <vector>

#include "common/keymap.h"
#include "common/regapps.h"
#include "common/settings.h"

namespace {

// Paths that exist; every other path does not.
struct FakeDisk {
    std::set<std::string> files;
    static bool Exists(void* ctx, const char* path) {
        return ((FakeDisk*)ctx)->files.count(path) != 0;
    }
};

std::string Section(int n, const std::string& body) {
    return "[EXE" + std::to_string(n) + "]\r\n" + body;
}

struct Reader {
    FakeDisk disk;
    RegAppState table = {};
    ~Reader() { FreeRegApps(&table); }
    int Read(const std::string& text) {
        return ReadRegAppsText(text.c_str(), FakeDisk::Exists, &disk, &table);
    }
    const RegApp& At(int i) { return table.RegApps[i]; }
};

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

bool IsZero(const RegApp& e) {
    static const RegApp zero = {};
    return memcmp(&e, &zero, sizeof e) == 0;
}

TEST(RegAppsReader, CountStopsAtFirstMissingNumber) {
    struct Case {
        const char* text;
        int32_t count;
    } cases[] = {
        {"", 0},
        {"[EXE2]\r\npath=C:\\a.exe\r\n", 0},
        {"[EXE1]\r\n[EXE2]\r\n[EXE4]\r\n", 2},
        {"[EXE1]\r\n[EXE3]\r\n[EXE2]\r\n", 3},  // numbers, not file order
        {"[exe1]\r\n", 0},                      // names are case-sensitive
        {"[EXE01]\r\n", 0},
    };
    for (const Case& c : cases) EXPECT_EQ(CountRegAppSections(c.text), c.count) << c.text;
}

TEST(RegAppsReader, GapEndsTheTable) {
    Reader r;
    r.disk.files = {"C:\\a.exe", "C:\\b.exe", "C:\\d.exe"};
    ASSERT_EQ(r.Read(Section(1, "path=C:\\a.exe\r\n") + Section(2, "path=C:\\b.exe\r\n") +
                     Section(4, "path=C:\\d.exe\r\n")),
              1);
    ASSERT_EQ(r.table.RegAppCount, 2);
    EXPECT_STREQ(r.At(0).path, "C:\\a.exe");
    EXPECT_STREQ(r.At(1).path, "C:\\b.exe");
    // Three spare entries after the sections, zero-filled.
    for (int i = 2; i < 5; i++) EXPECT_TRUE(IsZero(r.At(i)));
}

TEST(RegAppsReader, EntryRules) {
    // One section each: what the entry holds after reading.
    struct Case {
        const char* body;
        const char* name;
        const char* path;
        const char* arg;
        const char* folder;
    } cases[] = {
        // all fields
        {"name=Edit\r\npath=C:\\bin\\edit.exe\r\narg=-n\r\nfolder=D:\\w\r\ncmd=1005\r\n", "Edit",
         "C:\\bin\\edit.exe", "-n", "D:\\w"},
        // no name: the file name of the path
        {"path=C:\\bin\\edit.exe\r\n", "edit.exe", "C:\\bin\\edit.exe", "", ""},
        // no separator in the path: the name stays empty (hidden, still startable)
        {"path=edit.exe\r\n", "", "edit.exe", "", ""},
        // lines in any order, blanks after "=" and at the end dropped
        {"cmd=1005\r\narg=  -x -y \t\r\npath=C:\\bin\\edit.exe\r\n", "edit.exe",
         "C:\\bin\\edit.exe", "-x -y", ""},
        // a ";" starts a comment
        {"name=Ed ;old name\r\npath=C:\\bin\\edit.exe\r\n", "Ed", "C:\\bin\\edit.exe", "", ""},
        // double-byte text whose trail bytes are "[" and "\" stays whole
        {"name=\x83\x5B\x83\x5C\r\npath=C:\\\x95\x5C\\e.exe\r\n", "\x83\x5B\x83\x5C",
         "C:\\\x95\x5C\\e.exe", "", ""},
    };
    for (const Case& c : cases) {
        Reader r;
        r.disk.files = {c.path};
        ASSERT_EQ(r.Read(Section(1, c.body)), 1) << c.body;
        EXPECT_STREQ(r.At(0).name, c.name) << c.body;
        EXPECT_STREQ(r.At(0).path, c.path) << c.body;
        EXPECT_STREQ(r.At(0).arg, c.arg) << c.body;
        EXPECT_STREQ(r.At(0).folder, c.folder) << c.body;
    }
}

TEST(RegAppsReader, HiddenEntriesKeepTheirPlace) {
    // Entries that give no program stay in the table zero-filled (cmd 0).
    // Those the file gave no program for are counted as not held; a program
    // that is away is not the file's fault.
    struct Case {
        const char* body;
        const char* why;
        int32_t unheld;
    } cases[] = {
        {"name=x\r\narg=-n\r\n", "no path", 1},
        {"name=x\r\npath=\r\n", "empty path", 1},
        {"name=x\r\npath=C:\\gone.exe\r\n", "path does not exist", 0},
        {"name=[x]\r\npath=C:\\ok.exe\r\n", "a \"[\" ends the section before the path", 1},
    };
    for (const Case& c : cases) {
        Reader r;
        r.disk.files = {"C:\\ok.exe"};
        ASSERT_EQ(r.Read(Section(1, c.body) + Section(2, "path=C:\\ok.exe\r\n")), 1) << c.why;
        ASSERT_EQ(r.table.RegAppCount, 2) << c.why;
        EXPECT_TRUE(IsZero(r.At(0))) << c.why;
        EXPECT_STREQ(r.At(1).path, "C:\\ok.exe") << c.why;
        EXPECT_EQ(r.At(1).cmd, 1000) << c.why;
        EXPECT_EQ(r.table.unheld, c.unheld) << c.why;
    }
}

TEST(RegAppsReader, NoValidEntryGivesEmptyTable) {
    const char* texts[] = {
        "",
        "[EXE2]\r\npath=C:\\ok.exe\r\n",
        "[EXE1]\r\npath=C:\\gone.exe\r\n[EXE2]\r\nname=x\r\n",
    };
    for (const char* t : texts) {
        Reader r;
        r.disk.files = {"C:\\ok.exe"};
        EXPECT_EQ(r.Read(t), 0) << t;
        EXPECT_EQ(r.table.RegApps, nullptr) << t;
        EXPECT_EQ(r.table.RegAppCount, 0) << t;
    }
}

TEST(RegAppsReader, WithoutExistenceTestEveryPathCounts) {
    RegAppState table = {};
    ASSERT_EQ(ReadRegAppsText("[EXE1]\r\npath=C:\\gone.exe\r\n", nullptr, nullptr, &table), 1);
    EXPECT_STREQ(table.RegApps[0].name, "gone.exe");
    FreeRegApps(&table);
    EXPECT_EQ(table.RegApps, nullptr);
}

TEST(RegAppsReader, LineEnds) {
    // CR LF and bare LF, mixed, and a missing last line end.
    const char* texts[] = {
        "[EXE1]\r\nname=A\r\npath=C:\\a.exe\r\narg=-n\r\n[EXE2]\r\npath=C:\\b.exe\r\n",
        "[EXE1]\nname=A\npath=C:\\a.exe\narg=-n\n[EXE2]\npath=C:\\b.exe\n",
        "[EXE1]\r\nname=A\npath=C:\\a.exe\r\narg=-n\n[EXE2]\npath=C:\\b.exe",
    };
    for (const char* t : texts) {
        Reader r;
        r.disk.files = {"C:\\a.exe", "C:\\b.exe"};
        ASSERT_EQ(r.Read(t), 1) << t;
        ASSERT_EQ(r.table.RegAppCount, 2) << t;
        EXPECT_STREQ(r.At(0).name, "A") << t;
        EXPECT_STREQ(r.At(0).path, "C:\\a.exe") << t;
        EXPECT_STREQ(r.At(0).arg, "-n") << t;
        EXPECT_STREQ(r.At(1).name, "b.exe") << t;
    }
}

TEST(RegAppsReader, IdAssignment) {
    struct Case {
        std::vector<const char*> cmds;  // null: no cmd line
        std::vector<int32_t> ids;
    } cases[] = {
        {{nullptr, nullptr, "1000"}, {1001, 1002, 1000}},
        {{"1000", nullptr, "1001", nullptr}, {1000, 1002, 1001, 1003}},
        {{"1003", "1003", nullptr}, {1003, 1003, 1000}},  // duplicates stay
        {{"0", "-5", "999"}, {1000, 1001, 1002}},         // below 1000: not an id
        {{"-1", "2000"}, {1000, 2000}},
        {{"12345678901", nullptr}, {123456789, 1000}},    // 9 digits are read
    };
    for (const Case& c : cases) {
        Reader r;
        std::string text;
        for (size_t i = 0; i < c.cmds.size(); i++) {
            std::string p = "C:\\p" + std::to_string(i) + ".exe";
            r.disk.files.insert(p);
            std::string body = "path=" + p + "\r\n";
            if (c.cmds[i]) body += std::string("cmd=") + c.cmds[i] + "\r\n";
            text += Section((int)i + 1, body);
        }
        ASSERT_EQ(r.Read(text), 1);
        for (size_t i = 0; i < c.ids.size(); i++) EXPECT_EQ(r.At((int)i).cmd, c.ids[i]) << text;
    }
    // Keys made for a file without ids follow its order: a bound id is still given.
    AddAppBinding(1000, KEY_CTRL | 'K');
    Reader r;
    r.disk.files = {"C:\\a.exe"};
    ASSERT_EQ(r.Read(Section(1, "path=C:\\a.exe\r\n")), 1);
    EXPECT_EQ(r.At(0).cmd, 1000);
    FreeKeyBindings();
}

TEST(RegAppsIds, AssignDirectly) {
    RegApp e[4] = {Entry("a", "p", "", "", -1), Entry("b", "p", "", "", 1001),
                   Entry("c", "p", "", "", -1), Entry("d", "p", "", "", 1000)};
    EXPECT_EQ(AssignRegAppIds(e, 4), 2);
    EXPECT_EQ(e[0].cmd, 1002);
    EXPECT_EQ(e[2].cmd, 1003);
    EXPECT_EQ(AssignRegAppIds(e, 4), 0);
}

TEST(RegAppsReader, FieldBounds) {
    // 260 bytes fit; 261 are refused, never cut.
    std::string fits(260, 'a');
    std::string over(261, 'a');
    std::string path260 = "C:\\" + std::string(257, 'p');
    std::string path261 = "C:\\" + std::string(258, 'p');
    // A double-byte character ending exactly on byte 261.
    std::string wideOver = std::string(259, 'a') + "\x95\x5C";
    struct Case {
        std::string body;
        bool kept;
        std::string name;
        std::string arg;
        const char* why;
    } cases[] = {
        {"path=" + path260 + "\r\n", true, std::string(257, 'p'), "", "path of 260"},
        {"path=" + path261 + "\r\n", false, "", "", "path of 261"},
        {"name=" + fits + "\r\npath=C:\\a.exe\r\n", true, fits, "", "name of 260"},
        {"name=" + over + "\r\npath=C:\\a.exe\r\n", true, "a.exe", "", "name of 261: file name"},
        {"name=" + wideOver + "\r\npath=C:\\a.exe\r\n", true, "a.exe", "", "wide name of 261"},
        {"arg=" + fits + "\r\npath=C:\\a.exe\r\n", true, "a.exe", fits, "arg of 260"},
        {"arg=" + over + "\r\npath=C:\\a.exe\r\n", false, "", "", "arg of 261"},
        {"arg=" + wideOver + "\r\npath=C:\\a.exe\r\n", false, "", "", "wide arg of 261"},
        {"folder=" + over + "\r\npath=C:\\a.exe\r\n", false, "", "", "folder of 261"},
        // trailing blanks beyond the field are dropped, not counted
        {"arg=" + fits + "      \r\npath=C:\\a.exe\r\n", true, "a.exe", fits, "blanks after"},
    };
    for (const Case& c : cases) {
        RegAppState table = {};
        std::string text = Section(1, c.body) + Section(2, "path=C:\\ok.exe\r\n");
        ASSERT_EQ(ReadRegAppsText(text.c_str(), nullptr, nullptr, &table), 1) << c.why;
        const RegApp& e = table.RegApps[0];
        if (c.kept) {
            EXPECT_NE(e.path[0], '\0') << c.why;
            EXPECT_EQ(e.name, c.name) << c.why;
            EXPECT_EQ(e.arg, c.arg) << c.why;
        } else {
            EXPECT_TRUE(IsZero(e)) << c.why;
        }
        EXPECT_STREQ(table.RegApps[1].path, "C:\\ok.exe") << c.why;
        FreeRegApps(&table);
    }
}

TEST(RegAppsReader, KeepsTheSettingsReaderState) {
    RegAppState table = {};
    SettingsIncomplete = 1;
    ReadRegAppsText("[EXE1]\r\nname=a\r\npath=C:\\a.exe\r\narg=x\r\nfolder=y\r\ncmd=1000\r\n",
                    nullptr, nullptr, &table);
    EXPECT_EQ(SettingsIncomplete, 0);
    EXPECT_EQ(LastReadStatus, 0);
    ReadRegAppsText("[EXE1]\r\npath=C:\\a.exe\r\n", nullptr, nullptr, &table);
    EXPECT_EQ(SettingsIncomplete, 1);
    FreeRegApps(&table);
}

TEST(RegAppsWriter, Format) {
    RegApp e[2] = {Entry("Edit", "C:\\bin\\edit.exe", "-n", "D:\\w", 1000),
                   Entry("", "C:\\b.exe", "", "", -1)};
    char buf[512];
    long n = FormatRegApps(e, 2, buf, sizeof buf, nullptr);
    const char* want =
        "[EXE1]\r\nname=Edit\r\npath=C:\\bin\\edit.exe\r\narg=-n\r\nfolder=D:\\w\r\ncmd=1000\r\n"
        "[EXE2]\r\nname=\r\npath=C:\\b.exe\r\narg=\r\nfolder=\r\ncmd=-1\r\n";
    ASSERT_EQ(n, (long)strlen(want));
    EXPECT_STREQ(buf, want);
    EXPECT_EQ(FormatRegApps(e, 2, nullptr, 0, nullptr), n);
    EXPECT_EQ(FormatRegApps(e, 2, buf, (size_t)n, nullptr), REGAPP_WRITE_NO_ROOM);
    EXPECT_EQ(FormatRegApps(e, 0, buf, sizeof buf, nullptr), 0);
    EXPECT_STREQ(buf, "");
}

TEST(RegAppsWriter, RefusesWhatWouldNotReadBack) {
    struct Case {
        RegApp entry;
        int result;
        const char* why;
    } cases[] = {
        {Entry("a;b", "C:\\a.exe", "", "", 1000), REGAPP_WRITE_BAD_TEXT, "semicolon in name"},
        {Entry("a", "C:\\[x]\\a.exe", "", "", 1000), REGAPP_WRITE_BAD_TEXT, "bracket in path"},
        {Entry("a", "C:\\a.exe", "-n\r\ncmd=5", "", 1000), REGAPP_WRITE_BAD_TEXT, "CR LF in arg"},
        {Entry("a", "C:\\a.exe", "", "D:\\w\n", 1000), REGAPP_WRITE_BAD_TEXT, "LF in folder"},
        {Entry(" a", "C:\\a.exe", "", "", 1000), REGAPP_WRITE_BAD_TEXT, "leading blank"},
        {Entry("a", "C:\\a.exe", "-n ", "", 1000), REGAPP_WRITE_BAD_TEXT, "trailing blank"},
        {Entry("a", "C:\\a.exe", "", "D:\\w\t", 1000), REGAPP_WRITE_BAD_TEXT, "trailing tab"},
        {Entry("a", "C:\\a.exe", "\t-n", "", 1000), 0, "leading tab is kept"},
        {Entry("a", "C:\\a.exe", "", "", 999), REGAPP_WRITE_BAD_ID, "id below 1000"},
        {Entry("a", "C:\\a.exe", "", "", 1000000000), REGAPP_WRITE_BAD_ID, "id of 10 digits"},
        {Entry("", "", "", "", 0), 0, "hidden entry"},
        // trail bytes "[" and "\" are part of their characters
        {Entry("\x83\x5B", "C:\\\x95\x5C.exe", "", "", 1000), 0, "double-byte text"},
    };
    for (const Case& c : cases) {
        RegApp e[2] = {Entry("ok", "C:\\ok.exe", "", "", 1001), c.entry};
        int32_t bad = 7;
        char buf[2048];
        long n = FormatRegApps(e, 2, buf, sizeof buf, &bad);
        if (c.result) {
            EXPECT_EQ(n, c.result) << c.why;
            EXPECT_EQ(bad, 1) << c.why;
        } else {
            EXPECT_GT(n, 0) << c.why;
            EXPECT_EQ(bad, -1) << c.why;
        }
    }
    // A field without its NUL is too long.
    RegApp e = Entry("a", "C:\\a.exe", "", "", 1000);
    memset(e.arg, 'x', sizeof e.arg);
    int32_t bad = 7;
    EXPECT_EQ(FormatRegApps(&e, 1, nullptr, 0, &bad), REGAPP_WRITE_TOO_LONG);
    EXPECT_EQ(bad, 0);
}

TEST(RegAppsWriter, RoundTrip) {
    std::string longest = "C:\\" + std::string(257, 'z');
    std::vector<RegApp> in = {
        Entry("Edit", "C:\\bin\\edit.exe", "-n", "D:\\work", 1000),
        Entry("\x8C\x9F\x8D\xF5", "C:\\\x95\x5C\\view.exe", "/a \"x y\"", "", 1002),
        Entry("Long", longest.c_str(), std::string(260, 'a').c_str(), "", 1001),
        Entry("New", "C:\\n.exe", "", "", -1),
        Entry("", "", "", "", 0),  // hidden: keeps its place
    };
    char buf[4096];
    long n = FormatRegApps(in.data(), (int32_t)in.size(), buf, sizeof buf, nullptr);
    ASSERT_GT(n, 0);
    RegAppState table = {};
    ASSERT_EQ(ReadRegAppsText(buf, nullptr, nullptr, &table), 1);
    ASSERT_EQ(table.RegAppCount, (int32_t)in.size());
    in[3].cmd = 1003;  // assigned on reading: the smallest free id
    for (size_t i = 0; i < in.size(); i++)
        EXPECT_EQ(memcmp(&table.RegApps[i], &in[i], sizeof(RegApp)), 0) << i;
    // Written again, the table gives the text of the entries with their ids.
    char again[4096];
    char expected[4096];
    long m = FormatRegApps(in.data(), (int32_t)in.size(), expected, sizeof expected, nullptr);
    ASSERT_EQ(FormatRegApps(table.RegApps, table.RegAppCount, again, sizeof again, nullptr), m);
    EXPECT_STREQ(again, expected);
    FreeRegApps(&table);
}

}  // namespace
