// In-process tests of the preview window: the text view and its encodings,
// keys, hiding by key, by Alt+F4 and by losing the activation, bitmaps read
// directly, pictures through the stand-in plug-in (standin.spi, built beside
// the tests) in row order, plug-ins never offered executables, and their
// unloading after a hide.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>

#include "common/keymap.h"
#include "common/settings.h"
#include "launcher/commands/commands.h"
#include "launcher/editbox/editbox_internal.h"
#include "launcher/preview/preview.h"
#include "shell_windows.h"
#include "test_files.h"

namespace {

// Pumps this thread's messages until pred holds or ms have passed.
template <typename Pred>
bool PollFor(Pred pred, DWORD ms = 3000) {
    DWORD start = GetTickCount();
    while (!pred()) {
        if (GetTickCount() - start > ms) return pred();
        PumpMessages();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
    return true;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(f, INVALID_HANDLE_VALUE) << path;
    DWORD written = 0;
    WriteFile(f, bytes.data(), (DWORD)bytes.size(), &written, nullptr);
    CloseHandle(f);
}

void Put32(std::string& b, size_t at, uint32_t v) {
    for (int i = 0; i < 4; i++) b[at + i] = (char)(v >> (8 * i));
}

// A 24-bit bitmap file of w x h pixels of one colour.
std::string SolidBmp(int w, int h, BYTE r, BYTE g, BYTE b, uint32_t headerSize = 40) {
    int row = (w * 3 + 3) / 4 * 4;
    std::string f(54 + row * h, '\0');
    f[0] = 'B', f[1] = 'M';
    Put32(f, 2, (uint32_t)f.size());
    Put32(f, 10, 54);
    Put32(f, 14, headerSize);
    Put32(f, 18, (uint32_t)w);
    Put32(f, 22, (uint32_t)h);
    f[26] = 1;
    f[28] = 24;
    for (int y = 0; y < h; y++)
        for (int x = 0; x < w; x++) {
            size_t at = 54 + (size_t)y * row + x * 3;
            f[at] = (char)b, f[at + 1] = (char)g, f[at + 2] = (char)r;
        }
    return f;
}

// A file of the stand-in plug-in's format, of one colour.
std::string StandinPicture(BYTE r, BYTE g, BYTE b) {
    std::string f = "VSPI";
    f += (char)r, f += (char)g, f += (char)b;
    f += std::string(16, '\0');  // binary: never taken for text
    return f;
}

std::string TextOf(HWND wnd) {
    char buf[8192];
    int n = GetWindowTextA(wnd, buf, sizeof buf);
    return std::string(buf, n > 0 ? n : 0);
}

COLORREF PixelOf(HWND wnd, int x, int y) {
    UpdateWindow(wnd);
    HDC dc = GetDC(wnd);
    COLORREF c = GetPixel(dc, x, y);
    ReleaseDC(wnd, dc);
    return c;
}

int StandinCalls(const std::string& file) {
    HMODULE m = GetModuleHandleA(file.c_str());
    if (!m) return -1;
    typedef int(WINAPI * CountFn)(void);
    CountFn count = (CountFn)(void*)GetProcAddress(m, "CallCount");
    return count ? count() : -1;
}

class PreviewWindow : public ShellWindows {
   protected:
    void SetUp() override {
        ShellWindows::SetUp();
        ResetSettings();
        Settings.width = 250;
        Settings.height = 250;
        Settings.rsize = 2000;
        Settings.ftsize = 14;
        Settings.bkcolor = 0xFFFFFF;
        Settings.ftcolor = 0;
        char temp[MAX_PATH];
        GetTempPathA(sizeof temp, temp);
        dir = std::string(temp) + "vorn_preview_" + std::to_string(GetCurrentProcessId());
        spi = dir + "\\plugins";
        CreateDirectoryA(dir.c_str(), nullptr);
        CreateDirectoryA(spi.c_str(), nullptr);
        snprintf(Settings.spi_path, sizeof Settings.spi_path, "%s", spi.c_str());
        anchor = {100, 100, 300, 400};
    }
    void TearDown() override {
        DestroyPreview();
        PumpMessages();
        Preview.unloadMs = PREVIEW_UNLOAD_MS;
        WIN32_FIND_DATAA fd;
        for (const std::string& d : {spi, dir}) {
            HANDLE h = FindFirstFileA((d + "\\*").c_str(), &fd);
            if (h != INVALID_HANDLE_VALUE) {
                do {
                    DeleteFileA((d + "\\" + fd.cFileName).c_str());
                } while (FindNextFileA(h, &fd));
                FindClose(h);
            }
        }
        RemoveDirectoryA(spi.c_str());
        RemoveDirectoryA(dir.c_str());
        ShellWindows::TearDown();
    }
    std::string File(const char* name, const std::string& bytes) {
        std::string path = dir + "\\" + name;
        WriteBytes(path, bytes);
        return path;
    }
    // The stand-in plug-in copied into the plug-in folder under name.
    std::string Plugin(const char* name) {
        std::string to = spi + "\\" + name;
        EXPECT_TRUE(CopyFileA((ExeFolder() + "\\standin.spi").c_str(), to.c_str(), FALSE)) << to;
        return to;
    }
    bool Shown() { return Preview.wnd && IsWindowVisible(Preview.wnd); }
    std::string dir, spi;
    RECT anchor;
};

TEST_F(PreviewWindow, TextIsShownBesideTheListAndScrolledByKeys) {
    std::string text;
    for (int i = 0; i < 60; i++) text += "line " + std::to_string(i) + "\r\n";
    std::string path = File("a.txt", text);
    ASSERT_TRUE(PreviewPath(path.c_str(), &anchor));
    ASSERT_TRUE(Shown());
    RECT r;
    GetWindowRect(Preview.wnd, &r);
    EXPECT_EQ(r.left, anchor.right);
    EXPECT_EQ(r.top, anchor.top);
    EXPECT_EQ(r.right - r.left, 250);
    EXPECT_EQ(r.bottom - r.top, 250);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(Preview.wnd, ID_PREVIEW_TEXT)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(Preview.wnd, ID_PREVIEW_PICTURE)));
    EXPECT_EQ(TextOf(Preview.textWnd), text);
    EXPECT_EQ(GetFocus(), Preview.wnd);

    auto top = [] { return (int)SendMessageA(Preview.textWnd, EM_GETFIRSTVISIBLELINE, 0, 0); };
    EXPECT_EQ(top(), 0);
    SendMessageA(Preview.wnd, WM_KEYDOWN, VK_NEXT, 0);
    int page = top();
    EXPECT_GT(page, 1);
    SendMessageA(Preview.wnd, WM_KEYDOWN, VK_DOWN, 0);
    EXPECT_EQ(top(), page + 1);
    SendMessageA(Preview.wnd, WM_KEYDOWN, VK_UP, 0);
    EXPECT_EQ(top(), page);
    SendMessageA(Preview.wnd, WM_KEYDOWN, VK_PRIOR, 0);
    EXPECT_EQ(top(), 0);
}

TEST_F(PreviewWindow, EncodingsAreShownInTheAnsiCodePage) {
    ASSERT_EQ(GetACP(), 932u) << "the tests run with code page 932";
    const std::string sjis = "\x93\xfa\x96\x7b\x8c\xea";  // 日本語
    const struct {
        const char* name;
        std::string bytes;
        uint32_t rsize;
        std::string shown;
    } cases[] = {
        {"shift-jis", sjis + "\r\n", 2000, sjis + "\r\n"},
        {"utf-16le", std::string("\xff\xfe\xe5\x65\x2c\x67\x9e\x8a", 8), 2000, sjis},
        {"utf-16be", std::string("\xfe\xff\x65\xe5\x67\x2c\x8a\x9e", 8), 2000, sjis},
        {"utf-8", "\xef\xbb\xbf\xe6\x97\xa5\xe6\x9c\xac\xe8\xaa\x9e", 2000, sjis},
        // A read limit between the two bytes of a character drops its lead byte.
        {"cut character", sjis, 5, "\x93\xfa\x96\x7b"},
        {"empty", "", 2000, ""},
        // A 0 byte after the first 1000 still makes text, cut there.
        {"late zero", std::string(1500, 'a') + std::string("\0zz", 3), 2000, std::string(1500, 'a')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Settings.rsize = c.rsize;
        std::string path = File("t.txt", c.bytes);
        ASSERT_TRUE(PreviewPath(path.c_str(), &anchor));
        EXPECT_EQ(TextOf(Preview.textWnd), c.shown);
        HidePreview();
    }
}

TEST_F(PreviewWindow, EscLeftAndAltF4HideItAndTheFocusReturns) {
    std::string path = File("a.txt", "hello");
    for (UINT how : {(UINT)VK_ESCAPE, (UINT)VK_LEFT, (UINT)WM_CLOSE}) {
        SCOPED_TRACE(how);
        ASSERT_TRUE(PreviewPath(path.c_str(), &anchor));
        ASSERT_TRUE(Shown());
        if (how == WM_CLOSE)
            SendMessageA(Preview.wnd, WM_CLOSE, 0, 0);
        else
            SendMessageA(Preview.wnd, WM_KEYDOWN, how, 0);
        EXPECT_FALSE(Shown());
        // Without a list on show the edit box takes the focus.
        EXPECT_EQ(GetFocus(), box);
    }
    // Closing never destroyed the window nor asked the program to end.
    EXPECT_TRUE(IsWindow(Preview.wnd));
    MSG msg;
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));

    HWND wnd = Preview.wnd;
    DestroyPreview();
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_EQ(Preview.wnd, nullptr);
    PumpMessages();
    EXPECT_FALSE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_NOREMOVE));
    // A later preview makes the windows again.
    EXPECT_TRUE(PreviewPath(path.c_str(), &anchor));
    EXPECT_TRUE(Shown());
}

TEST_F(PreviewWindow, LosingTheActivationHidesIt) {
    std::string path = File("a.txt", "hello");
    ASSERT_TRUE(PreviewPath(path.c_str(), &anchor));
    ASSERT_TRUE(Shown());
    SetForegroundWindow(box);
    SetActiveWindow(box);
    EXPECT_TRUE(PollFor([&] { return !Shown(); }));
    // The text view with the focus hides it as well when the focus leaves.
    ASSERT_TRUE(PreviewPath(path.c_str(), &anchor));
    SetFocus(Preview.textWnd);
    ASSERT_EQ(GetFocus(), Preview.textWnd);
    SetForegroundWindow(box);
    SetFocus(box);
    EXPECT_TRUE(PollFor([&] { return !Shown(); }));
}

TEST_F(PreviewWindow, ABitmapIsFittedAndCentredOnWhite) {
    std::string path = File("red.bmp", SolidBmp(250, 100, 255, 0, 0));
    ASSERT_TRUE(PreviewPath(path.c_str(), &anchor));
    EXPECT_EQ(Preview.source, PREVIEW_SOURCE_BITMAP);
    EXPECT_TRUE(IsWindowVisible(Preview.pictureWnd));
    EXPECT_FALSE(IsWindowVisible(Preview.textWnd));
    // 250 x 100 in 250 x 250: drawn at (0, 75).
    EXPECT_EQ(PixelOf(Preview.pictureWnd, 125, 125), RGB(255, 0, 0));
    EXPECT_EQ(PixelOf(Preview.pictureWnd, 125, 20), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(Preview.pictureWnd, 125, 74), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(Preview.pictureWnd, 125, 75), RGB(255, 0, 0));
}

TEST_F(PreviewWindow, DamagedBitmapsAreNoPreviewAndNeverReachPlugins) {
    std::string plugin = Plugin("ifjpeg.spi");
    const struct {
        const char* name;
        std::string bytes;
    } cases[] = {
        {"header 108", SolidBmp(4, 4, 1, 2, 3, 108)},
        {"cut pixels", SolidBmp(40, 40, 1, 2, 3).substr(0, 200)},
        {"no headers", std::string("BM\0\0", 4)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string path = File("bad.bmp", c.bytes);
        EXPECT_FALSE(PreviewPath(path.c_str(), &anchor));
        EXPECT_FALSE(Shown());
    }
    EXPECT_EQ(GetModuleHandleA(plugin.c_str()), nullptr) << "a .bmp went to a plug-in";
}

TEST_F(PreviewWindow, PluginsAreTriedInRowOrderAndUnloadAfterTheHide) {
    std::string gif = Plugin("ifgif.spi");
    std::string mag = Plugin("ifmag.spi");
    std::string path = File("blue.dat", StandinPicture(0, 0, 255));
    ASSERT_TRUE(PreviewPath(path.c_str(), &anchor));
    EXPECT_EQ(Preview.source, 1);  // ifgif.spi comes before ifmag.spi
    EXPECT_TRUE(IsWindowVisible(Preview.pictureWnd));
    // 40 x 40 pixels in 250 x 250 stay 40 x 40, at (105, 105).
    EXPECT_EQ(PixelOf(Preview.pictureWnd, 104, 104), RGB(255, 255, 255));
    EXPECT_EQ(PixelOf(Preview.pictureWnd, 105, 105), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(Preview.pictureWnd, 144, 144), RGB(0, 0, 255));
    EXPECT_EQ(PixelOf(Preview.pictureWnd, 145, 145), RGB(255, 255, 255));
    EXPECT_NE(GetModuleHandleA(gif.c_str()), nullptr);

    Preview.unloadMs = 100;
    HidePreview();
    EXPECT_NE(GetModuleHandleA(gif.c_str()), nullptr) << "unloaded at once";
    EXPECT_TRUE(PollFor([] { return LoadedPreviewPlugins() == 0; }));
    EXPECT_EQ(GetModuleHandleA(gif.c_str()), nullptr);
    EXPECT_EQ(Preview.backDC, nullptr);
    // Without a plug-in folder the format is no preview.
    Settings.spi_path[0] = '\0';
    EXPECT_FALSE(PreviewPath(path.c_str(), &anchor));
}

TEST_F(PreviewWindow, ExecutablesAndHelpFilesAreNeverOfferedToPlugins) {
    std::string plugin = Plugin("ifjpeg.spi");
    // The stand-in takes every "*.vsp": first one that it cannot read, so the
    // count is seen to move.
    std::string other = File("x.vsp", std::string("XX\0\0", 4));
    EXPECT_FALSE(PreviewPath(other.c_str(), &anchor));
    int calls = StandinCalls(plugin);
    ASSERT_GE(calls, 1);
    for (const char* head : {"MZ", "?_", "ITSF"}) {
        SCOPED_TRACE(head);
        std::string path = File("p.vsp", std::string(head) + std::string(8, '\0'));
        EXPECT_FALSE(PreviewPath(path.c_str(), &anchor));
        EXPECT_FALSE(Shown());
    }
    EXPECT_EQ(StandinCalls(plugin), calls);
    // The stand-in's own format still shows through it.
    std::string good = File("g.vsp", StandinPicture(0, 255, 0));
    EXPECT_TRUE(PreviewPath(good.c_str(), &anchor));
    EXPECT_EQ(Preview.source, 0);
}

TEST_F(PreviewWindow, SelectAllAndCopyActOnTheTextViewWithTheFocus) {
    std::string path = File("a.txt", "copy me");
    ASSERT_TRUE(PreviewPath(path.c_str(), &anchor));
    SetFocus(Preview.textWnd);
    ASSERT_EQ(GetFocus(), Preview.textWnd);
    RunCommand(CMD_SELECT_ALL, nullptr);
    DWORD start = 1, end = 0;
    SendMessageA(Preview.textWnd, EM_GETSEL, (WPARAM)&start, (LPARAM)&end);
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 7u);
    ASSERT_TRUE(OpenClipboard(nullptr));
    EmptyClipboard();
    CloseClipboard();
    RunCommand(CMD_COPY, nullptr);
    ASSERT_TRUE(OpenClipboard(nullptr));
    HANDLE data = GetClipboardData(CF_TEXT);
    std::string copied = data ? std::string((const char*)GlobalLock(data)) : "";
    if (data) GlobalUnlock(data);
    CloseClipboard();
    EXPECT_EQ(copied, "copy me");
    EXPECT_EQ(TextOf(box), "text");  // the box itself was left alone
}

}  // namespace
