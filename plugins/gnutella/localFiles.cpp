#include "plugins/gnutella/localFiles.h"

#include <windows.h>

#include <cctype>
#include <cstring>
#include <vector>

#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/fixedText.h"
#include "plugins/gnutella/gnutellaInternal.h"

namespace vesk::gnutella {

namespace {

bool isDeviceName(const std::string& name) {
    std::string stem = name.substr(0, name.find('.'));
    while (!stem.empty() && stem.back() == ' ')
        stem.pop_back();
    for (char& c : stem)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    static const char* const devices[] = {"CON", "PRN", "AUX", "NUL", "CONIN$", "CONOUT$"};
    for (const char* device : devices)
        if (stem == device)
            return true;
    return stem.size() == 4 && (stem.compare(0, 3, "COM") == 0 || stem.compare(0, 3, "LPT") == 0) &&
           stem[3] >= '1' && stem[3] <= '9';
}

}  // namespace

std::string SafeLocalName(const char* remoteName) {
    std::string name;
    for (const char* p = remoteName ? remoteName : ""; *p && name.size() < maxLocalName; ++p) {
        unsigned char c = static_cast<unsigned char>(*p);
        bool refused = c < 0x20 || c == 0x7F || std::strchr("\\/:*?\"<>|", c);
        name += refused ? '_' : static_cast<char>(c);
    }
    while (!name.empty() && (name.back() == '.' || name.back() == ' '))
        name.pop_back();
    if (name.empty())
        return "download";
    if (isDeviceName(name))
        name.insert(0, "_");
    return name;
}

std::string NumberedName(const std::string& name, unsigned n) {
    std::size_t dot = name.rfind('.');
    std::string base = dot == std::string::npos ? name : name.substr(0, dot);
    std::string extension = dot == std::string::npos ? std::string() : name.substr(dot);
    return base + "[" + std::to_string(n) + "]" + extension;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
    if (folder.empty() || folder.back() == '\\')
        return folder + name;
    return folder + "\\" + name;
}

std::string ManagerFolder(bool download) {
    char folder[260] = {};
    if (ss::ISSManager* manager = g_Services.manager)
        download ? manager->GetDownloadDir(0, folder) : manager->GetTempDir(0, folder);
    folder[sizeof folder - 1] = '\0';
    return folder;
}

fs::Ifile* NewFileObject(const std::string& path) {
    Ifactory* factory = moduleFactory();
    if (!factory)
        return nullptr;
    fs::Ifile* file = createAs<fs::Ifile>(factory, g_State.token, "vesk::fs::file", path.c_str());
    if (file)
        file->addRef();
    return file;
}

int MakeUniqueFileName(CGnutellaTransfer* transfer) {
    if (!transfer || !transfer->file)
        return -1;
    std::string safe = SafeLocalName(transfer->remoteName);
    for (unsigned n = 0; n < maxFreeNameTries; ++n) {
        std::string candidate = NumberedName(safe, n);
        transfer->file->close();
        if (!transfer->file->setPath(JoinPath(transfer->tempFolder, candidate).c_str()))
            return -1;
        if (transfer->file->exists())
            continue;
        if (transfer->file->open(fs::openFlag::readWrite | fs::openFlag::sequential | fs::openFlag::create |
                                     fs::openFlag::binary,
                                 fs::shareDenyNone)) {
            CopyText(transfer->localName, candidate);
            return 0;
        }
    }
    return -1;
}

namespace {

constexpr DWORD copyPiece = 1u << 20;

class fileHandle {
public:
    explicit fileHandle(HANDLE h) : h_(h) {}
    ~fileHandle() {
        if (ok())
            CloseHandle(h_);
    }
    fileHandle(const fileHandle&) = delete;
    fileHandle& operator=(const fileHandle&) = delete;
    bool ok() const { return h_ != INVALID_HANDLE_VALUE; }
    HANDLE get() const { return h_; }

private:
    HANDLE h_;
};

// Copies source into the new file at working, piece by piece while
// keepGoing allows; false (working then holds a part) when it did not end.
bool copyFileWhole(const std::string& source, const std::string& working, const std::function<bool()>& keepGoing) {
    fileHandle from(CreateFileA(source.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    fileHandle to(CreateFileA(working.c_str(), GENERIC_WRITE, 0, nullptr, TRUNCATE_EXISTING, 0, nullptr));
    if (!from.ok() || !to.ok())
        return false;
    std::vector<char> piece(copyPiece);
    for (;;) {
        if (keepGoing && !keepGoing())
            return false;
        DWORD got = 0, written = 0;
        if (!ReadFile(from.get(), piece.data(), copyPiece, &got, nullptr))
            return false;
        if (got == 0)
            return FlushFileBuffers(to.get()) != 0;
        if (!WriteFile(to.get(), piece.data(), got, &written, nullptr) || written != got)
            return false;
    }
}

// Renames from into the folder under the name or its first free numbered
// variant (one volume: never a partial file); the name taken, empty when
// none. notSameVolume tells a rename the system refuses across volumes.
std::string renameToFreeName(const std::string& from, const std::string& folder, const std::string& name,
                             bool& notSameVolume) {
    notSameVolume = false;
    for (unsigned n = 0; n <= maxFreeNameTries; ++n) {
        std::string target = folder + (n == 0 ? name : NumberedName(name, n - 1));
        if (MoveFileExA(from.c_str(), target.c_str(), 0))
            return target;
        DWORD error = GetLastError();
        if (error == ERROR_NOT_SAME_DEVICE) {
            notSameVolume = true;
            return std::string();
        }
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return std::string();
    }
    return std::string();
}

}  // namespace

std::string MoveToFreeName(const std::string& source, const std::string& destination,
                           const std::function<bool()>& keepGoing) {
    std::size_t slash = destination.find_last_of('\\');
    std::string folder = slash == std::string::npos ? std::string() : destination.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? destination : destination.substr(slash + 1);
    bool otherVolume = false;
    std::string moved = renameToFreeName(source, folder, name, otherVolume);
    if (!otherVolume)
        return moved;
    // Another volume: a whole copy beside the destination first, under a
    // working name of its own, then renamed into place.
    char working[MAX_PATH] = {};
    if (!GetTempFileNameA(folder.empty() ? "." : folder.c_str(), "vsk", 0, working))
        return std::string();
    bool sameAgain = false;
    if (copyFileWhole(source, working, keepGoing) &&
        !(moved = renameToFreeName(working, folder, name, sameAgain)).empty()) {
        DeleteFileA(source.c_str());
        return moved;
    }
    DeleteFileA(working);
    return std::string();
}

}  // namespace vesk::gnutella
