// shellwin.cpp - a stand-in for a folder window that the shell's window
// collection should list: it shows a window (class "vorn_e2e_shellwin") and
// registers it in the collection (CLSID_ShellWindows, IShellWindows::Register)
// as an Explorer window, with a dispatch object of its own. What the
// collection said is put into the window's title, for the test to read:
//   "vorn e2e shellwin register=<hr> count=<hr> n=<count>"
// (eight hexadecimal digits per result). It runs until the window is closed
// and then revokes the registration.
#include <windows.h>
#include <exdisp.h>
#include <ole2.h>
#include <stdio.h>

static const char kClass[] = "vorn_e2e_shellwin";

// The object the window is registered with: a dispatch interface and nothing
// more.
struct Dispatch : IDispatch {
    LONG refs = 1;
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_POINTER;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, IID_IDispatch)) {
            *out = static_cast<IDispatch*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
    ULONG STDMETHODCALLTYPE Release() override { return (ULONG)InterlockedDecrement(&refs); }
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* n) override {
        if (n) *n = 0;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                                     UINT*) override {
        return E_NOTIMPL;
    }
};

static LRESULT CALLBACK WndProc(HWND wnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wParam, lParam);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (FAILED(CoInitialize(nullptr))) return 1;
    WNDCLASSA wc;
    ZeroMemory(&wc, sizeof wc);
    wc.lpfnWndProc = WndProc;
    wc.hInstance = instance;
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hbrBackground = (HBRUSH)(COLOR_WINDOW + 1);
    wc.lpszClassName = kClass;
    if (!RegisterClassA(&wc)) return 1;
    // Away from the top-left corner, where the tests put vorn's box.
    HWND wnd = CreateWindowExA(0, kClass, "vorn e2e shellwin", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 600,
                               400, 300, 200, nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;

    Dispatch dispatch;
    IShellWindows* windows = nullptr;
    HRESULT created = CoCreateInstance(CLSID_ShellWindows, nullptr, CLSCTX_ALL, IID_IShellWindows,
                                       (void**)&windows);
    HRESULT registered = created;
    HRESULT counted = created;
    LONG cookie = 0;
    LONG count = -1;
    if (SUCCEEDED(created) && windows) {
        registered = windows->Register(&dispatch, (LONG)(LONG_PTR)wnd, SWC_EXPLORER, &cookie);
        counted = windows->get_Count(&count);
    }
    char title[128];
    snprintf(title, sizeof title, "vorn e2e shellwin register=%08lx count=%08lx n=%ld",
             (unsigned long)registered, (unsigned long)counted, (long)count);
    SetWindowTextA(wnd, title);

    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    if (windows) {
        if (SUCCEEDED(registered) && cookie) windows->Revoke(cookie);
        windows->Release();
    }
    CoUninitialize();
    return 0;
}
