#include "plugins/gnutella/CGWebCache.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <new>

#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/network.h"
#include "plugins/gnutella/webCacheResponse.h"

namespace vesk::gnutella {

CGWebCache* g_WebCache = nullptr;

namespace {

constexpr std::size_t openExchangeLimit = 5;
constexpr std::size_t savedUrlLimit = 101;

std::atomic<std::uint32_t> nextExchangeId{0};

// The next white-space separated word of the file, at most limit
// characters (a longer word is skipped whole). False at the end.
bool nextWord(std::FILE* file, std::string& word) {
    for (;;) {
        int c;
        while ((c = std::fgetc(file)) != EOF && std::isspace(c))
            ;
        if (c == EOF)
            return false;
        word.clear();
        bool tooLong = false;
        for (; c != EOF && !std::isspace(c); c = std::fgetc(file)) {
            if (word.size() < webCacheTextLimit)
                word += static_cast<char>(c);
            else
                tooLong = true;
        }
        if (!tooLong)
            return true;
    }
}

}  // namespace

CGWebCache::CGWebCache(const std::vector<std::string>& builtIn, const std::string& folder)
    : m_FilePath(folder + "\\gcache") {
    std::srand(static_cast<unsigned>(std::time(nullptr)));
    for (const std::string& url : builtIn)
        m_Hosts.emplace(url, CGWebHost(url));
    LoadCacheFile();
}

CGWebCache::~CGWebCache() {
    EndExchanges();
}

void CGWebCache::AddURL(const std::string& url) {
    auto known = m_Hosts.find(url);
    if (known != m_Hosts.end())
        known->second.m_URL = url;
    else if (m_Hosts.size() < webCacheListLimit)
        m_Hosts.emplace(url, CGWebHost(url));
}

void CGWebCache::SendRequest(CGWebHost& host, const std::string& request) {
    if (request.empty())
        return;
    CGWebConn* exchange = new (std::nothrow) CGWebConn(&host, nextExchangeId++);
    if (!exchange)
        return;
    exchange->m_Link = NewTcpDescriptor();
    if (exchange->m_Link)
        exchange->m_Link->connect(host.m_Host.c_str(), static_cast<unsigned short>(host.m_Port));
    exchange->m_StartTime = static_cast<std::uint32_t>(TickNow());
    try {
        m_Connections[exchange->m_Id] = exchange;
    } catch (...) {
        delete exchange;
        return;
    }
    // Bytes handed over while dialling go out once the connection is up.
    if (exchange->m_Link)
        exchange->m_Link->send(request.data(), static_cast<unsigned long>(request.size()));
}

void CGWebCache::RequestHosts() {
    {
        std::lock_guard<std::mutex> hold(m_Lock);
        if (m_Connections.size() > openExchangeLimit)
            return;
        std::vector<CGWebHost*> usable;
        for (auto& entry : m_Hosts)
            if (entry.second.m_Failures == 0)
                usable.push_back(&entry.second);
        if (usable.empty())
            return;
        CGWebHost& chosen = *usable[static_cast<std::size_t>(std::rand()) % usable.size()];
        SendRequest(chosen, chosen.RequestText("?hostfile=1"));
        if (usable.size() < m_UrlLimit)
            SendRequest(chosen, chosen.RequestText("?urlfile=1"));
    }
    Sleep(1);
}

int CGWebCache::PollConnections() {
    std::lock_guard<std::mutex> hold(m_Lock);
    if (m_Connections.empty())
        return 0;
    std::uint32_t now = static_cast<std::uint32_t>(TickNow());
    for (auto it = m_Connections.begin(); it != m_Connections.end(); ++it) {
        CGWebConn* exchange = it->second;
        if (exchange->m_Active)
            exchange->Poll(*this);
        if (now - exchange->m_StartTime > webExchangeTimeoutMs)
            exchange->m_Active = 0;
        if (exchange->m_Active) {
            Sleep(1);
            continue;
        }
        m_Connections.erase(it);
        if (exchange->m_Link)
            exchange->m_Link->close();
        delete exchange;
        return 1;  // one exchange ends per step
    }
    return 1;
}

void CGWebCache::EndExchanges() {
    std::lock_guard<std::mutex> hold(m_Lock);
    for (auto& entry : m_Connections) {
        if (entry.second->m_Link)
            entry.second->m_Link->close();
        delete entry.second;
    }
    m_Connections.clear();
}

int CGWebCache::LoadCacheFile() {
    std::FILE* file = std::fopen(m_FilePath.c_str(), "r");
    if (!file)
        return -1;
    std::string word;
    while (nextWord(file, word)) {
        StripHttpPrefix(word);
        if (!word.empty())
            AddURL(word);
    }
    std::fclose(file);
    return 0;
}

int CGWebCache::SaveCacheFile() {
    std::lock_guard<std::mutex> hold(m_Lock);
    std::FILE* file = std::fopen(m_FilePath.c_str(), "w");
    if (!file)
        return -1;
    std::vector<const CGWebHost*> order;
    for (const auto& entry : m_Hosts)
        order.push_back(&entry.second);
    std::stable_sort(order.begin(), order.end(), [](const CGWebHost* a, const CGWebHost* b) {
        return a->m_NewHosts != b->m_NewHosts ? a->m_NewHosts > b->m_NewHosts : a->m_Failures < b->m_Failures;
    });
    std::size_t written = 0;
    for (const CGWebHost* host : order) {
        if (host->m_Failures != 0)
            continue;
        // Text mode: the platform writes each line end as "\r\r\n".
        std::fputs((host->m_URL + "\r\n").c_str(), file);
        if (++written == savedUrlLimit)
            break;
    }
    std::fclose(file);
    return 0;
}

int RequestWebCacheHosts() {
    if (g_WebCache)
        g_WebCache->RequestHosts();
    return 0;
}

int WebCacheStep() {
    if (g_WebCache)
        g_WebCache->PollConnections();
    return 0;
}

int CloseWebCacheClient() {
    if (!g_WebCache)
        return 0;
    g_WebCache->EndExchanges();
    g_WebCache->SaveCacheFile();
    return 0;
}

}  // namespace vesk::gnutella
