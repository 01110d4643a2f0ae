// Self-registration from the module's resources, with the test program as
// a server that has a registry script but no type library.
#include <gtest/gtest.h>

#include <olectl.h>

#include <string>

#include "extern/comserver/registryScript.h"
#include "extern/comserver/selfRegistration.h"
#include "extern/comserver/typeLibrary.h"
#include "testing/registry.h"

namespace vesk::test {
namespace {

using namespace vesk::comserver;
using namespace vesk::testing;

const int testScriptId = 201;
const std::string base = "Vesk.ComserverTest";

std::string narrow(const std::wstring& text) {
    char out[MAX_PATH * 4];
    int n = WideCharToMultiByte(CP_ACP, 0, text.c_str(), -1, out, sizeof out, nullptr, nullptr);
    return n > 0 ? std::string(out) : std::string();
}

TEST(SelfRegistration, ScriptNamesTheModulesPath) {
    registryScript script;
    std::string error;
    ASSERT_TRUE(loadServerScript(GetModuleHandleA(nullptr), testScriptId, script, error)) << error;
    ASSERT_EQ(script.roots.size(), 1u);
    ASSERT_EQ(script.roots[0].keys.size(), 1u);
    ASSERT_EQ(script.roots[0].keys[0].subkeys.size(), 1u);
    const scriptKey& server = script.roots[0].keys[0].subkeys[0];
    ASSERT_EQ(server.values.size(), 1u);

    char path[MAX_PATH];
    DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
    ASSERT_TRUE(n > 0 && n < MAX_PATH);
    EXPECT_EQ(narrow(server.values[0].text), std::string(path, n));

    std::wstring module;
    ASSERT_TRUE(modulePath(GetModuleHandleA(nullptr), module));
    EXPECT_EQ(narrow(module), std::string(path, n));
}

TEST(SelfRegistration, AFailedTypeLibraryTakesTheScriptsKeysAway) {
    registryGuard guard{{{HKEY_CLASSES_ROOT, base}}};
    ASSERT_TRUE(deleteTree(HKEY_CLASSES_ROOT, base));
    EXPECT_EQ(registerServer(GetModuleHandleA(nullptr), testScriptId), SELFREG_E_TYPELIB);
    EXPECT_TRUE(keyExists(HKEY_CLASSES_ROOT, base)) << "the script's NoRemove key stays";
    EXPECT_FALSE(keyExists(HKEY_CLASSES_ROOT, base + "\\Server"));
}

TEST(SelfRegistration, AMissingScriptIsAClassFailure) {
    EXPECT_EQ(registerServer(GetModuleHandleA(nullptr), testScriptId + 1), SELFREG_E_CLASS);
    EXPECT_EQ(unregisterServer(GetModuleHandleA(nullptr), testScriptId + 1), SELFREG_E_CLASS);
    registryScript script;
    std::string error;
    EXPECT_FALSE(loadServerScript(GetModuleHandleA(nullptr), testScriptId + 1, script, error));
    EXPECT_NE(error.find("202"), std::string::npos) << error;
}

}  // namespace
}  // namespace vesk::test
