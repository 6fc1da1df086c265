// completion_test.cpp - the text decisions of path completion.
#include <gtest/gtest.h>

#include <string>

#include "common/strutil.h"
#include "launcher/editbox/completerules.h"

namespace {

std::string Parent(const char* text, int* kept) {
    char buf[300];
    snprintf(buf, sizeof buf, "%s", text);
    *kept = ParentFolderText(buf);
    return buf;
}

std::string Completed(const char* text, const char* name, size_t size = 300) {
    char buf[300];
    int ok = CompletedText(text, name, buf, size);
    return ok ? std::string(buf) : std::string("<none:") + buf + ">";
}

std::string Taken(const char* text, const char* name) {
    char buf[300];
    return TakenEntryText(text, name, buf, sizeof buf) ? std::string(buf) : "<none>";
}

std::string Joined(const char* folder, const char* name, size_t size = 300) {
    char buf[300];
    return JoinFolderName(folder, name, buf, size) ? std::string(buf) : "<none>";
}

}  // namespace

TEST(CompletionRules, DirectoryUpGoesToTheParentWithItsSeparator) {
    int kept = -1;
    EXPECT_EQ(Parent("C:\\foo\\bar\\", &kept), "C:\\foo\\");
    EXPECT_EQ(kept, 1);
    EXPECT_EQ(Parent("C:\\foo\\bar", &kept), "C:\\foo\\");
    EXPECT_EQ(kept, 1);
    EXPECT_EQ(Parent("C:/foo/", &kept), "C:/");
    EXPECT_EQ(kept, 1);
    EXPECT_EQ(Parent("\\\\server\\share\\", &kept), "\\\\server\\");
    EXPECT_EQ(kept, 1);
}

TEST(CompletionRules, DirectoryUpEmptiesADriveRootAndABareName) {
    int kept = -1;
    EXPECT_EQ(Parent("C:\\", &kept), "");
    EXPECT_EQ(kept, 0);
    EXPECT_EQ(Parent("C:", &kept), "");
    EXPECT_EQ(kept, 0);
    EXPECT_EQ(Parent("notepad", &kept), "");
    EXPECT_EQ(kept, 0);
    EXPECT_EQ(Parent("", &kept), "");
    EXPECT_EQ(kept, 0);
}

TEST(CompletionRules, DirectoryUpReadsATrailByteAsPartOfItsCharacter) {
    // "表" is 95 5C: its second byte is no separator.
    int kept = -1;
    EXPECT_EQ(Parent("C:\\表", &kept), "C:\\");
    EXPECT_EQ(kept, 1);
    EXPECT_EQ(Parent("C:\\a\\表\\", &kept), "C:\\a\\");
    EXPECT_EQ(Parent("C:\\表\\b", &kept), "C:\\表\\");
}

TEST(CompletionRules, CompletionReplacesTheTypedNameWithTheEntry) {
    EXPECT_EQ(Completed("C:\\Win", "Windows"), "C:\\Windows");
    EXPECT_EQ(Completed("C:\\", "Windows"), "C:\\Windows");
    EXPECT_EQ(Completed("C:\\表", "表示"), "C:\\表示");
    EXPECT_EQ(Completed("C:\\表\\x", "y"), "C:\\表\\y");
    // Shorter than two bytes: the name follows the text (drive list on "").
    EXPECT_EQ(Completed("", "D:\\"), "D:\\");
    EXPECT_EQ(Completed("\\", "tmp"), "\\tmp");
    // No separator at all: the text stays whole.
    EXPECT_EQ(Completed("ab", "c"), "abc");
}

TEST(CompletionRules, CompletionThatDoesNotFitGivesNothing) {
    // "C:\" and the name and the NUL: 3 + 5 + 1 bytes.
    EXPECT_EQ(Completed("C:\\a", "12345", 8), "<none:>");
    EXPECT_EQ(Completed("C:\\a", "12345", 9), "C:\\12345");
    std::string longName(259, 'n');
    EXPECT_EQ(Completed("C:\\x", longName.c_str(), 262), "<none:>");
    EXPECT_EQ(Completed("C:\\x", longName.c_str(), 263), "C:\\" + longName);
}

TEST(CompletionRules, TakingAnEntryKeepsTheFolderPart) {
    EXPECT_EQ(Taken("C:\\Win", "Windows"), "C:\\Windows");
    EXPECT_EQ(Taken("", "C:\\"), "C:\\");
    EXPECT_EQ(Taken("abc", "x"), "x");
    EXPECT_EQ(Taken("C:\\表", "z"), "C:\\z");
}

TEST(CompletionRules, JoiningAddsOneSeparator) {
    EXPECT_EQ(Joined("C:\\a", "b"), "C:\\a\\b");
    EXPECT_EQ(Joined("C:\\a\\", "b"), "C:\\a\\b");
    EXPECT_EQ(Joined("C:\\表", "b"), "C:\\表\\b");
    EXPECT_EQ(Joined("C:\\a", "bcd", 7), "<none>");
    EXPECT_EQ(Joined("C:\\a", "bc", 8), "C:\\a\\bc");
}

TEST(CompletionRules, BareDriveAndDriveLetters) {
    EXPECT_TRUE(IsBareDriveText("C:"));
    EXPECT_TRUE(IsBareDriveText("z:"));
    EXPECT_FALSE(IsBareDriveText("C:\\"));
    EXPECT_FALSE(IsBareDriveText("\\:"));
    EXPECT_FALSE(IsBareDriveText("C"));
    EXPECT_FALSE(IsBareDriveText(""));
    EXPECT_EQ(DriveBitOfLetter('a'), 0);
    EXPECT_EQ(DriveBitOfLetter('C'), 2);
    EXPECT_EQ(DriveBitOfLetter('z'), 25);
    EXPECT_EQ(DriveBitOfLetter('Z'), 25);
    EXPECT_EQ(DriveBitOfLetter('1'), -1);
    EXPECT_EQ(DriveBitOfLetter('['), -1);
    EXPECT_EQ(DriveBitOfLetter('@'), -1);
}

TEST(CompletionRules, TrailingSeparatorIsACharacterNotAByte) {
    EXPECT_TRUE(EndsWithSeparatorSjis("C:\\"));
    EXPECT_TRUE(EndsWithSeparatorSjis("C:/a/"));
    EXPECT_TRUE(EndsWithSeparatorSjis("C:\\表\\"));
    EXPECT_FALSE(EndsWithSeparatorSjis("C:\\表"));
    EXPECT_FALSE(EndsWithSeparatorSjis("C:\\a"));
    EXPECT_FALSE(EndsWithSeparatorSjis(""));
    // A lone lead byte at the end is one character of its own.
    EXPECT_FALSE(EndsWithSeparatorSjis("a\x95"));
}

TEST(CompletionRules, CharacterIndexCountsDoubleByteCharactersOnce) {
    EXPECT_EQ(CharIndexOfByte("C:\\a", 4), 4);
    EXPECT_EQ(CharIndexOfByte("C:\\表\\x", 5), 4);  // up to the separator after 表
    EXPECT_EQ(CharIndexOfByte("表示\\", 4), 2);
    EXPECT_EQ(CharIndexOfByte("ab", 10), 2);
    EXPECT_EQ(CharIndexOfByte("", 3), 0);
    // A lead byte without a trail byte is a character of its own.
    EXPECT_EQ(CharIndexOfByte("a\x95\"b", 4), 4);
}

TEST(CompletionRules, ByteIndexIsTheInverseOfTheCharacterIndex) {
    EXPECT_EQ(ByteIndexOfChar("C:\\表\\x", 4), 5);
    EXPECT_EQ(ByteIndexOfChar("表示\\", 2), 4);
    EXPECT_EQ(ByteIndexOfChar("表示\\", 9), 5);
    EXPECT_EQ(ByteIndexOfChar("ab", -1), 0);
    for (int b : {0, 1, 2, 4, 5, 7})
        EXPECT_EQ(ByteIndexOfChar("ab表c表", CharIndexOfByte("ab表c表", b)), b);
}

// The byte count an edit would leave, whichever unit the control counts its
// selection in.
TEST(CompletionRules, LengthAfterReplacingTheSelection) {
    struct Case {
        const char* text;
        int start, end;
        bool charUnits;
        size_t insert;
        size_t want;
    };
    const Case cases[] = {
        {"abc", 3, 3, false, 2, 5},    // caret at the end
        {"abc", 1, 2, false, 0, 2},    // one byte replaced by nothing
        {"表表x", 1, 2, true, 1, 4},   // the second 表: two bytes out, one in
        {"表表x", 2, 4, false, 1, 4},  // the same in bytes
        {"表表x", 0, 3, true, 0, 0},   // everything selected
        {"表表x", 3, 0, true, 2, 2},   // reversed ends
        {"表表x", 9, 12, true, 1, 6},  // past the end: the caret at the end
        {"表表x", -4, 1, true, 0, 3}, {"", 0, 0, true, 260, 260},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LengthAfterReplace(c.text, c.start, c.end, c.charUnits, c.insert), c.want)
            << c.text << " " << c.start << "-" << c.end;
}
