// Registration as the player's installer does it, read back with the
// registry API, and unregistration that takes only what the server owns.
#include <gtest/gtest.h>

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "Zintaro/tests/zintaroHost.h"
#include "Zintaro/zintaroLib.h"
#include "testing/comServer.h"
#include "testing/registry.h"

namespace vesk::test {
namespace {

using namespace vesk::testing;
using names = std::vector<std::string>;

const std::string siblingEffectKey = zintaroKeys::effectsKey + "\\AnotherEffect";
const std::string siblingClassKey = "CLSID\\{5A6B7C8D-1E2F-4A3B-9C4D-5E6F708192A3}";

std::vector<registryGuard::keyPath> guardedKeys() {
    std::vector<registryGuard::keyPath> keys = zintaroRegistry();
    keys.push_back({HKEY_CLASSES_ROOT, siblingClassKey});
    return keys;
}

std::string text(HKEY root, const std::string& path, const std::string& name = "") {
    std::string value;
    return readString(root, path, name, value) ? value : "<none>";
}

class Registration : public ::testing::Test {
protected:
    void SetUp() override {
        // What an earlier run left behind must not pass for this one's work.
        for (const registryGuard::keyPath& key : guardedKeys())
            ASSERT_TRUE(deleteTree(key.root, key.path));
    }

    void expectRegistered() {
        const std::string& key = zintaroKeys::classKey;
        EXPECT_EQ(text(HKEY_CLASSES_ROOT, key), "Zintaro Class");
        EXPECT_EQ(subkeyNames(HKEY_CLASSES_ROOT, key), (names{"InprocServer32", "TypeLib"}));
        EXPECT_EQ(lowerCase(text(HKEY_CLASSES_ROOT, key + "\\InprocServer32")), lowerCase(dll_.modulePath()));
        EXPECT_EQ(text(HKEY_CLASSES_ROOT, key + "\\InprocServer32", "ThreadingModel"), "Apartment");
        EXPECT_EQ(text(HKEY_CLASSES_ROOT, key + "\\TypeLib"), zintaroKeys::libraryId);

        EXPECT_EQ(lowerCase(text(HKEY_CLASSES_ROOT, zintaroKeys::typeLibKey + "\\1.0\\0\\" + typeLibraryPlatform())),
                  lowerCase(dll_.modulePath()));
        EXPECT_EQ(text(HKEY_CLASSES_ROOT, zintaroKeys::interfaceKey + "\\TypeLib"), zintaroKeys::libraryId);

        EXPECT_EQ(subkeyNames(HKEY_LOCAL_MACHINE, zintaroKeys::effectKey), names{"Properties"});
        const std::string properties = zintaroKeys::effectKey + "\\Properties";
        EXPECT_EQ(valueNames(HKEY_LOCAL_MACHINE, properties), (names{"classid", "description", "name"}));
        EXPECT_EQ(text(HKEY_LOCAL_MACHINE, properties, "classid"), zintaroKeys::classId);
        EXPECT_EQ(text(HKEY_LOCAL_MACHINE, properties, "name"), "Zintaro");
        EXPECT_EQ(text(HKEY_LOCAL_MACHINE, properties, "description"),
                  "This collection includes the Zintaro Bars and Zintaro Wave effects.");
    }

    registryGuard guard_{guardedKeys()};
    zintaroDll dll_;
};

TEST_F(Registration, WritesTheClassTheEffectEntryAndTheTypeLibrary) {
    ASSERT_EQ(dll_.registerServer(), S_OK);
    expectRegistered();
    ASSERT_EQ(dll_.registerServer(), S_OK) << "registering again";
    expectRegistered();
}

TEST_F(Registration, UnregistrationTakesOnlyWhatTheServerOwns) {
    ASSERT_TRUE(writeString(HKEY_LOCAL_MACHINE, siblingEffectKey + "\\Properties", "name", "Another"));
    ASSERT_TRUE(writeString(HKEY_CLASSES_ROOT, siblingClassKey, "", "Another Class"));
    ASSERT_EQ(dll_.registerServer(), S_OK);
    // Something another program added below the server's own keys goes too.
    ASSERT_TRUE(writeString(HKEY_LOCAL_MACHINE, zintaroKeys::effectKey + "\\Properties\\Extra", "", "x"));
    ASSERT_TRUE(writeString(HKEY_CLASSES_ROOT, zintaroKeys::classKey + "\\Extra", "", "x"));

    ASSERT_EQ(dll_.unregisterServer(), S_OK);
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, zintaroKeys::classKey));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, zintaroKeys::typeLibKey));
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, zintaroKeys::interfaceKey));
    EXPECT_FALSE(keyExists(HKEY_LOCAL_MACHINE, zintaroKeys::effectKey));
    EXPECT_TRUE(keyExists(HKEY_LOCAL_MACHINE, zintaroKeys::effectsKey));
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, "CLSID"));
    EXPECT_EQ(text(HKEY_LOCAL_MACHINE, siblingEffectKey + "\\Properties", "name"), "Another");
    EXPECT_EQ(text(HKEY_CLASSES_ROOT, siblingClassKey), "Another Class");
    EXPECT_EQ(dll_.unregisterServer(), S_OK) << "unregistering what is not registered";
}

TEST_F(Registration, RegisteredClassIsCreatedByItsId) {
    testing::comApartment apartment;
    ASSERT_EQ(dll_.registerServer(), S_OK);
    comRef<IWMPEffects> effect;
    ASSERT_EQ(CoCreateInstance(CLSID_Zintaro, nullptr, CLSCTX_INPROC_SERVER, IID_IWMPEffects, effect.out()), S_OK);
    LONG count = 0;
    EXPECT_EQ(effect->GetPresetCount(&count), S_OK);
    EXPECT_EQ(count, 2);
}

std::string documentation(ITypeInfo* info) {
    bstr name, doc;
    if (FAILED(info->GetDocumentation(MEMBERID_NIL, name.out(), doc.out(), nullptr, nullptr)))
        return "<none>";
    return name.text() + ": " + doc.text();
}

TEST_F(Registration, TypeLibraryDescribesTheColourAndBothClasses) {
    ASSERT_EQ(dll_.registerServer(), S_OK);
    comRef<ITypeLib> library;
    ASSERT_EQ(LoadRegTypeLib(LIBID_ZINTAROLib, 1, 0, LOCALE_NEUTRAL, reinterpret_cast<ITypeLib**>(library.out())),
              S_OK);
    bstr name, doc;
    ASSERT_EQ(library->GetDocumentation(-1, name.out(), doc.out(), nullptr, nullptr), S_OK);
    EXPECT_EQ(name.text(), "ZINTAROLib");
    EXPECT_EQ(doc.text(), "Zintaro 1.0 Type Library");

    struct described {
        const GUID* id;
        TYPEKIND kind;
        std::string documentation;
    };
    const described types[] = {
        {&IID_IZintaro, TKIND_DISPATCH, "IZintaro: IZintaro Interface"},
        {&IID_IParticle, TKIND_DISPATCH, "IParticle: IParticle Interface"},
        {&CLSID_Zintaro, TKIND_COCLASS, "Zintaro: Zintaro Class"},
        {&CLSID_Particle, TKIND_COCLASS, "Particle: Particle Class"},
    };
    for (const described& type : types) {
        comRef<ITypeInfo> info;
        ASSERT_EQ(library->GetTypeInfoOfGuid(*type.id, reinterpret_cast<ITypeInfo**>(info.out())), S_OK)
            << type.documentation;
        TYPEATTR* attributes = nullptr;
        ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
        EXPECT_EQ(attributes->typekind, type.kind) << type.documentation;
        if (type.kind == TKIND_DISPATCH) {
            EXPECT_TRUE(attributes->wTypeFlags & TYPEFLAG_FDUAL) << type.documentation;
        }
        info->ReleaseTypeAttr(attributes);
        EXPECT_EQ(documentation(info.get()), type.documentation);
    }

    // The colour: one string property, read and written under DISPID 1.
    comRef<ITypeInfo> dispatchPart;
    ASSERT_EQ(library->GetTypeInfoOfGuid(IID_IZintaro, reinterpret_cast<ITypeInfo**>(dispatchPart.out())), S_OK);
    HREFTYPE interfaceRef = 0;
    ASSERT_EQ(dispatchPart->GetRefTypeOfImplType(-1, &interfaceRef), S_OK);
    comRef<ITypeInfo> interfacePart;
    ASSERT_EQ(dispatchPart->GetRefTypeInfo(interfaceRef, reinterpret_cast<ITypeInfo**>(interfacePart.out())), S_OK);
    TYPEATTR* attributes = nullptr;
    ASSERT_EQ(interfacePart->GetTypeAttr(&attributes), S_OK);
    ASSERT_EQ(attributes->cFuncs, 2);
    interfacePart->ReleaseTypeAttr(attributes);
    const INVOKEKIND kinds[] = {INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT};
    for (UINT i = 0; i < 2; ++i) {
        FUNCDESC* function = nullptr;
        ASSERT_EQ(interfacePart->GetFuncDesc(i, &function), S_OK);
        EXPECT_EQ(function->memid, 1);
        EXPECT_EQ(function->invkind, kinds[i]);
        ASSERT_EQ(function->cParams, 1);
        VARTYPE type = function->lprgelemdescParam[0].tdesc.vt;
        if (type == VT_PTR)
            type = function->lprgelemdescParam[0].tdesc.lptdesc->vt;
        EXPECT_EQ(type, VT_BSTR);
        bstr member;
        ASSERT_EQ(interfacePart->GetDocumentation(function->memid, member.out(), nullptr, nullptr, nullptr), S_OK);
        EXPECT_EQ(member.text(), "foregroundColor");
        interfacePart->ReleaseFuncDesc(function);
    }
}

}  // namespace
}  // namespace vesk::test
