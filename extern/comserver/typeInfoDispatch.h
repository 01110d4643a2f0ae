// IDispatch for a dual interface, answered from the interface's description
// in the module's type library: an object forwards its four IDispatch
// operations here.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace vesk::comserver {

class typeInfoDispatch {
public:
    typeInfoDispatch(HMODULE module, REFIID iid);
    ~typeInfoDispatch();
    typeInfoDispatch(const typeInfoDispatch&) = delete;
    typeInfoDispatch& operator=(const typeInfoDispatch&) = delete;

    HRESULT GetTypeInfoCount(UINT* count);
    HRESULT GetTypeInfo(UINT index, LCID locale, ITypeInfo** info);
    HRESULT GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale, DISPID* ids);
    // instance: the object's pointer of the dual interface.
    HRESULT Invoke(void* instance, DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                   VARIANT* result, EXCEPINFO* exception, UINT* argumentError);

private:
    // The description, loaded at first use and kept.
    HRESULT typeInfo(ITypeInfo** info);

    HMODULE module_;
    IID iid_;
    ITypeInfo* info_ = nullptr;  // one reference held
};

}  // namespace vesk::comserver
