#include "plugins/Ombrel/manager.h"

#include <algorithm>
#include <cstring>
#include <new>

#include "core/module.h"
#include "plugins/Ombrel/moduleServices.h"
#include "plugins/Ombrel/protocol.h"
#include "plugins/Ombrel/searchInst.h"
#include "vesk/containers.h"
#include "vesk/data.h"

namespace vesk::ss {

namespace {

// Folder texts have room for 259 characters and the terminator.
constexpr std::size_t maxFolderText = 259;

}  // namespace

CSSManager::CSSManager() {
    registerInterfaceOf<ISSManager>(this);
    registerInterfaceOf<IcoreObject>(this);
    registerInterfaceOf<Igeneric>(this);
    moduleServices& s = services();
    fieldTypes_ = createAs<Ihash>(s.factory, s.token, "vesk::hash", addRefMode);
    if (fieldTypes_)
        fieldTypes_->addRef();
}

CSSManager::~CSSManager() {
    for (auto& entry : searches_)
        entry.second->release();
    releaseAll(protocols_);
    if (fieldTypes_)
        fieldTypes_->release();
}

// ---- settings without persistence

bool CSSManager::SetAutoClear(int index, bool on) {
    if (index < 0 || index > 3)
        return false;
    autoClear_[index] = on;
    return true;
}

bool CSSManager::GetAutoClear(int index) { return index >= 0 && index <= 3 && autoClear_[index]; }

bool CSSManager::SetDisplayMode(int mode) {
    displayMode_ = mode;
    return true;
}

bool CSSManager::copyFolder(const std::string& folder, char* out) {
    if (!out)
        return false;
    std::lock_guard<std::mutex> hold(folderLock_);
    std::memcpy(out, folder.c_str(), folder.size() + 1);  // at most 260 bytes
    return true;
}

bool CSSManager::setFolder(std::string& folder, const char* text) {
    if (!text)
        return false;
    std::lock_guard<std::mutex> hold(folderLock_);
    folder.assign(text, strnlen(text, maxFolderText));
    return true;
}

bool CSSManager::GetDownloadDir(int, char* out) { return copyFolder(downloadDir_, out); }
bool CSSManager::GetTempDir(int, char* out) { return copyFolder(tempDir_, out); }
bool CSSManager::SetDownloadDir(const char* folder) { return setFolder(downloadDir_, folder); }
bool CSSManager::SetTempDir(const char* folder) { return setFolder(tempDir_, folder); }

// ---- protocols

int CSSManager::RegisterProtocol(ProtocolRegistration r) {
    if (!r.out)
        return 0;
    auto* protocol = new (std::nothrow) capsule<CProtocol>();
    *r.out = protocol;
    if (!protocol || (!r.onConnect && !r.onDisconnect && !r.onStartSearch))
        return 0;
    protocol->addRef();  // the registry's
    protocol->Attach(this, r);
    std::lock_guard<std::mutex> hold(protocolLock_);
    protocols_.push_back(protocol);
    return 1;
}

void CSSManager::UnregisterProtocol(IProtocol* protocol) {
    {
        std::lock_guard<std::mutex> hold(protocolLock_);
        auto end = std::remove(protocols_.begin(), protocols_.end(), protocol);
        if (end == protocols_.end())
            return;  // not ours to release
        protocols_.erase(end, protocols_.end());
    }
    protocol->release();
}

int CSSManager::GetProtocolCount() {
    std::lock_guard<std::mutex> hold(protocolLock_);
    return static_cast<int>(protocols_.size());
}

std::vector<IProtocol*> CSSManager::protocolSnapshot() {
    std::lock_guard<std::mutex> hold(protocolLock_);
    for (IProtocol* p : protocols_)
        p->addRef();
    return protocols_;
}

void CSSManager::releaseAll(const std::vector<IProtocol*>& protocols) {
    for (IProtocol* p : protocols)
        p->release();
}

bool CSSManager::ConnectAll(bool connect) {
    bool any = false;
    std::vector<IProtocol*> protocols = protocolSnapshot();
    for (IProtocol* p : protocols) {
        bool ok = connect ? p->Connect() : p->Disconnect();
        // The flag ends as the outcome of the last protocol.
        connected_ = connect ? ok : !ok;
        any = any || ok;
        Sleep(0);
    }
    releaseAll(protocols);
    return any;
}

// ---- fields

bool CSSManager::AddField(Istring* field, Istring* list, unsigned valueType, int level) {
    if (!fieldTypes_ || !levels_.Set(field, list, level))
        return false;
    lockGuard hold(fieldTypes_->getLock());
    fieldTypes_->set(value(field), value(static_cast<unsigned long>(valueType)));
    return true;
}

bool CSSManager::IsFieldShown(Istring* field, Istring* list) {
    return levels_.IsShown(field, list, displayMode_);
}

// ---- searches

ISearchInst* CSSManager::CreateSearch(const char* query) {
    auto* search = new (std::nothrow) capsule<CSearchInst>(this, maxSearchResults_);
    if (!search)
        return nullptr;
    if (ui::IUIControl* control = services().uiControl) {
        RECT rect = {0, 0, 100, 100};
        if (ui::ISearchResultWnd* window = control->CreateSearchResultWnd(query, &rect)) {
            window->addRef();  // the search's
            search->SetWindow(window);
            window->Activate();
        }
    }
    return search;
}

void CSSManager::showStartedSearch(ISearchInst* search) {
    ui::ISearchResultWnd* window = search->GetWindow();
    if (!window)
        return;
    ui::IFrameChildWnd* child = window->GetChildWnd();
    ui::IWnd* childWindow = interfaceCast<ui::IWnd>(child);
    if (!childWindow)
        return;
    const char* query = search->GetQuery();
    childWindow->SetWindowTextA(query);
    child->Activate();
    IAgent* agent = search->GetAgent();
    moduleServices& s = services();
    if (agent) {
        if (!s.searchTextName.empty())
            agent->SetAttribute(s.searchTextName.c_str(), value(query));
        if (!s.resultCountName.empty())
            agent->SetAttribute(s.resultCountName.c_str(), value(0L));
    }
    window->Attach(agent);
    if (s.searchHistory)
        s.searchHistory->UpdateSearch(agent);
}

bool CSSManager::StartSearch(ISearchInst* search) {
    CSearchInst* own = CSearchInst::From(search);
    if (!own || !own->MarkStarted())
        return false;
    {
        std::lock_guard<std::mutex> hold(searchLock_);
        own->SetId(nextSearchId_++);
    }
    showStartedSearch(search);
    {
        std::lock_guard<std::mutex> hold(searchLock_);
        search->addRef();  // the table's; searches are kept for good
        searches_[search->GetId()] = search;
        ++liveSearches_;
    }
    std::vector<IProtocol*> protocols = protocolSnapshot();
    for (IProtocol* p : protocols) {
        p->StartSearch(search);
        Sleep(0);
    }
    releaseAll(protocols);
    return true;
}

int CSSManager::StopSearch(ISearchInst* search) {
    CSearchInst* own = CSearchInst::From(search);
    // Only a running search stops: a second stop, from the user and the
    // search thread at once, must not count twice.
    if (!own || !own->Deactivate())
        return 0;
    Sleep(0);
    {
        std::lock_guard<std::mutex> hold(searchLock_);
        --liveSearches_;
    }
    std::vector<IProtocol*> protocols = protocolSnapshot();
    for (IProtocol* p : protocols) {
        p->StopSearch(search);
        Sleep(0);
    }
    releaseAll(protocols);
    return 0;
}

int CSSManager::GetSearchCount() {
    std::lock_guard<std::mutex> hold(searchLock_);
    return liveSearches_;
}

void CSSManager::AddResultCallback(ResultCallback fn) {
    if (!fn)
        return;
    std::lock_guard<std::mutex> hold(callbackLock_);
    resultCallbacks_.push_back(fn);
}

void CSSManager::FireResultCallbacks(Ivector* batch) {
    if (!batch)
        return;
    std::vector<ResultCallback> callbacks;
    {
        std::lock_guard<std::mutex> hold(callbackLock_);
        callbacks = resultCallbacks_;
    }
    for (ResultCallback fn : callbacks)
        fn(batch);
}

// ---- filters

bool CSSManager::IsFiltered(IAgent* agent) { return CFilterTable::AnyMatches(filters_.Snapshot(), agent); }

void CSSManager::FilterBatch(Ivector* batch) {
    if (!batch)
        return;
    ref<Ivector> hold(batch);
    filterList filters = filters_.Snapshot();
    unsigned i = 0;
    while (i < batch->size()) {
        value element = batch->at(i);
        IAgent* agent = (element.code & vt::objectBit) ? interfaceCast<IAgent>(element.anyObject()) : nullptr;
        if (agent && CFilterTable::AnyMatches(filters, agent))
            batch->erase(i, 1);  // the next element moves to i
        else
            ++i;
    }
}

void FilterResults(Ivector* batch) {
    if (CSSManager* manager = services().manager)
        manager->FilterBatch(batch);
}

bool CSSManager::RegisterOperator(const char* name, FilterOperatorFn fn) {
    return filters_.RegisterOperator(name, fn);
}

int CSSManager::GetOperatorId(const char* name) { return filters_.GetOperatorId(name); }

const char* CSSManager::GetOperatorName(int id) { return filters_.GetOperatorName(id); }

bool CSSManager::UnregisterOperator(const char* name) { return filters_.UnregisterOperator(name); }

bool CSSManager::AddFilter(const char* friendlyName, const char* fieldName, int operatorId,
                           value operand) {
    return filters_.AddFilter(friendlyName, fieldName, operatorId, operand);
}

bool CSSManager::AddFilterByName(const char* friendlyName, const char* fieldName,
                                 const char* operatorName, value operand) {
    return filters_.AddFilterByName(friendlyName, fieldName, operatorName, operand);
}

bool CSSManager::RemoveFilter(const char* key) { return filters_.RemoveFilter(key); }

}  // namespace vesk::ss
