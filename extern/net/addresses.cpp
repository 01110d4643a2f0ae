#include "extern/net/addresses.h"

#include <iphlpapi.h>
#include <ws2tcpip.h>

#include <cstdio>
#include <memory>
#include <vector>

#include "core/dottedAddress.h"
#include "extern/net/channel.h"
#include "extern/net/engine.h"

namespace vesk::net {

bool parseDottedAddress(const char* text, in_addr& address) {
    std::uint32_t hostOrder;
    if (!parseDottedIpv4(text, &hostOrder))
        return false;
    address.s_addr = htonl(hostOrder);
    return true;
}

void formatDottedAddress(const in_addr& address, char* into) {
    unsigned long host = ntohl(address.s_addr);
    std::snprintf(into, 16, "%lu.%lu.%lu.%lu", host >> 24 & 0xFF, host >> 16 & 0xFF, host >> 8 & 0xFF, host & 0xFF);
}

namespace {

struct lookup {
    std::shared_ptr<engine> owner;
    std::shared_ptr<channel> target;
    std::string host;
    HMODULE pinned = nullptr;  // the module holding this code, kept loaded
};

void resolve(lookup& job) {
    addrinfo hints{};
    hints.ai_family = AF_INET;
    hints.ai_socktype = SOCK_STREAM;
    addrinfo* found = nullptr;
    int code = getaddrinfo(job.host.c_str(), nullptr, &hints, &found);
    in_addr address{};
    bool known = code == 0 && found && found->ai_addr && found->ai_addrlen >= sizeof(sockaddr_in);
    if (known)
        address = reinterpret_cast<sockaddr_in*>(found->ai_addr)->sin_addr;
    if (found)
        freeaddrinfo(found);
    {
        slimGuard hold(job.target->lock);
        if (job.target->state != phase::resolving)
            return;  // closed or timed out meanwhile
        if (known) {
            job.target->peer.sin_addr = address;
            job.target->state = phase::dialReady;
        } else {
            job.target->failLocked(code ? code : WSAHOST_NOT_FOUND);
        }
    }
    job.owner->attend(job.target);
}

// A slow look-up must not outlive the code it runs: the module stays
// loaded until the thread has left it.
DWORD WINAPI lookupMain(void* parameter) {
    HMODULE pinned;
    {
        std::unique_ptr<lookup> job(static_cast<lookup*>(parameter));
        pinned = job->pinned;
        resolve(*job);
    }
    if (pinned)
        FreeLibraryAndExitThread(pinned, 0);
    return 0;
}

HMODULE pinThisModule() {
    HMODULE self = nullptr;
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, reinterpret_cast<LPCSTR>(&lookupMain), &self))
        return nullptr;
    if (self == GetModuleHandleA(nullptr))
        return nullptr;  // linked into the program itself: nothing can unload it
    return self;
}

}  // namespace

bool startLookup(const std::shared_ptr<engine>& e, const std::shared_ptr<channel>& c, const std::string& host) {
    std::unique_ptr<lookup> job;
    try {
        job.reset(new lookup{e, c, host, nullptr});
    } catch (...) {
        return false;
    }
    job->pinned = pinThisModule();
    HANDLE thread = CreateThread(nullptr, 0, &lookupMain, job.get(), 0, nullptr);
    if (!thread) {
        if (job->pinned)
            FreeLibrary(job->pinned);
        return false;
    }
    job.release();  // the thread owns it now
    CloseHandle(thread);
    return true;
}

std::string localAddressText() {
    ULONG size = 0;
    std::vector<unsigned char> table;
    DWORD result = GetIpAddrTable(nullptr, &size, FALSE);
    for (int attempt = 0; result == ERROR_INSUFFICIENT_BUFFER && attempt < 3; ++attempt) {
        table.resize(size);
        result = GetIpAddrTable(reinterpret_cast<MIB_IPADDRTABLE*>(table.data()), &size, FALSE);
    }
    char text[16] = "127.0.0.1";
    if (result == NO_ERROR && !table.empty()) {
        auto* rows = reinterpret_cast<MIB_IPADDRTABLE*>(table.data());
        for (DWORD i = 0; i < rows->dwNumEntries; ++i) {
            in_addr address;
            address.s_addr = rows->table[i].dwAddr;
            unsigned long host = ntohl(address.s_addr);
            if (host == 0 || host >> 24 == 127)
                continue;
            formatDottedAddress(address, text);
            break;
        }
    }
    return text;
}

}  // namespace vesk::net
