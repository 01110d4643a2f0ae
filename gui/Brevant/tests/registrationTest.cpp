// Registration as regsvr32 does it, read back with the registry API, and
// unregistration that takes only what the server owns.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "gui/Brevant/brevantLib.h"
#include "gui/Brevant/tests/brevantHost.h"
#include "testing/comServer.h"
#include "testing/processRun.h"
#include "testing/registry.h"

namespace vesk::test {
namespace {

using namespace vesk::testing;
using names = std::vector<std::string>;

const std::string classId = "{369F880A-41BB-49CF-927F-3E3D6DA084E6}";
const std::string libraryId = "{F265D210-7726-42EB-93BA-6780875BB285}";
const std::string siblingClassKey = "CLSID\\{0D1E2F30-4A5B-4C6D-8E9F-A0B1C2D3E4F5}";
const std::string siblingLibraryKey = "TypeLib\\{0D1E2F30-4A5B-4C6D-8E9F-A0B1C2D3E4F6}";

std::vector<registryGuard::keyPath> guardedKeys() {
    std::vector<registryGuard::keyPath> keys = brevantRegistry();
    keys.push_back({HKEY_CLASSES_ROOT, siblingClassKey});
    keys.push_back({HKEY_CLASSES_ROOT, siblingLibraryKey});
    return keys;
}

std::string text(const std::string& path, const std::string& name = "") {
    std::string value;
    return readString(HKEY_CLASSES_ROOT, path, name, value) ? value : "<none>";
}

std::string narrow(const wchar_t* text) {
    char out[512];
    return text && WideCharToMultiByte(CP_ACP, 0, text, -1, out, sizeof out, nullptr, nullptr) > 0 ? out : "";
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        // What an earlier run left behind must not pass for this one's work.
        for (const registryGuard::keyPath& key : guardedKeys())
            ASSERT_TRUE(deleteTree(key.root, key.path));
        ASSERT_TRUE(keyExists(HKEY_CLASSES_ROOT, "CLSID"));
    }

    void expectRegistered(const std::string& modulePath) {
        EXPECT_EQ(text(brevantKeys::progId), "VeskSH Class");
        EXPECT_EQ(text(brevantKeys::progId + "\\CLSID"), classId);
        EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, brevantKeys::progId), (names{"CLSID"}));
        EXPECT_EQ(text(brevantKeys::versionIndependentProgId), "VeskSH Class");
        EXPECT_EQ(text(brevantKeys::versionIndependentProgId + "\\CLSID"), classId);
        EXPECT_EQ(text(brevantKeys::versionIndependentProgId + "\\CurVer"), "Brevant.VeskSH.1");
        EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, brevantKeys::versionIndependentProgId), (names{"CLSID", "CurVer"}));

        const std::string& key = brevantKeys::classKey;
        EXPECT_EQ(text(key), "VeskSH Class");
        EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, key),
                  (names{"InprocServer32", "ProgID", "Programmable", "TypeLib", "VersionIndependentProgID"}));
        EXPECT_EQ(text(key + "\\ProgID"), "Brevant.VeskSH.1");
        EXPECT_EQ(text(key + "\\VersionIndependentProgID"), "Brevant.VeskSH");
        EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, key + "\\Programmable"), names{});
        EXPECT_EQ(valueNames(HKEY_CLASSES_ROOT, key + "\\Programmable"), names{});
        EXPECT_EQ(lowerCase(text(key + "\\InprocServer32")), lowerCase(modulePath));
        EXPECT_EQ(text(key + "\\InprocServer32", "ThreadingModel"), "Apartment");
        EXPECT_EQ(text(key + "\\TypeLib"), libraryId);

        EXPECT_EQ(lowerCase(text(brevantKeys::typeLibKey + "\\1.0\\0\\" + typeLibraryPlatform())),
                  lowerCase(modulePath));
        EXPECT_EQ(text(brevantKeys::interfaceKey + "\\TypeLib"), libraryId);
    }

    void expectUnregistered() {
        for (const registryGuard::keyPath& key : brevantRegistry()) {
            if (key.root == HKEY_CLASSES_ROOT) {
                EXPECT_FALSE(keyExists(key.root, key.path)) << key.path;
            }
        }
        EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "CLSID"));
    }

    registryGuard guard_{guardedKeys()};
    brevantDll dll_;
};

TEST_F(Registration, WritesTheClassItsProgIdsAndItsTypeLibrary) {
    ASSERT_EQ(dll_.registerServer(), S_OK);
    expectRegistered(dll_.modulePath());
    ASSERT_EQ(dll_.registerServer(), S_OK) << "registering again";
    expectRegistered(dll_.modulePath());
}

TEST_F(Registration, TypeLibraryLoadsByItsIdAndDescribesTheDualInterface) {
    ASSERT_EQ(dll_.registerServer(), S_OK);
    comRef<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_BREVANTLib, 1, 0, LOCALE_NEUTRAL, reinterpret_cast<ITypeLib**>(library.out())),
              S_OK);
    TLIBATTR* attributes = nullptr;
    ASSERT_EQ(library->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(IsEqualGUID(attributes->guid, LIBID_BREVANTLib));
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    library->ReleaseTLibAttr(attributes);
    BSTR name = nullptr, doc = nullptr;
    ASSERT_EQ(library->GetDocumentation(-1, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(narrow(name), "BREVANTLib");
    EXPECT_EQ(narrow(doc), "Brevant 1.0 Type Library");
    SysFreeString(name);
    SysFreeString(doc);

    comRef<ITypeInfo> dispatchPart;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID_IVeskSH, reinterpret_cast<ITypeInfo**>(dispatchPart.out())), S_OK);
    TYPEATTR* type = nullptr;
    ASSERT_EQ(dispatchPart->GetTypeAttr(&type), S_OK);
    EXPECT_EQ(type->typekind, TKIND_DISPATCH);
    EXPECT_TRUE(type->wTypeFlags & TYPEFLAG_FDUAL);
    dispatchPart->ReleaseTypeAttr(type);
    ASSERT_EQ(dispatchPart->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(narrow(name), "IVeskSH");
    EXPECT_EQ(narrow(doc), "IVeskSH Interface");
    SysFreeString(name);
    SysFreeString(doc);

    // The interface part: no operations of its own, derived from IDispatch.
    HREFTYPE interfaceRef = 0;
    ASSERT_EQ(dispatchPart->GetRefTypeOfImplType(-1, &interfaceRef), S_OK);
    comRef<ITypeInfo> interfacePart;
    ASSERT_EQ(dispatchPart->GetRefTypeInfo(interfaceRef, reinterpret_cast<ITypeInfo**>(interfacePart.out())), S_OK);
    ASSERT_EQ(interfacePart->GetTypeAttr(&type), S_OK);
    EXPECT_EQ(type->typekind, TKIND_INTERFACE);
    EXPECT_EQ(type->cFuncs, 0);
    EXPECT_EQ(type->cImplTypes, 1);
    interfacePart->ReleaseTypeAttr(type);
    HREFTYPE baseRef = 0;
    ASSERT_EQ(interfacePart->GetRefTypeOfImplType(0, &baseRef), S_OK);
    comRef<ITypeInfo> base;
    ASSERT_EQ(interfacePart->GetRefTypeInfo(baseRef, reinterpret_cast<ITypeInfo**>(base.out())), S_OK);
    ASSERT_EQ(base->GetTypeAttr(&type), S_OK);
    EXPECT_TRUE(IsEqualGUID(type->guid, IID_IDispatch));
    base->ReleaseTypeAttr(type);

    comRef<ITypeInfo> coclass;
    ASSERT_EQ(library->GetTypeInfoOfGuid(CLSID_VeskSH, reinterpret_cast<ITypeInfo**>(coclass.out())), S_OK);
    ASSERT_EQ(coclass->GetTypeAttr(&type), S_OK);
    EXPECT_EQ(type->typekind, TKIND_COCLASS);
    coclass->ReleaseTypeAttr(type);
    ASSERT_EQ(coclass->GetDocumentation(MEMBERID_NIL, &name, &doc, nullptr, nullptr), S_OK);
    EXPECT_EQ(narrow(name), "VeskSH");
    EXPECT_EQ(narrow(doc), "VeskSH Class");
    SysFreeString(name);
    SysFreeString(doc);
}

TEST_F(Registration, UnregistrationTakesOnlyWhatTheServerOwns) {
    ASSERT_TRUE(writeString(HKEY_CLASSES_ROOT, siblingClassKey, "", "Another Class"));
    ASSERT_TRUE(writeString(HKEY_CLASSES_ROOT, siblingLibraryKey + "\\1.0", "", "Another Library"));
    ASSERT_EQ(dll_.registerServer(), S_OK);
    ASSERT_EQ(dll_.unregisterServer(), S_OK);
    expectUnregistered();
    EXPECT_EQ(text(siblingClassKey), "Another Class");
    EXPECT_EQ(text(siblingLibraryKey + "\\1.0"), "Another Library");
    EXPECT_EQ(dll_.unregisterServer(), S_OK) << "unregistering what is not registered";
}

TEST_F(Registration, Regsvr32RegistersAndUnregistersIt) {
    ASSERT_EQ(runProgram("regsvr32 /s \"" + dll_.path() + "\""), 0ul);
    expectRegistered(dll_.modulePath());
    ASSERT_EQ(runProgram("regsvr32 /u /s \"" + dll_.path() + "\""), 0ul);
    expectUnregistered();
}

}  // namespace
}  // namespace vesk::test
