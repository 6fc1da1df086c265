// preview.cpp - the preview window: a borderless pop-up beside a list that
// shows the head of a text file in a read-only edit control, or a picture
// (a Windows bitmap read directly, other formats through Susie plug-ins)
// fitted and centred in a child painted from a back buffer. The rules (what
// is text, its encoding, the fit, the bitmap checks) are in previewrules.
#include "preview.h"

#include <string.h>

#include "../../common/fileio.h"
#include "../../common/settings.h"
#include "../../common/sharednames.h"
#include "../../common/strutil.h"
#include "../../common/winutil.h"
#include "../dragdrop/dragdrop.h"
#include "../editbox/editbox.h"
#include "../lists/listselect.h"
#include "../shell/appstate.h"
#include "../shell/shell.h"
#include "../commands/commands.h"
#include "previewrules.h"

PreviewState Preview = {
    nullptr, nullptr, nullptr, nullptr, nullptr,
    nullptr, nullptr, 0,       nullptr, 0,       0,
    false,   PREVIEW_SOURCE_NONE, nullptr, nullptr, nullptr, 0, 0,
    {{"ifjpeg.spi", nullptr, nullptr},
     {"ifgif.spi", nullptr, nullptr},
     {"iftiff.spi", nullptr, nullptr},
     {"ifxld4.spi", nullptr, nullptr},
     {"ifmag.spi", nullptr, nullptr},
     {"ifpi.spi", nullptr, nullptr},
     {"ifpic.spi", nullptr, nullptr},
     {"ifpic2.spi", nullptr, nullptr},
     {"ifpict.spi", nullptr, nullptr},
     {"lhasad.spi", nullptr, nullptr},
     {"axzip.spi", nullptr, nullptr}},
    PREVIEW_UNLOAD_MS,
    false,
};


static LRESULT CALLBACK PreviewProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
static LRESULT CALLBACK PictureProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
static LRESULT CALLBACK TextViewProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam);
static void HideWindow(bool giveFocusBack);

// Where the preview was last put (screen coordinates of its top-left corner).
// Nothing but PlaceAndShow moves it: under a window manager that reports an
// earlier position of the window late (seen under Wine with openbox after the
// window is shown again), the report is held to this place, so the program's
// idea of the window and the screen stay the same.
static struct {
    POINT at;
    bool set;
    bool placing;
} Placed;

// --- windows ---------------------------------------------------------------------------

static bool RegisterPreviewClasses(void) {
    WNDCLASSA wc;
    memset(&wc, 0, sizeof wc);
    wc.hInstance = Shell.instance ? Shell.instance : GetModuleHandleA(nullptr);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    WNDCLASSA existing;
    if (!GetClassInfoA(wc.hInstance, PREVIEW_CLASS, &existing)) {
        wc.lpfnWndProc = PreviewProc;
        wc.lpszClassName = PREVIEW_CLASS;
        if (!RegisterClassA(&wc)) return false;
    }
    if (!GetClassInfoA(wc.hInstance, PREVIEW_PICTURE_CLASS, &existing)) {
        wc.lpfnWndProc = PictureProc;
        wc.lpszClassName = PREVIEW_PICTURE_CLASS;
        if (!RegisterClassA(&wc)) return false;
    }
    return true;
}

// The text view's font: ftsize pixels high, normal weight, Shift-JIS.
static HFONT CreateTextFont(void) {
    LOGFONTA lf;
    memset(&lf, 0, sizeof lf);
    lf.lfHeight = -Settings.ftsize;
    lf.lfWeight = FW_NORMAL;
    lf.lfCharSet = SHIFTJIS_CHARSET;
    lf.lfQuality = PROOF_QUALITY;
    return CreateFontIndirectA(&lf);
}

// Creates the three windows once; false (and nothing kept) when one fails.
static bool EnsureWindows(void) {
    if (Preview.wnd) return true;
    if (!RegisterPreviewClasses()) return false;
    HINSTANCE instance = Shell.instance ? Shell.instance : GetModuleHandleA(nullptr);
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_WINDOWEDGE, PREVIEW_CLASS, "",
                               WS_POPUP | WS_BORDER | WS_CLIPCHILDREN, 0, 0,
                               (int)Settings.width, (int)Settings.height, nullptr, nullptr,
                               instance, nullptr);
    if (!wnd) return false;
    HWND text = CreateWindowExA(WS_EX_TOOLWINDOW, "EDIT", "",
                                WS_CHILD | WS_CLIPSIBLINGS | ES_MULTILINE | ES_AUTOVSCROLL |
                                    ES_READONLY | ES_NOHIDESEL,
                                0, 0, 0, 0, wnd, (HMENU)(INT_PTR)ID_PREVIEW_TEXT, instance, nullptr);
    HWND picture = CreateWindowExA(WS_EX_TOOLWINDOW, PREVIEW_PICTURE_CLASS, "",
                                   WS_CHILD | WS_CLIPSIBLINGS, 0, 0, 0, 0, wnd,
                                   (HMENU)(INT_PTR)ID_PREVIEW_PICTURE, instance, nullptr);
    HFONT font = CreateTextFont();
    HBRUSH brush = CreateSolidBrush((COLORREF)Settings.bkcolor);
    if (!text || !picture || !font || !brush) {
        if (font) DeleteObject(font);
        if (brush) DeleteObject(brush);
        DestroyWindow(wnd);  // its children with it
        return false;
    }
    SendMessageA(text, WM_SETFONT, (WPARAM)font, FALSE);
    SendMessageA(text, EM_LIMITTEXT, (WPARAM)Settings.rsize, 0);
    Preview.wnd = wnd;
    Preview.textWnd = text;
    Preview.pictureWnd = picture;
    Preview.font = font;
    Preview.brush = brush;
    return true;
}

// The window against the right edge of anchor, width x height, the child with
// id shown over its client area, the other hidden, in front with the focus.
static void PlaceAndShow(const RECT* anchor, int childId) {
    HWND shown = childId == ID_PREVIEW_TEXT ? Preview.textWnd : Preview.pictureWnd;
    HWND other = childId == ID_PREVIEW_TEXT ? Preview.pictureWnd : Preview.textWnd;
    Placed.at.x = anchor->right;
    Placed.at.y = anchor->top;
    Placed.set = true;
    Placed.placing = true;
    SetWindowPos(Preview.wnd, HWND_TOPMOST, anchor->right, anchor->top, (int)Settings.width,
                 (int)Settings.height, SWP_NOACTIVATE);
    Placed.placing = false;
    RECT client;
    GetClientRect(Preview.wnd, &client);
    MoveWindow(shown, 0, 0, client.right, client.bottom, TRUE);
    ShowWindow(other, SW_HIDE);
    ShowWindow(shown, SW_SHOW);
    ShowWindow(Preview.wnd, SW_SHOW);
    SetForegroundWindow(Preview.wnd);
    SetFocus(Preview.wnd);
}

// --- the picture --------------------------------------------------------------------

static void FreePicture(void) {
    Preview.pictureReady = false;
    if (Preview.infoBlock) LocalFree(Preview.infoBlock);
    if (Preview.pixelBlock) LocalFree(Preview.pixelBlock);
    if (Preview.palette) DeleteObject(Preview.palette);
    Preview.infoBlock = nullptr;
    Preview.pixelBlock = nullptr;
    Preview.palette = nullptr;
    Preview.pixelOffset = 0;
    Preview.pictureWidth = Preview.pictureHeight = 0;
}

// A logical palette from the colour table of a picture of up to 8 bits per pixel.
static HPALETTE MakePalette(const BmpView* view) {
    if (view->colorCount == 0) return nullptr;
    size_t bytes = sizeof(LOGPALETTE) + view->colorCount * sizeof(PALETTEENTRY);
    LOGPALETTE* pal = (LOGPALETTE*)MemAlloc(bytes);
    if (!pal) return nullptr;
    pal->palVersion = 0x300;
    pal->palNumEntries = (WORD)view->colorCount;
    for (uint32_t i = 0; i < view->colorCount; i++) {
        BmpRgbQuad q;
        memcpy(&q, view->table + 4 * i, sizeof q);
        pal->palPalEntry[i].peRed = q.red;
        pal->palPalEntry[i].peGreen = q.green;
        pal->palPalEntry[i].peBlue = q.blue;
        pal->palPalEntry[i].peFlags = 0;
    }
    HPALETTE palette = CreatePalette(pal);
    MemFree(pal);
    return palette;
}

// Keeps a checked picture: a BITMAPINFO block made from the view (header
// with the normalised colour count, then exactly the table the drawing reads),
// the pixel block as it is, the palette.
static bool KeepPicture(const BmpView* view, HLOCAL pixels, DWORD pixelOffset) {
    HLOCAL info = LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, BMP_INFO_HEADER_SIZE + view->tableBytes);
    if (!info) return false;
    unsigned char* p = (unsigned char*)LocalLock(info);
    if (!p) {
        LocalFree(info);
        return false;
    }
    memcpy(p, &view->info, BMP_INFO_HEADER_SIZE);
    if (view->tableBytes) memcpy(p + BMP_INFO_HEADER_SIZE, view->table, view->tableBytes);
    LocalUnlock(info);
    Preview.palette = MakePalette(view);
    Preview.infoBlock = info;
    Preview.pixelBlock = pixels;
    Preview.pixelOffset = pixelOffset;
    Preview.pictureWidth = view->width;
    Preview.pictureHeight = view->height;
    return true;
}

// Reads a bitmap file whole into a movable block and checks it; false when it
// is no bitmap that can be shown (the previous picture is gone either way).
static bool ReadBitmapFile(const char* path) {
    FreePicture();
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    LARGE_INTEGER size;
    bool ok = GetFileSizeEx(file, &size) && size.QuadPart > 0 &&
              BitmapFileSizeAcceptable((uint64_t)size.QuadPart);
    HLOCAL block = ok ? LocalAlloc(LMEM_MOVEABLE | LMEM_ZEROINIT, (SIZE_T)size.QuadPart) : nullptr;
    unsigned char* bytes = block ? (unsigned char*)LocalLock(block) : nullptr;
    DWORD read = 0;
    ok = bytes && ReadFile(file, bytes, (DWORD)size.QuadPart, &read, nullptr) &&
         read == (DWORD)size.QuadPart;
    CloseHandle(file);
    BmpView view;
    ok = ok && ReadBitmapBlock(bytes, read, &view) == BMP_OK;
    if (ok) ok = KeepPicture(&view, block, view.pixelOffset);
    if (bytes) LocalUnlock(block);
    if (!ok && block) LocalFree(block);
    return ok;
}

// --- plug-ins ------------------------------------------------------------------------

// The plug-in folder with its trailing separator: spi_path when it names a
// folder, else "spi\" beside the program when it exists. False: none.
static bool PluginFolder(char* buf, size_t size) {
    if (Settings.spi_path[0] && DirectoryExists(Settings.spi_path)) {
        if (CopyString(buf, Settings.spi_path, size) != strlen(Settings.spi_path)) return false;
        AddTrailingSeparator(buf, size);
        return EndsWithSeparatorSjis(buf);
    }
    ModulePath(AppModule, buf, "spi\\", size);
    return buf[0] && DirectoryExists(buf);
}

static void UnloadPlugins(void) {
    for (PreviewPlugin& row : Preview.plugins) {
        if (row.module) FreeLibrary(row.module);
        row.module = nullptr;
        row.isSupported = nullptr;
    }
}

int LoadedPreviewPlugins(void) {
    int n = 0;
    for (const PreviewPlugin& row : Preview.plugins) n += row.module != nullptr;
    return n;
}

// The first plug-in row, in order, whose IsSupported accepts the file, loading
// rows as needed; PREVIEW_SOURCE_NONE when none does.
static int FindPlugin(const char* path, unsigned char* head) {
    char folder[PATH_WORK_SIZE];
    if (!PluginFolder(folder, sizeof folder)) return PREVIEW_SOURCE_NONE;
    char name[PATH_WORK_SIZE];
    CopyString(name, path, sizeof name);
    for (int i = 0; i < PREVIEW_PLUGIN_ROWS; i++) {
        PreviewPlugin& row = Preview.plugins[i];
        if (!row.module) {
            char file[PATH_WORK_SIZE];
            ConcatTo(folder, row.file, file, sizeof file);
            if (strlen(file) != strlen(folder) + strlen(row.file) || !FileExists(file)) continue;
            // A damaged plug-in must not bring up the system's error box.
            UINT oldMode = SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
            row.module = LoadLibraryA(file);
            SetErrorMode(oldMode);
            if (!row.module) continue;  // tried again at the next preview
            row.isSupported = (SpiIsSupportedFn)(void*)GetProcAddress(row.module, "IsSupported");
        }
        if (row.isSupported && row.isSupported(name, (DWORD_PTR)head)) return i;
    }
    return PREVIEW_SOURCE_NONE;
}

// Plug-ins are told to go on whatever the progress.
static int WINAPI GoOn(int, int, LONG_PTR) { return 0; }

// Asks plug-in row for the picture of path and keeps it when it checks out.
static bool PluginPicture(int rowIndex, const char* path) {
    FreePicture();
    PreviewPlugin& row = Preview.plugins[rowIndex];
    if (!row.module) return false;
    SpiGetPictureFn getPicture =
        (SpiGetPictureFn)(void*)GetProcAddress(row.module, "GetPicture");
    if (!getPicture) return false;
    char name[PATH_WORK_SIZE];
    CopyString(name, path, sizeof name);
    HANDLE info = nullptr, pixels = nullptr;
    int result = getPicture(name, 0, 0, &info, &pixels, (FARPROC)(void*)GoOn, 0);
    bool ok = result == 0 && info && pixels;
    const unsigned char* infoBytes = ok ? (const unsigned char*)LocalLock(info) : nullptr;
    const unsigned char* pixelBytes = ok ? (const unsigned char*)LocalLock(pixels) : nullptr;
    BmpView view;
    ok = infoBytes && pixelBytes &&
         CheckPluginPicture(infoBytes, LocalSize(info), pixelBytes, LocalSize(pixels), &view) ==
             BMP_OK;
    if (ok) ok = KeepPicture(&view, pixels, 0);
    if (infoBytes) LocalUnlock(info);
    if (pixelBytes) LocalUnlock(pixels);
    if (info) LocalFree(info);
    if (pixels && !ok) LocalFree(pixels);
    return ok;
}

// --- back buffer and painting ---------------------------------------------------------

static bool EnsureBackBuffer(void) {
    if (Preview.backDC) return true;
    HDC dc = GetDC(Preview.pictureWnd);
    if (!dc) return false;
    int w = GetSystemMetrics(SM_CXFULLSCREEN), h = GetSystemMetrics(SM_CYFULLSCREEN);
    HDC mem = CreateCompatibleDC(dc);
    HBITMAP bitmap = mem ? CreateCompatibleBitmap(dc, w, h) : nullptr;
    ReleaseDC(Preview.pictureWnd, dc);
    if (!bitmap) {
        if (mem) DeleteDC(mem);
        return false;
    }
    Preview.backOldBitmap = (HBITMAP)SelectObject(mem, bitmap);
    Preview.backDC = mem;
    Preview.backBitmap = bitmap;
    Preview.backWidth = w;
    Preview.backHeight = h;
    return true;
}

static void FreeBackBuffer(void) {
    if (Preview.backDC) {
        SelectObject(Preview.backDC, Preview.backOldBitmap);
        DeleteDC(Preview.backDC);
    }
    if (Preview.backBitmap) DeleteObject(Preview.backBitmap);
    Preview.backDC = nullptr;
    Preview.backBitmap = nullptr;
    Preview.backOldBitmap = nullptr;
    Preview.backWidth = Preview.backHeight = 0;
}

// Draws the picture fitted into the width x height box on white in the back
// buffer, then copies the buffer to the window.
static void PaintPicture(HWND wnd, HDC dc) {
    if (!Preview.pictureReady || !Preview.backDC || !Preview.infoBlock || !Preview.pixelBlock)
        return;
    HDC back = Preview.backDC;
    HPALETTE oldPalette = nullptr;
    if (Preview.palette) {
        oldPalette = SelectPalette(back, Preview.palette, FALSE);
        RealizePalette(back);
    }
    RECT client;
    GetClientRect(wnd, &client);
    int w = client.right < Preview.backWidth ? client.right : Preview.backWidth;
    int h = client.bottom < Preview.backHeight ? client.bottom : Preview.backHeight;
    PatBlt(back, 0, 0, Preview.backWidth, Preview.backHeight, WHITENESS);
    PictureFit fit =
        FitPicture(Preview.pictureWidth, Preview.pictureHeight, Settings.width, Settings.height);
    const BITMAPINFO* info = (const BITMAPINFO*)LocalLock(Preview.infoBlock);
    const unsigned char* pixels = (const unsigned char*)LocalLock(Preview.pixelBlock);
    int lines = 0;
    if (info && pixels) {
        SetStretchBltMode(back, COLORONCOLOR);
        lines = StretchDIBits(back, fit.x, fit.y, fit.width, fit.height, 0, 0,
                              (int)Preview.pictureWidth, (int)Preview.pictureHeight,
                              pixels + Preview.pixelOffset, info, DIB_RGB_COLORS, SRCCOPY);
    }
    if (info) LocalUnlock(Preview.infoBlock);
    if (pixels) LocalUnlock(Preview.pixelBlock);
    if (lines != 0 && lines != (int)GDI_ERROR) BitBlt(dc, 0, 0, w, h, back, 0, 0, SRCCOPY);
    if (oldPalette) SelectPalette(back, oldPalette, FALSE);
}

static LRESULT CALLBACK PictureProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_PAINT) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(wnd, &ps);
        if (dc) PaintPicture(wnd, dc);
        EndPaint(wnd, &ps);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

// --- text -------------------------------------------------------------------------

static int UnicodeTest(const unsigned char* data, size_t size, void*) {
    INT flags = UNICODE_TESTS_ASKED;
    if (size > 0x7FFFFFFF) return 0;
    IsTextUnicode(data, (int)size, &flags);
    return flags;
}

static int WideToAnsi(const uint16_t* wide, size_t count, char* out, size_t outSize, void*) {
    if (count == 0) return 0;
    if (count > 0x7FFFFFFF || outSize > 0x7FFFFFFF) return -1;
    int n = WideCharToMultiByte(CP_ACP, 0, (LPCWCH)wide, (int)count, out, (int)outSize, nullptr,
                                nullptr);
    return n > 0 ? n : -1;
}

// A view already subclassed stays as it is (ReplaceWindowProc refuses it).
static void SubclassTextView(void) { ReplaceWindowProc(Preview.textWnd, TextViewProc); }

static void UnsubclassTextView(void) { RestoreWindowProc(Preview.textWnd); }

// Shows the text of the head's first size bytes; false when it cannot be made.
static bool ShowText(const unsigned char* head, size_t size, const RECT* anchor) {
    int encoding = DecideTextEncoding(head, size, UnicodeTest, nullptr);
    size_t outSize = PreviewTextBufferSize(size);
    char* text = (char*)MemAlloc(outSize);
    if (!text) return false;
    if (MakePreviewText(head, size, encoding, WideToAnsi, nullptr, text, outSize) < 0) {
        MemFree(text);
        return false;
    }
    FreePicture();
    SetWindowTextA(Preview.textWnd, text);
    MemFree(text);
    Preview.source = PREVIEW_SOURCE_NONE;
    PlaceAndShow(anchor, ID_PREVIEW_TEXT);
    SubclassTextView();
    return true;
}

// --- showing and hiding ------------------------------------------------------------

bool PreviewPath(const char* path, const RECT* anchor) {
    if (!path || !*path || !anchor) return false;
    if (!EnsureWindows()) return false;
    uint32_t rsize = Settings.rsize;
    size_t read = 0;
    unsigned char* head = (unsigned char*)ReadFileHead(path, PreviewReadCount(rsize), &read);
    if (!head) return false;
    size_t size = PreviewTextSize(read, rsize);
    bool text = IsPreviewText(head, size);
    int source = PREVIEW_SOURCE_NONE;
    // Executables and compiled help files are never handed to a plug-in. A
    // head that reads as text may still be a picture kept as text (plain
    // Netpbm): a plug-in that takes it shows it, else it is shown as text.
    if (!IsExcludedHead(head, read)) {
        if (!text && IsBitmap(head, read, path))
            source = PREVIEW_SOURCE_BITMAP;
        else
            source = FindPlugin(path, head);
    }
    bool ok = false;
    if (source != PREVIEW_SOURCE_NONE) {
        KillTimer(Preview.wnd, ID_TIMER_PREVIEW_UNLOAD);
        ok = source == PREVIEW_SOURCE_BITMAP ? ReadBitmapFile(path) : PluginPicture(source, path);
        ok = ok && EnsureBackBuffer();
        if (!ok) FreePicture();
    }
    if (!ok) {
        bool shown = text && ShowText(head, size, anchor);
        MemFree(head);
        return shown;
    }
    MemFree(head);
    UnsubclassTextView();
    Preview.source = source;
    PlaceAndShow(anchor, ID_PREVIEW_PICTURE);
    Preview.pictureReady = true;
    InvalidateRect(Preview.pictureWnd, nullptr, TRUE);
    return true;
}

void ShowPreview(HWND list) {
    // A press on the list that armed a drag is not a drag any more.
    DisarmDrag();
    char path[PATH_WORK_SIZE];
    if (!list || !FirstSelectedListPath(list, path, sizeof path)) return;
    RECT anchor;
    if (!GetWindowRect(list, &anchor)) return;
    PreviewPath(path, &anchor);
}

// Hides the window and frees the picture; with giveFocusBack the list that
// should have the focus (or the edit box) gets it. Losing the activation to
// another window leaves the focus where the user put it.
static void HideWindow(bool giveFocusBack) {
    if (!Preview.wnd || Preview.hiding) return;
    Preview.hiding = true;
    UnsubclassTextView();
    FreePicture();
    bool wasVisible = IsWindowVisible(Preview.wnd) != 0;
    if (giveFocusBack && wasVisible) {
        HWND target = ListWindowForFocus();
        if (!target) target = EditBox.wnd;
        // Focus first, then hide: hiding the active window would hand the
        // activation to whatever window comes next.
        if (target) {
            SetForegroundWindow(target);
            SetFocus(target);
        }
    }
    ShowWindow(Preview.wnd, SW_HIDE);
    SetTimer(Preview.wnd, ID_TIMER_PREVIEW_UNLOAD, Preview.unloadMs, nullptr);
    Preview.hiding = false;
}

void HidePreview(void) { HideWindow(true); }

void AcceptPreview(void) {
    HWND list = ListWindowForFocus();
    char path[PATH_WORK_SIZE];
    if (!list || !FirstSelectedListPath(list, path, sizeof path)) return;
    FocusEditBox();
    HideListWindows();
    HidePreview();
    // Hiding the lists cleared the flags: the taken text is the program's,
    // so completion does not act on it.
    TakePathIntoBox(path, true);
}

static void OnUnloadTimer(void) {
    KillTimer(Preview.wnd, ID_TIMER_PREVIEW_UNLOAD);
    UnloadPlugins();
    FreeBackBuffer();
    FreePicture();
}

void DestroyPreview(void) {
    if (!Preview.wnd) return;
    UnsubclassTextView();
    FreePicture();
    KillTimer(Preview.wnd, ID_TIMER_PREVIEW_UNLOAD);
    UnloadPlugins();
    FreeBackBuffer();
    HWND wnd = Preview.wnd;
    if (Preview.textWnd) DestroyWindow(Preview.textWnd);
    if (Preview.pictureWnd) DestroyWindow(Preview.pictureWnd);
    Preview.textWnd = nullptr;
    Preview.pictureWnd = nullptr;
    if (Preview.font) DeleteObject(Preview.font);
    if (Preview.brush) DeleteObject(Preview.brush);
    Preview.font = nullptr;
    Preview.brush = nullptr;
    Preview.hiding = true;  // its deactivation while it goes is no hide
    DestroyWindow(wnd);
    Preview.wnd = nullptr;
    Preview.hiding = false;
    Preview.source = PREVIEW_SOURCE_NONE;
}

bool IsPreviewTextView(HWND wnd) { return wnd && wnd == Preview.textWnd; }

// --- window procedures ----------------------------------------------------------------

bool IsPreviewWindow(HWND wnd) {
    return wnd && (wnd == Preview.wnd || wnd == Preview.textWnd || wnd == Preview.pictureWnd);
}

void ScrollPreviewText(int code) {
    if (Preview.textWnd && IsWindowVisible(Preview.textWnd))
        SendMessageA(Preview.textWnd, EM_SCROLL, (WPARAM)code, 0);
}

// The preview's keys name commands, sent on the window that had them.
static bool OnPreviewKey(HWND wnd, WPARAM key) {
    CommandTarget target = TargetOf(wnd);
    int scroll = -1;
    switch (key) {
        case VK_RETURN:
            SendCommand(CMD_PREVIEW_ACCEPT, &target);
            return true;
        case VK_ESCAPE:
        case VK_LEFT:
            SendCommand(CMD_PREVIEW_HIDE, &target);
            return true;
        case VK_PRIOR:
            scroll = SB_PAGEUP;
            break;
        case VK_NEXT:
            scroll = SB_PAGEDOWN;
            break;
        case VK_UP:
            scroll = SB_LINEUP;
            break;
        case VK_DOWN:
            scroll = SB_LINEDOWN;
            break;
        default:
            return false;
    }
    target.arg = scroll;
    SendCommand(CMD_PREVIEW_SCROLL, &target);
    return true;
}

static LRESULT CALLBACK PreviewProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_ACTIVATE:
            if (LOWORD(wParam) == WA_INACTIVE && wnd == Preview.wnd) HideWindow(false);
            break;
        case WM_KEYDOWN:
            if (OnPreviewKey(wnd, wParam)) return 0;
            break;
        case WM_CTLCOLORSTATIC:
            if ((HWND)lParam == Preview.textWnd) {
                HDC dc = (HDC)wParam;
                SetBkMode(dc, TRANSPARENT);
                SetTextColor(dc, (COLORREF)Settings.ftcolor);
                return (LRESULT)Preview.brush;
            }
            break;
        case WM_WINDOWPOSCHANGING: {
            WINDOWPOS* pos = (WINDOWPOS*)lParam;
            if (Placed.set && !Placed.placing && pos && !(pos->flags & SWP_NOMOVE)) {
                pos->x = Placed.at.x;
                pos->y = Placed.at.y;
            }
            break;
        }
        case WM_TIMER:
            if (wParam == ID_TIMER_PREVIEW_UNLOAD) {
                OnUnloadTimer();
                return 0;
            }
            break;
        case WM_CLOSE:
            // Alt+F4 only hides the preview: the program ends through its own
            // shutdown, which destroys the window.
            HidePreview();
            return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

static LRESULT CALLBACK TextViewProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_KILLFOCUS: {
            HWND to = (HWND)wParam;
            if (to != Preview.wnd && to != Preview.textWnd && to != Preview.pictureWnd)
                HideWindow(false);
            break;
        }
        case WM_KEYDOWN:
            if (wParam == VK_RETURN || wParam == VK_ESCAPE) {
                OnPreviewKey(wnd, wParam);
                return 0;
            }
            break;
    }
    return CallSavedProc(wnd, msg, wParam, lParam);
}
