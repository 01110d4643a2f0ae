#include "plugins/gnutella/resources.h"

#include <map>
#include <new>
#include <vector>

#include "core/string.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/gnutellaInternal.h"

namespace vesk::gnutella {

namespace {

// The texts loaded at _load, in this order. Names of fields, lists, pages
// and the first row texts fit 255 characters; the rest 260.
const unsigned shortTexts[] = {
    IDS_GNU_FIELD_INDEX,     IDS_GNU_FIELD_ID,         IDS_GNU_FIELD_ADDRESS,   IDS_GNU_FIELD_PORT,
    IDS_GNU_FIELD_CLIENT,    IDS_GNU_FIELD_NAME,       IDS_GNU_FIELD_SIZE,      IDS_GNU_LIST_RESULTS,
    IDS_GNU_LIST_DOWNLOADS,  IDS_GNU_LIST_UPLOADS,     IDS_GNU_FIELD_SPEED,     IDS_GNU_FIELD_STATUS,
    IDS_GNU_FIELD_TIME_LEFT, IDS_GNU_FIELD_SENT,       IDS_GNU_FIELD_RECEIVED,  IDS_GNU_FIELD_DROPPED,
    IDS_GNU_FIELD_GARBAGE,   IDS_GNU_LIST_CONNECTIONS, IDS_GNU_LIST_HOST_CACHE, IDS_GNU_FIELD_LINK_STATUS,
    IDS_GNU_PAGE_GNUTELLA,   IDS_GNU_PAGE_PROTOCOLS,   IDS_GNU_ACTION_CONNECT,  IDS_GNU_PAGE_TRANSFERS,
    IDS_GNU_PAGE_NETWORK,    IDS_GNU_FIELD_SEARCH,     IDS_GNU_FIELD_PROGRESS,  IDS_GNU_LIST_STATISTICS,
    IDS_GNU_ACTION_DOWNLOAD, IDS_GNU_FIELD_TEMP_PATH};
const unsigned longTexts[] = {
    IDS_GNU_LINK_DIALLING,  IDS_GNU_LINK_CLOSED,       IDS_GNU_LINK_WAITING,   IDS_GNU_LINK_INCOMING,
    IDS_GNU_LINK_OUTGOING,  IDS_GNU_LINK_NONE,         IDS_GNU_LINK_UPLOADING, IDS_GNU_LINK_DOWNLOADING,
    IDS_GNU_ACTION_REMOVE,  IDS_GNU_ACTION_START_NOW,  IDS_GNU_ACTION_RETRY,   IDS_GNU_ACTION_STOP,
    IDS_GNU_ACTION_START,   IDS_GNU_XFER_ERROR,        IDS_GNU_XFER_COMPLETE,  IDS_GNU_XFER_DONE,
    IDS_GNU_STATUS_STOPPED, IDS_GNU_XFER_STOPPED,      IDS_GNU_STATUS_UNKNOWN, IDS_GNU_XFER_CONNECTED,
    IDS_GNU_XFER_PUSH_SENT, IDS_GNU_XFER_AWAITING_GIV, IDS_GNU_HTTP_301,       IDS_GNU_HTTP_302,
    IDS_GNU_HTTP_304,       IDS_GNU_HTTP_400,          IDS_GNU_HTTP_401,       IDS_GNU_HTTP_403,
    IDS_GNU_HTTP_404,       IDS_GNU_HTTP_500,          IDS_GNU_HTTP_501,       IDS_GNU_HTTP_502,
    IDS_GNU_STATUS_990,     IDS_GNU_STATUS_994,        IDS_GNU_STATUS_995,     IDS_GNU_STATUS_997,
    IDS_GNU_STATUS_996,     IDS_GNU_STATUS_998,        IDS_GNU_STATUS_993,     IDS_GNU_STATUS_992,
    IDS_GNU_STATUS_991,     IDS_GNU_XFER_BUSY,         IDS_GNU_XFER_RETRY_60,  IDS_GNU_XFER_QUEUED};
// Texts of download rows that only the transfer side shows.
const unsigned transferTexts[] = {IDS_GNU_XFER_WAITING, IDS_GNU_XFER_RETRY_180, IDS_GNU_HTTP_503};
const int vendorIcons[] = {IDI_GNU_VENDOR_OTHER, IDI_GNU_VENDOR_149, IDI_GNU_VENDOR_151, IDI_GNU_VENDOR_154,
                           IDI_GNU_VENDOR_OWN};
static_assert(sizeof vendorIcons / sizeof vendorIcons[0] == static_cast<int>(vendorImage::count),
              "one icon per client image");

// Written by _load and _unload on the host's main thread while no worker
// runs; only read in between.
std::map<unsigned, Istring*> texts;  // one reference held each
Istring* transferId = nullptr;       // one reference held
int images[static_cast<int>(vendorImage::count)] = {-1, -1, -1, -1, -1};

Istring* newText(const char* text) {
    Istring* s = new (std::nothrow) string(text);
    if (s)
        s->addRef();
    return s;
}

void loadText(HINSTANCE module, unsigned id, int limit) {
    std::vector<char> buffer(limit, '\0');
    if (!module || LoadStringA(module, id, buffer.data(), limit) <= 0)
        buffer[0] = '\0';
    if (Istring* s = newText(buffer.data())) {
        Istring*& slot = texts[id];
        if (slot)
            slot->release();
        slot = s;
    }
}

}  // namespace

int InitResources() {
    ui::IUIControl* control = g_Services.uiControl;
    HINSTANCE language = control ? control->GetResourceInstance() : nullptr;
    HINSTANCE defaults = control ? control->GetDefaultResourceInstance() : nullptr;
    if (!transferId)
        transferId = newText(transferIdName);
    for (unsigned id : shortTexts)
        loadText(language, id, 255);
    for (unsigned id : longTexts)
        loadText(language, id, 260);
    for (unsigned id : transferTexts)
        loadText(language, id, 260);
    for (int i = 0; i < static_cast<int>(vendorImage::count); ++i)
        images[i] = control ? control->AddIcon(defaults, vendorIcons[i]) : -1;
    return 0;
}

int ReleaseResources() {
    for (auto& entry : texts)
        entry.second->release();
    texts.clear();
    if (transferId) {
        transferId->release();
        transferId = nullptr;
    }
    return 0;
}

const char* ResourceText(unsigned id) {
    Istring* s = ResourceString(id);
    const char* text = s ? s->c_str() : nullptr;
    return text ? text : "";
}

Istring* ResourceString(unsigned id) {
    auto found = texts.find(id);
    return found == texts.end() ? nullptr : found->second;
}

Istring* TransferIdString() {
    return transferId;
}

int VendorImage(vendorImage which) {
    int i = static_cast<int>(which);
    return i >= 0 && i < static_cast<int>(vendorImage::count) ? images[i] : -1;
}

std::string LanguageText(unsigned id, int limit) {
    ui::IUIControl* control = g_Services.uiControl;
    if (!control || limit <= 1)
        return std::string();
    std::vector<char> text(limit, '\0');
    int n = LoadStringA(control->GetResourceInstance(), id, text.data(), limit);
    return n > 0 ? std::string(text.data(), n) : std::string();
}

HINSTANCE DefaultResources() {
    ui::IUIControl* control = g_Services.uiControl;
    return control ? control->GetDefaultResourceInstance() : nullptr;
}

unsigned HostStateTextId(unsigned kindCode) {
    switch (kindCode) {
        case 0:
            return IDS_GNU_LINK_INCOMING;
        case 1:
            return IDS_GNU_LINK_OUTGOING;
        case 2:
            return IDS_GNU_LINK_CLOSED;
        case 3:
            return IDS_GNU_LINK_DIALLING;
        case 4:
            return IDS_GNU_LINK_WAITING;
        case 5:
            return IDS_GNU_LINK_DOWNLOADING;
        case 6:
            return IDS_GNU_LINK_UPLOADING;
        case 99:
            return IDS_GNU_LINK_NONE;
        default:
            return IDS_GNU_STATUS_UNKNOWN;
    }
}

const char* HostStateText(unsigned kindCode) {
    return ResourceText(HostStateTextId(kindCode));
}

}  // namespace vesk::gnutella
