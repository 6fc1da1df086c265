// In-process tests of the data object of a drag out of vorn: the formats it
// offers and their enumerator, the blocks it renders read back byte for byte
// (CF_HDROP in UTF-16, CF_TEXT, the shell's identifier-list array resolved
// back to the paths), its answers to wrong requests, and the drop source.
#include <gtest/gtest.h>

#include <windows.h>
#include <ole2.h>
#define Shell ShellDispatchClass
#include <shlobj.h>
#undef Shell

#include <string.h>

#include <string>
#include <vector>

#include "launcher/dragdrop/dragdrop.h"
#include "launcher/dragdrop/dragdrop_internal.h"
#include "launcher/editbox/editbox.h"
#include "launcher/shell/shell.h"
#include "test_files.h"

namespace {

std::string List(std::vector<std::string> paths) {
    std::string s;
    for (const std::string& p : paths) s += p + '\0';
    return s + '\0';
}

FORMATETC Format(UINT cf, DWORD tymed = TYMED_HGLOBAL, DWORD aspect = DVASPECT_CONTENT) {
    FORMATETC fe = {(CLIPFORMAT)cf, nullptr, aspect, -1, tymed};
    return fe;
}

// The bytes GetData hands out for a format ("<hr>" text on failure).
std::string DataBytes(IDataObject* data, UINT cf) {
    FORMATETC fe = Format(cf);
    STGMEDIUM medium = {};
    HRESULT hr = data->GetData(&fe, &medium);
    if (hr != S_OK) return "<" + std::to_string((long)hr) + ">";
    EXPECT_EQ(medium.tymed, (DWORD)TYMED_HGLOBAL);
    EXPECT_EQ(medium.pUnkForRelease, nullptr);
    std::string bytes;
    const char* p = (const char*)GlobalLock(medium.hGlobal);
    if (p) bytes.assign(p, GlobalSize(medium.hGlobal));
    GlobalUnlock(medium.hGlobal);
    ReleaseStgMedium(&medium);
    return bytes;
}

std::vector<UINT> Formats(IDataObject* data) {
    std::vector<UINT> out;
    IEnumFORMATETC* list = nullptr;
    if (data->EnumFormatEtc(DATADIR_GET, &list) != S_OK || !list) return out;
    FORMATETC fe;
    ULONG got = 0;
    while (list->Next(1, &fe, &got) == S_OK && got == 1) {
        EXPECT_EQ(fe.dwAspect, (DWORD)DVASPECT_CONTENT);
        EXPECT_EQ(fe.tymed, (DWORD)TYMED_HGLOBAL);
        out.push_back(fe.cfFormat);
    }
    list->Release();
    return out;
}

uint32_t U32(const std::string& b, size_t at) {
    return (uint32_t)(unsigned char)b[at] | ((uint32_t)(unsigned char)b[at + 1] << 8) |
           ((uint32_t)(unsigned char)b[at + 2] << 16) | ((uint32_t)(unsigned char)b[at + 3] << 24);
}

// A folder with the file x.txt and the folder y, and OLE for the test.
struct DragFixture : ::testing::Test {
    std::string dir, x, y;
    void SetUp() override {
        ASSERT_TRUE(SUCCEEDED(OleInitialize(nullptr)));
        dir = ExeFolder() + "\\dragsrc";
        CreateDirectoryA(dir.c_str(), nullptr);
        x = dir + "\\x.txt";
        y = dir + "\\y";
        WriteText(x, "x");
        CreateDirectoryA(y.c_str(), nullptr);
    }
    void TearDown() override {
        DeleteFileA(x.c_str());
        RemoveDirectoryA(y.c_str());
        RemoveDirectoryA(dir.c_str());
        OleUninitialize();
    }
};

}  // namespace

TEST_F(DragFixture, FolderListDragOffersThreeFormatsInOrder) {
    std::string list = List({x, y});
    IDataObject* data = CreateFileDragObject(list.c_str(), false);
    ASSERT_NE(data, nullptr);
    UINT shellIds = ShellIdListFormat();
    EXPECT_NE(shellIds, 0u);
    EXPECT_EQ(Formats(data), (std::vector<UINT>{CF_HDROP, CF_TEXT, shellIds}));
    for (UINT cf : {(UINT)CF_HDROP, (UINT)CF_TEXT, shellIds}) {
        FORMATETC fe = Format(cf);
        EXPECT_EQ(data->QueryGetData(&fe), S_OK) << cf;
    }
    data->Release();
}

TEST_F(DragFixture, ItemListDragOffersNoIdArray) {
    std::string list = List({x, y});
    IDataObject* data = CreateFileDragObject(list.c_str(), true);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Formats(data), (std::vector<UINT>{CF_HDROP, CF_TEXT}));
    FORMATETC fe = Format(ShellIdListFormat());
    EXPECT_EQ(data->QueryGetData(&fe), DV_E_FORMATETC);
    EXPECT_EQ(DataBytes(data, ShellIdListFormat()), "<" + std::to_string((long)DV_E_FORMATETC) + ">");
    data->Release();
}

TEST_F(DragFixture, FileDropBlockIsWideByteForByte) {
    std::string list = List({x, y});
    IDataObject* data = CreateFileDragObject(list.c_str(), false);
    ASSERT_NE(data, nullptr);
    std::string bytes = DataBytes(data, CF_HDROP);
    size_t total = list.size() - 1;  // the paths with their NULs
    ASSERT_GE(bytes.size(), (total * 2 + 1) * 2 + 21);
    std::string header("\x14\0\0\0\0\0\0\0\0\0\0\0\0\0\0\0\x01\0\0\0", 20);
    EXPECT_EQ(bytes.substr(0, 20), header);
    std::string wide;
    for (char c : list) {
        wide += c;
        wide += '\0';
    }
    EXPECT_EQ(bytes.substr(20, wide.size()), wide);
    // DragQueryFile reads the same paths back.
    FORMATETC fe = Format(CF_HDROP);
    STGMEDIUM medium = {};
    ASSERT_EQ(data->GetData(&fe, &medium), S_OK);
    HDROP drop = (HDROP)medium.hGlobal;
    ASSERT_EQ(DragQueryFileA(drop, 0xFFFFFFFF, nullptr, 0), 2u);
    char path[MAX_PATH];
    DragQueryFileA(drop, 1, path, sizeof path);
    EXPECT_EQ(std::string(path), y);
    ReleaseStgMedium(&medium);
    data->Release();
}

TEST_F(DragFixture, TextBlockIsEachPathWithCrLf) {
    std::string list = List({x, y});
    IDataObject* data = CreateFileDragObject(list.c_str(), false);
    ASSERT_NE(data, nullptr);
    std::string bytes = DataBytes(data, CF_TEXT);
    std::string text = x + "\r\n" + y + "\r\n";
    // The block holds the paths, one byte more per path and 21 (the system
    // may round its size up); all after the text is zero.
    ASSERT_GE(bytes.size(), list.size() - 1 + 2 + 21);
    EXPECT_EQ(bytes.substr(0, text.size()), text);
    EXPECT_EQ(bytes.find_first_not_of('\0', text.size()), std::string::npos);
    data->Release();
}

TEST_F(DragFixture, IdArrayNamesParentAndEachPath) {
    std::string list = List({x, y});
    IDataObject* data = CreateFileDragObject(list.c_str(), false);
    ASSERT_NE(data, nullptr);
    std::string bytes = DataBytes(data, ShellIdListFormat());
    ASSERT_GE(bytes.size(), 20u);
    ASSERT_EQ(U32(bytes, 0), 2u);
    ASSERT_EQ(U32(bytes, 4), 20u);
    std::vector<std::string> names;
    LPCITEMIDLIST parent = (LPCITEMIDLIST)(bytes.data() + U32(bytes, 4));
    char path[MAX_PATH];
    ASSERT_TRUE(SHGetPathFromIDListA(parent, path));
    EXPECT_EQ(std::string(path), dir);
    for (int i = 0; i < 2; i++) {
        uint32_t at = U32(bytes, 8 + 4 * i);
        ASSERT_LT(at, bytes.size());
        LPITEMIDLIST full = ILCombine(parent, (LPCITEMIDLIST)(bytes.data() + at));
        ASSERT_NE(full, nullptr);
        ASSERT_TRUE(SHGetPathFromIDListA(full, path));
        names.push_back(path);
        ILFree(full);
    }
    EXPECT_EQ(names, (std::vector<std::string>{x, y}));
    // The lists follow each other from the parent's on.
    EXPECT_EQ(U32(bytes, 8), 20u + ILGetSize(parent));
    data->Release();
}

TEST_F(DragFixture, PathThatCannotBeParsedWithholdsOnlyTheIdArray) {
    std::string gone = dir + "\\gone.txt";
    std::string list = List({x, gone});
    IDataObject* data = CreateFileDragObject(list.c_str(), false);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(Formats(data), (std::vector<UINT>{CF_HDROP, CF_TEXT}));
    EXPECT_EQ(DataBytes(data, CF_TEXT).substr(0, x.size() + gone.size() + 4),
              x + "\r\n" + gone + "\r\n");
    data->Release();
}

TEST_F(DragFixture, WrongRequestsAreRefused) {
    std::string list = List({x});
    IDataObject* data = CreateFileDragObject(list.c_str(), false);
    ASSERT_NE(data, nullptr);
    STGMEDIUM medium = {};
    FORMATETC fe = Format(CF_HDROP);
    EXPECT_EQ(data->GetData(nullptr, &medium), E_INVALIDARG);
    EXPECT_EQ(data->GetData(&fe, nullptr), E_INVALIDARG);
    EXPECT_EQ(data->QueryGetData(nullptr), E_INVALIDARG);
    const struct {
        FORMATETC fe;
        HRESULT hr;
    } cases[] = {
        {Format(CF_HDROP, TYMED_HGLOBAL, DVASPECT_ICON), DV_E_DVASPECT},
        {Format(CF_BITMAP), DV_E_FORMATETC},
        {Format(CF_HDROP, TYMED_ISTREAM), DV_E_FORMATETC},
        {Format(CF_TEXT, TYMED_HGLOBAL | TYMED_ISTREAM), S_OK},
    };
    for (auto c : cases) {
        EXPECT_EQ(data->QueryGetData(&c.fe), c.hr) << c.fe.cfFormat;
        STGMEDIUM m = {};
        HRESULT hr = data->GetData(&c.fe, &m);
        EXPECT_EQ(hr, c.hr) << c.fe.cfFormat;
        if (hr == S_OK) ReleaseStgMedium(&m);
    }
    IEnumFORMATETC* list2 = nullptr;
    EXPECT_EQ(data->EnumFormatEtc(DATADIR_SET, &list2), E_NOTIMPL);
    EXPECT_EQ(data->DAdvise(&fe, 0, nullptr, nullptr), E_NOTIMPL);
    EXPECT_EQ(data->DUnadvise(0), E_NOTIMPL);
    EXPECT_EQ(data->EnumDAdvise(nullptr), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(data->GetDataHere(&fe, &medium), E_NOTIMPL);
    void* other = (void*)1;
    EXPECT_EQ(data->QueryInterface(IID_IDropTarget, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    // SetData: a medium the object would not own, or one without data
    // (nothing GetData could serve), is refused.
    STGMEDIUM empty = {};
    empty.tymed = TYMED_HGLOBAL;
    FORMATETC extra = Format(CF_DIB);
    EXPECT_EQ(data->SetData(&extra, &empty, FALSE), E_FAIL);
    EXPECT_EQ(data->SetData(nullptr, &empty, TRUE), E_INVALIDARG);
    EXPECT_EQ(data->SetData(&extra, &empty, TRUE), DV_E_TYMED);
    data->Release();
}

TEST_F(DragFixture, EveryGetDataRendersANewBlock) {
    std::string list = List({x});
    IDataObject* data = CreateFileDragObject(list.c_str(), false);
    ASSERT_NE(data, nullptr);
    FORMATETC fe = Format(CF_TEXT);
    STGMEDIUM a = {}, b = {};
    ASSERT_EQ(data->GetData(&fe, &a), S_OK);
    ASSERT_EQ(data->GetData(&fe, &b), S_OK);
    EXPECT_NE(a.hGlobal, b.hGlobal);
    ReleaseStgMedium(&a);
    ReleaseStgMedium(&b);
    data->Release();
}

TEST_F(DragFixture, EnumeratorNextSkipResetClone) {
    std::string list = List({x, y});
    IDataObject* data = CreateFileDragObject(list.c_str(), false);
    ASSERT_NE(data, nullptr);
    IEnumFORMATETC* e = nullptr;
    ASSERT_EQ(data->EnumFormatEtc(DATADIR_GET, &e), S_OK);
    FORMATETC got[5];
    ULONG fetched = 99;
    EXPECT_EQ(e->Next(0, got, &fetched), S_FALSE);
    EXPECT_EQ(fetched, 0u);
    EXPECT_EQ(e->Next(2, got, nullptr), S_FALSE);  // more than one needs a count back
    EXPECT_EQ(e->Next(1, nullptr, &fetched), S_FALSE);
    EXPECT_EQ(e->Next(5, got, &fetched), S_FALSE);  // only three there
    EXPECT_EQ(fetched, 3u);
    EXPECT_EQ(got[2].cfFormat, ShellIdListFormat());
    EXPECT_EQ(e->Next(1, got, &fetched), S_FALSE);  // at the end
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(3), S_OK);  // exactly to the end: all three skipped
    EXPECT_EQ(e->Next(1, got, nullptr), S_FALSE);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(4), S_FALSE);  // past the end: it stops there
    EXPECT_EQ(e->Next(1, got, nullptr), S_FALSE);
    EXPECT_EQ(e->Reset(), S_OK);
    EXPECT_EQ(e->Skip(1), S_OK);
    IEnumFORMATETC* copy = nullptr;
    ASSERT_EQ(e->Clone(&copy), S_OK);
    EXPECT_EQ(copy->Next(2, got, &fetched), S_OK);
    EXPECT_EQ(fetched, 2u);
    EXPECT_EQ(got[0].cfFormat, CF_TEXT);
    EXPECT_EQ(e->Next(1, got, nullptr), S_OK);  // the original kept its own index
    EXPECT_EQ(got[0].cfFormat, CF_TEXT);
    copy->Release();
    e->Release();
    data->Release();
}

TEST_F(DragFixture, DataADropTargetSetsIsServedBackAndReleased) {
    IDataObject* data = CreateFileDragObject(List({x}).c_str(), true);
    ASSERT_NE(data, nullptr);
    // The shell tells the source what it did in a block of its own.
    UINT performed = RegisterClipboardFormatA("Performed DropEffect");
    STGMEDIUM block = {};
    block.tymed = TYMED_HGLOBAL;
    block.hGlobal = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 4);
    *(char*)GlobalLock(block.hGlobal) = DROPEFFECT_MOVE;
    GlobalUnlock(block.hGlobal);
    FORMATETC fe = Format(performed);
    ASSERT_EQ(data->SetData(&fe, &block, TRUE), S_OK);
    EXPECT_EQ(DataBytes(data, performed), std::string("\x02\0\0\0", 4));
    // A stream taken is held until another replaces it, or the object goes.
    IStream* streams[2] = {};
    FORMATETC fs = Format(RegisterClipboardFormatA("vorn test stream"), TYMED_ISTREAM);
    for (IStream*& stream : streams) {
        ASSERT_EQ(CreateStreamOnHGlobal(nullptr, TRUE, &stream), S_OK);
        stream->AddRef();  // one reference of the test's, to count with
        STGMEDIUM medium = {};
        medium.tymed = TYMED_ISTREAM;
        medium.pstm = stream;
        ASSERT_EQ(data->SetData(&fs, &medium, TRUE), S_OK);
    }
    EXPECT_EQ(streams[0]->Release(), 0u);
    data->Release();
    EXPECT_EQ(streams[1]->Release(), 0u);
}

TEST(DragSource, EscOrBothButtonsCancelReleaseDrops) {
    IDropSource* source = CreateFileDropSource();
    ASSERT_NE(source, nullptr);
    const struct {
        BOOL escape;
        DWORD keys;
        HRESULT hr;
    } cases[] = {
        {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {FALSE, MK_LBUTTON | MK_RBUTTON, DRAGDROP_S_CANCEL},
        {FALSE, MK_LBUTTON, S_OK},
        {FALSE, MK_RBUTTON | MK_CONTROL, S_OK},
        {FALSE, MK_MBUTTON, S_OK},
        {FALSE, 0, DRAGDROP_S_DROP},
        {FALSE, MK_CONTROL | MK_SHIFT, DRAGDROP_S_DROP},
    };
    for (const auto& c : cases)
        EXPECT_EQ(source->QueryContinueDrag(c.escape, c.keys), c.hr) << c.keys;
    EXPECT_EQ(source->GiveFeedback(DROPEFFECT_COPY), DRAGDROP_S_USEDEFAULTCURSORS);
    void* other = (void*)1;
    EXPECT_EQ(source->QueryInterface(IID_IDataObject, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
    IUnknown* unknown = nullptr;
    EXPECT_EQ(source->QueryInterface(IID_IUnknown, (void**)&unknown), S_OK);
    EXPECT_EQ(unknown->Release(), 1u);
    EXPECT_EQ(source->Release(), 0u);
}

TEST_F(DragFixture, ADragLeavingForAnotherProgramLeavesNoWindowOfVornActive) {
    HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP | WS_VISIBLE, 10, 10, 50, 20, nullptr,
                               nullptr, nullptr, nullptr);
    SetActiveWindow(wnd);
    ASSERT_EQ(GetActiveWindow(), wnd);
    IDropTarget* target = NewDropTarget();
    IDataObject* data = CreateFileDragObject(List({x}).c_str(), true);
    POINTL away = {-5000, -5000};  // over no window of vorn, no list on show
    DWORD effect = DROPEFFECT_COPY;
    ASSERT_EQ(target->DragEnter(data, MK_LBUTTON, away, &effect), S_OK);
    target->DragLeave();
    EXPECT_EQ(GetActiveWindow(), nullptr);
    data->Release();
    target->Release();
    DestroyWindow(wnd);
}

HRESULT WINAPI DragLoopStandIn(IDataObject*, IDropSource*, DWORD, DWORD*) {
    return InPumpingOperation() ? DRAGDROP_S_DROP : DRAGDROP_S_CANCEL;
}

TEST_F(DragFixture, RequestsWaitWhileTheDragLoopRuns) {
    EditBoxState saved = EditBox;
    EditBox.wnd = CreateWindowExA(0, "EDIT", x.c_str(), WS_POPUP, 0, 0, 300, 20, nullptr, nullptr,
                                  nullptr, nullptr);
    DragLoopCall = DragLoopStandIn;
    ArmDrag(EditBox.wnd, 0);
    EXPECT_EQ(StartDrag(EditBox.wnd), DRAGDROP_S_DROP) << "kept while the drag runs";
    DragLoopCall = DoDragDrop;
    EXPECT_FALSE(InPumpingOperation());
    DestroyWindow(EditBox.wnd);
    EditBox = saved;
}
