#include "runtime/host.h"

#include <string>
#include <utility>

#include "core/constructs.h"
#include "core/coreDirectory.h"
#include "core/currentDirectory.h"
#include "core/entityTable.h"
#include "core/factory.h"
#include "core/module.h"
#include "core/string.h"
#include "runtime/buildText.h"
#include "runtime/cartridgeSourceDirectory.h"
#include "runtime/console.h"
#include "runtime/logTarget.h"
#include "runtime/runtimeObject.h"
#include "vesk/fs.h"
#include "vesk/persist.h"
#include "vesk/threading.h"

namespace vesk {

namespace {

// What the host keeps between start-up and shutdown. Core objects are
// owned by the directory once published.
struct hostState {
    std::string buildText;
    runtime* runtimeObject = nullptr;
    console* consoleObject = nullptr;
    factory* factoryObject = nullptr;
    entityTable* entities = nullptr;
    core* directory = nullptr;
    IcoreAccessor* publisher = nullptr;
    logTarget* log = nullptr;
    IentityToken* bootstrap = nullptr;  // one reference held
    IsignalProcessor* signals = nullptr;
    IsignalAccessor* signalLoop = nullptr;
};

template <class T, class... A>
T* newCore(A&&... args) {
    try {
        return new capsule_core<T>(std::forward<A>(args)...);
    } catch (...) {
        return nullptr;
    }
}

// Where the host's files are; "." when the current directory cannot be read.
std::string hostFolder() {
    std::string folder = currentDirectory();
    return folder.empty() ? "." : folder;
}

void releaseUnpublished(hostState& host) {
    IcoreObject* objects[] = {host.runtimeObject, host.consoleObject, host.factoryObject, host.entities,
                              host.directory};
    for (IcoreObject* object : objects)
        if (object)
            object->releaseCore();
}

bool createCoreObjects(hostState& host, const char* commandLine, HINSTANCE instance, int showCommand) {
    host.runtimeObject = newCore<runtime>();
    if (host.runtimeObject && !host.runtimeObject->ready()) {
        host.runtimeObject->releaseCore();
        host.runtimeObject = nullptr;
    }
    if (!host.runtimeObject)
        return false;
    host.runtimeObject->readCommandLine(commandLine);
    host.consoleObject = newCore<console>();
    host.factoryObject = newCore<factory>();
    host.entities = newCore<entityTable>();
    host.directory = newCore<core>();
    if (!host.consoleObject || !host.consoleObject->ready() || !host.factoryObject || !host.entities ||
        !host.directory) {
        releaseUnpublished(host);
        return false;
    }
    host.consoleObject->useDirectory(host.directory);
    host.runtimeObject->setInstance(instance);
    host.runtimeObject->setShowCommand(showCommand);
    host.bootstrap = host.entities->createEntity("vesk::runtime", "bootstrap");
    if (host.bootstrap)
        host.bootstrap->addRef();
    host.publisher = interfaceCast<IcoreAccessor>(static_cast<Icore*>(host.directory));
    if (!host.publisher) {
        if (host.bootstrap)
            host.bootstrap->release();
        releaseUnpublished(host);
        return false;
    }
    return true;
}

void publishCoreObjects(hostState& host) {
    host.publisher->registerObject(nameOf<Iconsole>(), static_cast<Iconsole*>(host.consoleObject));
    host.publisher->registerObject(nameOf<Ifactory>(), static_cast<Ifactory*>(host.factoryObject));
    host.publisher->registerObject(nameOf<IentityTable>(), static_cast<IentityTable*>(host.entities));
    host.publisher->registerObject(nameOf<Iruntime>(), static_cast<Iruntime*>(host.runtimeObject));
    registerCoreClasses(host.factoryObject);
}

void openLog(hostState& host) {
    std::string path = hostFolder() + "\\vesk.log";
    host.log = newCore<logTarget>(path.c_str());
    if (!host.log)
        return;
    std::string banner = "Pelloran/Korridan" + host.buildText + " is up and running..";
    logLine(host.log, banner.c_str());
    host.publisher->registerObject(nameOf<Itarget>(), static_cast<Itarget*>(host.log));
}

void findAndRegisterModules(hostState& host) {
    std::string folder = hostFolder() + "\\plugins\\";
    try {
        ref<IcartridgeSource> source(new capsule<cartridgeSourceDirectory>(folder.c_str(), host.directory));
        host.consoleObject->addSource(source.get());
    } catch (...) {
        return;  // no source: the passes below find nothing
    }
    host.consoleObject->scanSources();
    host.consoleObject->loadLibraries();
    host.consoleObject->registerAll();
    host.consoleObject->factoryAll();
}

// The settings store is filled before any module's _load.
void attachSettingsFiles(hostState& host) {
    Icore* directory = host.directory;
    auto* install = lookupService<persist::IinstallSettings>(directory);
    auto* settings = lookupService<persist::Isettings>(directory);
    const std::string here = hostFolder();
    if (install) {
        std::string path = here + "\\install.egg";
        ref<fs::Ifile> file(createAs<fs::Ifile>(host.factoryObject, host.bootstrap, "vesk::fs::file", path.c_str()));
        if (file)
            install->load(file.get());
    }
    if (settings) {
        std::string path = here + "\\vesk.egg";
        ref<persist::IpersistTarget> target(createAs<persist::IpersistTarget>(
            host.factoryObject, host.bootstrap, "vesk::persist::persistTargetFile", path.c_str()));
        if (target)
            settings->setTarget(target.get());
    }
}

void findSignalProcessor(hostState& host) {
    host.signals = lookupService<IsignalProcessor>(host.directory);
    host.signalLoop = interfaceCast<IsignalAccessor>(host.signals);
    host.runtimeObject->routeShutdown(host.factoryObject, host.bootstrap, host.signals);
}

void runUntilShutdown(hostState& host) {
    if (host.signals)
        host.runtimeObject->setSignalPath(
            host.signals->registerSignalPath("signal_path(vesk::runtime)", host.bootstrap, 0));
    if (host.signalLoop) {
        logLine(host.log, "going into signal processing loop.");
        host.signals->registerSignalPath("runtime::debug", host.bootstrap, 1);
        // A shutdown already requested is latched by the signal processor;
        // the flag check only spares entering the loop at all.
        if (host.runtimeObject->isRunning())
            host.signalLoop->run();
        return;
    }
    logLine(host.log, "no signal processor.. hitting dead loop.");
    while (host.runtimeObject->isRunning())
        Sleep(100);
}

void shutDown(hostState& host) {
    // A late shutdown request must not use the objects released below.
    host.runtimeObject->routeShutdown(nullptr, nullptr, nullptr);
    host.consoleObject->unloadAll();
    host.consoleObject->freeLibraries();
    if (host.bootstrap) {
        host.entities->removeEntity(host.bootstrap);
        host.bootstrap->release();
        host.bootstrap = nullptr;
    }
    // Ends every published object in the order of publication: console,
    // factory, entity table, runtime, log target (its closing line), then
    // the modules' services.
    host.directory->releaseCore();
}

}  // namespace

int runHost(HINSTANCE instance, const char* commandLine, int showCommand) {
    hostState host;
    host.buildText = readBuildText("plugins\\rsrc.vkm");
    if (!createCoreObjects(host, commandLine, instance, showCommand))
        return 0;
    publishCoreObjects(host);
    openLog(host);
    findAndRegisterModules(host);
    attachSettingsFiles(host);
    findSignalProcessor(host);
    host.consoleObject->loadAll();
    host.consoleObject->initializeAll();
    runUntilShutdown(host);
    // Read before the runtime object ends with the core.
    int exitCode = host.runtimeObject->getExitCode();
    shutDown(host);
    return exitCode;
}

}  // namespace vesk
