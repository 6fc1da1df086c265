// Tests of the run decisions: rooting, kinds, parameters, working folders,
// plans and the after-run rule.
#include <gtest/gtest.h>

#include <string.h>

#include <string>

#include "launcher/editbox/execrules.h"
#include "common/settings.h"

namespace {

std::string Rooted(const char* path, const char* startDir) {
    char buf[EXEC_PATH_SIZE];
    if (!RootPath(path, startDir, buf, sizeof buf)) return "<fail>";
    return buf;
}

std::string Folder(const char* file) {
    char buf[EXEC_PATH_SIZE];
    if (!ProgramFolder(file, buf, sizeof buf)) {
        EXPECT_STREQ(buf, "");
        return "<none>";
    }
    return buf;
}

}  // namespace

TEST(ExecRootPath, SingleSeparatorIsPutUnderTheStartFolder) {
    EXPECT_EQ(Rooted("\\Windows", "C:"), "C:\\Windows");
    EXPECT_EQ(Rooted("/Windows/system32", "D:"), "D:/Windows/system32");
    EXPECT_EQ(Rooted("\\", "C:"), "C:\\");
    EXPECT_EQ(Rooted("\\tools", "C:\\work"), "C:\\work\\tools");
    // The start folder itself may hold double-byte names whose trail byte is 5C.
    EXPECT_EQ(Rooted("\\x", "C:\\\x95\x5C"), "C:\\\x95\x5C\\x");
}

TEST(ExecRootPath, OtherPathsAreLeftAlone) {
    EXPECT_EQ(Rooted("\\\\server\\share", "C:"), "\\\\server\\share");
    EXPECT_EQ(Rooted("\\/odd", "C:"), "\\/odd");
    EXPECT_EQ(Rooted("//server/share", "C:"), "//server/share");
    EXPECT_EQ(Rooted("D:\\data", "C:"), "D:\\data");
    EXPECT_EQ(Rooted("notes.txt", "C:"), "notes.txt");
    EXPECT_EQ(Rooted("", "C:"), "");
    // Without a start folder nothing is prefixed.
    EXPECT_EQ(Rooted("\\Windows", nullptr), "\\Windows");
    EXPECT_EQ(Rooted("\\Windows", ""), "\\Windows");
    EXPECT_FALSE(IsRootRelative(nullptr));
    EXPECT_FALSE(IsRootRelative(""));
    EXPECT_TRUE(IsRootRelative("/a"));
}

TEST(ExecRootPath, ResultThatDoesNotFitFailsInsteadOfCutting) {
    std::string start(200, 'd');
    start = "C:\\" + start;                          // 203 bytes
    std::string rest = "\\" + std::string(57, 'x');  // 58 bytes: 261 in all
    char buf[EXEC_PATH_SIZE];
    strcpy(buf, "junk");
    EXPECT_EQ(RootPath(rest.c_str(), start.c_str(), buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
    rest.pop_back();  // 260 bytes: fits exactly
    ASSERT_EQ(RootPath(rest.c_str(), start.c_str(), buf, sizeof buf), 1);
    EXPECT_EQ(strlen(buf), 260u);
    // A path that is too long by itself is not cut either.
    std::string longPath(300, 'p');
    EXPECT_EQ(RootPath(longPath.c_str(), "C:", buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "");
}

TEST(ExecKind, ProgramsAreNamedExactlyDotExe) {
    EXPECT_TRUE(EndsWithExe("C:\\a\\b.exe"));
    EXPECT_TRUE(EndsWithExe(".exe"));
    EXPECT_TRUE(EndsWithExe("\x95\x5C.exe"));
    EXPECT_FALSE(EndsWithExe("C:\\a\\b.EXE"));
    EXPECT_FALSE(EndsWithExe("C:\\a\\b.Exe"));
    EXPECT_FALSE(EndsWithExe("exe"));
    EXPECT_FALSE(EndsWithExe("b.exe.txt"));
    EXPECT_FALSE(EndsWithExe("b.exe\\"));
    EXPECT_FALSE(EndsWithExe(nullptr));

    EXPECT_EQ(KindOfPath("C:\\x.exe", false, false), EXEC_MISSING);
    EXPECT_EQ(KindOfPath("C:\\x.exe", true, true), EXEC_FOLDER);  // a folder named *.exe
    EXPECT_EQ(KindOfPath("C:\\x.exe", true, false), EXEC_PROGRAM);
    EXPECT_EQ(KindOfPath("C:\\x.EXE", true, false), EXEC_DOCUMENT);
    EXPECT_EQ(KindOfPath("C:\\x.txt", true, false), EXEC_DOCUMENT);
}

TEST(ExecParameters, QuotedPathWithOptionalPrefix) {
    char buf[EXEC_PARAM_SIZE];
    EXPECT_EQ(BuildParameters(nullptr, "C:\\a b\\c.txt", buf, sizeof buf), 14);
    EXPECT_STREQ(buf, "\"C:\\a b\\c.txt\"");
    ASSERT_GT(BuildParameters("-n -x", "C:\\c.txt", buf, sizeof buf), 0);
    EXPECT_STREQ(buf, "-n -x \"C:\\c.txt\"");
    ASSERT_GT(BuildParameters("", "C:\\c.txt", buf, sizeof buf), 0);
    EXPECT_STREQ(buf, " \"C:\\c.txt\"");

    // The longest prefix and the longest path together still fit.
    std::string prefix(260, 'p'), path(260, 'f');
    int n = BuildParameters(prefix.c_str(), path.c_str(), buf, sizeof buf);
    EXPECT_EQ(n, 260 + 1 + 262);
    EXPECT_EQ(std::string(buf), prefix + " \"" + path + "\"");

    char small[8];
    EXPECT_EQ(BuildParameters(nullptr, "abcdef", small, sizeof small), -1);
    EXPECT_STREQ(small, "");
    EXPECT_EQ(BuildParameters(nullptr, "abcde", small, sizeof small), 7);
}

TEST(ExecWorkingFolder, FolderOfTheProgram) {
    EXPECT_EQ(Folder("C:\\tools\\bin\\x.exe"), "C:\\tools\\bin");
    EXPECT_EQ(Folder("C:\\x.exe"), "C:\\");
    EXPECT_EQ(Folder("C:/x.exe"), "C:\\");
    EXPECT_EQ(Folder("\\\\srv\\share\\x.exe"), "\\\\srv\\share");
    EXPECT_EQ(Folder("sub\\x.exe"), "sub");
    // 表 is 95 5C: its trail byte is no separator.
    EXPECT_EQ(Folder("C:\\\x95\x5C\\x.exe"), "C:\\\x95\x5C");
    EXPECT_EQ(Folder("C:\\dir\\\x95\x5C.exe"), "C:\\dir");
    EXPECT_EQ(Folder("C:\\\x95\x5C.exe"), "C:\\");
    // No folder part: no working folder at all.
    EXPECT_EQ(Folder("x.exe"), "<none>");
    EXPECT_EQ(Folder("\\x.exe"), "<none>");
    EXPECT_EQ(Folder(""), "<none>");
}

TEST(ExecSamePath, CaseOfAsciiOnly) {
    EXPECT_TRUE(SamePath("C:\\Tools\\Run.BAT", "c:\\tools\\run.bat"));
    EXPECT_FALSE(SamePath("C:\\run.bat", "C:\\run.bat "));
    EXPECT_FALSE(SamePath("C:\\run", "C:\\run.bat"));
    // ア (83 41) and ャ (83 61) differ only in a trail byte that looks like a letter.
    EXPECT_FALSE(SamePath("C:\\\x83\x41.bat", "C:\\\x83\x61.bat"));
    EXPECT_TRUE(SamePath("C:\\\x83\x41.BAT", "c:\\\x83\x41.bat"));
    EXPECT_FALSE(SamePath(nullptr, "a"));
}

TEST(ExecPlanTarget, PathGoesQuotedToTheTargetProgram) {
    ExecPlan plan;
    ASSERT_EQ(PlanTargetRun("C:\\docs", "C:\\Editors\\ed.exe", nullptr, &plan), 1);
    EXPECT_STREQ(plan.file, "C:\\Editors\\ed.exe");
    EXPECT_STREQ(plan.params, "\"C:\\docs\"");
    EXPECT_STREQ(plan.workDir, "C:\\Editors");
    EXPECT_STREQ(plan.alternative, "");
    EXPECT_FALSE(plan.argPrefixUsed);

    ASSERT_EQ(PlanTargetRun("C:\\a.txt", "C:\\ed.exe", "/line:3", &plan), 1);
    EXPECT_STREQ(plan.params, "/line:3 \"C:\\a.txt\"");
    EXPECT_STREQ(plan.workDir, "C:\\");
    EXPECT_TRUE(plan.argPrefixUsed);

    // The mode without a captured program cannot start anything.
    EXPECT_EQ(PlanTargetRun("C:\\a.txt", nullptr, nullptr, &plan), 0);
    EXPECT_EQ(PlanTargetRun("C:\\a.txt", "", nullptr, &plan), 0);
}

TEST(ExecPlanFile, FoldersGetASeparatorAndTheGivenWorkingFolder) {
    ExecPlan plan;
    ASSERT_EQ(PlanFileRun("C:\\Windows", EXEC_FOLDER, nullptr, "-x", nullptr, &plan), 1);
    EXPECT_STREQ(plan.file, "C:\\Windows\\");
    EXPECT_STREQ(plan.params, "");
    EXPECT_STREQ(plan.workDir, "");
    EXPECT_STREQ(plan.alternative, "");
    EXPECT_FALSE(plan.argPrefixUsed);

    ASSERT_EQ(PlanFileRun("C:\\Windows/", EXEC_FOLDER, nullptr, nullptr, "D:\\w", &plan), 1);
    EXPECT_STREQ(plan.file, "C:\\Windows/");
    EXPECT_STREQ(plan.workDir, "D:\\w");

    // A 260-byte folder has no room for the separator: refused, not cut.
    std::string longDir = "C:\\" + std::string(257, 'd');
    EXPECT_EQ(PlanFileRun(longDir.c_str(), EXEC_FOLDER, nullptr, nullptr, nullptr, &plan), 0);
    longDir.pop_back();
    ASSERT_EQ(PlanFileRun(longDir.c_str(), EXEC_FOLDER, nullptr, nullptr, nullptr, &plan), 1);
    EXPECT_EQ(strlen(plan.file), 260u);

    EXPECT_EQ(PlanFileRun("C:\\x", EXEC_MISSING, nullptr, nullptr, nullptr, &plan), 0);
}

TEST(ExecPlanFile, ProgramsStartThemselvesInTheirFolder) {
    ExecPlan plan;
    ASSERT_EQ(PlanFileRun("C:\\Tools\\x.exe", EXEC_PROGRAM, nullptr, "-a", "D:\\", &plan), 1);
    EXPECT_STREQ(plan.file, "C:\\Tools\\x.exe");
    EXPECT_STREQ(plan.params, "");
    EXPECT_STREQ(plan.workDir, "C:\\Tools");
    EXPECT_STREQ(plan.alternative, "");
    EXPECT_FALSE(plan.argPrefixUsed);
}

TEST(ExecPlanFile, DocumentsOpenThroughTheShellInTheirProgramsFolder) {
    ExecPlan plan;
    // The association builds the command (extra arguments, DLL entries, DDE).
    ASSERT_EQ(PlanFileRun("C:\\My Docs\\a.txt", EXEC_DOCUMENT, "C:\\Windows\\notepad.exe", nullptr,
                          "D:\\ignored", &plan),
              1);
    EXPECT_TRUE(plan.shellVerb);
    EXPECT_STREQ(plan.file, "C:\\My Docs\\a.txt");
    EXPECT_STREQ(plan.params, "");
    EXPECT_STREQ(plan.workDir, "C:\\Windows");
    EXPECT_STREQ(plan.alternative, "");
    EXPECT_FALSE(plan.argPrefixUsed);

    // No associated program: the shell decides, in the document's own folder;
    // the prefix waits for a run that can take it.
    ASSERT_EQ(PlanFileRun("C:\\d\\a.zzz", EXEC_DOCUMENT, "", "-r", nullptr, &plan), 1);
    EXPECT_TRUE(plan.shellVerb);
    EXPECT_STREQ(plan.file, "C:\\d\\a.zzz");
    EXPECT_STREQ(plan.params, "");
    EXPECT_STREQ(plan.workDir, "C:\\d");
    EXPECT_STREQ(plan.alternative, "");
    EXPECT_FALSE(plan.argPrefixUsed);

    // A file that is its own handler is not handed its own path.
    ASSERT_EQ(PlanFileRun("C:\\d\\RUN.BAT", EXEC_DOCUMENT, "c:\\d\\run.bat", "-r", nullptr, &plan),
              1);
    EXPECT_TRUE(plan.shellVerb);
    EXPECT_STREQ(plan.file, "C:\\d\\RUN.BAT");
    EXPECT_STREQ(plan.params, "");
    EXPECT_FALSE(plan.argPrefixUsed);
}

TEST(ExecPlanFile, APrefixHandsTheDocumentExplicitlyToItsProgram) {
    ExecPlan plan;
    ASSERT_EQ(PlanFileRun("C:\\a.txt", EXEC_DOCUMENT, "C:\\ed\\ed.exe", "-r", nullptr, &plan), 1);
    EXPECT_FALSE(plan.shellVerb);
    EXPECT_STREQ(plan.file, "C:\\ed\\ed.exe");
    EXPECT_STREQ(plan.params, "-r \"C:\\a.txt\"");
    EXPECT_STREQ(plan.workDir, "C:\\ed");
    EXPECT_STREQ(plan.alternative, "C:\\a.txt");
    EXPECT_TRUE(plan.argPrefixUsed);
}

// The last byte of 表 (95 5C), ソ (83 5C) and 能 (94 5C) is 0x5C: a folder
// named so still needs its separator.
TEST(ExecPlanFile, FoldersEndingInATrailByte5CGetTheirSeparator) {
    struct Case {
        const char* folder;
        const char* opened;
    };
    const Case cases[] = {
        {"C:\\\x95\x5c", "C:\\\x95\x5c\\"},
        {"C:\\a\\\x83\x5c", "C:\\a\\\x83\x5c\\"},
        {"D:\\\x8b\x40\x94\x5c", "D:\\\x8b\x40\x94\x5c\\"},
        {"C:\\\x95\x5c\\", "C:\\\x95\x5c\\"},
        {"C:\\\x83\x5c/", "C:\\\x83\x5c/"},
    };
    for (const Case& c : cases) {
        ExecPlan plan;
        ASSERT_EQ(PlanFileRun(c.folder, EXEC_FOLDER, nullptr, nullptr, nullptr, &plan), 1)
            << c.folder;
        EXPECT_STREQ(plan.file, c.opened);
        EXPECT_FALSE(plan.shellVerb);
    }
}

TEST(ExecAfterRun, EveryModeAndTrayCombination) {
    const uint32_t failedHotKey1 = 1 | TRAY_HOTKEY_FAILED;
    const uint32_t failedHotKey2 = 2 | TRAY_HOTKEY_FAILED;
    struct Row {
        bool oneShot;
        int32_t exemode;
        uint32_t tray;
        AfterRunAction want;
    } rows[] = {
        {false, 0, 0, AFTER_RUN_CLOSE},
        {false, 0, 1, AFTER_RUN_CLOSE},
        {false, 0, 2, AFTER_RUN_CLOSE},
        {false, 1, 0, AFTER_RUN_KEEP},
        {false, 1, 1, AFTER_RUN_KEEP},
        {false, 1, 2, AFTER_RUN_KEEP},
        {false, 2, 0, AFTER_RUN_KEEP},
        {false, 2, 1, AFTER_RUN_HIDE_TRAY},
        {false, 2, 2, AFTER_RUN_HIDE_PLAIN},
        {false, 2, 3, AFTER_RUN_KEEP},
        {false, 2, failedHotKey1, AFTER_RUN_KEEP},
        {false, 2, failedHotKey2, AFTER_RUN_KEEP},
        {true, 1, 0, AFTER_RUN_CLOSE},
        {true, 2, 1, AFTER_RUN_CLOSE},
        {true, 2, 2, AFTER_RUN_CLOSE},
        {true, 0, 0, AFTER_RUN_CLOSE},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(DecideAfterRun(r.oneShot, r.exemode, r.tray), r.want)
            << "oneShot " << r.oneShot << " exemode " << r.exemode << " tray " << r.tray;
    }
}
