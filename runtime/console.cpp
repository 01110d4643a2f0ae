#include "runtime/console.h"

#include <cstdint>
#include <new>
#include <utility>
#include <vector>

#include "core/hash.h"
#include "core/module.h"
#include "core/queue.h"
#include "core/records.h"
#include "core/string.h"
#include "runtime/heldContainer.h"

namespace vesk {

namespace {

Itrio* trioOf(const value& v) { return interfaceCast<Itrio>(v.asGeneric()); }

IcartridgeSource* sourceOf(Itrio* entry) {
    return entry ? interfaceCast<IcartridgeSource>(entry->getSecond().asGeneric()) : nullptr;
}

IcartridgeAccessor* accessorOf(Itrio* entry) {
    return entry ? interfaceCast<IcartridgeAccessor>(entry->getThird().asGeneric()) : nullptr;
}

Ihash* tableFromFactoryResult(std::intptr_t result) {
    return reinterpret_cast<Ihash*>(result);
}

}  // namespace

console::console()
    : sources_(newHeld<hash, Ihash>(addRefMode)),
      cartridges_(newHeld<hash, Ihash>(addRefMode)),
      registered_(newHeld<stack, Istack>(addRefMode)) {
    registerInterfaceOf<Iconsole>(this);
    registerInterfaceOf<IconsoleAccessor>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
}

console::~console() {
    if (registered_)
        registered_->release();
    if (cartridges_)
        cartridges_->release();
    if (sources_)
        sources_->release();
}

Itrio* console::entryOf(unsigned long id) { return trioOf(cartridges_->find(value(id))); }

unsigned long console::addSource(IcartridgeSource* source) {
    if (!source)
        return 0;
    sources_->set(value(nextId_), value(static_cast<Igeneric*>(source)));
    return nextId_++;
}

int console::removeSource(unsigned long id) {
    sources_->erase(value(id));
    return 1;
}

int console::scanSources() {
    std::vector<IcartridgeSource*> sources;  // held by the sources table
    forEachEntry(sources_, [&](const value&, const value& v) {
        if (auto* source = interfaceCast<IcartridgeSource>(v.asGeneric()))
            sources.push_back(source);
    });
    for (IcartridgeSource* source : sources) {
        Ihash* files = source->enumerate();
        if (!files)
            return 0;
        ref<Ihash> holdFiles(files);
        lockGuard fileLock(files->getLock());
        Ihash* byConsoleId = newHeld<hash, Ihash>(addRefMode);
        if (!byConsoleId)
            return 0;
        {
            lockGuard tableLock(cartridges_->getLock());
            forEachEntry(files, [&](const value&, const value& name) {
                Itrio* entry = newHeld<trio, Itrio>(addRefMode);
                if (!entry)
                    return;
                entry->setFirst(name);
                entry->setSecond(value(static_cast<Igeneric*>(source)));
                entry->setThird(value(0L));
                byConsoleId->set(value(nextId_), name);
                cartridges_->set(value(nextId_), value(static_cast<Igeneric*>(entry)));
                entry->release();
                ++nextId_;
            });
        }
        // The source's files now stand under their console ids, so that
        // load and unload take the console's id.
        files->clear();
        forEachEntry(byConsoleId, [&](const value& id, const value& name) { files->set(id, name); });
        byConsoleId->release();
    }
    return 1;
}

int console::loadLibraries() {
    if (cartridges_->empty())
        return 0;
    Iqueue* failures = newHeld<queue, Iqueue>(addRefMode);
    if (!failures)
        return 0;
    {
        lockGuard tableLock(cartridges_->getLock());
        forEachEntry(cartridges_, [&](const value& id, const value& v) {
            Itrio* entry = trioOf(v);
            IcartridgeSource* source = sourceOf(entry);
            Icartridge* loaded = source ? source->load(id.asUlong()) : nullptr;
            if (!loaded) {
                failures->push(id);
                return;
            }
            entry->setThird(value(static_cast<Igeneric*>(loaded)));
            if (auto* accessor = interfaceCast<IcartridgeAccessor>(loaded))
                accessor->orFlags(cartridgeFlag::loaded);
        });
        while (!failures->empty()) {
            cartridges_->erase(failures->front());
            failures->pop();
        }
    }
    failures->release();
    return 1;
}

int console::runPass(const passRule& rule) {
    if (cartridges_->empty())
        return 0;
    Iqueue* waiting = newHeld<queue, Iqueue>(addRefMode);  // this sweep
    Iqueue* failed = newHeld<queue, Iqueue>(addRefMode);   // for the next
    if (!waiting || !failed) {
        if (waiting)
            waiting->release();
        if (failed)
            failed->release();
        return 0;
    }
    forEachEntry(cartridges_, [&](const value&, const value& v) {
        if (IcartridgeAccessor* accessor = accessorOf(trioOf(v)))
            waiting->push(value(static_cast<Igeneric*>(accessor)));
    });
    for (;;) {
        if (waiting->empty())
            std::swap(waiting, failed);
        const unsigned tried = waiting->size();
        while (!waiting->empty()) {
            ref<IcartridgeAccessor> module(interfaceCast<IcartridgeAccessor>(waiting->front().asGeneric()));
            waiting->pop();
            if (!module || (rule.required && !(module->getFlags() & rule.required)))
                continue;  // not ready for this pass: dropped
            if (!((module.get()->*rule.call)())) {
                failed->push(value(static_cast<Igeneric*>(module.get())));
                continue;
            }
            module->orFlags(rule.success);
            if (rule.pushRegistered)
                registered_->push(value(static_cast<Igeneric*>(module.get())));
        }
        if (failed->size() == tried)
            break;
    }
    waiting->release();
    failed->release();
    return 1;
}

int console::registerAll() {
    return runPass({&IcartridgeAccessor::callRegister, 0, cartridgeFlag::registered, true});
}

int console::loadAll() {
    return runPass({&IcartridgeAccessor::callLoad, cartridgeFlag::registered, cartridgeFlag::loadDone, false});
}

int console::initializeAll() {
    return runPass({&IcartridgeAccessor::callInitialize, cartridgeFlag::loadDone, cartridgeFlag::initialized, false});
}

void console::registerClasses(Ihash* table, unsigned long owner, bool firstOnly) {
    ref<Ihash> hold(table);  // a new table (count 0) ends with this
    Ifactory* factory = lookupService<Ifactory>(core_);
    lockGuard tableLock(table->getLock());
    unsigned count = table->size();
    for (unsigned i = 0; i < count; ++i) {
        value entry = i == 0 ? table->first() : table->next();
        auto* construct = interfaceCast<Iconstruct>(entry.anyObject());
        if (!construct)
            break;
        if (factory)
            factory->registerClass(construct, owner, 0);
        if (firstOnly)
            break;
    }
}

int console::factoryAll() {
    if (cartridges_->empty())
        return 0;
    std::vector<std::pair<unsigned long, IcartridgeAccessor*>> modules;  // held by the table
    forEachEntry(cartridges_, [&](const value& id, const value& v) {
        if (IcartridgeAccessor* accessor = accessorOf(trioOf(v)))
            modules.emplace_back(id.asUlong(), accessor);
    });
    for (auto& [id, accessor] : modules) {
        if (Ihash* table = tableFromFactoryResult(accessor->callFactory())) {
            registerClasses(table, id, false);
            accessor->orFlags(cartridgeFlag::factoryDone);
        }
    }
    return 1;
}

int console::unloadAll() {
    if (cartridges_->empty())
        return 0;
    while (!registered_->empty()) {
        ref<IcartridgeAccessor> module(interfaceCast<IcartridgeAccessor>(registered_->top().asGeneric()));
        if (module && module->callUnload())
            module->orFlags(cartridgeFlag::unloaded);
        registered_->pop();
    }
    return 1;
}

int console::freeLibraries() {
    if (cartridges_->empty())
        return 0;
    std::vector<std::pair<unsigned long, IcartridgeSource*>> entries;  // held by the table
    forEachEntry(cartridges_, [&](const value& id, const value& v) {
        if (IcartridgeSource* source = sourceOf(trioOf(v)))
            entries.emplace_back(id.asUlong(), source);
    });
    for (auto& [id, source] : entries)
        source->unload(id);
    cartridges_->clear();
    registered_->clear();
    return 1;
}

int console::loadCartridge(unsigned long id) {
    Itrio* entry = entryOf(id);
    IcartridgeSource* source = sourceOf(entry);
    Icartridge* loaded = source ? source->load(id) : nullptr;
    if (!loaded)
        return 0;
    entry->setThird(value(static_cast<Igeneric*>(loaded)));
    if (Istring* name = new (std::nothrow) string(loaded->getName()))
        entry->setFirst(value(name));
    return 1;
}

int console::unloadCartridge(unsigned long id) {
    IcartridgeSource* source = sourceOf(entryOf(id));
    return source && source->unload(id) ? 1 : 0;
}

int console::factoryCartridge(unsigned long id) {
    if (IcartridgeAccessor* accessor = accessorOf(entryOf(id)))
        if (Ihash* table = tableFromFactoryResult(accessor->callFactory()))
            registerClasses(table, id, true);
    return 0;
}

}  // namespace vesk
