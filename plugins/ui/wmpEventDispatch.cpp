#include "plugins/ui/wmpEventDispatch.h"

#include "extern/player/mediaPlayer.h"

namespace vesk::ui {

namespace {

// The first argument as a number; false when it cannot be one.
bool FirstNumber(const DISPPARAMS& params, long& out) {
    if (params.cArgs < 1 || !params.rgvarg)
        return false;
    VARIANT number;
    ::VariantInit(&number);
    if (FAILED(::VariantChangeType(&number, &params.rgvarg[params.cArgs - 1], 0, VT_I4)))
        return false;
    out = number.lVal;
    return true;
}

IDispatch* FirstObject(const DISPPARAMS& params) {
    if (params.cArgs < 1 || !params.rgvarg)
        return nullptr;
    const VARIANT& first = params.rgvarg[params.cArgs - 1];
    if (first.vt == VT_DISPATCH)
        return first.pdispVal;
    if (first.vt == (VT_DISPATCH | VT_BYREF) && first.ppdispVal)
        return *first.ppdispVal;
    return nullptr;
}

}  // namespace

bool CWMPEventDispatch::AnswersAlso(REFIID iid) const { return IsEqualIID(iid, media::eventsId) != 0; }

HRESULT CWMPEventDispatch::GetTypeInfoCount(UINT* count) {
    if (!count)
        return E_POINTER;
    *count = 0;
    return S_OK;
}

HRESULT CWMPEventDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** out) {
    if (out)
        *out = nullptr;
    return E_NOTIMPL;
}

HRESULT CWMPEventDispatch::GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) { return E_NOTIMPL; }

HRESULT CWMPEventDispatch::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* params, VARIANT*, EXCEPINFO*,
                                  UINT*) {
    if (!params)
        return E_POINTER;
    if (params->cNamedArgs > 0)
        return DISP_E_NONAMEDARGS;
    if (!target_)
        return DISP_E_MEMBERNOTFOUND;
    switch (id) {
    case media::playStateChangeEvent: {
        long state = 0;
        if (FirstNumber(*params, state))
            target_->OnPlayStateChange(state);
        break;
    }
    case media::currentItemChangeEvent:
        target_->OnCurrentItemChange(FirstObject(*params));
        break;
    case media::errorEvent:
        target_->OnPlayerError();
        break;
    default:
        break;
    }
    return DISP_E_MEMBERNOTFOUND;
}

}  // namespace vesk::ui
