#include "plugins/share2/shareEngine.h"

#include <algorithm>
#include <cstring>

#include "core/currentDirectory.h"
#include "core/module.h"
#include "core/shareList.h"
#include "core/string.h"
#include "core/text.h"

namespace vesk::share2 {
namespace {

constexpr DWORD shareListReadLimit = 1u << 20;  // far beyond any real list
// A longer "Path" than a share may have is read whole, to be refused whole.
constexpr unsigned profileTextSize = 1024;

// The form every share path is kept and compared in: lower case, ending in
// '\', short enough for the platform. False when there is no such form.
bool normalizeSharePath(const char* path, size_t maxLength, std::string& out) {
    if (!path)
        return false;
    size_t length = strnlen(path, maxLength + 1);
    if (length == 0 || length > maxLength)
        return false;
    out.assign(path, length);
    if (out.back() != '\\')
        out += '\\';
    if (out.size() > shareTree::maxPathLength)
        return false;
    out = lowerCase(out);
    return true;
}

unsigned long long lastWriteTime(const std::string& path) {
    WIN32_FIND_DATAA data;
    HANDLE found = FindFirstFileA(path.c_str(), &data);
    if (found == INVALID_HANDLE_VALUE)
        return 0;  // a missing file reads as time 0: a change only after it existed
    FindClose(found);
    return (static_cast<unsigned long long>(data.ftLastWriteTime.dwHighDateTime) << 32) |
           data.ftLastWriteTime.dwLowDateTime;
}

// The file's bytes, at most limit of them; empty when it cannot be read.
std::string fileBytes(const std::string& path, DWORD limit) {
    HANDLE file = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return std::string();
    std::string bytes;
    char chunk[4096];
    DWORD got = 0;
    while (bytes.size() < limit && ReadFile(file, chunk, sizeof chunk, &got, nullptr) && got > 0)
        bytes.append(chunk, std::min<DWORD>(got, limit - static_cast<DWORD>(bytes.size())));
    CloseHandle(file);
    return bytes;
}

// What a search hands out for each file found: the one place that decides
// the form of a result.
value searchResult(CShareFile* file) { return addressValue(static_cast<IShareObj*>(file)); }

}  // namespace

// The share list is where the current directory was at start: a file
// dialog changes the current directory later, and the list read from
// there (none) would unshare everything.
CShareEngine::CShareEngine(Ifactory* factory, engineTiming timing)
    : factory_(factory), timing_(std::move(timing)), startFolder_(currentDirectory()),
      defaultShareList_(shareListIn(startFolder_)),
      stopEvent_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    registerInterfaceOf<IShareEngine>(this);
    registerInterfaceOf<IcoreObject>(static_cast<IShareEngine*>(this));
    registerInterfaceOf<Igeneric>(static_cast<IShareEngine*>(this));
}

CShareEngine::~CShareEngine() {
    stopThreads();
    if (stopEvent_)
        CloseHandle(stopEvent_);
    setOwner(nullptr);
}

void CShareEngine::setOwner(IentityToken* owner) {
    if (owner)
        owner->addRef();
    if (owner_)
        owner_->release();
    owner_ = owner;
}

int CShareEngine::reloadConfig(const char* path) {
    std::string file = path ? std::string(path) : defaultShareList_;
    if (file.empty())
        return 0;
    if (!shareListChanged(file)) {
        waitForReloadsApplied();
        return 0;
    }
    notifyWindows();

    std::vector<std::string> seen;
    for (unsigned n = 0;; ++n) {
        std::string section = "Share" + std::to_string(n);
        if (!sectionExists(file, section))
            break;
        std::string sharePath = profileText(file, section, "Path", "", profileTextSize);
        if (sharePath.empty() || sharePath.size() >= pathBufferSize)
            continue;
        std::string flag = profileText(file, section, "Recursive", "0", profileTextSize);
        shareSpec spec{};
        std::memcpy(spec.path, sharePath.c_str(), sharePath.size() + 1);
        spec.recursive = readsAsTrue(flag) ? 1 : 0;
        addShare(&spec);
        if (isShared(spec.path))
            seen.push_back(spec.path);
    }
    deactivateUnlisted(seen);
    lockGuard hold(&configLock_);
    --reloadsApplying_;
    return 1;
}

// A caller told "unchanged" while another thread applies the change it read
// must not go on before the shares are there.
void CShareEngine::waitForReloadsApplied() {
    // A window answering the change message would wait for the reading that
    // waits for its answer.
    if (InSendMessage())
        return;
    waitWhile([this] {
        lockGuard hold(&configLock_);
        return reloadsApplying_ != 0;
    });
}

bool CShareEngine::shareListChanged(const std::string& file) {
    // The file time alone misses a writer that ends within the tick of the
    // time it had when a half-written list was read: the bytes tell.
    unsigned long long written = lastWriteTime(file);
    std::string bytes = fileBytes(file, shareListReadLimit);
    lockGuard hold(&configLock_);
    shareListPath_ = file;
    if (written == lastWrite_ && bytes == lastBytes_)
        return false;
    lastWrite_ = written;
    lastBytes_ = std::move(bytes);
    ++reloadsApplying_;
    return true;
}

void CShareEngine::notifyWindows() {
    std::vector<HWND> windows;
    {
        lockGuard hold(&windowsLock_);
        windows = windows_;
    }
    // Outside the lock: a window's handler may register or remove a window.
    for (HWND window : windows) {
        if (!registered(window))
            continue;  // removed by an earlier window's handler
        SendMessageA(window, shareListChangedMessage, 0, 0);
        Sleep(1);
    }
}

bool CShareEngine::registered(HWND window) {
    lockGuard hold(&windowsLock_);
    return std::find(windows_.begin(), windows_.end(), window) != windows_.end();
}

void CShareEngine::deactivateUnlisted(const std::vector<std::string>& seen) {
    lockGuard hold(tree_.lock());
    for (CShareDirectory* share : tree_.shares()) {
        bool listed = false;
        for (const std::string& path : seen)
            listed = listed || path == share->name();
        if (!listed)
            share->setActive(false);
    }
}

Ivector* CShareEngine::search(const char* query) {
    if (!query || strnlen(query, 3) < 3)
        return nullptr;
    Ivector* result = createAs<Ivector>(factory_, owner_, "vesk::vector", 1ul);
    if (!result)
        return nullptr;
    result->addRef();  // the caller's
    tree_.search(query, [result](CShareFile* file) { result->pushBack(searchResult(file)); });
    return result;
}

void CShareEngine::setLog(Itarget* log) {
    tree_.setLog([log](const char* line) { logLine(log, line); });
}

int CShareEngine::addWindow(HWND window) {
    lockGuard hold(&windowsLock_);
    windows_.push_back(window);
    return 0;
}

int CShareEngine::removeWindow(HWND window) {
    lockGuard hold(&windowsLock_);
    auto kept = std::remove(windows_.begin(), windows_.end(), window);
    int found = kept != windows_.end() ? 1 : 0;
    windows_.erase(kept, windows_.end());
    return found;
}

int CShareEngine::addShare(shareSpec* spec) {
    std::string path;
    if (!spec || !normalizeSharePath(spec->path, pathBufferSize - 1, path))
        return 0;
    std::memcpy(spec->path, path.c_str(), path.size() + 1);
    bool recursive = spec->recursive != 0;

    lockGuard hold(tree_.lock());
    if (CShareDirectory* share = tree_.findShare(path)) {
        if (share->recursive() != recursive)
            for (CShareDirectory* sub : share->subfolders())
                sub->setActive(recursive);
        share->setRecursive(recursive);
        share->setActive(true);
        tree_.scan(share, recursive);
        return 0;
    }
    CShareDirectory* share = tree_.addShare(path, recursive);
    if (!share)
        return 0;
    tree_.scan(share, recursive);
    sharesAdded_ = true;
    return 1;
}

int CShareEngine::isShared(const char* path) {
    std::string normal;
    return normalizeSharePath(path, shareTree::maxPathLength, normal) && tree_.findShare(normal) ? 1 : 0;
}

int CShareEngine::isRecursive(const char* path) {
    std::string normal;
    if (!normalizeSharePath(path, shareTree::maxPathLength, normal))
        return 0;
    lockGuard hold(tree_.lock());
    CShareDirectory* share = tree_.findShare(normal);
    return share && share->recursive() ? 1 : 0;
}

int CShareEngine::setState(int state) {
    if (state == -1)
        stopThreads();
    else
        enabled_.store(state == 1 ? 1 : 0);
    return state;
}

}  // namespace vesk::share2
