#include "plugins/gnutella/uploadSlots.h"

#include <mutex>
#include <string>

#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/transferRows.h"

namespace vesk::gnutella {

bool AddUploadForIp(const char* address) {
    if (!address)
        return false;
    std::lock_guard<std::recursive_mutex> hold(g_HostIPUploadCount.guard);
    auto& counts = g_HostIPUploadCount.items;
    auto entry = counts.find(address);
    if (entry == counts.end()) {
        counts.emplace(address, 1u);
        return true;
    }
    if (entry->second >= g_Settings.m_MaxUploadsPerIP)
        return false;
    ++entry->second;
    return true;
}

bool RemoveUploadForIp(const char* address) {
    if (!address)
        return false;
    std::lock_guard<std::recursive_mutex> hold(g_HostIPUploadCount.guard);
    auto& counts = g_HostIPUploadCount.items;
    auto entry = counts.find(address);
    if (entry == counts.end())
        return false;
    if (entry->second > 1) {
        --entry->second;
        return false;
    }
    counts.erase(entry);
    return true;
}

void ReleaseUploadSlot(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host ? host->m_Transfer : nullptr;
    if (!transfer || !transfer->uploadSlotHeld)
        return;
    transfer->uploadSlotHeld = false;
    RemoveUploadForIp(host->m_AddressText);
    UntrackUploadRow(transfer->row);
}

}  // namespace vesk::gnutella
