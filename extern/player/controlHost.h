// Our own declarations of the platform's control-hosting library, loaded
// at run time: its entry points and the first slot of the host window's
// hosting interface.
#pragma once

#include <windows.h>
#include <objidl.h>

namespace media {

// {B6EA2050-048A-11d1-82B9-00C04FB9942E}
inline const IID hostWindowId = {0xB6EA2050, 0x048A, 0x11d1, {0x82, 0xB9, 0x00, 0xC0, 0x4F, 0xB9, 0x94, 0x2E}};

struct IHostWindow : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateControl(LPCOLESTR name, HWND window, IStream* state) = 0;
};

constexpr const char* hostLibrary = "atl.dll";
constexpr const char* hostWindowClass = "AtlAxWin";

using hostInitFn = BOOL(WINAPI*)();
using hostGetFn = HRESULT(WINAPI*)(HWND host, IUnknown** out);
using hostCreateFn = HRESULT(WINAPI*)(LPCOLESTR name, HWND host, IStream* state, IUnknown** container);

}  // namespace media
