// The VeskSH object as the shell drives it: creation, its interfaces, the
// server's unload count, Initialize with a data object, the menu item.
#include <gtest/gtest.h>

#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "gui/Brevant/brevantLib.h"
#include "gui/Brevant/tests/brevantHost.h"
#include "testing/registry.h"

namespace vesk::test {
namespace {

using namespace vesk::testing;

class VeskSHObject : public ::testing::Test {
protected:
    testing::comApartment apartment_;
    brevantDll dll_;
};

TEST_F(VeskSHObject, IsCreatedByClassIdAndByEitherProgId) {
    registryGuard guard{brevantRegistry()};
    ASSERT_EQ(dll_.registerServer(), S_OK);
    for (const wchar_t* progId : {L"Brevant.VeskSH", L"Brevant.VeskSH.1"}) {
        CLSID clsid = {};
        ASSERT_EQ(CLSIDFromProgID(progId, &clsid), S_OK);
        EXPECT_TRUE(IsEqualCLSID(clsid, CLSID_VeskSH));
        comRef<IContextMenu> menu;
        EXPECT_EQ(CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IContextMenu, menu.out()), S_OK);
        EXPECT_TRUE(menu);
    }
    comRef<IShellExtInit> byClass;
    EXPECT_EQ(CoCreateInstance(CLSID_VeskSH, nullptr, CLSCTX_INPROC_SERVER, IID_IShellExtInit, byClass.out()), S_OK);
    EXPECT_TRUE(byClass);
}

TEST_F(VeskSHObject, AnswersEveryInterfaceAsOneObject) {
    comRef<IUnknown> object;
    ASSERT_EQ(dll_.create(IID_IUnknown, object.out()), S_OK);
    const IID* interfaces[] = {&IID_IUnknown, &IID_IShellExtInit, &IID_IContextMenu, &IID_IContextMenu2,
                               &IID_IContextMenu3, &IID_IDispatch, &IID_IVeskSH};
    for (const IID* iid : interfaces) {
        comRef<IUnknown> face;
        ASSERT_EQ(object->QueryInterface(*iid, face.out()), S_OK);
        comRef<IUnknown> identity;
        ASSERT_EQ(face->QueryInterface(IID_IUnknown, identity.out()), S_OK);
        EXPECT_EQ(identity.get(), object.get()) << "one identity for every interface";
    }
    void* other = &other;
    EXPECT_EQ(object->QueryInterface(IID_IClassFactory, &other), E_NOINTERFACE);
    EXPECT_EQ(other, nullptr);
}

TEST_F(VeskSHObject, ServerStaysLoadedWhileAnObjectOrLockLives) {
    ASSERT_EQ(dll_.canUnloadNow(), S_OK);
    {
        comRef<IContextMenu3> menu;
        ASSERT_EQ(dll_.create(IID_IContextMenu3, menu.out()), S_OK);
        EXPECT_EQ(dll_.canUnloadNow(), S_FALSE);
    }
    EXPECT_EQ(dll_.canUnloadNow(), S_OK);
    comRef<IClassFactory> factory;
    ASSERT_EQ(dll_.classObject(CLSID_VeskSH, IID_IClassFactory, factory.out()), S_OK);
    ASSERT_EQ(factory->LockServer(TRUE), S_OK);
    factory.reset();
    EXPECT_EQ(dll_.canUnloadNow(), S_FALSE);
    ASSERT_EQ(dll_.classObject(CLSID_VeskSH, IID_IClassFactory, factory.out()), S_OK);
    ASSERT_EQ(factory->LockServer(FALSE), S_OK);
    factory.reset();
    EXPECT_EQ(dll_.canUnloadNow(), S_OK);
}

TEST_F(VeskSHObject, ServesOnlyItsClass) {
    void* factory = &factory;
    EXPECT_EQ(dll_.classObject(IID_IDispatch, IID_IClassFactory, &factory), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(factory, nullptr);
}

TEST_F(VeskSHObject, DispatchComesFromTheTypeLibrary) {
    comRef<IDispatch> dispatch;
    ASSERT_EQ(dll_.create(IID_IDispatch, dispatch.out()), S_OK);
    UINT count = 0;
    ASSERT_EQ(dispatch->GetTypeInfoCount(&count), S_OK);
    EXPECT_EQ(count, 1u);
    comRef<ITypeInfo> info;
    ASSERT_EQ(dispatch->GetTypeInfo(0, LOCALE_NEUTRAL, reinterpret_cast<ITypeInfo**>(info.out())), S_OK);
    TYPEATTR* type = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&type), S_OK);
    EXPECT_TRUE(IsEqualGUID(type->guid, IID_IVeskSH));
    info->ReleaseTypeAttr(type);
    ITypeInfo* none = nullptr;
    EXPECT_EQ(dispatch->GetTypeInfo(1, LOCALE_NEUTRAL, &none), DISP_E_BADINDEX);

    wchar_t nameText[] = L"Run";
    LPOLESTR names[] = {nameText};
    DISPID id = 0;
    EXPECT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_NEUTRAL, &id), DISP_E_UNKNOWNNAME);
    DISPPARAMS noArguments = {};
    EXPECT_EQ(dispatch->Invoke(1, IID_NULL, LOCALE_NEUTRAL, DISPATCH_METHOD, &noArguments, nullptr, nullptr, nullptr),
              DISP_E_MEMBERNOTFOUND);
}

// ---- Initialize ----

// Owns the dropped-file list of one medium; the medium is released by
// releasing this.
class mediumOwner final : public IUnknown {
public:
    explicit mediumOwner(HGLOBAL memory) : memory_(memory) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = IsEqualIID(iid, IID_IUnknown) ? this : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++references_; }
    ULONG STDMETHODCALLTYPE Release() override {
        if (--references_ == 0 && memory_) {
            GlobalFree(memory_);
            memory_ = nullptr;
        }
        return references_;
    }
    bool released() const { return references_ == 0; }

private:
    HGLOBAL memory_;
    ULONG references_ = 1;
};

// The data object of a selection: files as CF_HDROP, or no CF_HDROP at all.
class selection final : public IDataObject {
public:
    explicit selection(std::vector<std::string> files, bool offersDrop = true)
        : files_(std::move(files)), offersDrop_(offersDrop) {}
    ~selection() {
        for (mediumOwner* owner : owners_)
            delete owner;
    }

    // Media handed out and released by the taker.
    int mediaGiven() const { return static_cast<int>(owners_.size()); }
    int mediaReleased() const {
        int released = 0;
        for (mediumOwner* owner : owners_)
            released += owner->released() ? 1 : 0;
        return released;
    }
    const FORMATETC& asked() const { return asked_; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        asked_ = *format;
        if (!offersDrop_ || format->cfFormat != CF_HDROP || !(format->tymed & TYMED_HGLOBAL))
            return DV_E_FORMATETC;
        HGLOBAL memory = dropList();
        if (!memory)
            return E_OUTOFMEMORY;
        owners_.push_back(new mediumOwner(memory));
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = memory;
        medium->pUnkForRelease = owners_.back();
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        *object = IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDataObject) ? this : nullptr;
        if (!*object)
            return E_NOINTERFACE;
        AddRef();
        return S_OK;
    }
    // Lives on the test's stack.
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return offersDrop_ && format->cfFormat == CF_HDROP ? S_OK : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC* out) override {
        out->ptd = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC** out) override {
        *out = nullptr;
        return E_NOTIMPL;
    }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override {
        return OLE_E_ADVISENOTSUPPORTED;
    }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return OLE_E_ADVISENOTSUPPORTED; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA** out) override {
        *out = nullptr;
        return OLE_E_ADVISENOTSUPPORTED;
    }

private:
    // DROPFILES followed by the names, each ended by a zero, and one more zero.
    HGLOBAL dropList() const {
        size_t size = sizeof(DROPFILES) + 1;
        for (const std::string& file : files_)
            size += file.size() + 1;
        HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
        auto* drop = memory ? static_cast<DROPFILES*>(GlobalLock(memory)) : nullptr;
        if (!drop)
            return memory;
        drop->pFiles = sizeof(DROPFILES);
        char* names = reinterpret_cast<char*>(drop + 1);
        for (const std::string& file : files_) {
            std::memcpy(names, file.c_str(), file.size() + 1);
            names += file.size() + 1;
        }
        GlobalUnlock(memory);
        return memory;
    }

    std::vector<std::string> files_;
    bool offersDrop_;
    std::vector<mediumOwner*> owners_;
    FORMATETC asked_ = {};
};

struct initializeCase {
    const char* label;
    std::vector<std::string> files;
    bool offersDrop;
    HRESULT expected;
    int media;  // handed out, and each released
};

class Initialize : public VeskSHObject, public ::testing::WithParamInterface<initializeCase> {};

TEST_P(Initialize, AcceptsExactlyOneFileAndReleasesTheMedium) {
    comRef<IShellExtInit> init;
    ASSERT_EQ(dll_.create(IID_IShellExtInit, init.out()), S_OK);
    selection data(GetParam().files, GetParam().offersDrop);
    EXPECT_EQ(init->Initialize(nullptr, &data, nullptr), GetParam().expected);
    EXPECT_EQ(data.mediaGiven(), GetParam().media);
    EXPECT_EQ(data.mediaReleased(), GetParam().media);
    EXPECT_EQ(data.asked().cfFormat, CF_HDROP);
    EXPECT_EQ(data.asked().dwAspect, static_cast<DWORD>(DVASPECT_CONTENT));
    EXPECT_EQ(data.asked().lindex, -1);
    EXPECT_EQ(data.asked().tymed, static_cast<DWORD>(TYMED_HGLOBAL));
}

INSTANTIATE_TEST_SUITE_P(
    VeskSH, Initialize,
    ::testing::Values(initializeCase{"OneFile", {"C:\\music\\song.mp3"}, true, S_OK, 1},
                      initializeCase{"TwoFiles", {"C:\\a.txt", "C:\\b.txt"}, true, E_FAIL, 1},
                      initializeCase{"EmptyList", {}, true, E_FAIL, 1},
                      initializeCase{"NoDroppedFiles", {"C:\\a.txt"}, false, E_FAIL, 0}),
    [](const auto& testCase) { return std::string(testCase.param.label); });

TEST_F(VeskSHObject, InitializeWithoutADataObjectFails) {
    comRef<IShellExtInit> init;
    ASSERT_EQ(dll_.create(IID_IShellExtInit, init.out()), S_OK);
    EXPECT_EQ(init->Initialize(nullptr, nullptr, nullptr), E_FAIL);
}

// ---- the menu ----

std::string itemText(HMENU menu, UINT position) {
    char text[256];
    int n = GetMenuStringA(menu, position, text, sizeof text, MF_BYPOSITION);
    return n > 0 ? std::string(text, static_cast<size_t>(n)) : std::string();
}

TEST_F(VeskSHObject, AddsItsItemWhereTheShellAsks) {
    comRef<IContextMenu> menu;
    ASSERT_EQ(dll_.create(IID_IContextMenu, menu.out()), S_OK);
    HMENU popup = CreatePopupMenu();
    ASSERT_NE(popup, nullptr);
    for (UINT id = 1; id <= 3; ++id)
        ASSERT_TRUE(AppendMenuA(popup, MF_STRING, id, std::string("Item " + std::to_string(id)).c_str()));

    EXPECT_EQ(menu->QueryContextMenu(popup, 2, 1000, 1999, CMF_NORMAL), MAKE_HRESULT(SEVERITY_SUCCESS, 0, 1));
    ASSERT_EQ(GetMenuItemCount(popup), 4);
    EXPECT_EQ(itemText(popup, 1), "Item 2");
    EXPECT_EQ(itemText(popup, 2), "&Run with Parameters");
    EXPECT_EQ(GetMenuItemID(popup, 2), 1000u);
    EXPECT_EQ(itemText(popup, 3), "Item 3");
    DestroyMenu(popup);
}

TEST_F(VeskSHObject, HasNoCommandStrings) {
    comRef<IContextMenu> menu;
    ASSERT_EQ(dll_.create(IID_IContextMenu, menu.out()), S_OK);
    for (UINT type : {GCS_VERBA, GCS_HELPTEXTA, GCS_VALIDATEA, GCS_VERBW, GCS_HELPTEXTW}) {
        char text[64] = "untouched";
        EXPECT_EQ(menu->GetCommandString(0, type, nullptr, text, sizeof text), E_INVALIDARG) << type;
        EXPECT_STREQ(text, "untouched");
    }
}

TEST_F(VeskSHObject, MenuMessagesAreAnsweredWithoutDrawing) {
    comRef<IContextMenu3> menu;
    ASSERT_EQ(dll_.create(IID_IContextMenu3, menu.out()), S_OK);
    EXPECT_EQ(menu->HandleMenuMsg(WM_INITMENUPOPUP, 0, 0), S_OK);
    LRESULT result = 12345;
    EXPECT_EQ(menu->HandleMenuMsg2(WM_MEASUREITEM, 0, 0, &result), S_OK);
    EXPECT_EQ(result, 0);
    EXPECT_EQ(menu->HandleMenuMsg2(WM_MENUCHAR, 0, 0, nullptr), S_OK);
}

TEST_F(VeskSHObject, InvokeWithoutCommandInformationIsRefused) {
    comRef<IContextMenu> menu;
    ASSERT_EQ(dll_.create(IID_IContextMenu, menu.out()), S_OK);
    EXPECT_EQ(menu->InvokeCommand(nullptr), E_INVALIDARG);
}

}  // namespace
}  // namespace vesk::test
