#include "core/module.h"
#include "core/string.h"
#include "plugins/gnutella/gnutellaInternal.h"

namespace vesk::gnutella {

moduleServices g_Services;
moduleState g_State;

Ifactory* moduleFactory() {
    return lookupService<Ifactory>(g_Services.core);
}

void LogLine(const char* text) {
    logLine(lookupService<Itarget>(g_Services.core), text);
}

ss::IAgent* NewAgent() {
    ss::IAgent* agent = CreateObject<ss::IAgent>(g_State.agentClass);
    if (agent)
        agent->addRef();
    return agent;
}

Ilock* NewLock() {
    Ifactory* factory = moduleFactory();
    Ilock* lock = CreateObject<Ilock>(factory ? factory->findClass("vesk::spinLock") : 0);
    if (lock)
        lock->addRef();
    return lock;
}

namespace {

// "vesk::net::valid_ip", looked up once and kept; null while the function
// index has none.
Ifunction* validIpFunction() {
    static std::atomic<Ifunction*> validIp{nullptr};
    Ifunction* function = validIp.load();
    if (!function && g_Services.functionIndex) {
        IfunctionIndex* index = g_Services.functionIndex;
        function = index->getFunction(index->findFunction("vesk::net::valid_ip", g_State.token));
        validIp = function;
    }
    return function;
}

}  // namespace

bool HasValidIpFunction() {
    return validIpFunction() != nullptr;
}

bool IsValidIpText(const char* text) {
    Ifunction* function = validIpFunction();
    return text && function && function->call(value(text)).asShort() == 1;
}

}  // namespace vesk::gnutella
