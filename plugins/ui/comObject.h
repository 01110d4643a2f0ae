// The counting and interface query of the small COM objects the lists hand
// to OLE and to the media player: each counts its own references from 1,
// deletes itself at 0 and answers IUnknown and its one interface (and any
// extra interface identifiers given, for event sinks reached by a
// dispatch interface's identifier).
#pragma once

#include <windows.h>
#include <objbase.h>

namespace vesk::ui {

template <class I, const IID& ownId>
class comObject : public I {
public:
    comObject() = default;
    comObject(const comObject&) = delete;
    comObject& operator=(const comObject&) = delete;

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (!out)
            return E_POINTER;
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, ownId) || AnswersAlso(iid)) {
            *out = static_cast<I*>(this);
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return static_cast<ULONG>(::InterlockedIncrement(&count_)); }
    ULONG STDMETHODCALLTYPE Release() override {
        LONG after = ::InterlockedDecrement(&count_);
        if (after == 0)
            delete this;
        return static_cast<ULONG>(after);
    }

protected:
    virtual ~comObject() = default;
    virtual bool AnswersAlso(REFIID) const { return false; }

private:
    volatile LONG count_ = 1;
};

}  // namespace vesk::ui
