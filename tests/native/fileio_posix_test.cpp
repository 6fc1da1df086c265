// Tests of the native file and memory routines (common/fileio_posix), which the
// other native tests rely on behaving like the Windows ones.
#include <gtest/gtest.h>

#include <dirent.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <unistd.h>

#include <string>

#include "common/fileio.h"

namespace {

class FileioPosix : public ::testing::Test {
   protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vorn_fileio_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        folder_ = tmpl;
        SetNativeModuleFolder(folder_.c_str());
    }
    void TearDown() override {
        DIR* dir = opendir(folder_.c_str());
        if (dir) {
            while (dirent* e = readdir(dir)) {
                if (strcmp(e->d_name, ".") && strcmp(e->d_name, ".."))
                    unlink((folder_ + "/" + e->d_name).c_str());
            }
            closedir(dir);
        }
        rmdir(folder_.c_str());
        SetNativeModuleFolder("./");
    }
    int CountFiles() {
        int n = 0;
        DIR* dir = opendir(folder_.c_str());
        while (dirent* e = readdir(dir))
            if (strcmp(e->d_name, ".") && strcmp(e->d_name, "..")) n++;
        closedir(dir);
        return n;
    }
    std::string folder_;
};

TEST_F(FileioPosix, CreateIfMissingReadAndReplace) {
    char path[300];
    ModulePath(AppModule, path, "vorn_h.dat", sizeof path);
    EXPECT_EQ(folder_ + "/vorn_h.dat", path);

    size_t size = 7;
    EXPECT_EQ(nullptr, ReadWholeFile(path, 1, &size));
    EXPECT_TRUE(FileExists(path));
    char* block = ReadWholeFile(path, 0, &size);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(0u, size);
    MemFree(block);

    ASSERT_EQ(1, WriteWholeFile(path, "ab\0c", 4));
    block = ReadWholeFile(path, 0, &size);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0, memcmp(block, "ab\0c", 5));  // terminated after the data
    MemFree(block);
    EXPECT_EQ(1, CountFiles());  // no temporary left

    block = ReadFileHead(path, 2, &size);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(2u, size);
    for (int i = 2; i < 12; i++) EXPECT_EQ('\0', block[i]);
    MemFree(block);

    EXPECT_EQ(0, WriteWholeFile(path, nullptr, 3));
    EXPECT_EQ(0, WriteWholeFile((folder_ + "/no/such").c_str(), "x", 1));
    EXPECT_EQ(1, CountFiles());
}

TEST_F(FileioPosix, ModulePathNeverCut) {
    char small[8] = "junk";
    ModulePath(AppModule, small, "data\\vorn.ini", sizeof small);
    EXPECT_STREQ("", small);
    char path[300];
    ModulePath(AppModule, path, nullptr, sizeof path);
    EXPECT_EQ(folder_ + "/", path);
}

TEST(FileioPosixMemory, ReallocGrowthIsZeroed) {
    unsigned char* p = (unsigned char*)MemAlloc(16);
    ASSERT_NE(nullptr, p);
    for (int i = 0; i < 16; i++) ASSERT_EQ(0, p[i]);
    memset(p, 0x5A, 16);
    p = (unsigned char*)MemRealloc(p, 8);  // shrink keeps the head
    ASSERT_NE(nullptr, p);
    for (int i = 0; i < 8; i++) ASSERT_EQ(0x5A, p[i]);
    p = (unsigned char*)MemRealloc(p, 1000);
    ASSERT_NE(nullptr, p);
    for (int i = 0; i < 8; i++) ASSERT_EQ(0x5A, p[i]);
    for (int i = 8; i < 1000; i++) ASSERT_EQ(0, p[i]) << i;
    MemFree(p);
    void* fresh = MemRealloc(nullptr, 4);
    ASSERT_NE(nullptr, fresh);
    MemFree(fresh);
    MemFree(nullptr);
}

}  // namespace
