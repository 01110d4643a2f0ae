// The media player's effects interface as a visualization meets it: the
// audio levels of one frame and the operations the player calls on an
// effect object. Our own declaration, written from what the visualization
// needs, under the interface id the player asks for.
#pragma once

#include <windows.h>
#include <unknwn.h>
#include <oaidl.h>

#include <cstddef>

// The player's state when it hands over a frame's levels.
enum playerState : LONG { stopState = 0, pauseState = 1, playState = 2 };

// One frame of audio levels. Bytes per channel: the spectrum from low to
// high frequencies, and the waveform centred on 128.
struct TimedLevel {
    unsigned char frequency[2][1024];
    unsigned char waveform[2][1024];
    LONG state;  // a playerState
    LONGLONG timeStamp;
};

// The record is the same on 32-bit and 64-bit builds: the stamp sits on an
// 8-byte boundary either way.
static_assert(offsetof(TimedLevel, waveform) == 2048, "waveform bytes follow the spectrum");
static_assert(offsetof(TimedLevel, state) == 4096, "state follows the levels");
static_assert(offsetof(TimedLevel, timeStamp) == 4104, "the stamp is 8-byte aligned");
static_assert(sizeof(TimedLevel) == 4112, "the player hands 4112 bytes");

// What GetCapabilities may answer; 0 is an effect drawn only in the
// player's own window, without settings of its own.
constexpr DWORD effectCanGoFullScreen = 0x1;
constexpr DWORD effectHasPropertyPage = 0x2;

// {D3984C13-C3CB-48E2-8BE5-5168340B4F35}: the player asks an effect object
// for this id; an object that does not answer it is never loaded.
inline constexpr IID IID_IWMPEffects = {0xD3984C13, 0xC3CB, 0x48E2, {0x8B, 0xE5, 0x51, 0x68, 0x34, 0x0B, 0x4F, 0x35}};

// The player calls every operation on the thread it made the effect on.
// Out pointers may be null (the effect answers E_POINTER); strings handed
// out are new BSTRs the player frees.
struct IWMPEffects : public IUnknown {
    // Draws one frame of levels into dc, within rect (whose left and top
    // are 0 as the player passes it).
    virtual HRESULT STDMETHODCALLTYPE Render(TimedLevel* levels, HDC dc, RECT* rect) = 0;
    // The media now playing; title may be null, and is the player's.
    virtual HRESULT STDMETHODCALLTYPE MediaInfo(LONG channelCount, LONG sampleRate, BSTR title) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCapabilities(DWORD* capabilities) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetTitle(BSTR* title) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPresetTitle(LONG preset, BSTR* title) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetPresetCount(LONG* count) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetCurrentPreset(LONG preset) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetCurrentPreset(LONG* preset) = 0;
    virtual HRESULT STDMETHODCALLTYPE DisplayPropertyPage(HWND owner) = 0;
    virtual HRESULT STDMETHODCALLTYPE GoFullscreen(BOOL fullScreen) = 0;
    // Draws one frame on the whole screen, for an effect that can.
    virtual HRESULT STDMETHODCALLTYPE RenderFullScreen(TimedLevel* levels) = 0;
};
