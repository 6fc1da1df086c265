// dragsrc.cpp - a program that drags files into other programs through OLE,
// for the tests of drops on vorn. Started as "dragsrc <report file> <path>...",
// it shows a window (class "vorn_e2e_dragsrc", title "vorn e2e drag") at
// (700, 400), 200 x 120. A left or right button press on it starts a drag of
// the paths with a data object of its own that offers CF_HDROP only; when the
// drag ends it writes "result <DoDragDrop result> effect <effect>" (CR LF) to
// the report file (replaced whole) and is ready for the next drag.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <stdio.h>
#include <string.h>

#include <string>

static const char kClass[] = "vorn_e2e_dragsrc";
static std::string ReportPath;
static std::string Files;  // file list: NUL after each path, one more at the end

static HGLOBAL DropBlock(void) {
    size_t size = sizeof(DROPFILES) + Files.size();
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    if (!block) return nullptr;
    DROPFILES* df = (DROPFILES*)GlobalLock(block);
    df->pFiles = sizeof(DROPFILES);
    df->fWide = FALSE;
    memcpy((char*)df + sizeof(DROPFILES), Files.data(), Files.size());
    GlobalUnlock(block);
    return block;
}

class Data : public IDataObject {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDataObject)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override { return (ULONG)InterlockedDecrement(&refs); }
    STDMETHODIMP GetData(FORMATETC* fe, STGMEDIUM* medium) override {
        HRESULT hr = QueryGetData(fe);
        if (hr != S_OK) return hr;
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = DropBlock();
        medium->pUnkForRelease = nullptr;
        return medium->hGlobal ? S_OK : E_OUTOFMEMORY;
    }
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* fe) override {
        if (!fe || fe->cfFormat != CF_HDROP || !(fe->tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
        return S_OK;
    }
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    STDMETHODIMP EnumFormatEtc(DWORD dir, IEnumFORMATETC** out) override {
        if (dir != DATADIR_GET) return E_NOTIMPL;
        FORMATETC fe = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        return SHCreateStdEnumFmtEtc(1, &fe, out);
    }
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }
    virtual ~Data() {}

private:
    LONG refs = 1;
};

class Source : public IDropSource {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropSource)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override { return (ULONG)InterlockedDecrement(&refs); }
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape) return DRAGDROP_S_CANCEL;
        if (!(keys & (MK_LBUTTON | MK_RBUTTON))) return DRAGDROP_S_DROP;
        return S_OK;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
    virtual ~Source() {}

private:
    LONG refs = 1;
};

static void WriteReport(const std::string& text) {
    std::string temp = ReportPath + ".tmp";
    HANDLE f = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, text.data(), (DWORD)text.size(), &written, nullptr);
    CloseHandle(f);
    MoveFileExA(temp.c_str(), ReportPath.c_str(), MOVEFILE_REPLACE_EXISTING);
}

static void RunDrag(void) {
    static Data data;
    static Source source;
    DWORD effect = 0xFFFF;
    HRESULT hr = DoDragDrop(&data, &source, DROPEFFECT_COPY | DROPEFFECT_MOVE | DROPEFFECT_LINK,
                            &effect);
    char line[80];
    snprintf(line, sizeof line, "result %lx effect %lu\r\n", (unsigned long)hr,
             (unsigned long)effect);
    WriteReport(line);
}

static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
            RunDrag();
            return 0;
        case WM_DESTROY:
            PostQuitMessage(0);
            return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 3) return 2;
    ReportPath = __argv[1];
    for (int i = 2; i < __argc; i++) Files += std::string(__argv[i]) + '\0';
    Files += '\0';
    if (FAILED(OleInitialize(nullptr))) return 3;
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_HIGHLIGHT + 1);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc)) return 1;
    HWND wnd = CreateWindowExA(WS_EX_TOPMOST, kClass, "vorn e2e drag", WS_POPUP | WS_BORDER | WS_VISIBLE,
                               700, 400, 200, 120, nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    OleUninitialize();
    return 0;
}
