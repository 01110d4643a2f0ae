#include "plugins/Dravik/skinEngine.h"

#include <cstring>
#include <new>

#include "core/currentDirectory.h"

namespace vesk::ui {

namespace {

constexpr DWORD builtInFrameStyle = 0x12CF0000;  // WS_OVERLAPPEDWINDOW, WS_CLIPCHILDREN, WS_VISIBLE
constexpr std::size_t longestText = 255;

enum class valueKind { ignored, number, size, library };

valueKind kindOf(unsigned id) {
    using namespace skinValue;
    if (id == systemBoxSize || id == closeBoxSize || id == maximizeBoxSize || id == minimizeBoxSize)
        return valueKind::size;
    if (id >= libraryHighlight && id <= libraryDarkShadow)
        return valueKind::library;
    if ((id >= borderTop && id <= borderBottom) || (id >= systemBoxX && id <= minimizeBoxY) || id == background ||
        (id >= contentBackground && id <= contentText))
        return valueKind::number;
    return valueKind::ignored;
}

std::string bounded(const char* text, std::size_t longest) {
    return text ? std::string(text, ::strnlen(text, longest)) : std::string();
}

template <class F>
F exportOf(HMODULE module, const char* name) {
    return reinterpret_cast<F>(reinterpret_cast<void*>(::GetProcAddress(module, name)));
}

HMODULE moduleOf(const void* address) {
    HMODULE module = nullptr;
    if (!address ||
        !::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                              static_cast<LPCSTR>(address), &module))
        return nullptr;
    return module;
}

}  // namespace

// ---- one skin

VSkin::VSkin(skinData* values) : own_(values ? nullptr : new skinData()), values_(values ? values : own_.get()) {
    registerInterfaceOf<ISkin>(this);
    registerInterfaceOf<Igeneric>(this);
}

int VSkin::SetName(const char* name) {
    name_ = bounded(name, longestText);
    return 0;
}

int VSkin::SetDescription(const char* description) {
    description_ = bounded(description, longestText);
    return 0;
}

void VSkin::SetPath(const char* path) { path_ = bounded(path, MAX_PATH - 1); }

int VSkin::SetDrawCallback(SkinDrawProc draw) {
    values_->draw = draw;
    callbackModule_ = moduleOf(reinterpret_cast<const void*>(draw));
    return 0;
}

void VSkin::ForgetCallbackIn(HMODULE module) {
    if (module && callbackModule_ == module) {
        values_->draw = nullptr;
        callbackModule_ = nullptr;
    }
}

int VSkin::SetValue(unsigned id, unsigned v) {
    switch (kindOf(id)) {
    case valueKind::number:
    case valueKind::size:
        values_->Set(id, v);
        break;
    case valueKind::library: {
        libraryColours& colours = LibraryColours();
        COLORREF* slots[] = {&colours.highlight, &colours.shadow, &colours.darkShadow};
        *slots[id - skinValue::libraryHighlight] = v;
        break;
    }
    case valueKind::ignored:
        break;
    }
    return 0;
}

unsigned VSkin::GetValue(unsigned id) {
    switch (kindOf(id)) {
    case valueKind::number:
        return values_->Raw(id);
    case valueKind::size: {
        SIZE size = values_->Size(id);
        return (static_cast<unsigned>(size.cx) & 0xFF) | ((static_cast<unsigned>(size.cy) & 0xFF) << 8);
    }
    case valueKind::library:
    case valueKind::ignored:
        break;
    }
    return 0;
}

// ---- the engine

VSkinEngine& VSkinEngine::Instance() {
    // Lives to the end: windows paint late, and freeing skin modules while
    // the process detaches is not allowed.
    static VSkinEngine* engine = [] {
        auto* made = new capsule<VSkinEngine>();
        static_cast<ISkinEngine*>(made)->addRef();
        return made;
    }();
    return *engine;
}

VSkinEngine::VSkinEngine() {
    VSkin* builtIn = new capsule<VSkin>(&BuiltInSkin());
    static_cast<ISkin*>(builtIn)->addRef();
    builtIn->SetName("Default");
    skins_.push_back(builtIn);
    current_ = builtIn;
    registerInterfaceOf<ISkinEngine>(this);
    registerInterfaceOf<Igeneric>(this);
}

VSkinEngine::~VSkinEngine() {
    if (current_ != skins_.front())
        SetCurrentSkin(nullptr);
    for (VSkin* skin : skins_)
        static_cast<ISkin*>(skin)->release();
    if (loaded_)
        ::FreeLibrary(loaded_);
}

void VSkinEngine::SetFrame(HWND window, IWnd* frame) {
    frameWindow_ = window;
    frame_ = frame;
    for (VSkin* skin : skins_)
        skin->SetUserData(reinterpret_cast<LONG_PTR>(window));
}

void VSkinEngine::ForgetFrame(IWnd* frame) {
    if (frame_ == frame)
        SetFrame(nullptr, nullptr);
}

int VSkinEngine::CreateSkin(ISkin** out) {
    auto* skin = new (std::nothrow) capsule<VSkin>();
    if (!skin) {
        if (out)
            *out = nullptr;
        return -1;
    }
    static_cast<ISkin*>(skin)->addRef();
    skin->SetUserData(reinterpret_cast<LONG_PTR>(frameWindow_));
    skin->SetPath(scanned_.c_str());
    skin->SetIndex(static_cast<int>(skins_.size()));
    skins_.push_back(skin);
    if (out)
        *out = skin;
    return skin->Index();
}

ISkin* VSkinEngine::GetSkin(int index) {
    return index >= 0 && index < GetSkinCount() ? skins_[static_cast<std::size_t>(index)] : nullptr;
}

void VSkinEngine::ReleaseModule(HMODULE module) {
    if (!module)
        return;
    ::FreeLibrary(module);
    // Code in a freed module is gone: no skin may keep calling into it.
    for (VSkin* skin : skins_)
        skin->ForgetCallbackIn(module);
}

void VSkinEngine::ScanSkinModules() {
    std::string folder = currentDirectory();
    if (folder.empty())
        return;
    std::string skinsFolder = folder + "\\Skins\\";
    WIN32_FIND_DATAA found;
    HANDLE search = ::FindFirstFileA((skinsFolder + "*.dll").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
            continue;
        std::string path = skinsFolder + bounded(found.cFileName, MAX_PATH - 1);
        if (path.size() >= MAX_PATH)
            continue;
        HMODULE module = ::LoadLibraryA(path.c_str());
        if (!module)
            continue;
        if (auto load = exportOf<loadEntry>(module, "Load")) {
            scanned_ = path;
            load(this);
            scanned_.clear();
        }
        ReleaseModule(module);
    } while (::FindNextFileA(search, &found));
    ::FindClose(search);
}

void VSkinEngine::TellFrame(LONG_PTR wParam, LONG_PTR lParam) {
    if (IWndEvents* events = interfaceCast<IWndEvents>(frame_))
        events->OnSkinChanged(wParam, lParam);
}

int VSkinEngine::SelectSkin(unsigned index) {
    if (index == 0 || index >= skins_.size()) {
        ReleaseModule(loaded_);
        loaded_ = nullptr;
        current_ = skins_.front();
        SetCurrentSkin(nullptr);
        if (frameWindow_ && ::IsWindow(frameWindow_)) {
            ::SetWindowLongA(frameWindow_, GWL_STYLE, static_cast<LONG>(builtInFrameStyle));
            ::SetWindowPos(frameWindow_, nullptr, 0, 0, 0, 0,
                           SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
        TellFrame(0, reinterpret_cast<LONG_PTR>(static_cast<ISkin*>(current_)));
        return 0;
    }
    VSkin* skin = skins_[index];
    ReleaseModule(loaded_);
    loaded_ = skin->Path().empty() ? nullptr : ::LoadLibraryA(skin->Path().c_str());
    if (loaded_)
        if (auto init = exportOf<initEntry>(loaded_, "Init")) {
            skin->SetUserData(reinterpret_cast<LONG_PTR>(frameWindow_));
            init(skin);
        }
    current_ = skin;
    SetCurrentSkin(&skin->Values());
    TellFrame(reinterpret_cast<LONG_PTR>(static_cast<ISkin*>(skin)), 0);
    return 0;
}

}  // namespace vesk::ui
