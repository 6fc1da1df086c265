// dropwin.cpp - a program that takes file drops through OLE, for the tests of
// drags out of vorn. Started as "dropwin <report file>", it shows a window
// (class "vorn_e2e_dropwin", title "vorn e2e drop") at (700, 400), 300 x 200,
// registered as a drop target that accepts anything with a copy. When a drag
// enters it, the report file holds "enter" (CR LF). On a drop it
// writes what it received to the report file (replaced whole, so a reader
// never sees half of it), lines with CR LF:
//   formats <the formats the data object enumerates, by name, "," between>
//   file <path>           one per file of CF_HDROP (read with DragQueryFileA)
//   text <CF_TEXT, with CR and LF written as \r and \n>
//   ids <item count of "Shell IDList Array">
// and it keeps running until its window is closed.
#include <windows.h>
#include <ole2.h>
#include <shellapi.h>
#include <stdio.h>
#include <string.h>

#include <string>

static const char kClass[] = "vorn_e2e_dropwin";
static std::string ReportPath;

static std::string FormatName(CLIPFORMAT cf) {
    if (cf == CF_HDROP) return "CF_HDROP";
    if (cf == CF_TEXT) return "CF_TEXT";
    char name[128] = "";
    if (GetClipboardFormatNameA(cf, name, sizeof name) > 0) return name;
    return "#" + std::to_string((unsigned)cf);
}

// The bytes of format cf in data, or "" when it has none.
static std::string Bytes(IDataObject* data, CLIPFORMAT cf) {
    FORMATETC fe = {cf, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (data->GetData(&fe, &medium) != S_OK) return "";
    std::string bytes;
    const char* p = (const char*)GlobalLock(medium.hGlobal);
    if (p) bytes.assign(p, GlobalSize(medium.hGlobal));
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return bytes;
}

static void WriteReport(const std::string& text) {
    std::string temp = ReportPath + ".tmp";
    HANDLE f = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (f == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(f, text.data(), (DWORD)text.size(), &written, nullptr);
    CloseHandle(f);
    MoveFileExA(temp.c_str(), ReportPath.c_str(), MOVEFILE_REPLACE_EXISTING);
}

static void Report(IDataObject* data) {
    std::string out = "formats ";
    IEnumFORMATETC* list = nullptr;
    if (data->EnumFormatEtc(DATADIR_GET, &list) == S_OK && list) {
        FORMATETC fe;
        ULONG got = 0;
        bool first = true;
        while (list->Next(1, &fe, &got) == S_OK && got == 1) {
            if (!first) out += ",";
            out += FormatName(fe.cfFormat);
            first = false;
        }
        list->Release();
    }
    out += "\r\n";
    FORMATETC fe = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    if (data->GetData(&fe, &medium) == S_OK) {
        HDROP drop = (HDROP)medium.hGlobal;
        UINT n = DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0);
        for (UINT i = 0; i < n; i++) {
            char path[MAX_PATH] = "";
            DragQueryFileA(drop, i, path, sizeof path);
            out += std::string("file ") + path + "\r\n";
        }
        ReleaseStgMedium(&medium);
    }
    std::string text = Bytes(data, CF_TEXT);
    text = text.c_str();
    out += "text ";
    for (char c : text) out += c == '\r' ? std::string("\\r") : c == '\n' ? std::string("\\n") : std::string(1, c);
    out += "\r\n";
    std::string ids = Bytes(data, (CLIPFORMAT)RegisterClipboardFormatA("Shell IDList Array"));
    if (ids.size() >= 4) out += "ids " + std::to_string(*(const unsigned*)ids.data()) + "\r\n";
    WriteReport(out);
}

class Target : public IDropTarget {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDropTarget)) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override { return (ULONG)InterlockedDecrement(&refs); }
    STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        WriteReport("enter\r\n");
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    STDMETHODIMP DragLeave() override { return S_OK; }
    STDMETHODIMP Drop(IDataObject* data, DWORD, POINTL, DWORD* effect) override {
        Report(data);
        *effect = DROPEFFECT_COPY;
        return S_OK;
    }
    virtual ~Target() {}

private:
    LONG refs = 1;
};

static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 2) return 2;
    ReportPath = __argv[1];
    if (FAILED(OleInitialize(nullptr))) return 3;
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc)) return 1;
    HWND wnd = CreateWindowExA(WS_EX_TOPMOST, kClass, "vorn e2e drop", WS_POPUP | WS_BORDER | WS_VISIBLE,
                               700, 400, 300, 200, nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    static Target target;
    if (FAILED(RegisterDragDrop(wnd, &target))) return 4;
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    RevokeDragDrop(wnd);
    OleUninitialize();
    return 0;
}
