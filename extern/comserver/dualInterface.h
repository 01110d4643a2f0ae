// A dual interface whose IDispatch part is answered from the module's type
// library: a class derives from dualInterface<IMine> instead of IMine and
// implements only IUnknown and IMine's own operations.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "extern/comserver/typeInfoDispatch.h"

namespace vesk::comserver {

template <class Interface>
class dualInterface : public Interface {
public:
    // iid: Interface's id in the type library of module.
    dualInterface(HMODULE module, REFIID iid) : dispatch_(module, iid) {}

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override { return dispatch_.GetTypeInfoCount(count); }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override {
        return dispatch_.GetTypeInfo(index, locale, info);
    }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override {
        return dispatch_.GetIDsOfNames(iid, names, count, locale, ids);
    }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                                     VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override {
        return dispatch_.Invoke(static_cast<Interface*>(this), id, iid, locale, flags, parameters, result, exception,
                                argumentError);
    }

private:
    typeInfoDispatch dispatch_;
};

}  // namespace vesk::comserver
