// In-process tests of the Win32 file and memory routines (common/fileio_win).
#include <windows.h>

#include <gtest/gtest.h>
#include <string.h>

#include <string>

#include "common/fileio.h"

namespace {

// A fresh folder under the temporary folder, removed with its files afterwards.
class FileioWin : public ::testing::Test {
   protected:
    void SetUp() override {
        char temp[MAX_PATH];
        ASSERT_NE(0u, GetTempPathA(sizeof temp, temp));
        for (int i = 0; i < 100; i++) {
            folder_ = std::string(temp) + "vorn_fileio_" + std::to_string(GetCurrentProcessId()) +
                      "_" + std::to_string(i);
            if (CreateDirectoryA(folder_.c_str(), nullptr)) return;
        }
        FAIL() << "no temporary folder";
    }
    void TearDown() override {
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder_ + "\\*").c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                std::string name = found.cFileName;
                if (name == "." || name == "..") continue;
                std::string full = folder_ + "\\" + name;
                if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                    RemoveDirectoryA(full.c_str());
                else
                    DeleteFileA(full.c_str());
            } while (FindNextFileA(find, &found));
            FindClose(find);
        }
        RemoveDirectoryA(folder_.c_str());
    }
    std::string Path(const char* name) const { return folder_ + "\\" + name; }

    static void Put(const std::string& path, const std::string& bytes) {
        HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, f);
        DWORD put = 0;
        ASSERT_TRUE(WriteFile(f, bytes.data(), (DWORD)bytes.size(), &put, nullptr));
        ASSERT_EQ(bytes.size(), put);
        CloseHandle(f);
    }
    static std::string Get(const std::string& path) {
        std::string out;
        HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (f == INVALID_HANDLE_VALUE) return "<missing>";
        char buf[4096];
        DWORD got = 0;
        while (ReadFile(f, buf, sizeof buf, &got, nullptr) && got) out.append(buf, got);
        CloseHandle(f);
        return out;
    }
    static int CountFiles(const std::string& folder) {
        int n = 0;
        WIN32_FIND_DATAA found;
        HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &found);
        if (find == INVALID_HANDLE_VALUE) return 0;
        do {
            if (strcmp(found.cFileName, ".") && strcmp(found.cFileName, "..")) n++;
        } while (FindNextFileA(find, &found));
        FindClose(find);
        return n;
    }

    std::string folder_;
};

TEST_F(FileioWin, MissingFileIsCreatedEmptyOnlyWhenAsked) {
    std::string path = Path("vorn_h.dat");
    size_t size = 99;
    EXPECT_EQ(nullptr, ReadWholeFile(path.c_str(), 0, &size));
    EXPECT_FALSE(FileExists(path.c_str()));
    EXPECT_EQ(99u, size);

    EXPECT_EQ(nullptr, ReadWholeFile(path.c_str(), 1, &size));
    ASSERT_TRUE(FileExists(path.c_str()));
    EXPECT_EQ("", Get(path));

    // The empty file now reads as an empty, terminated block.
    char* block = ReadWholeFile(path.c_str(), 0, &size);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(0u, size);
    EXPECT_EQ('\0', block[0]);
    MemFree(block);
}

TEST_F(FileioWin, WholeReadIsExactAndTerminated) {
    std::string path = Path("data.bin");
    const std::string bytes("ab\0c\r\n\x95\x5c", 8);
    Put(path, bytes);
    size_t size = 0;
    char* block = ReadWholeFile(path.c_str(), 0, &size);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(bytes.size(), size);
    EXPECT_EQ(0, memcmp(block, bytes.data(), bytes.size()));
    EXPECT_EQ('\0', block[size]);
    MemFree(block);
    // No size wanted.
    block = ReadWholeFile(path.c_str(), 0, nullptr);
    ASSERT_NE(nullptr, block);
    MemFree(block);
}

TEST_F(FileioWin, LargeFileReadsWhole) {
    std::string path = Path("large.bin");
    std::string bytes(3 * 1024 * 1024 + 17, 'x');
    for (size_t i = 0; i < bytes.size(); i += 4093) bytes[i] = (char)(i & 0xFF);
    Put(path, bytes);
    size_t size = 0;
    char* block = ReadWholeFile(path.c_str(), 0, &size);
    ASSERT_NE(nullptr, block);
    ASSERT_EQ(bytes.size(), size);
    EXPECT_EQ(0, memcmp(block, bytes.data(), size));
    MemFree(block);
}

TEST_F(FileioWin, FileHeldWithoutSharingIsNotReadNorTruncated) {
    std::string path = Path("vorn.ini");
    Put(path, "[vorn]\r\n");
    HANDLE other = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, other);
    size_t size = 0;
    EXPECT_EQ(nullptr, ReadWholeFile(path.c_str(), 0, &size));
    EXPECT_EQ(nullptr, ReadFileHead(path.c_str(), 4, &size));
    // Asking to create it must not truncate the file that is there.
    EXPECT_EQ(nullptr, ReadWholeFile(path.c_str(), 1, &size));
    // It is there, only not readable: not "missing".
    int result = -1;
    EXPECT_EQ(nullptr, ReadWholeFileStatus(path.c_str(), &size, &result));
    EXPECT_EQ(FILE_READ_FAILED, result);
    CloseHandle(other);
    EXPECT_EQ("[vorn]\r\n", Get(path));
    char* block = ReadWholeFile(path.c_str(), 0, &size);
    ASSERT_NE(nullptr, block);
    EXPECT_STREQ("[vorn]\r\n", block);
    MemFree(block);
}

TEST_F(FileioWin, FileHeldOpenWithSharingIsRead) {
    std::string path = Path("keymap");
    Put(path, "24\r\n");
    struct Holder {
        const char* what;
        DWORD access;
        DWORD share;
    } holders[] = {
        {"virus scanner", GENERIC_READ, FILE_SHARE_READ},
        {"editor", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE},
        {"reader allowing all", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE},
    };
    for (const Holder& h : holders) {
        SCOPED_TRACE(h.what);
        HANDLE other = CreateFileA(path.c_str(), h.access, h.share, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, other);
        size_t size = 0;
        int result = -1;
        char* block = ReadWholeFileStatus(path.c_str(), &size, &result);
        CloseHandle(other);
        ASSERT_NE(nullptr, block);
        EXPECT_EQ(FILE_READ_OK, result);
        EXPECT_EQ(4u, size);
        EXPECT_STREQ("24\r\n", block);
        MemFree(block);
    }
}

TEST_F(FileioWin, MissingFileOrFolderIsToldApart) {
    struct Case {
        std::string path;
        int result;
    } cases[] = {
        {Path("none.dat"), FILE_READ_MISSING},
        {Path("nowhere\\none.dat"), FILE_READ_MISSING},
        {folder_, FILE_READ_FAILED},  // a folder where a file is wanted
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        int result = -1;
        EXPECT_EQ(nullptr, ReadWholeFileStatus(c.path.c_str(), nullptr, &result));
        EXPECT_EQ(c.result, result);
    }
}

TEST_F(FileioWin, ReadFileHeadReadsAtMostCount) {
    std::string path = Path("pic.bmp");
    Put(path, "BM0123456789abcdef");
    size_t size = 0;
    char* block = ReadFileHead(path.c_str(), 4, &size);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(4u, size);
    EXPECT_EQ(0, memcmp(block, "BM01", 4));
    for (int i = 4; i < 14; i++) EXPECT_EQ('\0', block[i]) << i;  // count + 10 zeroed bytes
    MemFree(block);

    block = ReadFileHead(path.c_str(), 100, &size);
    ASSERT_NE(nullptr, block);
    EXPECT_EQ(18u, size);
    EXPECT_STREQ("BM0123456789abcdef", block);
    MemFree(block);

    EXPECT_EQ(nullptr, ReadFileHead(Path("none.bmp").c_str(), 4, &size));
    EXPECT_FALSE(FileExists(Path("none.bmp").c_str()));
}

TEST_F(FileioWin, WriteWholeFileReplacesExactlyAndLeavesNoTemporary) {
    std::string path = Path("vorn_f.dat");
    Put(path, "a much longer old content\r\n");
    const char fresh[] = "new\r\n";
    EXPECT_EQ(1, WriteWholeFile(path.c_str(), fresh, 5));
    EXPECT_EQ("new\r\n", Get(path));
    EXPECT_FALSE(FileExists((path + ".~new").c_str()));
    EXPECT_EQ(1, CountFiles(folder_));

    // A new file, and an empty one.
    std::string other = Path("keymap");
    EXPECT_EQ(1, WriteWholeFile(other.c_str(), "x", 1));
    EXPECT_EQ("x", Get(other));
    EXPECT_EQ(1, WriteWholeFile(other.c_str(), nullptr, 0));
    EXPECT_EQ("", Get(other));
    EXPECT_EQ(2, CountFiles(folder_));
}

TEST_F(FileioWin, FailedWriteLeavesOldFileAndNoTemporary) {
    // The target is a folder: the rename cannot replace it.
    std::string dir = Path("data");
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    EXPECT_EQ(0, WriteWholeFile(dir.c_str(), "x", 1));
    EXPECT_TRUE(DirectoryExists(dir.c_str()));
    EXPECT_FALSE(FileExists((dir + ".~new").c_str()));

    // The target is held open without delete sharing.
    std::string path = Path("vorn_e.dat");
    Put(path, "old");
    HANDLE holder = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, holder);
    EXPECT_EQ(0, WriteWholeFile(path.c_str(), "new", 3));
    CloseHandle(holder);
    EXPECT_EQ("old", Get(path));
    EXPECT_FALSE(FileExists((path + ".~new").c_str()));

    // A folder that does not exist.
    std::string lost = Path("nowhere\\file.dat");
    EXPECT_EQ(0, WriteWholeFile(lost.c_str(), "x", 1));
    EXPECT_EQ(2, CountFiles(folder_));  // "data" and "vorn_e.dat"
}

TEST_F(FileioWin, ExistenceTestsAndCreateFolder) {
    std::string file = Path("f.txt");
    std::string dir = Path("sub");
    Put(file, "1");
    EXPECT_TRUE(FileExists(file.c_str()));
    EXPECT_FALSE(DirectoryExists(file.c_str()));
    EXPECT_FALSE(FileExists(dir.c_str()));

    EXPECT_EQ(1, CreateFolder(dir.c_str()));
    EXPECT_TRUE(FileExists(dir.c_str()));  // a folder counts as existing
    EXPECT_TRUE(DirectoryExists(dir.c_str()));
    EXPECT_EQ(1, CreateFolder(dir.c_str()));   // already there
    EXPECT_EQ(0, CreateFolder(file.c_str()));  // a file of that name
    EXPECT_EQ(0, CreateFolder(Path("missing\\deeper").c_str()));
    EXPECT_FALSE(FileExists(Path("missing").c_str()));
}

TEST(FileioWinModule, ModulePathIsBesideTheExecutable) {
    char exe[MAX_PATH];
    ASSERT_NE(0u, GetModuleFileNameA(nullptr, exe, sizeof exe));
    std::string folder(exe);
    folder.erase(folder.find_last_of('\\') + 1);

    AppModule = GetModuleHandleA(nullptr);
    char path[MAX_PATH];
    ModulePath(AppModule, path, "data\\keymap", sizeof path);
    EXPECT_EQ(folder + "data\\keymap", path);
    ModulePath(AppModule, path, nullptr, sizeof path);
    EXPECT_EQ(folder, path);
    ASSERT_EQ('\\', path[strlen(path) - 1]);

    // A buffer too small gives an empty path, never a cut one.
    char small[8] = "junk";
    ModulePath(AppModule, small, "data\\vorn.ini", sizeof small);
    EXPECT_STREQ("", small);
}

TEST(FileioWinMemory, BlocksAreZeroedAndGrowZeroed) {
    unsigned char* p = (unsigned char*)MemAlloc(64);
    ASSERT_NE(nullptr, p);
    for (int i = 0; i < 64; i++) ASSERT_EQ(0, p[i]);
    memset(p, 0xAB, 64);
    unsigned char* q = (unsigned char*)MemRealloc(p, 4096);
    ASSERT_NE(nullptr, q);
    for (int i = 0; i < 64; i++) ASSERT_EQ(0xAB, q[i]);
    for (int i = 64; i < 4096; i++) ASSERT_EQ(0, q[i]) << i;
    MemFree(q);
    MemFree(nullptr);

    char* s = MemDupString(
        "\x95\x5c"
        "abc");
    ASSERT_NE(nullptr, s);
    EXPECT_STREQ(
        "\x95\x5c"
        "abc",
        s);
    MemFree(s);
    EXPECT_EQ(nullptr, MemDupString(nullptr));
}

}  // namespace
