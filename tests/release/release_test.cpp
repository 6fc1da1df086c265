// release_test.cpp - the release archive as a user meets it: unpacked into an
// empty folder (by the CTest fixture "release"), vorn.exe starts from there,
// makes its data folder, narrows a list by romaji with the shipped Migemo
// parts, previews pictures through the shipped plug-ins, and Optbox opens its
// settings. The folder comes in VORN_RELEASE_DIR.
#include "tests/e2e/harness.h"
#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"

#include "tests/spi_jpeg_samples.h"
#include "tests/spi_samples.h"

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
                          "licenses\\SKK-JISYO.txt", "licenses\\GPL-2.txt", "licenses\\libjpeg-turbo.txt",
                          "licenses\\libjpeg-turbo-IJG.txt", "licenses\\libpng.txt", "licenses\\zlib.txt",
                          "licenses\\giflib.txt"})
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

// The colour of the screen at a point of window's client area.
COLORREF ClientPixel(HWND window, int x, int y) {
    POINT p = {x, y};
    if (!ClientToScreen(window, &p)) return CLR_INVALID;
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, p.x, p.y);
    ReleaseDC(nullptr, screen);
    return c;
}

bool Near(COLORREF c, int r, int g, int b) {
    return c != CLR_INVALID && abs(GetRValue(c) - r) < 60 && abs(GetGValue(c) - g) < 60 &&
           abs(GetBValue(c) - b) < 60;
}

// Pixels of a w x h picture, left half red, right half blue.
spisample::Bytes Halves(int w, int h, bool indices) {
    spisample::Bytes px;
    for (int i = 0; i < w * h; i++) {
        bool left = i % w < w / 2;
        if (indices) {
            px.push_back(left ? 0 : 2);  // red and blue of the sample palette
        } else {
            px.insert(px.end(),
                      {(unsigned char)(left ? 255 : 0), 0, (unsigned char)(left ? 0 : 255)});
        }
    }
    return px;
}

std::string Str(const spisample::Bytes& b) { return std::string(b.begin(), b.end()); }

// A plain (text) PGM of w x h, its left half at level left, its right half at right.
std::string PlainPgmHalves(int w, int h, int left, int right) {
    std::string s = "P2\n# plain\n" + std::to_string(w) + " " + std::to_string(h) + "\n255\n";
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) s += std::to_string(x < w / 2 ? left : right) + (x + 1 < w ? " " : "\n");
    return s;
}

}  // namespace

// Each picture is previewed through the plug-ins of the archive. A point a quarter into the drawn
// picture and one three quarters into it (across for pictures of a left and a right half, down for
// the one of a top and a bottom half) must show the halves' colours, in their places.
TEST_F(ReleaseE2E, PicturesArePreviewedThroughTheShippedPlugins) {
    const spisample::Bytes palette = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    struct Case {
        const char* name;
        std::string bytes;
        int width, height;
        bool across;
        int first[3], second[3];  // red, green, blue
    } cases[] = {
        {"photo.jpg",
         std::string((const char*)JpegBaseline, sizeof JpegBaseline),
         16,
         16,
         false,
         {255, 0, 0},
         {0, 0, 255}},
        {"cmyk.jpg",
         std::string((const char*)JpegCmyk, sizeof JpegCmyk),
         64,
         64,
         true,
         {255, 0, 0},
         {0, 0, 255}},
        {"right-to-left.tga",
         Str(spisample::Tga(64, 64, Halves(64, 64, false), false, true)),
         64,
         64,
         true,
         {255, 0, 0},
         {0, 0, 255}},
        {"local-table.gif",
         Str(spisample::GifLocalTable(spisample::Gif(64, 64, palette, {Halves(64, 64, true)}))),
         64,
         64,
         true,
         {255, 0, 0},
         {0, 0, 255}},
        // Text to the eye, a picture to the plug-in: shown as the picture.
        {"plain.pgm", PlainPgmHalves(64, 64, 0, 128), 64, 64, true, {0, 0, 0}, {128, 128, 128}},
    };
    ASSERT_TRUE(WriteIniWith({"common.tray=0", "path.typoctr=0", "edit.w=900"}));
    std::string dir = work + "\\pics";
    ASSERT_TRUE(CreateDirectoryA(dir.c_str(), nullptr));
    for (const Case& c : cases) ASSERT_TRUE(WriteFileBytes((dir + "\\" + c.name).c_str(), c.bytes));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(StartAndWaitFocus(&vorn, ""));
        // The folder and the start of the name: the list holds that file alone.
        std::string typed = dir + "\\" + std::string(c.name).substr(0, 4);
        ASSERT_TRUE(TypeText(typed.c_str()));
        HWND list = nullptr;
        ASSERT_TRUE(WaitFor([&] {
            list = ShownListView(vorn.Pid());
            std::vector<std::string> rows = list ? ListRowTexts(list) : std::vector<std::string>();
            return vorn.EditText() == typed && rows.size() == 1 && rows[0] == c.name;
        })) << "box \""
            << vorn.EditText() << "\"";
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
            preview = FindWindowOf(vorn.Pid(), PREVIEW_CLASS);
            picture = preview ? GetDlgItem(preview, 1101) : nullptr;
            return picture && IsWindowVisible(preview) && IsWindowVisible(picture);
        })) << "no picture preview";
        // Pictures smaller than the box are drawn unscaled in its middle.
        RECT box;
        ASSERT_TRUE(GetClientRect(picture, &box));
        int x0 = (box.right - c.width) / 2, y0 = (box.bottom - c.height) / 2;
        int x1 = x0 + (c.across ? c.width / 4 : c.width / 2),
            y1 = y0 + (c.across ? c.height / 2 : c.height / 4);
        int x2 = x0 + (c.across ? 3 * c.width / 4 : c.width / 2),
            y2 = y0 + (c.across ? c.height / 2 : 3 * c.height / 4);
        EXPECT_TRUE(WaitFor([&] {
            return Near(ClientPixel(picture, x1, y1), c.first[0], c.first[1], c.first[2]) &&
                   Near(ClientPixel(picture, x2, y2), c.second[0], c.second[1], c.second[2]);
        })) << std::hex
            << ClientPixel(picture, x1, y1) << " " << ClientPixel(picture, x2, y2);
        // A screenshot may be taken here: the run waits (bounded) for it.
        const char* flag = getenv("VORN_PREVIEW_SHOT");
        if (flag && *flag) {
            std::string shown = std::string(flag) + "." + c.name;
            WriteFileBytes(shown.c_str(), "shown");
            WaitFor([&] { return PathExists(shown + ".done"); }, 20000);
        }
        DWORD code = 0;
        EXPECT_TRUE(vorn.Close(E2E_EXIT_MS, &code));
        vorn.Kill();
    }
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
        dialog = FindWindowA("#32770", OPTBOX_DIALOG_TITLE);
        return dialog && IsWindowVisible(dialog) && WindowProcessId(dialog) == pi.dwProcessId;
    }, E2E_START_MS)) << "no settings dialog";
    if (dialog) PostMessageA(dialog, WM_COMMAND, IDCANCEL, 0);
    if (WaitForSingleObject(pi.hProcess, E2E_EXIT_MS) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 2);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    for (const char* f : {"vorn_d.dat", "vorn_f.dat", "vorn_e.dat"})
        EXPECT_TRUE(PathExists(release + "\\data\\" + f)) << f << " made by Optbox's first run";
}
