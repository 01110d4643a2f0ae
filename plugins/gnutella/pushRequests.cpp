#include "plugins/gnutella/pushRequests.h"

#include <cstring>
#include <memory>
#include <mutex>
#include <new>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/CGnutellaTransfer.h"
#include "plugins/gnutella/addresses.h"
#include "plugins/gnutella/descriptors.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/httpMessages.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/moduleRecords.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/transferRows.h"
#include "plugins/gnutella/transferStates.h"
#include "plugins/gnutella/transferSteps.h"

namespace vesk::gnutella {

namespace {

constexpr std::uint32_t pushWaitMs = 10000;
constexpr const char* forcePushName = "GNUTELLA_FORCE_PUSH";

struct queuedPush {
    guid16 servent;
    guid16 download;
    std::vector<unsigned char> bytes;
};

// Last in the module's lock order: only the queue itself is touched under it.
std::mutex queueLock;
std::vector<queuedPush> queued;

void markUnroutable(const guid16& download) {
    std::lock_guard<std::recursive_mutex> hold(g_TransferHostList.guard);
    auto entry = g_TransferHostList.items.find(download);
    if (entry == g_TransferHostList.items.end())
        return;
    CGnutellaHost* host = entry->second;
    lockGuard locked(host->m_Lock);
    if (host->m_Transfer)
        host->m_Transfer->pushUnroutable = true;
}

// The first connected link, in the list's key order, that saw the servent.
bool sendOnRoute(const queuedPush& push) {
    std::lock_guard<std::recursive_mutex> hold(g_ActiveHostList.guard);
    for (auto& entry : g_ActiveHostList.items) {
        CGnutellaHost* link = entry.second;
        if (!link->m_Routes.HasServent(push.servent))
            continue;
        if (!link->m_Link)
            return false;
        link->m_Link->setSendMode(true);
        link->m_Link->send(push.bytes.data(), static_cast<unsigned long>(push.bytes.size()));
        link->m_Link->setSendMode(false);
        g_Settings.CountSent(kind::push);
        return true;
    }
    return false;
}

void fileRequestedPush(std::unique_ptr<CGnutellaRequestedPush> record) {
    std::lock_guard<std::recursive_mutex> hold(g_RequestedPushList.guard);
    auto& pushes = g_RequestedPushList.items;
    auto entry = pushes.find(record->m_GivLine);
    if (entry != pushes.end()) {
        delete entry->second;
        pushes.erase(entry);
    }
    std::string key = record->m_GivLine;
    pushes.emplace(key, record.release());
}

// No push can reach the source: both ends private, nothing reported, and
// the source private or marked push-only, unless it once answered by GIV.
bool pushCannotWork(const CGnutellaHost* host) {
    const CGnutellaTransfer* transfer = host->m_Transfer;
    unsigned char own[4];
    g_Settings.m_OwnAddress.Get(own);
    if (transfer->viaPush || !IsPrivateAddress(own) || g_Settings.m_EnableReported != 0)
        return false;
    return IsPrivateAddress(host->m_Address) || (transfer->row && transfer->row->HasAttribute(forcePushName));
}

constexpr rowAction retryAction{IDS_GNU_ACTION_RETRY, &retry_download};
constexpr rowAction removeAction{IDS_GNU_ACTION_REMOVE, &remove_download};

int pushTimedOut(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host->m_Transfer;
    transfer->code = 992;
    SendHttpError(host, nullptr, 992);
    if (host->m_Link)
        host->m_Link->close();
    SetTransferState(host, transferState::downloadFailed);
    ShowFailure(transfer);
    SetRowText(transfer->row, IDS_GNU_FIELD_STATUS, StatusText(992));
    SetTransferActions(transfer->row, {removeAction, retryAction});
    ShowDownload(transfer->row);
    SetTransferState(host, transferState::downloadEnded);
    UntrackDownloadRow(transfer->row);
    return 0;
}

}  // namespace

std::string GivKey(std::uint32_t index, const unsigned char* servent, const char* name) {
    char hex[33] = {};
    IdToHex(servent, hex);
    std::string key = "GIV " + std::to_string(index) + ":" + hex + "/" + (name ? name : "");
    if (key.size() > givKeyLimit)
        key.resize(givKeyLimit);
    return key;
}

std::vector<unsigned char> PushDescriptor(const unsigned char* servent, std::uint32_t index) {
    std::vector<unsigned char> bytes(descriptorHeaderSize + 26);
    unsigned char id[16];
    if (NewMessageGuid(id) != 0 || BuildDescriptorHeader(bytes.data(), id, function::push, 26) != 0)
        return {};
    unsigned char* payload = bytes.data() + descriptorHeaderSize;
    std::memcpy(payload, servent, 16);
    WriteLe32(payload + 16, index);
    bool reported = g_Settings.m_EnableReported != 0;
    if (reported)
        g_Settings.m_ReportedIP.Get(payload + 20);
    else
        g_Settings.m_OwnAddress.Get(payload + 20);
    WriteLe16(payload + 24, reported ? g_Settings.m_ReportedPort.load() : g_Settings.m_ListenPort.load());
    return bytes;
}

int RequestPush(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host ? host->m_Transfer : nullptr;
    guid16 servent;
    if (!transfer || !transfer->row ||
        !RowBytes(transfer->row, ResourceText(IDS_GNU_FIELD_ID), servent.bytes, sizeof servent.bytes))
        return -1;
    transfer->pushSent = 1;
    transfer->pushUnroutable = false;
    std::unique_ptr<CGnutellaRequestedPush> record(new (std::nothrow) CGnutellaRequestedPush());
    queuedPush push{servent, host->m_Id, PushDescriptor(servent.bytes, transfer->remoteIndex)};
    if (!record || push.bytes.empty())
        return -1;
    record->m_ServentId = servent;
    record->m_FileIndex = transfer->remoteIndex;
    record->m_FileName = transfer->remoteName;
    record->m_BytesDone = transfer->bytesDone;
    record->m_Download = host->m_Id;
    record->m_GivLine = GivKey(transfer->remoteIndex, servent.bytes, transfer->remoteName);
    fileRequestedPush(std::move(record));
    std::lock_guard<std::mutex> hold(queueLock);
    queued.push_back(std::move(push));
    return 0;
}

void SendRequestedPushes() {
    std::vector<queuedPush> pushes;
    {
        std::lock_guard<std::mutex> hold(queueLock);
        pushes.swap(queued);
    }
    for (const queuedPush& push : pushes)
        if (!sendOnRoute(push))
            markUnroutable(push.download);
}

void ClearRequestedPushes() {
    std::lock_guard<std::mutex> hold(queueLock);
    queued.clear();
}

int HandlePushWait(CGnutellaHost* host) {
    CGnutellaTransfer* transfer = host ? host->m_Transfer : nullptr;
    if (!transfer)
        return 0;
    if (transfer->pushUnroutable.exchange(false)) {
        SetRowNumber(transfer->row, IDS_GNU_FIELD_PROGRESS, -1);
        return EndFailedDownload(host, 994, {retryAction, removeAction});
    }
    if (SinceStamp(host) <= pushWaitMs)
        return 0;
    if (pushCannotWork(host)) {
        SetRowNumber(transfer->row, IDS_GNU_FIELD_PROGRESS, -1);
        return EndFailedDownload(host, 991, {retryAction, removeAction});
    }
    return pushTimedOut(host);
}

}  // namespace vesk::gnutella
