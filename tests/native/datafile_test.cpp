// Tests of the data-file layer (common/datafile) and of the readers that use
// it: what each load found, the refusal to save over a file that could not be
// read, the ".bak" kept before a damaged file is rewritten, line ends, and the
// History kept through failing reads.
//
// A file "held by another program" is made with the native test hook
// SetNativeReadFailure (the tests run as root, where file modes do not stop
// reads), or honestly with a folder in place of the file.
#include <gtest/gtest.h>

#include <ftw.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>
#include <vector>

#include "common/datafile.h"
#include "common/fileio.h"
#include "common/keymap.h"
#include "common/settings.h"
#include "launcher/lists/history.h"
#include "tests/expected_files.h"

namespace {

int RemoveEntry(const char* path, const struct stat*, int, struct FTW*) { return remove(path); }

typedef std::vector<std::string> Strings;

class DataFolder : public ::testing::Test {
   protected:
    void SetUp() override {
        char tmpl[] = "/tmp/vorn_datafile_XXXXXX";
        ASSERT_NE(nullptr, mkdtemp(tmpl));
        folder_ = tmpl;
        SetNativeModuleFolder(folder_.c_str());
        DataFiles = DataFileRecord{};
        ASSERT_EQ(1, EnsureDataFolder());
    }
    void TearDown() override {
        SetNativeReadFailure(nullptr);
        DataFiles = DataFileRecord{};
        FreeKeyBindings();
        FreeHistory();
        SetNativeModuleFolder("./");
        nftw(folder_.c_str(), RemoveEntry, 8, FTW_DEPTH | FTW_PHYS);
    }
    std::string Path(const char* name) const { return folder_ + "/data/" + name; }
    // The path as the program names it (what the read hook compares).
    std::string ProgramPath(int id) const {
        char path[DATA_PATH_SIZE];
        EXPECT_EQ(1, DataFilePath(id, path, sizeof path));
        return path;
    }
    void Put(const char* name, const std::string& bytes) {
        FILE* f = fopen(Path(name).c_str(), "wb");
        ASSERT_NE(nullptr, f);
        fwrite(bytes.data(), 1, bytes.size(), f);
        fclose(f);
    }
    std::string Get(const char* name) const {
        FILE* f = fopen(Path(name).c_str(), "rb");
        if (!f) return "<missing>";
        std::string s;
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) s.append(buf, n);
        fclose(f);
        return s;
    }
    void Hold(int id) { SetNativeReadFailure(ProgramPath(id).c_str()); }
    void Release() { SetNativeReadFailure(nullptr); }
    std::string folder_;
};

Strings Entries() {
    Strings out;
    for (int i = 0; i < HistoryStore.count; i++) out.push_back(HistoryStore.slots[i]);
    return out;
}

}  // namespace

// ---------------------------------------------------------------------------
// The layer

TEST_F(DataFolder, NamesAndPaths) {
    const char* names[DF_FILE_COUNT] = {"vorn.ini",   "keymap",     "vorn_d.dat",
                                        "vorn_f.dat", "vorn_h.dat", "vorn_e.dat"};
    for (int id = 0; id < DF_FILE_COUNT; id++) {
        EXPECT_STREQ(names[id], DataFileName(id));
        EXPECT_EQ(folder_ + "/data\\" + names[id], ProgramPath(id));
    }
    char path[DATA_PATH_SIZE] = "x";
    EXPECT_EQ(nullptr, DataFileName(DF_FILE_COUNT));
    EXPECT_EQ(0, DataFilePath(-1, path, sizeof path));
    EXPECT_STREQ("", path);
    // A path that does not fit is refused, never cut.
    char small[20] = "x";
    EXPECT_EQ(0, DataFilePath(DF_SETTINGS, small, sizeof small));
    EXPECT_STREQ("", small);
}

TEST_F(DataFolder, EachLoadReportsWhatItFound) {
    struct Case {
        const char* what;
        int id;
        int make;  // 0 nothing, 1 file, 2 folder in its place, 3 held file
        int status;
    } cases[] = {
        {"missing", DF_KEYMAP, 0, DF_MISSING},
        {"read", DF_FAVORITES, 1, DF_READ},
        {"folder in its place", DF_DEFAULT, 2, DF_UNREADABLE},
        {"held by another program", DF_HISTORY, 3, DF_UNREADABLE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const char* name = DataFileName(c.id);
        if (c.make == 1 || c.make == 3) Put(name, std::string("a\0b\r\n", 5));
        if (c.make == 2) {
            ASSERT_EQ(0, mkdir(Path(name).c_str(), 0777));
        }
        if (c.make == 3) Hold(c.id);
        int status = -1;
        size_t size = 0;
        char* text = LoadDataFile(c.id, &status, &size);
        EXPECT_EQ(c.status, status);
        EXPECT_EQ(c.status, DataFileLastLoad(c.id));
        EXPECT_EQ(c.status == DF_READ, text != nullptr);
        if (text) {
            EXPECT_EQ(5u, size);
            EXPECT_EQ(0, memcmp(text, "a\0b\r\n", 6));
        }
        MemFree(text);
        Release();
    }
    // A missing data folder is a missing file too.
    SetNativeModuleFolder((folder_ + "/none/").c_str());
    int status = -1;
    EXPECT_EQ(nullptr, LoadDataFile(DF_SETTINGS, &status, nullptr));
    EXPECT_EQ(DF_MISSING, status);
}

TEST_F(DataFolder, SaveRefusesOnlyAFileThatCouldNotBeRead) {
    struct Case {
        const char* what;
        bool exists;
        bool held;
        int saved;
        const char* after;
    } cases[] = {
        {"missing at load", false, false, 1, "new"},
        {"read at load", true, false, 1, "new"},
        {"unreadable at load", true, true, 0, "old"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        unlink(Path("vorn.ini").c_str());
        if (c.exists) Put("vorn.ini", "old");
        if (c.held) Hold(DF_SETTINGS);
        MemFree(LoadDataFile(DF_SETTINGS, nullptr, nullptr));
        Release();  // readable again, but not read again yet
        EXPECT_EQ(c.saved, SaveDataFile(DF_SETTINGS, "new", 3));
        EXPECT_EQ(c.after, Get("vorn.ini"));
    }
    // The refusal is per file, and ends with the next load that succeeds.
    EXPECT_EQ(1, SaveDataFile(DF_KEYMAP, "k", 1));
    MemFree(LoadDataFile(DF_SETTINGS, nullptr, nullptr));
    EXPECT_EQ(1, SaveDataFile(DF_SETTINGS, "new", 3));
    EXPECT_EQ("new", Get("vorn.ini"));
    MarkDataFileUnreadable(DF_SETTINGS);
    EXPECT_EQ(0, SaveDataFile(DF_SETTINGS, "x", 1));
}

TEST_F(DataFolder, RepairKeepsOneBackupOfTheOldBytes) {
    const std::string first("first\r\n\0\xff", 9);
    Put("keymap", first);
    // The same bytes again: nothing to keep.
    EXPECT_EQ(1, RepairDataFile(DF_KEYMAP, first.data(), first.size(), first.data(), first.size()));
    EXPECT_EQ("<missing>", Get("keymap.bak"));
    // Damaged: the old bytes are kept exactly, then the file is rewritten.
    EXPECT_EQ(1, RepairDataFile(DF_KEYMAP, "second", 6, first.data(), first.size()));
    EXPECT_EQ(first, Get("keymap.bak"));
    EXPECT_EQ("second", Get("keymap"));
    // Damaged again: the backup holds the newer old bytes (one generation).
    EXPECT_EQ(1, RepairDataFile(DF_KEYMAP, "third", 5, "second", 6));
    EXPECT_EQ("second", Get("keymap.bak"));
    EXPECT_EQ("third", Get("keymap"));
    // A backup that cannot be written stops the rewrite.
    unlink(Path("keymap.bak").c_str());
    ASSERT_EQ(0, mkdir(Path("keymap.bak").c_str(), 0777));
    EXPECT_EQ(0, RepairDataFile(DF_KEYMAP, "fourth", 6, "third", 5));
    EXPECT_EQ("third", Get("keymap"));
    // Nothing to keep when there is no file.
    EXPECT_EQ(1, KeepDataFileBackup(DF_HISTORY));
    EXPECT_EQ("<missing>", Get("vorn_h.dat.bak"));
}

// ---------------------------------------------------------------------------
// Settings

TEST_F(DataFolder, SettingsLineEndsGiveTheSameRecord) {
    // A user's file with every key but the two paths, saved three ways.
    std::string crlf = kDefaultIni;
    size_t at = crlf.find("alpha=100");
    ASSERT_NE(std::string::npos, at);
    crlf.replace(at, 9, "alpha=60");
    std::string lf, mixed;
    int line = 0;
    for (size_t i = 0; i < crlf.size(); i++) {
        if (crlf[i] == '\r') continue;
        if (crlf[i] == '\n') {
            lf += "\n";
            mixed += (line++ % 2) ? "\r\n" : "\n";
        } else {
            lf += crlf[i];
            mixed += crlf[i];
        }
    }
    std::string canonical;
    SettingsRecord first{};
    for (const std::string& text : {crlf, lf, mixed}) {
        SCOPED_TRACE(text.substr(0, 20));
        Put("vorn.ini", text);
        unlink(Path("vorn.ini.bak").c_str());
        ASSERT_EQ(1, LoadSettings());
        EXPECT_EQ(60, Settings.alpha);
        if (canonical.empty()) {
            canonical = Get("vorn.ini");
            first = Settings;
        }
        EXPECT_EQ(0, memcmp(&first, &Settings, sizeof first));
        // Rewritten (the empty paths count as missing) in canonical form, the
        // user's value kept; the old bytes are kept when they differ.
        EXPECT_EQ(canonical, Get("vorn.ini"));
        EXPECT_NE(std::string::npos, canonical.find("alpha=60\r\n"));
        EXPECT_EQ(text == canonical ? "<missing>" : text, Get("vorn.ini.bak"));
        // A second start reads the rewritten file the same.
        ASSERT_EQ(1, LoadSettings());
        EXPECT_EQ(60, Settings.alpha);
    }
}

TEST_F(DataFolder, SettingsHeldByAnotherProgramAreNeverWrittenOver) {
    Put("vorn.ini", "[common]\nalpha=60\n");
    Hold(DF_SETTINGS);
    ASSERT_EQ(1, LoadSettings());
    EXPECT_EQ(100, Settings.alpha);  // defaults in memory
    Release();
    // Neither the built-in save nor a later save writes over it.
    EXPECT_EQ(0, SaveSettings());
    EXPECT_EQ("[common]\nalpha=60\n", Get("vorn.ini"));
    EXPECT_EQ("<missing>", Get("vorn.ini.bak"));

    // A reload while it is held keeps the settings in force.
    ASSERT_EQ(1, LoadSettings());
    ASSERT_EQ(60, Settings.alpha);
    Settings.tray |= TRAY_HOTKEY_FAILED;
    Hold(DF_SETTINGS);
    EXPECT_EQ(1, ReloadSettings());
    EXPECT_EQ(60, Settings.alpha);
    EXPECT_EQ(0u, Settings.tray & TRAY_HOTKEY_FAILED);
    Release();
    EXPECT_EQ(1, ReloadSettings());
    EXPECT_EQ(60, Settings.alpha);
}

TEST_F(DataFolder, CompleteSettingsLeaveNoBackup) {
    std::string text = kDefaultIni;
    text.replace(text.find("migemo_path=\r\n"), 14, "migemo_path=C:\\d\r\n");
    text.replace(text.find("spi_path=\r\n"), 11, "spi_path=C:\\s\r\n");
    Put("vorn.ini", text);
    ASSERT_EQ(1, LoadSettings());
    EXPECT_EQ(0, SettingsIncomplete);
    EXPECT_EQ(text, Get("vorn.ini"));
    EXPECT_EQ("<missing>", Get("vorn.ini.bak"));
}

// ---------------------------------------------------------------------------
// Key bindings

TEST_F(DataFolder, KeymapWithAnOverlongFirstLineKeepsItsBindings) {
    struct Case {
        const char* what;
        std::string first;
        uint32_t key3;  // key of command 3 after the load
        bool rewritten;
    } cases[] = {
        // No count can be read: the commands fall back, the applications stay.
        {"no count", std::string(150, 'x'), 0x246, true},
        // The count stands at the start of the long line: it is read.
        {"count first", "2" + std::string(150, ' '), 1094, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        unlink(Path("keymap.bak").c_str());
        std::string text = c.first + "\r\n3,1094\r\n5,1101\r\n---\r\n2\r\n1000,627\r\n1001,628\r\n";
        Put("keymap", text);
        ASSERT_EQ(1, LoadKeyBindings());
        ASSERT_EQ(24, CommandBindings.count);
        uint32_t key3 = 0;
        for (int i = 0; i < CommandBindings.count; i++)
            if (CommandBindings.items[i].id == 3) key3 = CommandBindings.items[i].key;
        EXPECT_EQ(c.key3, key3);
        ASSERT_EQ(2, AppBindings.count);
        EXPECT_EQ(1000u, AppBindings.items[0].id);
        EXPECT_EQ(628u, AppBindings.items[1].key);
        if (c.rewritten) {
            EXPECT_EQ(text, Get("keymap.bak"));
            std::string now = Get("keymap");
            EXPECT_NE(std::string::npos, now.find("---\r\n2\r\n1000,627\r\n1001,628\r\n"));
            // The rewritten file reads back with the same bindings.
            ASSERT_EQ(1, LoadKeyBindings());
            EXPECT_EQ(2, AppBindings.count);
            EXPECT_EQ(now, Get("keymap"));
        } else {
            EXPECT_EQ(text, Get("keymap"));
            EXPECT_EQ("<missing>", Get("keymap.bak"));
        }
    }
}

TEST_F(DataFolder, KeymapHeldByAnotherProgramIsLeftAlone) {
    const std::string text = "1\r\n3,1094\r\n---\r\n1\r\n1000,627\r\n";
    Put("keymap", text);
    ASSERT_EQ(1, LoadKeyBindings());
    ASSERT_EQ(1, AppBindings.count);
    Hold(DF_KEYMAP);
    // A reload while it is held keeps the bindings held.
    ASSERT_EQ(1, LoadKeyBindings());
    EXPECT_EQ(24, CommandBindings.count);
    EXPECT_EQ(1, AppBindings.count);
    EXPECT_EQ(0, SaveKeyBindings());
    // At start-up there is nothing held: the defaults, and the file untouched.
    FreeKeyBindings();
    ASSERT_EQ(1, LoadKeyBindings());
    EXPECT_EQ(24, CommandBindings.count);
    EXPECT_EQ(0, AppBindings.count);
    EXPECT_EQ(text, Get("keymap"));
    EXPECT_EQ("<missing>", Get("keymap.bak"));
}

// ---------------------------------------------------------------------------
// History

class HistoryFile : public DataFolder {
   protected:
    void SetUp() override {
        DataFolder::SetUp();
        Settings.size = 10;
    }
};

TEST_F(HistoryFile, ReloadWithAFailingReadKeepsEntriesAndTheFile) {
    Put("vorn_h.dat", "e1\r\ne2\r\ne3\r\ne4\r\ne5\r\n");
    ASSERT_EQ(DF_READ, LoadHistory());
    AddToHistory("run", 0);
    // The reload saves, and the file, just renamed into place, is held when it
    // is read back.
    Hold(DF_HISTORY);
    EXPECT_EQ(DF_UNREADABLE, ReloadHistoryStore(10));
    const Strings six = {"run", "e1", "e2", "e3", "e4", "e5"};
    EXPECT_EQ(six, Entries());
    EXPECT_EQ("run\r\ne1\r\ne2\r\ne3\r\ne4\r\ne5\r\n", Get("vorn_h.dat"));
    // The next save, while still held, does not shrink the file.
    AddToHistory("next", 0);
    EXPECT_EQ(0, SaveHistory());
    EXPECT_EQ("run\r\ne1\r\ne2\r\ne3\r\ne4\r\ne5\r\n", Get("vorn_h.dat"));
    // Released: the file is read back in and everything is written.
    Release();
    EXPECT_EQ(1, SaveHistory());
    EXPECT_EQ("next\r\nrun\r\ne1\r\ne2\r\ne3\r\ne4\r\ne5\r\n", Get("vorn_h.dat"));
}

TEST_F(HistoryFile, NoOrderOfFailuresLosesAnEntry) {
    struct Case {
        const char* what;
        bool heldAtStart;   // the load at start-up fails
        bool saveFails;     // the write of the reload fails
        bool heldAtReload;  // the read of the reload fails
        Strings store;      // after the reload
        const char* file;   // after the reload
    } cases[] = {
        {"all well", false, false, false, {"new", "old1", "old2"}, "new\r\nold1\r\nold2\r\n"},
        {"held at start", true, false, false, {"new", "old1", "old2"}, "new\r\nold1\r\nold2\r\n"},
        {"held at start and reload", true, false, true, {"new"}, "old1\r\nold2\r\n"},
        {"write fails", false, true, false, {"new", "old1", "old2"}, "old1\r\nold2\r\n"},
        {"write and read fail", false, true, true, {"new", "old1", "old2"}, "old1\r\nold2\r\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        FreeHistory();
        DataFiles = DataFileRecord{};
        rmdir(Path("vorn_h.dat.~new").c_str());
        Put("vorn_h.dat", "old1\r\nold2\r\n");
        if (c.heldAtStart) Hold(DF_HISTORY);
        LoadHistory();
        Release();
        AddToHistory("new", 0);
        // A folder in place of the temporary file makes the write fail.
        if (c.saveFails) {
            ASSERT_EQ(0, mkdir(Path("vorn_h.dat.~new").c_str(), 0777));
        }
        if (c.heldAtReload) Hold(DF_HISTORY);
        ReloadHistoryStore(10);
        Release();
        rmdir(Path("vorn_h.dat.~new").c_str());
        EXPECT_EQ(c.store, Entries());
        EXPECT_EQ(c.file, Get("vorn_h.dat"));
        // Whatever happened, the next save keeps both the file's and the new.
        EXPECT_EQ(1, SaveHistory());
        EXPECT_EQ("new\r\nold1\r\nold2\r\n", Get("vorn_h.dat"));
    }
}

TEST_F(HistoryFile, UnreadableAtStartKeepsTheFileThroughShutdownAndClear) {
    Put("vorn_h.dat", "old\r\n");
    Hold(DF_HISTORY);
    EXPECT_EQ(DF_UNREADABLE, LoadHistory());
    EXPECT_EQ(0, HistoryStore.count);
    AddToHistory("new", 0);
    // "FreeHistory" does not truncate a file it could not read.
    EXPECT_EQ(0, ClearHistory());
    EXPECT_EQ("old\r\n", Get("vorn_h.dat"));
    AddToHistory("later", 0);
    SaveAndFreeHistory();  // shutdown while still held
    EXPECT_EQ("old\r\n", Get("vorn_h.dat"));
}

TEST_F(HistoryFile, ReloadFitsTheNewSizeNewestFirst) {
    Put("vorn_h.dat", "a\r\nb\r\nc\r\nd\r\n");
    ASSERT_EQ(DF_READ, LoadHistory());
    EXPECT_EQ(DF_READ, ReloadHistoryStore(2));
    EXPECT_EQ((Strings{"a", "b"}), Entries());
    EXPECT_EQ(2, HistoryStore.size);
    // Saved before it was cut, as a reload always did; the next save writes
    // what is held.
    EXPECT_EQ("a\r\nb\r\nc\r\nd\r\n", Get("vorn_h.dat"));
    EXPECT_EQ(DF_READ, ReloadHistoryStore(5));
    EXPECT_EQ("a\r\nb\r\n", Get("vorn_h.dat"));
    EXPECT_EQ((Strings{"a", "b"}), Entries());
    EXPECT_EQ(DF_MISSING, ReloadHistoryStore(0));
    EXPECT_EQ(0, HistoryStore.count);
}
