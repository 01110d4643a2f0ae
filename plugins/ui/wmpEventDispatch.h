// vesk::ui::CWMPEventDispatch: the media player's event sink. The player
// calls it by dispatch with the event's dispid; the few events the audio
// toolbar follows go to its target, every other one is ignored.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include "plugins/ui/comObject.h"

namespace vesk::ui {

// What the sink reports to; the events arrive on the GUI thread.
class playerEventTarget {
public:
    virtual void OnPlayStateChange(long state) = 0;
    virtual void OnCurrentItemChange(IDispatch* item) = 0;
    virtual void OnPlayerError() = 0;

protected:
    ~playerEventTarget() = default;
};

class CWMPEventDispatch : public comObject<IDispatch, IID_IDispatch> {
public:
    explicit CWMPEventDispatch(playerEventTarget* target) : target_(target) {}

    // The target goes before the sink may: later events reach nobody.
    void Detach() { target_ = nullptr; }

    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT* count) override;
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT index, LCID locale, ITypeInfo** out) override;
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                                            DISPID* ids) override;
    // Every call is answered DISP_E_MEMBERNOTFOUND once handled; a null
    // parameter block E_POINTER and named arguments DISP_E_NONAMEDARGS.
    HRESULT STDMETHODCALLTYPE Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* params,
                                     VARIANT* result, EXCEPINFO* exception, UINT* badArgument) override;

protected:
    ~CWMPEventDispatch() override = default;
    bool AnswersAlso(REFIID iid) const override;

private:
    playerEventTarget* target_;
};

}  // namespace vesk::ui
