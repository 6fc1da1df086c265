// dataobject.cpp - the data object of a drag out of vorn, its format
// enumerator and the drop source: the files of the drag are rendered afresh
// as CF_HDROP (UTF-16 on NT), CF_TEXT and the shell's identifier-list array
// each time a format is asked for.
#include <windows.h>
#include <ole2.h>
#include <shlobj.h>
#include <string.h>

#include <new>

#include "../../common/fileio.h"
#include "../../common/strutil.h"
#include "../shellext/shellext.h"
#include "comobject.h"
#include "dragdrop.h"
#include "dragrules.h"

enum { MAX_FORMATS = 5 };

// --- the data object ---------------------------------------------------------------

class CDragDropObject : public ComObject<IDataObject, &IID_IDataObject> {
public:
    // IDataObject
    STDMETHODIMP GetData(FORMATETC* format, STGMEDIUM* medium) override;
    STDMETHODIMP GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    STDMETHODIMP QueryGetData(FORMATETC* format) override;
    STDMETHODIMP GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    STDMETHODIMP SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) override;
    STDMETHODIMP EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) override;
    STDMETHODIMP DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    STDMETHODIMP DUnadvise(DWORD) override { return E_NOTIMPL; }
    STDMETHODIMP EnumDAdvise(IEnumSTATDATA**) override { return OLE_E_ADVISENOTSUPPORTED; }
    // What a drop target gave with SetData is released with the object.
    virtual ~CDragDropObject() {
        for (int i = 0; i < count; i++)
            if (media[i].tymed != TYMED_NULL) ReleaseStgMedium(&media[i]);
    }
    // A new block holding the data in format, or null.
    virtual HGLOBAL Render(CLIPFORMAT format) = 0;

protected:
    // Announces a format the object renders itself (no data of its own).
    bool Announce(CLIPFORMAT format) {
        if (count >= MAX_FORMATS) return false;
        FORMATETC fe = {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
        formats[count] = fe;
        ZeroMemory(&media[count], sizeof media[count]);  // TYMED_NULL: rendered
        count++;
        return true;
    }
    FORMATETC formats[MAX_FORMATS] = {};
    STGMEDIUM media[MAX_FORMATS] = {};  // data given by SetData; TYMED_NULL: rendered
    int count = 0;

private:
    int FindFormat(const FORMATETC* format, HRESULT* hr);
};

class CEnumFORMATETC : public ComObject<IEnumFORMATETC, &IID_IEnumFORMATETC> {
public:
    CEnumFORMATETC(const FORMATETC* list, int n, int at) : index(at) {
        if (n > 0) {
            copies = new (std::nothrow) FORMATETC[n];
            if (copies) {
                memcpy(copies, list, sizeof(FORMATETC) * (size_t)n);
                total = n;
            }
        }
    }
    STDMETHODIMP Next(ULONG wanted, FORMATETC* out, ULONG* fetched) override {
        if (fetched) *fetched = 0;
        if (wanted == 0 || !out || index >= total || (!fetched && wanted != 1)) return S_FALSE;
        ULONG copied = 0;
        while (copied < wanted && index < total) out[copied++] = copies[index++];
        if (fetched) *fetched = copied;
        return copied == wanted ? S_OK : S_FALSE;
    }
    // S_OK when all n were skipped (the end may be reached); fewer left:
    // the enumerator stops at the end and says S_FALSE.
    STDMETHODIMP Skip(ULONG n) override {
        ULONG left = (ULONG)(total - index);
        if (n > left) {
            index = total;
            return S_FALSE;
        }
        index += (int)n;
        return S_OK;
    }
    STDMETHODIMP Reset() override {
        index = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumFORMATETC** out) override {
        if (!out) return E_INVALIDARG;
        *out = nullptr;
        CEnumFORMATETC* copy = new (std::nothrow) CEnumFORMATETC(copies, total, index);
        if (!copy) return E_OUTOFMEMORY;
        if (total && !copy->copies) {
            copy->Release();
            return E_OUTOFMEMORY;
        }
        *out = copy;
        return S_OK;
    }
    virtual ~CEnumFORMATETC() { delete[] copies; }
    bool Ready(int wanted) const { return total == wanted; }

private:
    int total = 0;
    int index;
    FORMATETC* copies = nullptr;
};

// The entry that serves format, or -1 with the reason in *hr.
int CDragDropObject::FindFormat(const FORMATETC* format, HRESULT* hr) {
    *hr = DV_E_DVASPECT;
    if (!(format->dwAspect & DVASPECT_CONTENT)) return -1;
    *hr = DV_E_FORMATETC;
    for (int i = 0; i < count; i++)
        if (formats[i].cfFormat == format->cfFormat && (formats[i].tymed & format->tymed)) {
            *hr = S_OK;
            return i;
        }
    return -1;
}

// A copy of data held for a drop target, for one more reader: a block of
// its own, or one more reference to a stream or storage.
static bool CopyHeldMedium(const STGMEDIUM* held, STGMEDIUM* out) {
    ZeroMemory(out, sizeof *out);
    if (held->tymed == TYMED_HGLOBAL) {
        SIZE_T size = GlobalSize(held->hGlobal);
        const void* from = GlobalLock(held->hGlobal);
        HGLOBAL copy = from ? GlobalAlloc(GMEM_MOVEABLE, size ? size : 1) : nullptr;
        void* to = copy ? GlobalLock(copy) : nullptr;
        if (to) {
            memcpy(to, from, size);
            GlobalUnlock(copy);
        } else if (copy) {
            GlobalFree(copy);
            copy = nullptr;
        }
        if (from) GlobalUnlock(held->hGlobal);
        if (!copy) return false;
        out->hGlobal = copy;
    } else if (held->tymed == TYMED_ISTREAM) {
        out->pstm = held->pstm;
        out->pstm->AddRef();
    } else {
        out->pstg = held->pstg;
        out->pstg->AddRef();
    }
    out->tymed = held->tymed;
    return true;
}

STDMETHODIMP CDragDropObject::GetData(FORMATETC* format, STGMEDIUM* medium) {
    if (!format || !medium) return E_INVALIDARG;
    HRESULT hr = S_OK;
    int at = FindFormat(format, &hr);
    if (at < 0) return hr;
    if (media[at].tymed != TYMED_NULL)
        return CopyHeldMedium(&media[at], medium) ? S_OK : E_OUTOFMEMORY;
    HGLOBAL data = Render(format->cfFormat);
    if (!data) return DV_E_FORMATETC;
    medium->tymed = TYMED_HGLOBAL;
    medium->hGlobal = data;
    medium->pUnkForRelease = nullptr;
    return S_OK;
}

STDMETHODIMP CDragDropObject::QueryGetData(FORMATETC* format) {
    if (!format) return E_INVALIDARG;
    HRESULT hr = S_OK;
    FindFormat(format, &hr);
    return hr;
}

// A drop target hands data over with SetData (the effect it performed, the
// shell's own formats); the object takes it, serves it from GetData and
// releases it, when the same format comes again or with the object. Only
// data the object can hand out again is taken: a block, a stream or a
// storage, without an owner of its own to release it.
STDMETHODIMP CDragDropObject::SetData(FORMATETC* format, STGMEDIUM* medium, BOOL release) {
    if (!format || !medium) return E_INVALIDARG;
    if (!release) return E_FAIL;
    bool data = (medium->tymed == TYMED_HGLOBAL && medium->hGlobal) ||
                (medium->tymed == TYMED_ISTREAM && medium->pstm) ||
                (medium->tymed == TYMED_ISTORAGE && medium->pstg);
    if (!data || medium->pUnkForRelease || !(format->dwAspect & DVASPECT_CONTENT))
        return DV_E_TYMED;
    int at = 0;
    while (at < count && formats[at].cfFormat != format->cfFormat) at++;
    if (at == count && count >= MAX_FORMATS) return E_OUTOFMEMORY;
    if (at < count && media[at].tymed != TYMED_NULL) ReleaseStgMedium(&media[at]);
    formats[at] = *format;
    formats[at].ptd = nullptr;
    formats[at].tymed = medium->tymed;
    media[at] = *medium;
    if (at == count) count++;
    return S_OK;
}

STDMETHODIMP CDragDropObject::EnumFormatEtc(DWORD direction, IEnumFORMATETC** out) {
    if (!out) return E_INVALIDARG;
    *out = nullptr;
    if (direction != DATADIR_GET) return E_NOTIMPL;
    CEnumFORMATETC* list = new (std::nothrow) CEnumFORMATETC(formats, count, 0);
    if (!list) return E_OUTOFMEMORY;
    if (!list->Ready(count)) {
        list->Release();
        return E_OUTOFMEMORY;
    }
    *out = list;
    return S_OK;
}

// --- the files of a drag --------------------------------------------------------------

class CDrag : public CDragDropObject {
public:
    explicit CDrag(char* list) : paths(list) {
        total = FileListBytes(list);
        number = FileListCount(list);
    }
    virtual ~CDrag() { MemFree(paths); }
    HGLOBAL Render(CLIPFORMAT format) override;
    // Announces a format rendered on demand.
    bool Offer(CLIPFORMAT format) { return Announce(format); }
    WORD idListFormat = 0;  // "Shell IDList Array" when offered

private:
    HGLOBAL RenderFileDrop();
    HGLOBAL RenderText();
    HGLOBAL RenderIdArray();
    char* paths;
    size_t total;
    int number;
};

static HGLOBAL BlockOf(const void* bytes, size_t size, UINT flags) {
    HGLOBAL block = GlobalAlloc(flags, size);
    if (!block) return nullptr;
    void* p = GlobalLock(block);
    if (!p) {
        GlobalFree(block);
        return nullptr;
    }
    memcpy(p, bytes, size);
    GlobalUnlock(block);
    return block;
}

static bool SystemIsNt(void) {
    OSVERSIONINFOA info;
    ZeroMemory(&info, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wdeprecated-declarations"
    if (!GetVersionExA(&info)) return true;
#pragma GCC diagnostic pop
    return info.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

HGLOBAL CDrag::RenderFileDrop() {
    bool wide = SystemIsNt();
    size_t size = FileDropBlockSize(total, wide);
    unsigned char* block = (unsigned char*)MemAlloc(size);
    if (!block) return nullptr;
    bool ok = false;
    if (!wide) {
        ok = WriteDropBlock(block, size, paths);
    } else {
        // Each path in UTF-16 (at most 261 units, NUL included), then the
        // closing NUL.
        size_t room = total + 1;
        uint16_t* list = (uint16_t*)MemAlloc(room * sizeof(uint16_t));
        if (list) {
            size_t used = 0;
            ok = true;
            for (const char* p = paths; *p && ok; p += strlen(p) + 1) {
                size_t left = room - used - 1;
                int max = left < SHELL_PATH_SIZE ? (int)left : SHELL_PATH_SIZE;
                int n = MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, p, -1, (LPWSTR)(list + used),
                                            max);
                if (n <= 0) ok = false;
                used += (size_t)(n > 0 ? n : 0);
            }
            list[used++] = 0;
            ok = ok && WriteWideDropBlock(block, size, list, used);
            MemFree(list);
        }
    }
    HGLOBAL result = ok ? BlockOf(block, size, GMEM_MOVEABLE | GMEM_ZEROINIT) : nullptr;
    MemFree(block);
    return result;
}

HGLOBAL CDrag::RenderText() {
    size_t size = TextBlockSize(paths);
    char* block = (char*)MemAlloc(size);
    if (!block) return nullptr;
    HGLOBAL result = WriteTextBlock(block, size, paths)
                         ? BlockOf(block, size, GMEM_MOVEABLE | GMEM_ZEROINIT)
                         : nullptr;
    MemFree(block);
    return result;
}

// An identifier list parsed by folder (the desktop when null) from an ANSI
// name; null when it cannot be parsed.
static LPITEMIDLIST ParseName(IShellFolder* folder, const char* name) {
    WCHAR wide[SHELL_PATH_SIZE];
    if (!MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, name, -1, wide, SHELL_PATH_SIZE))
        return nullptr;
    LPITEMIDLIST list = nullptr;
    ULONG eaten = 0;
    if (FAILED(folder->ParseDisplayName(nullptr, nullptr, wide, &eaten, &list, nullptr)))
        return nullptr;
    return list;
}

HGLOBAL CDrag::RenderIdArray() {
    if (number <= 0) return nullptr;
    char parentPath[SHELL_PATH_SIZE];
    if (CopyString(parentPath, paths, sizeof parentPath) != strlen(paths)) return nullptr;
    if (!CutLastComponent(parentPath)) return nullptr;
    if (IsBareDrive(parentPath)) AddTrailingSeparator(parentPath, sizeof parentPath);
    IShellFolder* desktop = nullptr;
    if (FAILED(SHGetDesktopFolder(&desktop)) || !desktop) return nullptr;
    LPITEMIDLIST parent = ParseName(desktop, parentPath);
    desktop->Release();
    IShellFolder* folder = parent ? ParentFolderOf(parentPath) : nullptr;
    LPITEMIDLIST* items = (LPITEMIDLIST*)MemAlloc(sizeof(LPITEMIDLIST) * (size_t)number);
    size_t* sizes = (size_t*)MemAlloc(sizeof(size_t) * (size_t)number);
    HGLOBAL result = nullptr;
    if (folder && items && sizes) {
        int i = 0;
        for (const char* p = paths; *p && i < number; p += strlen(p) + 1, i++) {
            char name[SHELL_PATH_SIZE];
            FileNamePart(p, name, sizeof name);
            items[i] = name[0] ? ParseName(folder, name) : nullptr;
            sizes[i] = items[i] ? IdListSize((const unsigned char*)items[i], 0x10000) : 0;
        }
        size_t parentSize = IdListSize((const unsigned char*)parent, 0x10000);
        size_t size = IdArrayBlockSize(parentSize, sizes, number) + 100;
        unsigned char* block = (unsigned char*)MemAlloc(size);
        if (block &&
            WriteIdArrayBlock(block, size, (const unsigned char*)parent, parentSize,
                              (const unsigned char* const*)items, sizes, number))
            result = BlockOf(block, size, GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_DDESHARE);
        MemFree(block);
        for (i = 0; i < number; i++)
            if (items[i]) CoTaskMemFree(items[i]);
    }
    MemFree(items);
    MemFree(sizes);
    if (folder) folder->Release();
    if (parent) CoTaskMemFree(parent);
    return result;
}

HGLOBAL CDrag::Render(CLIPFORMAT format) {
    if (format == CF_HDROP) return RenderFileDrop();
    if (format == CF_TEXT) return RenderText();
    if (idListFormat && format == idListFormat) return RenderIdArray();
    return nullptr;
}

UINT ShellIdListFormat(void) { return RegisterClipboardFormatA("Shell IDList Array"); }

IDataObject* CreateFileDragObject(const char* list, bool fromItemList) {
    if (!list || !*list) return nullptr;
    size_t bytes = FileListBytes(list);
    char* copy = (char*)MemAlloc(bytes);
    if (!copy) return nullptr;
    memcpy(copy, list, bytes);
    CDrag* drag = new (std::nothrow) CDrag(copy);
    if (!drag) {
        MemFree(copy);
        return nullptr;
    }
    if (!drag->Offer(CF_HDROP) || !drag->Offer(CF_TEXT)) {
        drag->Release();
        return nullptr;
    }
    // The item list's rows may lie in different folders; and an array that
    // cannot name every file is not offered at all.
    if (!fromItemList) {
        drag->idListFormat = (WORD)ShellIdListFormat();
        HGLOBAL probe = drag->idListFormat ? drag->Render(drag->idListFormat) : nullptr;
        if (probe) {
            GlobalFree(probe);
            drag->Offer(drag->idListFormat);
        } else {
            drag->idListFormat = 0;
        }
    }
    return drag;
}

// --- the drop source -------------------------------------------------------------------

class CDropSource : public ComObject<IDropSource, &IID_IDropSource> {
public:
    STDMETHODIMP QueryContinueDrag(BOOL escape, DWORD keys) override {
        if (escape || ((keys & MK_LBUTTON) && (keys & MK_RBUTTON))) return DRAGDROP_S_CANCEL;
        if (!(keys & (MK_LBUTTON | MK_RBUTTON | MK_MBUTTON))) return DRAGDROP_S_DROP;
        return S_OK;
    }
    STDMETHODIMP GiveFeedback(DWORD) override { return DRAGDROP_S_USEDEFAULTCURSORS; }
    virtual ~CDropSource() {}

};

IDropSource* CreateFileDropSource(void) { return new (std::nothrow) CDropSource(); }
