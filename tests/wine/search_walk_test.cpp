// In-process tests of the file search's walk (launcher/lists/search) on trees
// made in a temporary folder: which entries each mode lists, the depth limit,
// the relative texts and their flags, rooting at the start folder.
#include <windows.h>

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "common/fileio.h"
#include "common/itemarray.h"
#include "launcher/lists/search.h"

namespace {

void RemoveTree(const std::string& folder) {
    WIN32_FIND_DATAA found;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            std::string name = found.cFileName;
            if (name == "." || name == "..") continue;
            std::string full = folder + "\\" + name;
            if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                RemoveTree(full);
            else
                DeleteFileA(full.c_str());
        } while (FindNextFileA(find, &found));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

class SearchWalkWin : public ::testing::Test {
   protected:
    std::string parent_, leaf_, root_;

    void SetUp() override {
        char temp[MAX_PATH];
        DWORD n = GetTempPathA(sizeof temp, temp);
        ASSERT_NE(0u, n);
        parent_ = temp;
        if (!parent_.empty() && parent_.back() == '\\') parent_.pop_back();
        for (int i = 0; i < 100; i++) {
            leaf_ = "vorn_walk_" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(i);
            root_ = parent_ + "\\" + leaf_;
            if (CreateDirectoryA(root_.c_str(), nullptr)) return;
        }
        FAIL() << "no temporary folder";
    }
    void TearDown() override {
        RemoveTree(root_);
        FreeSearchResults();
    }

    void Dir(const char* relative) {
        ASSERT_TRUE(CreateDirectoryA((root_ + "\\" + relative).c_str(), nullptr)) << relative;
    }
    void File(const char* relative) {
        HANDLE f = CreateFileA((root_ + "\\" + relative).c_str(), GENERIC_WRITE, 0, nullptr,
                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f) << relative;
        CloseHandle(f);
    }

    // The "read" tree: matches at three depths, in a folder with a double-byte
    // name whose second byte is "\" (表), and names that differ in case.
    void MakeReadTree() {
        File("readme.txt");
        File("READ2.TXT");
        File("other.txt");
        Dir("reading");
        Dir("docs");
        File("docs\\readme2.md");
        File("docs\\notes.txt");
        Dir("docs\\deep");
        File("docs\\deep\\readall.log");
        File("docs\\deep\\x.txt");
        Dir("表示");
        File("表示\\read表.txt");
    }

    // Walks and returns the result texts sorted; the records stay in items_.
    std::vector<std::string> Walk(const std::string& folderText, const char* pattern, int mode,
                                  int depth, int inputmode = 0, const char* startDir = nullptr) {
        FreeItems(&items_);
        SearchWalk walk = {};
        walk.results = &items_;
        walk.inputmode = inputmode;
        walk.startDir = startDir;
        int n = WalkSearchTree(&walk, folderText.c_str(), pattern, mode, depth);
        EXPECT_EQ(n, items_.count);
        EXPECT_FALSE(walk.aborted);
        std::vector<std::string> texts;
        size_t longest = 0;
        for (int i = 0; i < items_.count; i++) {
            texts.push_back(items_.items[i].path);
            longest = std::max(longest, texts.back().size());
        }
        EXPECT_EQ((int)longest, walk.longest);
        std::sort(texts.begin(), texts.end());
        return texts;
    }
    const ListItem* Find(const char* text) const {
        for (int i = 0; i < items_.count; i++)
            if (strcmp(items_.items[i].path, text) == 0) return &items_.items[i];
        return nullptr;
    }

    ItemArray items_ = {};

   public:
    ~SearchWalkWin() override { FreeItems(&items_); }
};

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST_F(SearchWalkWin, FolderModeListsMatchesAtEveryDepthAsRelativePaths) {
    MakeReadTree();
    std::vector<std::string> got = Walk(root_ + "\\", "read*", SEARCH_MODE_FOLDER, -1);
    EXPECT_EQ(Sorted({"readme.txt", "READ2.TXT", "reading", "docs\\readme2.md",
                      "docs\\deep\\readall.log", "表示\\read表.txt"}),
              got);
    // Flags by attribute, ItemWide for double-byte texts, rows in found order.
    const ListItem* folder = Find("reading");
    ASSERT_TRUE(folder);
    EXPECT_EQ((uint32_t)ItemFolder, folder->flags);
    const ListItem* file = Find("docs\\deep\\readall.log");
    ASSERT_TRUE(file);
    EXPECT_EQ((uint32_t)ItemFile, file->flags);
    const ListItem* wide = Find("表示\\read表.txt");
    ASSERT_TRUE(wide);
    EXPECT_EQ((uint32_t)(ItemFile | ItemWide), wide->flags);
    for (int i = 0; i < items_.count; i++) {
        EXPECT_EQ(i, items_.items[i].viewIndex);
        EXPECT_EQ(-1, items_.items[i].image);
    }
}

TEST_F(SearchWalkWin, DepthLimitsTheLevelsWalked) {
    MakeReadTree();
    // One level below the first (subfolder 1 gives depth 2).
    EXPECT_EQ(
        Sorted({"readme.txt", "READ2.TXT", "reading", "docs\\readme2.md", "表示\\read表.txt"}),
        Walk(root_ + "\\", "read*", SEARCH_MODE_FOLDER, 2));
    EXPECT_EQ(Sorted({"readme.txt", "READ2.TXT", "reading"}),
              Walk(root_ + "\\", "read*", SEARCH_MODE_FOLDER, 1));
    // Below 1 there is no limit.
    EXPECT_EQ(6u, Walk(root_ + "\\", "read*", SEARCH_MODE_FOLDER, 0).size());
}

TEST_F(SearchWalkWin, AnEmptyNameMatchesEveryEntry) {
    MakeReadTree();
    EXPECT_EQ(Sorted({"readme.txt", "READ2.TXT", "other.txt", "reading", "docs", "docs\\readme2.md",
                      "docs\\notes.txt", "docs\\deep", "docs\\deep\\readall.log",
                      "docs\\deep\\x.txt", "表示", "表示\\read表.txt"}),
              Walk(root_ + "\\", "*", SEARCH_MODE_FOLDER, -1));
}

TEST_F(SearchWalkWin, NamedModeSearchesOnlyInsideMatchingFirstLevelFolders) {
    Dir("web1");
    File("web1\\index.html");
    File("web1\\other.html");
    Dir("web1\\sub");
    File("web1\\sub\\index2.htm");
    Dir("mywebsite");
    File("mywebsite\\index.php");
    Dir("other");
    File("other\\index.txt");
    File("webfile.txt");
    File("index.txt");
    // inputmode 0: the name anywhere in the first-level names.
    EXPECT_EQ(Sorted({"web1", "mywebsite", "webfile.txt", "web1\\index.html",
                      "web1\\sub\\index2.htm", "mywebsite\\index.php"}),
              Walk(root_ + "\\web", "index*", SEARCH_MODE_NAMED, -1, 0));
    // inputmode 1: only at their beginning.
    EXPECT_EQ(Sorted({"web1", "webfile.txt", "web1\\index.html", "web1\\sub\\index2.htm"}),
              Walk(root_ + "\\web", "index*", SEARCH_MODE_NAMED, -1, 1));
    // The depth counts from the first level here as well.
    EXPECT_EQ(
        Sorted({"web1", "mywebsite", "webfile.txt", "web1\\index.html", "mywebsite\\index.php"}),
        Walk(root_ + "\\web", "index*", SEARCH_MODE_NAMED, 2, 0));
}

TEST_F(SearchWalkWin, ARootRelativeFolderTextIsRootedAtTheStartFolder) {
    MakeReadTree();
    std::vector<std::string> rooted =
        Walk("\\" + leaf_ + "\\", "read*", SEARCH_MODE_FOLDER, -1, 0, parent_.c_str());
    EXPECT_EQ(6u, rooted.size());
    EXPECT_EQ(Walk(root_ + "\\", "read*", SEARCH_MODE_FOLDER, -1), rooted);
}

TEST_F(SearchWalkWin, AMissingFolderGivesNoResults) {
    EXPECT_TRUE(Walk(root_ + "\\nothing\\", "*", SEARCH_MODE_FOLDER, -1).empty());
    EXPECT_TRUE(Walk(root_ + "\\nothing", "*", SEARCH_MODE_NAMED, -1).empty());
}

TEST_F(SearchWalkWin, SearchBaseIsCopiedOnlyWhenRecordedAndWhole) {
    char buf[64] = "x";
    EXPECT_FALSE(SearchBaseOf(buf, sizeof buf));
    EXPECT_STREQ("", buf);
    Search.base = MemDupString("C:\\work\\");
    ASSERT_TRUE(Search.base);
    EXPECT_TRUE(SearchBaseOf(buf, sizeof buf));
    EXPECT_STREQ("C:\\work\\", buf);
    char small[5];
    EXPECT_FALSE(SearchBaseOf(small, sizeof small));
    EXPECT_STREQ("", small);
    char full[64];
    EXPECT_TRUE(SearchResultFullPath("docs\\a.txt", full, sizeof full));
    EXPECT_STREQ("C:\\work\\docs\\a.txt", full);
    FreeSearchResults();
    EXPECT_FALSE(SearchBaseOf(buf, sizeof buf));
    EXPECT_FALSE(SearchResultFullPath("docs\\a.txt", full, sizeof full));
}

}  // namespace
