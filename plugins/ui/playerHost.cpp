#include "plugins/ui/playerHost.h"

#include "extern/player/controlHost.h"

namespace vesk::ui {

namespace {

constexpr DWORD hostStyle = 0x52000000;
const wchar_t playerPage[] =
    L"mshtml:<html><body><p>The media player control is not installed.</p>"
    L"<p>See https://www.example.com/media-player for the player.</p></body></html>";
const wchar_t downloadPage[] =
    L"mshtml:<html><body><p>This media player is too old to be hosted.</p>"
    L"<p>See https://www.example.com/media-player/download for a newer one.</p></body></html>";

struct hostLibraryEntries {
    HMODULE module = nullptr;
    media::hostGetFn getHost = nullptr;
    media::hostGetFn getControl = nullptr;
    media::hostCreateFn createControl = nullptr;
    bool classReady = false;
};

template <class F>
F Entry(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

// Loaded on the GUI thread, once.
const hostLibraryEntries& HostLibrary() {
    static hostLibraryEntries entries = [] {
        hostLibraryEntries e;
        e.module = ::LoadLibraryA(media::hostLibrary);
        if (!e.module)
            return e;
        auto init = Entry<media::hostInitFn>(e.module, "AtlAxWinInit");
        e.getHost = Entry<media::hostGetFn>(e.module, "AtlAxGetHost");
        e.getControl = Entry<media::hostGetFn>(e.module, "AtlAxGetControl");
        e.createControl = Entry<media::hostCreateFn>(e.module, "AtlAxCreateControl");
        e.classReady = init && init();
        return e;
    }();
    return entries;
}

// Through the host's hosting interface; a library whose empty host has
// none (Wine's) creates the control through its own entry point.
bool CreateInHost(HWND host, const wchar_t* name) {
    const hostLibraryEntries& library = HostLibrary();
    IUnknown* hostObject = nullptr;
    if (library.getHost && SUCCEEDED(library.getHost(host, &hostObject)) && hostObject) {
        media::IHostWindow* hosting = nullptr;
        HRESULT answer = hostObject->QueryInterface(media::hostWindowId, reinterpret_cast<void**>(&hosting));
        hostObject->Release();
        if (SUCCEEDED(answer) && hosting) {
            answer = hosting->CreateControl(name, host, nullptr);
            hosting->Release();
            return SUCCEEDED(answer);
        }
    }
    if (!library.createControl)
        return false;
    IUnknown* container = nullptr;
    HRESULT answer = library.createControl(name, host, nullptr, &container);
    if (container)
        container->Release();
    return SUCCEEDED(answer);
}

}  // namespace

HWND CreatePlayerHostWindow(HWND parent) {
    if (!HostLibrary().classReady || !parent)
        return nullptr;
    RECT client = {};
    if (!::GetClientRect(parent, &client))
        return nullptr;
    return ::CreateWindowExA(WS_EX_CLIENTEDGE, media::hostWindowClass, "WMP Host", hostStyle, 0, 0, client.right,
                             client.bottom, parent, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

media::IMediaPlayer* HostMediaPlayer(HWND host) {
    const hostLibraryEntries& library = HostLibrary();
    if (!host || !library.getControl)
        return nullptr;
    if (!CreateInHost(host, media::playerClassText)) {
        CreateInHost(host, playerPage);
        return nullptr;
    }
    IUnknown* control = nullptr;
    if (FAILED(library.getControl(host, &control)) || !control)
        return nullptr;
    media::IMediaPlayer* player = nullptr;
    HRESULT answer = control->QueryInterface(media::playerId, reinterpret_cast<void**>(&player));
    control->Release();
    if (FAILED(answer) || !player) {
        CreateInHost(host, downloadPage);
        return nullptr;
    }
    return player;
}

}  // namespace vesk::ui
