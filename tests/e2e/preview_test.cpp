// preview_test.cpp - the preview window end to end: Right on a file of the
// folder list shows its text (Shift-JIS and UTF-16 alike) or its picture (a
// bitmap, the stand-in plug-in's format, and JPEG and PNG through the shipped
// plug-ins); Left and Esc hide it and give the list the focus back, Enter
// takes the file into the box, and Alt+F4 only hides it: vorn keeps running
// and still saves its History when it ends.
#include "tests/e2e/harness.h"
#include "tests/e2e/listread.h"
#include "tests/e2e/observe.h"

#include <stdlib.h>

#include <string>
#include <vector>

namespace {

const char kJapanese[] = "日本語のテキスト\r\nプレビューの表示\r\n表・ソ・能\r\n";

// A small JPEG (200 x 100, red) and PNG (100 x 200, green).
const char kRedJpeg[] =
    "\xff\xd8\xff\xe0\x00\x10\x4a\x46\x49\x46\x00\x01\x01\x00\x00\x01\x00\x01\x00\x00\xff\xdb\x00\x43"
    "\x00\x02\x01\x01\x01\x01\x01\x02\x01\x01\x01\x02\x02\x02\x02\x02\x04\x03\x02\x02\x02\x02\x05\x04"
    "\x04\x03\x04\x06\x05\x06\x06\x06\x05\x06\x06\x06\x07\x09\x08\x06\x07\x09\x07\x06\x06\x08\x0b\x08"
    "\x09\x0a\x0a\x0a\x0a\x0a\x06\x08\x0b\x0c\x0b\x0a\x0c\x09\x0a\x0a\x0a\xff\xdb\x00\x43\x01\x02\x02"
    "\x02\x02\x02\x02\x05\x03\x03\x05\x0a\x07\x06\x07\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a"
    "\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a"
    "\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\x0a\xff\xc0\x00\x11\x08\x00\x64\x00\xc8\x03"
    "\x01\x11\x00\x02\x11\x01\x03\x11\x01\xff\xc4\x00\x15\x00\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x08\xff\xc4\x00\x14\x10\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\xff\xc4\x00\x16\x01\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x08\x09\xff\xc4\x00\x14\x11\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\xff\xda\x00\x0c\x03\x01\x00\x02\x11\x03\x11\x00\x3f\x00\x8b\xd2\x9b\x7f\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00\x00"
    "\x00\x1f\xff\xd9";
const char kGreenPng[] =
    "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x64\x00\x00\x00\xc8"
    "\x01\x03\x00\x00\x00\x24\xf2\xd6\x82\x00\x00\x00\x03\x50\x4c\x54\x45\x00\xff\x00\x34\x5e\xc0\xa8"
    "\x00\x00\x00\x19\x49\x44\x41\x54\x48\xc7\xed\xc1\x01\x0d\x00\x00\x00\xc2\xa0\xf7\x4f\x6d\x0f\x07"
    "\x14\x00\x00\xfc\x1a\x0a\xf0\x00\x01\xc4\x15\xf4\xd0\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60"
    "\x82";

std::string Utf16Le(const char* ansi) {
    int n = MultiByteToWideChar(932, 0, ansi, -1, nullptr, 0);
    std::vector<wchar_t> wide(n > 0 ? n : 1);
    MultiByteToWideChar(932, 0, ansi, -1, wide.data(), n);
    std::string bytes = "\xff\xfe";
    for (int i = 0; i + 1 < n; i++) {
        bytes += (char)(wide[i] & 0xFF);
        bytes += (char)(wide[i] >> 8);
    }
    return bytes;
}

// A 24-bit bitmap file of w x h pixels of one colour.
std::string SolidBmp(int w, int h, BYTE r, BYTE g, BYTE b) {
    int row = (w * 3 + 3) / 4 * 4;
    std::string f(54 + row * h, '\0');
    auto put32 = [&](size_t at, uint32_t v) {
        for (int i = 0; i < 4; i++) f[at + i] = (char)(v >> (8 * i));
    };
    f[0] = 'B', f[1] = 'M';
    put32(2, (uint32_t)f.size());
    put32(10, 54);
    put32(14, 40);
    put32(18, (uint32_t)w);
    put32(22, (uint32_t)h);
    f[26] = 1;
    f[28] = 24;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            size_t at = 54 + (size_t)y * row + x * 3;
            f[at] = (char)b, f[at + 1] = (char)g, f[at + 2] = (char)r;
        }
    return f;
}

bool Near(COLORREF c, BYTE r, BYTE g, BYTE b) {
    return c != CLR_INVALID && abs(GetRValue(c) - r) < 24 && abs(GetGValue(c) - g) < 24 &&
           abs(GetBValue(c) - b) < 24;
}

std::string Hex(COLORREF c) {
    char buf[16];
    snprintf(buf, sizeof buf, "%06lx", (unsigned long)c);
    return buf;
}

}  // namespace

struct PreviewE2E : public RunTest {
    VornProcess vorn;
    std::string files;  // the folder the previewed files are in

    void TearDown() override {
        DWORD code = 0;
        if (vorn.Alive()) vorn.Close(E2E_EXIT_MS, &code);
        vorn.Kill();
        RunTest::TearDown();
    }

    // Settings, the files, vorn started with the focus in its box.
    ::testing::AssertionResult Start(void) {
        files = Path("files");
        if (!CreateDirectoryA(files.c_str(), nullptr)) return ::testing::AssertionFailure() << "no folder";
        bool ok = WriteFileBytes((files + "\\plain.txt").c_str(), "first line\r\nsecond line\r\n") &&
                  WriteFileBytes((files + "\\sjis.txt").c_str(), kJapanese) &&
                  WriteFileBytes((files + "\\utf16.txt").c_str(), Utf16Le(kJapanese)) &&
                  WriteFileBytes((files + "\\red.bmp").c_str(), SolidBmp(250, 100, 255, 0, 0)) &&
                  WriteFileBytes((files + "\\pic.vsp").c_str(),
                                 std::string("VSPI\x00\x00\xff", 7) + std::string(16, '\0')) &&
                  WriteFileBytes((files + "\\photo.jpg").c_str(),
                                 std::string(kRedJpeg, sizeof kRedJpeg - 1)) &&
                  WriteFileBytes((files + "\\shot.png").c_str(),
                                 std::string(kGreenPng, sizeof kGreenPng - 1));
        if (!ok) return ::testing::AssertionFailure() << "the test files were not written";
        ::testing::AssertionResult step =
            WriteIniWith({"common.tray=0", "common.exemode=1", "path.typoctr=0", "edit.w=900"});
        if (!step) return step;
        return StartAndWaitFocus(&vorn, "");
    }

    HWND PreviewWindow(void) const { return FindWindowOf(vorn.Pid(), PREVIEW_CLASS); }

    // Types the path of the files folder and the start of name, enters the
    // folder list (which then holds name alone) and presses Right; the list
    // window, once the preview is on show (else null).
    HWND PreviewOf(const char* name, HWND* list) {
        std::string typed = files + "\\" + std::string(name).substr(0, 4);
        *list = nullptr;
        if (!TypeText(typed.c_str())) return nullptr;
        bool listed = WaitFor([&] {
            if (vorn.EditText() != typed) return false;
            HWND shown = ShownListView(vorn.Pid());
            std::vector<std::string> rows = shown ? ListRowTexts(shown) : std::vector<std::string>();
            if (rows.size() != 1 || rows[0] != name) return false;
            *list = shown;
            return true;
        });
        if (!listed) {
            ADD_FAILURE() << "the folder list does not hold " << name << " alone; box \""
                          << vorn.EditText() << "\"";
            return nullptr;
        }
        if (!PressKey(VK_DOWN) || !SettledFocus(*list)) {
            ADD_FAILURE() << "Down did not enter the list";
            return nullptr;
        }
        if (!PressKey(VK_RIGHT)) return nullptr;
        HWND preview = nullptr;
        WaitFor([&] {
            preview = PreviewWindow();
            return preview && HasFocus(preview);
        });
        return preview;
    }

    // Esc back into the box and empty it, for the next file.
    ::testing::AssertionResult BackToAnEmptyBox(HWND list) {
        if (!PressEscape() || !WaitFor([&] { return !IsWindowVisible(list); }))
            return ::testing::AssertionFailure() << "Esc did not close the list";
        for (int i = 0; i < 3 && !vorn.EditText().empty(); i++) {
            std::string text = vorn.EditText();
            for (size_t k = 0; k < text.size(); k++) PressKey(VK_BACK);
            WaitFor([&] { return vorn.EditText().empty(); });
        }
        if (!vorn.EditText().empty()) return ::testing::AssertionFailure() << "the box keeps text";
        return ::testing::AssertionSuccess();
    }
};

TEST_F(PreviewE2E, RightShowsTheTextBesideTheListAndLeftOrEscGiveTheListTheFocus) {
    ASSERT_TRUE(Start());
    HWND list = nullptr;
    HWND preview = PreviewOf("plain.txt", &list);
    ASSERT_NE(preview, nullptr) << "no preview";
    HWND text = GetDlgItem(preview, 1100);
    EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(text); }));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(preview, 1101)));
    EXPECT_EQ(WindowText(text), "first line\r\nsecond line\r\n");
    RECT lr, pr;
    GetWindowRect(list, &lr);
    GetWindowRect(preview, &pr);
    EXPECT_EQ(pr.left, lr.right);
    EXPECT_EQ(pr.top, lr.top);
    EXPECT_EQ(pr.right - pr.left, 250);
    EXPECT_EQ(pr.bottom - pr.top, 250);
    // It stays against the list: a move from elsewhere (as a window manager's
    // late report of an earlier place would make) leaves it where it is.
    SetWindowPos(preview, nullptr, 0, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    RECT after;
    GetWindowRect(preview, &after);
    EXPECT_EQ(after.left, pr.left);
    EXPECT_EQ(after.top, pr.top);

    ASSERT_TRUE(PressKey(VK_LEFT));
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(preview); })) << "Left did not hide it";
    EXPECT_TRUE(SettledFocus(list)) << "the list has no focus";

    ASSERT_TRUE(PressKey(VK_RIGHT));
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(preview) && HasFocus(preview); }));
    ASSERT_TRUE(PressEscape());
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(preview); })) << "Esc did not hide it";
    EXPECT_TRUE(WaitFor([&] { return HasFocus(list); })) << "the list has no focus";
    EXPECT_TRUE(IsWindowVisible(list));
}

TEST_F(PreviewE2E, ShiftJisAndUtf16TextAreShownInCodePage932) {
    ASSERT_TRUE(Start());
    for (const char* name : {"sjis.txt", "utf16.txt"}) {
        SCOPED_TRACE(name);
        HWND list = nullptr;
        HWND preview = PreviewOf(name, &list);
        ASSERT_NE(preview, nullptr) << "no preview";
        EXPECT_EQ(WindowText(GetDlgItem(preview, 1100)), kJapanese);
        // A screenshot may be taken here: the run waits (bounded) for it.
        const char* flag = getenv("VORN_PREVIEW_SHOT");
        if (flag && *flag && std::string(name) == "sjis.txt") {
            WriteFileBytes(flag, "shown");
            std::string done = std::string(flag) + ".done";
            WaitFor([&] { return PathExists(done); }, 20000);
        }
        ASSERT_TRUE(PressKey(VK_LEFT));
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(preview) && HasFocus(list); }));
        ASSERT_TRUE(BackToAnEmptyBox(list));
    }
}

TEST_F(PreviewE2E, EnterPutsThePreviewedPathIntoTheBox) {
    ASSERT_TRUE(Start());
    HWND list = nullptr;
    HWND preview = PreviewOf("plain.txt", &list);
    ASSERT_NE(preview, nullptr) << "no preview";
    ASSERT_TRUE(PressKey(VK_RETURN));
    EXPECT_TRUE(WaitFor([&] { return vorn.EditText() == files + "\\plain.txt"; }))
        << "box \"" << vorn.EditText() << "\"";
    EXPECT_TRUE(WaitFor([&] { return !IsWindowVisible(preview); }));
    EXPECT_TRUE(WaitFor([&] { return VisibleListViews(vorn.Pid()).empty(); }));
    EXPECT_TRUE(WaitFor([&] { return vorn.BoxFocused(); }));
}

TEST_F(PreviewE2E, ABitmapAndTheStandInPluginsFormatShowPictures) {
    ASSERT_TRUE(Start());
    ASSERT_FALSE(CopyTool("standin.spi", "spi", "ifmag.spi").empty())
        << "standin.spi must be built beside the tests";
    struct {
        const char* name;
        int x, y;  // a point inside the picture (picture view coordinates)
        BYTE r, g, b;
    } cases[] = {
        {"red.bmp", 125, 125, 255, 0, 0},  // 250 x 100 drawn at (0, 75)
        {"pic.vsp", 125, 125, 0, 0, 255},  // 40 x 40 drawn at (105, 105)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND list = nullptr;
        HWND preview = PreviewOf(c.name, &list);
        ASSERT_NE(preview, nullptr) << "no preview";
        HWND picture = GetDlgItem(preview, 1101);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(picture); }));
        EXPECT_FALSE(IsWindowVisible(GetDlgItem(preview, 1100)));
        EXPECT_TRUE(WaitFor([&] { return Near(WindowPixel(picture, c.x, c.y), c.r, c.g, c.b); }))
            << Hex(WindowPixel(picture, c.x, c.y)) << " shown " << IsWindowVisible(preview)
            << " focused " << HasFocus(preview);
        EXPECT_TRUE(Near(WindowPixel(picture, 10, 10), 255, 255, 255))
            << Hex(WindowPixel(picture, 10, 10));
        ASSERT_TRUE(PressKey(VK_LEFT));
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(preview) && HasFocus(list); }));
        ASSERT_TRUE(BackToAnEmptyBox(list));
    }
}

TEST_F(PreviewE2E, JpegAndPngShowThroughTheShippedPlugins) {
    if (!PathExists(BesideTests("spi\\ifjpeg.spi"))) GTEST_SKIP() << "spi\\ifjpeg.spi is not built";
    ASSERT_TRUE(Start());
    for (const char* plugin : {"ifjpeg.spi", "ifgif.spi", "ifxld4.spi"})
        ASSERT_FALSE(CopyTool((std::string("spi\\") + plugin).c_str(), "spi", plugin).empty())
            << plugin;
    struct {
        const char* name;
        int x, y;
        BYTE r, g, b;
    } cases[] = {
        {"photo.jpg", 125, 125, 255, 0, 0},  // 200 x 100 drawn at (25, 75)
        {"shot.png", 125, 125, 0, 255, 0},   // 100 x 200 drawn at (75, 25)
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        HWND list = nullptr;
        HWND preview = PreviewOf(c.name, &list);
        ASSERT_NE(preview, nullptr) << "no preview";
        HWND picture = GetDlgItem(preview, 1101);
        EXPECT_TRUE(WaitFor([&] { return IsWindowVisible(picture); }));
        EXPECT_TRUE(WaitFor([&] { return Near(WindowPixel(picture, c.x, c.y), c.r, c.g, c.b); }))
            << Hex(WindowPixel(picture, c.x, c.y));
        EXPECT_TRUE(Near(WindowPixel(picture, 10, 10), 255, 255, 255))
            << Hex(WindowPixel(picture, 10, 10));
        ASSERT_TRUE(PressKey(VK_LEFT));
        ASSERT_TRUE(WaitFor([&] { return !IsWindowVisible(preview) && HasFocus(list); }));
        ASSERT_TRUE(BackToAnEmptyBox(list));
    }
}

TEST_F(PreviewE2E, AltF4OnlyHidesThePreviewAndVornStillSavesItsHistory) {
    RecordFile records(Path("record.txt"));  // before vorn starts: it inherits it
    ASSERT_TRUE(Start());
    HWND list = nullptr;
    HWND preview = PreviewOf("plain.txt", &list);
    ASSERT_NE(preview, nullptr) << "no preview";
    ASSERT_TRUE(PressKeyUntil(VK_F4, KEY_ALT, [&] { return !IsWindowVisible(preview); }))
        << "Alt+F4 did not hide the preview";
    DWORD code = 0;
    EXPECT_FALSE(vorn.WaitExit(500, &code)) << "vorn ended with the preview";
    EXPECT_TRUE(IsWindow(preview));
    EXPECT_TRUE(WaitFor([&] { return HasFocus(list); }));

    // vorn still works, and its ordered shutdown writes the History.
    std::string program = CopyTool("recorder.exe", "bin", "rec.exe");
    ASSERT_FALSE(program.empty());
    ASSERT_TRUE(HandText(&vorn, program));
    ASSERT_TRUE(PressKey(VK_RETURN));
    ASSERT_TRUE(records.WaitCount(1)) << "the program did not start";
    ASSERT_TRUE(vorn.Close(E2E_EXIT_MS, &code));
    EXPECT_NE(ReadDataFile(folder, "vorn_h.dat").find(program), std::string::npos)
        << ReadDataFile(folder, "vorn_h.dat");
}
