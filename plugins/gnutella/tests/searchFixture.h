// The module's search side in the test's own process with the real
// search-and-share manager (its parts linked in, driven as its module
// would), real agents, the recording fake user interface and threads the
// test can find by name.
#pragma once

#include <string>
#include <vector>

#include "plugins/Ombrel/manager.h"
#include "plugins/gnutella/tests/gnutellaFixture.h"
#include "vesk/containers.h"
#include "vesk/ss.h"
#include "vesk/threading.h"

namespace vesk::gnutella::test {

// The manager, recording what the protocol declares to it, in order.
class recordingManager : public ss::CSSManager {
public:
    struct field {
        std::string name, list;
        unsigned valueType;
        int level;
        bool operator==(const field& o) const {
            return name == o.name && list == o.list && valueType == o.valueType && level == o.level;
        }
    };

    int RegisterProtocol(ss::ProtocolRegistration r) override;
    bool AddField(Istring* name, Istring* list, unsigned valueType, int level) override;

    std::vector<ss::ProtocolRegistration> registrations;
    std::vector<field> fields;
};

class searchFixture : public gnutellaFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // A new search of the manager for the query, not started; the ref holds
    // the test's reference.
    ref<ss::ISearchInst> newSearch(const char* query);
    // Made through the module's thread class since the test began; null
    // when no thread has that name.
    Ithread* threadNamed(const std::string& name);
    // Starts the active host thread (stopped by TearDown).
    void startActiveHostThread();
    // The attribute's text (a string object) or "".
    static std::string textOf(ss::IAgent* agent, unsigned fieldId);

    recordingManager* managerObject = nullptr;
    ss::ISSManager* manager = nullptr;
    Ithread* activeHostThread = nullptr;
};

// Polls the condition for up to 20 s; true once it holds.
bool eventually(const std::function<bool()>& condition);

}  // namespace vesk::gnutella::test
