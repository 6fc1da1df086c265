// Tests of the list-file grammar (Default list and Favorites): the parser, the
// launcher's reader with its folder expansion over a fake file system, and the
// writer.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <map>
#include <string>
#include <vector>

#include "common/fileio.h"
#include "common/listfile.h"
#include "common/settings.h"
#include "common/itemarray.h"

namespace {

// Windows-like wildcard match ('*', '?', ASCII case ignored).
bool Match(const char* pat, const char* name) {
    if (*pat == '\0') return *name == '\0';
    if (*pat == '*') {
        for (const char* n = name;; n++) {
            if (Match(pat + 1, n)) return true;
            if (!*n) return false;
        }
    }
    if (!*name) return false;
    if (*pat != '?' && tolower((unsigned char)*pat) != tolower((unsigned char)*name)) return false;
    return Match(pat + 1, name + 1);
}

struct Entry {
    std::string name;
    bool folder;
};

// A file system of folders holding entries in a fixed enumeration order; every
// enumeration is logged as "folder|pattern".
struct FakeFs {
    std::map<std::string, std::vector<Entry>> folders;
    std::vector<std::string> folderOnly;  // paths that are folders with no listing
    std::vector<std::string> calls;
    ListFileSystem fs;
    FakeFs() { fs = {IsFolder, Enumerate, this}; }

    static bool IsFolder(void* ctx, const char* path) {
        FakeFs* f = (FakeFs*)ctx;
        if (f->folders.count(path)) return true;
        for (const std::string& s : f->folderOnly)
            if (s == path) return true;
        return false;
    }
    static int Enumerate(void* ctx, const char* folder, const char* pattern, ListEntryReport report,
                         void* sink) {
        FakeFs* f = (FakeFs*)ctx;
        f->calls.push_back(std::string(folder) + "|" + pattern);
        auto it = f->folders.find(folder);
        if (it == f->folders.end()) return 0;
        report(sink, ".", 1);
        report(sink, "..", 1);
        for (const Entry& e : it->second)
            if (Match(pattern, e.name.c_str())) report(sink, e.name.c_str(), e.folder ? 1 : 0);
        return 1;
    }
};

struct Read {
    ItemArray items = {};
    int32_t result = 0;
    Read(const std::string& text, int mode, FakeFs* fake, uint32_t fldclass = 0) {
        std::vector<char> buf(text.begin(), text.end());
        buf.push_back('\0');
        result = ReadListFile(buf.data(), mode, fldclass, fake ? &fake->fs : nullptr, &items);
    }
    ~Read() { FreeItems(&items); }
    std::vector<std::string> Texts() const {
        std::vector<std::string> out;
        for (int i = 0; i < items.count; i++) out.push_back(items.items[i].path);
        return out;
    }
};

typedef std::vector<std::string> Strings;

struct Parsed {
    std::vector<char> buf;
    ListFile file = {nullptr, 0, 0, 0, nullptr};
    int ok = 0;
    Parsed(const std::string& text, int mode, int stop) : buf(text.begin(), text.end()) {
        buf.push_back('\0');
        ok = ParseListText(buf.data(), mode, stop, &file);
    }
    ~Parsed() { FreeListFile(&file); }
    std::string Describe() const {
        std::string s;
        for (int i = 0; i < file.count; i++) {
            const ListLine& l = file.lines[i];
            s += std::to_string(l.kind) + ":" + l.path;
            if (l.patterns) s += std::string("[") + l.patterns + "]";
            s += "\n";
        }
        return s;
    }
};

class ListFileTest : public ::testing::Test {
   protected:
    void SetUp() override {
        // The reader takes its flag from the caller: the settings record must
        // not change what it does.
        Settings.def.fldclass = 1;
        Settings.fav.fldclass = 1;
    }
};

TEST_F(ListFileTest, LineKindsAndLineEnds) {
    // CR LF, lone CR, lone LF, and no final line end.
    Parsed p("C:\\a\r\n\r\n-C:\\b\rplain x\n-\"*.txt\"C:\\c\r\nlast", LF_DEFAULT, 0);
    ASSERT_EQ(1, p.ok);
    EXPECT_EQ("2:C:\\a\n0:\n3:C:\\b\n2:plain x\n3:\"*.txt\"C:\\c\n2:last\n", p.Describe());
    EXPECT_EQ(0, p.file.stoppedAtBreak);

    // The same text as Favorites recognises the pattern part.
    Parsed f("-\"*.txt;*.doc\" \t C:\\c\r\n-  C:\\d\r\n-\"\"C:\\e\r\n-\"open C:\\f\r\n",
             LF_FAVORITES, 0);
    EXPECT_EQ("3:C:\\c[*.txt;*.doc]\n3:C:\\d\n3:C:\\e[]\n4:-\"open C:\\f\n", f.Describe());

    // In the Default list blanks after "-" belong to the folder.
    Parsed d("- C:\\d\r\n", LF_DEFAULT, 0);
    EXPECT_EQ("3: C:\\d\n", d.Describe());

    // Empty text: no lines.
    Parsed e("", LF_DEFAULT, 0);
    EXPECT_EQ(0, e.file.count);
}

TEST_F(ListFileTest, StopsAtTheFirstLineHoldingBreak) {
    Parsed p("a\r\nb\r\nx>y\r\nc\r\n>\r\nd", LF_FAVORITES, 1);
    EXPECT_EQ("2:a\n2:b\n", p.Describe());
    EXPECT_EQ(1, p.file.stoppedAtBreak);
    ASSERT_NE(nullptr, p.file.next);
    EXPECT_EQ(0, strncmp(p.file.next, "c\r\n>", 4));

    // Without stopping, break lines are recorded whole.
    Parsed all("a\r\n>\r\n\r\nx>y\nd", LF_FAVORITES, 0);
    EXPECT_EQ("2:a\n1:>\n0:\n1:x>y\n2:d\n", all.Describe());
}

TEST_F(ListFileTest, DoubleByteCharactersAreWholeCharacters) {
    // 表 is 95 5C, ソ 83 5C: their trail byte is never a separator.
    Parsed p("C:\\\x95\x5C\r\n-\"\x83\x5C*;*.txt\"D:\\\x83\x5C\r\n", LF_FAVORITES, 0);
    EXPECT_EQ("2:C:\\\x95\x5C\n3:D:\\\x83\x5C[\x83\x5C*;*.txt]\n", p.Describe());

    // A lead byte without a trail byte does not swallow the line end or the ">".
    Parsed broken("a\x81\r\nb\x81>\r\nc", LF_DEFAULT, 1);
    EXPECT_EQ("2:a\x81\n", broken.Describe());
    EXPECT_EQ(1, broken.file.stoppedAtBreak);
    EXPECT_STREQ("c", broken.file.next);

    // A lead byte at the very end of the text.
    Parsed last("x\x81", LF_DEFAULT, 0);
    EXPECT_EQ("2:x\x81\n", last.Describe());
}

TEST_F(ListFileTest, PatternPieces) {
    const char* cursor = "*.txt;;\x83\x5C*;";
    char out[16];
    EXPECT_EQ(1, NextPattern(&cursor, out, sizeof out));
    EXPECT_STREQ("*.txt", out);
    EXPECT_EQ(1, NextPattern(&cursor, out, sizeof out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(1, NextPattern(&cursor, out, sizeof out));
    EXPECT_STREQ("\x83\x5C*", out);
    EXPECT_EQ(0, NextPattern(&cursor, out, sizeof out));

    const char* longOne = "abcdefghij;k";
    char small[5];
    EXPECT_EQ(-1, NextPattern(&longOne, small, sizeof small));
    EXPECT_STREQ("", small);
    EXPECT_EQ(1, NextPattern(&longOne, small, sizeof small));
    EXPECT_STREQ("k", small);
}

TEST_F(ListFileTest, DefaultListPlainLinesAndExpansion) {
    FakeFs fake;
    fake.folders["C:\\Projects"] = {
        {"b.txt", false}, {"alpha", true}, {"a.md", false}, {"beta", true}};
    Read r("C:\\one\r\n\r\n-C:\\Projects\r\n-C:\\Missing\r\nC:\\two\r\n>\r\nC:\\after\r\n",
           LF_DEFAULT, &fake);
    ASSERT_EQ(6, r.result);
    EXPECT_EQ((Strings{"C:\\one", "C:\\Projects\\alpha", "C:\\Projects\\beta",
                       "C:\\Projects\\b.txt", "C:\\Projects\\a.md", "C:\\two"}),
              r.Texts());
    for (int i = 0; i < r.items.count; i++) {
        EXPECT_EQ(i, r.items.items[i].viewIndex);
        EXPECT_EQ(-1, r.items.items[i].image);
    }
    // Plain lines carry no type with fldclass 0; expansions always do.
    EXPECT_EQ(0u, r.items.items[0].flags);
    EXPECT_EQ((uint32_t)ItemFolder, r.items.items[1].flags);
    EXPECT_EQ((uint32_t)ItemFile, r.items.items[3].flags);
    // Pattern "*" for the Default list; a missing folder is never enumerated.
    EXPECT_EQ((Strings{"C:\\Projects|*", "C:\\Projects|*"}), fake.calls);
}

TEST_F(ListFileTest, DefaultListIgnoresPatternPart) {
    FakeFs fake;
    fake.folders["C:\\x"] = {{"a.txt", false}};
    Read r("-\"*.txt\"C:\\x\r\n", LF_DEFAULT, &fake);
    EXPECT_EQ(0, r.result);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(ListFileTest, ExpansionsDoNotRepeatItems) {
    FakeFs fake;
    fake.folders["C:\\P"] = {{"x", true}, {"y.txt", false}};
    // The earlier plain line and the second expansion of the same folder are not
    // repeated; plain lines themselves are not checked against each other.
    Read r("C:\\P\\y.txt\r\n-C:\\P\r\n-C:\\P\r\nC:\\P\\x\r\nC:\\P\\x\r\n", LF_DEFAULT, &fake);
    EXPECT_EQ((Strings{"C:\\P\\y.txt", "C:\\P\\x", "C:\\P\\x", "C:\\P\\x"}), r.Texts());

    // The comparison is byte-exact: another letter case is another item.
    Read c("c:\\p\\X\r\n-C:\\P\r\n", LF_DEFAULT, &fake);
    EXPECT_EQ((Strings{"c:\\p\\X", "C:\\P\\x", "C:\\P\\y.txt"}), c.Texts());
}

TEST_F(ListFileTest, FavoritesPatterns) {
    FakeFs fake;
    fake.folders["D:\\docs"] = {{"n.md", false}, {"a.txt", false}, {"old.txt", true},
                                {"r.md", true},  {"z.doc", false}, {"b.TXT", false}};
    // Pattern by pattern, folders before files; a file matching two patterns once.
    Read r("-\"*.txt;*.md;*.t*\"\tD:\\docs\r\n", LF_FAVORITES, &fake);
    EXPECT_EQ((Strings{"D:\\docs\\old.txt", "D:\\docs\\a.txt", "D:\\docs\\b.TXT", "D:\\docs\\r.md",
                       "D:\\docs\\n.md"}),
              r.Texts());
    EXPECT_EQ((Strings{"D:\\docs|*.txt", "D:\\docs|*.txt", "D:\\docs|*.md", "D:\\docs|*.md",
                       "D:\\docs|*.t*", "D:\\docs|*.t*"}),
              fake.calls);

    // Two quotes mean "*"; no pattern part means "*"; blanks before the folder skipped.
    fake.calls.clear();
    Read all("-\"\"D:\\docs\r\n- D:\\docs\r\n", LF_FAVORITES, &fake);
    EXPECT_EQ(6, all.result);
    EXPECT_EQ((Strings{"D:\\docs|*", "D:\\docs|*", "D:\\docs|*", "D:\\docs|*"}), fake.calls);

    // An unclosed quote gives nothing, and the lines around it still count.
    fake.calls.clear();
    Read bad("C:\\a\r\n-\"*.txt D:\\docs\r\nC:\\b", LF_FAVORITES, &fake);
    EXPECT_EQ((Strings{"C:\\a", "C:\\b"}), bad.Texts());
    EXPECT_TRUE(fake.calls.empty());

    // Empty pieces match nothing.
    fake.calls.clear();
    Read empty("-\";*.md;\"D:\\docs\r\n", LF_FAVORITES, &fake);
    EXPECT_EQ((Strings{"D:\\docs\\r.md", "D:\\docs\\n.md"}), empty.Texts());
    EXPECT_EQ((Strings{"D:\\docs|*.md", "D:\\docs|*.md"}), fake.calls);
}

TEST_F(ListFileTest, TypeLookupFollowsTheFlagPassedIn) {
    FakeFs fake;
    fake.folderOnly = {"C:\\dir"};
    const char* text = "C:\\dir\r\nC:\\file.txt\r\nC:\\\x95\x5C\r\n";
    struct Case {
        int mode;
        uint32_t fldclass;
        uint32_t flags[3];
    } cases[] = {
        {LF_DEFAULT, 1, {ItemFolder, ItemFile, ItemFile | ItemWide}},
        {LF_FAVORITES, 1, {ItemFolder, ItemFile, ItemFile | ItemWide}},
        {LF_DEFAULT, 0, {0, 0, ItemWide}},
        {LF_FAVORITES, 0, {0, 0, ItemWide}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.mode) + "/" + std::to_string(c.fldclass));
        Read r(text, c.mode, &fake, c.fldclass);
        ASSERT_EQ(3, r.result);
        for (int i = 0; i < 3; i++) EXPECT_EQ(c.flags[i], r.items.items[i].flags) << i;
    }
}

TEST_F(ListFileTest, SeparatorsAndLongTexts) {
    FakeFs fake;
    // A folder ending in a separator is not given a second one; a folder ending
    // in 表 (trail byte 5C) gets one.
    fake.folders["C:\\"] = {{"Windows", true}};
    fake.folders["C:\\\x95\x5C"] = {{"f", false}};
    Read r("-C:\\\r\n-C:\\\x95\x5C\r\n", LF_DEFAULT, &fake);
    EXPECT_EQ((Strings{"C:\\Windows", "C:\\\x95\x5C\\f"}), r.Texts());
    EXPECT_EQ((uint32_t)(ItemFile | ItemWide), r.items.items[1].flags);

    // Texts longer than an item holds are left out, not cut.
    std::string longFolder = "C:\\" + std::string(250, 'd');
    fake.folders[longFolder] = {{"short", false}, {std::string(20, 'n'), false}};
    std::string line263(263, 'p'), line264(264, 'q');
    Read l(line263 + "\r\n" + line264 + "\r\n-" + longFolder + "\r\n", LF_DEFAULT, &fake);
    EXPECT_EQ((Strings{line263, longFolder + "\\short"}), l.Texts());
}

TEST_F(ListFileTest, LargeExpansionStaysUnique) {
    FakeFs fake;
    std::vector<Entry>& big = fake.folders["E:\\big"];
    for (int i = 0; i < 6000; i++) big.push_back({"f" + std::to_string(i), i % 7 == 0});
    Read r("-E:\\big\r\n-E:\\big\r\nE:\\big\\f1\r\n", LF_DEFAULT, &fake);
    ASSERT_EQ(6001, r.result);
    EXPECT_STREQ("E:\\big\\f0", r.items.items[0].path);    // folders first
    EXPECT_STREQ("E:\\big\\f1", r.items.items[858].path);  // 858 folders, then files
    EXPECT_STREQ("E:\\big\\f1", r.items.items[6000].path);
}

TEST_F(ListFileTest, NoFileSystemMeansNoExpansion) {
    Read r("-C:\\x\r\nC:\\y", LF_DEFAULT, nullptr);
    EXPECT_EQ((Strings{"C:\\y"}), r.Texts());
}

std::string Format(const std::vector<ListLine>& lines, int mode = LF_FAVORITES) {
    int32_t n = (int32_t)lines.size();
    long need = FormatListFile(lines.data(), n, mode, nullptr, 0);
    EXPECT_GE(need, 0);
    std::vector<char> buf((size_t)need + 1);
    long len = FormatListFile(lines.data(), n, mode, buf.data(), buf.size());
    EXPECT_EQ(need, len);
    EXPECT_EQ(-1, FormatListFile(lines.data(), n, mode, buf.data(), buf.size() - 1));
    return std::string(buf.data(), (size_t)len);
}

TEST_F(ListFileTest, WriterTextForm) {
    std::vector<ListLine> rows = {
        {LL_PLAIN, "C:\\a", nullptr},
        {LL_BLANK, "", nullptr},
        {LL_BREAK, ">", nullptr},
        {LL_EXPAND, "C:\\b", nullptr},
        {LL_EXPAND, "C:\\c", "*.txt;*.doc"},
        {LL_UNCLOSED, "-\"x", nullptr},
        {LL_EXPAND, "C:\\d", ""},
    };
    EXPECT_EQ("C:\\a\r\n\r\n>\r\n-C:\\b\r\n-\"*.txt;*.doc\"C:\\c\r\n-\"\"C:\\d\r\n", Format(rows));
    // The Default list has no pattern parts.
    EXPECT_EQ("C:\\a\r\n\r\n>\r\n-C:\\b\r\n-C:\\c\r\n-C:\\d\r\n", Format(rows, LF_DEFAULT));

    // A Favorites folder beginning with a quote is kept apart from a pattern part.
    std::vector<ListLine> quoted = {{LL_EXPAND, "\"x\"C:", nullptr}};
    std::string q = Format(quoted);
    EXPECT_EQ("-\"\"\"x\"C:\r\n", q);
    Parsed back(q, LF_FAVORITES, 0);
    EXPECT_EQ("3:\"x\"C:[]\n", back.Describe());
    EXPECT_EQ("-\"x\"C:\r\n", Format(quoted, LF_DEFAULT));

    // The pattern part is written only while the line stays within 312 bytes.
    std::string folder = "C:\\" + std::string(300, 'f');
    std::string fits(312 - 3 - folder.size(), 'p');
    std::string over = fits + "q";
    std::vector<ListLine> edge = {{LL_EXPAND, folder.c_str(), fits.c_str()},
                                  {LL_EXPAND, folder.c_str(), over.c_str()}};
    std::string text = Format(edge);
    EXPECT_EQ("-\"" + fits + "\"" + folder + "\r\n-" + folder + "\r\n", text);
}

TEST_F(ListFileTest, WrittenFileReadsBack) {
    char folder[] = "/tmp/vorn_listfile_XXXXXX";
    ASSERT_NE(nullptr, mkdtemp(folder));
    std::string path = std::string(folder) + "/vorn_f.dat";
    std::string original = "C:\\a\n\n-\"*.txt\"  C:\\b\r>\r\nC:\\\x95\x5C\r\n-C:\\c";
    Parsed p(original, LF_FAVORITES, 0);
    ASSERT_EQ(1, WriteListFile(path.c_str(), p.file.lines, p.file.count, LF_FAVORITES));
    size_t size = 0;
    char* text = ReadWholeFile(path.c_str(), 0, &size);
    ASSERT_NE(nullptr, text);
    EXPECT_EQ("C:\\a\r\n\r\n-\"*.txt\"C:\\b\r\n>\r\nC:\\\x95\x5C\r\n-C:\\c\r\n",
              std::string(text, size));
    Parsed again(text, LF_FAVORITES, 0);
    EXPECT_EQ(p.Describe(), again.Describe());
    MemFree(text);
    unlink(path.c_str());
    rmdir(folder);
}

}  // namespace
