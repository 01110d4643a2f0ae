#include "Zintaro/zintaro.h"

#include <new>

#include "Zintaro/colorText.h"
#include "Zintaro/moduleResources.h"
#include "Zintaro/renderer.h"
#include "Zintaro/zintaroIds.h"
#include "extern/comserver/classFactory.h"

namespace vesk::zintaro {

namespace {

bool isPreset(LONG preset) { return preset >= 0 && preset < Zintaro::presetCount; }

template <class Value>
HRESULT answer(Value* out, Value value) {
    if (!out)
        return E_POINTER;
    *out = value;
    return S_OK;
}

}  // namespace

Zintaro::Zintaro() : dualInterface(zintaroModule(), IID_IZintaro) { pictures(); }

Zintaro::~Zintaro() { SysFreeString(mediaTitle_); }

HRESULT Zintaro::create(REFIID iid, void** object) {
    return comserver::handOver(new (std::nothrow) Zintaro(), iid, object);
}

HRESULT STDMETHODCALLTYPE Zintaro::QueryInterface(REFIID iid, void** object) {
    if (!object)
        return E_POINTER;
    if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IWMPEffects))
        *object = static_cast<IWMPEffects*>(this);
    else if (IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, IID_IZintaro))
        *object = static_cast<IZintaro*>(this);
    else {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE Zintaro::AddRef() { return references_.add(); }

ULONG STDMETHODCALLTYPE Zintaro::Release() {
    ULONG left = references_.release();
    if (left == 0)
        delete this;
    return left;
}

HRESULT STDMETHODCALLTYPE Zintaro::Render(TimedLevel* levels, HDC dc, RECT* rect) {
    return zintaro::Render(layers_, preset_, pictures().logo, levels, dc, rect);
}

HRESULT STDMETHODCALLTYPE Zintaro::MediaInfo(LONG, LONG, BSTR title) {
    BSTR copy = nullptr;
    if (title) {
        copy = SysAllocStringLen(title, SysStringLen(title));
        if (!copy)
            return E_OUTOFMEMORY;
    }
    SysFreeString(mediaTitle_);
    mediaTitle_ = copy;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Zintaro::GetCapabilities(DWORD* capabilities) { return answer(capabilities, DWORD{0}); }

HRESULT STDMETHODCALLTYPE Zintaro::GetTitle(BSTR* title) { return loadText(IDS_TITLE, title); }

HRESULT STDMETHODCALLTYPE Zintaro::GetPresetTitle(LONG preset, BSTR* title) {
    if (!title)
        return E_POINTER;
    *title = nullptr;
    if (!isPreset(preset))
        return E_INVALIDARG;
    return loadText(preset == 0 ? IDS_PRESET_BARS : IDS_PRESET_WAVE, title);
}

HRESULT STDMETHODCALLTYPE Zintaro::GetPresetCount(LONG* count) { return answer(count, presetCount); }

HRESULT STDMETHODCALLTYPE Zintaro::SetCurrentPreset(LONG preset) {
    if (!isPreset(preset))
        return E_INVALIDARG;
    preset_ = preset;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE Zintaro::GetCurrentPreset(LONG* preset) { return answer(preset, preset_); }

HRESULT STDMETHODCALLTYPE Zintaro::DisplayPropertyPage(HWND) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE Zintaro::GoFullscreen(BOOL) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE Zintaro::RenderFullScreen(TimedLevel*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE Zintaro::get_foregroundColor(BSTR* text) { return FormatColorText(foreground_, text); }

HRESULT STDMETHODCALLTYPE Zintaro::put_foregroundColor(BSTR text) { return ParseColorText(text, foreground_); }

}  // namespace vesk::zintaro
