// Class objects and the unload count of a server.
#include <gtest/gtest.h>

#include "extern/comserver/classFactory.h"
#include "extern/comserver/refCount.h"
#include "extern/comserver/serverCount.h"

namespace vesk::test {
namespace {

using namespace vesk::comserver;

const CLSID probeClass = {0x6A1C2D9E, 0x55B0, 0x4D6F, {0x8E, 0x21, 0x0C, 0x9D, 0x3B, 0x47, 0x1A, 0x60}};
const CLSID otherClass = {0x6A1C2D9E, 0x55B0, 0x4D6F, {0x8E, 0x21, 0x0C, 0x9D, 0x3B, 0x47, 0x1A, 0x61}};

class probe final : public IUnknown {
public:
    static HRESULT create(REFIID iid, void** object) {
        auto* made = new probe();
        HRESULT result = made->QueryInterface(iid, object);
        made->Release();
        return result;
    }
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (!IsEqualIID(iid, IID_IUnknown)) {
            *object = nullptr;
            return E_NOINTERFACE;
        }
        *object = this;
        AddRef();
        return S_OK;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return references_.add(); }
    ULONG STDMETHODCALLTYPE Release() override {
        ULONG left = references_.release();
        if (left == 0)
            delete this;
        return left;
    }

private:
    refCount references_;
    liveObject alive_;
};

const classEntry classes[] = {{&probeClass, &probe::create}};

IClassFactory* factoryOf(REFCLSID clsid) {
    void* object = nullptr;
    EXPECT_EQ(getClassObject(classes, 1, clsid, IID_IClassFactory, &object), S_OK);
    return static_cast<IClassFactory*>(object);
}

TEST(ClassFactory, ServesOnlyTheClassesOfItsTable) {
    void* object = &object;
    EXPECT_EQ(getClassObject(classes, 1, otherClass, IID_IClassFactory, &object), CLASS_E_CLASSNOTAVAILABLE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(getClassObject(classes, 1, probeClass, IID_IClassFactory, nullptr), E_POINTER);
    object = &object;
    EXPECT_EQ(getClassObject(classes, 1, probeClass, IID_IDispatch, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(canUnloadNow(), S_OK) << "a refused request leaves nothing alive";
}

TEST(ClassFactory, MakesObjectsAndRefusesAggregation) {
    IClassFactory* factory = factoryOf(probeClass);
    ASSERT_NE(factory, nullptr);
    void* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &object), S_OK);
    ASSERT_NE(object, nullptr);
    static_cast<IUnknown*>(object)->Release();

    probe outer;  // any IUnknown will do: it is refused before use
    object = &object;
    EXPECT_EQ(factory->CreateInstance(&outer, IID_IUnknown, &object), CLASS_E_NOAGGREGATION);
    EXPECT_EQ(object, nullptr);
    EXPECT_EQ(factory->CreateInstance(nullptr, IID_IClassFactory, &object), E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    factory->Release();
}

TEST(ClassFactory, ServerStaysLoadedWhileAnObjectOrLockLives) {
    ASSERT_EQ(canUnloadNow(), S_OK);
    IClassFactory* factory = factoryOf(probeClass);
    ASSERT_NE(factory, nullptr);
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "while the factory lives";
    void* object = nullptr;
    ASSERT_EQ(factory->CreateInstance(nullptr, IID_IUnknown, &object), S_OK);
    EXPECT_EQ(factory->LockServer(TRUE), S_OK);
    factory->Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "while an object and a lock live";
    static_cast<IUnknown*>(object)->Release();
    EXPECT_EQ(canUnloadNow(), S_FALSE) << "while a lock is held";
    lockServer(false);
    EXPECT_EQ(canUnloadNow(), S_OK);

    // An unlock without a lock cannot make the next lock count for nothing.
    lockServer(false);
    lockServer(true);
    EXPECT_EQ(canUnloadNow(), S_FALSE);
    lockServer(false);
    EXPECT_EQ(canUnloadNow(), S_OK);
}

}  // namespace
}  // namespace vesk::test
