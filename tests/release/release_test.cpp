// release_test.cpp - the release archive as a user meets it: unpacked into an
// empty folder (by the CTest fixture "release"), vorn.exe starts from there,
// makes its data folder, narrows a list by romaji with the shipped Migemo
// parts, previews a JPEG through the shipped plug-in, and Optbox opens its
// settings. The folder comes in VORN_RELEASE_DIR.
#include "tests/e2e/harness.h"
#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"

#include "tests/spi_jpeg_samples.h"

#include <stdlib.h>
#include <string>
#include <vector>

// The test's own fresh folder stays the place for its files; vorn runs from
// the unpacked release, with no data folder at the start of each test.
struct ReleaseE2E : public VornTest {
    std::string release, work;
    VornProcess vorn;

    void SetUp() override {
        VornTest::SetUp();
        work = folder;
        ASSERT_TRUE(UseReleaseFolder(&release, folder, sizeof folder));
    }
    void TearDown() override {
        DWORD code = 0;
        if (vorn.Alive()) vorn.Close(E2E_EXIT_MS, &code);
        vorn.Kill();
        RemoveFolderTree((release + "\\data").c_str());
        snprintf(folder, sizeof folder, "%s", work.c_str());
        VornTest::TearDown();
    }
};

TEST_F(ReleaseE2E, TheArchiveHoldsWhatAUserNeedsAndNoDataFolder) {
    for (const char* f : {"vorn.exe", "Optbox.exe", "tools.exe", "spi\\ifjpeg.spi", "spi\\ifgif.spi",
                          "spi\\ifxld4.spi", "migemo.dll", "BREGEXP.DLL", "dict\\migemo-dict", "dict\\roma2hira.dat",
                          "licenses\\Oniguruma.txt", "licenses\\C-Migemo.txt", "licenses\\stb.txt",
                          "licenses\\SKK-JISYO.txt", "licenses\\GPL-2.txt"})
        EXPECT_TRUE(PathExists(release + "\\" + f)) << f;
    std::string guide;
    ASSERT_TRUE(ReadFileBytes((release + "\\お読みください.txt").c_str(), &guide));
    EXPECT_NE(guide.find("インストール\r\n"), std::string::npos) << "code page 932 with CR LF";
    EXPECT_NE(guide.find("アンインストール"), std::string::npos);
    EXPECT_EQ(guide.find("\n\n"), std::string::npos) << "a bare LF";
}

namespace {

// A string of the version resource of file ("" without one).
std::string VersionString(const std::string& file, const char* name) {
    DWORD ignored = 0;
    DWORD size = GetFileVersionInfoSizeA(file.c_str(), &ignored);
    if (!size) return "";
    std::string block(size, '\0');
    if (!GetFileVersionInfoA(file.c_str(), 0, size, &block[0])) return "";
    char* value = nullptr;
    UINT len = 0;
    std::string key = std::string("\\StringFileInfo\\041103a4\\") + name;
    if (!VerQueryValueA(&block[0], key.c_str(), (void**)&value, &len) || !value) return "";
    return value;
}

}  // namespace

TEST_F(ReleaseE2E, EveryProgramCarriesVersion064) {
    for (const char* exe : {"vorn.exe", "Optbox.exe", "tools.exe"}) {
        EXPECT_EQ(VersionString(release + "\\" + exe, "ProductVersion"), "0.64") << exe;
        EXPECT_EQ(VersionString(release + "\\" + exe, "FileVersion"), "0.64") << exe;
        EXPECT_EQ(VersionString(release + "\\" + exe, "ProductName"), "vorn") << exe;
    }
}

TEST_F(ReleaseE2E, TheFirstStartMakesTheDataFolderBesideTheProgram) {
    ASSERT_FALSE(PathExists(release + "\\data"));
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    EXPECT_TRUE(WaitFor([&] { return PathExists(release + "\\data\\vorn.ini"); }));
    DWORD code = 0;
    EXPECT_TRUE(vorn.Close(E2E_EXIT_MS, &code));
    EXPECT_NE(ReadDataFile(folder, "vorn.ini").find("[common]"), std::string::npos);
}

TEST_F(ReleaseE2E, RomajiNarrowsAFolderThroughTheShippedMigemo) {
    std::string dir = work + "\\ja";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    for (const char* n : {"検索.txt", "研究.txt", "kensaku.txt", "会議.doc"})
        ASSERT_TRUE(WriteFileBytes((dir + "\\" + n).c_str(), ""));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "common.migemo=1", "path.typoctr=0", "edit.w=900"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    auto rows = [&] {
        HWND list = ShownListView(vorn.Pid());
        return list ? Sorted(ListRowTexts(list)) : std::vector<std::string>{};
    };
    std::string typed = dir + "\\";
    ASSERT_TRUE(TypeText(typed.c_str()));
    ASSERT_TRUE(WaitFor([&] { return vorn.EditText() == typed && rows().size() == 4; })) << Joined(rows());
    ASSERT_TRUE(TypeText("kensaku"));
    EXPECT_TRUE(WaitFor([&] { return rows() == Sorted({"検索.txt", "kensaku.txt"}); }))
        << Joined(rows()) << ", box \"" << vorn.EditText() << "\"";
    EXPECT_EQ(nullptr, FindMessageBoxOf(vorn.Pid()));
}

namespace {

// The colour of the screen at the centre of window.
COLORREF CentrePixel(HWND window) {
    RECT rc;
    if (!GetWindowRect(window, &rc)) return CLR_INVALID;
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return c;
}

}  // namespace

TEST_F(ReleaseE2E, AJpegIsPreviewedThroughTheShippedPlugin) {
    std::string dir = work + "\\pics";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    ASSERT_TRUE(WriteFileBytes((dir + "\\photo.jpg").c_str(),
                               std::string((const char*)JpegBaseline, sizeof JpegBaseline)));
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "edit.w=900"}));
    ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
    std::string typed = dir + "\\";
    ASSERT_TRUE(TypeText(typed.c_str()));
    HWND list = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        list = ShownListView(vorn.Pid());
        return vorn.EditText() == typed && list && ListRowCount(list) == 1;
    })) << "box \"" << vorn.EditText() << "\"";
    ASSERT_TRUE(PressKey(VK_DOWN));
    // The list must keep the focus a moment: a late focus change of the window
    // manager would take the activation from the preview, which then hides.
    DWORD since = 0;
    ASSERT_TRUE(WaitFor([&] {
        if (!HasFocus(list)) return (since = 0), false;
        if (!since) since = GetTickCount();
        return GetTickCount() - since >= E2E_SETTLE_MS;
    }));
    ASSERT_TRUE(PressKey(VK_RIGHT));
    HWND preview = nullptr, picture = nullptr;
    ASSERT_TRUE(WaitFor([&] {
        preview = FindWindowOf(vorn.Pid(), "vorn_prevwnd");
        picture = preview ? GetDlgItem(preview, 1101) : nullptr;
        return picture && IsWindowVisible(preview) && IsWindowVisible(picture);
    })) << "no picture preview";
    // The top half of the picture is red, the bottom half blue: the centre row
    // is one of the two, never the white of an empty view.
    EXPECT_TRUE(WaitFor([&] {
        COLORREF c = CentrePixel(picture);
        return c != CLR_INVALID && (GetRValue(c) > 200 || GetBValue(c) > 200) && GetGValue(c) < 60;
    })) << std::hex << CentrePixel(picture);
}

TEST_F(ReleaseE2E, OptboxOpensItsSettingsFromTheReleaseFolder) {
    ASSERT_TRUE(StartAndWaitBox(&vorn, ""));
    ASSERT_TRUE(WaitFor([&] { return PathExists(release + "\\data\\vorn.ini"); }));
    STARTUPINFOA si;
    ZeroMemory(&si, sizeof si);
    si.cb = sizeof si;
    PROCESS_INFORMATION pi = {};
    std::string exe = release + "\\Optbox.exe";
    std::string cmd = "\"" + exe + "\" /s";
    ASSERT_TRUE(CreateProcessA(exe.c_str(), &cmd[0], nullptr, nullptr, FALSE, 0, nullptr, release.c_str(), &si, &pi));
    HWND dialog = nullptr;
    EXPECT_TRUE(WaitFor([&] {
        dialog = FindWindowA("#32770", "vornの設定");
        return dialog && IsWindowVisible(dialog) && WindowProcessId(dialog) == pi.dwProcessId;
    }, E2E_START_MS)) << "no settings dialog";
    if (dialog) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(pi.hProcess, E2E_EXIT_MS) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 2);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (const char* f : {"vorn_d.dat", "vorn_f.dat", "vorn_e.dat"})
        EXPECT_TRUE(PathExists(release + "\\data\\" + f)) << f << " made by Optbox's first run";
}
