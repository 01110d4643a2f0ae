// What the type library ZINTAROLib describes (Zintaro.idl), for C++: the
// ids of the library, its classes and interfaces. The ids must stay those of
// Zintaro.idl; the tests compare them with the compiled library.
#pragma once

#include <windows.h>
#include <oaidl.h>

// The effect's scriptable face. The drawing does not use the colour.
struct IZintaro : public IDispatch {
    // The colour as "#RRGGBB".
    virtual HRESULT STDMETHODCALLTYPE get_foregroundColor(BSTR* text) = 0;
    // Seven characters: any first one, then six hexadecimal digits RRGGBB.
    virtual HRESULT STDMETHODCALLTYPE put_foregroundColor(BSTR text) = 0;
};

extern "C" {
extern const IID LIBID_ZINTAROLib;
extern const IID IID_IZintaro;
extern const CLSID CLSID_Zintaro;
// Described by the library only: no server makes a Particle.
extern const IID IID_IParticle;
extern const CLSID CLSID_Particle;
}
