// A media player of the tests' own, in place of the platform's control: it
// implements our declarations of the player, its controls, settings, error
// queue and media items, keeps what it was asked, and has the event
// connection point through which a test fires events into the advised
// sink. Its parts count references together; the test owns the object.
#pragma once

#include <windows.h>
#include <ocidl.h>

#include <string>
#include <vector>

#include "extern/player/mediaPlayer.h"

namespace vesk::ui::test {

class fakePlayer;

// IUnknown and an empty IDispatch for one part, counted by the player.
template <class I>
class fakePart : public I {
public:
    fakePart(fakePlayer& owner, const IID& id) : owner_(owner), id_(id) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*, UINT*) override {
        return E_NOTIMPL;
    }

protected:
    fakePlayer& owner_;
    const IID& id_;
};

class fakeCore : public fakePart<media::IMediaPlayer> {
public:
    using fakePart::fakePart;
    HRESULT STDMETHODCALLTYPE close() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_URL(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_URL(BSTR url) override;
    HRESULT STDMETHODCALLTYPE get_openState(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_playState(long* state) override;
    HRESULT STDMETHODCALLTYPE get_controls(media::IMediaControls** out) override;
    HRESULT STDMETHODCALLTYPE get_settings(media::IMediaSettings** out) override;
    HRESULT STDMETHODCALLTYPE get_currentMedia(media::IMediaItem**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_currentMedia(media::IMediaItem*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_mediaCollection(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_playlistCollection(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_versionInfo(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE launchURL(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_network(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_currentPlaylist(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_currentPlaylist(IDispatch*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_cdromCollection(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_closedCaption(IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_isOnline(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_error(media::IMediaError** out) override;
    HRESULT STDMETHODCALLTYPE get_status(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_enabled(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_enabled(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_fullScreen(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_fullScreen(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_enableContextMenu(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_enableContextMenu(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_uiMode(BSTR mode) override;
    HRESULT STDMETHODCALLTYPE get_uiMode(BSTR* mode) override;
};

class fakeControls : public fakePart<media::IMediaControls> {
public:
    using fakePart::fakePart;
    HRESULT STDMETHODCALLTYPE get_isAvailable(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE play() override;
    HRESULT STDMETHODCALLTYPE stop() override;
    HRESULT STDMETHODCALLTYPE pause() override;
};

class fakeSettings : public fakePart<media::IMediaSettings> {
public:
    using fakePart::fakePart;
    HRESULT STDMETHODCALLTYPE get_isAvailable(BSTR, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_autoStart(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_autoStart(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_baseURL(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_baseURL(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_defaultFrame(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_defaultFrame(BSTR) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_invokeURLs(VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_invokeURLs(VARIANT_BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_mute(VARIANT_BOOL* out) override;
    HRESULT STDMETHODCALLTYPE put_mute(VARIANT_BOOL on) override;
    HRESULT STDMETHODCALLTYPE get_playCount(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_playCount(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_rate(double*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_rate(double) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_balance(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE put_balance(long) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_volume(long* out) override;
    HRESULT STDMETHODCALLTYPE put_volume(long volume) override;
};

class fakeError : public fakePart<media::IMediaError> {
public:
    using fakePart::fakePart;
    HRESULT STDMETHODCALLTYPE clearErrorQueue() override { return S_OK; }
    HRESULT STDMETHODCALLTYPE get_errorCount(long*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_item(long, IDispatch**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE webHelp() override;
};

class fakeItem : public fakePart<media::IMediaItem> {
public:
    using fakePart::fakePart;
    HRESULT STDMETHODCALLTYPE get_isIdentical(media::IMediaItem*, VARIANT_BOOL*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_sourceURL(BSTR*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE get_name(BSTR* out) override;
};

class fakeEventPoint : public IConnectionPointContainer, public IConnectionPoint {
public:
    explicit fakeEventPoint(fakePlayer& owner) : owner_(owner) {}
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE EnumConnectionPoints(IEnumConnectionPoints**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE FindConnectionPoint(REFIID iid, IConnectionPoint** out) override;
    HRESULT STDMETHODCALLTYPE GetConnectionInterface(IID* out) override;
    HRESULT STDMETHODCALLTYPE GetConnectionPointContainer(IConnectionPointContainer** out) override;
    HRESULT STDMETHODCALLTYPE Advise(IUnknown* sink, DWORD* cookie) override;
    HRESULT STDMETHODCALLTYPE Unadvise(DWORD cookie) override;
    HRESULT STDMETHODCALLTYPE EnumConnections(IEnumConnections**) override { return E_NOTIMPL; }

private:
    fakePlayer& owner_;
};

class fakePlayer {
public:
    fakePlayer();
    ~fakePlayer();
    fakePlayer(const fakePlayer&) = delete;
    fakePlayer& operator=(const fakePlayer&) = delete;

    media::IMediaPlayer* Player() { return &core_; }
    // The sink's answer to an event with these arguments (last argument
    // first, as dispatch passes them); E_FAIL when no sink is advised.
    HRESULT Fire(DISPID id, VARIANT* arguments = nullptr, UINT count = 0, UINT named = 0);
    HRESULT FireWithoutParameters(DISPID id);
    HRESULT FirePlayState(long state);
    // Fires the current item change with an item of that name.
    HRESULT FireItemChange(const wchar_t* name);

    // A part answering the interface, with a reference; null when none.
    void* Query(REFIID iid);
    ULONG Count(long change);

    // What the player was told, and what it answers.
    std::wstring url, uiMode = L"full", itemName;
    long playState = media::stateUndefined;
    long volume = 50;
    bool muted = false;
    HRESULT modeAnswer = S_OK;
    int plays = 0, stops = 0, pauses = 0, helps = 0;
    // The calls that matter for their order: "unadvise", "release".
    std::vector<std::string> calls;
    IDispatch* sink = nullptr;  // one reference while advised
    bool refusesEvents = false;
    long references = 0;

private:
    fakeCore core_;
    fakeControls controls_;
    fakeSettings settings_;
    fakeError error_;
    fakeItem item_;
    fakeEventPoint events_;
};

// Windows made from now on get the fake's player instead of the platform's
// control; null puts the platform's back.
void UseFakePlayer(fakePlayer* fake);

}  // namespace vesk::ui::test
