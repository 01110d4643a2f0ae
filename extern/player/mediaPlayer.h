// Our own declarations of the few parts of the platform's media player
// control that the audio toolbar uses: the player, its controls, settings,
// media items and error queue, the event interface's identifier and the
// dispids of the events it handles. Slots are in the order the control's
// own type library gives them; the ones this program never calls take no
// arguments it would depend on.
#pragma once

#include <windows.h>
#include <oaidl.h>

namespace media {

// {6BF52A52-394A-11d3-B153-00C04F79FAA6}
inline const CLSID playerClass = {0x6BF52A52, 0x394A, 0x11d3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
inline const wchar_t playerClassText[] = L"{6BF52A52-394A-11d3-B153-00C04F79FAA6}";
inline const IID playerId = {0x6BF52A4F, 0x394A, 0x11d3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
inline const IID controlsId = {0x74C09E02, 0xF828, 0x11d2, {0xA7, 0x4B, 0x00, 0xA0, 0xC9, 0x05, 0xF3, 0x6E}};
inline const IID settingsId = {0x9104D1AB, 0x80C9, 0x4fed, {0xAB, 0xF0, 0x2E, 0x64, 0x17, 0xA6, 0xDF, 0x14}};
inline const IID itemId = {0x94D55E95, 0x3FAC, 0x11d3, {0xB1, 0x55, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};
inline const IID errorId = {0xA12DCF7D, 0x14AB, 0x4c1b, {0xA8, 0xCD, 0x63, 0x90, 0x9F, 0x06, 0x02, 0x5B}};
// The player's event interface, _WMPOCXEvents, reached only by dispatch.
inline const IID eventsId = {0x6BF52A51, 0x394A, 0x11d3, {0xB1, 0x53, 0x00, 0xC0, 0x4F, 0x79, 0xFA, 0xA6}};

// Event dispids.
constexpr DISPID playStateChangeEvent = 5101;
constexpr DISPID errorEvent = 5501;
constexpr DISPID currentItemChangeEvent = 5806;

enum playState : long {
    stateUndefined = 0,
    stateStopped = 1,
    statePaused = 2,
    statePlaying = 3,
    stateMediaEnded = 8,
    stateReady = 10,
};

struct IMediaControls;
struct IMediaSettings;
struct IMediaItem;
struct IMediaError;

struct IMediaPlayer : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE close() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_URL(BSTR* url) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_URL(BSTR url) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_openState(long* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_playState(long* state) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_controls(IMediaControls** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_settings(IMediaSettings** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_currentMedia(IMediaItem** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_currentMedia(IMediaItem* item) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_mediaCollection(IDispatch** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_playlistCollection(IDispatch** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_versionInfo(BSTR* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE launchURL(BSTR url) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_network(IDispatch** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_currentPlaylist(IDispatch** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_currentPlaylist(IDispatch* list) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_cdromCollection(IDispatch** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_closedCaption(IDispatch** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_isOnline(VARIANT_BOOL* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_error(IMediaError** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_status(BSTR* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_enabled(VARIANT_BOOL* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_enabled(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_fullScreen(VARIANT_BOOL* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_fullScreen(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_enableContextMenu(VARIANT_BOOL* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_enableContextMenu(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_uiMode(BSTR mode) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_uiMode(BSTR* mode) = 0;
};

struct IMediaControls : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_isAvailable(BSTR item, VARIANT_BOOL* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE play() = 0;
    virtual HRESULT STDMETHODCALLTYPE stop() = 0;
    virtual HRESULT STDMETHODCALLTYPE pause() = 0;
};

struct IMediaSettings : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_isAvailable(BSTR item, VARIANT_BOOL* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_autoStart(VARIANT_BOOL* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_autoStart(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_baseURL(BSTR* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_baseURL(BSTR url) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_defaultFrame(BSTR* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_defaultFrame(BSTR frame) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_invokeURLs(VARIANT_BOOL* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_invokeURLs(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_mute(VARIANT_BOOL* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_mute(VARIANT_BOOL on) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_playCount(long* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_playCount(long count) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_rate(double* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_rate(double rate) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_balance(long* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_balance(long balance) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_volume(long* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE put_volume(long volume) = 0;
};

struct IMediaItem : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE get_isIdentical(IMediaItem* other, VARIANT_BOOL* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_sourceURL(BSTR* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_name(BSTR* out) = 0;
};

struct IMediaError : IDispatch {
    virtual HRESULT STDMETHODCALLTYPE clearErrorQueue() = 0;
    virtual HRESULT STDMETHODCALLTYPE get_errorCount(long* out) = 0;
    virtual HRESULT STDMETHODCALLTYPE get_item(long index, IDispatch** out) = 0;
    virtual HRESULT STDMETHODCALLTYPE webHelp() = 0;
};

}  // namespace media
