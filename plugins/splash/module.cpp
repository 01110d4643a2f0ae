// Entry points of the splash module. The picture comes up in _register, on
// the module's own thread, so that it shows while the other modules load;
// _unload takes it down again before the threader goes.
#include <windows.h>

#include <new>

#include "core/module.h"
#include "plugins/splash/splashScreen.h"
#include "plugins/splash/splashWindow.h"
#include "vesk/host.h"

namespace {

using namespace vesk;

splash::splashState state;
IentityToken* entity = nullptr;  // one reference held until _unload
bool published = false;
Ithread* loopThread = nullptr;  // one reference held while the loop may run

}  // namespace

namespace vesk::splash {
splashState& moduleState() { return state; }
}  // namespace vesk::splash

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        state.instance = instance;
        DisableThreadLibraryCalls(instance);
    }
    return TRUE;
}

// Returns 0, to be tried again, until the thread runs: the threader may
// register after this module.
VESK_ENTRY int _register(Icartridge* self, Icore* core) {
    if (!self || !core)
        return 0;
    self->setName("Splash");
    self->setAuthor("Pelloran team");
    self->setDescription("Pelloran SplashDown");
    self->setMajorVersion(0);
    self->setMinorVersion(1);

    auto* entities = lookupService<IentityTable>(core);
    auto* factory = lookupService<Ifactory>(core);
    auto* runtime = lookupService<Iruntime>(core);
    auto* accessor = interfaceCast<IcoreAccessor>(core);
    if (!entities || !factory || !runtime || !accessor)
        return 0;
    if (!entity) {
        entity = entities->createEntity("Splash", "Splash");
        if (!entity)
            return 0;
        entity->addRef();
    }
    if (!state.screen) {
        state.screen = new (std::nothrow) capsule<splash::CSplashScreen>();
        if (!state.screen)
            return 0;
        state.screen->addRef();  // kept for the process: the directory hands it out
    }
    if (!published) {
        published = accessor->registerObject(nameOf<splash::ISplashScreen>(),
                                             static_cast<splash::ISplashScreen*>(state.screen)) != 0;
        if (!published)
            return 0;
    }
    if (!loopThread) {
        state.quit = 0;
        state.clickClose = 0;
        loopThread = startThread(factory, entity, "vesk::splash::loop()", nullptr, &splash::SplashLoop);
        if (!loopThread)
            return 0;
    }
    return 1;
}

VESK_ENTRY int _load() { return 1; }

VESK_ENTRY int _initialize() { return 1; }

VESK_ENTRY int _unload() {
    if (loopThread) {
        splash::CloseSplash();
        // The threader's stop waits, bounded, for the procedure to return.
        // A thread that did not end is kept, so none is started beside it.
        if (loopThread->stop()) {
            loopThread->release();
            loopThread = nullptr;
        }
    }
    if (entity) {
        entity->release();
        entity = nullptr;
    }
    return 1;
}
