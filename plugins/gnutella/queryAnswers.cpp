#include "plugins/gnutella/queryAnswers.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/text.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaPacket.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/advertisedAddress.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/peerReader.h"
#include "plugins/gnutella/routing.h"
#include "plugins/gnutella/searchMonitor.h"

namespace vesk::gnutella {

namespace {

// Count, port, address and speed.
constexpr std::size_t hitHead = 11;
// Vendor code, open data size, two flag bytes, servent identifier.
constexpr std::size_t hitTrailer = 4 + 1 + 2 + 16;
constexpr char vendorCode[4] = {'V', 'E', 'S', 'K'};
constexpr unsigned char openDataSize = 2;
constexpr unsigned char flagMask = 0x0C;
constexpr unsigned char flagPush = 0x01;
constexpr unsigned char flagBusy = 0x04;
constexpr unsigned char flagUploaded = 0x08;
// Speed before the query text.
constexpr std::size_t querySpeedSize = 2;

std::size_t resultSize(const hitResult& r) {
    return 4 + 4 + r.name.size() + 2;  // index, size, name, its zero and an empty extension block
}

// Copies n bytes to at; where they end.
unsigned char* put(unsigned char* at, const void* bytes, std::size_t n) {
    std::memcpy(at, bytes, n);
    return at + n;
}

}  // namespace

std::string ShareEngineQuery(const std::string& text) {
    std::vector<std::string> seen;
    std::string query;
    std::size_t start = 0;
    while (start < text.size() && seen.size() < shareQueryWordLimit) {
        std::size_t blank = text.find(' ', start);
        if (blank == std::string::npos)
            blank = text.size();
        std::string word = text.substr(start, blank - start);
        start = blank + 1;
        std::string key = lowerCase(word);
        if (word.empty() || std::find(seen.begin(), seen.end(), key) != seen.end())
            continue;
        seen.push_back(key);
        query += (query.empty() ? "" : " ") + word;
    }
    return query;
}

hitSender ThisNodeInHits() {
    hitSender me{};
    advertisedAddress own = AdvertisedAddress();
    me.port = own.port;
    std::memcpy(me.address, own.address, 4);
    me.speed = g_Settings.m_LocalSpeed;
    me.flags = flagPush;
    if (g_Settings.m_Uploaded)
        me.flags |= flagUploaded;
    if (g_Settings.Counts().uploads >= g_Settings.m_MaxUploads)
        me.flags |= flagBusy;
    std::memcpy(me.servent, g_Settings.m_ClientGuid, sizeof me.servent);
    return me;
}

std::size_t ResultsInOneHit(const std::vector<hitResult>& results, std::size_t from) {
    std::size_t payload = hitHead + hitTrailer;
    std::size_t count = 0;
    for (std::size_t i = from; i < results.size() && count < maxResultsPerHit; ++i, ++count) {
        payload += resultSize(results[i]);
        if (payload > maxHitPayload)
            break;
    }
    return count;
}

std::vector<unsigned char> QueryHitDescriptor(const unsigned char* queryGuid, unsigned char ttl,
                                              const hitSender& sender, const hitResult* first, std::size_t count) {
    std::size_t payload = hitHead + hitTrailer;
    for (std::size_t i = 0; i < count; ++i)
        payload += resultSize(first[i]);
    std::vector<unsigned char> hit(descriptorHeaderSize + payload);
    if (WriteDescriptorHeader(hit.data(), queryGuid, function::queryHit, ttl, 0,
                              static_cast<std::uint32_t>(payload)) != 0)
        return {};
    unsigned char* at = hit.data() + descriptorHeaderSize;
    *at++ = static_cast<unsigned char>(count);
    WriteLe16(at, sender.port);
    at = put(at + 2, sender.address, 4);
    WriteLe32(at, sender.speed);
    at += 4;
    for (std::size_t i = 0; i < count; ++i) {
        const hitResult& r = first[i];
        WriteLe32(at, r.index);
        WriteLe32(at + 4, r.size);
        at = put(at + 8, r.name.c_str(), r.name.size() + 1);
        *at++ = 0;  // an empty extension block
    }
    at = put(at, vendorCode, sizeof vendorCode);
    *at++ = openDataSize;
    *at++ = flagMask;
    *at++ = sender.flags;
    put(at, sender.servent, sizeof sender.servent);
    return hit;
}

std::vector<hitResult> SharedFilesMatching(const std::string& text, std::uint32_t limit) {
    std::vector<hitResult> results;
    share2::IShareEngine* engine = g_Services.shareEngine;
    if (!engine || limit == 0)
        return results;
    ref<Ivector> found = ref<Ivector>::adopt(engine->search(text.c_str()));
    if (!found)
        return results;
    unsigned size = found->size();
    for (unsigned i = 0; i < size && results.size() < limit; ++i) {
        auto* file = addressFrom<share2::IShareObj*>(found->at(i));
        if (!file)
            break;
        const char* name = file->getName();
        if (!name || !*name)  // a folder: never answered
            continue;
        results.push_back({file->getId(), file->getSize(), std::string(name, strnlen(name, hitNameLimit))});
    }
    return results;
}

int HandleQuery(const CGnutellaPacket* query, CGnutellaHost* host) {
    if (!query || !host || IsShuttingDown())
        return 0;
    peerReader payload(query->m_Payload.data(), query->m_Payload.size());
    if (!payload.Skip(querySpeedSize))
        return 0;
    std::string text = payload.Text(query->m_Payload.size());
    if (text != "    ")
        RefreshStats(text.c_str());
    if (text.size() > answeredQueryLimit)
        return 0;
    std::vector<hitResult> results = SharedFilesMatching(ShareEngineQuery(text), g_Settings.m_MaxOutgoingResults);
    hitSender me = ThisNodeInHits();
    int hits = 0;
    for (std::size_t from = 0; from < results.size();) {
        std::size_t count = ResultsInOneHit(results, from);
        if (count == 0)
            break;
        std::vector<unsigned char> hit =
            QueryHitDescriptor(query->Guid(), g_Settings.m_LocalTTL, me, &results[from], count);
        if (hit.empty())
            break;
        SendToHost(host, hit.data(), static_cast<unsigned long>(hit.size()));
        g_Settings.CountSent(kind::queryHit);
        ++hits;
        from += count;
    }
    return hits;
}

}  // namespace vesk::gnutella
