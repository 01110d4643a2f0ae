// The manager's filter operators and filters. One lock guards both tables:
// the filters page changes them on the GUI thread while search threads
// filter. Filters are evaluated on a snapshot, outside the lock, so an
// operator may call back into the manager.
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "vesk/ss.h"

namespace vesk::ss {

// Filter texts have room for 259 characters.
constexpr std::size_t maxFilterText = 259;

class CFilter {
public:
    CFilter(std::string key, std::string friendlyName, std::string operatorName,
            std::string fieldName, FilterOperatorFn fn, const value& operand);
    ~CFilter();
    CFilter(const CFilter&) = delete;
    CFilter& operator=(const CFilter&) = delete;

    const std::string key;
    const std::string friendlyName;
    const std::string operatorName;
    const std::string fieldName;
    const FilterOperatorFn fn;
    // A copy of the operand: a string object with one reference held, a C
    // string pointing at the filter's own copy of the text.
    const value& Operand() const { return operand_; }
    bool Matches(IAgent* agent) const;

private:
    std::string operandText_;
    value operand_;
};

using filterList = std::vector<std::shared_ptr<const CFilter>>;

// A filter asked for by the names of its texts and operator.
struct filterRequest {
    std::string friendlyName;
    std::string fieldName;
    std::string operatorName;
    value operand;  // copied by the filter made
};

class CFilterTable {
public:
    bool RegisterOperator(const char* name, FilterOperatorFn fn);
    int GetOperatorId(const char* name);
    const char* GetOperatorName(int id);
    bool UnregisterOperator(const char* name);

    bool AddFilter(const char* friendlyName, const char* fieldName, int operatorId,
                   const value& operand);
    bool AddFilterByName(const char* friendlyName, const char* fieldName,
                         const char* operatorName, const value& operand);
    bool RemoveFilter(const char* key);
    // Puts the requests' filters in place of every filter at once, so a
    // search sees the old set or the new one, never a mix. A request that
    // AddFilterByName would refuse (its key made already included) is
    // skipped. The number of filters made.
    int ReplaceFilters(const std::vector<filterRequest>& requests);

    // The filters in ascending key order.
    filterList Snapshot();
    static bool AnyMatches(const filterList& filters, IAgent* agent);

private:
    struct operatorEntry {
        std::string name;
        FilterOperatorFn fn;
    };

    // Under the lock: the filter of the texts and operator, or null when
    // one of them is refused.
    std::shared_ptr<const CFilter> makeFilterLocked(const char* friendlyName, const char* fieldName,
                                                    int operatorId, const value& operand);

    std::mutex lock_;
    std::map<std::string, int> operatorIds_;
    std::map<int, operatorEntry> operators_;
    int nextOperatorId_ = 2;
    std::map<std::string, std::shared_ptr<const CFilter>> filters_;
};

}  // namespace vesk::ss
