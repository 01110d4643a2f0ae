#include "testing/fakes/libraryFrame.h"

#include "core/capsule.h"
#include "plugins/Dravik/frameWnd.h"
#include "plugins/Dravik/statusBar.h"

namespace vesk::testing {

libraryFrame::libraryFrame() {
    auto* bar = new capsule_core<ui::VStatusBar>();
    statusBar_ = bar;
    frame_ = new capsule_core<ui::VFrameWnd>(static_cast<ui::IStatusBar*>(bar));
}

libraryFrame::~libraryFrame() {
    interfaceCast<IcoreObject>(frame_)->releaseCore();
    interfaceCast<IcoreObject>(statusBar_)->releaseCore();
}

HWND libraryFrame::statusWindow() const {
    ui::IWnd* window = interfaceCast<ui::IWnd>(statusBar_);
    return window ? window->GetHandle() : nullptr;
}

}  // namespace vesk::testing
