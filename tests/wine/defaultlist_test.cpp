// defaultlist_test.cpp - the Default lookup over a file system: the pattern
// made of the typed name, the counting pass that stops after the second hit,
// the full pass, roots that are files, and the Win32 file system of the lists.
#include <windows.h>

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "common/fileio.h"
#include "launcher/lists/defaultlist.h"
#include "common/itemarray.h"
#include "launcher/lists/listfs_win.h"

namespace {

// A file system in memory: folders with their entries, in a fixed order. A
// pattern "x*" matches names that begin with x; "*" matches all; anything
// else matches the name exactly.
struct FakeFs {
    std::set<std::string> folders;
    std::map<std::string, std::vector<std::pair<std::string, bool>>> entries;
    std::vector<std::string> searched;  // folder + "|" + pattern of each enumeration
};

bool Matches(const std::string& pattern, const std::string& name) {
    if (!pattern.empty() && pattern.back() == '*') {
        std::string stem = pattern.substr(0, pattern.size() - 1);
        size_t star = stem.find('*');
        if (star == std::string::npos) return name.compare(0, stem.size(), stem) == 0;
        // "a*b*": begins with a, holds b after it.
        std::string head = stem.substr(0, star), tail = stem.substr(star + 1);
        return name.compare(0, head.size(), head) == 0 &&
               name.find(tail, head.size()) != std::string::npos;
    }
    return pattern == name;
}

bool FakeIsFolder(void* ctx, const char* path) { return ((FakeFs*)ctx)->folders.count(path) > 0; }

int FakeEnumerate(void* ctx, const char* folder, const char* pattern, ListEntryReport report,
                  void* sink) {
    FakeFs* fs = (FakeFs*)ctx;
    fs->searched.push_back(std::string(folder) + "|" + pattern);
    auto it = fs->entries.find(folder);
    if (it == fs->entries.end()) return 0;
    report(sink, ".", 1);
    report(sink, "..", 1);
    for (const auto& e : it->second)
        if (Matches(pattern, e.first)) report(sink, e.first.c_str(), e.second ? 1 : 0);
    return 1;
}

struct DefaultLookupCore : public ::testing::Test {
    FakeFs fake;
    ListFileSystem fs = {FakeIsFolder, FakeEnumerate, &fake};
    ItemArray roots = {};
    ItemArray hits = {};

    void TearDown() override {
        FreeItems(&roots);
        FreeItems(&hits);
    }
    void Root(const char* path) { ASSERT_TRUE(AppendItem(&roots, path, 0)); }
    void Folder(const std::string& path, std::vector<std::pair<std::string, bool>> list) {
        fake.folders.insert(path);
        fake.entries[path] = std::move(list);
    }
    std::vector<std::string> Texts(void) const {
        std::vector<std::string> v;
        for (int32_t i = 0; i < hits.count; i++) v.push_back(hits.items[i].path);
        return v;
    }
};

}  // namespace

TEST_F(DefaultLookupCore, PatternOfTheName) {
    char p[DEFAULT_SEARCH_MAX + 2];
    EXPECT_TRUE(DefaultLookupPattern("rep", p, sizeof p));
    EXPECT_STREQ(p, "rep*");
    EXPECT_TRUE(DefaultLookupPattern("a*b", p, sizeof p));
    EXPECT_STREQ(p, "a*b*");
    EXPECT_TRUE(DefaultLookupPattern("re*", p, sizeof p));
    EXPECT_STREQ(p, "re*") << "no second star";
    EXPECT_FALSE(DefaultLookupPattern("", p, sizeof p));
    EXPECT_FALSE(DefaultLookupPattern("rep.", p, sizeof p)) << "a name ending in a dot";
    // A name that fills the box gets no star and still fits.
    std::string longName(DEFAULT_SEARCH_MAX, 'n');
    EXPECT_TRUE(DefaultLookupPattern(longName.c_str(), p, sizeof p));
    EXPECT_EQ(std::string(p), longName);
    // A buffer too small for the pattern gives no lookup rather than a cut one.
    char small[4];
    EXPECT_FALSE(DefaultLookupPattern("rep", small, sizeof small));
}

TEST_F(DefaultLookupCore, CountingStopsAfterTheRootThatBringsASecondHit) {
    Folder("C:\\one", {{"report.txt", false}, {"notes.txt", false}});
    Folder("C:\\two", {{"rep", true}});
    Folder("C:\\three", {{"repeat.txt", false}});
    Root("C:\\one");
    Root("C:\\two\\");  // a trailing separator is not doubled
    Root("C:\\three");
    char first[MAX_PATH];
    EXPECT_EQ(CountDefaultHits(&roots, "rep*", &fs, first, sizeof first), 2);
    EXPECT_STREQ(first, "C:\\one\\report.txt");
    ASSERT_EQ(fake.searched.size(), 2u) << "the third root is not enumerated";
    EXPECT_EQ(fake.searched[1], "C:\\two|rep*");

    EXPECT_EQ(CollectDefaultHits(&roots, "rep*", &fs, &hits), 3);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"C:\\one\\report.txt", "C:\\two\\rep",
                                                 "C:\\three\\repeat.txt"}));
    EXPECT_EQ(hits.items[0].flags & (ItemFile | ItemFolder), (uint32_t)ItemFile);
    EXPECT_EQ(hits.items[1].flags & (ItemFile | ItemFolder), (uint32_t)ItemFolder);
    for (int32_t i = 0; i < hits.count; i++) EXPECT_EQ(hits.items[i].viewIndex, i);
}

TEST_F(DefaultLookupCore, SingleHitAndNoHit) {
    Folder("C:\\Tools", {{"report.txt", false}, {"x.txt", false}});
    Root("C:\\Tools");
    char first[MAX_PATH];
    EXPECT_EQ(CountDefaultHits(&roots, "rep*", &fs, first, sizeof first), 1);
    EXPECT_STREQ(first, "C:\\Tools\\report.txt");
    EXPECT_EQ(CountDefaultHits(&roots, "zz*", &fs, first, sizeof first), 0);
    EXPECT_STREQ(first, "");
}

TEST_F(DefaultLookupCore, SubFolderPartIsLookedForInsideEachRoot) {
    Folder("C:\\a", {{"proj", true}});
    Folder("C:\\a\\proj", {{"main.c", false}, {"make", false}});
    Folder("C:\\b", {});
    Root("C:\\b");
    Root("C:\\a");
    EXPECT_EQ(CollectDefaultHits(&roots, "proj\\ma*", &fs, &hits), 2);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"C:\\a\\proj\\main.c", "C:\\a\\proj\\make"}));
    EXPECT_EQ(fake.searched[0], "C:\\b\\proj|ma*");
}

TEST_F(DefaultLookupCore, FileRootMatchesNamesThatBeginWithItsName) {
    Folder("C:\\d", {{"notes", false}, {"notes-old", false}, {"other", false}});
    Root("C:\\d\\notes");  // a file, not a folder
    Root("relative");      // no folder at all: skipped
    EXPECT_EQ(CollectDefaultHits(&roots, "-*", &fs, &hits), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{"C:\\d\\notes-old"}));
    EXPECT_EQ(fake.searched, (std::vector<std::string>{"C:\\d|notes-*"}));
}

TEST_F(DefaultLookupCore, RootsTooLongForThePatternAreSkipped) {
    std::string longRoot = "C:\\" + std::string(250, 'r');
    Folder(longRoot, {{"rep1", false}});
    Folder("C:\\ok", {{"rep2", false}});
    Root(longRoot.c_str());
    Root("C:\\ok");
    // 253 + 8 = 261 bytes: too long.
    EXPECT_EQ(CollectDefaultHits(&roots, "rep12345", &fs, &hits), 0);
    EXPECT_EQ(fake.searched, (std::vector<std::string>{"C:\\ok|rep12345"}));
    // 253 + 5 bytes: searched.
    fake.searched.clear();
    EXPECT_EQ(CollectDefaultHits(&roots, "rep1*", &fs, &hits), 1);
    EXPECT_EQ(fake.searched.size(), 2u);
}

TEST_F(DefaultLookupCore, HitsThatWouldNotFitAPathAreLeftOut) {
    std::string root = "C:\\" + std::string(200, 'f');
    Folder(root, {{"a" + std::string(100, 'x'), false}, {"ab", false}});
    Root(root.c_str());
    EXPECT_EQ(CollectDefaultHits(&roots, "a*", &fs, &hits), 1);
    EXPECT_EQ(Texts(), (std::vector<std::string>{root + "\\ab"}));
}

TEST(ListFsWin, EnumeratesFoldersAndFilesOfAPattern) {
    char tmp[MAX_PATH], dir[MAX_PATH];
    ASSERT_GT(GetTempPathA(sizeof tmp, tmp), 0u);
    snprintf(dir, sizeof dir, "%svorn_listfs_%lu", tmp, GetCurrentProcessId());
    ASSERT_TRUE(CreateDirectoryA(dir, nullptr));
    std::string d = dir;
    ASSERT_TRUE(CreateDirectoryA((d + "\\keep.dir").c_str(), nullptr));
    HANDLE f = CreateFileA((d + "\\keep.txt").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                           nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE);
    CloseHandle(f);

    std::map<std::string, int> seen;
    auto report = [](void* sink, const char* name, int isFolder) {
        (*(std::map<std::string, int>*)sink)[name] = isFolder;
    };
    const ListFileSystem* fs = &WinListFileSystem;
    EXPECT_TRUE(fs->isFolder(fs->ctx, dir));
    EXPECT_FALSE(fs->isFolder(fs->ctx, (d + "\\keep.txt").c_str()));
    EXPECT_EQ(fs->enumerate(fs->ctx, dir, "keep*", report, &seen), 1);
    EXPECT_EQ(seen, (std::map<std::string, int>{{"keep.dir", 1}, {"keep.txt", 0}}));
    seen.clear();
    EXPECT_EQ(fs->enumerate(fs->ctx, (d + "\\").c_str(), "*.txt", report, &seen), 1);
    EXPECT_EQ(seen, (std::map<std::string, int>{{"keep.txt", 0}}));
    seen.clear();
    EXPECT_EQ(fs->enumerate(fs->ctx, dir, "none*", report, &seen), 1) << "no match is no failure";
    EXPECT_TRUE(seen.empty());
    EXPECT_EQ(fs->enumerate(fs->ctx, (d + "\\missing").c_str(), "*", report, &seen), 0);

    DeleteFileA((d + "\\keep.txt").c_str());
    RemoveDirectoryA((d + "\\keep.dir").c_str());
    RemoveDirectoryA(dir);
}
