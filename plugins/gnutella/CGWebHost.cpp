#include "plugins/gnutella/CGWebHost.h"

#include <cstdlib>

#include "plugins/gnutella/CGWebCache.h"
#include "plugins/gnutella/hostCache.h"
#include "plugins/gnutella/webCacheResponse.h"

namespace vesk::gnutella {

namespace {

// A request is built in 260 bytes: "GET ", the path, the query and the
// blank line.
constexpr std::size_t pathLimit = 240;

}  // namespace

int CGWebHost::SplitURL() {
    std::size_t slash = m_URL.find('/');
    if (slash == std::string::npos)
        return 0;
    std::string host = m_URL.substr(0, slash);
    std::size_t colon = host.find(':');
    m_Port = colon == std::string::npos ? 80 : std::atoi(host.c_str() + colon + 1);
    m_Host = host.substr(0, colon);
    m_Path = m_URL.substr(slash);
    return 1;
}

std::string CGWebHost::RequestText(const char* query) {
    if (!SplitURL() || m_Host.empty() || m_Path.size() > pathLimit)
        return std::string();
    return "GET " + m_Path + query + "\r\n\r\n";
}

void CGWebHost::ParseResponse(CGWebCache& list, std::string_view response) {
    webCacheAnswer answer = ReadWebCacheAnswer(response);
    if (answer.failed)
        ++m_Failures;
    if (answer.redirected) {
        m_URL = answer.redirect;
        SplitURL();
    }
    for (const std::string& url : answer.urls)
        list.AddURL(url);
    m_NewHosts += static_cast<std::uint32_t>(CatchOfferedHosts(answer.hosts));
}

}  // namespace vesk::gnutella
