#include "plugins/gnutella/transferRows.h"

#include <cstring>
#include <mutex>

#include "extern/rsrc/rsrcIds.h"
#include "plugins/gnutella/CGnutellaSettings.h"
#include "plugins/gnutella/deferredCalls.h"
#include "plugins/gnutella/gnutellaInternal.h"
#include "plugins/gnutella/resources.h"
#include "plugins/gnutella/trayStatus.h"
#include "vesk/data.h"

namespace vesk::gnutella {

void SetRowText(ss::IAgent* row, unsigned nameId, const std::string& text) {
    if (row)
        row->SetAttribute(ResourceText(nameId), value(text.c_str()));
}

void SetRowNumber(ss::IAgent* row, unsigned nameId, long number) {
    if (row)
        row->SetAttribute(ResourceText(nameId), value(number));
}

void SetRowColour(ss::IAgent* row, unsigned long colour) {
    if (row)
        row->SetProperty("TC", value(colour));
}

void SetRowTexts(ss::IAgent* row, const std::string& status, const std::string& speedAndTimeLeft) {
    SetRowText(row, IDS_GNU_FIELD_STATUS, status);
    SetRowText(row, IDS_GNU_FIELD_SPEED, speedAndTimeLeft);
    SetRowText(row, IDS_GNU_FIELD_TIME_LEFT, speedAndTimeLeft);
}

std::string RowText(ss::IAgent* row, const char* name) {
    if (!row)
        return std::string();
    value v = row->GetAttribute(name);
    if (v.code == vt::cString && v.payload.text)
        return v.payload.text;
    Istring* s = v.code == vt::stringObject ? v.asString() : nullptr;
    const char* text = s ? s->c_str() : nullptr;
    return text ? text : std::string();
}

bool RowNumber(ss::IAgent* row, const char* name, unsigned long long& out) {
    if (!row)
        return false;
    value v = row->GetAttribute(name);
    switch (v.code) {
        case vt::charV:
            out = static_cast<unsigned char>(v.payload.c);
            return true;
        case vt::ucharV:
            out = v.payload.uc;
            return true;
        case vt::shortV:
            out = static_cast<unsigned short>(v.payload.s);
            return true;
        case vt::ushortV:
            out = v.payload.us;
            return true;
        case vt::longV:
            out = static_cast<unsigned long>(v.payload.l);
            return true;
        case vt::ulongV:
            out = v.payload.ul;
            return true;
        case vt::longlongV:
        case vt::ulonglongV:
            out = v.payload.ull;
            return true;
        default:
            return false;
    }
}

bool RowBytes(ss::IAgent* row, const char* name, unsigned char* out, std::size_t size) {
    if (!row || !out)
        return false;
    Ibuffer* bytes = row->GetAttribute(name).asBuffer();
    if (!bytes || bytes->resize(0) != size || bytes->tell() != 0)
        return false;
    std::memcpy(out, bytes->current(), size);
    return true;
}

namespace {

std::mutex transferIdLock;

}  // namespace

void SetRowTransferId(ss::IAgent* row, const guid16& id) {
    if (!row)
        return;
    std::lock_guard<std::mutex> hold(transferIdLock);
    row->SetAttributeBuffer(transferIdName, id.bytes, sizeof id.bytes);
}

void ClearRowTransferId(ss::IAgent* row) {
    if (!row)
        return;
    std::lock_guard<std::mutex> hold(transferIdLock);
    row->RemoveAttribute(transferIdName);
}

bool RowTransferId(ss::IAgent* row, guid16& id) {
    std::lock_guard<std::mutex> hold(transferIdLock);
    return RowBytes(row, transferIdName, id.bytes, sizeof id.bytes);
}

void ClearTransferActions(ss::IAgent* row) {
    if (!row)
        return;
    for (unsigned id : {IDS_GNU_ACTION_STOP, IDS_GNU_ACTION_START, IDS_GNU_ACTION_RETRY,
                        IDS_GNU_ACTION_REMOVE, IDS_GNU_ACTION_DOWNLOAD, IDS_GNU_ACTION_START_NOW})
        row->RemoveAction(ResourceText(id));
}

void SetTransferActions(ss::IAgent* row, std::initializer_list<rowAction> actions) {
    ClearTransferActions(row);
    if (!row)
        return;
    for (const rowAction& action : actions)
        row->AddAction(ResourceText(action.nameId), action.fn);
}

namespace {

// One of the transfer window's list operations on the row, when the
// module found the window.
void inWindow(ss::IAgent* row, int (ui::IDockTransferWnd::*operation)(ss::IAgent*)) {
    WithRowLater(row, [operation](ss::IAgent* r) {
        if (ui::IDockTransferWnd* window = g_Services.transferWindow)
            (window->*operation)(r);
    });
}

}  // namespace

void ShowDownload(ss::IAgent* row) {
    inWindow(row, &ui::IDockTransferWnd::UpdateDownload);
}

void HideDownload(ss::IAgent* row) {
    inWindow(row, &ui::IDockTransferWnd::RemoveDownload);
}

void ShowUpload(ss::IAgent* row) {
    inWindow(row, &ui::IDockTransferWnd::UpdateUpload);
}

void HideUpload(ss::IAgent* row) {
    inWindow(row, &ui::IDockTransferWnd::RemoveUpload);
}

void TrackDownloadRow(ss::IAgent* row) {
    WithRowLater(row, [](ss::IAgent* r) { g_Settings.TrackDownload(r); });
}

void UntrackDownloadRow(ss::IAgent* row) {
    WithRowLater(row, [](ss::IAgent* r) { g_Settings.UntrackDownload(r); });
}

bool ReserveDownloadSlot(ss::IAgent* row) {
    if (!g_Settings.TrackDownloadWithin(row, g_Settings.m_MaxDownloads))
        return false;
    RunOrDefer([] { UpdateTray(g_Settings.Counts()); });
    return true;
}

void TrackUploadRow(ss::IAgent* row) {
    WithRowLater(row, [](ss::IAgent* r) { g_Settings.TrackUpload(r); });
}

void UntrackUploadRow(ss::IAgent* row) {
    WithRowLater(row, [](ss::IAgent* r) { g_Settings.UntrackUpload(r); });
}

}  // namespace vesk::gnutella
