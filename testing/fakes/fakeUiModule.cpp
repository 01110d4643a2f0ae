// The fake user interface as a plug-in module (fixtures/fakeUi.vkm), for
// tests that start runtime.exe. Like the real user interface it needs the
// manager at registration and loads "plugins\rsrc.vkm" as its resources.
// Every call is also written to "fakeui.calls" in the current directory; the
// commands of "fakeui.script" run once the host has finished starting. Its
// _unload records the threader's live thread objects ("fakeUi|unload|
// threads|<n>"): the modules that registered after it have unloaded by then.
#include <windows.h>

#include <new>

#include "core/module.h"
#include "testing/fakes/fakeUi.h"
#include "testing/fakes/script.h"
#include "testing/fakes/wndProc.h"
#include "vesk/containers.h"
#include "vesk/host.h"
#include "vesk/share2.h"
#include "vesk/threading.h"

using namespace vesk;
using namespace vesk::testing;

namespace {

fakeUi* theFake = nullptr;  // lives until the process ends
Icore* theCore = nullptr;
Ifactory* theFactory = nullptr;
IentityToken* theToken = nullptr;  // one reference held
UINT_PTR startTimer = 0;

// A thread timer of the host's thread fires only once the host pumps its
// messages, that is, in its signal loop after every start-up pass.
void CALLBACK startScript(HWND, UINT, UINT_PTR id, DWORD) {
    KillTimer(nullptr, id);
    // As the real interface does once its main window shows: from here on
    // the share engine acts on changes (new shares watched and hashed).
    if (auto* engine = lookupService<share2::IShareEngine>(theCore))
        engine->setState(1);
    std::vector<std::string> lines = readScript("fakeui.script");
    scriptContext context{theFake, theCore, theToken};
    theFake->gui().post([context, lines] { runScript(context, lines); });
}

}  // namespace

VESK_ENTRY int _register(Icartridge* cartridge, Icore* core) {
    if (!cartridge || !core)
        return 0;
    theCore = core;
    theFactory = lookupService<Ifactory>(core);
    auto* entities = lookupService<IentityTable>(core);
    auto* directory = interfaceCast<IcoreAccessor>(core);
    auto* manager = lookupService<ss::ISSManager>(core);
    if (!theFactory || !entities || !directory || !manager)
        return 0;
    if (!theFake) {
        theFake = new fakeUi();
        theFake->calls().writeTo("fakeui.calls");
        HINSTANCE resources = LoadLibraryA("plugins\\rsrc.vkm");
        theFake->setResourceModules(resources, resources);
        theFake->setManager(manager);
        theFake->publish(directory);
        theToken = entities->createEntity("fake UI", "recording user interface");
        if (theToken)
            theToken->addRef();
    }
    cartridge->setName("fake UI");
    cartridge->setAuthor("pelloran");
    cartridge->setDescription("recording user interface for tests");
    cartridge->setMajorVersion(0);
    cartridge->setMinorVersion(1);
    return 1;
}

VESK_ENTRY Ihash* _factory() {
    Ihash* table = createAs<Ihash>(theFactory, theToken, "vesk::hash", addRefMode);
    ref<Iconstruct> hooks(newWndProcConstruct());  // the table keeps its own reference
    if (table && hooks)
        table->set(value(0L), value(static_cast<Igeneric*>(hooks.get())));
    return table;
}

VESK_ENTRY int _load() { return 1; }

VESK_ENTRY int _initialize() {
    if (!startTimer)
        startTimer = SetTimer(nullptr, 0, 10, startScript);
    return 1;
}

VESK_ENTRY int _unload() {
    auto* threader = lookupService<Ithreader>(theCore);
    if (theFake && threader)
        theFake->calls().add(callText("fakeUi|unload|threads").arg(threader->liveThreads()).text());
    return 1;
}
