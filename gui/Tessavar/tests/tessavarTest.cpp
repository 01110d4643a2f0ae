// Tessavar.exe under Wine in a scratch folder: which resource module it
// reads, what it writes over "vesk.egg", what it leaves alone, and the
// language choice it resets. Each test puts the client's registry key back
// as it found it.
#include <gtest/gtest.h>
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "plugins/persist/tests/persistTestSupport.h"
#include "testing/testPaths.h"
#include "vesk/data.h"

namespace vesk::tessavar::test {
namespace {

using vesk::testing::copyFile;
using vesk::testing::fileExists;
using vesk::testing::readFile;
using vesk::testing::tempDir;
using vesk::testing::writeFile;

constexpr const char* clientKey = "Software\\Pelloran";

struct registryValue {
    DWORD type = REG_NONE;
    std::string data;
};

std::optional<registryValue> readValue(const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, clientKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    registryValue v;
    DWORD size = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &v.type, nullptr, &size);
    if (result == ERROR_SUCCESS) {
        v.data.resize(size);
        result = RegQueryValueExA(key, name, nullptr, &v.type, reinterpret_cast<BYTE*>(&v.data[0]), &size);
        v.data.resize(size);
    }
    RegCloseKey(key);
    if (result != ERROR_SUCCESS)
        return std::nullopt;
    return v;
}

// Writes the value (its bytes exactly as given) or, with nullopt, deletes it.
void writeValue(const char* name, const std::optional<registryValue>& v) {
    HKEY key = nullptr;
    ASSERT_EQ(
        RegCreateKeyExA(HKEY_CURRENT_USER, clientKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
        ERROR_SUCCESS);
    if (v)
        EXPECT_EQ(RegSetValueExA(key, name, 0, v->type, reinterpret_cast<const BYTE*>(v->data.data()),
                                 static_cast<DWORD>(v->data.size())),
                  ERROR_SUCCESS);
    else
        RegDeleteValueA(key, name);
    RegCloseKey(key);
}

registryValue text(const std::string& s) {
    return {REG_SZ, s + '\0'};
}

registryValue dword(DWORD n) {
    return {REG_DWORD, std::string(reinterpret_cast<const char*>(&n), sizeof n)};
}

// The client's key as it was: its two values, or its absence.
class registryGuard {
public:
    registryGuard()
        : existed_(keyExists()), language_(readValue("LanguageID")), plugins_(readValue("Plugins")) {}
    ~registryGuard() {
        if (!existed_) {
            RegDeleteKeyA(HKEY_CURRENT_USER, clientKey);
            EXPECT_FALSE(keyExists());
            return;
        }
        writeValue("LanguageID", language_);
        writeValue("Plugins", plugins_);
    }

private:
    static bool keyExists() {
        HKEY key = nullptr;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, clientKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
            return false;
        RegCloseKey(key);
        return true;
    }
    bool existed_;
    std::optional<registryValue> language_, plugins_;
};

// The "txt" resource 319 of a module, read as a file.
std::string settingsTextOf(const std::string& modulePath) {
    HMODULE module = LoadLibraryExA(modulePath.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    if (!module)
        return {};
    std::string bytes;
    if (HRSRC found = FindResourceA(module, MAKEINTRESOURCEA(319), "txt"))
        if (HGLOBAL loaded = LoadResource(module, found))
            bytes.assign(static_cast<const char*>(LockResource(loaded)), SizeofResource(module, found));
    FreeLibrary(module);
    return bytes;
}

std::string stagedModule() {
    return vesk::testing::stageDir() + "\\plugins\\rsrc.vkm";
}
std::string otherModule() {
    return vesk::testing::fixturesDir() + "\\tessavarOtherSettings.vkm";
}
std::string textlessModule() {
    return vesk::testing::fixturesDir() + "\\tessavarNoSettingsText.vkm";
}

// A client folder: the tool and its runtime DLLs, "plugins\rsrc.vkm" when
// asked for, and "other\rsrc.vkm" with another text.
class clientFolder {
public:
    clientFolder() {
        EXPECT_TRUE(copyFile(vesk::testing::stageDir() + "\\Tessavar.exe", dir.file("Tessavar.exe")));
        for (const std::string& dll : vesk::testing::runtimeDllNames())
            EXPECT_TRUE(copyFile(vesk::testing::stageDir() + "\\" + dll, dir.file(dll)));
    }
    void addModule(const std::string& folder, const std::string& module) {
        CreateDirectoryA(dir.file(folder).c_str(), nullptr);
        EXPECT_TRUE(copyFile(module, dir.file(folder + "\\rsrc.vkm")));
    }
    // Runs the tool in the folder; its exit code, or ~0 when it did not end.
    DWORD run() {
        std::string program = dir.file("Tessavar.exe"), line = "\"" + program + "\"";
        STARTUPINFOA startup = {};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessA(program.c_str(), &line[0], nullptr, nullptr, FALSE, 0, nullptr,
                            dir.path().c_str(), &startup, &process))
            return ~0u;
        DWORD code = ~0u;
        if (WaitForSingleObject(process.hProcess, 60000) == WAIT_OBJECT_0)
            GetExitCodeProcess(process.hProcess, &code);
        else
            TerminateProcess(process.hProcess, ~0u);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return code;
    }
    std::string settings() const { return readFile(dir.file("vesk.egg")); }

    tempDir dir;
};

class ResetTool : public ::testing::Test {
protected:
    void SetUp() override {
        defaultText = settingsTextOf(stagedModule());
        otherText = settingsTextOf(otherModule());
        ASSERT_FALSE(defaultText.empty());
        ASSERT_FALSE(otherText.empty());
        ASSERT_NE(defaultText, otherText);
        writeValue("LanguageID", dword(1031));
    }
    void expectLanguageReset() {
        std::optional<registryValue> language = readValue("LanguageID");
        ASSERT_TRUE(language);
        EXPECT_EQ(language->type, static_cast<DWORD>(REG_DWORD));
        EXPECT_EQ(language->data, dword(0).data);
    }
    registryGuard guard;
    std::string defaultText, otherText;
};

TEST_F(ResetTool, ReadsTheModuleOfTheRegisteredPluginFolder) {
    const std::string longFolder(252, 'x');
    const std::string tooLong(300, 'y');
    struct {
        const char* name;
        std::optional<registryValue> plugins;  // "<other>" stands for the folder of the other module
        bool other;
    } cases[] = {
        {"no value", std::nullopt, false},
        {"a folder with a backslash", text("<other>\\"), true},
        {"a folder without one", text("<other>"), true},
        {"not a string", dword(7), false},
        {"an empty string", text(""), false},
        {"260 bytes without an end", registryValue{REG_SZ, std::string(260, 'z')}, false},
        {"no room to add the name", text(longFolder), false},
        {"longer than 260 bytes", text(tooLong), false},
    };
    for (const auto& c : cases) {
        clientFolder client;
        client.addModule("plugins", stagedModule());
        client.addModule("other", otherModule());
        std::optional<registryValue> plugins = c.plugins;
        if (plugins) {
            size_t at = plugins->data.find("<other>");
            if (at != std::string::npos)
                plugins->data.replace(at, 7, client.dir.file("other"));
        }
        writeValue("Plugins", plugins);
        writeValue("LanguageID", dword(1031));
        EXPECT_EQ(client.run(), 0u) << c.name;
        EXPECT_EQ(client.settings(), c.other ? otherText : defaultText) << c.name;
        EXPECT_FALSE(fileExists(client.dir.file("vesk.egg.new"))) << c.name;
        expectLanguageReset();
    }
}

TEST_F(ResetTool, ReplacesALongerFileByExactlyTheTextAndASecondRunChangesNothing) {
    writeValue("Plugins", std::nullopt);
    clientFolder client;
    client.addModule("plugins", stagedModule());
    ASSERT_TRUE(writeFile(client.dir.file("vesk.egg"), std::string(3 * defaultText.size(), 'o')));
    EXPECT_EQ(client.run(), 0u);
    EXPECT_EQ(client.settings(), defaultText);
    expectLanguageReset();
    EXPECT_EQ(client.run(), 0u);
    EXPECT_EQ(client.settings(), defaultText);
    expectLanguageReset();
}

TEST_F(ResetTool, WithoutTheTextTheSettingsFileStaysAsItWas) {
    writeValue("Plugins", std::nullopt);
    struct {
        const char* name;
        bool textlessModule;  // else no plugins folder at all
        std::optional<std::string> before;
    } cases[] = {
        {"no module, no file", false, std::nullopt},
        {"no module, a file", false, std::string("<vesk_settings>\r\n</vesk_settings>\r\n")},
        {"no text, no file", true, std::nullopt},
        {"no text, a file", true, std::string("kept as it is")},
    };
    for (const auto& c : cases) {
        clientFolder client;
        if (c.textlessModule)
            client.addModule("plugins", textlessModule());
        if (c.before) {
            ASSERT_TRUE(writeFile(client.dir.file("vesk.egg"), *c.before));
        }
        EXPECT_NE(client.run(), 0u) << c.name;
        EXPECT_EQ(fileExists(client.dir.file("vesk.egg")), c.before.has_value()) << c.name;
        if (c.before) {
            EXPECT_EQ(client.settings(), *c.before) << c.name;
        }
        EXPECT_FALSE(fileExists(client.dir.file("vesk.egg.new"))) << c.name;
    }
}

TEST_F(ResetTool, TheWrittenFileLoadsInTheSettingsStore) {
    writeValue("Plugins", std::nullopt);
    clientFolder client;
    client.addModule("plugins", stagedModule());
    ASSERT_EQ(client.run(), 0u);
    std::string path = client.dir.file("vesk.egg");
    persist::Isettings* store = svctest::storeOn(path);
    EXPECT_EQ(store->getValue("SaveOnExit", value(7L), svctest::ownerNamed("UI")).asLong(), 1);
    EXPECT_EQ(store->getValue("MaxSearchResults", value(7UL), svctest::ownerNamed("ss_manager")).code,
              vt::ulongV);
    IentityToken* gnutella = svctest::ownerNamed("zUdoradur");
    EXPECT_EQ(store->getValue("Gnutella_ListenPort", value(1L), gnutella).asUshort(), 6346);
    EXPECT_EQ(store->getValue("Gnutella_LocalTTL", value(1L), gnutella).asUchar(), 7);
    EXPECT_EQ(svctest::textOf(store->getValue("Gnutella_ConnectString", value(), gnutella)),
              "GNUTELLA CONNECT/0.4\n\n");
    svctest::detachStore();
    EXPECT_FALSE(fileExists(path + ".bad")) << "taken for a damaged file";
    EXPECT_EQ(readFile(path), defaultText);
}

// The PE file's subsystem and the names it imports from each DLL.
struct programImage {
    WORD subsystem = 0;
    std::vector<std::string> imports;  // "dll!function", lower-case dll
};

programImage inspect(const std::string& path) {
    programImage image;
    std::string file = readFile(path);
    auto at = [&](size_t offset, size_t size) {
        return offset + size <= file.size() ? &file[offset] : nullptr;
    };
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(at(0, sizeof(IMAGE_DOS_HEADER)));
    if (!dos)
        return image;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(at(dos->e_lfanew, sizeof(IMAGE_NT_HEADERS)));
    if (!nt)
        return image;
    image.subsystem = nt->OptionalHeader.Subsystem;
    const IMAGE_SECTION_HEADER* sections = IMAGE_FIRST_SECTION(nt);
    auto offsetOf = [&](DWORD rva) -> size_t {
        for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i)
            if (rva >= sections[i].VirtualAddress &&
                rva < sections[i].VirtualAddress + sections[i].SizeOfRawData)
                return rva - sections[i].VirtualAddress + sections[i].PointerToRawData;
        return file.size();
    };
    auto textAt = [&](DWORD rva) {
        size_t offset = offsetOf(rva);
        return offset < file.size() ? std::string(file.c_str() + offset) : std::string();
    };
    DWORD importsRva = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT].VirtualAddress;
    for (size_t d = offsetOf(importsRva);; d += sizeof(IMAGE_IMPORT_DESCRIPTOR)) {
        const auto* entry =
            reinterpret_cast<const IMAGE_IMPORT_DESCRIPTOR*>(at(d, sizeof(IMAGE_IMPORT_DESCRIPTOR)));
        if (!entry || !entry->Name)
            break;
        std::string dll = textAt(entry->Name);
        if (!dll.empty())
            CharLowerBuffA(&dll[0], static_cast<DWORD>(dll.size()));
        for (size_t t = offsetOf(entry->OriginalFirstThunk ? entry->OriginalFirstThunk : entry->FirstThunk);;
             t += sizeof(IMAGE_THUNK_DATA)) {
            const auto* thunk = reinterpret_cast<const IMAGE_THUNK_DATA*>(at(t, sizeof(IMAGE_THUNK_DATA)));
            if (!thunk || !thunk->u1.AddressOfData)
                break;
            if (!IMAGE_SNAP_BY_ORDINAL(thunk->u1.Ordinal))
                image.imports.push_back(dll + "!" + textAt(static_cast<DWORD>(thunk->u1.AddressOfData) + 2));
        }
    }
    return image;
}

TEST(ResetToolProgram, AWindowedProgramWithItsIconThatOpensNoWindow) {
    std::string path = vesk::testing::stageDir() + "\\Tessavar.exe";
    programImage image = inspect(path);
    EXPECT_EQ(image.subsystem, IMAGE_SUBSYSTEM_WINDOWS_GUI);
    ASSERT_FALSE(image.imports.empty());
    for (const std::string& name : image.imports)
        EXPECT_NE(name.rfind("user32.dll!", 0), 0u) << name << ": nothing of the window manager is used";

    HMODULE program = LoadLibraryExA(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr);
    EXPECT_NE(FindResourceA(program, "CONAPP", MAKEINTRESOURCEA(14)), nullptr) << "icon group CONAPP";
    FreeLibrary(program);
}

}  // namespace
}  // namespace vesk::tessavar::test
