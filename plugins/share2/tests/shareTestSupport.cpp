#include "plugins/share2/tests/shareTestSupport.h"

#include <wincrypt.h>

#include "core/constructs.h"
#include "core/factory.h"
#include "plugins/share2/sha1.h"

namespace vesk::share2::test {

std::string referenceHashText(const std::string& bytes) {
    HCRYPTPROV provider = 0;
    if (!CryptAcquireContextA(&provider, nullptr, nullptr, PROV_RSA_FULL, CRYPT_VERIFYCONTEXT))
        return std::string();
    std::string text;
    HCRYPTHASH hash = 0;
    if (CryptCreateHash(provider, CALG_SHA1, 0, 0, &hash)) {
        unsigned char digest[20];
        DWORD size = sizeof digest;
        if (CryptHashData(hash, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()), 0) &&
            CryptGetHashParam(hash, HP_HASHVAL, digest, &size, 0) && size == sizeof digest) {
            char out[33];
            hashText(digest, out);
            text = out;
        }
        CryptDestroyHash(hash);
    }
    CryptReleaseContext(provider, 0);
    return text;
}

bool makeFile(const std::string& path, const std::string& bytes) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    bool ok = WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
              written == bytes.size();
    return CloseHandle(file) && ok;
}

bool makeFolder(const std::string& path) { return CreateDirectoryA(path.c_str(), nullptr) != 0; }

namespace {
std::wstring longPathForm(const std::string& path) { return L"\\\\?\\" + std::wstring(path.begin(), path.end()); }
}  // namespace

bool makeLongPathFile(const std::string& path) {
    HANDLE file = CreateFileW(longPathForm(path).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    return file != INVALID_HANDLE_VALUE && CloseHandle(file);
}

bool makeLongPathFolder(const std::string& path) { return CreateDirectoryW(longPathForm(path).c_str(), nullptr) != 0; }

bool removeLongPath(const std::string& path, bool folder) {
    return (folder ? RemoveDirectoryW(longPathForm(path).c_str()) : DeleteFileW(longPathForm(path).c_str())) != 0;
}

std::string patternBytes(size_t size, unsigned seed) {
    std::string bytes(size, '\0');
    unsigned x = seed * 2654435761u + 1;
    for (char& c : bytes) {
        x = x * 1103515245u + 12345u;
        c = static_cast<char>(x >> 16);
    }
    return bytes;
}

Ifactory* newCoreFactory() {
    auto* made = new capsule_core<vesk::factory>();
    registerCoreClasses(made);
    return made;
}

void endFactory(Ifactory* factory) {
    if (auto* core = interfaceCast<IcoreObject>(factory))
        core->releaseCore();
}

}  // namespace vesk::share2::test
