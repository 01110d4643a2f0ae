// vesk::ss::CSSManager: where the user interface and the protocols meet.
// Lists are guarded by the manager's locks, which are never held while a
// protocol or the user interface is called.
#pragma once

#include <map>
#include <mutex>
#include <string>
#include <vector>

#include "core/capsule.h"
#include "plugins/Ombrel/filterTable.h"
#include "plugins/Ombrel/levelTable.h"
#include "vesk/ss.h"

namespace vesk::ss {

class CSSManager : public objectBase, public ISSManager, public IcoreObject {
public:
    CSSManager();
    ~CSSManager();

    bool SetAutoClear(int index, bool on) override;
    bool GetAutoClear(int index) override;
    void Save() override;
    int RegisterProtocol(ProtocolRegistration r) override;
    void UnregisterProtocol(IProtocol* protocol) override;
    int GetProtocolCount() override;
    Ihash* GetFieldTypes() override { return fieldTypes_; }
    bool AddField(Istring* field, Istring* list, unsigned valueType, int level) override;
    bool IsFieldShown(Istring* field, Istring* list) override;
    ISearchInst* CreateSearch(const char* query) override;
    bool StartSearch(ISearchInst* search) override;
    int StopSearch(ISearchInst* search) override;
    bool GetDownloadDir(int unused, char* out) override;
    bool GetTempDir(int unused, char* out) override;
    bool SetDownloadDir(const char* folder) override;
    bool SetTempDir(const char* folder) override;
    bool ConnectAll(bool connect) override;
    bool IsConnected() override { return connected_; }
    int GetSearchCount() override;
    int GetReservedValue(int) override { return reservedValue_; }
    int GetReservedValue2() override { return reservedValue_; }
    bool SetDisplayMode(int mode) override;
    int GetDisplayMode() override { return displayMode_; }
    void SetCurrentResultWindow(ui::ISearchResultWnd* window) override { currentWindow_ = window; }
    ui::ISearchResultWnd* GetCurrentResultWindow() override { return currentWindow_; }
    void AddResultCallback(ResultCallback fn) override;
    void FireResultCallbacks(Ivector* batch) override;
    bool IsFiltered(IAgent* agent) override;
    bool RegisterOperator(const char* name, FilterOperatorFn fn) override;
    int GetOperatorId(const char* name) override;
    bool AddFilter(const char* friendlyName, const char* fieldName, int operatorId,
                   value operand) override;
    bool AddFilterByName(const char* friendlyName, const char* fieldName,
                         const char* operatorName, value operand) override;
    bool RemoveFilter(const char* key) override;
    bool UnregisterOperator(const char* name) override;
    bool GetAutoConnectOnStart() override { return autoConnectOnStart_; }
    bool GetAutoConnectOnSearch() override { return autoConnectOnSearch_; }
    const char* GetOperatorName(int id) override;

    // Settings without an interface setter (the search page sets them).
    void SetMaxSearchResults(unsigned n) { maxSearchResults_ = n; }
    unsigned GetMaxSearchResults() const { return maxSearchResults_; }
    void SetAutoConnectOnStart(bool on) { autoConnectOnStart_ = on; }
    void SetAutoConnectOnSearch(bool on) { autoConnectOnSearch_ = on; }

    // The filters in key order, and all of them replaced at once (the
    // filters page's OK; see CFilterTable::ReplaceFilters).
    filterList Filters() { return filters_.Snapshot(); }
    int ReplaceFilters(const std::vector<filterRequest>& requests) { return filters_.ReplaceFilters(requests); }

    // Drops from the batch every agent a filter matches; the result
    // callback the module registers.
    void FilterBatch(Ivector* batch);
    // Reads the settings from the settings store and the folders from the
    // share-list file; throws when a group of settings cannot be read.
    bool Load();

private:
    // The protocols as they are now, each with a reference the caller
    // releases (callbacks run without the manager's locks).
    std::vector<IProtocol*> protocolSnapshot();
    static void releaseAll(const std::vector<IProtocol*>& protocols);
    void showStartedSearch(ISearchInst* search);
    bool copyFolder(const std::string& folder, char* out);
    bool setFolder(std::string& folder, const char* text);
    void loadFlags();
    void loadDirectorySettings();
    void loadFilters();

    volatile unsigned maxSearchResults_ = 0;
    volatile bool autoConnectOnStart_ = false;
    volatile bool autoConnectOnSearch_ = false;
    volatile bool autoClear_[4] = {};
    volatile bool connected_ = false;
    Ihash* fieldTypes_;  // one reference held; add-ref mode
    levelTable levels_;
    volatile int displayMode_ = 100;
    int reservedValue_ = 0;

    std::mutex searchLock_;
    int liveSearches_ = 0;
    int nextSearchId_ = 0;  // ids are never given twice
    std::map<int, ISearchInst*> searches_;  // each holds a reference
    ui::ISearchResultWnd* volatile currentWindow_ = nullptr;

    std::mutex callbackLock_;
    std::vector<ResultCallback> resultCallbacks_;

    std::mutex protocolLock_;
    std::vector<IProtocol*> protocols_;  // each holds a reference

    std::mutex folderLock_;
    std::string downloadDir_;
    std::string tempDir_;

    CFilterTable filters_;
};

// The filter callback of the module: the manager's FilterBatch.
void FilterResults(Ivector* batch);

}  // namespace vesk::ss
