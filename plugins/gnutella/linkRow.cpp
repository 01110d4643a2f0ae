#include "plugins/gnutella/linkRow.h"

#include <mutex>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaHost.h"
#include "plugins/gnutella/clock.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/moduleLists.h"
#include "plugins/gnutella/resources.h"
#include "vesk/data.h"

namespace vesk::gnutella {

namespace {

// The states whose row is shown: a link being set up or up; a busy link
// and one awaiting the peer's final reply keep the row as it was.
bool rowShownIn(std::uint16_t state) {
    return state == linkState::built || state == linkState::dialled || state == linkState::requestSent ||
           state == linkState::outgoingUp || state == linkState::accepted;
}

void setCount(ss::IAgent* row, unsigned id, std::uint32_t count) {
    row->SetAttribute(ResourceText(id), value(static_cast<unsigned long>(count)));
}

// The link identifier a row carries (attribute 238, a 16-byte buffer).
bool rowLinkId(ss::IAgent* row, guid16& id) {
    value v = row->GetAttribute(ResourceText(IDS_GNU_FIELD_ID));
    Ibuffer* buffer = v.code == vt::bufferObject ? v.asBuffer() : nullptr;
    if (!buffer || buffer->resize(0) != sizeof id.bytes)
        return false;
    const unsigned char* start = buffer->current() - buffer->tell();
    id = guid16::from(start);
    return true;
}

// Marks the link to be dropped; false when neither list has it. Both lists
// are held for one look-up: a link moves between them under both guards
// (MoveHost), so it is never between the two look-ups.
bool requestDrop(const guid16& id) {
    std::scoped_lock hold(g_InactiveHostList.guard, g_ActiveHostList.guard);
    for (guardedList<hostMap>* list : {&g_ActiveHostList, &g_InactiveHostList}) {
        auto found = list->items.find(id);
        if (found != list->items.end()) {
            found->second->m_DropRequested = true;
            return true;
        }
    }
    return false;
}

}  // namespace

void FillHostRow(CGnutellaHost* host) {
    ss::IAgent* row = host ? host->m_Row : nullptr;
    if (!row)
        return;
    const char* shown = host->m_AddressText[0] ? host->m_AddressText : host->m_HostName;
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_ADDRESS), value(shown));
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_PORT), value(static_cast<unsigned short>(host->m_Port)));
    row->SetAttributeBuffer(ResourceText(IDS_GNU_FIELD_ID), host->m_Id.bytes, sizeof host->m_Id.bytes);
    setCount(row, IDS_GNU_FIELD_GARBAGE, host->m_GarbageCount);
    setCount(row, IDS_GNU_FIELD_DROPPED, host->m_DroppedCount);
    setCount(row, IDS_GNU_FIELD_RECEIVED, host->m_ReceivedCount);
    setCount(row, IDS_GNU_FIELD_SENT, host->m_SentCount);
    row->SetAttribute(ResourceText(IDS_GNU_FIELD_LINK_STATUS), value(HostStateText(host->m_Kind)));
    if (host->m_UserAgent[0])
        row->SetAttribute(ResourceText(IDS_GNU_FIELD_CLIENT), value(static_cast<const char*>(host->m_UserAgent)));
    const char* drop = ResourceText(IDS_GNU_LINK_CLOSED);
    if (!row->HasAction(drop))
        row->AddAction(drop, &drop_host);
}

int TouchHost(CGnutellaHost* host) {
    if (!host || !host->m_Row || host->m_Kind == linkKind::none || !rowShownIn(host->m_State))
        return 0;
    FillHostRow(host);
    if (g_Services.hostWindow)
        g_Services.hostWindow->UpdateConnect(host->m_Row);
    host->m_RowRefreshTime = TickNow();
    return 0;
}

void SetRowColour(CGnutellaHost* host, unsigned long colour) {
    if (host && host->m_Row)
        host->m_Row->SetProperty("TC", value(colour));
}

void MarkInactiveLink(CGnutellaHost* host, std::uint32_t kind, bool refresh) {
    if (!host)
        return;
    host->m_Kind = kind;
    SetRowColour(host, rowColour::inactive);
    if (refresh)
        TouchHost(host);
}

int drop_host(ss::IAgent* row) {
    guid16 id;
    if (!row || !rowLinkId(row, id))
        return 0;
    if (requestDrop(id))
        return 0;
    if (g_Services.hostWindow)
        g_Services.hostWindow->RemoveConnect(row);
    return 0;
}

}  // namespace vesk::gnutella
