// What the type library BREVANTLib describes (Brevant.idl), for C++: the
// ids of the library, the class and its scriptable interface. The ids must
// stay those of Brevant.idl; the tests compare them with the compiled library.
#pragma once

#include <windows.h>
#include <oaidl.h>

// Scriptable face of the shell extension: IDispatch only, answered from the
// type library.
struct IVeskSH : public IDispatch {};

extern "C" {
extern const IID LIBID_BREVANTLib;
extern const IID IID_IVeskSH;
extern const CLSID CLSID_VeskSH;
}
