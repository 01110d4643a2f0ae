#include "plugins/ui/tests/fakePlayer.h"

#include <olectl.h>

#include "plugins/ui/listServices.h"

namespace vesk::ui::test {

namespace {

constexpr DWORD sinkCookie = 7;

fakePlayer* usedFake = nullptr;

media::IMediaPlayer* MakeFake(HWND) {
    return usedFake ? static_cast<media::IMediaPlayer*>(usedFake->Query(media::playerId)) : nullptr;
}

BSTR Copy(const std::wstring& text) { return ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())); }

}  // namespace

template <class I>
HRESULT fakePart<I>::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    if (IsEqualIID(iid, id_) || IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
        *out = static_cast<I*>(this);
        AddRef();
        return S_OK;
    }
    *out = owner_.Query(iid);
    return *out ? S_OK : E_NOINTERFACE;
}

template <class I>
ULONG fakePart<I>::AddRef() {
    return owner_.Count(1);
}

template <class I>
ULONG fakePart<I>::Release() {
    return owner_.Count(-1);
}

HRESULT fakeCore::put_URL(BSTR url) {
    owner_.url = url ? url : L"";
    return S_OK;
}

HRESULT fakeCore::get_playState(long* state) {
    *state = owner_.playState;
    return S_OK;
}

HRESULT fakeCore::get_controls(media::IMediaControls** out) {
    *out = static_cast<media::IMediaControls*>(owner_.Query(media::controlsId));
    return S_OK;
}

HRESULT fakeCore::get_settings(media::IMediaSettings** out) {
    *out = static_cast<media::IMediaSettings*>(owner_.Query(media::settingsId));
    return S_OK;
}

HRESULT fakeCore::get_error(media::IMediaError** out) {
    *out = static_cast<media::IMediaError*>(owner_.Query(media::errorId));
    return S_OK;
}

HRESULT fakeCore::put_uiMode(BSTR mode) {
    if (SUCCEEDED(owner_.modeAnswer))
        owner_.uiMode = mode ? mode : L"";
    return owner_.modeAnswer;
}

HRESULT fakeCore::get_uiMode(BSTR* mode) {
    *mode = Copy(owner_.uiMode);
    return S_OK;
}

// The player's state follows its controls, as a real one's does.
HRESULT fakeControls::play() {
    ++owner_.plays;
    owner_.playState = media::statePlaying;
    return S_OK;
}

HRESULT fakeControls::stop() {
    ++owner_.stops;
    owner_.playState = media::stateStopped;
    return S_OK;
}

HRESULT fakeControls::pause() {
    ++owner_.pauses;
    owner_.playState = media::statePaused;
    return S_OK;
}

HRESULT fakeSettings::get_mute(VARIANT_BOOL* out) {
    *out = owner_.muted ? VARIANT_TRUE : VARIANT_FALSE;
    return S_OK;
}

HRESULT fakeSettings::put_mute(VARIANT_BOOL on) {
    owner_.muted = on != VARIANT_FALSE;
    return S_OK;
}

HRESULT fakeSettings::get_volume(long* out) {
    *out = owner_.volume;
    return S_OK;
}

HRESULT fakeSettings::put_volume(long volume) {
    owner_.volume = volume;
    return S_OK;
}

HRESULT fakeError::webHelp() {
    ++owner_.helps;
    return S_OK;
}

HRESULT fakeItem::get_name(BSTR* out) {
    *out = Copy(owner_.itemName);
    return S_OK;
}

HRESULT fakeEventPoint::QueryInterface(REFIID iid, void** out) {
    if (!out)
        return E_POINTER;
    *out = owner_.Query(iid);
    return *out ? S_OK : E_NOINTERFACE;
}

ULONG fakeEventPoint::AddRef() { return owner_.Count(1); }
ULONG fakeEventPoint::Release() { return owner_.Count(-1); }

HRESULT fakeEventPoint::FindConnectionPoint(REFIID iid, IConnectionPoint** out) {
    if (!out)
        return E_POINTER;
    *out = nullptr;
    if (owner_.refusesEvents || !IsEqualIID(iid, media::eventsId))
        return CONNECT_E_NOCONNECTION;
    *out = static_cast<IConnectionPoint*>(this);
    AddRef();
    return S_OK;
}

HRESULT fakeEventPoint::GetConnectionInterface(IID* out) {
    *out = media::eventsId;
    return S_OK;
}

HRESULT fakeEventPoint::GetConnectionPointContainer(IConnectionPointContainer** out) {
    *out = static_cast<IConnectionPointContainer*>(this);
    AddRef();
    return S_OK;
}

// The sink is asked for the event interface, as a player asks it.
HRESULT fakeEventPoint::Advise(IUnknown* sink, DWORD* cookie) {
    if (!sink || !cookie)
        return E_POINTER;
    if (owner_.sink)
        return CONNECT_E_ADVISELIMIT;
    IDispatch* events = nullptr;
    if (FAILED(sink->QueryInterface(media::eventsId, reinterpret_cast<void**>(&events))) || !events)
        return CONNECT_E_CANNOTCONNECT;
    owner_.sink = events;
    *cookie = sinkCookie;
    return S_OK;
}

HRESULT fakeEventPoint::Unadvise(DWORD cookie) {
    owner_.calls.push_back("unadvise");
    if (cookie != sinkCookie || !owner_.sink)
        return CONNECT_E_NOCONNECTION;
    owner_.sink->Release();
    owner_.sink = nullptr;
    return S_OK;
}

fakePlayer::fakePlayer()
    : core_(*this, media::playerId),
      controls_(*this, media::controlsId),
      settings_(*this, media::settingsId),
      error_(*this, media::errorId),
      item_(*this, media::itemId),
      events_(*this) {}

fakePlayer::~fakePlayer() {
    if (sink)
        sink->Release();
}

ULONG fakePlayer::Count(long change) {
    references += change;
    if (change < 0)
        calls.push_back("release");
    return static_cast<ULONG>(references);
}

void* fakePlayer::Query(REFIID iid) {
    void* part = nullptr;
    if (IsEqualIID(iid, media::playerId))
        part = static_cast<media::IMediaPlayer*>(&core_);
    else if (IsEqualIID(iid, media::controlsId))
        part = static_cast<media::IMediaControls*>(&controls_);
    else if (IsEqualIID(iid, media::settingsId))
        part = static_cast<media::IMediaSettings*>(&settings_);
    else if (IsEqualIID(iid, media::errorId))
        part = static_cast<media::IMediaError*>(&error_);
    else if (IsEqualIID(iid, media::itemId))
        part = static_cast<media::IMediaItem*>(&item_);
    else if (IsEqualIID(iid, IID_IConnectionPointContainer))
        part = static_cast<IConnectionPointContainer*>(&events_);
    if (part)
        Count(1);
    return part;
}

HRESULT fakePlayer::Fire(DISPID id, VARIANT* arguments, UINT count, UINT named) {
    if (!sink)
        return E_FAIL;
    DISPID namedIds[1] = {DISPID_PROPERTYPUT};
    DISPPARAMS params = {arguments, named ? namedIds : nullptr, count, named};
    return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, &params, nullptr, nullptr, nullptr);
}

HRESULT fakePlayer::FireWithoutParameters(DISPID id) {
    if (!sink)
        return E_FAIL;
    return sink->Invoke(id, IID_NULL, 0, DISPATCH_METHOD, nullptr, nullptr, nullptr, nullptr);
}

HRESULT fakePlayer::FirePlayState(long state) {
    playState = state;
    VARIANT argument;
    ::VariantInit(&argument);
    argument.vt = VT_I4;
    argument.lVal = state;
    return Fire(media::playStateChangeEvent, &argument, 1);
}

HRESULT fakePlayer::FireItemChange(const wchar_t* name) {
    itemName = name;
    VARIANT argument;
    ::VariantInit(&argument);
    argument.vt = VT_DISPATCH;
    argument.pdispVal = static_cast<media::IMediaItem*>(&item_);
    return Fire(media::currentItemChangeEvent, &argument, 1);
}

void UseFakePlayer(fakePlayer* fake) {
    usedFake = fake;
    ListServices().makePlayer = fake ? &MakeFake : &HostMediaPlayer;
}

}  // namespace vesk::ui::test
