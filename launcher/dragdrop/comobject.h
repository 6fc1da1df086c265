// comobject.h - what every COM object of drag and drop shares: one interface
// besides IUnknown, a reference count that starts at 1, deletion at zero.
#pragma once
#include <windows.h>
#include <objbase.h>

template <class Interface, const IID* Iid>
class ComObject : public Interface {
public:
    STDMETHODIMP QueryInterface(REFIID riid, void** out) override {
        if (!out) return E_INVALIDARG;
        if (IsEqualIID(riid, IID_IUnknown) || IsEqualIID(riid, *Iid)) {
            *out = static_cast<Interface*>(this);
            this->AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return (ULONG)InterlockedIncrement(&refs); }
    STDMETHODIMP_(ULONG) Release() override {
        LONG n = InterlockedDecrement(&refs);
        if (n == 0) delete this;
        return (ULONG)n;
    }
    virtual ~ComObject() {}

private:
    LONG refs = 1;
};
