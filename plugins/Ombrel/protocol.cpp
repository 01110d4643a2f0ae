#include "plugins/Ombrel/protocol.h"

#include <cstring>
#include <string>

#include "core/text.h"
#include "extern/rsrc/rsrcIds.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/statusDisplay.h"
#include "vesk/data.h"

namespace vesk::ss {

namespace {

// String ids of the state texts, by state 0 to 6.
constexpr unsigned stateTextIds[7] = {IDS_SS_STATE_IDLE,       IDS_SS_STATE_STARTING,
                                      IDS_SS_STATE_CONNECTING, IDS_SS_STATE_CONNECTED,
                                      IDS_SS_STATE_OFFLINE,    IDS_SS_STATE_RECONNECTING,
                                      IDS_SS_STATE_STOPPED};

}  // namespace

void CProtocol::SetName(const char* name) { name_ = textOf(name); }
void CProtocol::SetDescription(const char* description) { description_ = textOf(description); }
void CProtocol::SetShortName(const char* shortName) { shortName_ = textOf(shortName); }

void CProtocol::Attach(ISSManager* manager, const ProtocolRegistration& r) {
    SetName(r.name);
    SetDescription(r.description);
    SetShortName(r.shortName);
    SetParameter1(r.parameter1);
    SetParameter2(r.parameter2);
    onConnect_ = r.onConnect;
    onDisconnect_ = r.onDisconnect;
    onStartSearch_ = r.onStartSearch;
    onStopSearch_ = r.onStopSearch;
    manager_ = manager;
}

void CProtocol::loadStateText(int state) {
    unsigned id = state >= 0 && state < 7 ? stateTextIds[state] : 0;
    std::string text = languageText(id, sizeof stateText_);
    std::memcpy(stateText_, text.c_str(), text.size() + 1);
}

const char* CProtocol::GetStateText() {
    std::lock_guard<std::mutex> hold(textLock_);
    loadStateText(state_);
    return stateText_;
}

void CProtocol::SetState(int state) {
    state_ = state;
    char text[sizeof stateText_];
    {
        std::lock_guard<std::mutex> hold(textLock_);
        loadStateText(state);
        std::memcpy(text, stateText_, sizeof text);
    }
    // The status bar is reached without the text lock held.
    statusDisplay::Show(state, text);
}

bool CProtocol::AddField(Istring* field, Istring* list, unsigned valueType, int level) {
    levels_.Set(field, list, level);
    if (!manager_) {
        std::string line = "CProtocol::AddField (" +
                           textOf(field ? field->c_str() : nullptr) +
                           ") Failure - m_SSManager == NULL\r\n";
        logText(line.c_str());
        return true;
    }
    manager_->AddField(field, list, valueType, level);
    return true;
}

bool CProtocol::IsFieldShown(Istring* field, Istring* list) {
    return manager_ && levels_.IsShown(field, list, manager_->GetDisplayMode());
}

namespace {

// A protocol's exception stops here: it must not leave through the manager
// into the user interface or a search thread. It counts as a failure.
bool callGuarded(ProtocolConnectFn fn) {
    try {
        return fn && fn();
    } catch (...) {
        return false;
    }
}

}  // namespace

bool CProtocol::Connect() { return callGuarded(onConnect_); }

bool CProtocol::Disconnect() { return callGuarded(onDisconnect_); }

int CProtocol::StartSearch(ISearchInst* search) {
    if (!onStartSearch_)
        return 0;
    ref<ISearchInst> hold(search);
    try {
        onStartSearch_(search);
    } catch (...) {
        return -1;  // a protocol's failure must not stop the others
    }
    return 0;
}

int CProtocol::StopSearch(ISearchInst* search) {
    if (!onStopSearch_)
        return 0;
    try {
        return onStopSearch_(search);
    } catch (...) {
        return -1;  // as for a start: the other protocols are still told
    }
}

}  // namespace vesk::ss
