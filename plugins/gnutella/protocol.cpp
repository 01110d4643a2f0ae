#include "plugins/gnutella/protocol.h"

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/connectionPolicy.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/searches.h"

namespace vesk::gnutella {

namespace {

// Every field is a text; the level decides whether the manager's display
// mode shows it (1 hidden at the default mode, 100 and 1000 shown).
constexpr unsigned fieldType = 0x4040;

struct resultField {
    unsigned field;
    unsigned list;
    int level;
};

// In the order they are declared.
const resultField fields[] = {
    {IDS_GNU_FIELD_PORT, IDS_GNU_LIST_RESULTS, 100},
    {IDS_GNU_FIELD_ADDRESS, IDS_GNU_LIST_RESULTS, 100},
    {IDS_GNU_FIELD_INDEX, IDS_GNU_LIST_RESULTS, 1},
    {IDS_GNU_FIELD_CLIENT, IDS_GNU_LIST_RESULTS, 100},
    {IDS_GNU_FIELD_ID, IDS_GNU_LIST_RESULTS, 1},
    {IDS_GNU_FIELD_SIZE, IDS_GNU_LIST_RESULTS, 1000},
    {IDS_GNU_FIELD_NAME, IDS_GNU_LIST_RESULTS, 1000},
    {IDS_GNU_FIELD_PROGRESS, IDS_GNU_LIST_DOWNLOADS, 1000},
    {IDS_GNU_FIELD_ADDRESS, IDS_GNU_LIST_DOWNLOADS, 100},
    {IDS_GNU_FIELD_INDEX, IDS_GNU_LIST_DOWNLOADS, 1},
    {IDS_GNU_FIELD_CLIENT, IDS_GNU_LIST_DOWNLOADS, 100},
    {IDS_GNU_FIELD_ID, IDS_GNU_LIST_DOWNLOADS, 1},
    {IDS_GNU_FIELD_SIZE, IDS_GNU_LIST_DOWNLOADS, 1000},
    {IDS_GNU_FIELD_NAME, IDS_GNU_LIST_DOWNLOADS, 1000},
    {IDS_GNU_FIELD_SPEED, IDS_GNU_LIST_DOWNLOADS, 1000},
    {IDS_GNU_FIELD_STATUS, IDS_GNU_LIST_DOWNLOADS, 1000},
    {IDS_GNU_FIELD_TIME_LEFT, IDS_GNU_LIST_DOWNLOADS, 1000},
    {IDS_GNU_FIELD_PROGRESS, IDS_GNU_LIST_UPLOADS, 1000},
    {IDS_GNU_FIELD_ADDRESS, IDS_GNU_LIST_UPLOADS, 100},
    {IDS_GNU_FIELD_INDEX, IDS_GNU_LIST_UPLOADS, 1},
    {IDS_GNU_FIELD_ID, IDS_GNU_LIST_UPLOADS, 1},
    {IDS_GNU_FIELD_SIZE, IDS_GNU_LIST_UPLOADS, 1000},
    {IDS_GNU_FIELD_NAME, IDS_GNU_LIST_UPLOADS, 1000},
    {IDS_GNU_FIELD_SPEED, IDS_GNU_LIST_UPLOADS, 1000},
    {IDS_GNU_FIELD_STATUS, IDS_GNU_LIST_UPLOADS, 1000},
    {IDS_GNU_FIELD_TIME_LEFT, IDS_GNU_LIST_UPLOADS, 1000},
    {IDS_GNU_FIELD_ADDRESS, IDS_GNU_LIST_CONNECTIONS, 1000},
    {IDS_GNU_FIELD_ID, IDS_GNU_LIST_CONNECTIONS, 1},
    {IDS_GNU_FIELD_SPEED, IDS_GNU_LIST_CONNECTIONS, 1},
    {IDS_GNU_FIELD_LINK_STATUS, IDS_GNU_LIST_CONNECTIONS, 1000},
    {IDS_GNU_FIELD_CLIENT, IDS_GNU_LIST_CONNECTIONS, 1},
    {IDS_GNU_FIELD_PORT, IDS_GNU_LIST_CONNECTIONS, 100},
    {IDS_GNU_FIELD_SENT, IDS_GNU_LIST_CONNECTIONS, 100},
    {IDS_GNU_FIELD_RECEIVED, IDS_GNU_LIST_CONNECTIONS, 100},
    {IDS_GNU_FIELD_DROPPED, IDS_GNU_LIST_CONNECTIONS, 100},
    {IDS_GNU_FIELD_GARBAGE, IDS_GNU_LIST_CONNECTIONS, 100},
    {IDS_GNU_FIELD_ID, IDS_GNU_LIST_HOST_CACHE, 1},
    {IDS_GNU_FIELD_ADDRESS, IDS_GNU_LIST_HOST_CACHE, 1000},
    {IDS_GNU_FIELD_PORT, IDS_GNU_LIST_HOST_CACHE, 1000},
    {IDS_GNU_FIELD_SEARCH, IDS_GNU_LIST_STATISTICS, 1000},
};

}  // namespace

void SetProtocolState(int state) {
    if (ss::IProtocol* protocol = g_State.protocol)
        protocol->SetState(state);
}

void InitProtocol() {
    ss::ISSManager* manager = g_Services.manager;
    if (!manager || g_State.protocol)
        return;
    ss::ProtocolRegistration r{&g_State.protocol,
                               "Gnutella",
                               "Gnutella File Searching/Sharing Protocol",
                               "zUdoradur",
                               0,
                               0,
                               &on_connect,
                               &on_disconnect,
                               &on_start_search,
                               &on_stop_search};
    if (!manager->RegisterProtocol(r) || !g_State.protocol) {
        g_State.protocol = nullptr;
        return;
    }
    for (const resultField& f : fields)
        g_State.protocol->AddField(ResourceString(f.field), ResourceString(f.list), fieldType, f.level);
}

bool on_connect() {
    g_State.running = 1;
    if (g_Settings.m_ConnectToQuickConnect == 1)
        ConnectQuickList();
    SetProtocolState(protocolState::connecting);
    return true;
}

bool on_disconnect() {
    g_State.running = 0;
    SetProtocolState(protocolState::offline);
    return true;
}

}  // namespace vesk::gnutella
