// In-process tests of the Migemo binding with the real migemo.dll,
// BREGEXP.DLL and dictionary built beside the tests: each missing piece gives
// its own message once and leaves no library loaded, the dictionary folder
// setting, the suspension, the switch and the release, and matching.
#include <gtest/gtest.h>

#include <windows.h>
#include <stdint.h>

#include <string.h>

#include <string>
#include <vector>

#include "common/fileio.h"
#include "common/settings.h"
#include "common/strutil.h"
#include "components/bregexp/bregexp.h"
#include "launcher/migemo/migemo.h"
#include "launcher/migemo/migemopattern.h"
#include "launcher/shell/appstate.h"
#include "test_files.h"

namespace {

// Message boxes are closed as soon as they show; their texts are counted.
std::vector<std::string> g_boxes;
HHOOK g_hook;

LRESULT CALLBACK CloseBoxHook(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = (HWND)wParam;
        char cls[32] = "";
        GetClassNameA(box, cls, sizeof cls);
        if (strcmp(cls, "#32770") == 0) {
            char text[256] = "";
            GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
            g_boxes.push_back(text);
            PostMessageA(box, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

bool Loaded(const char* name) { return GetModuleHandleA(name) != nullptr; }

class MigemoBinding : public ::testing::Test {
protected:
    SettingsRecord savedSettings;
    std::string root;  // a folder of this test: components\ and dict\ below it

    void SetUp() override {
        savedSettings = Settings;
        ClearFlags(SF_MIGEMO_SUSPENDED);
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        root = std::string(temp) + "vorn_migemo_" + std::to_string(GetCurrentProcessId());
        CreateDirectoryA(root.c_str(), nullptr);
        CreateDirectoryA((root + "\\components").c_str(), nullptr);
        CreateDirectoryA((root + "\\dict").c_str(), nullptr);
        CopyString(Migemo.componentFolder, (root + "\\components\\").c_str(),
                   sizeof Migemo.componentFolder);
        CopyString(Settings.migemo_path, (root + "\\dict").c_str(), sizeof Settings.migemo_path);
        Settings.migemo = 3;
        Settings.migemomode = 0;
        Settings.inputmode = 0;
        g_boxes.clear();
        g_hook = SetWindowsHookExA(WH_CBT, CloseBoxHook, nullptr, GetCurrentThreadId());
        ASSERT_NE(nullptr, g_hook);
    }
    void TearDown() override {
        FreeMigemo();
        UnhookWindowsHookEx(g_hook);
        ClearFlags(SF_MIGEMO_SUSPENDED);
        Migemo.componentFolder[0] = '\0';
        Settings = savedSettings;
        for (const char* f : {"components\\migemo.dll", "components\\BREGEXP.DLL", "dict\\migemo-dict",
                              "dict\\roma2hira.dat", "dict\\hira2kata.dat", "dict\\han2zen.dat"})
            DeleteFileA((root + "\\" + f).c_str());
        RemoveDirectoryA((root + "\\components").c_str());
        RemoveDirectoryA((root + "\\dict").c_str());
        RemoveDirectoryA(root.c_str());
    }
    void Provide(const char* dll) {
        ASSERT_TRUE(CopyFileA((ExeFolder() + "\\" + dll).c_str(),
                              (root + "\\components\\" + dll).c_str(), FALSE))
            << dll;
    }
    void ProvideDictionary() {
        for (const char* f : {"migemo-dict", "roma2hira.dat", "hira2kata.dat", "han2zen.dat"})
            ASSERT_TRUE(CopyFileA((ExeFolder() + "\\dict\\" + f).c_str(),
                                  (root + "\\dict\\" + f).c_str(), FALSE))
                << f;
    }
    // Loads twice: the message of a failure comes once, and Migemo is off.
    void ExpectFailureOnce(const char* message) {
        EXPECT_EQ(0, LoadMigemo(nullptr));
        EXPECT_EQ(0, LoadMigemo(nullptr));
        ASSERT_EQ(1u, g_boxes.size());
        EXPECT_EQ(message, g_boxes[0]);
        EXPECT_EQ(0u, Settings.migemo & 2);
        EXPECT_FALSE(Loaded("migemo.dll"));
        EXPECT_FALSE(Loaded("BREGEXP.DLL"));
        EXPECT_FALSE(IsMigemoReady());
        EXPECT_EQ(nullptr, MigemoWideMatcher(false));
    }
};

TEST_F(MigemoBinding, MissingMigemoDll) { ExpectFailureOnce("migemo.dllがありません。"); }

TEST_F(MigemoBinding, MissingBregexpDllLeavesMigemoDllUnloaded) {
    Provide("migemo.dll");
    ExpectFailureOnce("BREGEXP.DLLがありません。");
}

TEST_F(MigemoBinding, MissingDictionaryUnloadsBoth) {
    Provide("migemo.dll");
    Provide("BREGEXP.DLL");
    ExpectFailureOnce("dict\\migemo-dictがありません。");
    // Switched on again, it loads once the dictionary is there.
    ProvideDictionary();
    EnableMigemo();
    EXPECT_EQ(1, LoadMigemo(nullptr));
    EXPECT_EQ(1u, g_boxes.size());
}

TEST_F(MigemoBinding, LoadsFromTheDictionaryFolderAndMatches) {
    Provide("migemo.dll");
    Provide("BREGEXP.DLL");
    ProvideDictionary();
    ASSERT_EQ(1, LoadMigemo(nullptr));
    EXPECT_EQ(0, LoadMigemo(nullptr));  // loaded already
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_TRUE(Loaded("migemo.dll") && Loaded("BREGEXP.DLL"));
    ASSERT_TRUE(IsMigemoReady());

    char* p = BuildMigemoPattern("kensaku", false);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0, strncmp(p, "m/((", 4)) << p;
    EXPECT_EQ(1, MigemoMatch("検索結果.txt", p));
    EXPECT_EQ(1, MigemoMatch("kensaku.txt", p));
    EXPECT_EQ(0, MigemoMatch("研究.txt", p));
    MemFree(p);
    p = BuildMigemoPattern("kensaku", true);
    ASSERT_NE(nullptr, p);
    EXPECT_EQ(0, strncmp(p, "m/^((", 5)) << p;
    EXPECT_EQ(0, MigemoMatch("全文検索.txt", p));
    MemFree(p);
    FreeMigemoRegex();
    EXPECT_EQ(nullptr, Migemo.regex);
    EXPECT_EQ(nullptr, BuildMigemoPattern("", false));

    // The matcher of a pass: a folder list with inputmode 1 anchors.
    Settings.inputmode = 1;
    const WideMatcher* w = MigemoWideMatcher(true);
    ASSERT_NE(nullptr, w);
    void* q = w->compile(w->context, "kensaku");
    ASSERT_NE(nullptr, q);
    EXPECT_EQ(0, strncmp((const char*)q, "m/^(", 4));
    EXPECT_EQ(1, w->match(w->context, q, "検索.txt", 8));
    w->release(w->context, q);
    // A term whose pattern BREGEXP.DLL cannot compile (a typed tab closes a
    // group that was never opened): the matcher cannot tell, for every item.
    q = w->compile(w->context, "a\t");
    ASSERT_NE(nullptr, q);
    EXPECT_EQ(-1, w->match(w->context, q, "検索.txt", 8));
    EXPECT_EQ(-1, w->match(w->context, q, "a\t.txt", 6));
    EXPECT_EQ(nullptr, Migemo.regex);
    w->release(w->context, q);

    FreeMigemo();
    EXPECT_FALSE(Loaded("migemo.dll") || Loaded("BREGEXP.DLL"));
    EXPECT_NE(0u, Settings.migemo & 2);  // still switched on: the next fill loads
}

TEST_F(MigemoBinding, SuspendedNeitherLoadsNorCountsAsReady) {
    SetFlags(SF_MIGEMO_SUSPENDED);
    EXPECT_EQ(0, LoadMigemo(nullptr));  // nothing there, yet no message
    EXPECT_TRUE(g_boxes.empty());
    EXPECT_NE(0u, Settings.migemo & 2);
    ClearFlags(SF_MIGEMO_SUSPENDED);
    Provide("migemo.dll");
    Provide("BREGEXP.DLL");
    ProvideDictionary();
    ASSERT_EQ(1, LoadMigemo(nullptr));
    SetFlags(SF_MIGEMO_SUSPENDED);
    EXPECT_FALSE(IsMigemoReady());
    EXPECT_EQ(nullptr, MigemoWideMatcher(true));
    ClearFlags(SF_MIGEMO_SUSPENDED);
    EXPECT_TRUE(IsMigemoReady());
}

TEST_F(MigemoBinding, SwitchAndReleaseRules) {
    Provide("migemo.dll");
    Provide("BREGEXP.DLL");
    ProvideDictionary();
    ASSERT_EQ(1, LoadMigemo(nullptr));
    Settings.migemomode = 0;
    ReleaseMigemoIfIdle();
    EXPECT_TRUE(Loaded("migemo.dll"));
    Settings.migemomode = 1;
    ReleaseMigemoIfIdle();
    EXPECT_FALSE(Loaded("migemo.dll") || Loaded("BREGEXP.DLL"));
    // The next fill loads again without a message.
    EXPECT_EQ(1, LoadMigemo(nullptr));
    EXPECT_TRUE(g_boxes.empty());

    ToggleMigemo();  // on -> off, unloaded
    EXPECT_EQ(0u, Settings.migemo & 2);
    EXPECT_FALSE(Loaded("migemo.dll"));
    EXPECT_EQ(0, LoadMigemo(nullptr));
    ToggleMigemo();  // given while off: on again
    EXPECT_NE(0u, Settings.migemo & 2);
    EXPECT_EQ(1, LoadMigemo(nullptr));
}

// The record is read as a whole pointer on both architectures.
TEST(MigemoRecord, APointerWithZeroLowBitsCountsAsAMatch) {
    BREGEXP record = {};
    EXPECT_FALSE(BregexpRecordMatched(&record));
    record.outp = (const char*)((uintptr_t)1 << (sizeof(void*) * 8 - 1));
    EXPECT_TRUE(BregexpRecordMatched(&record));
}

}  // namespace
