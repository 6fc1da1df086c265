// preview.h - the preview window: the head of a text file, or a picture (a
// Windows bitmap read directly, other formats through Susie plug-ins), in a
// small pop-up beside the list it was asked for from. The lists call only
// ShowPreview; the shutdown calls DestroyPreview.
#pragma once
#include <windows.h>

enum {
    ID_PREVIEW_TEXT = 1100,            // the text view
    ID_PREVIEW_PICTURE = 1101,         // the picture view
    ID_TIMER_PREVIEW_UNLOAD = 1000,    // on the preview window: plug-ins unload
    PREVIEW_UNLOAD_MS = 10000,         // after the last hide
    PREVIEW_PLUGIN_ROWS = 11,          // plug-in files, in order of trial
    PREVIEW_SOURCE_NONE = -1,          // picture sources: a plug-in row 0-10,
    PREVIEW_SOURCE_BITMAP = 1000,      // or a bitmap read directly
};

// The classic plug-in calls (standard calling convention on x86). The second
// argument of IsSupported is the address of the file's head; the length and
// user data of GetPicture are pointer-sized as on 64-bit plug-ins.
typedef int(WINAPI* SpiIsSupportedFn)(LPSTR name, DWORD_PTR head);
typedef int(WINAPI* SpiProgressFn)(int done, int total, LONG_PTR data);
typedef int(WINAPI* SpiGetPictureFn)(LPSTR name, LONG_PTR offset, unsigned int flags,
                                     HANDLE* info, HANDLE* pixels, FARPROC progress,
                                     LONG_PTR data);

// One row of the plug-in table.
struct PreviewPlugin {
    const char* file;              // "ifjpeg.spi", ...
    HMODULE module;                // loaded module, or null
    SpiIsSupportedFn isSupported;  // its "IsSupported", or null
};

// The preview's state (one record, this module's).
struct PreviewState {
    HWND wnd;          // "vorn_prevwnd", or null before the first preview
    HWND textWnd;      // text view (EDIT, id 1100)
    HWND pictureWnd;   // picture view ("vorn_prevwnd_pi", id 1101)
    HFONT font;        // text view font (ftsize, Shift-JIS)
    HBRUSH brush;      // text view background (bkcolor)
    // The picture: BITMAPINFO block, pixel block, offset of the first pixel in
    // it, palette (up to 8 bits per pixel) and its size.
    HLOCAL infoBlock;
    HLOCAL pixelBlock;
    DWORD pixelOffset;
    HPALETTE palette;
    UINT pictureWidth, pictureHeight;
    bool pictureReady;
    int source;        // picture source of the last picture shown
    // Back buffer, made with the first picture and freed by the unload timer.
    HDC backDC;
    HBITMAP backBitmap, backOldBitmap;
    int backWidth, backHeight;
    PreviewPlugin plugins[PREVIEW_PLUGIN_ROWS];
    UINT unloadMs;     // delay of the unload after a hide (PREVIEW_UNLOAD_MS)
    bool hiding;       // HidePreview is running (hiding deactivates the window)
};
extern PreviewState Preview;

// Previews the selected item of list (a list window of this program).
void ShowPreview(HWND list);
// Previews path in the window placed against the right edge of anchor (screen
// coordinates): what ShowPreview does once it has the item's path. False when
// nothing is previewed (the window is then left as it was).
bool PreviewPath(const char* path, const RECT* anchor);
// Hides the window, frees the picture, gives the focus back to the list that
// should have it (or the edit box) and arms the unload timer.
void HidePreview(void);
// Enter: the selected item's path into the edit box, the lists and the preview hidden.
void AcceptPreview(void);
// At shutdown: frees everything and destroys the windows (never ends the program).
void DestroyPreview(void);
// True when wnd is the preview's text view (the edit commands act on it).
bool IsPreviewTextView(HWND wnd);
// The preview window or one of its children.
bool IsPreviewWindow(HWND wnd);
// Scrolls the text view (SB_PAGEUP, SB_LINEDOWN, ...) when it is shown.
void ScrollPreviewText(int code);
// Loaded plug-in modules (for the unload timer's tests).
int LoadedPreviewPlugins(void);
