// Zintaro: the effect object the media player loads as a visualization.
// Two presets, "Vesk" (the waveform layers) and "Vesk Wave" (the same with
// the turning logo); a scriptable foreground colour the drawing does not use.
#pragma once

#include <windows.h>

#include "Zintaro/renderState.h"
#include "Zintaro/zintaroLib.h"
#include "extern/comserver/dualInterface.h"
#include "extern/comserver/refCount.h"
#include "extern/comserver/serverCount.h"
#include "extern/playerfx/playerEffects.h"

namespace vesk::zintaro {

// IDispatch comes from the type library.
class Zintaro final : public IWMPEffects, public comserver::dualInterface<IZintaro> {
public:
    // The class's creation function for the class factory.
    static HRESULT create(REFIID iid, void** object);

    static constexpr LONG presetCount = 2;

    // IUnknown
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    // IWMPEffects
    HRESULT STDMETHODCALLTYPE Render(TimedLevel* levels, HDC dc, RECT* rect) override;
    // Keeps a copy of the title; the counts are not used.
    HRESULT STDMETHODCALLTYPE MediaInfo(LONG channelCount, LONG sampleRate, BSTR title) override;
    // 0: no full screen, no property page.
    HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* capabilities) override;
    HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) override;
    // E_INVALIDARG for a preset other than 0 or 1.
    HRESULT STDMETHODCALLTYPE GetPresetTitle(LONG preset, BSTR* title) override;
    HRESULT STDMETHODCALLTYPE GetPresetCount(LONG* count) override;
    // E_INVALIDARG, and no change, for a preset other than 0 or 1.
    HRESULT STDMETHODCALLTYPE SetCurrentPreset(LONG preset) override;
    HRESULT STDMETHODCALLTYPE GetCurrentPreset(LONG* preset) override;
    // E_NOTIMPL, as the capabilities say.
    HRESULT STDMETHODCALLTYPE DisplayPropertyPage(HWND owner) override;
    HRESULT STDMETHODCALLTYPE GoFullscreen(BOOL fullScreen) override;
    HRESULT STDMETHODCALLTYPE RenderFullScreen(TimedLevel* levels) override;

    // IZintaro
    HRESULT STDMETHODCALLTYPE get_foregroundColor(BSTR* text) override;
    HRESULT STDMETHODCALLTYPE put_foregroundColor(BSTR text) override;

    // The title MediaInfo kept; null when none was told.
    const wchar_t* MediaTitle() const { return mediaTitle_; }

private:
    Zintaro();
    ~Zintaro();

    comserver::refCount references_;
    comserver::liveObject alive_;
    COLORREF foreground_ = RGB(255, 0, 0);
    LONG preset_ = 0;
    BSTR mediaTitle_ = nullptr;  // owned; null: none told
    effectLayers layers_;
};

}  // namespace vesk::zintaro
