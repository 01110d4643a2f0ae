#include "plugins/gnutella/queryHitResults.h"

#include <windows.h>

#include <memory>

#include "core/module.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaQueryHitContainer.h"
#include "plugins/gnutella/CGnutellaSearch.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/downloadActions.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/resources.h"

namespace vesk::gnutella {

namespace {

// A new agent for one record, one reference held by the caller; null when
// the factory gives none.
ss::IAgent* newResult(const parsedHit& hit, const hitRecord& record) {
    ss::IAgent* result = NewAgent();
    if (!result)
        return nullptr;
    result->SetAttribute(ResourceText(IDS_GNU_FIELD_NAME), value(record.name.c_str()));
    result->SetAttributeBuffer(ResourceText(IDS_GNU_FIELD_ID), hit.servent.bytes, sizeof hit.servent.bytes);
    result->SetAttribute(ResourceText(IDS_GNU_FIELD_ADDRESS), value(hit.address));
    result->SetAttribute(ResourceText(IDS_GNU_FIELD_PORT), value(static_cast<unsigned short>(hit.port)));
    result->SetAttribute(ResourceText(IDS_GNU_FIELD_INDEX), value(static_cast<unsigned long>(record.index)));
    result->SetAttribute(ResourceText(IDS_GNU_FIELD_SIZE), value(static_cast<unsigned long>(record.size)));
    result->AddAction(ResourceText(IDS_GNU_ACTION_DOWNLOAD), &add_download);
    return result;
}

// The vendor, its icon and the push mark on every result of the batch.
void markVendor(Ivector* batch, const parsedHit& hit) {
    const char* vendorField = ResourceText(IDS_GNU_FIELD_CLIENT);
    bool push = MustPush(hit);
    long image = VendorImage(hit.vendor->image);
    for (unsigned i = 0; i < batch->size(); ++i) {
        ss::IAgent* result = interfaceCast<ss::IAgent>(batch->at(i).asGeneric());
        if (!result)
            continue;
        result->SetAttribute(vendorField, value(hit.vendor->name));
        result->SetAttributeProperty(vendorField, rowImageName, value(image));
        if (push)
            result->SetAttribute(forcePushName, value(1ul));
        Sleep(0);
    }
}

// The oldest queued hit, taken off the queue (the caller owns it), or null.
CGnutellaQueryHitContainer* takeOldestHit(CGnutellaSearch& search) {
    std::lock_guard<std::mutex> hold(search.m_HitLock);
    if (search.m_Hits.empty())
        return nullptr;
    CGnutellaQueryHitContainer* hit = search.m_Hits.front();
    search.m_Hits.pop_front();
    search.m_QueuedBytes -= hit->m_Bytes.size();
    return hit;
}

}  // namespace

Ivector* BuildResultBatch(const parsedHit& hit) {
    if (hit.records.empty() || !AcceptsResultsFrom(hit.address, g_Settings.m_ShowFirewalledResults))
        return nullptr;
    Ivector* batch = createAs<Ivector>(moduleFactory(), g_State.token, "vesk::vector", addRefMode);
    if (!batch)
        return nullptr;
    batch->addRef();
    for (const hitRecord& record : hit.records) {
        ss::IAgent* result = newResult(hit, record);
        if (!result) {
            batch->release();
            return nullptr;
        }
        batch->pushBack(value(static_cast<Igeneric*>(result)));
        result->release();  // the batch holds it
        Sleep(1);
    }
    markVendor(batch, hit);
    return batch;
}

int ProcessQueryHit(CGnutellaSearch* search) {
    if (!search || search->m_Stopping)
        return 0;
    std::unique_ptr<CGnutellaQueryHitContainer> hit(takeOldestHit(*search));
    if (!hit)
        return 10;
    parsedHit parsed = ParseQueryHit(hit->m_Bytes.data(), hit->m_Bytes.size());
    hit.reset();
    Ivector* batch = BuildResultBatch(parsed);
    if (!batch)
        return 0;
    if (search->m_Instance)
        search->m_Instance->AddResults(batch);
    batch->release();
    return 0;
}

}  // namespace vesk::gnutella
