// The skins: one built-in skin and those that skin modules ("Skins\*.dll",
// outside the system) register through the engine. A skin is a set of
// numbered colours and metrics plus an optional drawing procedure; the
// engine makes one current and tells the frame, which tells every window.
#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "plugins/Dravik/export.h"
#include "plugins/Dravik/skin.h"
#include "vesk/ui.h"

namespace vesk::ui {

class DRAVIK_API VSkin : public objectBase, public ISkin {
public:
    // Over the given values (the built-in skin's, not owned), or over values
    // of its own when null.
    explicit VSkin(skinData* values = nullptr);
    VSkin(const VSkin&) = delete;
    VSkin& operator=(const VSkin&) = delete;

    int SetName(const char* name) override;
    const char* GetName() override { return name_.c_str(); }
    int SetDescription(const char* description) override;
    const char* GetDescription() override { return description_.c_str(); }
    int SetDrawCallback(SkinDrawProc draw) override;
    // Ids 21 to 23 are the library's three drawing colours, shared by every
    // skin and read back as 0; ids without a meaning are ignored.
    int SetValue(unsigned id, unsigned v) override;
    // A size reads as cx + 256 * cy, each taken modulo 256.
    unsigned GetValue(unsigned id) override;
    LONG_PTR GetUserData() override { return userData_; }

    skinData& Values() { return *values_; }
    const std::string& Path() const { return path_; }
    void SetPath(const char* path);
    int Index() const { return index_; }
    void SetIndex(int index) { index_ = index; }
    void SetUserData(LONG_PTR data) { userData_ = data; }
    // The drawing procedure goes when the module it lies in is freed.
    void ForgetCallbackIn(HMODULE module);

private:
    std::unique_ptr<skinData> own_;
    skinData* values_;  // own_ or the built-in skin's
    std::string name_;
    std::string description_;
    std::string path_;  // the skin module's; empty for the built-in skin
    HMODULE callbackModule_ = nullptr;
    int index_ = 0;
    LONG_PTR userData_ = 0;
};

class DRAVIK_API VSkinEngine : public objectBase, public ISkinEngine {
public:
    // Skin module entry points, each given one pointer.
    using loadEntry = int (*)(ISkinEngine* engine);
    using initEntry = int (*)(ISkin* skin);

    VSkinEngine();
    VSkinEngine(const VSkinEngine&) = delete;
    VSkinEngine& operator=(const VSkinEngine&) = delete;
    ~VSkinEngine();

    // The new skin gets the engine's user data and the path of the skin
    // module being scanned; its index.
    int CreateSkin(ISkin** out) override;
    int GetSkinCount() override { return static_cast<int>(skins_.size()); }
    // Null outside 0 to count - 1.
    ISkin* GetSkin(int index) override;
    // 0 (and any index past the last skin) is the built-in skin, which
    // gives the frame its platform style back. 0.
    int SelectSkin(unsigned index) override;
    int Reserved4() override { return 0; }
    ISkin* GetCurrentSkin() override { return current_; }

    // The frame's window and object, for the skins' user data and the skin
    // change (not owned).
    void SetFrame(HWND window, IWnd* frame);
    // The frame is going: the engine no longer tells it.
    void ForgetFrame(IWnd* frame);
    // Loads every "<current directory>\Skins\*.dll" that exports "Load" and
    // lets it register its skins.
    void ScanSkinModules();

    // The library's one engine.
    static VSkinEngine& Instance();

private:
    // Frees the module of the current skin, if any, and the drawing
    // procedures that lie in it.
    void ReleaseModule(HMODULE module);
    void TellFrame(LONG_PTR wParam, LONG_PTR lParam);

    std::vector<VSkin*> skins_;  // one reference each; 0 is the built-in skin
    VSkin* current_;             // one of skins_
    HMODULE loaded_ = nullptr;   // the current skin's module
    std::string scanned_;        // the module "Load" runs in, for CreateSkin
    HWND frameWindow_ = nullptr;
    IWnd* frame_ = nullptr;  // not owned
};

}  // namespace vesk::ui
