#include "plugins/gnutella/localFiles.h"

#include <windows.h>

#include <cctype>
#include <cstring>

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

fs::Ifile* NewFileObject(const std::string& path) {
    Ifactory* factory = moduleFactory();
    if (!factory)
        return nullptr;
    Igeneric* made =
        factory->create1(factory->findClass("vesk::fs::file"), g_State.token, value(path.c_str()));
    fs::Ifile* file = interfaceCast<fs::Ifile>(made);
    if (file) {
        file->addRef();
    } else if (made) {
        made->addRef();
        made->release();
    }
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

std::string MoveToFreeName(const std::string& source, const std::string& destination) {
    std::size_t slash = destination.find_last_of('\\');
    std::string folder = slash == std::string::npos ? std::string() : destination.substr(0, slash + 1);
    std::string name = slash == std::string::npos ? destination : destination.substr(slash + 1);
    for (unsigned n = 0; n <= maxFreeNameTries; ++n) {
        std::string target = n == 0 ? destination : folder + NumberedName(name, n - 1);
        if (MoveFileExA(source.c_str(), target.c_str(), MOVEFILE_COPY_ALLOWED))
            return target;
        DWORD error = GetLastError();
        if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS)
            return std::string();
    }
    return std::string();
}

}  // namespace vesk::gnutella
