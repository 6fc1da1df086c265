// In-process tests of the data files under Windows file sharing: a file that
// another program holds open the way a virus scanner does is still read, and
// one held without any sharing is reported unreadable and is not written
// over (settings, key bindings, History). The files are those of the "data"
// folder beside the test executable; what was there before is put back.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "common/datafile.h"
#include "common/fileio.h"
#include "common/keymap.h"
#include "common/settings.h"
#include "launcher/lists/history.h"
#include "test_files.h"

namespace {

const char* const kTouched[] = {"vorn.ini",   "vorn.ini.bak",   "keymap",    "keymap.bak",
                                "vorn_h.dat", "vorn_h.dat.bak", "vorn_f.dat"};

class DataFilesWin : public ::testing::Test {
   protected:
    void SetUp() override {
        data_ = ExeFolder() + "\\data";
        madeFolder_ = CreateDirectoryA(data_.c_str(), nullptr) != 0;
        for (const char* name : kTouched) {
            std::string path = Path(name);
            bool there = GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
            saved_.push_back({name, there, there ? ReadAll(path) : std::string()});
            DeleteFileA(path.c_str());
        }
        DataFiles = DataFileRecord{};
        savedSettings_ = Settings;
    }
    void TearDown() override {
        for (HANDLE h : held_) CloseHandle(h);
        FreeHistory();
        FreeKeyBindings();
        Settings = savedSettings_;
        DataFiles = DataFileRecord{};
        for (const Saved& s : saved_) {
            std::string path = Path(s.name);
            DeleteFileA(path.c_str());
            if (s.there) WriteWholeFile(path.c_str(), s.bytes.data(), s.bytes.size());
        }
        if (madeFolder_) RemoveDirectoryA(data_.c_str());
    }
    std::string Path(const char* name) const { return data_ + "\\" + name; }
    void Put(const char* name, const std::string& bytes) {
        ASSERT_EQ(1, WriteWholeFile(Path(name).c_str(), bytes.data(), bytes.size()));
    }
    std::string Get(const char* name) const {
        if (GetFileAttributesA(Path(name).c_str()) == INVALID_FILE_ATTRIBUTES) return "<missing>";
        return ReadAll(Path(name));
    }
    // Opens the file as another program would; closed at the end of the test.
    HANDLE Hold(const char* name, DWORD access, DWORD share) {
        HANDLE h = CreateFileA(Path(name).c_str(), access, share, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        EXPECT_NE(INVALID_HANDLE_VALUE, h) << name;
        if (h != INVALID_HANDLE_VALUE) held_.push_back(h);
        return h;
    }
    void Let(HANDLE h) {
        for (size_t i = 0; i < held_.size(); i++) {
            if (held_[i] != h) continue;
            CloseHandle(h);
            held_.erase(held_.begin() + (long)i);
            return;
        }
    }
    struct Saved {
        const char* name;
        bool there;
        std::string bytes;
    };
    std::string data_;
    bool madeFolder_ = false;
    std::vector<Saved> saved_;
    std::vector<HANDLE> held_;
    SettingsRecord savedSettings_;
};

std::vector<std::string> Entries() {
    std::vector<std::string> out;
    for (int i = 0; i < HistoryStore.count; i++) out.push_back(HistoryStore.slots[i]);
    return out;
}

}  // namespace

TEST_F(DataFilesWin, FilesHeldByAScannerAreRead) {
    Put("vorn.ini", "[common]\r\nalpha=60\r\n");
    Put("vorn_h.dat", "C:\\a\r\nC:\\b\r\n");
    Put("keymap", "1\r\n3,1094\r\n---\r\n1\r\n1000,627\r\n");
    Put("vorn_f.dat", "C:\\x\r\n");
    for (const char* name : {"vorn.ini", "vorn_h.dat", "keymap", "vorn_f.dat"})
        Hold(name, GENERIC_READ, FILE_SHARE_READ);

    int status = -1;
    char* text = LoadDataFile(DF_FAVORITES, &status, nullptr);
    EXPECT_EQ(DF_READ, status);
    ASSERT_NE(nullptr, text);
    EXPECT_STREQ("C:\\x\r\n", text);
    MemFree(text);

    ASSERT_EQ(1, LoadSettings());
    EXPECT_EQ(DF_READ, DataFileLastLoad(DF_SETTINGS));
    EXPECT_EQ(60, Settings.alpha);

    Settings.size = 5;
    EXPECT_EQ(DF_READ, LoadHistory());
    EXPECT_EQ((std::vector<std::string>{"C:\\a", "C:\\b"}), Entries());

    ASSERT_EQ(1, LoadKeyBindings());
    ASSERT_EQ(1, AppBindings.count);
    EXPECT_EQ(627u, AppBindings.items[0].key);
}

TEST_F(DataFilesWin, SettingsHeldWithoutSharingAreNotWrittenOver) {
    const std::string user = "[common]\r\nalpha=60\r\n";
    Put("vorn.ini", user);
    HANDLE h = Hold("vorn.ini", GENERIC_READ, 0);
    ASSERT_EQ(1, LoadSettings());
    EXPECT_EQ(DF_UNREADABLE, DataFileLastLoad(DF_SETTINGS));
    EXPECT_EQ(100, Settings.alpha);  // the defaults, in memory only
    Let(h);
    // Released, but not read again: still not saved over.
    EXPECT_EQ(0, SaveSettings());
    EXPECT_EQ(user, Get("vorn.ini"));
    EXPECT_EQ("<missing>", Get("vorn.ini.bak"));
    // The next load reads it, completes it and keeps the old bytes.
    ASSERT_EQ(1, LoadSettings());
    EXPECT_EQ(60, Settings.alpha);
    EXPECT_EQ(user, Get("vorn.ini.bak"));
    EXPECT_NE(std::string::npos, Get("vorn.ini").find("alpha=60\r\n"));
}

TEST_F(DataFilesWin, KeymapHeldWithoutSharingIsNotWrittenOver) {
    const std::string user = "1\r\n3,1094\r\n---\r\n1\r\n1000,627\r\n";
    Put("keymap", user);
    Hold("keymap", GENERIC_READ, 0);
    ASSERT_EQ(1, LoadKeyBindings());
    EXPECT_EQ(DF_UNREADABLE, DataFileLastLoad(DF_KEYMAP));
    EXPECT_EQ(24, CommandBindings.count);
    EXPECT_EQ(0, SaveKeyBindings());
    for (HANDLE h : held_) CloseHandle(h);
    held_.clear();
    EXPECT_EQ(user, Get("keymap"));
}

TEST_F(DataFilesWin, HistoryHeldWithoutSharingIsKept) {
    const std::string old = "C:\\old1\r\nC:\\old2\r\n";
    Put("vorn_h.dat", old);
    Settings.size = 10;
    ASSERT_EQ(DF_READ, LoadHistory());
    AddToHistory("C:\\new", 0);

    // A reload while the file is held: neither the save nor the read gets
    // through, and nothing held is lost.
    HANDLE h = Hold("vorn_h.dat", GENERIC_READ, 0);
    EXPECT_EQ(DF_UNREADABLE, ReloadHistoryStore(10));
    const std::vector<std::string> three = {"C:\\new", "C:\\old1", "C:\\old2"};
    EXPECT_EQ(three, Entries());
    // Saves while it is held write nothing.
    EXPECT_EQ(0, SaveHistory());
    Let(h);
    EXPECT_EQ(old, Get("vorn_h.dat"));
    // Released: the next save reads it back in and writes everything.
    EXPECT_EQ(1, SaveHistory());
    EXPECT_EQ("C:\\new\r\nC:\\old1\r\nC:\\old2\r\n", Get("vorn_h.dat"));
}

TEST_F(DataFilesWin, HistoryUnreadableAtStartIsNotShrunkAtShutdown) {
    const std::string old = "C:\\old1\r\nC:\\old2\r\n";
    Put("vorn_h.dat", old);
    Settings.size = 10;
    HANDLE h = Hold("vorn_h.dat", GENERIC_READ, 0);
    EXPECT_EQ(DF_UNREADABLE, LoadHistory());
    EXPECT_EQ(0, HistoryStore.count);
    AddToHistory("C:\\new", 0);
    SaveAndFreeHistory();  // shutdown while it is still held
    Let(h);
    EXPECT_EQ(old, Get("vorn_h.dat"));
}
