// Entry points of the window library. It publishes one service, the main
// frame under "vesk::ui::IFrameWnd *", and the class "vesk::ui::VWndProc",
// the message hooks other modules attach to its windows.
#include <windows.h>
#include <objbase.h>

#include <new>

#include "core/capsule.h"
#include "core/module.h"
#include "plugins/Dravik/frameWnd.h"
#include "plugins/Dravik/statusBar.h"
#include "plugins/Dravik/wndProc.h"
#include "vesk/containers.h"
#include "vesk/host.h"
#include "vesk/threading.h"

using namespace vesk;
using namespace vesk::ui;

namespace {

struct moduleState {
    IentityTable* entities = nullptr;  // core objects: not owned
    Ifactory* factory = nullptr;
    IsignalProcessor* signals = nullptr;
    IcoreAccessor* accessor = nullptr;
    IentityToken* owner = nullptr;  // one reference
    VFrameWnd* frame = nullptr;     // a core object, ended by the directory once published
    VStatusBar* statusBar = nullptr;  // a core object living as long as the process
    bool published = false;
    bool comStarted = false;
};

moduleState state;

}  // namespace

VESK_ENTRY int _register(Icartridge* self, Icore* core) {
    moduleState& s = state;
    s.entities = lookupService<IentityTable>(core);
    s.factory = lookupService<Ifactory>(core);
    s.signals = lookupService<IsignalProcessor>(core);
    s.accessor = interfaceCast<IcoreAccessor>(core);
    if (!s.entities || !s.factory || !s.signals || !s.accessor)
        return 0;
    // COM for the thread that loads the modules; not in DllMain, where the
    // loader lock is held.
    if (!s.comStarted)
        s.comStarted = SUCCEEDED(::CoInitialize(nullptr));
    if (!s.statusBar)
        s.statusBar = new (std::nothrow) capsule_core<VStatusBar>();
    if (!s.frame && s.statusBar)
        s.frame = new (std::nothrow) capsule_core<VFrameWnd>(static_cast<IStatusBar*>(s.statusBar));
    if (!s.frame)
        return 0;
    if (!s.owner) {
        s.owner = s.entities->createEntity("DRAVIK GUI", "GUI routines");
        if (!s.owner)
            return 0;
        s.owner->addRef();
    }
    if (self) {
        self->setName("DRAVIK32");
        self->setAuthor("pelloran");
        self->setDescription("Generic Window Classes");
        self->setMajorVersion(0);
        self->setMinorVersion(1);
    }
    if (!s.published)
        s.published = s.accessor->registerObject(nameOf<IFrameWnd>(), static_cast<IFrameWnd*>(s.frame)) != 0;
    return s.published ? 1 : 0;
}

VESK_ENTRY Ihash* _factory() {
    moduleState& s = state;
    Ihash* table = createAs<Ihash>(s.factory, s.owner, "vesk::hash", 1UL);
    if (!table)
        return nullptr;
    if (Iconstruct* hooks = new (std::nothrow) capsule<_constructVWndProc>())
        table->set(value(0L), value(static_cast<Igeneric*>(hooks)));
    return table;
}

VESK_ENTRY int _load() { return 1; }

VESK_ENTRY int _initialize() { return state.signals && state.entities && state.owner ? 1 : 0; }

VESK_ENTRY int _unload() {
    moduleState& s = state;
    if (s.owner) {
        if (s.entities)
            s.entities->removeEntity(s.owner);
        s.owner->release();
        s.owner = nullptr;
    }
    if (s.comStarted) {
        ::CoUninitialize();
        s.comStarted = false;
    }
    return 1;
}
