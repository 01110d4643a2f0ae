// The search-and-share manager and the records it shares with the user
// interface and the protocol modules: agents, protocols, searches and the
// share list. The manager is published as "vesk::ss::ISSManager *", the share
// list as "vesk::ss::IShareManager *"; agents are made through the factory by
// the class name "vesk::ss::CAgent".
//
// Results are plain: a returned value or pointer carries no reference of its
// own; a caller that keeps an object beyond the owner's life adds one.
#pragma once

#include "vesk/object.h"
#include "vesk/value.h"

namespace vesk {

struct Istring;
struct Ihash;
struct Ivector;

namespace ui {
struct ISearchResultWnd;
}

namespace ss {

struct IAgent;
struct IProtocol;
struct ISearchInst;

// A named action of an agent; called with the agent. The result is unused.
using AgentActionFn = int (*)(IAgent* agent);

// A record of named, typed attributes (each with its own properties), named
// properties and named actions. Names are interned process-wide; a name that
// was never set anywhere means "absent". Any name argument may be null.
//
// Stored values: a C string (vt::cString) is kept as a new string object
// holding a copy, so the caller may reuse its buffer at once; string and
// buffer objects are kept with one reference of the agent's own; every other
// value is kept as given, without a reference.
struct IAgent : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ss::IAgent *";

    // Name lists are new vectors of string objects in the order the names
    // were first registered in the process, with count 0: the caller takes
    // the first reference (and its release frees the list).
    virtual Ivector* GetPropertyNames() = 0;
    // Long 0 for a null name, long -1 when absent.
    virtual value GetProperty(const char* name) = 0;
    virtual bool SetProperty(const char* name, value v) = 0;
    virtual bool RemoveProperty(const char* name) = 0;
    virtual bool ClearProperties() = 0;

    virtual Ivector* GetAttributeNames() = 0;
    // Long 0 when null, absent or while the agent is being destroyed.
    virtual value GetAttribute(const char* name) = 0;
    // Stores a copy of the bytes as a buffer object.
    virtual bool SetAttributeBuffer(const char* name, const void* data, unsigned size) = 0;
    // Replacing keeps the attribute's properties; a C string set on an
    // attribute holding a string object changes that object's text in place.
    virtual bool SetAttribute(const char* name, value v) = 0;
    virtual bool HasAttribute(const char* name) = 0;
    // Removing discards the attribute's properties.
    virtual bool RemoveAttribute(const char* name) = 0;
    virtual bool ClearAttributes() = 0;
    // The registered name of an id (owned by the registry), null when never
    // given; the number of registered names.
    virtual const char* GetAttributeName(int id) = 0;
    virtual int GetAttributeNameCount() = 0;

    // Properties of one attribute: null or long 0 for a null argument, long
    // -1 when the attribute or property is absent; setters refuse an absent
    // attribute.
    virtual Ivector* GetAttributePropertyNames(const char* attribute) = 0;
    virtual value GetAttributeProperty(const char* attribute, const char* property) = 0;
    virtual bool SetAttributeProperty(const char* attribute, const char* property, value v) = 0;
    virtual bool RemoveAttributeProperty(const char* attribute, const char* property) = 0;
    virtual bool ClearAttributeProperties(const char* attribute) = 0;

    // The same for the properties of one action.
    virtual Ivector* GetActionPropertyNames(const char* action) = 0;
    virtual value GetActionProperty(const char* action, const char* property) = 0;
    virtual bool SetActionProperty(const char* action, const char* property, value v) = 0;
    virtual bool RemoveActionProperty(const char* action, const char* property) = 0;
    virtual bool ClearActionProperties(const char* action) = 0;

    virtual Ivector* GetActionNames() = 0;
    virtual AgentActionFn GetAction(const char* name) = 0;
    // Adds or replaces (keeping the action's properties); false for null.
    virtual bool AddAction(const char* name, AgentActionFn fn) = 0;
    virtual bool RemoveAction(const char* name) = 0;
    virtual bool HasAction(const char* name) = 0;
    // Calls the action outside the agent's locks, so the callback may use
    // the agent's actions itself. False when nothing was called.
    virtual bool FireAction(const char* name) = 0;
    virtual bool ClearActions() = 0;

    // An estimate of the agent's size in bytes.
    virtual unsigned GetSize() = 0;

    virtual ~IAgent() {}
};

// Protocol callbacks. Connect callbacks report success; the result of the
// search callbacks is not used.
using ProtocolConnectFn = bool (*)();
using ProtocolSearchFn = int (*)(ISearchInst* search);

// What a protocol module passes, by value, to RegisterProtocol.
struct ProtocolRegistration {
    IProtocol** out;  // receives the new protocol object
    const char* name;
    const char* description;
    const char* shortName;
    int parameter1;  // kept and returned, no meaning to the manager
    int parameter2;
    ProtocolConnectFn onConnect;
    ProtocolConnectFn onDisconnect;
    ProtocolSearchFn onStartSearch;
    ProtocolSearchFn onStopSearch;
};
static_assert(sizeof(void*) != 4 || sizeof(ProtocolRegistration) == 40, "ten 32-bit words on 32-bit Windows");

// A registered protocol. It answers no query by name: modules use it only
// through the pointer RegisterProtocol hands out, which stays valid until
// UnregisterProtocol.
struct IProtocol : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ss::IProtocol *";
    virtual void SetName(const char* name) = 0;
    virtual void SetDescription(const char* description) = 0;
    virtual void SetShortName(const char* shortName) = 0;
    virtual void SetParameter1(int v) = 0;
    virtual void SetParameter2(int v) = 0;
    // Stores the state (0 to 6) and shows its text and icon in the status
    // bar: 2 and 5 blink, 3 and 4 stand still.
    virtual void SetState(int state) = 0;
    // Declares a result field for a list with its display level, here and
    // with the manager.
    virtual bool AddField(Istring* field, Istring* list, unsigned valueType, int level) = 0;
    virtual bool IsFieldShown(Istring* field, Istring* list) = 0;
    virtual const char* GetName() = 0;
    virtual const char* GetDescription() = 0;
    virtual const char* GetShortName() = 0;
    virtual int GetParameter1() = 0;
    virtual int GetParameter2() = 0;
    virtual int GetState() = 0;
    // The state's text, owned by the protocol until the next call.
    virtual const char* GetStateText() = 0;
    // A callback that throws counts as a failure; the exception stops here.
    virtual bool Connect() = 0;
    virtual bool Disconnect() = 0;
    // 0, or -1 when the protocol's callback threw (the exception stops here).
    virtual int StartSearch(ISearchInst* search) = 0;
    // The callback's answer, or -1 when it threw.
    virtual int StopSearch(ISearchInst* search) = 0;
    virtual ~IProtocol() {}
};

// One search: its query, its own agent (the history row, with the attribute
// "ISearchInst" holding the search), its result agents and its result window.
struct ISearchInst : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ss::ISearchInst *";
    virtual int GetId() = 0;
    // Hands a batch of result agents (called from the protocol's search
    // thread). Filters and the result limit apply; the batch stays the
    // caller's, who must hold a reference to it. Returns the number of
    // stored results, 0 when the search is stopped or the batch refused.
    virtual int AddResults(Ivector* batch) = 0;
    virtual void SetId(int id) = 0;
    // Adds no reference: the search takes over one the caller added and
    // releases it when it goes.
    virtual bool SetWindow(ui::ISearchResultWnd* window) = 0;
    virtual bool SetQuery(const char* query) = 0;              // copied; false for null
    virtual const char* GetQuery() = 0;
    virtual bool SetAgent(IAgent* agent) = 0;
    virtual IAgent* GetAgent() = 0;
    virtual ui::ISearchResultWnd* GetWindow() = 0;
    // Readers lock the vector's own lock around their use: the search
    // thread appends under it.
    virtual Ivector* GetResults() = 0;
    virtual ~ISearchInst() {}
};

// Called with every batch of new results before it is stored; may remove
// elements from it.
using ResultCallback = void (*)(Ivector* batch);

// A filter operator: true when the left value (the result's attribute)
// matches the right one (the filter's operand).
using FilterOperatorFn = bool (*)(value left, value right);

// Auto-clear flags of finished transfer rows.
namespace autoClear {
constexpr int completedDownloads = 0;
constexpr int completedUploads = 1;
constexpr int failedDownloads = 2;
constexpr int failedUploads = 3;
}  // namespace autoClear

// The manager: protocols, searches, result fields, filters and settings.
// Folder texts hold at most 259 characters; out buffers hold 260.
struct ISSManager : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ss::ISSManager *";
    // Index 0 to 3 (see autoClear); other indexes refuse.
    virtual bool SetAutoClear(int index, bool on) = 0;
    virtual bool GetAutoClear(int index) = 0;
    // Writes the manager's settings to the settings store and its folders
    // to the share-list file.
    virtual void Save() = 0;

    // 1 when registered (*r.out then points at it), 0 otherwise.
    virtual int RegisterProtocol(ProtocolRegistration r) = 0;
    virtual void UnregisterProtocol(IProtocol* protocol) = 0;
    virtual int GetProtocolCount() = 0;
    // Field name (string object) -> value type (unsigned long). The table
    // is the manager's: not to be released; lock its lock while walking it.
    virtual Ihash* GetFieldTypes() = 0;
    virtual bool AddField(Istring* field, Istring* list, unsigned valueType, int level) = 0;
    // False for a pair never added; else its level reaches the display mode.
    virtual bool IsFieldShown(Istring* field, Istring* list) = 0;

    // A new search (count 0; the caller takes the first reference) with its
    // agent, result vector and, when the user interface gives one, window.
    virtual ISearchInst* CreateSearch(const char* query) = 0;
    // Hands the search to every protocol. False for null or a search that
    // was started already.
    virtual bool StartSearch(ISearchInst* search) = 0;
    // Tells every protocol; stopping a stopped search changes nothing.
    virtual int StopSearch(ISearchInst* search) = 0;

    virtual bool GetDownloadDir(int unused, char* out) = 0;
    virtual bool GetTempDir(int unused, char* out) = 0;
    // Keeps at most 259 characters; false for null.
    virtual bool SetDownloadDir(const char* folder) = 0;
    virtual bool SetTempDir(const char* folder) = 0;

    // Connects (true) or disconnects every protocol; true when at least one
    // call succeeded.
    virtual bool ConnectAll(bool connect) = 0;
    virtual bool IsConnected() = 0;
    // Searches started and not yet stopped.
    virtual int GetSearchCount() = 0;
    virtual int GetReservedValue(int unused) = 0;
    virtual int GetReservedValue2() = 0;
    virtual bool SetDisplayMode(int mode) = 0;
    virtual int GetDisplayMode() = 0;
    // The result window the user interface shows; kept, never used here.
    virtual void SetCurrentResultWindow(ui::ISearchResultWnd* window) = 0;
    virtual ui::ISearchResultWnd* GetCurrentResultWindow() = 0;
    virtual void AddResultCallback(ResultCallback fn) = 0;
    virtual void FireResultCallbacks(Ivector* batch) = 0;

    // True when a filter matches the agent.
    virtual bool IsFiltered(IAgent* agent) = 0;
    // Operators get ids from 2 on, never given twice.
    virtual bool RegisterOperator(const char* name, FilterOperatorFn fn) = 0;
    virtual int GetOperatorId(const char* name) = 0;  // 0 when unknown
    // A filter's key is the friendly name followed by the operator id in
    // decimal. Refused: null texts, texts over 259 characters, an unknown
    // operator, a key in use.
    virtual bool AddFilter(const char* friendlyName, const char* fieldName, int operatorId,
                           value operand) = 0;
    virtual bool AddFilterByName(const char* friendlyName, const char* fieldName,
                                 const char* operatorName, value operand) = 0;
    virtual bool RemoveFilter(const char* key) = 0;
    virtual bool UnregisterOperator(const char* name) = 0;

    virtual bool GetAutoConnectOnStart() = 0;
    virtual bool GetAutoConnectOnSearch() = 0;
    // Owned by the manager; null for an id not registered.
    virtual const char* GetOperatorName(int id) = 0;
    virtual ~ISSManager() {}
};

// The shared folders, kept in the share-list file "pelloran.ini" of the
// current directory (null file arguments mean that file). Paths are
// normalised: lower case, ending in a backslash.
struct IShareManager : virtual Igeneric {
    static constexpr const char* interfaceQuery = "struct vesk::ss::IShareManager *";
    virtual int LoadShares() = 0;
    virtual void Save() = 0;
    // Replaces the list by the file's share sections.
    virtual int LoadShareFile(const char* file) = 0;
    // Rewrites the file's share sections from the list; other sections stay.
    virtual void SaveShares(const char* file) = 0;
    // False when the folder is listed already (its flag is then updated) or
    // the path is refused.
    virtual bool AddShare(const char* path, bool recursive) = 0;
    virtual bool SetRecursive(const char* path, bool recursive) = 0;
    virtual bool RemoveShare(const char* path) = 0;
    virtual int Reserved() = 0;
    virtual bool IsShared(const char* path) = 0;
    virtual ~IShareManager() {}
};

}  // namespace ss
}  // namespace vesk
