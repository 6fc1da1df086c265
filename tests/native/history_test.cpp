// Tests of the History store: the adding rules, reading and writing
// "data\vorn_h.dat", and clearing.
#include <gtest/gtest.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/datafile.h"
#include "common/fileio.h"
#include "common/settings.h"
#include "launcher/lists/history.h"
#include "common/itemarray.h"

namespace {

typedef std::vector<std::string> Strings;

Strings Entries() {
    Strings out;
    for (int i = 0; i < HistoryStore.count; i++) out.push_back(HistoryStore.slots[i]);
    return out;
}

class HistoryTest : public ::testing::Test {
   protected:
    char folder_[40] = "/tmp/vorn_history_XXXXXX";
    std::string file_;

    void SetUp() override {
        DataFiles = DataFileRecord{};  // no refusal left by an earlier test
        ASSERT_NE(nullptr, mkdtemp(folder_));
        SetNativeModuleFolder(folder_);
        ASSERT_EQ(1, CreateFolder((std::string(folder_) + "/data").c_str()));
        file_ = std::string(folder_) + "/data/vorn_h.dat";
        SetHistoryStartDir(nullptr);
    }
    void TearDown() override {
        FreeHistory();
        SetHistoryStartDir(nullptr);
        unlink(file_.c_str());
        rmdir((std::string(folder_) + "/data").c_str());
        rmdir(folder_);
        SetNativeModuleFolder("./");
    }
    void WriteFile(const std::string& bytes) {
        ASSERT_EQ(1, WriteWholeFile(file_.c_str(), bytes.data(), bytes.size()));
    }
    std::string FileBytes() {
        size_t size = 0;
        char* text = ReadWholeFile(file_.c_str(), 0, &size);
        if (!text) return "<missing>";
        std::string s(text, size);
        MemFree(text);
        return s;
    }
    void AddAll(const Strings& texts) {
        for (const std::string& t : texts) AddToHistory(t.c_str(), 0);
    }
};

TEST_F(HistoryTest, NewestFirstWithinSizeAndDuplicatesMoveUp) {
    ASSERT_EQ(1, ResetHistory(3));
    AddAll({"a", "b", "c", "d"});
    EXPECT_EQ((Strings{"d", "c", "b"}), Entries());
    // B equals b ignoring case: the old one goes, the new spelling comes first.
    EXPECT_EQ(1, AddToHistory("B", 0));
    EXPECT_EQ((Strings{"B", "d", "c"}), Entries());
    // Re-running an entry in the middle moves it to the top without dropping any.
    AddToHistory("D", 0);
    EXPECT_EQ((Strings{"D", "B", "c"}), Entries());
    AddToHistory("c", 0);
    EXPECT_EQ((Strings{"c", "D", "B"}), Entries());
}

TEST_F(HistoryTest, TextIsNormalisedBeforeStoring) {
    ASSERT_EQ(1, ResetHistory(10));
    AddToHistory("C:\\Temp\\", 0);
    AddToHistory("C:\\", 0);
    AddToHistory("D:\\x\\\\", 0);     // only one "\" goes
    AddToHistory("E:/y/", 0);         // a final "/" stays
    AddToHistory("F:\\\x95\x5C", 0);  // 表 ends in the byte 5C, not a separator
    EXPECT_EQ((Strings{"F:\\\x95\x5C", "E:/y/", "D:\\x\\", "C:", "C:\\Temp"}), Entries());

    // Equal after normalising: C:\Temp\ and c:\temp are one entry.
    AddToHistory("c:\\temp", 0);
    EXPECT_EQ(5, HistoryStore.count);
    EXPECT_STREQ("c:\\temp", HistoryStore.slots[0]);

    // Empty texts (also "\" alone) are not recorded.
    EXPECT_EQ(0, AddToHistory("", 0));
    EXPECT_EQ(0, AddToHistory("\\", 0));
    EXPECT_EQ(5, HistoryStore.count);
}

TEST_F(HistoryTest, SingleSeparatorTextsAreRootedAtStartDir) {
    ASSERT_EQ(1, ResetHistory(10));
    AddToHistory("\\tools\\x.exe", 0);  // no StartDir: kept as it is
    SetHistoryStartDir("D:\\work");
    AddToHistory("\\bin\\", 0);
    AddToHistory("/doc", 0);
    AddToHistory("\\\\server\\share", 0);
    EXPECT_EQ((Strings{"\\\\server\\share", "D:\\work/doc", "D:\\work\\bin", "\\tools\\x.exe"}),
              Entries());
}

TEST_F(HistoryTest, CaseFoldingLeavesDoubleByteCharactersAlone) {
    ASSERT_EQ(1, ResetHistory(10));
    // ア is 83 41 and 83 61 is another character: the trail bytes look like A/a.
    AddToHistory("\x83\x41.txt", 0);
    AddToHistory("\x83\x61.txt", 0);
    EXPECT_EQ(2, HistoryStore.count);
    AddToHistory("\x83\x41.TXT", 0);
    EXPECT_EQ((Strings{"\x83\x41.TXT", "\x83\x61.txt"}), Entries());
}

TEST_F(HistoryTest, ReadingTakesCrLfAndBareLfLineEnds) {
    // CR LF as written, a bare LF as editors and version control save text; a
    // lone CR stays part of the entry.
    ASSERT_EQ(1, ResetHistory(10));
    char text[] = "one\r\n\r\ntwo\nstill two\rand more\r\n\x95\r\nlast";
    EXPECT_EQ(5, LoadHistoryText(text));
    EXPECT_EQ((Strings{"one", "two", "still two\rand more", "\x95", "last"}), Entries());
}

// What is written is read back unchanged: an entry that kept a trailing "\"
// (its text ended in two) keeps it through every save and start.
TEST_F(HistoryTest, EntriesReadBackAsWritten) {
    ASSERT_EQ(1, ResetHistory(10));
    AddAll({"D:\\x\\\\", "C:\\", "\x95\x5C"});
    Strings held = Entries();
    ASSERT_EQ((Strings{"\x95\x5C", "C:", "D:\\x\\"}), held);
    for (int start = 0; start < 3; start++) {
        ASSERT_EQ(1, SaveHistory());
        ASSERT_EQ(1, ResetHistory(10));
        char text[64];
        snprintf(text, sizeof text, "%s", FileBytes().c_str());
        LoadHistoryText(text);
        EXPECT_EQ(held, Entries()) << "after start " << start;
    }
}

TEST_F(HistoryTest, ReadingKeepsTheLastPositionOfDuplicatesAndStopsAtSize) {
    ASSERT_EQ(1, ResetHistory(5));
    char text[] = "a\r\nb\r\nA\r\nc\r\n";
    LoadHistoryText(text);
    EXPECT_EQ((Strings{"b", "A", "c"}), Entries());

    // At most size lines are taken (a duplicate line counts as taken).
    ASSERT_EQ(1, ResetHistory(3));
    char more[] = "x\r\nX\r\ny\r\nz\r\nw\r\n";
    LoadHistoryText(more);
    EXPECT_EQ((Strings{"X", "y"}), Entries());

    // A full store takes no more appended lines, but an equal one still moves.
    ASSERT_EQ(1, ResetHistory(2));
    AddToHistory("p", 1);
    AddToHistory("q", 1);
    EXPECT_EQ(0, AddToHistory("r", 1));
    EXPECT_EQ(1, AddToHistory("P", 1));
    EXPECT_EQ((Strings{"q", "P"}), Entries());
}

TEST_F(HistoryTest, SaveAndLoadThroughTheFile) {
    Settings.size = 3;
    WriteFile("old1\r\nold2\r\nold3\r\nold4\r\n");
    ASSERT_EQ(1, LoadHistory());
    EXPECT_EQ((Strings{"old1", "old2", "old3"}), Entries());
    AddToHistory("new", 0);
    EXPECT_EQ(1, SaveHistory());
    EXPECT_EQ("new\r\nold1\r\nold2\r\n", FileBytes());
    // No temporary file is left behind.
    struct stat st;
    EXPECT_NE(0, stat((file_ + ".~new").c_str(), &st));

    // Reload with another size.
    Settings.size = 2;
    SaveAndFreeHistory();
    EXPECT_EQ(nullptr, HistoryStore.slots);
    ASSERT_EQ(1, LoadHistory());
    EXPECT_EQ((Strings{"new", "old1"}), Entries());
}

TEST_F(HistoryTest, MissingFileGivesAnEmptyHistory) {
    Settings.size = 5;
    EXPECT_EQ(0, LoadHistory());
    EXPECT_EQ(0, HistoryStore.count);
    EXPECT_EQ(5, HistoryStore.size);
    // Still records.
    EXPECT_EQ(1, AddToHistory("x", 0));
}

TEST_F(HistoryTest, EmptyHistoryIsNotWrittenAndClearTruncates) {
    Settings.size = 5;
    WriteFile("keep\r\n");
    ASSERT_EQ(1, ResetHistory(5));
    EXPECT_EQ(0, SaveHistory());
    EXPECT_EQ("keep\r\n", FileBytes());

    ASSERT_EQ(1, LoadHistory());
    AddToHistory("more", 0);
    EXPECT_EQ(1, ClearHistory());
    EXPECT_EQ(0, HistoryStore.count);
    EXPECT_EQ("", FileBytes());
    // Shutdown after clearing leaves the empty file.
    SaveAndFreeHistory();
    EXPECT_EQ("", FileBytes());

    // Clearing does not create a missing file.
    unlink(file_.c_str());
    ASSERT_EQ(1, ResetHistory(5));
    AddToHistory("y", 0);
    EXPECT_EQ(1, ClearHistory());
    EXPECT_EQ("<missing>", FileBytes());
    EXPECT_EQ(1, AddToHistory("z", 0));  // the slots are kept
}

TEST_F(HistoryTest, SizeZeroTurnsHistoryOff) {
    Settings.size = 0;
    WriteFile("a\r\n");
    EXPECT_EQ(0, LoadHistory());
    EXPECT_EQ(0, AddToHistory("x", 0));
    EXPECT_EQ(0, HistoryStore.count);
    EXPECT_EQ(0, SaveHistory());
    EXPECT_EQ("a\r\n", FileBytes());
    Settings.size = -4;
    EXPECT_EQ(0, LoadHistory());
    EXPECT_EQ(nullptr, HistoryStore.slots);
    ItemArray items = {};
    EXPECT_EQ(0, HistoryItems(&items, nullptr));
    FreeItems(&items);
    Settings.size = 20;
}

bool FakeIsFolder(const char* path) {
    return strcmp(path, "C:\\dir") == 0 || strcmp(path, "D:\\start\\sub") == 0;
}

TEST_F(HistoryTest, ItemsNewestFirstWithTypes) {
    ASSERT_EQ(1, ResetHistory(5));
    AddAll({"\\sub", "C:\\dir", "C:\\f.txt", "\x95\x5C"});
    ItemArray items = {};
    Settings.his.fldclass = 0;
    ASSERT_EQ(4, HistoryItems(&items, FakeIsFolder));
    EXPECT_STREQ("\x95\x5C", items.items[0].path);
    EXPECT_EQ((uint32_t)ItemWide, items.items[0].flags);
    EXPECT_EQ(0u, items.items[1].flags);
    EXPECT_EQ(3, items.items[3].viewIndex);
    EXPECT_EQ(-1, items.items[3].image);

    // With fldclass 1; the single-separator entry is a file until StartDir is set.
    Settings.his.fldclass = 1;
    ASSERT_EQ(4, HistoryItems(&items, FakeIsFolder));
    EXPECT_EQ((uint32_t)(ItemFile | ItemWide), items.items[0].flags);
    EXPECT_EQ((uint32_t)ItemFile, items.items[1].flags);
    EXPECT_EQ((uint32_t)ItemFolder, items.items[2].flags);
    EXPECT_EQ((uint32_t)ItemFile, items.items[3].flags);
    SetHistoryStartDir("D:\\start");
    ASSERT_EQ(4, HistoryItems(&items, FakeIsFolder));
    EXPECT_STREQ("\\sub", items.items[3].path);
    EXPECT_EQ((uint32_t)ItemFolder, items.items[3].flags);
    Settings.his.fldclass = 0;
    FreeItems(&items);

    // An empty History gives no items.
    ASSERT_EQ(1, ResetHistory(5));
    EXPECT_EQ(0, HistoryItems(&items, FakeIsFolder));
    FreeItems(&items);
}

TEST_F(HistoryTest, FormatIsBounded) {
    ASSERT_EQ(1, ResetHistory(4));
    AddAll({"ab", "c"});
    EXPECT_EQ(7, FormatHistory(nullptr, 0));
    char buf[8];
    EXPECT_EQ(-1, FormatHistory(buf, 7));
    EXPECT_EQ(7, FormatHistory(buf, sizeof buf));
    EXPECT_STREQ("c\r\nab\r\n", buf);
}

}  // namespace
