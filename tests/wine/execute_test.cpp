// In-process tests of opening paths through the shell and of the after-run
// rule. The started program is the recording stand-in "recorder.exe" built
// beside this test program: it writes its command line and working folder to
// the file named by VORN_RECORD_FILE.
#include <gtest/gtest.h>

#include <windows.h>

#include <string.h>

#include <string>

#include "launcher/editbox/execute.h"
#include "shell_windows.h"
#include "test_files.h"

namespace {

// One start of the recorder: the arguments after its program token, and its
// working folder.
struct Record {
    bool found = false;
    std::string args;
    std::string folder;
};

std::string AfterProgramToken(const std::string& commandLine) {
    size_t i = 0;
    if (!commandLine.empty() && commandLine[0] == '"') {
        size_t close = commandLine.find('"', 1);
        i = close == std::string::npos ? commandLine.size() : close + 1;
    } else {
        i = commandLine.find(' ');
        if (i == std::string::npos) i = commandLine.size();
    }
    while (i < commandLine.size() && (commandLine[i] == ' ' || commandLine[i] == '\t')) i++;
    return commandLine.substr(i);
}

// Polls the record file (the start does not wait for the program) for up to
// ms milliseconds.
Record WaitForRecord(const std::string& file, int ms = 5000) {
    Record r;
    for (int waited = 0; waited <= ms; waited += 10) {
        std::string text = ReadAll(file);
        size_t first = text.find("\r\n");
        size_t second = first == std::string::npos ? first : text.find("\r\n", first + 2);
        if (second != std::string::npos) {
            r.found = true;
            r.args = AfterProgramToken(text.substr(0, first));
            r.folder = text.substr(first + 2, second - first - 2);
            return r;
        }
        Sleep(10);
    }
    return r;
}

void SetRegString(HKEY root, const std::string& key, const char* value) {
    HKEY k;
    ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_WRITE, nullptr, &k, nullptr),
              ERROR_SUCCESS);
    RegSetValueExA(k, nullptr, 0, REG_SZ, (const BYTE*)value, (DWORD)strlen(value) + 1);
    RegCloseKey(k);
}

// A fresh folder with a copy of the recorder in "bin", a document type
// ".vorntest" handled by it, and a document in a folder with a blank.
class ExecuteRun : public ShellWindows {
   protected:
    void SetUp() override {
        ShellWindows::SetUp();
        savedApp = App;
        App.startDir = App.targetProgram = App.argPrefix = nullptr;
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        root = std::string(temp) + "vorn_exec_" + std::to_string(GetCurrentProcessId()) + "_" +
               std::to_string(GetTickCount());
        ASSERT_TRUE(CreateDirectoryA(root.c_str(), nullptr));
        bin = root + "\\bin";
        docs = root + "\\my docs";
        CreateDirectoryA(bin.c_str(), nullptr);
        CreateDirectoryA(docs.c_str(), nullptr);
        recorder = bin + "\\rec.exe";
        ASSERT_TRUE(CopyFileA((ExeFolder() + "\\recorder.exe").c_str(), recorder.c_str(), FALSE))
            << "recorder.exe must be built beside the test program";
        document = docs + "\\a.vorntest";
        WriteText(document, "hello");
        recordFile = root + "\\record.txt";
        SetEnvironmentVariableA("VORN_RECORD_FILE", recordFile.c_str());
        // Wine's classes root does not look into the user's own classes, so the
        // type is registered in the classes root itself.
        SetRegString(HKEY_CLASSES_ROOT, ".vorntest", "vorntest_file");
        std::string command = "\"" + recorder + "\" \"%1\"";
        SetRegString(HKEY_CLASSES_ROOT, "vorntest_file\\shell\\open\\command", command.c_str());
    }
    void TearDown() override {
        SetEnvironmentVariableA("VORN_RECORD_FILE", nullptr);
        RegDeleteTreeA(HKEY_CLASSES_ROOT, "vorntest_file");
        RegDeleteTreeA(HKEY_CLASSES_ROOT, ".vorntest");
        for (const std::string& f : {recordFile, document, recorder}) DeleteFileA(f.c_str());
        for (const std::string& d : {docs, bin, root}) RemoveDirectoryA(d.c_str());
        SetAppString(&App.startDir, nullptr);
        SetAppString(&App.targetProgram, nullptr);
        SetAppString(&App.argPrefix, nullptr);
        App = savedApp;
        ShellWindows::TearDown();
    }
    // The record of the last start; the file is removed for the next one (the
    // recorder may still hold it open for a moment).
    Record NextRecord(void) {
        Record r = WaitForRecord(recordFile);
        bool gone = !r.found;
        for (int i = 0; i < 300 && !gone; i++) {
            gone = DeleteFileA(recordFile.c_str()) != FALSE;
            if (!gone) Sleep(10);
        }
        EXPECT_TRUE(gone) << "record file stays";
        return r;
    }
    AppStrings savedApp;
    std::string root, bin, docs, recorder, document, recordFile;
};

TEST_F(ExecuteRun, AProgramStartsItselfInItsOwnFolder) {
    SetAppString(&App.argPrefix, "-x");
    ASSERT_EQ(Execute(recorder.c_str(), nullptr), 1);
    Record r = NextRecord();
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.args, "");
    EXPECT_STREQ(r.folder.c_str(), bin.c_str());
    // The prefix waits for a run that takes parameters.
    ASSERT_NE(App.argPrefix, nullptr);
    EXPECT_STREQ(App.argPrefix, "-x");
}

TEST_F(ExecuteRun, ADocumentGoesQuotedToItsProgramWithThePrefixOnce) {
    SetAppString(&App.argPrefix, "-p 1");
    ASSERT_EQ(Execute(document.c_str(), nullptr), 1);
    Record r = NextRecord();
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.args, "-p 1 \"" + document + "\"");
    EXPECT_STREQ(r.folder.c_str(), bin.c_str());
    EXPECT_EQ(App.argPrefix, nullptr);

    ASSERT_EQ(Execute(document.c_str(), nullptr), 1);
    r = NextRecord();
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.args, "\"" + document + "\"");
}

// A type whose open command carries more than the program and the file: the
// shell's verb builds the command, the explicit form is kept for /r=.
class ExecuteVerb : public ExecuteRun {
   protected:
    void SetUp() override {
        ExecuteRun::SetUp();
        if (HasFatalFailure()) return;
        std::string command = "\"" + recorder + "\" --flag \"%1\"";
        SetRegString(HKEY_CLASSES_ROOT, ".vornverb", "vornverb_file");
        SetRegString(HKEY_CLASSES_ROOT, "vornverb_file\\shell\\open\\command", command.c_str());
        SetRegString(HKEY_CLASSES_ROOT, ".vornlost", "vornlost_file");
        std::string lost = "\"" + bin + "\\missing.exe\" \"%1\"";
        SetRegString(HKEY_CLASSES_ROOT, "vornlost_file\\shell\\open\\command", lost.c_str());
        verbDoc = docs + "\\b.vornverb";
        lostDoc = docs + "\\c.vornlost";
        WriteText(verbDoc, "hello");
        WriteText(lostDoc, "hello");
    }
    void TearDown() override {
        for (const char* key : {"vornverb_file", ".vornverb", "vornlost_file", ".vornlost"})
            RegDeleteTreeA(HKEY_CLASSES_ROOT, key);
        DeleteFileA(verbDoc.c_str());
        DeleteFileA(lostDoc.c_str());
        ExecuteRun::TearDown();
    }
    std::string verbDoc, lostDoc;
};

TEST_F(ExecuteVerb, TheAssociationsOwnArgumentsReachTheProgram) {
    ASSERT_EQ(Execute(verbDoc.c_str(), nullptr), 1);
    Record r = NextRecord();
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.args, "--flag \"" + verbDoc + "\"");
    EXPECT_STREQ(r.folder.c_str(), bin.c_str());
}

TEST_F(ExecuteVerb, AnArgumentPrefixStillGoesExplicitlyToTheProgramOnce) {
    SetAppString(&App.argPrefix, "-p 1");
    ASSERT_EQ(Execute(verbDoc.c_str(), nullptr), 1);
    Record r = NextRecord();
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.args, "-p 1 \"" + verbDoc + "\"");
    EXPECT_EQ(App.argPrefix, nullptr);
    ASSERT_EQ(Execute(verbDoc.c_str(), nullptr), 1);
    r = NextRecord();
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.args, "--flag \"" + verbDoc + "\"");
}

TEST_F(ExecuteVerb, AnAssociationThatCannotStartIsAFailure) {
    EXPECT_EQ(Execute(lostDoc.c_str(), nullptr), 0);
    EXPECT_EQ(ExecuteText(lostDoc.c_str()), 0);
    EXPECT_FALSE(WaitForRecord(recordFile, 300).found);
}

TEST_F(ExecuteRun, TargetModeSendsAnyPathToTheCapturedProgramForOneRun) {
    SetFlags(SF_TARGET_PROGRAM);
    SetAppString(&App.targetProgram, recorder.c_str());
    SetAppString(&App.argPrefix, "/n");
    // A folder goes to the program like any path.
    ASSERT_EQ(Execute(docs.c_str(), "C:\\"), 1);
    Record r = NextRecord();
    ASSERT_TRUE(r.found);
    EXPECT_EQ(r.args, "/n \"" + docs + "\"");
    EXPECT_STREQ(r.folder.c_str(), bin.c_str());
    EXPECT_FALSE(AnyFlag(SF_TARGET_PROGRAM));
    EXPECT_EQ(App.targetProgram, nullptr);
    EXPECT_EQ(App.argPrefix, nullptr);
}

TEST_F(ExecuteRun, TargetModeWithoutACapturedProgramFailsAndEnds) {
    SetFlags(SF_TARGET_PROGRAM);
    SetAppString(&App.argPrefix, "/n");
    EXPECT_EQ(Execute(document.c_str(), nullptr), 0);
    EXPECT_FALSE(AnyFlag(SF_TARGET_PROGRAM));
    ASSERT_NE(App.argPrefix, nullptr);
    // Nothing was started: a failed start returns only after the shell gave up.
    EXPECT_FALSE(WaitForRecord(recordFile, 300).found);
}

TEST_F(ExecuteRun, ARootRelativePathIsOpenedUnderTheStartFolder) {
    ASSERT_EQ(recorder[1], ':');
    SetAppString(&App.startDir, recorder.substr(0, 2).c_str());  // the drive, "C:"
    std::string rooted = recorder.substr(2);                     // "\users\...\rec.exe"
    ASSERT_EQ(Execute(rooted.c_str(), nullptr), 1);
    Record r = NextRecord();
    ASSERT_TRUE(r.found);
    EXPECT_STREQ(r.folder.c_str(), bin.c_str());
    // Forward slashes root the same way.
    std::string slashed = rooted;
    for (char& c : slashed)
        if (c == '\\') c = '/';
    ASSERT_EQ(Execute(slashed.c_str(), nullptr), 1);
    EXPECT_TRUE(NextRecord().found);
}

TEST_F(ExecuteRun, AMissingPathFailsAndKeepsEverything) {
    SetAppString(&App.argPrefix, "-x");
    std::string missing = root + "\\nothing.vorntest";
    EXPECT_EQ(Execute(missing.c_str(), nullptr), 0);
    EXPECT_EQ(ExecuteText(missing.c_str()), 0);
    // A start folder that makes the path too long is a failure, not a cut path.
    SetAppString(&App.startDir, (root + std::string(240, 'x')).c_str());
    EXPECT_EQ(Execute("\\bin\\rec.exe", nullptr), 0);
    ASSERT_NE(App.argPrefix, nullptr);
    EXPECT_STREQ(App.argPrefix, "-x");
    // Nothing was started: a failed start returns only after the shell gave up.
    EXPECT_FALSE(WaitForRecord(recordFile, 300).found);
}

using AfterRunRule = ShellWindows;

bool CloseWasPosted(HWND mainWnd) {
    MSG msg;
    return PeekMessageA(&msg, mainWnd, WM_CLOSE, WM_CLOSE, PM_REMOVE) != FALSE;
}

TEST_F(AfterRunRule, KeepsHidesOrEndsByModeAndTray) {
    Settings.exemode = 1;
    Settings.tray = 1;
    AfterRun();
    EXPECT_TRUE(IsWindowVisible(box));
    EXPECT_FALSE(CloseWasPosted(mainWnd));

    Settings.exemode = 2;
    Settings.tray = 1 | TRAY_HOTKEY_FAILED;
    AfterRun();
    EXPECT_TRUE(IsWindowVisible(box));

    Settings.tray = 2;
    AfterRun();
    EXPECT_FALSE(IsWindowVisible(box));
    EXPECT_FALSE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
    ShowEditBox();

    Settings.tray = 1;
    AfterRun();
    EXPECT_FALSE(IsWindowVisible(box));
    EXPECT_TRUE(TrayIconPresent(mainWnd, ID_TRAY_ICON));
    EXPECT_FALSE(CloseWasPosted(mainWnd));
    ShowEditBox();

    Settings.exemode = 0;
    AfterRun();
    EXPECT_TRUE(CloseWasPosted(mainWnd));
    EXPECT_TRUE(IsWindowVisible(box));

    Settings.exemode = 2;
    SetFlags(SF_ONE_SHOT);
    AfterRun();
    EXPECT_TRUE(CloseWasPosted(mainWnd));
    EXPECT_TRUE(IsWindowVisible(box));
}

}  // namespace
