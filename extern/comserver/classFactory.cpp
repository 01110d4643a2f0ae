#include "extern/comserver/classFactory.h"

#include <new>

namespace vesk::comserver {

HRESULT getClassObject(const classEntry* classes, std::size_t count, REFCLSID clsid, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    for (std::size_t i = 0; i < count; ++i) {
        if (!IsEqualCLSID(*classes[i].clsid, clsid))
            continue;
        auto* factory = new (std::nothrow) classFactory(classes[i].create);
        if (!factory)
            return E_OUTOFMEMORY;
        HRESULT result = factory->QueryInterface(iid, object);
        factory->Release();
        return result;
    }
    return CLASS_E_CLASSNOTAVAILABLE;
}

classFactory::classFactory(createFunction create) : create_(create) {}

HRESULT STDMETHODCALLTYPE classFactory::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IClassFactory)) {
        *object = static_cast<IClassFactory*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE classFactory::AddRef() { return references_.add(); }

ULONG STDMETHODCALLTYPE classFactory::Release() {
    ULONG left = references_.release();
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE classFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    *object = nullptr;
    if (outer)
        return CLASS_E_NOAGGREGATION;
    return create_(iid, object);
}

HRESULT STDMETHODCALLTYPE classFactory::LockServer(BOOL lock) {
    lockServer(lock != FALSE);
    return S_OK;
}

}  // namespace vesk::comserver
