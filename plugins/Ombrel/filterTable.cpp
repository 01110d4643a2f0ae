#include "plugins/Ombrel/filterTable.h"

#include <cstring>
#include <utility>

#include "vesk/data.h"

namespace vesk::ss {

namespace {

bool fits(const char* text) { return std::strlen(text) <= maxFilterText; }

}  // namespace

CFilter::CFilter(std::string k, std::string friendly, std::string opName, std::string field,
                 FilterOperatorFn f, const value& operand)
    : key(std::move(k)), friendlyName(std::move(friendly)), operatorName(std::move(opName)),
      fieldName(std::move(field)), fn(f), operand_(operand) {
    operand_.owned = 0;
    if (operand.code == vt::cString && operand.payload.text) {
        // The caller's text may not outlive the call.
        operandText_ = operand.payload.text;
        operand_.payload.text = operandText_.c_str();
    } else if (operand.code == vt::stringObject && operand.payload.string) {
        operand.payload.string->addRef();
    }
}

CFilter::~CFilter() {
    if (operand_.code == vt::stringObject && operand_.payload.string)
        operand_.payload.string->release();
}

bool CFilter::Matches(IAgent* agent) const {
    const char* field = fieldName.c_str();
    return agent->HasAttribute(field) && fn(agent->GetAttribute(field), operand_);
}

bool CFilterTable::RegisterOperator(const char* name, FilterOperatorFn fn) {
    if (!name || !fn)
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    if (operatorIds_.count(name))
        return false;
    int id = nextOperatorId_++;
    operatorIds_.emplace(name, id);
    operators_.emplace(id, operatorEntry{name, fn});
    return true;
}

int CFilterTable::GetOperatorId(const char* name) {
    if (!name)
        return 0;
    std::lock_guard<std::mutex> hold(lock_);
    auto found = operatorIds_.find(name);
    return found == operatorIds_.end() ? 0 : found->second;
}

const char* CFilterTable::GetOperatorName(int id) {
    std::lock_guard<std::mutex> hold(lock_);
    auto found = operators_.find(id);
    return found == operators_.end() ? nullptr : found->second.name.c_str();
}

bool CFilterTable::UnregisterOperator(const char* name) {
    if (!name)
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    auto found = operatorIds_.find(name);
    if (found == operatorIds_.end())
        return false;
    operators_.erase(found->second);  // filters made with it keep their function
    operatorIds_.erase(found);
    return true;
}

std::shared_ptr<const CFilter> CFilterTable::makeFilterLocked(const char* friendlyName, const char* fieldName,
                                                              int operatorId, const value& operand) {
    if (!friendlyName || !fieldName || operatorId == 0)
        return nullptr;
    // Longer texts would not fit the filter's fields; refuse them.
    if (!fits(friendlyName) || !fits(fieldName))
        return nullptr;
    auto op = operators_.find(operatorId);
    if (op == operators_.end() || op->second.name.size() > maxFilterText)
        return nullptr;
    return std::make_shared<const CFilter>(friendlyName + std::to_string(operatorId), friendlyName,
                                           op->second.name, fieldName, op->second.fn, operand);
}

bool CFilterTable::AddFilter(const char* friendlyName, const char* fieldName, int operatorId,
                             const value& operand) {
    std::lock_guard<std::mutex> hold(lock_);
    auto filter = makeFilterLocked(friendlyName, fieldName, operatorId, operand);
    if (!filter || filters_.count(filter->key))
        return false;
    filters_.emplace(filter->key, std::move(filter));
    return true;
}

int CFilterTable::ReplaceFilters(const std::vector<filterRequest>& requests) {
    std::map<std::string, std::shared_ptr<const CFilter>> made;  // the old set ends here, unlocked
    std::lock_guard<std::mutex> hold(lock_);
    for (const filterRequest& r : requests) {
        auto id = operatorIds_.find(r.operatorName);
        if (id == operatorIds_.end())
            continue;
        auto filter = makeFilterLocked(r.friendlyName.c_str(), r.fieldName.c_str(), id->second, r.operand);
        if (filter && !made.count(filter->key))
            made.emplace(filter->key, std::move(filter));
    }
    filters_.swap(made);
    return static_cast<int>(filters_.size());
}

bool CFilterTable::AddFilterByName(const char* friendlyName, const char* fieldName,
                                   const char* operatorName, const value& operand) {
    if (!friendlyName || !fieldName || !operatorName)
        return false;
    int id = GetOperatorId(operatorName);
    return id != 0 && AddFilter(friendlyName, fieldName, id, operand);
}

bool CFilterTable::RemoveFilter(const char* key) {
    if (!key)
        return false;
    std::lock_guard<std::mutex> hold(lock_);
    return filters_.erase(key) != 0;
}

filterList CFilterTable::Snapshot() {
    std::lock_guard<std::mutex> hold(lock_);
    filterList all;
    for (const auto& entry : filters_)
        all.push_back(entry.second);
    return all;
}

bool CFilterTable::AnyMatches(const filterList& filters, IAgent* agent) {
    if (!agent)
        return false;
    for (const auto& filter : filters)
        if (filter->Matches(agent))
            return true;
    return false;
}

}  // namespace vesk::ss
