#include "plugins/share2/tests/shareTestSupport.h"

#include <wincrypt.h>
#include <winioctl.h>

#include <cstring>
#include <vector>

#include "core/constructs.h"
#include "core/factory.h"
#include "plugins/share2/sha1.h"
#include "testing/wineHost.h"

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

namespace {

// The reparse data of a junction: the header, then the target's NT path
// and its printable form, both NUL-terminated UTF-16.
bool setJunction(const std::string& link, const std::string& target) {
    HANDLE folder = CreateFileA(link.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                                FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (folder == INVALID_HANDLE_VALUE)
        return false;
    std::wstring print(target.begin(), target.end());
    std::wstring substitute = L"\\??\\" + print;
    const size_t substituteBytes = substitute.size() * 2, printBytes = print.size() * 2;
    const size_t pathBytes = substituteBytes + 2 + printBytes + 2;
    std::vector<unsigned char> data(8 + 8 + pathBytes, 0);
    auto put16 = [&](size_t at, size_t v) {
        data[at] = static_cast<unsigned char>(v);
        data[at + 1] = static_cast<unsigned char>(v >> 8);
    };
    const DWORD tag = IO_REPARSE_TAG_MOUNT_POINT;
    std::memcpy(data.data(), &tag, 4);
    put16(4, 8 + pathBytes);            // data length after the 8-byte header
    put16(8, 0);                        // substitute name: offset, length
    put16(10, substituteBytes);
    put16(12, substituteBytes + 2);     // print name: offset, length
    put16(14, printBytes);
    std::memcpy(&data[16], substitute.c_str(), substituteBytes);
    std::memcpy(&data[16 + substituteBytes + 2], print.c_str(), printBytes);
    DWORD returned = 0;
    BOOL set = DeviceIoControl(folder, FSCTL_SET_REPARSE_POINT, data.data(), static_cast<DWORD>(data.size()),
                               nullptr, 0, &returned, nullptr);
    CloseHandle(folder);
    return set != FALSE;
}

bool isReparsePoint(const std::string& path) {
    DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
}

// Polls, bounded: a host program cannot be waited for.
bool becomes(bool (*condition)(const std::string&), const std::string& path, bool wanted) {
    for (DWORD start = GetTickCount(); GetTickCount() - start < 20000; Sleep(10))
        if (condition(path) == wanted)
            return true;
    return false;
}

bool exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

}  // namespace

folderLink::folderLink(const std::string& link, const std::string& target) : link_(link) {
    if (CreateDirectoryA(link.c_str(), nullptr)) {
        if (setJunction(link, target)) {
            kind_ = junction;
            return;
        }
        RemoveDirectoryA(link.c_str());
    }
    std::string from = vesk::testing::hostPath(target), to = vesk::testing::hostPath(link);
    if (from.empty() || to.empty() || !vesk::testing::startHostProgram("Z:\\bin\\ln -s \"" + from + "\" \"" + to + "\""))
        return;
    if (becomes(isReparsePoint, link, true))
        kind_ = hostLink;
}

folderLink::~folderLink() {
    if (kind_ == junction)
        RemoveDirectoryA(link_.c_str());  // the link, not its target
    else if (kind_ == hostLink && vesk::testing::startHostProgram("Z:\\bin\\rm \"" + vesk::testing::hostPath(link_) + "\""))
        becomes(exists, link_, false);
}

bool makeSparseFile(const std::string& path, unsigned long long size) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD returned = 0;
    DeviceIoControl(file, FSCTL_SET_SPARSE, nullptr, 0, nullptr, 0, &returned, nullptr);  // Wine's files are sparse anyway
    LARGE_INTEGER end;
    end.QuadPart = static_cast<LONGLONG>(size);
    bool ok = SetFilePointerEx(file, end, nullptr, FILE_BEGIN) && SetEndOfFile(file);
    return CloseHandle(file) && ok;
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

bool waitUntil(const std::function<bool()>& done, DWORD limitMs) {
    for (DWORD start = GetTickCount(); !done(); Sleep(1))
        if (GetTickCount() - start > limitMs)
            return false;
    return true;
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
