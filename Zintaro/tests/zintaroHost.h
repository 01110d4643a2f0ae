// The test host: Zintaro.dll met as the player meets it (loaded by its
// path, entered through its exports), the registry keys it owns, and the
// levels a test hands to the renderer.
#pragma once

#include <windows.h>
#include <oleauto.h>

#include <string>
#include <vector>

#include "extern/playerfx/playerEffects.h"
#include "testing/comServer.h"
#include "testing/registry.h"

namespace vesk::test {

using testing::comRef;

namespace zintaroKeys {
const std::string classId = "{4ED480E1-F929-4dd3-BD5D-B12E5F6115FF}";
const std::string libraryId = "{82583BDE-83D1-4883-9A3E-D3390B56E43F}";
const std::string classKey = "CLSID\\" + classId;
const std::string typeLibKey = "TypeLib\\" + libraryId;
const std::string interfaceKey = "Interface\\{ADBF6BCC-A92D-44E5-88BA-35C07271BA05}";
const std::string particleInterfaceKey = "Interface\\{798FC9C0-0357-4E65-B27F-2EA305C9893B}";
// Under HKEY_LOCAL_MACHINE.
const std::string effectsKey = "SOFTWARE\\Microsoft\\MediaPlayer\\Objects\\Effects";
const std::string effectKey = effectsKey + "\\Zintaro";
}  // namespace zintaroKeys

// Every key that registration, unregistration and the tests write, for a
// registryGuard: the player's keys from "MediaPlayer" down, as a test
// machine may not have them.
std::vector<testing::registryGuard::keyPath> zintaroRegistry();

// Zintaro.dll from the stage folder, serving the Zintaro class.
class zintaroDll : public testing::comServerDll {
public:
    zintaroDll();  // throws when it cannot be loaded
};

// A BSTR freed when it goes.
class bstr {
public:
    bstr() = default;
    explicit bstr(const wchar_t* text) : value_(SysAllocString(text)) {}
    ~bstr() { SysFreeString(value_); }
    bstr(const bstr&) = delete;
    bstr& operator=(const bstr&) = delete;
    BSTR get() const { return value_; }
    BSTR* out() {
        SysFreeString(value_);
        value_ = nullptr;
        return &value_;
    }
    // The text in the ANSI code page; "<null>" for none.
    std::string text() const;

private:
    BSTR value_ = nullptr;
};

// Levels with every byte of the four arrays at value.
TimedLevel flatLevels(unsigned char value);

}  // namespace vesk::test
