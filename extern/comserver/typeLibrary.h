// The type library a server carries as its TYPELIB resource 1, as
// LoadTypeLib finds it in the module's file.
#pragma once

#include <windows.h>
#include <oaidl.h>

#include <string>

namespace vesk::comserver {

// The module's full file name; false when it cannot be had whole.
bool modulePath(HMODULE module, std::wstring& path);

// Writes and removes the TypeLib and Interface keys of the library; a
// library that is not registered is unregistered with success.
HRESULT registerTypeLibrary(HMODULE module);
HRESULT unregisterTypeLibrary(HMODULE module);

// The description of one interface of the library; the caller owns the
// reference put in *info (null on failure).
HRESULT loadTypeInfo(HMODULE module, REFIID iid, ITypeInfo** info);

}  // namespace vesk::comserver
