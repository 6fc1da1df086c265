// Tests of the shell integration's text rules: file lists, the CF_HDROP
// block, rooted paths, shortcut names, the parameter string of a program
// opened on files and the parent and name of a shell menu item.
#include <gtest/gtest.h>

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/fileio.h"
#include "launcher/shell/appstate.h"
#include "launcher/shellext/shellrules.h"

namespace {

// A file list from its paths.
std::string List(std::vector<std::string> paths) {
    std::string s;
    for (const std::string& p : paths) s += p + '\0';
    return s + '\0';
}

std::string Params(const std::string& list) {
    char* p = BuildParameterString(list.c_str());
    if (!p) return "<null>";
    std::string s = p;
    MemFree(p);
    return s;
}

// The start folder for one test.
struct StartDir {
    explicit StartDir(const char* dir) { SetAppString(&App.startDir, dir); }
    ~StartDir() { SetAppString(&App.startDir, nullptr); }
};

std::string Rooted(const char* text, size_t size = SHELL_PATH_SIZE) {
    char buf[SHELL_PATH_SIZE * 2];
    if (!RootedPath(text, buf, size)) {
        EXPECT_STREQ(buf, "");
        return "<none>";
    }
    return buf;
}

struct ParentName {
    std::string parent, name;
    bool ok;
};
ParentName Split(const char* parent, const char* item) {
    char p[SHELL_PATH_SIZE], n[SHELL_PATH_SIZE];
    bool ok = ShellParentAndName(parent, item, p, sizeof p, n, sizeof n);
    return {p, n, ok};
}

}  // namespace

TEST(ShellFileList, CountsBytesAndAppendsWithinItsRoom) {
    std::string two = List({"C:\\a\\x.txt", "C:\\a\\y"});
    EXPECT_EQ(FileListCount(two.c_str()), 2);
    EXPECT_EQ(FileListBytes(two.c_str()), two.size());
    EXPECT_EQ(FileListCount("\0"), 0);
    EXPECT_EQ(FileListBytes("\0"), 1u);

    char block[12] = {};
    size_t used = 0;
    EXPECT_TRUE(FileListAppend(block, sizeof block, &used, "C:\\a"));
    EXPECT_TRUE(FileListAppend(block, sizeof block, &used, "b"));
    EXPECT_EQ(std::string(block, FileListBytes(block)), List({"C:\\a", "b"}));
    // "C:\x" needs 4 + NUL + the closing NUL: 6 bytes, 5 are left.
    EXPECT_FALSE(FileListAppend(block, sizeof block, &used, "C:\\x"));
    EXPECT_EQ(used, 7u);
    EXPECT_FALSE(FileListAppend(block, sizeof block, &used, ""));
}

TEST(ShellDropBlock, HeaderOfTwentyBytesThenTheAnsiList) {
    std::string list = List({"C:\\a\\x.txt", "C:\\a\\y"});
    EXPECT_EQ(DropBlockSizeFor(2), 20u + 2 * 522);
    std::vector<unsigned char> block(DropBlockSizeFor(2), 0xEE);
    ASSERT_TRUE(WriteDropBlock(block.data(), block.size(), list.c_str()));
    const unsigned char header[20] = {20, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(0, memcmp(block.data(), header, 20));
    EXPECT_EQ(std::string((const char*)block.data() + 20, list.size()), list);
    // Too small a block is left as it was.
    std::vector<unsigned char> small(20 + 5, 0xEE);
    EXPECT_FALSE(WriteDropBlock(small.data(), small.size(), list.c_str()));
    EXPECT_EQ(small[0], 0xEE);
    EXPECT_EQ(DROP_EDIT_BLOCK_SIZE, 281);
}

TEST(ShellDropBlock, EffectIsTwoAfterACutAndOneAfterACopy) {
    EXPECT_EQ(EffectForMode(CLIP_CUT), 2u);
    EXPECT_EQ(EffectForMode(CLIP_COPY), 1u);
    const struct {
        unsigned char bytes[4];
        size_t size;
        int effect;
    } cases[] = {
        {{2, 0, 0, 0}, 4, EFFECT_MOVE},  {{1, 0, 0, 0}, 4, EFFECT_COPY},
        {{5, 0, 0, 0}, 4, EFFECT_COPY},  {{0, 0, 0, 0}, 4, 0},
        {{2, 0, 0, 0}, 3, 0},            {{0, 0, 0, 0x80}, 4, EFFECT_COPY},
    };
    for (const auto& c : cases) EXPECT_EQ(EffectOfBlock(c.bytes, c.size), c.effect);
}

TEST(ShellDropBlock, ABlockFromOutsideIsReadOnlyWhenItsListEndsInside) {
    auto block = [](uint32_t offset, bool wide, const std::string& list) {
        std::string b(20, '\0');
        b[0] = (char)offset;
        b[16] = wide ? 1 : 0;
        return b + list;
    };
    const struct {
        std::string bytes;
        bool sound;
    } cases[] = {
        {block(20, false, List({"C:\\a"})), true},
        {block(20, false, std::string("C:\\a\0", 5)), false},  // no closing NUL
        {block(20, false, "C:\\a"), false},                      // no NUL at all
        {block(40, false, List({"C:\\a"})), false},              // offset past the end
        {block(4, false, List({"C:\\a"})), false},               // offset inside the header
        {block(20, true, std::string("C\0:\0\0\0\0\0", 8)), true},
        {block(20, true, std::string("C\0:\0\0\0", 6)), false},  // one wide NUL only
        {std::string(10, '\0'), false},                          // shorter than a header
    };
    for (const auto& c : cases)
        EXPECT_EQ(DropBlockIsSound((const unsigned char*)c.bytes.data(), c.bytes.size()), c.sound)
            << c.bytes.size();
}

TEST(ShellPaths, OneLeadingSeparatorIsRootedAndNothingIsCut) {
    StartDir start("D:");
    EXPECT_EQ(Rooted("\\tmp"), "D:\\tmp");
    EXPECT_EQ(Rooted("C:\\a"), "C:\\a");
    EXPECT_EQ(Rooted("\\\\server\\share"), "\\\\server\\share");
    EXPECT_EQ(Rooted(""), "<none>");
    // 258 bytes and the start folder's 2 make 260: fits; one more does not.
    std::string longest = "\\" + std::string(257, 'a');
    EXPECT_EQ(Rooted(longest.c_str()), "D:" + longest);
    EXPECT_EQ(Rooted((longest + "b").c_str()), "<none>");
    EXPECT_EQ(Rooted("\\tmp", 6), "<none>");
    EXPECT_EQ(Rooted("\\tmp", 7), "D:\\tmp");
}

TEST(ShellPaths, TheEditPathLosesOneTrailingSeparatorButADriveRootKeepsIt) {
    StartDir start("D:");
    const struct {
        const char* text;
        const char* path;
    } cases[] = {
        {"C:\\a\\b\\", "C:\\a\\b"}, {"\\tmp\\", "D:\\tmp"}, {"C:\\", "C:\\"},
        {"C:\\a", "C:\\a"},         {"C:\\\x95\x5C", "C:\\\x95\x5C"},  // 0x5C as a trail byte
    };
    for (const auto& c : cases) {
        char buf[SHELL_PATH_SIZE];
        ASSERT_TRUE(EditItemPath(c.text, buf, sizeof buf)) << c.text;
        EXPECT_STREQ(buf, c.path);
    }
}

TEST(ShellLinkNames, CandidatesHaveNoBlankBeforeTheNumber) {
    const struct {
        unsigned n;
        const char* name;
    } cases[] = {{0, "C:\\a\\x.txt.lnk"}, {1, "C:\\a\\x.txt(1).lnk"}, {12, "C:\\a\\x.txt(12).lnk"}};
    for (const auto& c : cases) {
        char buf[SHELL_PATH_SIZE];
        ASSERT_TRUE(LinkNameCandidate("C:\\a\\x.txt", c.n, buf, sizeof buf));
        EXPECT_STREQ(buf, c.name);
    }
    char tiny[14];
    EXPECT_FALSE(LinkNameCandidate("C:\\a\\x.txt", 0, tiny, sizeof tiny));
    EXPECT_STREQ(tiny, "");
    char made[SHELL_PATH_SIZE];
    EXPECT_TRUE(LinkBaseInFolder("D:\\t", "C:\\a\\b.txt", made, sizeof made));
    EXPECT_STREQ(made, "D:\\t\\b.txt");
}

class ShellLinkFolder : public ::testing::Test {
   protected:
    void SetUp() override {
        strcpy(dir, "/tmp/vorn_links_XXXXXX");
        ASSERT_NE(mkdtemp(dir), nullptr);
    }
    void TearDown() override {
        std::string cmd = std::string("rm -rf ") + dir;
        ASSERT_EQ(system(cmd.c_str()), 0);
    }
    void Touch(const std::string& name) {
        FILE* f = fopen((std::string(dir) + "/" + name).c_str(), "wb");
        ASSERT_NE(f, nullptr);
        fclose(f);
    }
    char dir[64];
};

TEST_F(ShellLinkFolder, TheFirstFreeNumberIsTakenAndNothingIsOverwritten) {
    std::string base = std::string(dir) + "/x.txt";
    char buf[SHELL_PATH_SIZE];
    snprintf(buf, sizeof buf, "%s", base.c_str());
    ASSERT_TRUE(UniqueLinkName(buf, sizeof buf));
    EXPECT_EQ(std::string(buf), base + ".lnk");

    Touch("x.txt.lnk");
    Touch("x.txt(1).lnk");
    snprintf(buf, sizeof buf, "%s", base.c_str());
    ASSERT_TRUE(UniqueLinkName(buf, sizeof buf));
    EXPECT_EQ(std::string(buf), base + "(2).lnk");
    // A folder of that name is taken as well.
    ASSERT_EQ(mkdir((base + "(2).lnk").c_str(), 0777), 0);
    snprintf(buf, sizeof buf, "%s", base.c_str());
    ASSERT_TRUE(UniqueLinkName(buf, sizeof buf));
    EXPECT_EQ(std::string(buf), base + "(3).lnk");
}

TEST_F(ShellLinkFolder, ANameThatWouldNotFitLeavesTheBufferAlone) {
    Touch("x.txt.lnk");
    std::string base = std::string(dir) + "/x.txt";
    // Room for "x.txt.lnk" but not for "x.txt(1).lnk".
    size_t size = base.size() + 4 + 1 + 2;
    char buf[SHELL_PATH_SIZE];
    snprintf(buf, sizeof buf, "%s", base.c_str());
    EXPECT_FALSE(UniqueLinkName(buf, size));
    EXPECT_EQ(std::string(buf), base);
}

TEST(ShellProgramParameters, EachPathThenABlankQuotedWhenItHasBlanks) {
    const struct {
        std::vector<std::string> files;
        const char* params;
    } cases[] = {
        {{"C:\\a.txt"}, "C:\\a.txt "},
        {{"C:\\a b.txt", "C:\\c.txt"}, "\"C:\\a b.txt\" C:\\c.txt "},
        {{"C:\\\x95\x5C.txt"}, "C:\\\x95\x5C.txt "},
    };
    for (const auto& c : cases) EXPECT_EQ(Params(List(c.files)), c.params);
    EXPECT_EQ(Params(List({})), "<null>");
}

TEST(ShellProgramParameters, EveryPathQuotedStillLeavesRoomForTheTerminator) {
    // Three bytes per path for two quotes and a blank, and one for the NUL:
    // with every path quoted the string takes all but that last byte.
    std::string list = List({"C:\\a b", "C:\\c d"});
    EXPECT_EQ(ParameterStringSize(list.c_str()), (6 + 3) * 2 + 1u);
    std::string params = Params(list);
    EXPECT_EQ(params, "\"C:\\a b\" \"C:\\c d\" ");
    EXPECT_EQ(params.size() + 1, ParameterStringSize(list.c_str()));
}

TEST(ShellProgramParameters, AProgramTargetEndsInExeInAnyCase) {
    EXPECT_TRUE(IsProgramTarget("C:\\bin\\Tool.EXE"));
    EXPECT_TRUE(IsProgramTarget("C:\\bin\\tool.exe"));
    EXPECT_FALSE(IsProgramTarget("C:\\bin\\tool.exe\\"));
    EXPECT_FALSE(IsProgramTarget("exe"));
    EXPECT_FALSE(IsProgramTarget("C:\\bin"));
}

TEST(ShellMenuItems, ParentAndNameOfEachKindOfItem) {
    const struct {
        const char* parent;
        const char* item;
        const char* bind;
        const char* name;
    } cases[] = {
        {"C:\\work", "C:\\work\\re.txt", "C:\\work", "re.txt"},
        {"C:\\work\\", "C:\\work\\re", "C:\\work", "re"},
        // Items of a drive root: its root is bound, never "X:" alone.
        {"C:", "C:\\x.txt", "C:\\", "x.txt"},
        {"C:\\", "C:\\x.txt", "C:\\", "x.txt"},
        // Drives (the drive list, or a box holding a root): the desktop
        // parses their root.
        {"", "C:\\", "", "C:\\"},
        {"", "D:", "", "D:\\"},
        {"C:\\", "C:\\", "", "C:\\"},
        // A double-byte name whose trail byte is 0x5C stays whole.
        {"C:\\\x95\x5C", "C:\\\x95\x5C\\\x83\x5C.txt", "C:\\\x95\x5C", "\x83\x5C.txt"},
        // No folder at all: the desktop parses the whole path.
        {"", "name", "", "name"},
    };
    for (const auto& c : cases) {
        ParentName r = Split(c.parent, c.item);
        EXPECT_TRUE(r.ok) << c.item;
        EXPECT_EQ(r.parent, c.bind) << c.item;
        EXPECT_EQ(r.name, c.name) << c.item;
    }
    EXPECT_FALSE(Split("C:\\a", "").ok);
}

TEST(ShellMenuItems, TheParentOfASingleItemIsCutAfterItsLastSeparator) {
    const struct {
        const char* item;
        const char* parent;
    } cases[] = {{"C:\\a\\b.txt", "C:\\a\\"}, {"C:\\b", "C:\\"}, {"C:", ""}, {"name", ""}};
    for (const auto& c : cases) {
        char buf[SHELL_PATH_SIZE];
        ParentOfItem(c.item, buf, sizeof buf);
        EXPECT_STREQ(buf, c.parent) << c.item;
    }
}

TEST(ShellTransferLists, EachFileGetsItsOwnTargetInTheFolder) {
    std::string list = List({"C:\\a\\x.txt", "C:\\b\\\x95\x5C", "C:\\c\\" + std::string(256, 'q')});
    char* from = nullptr;
    char* to = nullptr;
    ASSERT_TRUE(BuildTransferLists(list.c_str(), "D:\\t", true, &from, &to));
    // The third would be D:\t\ and 250 more bytes: over a path buffer, so it
    // is left out of both lists.
    EXPECT_EQ(std::string(from, FileListBytes(from)), List({"C:\\a\\x.txt", "C:\\b\\\x95\x5C"}));
    EXPECT_EQ(std::string(to, FileListBytes(to)), List({"D:\\t\\x.txt", "D:\\t\\\x95\x5C"}));
    MemFree(from);
    MemFree(to);
    // A folder with its separator gets no second one.
    ASSERT_TRUE(BuildTransferLists(List({"C:\\a\\x.txt"}).c_str(), "D:\\", false, &from, &to));
    EXPECT_EQ(std::string(to, FileListBytes(to)), List({"D:\\x.txt"}));
    MemFree(from);
    MemFree(to);
    EXPECT_FALSE(BuildTransferLists(List({}).c_str(), "D:\\t", true, &from, &to));
    EXPECT_EQ(from, nullptr);
    EXPECT_EQ(to, nullptr);
}

TEST(ShellCopyNames, TheStemTakesCopyAndThenANumberBeforeTheExtension) {
    const struct {
        const char* path;
        bool folder;
        unsigned n;
        const char* name;
    } cases[] = {
        {"C:\\a\\x.txt", false, 1, "C:\\a\\x - コピー.txt"},
        {"C:\\a\\x.tar.gz", false, 3, "C:\\a\\x.tar - コピー (3).gz"},
        {"C:\\a\\my.dir", true, 2, "C:\\a\\my.dir - コピー (2)"},
        {"C:\\a\\.profile", false, 1, "C:\\a\\.profile - コピー"},
        {"C:\\a.b\\v1.0 final", false, 1, "C:\\a.b\\v1.0 final - コピー"},
        {"C:\\\x95\x5C.txt", false, 1, "C:\\\x95\x5C - コピー.txt"},
    };
    for (const auto& c : cases) {
        char buf[SHELL_PATH_SIZE];
        ASSERT_TRUE(CopyNameCandidate(c.path, c.folder, c.n, buf, sizeof buf)) << c.path;
        EXPECT_STREQ(buf, c.name) << c.path << " " << c.n;
    }
    char small[16];
    EXPECT_FALSE(CopyNameCandidate("C:\\a\\x.txt", false, 1, small, sizeof small));
}

TEST_F(ShellLinkFolder, ACopyIntoItsOwnFolderTakesTheFirstFreeNameAMoveNothing) {
    std::string in = dir;
    Touch("x.txt");
    Touch("x - コピー.txt");
    ASSERT_EQ(mkdir((in + "/x - コピー (2).txt").c_str(), 0777), 0);
    std::string list = List({in + "/x.txt", "/elsewhere/y.txt"});
    char *from = nullptr, *to = nullptr;
    ASSERT_TRUE(BuildTransferLists(list.c_str(), in.c_str(), true, &from, &to));
    EXPECT_EQ(std::string(to, FileListBytes(to)), List({in + "/x - コピー (3).txt", in + "\\y.txt"}));
    MemFree(from);
    MemFree(to);
    ASSERT_TRUE(BuildTransferLists(list.c_str(), (in + "/").c_str(), false, &from, &to));
    EXPECT_EQ(std::string(from, FileListBytes(from)), List({"/elsewhere/y.txt"}));
    MemFree(from);
    MemFree(to);
}
