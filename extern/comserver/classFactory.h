// The class objects of an in-process server: a table of the classes it
// serves and the factory DllGetClassObject hands out for one of them.
#pragma once

#include <windows.h>
#include <unknwn.h>

#include <cstddef>

#include "extern/comserver/refCount.h"
#include "extern/comserver/serverCount.h"

namespace vesk::comserver {

// Makes a new object and answers its interface iid in *object (null on
// failure); the caller owns that one reference.
using createFunction = HRESULT (*)(REFIID iid, void** object);

struct classEntry {
    const CLSID* clsid;
    createFunction create;
};

// The end of a class's creation function: answers interface iid of created,
// a new object holding its creator's one reference, and gives that
// reference up. E_OUTOFMEMORY when created is null.
template <class Object>
HRESULT handOver(Object* created, REFIID iid, void** object) {
    if (!created) {
        if (object)
            *object = nullptr;
        return E_OUTOFMEMORY;
    }
    HRESULT result = created->QueryInterface(iid, object);
    created->Release();
    return result;
}

// DllGetClassObject over a table of classes: CLASS_E_CLASSNOTAVAILABLE for
// a class not in it.
HRESULT getClassObject(const classEntry* classes, std::size_t count, REFCLSID clsid, REFIID iid, void** object);

// Aggregation is refused: no server here is built to be an inner object.
class classFactory final : public IClassFactory {
public:
    explicit classFactory(createFunction create);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) override;
    HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) override;

private:
    ~classFactory() = default;

    refCount references_;
    liveObject alive_;
    createFunction create_;
};

}  // namespace vesk::comserver
