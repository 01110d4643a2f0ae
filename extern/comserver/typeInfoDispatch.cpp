#include "extern/comserver/typeInfoDispatch.h"

#include <oleauto.h>

#include "extern/comserver/typeLibrary.h"

namespace vesk::comserver {

typeInfoDispatch::typeInfoDispatch(HMODULE module, REFIID iid) : module_(module), iid_(iid) {}

typeInfoDispatch::~typeInfoDispatch() {
    if (info_)
        info_->Release();
}

HRESULT typeInfoDispatch::typeInfo(ITypeInfo** info) {
    if (!info_) {
        HRESULT result = loadTypeInfo(module_, iid_, &info_);
        if (FAILED(result))
            return result;
    }
    *info = info_;
    return S_OK;
}

HRESULT typeInfoDispatch::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 1;
    return S_OK;
}

HRESULT typeInfoDispatch::GetTypeInfo(UINT index, LCID, ITypeInfo** info) {
    if (!info)
        return E_POINTER;
    *info = nullptr;
    if (index != 0)
        return DISP_E_BADINDEX;
    ITypeInfo* held = nullptr;
    HRESULT result = typeInfo(&held);
    if (FAILED(result))
        return result;
    held->AddRef();
    *info = held;
    return S_OK;
}

HRESULT typeInfoDispatch::GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* held = nullptr;
    HRESULT result = typeInfo(&held);
    return FAILED(result) ? result : DispGetIDsOfNames(held, names, count, ids);
}

HRESULT typeInfoDispatch::Invoke(void* instance, DISPID id, REFIID iid, LCID, WORD flags, DISPPARAMS* parameters,
                                 VARIANT* result, EXCEPINFO* exception, UINT* argumentError) {
    if (!IsEqualIID(iid, IID_NULL))
        return DISP_E_UNKNOWNINTERFACE;
    ITypeInfo* held = nullptr;
    HRESULT loaded = typeInfo(&held);
    if (FAILED(loaded))
        return loaded;
    return DispInvoke(instance, held, id, flags, parameters, result, exception, argumentError);
}

}  // namespace vesk::comserver
